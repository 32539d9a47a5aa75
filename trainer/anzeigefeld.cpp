#include "trainer/anzeigefeld.h"

#include <QEvent>
#include <QPainter>
#include <QPaintEvent>

Anzeigefeld::Anzeigefeld(QWidget* parent) : QLineEdit(parent) {
    // The picture of a new text is drawn when the text changes, not while
    // the window paints: drawing a picture is a paint of its own.
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (isVisible() && !bilder_.contains(text())) bildZeichnen();
    });
}

bool Anzeigefeld::event(QEvent* e) {
    const bool r = QLineEdit::event(e);
    // Set after the style's polish, which turns it off.
    if (e->type() == QEvent::Polish) setAttribute(Qt::WA_OpaquePaintEvent);
    return r;
}

void Anzeigefeld::paintEvent(QPaintEvent* e) {
    const auto it = bilder_.constFind(text());
    if (!zeichnet_ && it != bilder_.cend() && it->devicePixelRatio() == devicePixelRatioF()) {
        QPainter(this).drawPixmap(0, 0, *it);
        return;
    }
    // The corners in the colour of the window around, then the line edit.
    QPainter(this).fillRect(rect(), parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                                   : palette().color(QPalette::Window));
    QLineEdit::paintEvent(e);
}

void Anzeigefeld::bildZeichnen() {
    if (bilder_.size() >= 256) bilder_.clear();  // the texts of a lesson are far fewer
    const qreal ratio = devicePixelRatioF();
    QPixmap pm(size() * ratio);
    pm.setDevicePixelRatio(ratio);
    zeichnet_ = true;
    render(&pm, QPoint(), QRegion(), RenderFlags());
    zeichnet_ = false;
    bilder_.insert(text(), pm);
}

void Anzeigefeld::changeEvent(QEvent* e) {
    // Colours, font, style or state changed: every picture is drawn anew.
    bilder_.clear();
    QLineEdit::changeEvent(e);
}

void Anzeigefeld::resizeEvent(QResizeEvent* e) {
    bilder_.clear();
    QLineEdit::resizeEvent(e);
}
