#include "Common/MosquittoClient.h"

#include "Common/MqttSubscription.h"

#include <QHostAddress>
#include <QHostInfo>

#include <mosquitto.h>

#include <mutex>

namespace {

constexpr int HousekeepingMillis = 1000;
constexpr int MaxPacketsPerRead = 256;

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// The broker usually listens on IPv4; a name with both kinds tries that first.
QString preferredAddress(const QList<QHostAddress>& addresses)
{
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toString();
    }
    return addresses.isEmpty() ? QString() : addresses.first().toString();
}

MosquittoClient::ClientError refusalError(int rc)
{
    if (rc >= MosquittoClient::InvalidProtocolVersion && rc <= MosquittoClient::NotAuthorized)
        return static_cast<MosquittoClient::ClientError>(rc);
    return MosquittoClient::UnknownError;
}

} // namespace

MosquittoClient::MosquittoClient(QObject* parent) : QObject(parent)
{
    initLibrary();
    m_housekeeping.setInterval(HousekeepingMillis);
    QObject::connect(&m_housekeeping, &QTimer::timeout, this, &MosquittoClient::onHousekeeping);
    QObject::connect(&m_socket, &SocketWatch::readable, this, &MosquittoClient::onReadable);
    QObject::connect(&m_socket, &SocketWatch::writable, this, &MosquittoClient::onWritable);
}

MosquittoClient::~MosquittoClient()
{
    abortLookup();
    destroyHandle();
}

void MosquittoClient::setHostname(const QString& hostname)
{
    m_hostname = hostname;
}

void MosquittoClient::setPort(quint16 port)
{
    m_port = port;
}

void MosquittoClient::setUsername(const QString& username)
{
    m_username = username;
}

void MosquittoClient::setPassword(const QString& password)
{
    m_password = password;
}

void MosquittoClient::setClientId(const QString& clientId)
{
    m_clientId = clientId;
}

void MosquittoClient::setCleanSession(bool cleanSession)
{
    m_cleanSession = cleanSession;
}

void MosquittoClient::setKeepAlive(quint16 seconds)
{
    m_keepAlive = seconds;
}

void MosquittoClient::setWillTopic(const QString& topic)
{
    m_willTopic = topic;
}

void MosquittoClient::setWillMessage(const QByteArray& message)
{
    m_willMessage = message;
}

void MosquittoClient::setWillQoS(quint8 qos)
{
    m_willQoS = qos;
}

void MosquittoClient::setWillRetain(bool retain)
{
    m_willRetain = retain;
}

void MosquittoClient::connectToHost()
{
    // Like the toolkit client: a request while a connection exists or is
    // being made is refused; new settings apply to the next connection.
    if (m_state != Disconnected)
        return;
    destroyHandle();
    m_refusal = NoError;
    // A new attempt forgets the last failure, so the same failure is
    // reported again, as the toolkit client does.
    m_error = NoError;
    setState(Connecting);
    // An address is used as it stands (a lookup would ask for its name in
    // reverse). A name is resolved beside the event loop: the library would
    // block it for as long as the name server takes.
    const QHostAddress address(m_hostname);
    if (!address.isNull()) {
        connectTo(address.toString());
        return;
    }
    m_lookupId = QHostInfo::lookupHost(m_hostname, this, &MosquittoClient::onHostFound);
}

void MosquittoClient::onHostFound(const QHostInfo& host)
{
    if (host.lookupId() != m_lookupId)
        return;
    m_lookupId = -1;
    connectTo(preferredAddress(host.addresses()));
}

void MosquittoClient::connectTo(const QString& address)
{
    if (address.isEmpty() || !createHandle()
        || mosquitto_connect_async(m_handle, address.toUtf8().constData(), m_port, m_keepAlive)
               != MOSQ_ERR_SUCCESS) {
        // An impossible connect is reported from the event loop, as an
        // asynchronous transport failure would be.
        post([this] { connectionLost(TransportInvalid); });
        QTimer::singleShot(0, this, &MosquittoClient::flushEvents);
        return;
    }
    updateSocketWatch();
    m_housekeeping.start();
}

void MosquittoClient::abortLookup()
{
    if (m_lookupId < 0)
        return;
    QHostInfo::abortHostLookup(m_lookupId);
    m_lookupId = -1;
}

void MosquittoClient::disconnectFromHost()
{
    if (m_state == Disconnected)
        return;
    if (m_state == Connecting || mosquitto_disconnect(m_handle) != MOSQ_ERR_SUCCESS) {
        closeTransport();
        return;
    }
    afterLibraryCall();
}

void MosquittoClient::closeTransport()
{
    abortLookup();
    destroyHandle();
    // An attempt or a connection cut short is a transport failure.
    if (m_state != Disconnected)
        connectionLost(TransportInvalid);
}

MqttSubscription* MosquittoClient::subscribe(const QString& filter, quint8 qos)
{
    if (m_state != Connected || qos > 2)
        return nullptr;
    const QByteArray utf8 = filter.toUtf8();
    if (mosquitto_sub_topic_check(utf8.constData()) != MOSQ_ERR_SUCCESS)
        return nullptr;
    const int rc = mosquitto_subscribe(m_handle, nullptr, utf8.constData(), qos);
    afterLibraryCall();
    if (rc != MOSQ_ERR_SUCCESS)
        return nullptr;
    MqttSubscription*& subscription = m_subscriptions[filter];
    if (!subscription || subscription->qos() != qos) {
        delete subscription;
        subscription = new MqttSubscription(filter, qos, this);
    }
    return subscription;
}

qint32 MosquittoClient::publish(const QString& topic, const QByteArray& message, quint8 qos,
                                bool retain)
{
    if (m_state != Connected || qos > 2)
        return -1;
    const QByteArray utf8 = topic.toUtf8();
    if (mosquitto_pub_topic_check(utf8.constData()) != MOSQ_ERR_SUCCESS)
        return -1;
    int mid = 0;
    const int rc = mosquitto_publish(m_handle, &mid, utf8.constData(), message.size(),
                                     message.constData(), qos, retain);
    afterLibraryCall();
    return rc == MOSQ_ERR_SUCCESS ? mid : -1;
}

void MosquittoClient::onConnectCallback(mosquitto*, void* self, int rc)
{
    auto* client = static_cast<MosquittoClient*>(self);
    if (rc == 0) {
        client->post([client] { client->setState(Connected); });
        return;
    }
    // The library closes the link right after; the disconnect reports this.
    client->m_refusal = refusalError(rc);
}

void MosquittoClient::onDisconnectCallback(mosquitto*, void* self, int rc)
{
    auto* client = static_cast<MosquittoClient*>(self);
    const ClientError reason =
        client->m_refusal != NoError ? client->m_refusal : (rc == 0 ? NoError : TransportInvalid);
    client->post([client, reason] { client->connectionLost(reason); });
}

void MosquittoClient::onMessageCallback(mosquitto*, void* self, const mosquitto_message* msg)
{
    auto* client = static_cast<MosquittoClient*>(self);
    // The library owns the message: copy it before it is gone.
    const QByteArray payload(static_cast<const char*>(msg->payload), msg->payloadlen);
    const QString topic = QString::fromUtf8(msg->topic);
    client->post([client, payload, topic] { emit client->messageReceived(payload, topic); });
}

bool MosquittoClient::createHandle()
{
    const QByteArray id = m_clientId.toUtf8();
    // The library only invents an id for a clean session.
    const bool generatedId = id.isEmpty();
    m_handle = mosquitto_new(generatedId ? nullptr : id.constData(),
                             generatedId ? true : m_cleanSession, this);
    if (!m_handle)
        return false;
    ++m_generation;
    mosquitto_int_option(m_handle, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    // Requests are small and must not wait behind delayed acknowledgements.
    mosquitto_int_option(m_handle, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_connect_callback_set(m_handle, &MosquittoClient::onConnectCallback);
    mosquitto_disconnect_callback_set(m_handle, &MosquittoClient::onDisconnectCallback);
    mosquitto_message_callback_set(m_handle, &MosquittoClient::onMessageCallback);
    if (!m_username.isEmpty()) {
        mosquitto_username_pw_set(m_handle, m_username.toUtf8().constData(),
                                  m_password.isEmpty() ? nullptr : m_password.toUtf8().constData());
    }
    if (!m_willTopic.isEmpty()) {
        mosquitto_will_set(m_handle, m_willTopic.toUtf8().constData(), m_willMessage.size(),
                           m_willMessage.constData(), m_willQoS, m_willRetain);
    }
    return true;
}

// Whatever was posted before is stale from here on.
void MosquittoClient::destroyHandle()
{
    m_socket.drop();
    m_housekeeping.stop();
    ++m_generation;
    if (!m_handle)
        return;
    mosquitto_destroy(m_handle);
    m_handle = nullptr;
}

void MosquittoClient::updateSocketWatch()
{
    m_socket.watch(m_handle ? mosquitto_socket(m_handle) : -1);
    m_socket.setWriteInterest(m_handle && mosquitto_want_write(m_handle));
}

void MosquittoClient::onReadable()
{
    if (!m_handle)
        return;
    // The library reads one packet a call; drain what has arrived so a burst
    // does not cost one event-loop round per message.
    for (int i = 0; i < MaxPacketsPerRead; ++i) {
        if (mosquitto_loop_read(m_handle, 1) != MOSQ_ERR_SUCCESS || m_socket.pendingBytes() <= 0)
            break;
    }
    afterLibraryCall();
}

void MosquittoClient::onWritable()
{
    if (!m_handle)
        return;
    mosquitto_loop_write(m_handle, 1);
    afterLibraryCall();
}

void MosquittoClient::onHousekeeping()
{
    if (!m_handle)
        return;
    mosquitto_loop_misc(m_handle);
    afterLibraryCall();
}

void MosquittoClient::afterLibraryCall()
{
    flushEvents();
    if (!m_handle)
        return;
    if (mosquitto_socket(m_handle) < 0 && m_state != Disconnected) {
        connectionLost(m_refusal != NoError ? m_refusal : TransportInvalid);
        return;
    }
    updateSocketWatch();
}

void MosquittoClient::connectionLost(ClientError error)
{
    m_socket.drop();
    if (m_state == Disconnected)
        return;
    setState(Disconnected);
    setError(error);
}

void MosquittoClient::setState(ClientState state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (state == Connected)
        m_error = NoError;
    emit stateChanged(state);
    if (state == Connected)
        emit connected();
    else if (state == Disconnected)
        emit disconnected();
}

void MosquittoClient::setError(ClientError error)
{
    if (error == NoError || m_error == error)
        return;
    m_error = error;
    emit errorChanged(error);
}

void MosquittoClient::post(std::function<void()> event)
{
    const quint64 generation = m_generation;
    m_events.push_back([this, generation, event = std::move(event)] {
        // Events of a handle that has since been replaced are stale.
        if (generation == m_generation)
            event();
    });
}

void MosquittoClient::flushEvents()
{
    std::vector<std::function<void()>> events;
    events.swap(m_events);
    for (auto& event : events)
        event();
}
