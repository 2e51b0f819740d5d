#pragma once
// Printing the history chart on one landscape page: margins of 5 % rounded to the even
// neighbour, the chart laid out on twice the print rectangle and scaled down into it.
#include <QString>

class HistoryChart;
class QPrinter;

// Switches the printer to landscape, prints one page and restores the printer's
// orientation in every case. On failure the job is aborted and *error says why.
bool printHistoryChart(HistoryChart* chart, QPrinter* printer, QString* error);
