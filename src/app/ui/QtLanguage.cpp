#include "QtLanguage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

QLocale::Language languageOfFile(const QString& fileName) {
    if (fileName.isEmpty())
        return QLocale::Russian;
    const QString name = QFileInfo(fileName).completeBaseName();
    for (int l = QLocale::AnyLanguage + 1; l <= QLocale::LastLanguage; ++l) {
        const auto language = QLocale::Language(l);
        if (name.compare(QLocale::languageToString(language), Qt::CaseInsensitive) == 0 ||
            name.compare(QLocale(language).nativeLanguageName(), Qt::CaseInsensitive) == 0)
            return language;
    }
    return QLocale::English;
}

void installQtTranslation(const QString& fileName) {
    static QTranslator* current = nullptr;
    if (current) {
        QCoreApplication::removeTranslator(current);
        delete current;
        current = nullptr;
    }
    const QLocale::Language language = languageOfFile(fileName);
    if (language == QLocale::English || language == QLocale::C)
        return; // Qt's texts are English already
    auto* translator = new QTranslator;
    if (translator->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        current = translator;
    } else {
        delete translator;
    }
}
