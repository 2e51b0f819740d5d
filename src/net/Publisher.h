#pragma once
// The station's publisher to the plant's MQTT broker. It has a network thread of its own that
// connects, reconnects (backing off to at most 30 s) and sends; callers on any thread only
// hand over messages and never wait for the network, the broker or a name lookup.
//
// Two kinds of message:
//  - states (<prefix>/status, link, plant): retained; only the latest of each topic counts,
//    and every one is sent again after a reconnection;
//  - records (<prefix>/event, dose): QoS 1, in order, each leaving the queue only when the
//    broker has acknowledged it; up to a window of them travel at once, so a queue that
//    filled while the broker was away empties in a few round trips, not one per record; the
//    queue is bounded, and past the bound the oldest go and their number is published
//    (<prefix>/lost) once the broker is back.
// The will is "offline" on <prefix>/status; an orderly stop publishes it itself.
#include "MqttConfig.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

struct mosquitto;

namespace mqtt {

class Publisher {
public:
    struct Options {
        BrokerUrl broker;
        QString topic = QStringLiteral("korvel");
        QString user;
        QString password;
        QString caFile;
        QString clientId;               // empty: korvel-<host name>-<process id>
        std::size_t queueLimit = 10000; // records waiting for the broker
        int maxBackoffMs = 30000;
    };
    // Told on the network thread when publishing stops working (with the reason) and when it
    // works again: once per change, never once per attempt.
    using StateSink = std::function<void(bool working, const QString& why)>;

    Publisher(Options options, StateSink onState);
    // Sends what waits (for at most 2 s while connected), publishes "offline", disconnects and
    // ends the network thread.
    ~Publisher();
    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

    // A retained state under <prefix>/<name>; replaces one not yet sent.
    void state(const char* name, const QByteArray& payload);
    // The same, with the payload made on the network thread when it is sent: what is costly
    // to make costs the caller nothing, and one replaced before it went is never made.
    using Maker = std::function<QByteArray()>;
    void state(const char* name, Maker make);
    // A record under <prefix>/<name> (QoS 1), as a JSON object with its sequence number
    // "seq" added: counted from 1 for the run across every record topic, so a consumer sees
    // at once whether it missed one or got one twice.
    void record(const char* name, QJsonObject fields);
    // The same, with the fields made on the network thread when the record is first sent.
    using Fields = std::function<QJsonObject()>;
    void record(const char* name, Fields fields);

    // For tests and the benchmark: records waiting (sent but not acknowledged included).
    std::size_t waiting() const;
    std::uint64_t lost() const;
    bool connected() const;

private:
    struct Record {
        QByteArray topic;
        Fields fields;         // made into the payload when first sent
        QByteArray payload;    // then kept for a resend
        std::uint64_t key = 0; // the record's sequence number: unique in the run
        int mid = -1;          // its message id while sent on this connection
        bool acknowledged = false;
    };
    void run();
    bool connectOnce();
    void dropConnection(const QString& why);
    void pump();
    void setWorking(bool working, const QString& why);
    QByteArray topicOf(const char* name) const;
    // The payload of a record: its fields with its sequence number.
    static QByteArray payloadOf(const Record& r);

    static void onConnect(struct mosquitto*, void* self, int rc);
    static void onDisconnect(struct mosquitto*, void* self, int rc);
    static void onPublish(struct mosquitto*, void* self, int mid);

    const Options options_;
    const StateSink onState_;
    QByteArray clientId_;
    const QByteArray prefix_; // the topic prefix with its slash, as UTF-8

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    // topic -> what makes its latest payload, run each time it is sent (again after a reconnection)
    std::map<QByteArray, Maker> states_;
    std::map<QByteArray, bool> statesSent_; // topic -> sent since the last connection
    std::deque<Record> records_;
    std::uint64_t nextSequence_ = 1;
    std::uint64_t lost_ = 0;
    bool lostToTell_ = false;

    // Network thread only.
    struct mosquitto* m_ = nullptr;
    bool connected_ = false; // the broker accepted the connection
    // Under mutex_: the records at the front that were sent on this connection (acknowledged
    // or not); they leave the queue in order once the front one is acknowledged.
    std::size_t sent_ = 0;
    const std::size_t window_; // records sent and not yet acknowledged, at most
    int backoffMs_ = 1000;
    int working_ = -1;             // -1 not yet known, 0 failing, 1 working
    QString refused_;              // why the broker refused the connection
    bool connectedShared_ = false; // under mutex_, for connected()

    std::thread thread_;
};

} // namespace mqtt
