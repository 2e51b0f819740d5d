#include "Publisher.h"

#include <QJsonDocument>
#include <QSysInfo>

#include <mosquitto.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <unistd.h>
#include <utility>
#include <vector>

namespace mqtt {

namespace {
constexpr int kKeepAliveS = 30;
constexpr int kLoopMs = 100;
// Records sent ahead of their acknowledgement: libmosquitto's own limit is 20, the broker's
// for its clients too.
constexpr std::size_t kWindow = 16;

// libmosquitto is set up once for the process.
void initLibrary() {
    static const int once = [] {
        mosquitto_lib_init();
        return 0;
    }();
    (void)once;
}

QString connackText(int rc) {
    return QString::fromUtf8(mosquitto_connack_string(rc));
}
QString errorText(int rc) {
    return QString::fromUtf8(mosquitto_strerror(rc));
}
} // namespace

Publisher::Publisher(Options options, StateSink onState)
    : options_(std::move(options)), onState_(std::move(onState)),
      prefix_(options_.topic.toUtf8() + '/'),
      // Below the bound, so that past it there is always a waiting record to give up.
      window_(std::clamp<std::size_t>(options_.queueLimit / 2, 1, kWindow)) {
    initLibrary();
    clientId_ = options_.clientId.isEmpty() ? QStringLiteral("korvel-%1-%2")
                                                  .arg(QSysInfo::machineHostName())
                                                  .arg(::getpid())
                                                  .toUtf8()
                                                  .left(64)
                                            : options_.clientId.toUtf8();
    thread_ = std::thread([this] { run(); });
}

Publisher::~Publisher() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

QByteArray Publisher::topicOf(const char* name) const {
    return prefix_ + name;
}

QByteArray Publisher::payloadOf(const Record& r) {
    if (!r.payload.isEmpty() || !r.fields)
        return r.payload;
    QJsonObject o = r.fields();
    o.insert(QStringLiteral("seq"), qint64(r.key));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

void Publisher::state(const char* name, const QByteArray& payload) {
    state(name, Maker([payload] { return payload; }));
}

void Publisher::state(const char* name, Maker make) {
    QByteArray topic = topicOf(name);
    {
        std::lock_guard lock(mutex_);
        states_[topic] = std::move(make);
        statesSent_[std::move(topic)] = false;
    }
    wake_.notify_all();
}

void Publisher::record(const char* name, QJsonObject fields) {
    record(name, Fields([fields = std::move(fields)] { return fields; }));
}

void Publisher::record(const char* name, Fields fields) {
    QByteArray topic = topicOf(name);
    {
        std::lock_guard lock(mutex_);
        const std::uint64_t key = nextSequence_++;
        records_.push_back({std::move(topic), std::move(fields), {}, key});
        // Past the bound the oldest waiting record goes; those already with the broker stay.
        if (records_.size() > options_.queueLimit && sent_ < records_.size() - 1) {
            records_.erase(records_.begin() + std::ptrdiff_t(sent_));
            ++lost_;
            lostToTell_ = true;
        }
    }
    wake_.notify_all();
}

std::size_t Publisher::waiting() const {
    std::lock_guard lock(mutex_);
    return records_.size();
}

std::uint64_t Publisher::lost() const {
    std::lock_guard lock(mutex_);
    return lost_;
}

bool Publisher::connected() const {
    std::lock_guard lock(mutex_);
    return connectedShared_;
}

void Publisher::setWorking(bool working, const QString& why) {
    const int now = working ? 1 : 0;
    if (working_ == now)
        return;
    // The first successful connection is no news; a first failure is.
    const bool tell = !(working_ == -1 && working);
    working_ = now;
    if (tell && onState_)
        onState_(working, why);
}

void Publisher::onConnect(struct mosquitto*, void* self, int rc) {
    auto* p = static_cast<Publisher*>(self);
    if (rc != 0) {
        p->refused_ = connackText(rc);
        return;
    }
    p->connected_ = true;
    p->backoffMs_ = 1000;
    {
        std::lock_guard lock(p->mutex_);
        p->connectedShared_ = true;
        for (auto& [topic, sent] : p->statesSent_)
            sent = false;
    }
    // The will says offline; the station says online as soon as it is connected.
    static const QByteArray online = "online";
    mosquitto_publish(p->m_, nullptr, p->topicOf("status").constData(), int(online.size()),
                      online.constData(), 1, true);
    p->setWorking(true, {});
}

void Publisher::onDisconnect(struct mosquitto*, void* self, int) {
    auto* p = static_cast<Publisher*>(self);
    p->connected_ = false;
}

void Publisher::onPublish(struct mosquitto*, void* self, int mid) {
    auto* p = static_cast<Publisher*>(self);
    {
        std::lock_guard lock(p->mutex_);
        bool ours = false;
        for (std::size_t i = 0; i < p->sent_ && !ours; ++i)
            if (p->records_[i].mid == mid)
                ours = p->records_[i].acknowledged = true;
        if (!ours)
            return;
        while (p->sent_ > 0 && p->records_.front().acknowledged) {
            p->records_.pop_front();
            --p->sent_;
        }
    }
    // The window fills again at once, not at the next turn of the loop.
    if (p->connected_)
        p->pump();
}

bool Publisher::connectOnce() {
    m_ = mosquitto_new(clientId_.constData(), true, this);
    if (!m_)
        return false;
    mosquitto_connect_callback_set(m_, &Publisher::onConnect);
    mosquitto_disconnect_callback_set(m_, &Publisher::onDisconnect);
    mosquitto_publish_callback_set(m_, &Publisher::onPublish);
    static const QByteArray offline = "offline";
    const QByteArray status = topicOf("status");
    mosquitto_will_set(m_, status.constData(), int(offline.size()), offline.constData(), 1, true);
    if (!options_.user.isEmpty())
        mosquitto_username_pw_set(
            m_, options_.user.toUtf8().constData(),
            options_.password.isEmpty() ? nullptr : options_.password.toUtf8().constData());
    int rc = MOSQ_ERR_SUCCESS;
    if (options_.broker.tls) {
        const QByteArray ca = options_.caFile.toUtf8();
        rc =
            mosquitto_tls_set(m_, ca.isEmpty() ? nullptr : ca.constData(),
                              ca.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
    }
    if (rc == MOSQ_ERR_SUCCESS)
        rc = mosquitto_connect_async(m_, options_.broker.host.toUtf8().constData(),
                                     options_.broker.port, kKeepAliveS);
    if (rc != MOSQ_ERR_SUCCESS) {
        dropConnection(rc == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(strerror(errno))
                                            : errorText(rc));
        return false;
    }
    return true;
}

void Publisher::dropConnection(const QString& why) {
    if (m_) {
        mosquitto_destroy(m_);
        m_ = nullptr;
    }
    connected_ = false;
    {
        std::lock_guard lock(mutex_);
        // What was sent and not acknowledged goes again, in order, on the next connection.
        for (std::size_t i = 0; i < sent_; ++i) {
            records_[i].mid = -1;
            records_[i].acknowledged = false;
        }
        sent_ = 0;
        connectedShared_ = false;
    }
    setWorking(false, why);
}

void Publisher::pump() {
    // What to send is taken under the lock and sent without it: libmosquitto may report a
    // message as published (on_publish) from within mosquitto_publish.
    std::vector<std::pair<QByteArray, Maker>> states;
    std::vector<Record> toSend;
    {
        std::lock_guard lock(mutex_);
        for (auto& [topic, sent] : statesSent_) {
            if (!sent) {
                states.emplace_back(topic, states_[topic]);
                sent = true;
            }
        }
        if (lostToTell_ && sent_ == 0) {
            // The number lost goes ahead of the records that are still waiting.
            QJsonObject lost;
            const std::uint64_t key = nextSequence_++;
            lost.insert(QStringLiteral("lost"), qint64(lost_));
            lost.insert(QStringLiteral("seq"), qint64(key));
            records_.push_front(
                {topicOf("lost"), {}, QJsonDocument(lost).toJson(QJsonDocument::Compact), key});
            lostToTell_ = false;
        }
        // Taken as sent now: the bound gives up only records behind them. The window counts
        // every record sent on this connection and still in the queue, so at most that many
        // are ever unacknowledged, however many turns pass before the broker answers.
        for (; sent_ < records_.size() && sent_ < window_; ++sent_)
            toSend.push_back(records_[sent_]);
    }
    for (const auto& [topic, make] : states) {
        const QByteArray payload = make();
        mosquitto_publish(m_, nullptr, topic.constData(), int(payload.size()), payload.constData(),
                          0, true);
    }
    for (const Record& r : toSend) {
        int mid = 0;
        const QByteArray payload = payloadOf(r);
        const bool sent = mosquitto_publish(m_, &mid, r.topic.constData(), int(payload.size()),
                                            payload.constData(), 1, false) == MOSQ_ERR_SUCCESS;
        std::lock_guard lock(mutex_);
        // Only the network thread takes records off the front, so this one is still there.
        std::size_t i = 0;
        while (i < sent_ && records_[i].key != r.key)
            ++i;
        if (i == sent_)
            break;
        if (!sent) {
            // It and those behind it go on a later turn.
            sent_ = i;
            break;
        }
        records_[i].mid = mid;
        records_[i].payload = payload;
        records_[i].fields = nullptr;
    }
}

void Publisher::run() {
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextAttempt = Clock::now();
    bool connecting = false;
    Clock::time_point connectDeadline;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (stop_)
                break;
            if (!m_ && Clock::now() < nextAttempt) {
                wake_.wait_until(lock, nextAttempt, [this] { return stop_; });
                continue;
            }
        }
        if (!m_) {
            refused_.clear();
            if (!connectOnce()) {
                nextAttempt = Clock::now() + std::chrono::milliseconds(backoffMs_);
                backoffMs_ = std::min(backoffMs_ * 2, options_.maxBackoffMs);
                continue;
            }
            connecting = true;
            connectDeadline = Clock::now() + std::chrono::seconds(kKeepAliveS);
        }
        const int rc = mosquitto_loop(m_, kLoopMs, 1);
        if (connected_) {
            connecting = false;
            pump();
        }
        QString why;
        if (!refused_.isEmpty())
            why = refused_;
        else if (rc != MOSQ_ERR_SUCCESS)
            why = rc == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(strerror(errno)) : errorText(rc);
        else if (connecting && Clock::now() > connectDeadline)
            why = QStringLiteral("no answer from the broker");
        else if (!connected_ && !connecting)
            why = QStringLiteral("the broker closed the connection");
        if (!why.isEmpty()) {
            dropConnection(why);
            nextAttempt = Clock::now() + std::chrono::milliseconds(backoffMs_);
            backoffMs_ = std::min(backoffMs_ * 2, options_.maxBackoffMs);
        }
    }
    if (m_) {
        // An orderly end: what waits is sent first, for at most two seconds.
        const Clock::time_point flushEnd = Clock::now() + std::chrono::seconds(2);
        while (connected_ && Clock::now() < flushEnd) {
            {
                std::lock_guard lock(mutex_);
                if (records_.empty())
                    break;
            }
            if (mosquitto_loop(m_, kLoopMs, 1) != MOSQ_ERR_SUCCESS)
                break;
            if (connected_)
                pump();
        }
        if (connected_) {
            // Then offline, sent before the disconnection.
            static const QByteArray offline = "offline";
            mosquitto_publish(m_, nullptr, topicOf("status").constData(), int(offline.size()),
                              offline.constData(), 1, true);
            for (int i = 0; i < 10; ++i)
                mosquitto_loop(m_, 50, 1);
            mosquitto_disconnect(m_);
            mosquitto_loop(m_, 50, 1);
        }
        mosquitto_destroy(m_);
        m_ = nullptr;
    }
}

} // namespace mqtt
