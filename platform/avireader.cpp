#include "platform/avireader.h"
#include "platform/anireader.h"

#include "platform/textcodec.h"

#include <QVector>
#include <algorithm>
#include <cstring>

namespace {

// Bounds for what a clip may ask for: the program's clips are small
// animations of a few dozen frames.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
constexpr qint32 kMaxSide = 2048;
constexpr int kMaxFrames = 10000;
constexpr qint64 kMaxTotalPixels = 16 * 1024 * 1024;  // 64 MB of decoded frames

constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiRle8 = 1;

using riff::le16;
using riff::le32;

AviClip failClip(QString* error, const QString& why) {
    if (error) *error = why;
    return AviClip();
}

struct VideoFormat {
    qint32 width = 0, height = 0;
    bool topDown = false;
    int bits = 0;
    quint32 compression = 0;
    QVector<QRgb> palette;  // always 256 entries for 8-bit
};

bool parseFormat(QByteArrayView d, VideoFormat& f, QString* error) {
    auto bad = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (d.size() < 40) return bad(QStringLiteral("video format is truncated"));
    const quint32 headerSize = le32(d, 0);
    if (headerSize < 40 || headerSize > quint64(d.size()))
        return bad(QStringLiteral("video format header of %1 bytes").arg(headerSize));
    f.width = qint32(le32(d, 4));
    const qint32 h = qint32(le32(d, 8));
    f.bits = le16(d, 14);
    f.compression = le32(d, 16);
    f.topDown = h < 0;
    f.height = h == INT32_MIN ? 0 : std::abs(h);
    if (f.width <= 0 || f.width > kMaxSide || f.height <= 0 || f.height > kMaxSide)
        return bad(QStringLiteral("frames of %1 x %2 pixels").arg(f.width).arg(h));
    const bool ok = (f.bits == 8 && (f.compression == kBiRgb || f.compression == kBiRle8)) ||
                    (f.bits == 24 && f.compression == kBiRgb);
    if (!ok) return bad(QStringLiteral("unsupported frames: %1 bits, compression %2").arg(f.bits).arg(f.compression));
    if (f.compression == kBiRle8 && f.topDown) return bad(QStringLiteral("top-down RLE8 frames"));
    if (f.bits == 8) {
        const quint32 used = le32(d, 32);
        if (used > 256) return bad(QStringLiteral("palette of %1 colours").arg(used));
        const qsizetype n = std::min<qsizetype>(used ? used : 256, (d.size() - headerSize) / 4);
        f.palette = QVector<QRgb>(256, qRgb(0, 0, 0));
        for (qsizetype i = 0; i < n; ++i) {
            const qsizetype at = headerSize + i * 4;
            f.palette[i] = qRgb(uchar(d[at + 2]), uchar(d[at + 1]), uchar(d[at]));
        }
    }
    return true;
}

// Palette change chunk: first entry, entry count (0 = 256), flags, then
// red, green, blue, flags per entry.
void applyPaletteChange(QByteArrayView d, QVector<QRgb>& palette) {
    if (d.size() < 4 || palette.size() != 256) return;
    const int first = uchar(d[0]);
    int count = uchar(d[1]) ? uchar(d[1]) : 256;
    count = int(std::min<qsizetype>({qsizetype(count), qsizetype(256 - first), (d.size() - 4) / 4}));
    for (int i = 0; i < count; ++i) {
        const qsizetype at = 4 + i * 4;
        palette[first + i] = qRgb(uchar(d[at]), uchar(d[at + 1]), uchar(d[at + 2]));
    }
}

// Decodes one RLE8 frame into the index buffer (rows bottom-up), on top of
// what the previous frame left there. Runs that reach past a row or past
// the picture are clipped; data ending early leaves the rest unchanged.
void decodeRle8(QByteArrayView d, QByteArray& buf, qint32 w, qint32 h) {
    qint32 x = 0, y = 0;  // y counts rows from the bottom
    qsizetype i = 0;
    auto put = [&](uchar v) {
        if (x < w && y < h) buf[qsizetype(y) * w + x] = char(v);
        ++x;
    };
    while (i + 1 < d.size() && y < h) {
        const uchar n = uchar(d[i]), v = uchar(d[i + 1]);
        i += 2;
        if (n > 0) {
            for (int k = 0; k < n && x < w; ++k) put(v);
            continue;
        }
        switch (v) {
        case 0:  // end of line
            x = 0;
            ++y;
            break;
        case 1:  // end of bitmap
            return;
        case 2:  // move right and up
            if (i + 1 >= d.size()) return;
            x += uchar(d[i]);
            y += uchar(d[i + 1]);
            i += 2;
            break;
        default:  // v literal pixels, padded to an even count
            for (int k = 0; k < v && i + k < d.size(); ++k) put(uchar(d[i + k]));
            i += v + (v & 1);
            break;
        }
    }
}

QImage indexedToImage(const QByteArray& buf, const VideoFormat& f, qsizetype stride, bool bottomUp) {
    QImage img(f.width, f.height, QImage::Format_RGB32);
    for (qint32 y = 0; y < f.height; ++y) {
        const uchar* src = reinterpret_cast<const uchar*>(buf.constData()) +
                           (bottomUp ? f.height - 1 - y : y) * stride;
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (qint32 x = 0; x < f.width; ++x) out[x] = f.palette[src[x]];
    }
    return img;
}

QImage rgb24ToImage(QByteArrayView d, const VideoFormat& f, qsizetype stride) {
    QImage img(f.width, f.height, QImage::Format_RGB32);
    for (qint32 y = 0; y < f.height; ++y) {
        const uchar* src = reinterpret_cast<const uchar*>(d.data()) + (f.topDown ? y : f.height - 1 - y) * stride;
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (qint32 x = 0; x < f.width; ++x) out[x] = qRgb(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]);
    }
    return img;
}

}  // namespace

AviClip readAvi(QByteArrayView bytes, QString* error) {
    if (bytes.size() > kMaxFileBytes) return failClip(error, QStringLiteral("file is too large"));
    QByteArrayView body;
    if (!riff::fileBody(bytes, "AVI ", body, error)) return {};

    // Header list: main header, then one stream list per stream.
    QByteArrayView movi;
    bool haveHeader = false, haveVideo = false;
    quint32 microsPerFrame = 0, scale = 0, rate = 0;
    int stream = -1;
    VideoFormat format;
    riff::Chunks top(body);
    while (top.next()) {
        if (top.isList("hdrl")) {
            riff::Chunks h(top.listBody());
            int streamIndex = 0;
            while (h.next()) {
                if (h.id() == QByteArrayView("avih") && h.data().size() >= 4) {
                    microsPerFrame = le32(h.data(), 0);
                    haveHeader = true;
                } else if (h.isList("strl")) {
                    QByteArrayView strh, strf;
                    riff::Chunks s(h.listBody());
                    while (s.next()) {
                        if (s.id() == QByteArrayView("strh")) strh = s.data();
                        else if (s.id() == QByteArrayView("strf")) strf = s.data();
                    }
                    if (s.failed()) return failClip(error, QStringLiteral("stream header is truncated"));
                    if (!haveVideo && strh.size() >= 28 && strh.first(4) == QByteArrayView("vids")) {
                        if (strf.isNull()) return failClip(error, QStringLiteral("video stream without format"));
                        if (!parseFormat(strf, format, error)) return {};
                        scale = le32(strh, 20);
                        rate = le32(strh, 24);
                        stream = streamIndex;
                        haveVideo = true;
                    }
                    ++streamIndex;
                }
            }
            if (h.failed()) return failClip(error, QStringLiteral("header list is truncated"));
        } else if (top.isList("movi")) {
            if (movi.isNull()) movi = top.listBody();
        }
    }
    if (top.failed()) return failClip(error, QStringLiteral("a chunk runs past the end of the file"));
    if (!haveHeader) return failClip(error, QStringLiteral("no avih header"));
    if (!haveVideo) return failClip(error, QStringLiteral("no video stream"));
    if (movi.isNull()) return failClip(error, QStringLiteral("no movi list"));
    if (stream > 99) return failClip(error, QStringLiteral("video stream number %1").arg(stream));

    // Frame chunks of the stream are "NNdb" (uncompressed) or "NNdc"
    // (compressed), palette changes "NNpc"; "rec " lists group chunks.
    // They are gathered first so that the frame count is checked before any
    // picture is allocated.
    const char digits[2] = {char('0' + stream / 10), char('0' + stream % 10)};
    struct Item {
        bool palette;
        QByteArrayView data;
    };
    QList<Item> items;
    qint64 frameCount = 0;
    QList<riff::Chunks> walkers{riff::Chunks(movi)};
    while (!walkers.isEmpty()) {
        riff::Chunks& c = walkers.last();
        if (!c.next()) {
            if (c.failed()) return failClip(error, QStringLiteral("frame data is truncated"));
            walkers.removeLast();
            continue;
        }
        if (c.isList("rec ")) {
            if (walkers.size() < 4) walkers.append(riff::Chunks(c.listBody()));
            continue;
        }
        const QByteArrayView id = c.id();
        if (id[0] != digits[0] || id[1] != digits[1]) continue;
        const QByteArrayView kind = id.sliced(2);
        if (kind == QByteArrayView("pc")) {
            items.append({true, c.data()});
        } else if (kind == QByteArrayView("db") || kind == QByteArrayView("dc")) {
            items.append({false, c.data()});
            ++frameCount;
        }
    }
    if (frameCount > kMaxFrames || frameCount * format.width * format.height > kMaxTotalPixels)
        return failClip(error, QStringLiteral("%1 frames of %2 x %3 pixels are too many")
                                   .arg(frameCount)
                                   .arg(format.width)
                                   .arg(format.height));

    // 8-bit frames keep their palette indices: RLE8 frames draw over the
    // previous picture, and a palette change recolours what is shown.
    const qsizetype stride = ((qsizetype(format.width) * format.bits + 31) / 32) * 4;
    const qsizetype frameBytes = stride * format.height;
    const bool rle = format.compression == kBiRle8;
    const qsizetype indexStride = rle ? format.width : stride;
    QByteArray indices;
    if (format.bits == 8) indices = QByteArray(indexStride * format.height, '\0');
    const bool bottomUp = rle || !format.topDown;
    AviClip clip;
    for (const Item& item : items) {
        if (item.palette) {
            applyPaletteChange(item.data, format.palette);
            continue;
        }
        const QByteArrayView d = item.data;
        if (d.isEmpty() && !clip.frames.isEmpty()) {  // a dropped frame shows the last picture again
            clip.frames.append(format.bits == 8 ? indexedToImage(indices, format, indexStride, bottomUp)
                                                : clip.frames.last());
            continue;
        }
        if (rle) {
            decodeRle8(d, indices, format.width, format.height);
        } else if (d.size() < frameBytes) {
            return failClip(error, QStringLiteral("frame %1 holds %2 of %3 bytes")
                                       .arg(clip.frames.size())
                                       .arg(d.size())
                                       .arg(frameBytes));
        } else if (format.bits == 8) {
            memcpy(indices.data(), d.data(), size_t(frameBytes));
        }
        clip.frames.append(format.bits == 8 ? indexedToImage(indices, format, indexStride, bottomUp)
                                            : rgb24ToImage(d, format, stride));
    }
    if (clip.frames.isEmpty()) return failClip(error, QStringLiteral("no frames"));

    // The stream's rate over scale is its frame rate; the main header's
    // period stands in when the stream gives none.
    double ms = microsPerFrame / 1000.0;
    if (rate > 0 && scale > 0) ms = 1000.0 * scale / rate;
    clip.framePeriodMs = int(std::clamp(ms, 10.0, 5000.0) + 0.5);
    return clip;
}

AviClip readAviFile(const QString& path, QString* error) {
    // Only a regular file, and never more than the limit + 1 bytes of it.
    const FileRead r = readRegularFile(path, kMaxFileBytes);
    if (!r.ok()) return failClip(error, fileReadMessage(r.status, path));
    return readAvi(r.bytes, error);
}
