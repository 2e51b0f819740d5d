#pragma once
// The history chart: three line series of one doser over one day (set dose, corrected
// setpoint, current weight) against the record ordinal, labelled with the records' times;
// title, legend below, rectangle zoom with the mouse, the zoom-step rule and printing.
#include <qcustomplot.h>

#include <memory>

struct HistoryDay;
struct HistoryTexts;
class QVariantAnimation;

class HistoryChart : public QCustomPlot {
    Q_OBJECT
public:
    explicit HistoryChart(QWidget* parent = nullptr);
    ~HistoryChart() override;

    // Series titles and axis titles.
    void setTexts(const HistoryTexts& texts);

    // Shows a day's curves under a title (lines separated by "\n") with automatic ranges.
    void showDay(std::shared_ptr<const HistoryDay> day, const QString& title);
    // Detaches the data, clears the title and restores the zoom; the chart is empty.
    void clearDay();
    const HistoryDay* day() const { return day_.get(); }
    QString title() const;

    QCPGraph* series(int i) const { return graph(i); } // 0: set dose, 1: corrected, 2: weight

    // Every axis: the ends move by (range) * (percent - 100) / 100; 110 zooms in, 90 out.
    void zoomPercent(double percent);
    // Every axis back to its automatic range (the data's extent).
    void restoreZoom();

    // The axis values under a widget position; false outside the plotting rectangle.
    bool valueAt(const QPointF& pos, double* x, double* y) const;

    // Rectangle zoom with the mouse is animated over this many milliseconds (0: at once).
    void setZoomAnimationMs(int ms) { zoomAnimationMs_ = ms; }

    // Draws the whole chart into target on an active painter, laid out on an area
    // layoutScale times the target's size at screen resolution (dpi: the device's), so
    // fonts and lines come out finer for layoutScale > 1.
    void renderInto(QCPPainter* painter, const QRect& target, double deviceDpi, double layoutScale);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void detach();
    void rectangleZoom(const QRect& rect, QMouseEvent* event);
    void animateTo(const QCPRange& x, const QCPRange& y);
    void stopAnimation();

    std::shared_ptr<const HistoryDay> day_;
    QCPTextElement* title_ = nullptr;
    QSharedPointer<QCPAxisTicker> timeTicker_;
    QVariantAnimation* animation_ = nullptr;
    QPoint pressPos_;
    int zoomAnimationMs_ = 200;
};
