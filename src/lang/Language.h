#pragma once
// Language files: one section per window, each text read with its Russian default.
#include "PrivateProfile.h"

#include <QString>

namespace lang {
// Path of the language file: working directory, separator, the Language setting. An empty
// setting names no file, so every text keeps its default.
QString filePath(const QString& workDir, const QString& language);
// The line-break convention of multi-line texts: every "|" becomes a line break.
QString multiLine(QString text);
} // namespace lang

// One window's section of the current language file.
class LangSection {
public:
    LangSection(const QString& path, const QString& section) : ini_(path), section_(section) {}
    QString text(const QString& key, const QString& def) const {
        return ini_.read(section_, key, def);
    }

private:
    PrivateProfile ini_;
    QString section_;
};
