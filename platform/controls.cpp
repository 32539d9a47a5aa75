#include "platform/controls.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

void akzentRaumGeben(QLabel* l) {
    const QFontMetrics fm(l->font(), l);
    const int ueber = -fm.tightBoundingRect(QStringLiteral("ÄÖÜÂÉ")).top() - fm.ascent();
    if (ueber <= 0) return;
    const QMargins m = l->contentsMargins();
    l->setContentsMargins(m.left(), std::max(m.top(), ueber), m.right(), m.bottom());
}
