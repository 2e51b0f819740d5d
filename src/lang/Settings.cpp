#include "Settings.h"

#include "PrivateProfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString kSection = QStringLiteral("Data");
}

QString Settings::filePath() {
    QString dir = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.config");
    return dir + QStringLiteral("/korvel.ini");
}

bool Settings::isBareFileName(const QString& name) {
    // No separator, and not one of the names of the folder itself or of its parent; dots
    // elsewhere in a name (plant..v2.ini) are part of the name.
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           name != QLatin1String(".") && name != QLatin1String("..");
}

int Settings::rateIndex(int rate) {
    for (int i = 0; i < int(kRates.size()); ++i)
        if (kRates[i] == rate)
            return i;
    return -1;
}

Settings Settings::load(const QString& path) {
    const PrivateProfile ini(path);
    Settings s;
    s.ComPort = ini.readInt(kSection, QStringLiteral("ComPort"), kDefaultComPort);
    s.MaxArhDay = ini.readInt(kSection, QStringLiteral("MaxArhDay"), kDefaultMaxArhDay);
    s.ComSpeed = ini.readInt(kSection, QStringLiteral("ComSpeed"), kDefaultComSpeed);
    s.Language = ini.read(kSection, QStringLiteral("Language"), QString());
    if (!isBareFileName(s.Language))
        s.Language.clear();
    s.Horn = ini.readInt(kSection, QStringLiteral("Horn"), 1) == 0 ? 0 : 1;
    return s;
}

bool Settings::save(const QString& path) const {
    QDir().mkpath(QFileInfo(path).absolutePath());
    bool ok =
        PrivateProfile::write(path, kSection, QStringLiteral("ComPort"), QString::number(ComPort));
    ok = PrivateProfile::write(path, kSection, QStringLiteral("MaxArhDay"),
                               QString::number(MaxArhDay)) &&
         ok;
    ok = PrivateProfile::write(path, kSection, QStringLiteral("ComSpeed"),
                               QString::number(ComSpeed)) &&
         ok;
    ok = PrivateProfile::write(path, kSection, QStringLiteral("Language"), Language) && ok;
    ok = PrivateProfile::write(path, kSection, QStringLiteral("Horn"), QString::number(Horn)) && ok;
    return ok;
}
