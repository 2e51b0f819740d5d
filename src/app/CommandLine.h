#pragma once
// The station's command line:
//   korvel [--device PATH] [--help] [--version]
//   korvel --export protocol|journal|shift|history --date YYYY-MM-DD [--shift 1|2|3]
//          [--doser N] --pdf FILE
#include <QDate>
#include <QString>
#include <QStringList>

struct CommandLine {
    QString device;     // serial device in place of /dev/ttyS<n-1>
    bool help = false;
    bool version = false;
    QString exportKind; // empty: run the station
    QDate date;
    int shift = 0;
    int doser = 0;
    QString pdf;
    QString error; // set when the arguments cannot be used

    static CommandLine parse(const QStringList& arguments);
    static QString usage();
};
