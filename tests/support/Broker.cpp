#include "Broker.h"

#include <QFile>

#include <mosquitto.h>

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testbroker {

namespace {
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(std::uint16_t(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

// A helper program, run to its end (30 s at most). A plain fork and exec, not QProcess: Qt
// starts its children sharing the parent's memory until exec, which ThreadSanitizer cannot
// follow, and the publisher's tests run under it too.
bool run(const QString& program, const QStringList& args, QString* error) {
    std::vector<QByteArray> bytes{QFile::encodeName(program)};
    for (const QString& a : args)
        bytes.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid < 0) {
        *error = program + ": cannot start";
        return false;
    }
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 3000 && (ended = ::waitpid(pid, &status, WNOHANG)) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (ended != pid) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        *error = program + ": no end within 30 s";
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *error = program + ": failed with status " + QString::number(status);
        return false;
    }
    return true;
}
} // namespace

Broker::Broker(Options options) : options_(std::move(options)), port_(freePort()) {
    QByteArray conf = "user root\n"
                      "listener " +
                      QByteArray::number(port_) + " 127.0.0.1\n";
    const QString d = dir_.path();
    if (options_.tls) {
        // A CA of the test's own, and the broker's certificate for 127.0.0.1 signed by it.
        const QString subj = "/CN=korvel test CA";
        if (!run("openssl",
                 {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", subj,
                  "-keyout", d + "/ca.key", "-out", d + "/ca.pem"},
                 &error_) ||
            !run("openssl",
                 {"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-keyout",
                  d + "/server.key", "-out", d + "/server.csr"},
                 &error_))
            return;
        QFile ext(d + "/ext.cnf");
        ext.open(QIODevice::WriteOnly);
        ext.write("subjectAltName=IP:127.0.0.1\n");
        ext.close();
        if (!run("openssl",
                 {"x509", "-req", "-in", d + "/server.csr", "-CA", d + "/ca.pem", "-CAkey",
                  d + "/ca.key", "-CAcreateserial", "-days", "2", "-extfile", d + "/ext.cnf",
                  "-out", d + "/server.pem"},
                 &error_))
            return;
        conf += "cafile " + QFile::encodeName(d) +
                "/ca.pem\n"
                "certfile " +
                QFile::encodeName(d) +
                "/server.pem\n"
                "keyfile " +
                QFile::encodeName(d) + "/server.key\n";
    }
    if (!options_.user.isEmpty()) {
        if (!run("mosquitto_passwd",
                 {"-b", "-c", d + "/passwords", options_.user, options_.password}, &error_))
            return;
        conf += "allow_anonymous false\npassword_file " + QFile::encodeName(d) + "/passwords\n";
    } else {
        conf += "allow_anonymous true\n";
    }
    if (options_.persistent)
        conf += "persistence true\npersistence_location " + QFile::encodeName(d) + "/\n";
    QFile f(d + "/mosquitto.conf");
    f.open(QIODevice::WriteOnly);
    f.write(conf);
}

Broker::~Broker() {
    stop();
}

bool Broker::start() {
    if (!error_.isEmpty() || port_ == 0)
        return false;
    const QByteArray conf = QFile::encodeName(dir_.filePath("mosquitto.conf"));
    const QByteArray log = QFile::encodeName(dir_.filePath("mosquitto.log"));
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
        // A test that dies (a failed sanitizer check aborts it) takes its broker with it.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        const int out = ::open(log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        ::execlp("mosquitto", "mosquitto", "-c", conf.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 100; ++i) {
        if (accepts(port_))
            return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "mosquitto ended at start";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    error_ = "mosquitto took no connection within 10 s";
    return false;
}

void Broker::stop() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

Subscriber::Subscriber(int port, const std::string& filter, bool persistent,
                       const std::string& clientId)
    : filter_(filter) {
    mosquitto_lib_init();
    m_ = mosquitto_new(clientId.c_str(), !persistent, this);
    mosquitto_connect_callback_set(m_, &Subscriber::onConnect);
    mosquitto_message_callback_set(m_, &Subscriber::onMessage);
    mosquitto_reconnect_delay_set(m_, 1, 1, false);
    mosquitto_connect_async(m_, "127.0.0.1", port, 30);
    mosquitto_loop_start(m_);
}

Subscriber::~Subscriber() {
    // Disconnected first, the client's thread ends by itself; cancelling it could leave one of
    // the client's locks held when the client is destroyed.
    mosquitto_disconnect(m_);
    mosquitto_loop_stop(m_, false);
    mosquitto_destroy(m_);
}

void Subscriber::onConnect(struct mosquitto* m, void* self, int rc) {
    if (rc == 0)
        mosquitto_subscribe(m, nullptr, static_cast<Subscriber*>(self)->filter_.c_str(), 1);
}

void Subscriber::onMessage(struct mosquitto*, void* self, const struct mosquitto_message* msg) {
    auto* s = static_cast<Subscriber*>(self);
    std::lock_guard lock(s->mutex_);
    s->messages_.push_back(
        {msg->topic,
         std::string(static_cast<const char*>(msg->payload), std::size_t(msg->payloadlen)),
         msg->retain});
}

std::vector<Message> Subscriber::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

bool Subscriber::waitFor(const std::function<bool(const std::vector<Message>&)>& pred,
                         std::chrono::milliseconds timeout) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (pred(messages()))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pred(messages());
}

} // namespace testbroker
