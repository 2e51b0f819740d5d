// The history window over a small archive: loading, the missing-file message, zoom buttons,
// the readout under the pointer, printing to PDF and the headless export.
#include "DailyTables.h"
#include "DbfTable.h"
#include "HistoryChart.h"
#include "HistoryDay.h"
#include "HistoryExport.h"
#include "HistoryPrint.h"
#include "HistoryRules.h"
#include "HistoryUnit.h"
#include "MainTexts.h"
#include "ModalDeadline.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {
const QDate kDay(2010, 1, 5);
constexpr int kPoints = 40;

// Record r of doser n: ZAD = 100n + r, KOR = 100n + 50, VES = 10 r - 5 n.
double zadOf(int n, int r) {
    return 100 * n + r;
}

void writeArchive(const QString& workDir, const QDate& date) {
    const QString path = daily::fileName(workDir, daily::kArchive, date);
    QString error;
    QVERIFY2(dbf::create(path, daily::archiveFields(), &error), qPrintable(error));
    for (int r = 0; r < kPoints; ++r) {
        std::vector<QString> v{QTime(8, 0).addSecs(r).toString(QStringLiteral("HH:mm:ss")),
                               date.toString(QStringLiteral("yyyyMMdd"))};
        for (int n = 1; n <= 6; ++n) {
            v.push_back(QString::number(zadOf(n, r)));
            v.push_back(QString::number(100 * n + 50));
            v.push_back(QString::number(10 * r - 5 * n));
        }
        QVERIFY2(dbf::append(path, v, &error), qPrintable(error));
    }
}

// The page size of a one-page PDF in points, from its /MediaBox.
QSizeF pdfPageSize(const QByteArray& pdf) {
    const QRegularExpression box(QStringLiteral("/MediaBox \\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+"
                                                "([-\\d.]+)\\s+([-\\d.]+)\\s*\\]"));
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(pdf));
    if (!m.hasMatch())
        return QSizeF();
    return QSizeF(m.captured(3).toDouble() - m.captured(1).toDouble(),
                  m.captured(4).toDouble() - m.captured(2).toDouble());
}

// Runs `action`, which must open a modal message box; records its caption and text and
// presses OK. Returns false when no box came up.
bool expectMessage(const std::function<void()>& action, QString* title, QString* text) {
    bool seen = false;
    std::function<void(int)> poll = [&](int triesLeft) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) {
            seen = true;
            *title = box->windowTitle();
            *text = box->text();
            box->button(QMessageBox::Ok)->click();
        } else if (triesLeft > 0) {
            QTimer::singleShot(0, [&poll, triesLeft] { poll(triesLeft - 1); });
        }
    };
    QTimer::singleShot(0, [&poll] { poll(1000); });
    ModalDeadline deadline(10000, "the message box to be answered");
    action();
    if (deadline.expired())
        qWarning("%s", deadline.message());
    return seen && !deadline.expired();
}

QCPRange xRange(THistoryForm* f) {
    return f->chart()->xAxis->range();
}
QCPRange yRange(THistoryForm* f) {
    return f->chart()->yAxis->range();
}
} // namespace

class HistoryFormTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startsEmptyWithDefaultTexts();
    void choosingDoserLoadsTheDay();
    void missingDayGivesMessageAndEmptyChart();
    void changingDoserReloadsAndResetsZoom();
    void zoomInOutKeepsNinetySixPercentAndRestoreGivesItBack();
    void readoutFollowsThePointer();
    void draggingARectangleZoomsToItAndBackwardsRestores();
    void printsOneLandscapePageAndRestoresOrientation();
    void printErrorIsShownAndOrientationRestored();
    void closeFreesTheWindow();
    void exportWritesPdfOrReportsMissingDay();

private:
    THistoryForm* open();
    void choose(int doser) { form->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(doser - 1); }
    QString label(const char* name) { return form->findChild<QLabel*>(name)->text(); }
    void moveTo(double x, double y);

    std::unique_ptr<QTemporaryDir> dir;
    QPointer<THistoryForm> form;
    int desksMade = 0;
    QPointer<QWidget> lastDesk;
    QString lastDeskText;
};

void HistoryFormTest::init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    writeArchive(dir->path(), kDay);
    desksMade = 0;
    form = open();
}

void HistoryFormTest::cleanup() {
    delete form;
    dir.reset();
}

THistoryForm* HistoryFormTest::open() {
    auto* f = new THistoryForm(dir->path(), QString(), nullptr, [this](const QString& text) {
        ++desksMade;
        lastDeskText = text;
        auto* w = new QLabel(text);
        lastDesk = w;
        return w;
    });
    f->chart()->setZoomAnimationMs(0);
    f->resize(1200, 700);
    f->show();
    return f;
}

void HistoryFormTest::moveTo(double x, double y) {
    HistoryChart* c = form->chart();
    const QPointF p(c->xAxis->coordToPixel(x), c->yAxis->coordToPixel(y));
    QMouseEvent ev(QEvent::MouseMove, p, c->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(c, &ev);
}

void HistoryFormTest::startsEmptyWithDefaultTexts() {
    QVERIFY(form->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(form->windowTitle(), QStringLiteral("История"));
    QCOMPARE(label("labName"), QStringLiteral("История за"));
    QCOMPARE(label("labDozator"), QStringLiteral("Дозатор"));
    QCOMPARE(label("labTime"), QStringLiteral("Время: 00:00:00"));
    QCOMPARE(label("labVes"), QStringLiteral("Вес: 0 кг"));
    const struct {
        const char* name;
        const char* text;
    } buttons[] = {{"btnPrint", "Печать"},
                   {"btnClose", "Закрыть"},
                   {"btnZoomIn", "Увеличить"},
                   {"btnZoomOut", "Уменьшить"},
                   {"btnReset", "Восстановить"}};
    for (const auto& b : buttons)
        QCOMPARE(form->findChild<QPushButton*>(b.name)->text(), QString::fromUtf8(b.text));
    auto* list = form->findChild<QComboBox*>("ComboBox1");
    QCOMPARE(list->count(), 6);
    QCOMPARE(list->currentIndex(), -1);
    QCOMPARE(list->itemText(0), QStringLiteral("Дозатор 1"));
    QCOMPARE(list->itemText(5), QStringLiteral("Дозатор 6"));
    QCOMPARE(list->maxVisibleItems(), 16);
    QCOMPARE(form->findChild<QDateEdit*>("DateEdit1")->date(), QDate::currentDate());

    HistoryChart* c = form->chart();
    QCOMPARE(c->series(0)->name(), QStringLiteral("Заданная доза"));
    QCOMPARE(c->series(1)->name(), QStringLiteral("Скор. задание"));
    QCOMPARE(c->series(2)->name(), QStringLiteral("Текущий вес"));
    QCOMPARE(c->xAxis->label(), QStringLiteral("Время"));
    QCOMPARE(c->yAxis->label(), QStringLiteral("Вес, кг"));
    QCOMPARE(c->series(0)->pen().color(), QColor(0, 0, 0xFF));
    QCOMPARE(c->series(1)->pen().color(), QColor(0, 0x80, 0));
    QCOMPARE(c->series(2)->pen().color(), QColor(0x80, 0, 0x80));
    QCOMPARE(c->series(0)->dataCount(), 0);
    QVERIFY(c->title().isEmpty());
    // Texts are sized in pixels: on a 1200 dpi printer a point-sized font would come out
    // six times too large against the scaled-down chart.
    const QFont fonts[] = {c->xAxis->tickLabelFont(), c->yAxis->tickLabelFont(),
                           c->xAxis->labelFont(),     c->yAxis->labelFont(),
                           c->legend->font(),         c->legend->item(0)->font()};
    for (const QFont& f : fonts)
        QVERIFY(f.pixelSize() > 0);

    // A date change without a doser loads nothing.
    form->findChild<QDateEdit*>("DateEdit1")->setDate(kDay);
    QCOMPARE(c->series(0)->dataCount(), 0);
    QCOMPARE(desksMade, 0);
}

void HistoryFormTest::choosingDoserLoadsTheDay() {
    form->findChild<QDateEdit*>("DateEdit1")->setDate(kDay);
    choose(4);
    HistoryChart* c = form->chart();
    QCOMPARE(c->series(0)->dataCount(), kPoints);
    QCOMPARE(c->series(0)->data()->at(7)->value, zadOf(4, 7));
    QCOMPARE(c->series(1)->data()->at(7)->value, 450.0);
    QCOMPARE(c->series(2)->data()->at(7)->value, 50.0);
    QCOMPARE(c->series(2)->data()->at(7)->key, 7.0);
    QCOMPARE(c->title(),
             QStringLiteral("Дозатор 4\n") + kDay.toString(QStringLiteral("dd.MM.yyyy")));
    // The please-wait window was shown with its text and is gone again.
    QCOMPARE(desksMade, 1);
    QCOMPARE(lastDeskText, QStringLiteral("Подождите пожалуйста..."));
    QVERIFY(lastDesk.isNull());
    // Automatic ranges: the whole day and all values of the three curves.
    QCOMPARE(xRange(form).lower, 0.0);
    QCOMPARE(xRange(form).upper, double(kPoints - 1));
    QCOMPARE(yRange(form).lower, -20.0);
    QCOMPARE(yRange(form).upper, 450.0);
}

void HistoryFormTest::missingDayGivesMessageAndEmptyChart() {
    auto* date = form->findChild<QDateEdit*>("DateEdit1");
    date->setDate(kDay);
    choose(1);
    QCOMPARE(form->chart()->series(0)->dataCount(), kPoints);

    const QDate missing = kDay.addDays(1);
    QString title, text;
    QVERIFY(expectMessage([&] { date->setDate(missing); }, &title, &text));
    QCOMPARE(title, QStringLiteral("Ошибка"));
    QCOMPARE(text, QStringLiteral("История за ") + missing.toString(QStringLiteral("dd.MM.yyyy")) +
                       QStringLiteral(" отсутствует"));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(form->chart()->series(i)->dataCount(), 0);
    QVERIFY(form->chart()->title().isEmpty());
    QCOMPARE(desksMade, 1); // no please-wait window for a missing day

    // Choosing another doser on the missing day gives the message again.
    QVERIFY(expectMessage([&] { choose(2); }, &title, &text));
    QCOMPARE(form->chart()->series(0)->dataCount(), 0);
}

void HistoryFormTest::changingDoserReloadsAndResetsZoom() {
    form->findChild<QDateEdit*>("DateEdit1")->setDate(kDay);
    choose(2);
    const QCPRange x0 = xRange(form);
    form->findChild<QPushButton*>("btnZoomIn")->click();
    form->findChild<QPushButton*>("btnZoomIn")->click();
    QVERIFY(xRange(form).size() < x0.size());

    choose(5);
    QCOMPARE(desksMade, 2);
    QCOMPARE(form->chart()->series(0)->data()->at(3)->value, zadOf(5, 3));
    QCOMPARE(xRange(form).lower, 0.0);
    QCOMPARE(xRange(form).upper, double(kPoints - 1));
    QCOMPARE(yRange(form).lower, -25.0);
    QCOMPARE(yRange(form).upper, 550.0);
    QVERIFY(form->chart()->title().startsWith(QStringLiteral("Дозатор 5\n")));
}

void HistoryFormTest::zoomInOutKeepsNinetySixPercentAndRestoreGivesItBack() {
    form->findChild<QDateEdit*>("DateEdit1")->setDate(kDay);
    choose(3);
    const QCPRange x0 = xRange(form), y0 = yRange(form);
    form->findChild<QPushButton*>("btnZoomIn")->click();
    QCOMPARE(xRange(form).lower, x0.lower + x0.size() / 10);
    QCOMPARE(xRange(form).upper, x0.upper - x0.size() / 10);
    form->findChild<QPushButton*>("btnZoomOut")->click();
    QVERIFY(qFuzzyCompare(xRange(form).size(), 0.96 * x0.size()));
    QVERIFY(qFuzzyCompare(yRange(form).size(), 0.96 * y0.size()));
    QVERIFY(qFuzzyCompare(xRange(form).center() + 1, x0.center() + 1));
    form->findChild<QPushButton*>("btnReset")->click();
    QCOMPARE(xRange(form), x0);
    QCOMPARE(yRange(form), y0);
}

void HistoryFormTest::readoutFollowsThePointer() {
    form->findChild<QDateEdit*>("DateEdit1")->setDate(kDay);
    choose(1);
    form->chart()->replot();
    // Zoom out so that the plotting rectangle reaches left of the first point and right
    // of the last one.
    form->findChild<QPushButton*>("btnZoomOut")->click();
    form->chart()->replot();

    moveTo(-0.6, 100); // rounds to -1: readouts stay
    QCOMPARE(label("labTime"), QStringLiteral("Время: 00:00:00"));
    QCOMPARE(label("labVes"), QStringLiteral("Вес: 0 кг"));

    moveTo(3.2, 200);
    QCOMPARE(label("labTime"), QStringLiteral("Время: 08:00:03"));
    const double y = form->chart()->yAxis->pixelToCoord(form->chart()->yAxis->coordToPixel(200));
    QCOMPARE(label("labVes"),
             QStringLiteral("Вес: ") + history::formatWeight(y, QLocale()) + QStringLiteral(" кг"));

    moveTo(kPoints - 1 + 0.7, 300); // beyond the last point: empty time, weight shown
    QCOMPARE(label("labTime"), QStringLiteral("Время: "));
    const double y2 = form->chart()->yAxis->pixelToCoord(form->chart()->yAxis->coordToPixel(300));
    QCOMPARE(label("labVes"), QStringLiteral("Вес: ") + history::formatWeight(y2, QLocale()) +
                                  QStringLiteral(" кг"));

    // Outside the plotting rectangle (in the legend row) nothing changes.
    HistoryChart* c = form->chart();
    const QPointF below(c->axisRect()->center().x(), c->axisRect()->bottom() + 40);
    QMouseEvent ev(QEvent::MouseMove, below, c->mapToGlobal(below), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(c, &ev);
    QCOMPARE(label("labTime"), QStringLiteral("Время: "));
}

void HistoryFormTest::draggingARectangleZoomsToItAndBackwardsRestores() {
    form->findChild<QDateEdit*>("DateEdit1")->setDate(kDay);
    choose(1);
    HistoryChart* c = form->chart();
    c->replot();
    const QCPRange x0 = xRange(form), y0 = yRange(form);
    const auto drag = [c](QPointF from, QPointF to) {
        QMouseEvent press(QEvent::MouseButtonPress, from, c->mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(c, &press);
        QMouseEvent move(QEvent::MouseMove, to, c->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(c, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, c->mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(c, &release);
    };
    const auto at = [c](double x, double y) {
        return QPointF(c->xAxis->coordToPixel(x), c->yAxis->coordToPixel(y));
    };
    drag(at(10, 400), at(20, 100));
    QVERIFY2(qAbs(xRange(form).lower - 10) < 0.2 && qAbs(xRange(form).upper - 20) < 0.2,
             qPrintable(QStringLiteral("%1..%2").arg(xRange(form).lower).arg(xRange(form).upper)));
    QVERIFY(qAbs(yRange(form).lower - 100) < 2 && qAbs(yRange(form).upper - 400) < 2);

    // Dragging back towards the left gives the automatic ranges again.
    drag(at(18, 300), at(12, 200));
    QCOMPARE(xRange(form), x0);
    QCOMPARE(yRange(form), y0);
}

void HistoryFormTest::printsOneLandscapePageAndRestoresOrientation() {
    form->findChild<QDateEdit*>("DateEdit1")->setDate(kDay);
    choose(6);
    const QString pdf = dir->filePath(QStringLiteral("print.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    form->setPrinter(&printer);
    form->findChild<QPushButton*>("btnPrint")->click();
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 1);
    const QSizeF page = pdfPageSize(bytes); // A4 landscape: 842 x 595 points
    QVERIFY2(qAbs(page.width() - 842) < 1 && qAbs(page.height() - 595) < 1,
             qPrintable(QStringLiteral("%1 x %2").arg(page.width()).arg(page.height())));
}

void HistoryFormTest::printErrorIsShownAndOrientationRestored() {
    form->findChild<QDateEdit*>("DateEdit1")->setDate(kDay);
    choose(1);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir->filePath(QStringLiteral("no/such/dir/print.pdf")));
    printer.setPageOrientation(QPageLayout::Portrait);
    form->setPrinter(&printer);
    QString title, text;
    QVERIFY(
        expectMessage([&] { form->findChild<QPushButton*>("btnPrint")->click(); }, &title, &text));
    QCOMPARE(title, QStringLiteral("Ошибка"));
    QVERIFY(text.contains(QStringLiteral("print.pdf")));
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
    QVERIFY(!QApplication::overrideCursor());

    // No printer and no file to print to.
    QPrinter none(QPrinter::HighResolution);
    none.setOutputFormat(QPrinter::PdfFormat);
    QString error;
    QVERIFY(!printHistoryChart(form->chart(), &none, &error));
    QCOMPARE(error, QStringLiteral("Принтер по умолчанию не выбран"));
    // The texts come from the language file, as every other message does.
    MainTexts texts = MainTexts::defaults();
    texts.lngNoPrinter = QStringLiteral("No default printer");
    texts.lngErrWrite = QStringLiteral("Cannot write file");
    MainTextStore::set(texts);
    QVERIFY(!printHistoryChart(form->chart(), &none, &error));
    QCOMPARE(error, QStringLiteral("No default printer"));
    QVERIFY(!printHistoryChart(form->chart(), &printer, &error));
    QCOMPARE(error, QStringLiteral("Cannot write file ") + printer.outputFileName());
    MainTextStore::set(MainTexts::defaults());
}

void HistoryFormTest::closeFreesTheWindow() {
    form->findChild<QDateEdit*>("DateEdit1")->setDate(kDay);
    choose(1);
    form->findChild<QPushButton*>("btnClose")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(form.isNull());
}

void HistoryFormTest::exportWritesPdfOrReportsMissingDay() {
    const QString pdf = dir->filePath(QStringLiteral("history.pdf"));
    QString message;
    QCOMPARE(exportHistory(kDay, 2, pdf, dir->path(), QString(), &message), 0);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    const QSizeF page = pdfPageSize(bytes);
    QVERIFY2(qAbs(page.width() - 842) < 1 && qAbs(page.height() - 595) < 1,
             qPrintable(QStringLiteral("%1 x %2").arg(page.width()).arg(page.height())));

    const QDate missing(2010, 1, 6);
    QCOMPARE(exportHistory(missing, 2, dir->filePath(QStringLiteral("none.pdf")), dir->path(),
                           QString(), &message),
             int(kHistoryExportMissingDay));
    QCOMPARE(message, QStringLiteral("История за ") +
                          missing.toString(QStringLiteral("dd.MM.yyyy")) +
                          QStringLiteral(" отсутствует"));
    QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("none.pdf"))));
    QCOMPARE(exportHistory(kDay, 7, pdf, dir->path(), QString(), &message),
             int(kHistoryExportBadArgument));
    QCOMPARE(exportHistory(kDay, 1, dir->filePath(QStringLiteral("no/dir/x.pdf")), dir->path(),
                           QString(), &message),
             int(kHistoryExportWriteFailed));
}

QTEST_MAIN(HistoryFormTest)
#include "HistoryFormTest.moc"
