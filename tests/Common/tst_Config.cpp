#include "Common/Config.h"
#include "GUIManager.h"

#include "LogCapture.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QVariantMap Defaults = {
    { "mqtt/host", QStringLiteral("localhost") },
    { "mqtt/port", 1883 },
    { "log/stderr", true },
};

void writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); m_path = m_dir.filePath(QString::number(++m_count) + ".conf"); }

    void freshFileHoldsTypedDefaults()
    {
        Config { m_path, GUIManager::Defaults };
        QVERIFY(QFile::exists(m_path));
        // Reopened over the file's text, every default keeps its value and type.
        Config reopened(m_path, GUIManager::Defaults);
        QCOMPARE(reopened.keys(), GUIManager::Defaults.keys());
        for (auto it = GUIManager::Defaults.cbegin(); it != GUIManager::Defaults.cend(); ++it) {
            QCOMPARE(reopened.get(it.key()), it.value());
            QCOMPARE(reopened.get(it.key()).userType(), it.value().userType());
        }
    }

    void setAndOverrides()
    {
        Config config(m_path, Defaults);
        QSignalSpy changed(&config, &Config::configChanged);
        config.addOverrides({ { "mqtt/port", 1 } });
        config.addOverrides({ { "mqtt/port", 2 }, { "only/override", "o" } });
        QCOMPARE(config.get("mqtt/port"), QVariant(2));
        QCOMPARE(config.get("only/override"), QVariant("o"));
        QVERIFY(!config.keys().contains("only/override"));

        // An equal value (even as text) is no change: no signal, no write, override kept.
        QFile::remove(m_path);
        config.set("mqtt/port", QStringLiteral("1883"));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!QFile::exists(m_path));
        QCOMPARE(config.get("mqtt/port"), QVariant(2));

        config.set("mqtt/port", 1900);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toMap(), (QVariantMap { { "mqtt/port", 1900 } }));
        QCOMPARE(config.get("mqtt/port"), QVariant(1900));
        QCOMPARE(QSettings(m_path, QSettings::IniFormat).value("mqtt/port").toString(), QString("1900"));
    }

    void printAlignsColumnsAndHidesPasswords()
    {
        writeFile(m_path, "[mqtt]\npassword=hunter2\n");
        Config config(m_path, Defaults);
        config.addOverrides({ { "log/stderr", false } });
        LogCapture log;
        config.print();
        // Values in force, overrides included, in one aligned column.
        QVERIFY(log.contains("[Config]  log/stderr    : false"));
        QVERIFY(log.contains("[Config]  mqtt/password : ********"));
        QVERIFY(!log.texts().join('\n').contains("hunter2"));
    }

    void unwritableFileKeepsValues()
    {
        // A regular file as the parent directory defeats even root.
        writeFile(m_dir.filePath("blocker"), "");
        const QString path = m_dir.filePath("blocker/gui.conf");
        LogCapture log;
        Config config(path, Defaults);
        QSignalSpy changed(&config, &Config::configChanged);
        config.set("mqtt/host", "kept");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(config.get("mqtt/host"), QVariant("kept"));
        // Warned at the start and at the change.
        QCOMPARE(log.count("[Config] WARN: Cannot write config file : " + path), 2);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    int m_count = 0;
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_Config.moc"
