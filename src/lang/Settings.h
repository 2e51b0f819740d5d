#pragma once
// The four program-wide settings, read from korvel.ini at start-up and written back at exit.
#include <QString>
#include <array>

struct Settings {
    static constexpr int kDefaultComPort = 1;
    static constexpr int kDefaultMaxArhDay = 45;
    static constexpr int kDefaultComSpeed = 115200;
    // The line speeds offered by the settings dialog, in list order.
    static constexpr std::array<int, 15> kRates = {110,   300,   600,    1200,   2400,
                                                   4800,  9600,  14400,  19200,  38400,
                                                   56000, 57600, 115200, 128000, 256000};

    int ComPort = kDefaultComPort;
    int MaxArhDay = kDefaultMaxArhDay;
    int ComSpeed = kDefaultComSpeed;
    QString Language;
    // The alarm horn: 1 on, 0 off. Written after the four keys above.
    int Horn = 1;

    // $XDG_CONFIG_HOME/korvel.ini, or ~/.config/korvel.ini without it.
    static QString filePath();
    // Missing file or key, or a number that is not a decimal integer: the key's default.
    // A Language value that is not a bare file name (one with a path separator, or "." or
    // "..") is ignored (treated as empty), so the settings file cannot point the station at
    // files outside its working directory.
    static Settings load(const QString& path = filePath());
    // Writes the keys in the order ComPort, MaxArhDay, ComSpeed, Language, Horn.
    bool save(const QString& path = filePath()) const;

    static bool isBareFileName(const QString& name);
    // Index of a rate in kRates, or -1.
    static int rateIndex(int rate);
};
