#include "generator.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace {

constexpr int kSize = 32;
constexpr int kZoom = 4;  // drawn this much larger, then scaled down smoothly
constexpr int kFrames = 6;
constexpr int kJiffies = 8;  // 1/60 s each: about 7.5 frames per second

const QColor kOutline(0x23, 0x5e, 0x25);
const QColor kBody(0x5c, 0xbf, 0x4c);
const QColor kFarLeg(0x45, 0x9a, 0x3b);
const QColor kBelly(0xd4, 0xee, 0x9e);
const QColor kSpikes(0xf5, 0xa6, 0x23);
const QColor kCheek(0xf2, 0x8c, 0x8c);

struct Leg {
    QPointF hip;
    double angle;  // radians, positive swings the foot forward (right)
    double lift;   // how far the foot is off the ground
};

QPainterPath legPath(const Leg& leg) {
    constexpr double length = 6.2;
    const QPointF foot(leg.hip.x() + length * std::sin(leg.angle),
                       leg.hip.y() + length * std::cos(leg.angle) - leg.lift);
    QPainterPath p;
    p.moveTo(leg.hip);
    p.lineTo(foot);
    QPainterPathStroker stroker;
    stroker.setWidth(3.8);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath leg2 = stroker.createStroke(p);
    leg2.addEllipse(QRectF(foot.x() - 1.6, foot.y() - 1.3, 4.4, 2.6));  // toes point forward
    return leg2.simplified();
}

// The green parts in front of the far leg: tail, body, neck, head, arm.
QPainterPath bodyPath(double bob) {
    QPainterPath tail;
    tail.moveTo(8, 17 + bob);
    tail.cubicTo(5, 17 + bob, 2.5, 15.5 + bob, 0.8, 13.2 + bob);  // tip, curled up a little
    tail.cubicTo(1.5, 18 + bob, 4, 23 + bob, 9, 24.5 + bob);
    tail.closeSubpath();

    QPainterPath body;
    body.addEllipse(QRectF(5.5, 13.5 + bob, 17, 13));
    QPainterPath neck;
    neck.moveTo(15, 16 + bob);
    neck.cubicTo(16, 12 + bob, 18, 11 + bob, 20, 11 + bob);
    neck.lineTo(22, 18 + bob);
    neck.cubicTo(20, 20 + bob, 18, 21 + bob, 16, 21 + bob);
    neck.closeSubpath();
    QPainterPath head;
    head.addRoundedRect(QRectF(15.5, 3 + bob, 15, 11), 5.2, 5.2);
    QPainterPath arm;
    arm.moveTo(20.5, 19.5 + bob);
    arm.lineTo(23.5, 21.5 + bob);
    QPainterPathStroker stroker;
    stroker.setWidth(2.2);
    stroker.setCapStyle(Qt::RoundCap);
    return tail.united(body).united(neck).united(head).united(stroker.createStroke(arm)).simplified();
}

QPainterPath spikesPath(double bob) {
    QPainterPath p;
    const QPointF tips[] = {{6.2, 11.6}, {10.6, 9.2}, {15, 8.2}, {18.6, 0.4}};
    const QPointF bases[][2] = {{{5.2, 16.6}, {10, 14.6}},
                               {{9.2, 14.8}, {14, 13.4}},
                               {{13.4, 13.6}, {17.4, 12.4}},
                               {{16.4, 4.6}, {21.6, 3.6}}};
    for (int i = 0; i < 4; ++i) {
        QPolygonF tri;
        tri << bases[i][0] + QPointF(0, bob) << tips[i] + QPointF(0, bob) << bases[i][1] + QPointF(0, bob);
        p.addPolygon(tri);
        p.closeSubpath();
    }
    return p;
}

void fillWithOutline(QPainter& g, const QPainterPath& p, const QColor& fill) {
    g.setPen(QPen(kOutline, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.setBrush(fill);
    g.drawPath(p);
}

QImage drawFrame(int k, int size) {
    const double phase = 2 * std::numbers::pi * k / kFrames;
    const double swing = 0.5 * std::sin(phase);  // about 29 degrees either way
    // The body rises a pixel while the legs pass each other.
    const double bob = std::abs(std::sin(phase)) < 0.5 ? -1.0 : 0.0;
    const Leg nearLeg{{15.5, 24 + bob}, swing, 1.4 * std::max(0.0, std::cos(phase))};
    const Leg farLeg{{11.5, 23.5 + bob}, -swing, 1.4 * std::max(0.0, -std::cos(phase))};

    QImage big(kSize * kZoom, kSize * kZoom, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    QPainter g(&big);
    g.setRenderHint(QPainter::Antialiasing);
    g.scale(kZoom, kZoom);

    g.setPen(QPen(kOutline, 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.setBrush(kSpikes);
    g.drawPath(spikesPath(bob));
    fillWithOutline(g, legPath(farLeg), kFarLeg);
    fillWithOutline(g, bodyPath(bob), kBody);

    // Belly and details, inside the outline.
    g.setPen(Qt::NoPen);
    g.setBrush(kBelly);
    g.setClipPath(bodyPath(bob));
    g.drawEllipse(QRectF(14.5, 15.5 + bob, 10, 12.5));
    g.setClipping(false);
    fillWithOutline(g, legPath(nearLeg), kBody);

    g.setPen(Qt::NoPen);
    g.setBrush(kCheek);
    g.drawEllipse(QRectF(21.2, 9.6 + bob, 3.2, 2));
    // Eye: white, big pupil looking ahead, a highlight.
    g.setPen(QPen(kOutline, 0.8));
    g.setBrush(Qt::white);
    g.drawEllipse(QRectF(21.4, 4.6 + bob, 4.8, 5));
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(0x1b, 0x1b, 0x1b));
    g.drawEllipse(QRectF(23.2, 5.6 + bob, 2.8, 3.3));
    g.setBrush(Qt::white);
    g.drawEllipse(QRectF(24.5, 6 + bob, 1.1, 1.1));
    // Nostril and a smile.
    g.setBrush(kOutline);
    g.drawEllipse(QRectF(28.6, 7.2 + bob, 0.9, 0.9));
    g.setPen(QPen(kOutline, 0.9, Qt::SolidLine, Qt::RoundCap));
    g.setBrush(Qt::NoBrush);
    QPainterPath smile;
    smile.moveTo(25.2, 11 + bob);
    smile.quadTo(27.2, 12.4 + bob, 29.2, 10.6 + bob);
    g.drawPath(smile);
    g.end();

    QImage small = big.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_ARGB32);
    // Cursor masks are one bit: faint fringe pixels become fully transparent.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (qAlpha(small.pixel(x, y)) < 48) small.setPixel(x, y, 0);
    return small;
}

}  // namespace

QList<QImage> dinoFrames(int size) {
    QList<QImage> frames;
    for (int k = 0; k < kFrames; ++k) frames.append(drawFrame(k, size));
    return frames;
}

GeneratedFile makeDino() {
    QList<QByteArray> curs;
    // Each frame also at twice the size, for screens scaled by two.
    const QList<QImage> frames = dinoFrames(kSize), frames2x = dinoFrames(2 * kSize);
    for (int k = 0; k < kFrames; ++k)
        curs.append(media::curFile({{media::iconDib(frames[k], 32), kSize, kSize, QPoint(0, 0)},
                                    {media::iconDib(frames2x[k], 32), 2 * kSize, 2 * kSize, QPoint(0, 0)}}));
    media::AniOptions o;
    o.jiffies = kJiffies;
    o.title = QStringLiteral("Velkora dino");
    o.artist = QStringLiteral("Velkora");
    return {QStringLiteral("dino.ani"), media::aniFile(curs, kSize, kSize, o)};
}
