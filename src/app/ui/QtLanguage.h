#pragma once
// Qt's own texts (standard buttons, file and print dialogs) in the language of the station's
// language file, from Debian's Qt translations: Russian for the built-in texts, otherwise the
// language the file is named after ("english.ini" English, "ukrainian.ini" Ukrainian; the
// English or the native name of the language). A file named after no language gets Qt's own
// English texts.
#include <QLocale>
#include <QString>

// The language of a language file's name; an empty name stands for the built-in texts.
QLocale::Language languageOfFile(const QString& fileName);
// Replaces the translation of Qt's texts by the one for that language file.
void installQtTranslation(const QString& fileName);
