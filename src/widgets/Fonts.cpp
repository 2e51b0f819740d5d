#include "Fonts.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>

namespace {
const char* const kWineFonts = "/usr/share/wine/fonts/";
const char* const kFiles[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"};
bool designFaces = false;

bool registered(const QString& family) {
    return QFontDatabase::families().contains(family);
}
} // namespace

void installFontSubstitutions() {
    static bool added = false;
    for (const char* file : kFiles) {
        const QString path = QLatin1String(kWineFonts) + QLatin1String(file);
        if (!added && QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    added = true;
    const bool tahoma = registered(QStringLiteral("Tahoma"));
    const bool sansSerif = registered(QStringLiteral("MS Sans Serif"));
    designFaces = tahoma && sansSerif;
    if (!sansSerif)
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
    if (!tahoma)
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Bookman Old Style"), QStringLiteral("URW Bookman"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    QApplication::setFont(font);
}

bool designFontsPresent() {
    return designFaces;
}
