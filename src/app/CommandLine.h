#pragma once
// The station's command line:
//   korvel [--device PATH] [--workdir DIR] [--mqtt URL] [--help] [--version]
//   korvel --export protocol|journal|shift|history --date YYYY-MM-DD [--shift 1|2|3]
//          [--doser N] --pdf FILE
#include <QDate>
#include <QString>
#include <QStringList>

struct CommandLine {
    QString device;  // serial device in place of /dev/ttyS<n-1>
    QString workDir; // as given; empty: the folder korvel is started in
    QString mqtt;    // the broker to publish to, in place of Url of [Mqtt] in korvel.ini
    bool help = false;
    bool version = false;
    QString exportKind; // empty: run the station
    QDate date;
    int shift = 0;
    int doser = 0;
    QString pdf;
    QString error; // set when the arguments cannot be used

    static CommandLine parse(const QStringList& arguments);
    // The usage; with a working folder, the folder that would be used is named at the end.
    static QString usage(const QString& workDir = QString());

    // The working folder in use: `given` with a leading "~" for the home folder, made
    // absolute; the current folder when nothing was given.
    static QString resolveWorkDir(const QString& given);
    // Makes sure a working folder exists and holds the sample language file (copied from
    // `sample` when the folder has no file of that name). False with *error when the folder
    // cannot be created.
    static bool prepareWorkDir(const QString& dir, const QString& sample, QString* error);
    // The sample language file beside the program: <prefix>/share/korvel/lang/english.ini
    // for an installed program, lang/english.ini of the source tree for a build; empty when
    // neither exists.
    static QString sampleLanguageFile();
};
