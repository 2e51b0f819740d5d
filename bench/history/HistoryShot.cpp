// Opens the history window on a working directory's archive and saves a picture of it, for
// looking at the chart without a display:
//
//   history_shot WORKDIR YYYY-MM-DD DOSER OUT.png [WIDTHxHEIGHT] [zoomin|zoomout ...]
#include "HistoryChart.h"
#include "HistoryUnit.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 5) {
        std::fprintf(stderr, "usage: history_shot WORKDIR YYYY-MM-DD DOSER OUT.png [WxH] "
                             "[zoomin|zoomout ...]\n");
        return 2;
    }
    QSize size(1600, 900);
    int next = 5;
    if (a.size() > 5 && a[5].contains(QLatin1Char('x'))) {
        const QStringList wh = a[5].split(QLatin1Char('x'));
        size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
        next = 6;
    }
    THistoryForm form(a[1], QString());
    form.setAttribute(Qt::WA_DeleteOnClose, false);
    form.resize(size);
    form.show();
    form.findChild<QDateEdit*>(QStringLiteral("DateEdit1"))
        ->setDate(QDate::fromString(a[2], Qt::ISODate));
    form.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(a[3].toInt() - 1);
    for (int i = next; i < a.size(); ++i) {
        const char* button = a[i] == QLatin1String("zoomout") ? "btnZoomOut" : "btnZoomIn";
        form.findChild<QPushButton*>(QLatin1String(button))->click();
    }
    QCoreApplication::processEvents();
    if (!form.grab().save(a[4])) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(a[4]));
        return 1;
    }
    return 0;
}
