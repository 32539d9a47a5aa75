#pragma once
#include <QColor>
#include <QtGlobal>
#include <cmath>

// Window measures are given in twips: 1440 per inch, 15 per pixel at 96 dpi.
constexpr int kTwipsPerPixel = 15;
inline int twipsToPx(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
inline int pxToTwips(int px) { return px * kTwipsPerPixel; }

// Colour numbers of the options are laid out 0x00BBGGRR (red in the lowest byte).
inline QColor colorFromBgr(qint32 bgr) {
    const quint32 v = static_cast<quint32>(bgr);
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}
inline qint32 bgrFromColor(const QColor& c) {
    return static_cast<qint32>(static_cast<quint32>(c.red()) |
                               (static_cast<quint32>(c.green()) << 8) |
                               (static_cast<quint32>(c.blue()) << 16));
}
// The base colour of keys and frames: red 192, green 192, blue 255.
constexpr qint32 kTastenfarbe = 16761024;
