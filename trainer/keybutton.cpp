#include "trainer/keybutton.h"
#include "platform/zugang.h"
#include "platform/units.h"
#include "trainer/keytable.h"

#include <QEvent>
#include <QPainter>

KeyButton::KeyButton(const Taste& taste, QWidget* parent)
    : QAbstractButton(parent), taste_(taste), color_(colorFromBgr(kTastenfarbe)) {
    setObjectName(QStringLiteral("Command1_%1").arg(taste.index));
    // The table's keys overlap their neighbours by one pixel, where the caps
    // are blank. The widget leaves that pixel to the neighbour: keys that
    // do not overlap repaint alone when one changes colour.
    setGeometry(taste.x, taste.y, taste.w - 1, taste.h - 1);
    setFocusPolicy(Qt::NoFocus);
    alsAnzeige(this);  // it lights keys, it takes none
    setAccessibleName(tastenName(taste));
    setAccessibleDescription(tastenBeschreibung(taste));
}

void KeyButton::setColor(const QColor& c) {
    if (c == color_) return;
    color_ = c;
    update();
}

bool KeyButton::event(QEvent* e) {
    const bool r = QAbstractButton::event(e);
    // The cap pictures carry the keyboard's background in their corners, so
    // the keyboard need not be painted under a key. Set after the style's
    // polish, which turns it off for buttons.
    if (e->type() == QEvent::Polish) setAttribute(Qt::WA_OpaquePaintEvent);
    return r;
}

void KeyButton::changeEvent(QEvent* e) {
    // A new keyboard colour reaches the key through its palette.
    if (e->type() == QEvent::PaletteChange) update();
    QAbstractButton::changeEvent(e);
}

void KeyButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, bild(color_));
}

QPixmap KeyButton::bild(const QColor& c) {
    const qreal ratio = devicePixelRatioF();
    const QColor grund = palette().color(QPalette::Window);
    if (size() != bilderGroesse_ || ratio != bilderRatio_ || grund != bilderGrund_) {
        bilder_.clear();
        bilderGroesse_ = size();
        bilderRatio_ = ratio;
        bilderGrund_ = grund;
    }
    auto it = bilder_.constFind(c.rgba());
    if (it != bilder_.cend()) return *it;
    QPixmap pm(size() * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(grund);
    QPainter p(&pm);
    zeichne(p, c);
    p.end();
    bilder_.insert(c.rgba(), pm);
    return pm;
}

void KeyButton::zeichne(QPainter& p, const QColor& farbe) const {
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn at the table's size; the widget shows all but the last column
    // and row.
    const QRectF outer = QRectF(0, 0, taste_.w, taste_.h).adjusted(1.5, 1.5, -1.5, -1.5);
    // A key cap: the colour with a darker rim and a lighter top face.
    p.setPen(QPen(farbe.darker(170), 1.2));
    p.setBrush(farbe.darker(115));
    p.drawRoundedRect(outer, 5, 5);
    const QRectF face = outer.adjusted(3, 2, -3, -5);
    p.setPen(Qt::NoPen);
    p.setBrush(farbe);
    p.drawRoundedRect(face, 4, 4);

    p.setPen(QColor(20, 20, 40));
    const QString oben = QString::fromUtf16(taste_.oben);
    const QString unten = QString::fromUtf16(taste_.unten);
    const QString altgr = QString::fromUtf16(taste_.altgr);
    const bool wort = oben.size() > 1 && unten.isEmpty();  // "Strg", "Leer", "F1", ...
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    if (wort || (unten.isEmpty() && altgr.isEmpty())) {
        // A single legend in the middle: words, arrows, letters.
        f.setPixelSize(oben.size() == 1 ? int(face.height() * 0.42) : int(face.height() * 0.3));
        p.setFont(f);
        p.drawText(face, Qt::AlignCenter, oben);
        return;
    }
    const qreal pad = 5;
    f.setPixelSize(int(face.height() * 0.34));
    p.setFont(f);
    p.drawText(face.adjusted(pad, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, oben);
    p.drawText(face.adjusted(pad, 0, 0, -1), Qt::AlignLeft | Qt::AlignBottom, unten);
    if (!altgr.isEmpty()) {
        QFont g = f;
        g.setBold(false);
        g.setPixelSize(int(face.height() * 0.3));
        p.setFont(g);
        p.setPen(QColor(40, 40, 140));
        p.drawText(face.adjusted(0, 0, -pad, -1), Qt::AlignRight | Qt::AlignBottom, altgr);
    }
}
