#pragma once
// Writers for the little-endian RIFF media formats the program ships:
// PCM WAV sounds, animated cursors (.ani with .cur frames) and AVI clips with
// 8-bit palette frames (uncompressed or RLE8) or 24-bit frames. Used by the
// media generator and by the tests, which build variants of these files.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <QVector>
#include <QtEndian>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace media {

inline void putLe16(QByteArray& b, quint16 v) {
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

inline void putLe32(QByteArray& b, quint32 v) {
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

inline void putFourCC(QByteArray& b, const char* id) { b.append(id, 4); }

// One chunk: id, size, data, and a pad byte when the size is odd.
inline QByteArray chunk(const char* id, const QByteArray& data) {
    QByteArray b;
    putFourCC(b, id);
    putLe32(b, quint32(data.size()));
    b += data;
    if (data.size() % 2) b.append('\0');
    return b;
}

// A LIST (or the RIFF file itself, with outer = "RIFF") of a form type.
inline QByteArray list(const char* type, const QByteArray& body, const char* outer = "LIST") {
    QByteArray data;
    putFourCC(data, type);
    data += body;
    return chunk(outer, data);
}

// ---- WAV ----

// A mono 16-bit PCM WAV file.
inline QByteArray wavPcm16(const std::vector<qint16>& samples, int rate) {
    QByteArray fmt;
    putLe16(fmt, 1);  // PCM
    putLe16(fmt, 1);  // mono
    putLe32(fmt, quint32(rate));
    putLe32(fmt, quint32(rate * 2));  // bytes per second
    putLe16(fmt, 2);                  // block align
    putLe16(fmt, 16);                 // bits per sample
    QByteArray pcm;
    pcm.reserve(int(samples.size() * 2));
    for (qint16 s : samples) putLe16(pcm, quint16(s));
    return list("WAVE", chunk("fmt ", fmt) + chunk("data", pcm), "RIFF");
}

// ---- cursors ----

inline int dibStride(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// The AND mask of a DIB: bit set where the pixel is transparent.
inline QByteArray andMask(const QImage& argb) {
    const int stride = dibStride(argb.width(), 1);
    QByteArray mask;
    for (int y = argb.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) < 128) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        mask += row;
    }
    return mask;
}

// A cursor image as a DIB with its AND mask, the way icon resources hold
// them: the header's height counts both halves. bits is 1, 4, 8, 24 or 32;
// palette depths use the colours of the opaque pixels (up to 2^bits of them,
// in order of first appearance; further colours become the nearest one).
inline QByteArray iconDib(const QImage& image, int bits) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width(), h = argb.height();
    QVector<QRgb> palette;
    if (bits <= 8) {
        palette.append(qRgb(0, 0, 0));  // transparent pixels point here
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb p = argb.pixel(x, y);
                if (qAlpha(p) >= 128 && !palette.contains(qRgb(qRed(p), qGreen(p), qBlue(p))) &&
                    palette.size() < (1 << bits))
                    palette.append(qRgb(qRed(p), qGreen(p), qBlue(p)));
            }
    }
    auto nearest = [&palette](QRgb p) {
        int best = 0, bestDist = INT32_MAX;
        for (int i = 0; i < palette.size(); ++i) {
            const int dr = qRed(p) - qRed(palette[i]), dg = qGreen(p) - qGreen(palette[i]),
                      db = qBlue(p) - qBlue(palette[i]);
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDist) best = i, bestDist = d;
        }
        return best;
    };
    const int stride = dibStride(w, bits);
    QByteArray pixels;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb p = argb.pixel(x, y);
            const bool opaque = qAlpha(p) >= 128;
            switch (bits) {
            case 32:
                row[x * 4] = char(qBlue(p));
                row[x * 4 + 1] = char(qGreen(p));
                row[x * 4 + 2] = char(qRed(p));
                row[x * 4 + 3] = char(qAlpha(p));
                break;
            case 24:
                row[x * 3] = char(opaque ? qBlue(p) : 0);
                row[x * 3 + 1] = char(opaque ? qGreen(p) : 0);
                row[x * 3 + 2] = char(opaque ? qRed(p) : 0);
                break;
            default: {
                const int index = opaque ? nearest(p) : 0;
                const int perByte = 8 / bits;
                const int shift = (perByte - 1 - x % perByte) * bits;
                row[x / perByte] = char(row[x / perByte] | (index << shift));
            }
            }
        }
        pixels += row;
    }
    const QByteArray mask = andMask(argb);
    QByteArray b;
    putLe32(b, 40);
    putLe32(b, quint32(w));
    putLe32(b, quint32(h * 2));
    putLe16(b, 1);
    putLe16(b, quint16(bits));
    putLe32(b, 0);  // BI_RGB
    putLe32(b, quint32(pixels.size() + mask.size()));
    putLe32(b, 0);
    putLe32(b, 0);
    putLe32(b, bits <= 8 ? quint32(palette.size()) : 0);
    putLe32(b, 0);
    for (QRgb c : palette) {
        b.append(char(qBlue(c)));
        b.append(char(qGreen(c)));
        b.append(char(qRed(c)));
        b.append('\0');
    }
    return b + pixels + mask;
}

// One image of a .cur file: payload (a DIB from iconDib, or PNG bytes), size
// and hotspot.
struct CurImage {
    QByteArray payload;
    int width, height;
    QPoint hotspot;
};

// A .cur file holding the images, the directory first, then the payloads.
inline QByteArray curFile(const QList<CurImage>& images) {
    QByteArray b;
    putLe16(b, 0);
    putLe16(b, 2);  // cursor
    putLe16(b, quint16(images.size()));
    quint32 offset = quint32(6 + 16 * images.size());
    for (const CurImage& i : images) {
        b.append(char(i.width >= 256 ? 0 : i.width));
        b.append(char(i.height >= 256 ? 0 : i.height));
        b.append('\0');  // colour count
        b.append('\0');
        putLe16(b, quint16(i.hotspot.x()));
        putLe16(b, quint16(i.hotspot.y()));
        putLe32(b, quint32(i.payload.size()));
        putLe32(b, offset);
        offset += quint32(i.payload.size());
    }
    for (const CurImage& i : images) b += i.payload;
    return b;
}

// A .cur file holding one image.
inline QByteArray curFile(const QByteArray& payload, int width, int height, QPoint hotspot) {
    return curFile(QList<CurImage>{{payload, width, height, hotspot}});
}

struct AniOptions {
    int jiffies = 8;                 // default display rate, 1/60 s
    std::vector<quint32> rates;      // per step; empty: no "rate" chunk
    std::vector<quint32> sequence;   // frame per step; empty: no "seq " chunk
    QString title, artist;           // empty: no INFO list
};

// An animated cursor (RIFF "ACON") from .cur files.
inline QByteArray aniFile(const QList<QByteArray>& curFiles, int width, int height,
                          const AniOptions& o = {}) {
    const quint32 frames = quint32(curFiles.size());
    const quint32 steps = o.sequence.empty() ? frames : quint32(o.sequence.size());
    QByteArray anih;
    putLe32(anih, 36);
    putLe32(anih, frames);
    putLe32(anih, steps);
    putLe32(anih, quint32(width));
    putLe32(anih, quint32(height));
    putLe32(anih, 32);  // bit count
    putLe32(anih, 1);   // planes
    putLe32(anih, quint32(o.jiffies));
    putLe32(anih, 1u | (o.sequence.empty() ? 0u : 2u));  // icon frames, sequence
    QByteArray body;
    if (!o.title.isEmpty() || !o.artist.isEmpty()) {
        QByteArray info;
        if (!o.title.isEmpty()) info += chunk("INAM", o.title.toLatin1() + '\0');
        if (!o.artist.isEmpty()) info += chunk("IART", o.artist.toLatin1() + '\0');
        body += list("INFO", info);
    }
    body += chunk("anih", anih);
    auto dwords = [](const std::vector<quint32>& v) {
        QByteArray d;
        for (quint32 x : v) putLe32(d, x);
        return d;
    };
    if (!o.rates.empty()) body += chunk("rate", dwords(o.rates));
    if (!o.sequence.empty()) body += chunk("seq ", dwords(o.sequence));
    QByteArray fram;
    for (const QByteArray& c : curFiles) fram += chunk("icon", c);
    body += list("fram", fram);
    return list("ACON", body, "RIFF");
}

// ---- AVI ----

// RLE8 of one bottom-up 8-bit frame (rows of exactly width bytes): runs of
// equal pixels as (count, index), stretches of differing pixels as absolute
// blocks, an end-of-line after every row and end-of-bitmap at the end.
inline QByteArray rle8Encode(const QImage& indexed) {
    QByteArray out;
    const int w = indexed.width();
    for (int y = indexed.height() - 1; y >= 0; --y) {
        const uchar* row = indexed.constScanLine(y);
        int x = 0;
        while (x < w) {
            int run = 1;
            while (x + run < w && run < 255 && row[x + run] == row[x]) ++run;
            if (run >= 3 || w - x < 3) {
                out.append(char(run));
                out.append(char(row[x]));
                x += run;
                continue;
            }
            // Absolute block until the next run of three equal pixels.
            int n = 0;
            while (x + n < w && n < 255) {
                if (x + n + 2 < w && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2])
                    break;
                ++n;
            }
            if (n < 3) {  // too short for a block: single-pixel runs
                for (int i = 0; i < n; ++i) {
                    out.append('\1');
                    out.append(char(row[x + i]));
                }
            } else {
                out.append('\0');
                out.append(char(n));
                out.append(reinterpret_cast<const char*>(row + x), n);
                if (n % 2) out.append('\0');
            }
            x += n;
        }
        out.append('\0');
        out.append(y == 0 ? '\1' : '\0');
    }
    return out;
}

// An AVI clip of one video stream from ready frame data: w x h frames of
// bits (8 or 24) per pixel, compression 0 (BI_RGB, chunks "00db") or 1
// (BI_RLE8, chunks "00dc"), the palette of 8-bit frames.
inline QByteArray aviFromChunks(int w, int h, int bits, int compression, const QVector<QRgb>& palette,
                                const QList<QByteArray>& data, int microsPerFrame) {
    const char* frameId = compression == 1 ? "00dc" : "00db";
    quint32 largest = 0;
    for (const QByteArray& d : data) largest = std::max(largest, quint32(d.size()));

    QByteArray avih;
    putLe32(avih, quint32(microsPerFrame));
    putLe32(avih, quint32(qint64(largest) * 1000000 / std::max(1, microsPerFrame)));
    putLe32(avih, 0);     // padding granularity
    putLe32(avih, 0x10);  // AVIF_HASINDEX
    putLe32(avih, quint32(data.size()));
    putLe32(avih, 0);  // initial frames
    putLe32(avih, 1);  // streams
    putLe32(avih, largest);
    putLe32(avih, quint32(w));
    putLe32(avih, quint32(h));
    for (int i = 0; i < 4; ++i) putLe32(avih, 0);

    QByteArray strh;
    putFourCC(strh, "vids");
    putLe32(strh, compression == 1 ? 1 : 0);  // handler: RLE or DIB
    putLe32(strh, 0);                         // flags
    putLe16(strh, 0);                         // priority
    putLe16(strh, 0);                         // language
    putLe32(strh, 0);                         // initial frames
    putLe32(strh, quint32(microsPerFrame));   // scale
    putLe32(strh, 1000000);                   // rate: rate / scale = frames per second
    putLe32(strh, 0);                         // start
    putLe32(strh, quint32(data.size()));      // length
    putLe32(strh, largest);                   // suggested buffer size
    putLe32(strh, 0xFFFFFFFF);                // quality: default
    putLe32(strh, 0);                         // sample size
    putLe16(strh, 0);                         // frame rectangle
    putLe16(strh, 0);
    putLe16(strh, quint16(w));
    putLe16(strh, quint16(h));

    QByteArray strf;
    putLe32(strf, 40);
    putLe32(strf, quint32(w));
    putLe32(strf, quint32(h));
    putLe16(strf, 1);
    putLe16(strf, quint16(bits));
    putLe32(strf, quint32(compression));
    putLe32(strf, quint32(dibStride(w, bits) * h));
    putLe32(strf, 0);
    putLe32(strf, 0);
    putLe32(strf, quint32(palette.size()));
    putLe32(strf, 0);
    for (QRgb c : palette) {
        strf.append(char(qBlue(c)));
        strf.append(char(qGreen(c)));
        strf.append(char(qRed(c)));
        strf.append('\0');
    }

    const QByteArray hdrl =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    QByteArray movi;
    QByteArray idx1;
    for (const QByteArray& d : data) {
        putFourCC(idx1, frameId);
        putLe32(idx1, 0x10);                      // key frame
        putLe32(idx1, quint32(4 + movi.size()));  // offset from the "movi" type
        putLe32(idx1, quint32(d.size()));
        movi += chunk(frameId, d);
    }
    return list("AVI ", hdrl + list("movi", movi) + chunk("idx1", idx1), "RIFF");
}

enum class AviFrames { Raw8, Rle8, Raw24 };

// An AVI clip from pictures: Format_Indexed8 images sharing the first one's
// colour table (Raw8, Rle8), any format for Raw24.
inline QByteArray aviFile(const QList<QImage>& frames, int microsPerFrame, AviFrames kind) {
    const int w = frames.isEmpty() ? 0 : frames.first().width();
    const int h = frames.isEmpty() ? 0 : frames.first().height();
    const int bits = kind == AviFrames::Raw24 ? 24 : 8;
    const QVector<QRgb> palette = kind == AviFrames::Raw24 || frames.isEmpty()
                                      ? QVector<QRgb>()
                                      : frames.first().colorTable();
    QList<QByteArray> data;
    for (const QImage& f : frames) {
        if (kind == AviFrames::Rle8) {
            data.append(rle8Encode(f));
            continue;
        }
        const QImage src = kind == AviFrames::Raw24 ? f.convertToFormat(QImage::Format_RGB888) : f;
        const int stride = dibStride(w, bits);
        QByteArray d;
        for (int y = h - 1; y >= 0; --y) {  // bottom-up
            QByteArray row(stride, '\0');
            const uchar* s = src.constScanLine(y);
            if (bits == 8) {
                memcpy(row.data(), s, size_t(w));
            } else {
                for (int x = 0; x < w; ++x) {  // RGB888 in memory: R, G, B
                    row[x * 3] = char(s[x * 3 + 2]);
                    row[x * 3 + 1] = char(s[x * 3 + 1]);
                    row[x * 3 + 2] = char(s[x * 3]);
                }
            }
            d += row;
        }
        data.append(d);
    }
    return aviFromChunks(w, h, bits, kind == AviFrames::Rle8 ? 1 : 0, palette, data, microsPerFrame);
}

}  // namespace media
