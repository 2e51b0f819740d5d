#pragma once
// The rules of the history chart that need no display: the zoom step, the rounding of the
// pointer position to a point, the readout texts and the print margins.
#include <QDate>
#include <QLocale>
#include <QRect>
#include <QString>
#include <optional>

struct HistoryDay;
struct HistoryTexts;

namespace history {

struct AxisRange {
    double lower = 0;
    double upper = 0;
};

// Zoom to a percentage: delta = (upper - lower) * (percent - 100) / 100, the new range is
// lower + delta to upper - delta. 110 moves each end in by a tenth of the range, 90 out.
AxisRange zoomed(AxisRange range, double percent);
inline constexpr double kZoomIn = 110;
inline constexpr double kZoomOut = 90;

// Nearest integer; a half goes to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0).
double roundHalfEven(double value);

// A weight as the left axis shows it: digit grouping, at most three decimals ("#,##0.###").
QString formatWeight(double value, const QLocale& locale);

// "Дозатор 3": the doser list item for doser n (1 to 6).
QString doserItemText(const QString& lngDozator, int doser);

// The message for a day without an archive file: title label, date, "отсутствует".
QString missingFileMessage(const QString& labName, const QDate& date, const QString& lngAbsent,
                           const QLocale& locale);

// The starting texts of the readouts: "Время: 00:00:00" and "Вес: 0 кг".
QString startTimeReadout(const HistoryTexts& texts);
QString startWeightReadout(const HistoryTexts& texts);

struct Readout {
    QString time;
    QString weight;
};
// The readout for the axis values (x, y) under the pointer. x is rounded to a point index;
// an index below 0 gives nothing (the readouts stay as they are); an index beyond the last
// point gives an empty time after "Время: ".
std::optional<Readout> readout(double x, double y, const HistoryDay& day, const HistoryTexts& texts,
                               const QLocale& locale);

// The print rectangle on a page: margins of 5 % of the page width left and right and of
// the page height top and bottom, each rounded to the nearest integer (a half to even).
QRect printRect(int pageWidth, int pageHeight);

} // namespace history
