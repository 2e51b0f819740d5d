// libFuzzer target for the private-profile reader that reads the settings and language
// files: any bytes read as a file give values of at most 2047 characters, and setting a key
// (as the settings are written at exit) reads back as set and leaves other keys unchanged.
#include "PrivateProfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace {
// The first section name and the first key the input itself holds, so that lookups hit
// something more often than fixed names would.
void namesIn(const QByteArray& data, QString* section, QString* key) {
    for (const QByteArray& raw : data.split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype close = line.indexOf(']');
        if (section->isEmpty() && line.startsWith('[') && close > 1)
            *section = QString::fromLatin1(line.mid(1, close - 1).trimmed());
        const qsizetype eq = line.indexOf('=');
        if (key->isEmpty() && eq > 0 && !line.startsWith('['))
            *key = QString::fromLatin1(line.left(eq).trimmed());
    }
}

// A value as the settings hold one: letters, digits and dots, no blanks at its ends.
QString cleanValue(const QByteArray& data) {
    QString v;
    for (char c : data.right(40)) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.')
            v += QLatin1Char(c);
    }
    return v.isEmpty() ? QStringLiteral("plant..v2.ini") : v;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const QString missing = QStringLiteral("\x01missing");
    const PrivateProfile ini = PrivateProfile::fromData(data);

    QString section, key;
    namesIn(data, &section, &key);
    const QString found = ini.read(section, key, missing);
    if (found != missing && found.size() > PrivateProfile::kMaxValue)
        __builtin_trap();
    (void)ini.readInt(section, key, 7);
    const QString language = ini.read(QStringLiteral("Data"), QStringLiteral("Language"), missing);
    if (language != missing && language.size() > PrivateProfile::kMaxValue)
        __builtin_trap();

    // Setting a key reads back as set; a key of another section keeps its value.
    const QString value = cleanValue(data);
    const QByteArray written =
        PrivateProfile::withKey(data, QStringLiteral("Data"), QStringLiteral("Language"), value);
    const PrivateProfile after = PrivateProfile::fromData(written);
    if (after.read(QStringLiteral("Data"), QStringLiteral("Language"), missing) != value)
        __builtin_trap();
    if (section.compare(QLatin1String("Data"), Qt::CaseInsensitive) != 0 &&
        after.read(section, key, missing) != found)
        __builtin_trap();
    return 0;
}
