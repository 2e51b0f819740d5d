#include "Language.h"

namespace lang {
QString filePath(const QString& workDir, const QString& language) {
    if (language.isEmpty())
        return QString();
    return workDir + QLatin1Char('/') + language;
}

QString multiLine(QString text) {
    return text.replace(QLatin1Char('|'), QLatin1Char('\n'));
}
} // namespace lang
