#include "DateText.h"

QString stationDateFormat(const QLocale& system) {
    if (system.language() == QLocale::Russian)
        return system.dateFormat(QLocale::ShortFormat);
    return QStringLiteral("dd.MM.yyyy");
}

QString stationDate(const QDate& date, const QLocale& system) {
    return system.toString(date, stationDateFormat(system));
}
