#include "broker/BrokerLink.h"

#include <QMetaObject>

#include <mosquitto.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

std::once_flag g_libraryReady;

QString hostText(const BrokerAddress& address)
{
    return QStringLiteral("%1:%2").arg(address.host).arg(address.port);
}

QString whyNotConnected(int rc, const BrokerAddress& address)
{
    switch (rc) {
    case MOSQ_ERR_TLS:
        return QStringLiteral("אישור האבטחה של שרת ההודעות %1 לא אומת (אינו חתום בידי רשות "
                              "אישורים מוכרת או אינו של השם הזה): לא נשלח אליו דבר")
            .arg(hostText(address));
    case MOSQ_ERR_EAI:
        return QStringLiteral("שם שרת ההודעות %1 אינו מוכר ברשת").arg(address.host);
    default:
        return QStringLiteral("אין חיבור לשרת ההודעות %1: הוא אינו זמין או שהרשת מנותקת")
            .arg(hostText(address));
    }
}

QString whyRefused(int connack)
{
    // MQTT 3.1.1: 4 bad user name or password, 5 not authorised.
    if (connack == 4 || connack == 5)
        return QStringLiteral("שרת ההודעות דחה את שם המשתמש או את הסיסמה");
    return QStringLiteral("שרת ההודעות דחה את החיבור (קוד %1)").arg(connack);
}

QString whyLost()
{
    return QStringLiteral("הקשר עם שרת ההודעות נותק: מתחבר שוב");
}

} // namespace

struct BrokerLink::Shared
{
    struct Outgoing
    {
        QByteArray topic;
        QByteArray payload;
        int mid = 0;
        quint64 connection = 0; // the connection it was published on; 0: not yet
    };

    Options options;
    QByteArray password;
    std::mutex mutex;
    std::condition_variable wake;
    BrokerLink* owner = nullptr; // cleared by the owner's destructor
    mosquitto* mosq = nullptr;
    bool stop = false;
    bool connected = false; // the broker accepted the connection
    quint64 connection = 0; // counts the connections accepted
    int refusal = 0;        // the broker's answer when it refused
    std::deque<Outgoing> outbox;
    int receivedWaiting = 0;
    bool ended = false;

    // With the mutex held: calls back on the owner's thread, if it is still there.
    template <typename Call> void post(Call call)
    {
        if (owner)
            QMetaObject::invokeMethod(
                owner, [owner = owner, call] { call(owner); }, Qt::QueuedConnection);
    }
    void postState(State state, const QString& why)
    {
        post([state, why](BrokerLink* link) { link->noteState(state, why); });
    }
    // With the mutex held: what waits goes on this connection.
    void publishWaiting()
    {
        for (Outgoing& message : outbox)
            if (message.connection != connection) {
                if (mosquitto_publish(mosq, &message.mid, message.topic.constData(),
                                      int(message.payload.size()), message.payload.constData(), 1,
                                      false) == MOSQ_ERR_SUCCESS)
                    message.connection = connection;
            }
    }
    // Sleeps the pause, or less when stopped.
    void pause(int ms)
    {
        std::unique_lock lock(mutex);
        wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop; });
    }
    bool stopped()
    {
        std::lock_guard lock(mutex);
        return stop;
    }

    static void onConnect(mosquitto* mosq, void* data, int rc);
    static void onPublish(mosquitto*, void* data, int mid);
    static void onMessage(mosquitto*, void* data, const mosquitto_message* message);
    bool configure();
    void run();
    void connectOnce(int& pauseMs);
};

void BrokerLink::Shared::onConnect(mosquitto* mosq, void* data, int rc)
{
    auto* self = static_cast<Shared*>(data);
    std::lock_guard lock(self->mutex);
    if (rc != 0) {
        self->refusal = rc;
        return;
    }
    self->connected = true;
    ++self->connection;
    for (const QString& topic : self->options.subscriptions)
        mosquitto_subscribe(mosq, nullptr, topic.toUtf8().constData(), 1);
    self->publishWaiting();
    self->postState(State::Connected, QString());
}

void BrokerLink::Shared::onPublish(mosquitto*, void* data, int mid)
{
    auto* self = static_cast<Shared*>(data);
    std::lock_guard lock(self->mutex);
    std::erase_if(self->outbox, [&](const Outgoing& message) {
        return message.connection == self->connection && message.mid == mid;
    });
    const int left = int(self->outbox.size());
    self->post([left](BrokerLink* link) { emit link->acknowledged(left); });
}

void BrokerLink::Shared::onMessage(mosquitto*, void* data, const mosquitto_message* message)
{
    auto* self = static_cast<Shared*>(data);
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    std::unique_lock lock(self->mutex);
    // The broker keeps what the owner has no room for yet.
    self->wake.wait(lock,
                    [self] { return self->stop || self->receivedWaiting < kMaxReceivedWaiting; });
    if (self->stop)
        return;
    ++self->receivedWaiting;
    self->post([topic, payload](BrokerLink* link) { emit link->received(topic, payload); });
}

bool BrokerLink::Shared::configure()
{
    mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_threaded_set(mosq, true);
    mosquitto_connect_callback_set(mosq, &Shared::onConnect);
    mosquitto_publish_callback_set(mosq, &Shared::onPublish);
    mosquitto_message_callback_set(mosq, &Shared::onMessage);
    const QByteArray user = options.user.toUtf8();
    mosquitto_username_pw_set(mosq, user.isEmpty() ? nullptr : user.constData(),
                              password.isEmpty() ? nullptr : password.constData());
    if (!options.address.tls)
        return true;
    const QByteArray caFile = options.caFile.toLocal8Bit();
    const int rc =
        caFile.isEmpty()
            ? mosquitto_tls_set(mosq, nullptr, "/etc/ssl/certs", nullptr, nullptr, nullptr)
            : mosquitto_tls_set(mosq, caFile.constData(), nullptr, nullptr, nullptr, nullptr);
    if (rc == MOSQ_ERR_SUCCESS && mosquitto_tls_opts_set(mosq, 1, nullptr, nullptr) == 0 &&
        mosquitto_tls_insecure_set(mosq, false) == 0)
        return true;
    std::lock_guard lock(mutex);
    postState(State::Refused,
              QStringLiteral("לא ניתן לקרוא את קובץ רשויות האישורים %1").arg(options.caFile));
    return false;
}

// One connection, from connecting until it is lost or refused.
void BrokerLink::Shared::connectOnce(int& pauseMs)
{
    const QByteArray host = options.address.host.toUtf8();
    int rc = mosquitto_connect(mosq, host.constData(), options.address.port, kKeepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS) {
        std::lock_guard lock(mutex);
        postState(State::Refused, whyNotConnected(rc, options.address));
        return;
    }
    while (rc == MOSQ_ERR_SUCCESS && !stopped())
        rc = mosquitto_loop(mosq, 1000, 1);
    std::lock_guard lock(mutex);
    if (stop)
        return;
    if (connected) {
        pauseMs = 0;
        postState(State::Connecting, whyLost());
    } else {
        postState(State::Refused,
                  refusal ? whyRefused(refusal) : whyNotConnected(rc, options.address));
    }
    connected = false;
    refusal = 0;
}

void BrokerLink::Shared::run()
{
    if (configure()) {
        int pauseMs = kFirstRetryMs;
        while (!stopped()) {
            connectOnce(pauseMs);
            pause(pauseMs);
            pauseMs = pauseMs == 0 ? kFirstRetryMs : std::min(pauseMs * 2, kMaxRetryMs);
        }
        mosquitto_disconnect(mosq);
    }
    std::lock_guard lock(mutex);
    ended = true;
    wake.notify_all();
}

BrokerLink::BrokerLink(Options options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_shared(std::make_shared<Shared>())
{
    std::call_once(g_libraryReady, [] { mosquitto_lib_init(); });
    m_shared->options = m_options;
    m_shared->owner = this;
}

BrokerLink::~BrokerLink()
{
    mosquitto* mosq = nullptr;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->owner = nullptr;
        m_shared->stop = true;
        m_shared->wake.notify_all();
        mosq = m_shared->mosq;
    }
    if (!mosq)
        return;
    mosquitto_disconnect(mosq); // wakes the loop
    // A connection attempt may hang on an unreachable host: the thread ends
    // by itself then, keeping what it uses.
    std::unique_lock lock(m_shared->mutex);
    m_shared->wake.wait_for(lock, std::chrono::seconds(2), [this] { return m_shared->ended; });
    if (m_shared->ended)
        mosquitto_destroy(mosq);
}

void BrokerLink::start(const QString& password)
{
    std::lock_guard lock(m_shared->mutex);
    if (m_shared->mosq)
        return;
    m_shared->password = password.toUtf8();
    const QByteArray id = m_options.clientId.toUtf8();
    m_shared->mosq = mosquitto_new(id.constData(), !m_options.persistent, m_shared.get());
    if (!m_shared->mosq) {
        noteState(State::Refused, QStringLiteral("לא ניתן ליצור חיבור לשרת ההודעות"));
        return;
    }
    std::thread([shared = m_shared] { shared->run(); }).detach();
}

bool BrokerLink::publish(const QString& topic, const QByteArray& payload)
{
    std::lock_guard lock(m_shared->mutex);
    if (int(m_shared->outbox.size()) >= kMaxOutbox)
        return false;
    m_shared->outbox.push_back({topic.toUtf8(), payload});
    if (m_shared->connected)
        m_shared->publishWaiting();
    return true;
}

int BrokerLink::unacknowledged() const
{
    std::lock_guard lock(m_shared->mutex);
    return int(m_shared->outbox.size());
}

void BrokerLink::doneWithReceived()
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->receivedWaiting = std::max(0, m_shared->receivedWaiting - 1);
    m_shared->wake.notify_all();
}

void BrokerLink::noteState(State state, const QString& why)
{
    if (state == m_state && why == m_why)
        return;
    m_state = state;
    m_why = why;
    emit stateChanged(state, why);
}
