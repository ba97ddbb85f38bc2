#include "Common/Config.h"
#include "EventManager.h"
#include "GUIManager.h"

#include "LogCapture.h"

#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Writes `count` events the way the log stores them, one second apart,
// ending at `last`.
void writeEvents(const QString& path, int count, const QDateTime& last)
{
    QSettings file(path, QSettings::IniFormat);
    file.beginWriteArray(QStringLiteral("events"), count);
    for (int i = 0; i < count; ++i) {
        file.setArrayIndex(i);
        file.setValue(QStringLiteral("category"), QStringLiteral("General"));
        file.setValue(QStringLiteral("name"), QStringLiteral("E%1").arg(i));
        file.setValue(QStringLiteral("desc"), QStringLiteral("line 1\nline 2"));
        file.setValue(QStringLiteral("timestamp"), last.addSecs(i - count + 1));
    }
    file.endArray();
}

int storedCount(const QString& path)
{
    QSettings file(path, QSettings::IniFormat);
    return file.beginReadArray(QStringLiteral("events"));
}

QStringList names(const QVariant& data)
{
    QStringList result;
    for (QObject* object : data.value<QList<QObject*>>())
        result << object->property("name").toString();
    return result;
}

Event* makeEvent(const QString& name, const QDateTime& at)
{
    return new Event(QStringLiteral("Board"), name, QString(), at);
}

} // namespace

class TestEventManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loadsTheNewestThousand();
    void capsTheListAndRewritesTheFile();
    void unwritableFileKeepsEventsInMemory();
    void retentionAtStartUp();
    void filtersAndOrder();
    void dayPeriodsIncludeTheirLastSecond();

private:
    QTemporaryDir* m_dir = nullptr;
    Config* m_config = nullptr;
    QString m_path;
};

void TestEventManager::init()
{
    m_dir = new QTemporaryDir;
    m_config = new Config(m_dir->filePath(QStringLiteral("gui.conf")), GUIManager::Defaults);
    m_path = m_dir->filePath(QStringLiteral("events.ini"));
}

void TestEventManager::cleanup()
{
    delete m_config;
    delete m_dir;
}

void TestEventManager::loadsTheNewestThousand()
{
    writeEvents(m_path, 1500, QDateTime::currentDateTime().addSecs(-60));
    LogCapture log;
    EventManager manager(*m_config, nullptr, m_path);

    QVERIFY(log.contains(QtInfoMsg, QStringLiteral("[EventManager] Loading saved events : from=500 to=1500")));
    QVERIFY(log.contains(QStringLiteral("[EventManager] Deleted 0 event(s) older than ")));
    const QList<Event*> events = manager.events();
    QCOMPARE(events.size(), 1000);
    QCOMPARE(events.first()->name(), QStringLiteral("E500"));
    QCOMPARE(events.last()->name(), QStringLiteral("E1499"));
    QCOMPARE(events.first()->description(), QStringLiteral("line 1\nline 2"));
    QVERIFY(events.first()->timestamp().isValid());
    // Retention found nothing, so the file was left alone.
    QCOMPARE(storedCount(m_path), 1500);
    // The view is newest first.
    QCOMPARE(names(manager.data()).first(), QStringLiteral("E1499"));
}

void TestEventManager::capsTheListAndRewritesTheFile()
{
    writeEvents(m_path, 1000, QDateTime::currentDateTime().addSecs(-60));
    EventManager manager(*m_config, nullptr, m_path);
    QSignalSpy changed(&manager, &EventManager::dataChanged);

    manager.push(makeEvent(QStringLiteral("P1"), QDateTime::currentDateTime()));
    QCOMPARE(manager.events().size(), 1001);
    QCOMPARE(manager.events().first()->name(), QStringLiteral("E0"));

    QPointer<Event> oldest = manager.events().first();
    manager.push(makeEvent(QStringLiteral("P2"), QDateTime::currentDateTime()));
    QCOMPARE(manager.events().size(), 1001);
    QCOMPARE(manager.events().first()->name(), QStringLiteral("E1"));
    QCOMPARE(manager.events().last()->name(), QStringLiteral("P2"));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(storedCount(m_path), 1001);
    // Dropped events are freed by the event loop.
    QTRY_VERIFY(oldest.isNull());
}

void TestEventManager::unwritableFileKeepsEventsInMemory()
{
    // A path under a plain file cannot be created, even by root.
    QFile blocker(m_dir->filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = blocker.fileName() + QStringLiteral("/events.ini");
    LogCapture log;
    EventManager manager(*m_config, nullptr, path);

    manager.push(makeEvent(QStringLiteral("P1"), QDateTime::currentDateTime().addSecs(-10)));
    manager.push(makeEvent(QStringLiteral("P2"), QDateTime::currentDateTime()));
    QVERIFY(log.contains(QtWarningMsg, QStringLiteral("[EventManager] WARN: Cannot write events file : ") + path
                                           + QStringLiteral(", events are kept in memory only")));
    QCOMPARE(manager.events().size(), 2);
    QCOMPARE(names(manager.data()), (QStringList{QStringLiteral("P2"), QStringLiteral("P1")}));
}

void TestEventManager::retentionAtStartUp()
{
    const QDateTime now = QDateTime::currentDateTime();
    {
        QSettings file(m_path, QSettings::IniFormat);
        file.beginWriteArray(QStringLiteral("events"), 3);
        const QList<QPair<QString, QDateTime>> stored = {
            {QStringLiteral("old"), now.addDays(-31)},
            {QStringLiteral("exactly30"), now.addDays(-30)},
            {QStringLiteral("recent"), now.addDays(-29)},
        };
        for (int i = 0; i < stored.size(); ++i) {
            file.setArrayIndex(i);
            file.setValue(QStringLiteral("name"), stored.at(i).first);
            file.setValue(QStringLiteral("timestamp"), stored.at(i).second);
        }
        file.endArray();
    }
    LogCapture log;
    EventManager manager(*m_config, nullptr, m_path);
    QCOMPARE(names(manager.data()), QStringList{QStringLiteral("recent")});
    QVERIFY(log.contains(QStringLiteral("[EventManager] Deleted 2 event(s) older than ")));
    QCOMPARE(storedCount(m_path), 1);

    // The bound itself is inclusive.
    const QDateTime at = manager.events().first()->timestamp();
    manager.clear(at);
    QVERIFY(manager.events().isEmpty());
    QCOMPARE(storedCount(m_path), 0);
}

void TestEventManager::filtersAndOrder()
{
    EventManager manager(*m_config, nullptr, m_path);
    const QDateTime now = QDateTime::currentDateTime();
    manager.push(makeEvent(QStringLiteral("Ignition off"), now.addSecs(-7000)));
    manager.push(makeEvent(QStringLiteral("Application started"), now.addSecs(-100)));
    manager.push(makeEvent(QStringLiteral("Ignition on"), now.addSecs(-3000)));
    QCOMPARE(names(manager.data()),
             QStringList({"Application started", "Ignition on", "Ignition off"}));

    manager.applyFilter(QStringLiteral("ignition"));
    QCOMPARE(names(manager.data()), QStringList({"Ignition on", "Ignition off"}));

    manager.applyFilterPeriod(QStringLiteral("Last hour"));
    QCOMPARE(names(manager.data()), QStringList({"Ignition on"}));
    // The upper bound was fixed when the period was chosen.
    QTest::qWait(5);
    manager.push(makeEvent(QStringLiteral("Ignition on"), QDateTime::currentDateTime().addSecs(1)));
    QCOMPARE(names(manager.data()).size(), 1);

    manager.applyFilterPeriod(QStringLiteral("All history"));
    manager.applyFilter(QString());
    QCOMPARE(names(manager.data()).size(), 4);

    // An invalid lower bound with a valid upper bound still cuts the later ones.
    manager.applyFilter(QDateTime(), now.addSecs(-1000));
    QCOMPARE(names(manager.data()), QStringList({"Ignition on", "Ignition off"}));
}

void TestEventManager::dayPeriodsIncludeTheirLastSecond()
{
    EventManager manager(*m_config, nullptr, m_path);
    const QDate today = QDate::currentDate();
    const QDate yesterday = today.addDays(-1);
    manager.push(makeEvent(QStringLiteral("late today"), QDateTime(today, QTime(23, 59, 59, 500))));
    manager.push(makeEvent(QStringLiteral("early today"), QDateTime(today, QTime(0, 0))));
    manager.push(makeEvent(QStringLiteral("late yesterday"), QDateTime(yesterday, QTime(23, 59, 59, 999))));
    manager.push(makeEvent(QStringLiteral("week"), QDateTime(today.addDays(-7), QTime(0, 0, 1))));
    manager.push(makeEvent(QStringLiteral("too old"), QDateTime(today.addDays(-7), QTime(0, 0)).addMSecs(-1)));

    manager.applyFilterPeriod(QStringLiteral("Today"));
    QCOMPARE(names(manager.data()), QStringList({"late today", "early today"}));
    manager.applyFilterPeriod(QStringLiteral("Yesterday"));
    QCOMPARE(names(manager.data()), QStringList({"late yesterday"}));
    manager.applyFilterPeriod(QStringLiteral("Last week"));
    QVERIFY(names(manager.data()).contains(QStringLiteral("week")));
    QVERIFY(!names(manager.data()).contains(QStringLiteral("too old")));
    // Case matters in period names: an unknown text removes the bounds.
    manager.applyFilterPeriod(QStringLiteral("today"));
    QCOMPARE(names(manager.data()).size(), 5);
}

QTEST_GUILESS_MAIN(TestEventManager)
#include "tst_EventManager.moc"
