// Every window and dialog of the station, with the built-in Russian texts and with the English
// language file: no label, button, group title, header section, list item or value field shows
// less than its whole text.
#include "TextFit.h"

#include "ActiveAlarmsUnit.h"
#include "AlarmStates.h"
#include "AttentionUnit.h"
#include "ChargeFlow.h"
#include "ComLink.h"
#include "Fonts.h"
#include "HistoryUnit.h"
#include "JurnalUnit.h"
#include "MainTexts.h"
#include "MainUnitKorvel.h"
#include "MnemoUnit.h"
#include "OptUnit.h"
#include "PreviewUnit.h"
#include "PrivateProfile.h"
#include "ProcessImage.h"
#include "ProtocolUnit.h"
#include "RapDlgUnit.h"
#include "Settings.h"
#include "SmallForms.h"
#include "Station.h"
#include "TableUnit.h"

#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace {
class QuietStation : public Station {
public:
    QString openPort(int, int) override { return MainTextStore::get()->lngCOMOpen; }
    bool portOpen() const override { return true; }
    void closePort() override {}
    void startPolling() override {}
    void pausePolling() override {}
    void resumePolling() override {}
    void stopPolling() override {}
    void journal(const QString&, int) override {}
    void setMaxArhDay(int) override {}
};

// Extreme values in every field of the mimic: the longest texts its fields can show.
void fillImage(ProcessImage& image) {
    ImageData d;
    auto word = [&d](int k, int v) {
        d.b[k] = std::uint8_t(v & 0xFF);
        d.b[k + 1] = std::uint8_t((v >> 8) & 0xFF);
    };
    for (int k : {2, 5, 32, 35, 38, 41, 9, 11, 45, 47, 49, 51})
        word(k, 65535);
    for (int k : {15, 17, 55, 57, 59, 61})
        word(k, 0x8000); // -32768
    for (int k : {13, 14, 28, 53, 54, 79, 86, 87})
        d.b[k] = 255;
    for (int k : {26, 77, 85, 27, 78})
        d.b[k] = 3; // АВТО, the longest mode text in both languages
    d.b[30] = 0xFF;
    d.b[80] = 0xFF;
    image.update(d.b.data());
}
} // namespace

class TestWindowTexts : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString work_;
    ProcessImage image_;
    QuietStation station_;
    AlarmStates alarms_;
    int before_ = 0;

    QString langPath(const QString& language) const {
        return language.isEmpty() ? QString() : work_ + QLatin1Char('/') + language;
    }
    void useLanguage(const QString& language) {
        const QString path = langPath(language);
        MainTextStore::set(path.isEmpty() ? MainTexts::defaults()
                                          : MainTexts::load(PrivateProfile(path)));
        Settings s;
        s.Language = language;
        QVERIFY(s.save(work_ + QStringLiteral("/korvel.ini")));
    }

    // Shows the window at the size given (or its own), lets its layouts settle and lists
    // what is clipped.
    static QStringList clipped(QWidget* w, QSize size = {}, const QWidget* skip = nullptr) {
        if (size.isValid())
            w->resize(size);
        w->show();
        QCoreApplication::processEvents();
        return textfit::clippedTexts(w, skip);
    }

private slots:
    void initTestCase() {
        installFontSubstitutions();
        // The layouts are made for these faces; DejaVu standing in cuts texts by design.
        QVERIFY2(designFontsPresent(), "Tahoma and MS Sans Serif of fonts-wine are missing");
        QVERIFY(dir_.isValid());
        work_ = dir_.path();
        QVERIFY(QFile::copy(QStringLiteral(KORVEL_SOURCE_DIR "/lang/english.ini"),
                            work_ + QStringLiteral("/english.ini")));
        fillImage(image_);
    }

    void windows_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("window");
        const QStringList windows = {"main 866x559", "main 1280x1024", "settings",     "about",
                                     "attention",    "mimic",          "table",        "protocol",
                                     "journal",      "history",        "shift report", "preview",
                                     "alarms"};
        for (const char* language : {"", "english.ini"}) {
            for (const QString& window : windows) {
                const QByteArray row =
                    (QByteArray(*language ? "english" : "russian") + ", " + window.toLatin1());
                QTest::newRow(row.constData()) << QString::fromLatin1(language) << window;
            }
        }
    }

    void windows() {
        QFETCH(QString, language);
        QFETCH(QString, window);
        useLanguage(language);
        const QString lang = langPath(language);
        QStringList found;
        if (window.startsWith(QLatin1String("main"))) {
            // As the station builds it: with the alarm buttons.
            TMainFormKorvel form(station_, {work_ + QStringLiteral("/korvel.ini"), work_});
            form.setAlarms(alarms_);
            const QSize size =
                window.endsWith(QLatin1String("866x559")) ? QSize(866, 559) : QSize(1280, 1024);
            found = clipped(&form, size, form.findChild<QMdiArea*>());
            form.hide();
        } else if (window == QLatin1String("settings")) {
            Settings settings = Settings::load(work_ + QStringLiteral("/korvel.ini"));
            TOptForm form(settings, work_);
            found = clipped(&form);
        } else if (window == QLatin1String("about")) {
            TAboutBox form;
            found = clipped(&form);
        } else if (window == QLatin1String("attention")) {
            TAttentionForm form(image_, lang);
            found = clipped(&form);
        } else if (window == QLatin1String("mimic")) {
            ChargeFlow flow;
            TMnemoForm form(
                image_, flow, [] { return 0; }, lang);
            form.DrawMnemo();
            found = clipped(&form, {TMnemoForm::kDesignWidth, TMnemoForm::kDesignHeight});
        } else if (window == QLatin1String("table")) {
            ComLink link(image_);
            SetpointSend send(link, station_, image_);
            TTableForm form(send, lang);
            found = clipped(&form, {957, 586});
        } else if (window == QLatin1String("protocol")) {
            TProtocolForm form(work_, lang);
            found = clipped(&form, {1024, 690});
        } else if (window == QLatin1String("journal")) {
            TJurnalForm form(work_, lang);
            found = clipped(&form, {1024, 690});
        } else if (window == QLatin1String("history")) {
            THistoryForm form(work_, lang);
            found = clipped(&form, {1024, 690});
        } else if (window == QLatin1String("shift report")) {
            TRapDlgForm form(lang);
            found = clipped(&form);
        } else if (window == QLatin1String("alarms")) {
            TActiveAlarmsForm form(alarms_, lang, {});
            found = clipped(&form, {1024, 690});
        } else if (window == QLatin1String("preview")) {
            TPreviewForm form;
            found = clipped(&form, {1024, 690});
        }
        before_ += int(found.size());
        if (!found.isEmpty())
            qInfo().noquote() << found.size()
                              << "clipped:\n  " + found.join(QStringLiteral("\n  "));
        QCOMPARE(found, QStringList());
    }

    void cleanupTestCase() { qInfo() << "clipped texts in all windows:" << before_; }
};

QTEST_MAIN(TestWindowTexts)
#include "WindowTextsTest.moc"
