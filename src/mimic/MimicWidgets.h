#pragma once
// The plain controls of the mimic window: picture controls that show a composed picture at
// (0, 0), read-only value fields, connection panels and transparent labels.
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

// A picture control: shows its picture at (0, 0), clipped to the control; every pixel of the
// control is painted, so a copy-out replaces the whole control at once. A see-through control
// (the fixed arrows and gate bars) paints only its picture's opaque pixels and lets the
// pictures beneath show through the rest.
class TPicture : public QWidget {
    Q_OBJECT
public:
    explicit TPicture(QWidget* parent = nullptr);
    void setPicture(const QImage& picture);
    void setSeeThrough(bool seeThrough);
    bool seeThrough() const { return seeThrough_; }
    const QImage& picture() const { return picture_; }
    // The control as the operator sees it: the picture clipped to the control's size.
    QImage shown() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    bool seeThrough_ = false;
};

// A read-only value field: pale yellow, bold black text, never selected or focused. It always
// shows its whole text: a text wider than the field (only possible when a wider face stands in
// for the design font) is set in a narrower cut of the font instead of being scrolled.
class TValueField : public QLineEdit {
    Q_OBJECT
public:
    TValueField(const QFont& font, QWidget* parent);
    // The width the text has inside the border and margins.
    int textRoom() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitText();
    QFont designFont_;
};

// A small raised panel with a centred caption: the connection lamps and the section names.
class TPanelLamp : public QLabel {
    Q_OBJECT
public:
    TPanelLamp(const QColor& colour, QWidget* parent);
    void setColour(const QColor& colour);
    QColor colour() const { return colour_; }

private:
    QColor colour_;
};
