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
    void freshMapHoldsStrings();
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
    QStringList names;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        names << QString::fromLatin1(meta->property(i).name());
        spies.push_back(std::make_unique<QSignalSpy>(&ip, meta->property(i).notifySignal()));
    }
    // How often each field has signalled, keyed by property name.
    const auto signalled = [&] {
        QMap<QString, int> counts;
        for (size_t i = 0; i < spies.size(); ++i)
            counts[names[int(i)]] = spies[i]->count();
        return counts;
    };
    QMap<QString, int> expected;
    for (const QString& name : names)
        expected[name] = 0;

    QVERIFY(ip.setProperty(property, QStringLiteral("10.0.0.1")));
    expected[property] = 1;
    QCOMPARE(signalled(), expected);
    QCOMPARE(ip.property(property).toString(), QStringLiteral("10.0.0.1"));
    QCOMPARE(ip.toMap().value(key).toString(), QStringLiteral("10.0.0.1"));
    QVERIFY(ip.setProperty(property, QStringLiteral("10.0.0.1")));
    ip.fromMap(QVariantMap(ip.toMap()));
    QCOMPARE(signalled(), expected);

    // A map without the key empties the field.
    QVariantMap others{{"address", "1.1.1.1"}, {"netmask", "1.1.1.1"}, {"gateway", "1.1.1.1"},
                       {"dns0", "1.1.1.1"}, {"dns1", "1.1.1.1"}};
    others.remove(key);
    ip.fromMap(others);
    for (const QString& name : names)
        expected[name] = 1;
    expected[property] = 2;
    QCOMPARE(signalled(), expected);
    QCOMPARE(ip.property(property).toString(), QString());
}

// Set to empty strings from the start, every key holds a string, so that the
// map compares equal to an incoming one with empty fields.
void TestIPv4::freshMapHoldsStrings()
{
    IPv4 ip;
    QSignalSpy address(&ip, &IPv4::addressChanged);
    const QVariantMap empty{{"address", ""}, {"netmask", ""}, {"gateway", ""}, {"dns0", ""}, {"dns1", ""}};
    ip.fromMap(QVariantMap());
    QCOMPARE(address.count(), 0);
    QCOMPARE(ip.toMap(), empty);
}

QTEST_GUILESS_MAIN(TestIPv4)
#include "tst_IPv4.moc"
