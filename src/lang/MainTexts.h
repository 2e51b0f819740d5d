#pragma once
// The texts of the main window's language section: captions of its controls and the message
// texts the rest of the station builds events from. A loaded set never changes; a language
// switch publishes a new set, so a reader on the poll thread sees all old or all new texts.
#include <QString>
#include <memory>
#include <mutex>

class PrivateProfile;

struct MainTexts {
    QString MainFormKorvel;
    QString mnuTabZad;
    QString mnuMnemo;
    QString mnuComands;
    QString mnuOut;
    QString mnuExit;
    QString btnTabZad;
    QString btnMnemo;
    QString mnuHelp;
    QString mnuSprav;
    QString mnuAbout;
    QString mnuService;
    QString mnuOptions;
    QString mnuHistory;
    QString btnHistory;
    QString btnClear;
    QString btnJurnal;
    QString mnuJurnal;
    QString mnuProtocol;
    QString btnProtocol;
    QString mnuRaport;
    QString btnRaport;
    QString btnAttention;
    QString StopPanel;
    QString mnuLanguage;
    QString lngCOMOpen;
    QString lngCOMError;
    QString lngSviazGood;
    QString lngSviazBad;
    QString lngPuskPrg;
    QString lngExitPrg;
    QString lngSvernut;
    QString lngRazvernut;
    QString lngRKO1;
    QString lngRTP2;
    QString lngRegDozAuto;
    QString lngRegDozHand;
    QString lngRegDozAll;
    QString lngAbsent;
    QString lngError;
    QString lngPreview;
    QString lngRapName;
    QString lngSmena1;
    QString lngSmena2;
    QString lngSmena3;
    QString lngRapKodm;
    QString lngRapRegm;
    QString lngRapVVes;
    QString lngRapKalosh;
    QString avrTenzo;
    QString avrPeregruz;
    QString avrVpDoz;
    QString avrZatDoz;
    QString avrZatTel;
    QString avrTel;
    QString avrPanel;
    QString avrErrUst;
    QString avrNoMat;
    QString avrZatSh;
    QString avrTransp2;
    QString avrVpProm;
    QString avrUrovSh;
    QString avrUrovProm;
    QString avrSkip;
    QString avrTranspBig;
    QString avrTransp1;
    QString avrNoCon;
    QString avrKaster;
    QString avrNapr;
    QString avrCancel;
    QString lngErrWrite;
    // "<text> jur_2026_12_10.dbf → jur_2026_12_10.dbf.damaged": not a table of its kind
    QString lngFileAside;
    // "<text> /path": a second station started in a working folder in use
    QString lngDirBusy;
    // "<text> 12": records of the last run written at this start
    QString lngRecovered;
    // Why nothing was printed: no printer chosen, the chosen printer not available (its
    // name follows), the job refused or without a page to print.
    QString lngNoPrinter;
    QString lngPrinterFailed;
    QString lngNotPrinted;
    // "<text> doz_2010_03_05.dbf": a day's file that is not a table
    QString lngBadTable;
    // "<text> VES: doz_2010_03_05.dbf": a day's table without a field the view reads
    QString lngNoField;
    // "<text> doz_2010_03_05.dbf": a day's file that cannot be read
    QString lngReadError;
    // "<text> 'abc'": a dialog field whose text is not a whole number
    QString lngBadNumber;

    // The built-in Russian texts.
    static MainTexts defaults();
    // Reads section Main of a language file in its fixed order; missing keys keep the default.
    static MainTexts load(const PrivateProfile& file);
    // Key names in reading order, for the sample language file and its test.
    static const char* const* keyNames(int* count);
};

// The current set of main texts, shared between the user-interface and poll threads.
class MainTextStore {
public:
    static std::shared_ptr<const MainTexts> get();
    static void set(MainTexts texts);

private:
    static std::mutex mutex_;
    static std::shared_ptr<const MainTexts> current_;
};
