#include "HistoryRules.h"

#include "DateText.h"

#include "HistoryDay.h"
#include "HistoryTexts.h"

#include <cmath>

namespace history {

AxisRange zoomed(AxisRange range, double percent) {
    const double delta = (range.upper - range.lower) * (percent - 100) / 100;
    return {range.lower + delta, range.upper - delta};
}

double roundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    const double down = std::floor(value);
    const double diff = value - down;
    if (diff < 0.5)
        return down;
    if (diff > 0.5)
        return down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

QString formatWeight(double value, const QLocale& locale) {
    if (!std::isfinite(value))
        return QString();
    double rounded = std::round(value * 1000) / 1000;
    if (rounded == 0)
        rounded = 0; // no "-0"
    QString text = locale.toString(rounded, 'f', 3);
    const QString point = locale.decimalPoint();
    const qsizetype at = text.lastIndexOf(point);
    if (at >= 0) {
        qsizetype end = text.size();
        while (end > at + point.size() && text.at(end - 1) == locale.zeroDigit().at(0))
            --end;
        if (end == at + point.size())
            end = at;
        text.truncate(end);
    }
    return text;
}

QString doserItemText(const QString& lngDozator, int doser) {
    return lngDozator + QLatin1Char(' ') + QString::number(doser);
}

QString missingFileMessage(const QString& labName, const QDate& date, const QString& lngAbsent,
                           const QLocale& locale) {
    return labName + QLatin1Char(' ') + stationDate(date, locale) + QLatin1Char(' ') + lngAbsent;
}

QString startTimeReadout(const HistoryTexts& texts) {
    return texts.lngTime + QStringLiteral(": 00:00:00");
}

QString startWeightReadout(const HistoryTexts& texts) {
    return texts.lngVes + QStringLiteral(": 0 ") + texts.lngKg;
}

std::optional<Readout> readout(double x, double y, const HistoryDay& day, const HistoryTexts& texts,
                               const QLocale& locale) {
    if (std::isnan(x))
        return std::nullopt;
    const double i = roundHalfEven(x);
    if (i < 0)
        return std::nullopt;
    Readout r;
    r.weight = texts.lngVes + QStringLiteral(": ") + formatWeight(y, locale) + QLatin1Char(' ') +
               texts.lngKg;
    r.time = texts.lngTime + QStringLiteral(": ");
    if (i < day.size())
        r.time += day.timeLabel(static_cast<int>(i));
    return r;
}

QRect printRect(int pageWidth, int pageHeight) {
    const int a = static_cast<int>(roundHalfEven(pageWidth * 5.0 / 100));
    const int b = static_cast<int>(roundHalfEven(pageHeight * 5.0 / 100));
    return QRect(a, b, pageWidth - 2 * a, pageHeight - 2 * b);
}

} // namespace history
