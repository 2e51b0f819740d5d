#include "MqttConfig.h"

#include "PrivateProfile.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <sys/prctl.h>
#include <sys/stat.h>

namespace mqtt {

namespace {
constexpr int kMaxUrl = 255;
constexpr int kMaxTopic = 100;
} // namespace

bool parseUrl(const QString& text, BrokerUrl* url, QString* why) {
    const auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (text.size() > kMaxUrl)
        return fail(QStringLiteral("the broker address is longer than %1 characters").arg(kMaxUrl));
    // The scheme, then a host name or an IPv4 address or a bracketed IPv6 address, then an
    // optional port; nothing else.
    static const QRegularExpression form(QStringLiteral(
        R"(^(mqtts?)://([A-Za-z0-9](?:[A-Za-z0-9.-]*[A-Za-z0-9])?|\[[0-9A-Fa-f:.]+\])(?::([0-9]{1,5}))?/?$)"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) {
        // A user or password in the address is not repeated anywhere.
        if (text.contains(QLatin1Char('@')))
            return fail(QStringLiteral("the broker address holds a user or password; they "
                                       "belong in User and Password of [Mqtt]"));
        return fail(QStringLiteral("the broker address \"%1\" is not mqtt://host:port or "
                                   "mqtts://host:port")
                        .arg(text));
    }
    BrokerUrl u;
    u.tls = m.captured(1) == QLatin1String("mqtts");
    u.host = m.captured(2);
    if (u.host.startsWith(QLatin1Char('[')))
        u.host = u.host.mid(1, u.host.size() - 2);
    u.port = u.tls ? 8883 : 1883;
    if (!m.captured(3).isEmpty()) {
        u.port = m.captured(3).toInt();
        if (u.port < 1 || u.port > 65535)
            return fail(QStringLiteral("the broker port %1 is not 1 to 65535").arg(m.captured(3)));
    }
    if (url)
        *url = u;
    return true;
}

bool validTopic(const QString& topic) {
    if (topic.isEmpty() || topic.size() > kMaxTopic)
        return false;
    if (topic.startsWith(QLatin1Char('/')) || topic.endsWith(QLatin1Char('/')))
        return false;
    for (const QChar c : topic)
        if (c == QLatin1Char('+') || c == QLatin1Char('#') || c.unicode() == 0)
            return false;
    return true;
}

Config Config::load(const QString& settingsFile) {
    const PrivateProfile file(settingsFile);
    const QString section = QString::fromLatin1(kSection);
    Config c;
    c.url = file.read(section, QStringLiteral("Url"), QString()).trimmed();
    c.topic = file.read(section, QStringLiteral("Topic"), QString::fromLatin1(kDefaultTopic));
    c.user = file.read(section, QStringLiteral("User"), QString());
    c.password = file.read(section, QStringLiteral("Password"), QString());
    c.caFile = file.read(section, QStringLiteral("CaFile"), QString());
    return c;
}

Checked check(const Config& config, const QString& settingsFile) {
    Checked r;
    if (config.url.isEmpty())
        return r;
    if (!parseUrl(config.url, &r.broker, &r.why))
        return r;
    if (!validTopic(config.topic)) {
        r.why = QStringLiteral("the topic prefix \"%1\" is not 1 to %2 characters without + # "
                               "or a leading or trailing /")
                    .arg(config.topic.left(kMaxTopic))
                    .arg(kMaxTopic);
        return r;
    }
    if (!config.password.isEmpty()) {
        struct stat st {};
        const QByteArray path = QFile::encodeName(settingsFile);
        if (::stat(path.constData(), &st) == 0 && (st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
            r.why = QStringLiteral("the MQTT password in %1 is open to others than its owner; "
                                   "publishing stays off until chmod 600 %1")
                        .arg(settingsFile);
            return r;
        }
    }
    if (!config.caFile.isEmpty()) {
        if (!r.broker.tls) {
            r.why =
                QStringLiteral("CaFile is set but %1 is not an mqtts:// address").arg(config.url);
            return r;
        }
        if (!QFileInfo(config.caFile).isReadable()) {
            r.why = QStringLiteral("the CA file %1 cannot be read").arg(config.caFile);
            return r;
        }
    }
    r.publish = true;
    return r;
}

void keepPasswordOutOfCoreDumps() {
    ::prctl(PR_SET_DUMPABLE, 0);
}

} // namespace mqtt
