#include "settings/bilder.h"

#include <QConicalGradient>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

// A transparent picture of the size in logical pixels, at the resolution of
// the sharpest screen, so scaled screens show the drawing sharp.
QPixmap leer(int groesse) {
    const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pm(QSize(groesse, groesse) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    return pm;
}

// Drawn on a 32 x 32 grid, scaled to the size asked for.
void pipette(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(16, 16);
    p.rotate(45);  // the tube runs from the upper right to the tip at the lower left
    const QColor umriss(40, 40, 60);
    p.setPen(QPen(umriss, 1.2));
    // The bulb.
    QPainterPath ball;
    ball.addRoundedRect(QRectF(-4.5, -17, 9, 10), 4, 4);
    p.fillPath(ball, QColor(200, 30, 40));
    p.drawPath(ball);
    // The collar.
    p.fillRect(QRectF(-5, -8, 10, 3), QColor(90, 90, 100));
    // The glass tube with some liquid in its lower end.
    QPainterPath rohr;
    rohr.moveTo(-3, -5);
    rohr.lineTo(3, -5);
    rohr.lineTo(3, 8);
    rohr.lineTo(0.8, 14.5);
    rohr.lineTo(-0.8, 14.5);
    rohr.lineTo(-3, 8);
    rohr.closeSubpath();
    p.fillPath(rohr, QColor(225, 240, 255));
    p.fillRect(QRectF(-3, 3, 6, 5), QColor(60, 120, 230));
    p.drawPath(rohr);
}

}  // namespace

QPixmap pipettenBild(int groesse) {
    QPixmap pm = leer(groesse);
    QPainter p(&pm);
    p.scale(groesse / 32.0, groesse / 32.0);
    pipette(p);
    return pm;
}

QCursor pipettenZeiger() {
    // The tip lies at the lower left of the 32 x 32 picture.
    const QPixmap pm = pipettenBild(32);
    return QCursor(pm, 5, 26);
}

QPixmap farbkreis(int groesse) {
    QPixmap pm = leer(groesse);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 1, groesse - 2, groesse - 2);
    QConicalGradient farben(r.center(), 0);
    for (int i = 0; i <= 6; ++i) farben.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(farben);
    p.drawEllipse(r);
    QRadialGradient weiss(r.center(), r.width() / 2);
    weiss.setColorAt(0, Qt::white);
    weiss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(weiss);
    p.drawEllipse(r);
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r);
    return pm;
}

QPixmap lautsprecher(int groesse) {
    QPixmap pm = leer(groesse);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(groesse / 32.0, groesse / 32.0);
    const QColor tinte(40, 40, 60);
    QPainterPath koerper;
    koerper.moveTo(4, 12);
    koerper.lineTo(10, 12);
    koerper.lineTo(17, 5);
    koerper.lineTo(17, 27);
    koerper.lineTo(10, 20);
    koerper.lineTo(4, 20);
    koerper.closeSubpath();
    p.fillPath(koerper, QColor(70, 70, 90));
    p.setPen(QPen(tinte, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(13, 10, 10, 12), -50 * 16, 100 * 16);
    p.drawArc(QRectF(11, 6, 16, 20), -50 * 16, 100 * 16);
    p.drawArc(QRectF(9, 2, 22, 28), -50 * 16, 100 * 16);
    return pm;
}
