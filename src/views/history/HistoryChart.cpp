#include "HistoryChart.h"

#include "HistoryDay.h"
#include "HistoryRules.h"
#include "HistoryTexts.h"

#include <QVariantAnimation>
#include <cmath>

namespace {

// X axis: ticks on whole record ordinals, labelled with the records' TIME texts.
class TimeTicker : public QCPAxisTicker {
public:
    std::shared_ptr<const HistoryDay> day;

protected:
    double getTickStep(const QCPRange& range) override {
        return std::max(1.0, std::round(QCPAxisTicker::getTickStep(range)));
    }
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        const double i = std::round(tick);
        if (!day || std::abs(tick - i) > 1e-6 || i < 0 || i >= day->size())
            return QString();
        return day->timeLabel(static_cast<int>(i));
    }
};

// Left axis: weights as "#,##0.###".
class WeightTicker : public QCPAxisTicker {
protected:
    QString getTickLabel(double tick, const QLocale& locale, QChar, int) override {
        return history::formatWeight(tick, locale);
    }
};

// The legend with a grey shadow of 2 pixels.
class ShadowLegend : public QCPLegend {
protected:
    void draw(QCPPainter* painter) override {
        painter->save();
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0x80, 0x80, 0x80));
        painter->drawRect(mOuterRect.translated(2, 2));
        painter->restore();
        QCPLegend::draw(painter);
    }
};

// Fonts in pixels, so that a printed chart keeps its proportions on any device resolution.
QFont pixelFont(int pixels, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

const QColor kSetDose(0x00, 0x00, 0xFF);   // blue
const QColor kCorrected(0x00, 0x80, 0x00); // green
const QColor kWeight(0x80, 0x00, 0x80);    // purple

} // namespace

HistoryChart::HistoryChart(QWidget* parent) : QCustomPlot(parent) {
    setObjectName(QStringLiteral("DBChart1"));
    setLocale(QLocale());
    setBackground(Qt::white);
    axisRect()->setBackground(Qt::white);
    setCursor(Qt::CrossCursor);
    setNoAntialiasingOnDrag(true);
    setPlottingHint(QCP::phFastPolylines, true);

    // Title: two lines in bold blue 16-pixel Arial above the plotting area.
    plotLayout()->insertRow(0);
    title_ = new QCPTextElement(this, QString(), pixelFont(16, true));
    title_->setTextColor(QColor(0x00, 0x00, 0xFF));
    plotLayout()->addElement(0, 0, title_);

    // Legend below the chart, centred between two empty cells.
    axisRect()->insetLayout()->remove(legend);
    legend = new ShadowLegend;
    auto* legendRow = new QCPLayoutGrid;
    plotLayout()->addElement(2, 0, legendRow);
    legendRow->addElement(0, 0, new QCPLayoutElement(this));
    legendRow->addElement(0, 1, legend);
    legendRow->addElement(0, 2, new QCPLayoutElement(this));
    legendRow->setColumnStretchFactors({1, 0.001, 1});
    legendRow->setMargins(QMargins(0, 2, 0, 6));
    plotLayout()->setRowStretchFactor(0, 0.001);
    plotLayout()->setRowStretchFactor(2, 0.001);
    legend->setLayer(QStringLiteral("legend"));
    legend->setVisible(true);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setBrush(QColor(0xFF, 0xFF, 0xD2));
    legend->setIconSize(16, 12); // half the usual sample width
    legend->setFont(pixelFont(12));
    for (QCPAxis* axis : {xAxis, yAxis, xAxis2, yAxis2}) {
        axis->setTickLabelFont(pixelFont(11));
        axis->setLabelFont(pixelFont(12));
    }

    const QColor colours[] = {kSetDose, kCorrected, kWeight};
    for (const QColor& c : colours) {
        QCPGraph* g = addGraph();
        g->setPen(QPen(c, 1));
        g->setLineStyle(QCPGraph::lsLine);
        g->setScatterStyle(QCPScatterStyle::ssNone);
        g->setAdaptiveSampling(true);
    }

    timeTicker_.reset(new TimeTicker);
    xAxis->setTicker(timeTicker_);
    yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new WeightTicker));

    setSelectionRectMode(QCP::srmCustom);
    connect(selectionRect(), &QCPSelectionRect::accepted, this, &HistoryChart::rectangleZoom);

    animation_ = new QVariantAnimation(this);
    restoreZoom();
}

HistoryChart::~HistoryChart() = default;

void HistoryChart::setTexts(const HistoryTexts& texts) {
    graph(0)->setName(texts.lngSeries1);
    graph(1)->setName(texts.lngSeries2);
    graph(2)->setName(texts.lngSeries3);
    xAxis->setLabel(texts.lngTime);
    yAxis->setLabel(texts.lngVes + QStringLiteral(", ") + texts.lngKg);
}

void HistoryChart::showDay(std::shared_ptr<const HistoryDay> day, const QString& title) {
    detach();
    day_ = std::move(day);
    static_cast<TimeTicker*>(timeTicker_.data())->day = day_;
    title_->setText(title);
    if (day_) {
        graph(0)->setData(day_->keys, day_->zad, true);
        graph(1)->setData(day_->keys, day_->kor, true);
        graph(2)->setData(day_->keys, day_->ves, true);
    }
    restoreZoom();
}

void HistoryChart::clearDay() {
    detach();
    restoreZoom();
}

void HistoryChart::detach() {
    stopAnimation();
    for (int i = 0; i < graphCount(); ++i)
        graph(i)->data()->clear();
    day_.reset();
    static_cast<TimeTicker*>(timeTicker_.data())->day.reset();
    title_->setText(QString());
}

QString HistoryChart::title() const {
    return title_->text();
}

void HistoryChart::zoomPercent(double percent) {
    stopAnimation();
    for (QCPAxis* axis : {xAxis, yAxis}) {
        const QCPRange r = axis->range();
        const history::AxisRange z = history::zoomed({r.lower, r.upper}, percent);
        axis->setRange(z.lower, z.upper);
    }
    replot();
}

void HistoryChart::restoreZoom() {
    stopAnimation();
    if (day_ && day_->size() > 0) {
        rescaleAxes();
    } else {
        xAxis->setRange(0, 1);
        yAxis->setRange(0, 1);
    }
    replot();
}

bool HistoryChart::valueAt(const QPointF& pos, double* x, double* y) const {
    if (!axisRect()->rect().contains(pos.toPoint()))
        return false;
    *x = xAxis->pixelToCoord(pos.x());
    *y = yAxis->pixelToCoord(pos.y());
    return true;
}

void HistoryChart::mousePressEvent(QMouseEvent* event) {
    pressPos_ = event->pos();
    QCustomPlot::mousePressEvent(event);
}

void HistoryChart::rectangleZoom(const QRect& rect, QMouseEvent* event) {
    // Dragging back towards the upper left undoes the zoom; a mere click does nothing.
    if (event && event->pos().x() < pressPos_.x()) {
        restoreZoom();
        return;
    }
    const QRect r = rect.normalized();
    if (r.width() < 3 || r.height() < 3)
        return;
    const QCPRange x(xAxis->pixelToCoord(r.left()), xAxis->pixelToCoord(r.right()));
    const QCPRange y(yAxis->pixelToCoord(r.bottom()), yAxis->pixelToCoord(r.top()));
    animateTo(x, y);
}

void HistoryChart::animateTo(const QCPRange& x, const QCPRange& y) {
    stopAnimation();
    if (zoomAnimationMs_ <= 0) {
        xAxis->setRange(x);
        yAxis->setRange(y);
        replot();
        return;
    }
    const QCPRange x0 = xAxis->range();
    const QCPRange y0 = yAxis->range();
    animation_->setStartValue(0.0);
    animation_->setEndValue(1.0);
    animation_->setDuration(zoomAnimationMs_);
    animation_->disconnect(this);
    connect(animation_, &QVariantAnimation::valueChanged, this, [=, this](const QVariant& v) {
        const double t = v.toDouble();
        xAxis->setRange(x0.lower + (x.lower - x0.lower) * t, x0.upper + (x.upper - x0.upper) * t);
        yAxis->setRange(y0.lower + (y.lower - y0.lower) * t, y0.upper + (y.upper - y0.upper) * t);
        replot(QCustomPlot::rpQueuedReplot);
    });
    connect(animation_, &QVariantAnimation::finished, this, [=, this] {
        xAxis->setRange(x);
        yAxis->setRange(y);
        replot();
    });
    animation_->start();
}

void HistoryChart::stopAnimation() {
    if (animation_ && animation_->state() != QAbstractAnimation::Stopped) {
        animation_->disconnect(this);
        animation_->stop();
    }
}

void HistoryChart::renderInto(QCPPainter* painter, const QRect& target, double deviceDpi,
                              double layoutScale) {
    const double toScreen = 96.0 / (deviceDpi > 0 ? deviceDpi : 96.0);
    const int w =
        std::max(1, static_cast<int>(std::lround(target.width() * toScreen * layoutScale)));
    const int h =
        std::max(1, static_cast<int>(std::lround(target.height() * toScreen * layoutScale)));
    painter->save();
    painter->translate(target.topLeft());
    painter->scale(static_cast<double>(target.width()) / w,
                   static_cast<double>(target.height()) / h);
    toPainter(painter, w, h);
    painter->restore();
}
