#pragma once
// The one form of every date the station shows (event list, mimic clock, views, window
// titles, messages, chart title): the system's short date format when the system locale is
// Russian, otherwise dd.MM.yyyy, so a Russian window never shows an English month name.
#include <QDate>
#include <QLocale>
#include <QString>

QString stationDateFormat(const QLocale& system = QLocale::system());
QString stationDate(const QDate& date, const QLocale& system = QLocale::system());
