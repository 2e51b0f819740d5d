#pragma once
// Where the station publishes the plant: section [Mqtt] of korvel.ini (Url, Topic, User,
// Password, CaFile), or the command line's --mqtt URL in place of Url. An empty Url leaves
// publishing off, and the station behaves as without it.
#include <QString>

namespace mqtt {

// A broker address: mqtt://host[:port] (plain, port 1883 unless given) or mqtts://host[:port]
// (TLS, port 8883 unless given).
struct BrokerUrl {
    bool tls = false;
    QString host;
    int port = 0;
};

// Parses a broker address. False with *why (a sentence for the operator's event line and the
// error output) for anything else: another scheme, no host, a port that is not 1 to 65535, a
// user, path, query or blank in the address, more than 255 characters.
bool parseUrl(const QString& text, BrokerUrl* url, QString* why);

// A topic prefix: 1 to 100 characters, no wildcard (+ #), no NUL, no leading or trailing "/".
bool validTopic(const QString& topic);

struct Config {
    static constexpr char kSection[] = "Mqtt";
    static constexpr char kDefaultTopic[] = "korvel";

    QString url; // empty: publishing off
    QString topic = QString::fromLatin1(kDefaultTopic);
    QString user;
    QString password;
    QString caFile; // the CA certificate for mqtts://; empty: the system's certificates

    // Section [Mqtt] of the settings file; a missing file or key leaves its default.
    static Config load(const QString& settingsFile);
};

// What a configuration allows. publish is false with why empty when publishing is off, and
// with why set when the configuration cannot be used: a bad address or topic, a password in
// a settings file that others than its owner can read, a CA file for a plain connection or a
// CA file that cannot be read. The password never appears in why.
struct Checked {
    bool publish = false;
    BrokerUrl broker;
    QString why;
};
Checked check(const Config& config, const QString& settingsFile);

// With a password in memory the process writes no core dump (as ssh-agent does) and no other
// user's debugger may attach to it: the password never leaves the process that way. The
// station calls this as soon as it has read one.
void keepPasswordOutOfCoreDumps();

} // namespace mqtt
