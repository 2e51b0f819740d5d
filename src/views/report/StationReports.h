#pragma once
// The station's three printouts (dosing protocol, work journal, shift report): their layouts,
// their report variables and the window texts they take them from.
#include "ReportBuilder.h"

#include <QString>

struct MainTexts;

namespace views {

// Section Protocol of the language file.
struct ProtocolTexts {
    QString ProtocolForm, labName, btnClose, btnPrint, btnOpen, rbAll, rbWith, rbTo;
    QString colTime, colDate, colDozator, colKodMat, colSkorZad, colVes, colRegim;
    QString lngNotChose;
    static ProtocolTexts load(const QString& langFilePath);
};

// Section Jurnal of the language file.
struct JurnalTexts {
    QString JurnalForm, labName, btnClose, btnPrint, colTime, colDate, colEvent, lngNotChose;
    static JurnalTexts load(const QString& langFilePath);
};

// Section RapDlg of the language file.
struct RapDlgTexts {
    QString RapDlgForm, btnOK, btnCancel, btnOpen, labData, labSmena;
    static RapDlgTexts load(const QString& langFilePath);
};

// The message that a day's table is missing: "<title> <date> <lngAbsent>".
QString absentMessage(const QString& title, const QString& dateText, const MainTexts& main);

report::Template protocolTemplate();
report::Template journalTemplate();
report::Template shiftTemplate();

// repName = title + " " + date; repTime .. repRegm = the seven column titles in grid order.
report::Variables protocolVariables(const QString& title, const QString& dateText,
                                    const QStringList& columnTitles);
// repName = title + " " + date; repTime, repDate, repEvnt = the three column titles.
report::Variables journalVariables(const QString& title, const QString& dateText,
                                   const QStringList& columnTitles);
// repName = lngRapName + " " + date, repPeriod = the shift's text, and the headings and
// mode words of section Main.
report::Variables shiftVariables(const MainTexts& main, const QString& dateText, int shift);
QString shiftText(const MainTexts& main, int shift);

} // namespace views
