#pragma once
// Writes small daily tables into a temporary working folder for the view and report tests.
#include "DailyTables.h"
#include "DbfTable.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <stdexcept>

struct Dose {
    const char* time;
    const char* code;
    int ves;
    const char* mode = "Automatik";
    int doser = 1;
    int setpoint = 1000;
};

struct Event {
    const char* time;
    const char* text;
    int codz = 0;
};

inline void writeDosing(const QString& dir, const QDate& day, const std::vector<Dose>& doses) {
    const QString path = daily::fileName(dir, daily::kDosing, day);
    QString error;
    if (!QFileInfo::exists(path) && !dbf::create(path, daily::dosingFields(), &error))
        throw std::runtime_error(error.toStdString());
    for (const Dose& d : doses) {
        const QString time = QString::fromLatin1(d.time);
        const std::vector<QString> values = {time,
                                             day.toString(QStringLiteral("yyyyMMdd")),
                                             time.left(2),
                                             time.mid(3, 2),
                                             QString::number(d.doser),
                                             QString::number(d.setpoint),
                                             QString::fromLatin1(d.code),
                                             QString::number(d.ves),
                                             QString::fromLatin1(d.mode)};
        if (!dbf::append(path, values, &error))
            throw std::runtime_error(error.toStdString());
    }
}

inline void writeJournal(const QString& dir, const QDate& day, const std::vector<Event>& events) {
    const QString path = daily::fileName(dir, daily::kJournal, day);
    QString error;
    if (!QFileInfo::exists(path) && !dbf::create(path, daily::journalFields(), &error))
        throw std::runtime_error(error.toStdString());
    for (const Event& e : events) {
        const std::vector<QString> values = {QString::fromLatin1(e.time),
                                             day.toString(QStringLiteral("yyyyMMdd")),
                                             QString::fromUtf8(e.text), QString::number(e.codz)};
        if (!dbf::append(path, values, &error))
            throw std::runtime_error(error.toStdString());
    }
}

// The names in a folder, to show that nothing was left behind.
inline QStringList folderNames(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}
