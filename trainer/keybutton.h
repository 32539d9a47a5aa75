#pragma once
#include <QAbstractButton>
#include <QColor>
#include <QHash>
#include <QPixmap>

struct Taste;

// One key of the on-screen keyboard: a flat button on a background colour
// with its German legends drawn by the program, so they stay crisp at any
// scale.
class KeyButton : public QAbstractButton {
    Q_OBJECT
public:
    KeyButton(const Taste& taste, QWidget* parent);

    QColor color() const { return color_; }
    void setColor(const QColor& c);

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;

private:
    // Draws the cap in colour c at the widget's size.
    void zeichne(QPainter& p, const QColor& c) const;
    // The cap drawn once per colour, at the screen's pixel ratio: a key
    // changes colour on every press and release, and its neighbours repaint
    // their overlapping edge, so painting is a copy, not a drawing.
    QPixmap bild(const QColor& c);

    const Taste& taste_;
    QColor color_;
    QHash<QRgb, QPixmap> bilder_;
    QSize bilderGroesse_;
    qreal bilderRatio_ = 0;
    QColor bilderGrund_;
};
