#include "trainer/toolicons.h"
#include "platform/symbol.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <cmath>

QIcon werkzeugSymbol(Werkzeug w) {
    return gezeichnetesSymbol(QSize(32, 32), [w](QPainter& p) {
        const QColor ink(40, 40, 60);
        p.setPen(QPen(ink, 2));
        switch (w) {
        case Werkzeug::TimerStart: {  // a play triangle
            QPainterPath tri;
            tri.moveTo(10, 6);
            tri.lineTo(26, 16);
            tri.lineTo(10, 26);
            tri.closeSubpath();
            p.fillPath(tri, QColor(0, 110, 0));
            break;
        }
        case Werkzeug::TimerStop:  // two pause bars
            p.fillRect(QRectF(9, 7, 5, 18), QColor(120, 0, 0));
            p.fillRect(QRectF(18, 7, 5, 18), QColor(120, 0, 0));
            break;
        case Werkzeug::Statistik:  // a bar chart
            p.drawLine(5, 27, 28, 27);
            p.fillRect(QRectF(7, 17, 5, 10), QColor(30, 90, 200));
            p.fillRect(QRectF(14, 9, 5, 18), QColor(200, 60, 40));
            p.fillRect(QRectF(21, 13, 5, 14), QColor(240, 180, 0));
            break;
        case Werkzeug::Browser:  // a globe
            p.setPen(QPen(QColor(20, 80, 160), 2));
            p.drawEllipse(QRectF(5, 5, 22, 22));
            p.drawEllipse(QRectF(11, 5, 10, 22));
            p.drawLine(5, 16, 27, 16);
            break;
        case Werkzeug::Reminder: {  // a bell
            QPainterPath bell;
            bell.moveTo(8, 23);
            bell.cubicTo(10, 20, 9, 8, 16, 7);
            bell.cubicTo(23, 8, 22, 20, 24, 23);
            bell.closeSubpath();
            p.fillPath(bell, QColor(230, 170, 0));
            p.drawPath(bell);
            p.setBrush(ink);
            p.drawEllipse(QRectF(14, 23, 4, 4));
            break;
        }
        case Werkzeug::Lektionen:  // an open book
            p.setBrush(QColor(255, 255, 240));
            p.drawRect(QRectF(4, 7, 12, 18));
            p.drawRect(QRectF(16, 7, 12, 18));
            p.drawLine(7, 12, 13, 12);
            p.drawLine(7, 16, 13, 16);
            p.drawLine(19, 12, 25, 12);
            p.drawLine(19, 16, 25, 16);
            break;
        case Werkzeug::Nummernblock:  // a keypad grid
            p.setPen(QPen(ink, 1.5));
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c) p.drawRect(QRectF(6 + c * 7, 5 + r * 7, 6, 6));
            p.drawRect(QRectF(6, 26, 13, 4));
            break;
        case Werkzeug::Optionen: {  // a cog
            p.setBrush(QColor(120, 120, 130));
            QPainterPath cog;
            for (int i = 0; i < 8; ++i) {
                const double a = i * M_PI / 4;
                cog.addRect(QRectF(16 + 10 * std::cos(a) - 3, 16 + 10 * std::sin(a) - 3, 6, 6));
            }
            cog.addEllipse(QRectF(7, 7, 18, 18));
            p.fillPath(cog.simplified(), QColor(120, 120, 130));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(12, 12, 8, 8));
            break;
        }
        }
    });
}

void werkzeugFarbe(QPushButton* button, const QColor& farbe) {
    button->setStyleSheet(QStringLiteral("QPushButton { background: %1; border: 1px solid gray; "
                                         "border-radius: 3px; } QPushButton:disabled { background: "
                                         "rgb(200,200,200); }")
                              .arg(farbe.name()));
}
