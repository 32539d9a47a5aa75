#pragma once
#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

// Reading of animated cursors (.ani): a RIFF "ACON" file with an "anih"
// header, optional "rate" and "seq " chunks and a LIST "fram" of "icon"
// chunks, each a complete .ico/.cur file whose image is a DIB (1, 4, 8, 24 or
// 32 bits with AND mask) or PNG. Malformed input gives an error, never a
// crash; sizes and counts are bounded so that a bogus header cannot make the
// reader allocate much memory.

struct AniAnimation {
    QList<QImage> frames;  // one per step, in play order (ARGB32 premultiplied)
    // The same steps at twice the resolution, for screens scaled by two, when
    // every frame's icon holds an image of twice the size (device pixel
    // ratio 2 set); empty otherwise.
    QList<QImage> frames2x;
    QList<int> durations;  // milliseconds per step, each at least 1
    QSize size() const;    // the size that holds every frame
    int totalDuration() const;
    bool isEmpty() const { return frames.isEmpty(); }
};

// Empty on failure, with the reason in *error.
AniAnimation readAni(QByteArrayView bytes, QString* error = nullptr);
AniAnimation readAniFile(const QString& path, QString* error = nullptr);

// The image of an .ico or .cur file; for files holding several images, the
// one closest to 32 x 32 with the most colours. Null on failure.
QImage readCursorImage(QByteArrayView bytes, QString* error = nullptr);
// The same, choosing the image closest to the given size.
QImage readCursorImage(QByteArrayView bytes, QSize target, QString* error = nullptr);

// ---- RIFF chunk walking (shared with the AVI reader) ----

namespace riff {

inline quint16 le16(QByteArrayView d, qsizetype at) {
    return quint16(uchar(d[at]) | uchar(d[at + 1]) << 8);
}
inline quint32 le32(QByteArrayView d, qsizetype at) {
    return quint32(uchar(d[at])) | quint32(uchar(d[at + 1])) << 8 |
           quint32(uchar(d[at + 2])) << 16 | quint32(uchar(d[at + 3])) << 24;
}

// Walks the chunks of a RIFF body (or of a LIST after its type):
//   for (riff::Chunks c(body); c.next();) use(c.id(), c.data());
//   if (c.failed()) ...
// A chunk whose size runs past the end stops the walk as a failure; a
// missing pad byte after the last chunk is tolerated.
class Chunks {
public:
    explicit Chunks(QByteArrayView body) : body_(body) {}
    bool next() {
        if (failed_ || pos_ >= body_.size()) return false;
        if (body_.size() - pos_ < 8) return fail();
        const quint32 size = le32(body_, pos_ + 4);
        if (size > quint64(body_.size() - pos_ - 8)) return fail();
        id_ = body_.sliced(pos_, 4);
        data_ = body_.sliced(pos_ + 8, size);
        pos_ += 8 + qsizetype(size) + (size & 1);
        return true;
    }
    QByteArrayView id() const { return id_; }
    QByteArrayView data() const { return data_; }
    // A LIST chunk's form type and its contents.
    bool isList(const char* type) const {
        return id_ == QByteArrayView("LIST") && data_.size() >= 4 &&
               data_.first(4) == QByteArrayView(type, 4);
    }
    QByteArrayView listBody() const { return data_.sliced(4); }
    bool failed() const { return failed_; }

private:
    bool fail() {
        failed_ = true;
        return false;
    }
    QByteArrayView body_, id_, data_;
    qsizetype pos_ = 0;
    bool failed_ = false;
};

// The body of a RIFF file of the given form type ("ACON", "AVI "). False,
// with the reason, when the header does not match or the declared size
// exceeds the data (a truncated file); bytes after the declared end are
// ignored.
inline bool fileBody(QByteArrayView bytes, const char* form, QByteArrayView& body, QString* error) {
    if (bytes.size() < 12 || bytes.first(4) != QByteArrayView("RIFF") ||
        bytes.sliced(8, 4) != QByteArrayView(form, 4)) {
        if (error) *error = QStringLiteral("not a RIFF %1 file").arg(QLatin1String(form, 4).trimmed());
        return false;
    }
    const quint32 size = le32(bytes, 4);
    if (size < 4 || size > quint64(bytes.size() - 8)) {
        if (error) *error = QStringLiteral("file is truncated");
        return false;
    }
    body = bytes.sliced(12, size - 4);
    return true;
}

}  // namespace riff
