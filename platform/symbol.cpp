#include "platform/symbol.h"

#include <QPainter>
#include <QPixmap>

QIcon gezeichnetesSymbol(QSize groesse, const std::function<void(QPainter&)>& zeichnen) {
    QIcon icon;
    for (const qreal dpr : {1.0, 2.0}) {
        QPixmap pm(groesse * dpr);
        pm.setDevicePixelRatio(dpr);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        zeichnen(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}
