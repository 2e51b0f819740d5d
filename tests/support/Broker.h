#pragma once
// A real MQTT broker for the tests: Debian's mosquitto on 127.0.0.1 on a free port, with its
// configuration and files in a folder of its own; started, stopped and started again on the
// same port. A subscriber on libmosquitto collects what the broker delivers.
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace testbroker {

class Broker {
public:
    struct Options {
        bool persistent = false; // keeps sessions and queued messages across a restart
        QString user, password;  // with a user: no anonymous clients
        bool tls = false;        // a self-signed CA and a server certificate for 127.0.0.1
        // A broker as a plant secures it: TLS, and only the one user with the password.
        static Options secured(const QString& user, const QString& password) {
            Options o;
            o.user = user;
            o.password = password;
            o.tls = true;
            return o;
        }
    };
    explicit Broker(Options options);
    Broker() : Broker(Options{}) {}
    ~Broker();

    int port() const { return port_; }
    QString caFile() const { return dir_.filePath("ca.pem"); }
    // Starts the broker and waits until it takes connections (false after 10 s).
    bool start();
    // Stops it (SIGTERM: it saves what it keeps) and waits for its end.
    void stop();
    // Empty when all went well; what failed otherwise.
    const QString& error() const { return error_; }

private:
    Options options_;
    QTemporaryDir dir_;
    int port_ = 0;
    int pid_ = -1;
    QString error_;
};

struct Message {
    std::string topic;
    std::string payload;
    bool retained = false;
};

class Subscriber {
public:
    // Subscribes to filter with QoS 1; a persistent session keeps what arrives while the
    // broker is away and the subscriber reconnects.
    Subscriber(int port, const std::string& filter, bool persistent = false,
               const std::string& clientId = "korvel-test-subscriber");
    ~Subscriber();
    std::vector<Message> messages() const;
    // Waits until pred holds for the messages so far (false after timeout).
    bool waitFor(const std::function<bool(const std::vector<Message>&)>& pred,
                 std::chrono::milliseconds timeout) const;

private:
    static void onConnect(struct mosquitto*, void*, int);
    static void onMessage(struct mosquitto*, void*, const struct mosquitto_message*);
    std::string filter_;
    struct mosquitto* m_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
};

} // namespace testbroker
