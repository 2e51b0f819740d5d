// The publisher against a real broker: states and records delivered, records in order and
// none twice across a broker restart, the bound of the queue, the will after a crash, TLS
// and passwords, and one line per change of state however many attempts fail.
#include "Publisher.h"
#include "Broker.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using testbroker::Broker;
using testbroker::Message;
using testbroker::Subscriber;

namespace {

bool underThreadSanitizer() {
#if defined(__SANITIZE_THREAD__)
    return true;
#else
    return false;
#endif
}

// What the publisher told about its state, in order: "works" or "stopped: why".
struct StateLog {
    mutable std::mutex mutex;
    std::vector<std::string> lines;
    mqtt::Publisher::StateSink sink() {
        return [this](bool working, const QString& why) {
            std::lock_guard lock(mutex);
            lines.push_back(working ? "works" : "stopped: " + why.toStdString());
        };
    }
    std::vector<std::string> get() const {
        std::lock_guard lock(mutex);
        return lines;
    }
};

mqtt::Publisher::Options options(int port, bool tls = false) {
    mqtt::Publisher::Options o;
    o.broker.host = QStringLiteral("127.0.0.1");
    o.broker.port = port;
    o.broker.tls = tls;
    o.topic = QStringLiteral("test/korvel");
    o.clientId = QStringLiteral("korvel-test-station");
    o.maxBackoffMs = 500;
    return o;
}

Broker::Options persistent() {
    Broker::Options o;
    o.persistent = true;
    return o;
}

QJsonObject event(int n) {
    QJsonObject o;
    o.insert("text", QStringLiteral("event %1").arg(n));
    return o;
}

// The sequence numbers of the records under one topic, in arrival order.
std::vector<int> sequence(const std::vector<Message>& all, const std::string& topic) {
    std::vector<int> seq;
    for (const Message& m : all)
        if (m.topic == topic)
            seq.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(m.payload))
                              .object()
                              .value("seq")
                              .toInt());
    return seq;
}

std::vector<int> range(int from, int to) {
    std::vector<int> r;
    for (int i = from; i <= to; ++i)
        r.push_back(i);
    return r;
}

bool hasPayload(const std::vector<Message>& all, const std::string& topic,
                const std::string& payload) {
    for (const Message& m : all)
        if (m.topic == topic && m.payload == payload)
            return true;
    return false;
}

// A broker of our own that accepts the station and takes its messages but acknowledges none
// of them until told to: it shows how many records travel unacknowledged at once.
class HoldingBroker {
public:
    HoldingBroker() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), len) == 0 &&
            ::listen(listener_, 1) == 0 &&
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~HoldingBroker() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    int port() const { return port_; }
    // From now on every message taken so far, and each one after, is acknowledged.
    void acknowledge() { acknowledge_ = true; }
    // The sequence numbers of the records taken under the topic, in arrival order.
    std::vector<int> taken(const std::string& topic) const {
        std::lock_guard lock(mutex_);
        return sequence(messages_, topic);
    }

private:
    void serve() {
        int peer = -1;
        std::string in;
        std::vector<std::uint16_t> held;
        while (!stop_) {
            pollfd fd{peer >= 0 ? peer : listener_, POLLIN, 0};
            if (::poll(&fd, 1, 20) > 0) {
                if (peer < 0) {
                    peer = ::accept(listener_, nullptr, nullptr);
                    continue;
                }
                char buffer[4096];
                const ssize_t n = ::read(peer, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                in.append(buffer, std::size_t(n));
                takePackets(peer, in, held);
            }
            if (acknowledge_ && peer >= 0) {
                for (std::uint16_t id : held)
                    send(peer, {0x40, 0x02, char(id >> 8), char(id & 0xFF)});
                held.clear();
            }
        }
        if (peer >= 0)
            ::close(peer);
    }
    // Takes every whole packet at the front of the input.
    void takePackets(int peer, std::string& in, std::vector<std::uint16_t>& held) {
        for (;;) {
            std::size_t length = 0, at = 1;
            for (int shift = 0;; shift += 7, ++at) {
                if (at >= in.size())
                    return;
                length |= std::size_t(std::uint8_t(in[at]) & 0x7F) << shift;
                if (!(std::uint8_t(in[at]) & 0x80))
                    break;
            }
            const std::size_t start = at + 1;
            if (in.size() < start + length)
                return;
            const auto type = std::uint8_t(in[0]);
            const std::string body = in.substr(start, length);
            in.erase(0, start + length);
            if ((type >> 4) == 1) // CONNECT: accepted
                send(peer, {0x20, 0x02, 0x00, 0x00});
            else if ((type >> 4) == 12) // PINGREQ
                send(peer, {char(0xD0), 0x00});
            else if ((type >> 4) == 3) { // PUBLISH
                const std::size_t topicLength =
                    std::size_t(std::uint8_t(body[0])) << 8 | std::uint8_t(body[1]);
                std::size_t payloadAt = 2 + topicLength;
                if ((type >> 1) & 3) {
                    held.push_back(std::uint16_t(std::uint8_t(body[payloadAt]) << 8 |
                                                 std::uint8_t(body[payloadAt + 1])));
                    payloadAt += 2;
                }
                std::lock_guard lock(mutex_);
                messages_.push_back(
                    Message{body.substr(2, topicLength), body.substr(payloadAt), false});
            }
        }
    }
    static void send(int peer, std::initializer_list<char> bytes) {
        const std::string out(bytes);
        [[maybe_unused]] const ssize_t n = ::write(peer, out.data(), out.size());
    }

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> acknowledge_{false};
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    std::thread thread_;
};

} // namespace

TEST(Publisher, StatesAndRecordsReachTheBroker) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    Subscriber sub(broker.port(), "test/korvel/#");
    ASSERT_TRUE(sub.waitFor([](auto&) { return true; }, 100ms));
    std::this_thread::sleep_for(300ms); // subscribed
    StateLog log;
    mqtt::Publisher p(options(broker.port()), log.sink());
    p.state("link", R"({"state":"good"})");
    for (int i = 1; i <= 50; ++i)
        p.record("event", event(i));
    ASSERT_TRUE(
        sub.waitFor([](auto& m) { return sequence(m, "test/korvel/event").size() >= 50; }, 10s));
    EXPECT_EQ(sequence(sub.messages(), "test/korvel/event"), range(1, 50));
    EXPECT_TRUE(hasPayload(sub.messages(), "test/korvel/status", "online"));
    EXPECT_TRUE(hasPayload(sub.messages(), "test/korvel/link", R"({"state":"good"})"));
    EXPECT_TRUE(log.get().empty()) << "a first good connection is no news";
    // The subscriber may have the last messages before their acknowledgements reach the
    // publisher.
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (p.waiting() > 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(p.waiting(), 0u);
}

TEST(Publisher, RecordsWaitWhileTheBrokerIsAwayAndArriveInOrderOnce) {
    Broker broker(persistent());
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    Subscriber sub(broker.port(), "test/korvel/#", true);
    std::this_thread::sleep_for(500ms);
    StateLog log;
    mqtt::Publisher p(options(broker.port()), log.sink());
    for (int i = 1; i <= 10; ++i)
        p.record("event", event(i));
    ASSERT_TRUE(
        sub.waitFor([](auto& m) { return sequence(m, "test/korvel/event").size() >= 10; }, 10s));
    std::this_thread::sleep_for(300ms); // the subscriber's acknowledgements reach the broker
    broker.stop();
    for (int i = 11; i <= 30; ++i) {
        p.record(i % 3 ? "event" : "dose", event(i));
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(p.waiting(), 20u);
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    ASSERT_TRUE(sub.waitFor(
        [](auto& m) {
            return sequence(m, "test/korvel/event").size() +
                       sequence(m, "test/korvel/dose").size() >=
                   30;
        },
        20s));
    std::vector<int> all;
    for (const Message& m : sub.messages())
        if (m.topic == "test/korvel/event" || m.topic == "test/korvel/dose")
            all.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(m.payload))
                              .object()
                              .value("seq")
                              .toInt());
    EXPECT_EQ(all, range(1, 30)) << "in order, none missing, none twice";
    const auto lines = log.get();
    ASSERT_EQ(lines.size(), 2u) << "one line when it stops, one when it works again";
    EXPECT_EQ(lines[0].rfind("stopped: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "works");
}

// A queue that filled while the broker was away goes out a window of records at a time, not
// one record per round trip; none goes beyond the window before the broker acknowledges.
TEST(Publisher, AWindowOfRecordsTravelsUnacknowledged) {
    HoldingBroker broker;
    ASSERT_NE(broker.port(), 0);
    mqtt::Publisher p(options(broker.port()), {});
    for (int i = 1; i <= 40; ++i)
        p.record("event", event(i));
    const auto waitFor = [&](std::size_t count) {
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (broker.taken("test/korvel/event").size() < count &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(10ms);
        return broker.taken("test/korvel/event");
    };
    EXPECT_EQ(waitFor(16), range(1, 16));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(broker.taken("test/korvel/event"), range(1, 16)) << "no more before an answer";
    EXPECT_EQ(p.waiting(), 40u);
    broker.acknowledge();
    EXPECT_EQ(waitFor(40), range(1, 40));
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (p.waiting() > 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(p.waiting(), 0u);
}

TEST(Publisher, PastTheBoundTheOldestGoAndTheirNumberIsPublished) {
    Broker broker;
    auto o = options(broker.port());
    o.queueLimit = 5;
    StateLog log;
    mqtt::Publisher p(o, log.sink());
    for (int i = 1; i <= 8; ++i)
        p.record("event", event(i));
    EXPECT_EQ(p.waiting(), 5u);
    EXPECT_EQ(p.lost(), 3u);
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    Subscriber sub(broker.port(), "test/korvel/#");
    // The station may reach the broker before the subscriber: what it sends then is the
    // broker's to drop. Wait until the queue is empty, then look at what arrived.
    ASSERT_TRUE(sub.waitFor([&](auto&) { return p.waiting() == 0; }, 20s));
    EXPECT_EQ(p.lost(), 3u);
    const auto lines = log.get();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("stopped: ", 0), 0u);
    EXPECT_EQ(lines.back(), "works");
}

TEST(Publisher, TheLostNumberGoesAheadOfTheWaitingRecords) {
    Broker broker(persistent());
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    {
        Subscriber first(broker.port(), "test/korvel/#", true, "korvel-test-lost");
        std::this_thread::sleep_for(500ms);
    }
    broker.stop();
    auto o = options(broker.port());
    o.queueLimit = 5;
    mqtt::Publisher p(o, {});
    for (int i = 1; i <= 8; ++i)
        p.record("event", event(i));
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    Subscriber sub(broker.port(), "test/korvel/#", true, "korvel-test-lost");
    ASSERT_TRUE(
        sub.waitFor([](auto& m) { return sequence(m, "test/korvel/event").size() >= 5; }, 20s));
    const auto m = sub.messages();
    std::vector<std::string> topics;
    for (const Message& x : m)
        if (x.topic != "test/korvel/status")
            topics.push_back(x.topic);
    ASSERT_FALSE(topics.empty());
    EXPECT_EQ(topics.front(), "test/korvel/lost");
    EXPECT_TRUE(hasPayload(m, "test/korvel/lost", R"({"lost":3,"seq":9})"));
    EXPECT_EQ(sequence(m, "test/korvel/event"), (std::vector<int>{4, 5, 6, 7, 8}))
        << "the three oldest went";
}

TEST(Publisher, TheWillSaysOfflineWhenTheStationDies) {
    if (underThreadSanitizer())
        GTEST_SKIP() << "ThreadSanitizer does not follow a fork of a threaded process";
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    Subscriber sub(broker.port(), "test/korvel/status");
    std::this_thread::sleep_for(300ms);
    const int port = broker.port();
    const pid_t child = ::fork();
    if (child == 0) {
        {
            mqtt::Publisher p(options(port), {});
            std::this_thread::sleep_for(60s);
        }
        ::_exit(0);
    }
    ASSERT_TRUE(
        sub.waitFor([](auto& m) { return hasPayload(m, "test/korvel/status", "online"); }, 10s));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(
        sub.waitFor([](auto& m) { return !m.empty() && m.back().payload == "offline"; }, 10s));
}

TEST(Publisher, AnOrderlyStopSaysOffline) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    Subscriber sub(broker.port(), "test/korvel/status");
    std::this_thread::sleep_for(300ms);
    {
        mqtt::Publisher p(options(broker.port()), {});
        ASSERT_TRUE(sub.waitFor(
            [](auto& m) { return hasPayload(m, "test/korvel/status", "online"); }, 10s));
    }
    EXPECT_TRUE(
        sub.waitFor([](auto& m) { return !m.empty() && m.back().payload == "offline"; }, 10s));
}

TEST(Publisher, TlsWithTheRightPasswordAndOneLineForAWrongOne) {
    Broker broker(Broker::Options::secured("station", "right"));
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    {
        auto o = options(broker.port(), true);
        o.caFile = broker.caFile();
        o.user = "station";
        o.password = "right";
        StateLog log;
        mqtt::Publisher p(o, log.sink());
        p.record("event", event(1));
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (p.waiting() > 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(50ms);
        EXPECT_EQ(p.waiting(), 0u) << "delivered over TLS";
        EXPECT_TRUE(log.get().empty());
    }
    {
        auto o = options(broker.port(), true);
        o.caFile = broker.caFile();
        o.user = "station";
        o.password = "wrong";
        StateLog log;
        mqtt::Publisher p(o, log.sink());
        p.record("event", event(1));
        std::this_thread::sleep_for(3s); // several attempts at a 500 ms back-off
        const auto lines = log.get();
        ASSERT_EQ(lines.size(), 1u) << "one line, not one per attempt";
        EXPECT_NE(lines[0].find("not authorised"), std::string::npos) << lines[0];
        EXPECT_EQ(lines[0].find("wrong"), std::string::npos) << "the password never shows";
        EXPECT_EQ(p.waiting(), 1u) << "the record waits for a broker that takes it";
    }
}
