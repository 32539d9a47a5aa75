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
