// The preview window: its tool strip, zoom group, page turning and keys, saving and loading
// built reports, and printing chosen pages.
#include "HookRecorder.h"
#include "MainTexts.h"
#include "ModalDeadline.h"
#include "PreviewUnit.h"
#include "ReportBuilder.h"
#include "ReportFile.h"
#include "ReportPreview.h"
#include "StationReports.h"

#include <QInputDialog>
#include <QPageRanges>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>

namespace {

report::PreparedReport protocolPages(int rows) {
    report::MemTable t;
    t.fields = QStringList{"TIME", "DAT", "DOZATOR", "COD_MAT", "SKOR_ZAD", "VES", "REG_DOZ"};
    for (int i = 0; i < rows; ++i)
        t.rows.push_back({QStringLiteral("10:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')),
                          "05.03.2010", "2", "03", "900", QString::number(1000 + i), "Manual"});
    return report::build(views::protocolTemplate(), t,
                         views::protocolVariables("Протокол дозирования за", "05.03.2010",
                                                  {"a", "b", "c", "d", "e", "f", "g"}));
}

report::PreparedReport shiftPages() {
    report::MemTable t;
    t.fields = QStringList{"TIME", "COD_MAT", "VES", "REG_DOZ"};
    t.rows.push_back({"07:00:00", "02", "120", "Automatik"});
    t.rows.push_back({"07:10:00", "05", "80", "Manual"});
    return report::build(views::shiftTemplate(), t,
                         views::shiftVariables(MainTexts::defaults(), "05.03.2010", 1));
}

int pdfPages(const QString& path) {
    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (pdfinfo.isEmpty())
        return -1;
    QProcess p;
    p.start(pdfinfo, {path});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re("Pages:\\s+(\\d+)");
    const auto m = re.match(out);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT

private slots:
    void toolStripHasElevenButtonsInOrder() {
        TPreviewForm form;
        const struct {
            QToolButton* button;
            const char* name;
            const char* tip;
        } expected[] = {{form.frSpeedButton2, "frSpeedButton2", "Zoom to 100%"},
                        {form.frSpeedButton1, "frSpeedButton1", "Zoom to fit"},
                        {form.frSpeedButton3, "frSpeedButton3", "Zoom to page width"},
                        {form.frSpeedButton4, "frSpeedButton4", "First page"},
                        {form.frSpeedButton5, "frSpeedButton5", "Previous page"},
                        {form.frSpeedButton6, "frSpeedButton6", "Next page"},
                        {form.frSpeedButton7, "frSpeedButton7", "Last page"},
                        {form.frSpeedButton8, "frSpeedButton8", "Load report"},
                        {form.frSpeedButton9, "frSpeedButton9", "Save report"},
                        {form.frSpeedButton10, "frSpeedButton10", "Print report"},
                        {form.frSpeedButton11, "frSpeedButton11", "Close preview"}};
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        int lastX = -1;
        for (const auto& e : expected) {
            QCOMPARE(e.button->objectName(), QString(e.name));
            QCOMPARE(e.button->toolTip(), QString(e.tip));
            QCOMPARE(e.button->size(), QSize(24, 24));
            QVERIFY(e.button->autoRaise());
            QVERIFY2(e.button->x() > lastX, e.name);
            lastX = e.button->x();
        }
        // Gaps after the zoom group, after the page buttons and before the close button.
        QVERIFY(form.frSpeedButton4->x() - form.frSpeedButton3->x() > 24);
        QVERIFY(form.frSpeedButton8->x() - form.frSpeedButton7->x() > 24);
        QVERIFY(form.frSpeedButton11->x() - form.frSpeedButton10->x() > 24);
        QCOMPARE(form.frSpeedButton5->x() - form.frSpeedButton4->x(), 24);
    }

    void zoomReturnsTo100EachActivation() {
        TPreviewForm form;
        form.setReport(protocolPages(10));
        QVERIFY(form.frSpeedButton2->isChecked());
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.frSpeedButton1->click();
        QVERIFY(form.frSpeedButton1->isChecked());
        QVERIFY(!form.frSpeedButton2->isChecked());
        QCOMPARE(form.frPreview1->zoom(), ReportPreview::Zoom::WholePage);
        form.frSpeedButton3->click();
        QCOMPARE(form.frPreview1->zoom(), ReportPreview::Zoom::PageWidth);
        // Becoming the active window again (as after the print dialog closes).
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&form, &activate);
        QVERIFY(form.frSpeedButton2->isChecked());
        QCOMPARE(form.frPreview1->zoom(), ReportPreview::Zoom::Percent100);
        QCOMPARE(form.frPreview1->scale(), 1.0);
    }

    void pageButtonsAndKeysTurnPages() {
        TPreviewForm form;
        form.resize(900, 700);
        form.setReport(protocolPages(150));
        const int pages = form.frPreview1->pageCount();
        QVERIFY(pages >= 3);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.frPreview1->currentPage(), 0);
        form.frSpeedButton6->click();
        QCOMPARE(form.frPreview1->currentPage(), 1);
        form.frSpeedButton7->click();
        QCOMPARE(form.frPreview1->currentPage(), pages - 1);
        form.frSpeedButton5->click();
        QCOMPARE(form.frPreview1->currentPage(), pages - 2);
        form.frSpeedButton4->click();
        QCOMPARE(form.frPreview1->currentPage(), 0);

        QTest::keyClick(&form, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(form.frPreview1->currentPage(), pages - 1);
        QTest::keyClick(&form, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(form.frPreview1->currentPage(), 0);
        QTest::keyClick(&form, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(form.frPreview1->currentPage(), 1);
        QTest::keyClick(&form, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(form.frPreview1->currentPage(), 0);
        const int top = form.frPreview1->verticalScrollBar()->value();
        QTest::keyClick(&form, Qt::Key_Down);
        QVERIFY(form.frPreview1->verticalScrollBar()->value() > top);
        QTest::keyClick(form.frSpeedButton6, Qt::Key_PageDown);
        QVERIFY(form.frPreview1->verticalScrollBar()->value() > top + 100);
    }

    void searchFindsTextAndF3FindsTheNext() {
        HookRecorder hooks;
        TPreviewForm form;
        form.hooks = hooks.viewHooks();
        form.resize(900, 700);
        form.setReport(protocolPages(150));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.frPreview1->find("1149"));
        QCOMPARE(form.frPreview1->matchPage(), form.frPreview1->pageCount() - 1);
        QCOMPARE(form.frPreview1->currentPage(), form.frPreview1->pageCount() - 1);
        // A search starts on the page shown; F3 goes on to the next match (title, then the
        // footer of page 1, then the footer of page 2).
        form.frSpeedButton4->click();
        QVERIFY(form.frPreview1->find("протокол"));
        QCOMPARE(form.frPreview1->matchPage(), 0);
        const int title = form.frPreview1->matchItem();
        QTest::keyClick(&form, Qt::Key_F3);
        QCOMPARE(form.frPreview1->matchPage(), 0);
        QVERIFY(form.frPreview1->matchItem() > title);
        QTest::keyClick(&form, Qt::Key_F3);
        QCOMPARE(form.frPreview1->matchPage(), 1);
        QCOMPARE(form.frPreview1->currentPage(), 1);
        QVERIFY(hooks.messages.isEmpty());
        QVERIFY(!form.frPreview1->find("no such text"));
        QCOMPARE(hooks.messages.size(), 1);
        QVERIFY(hooks.messages[0].contains("no such text"));
    }

    void savingAlwaysWritesFrpAndLoadingRestoresThePages() {
        QTemporaryDir dir;
        HookRecorder hooks;
        TPreviewForm shift;
        shift.hooks = hooks.viewHooks();
        shift.setReport(shiftPages());
        hooks.fileAnswer = dir.filePath("report.txt");
        shift.frSpeedButton9Click();
        QVERIFY(hooks.messages.isEmpty());
        QVERIFY(QFileInfo::exists(dir.filePath("report.frp")));
        QVERIFY(!QFileInfo::exists(dir.filePath("report.txt")));

        // Loaded into a preview opened on the blank report, the shift report comes back as is.
        TPreviewForm other;
        other.hooks = hooks.viewHooks();
        other.setReport(report::PreparedReport::blank());
        hooks.fileAnswer = dir.filePath("report.frp");
        QTest::keyClick(&other, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(hooks.messages.isEmpty());
        QCOMPARE(other.report(), shiftPages());

        // Saving as report.txt again would replace report.frp: only with the operator's yes.
        TPreviewForm protocol;
        protocol.hooks = hooks.viewHooks();
        protocol.setReport(protocolPages(5));
        hooks.fileAnswer = dir.filePath("report.txt");
        protocol.frSpeedButton9Click();
        QCOMPARE(hooks.questions.size(), 1);
        report::PreparedReport onDisk;
        QVERIFY(report::loadFile(dir.filePath("report.frp"), &onDisk, nullptr));
        QCOMPARE(onDisk, shiftPages());
        hooks.confirmAnswer = true;
        protocol.frSpeedButton9Click();
        QVERIFY(report::loadFile(dir.filePath("report.frp"), &onDisk, nullptr));
        QCOMPARE(onDisk, protocolPages(5));
        // Typing the .frp name itself was already confirmed by the file dialog.
        hooks.fileAnswer = dir.filePath("report.frp");
        protocol.frSpeedButton9Click();
        QCOMPARE(hooks.questions.size(), 2);
    }

    void damagedFileGivesAMessageAndKeepsThePages() {
        QTemporaryDir dir;
        HookRecorder hooks;
        QFile f(dir.filePath("bad.frp"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("KVRPT\r\n\x1a garbage");
        f.close();
        TPreviewForm form;
        form.hooks = hooks.viewHooks();
        form.setReport(shiftPages());
        hooks.fileAnswer = f.fileName();
        form.frSpeedButton8Click();
        QCOMPARE(hooks.messages.size(), 1);
        QVERIFY(hooks.messages[0].contains("bad.frp"));
        QCOMPARE(form.report(), shiftPages());
    }

    void nothingHappensWithoutPages() {
        QTemporaryDir dir;
        HookRecorder hooks;
        bool asked = false;
        TPreviewForm form;
        form.hooks = hooks.viewHooks();
        form.hooks.reportFile = [&asked](QWidget*, bool) {
            asked = true;
            return QString();
        };
        QCOMPARE(form.frPreview1->pageCount(), 0);
        form.frSpeedButton8Click();
        form.frSpeedButton9Click();
        form.frSpeedButton10Click(); // would open the print dialog
        QVERIFY(!asked);
        QString written;
        QVERIFY(!form.saveReport(dir.filePath("x"), &written, nullptr));
        QVERIFY(folderEmpty(dir.path()));
    }

    void printsChosenPagesAndCopies() {
        const report::PreparedReport pages = protocolPages(150);
        QVERIFY(pages.pages.size() >= 3);
        QTemporaryDir dir;
        TPreviewForm form;
        form.setReport(pages);
        struct Case {
            const char* what;
            QPrinter::PrintRange range;
            QPageRanges ranges;
            int copies;
            int expected;
        };
        QPageRanges oneAndThree;
        oneAndThree.addPage(1);
        oneAndThree.addPage(3);
        const Case cases[] = {
            {"all", QPrinter::AllPages, {}, 1, int(pages.pages.size())},
            {"current", QPrinter::CurrentPage, {}, 1, 1},
            {"pages 1,3", QPrinter::PageRange, oneAndThree, 1, 2},
            {"pages 1,3 twice", QPrinter::PageRange, oneAndThree, 2, 4},
        };
        for (const Case& c : cases) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            const QString out = dir.filePath(QString(c.what) + ".pdf");
            printer.setOutputFileName(out);
            printer.setPrintRange(c.range);
            printer.setPageRanges(c.ranges);
            printer.setCopyCount(c.copies);
            QVERIFY2(form.printTo(&printer), c.what);
            const int n = pdfPages(out);
            if (n < 0)
                QSKIP("pdfinfo is not installed");
            QCOMPARE(n, c.expected);
        }
    }

    // Every way of printing tells the operator when nothing was printed: no printer chosen,
    // a file that cannot be written; a cancelled dialog and a good print say nothing.
    void printThatPrintsNothingSaysSo() {
        QTemporaryDir dir;
        HookRecorder hooks;
        TPreviewForm form;
        form.hooks = hooks.viewHooks();
        form.setReport(protocolPages(40));
        struct Case {
            const char* what;
            std::function<void(QPrinter*)> choose; // empty: the dialog is cancelled
            QString message;                       // empty: none
        };
        const QString unwritable = dir.filePath("no/such/dir/out.pdf");
        const Case cases[] = {
            {"no printer",
             [](QPrinter* p) {
                 p->setPrinterName(QString());
                 p->setOutputFormat(QPrinter::PdfFormat);
                 p->setOutputFileName(QString());
             },
             QStringLiteral("Ошибка: Принтер по умолчанию не выбран")},
            {"file in a missing folder",
             [&unwritable](QPrinter* p) {
                 p->setOutputFormat(QPrinter::PdfFormat);
                 p->setOutputFileName(unwritable);
             },
             QStringLiteral("Ошибка: Ошибка записи в файл ") + unwritable},
            {"cancelled", {}, QString()},
            {"printed",
             [&dir](QPrinter* p) {
                 p->setOutputFormat(QPrinter::PdfFormat);
                 p->setOutputFileName(dir.filePath("printed.pdf"));
             },
             QString()},
        };
        for (const Case& c : cases) {
            hooks.messages.clear();
            hooks.onPrintDialog = c.choose;
            form.frSpeedButton10Click();
            QCOMPARE(hooks.messages.size(), c.message.isEmpty() ? 0 : 1);
            if (!c.message.isEmpty())
                QVERIFY2(hooks.messages[0].startsWith(c.message), qPrintable(hooks.messages[0]));
            // Ctrl+P goes the same way.
            hooks.messages.clear();
            QTest::keyClick(&form, Qt::Key_P, Qt::ControlModifier);
            QCOMPARE(hooks.messages.size(), c.message.isEmpty() ? 0 : 1);
        }
        QVERIFY(QFileInfo(dir.filePath("printed.pdf")).size() > 0);

        // The text comes from the language file.
        MainTexts texts = MainTexts::defaults();
        texts.lngNoPrinter = QStringLiteral("No default printer");
        texts.lngError = QStringLiteral("Error");
        MainTextStore::set(texts);
        hooks.messages.clear();
        hooks.onPrintDialog = cases[0].choose;
        form.frSpeedButton10Click();
        MainTextStore::set(MainTexts::defaults());
        QCOMPARE(hooks.messages, QStringList{"Error: No default printer"});
    }

    // Ctrl+F and F3 bring each match into the viewport, also further matches on the same
    // page, at 100 % and at page width; a match out of view is centred.
    void searchScrollsEachMatchIntoView_data() {
        QTest::addColumn<bool>("pageWidth");
        QTest::newRow("100 %") << false;
        QTest::newRow("page width") << true;
    }
    void searchScrollsEachMatchIntoView() {
        QFETCH(bool, pageWidth);
        HookRecorder hooks;
        TPreviewForm form;
        form.hooks = hooks.viewHooks();
        form.resize(900, 600);
        form.setReport(protocolPages(150));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        if (pageWidth)
            form.frSpeedButton3->click();
        ReportPreview* preview = form.frPreview1;
        const QScrollBar* v = preview->verticalScrollBar();
        int before = v->value();
        QVERIFY(preview->find("Manual"));
        int moves = 0;
        for (int match = 1;; ++match) {
            const QRect seen = highlightIn(preview);
            const QRectF item = preview->report()
                                    .pages[size_t(preview->matchPage())]
                                    .items[size_t(preview->matchItem())]
                                    .rect;
            const QSizeF expected = item.size() * preview->scale();
            const QString where =
                QStringLiteral("match %1 (page %2, item %3): highlight %4,%5 %6x%7")
                    .arg(match)
                    .arg(preview->matchPage())
                    .arg(preview->matchItem())
                    .arg(seen.x())
                    .arg(seen.y())
                    .arg(seen.width())
                    .arg(seen.height());
            // The whole highlighted rectangle is on screen.
            QVERIFY2(!seen.isEmpty(), qPrintable(where));
            QVERIFY2(qAbs(seen.width() - expected.width()) <= 3 &&
                         qAbs(seen.height() - expected.height()) <= 3,
                     qPrintable(where));
            QVERIFY2(preview->viewport()->rect().contains(seen), qPrintable(where));
            QVERIFY2(QRectF(seen).adjusted(-2, -2, 2, 2).contains(preview->matchRect()),
                     qPrintable(where));
            // The view moved only for a match that was not in view, and then centres it
            // (unless the scroll range ends first).
            if (v->value() != before) {
                ++moves;
                if (v->value() > v->minimum() && v->value() < v->maximum())
                    QVERIFY2(qAbs(seen.center().y() - preview->viewport()->height() / 2) <= 2,
                             qPrintable(where));
            }
            QCOMPARE(preview->currentPage(), preview->matchPage());
            if (match == 70)
                break;
            before = v->value();
            QTest::keyClick(&form, Qt::Key_F3);
            QVERIFY(hooks.messages.isEmpty());
        }
        // Matches further down a page are out of view until the search scrolls to them.
        QVERIFY2(moves >= 2, qPrintable(QString::number(moves)));
    }

    // Ctrl+F asks for the text in a dialog; when the preview becomes active again after it
    // (which returns the zoom to 100 %), the match is still in view.
    void searchDialogLeavesTheMatchInView() {
        HookRecorder hooks;
        TPreviewForm form;
        form.hooks = hooks.viewHooks();
        form.resize(900, 600);
        form.setReport(protocolPages(150));
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.frSpeedButton3->click(); // page width: the activation changes the zoom
        bool asked = false;
        QTimer::singleShot(0, &form, [&asked] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            asked = true;
            dialog->setTextValue(QStringLiteral("1040")); // a row far down the first page
            dialog->accept();
        });
        {
            ModalDeadline deadline(10000, "the row search dialog to be answered");
            QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
            QVERIFY2(!deadline.expired(), deadline.message());
        }
        QVERIFY(asked);
        // The preview becomes the active window again once the dialog has gone.
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&form, &activate);
        QCOMPARE(form.frPreview1->zoom(), ReportPreview::Zoom::Percent100);
        QCOMPARE(form.frPreview1->matchPage(), 0);
        const QRect seen = highlightIn(form.frPreview1);
        QVERIFY2(!seen.isEmpty() && form.frPreview1->viewport()->rect().contains(seen),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(seen.x())
                                .arg(seen.y())
                                .arg(seen.width())
                                .arg(seen.height())));
        QVERIFY(QRectF(seen).adjusted(-2, -2, 2, 2).contains(form.frPreview1->matchRect()));
    }

private:
    // The rectangle of highlighted pixels the preview area shows (the match's marking), in
    // viewport coordinates; empty when no highlighted pixel is visible.
    static QRect highlightIn(ReportPreview* preview) {
        preview->viewport()->repaint();
        const QImage image = preview->viewport()->grab().toImage();
        QRect box;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 230 && c.green() > 230 && c.blue() < 150)
                    box |= QRect(x, y, 1, 1);
            }
        }
        return box;
    }

    static bool folderEmpty(const QString& path) { return QDir(path).isEmpty(); }
};

QTEST_MAIN(PreviewTest)
#include "PreviewTest.moc"
