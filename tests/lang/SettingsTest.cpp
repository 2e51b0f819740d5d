// The settings file: defaults, reading, the order keys are written in.
#include "Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
void writeAll(const QString& path, const QByteArray& b) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(b);
}
} // namespace

TEST(Settings, DefaultsWithoutFileAndWrittenInOrder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/korvel.ini");
    const Settings s = Settings::load(path);
    EXPECT_EQ(s.ComPort, 1);
    EXPECT_EQ(s.MaxArhDay, 45);
    EXPECT_EQ(s.ComSpeed, 115200);
    EXPECT_TRUE(s.Language.isEmpty());
    ASSERT_TRUE(s.save(path));
    EXPECT_EQ(readAll(path),
              QByteArray("[Data]\nComPort=1\nMaxArhDay=45\nComSpeed=115200\nLanguage=\nHorn=1\n"));
}

TEST(Settings, TheHornIsOnUnlessSwitchedOff) {
    QTemporaryDir dir;
    const QString path = dir.filePath("korvel.ini");
    const std::pair<QByteArray, int> cases[] = {
        {"[Data]\nComPort=1\n", 1}, {"[Data]\nHorn=0\n", 0},   {"[Data]\nHorn=1\n", 1},
        {"[Data]\nHorn=7\n", 1},    {"[Data]\nHorn=off\n", 1},
    };
    for (const auto& [file, horn] : cases) {
        writeAll(path, file);
        EXPECT_EQ(Settings::load(path).Horn, horn) << file.constData();
    }
    Settings s;
    s.Horn = 0;
    ASSERT_TRUE(s.save(path));
    EXPECT_EQ(Settings::load(path).Horn, 0);
}

TEST(Settings, ReadsValuesAndFallsBackPerKey) {
    QTemporaryDir dir;
    const QString path = dir.filePath("korvel.ini");
    struct Case {
        QByteArray file;
        int port, days, speed;
        const char* language;
    } cases[] = {
        {"[Data]\nComPort=3\nMaxArhDay=10\nComSpeed=57600\nLanguage=english.ini\n", 3, 10, 57600,
         "english.ini"},
        {"[data]\ncomspeed=9600\n", 1, 45, 9600, ""},
        {"[Data]\nComPort=two\nMaxArhDay=\nComSpeed=12x\n", 1, 45, 115200, ""},
        {"[Data]\nComPort=7\n", 7, 45, 115200, ""}, // used unchanged to open the port
        // a language setting that is not a bare file name is ignored
        {"[Data]\nLanguage=../etc/passwd\n", 1, 45, 115200, ""},
        {"[Data]\nLanguage=/tmp/x.ini\n", 1, 45, 115200, ""},
        {"[Data]\nLanguage=sub\\x.ini\n", 1, 45, 115200, ""},
        {"[Data]\nLanguage=deutsch.ini\n", 1, 45, 115200, "deutsch.ini"},
        // dots inside a bare name are part of it; only "." and ".." themselves name folders
        {"[Data]\nLanguage=plant..v2.ini\n", 1, 45, 115200, "plant..v2.ini"},
        {"[Data]\nLanguage=..ini\n", 1, 45, 115200, "..ini"},
        {"[Data]\nLanguage=..\n", 1, 45, 115200, ""},
        {"[Data]\nLanguage=.\n", 1, 45, 115200, ""},
        {"[Data]\nLanguage=sub/..\n", 1, 45, 115200, ""},
    };
    for (const Case& c : cases) {
        writeAll(path, c.file);
        const Settings s = Settings::load(path);
        EXPECT_EQ(s.ComPort, c.port) << c.file.constData();
        EXPECT_EQ(s.MaxArhDay, c.days) << c.file.constData();
        EXPECT_EQ(s.ComSpeed, c.speed) << c.file.constData();
        EXPECT_EQ(s.Language.toStdString(), c.language) << c.file.constData();
    }
}

TEST(Settings, SaveKeepsOrderOfAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("korvel.ini");
    writeAll(path, "[Data]\nLanguage=old.ini\nComPort=2\n");
    Settings s;
    s.ComPort = 4;
    s.MaxArhDay = 100;
    s.ComSpeed = 9600;
    s.Language = "english.ini";
    ASSERT_TRUE(s.save(path));
    EXPECT_EQ(readAll(path), QByteArray("[Data]\nLanguage=english.ini\nComPort=4\n"
                                        "MaxArhDay=100\nComSpeed=9600\nHorn=1\n"));
    const Settings back = Settings::load(path);
    EXPECT_EQ(back.ComPort, 4);
    EXPECT_EQ(back.MaxArhDay, 100);
    EXPECT_EQ(back.ComSpeed, 9600);
    EXPECT_EQ(back.Language, QString("english.ini"));
}

TEST(Settings, RateIndex) {
    EXPECT_EQ(Settings::rateIndex(57600), 11);
    EXPECT_EQ(Settings::rateIndex(110), 0);
    EXPECT_EQ(Settings::rateIndex(256000), 14);
    EXPECT_EQ(Settings::rateIndex(12345), -1);
}
