#pragma once
#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

// Reading of short AVI clips (RIFF "AVI "): the first video stream, its
// frames uncompressed at 8 bits with a palette, run-length encoded at
// 8 bits (RLE8, frames may update only part of the previous picture and may
// change the palette), or uncompressed at 24 bits. Malformed input gives an
// error, never a crash; sizes and counts are bounded.

struct AviClip {
    QList<QImage> frames;  // RGB32, all of one size
    int framePeriodMs = 0;
    QSize size() const { return frames.isEmpty() ? QSize() : frames.first().size(); }
    bool isEmpty() const { return frames.isEmpty(); }
};

// Empty on failure, with the reason in *error.
AviClip readAvi(QByteArrayView bytes, QString* error = nullptr);
AviClip readAviFile(const QString& path, QString* error = nullptr);
