#pragma once
#include <QString>
#include <QWidget>

// Makes a control of type W in parent, named as the window names it, at a
// fixed place and size in pixels.
template <class W>
W* place(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

class QLabel;

// Gives a label room above its first line for what its font draws above
// the ascent: in some fonts (DejaVu Sans among them) the dots of a capital
// Ü rise above it, and a text that starts at the label's top edge (a label
// aligned to the top, or one as high as its lines) loses them. The room is
// measured on the label's font, so a font that needs none gets none; the
// label must be that much higher than its lines.
void akzentRaumGeben(QLabel* l);
