#pragma once
#include <QAbstractButton>
#include <QColor>

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

private:
    const Taste& taste_;
    QColor color_;
};
