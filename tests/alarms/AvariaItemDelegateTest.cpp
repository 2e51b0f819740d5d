// The drawing of the event list: white lines, alarms red, others black, no selection colour.
#include "AvariaItemDelegate.h"
#include "EventList.h"

#include <QImage>
#include <QListView>
#include <QPainter>
#include <QtTest>

namespace {
bool reddish(QRgb p) {
    return qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90;
}
bool darkish(QRgb p) {
    return qRed(p) < 90 && qGreen(p) < 90 && qBlue(p) < 90;
}

struct Count {
    int red = 0;
    int dark = 0;
    int other = 0; // neither white, nor red, nor grey of black text smoothing
};

Count count(const QImage& img, int fromX = 0) {
    Count c;
    for (int y = 0; y < img.height(); ++y)
        for (int x = fromX; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (reddish(p))
                ++c.red;
            else if (darkish(p))
                ++c.dark;
            else if (qRed(p) < 0xFF || qGreen(p) < 0xFF || qBlue(p) < 0xFF) {
                const bool grey = qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
                const bool pinkish = qGreen(p) == qBlue(p) && qRed(p) >= qGreen(p);
                if (!grey && !pinkish)
                    ++c.other;
            }
        }
    return c;
}
} // namespace

class AvariaItemDelegateTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        list = std::make_unique<EventList>(nullptr, QLocale(QLocale::Russian, QLocale::Russia));
        const QDateTime when(QDate(2013, 3, 25), QTime(14, 5, 9));
        list->add(QStringLiteral("Связь с ШВУ установлена"), colours::kBlue, when);
        list->add(QStringLiteral("Сбой связи с ШВУ"), colours::kRed, when);
    }

    void drawing_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("alarm");
        QTest::newRow("alarm") << 0 << true;
        QTest::newRow("event") << 1 << false;
    }
    void drawing() {
        QFETCH(int, row);
        QFETCH(bool, alarm);
        AvariaItemDelegate delegate;
        auto render = [&](bool selected) {
            QImage img(300, 16, QImage::Format_RGB32);
            img.fill(QColor(0x30, 0x60, 0x90)); // whatever was there before
            QStyleOptionViewItem option;
            option.rect = img.rect();
            option.font = QFont(QStringLiteral("DejaVu Sans"));
            option.font.setPixelSize(11);
            option.state = QStyle::State_Enabled;
            if (selected)
                option.state |= QStyle::State_Selected | QStyle::State_HasFocus;
            QPainter painter(&img);
            delegate.paint(&painter, option, list->index(row));
            return img;
        };
        const QImage plain = render(false);
        const QImage selected = render(true);
        QCOMPARE(selected, plain); // the selected line looks like the others

        const Count c = count(plain);
        QCOMPARE(c.other, 0); // white ground, no trace of the old colour or a highlight
        if (alarm) {
            QVERIFY(c.red > 20);
            QCOMPARE(c.dark, 0);
        } else {
            QVERIFY(c.dark > 20);
            QCOMPARE(c.red, 0);
        }
        // Text starts 2 px from the left edge, at the top.
        for (int y = 0; y < 16; ++y) {
            QCOMPARE(plain.pixel(0, y), qRgb(255, 255, 255));
            QCOMPARE(plain.pixel(1, y), qRgb(255, 255, 255));
        }
        bool inkNearTop = false;
        for (int y = 0; y < 4 && !inkNearTop; ++y)
            for (int x = 2; x < 300 && !inkNearTop; ++x)
                inkNearTop = plain.pixel(x, y) != qRgb(255, 255, 255);
        QVERIFY(inkNearTop);
    }

    void itemHeight() {
        QListView view;
        view.setModel(list.get());
        view.setItemDelegate(new AvariaItemDelegate(&view));
        QCOMPARE(view.sizeHintForRow(0), AvariaItemDelegate::kItemHeight);
        QCOMPARE(AvariaItemDelegate::kItemHeight, 16);
    }

private:
    std::unique_ptr<EventList> list;
};

QTEST_MAIN(AvariaItemDelegateTest)
#include "AvariaItemDelegateTest.moc"
