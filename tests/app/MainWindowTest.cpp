// The main window with a recording stand-in for the plant side.
#include "ClampSpinEdit.h"
#include "MainTexts.h"
#include "MainUnitKorvel.h"
#include "OptUnit.h"
#include "ProcessSignals.h"
#include "SmallForms.h"
#include "Station.h"
#include "Version.h"

#include "BevelPanel.h"
#include "Cp1251.h"

#include "EventList.h"
#include "ModalDeadline.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <csignal>
#include <functional>
#include <thread>

namespace {
class RecordingStation : public Station {
public:
    QStringList calls;
    QList<QPair<QString, int>> journalRecords;
    bool open = false;
    bool failOpen = false;
    QString openPort(int port, int speed) override {
        calls << QStringLiteral("open %1 %2").arg(port).arg(speed);
        open = !failOpen;
        return open ? MainTextStore::get()->lngCOMOpen
                    : MainTextStore::get()->lngCOMError + QStringLiteral(" -1");
    }
    bool portOpen() const override { return open; }
    void closePort() override { calls << QStringLiteral("close"); }
    void startPolling() override { calls << QStringLiteral("start"); }
    void pausePolling() override { calls << QStringLiteral("pause"); }
    void resumePolling() override { calls << QStringLiteral("resume"); }
    void stopPolling() override { calls << QStringLiteral("stop"); }
    void journal(const QString& text, int code) override {
        calls << QStringLiteral("journal %1").arg(code);
        journalRecords.append({text, code});
    }
    void setMaxArhDay(int days) override { calls << QStringLiteral("days %1").arg(days); }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QWidget* namedWidget(const char* name) {
    auto* w = new QWidget;
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString work_;
    QString ini_;

    TMainFormKorvel::Paths paths() const { return {ini_, work_}; }

private slots:
    void aboutBoxNamesTheWorkingFolder() {
        TAboutBox box("/srv/korvel-station");
        QCOMPARE(box.labWorkDir->text(), QString("Рабочая папка: /srv/korvel-station"));
        QVERIFY(!box.labWorkDir->isHidden());
        // A long path is shortened in the middle and never runs past the box.
        TAboutBox deep("/srv/" + QString(300, 'x') + "/end");
        QVERIFY(deep.labWorkDir->fontMetrics().horizontalAdvance(deep.labWorkDir->text()) <=
                deep.labWorkDir->width());
        QVERIFY(deep.labWorkDir->text().endsWith("/end"));
    }

    void init() {
        MainTextStore::set(MainTexts::defaults());
        work_ = dir_.filePath(QStringLiteral("w%1").arg(QDateTime::currentMSecsSinceEpoch()));
        QDir().mkpath(work_);
        ini_ = work_ + QStringLiteral("/cfg/korvel.ini");
    }

    void startAndCloseWithoutFiles() {
        RecordingStation st;
        {
            TMainFormKorvel w(st, paths());
            QCOMPARE(w.windowTitle(),
                     QStringLiteral("Загрузка доменных печей v") + QLatin1String(kKorvelVersion));
            QVERIFY(!w.mnuLanguage->isEnabled());
            QCOMPARE(w.mnuLanguage->actions().size(), 0);
            QCOMPARE(w.events->size(), 1);
            QVERIFY(w.events->at(0).text.endsWith(QStringLiteral("  Запуск программы")));
            QCOMPARE(w.StatLabel->text(), QStringLiteral("COM-порт открыт"));
            QCOMPARE(w.StatLabel->palette().color(QPalette::WindowText), QColor(0x36, 0x36, 0x70));
            QCOMPARE(w.btnUpDown->text(), QStringLiteral("Развернуть"));
            QCOMPARE(w.StopPanel->caption(), QStringLiteral("Останов"));
            QCOMPARE(w.mnuTabZad->shortcut(), QKeySequence(Qt::Key_F1));
            QCOMPARE(w.mnuRaport->shortcut(), QKeySequence(Qt::Key_F6));
            QCOMPARE(st.calls, QStringList({"days 45", "open 1 115200", "start", "journal 0"}));
            st.calls.clear();
            w.close();
            // the thread first, then the exit record (journal only) and settings, then the port
            QCOMPARE(st.calls, QStringList({"stop", "journal 2", "close"}));
            QCOMPARE(w.events->size(), 1);
        }
        QCOMPARE(st.journalRecords.first(), qMakePair(QStringLiteral("Запуск программы"), 0));
        QCOMPARE(st.journalRecords.last(), qMakePair(QStringLiteral("Выход из программы"), 2));
        QCOMPARE(
            readFile(ini_),
            QByteArray("[Data]\nComPort=1\nMaxArhDay=45\nComSpeed=115200\nLanguage=\nHorn=1\n"));
    }

    void exitRecordFollowsTheLastPolledEvents() {
        // The poll thread's last events are still queued for the window when it closes: an
        // event reported from the thread itself, an alarm posted before the close began, and
        // an alarm of the cycle that ran while the thread was being stopped.
        struct StoppingStation : RecordingStation {
            std::function<void()> onStop;
            void stopPolling() override {
                RecordingStation::stopPolling();
                if (onStop)
                    onStop();
            }
        } st;
        TMainFormKorvel w(st, paths());
        const auto postFromThread = [&](const QString& text) {
            std::thread([&] { w.AvariaMemo(text, 0xFFFF0000); }).join();
        };
        std::thread([&w] { w.AvariaMemo(QStringLiteral("link event"), 0xFF000000); }).join();
        postFromThread(QStringLiteral("alarm queued before the close"));
        st.onStop = [&] { postFromThread(QStringLiteral("alarm of the last cycle")); };
        st.calls.clear();
        w.close();
        // Whatever an event loop would still deliver after the close.
        QApplication::processEvents();
        QStringList texts;
        for (const auto& r : st.journalRecords)
            texts << r.first;
        QCOMPARE(texts,
                 QStringList({"Запуск программы", "link event", "alarm queued before the close",
                              "alarm of the last cycle", "Выход из программы"}));
        QCOMPARE(st.journalRecords.last().second, 2);
        QCOMPARE(st.calls.first(), QStringLiteral("stop"));
        QCOMPARE(st.calls.last(), QStringLiteral("close"));
        QCOMPARE(w.events->size(), 4); // the exit is not listed
    }

    void portFailureShowsRedErrorText() {
        RecordingStation st;
        st.failOpen = true;
        TMainFormKorvel w(st, paths());
        QCOMPARE(w.StatLabel->text(), QStringLiteral("Ошибка COM-порта -1"));
        QCOMPARE(w.StatLabel->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(w.events->at(0).text.endsWith(QStringLiteral("Запуск программы")));
        QCOMPARE(st.journalRecords.size(), 1);
    }

    void languageMenuAndSwitch() {
        writeFile(work_ + "/english.ini",
                  "[Main]\nMainFormKorvel=Blast furnace charging\nbtnJurnal=Journal\n"
                  "lngRazvernut=Expand\nlngSvernut=Collapse\nlngSviazGood=Link up\n");
        writeFile(work_ + "/deutsch.ini",
                  "[Main]\nMainFormKorvel=" + cp1251::encode("Hochofenbeschickung") +
                      "\nbtnJurnal=Journal DE\n");
        QDir().mkpath(work_ + "/cfg");
        writeFile(ini_, "[Data]\nLanguage=english.ini\n");
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        w.setViewFactory(TMainFormKorvel::View::Mnemo, [] { return namedWidget("mimic"); });
        w.openView(TMainFormKorvel::View::Mnemo);
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);

        const QList<QAction*> items = w.mnuLanguage->actions();
        QVERIFY(w.mnuLanguage->isEnabled());
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), QStringLiteral("deutsch.ini"));
        QCOMPARE(items[0]->objectName(), QStringLiteral("mnuLang1"));
        QCOMPARE(items[1]->text(), QStringLiteral("english.ini"));
        QVERIFY(!items[0]->isChecked());
        QVERIFY(items[1]->isChecked());
        QCOMPARE(w.windowTitle(),
                 QStringLiteral("Blast furnace charging v") + QLatin1String(kKorvelVersion));
        QCOMPARE(w.btnJurnal->text(), QStringLiteral("Journal"));
        QCOMPARE(MainTextStore::get()->lngSviazGood, QStringLiteral("Link up"));

        // the ticked item: nothing changes, no window closes, the list stays
        items[1]->trigger();
        QApplication::processEvents();
        QVERIFY(items[1]->isChecked());
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(w.events->size(), 1);

        w.btnUpDownClick(); // expanded: the new language's collapse text must follow
        items[0]->trigger();
        QApplication::processEvents();
        QTRY_COMPARE(w.mdiArea()->subWindowList().size(), 0);
        QVERIFY(items[0]->isChecked());
        QVERIFY(!items[1]->isChecked());
        QCOMPARE(w.events->size(), 0);
        QCOMPARE(w.settings().Language, QStringLiteral("deutsch.ini"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Hochofenbeschickung v3.7"));
        QCOMPARE(w.btnJurnal->text(), QStringLiteral("Journal DE"));
        QCOMPARE(w.btnUpDown->text(), QStringLiteral("Свернуть")); // deutsch.ini has none
        QCOMPARE(MainTextStore::get()->lngSviazGood, QStringLiteral("Связь с ШВУ установлена"));
        w.close();
        QVERIFY(readFile(ini_).contains("Language=deutsch.ini"));
    }

    void languageMenuTicksOnlyTheChosenFile() {
        // A bare name with two dots in it is a file of the working folder like any other.
        for (const char* name : {"a.ini", "plant..v2.ini", "z.ini"})
            writeFile(work_ + "/" + name, "[Main]\nbtnClear=" + QByteArray(name) + "\n");
        QDir().mkpath(work_ + "/cfg");
        writeFile(ini_, "[Data]\nLanguage=plant..v2.ini\n");
        RecordingStation st;
        {
            TMainFormKorvel w(st, paths());
            QCOMPARE(w.btnClear->text(), QStringLiteral("plant..v2.ini"));
            const QList<QAction*> items = w.mnuLanguage->actions();
            QCOMPARE(items.size(), 3);
            // Only the chosen file carries a mark, a tick; the others no empty box.
            for (QAction* item : items) {
                const bool chosen = item->text() == QStringLiteral("plant..v2.ini");
                QCOMPARE(item->isChecked(), chosen);
                QCOMPARE(item->isCheckable(), chosen);
            }
            items[2]->trigger();
            QApplication::processEvents();
            QCOMPARE(w.btnClear->text(), QStringLiteral("z.ini"));
            for (QAction* item : items) {
                const bool chosen = item == items[2];
                QCOMPARE(item->isChecked(), chosen);
                QCOMPARE(item->isCheckable(), chosen);
            }
            // Choosing the ticked one again keeps the tick.
            items[2]->trigger();
            QVERIFY(items[2]->isChecked());
            items[1]->trigger();
            w.close();
        }
        // The choice survives a restart.
        QVERIFY(readFile(ini_).contains("Language=plant..v2.ini"));
        TMainFormKorvel again(st, paths());
        QCOMPARE(again.btnClear->text(), QStringLiteral("plant..v2.ini"));
        QVERIFY(again.mnuLanguage->actions()[1]->isChecked());
    }

    void fileWithOnlyOneKeyChangesOnlyThatText() {
        writeFile(work_ + "/one.ini", "[Main]\nbtnClear=Wipe\n");
        QDir().mkpath(work_ + "/cfg");
        writeFile(ini_, "[Data]\nLanguage=one.ini\n");
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        QCOMPARE(w.btnClear->text(), QStringLiteral("Wipe"));
        QCOMPARE(w.btnJurnal->text(), QStringLiteral("Журнал работы"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Загрузка доменных печей v3.7"));
        QCOMPARE(w.mnuComands->title(), QStringLiteral("Функции"));
        QCOMPARE(w.btnAttention->caption(), QStringLiteral("Внимание"));
    }

    void missingLanguageFileTicksNothing() {
        writeFile(work_ + "/english.ini", "[Main]\nbtnClear=Clear\n");
        QDir().mkpath(work_ + "/cfg");
        writeFile(ini_, "[Data]\nLanguage=gone.ini\n");
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        QCOMPARE(w.mnuLanguage->actions().size(), 1);
        QVERIFY(!w.mnuLanguage->actions()[0]->isChecked());
        QCOMPARE(w.btnClear->text(), QStringLiteral("Очистить"));
    }

    void viewCommandClosesTheOpenChildFirst() {
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        w.setViewFactory(TMainFormKorvel::View::Mnemo, [] { return namedWidget("mimic"); });
        w.setViewFactory(TMainFormKorvel::View::Jurnal, [] { return namedWidget("journal"); });
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        w.openView(TMainFormKorvel::View::Mnemo);
        QPointer<QMdiSubWindow> first = w.mdiArea()->subWindowList().value(0);
        QVERIFY(first);
        // F4 is the journal's short cut
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_F4);
        QTRY_VERIFY(first.isNull());
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(w.mdiArea()->subWindowList()[0]->widget()->objectName(),
                 QStringLiteral("journal"));
        QVERIFY(w.mdiArea()->subWindowList()[0]->isMaximized());
        // the same view again is a fresh window
        QPointer<QMdiSubWindow> journal = w.mdiArea()->subWindowList()[0];
        w.openView(TMainFormKorvel::View::Jurnal);
        QTRY_VERIFY(journal.isNull());
        QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
        // a form closing itself takes its frame with it
        w.mdiArea()->subWindowList()[0]->widget()->deleteLater();
        QTRY_COMPARE(w.mdiArea()->subWindowList().size(), 0);
        // the help item does nothing
        w.mnuSprav->trigger();
        QCOMPARE(w.mdiArea()->subWindowList().size(), 0);
    }

    void eventListKeepsThirtyNewestFirst() {
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        w.btnClearClick();
        QCOMPARE(w.events->size(), 0);
        for (int i = 1; i <= 31; ++i)
            w.AvariaMemo(QStringLiteral("event %1").arg(i), i % 2 ? 0xFFFF0000 : 0xFF0000FF);
        QCOMPARE(w.events->size(), 30);
        QVERIFY(w.events->at(0).text.endsWith(QStringLiteral("  event 31")));
        QVERIFY(w.events->at(29).text.endsWith(QStringLiteral("  event 2")));
        QCOMPARE(w.lstAvaria->currentIndex().row(), 0);
        QCOMPARE(st.journalRecords.size(), 32); // the start event and all 31
        QCOMPARE(st.journalRecords[31], qMakePair(QStringLiteral("event 31"), 1));
        QCOMPARE(st.journalRecords[30], qMakePair(QStringLiteral("event 30"), 0)); // blue
        w.AvariaMemo("near red", 0xFFFE0000);
        QCOMPARE(st.journalRecords.last().second, 0);
    }

    void eventPanelExpandsAndCollapses() {
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        QCOMPARE(w.EventPanel->height(), 25);
        w.btnUpDownClick();
        QCOMPARE(w.EventPanel->height(), 57);
        QCOMPARE(w.btnUpDown->text(), QStringLiteral("Свернуть"));
        w.btnUpDownClick();
        QCOMPARE(w.EventPanel->height(), 25);
        QCOMPARE(w.btnUpDown->text(), QStringLiteral("Развернуть"));
    }

    void attentionButtonOpensOneWindow() {
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        int made = 0;
        w.setAttentionFactory([&made] {
            ++made;
            return new QWidget;
        });
        QTest::mousePress(w.btnAttention, Qt::LeftButton);
        QCOMPARE(w.btnAttention->innerBevel(), BevelPanel::Bevel::Lowered);
        QTest::mouseRelease(w.btnAttention, Qt::LeftButton);
        QCOMPARE(w.btnAttention->innerBevel(), BevelPanel::Bevel::Raised);
        QCOMPARE(made, 1);
        w.btnAttentionClick();
        QCOMPARE(made, 1);
        QPointer<QWidget> first = w.attentionWindow();
        first->close();
        QTRY_VERIFY(first.isNull());
        w.btnAttentionClick();
        QCOMPARE(made, 2);
        w.attentionWindow()->close();
    }

    void indicatorsTakeThePollColours() {
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        w.setStopColour(0xFFFF0000);
        w.setAttentionColour(0xFFFF0000);
        QCOMPARE(w.StopPanel->color(), QColor(Qt::red));
        QCOMPARE(w.btnAttention->color(), QColor(Qt::red));
        w.setLinkStatus(QStringLiteral("Сбой связи с ШВУ"), 0xFFFF0000);
        QCOMPARE(w.StatLabel->palette().color(QPalette::WindowText), QColor(Qt::red));
        w.setLinkIcon(2);
        const QImage icon = w.StatImage->pixmap().toImage();
        QCOMPARE(icon.size(), QSize(16, 16));
        QCOMPARE(QColor(icon.pixel(0, 0)), QColor(0xDF, 0xDF, 0xDE)); // background of the bitmap
    }

    void settingsDialogClampsAndSelects() {
        QDir().mkpath(work_ + "/cfg");
        writeFile(ini_, "[Data]\nComSpeed=57600\nComPort=2\n");
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        TOptForm dlg(w.settings(), w.workDir());
        dlg.FormActivate();
        QCOMPARE(dlg.Box_Speed->currentIndex(), 11);
        QVERIFY(dlg.com[1]->isChecked());
        QCOMPARE(dlg.SpinEdit2->value(), 45);
        struct {
            const char* typed;
            int shown;
        } cases[] = {{"150", 100}, {"1", 2}, {"abc", 2}, {"77", 77}};
        for (const auto& c : cases) {
            dlg.SpinEdit2->findChild<QLineEdit*>()->setText(QString::fromLatin1(c.typed));
            QCOMPARE(dlg.SpinEdit2->clampedValue(), c.shown);
            dlg.SpinEdit2->interpretText();
            QCOMPARE(dlg.SpinEdit2->value(), c.shown);
        }
        // a speed not in the list leaves no selection, and applying keeps it
        w.settings().ComSpeed = 12345;
        dlg.FormActivate();
        QCOMPARE(dlg.Box_Speed->currentIndex(), -1);
        dlg.com[2]->setChecked(true);
        dlg.SpinEdit2->setValue(10);
        dlg.disconnect(&dlg, &TOptForm::invalidNumber, nullptr, nullptr);
        QSignalSpy invalid(&dlg, &TOptForm::invalidNumber);
        dlg.btnOKClick();
        QCOMPARE(invalid.size(), 1);
        QCOMPARE(w.settings().ComPort, 3);
        QCOMPARE(w.settings().MaxArhDay, 10);
        QCOMPARE(w.settings().ComSpeed, 12345);
        // choosing a rate applies it
        dlg.FormActivate();
        dlg.Box_Speed->setCurrentIndex(6);
        dlg.btnOKClick();
        QCOMPARE(w.settings().ComSpeed, 9600);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Настройки"));
        QCOMPARE(dlg.btnOK->text(), QStringLiteral("Применить"));
    }

    // Qt's own texts (standard buttons, file and print dialogs) follow the language file:
    // Russian with the built-in texts, English with english.ini, and back on a switch.
    void qtTextsFollowTheLanguageFile() {
        auto yesNo = [] {
            QMessageBox box(QMessageBox::Question, QString(), QString(),
                            QMessageBox::Yes | QMessageBox::No);
            return box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')) +
                   QLatin1Char('/') + box.button(QMessageBox::No)->text().remove(QLatin1Char('&'));
        };
        QTemporaryDir work;
        QVERIFY(QFile::copy(QStringLiteral(KORVEL_SOURCE_DIR "/lang/english.ini"),
                            work.filePath(QStringLiteral("english.ini"))));
        writeFile(work.filePath(QStringLiteral("russian.ini")), "[Main]\r\n");
        QDir().mkpath(work_ + "/cfg");
        writeFile(ini_, "[Data]\nLanguage=\n");
        RecordingStation st;
        TMainFormKorvel w(st, {ini_, work.path()});
        QCOMPARE(yesNo(), QStringLiteral("Да/Нет"));
        auto choose = [&w](const char* file) {
            for (QAction* a : w.findChildren<QAction*>())
                if (a->text() == QLatin1String(file))
                    return w.mnuLangClick(a);
            QFAIL(file);
        };
        choose("english.ini");
        QCOMPARE(yesNo(), QStringLiteral("Yes/No"));
        choose("russian.ini");
        QCOMPARE(yesNo(), QStringLiteral("Да/Нет"));
    }

    // The invalid-number box speaks the station's language: the built-in Russian text, or
    // the language file's; its buttons come from Qt's translation of that language.
    void settingsDialogInvalidNumberInTheStationsLanguage_data() {
        QTest::addColumn<QByteArray>("mainSection");
        QTest::addColumn<QString>("expected");
        QTest::newRow("built-in") << QByteArray() << QStringLiteral("Неверное целое число: ''");
        QTest::newRow("language file") << QByteArray("lngBadNumber=Not a whole number:\r\n")
                                       << QStringLiteral("Not a whole number: ''");
    }
    void settingsDialogInvalidNumberInTheStationsLanguage() {
        QFETCH(QByteArray, mainSection);
        QFETCH(QString, expected);
        QDir().mkpath(work_ + "/cfg");
        writeFile(work_ + "/lang.ini", "[Main]\r\n" + mainSection);
        writeFile(ini_, "[Data]\nComSpeed=12345\nLanguage=lang.ini\n");
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        TOptForm dlg(w.settings(), w.workDir());
        dlg.FormActivate();
        QString shown;
        QTimer poll;
        QElapsedTimer waited;
        waited.start();
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->reject();
            } else if (waited.elapsed() > 5000) {
                poll.stop(); // no box within the deadline: the comparison below fails
            }
        });
        poll.start(20);
        {
            ModalDeadline deadline(10000, "the settings dialog's message box to be answered");
            dlg.btnOKClick();
            QVERIFY2(!deadline.expired(), deadline.message());
        }
        poll.stop();
        QCOMPARE(shown, expected);
    }

    void settingsDialogReopensThePortBetweenPauseAndResume() {
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        st.calls.clear();
        QTimer::singleShot(0, [&w] {
            auto* dlg = w.findChild<TOptForm*>();
            QVERIFY(dlg);
            dlg->com[2]->setChecked(true);
            dlg->Box_Speed->setCurrentIndex(6);
            dlg->btnOK->click();
        });
        {
            ModalDeadline deadline(10000, "the settings dialog to be applied");
            w.mnuOptionsClick();
            QVERIFY2(!deadline.expired(), deadline.message());
        }
        QCOMPARE(st.calls, QStringList({"pause", "close", "open 3 9600", "days 45", "resume"}));
        QCOMPARE(w.StatLabel->palette().color(QPalette::WindowText), QColor(0x00, 0x00, 0x80));
        // the file still holds the old values until the program ends
        QVERIFY(!QFile::exists(ini_));
        st.calls.clear();
        QTimer::singleShot(0, [&w] { w.findChild<TOptForm*>()->btnCancel->click(); });
        {
            ModalDeadline deadline(10000, "the settings dialog to be cancelled");
            w.mnuOptionsClick();
            QVERIFY2(!deadline.expired(), deadline.message());
        }
        QVERIFY(st.calls.isEmpty());
        w.close();
        QVERIFY(readFile(ini_).contains("ComPort=3\nMaxArhDay=45\nComSpeed=9600"));
    }

    // SIGHUP opens the line again the way an accepted settings dialog does, once for signals
    // that arrive together, and the station goes on; after a stop it is dropped.
    void hangupOpensTheLineAgain() {
        QVERIFY(ProcessSignals::install());
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        ProcessSignals signals_;
        signals_.setCloseAction([&w] { w.close(); });
        signals_.setReopenAction([&w] { w.reopenPort(); });
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        st.calls.clear();
        ::raise(SIGHUP);
        ::raise(SIGHUP);
        const QStringList reopen{"pause", "close", "open 1 115200", "days 45", "resume"};
        QTRY_COMPARE(st.calls, reopen);
        QTest::qWait(100);
        QCOMPARE(st.calls, reopen);
        QVERIFY(!signals_.requested());
        QVERIFY(w.isVisible());

        // A stop and a re-open waiting together: the stop wins and the line is left alone.
        st.calls.clear();
        QTimer::singleShot(0, &w, [] {
            ::raise(SIGHUP);
            ::raise(SIGTERM);
        });
        QTimer::singleShot(5000, &w, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(signals_.requested());
        QVERIFY(!st.calls.contains(QStringLiteral("pause")));
        QCOMPARE(st.calls.last(), QStringLiteral("close"));
    }

    // A stop request with a modal dialog open: the main window closes the orderly way and
    // every event loop ends, the dialog's and the application's.
    void stopSignalEndsTheProgramWithADialogOpen_data() {
        QTest::addColumn<int>("dialog");
        QTest::newRow("about box") << 0;
        QTest::newRow("settings dialog") << 1;
    }
    void stopSignalEndsTheProgramWithADialogOpen() {
        QFETCH(int, dialog);
        QVERIFY(ProcessSignals::install());
        RecordingStation st;
        TMainFormKorvel w(st, paths());
        ProcessSignals stop;
        stop.setCloseAction([&w] { w.close(); });
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QString openDialog;
        QTimer::singleShot(0, &w, [&w, dialog] {
            if (dialog == 0)
                w.mnuAboutClick();
            else
                w.mnuOptionsClick();
        });
        QTimer::singleShot(200, &w, [&openDialog] {
            if (QWidget* modal = QApplication::activeModalWidget())
                openDialog = QString::fromLatin1(modal->metaObject()->className());
            ::raise(SIGTERM);
        });
        // A deadline: without the stop the loop would run on.
        QTimer::singleShot(5000, &w, [] { QCoreApplication::exit(99); });
        const int status = QApplication::exec();
        QVERIFY2(!openDialog.isEmpty(), "no modal dialog was open");
        QCOMPARE(status, 0);
        QVERIFY(stop.requested());
        QVERIFY(!w.isVisible());
        QVERIFY(st.calls.contains(QStringLiteral("journal 2")));
        QCOMPARE(st.calls.last(), QStringLiteral("close"));
        QVERIFY(QFile::exists(ini_));
        // The settings dialog was not applied: the port was not touched after the stop.
        QVERIFY(!st.calls.contains(QStringLiteral("pause")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "MainWindowTest.moc"
