#include "Model/IPv4.h"

#include <QMetaProperty>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

// Each address field: its setter, its map key and its own change signal,
// whether set alone or through a whole map.
class TestIPv4 : public QObject
{
    Q_OBJECT

private slots:
    void eachField_data();
    void eachField();
    void validAddress();
};

void TestIPv4::eachField_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("key");
    QTest::newRow("address") << QByteArray("address") << "address";
    QTest::newRow("netmask") << QByteArray("mask") << "netmask";
    QTest::newRow("gateway") << QByteArray("gateway") << "gateway";
    QTest::newRow("dns0") << QByteArray("dns0") << "dns0";
    QTest::newRow("dns1") << QByteArray("dns1") << "dns1";
}

void TestIPv4::eachField()
{
    QFETCH(QByteArray, property);
    QFETCH(QString, key);
    IPv4 ip;
    const QMetaObject* meta = ip.metaObject();
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        spies.push_back(std::make_unique<QSignalSpy>(&ip, meta->property(i).notifySignal()));
    const auto signalled = [&] {
        int count = 0;
        for (const auto& spy : spies)
            count += spy->count();
        return count;
    };
    QSignalSpy own(&ip, meta->property(meta->indexOfProperty(property)).notifySignal());
    // Fresh, each key holds an empty string, so an empty incoming map is no change.
    ip.fromMap(QVariantMap());
    QCOMPARE(ip.toMap().value(key), QVariant(QString()));

    // Its own signal only, and the map carries the value.
    QVERIFY(ip.setProperty(property, QStringLiteral("10.0.0.1")));
    QCOMPARE(own.count(), 1);
    QCOMPARE(signalled(), 1);
    QCOMPARE(ip.toMap().value(key).toString(), QStringLiteral("10.0.0.1"));
    // The same value again, alone or in a whole map, is no change.
    QVERIFY(ip.setProperty(property, QStringLiteral("10.0.0.1")));
    ip.fromMap(QVariantMap(ip.toMap()));
    QCOMPARE(signalled(), 1);

    // A map without the key empties the field.
    QVariantMap others{{"address", "1.1.1.1"}, {"netmask", "1.1.1.1"}, {"gateway", "1.1.1.1"},
                       {"dns0", "1.1.1.1"}, {"dns1", "1.1.1.1"}};
    others.remove(key);
    ip.fromMap(others);
    QCOMPARE(own.count(), 2);
    QCOMPARE(signalled(), 6);
    QCOMPARE(ip.property(property).toString(), QString());
}

// Refused in an address field: leading zeros, numbers above 255, anything but four numbers.
void TestIPv4::validAddress()
{
    for (const char* bad : {"", "192.168.07.20", "256.1.1.1", "1.2.3", "1.2.3.4.5", "1.2.3.4\n", " 1.2.3.4", "1.2.3.-4"})
        QVERIFY2(!IPv4().isValidAddress(QLatin1String(bad)), bad);
}

QTEST_GUILESS_MAIN(TestIPv4)
#include "tst_IPv4.moc"
