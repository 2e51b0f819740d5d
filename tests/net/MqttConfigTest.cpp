// Where the station publishes: broker addresses, topic prefixes, section [Mqtt] of korvel.ini
// and what keeps publishing off.
#include "MqttConfig.h"
#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace mqtt;

TEST(MqttUrl, AddressesTakenAndRefused) {
    struct Case {
        const char* text;
        bool ok;
        bool tls;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"mqtt://127.0.0.1:1883", true, false, "127.0.0.1", 1883},
        {"mqtt://broker.plant.local", true, false, "broker.plant.local", 1883},
        {"mqtts://broker.plant.local", true, true, "broker.plant.local", 8883},
        {"mqtts://10.0.0.5:18883/", true, true, "10.0.0.5", 18883},
        {"mqtt://[::1]:1883", true, false, "::1", 1883},
        {"mqtt://h:1", true, false, "h", 1},
        {"mqtt://h:65535", true, false, "h", 65535},
        {"mqtt://h:0", false, false, "", 0},
        {"mqtt://h:65536", false, false, "", 0},
        {"mqtt://h:99999", false, false, "", 0},
        {"mqtt://h:123456", false, false, "", 0},
        {"mqtt://h:-1", false, false, "", 0},
        {"mqtt://h:", false, false, "", 0},
        {"mqtt://:1883", false, false, "", 0},
        {"mqtt://", false, false, "", 0},
        {"http://h:1883", false, false, "", 0},
        {"MQTT://h", false, false, "", 0},
        {"tcp://h:1883", false, false, "", 0},
        {"h:1883", false, false, "", 0},
        {"mqtt://h:1883/korvel", false, false, "", 0},
        {"mqtt://h:1883?x=1", false, false, "", 0},
        {"mqtt://user:secret@h:1883", false, false, "", 0},
        {"mqtt://h h:1883", false, false, "", 0},
        {" mqtt://h:1883", false, false, "", 0},
        {"mqtt://-h:1883", false, false, "", 0},
        {"", false, false, "", 0},
    };
    for (const Case& c : cases) {
        BrokerUrl url;
        QString why;
        const bool ok = parseUrl(QString::fromLatin1(c.text), &url, &why);
        EXPECT_EQ(ok, c.ok) << c.text << ": " << why.toStdString();
        EXPECT_EQ(why.isEmpty(), c.ok) << c.text;
        if (ok && c.ok) {
            EXPECT_EQ(url.tls, c.tls) << c.text;
            EXPECT_EQ(url.host.toStdString(), c.host) << c.text;
            EXPECT_EQ(url.port, c.port) << c.text;
        }
    }
    // A huge address is refused without being taken apart, and a password never shows.
    QString why;
    EXPECT_FALSE(parseUrl("mqtt://" + QString(100000, 'h') + ":1883", nullptr, &why));
    EXPECT_LT(why.size(), 200);
    EXPECT_FALSE(parseUrl("mqtt://user:secret@h:1883", nullptr, &why));
    EXPECT_FALSE(why.contains("secret")) << why.toStdString();
}

TEST(MqttTopic, PrefixesTakenAndRefused) {
    for (const char* good : {"korvel", "plant/charging", "a", "Доменный/цех"})
        EXPECT_TRUE(validTopic(QString::fromUtf8(good))) << good;
    for (const char* bad : {"", "/korvel", "korvel/", "kor+vel", "korvel/#", "#"})
        EXPECT_FALSE(validTopic(QString::fromUtf8(bad))) << bad;
    EXPECT_TRUE(validTopic(QString(100, 'k')));
    EXPECT_FALSE(validTopic(QString(101, 'k')));
    EXPECT_FALSE(validTopic(QString("kor") + QChar(0) + "vel"));
}

namespace {
struct Ini {
    QTemporaryDir dir;
    QString path = dir.filePath("korvel.ini");
    void write(const QByteArray& text, int mode) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
    }
    int mode() const {
        struct stat st {};
        ::stat(QFile::encodeName(path).constData(), &st);
        return int(st.st_mode & 07777);
    }
};
} // namespace

TEST(MqttConfig, SectionReadWithDefaults) {
    Ini ini;
    ini.write("[Data]\nComPort=2\n", 0600);
    Config c = Config::load(ini.path);
    EXPECT_TRUE(c.url.isEmpty());
    EXPECT_EQ(c.topic, "korvel");
    const Checked off = check(c, ini.path);
    EXPECT_FALSE(off.publish);
    EXPECT_TRUE(off.why.isEmpty()) << "no address: off, and nothing to tell";

    ini.write("[Mqtt]\nUrl = mqtts://broker:8884\nTopic=plant/korvel\nUser=station\n"
              "Password=s3cret\nCaFile=" +
                  QFile::encodeName(ini.path) + "\n",
              0600);
    c = Config::load(ini.path);
    EXPECT_EQ(c.url, "mqtts://broker:8884");
    EXPECT_EQ(c.topic, "plant/korvel");
    EXPECT_EQ(c.user, "station");
    EXPECT_EQ(c.password, "s3cret");
    const Checked on = check(c, ini.path);
    EXPECT_TRUE(on.publish) << on.why.toStdString();
    EXPECT_TRUE(on.broker.tls);
    EXPECT_EQ(on.broker.host, "broker");
    EXPECT_EQ(on.broker.port, 8884);
}

TEST(MqttConfig, WhatKeepsPublishingOff) {
    Ini ini;
    struct Case {
        const char* what;
        QByteArray section;
        int mode;
        const char* says;
    };
    const Case cases[] = {
        {"password readable by the group", "Url=mqtt://h\nPassword=s3cret\n", 0640, "chmod 600"},
        {"password readable by all", "Url=mqtt://h\nPassword=s3cret\n", 0644, "chmod 600"},
        {"bad address", "Url=mqtt://h:70000\n", 0600, "65535"},
        {"bad topic", "Url=mqtt://h\nTopic=korvel/#\n", 0600, "topic"},
        {"CA file on a plain connection", "Url=mqtt://h\nCaFile=/etc/hostname\n", 0600, "mqtts://"},
        {"CA file missing", "Url=mqtts://h\nCaFile=/nonexistent/ca.pem\n", 0600, "cannot be read"},
    };
    for (const Case& c : cases) {
        ini.write("[Mqtt]\n" + c.section, c.mode);
        const Checked r = check(Config::load(ini.path), ini.path);
        EXPECT_FALSE(r.publish) << c.what;
        EXPECT_TRUE(r.why.contains(QString::fromLatin1(c.says)))
            << c.what << ": " << r.why.toStdString();
        EXPECT_FALSE(r.why.contains("s3cret")) << c.what;
    }
    // Without a password the file's mode does not matter.
    ini.write("[Mqtt]\nUrl=mqtt://h\n", 0644);
    EXPECT_TRUE(check(Config::load(ini.path), ini.path).publish);
}

TEST(MqttConfig, TheStationsRewriteKeepsTheSectionAndTheFilesMode) {
    Ini ini;
    const QByteArray mqtt = "[Mqtt]\nUrl=mqtts://broker:8883\nUser=station\nPassword=s3cret\n";
    ini.write("[Data]\nComPort=3\n" + mqtt, 0600);
    Settings s = Settings::load(ini.path);
    s.ComPort = 4;
    ASSERT_TRUE(s.save(ini.path));
    EXPECT_EQ(ini.mode(), 0600);
    const Config c = Config::load(ini.path);
    EXPECT_EQ(c.url, "mqtts://broker:8883");
    EXPECT_EQ(c.user, "station");
    EXPECT_EQ(c.password, "s3cret");
    EXPECT_EQ(Settings::load(ini.path).ComPort, 4);
}
