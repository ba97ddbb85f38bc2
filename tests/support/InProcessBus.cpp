#include "InProcessBus.h"

#include <QJsonDocument>
#include <QTest>
#include <QTimer>

void InProcessBus::connect()
{
    QTimer::singleShot(0, this, [this] {
        if (m_connected)
            return;
        m_connected = true;
        emit connected();
    });
}

// Every request is kept, so a test sees a subscription asked twice.
void InProcessBus::subscribe(const QString& topic, quint8)
{
    m_filters << topic;
}

// A subscriber to its own topic hears it back later, as from a broker.
bool InProcessBus::publish(const QByteArray& data, const QString& topic, quint8, bool)
{
    if (!m_connected)
        return false;
    append(topic, data);
    QTimer::singleShot(0, this, [this, topic, data] { deliver(topic, data); });
    return true;
}

bool InProcessBus::deliver(const QString& topic, const QByteArray& payload)
{
    if (!m_connected)
        return false;
    for (const QString& filter : qAsConst(m_filters)) {
        if (matches(filter, topic)) {
            emit received(payload, topic.toUtf8());
            return true;
        }
    }
    return false;
}

bool InProcessBus::deliver(const QString& topic, const QJsonObject& payload)
{
    return deliver(topic, QJsonDocument(payload).toJson(QJsonDocument::Compact));
}

void InProcessBus::drop()
{
    if (!m_connected)
        return;
    m_connected = false;
    emit disconnected();
}

bool InProcessBus::waitConnected()
{
    return QTest::qWaitFor([this] { return m_connected; }, 5000);
}

bool InProcessBus::matches(const QString& filter, const QString& topic)
{
    const QStringList want = filter.split(QLatin1Char('/'));
    const QStringList have = topic.split(QLatin1Char('/'));
    for (int i = 0; i < want.size(); ++i) {
        if (want.at(i) == QLatin1String("#"))
            return true;
        if (i >= have.size() || (want.at(i) != QLatin1String("+") && want.at(i) != have.at(i)))
            return false;
    }
    return want.size() == have.size();
}
