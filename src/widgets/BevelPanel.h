#pragma once
// A panel with the classic two bevels (outer and inner, each raised, lowered or none) and an
// optional centred caption: the stop panel, the link status panel, the attention button and
// the frames of the small windows are all made of it.
#include "Colours.h"
#include <QColor>
#include <QWidget>

class BevelPanel : public QWidget {
    Q_OBJECT
public:
    enum class Bevel { None, Raised, Lowered };

    explicit BevelPanel(QWidget* parent = nullptr);

    void setBevels(Bevel outer, Bevel inner, int width = 1);
    Bevel innerBevel() const { return inner_; }
    Bevel outerBevel() const { return outer_; }
    void setInnerBevel(Bevel b);
    void setColor(const QColor& c);
    QColor color() const { return color_; }
    void setCaption(const QString& text);
    QString caption() const { return caption_; }
    void setCaptionColor(const QColor& c);

signals:
    void pressed();
    void released();
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Bevel outer_ = Bevel::None;
    Bevel inner_ = Bevel::None;
    int width_ = 1;
    QColor color_{colours::kPanelGrey};
    QString caption_;
    QColor captionColor_{Qt::black};
    bool down_ = false;
};
