#include "platform/anireader.h"

#include "platform/textcodec.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Bounds for what a cursor file may ask for. Real cursors have a few dozen
// frames of at most 256 x 256 pixels and weigh a few hundred kilobytes.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
constexpr quint32 kMaxFrames = 1024;
constexpr quint32 kMaxSteps = 4096;
constexpr int kMaxSide = 256;
constexpr qint64 kMaxTotalPixels = 8 * 1024 * 1024;
constexpr quint32 kMaxJiffies = 60 * 60;  // one minute per step at most

bool fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

QImage failImage(QString* error, const QString& why) {
    fail(error, why);
    return QImage();
}

AniAnimation failAni(QString* error, const QString& why) {
    fail(error, why);
    return AniAnimation();
}

using riff::le16;
using riff::le32;

quint32 be32(QByteArrayView d, qsizetype at) {
    return quint32(uchar(d[at])) << 24 | quint32(uchar(d[at + 1])) << 16 |
           quint32(uchar(d[at + 2])) << 8 | quint32(uchar(d[at + 3]));
}

QImage decodePng(QByteArrayView d, QString* error) {
    // Check the stated size before inflating anything.
    if (d.size() < 24 || d.sliced(12, 4) != QByteArrayView("IHDR"))
        return failImage(error, QStringLiteral("PNG image without header"));
    const quint32 w = be32(d, 16), h = be32(d, 20);
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide)
        return failImage(error, QStringLiteral("PNG image of %1 x %2 pixels").arg(w).arg(h));
    QImage img = QImage::fromData(d, "PNG");
    if (img.isNull()) return failImage(error, QStringLiteral("PNG image cannot be decoded"));
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A DIB as icon resources hold it: header, palette, colour rows and AND mask
// rows, bottom-up, the header's height counting both halves.
QImage decodeDib(QByteArrayView d, QString* error) {
    if (d.size() < 40) return failImage(error, QStringLiteral("bitmap header is truncated"));
    const quint32 headerSize = le32(d, 0);
    if (headerSize < 40 || headerSize > quint64(d.size()))
        return failImage(error, QStringLiteral("bitmap header of %1 bytes").arg(headerSize));
    const qint32 w = qint32(le32(d, 4));
    const qint32 doubledHeight = qint32(le32(d, 8));
    const int bits = le16(d, 14);
    const quint32 compression = le32(d, 16);
    const quint32 colorsUsed = le32(d, 32);
    const qint32 h = doubledHeight / 2;
    if (w <= 0 || w > kMaxSide || h <= 0 || h > kMaxSide)
        return failImage(error, QStringLiteral("bitmap of %1 x %2 pixels").arg(w).arg(doubledHeight));
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return failImage(error, QStringLiteral("bitmap of %1 bits per pixel").arg(bits));
    if (compression != 0) return failImage(error, QStringLiteral("compressed bitmap"));

    const int maxColors = bits <= 8 ? 1 << bits : 0;
    if (colorsUsed > 256) return failImage(error, QStringLiteral("palette of %1 colours").arg(colorsUsed));
    const qsizetype paletteEntries = bits <= 8 ? (colorsUsed ? colorsUsed : maxColors) : colorsUsed;
    const qsizetype xorStride = ((qsizetype(w) * bits + 31) / 32) * 4;
    const qsizetype andStride = ((qsizetype(w) + 31) / 32) * 4;
    const qsizetype xorAt = headerSize + paletteEntries * 4;
    const qsizetype andAt = xorAt + xorStride * h;
    if (andAt > d.size()) return failImage(error, QStringLiteral("bitmap pixels are truncated"));
    const bool hasMask = andAt + andStride * h <= d.size();
    // 32-bit images carry their own alpha; some writers leave the mask out.
    if (!hasMask && bits != 32) return failImage(error, QStringLiteral("bitmap mask is truncated"));

    QRgb palette[256] = {};
    for (qsizetype i = 0; i < std::min<qsizetype>(paletteEntries, maxColors); ++i) {
        const qsizetype at = headerSize + i * 4;
        palette[i] = qRgb(uchar(d[at + 2]), uchar(d[at + 1]), uchar(d[at]));
    }
    bool hasAlpha = false;
    if (bits == 32)
        for (qint32 y = 0; y < h && !hasAlpha; ++y)
            for (qint32 x = 0; x < w && !hasAlpha; ++x) hasAlpha = d[xorAt + y * xorStride + x * 4 + 3] != 0;

    QImage img(w, h, QImage::Format_ARGB32);
    for (qint32 y = 0; y < h; ++y) {
        const char* row = d.data() + xorAt + (h - 1 - y) * xorStride;
        const char* mask = hasMask ? d.data() + andAt + (h - 1 - y) * andStride : nullptr;
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (qint32 x = 0; x < w; ++x) {
            QRgb c;
            switch (bits) {
            case 32:
                c = qRgba(uchar(row[x * 4 + 2]), uchar(row[x * 4 + 1]), uchar(row[x * 4]),
                          hasAlpha ? uchar(row[x * 4 + 3]) : 255);
                break;
            case 24: c = qRgb(uchar(row[x * 3 + 2]), uchar(row[x * 3 + 1]), uchar(row[x * 3])); break;
            default: {
                const int perByte = 8 / bits;
                const int shift = (perByte - 1 - x % perByte) * bits;
                const int index = (uchar(row[x / perByte]) >> shift) & ((1 << bits) - 1);
                c = palette[index];  // indices past a short palette read black
            }
            }
            const bool masked = mask && (uchar(mask[x / 8]) & (0x80 >> (x % 8)));
            if (masked && !hasAlpha) {
                // Transparent where the colour is black; a masked pixel with a
                // colour inverts the screen below it, shown as opaque black.
                c = (c & 0xffffff) == 0 ? 0 : qRgb(0, 0, 0);
            }
            out[x] = c;
        }
    }
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage decodePayload(QByteArrayView d, QString* error) {
    static const char pngMagic[] = "\x89PNG\r\n\x1a\n";
    if (d.size() >= 8 && d.first(8) == QByteArrayView(pngMagic, 8)) return decodePng(d, error);
    return decodeDib(d, error);
}

}  // namespace

QSize AniAnimation::size() const {
    QSize s;
    for (const QImage& f : frames) s = s.expandedTo(f.size());
    return s;
}

int AniAnimation::totalDuration() const {
    int total = 0;
    for (int ms : durations) total += ms;
    return total;
}

QImage readCursorImage(QByteArrayView d, QString* error) { return readCursorImage(d, QSize(32, 32), error); }

QImage readCursorImage(QByteArrayView d, QSize target, QString* error) {
    if (d.size() < 6 || le16(d, 0) != 0 || (le16(d, 2) != 1 && le16(d, 2) != 2))
        return failImage(error, QStringLiteral("not an icon or cursor image"));
    const int count = le16(d, 4);
    if (count == 0 || 6 + qsizetype(count) * 16 > d.size())
        return failImage(error, QStringLiteral("icon directory of %1 entries is truncated").arg(count));

    struct Entry {
        int distance;     // from the target size
        quint32 bytes;    // more bytes for the same size: more colours
        quint32 offset;
    };
    QList<Entry> entries;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = 6 + i * 16;
        const int w = uchar(d[at]) ? uchar(d[at]) : 256;
        const int h = uchar(d[at + 1]) ? uchar(d[at + 1]) : 256;
        const quint32 bytes = le32(d, at + 8), offset = le32(d, at + 12);
        if (offset > quint64(d.size()) || bytes > quint64(d.size()) - offset) continue;
        entries.append({std::abs(w - target.width()) + std::abs(h - target.height()), bytes, offset});
    }
    if (entries.isEmpty()) return failImage(error, QStringLiteral("icon image lies outside the file"));
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.distance != b.distance ? a.distance < b.distance : a.bytes > b.bytes;
    });
    QString firstError;
    for (const Entry& e : entries) {
        QString why;
        const QImage img = decodePayload(d.sliced(e.offset, e.bytes), &why);
        if (!img.isNull()) return img;
        if (firstError.isEmpty()) firstError = why;
    }
    return failImage(error, firstError);
}

AniAnimation readAni(QByteArrayView bytes, QString* error) {
    if (bytes.size() > kMaxFileBytes) return failAni(error, QStringLiteral("file is too large"));
    QByteArrayView body;
    if (!riff::fileBody(bytes, "ACON", body, error)) return {};

    bool haveHeader = false;
    quint32 frameCount = 0, steps = 0, jiffies = 0, flags = 0;
    QByteArrayView rate, seq;
    QList<QByteArrayView> icons;
    riff::Chunks c(body);
    while (c.next()) {
        if (c.id() == QByteArrayView("anih")) {
            if (c.data().size() < 36) return failAni(error, QStringLiteral("anih header is truncated"));
            frameCount = le32(c.data(), 4);
            steps = le32(c.data(), 8);
            jiffies = le32(c.data(), 28);
            flags = le32(c.data(), 32);
            haveHeader = true;
        } else if (c.id() == QByteArrayView("rate")) {
            rate = c.data();
        } else if (c.id() == QByteArrayView("seq ")) {
            seq = c.data();
        } else if (c.isList("fram")) {
            riff::Chunks f(c.listBody());
            while (f.next()) {
                if (f.id() != QByteArrayView("icon")) continue;
                if (quint32(icons.size()) >= kMaxFrames)
                    return failAni(error, QStringLiteral("more than %1 frames").arg(kMaxFrames));
                icons.append(f.data());
            }
            if (f.failed()) return failAni(error, QStringLiteral("frame list is truncated"));
        }
    }
    if (c.failed()) return failAni(error, QStringLiteral("a chunk runs past the end of the file"));
    if (!haveHeader) return failAni(error, QStringLiteral("no anih header"));
    if (frameCount == 0 || frameCount > kMaxFrames)
        return failAni(error, QStringLiteral("header names %1 frames").arg(frameCount));
    if (steps == 0) steps = frameCount;
    if (steps > kMaxSteps) return failAni(error, QStringLiteral("header names %1 steps").arg(steps));
    if (!(flags & 1))
        return failAni(error, QStringLiteral("frames are raw bitmaps, not icons"));
    if (quint32(icons.size()) < frameCount)
        return failAni(error, QStringLiteral("header names %1 frames, the file holds %2")
                               .arg(frameCount)
                               .arg(icons.size()));
    if (!seq.isNull() && seq.size() < qsizetype(steps) * 4)
        return failAni(error, QStringLiteral("sequence is shorter than %1 steps").arg(steps));
    if (seq.isNull() && (flags & 2) && steps != frameCount)
        return failAni(error, QStringLiteral("sequence flag without sequence"));

    QList<QImage> images;
    qint64 pixels = 0;
    for (quint32 i = 0; i < frameCount; ++i) {
        QString why;
        QImage img = readCursorImage(icons[i], &why);
        if (img.isNull()) return failAni(error, QStringLiteral("frame %1: %2").arg(i).arg(why));
        pixels += qint64(img.width()) * img.height();
        if (pixels > kMaxTotalPixels) return failAni(error, QStringLiteral("frames are too large"));
        images.append(img);
    }
    // The sharper images for scaled screens, where every icon has one.
    QList<QImage> images2x;
    for (quint32 i = 0; i < frameCount; ++i) {
        QImage img = readCursorImage(icons[i], images[i].size() * 2);
        if (img.size() != images[i].size() * 2) {
            images2x.clear();
            break;
        }
        pixels += qint64(img.width()) * img.height();
        if (pixels > kMaxTotalPixels) {
            images2x.clear();
            break;
        }
        img.setDevicePixelRatio(2);
        images2x.append(img);
    }

    AniAnimation a;
    const bool perStepRate = rate.size() >= qsizetype(steps) * 4;
    for (quint32 s = 0; s < steps; ++s) {
        quint32 frame = s % frameCount;
        if (!seq.isNull()) {
            frame = le32(seq, s * 4);
            if (frame >= frameCount)
                return failAni(error, QStringLiteral("step %1 shows frame %2 of %3").arg(s).arg(frame).arg(frameCount));
        }
        const quint32 j = std::clamp<quint32>(perStepRate ? le32(rate, s * 4) : jiffies, 1, kMaxJiffies);
        a.frames.append(images[frame]);
        if (!images2x.isEmpty()) a.frames2x.append(images2x[frame]);
        a.durations.append(int((j * 1000 + 30) / 60));
    }
    return a;
}

AniAnimation readAniFile(const QString& path, QString* error) {
    // Only a regular file, and never more than the limit + 1 bytes of it.
    const FileRead r = readRegularFile(path, kMaxFileBytes);
    if (!r.ok()) return failAni(error, fileReadMessage(r.status, path));
    return readAni(r.bytes, error);
}
