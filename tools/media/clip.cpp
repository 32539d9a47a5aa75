#include "generator.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace {

constexpr int kWidth = 272;
constexpr int kHeight = 60;
constexpr int kFrames = 16;
constexpr int kMicrosPerFrame = 100000;  // 10 frames per second

const QColor kBackground(0xf3, 0xf5, 0xf8);
const QColor kFolderBack(0xe0, 0xa8, 0x1e);
const QColor kFolderFront(0xfc, 0xd3, 0x4d);
const QColor kFolderEdge(0x9c, 0x6b, 0x0c);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kPaperEdge(0x7a, 0x80, 0x8a);
const QColor kText(0xa4, 0xb0, 0xc0);

// The back of an open folder: panel with its tab, left edge at x.
void folderBack(QPainter& g, double x) {
    QPainterPath p;
    p.moveTo(x, 54);
    p.lineTo(x, 22);
    p.lineTo(x + 4, 18);
    p.lineTo(x + 18, 18);
    p.lineTo(x + 22, 22);
    p.lineTo(x + 56, 22);
    p.lineTo(x + 56, 54);
    p.closeSubpath();
    g.setPen(QPen(kFolderEdge, 1.2));
    g.setBrush(kFolderBack);
    g.drawPath(p);
}

// The front flap, tilted open towards the viewer.
void folderFront(QPainter& g, double x) {
    QPolygonF p;
    p << QPointF(x, 54) << QPointF(x + 4, 32) << QPointF(x + 60, 32) << QPointF(x + 56, 54);
    g.setPen(QPen(kFolderEdge, 1.2));
    g.setBrush(kFolderFront);
    g.drawPolygon(p);
    g.setPen(QPen(kFolderBack, 1));
    g.drawLine(QPointF(x + 6, 35.5), QPointF(x + 57, 35.5));  // a highlight along the top
}

// A sheet with a few lines of text, centred at the origin.
void sheet(QPainter& g) {
    const QRectF r(-9, -11, 18, 22);
    QPainterPath p;
    p.moveTo(r.topLeft());
    p.lineTo(r.right() - 5, r.top());
    p.lineTo(r.right(), r.top() + 5);  // dog-ear
    p.lineTo(r.bottomRight());
    p.lineTo(r.bottomLeft());
    p.closeSubpath();
    g.setPen(QPen(kPaperEdge, 1));
    g.setBrush(kPaper);
    g.drawPath(p);
    g.drawLine(QPointF(r.right() - 5, r.top()), QPointF(r.right() - 5, r.top() + 5));
    g.drawLine(QPointF(r.right() - 5, r.top() + 5), QPointF(r.right(), r.top() + 5));
    g.setPen(QPen(kText, 1.4));
    const double lengths[] = {9, 13, 12, 14, 8};
    for (int i = 0; i < 5; ++i) g.drawLine(QPointF(-6, -5 + i * 3.4), QPointF(-6 + lengths[i], -5 + i * 3.4));
}

QImage drawFrame(int k) {
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(kBackground);
    QPainter g(&img);
    g.setRenderHint(QPainter::Antialiasing);

    constexpr double leftX = 20, rightX = 196;
    folderBack(g, leftX);
    folderBack(g, rightX);

    // The sheet rises out of the left folder, flies in an arc and sinks into
    // the right one; it leans into the flight and levels out again.
    const double t = double(k) / (kFrames - 1);
    const double eased = 0.5 - 0.5 * std::cos(std::numbers::pi * t);
    const double x = leftX + 28 + eased * (rightX - leftX);
    const double y = 38 - 25 * std::sin(std::numbers::pi * t);
    const double tilt = 28 * std::sin(2 * std::numbers::pi * t) * (t < 0.5 ? 1 : 0.6);

    // Speed lines behind the sheet while it is in the air.
    if (k > 1 && k < kFrames - 2) {
        const double tp = double(k - 1) / (kFrames - 1);
        const double xp = leftX + 28 + (0.5 - 0.5 * std::cos(std::numbers::pi * tp)) * (rightX - leftX);
        const double yp = 38 - 25 * std::sin(std::numbers::pi * tp);
        g.setPen(QPen(QColor(0xc4, 0xcc, 0xd8), 1.5, Qt::DashLine, Qt::RoundCap));
        g.drawLine(QPointF(xp - 6, yp + 2), QPointF(x - 13, y + 2));
    }

    g.save();
    g.translate(x, y);
    g.rotate(tilt);
    sheet(g);
    g.restore();

    folderFront(g, leftX);
    folderFront(g, rightX);
    return img;
}

// One colour table for the whole clip: the 256 most frequent colours of all
// frames; the rare anti-aliasing shades between them map to the nearest.
QVector<QRgb> clipPalette(const QList<QImage>& frames) {
    QHash<QRgb, int> count;
    for (const QImage& f : frames)
        for (int y = 0; y < f.height(); ++y)
            for (int x = 0; x < f.width(); ++x) ++count[f.pixel(x, y) | 0xff000000u];
    QList<QPair<int, QRgb>> byCount;
    for (auto it = count.cbegin(); it != count.cend(); ++it) byCount.append({-it.value(), it.key()});
    std::sort(byCount.begin(), byCount.end());
    QVector<QRgb> palette;
    for (int i = 0; i < byCount.size() && i < 256; ++i) palette.append(byCount[i].second);
    return palette;
}

QImage toIndexed(const QImage& f, const QVector<QRgb>& palette) {
    QImage out(f.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    QHash<QRgb, uchar> cache;
    for (int y = 0; y < f.height(); ++y) {
        uchar* row = out.scanLine(y);
        for (int x = 0; x < f.width(); ++x) {
            const QRgb p = f.pixel(x, y) | 0xff000000u;
            auto it = cache.find(p);
            if (it == cache.end()) {
                int best = 0, bestDist = INT32_MAX;
                for (int i = 0; i < palette.size(); ++i) {
                    const int dr = qRed(p) - qRed(palette[i]), dg = qGreen(p) - qGreen(palette[i]),
                              db = qBlue(p) - qBlue(palette[i]);
                    const int d = dr * dr + dg * dg + db * db;
                    if (d < bestDist) best = i, bestDist = d;
                }
                it = cache.insert(p, uchar(best));
            }
            row[x] = it.value();
        }
    }
    return out;
}

}  // namespace

QList<QImage> clipFrames() {
    QList<QImage> rgb;
    for (int k = 0; k < kFrames; ++k) rgb.append(drawFrame(k));
    const QVector<QRgb> palette = clipPalette(rgb);
    QList<QImage> frames;
    for (const QImage& f : rgb) frames.append(toIndexed(f, palette));
    return frames;
}

GeneratedFile makeClip() {
    return {QStringLiteral("FILEMOVE.AVI"),
            media::aviFile(clipFrames(), kMicrosPerFrame, media::AviFrames::Rle8)};
}
