#include "Common/Config.h"
#include "EventManager.h"
#include "GUIManager.h"


#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Writes `count` events the way the log stores them, `step` seconds apart,
// ending at `last`.
void writeEvents(const QString& path, int count, const QDateTime& last, int step = 1)
{
    QSettings file(path, QSettings::IniFormat);
    file.beginWriteArray(QStringLiteral("events"), count);
    for (int i = 0; i < count; ++i) {
        file.setArrayIndex(i);
        file.setValue(QStringLiteral("name"), QStringLiteral("E%1").arg(i));
        file.setValue(QStringLiteral("timestamp"), last.addSecs(qint64(i - count + 1) * step));
    }
    file.endArray();
}

int storedCount(const QString& path)
{
    return QSettings(path, QSettings::IniFormat).beginReadArray(QStringLiteral("events"));
}

// The view, newest first.
QStringList names(const EventManager& manager)
{
    QStringList result;
    for (QObject* object : manager.data().value<QList<QObject*>>())
        result << object->property("name").toString();
    return result;
}

Event* makeEvent(const QString& name, const QDateTime& at, const QString& description = QString())
{
    return new Event(QStringLiteral("Board"), name, description, at);
}

} // namespace

class TestEventManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("events.ini"));
    }
    void keepsTheNewestThousandOnFile();
    void retentionAtStartUp();
    void periods_data();
    void periods();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_configDir;
    Config m_config{m_configDir.filePath(QStringLiteral("gui.conf")), GUIManager::Defaults};
    QString m_path;
};

void TestEventManager::keepsTheNewestThousandOnFile()
{
    writeEvents(m_path, 1500, QDateTime::currentDateTime().addSecs(-60));
    {
        EventManager manager(m_config, nullptr, m_path);
        QCOMPARE(manager.events().size(), 1000);
        QCOMPARE(manager.events().first()->name(), QStringLiteral("E500"));

        QPointer<Event> oldest = manager.events().first();
        manager.push(makeEvent(QStringLiteral("P1"), QDateTime::currentDateTime(), QStringLiteral("line 1\nline 2")));
        manager.push(makeEvent(QStringLiteral("P2"), QDateTime::currentDateTime()));
        QCOMPARE(manager.events().first()->name(), QStringLiteral("E501"));
        QCOMPARE(storedCount(m_path), 1001);
        // Dropped events are freed by the event loop.
        QTRY_VERIFY(oldest.isNull());
    }
    // What was written reads back whole.
    EventManager reread(m_config, nullptr, m_path);
    const Event* p1 = reread.events().at(998);
    QCOMPARE(p1->name() + "|" + p1->category() + "|" + p1->description(), QStringLiteral("P1|Board|line 1\nline 2"));
    QVERIFY(qAbs(p1->timestamp().secsTo(QDateTime::currentDateTime())) < 60);
}

void TestEventManager::retentionAtStartUp()
{
    // 31, 30 and 29 days old: only the last one is kept.
    writeEvents(m_path, 3, QDateTime::currentDateTime().addDays(-29), 86400);
    EventManager manager(m_config, nullptr, m_path);
    QCOMPARE(names(manager), QStringList{QStringLiteral("E2")});
    QCOMPARE(storedCount(m_path), 1);
}

void TestEventManager::periods_data()
{
    QTest::addColumn<QString>("period");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("Today") << "Today" << QStringList{"late today", "early today"};
    QTest::newRow("Yesterday") << "Yesterday" << QStringList{"late yesterday"};
    QTest::newRow("Last week") << "Last week" << QStringList{"early today", "late yesterday", "week"};
}

// Days end at their last millisecond.
void TestEventManager::periods()
{
    QFETCH(QString, period);
    QFETCH(QStringList, shown);
    EventManager manager(m_config, nullptr, m_path);
    const QDate today = QDate::currentDate();
    manager.push(makeEvent(QStringLiteral("too old"), QDateTime(today.addDays(-7), QTime(0, 0)).addMSecs(-1)));
    manager.push(makeEvent(QStringLiteral("week"), QDateTime(today.addDays(-7), QTime(0, 0, 1))));
    manager.push(makeEvent(QStringLiteral("late yesterday"), QDateTime(today.addDays(-1), QTime(23, 59, 59, 999))));
    manager.push(makeEvent(QStringLiteral("early today"), QDateTime(today, QTime(0, 0))));
    manager.push(makeEvent(QStringLiteral("late today"), QDateTime(today, QTime(23, 59, 59, 500))));
    manager.applyFilterPeriod(period);
    QCOMPARE(names(manager), shown);
}

QTEST_GUILESS_MAIN(TestEventManager)
#include "tst_EventManager.moc"
