// The media readers and players on the generated data files and on hostile
// input: animated cursors, the progress figure, AVI clips, WAV sounds.
#include "testenv.h"
#include "platform/animfigur.h"
#include "platform/anireader.h"
#include "platform/aviplayer.h"
#include "platform/avireader.h"
#include "tools/media/mediawriters.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QMap>
#include <QRandomGenerator>
#include <QtEndian>

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void setLe32(QByteArray& b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }

// The offset of the data of the first chunk with this id (searching the
// raw bytes is enough for the files the tests build).
qsizetype chunkData(const QByteArray& file, const char* id) {
    const qsizetype at = file.indexOf(QByteArray(id, 4));
    return at < 0 ? -1 : at + 8;
}

// The .cur files inside an animated cursor, in file order.
QList<QByteArray> iconChunks(const QByteArray& ani) {
    QList<QByteArray> icons;
    QByteArrayView body;
    if (!riff::fileBody(ani, "ACON", body, nullptr)) return icons;
    for (riff::Chunks c(body); c.next();)
        if (c.isList("fram"))
            for (riff::Chunks f(c.listBody()); f.next();) icons.append(f.data().toByteArray());
    return icons;
}

// Three 20 x 20 frames with up to three opaque colours on transparency; 20
// pixels make the colour and mask rows of every depth need padding.
QList<QImage> sampleFrames(int colours, int width = 20) {
    const QRgb palette[] = {qRgb(30, 160, 40), qRgb(250, 200, 20), qRgb(200, 40, 60)};
    QList<QImage> frames;
    for (int f = 0; f < 3; ++f) {
        QImage img(width, 20, QImage::Format_ARGB32);
        img.fill(0);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < width; ++x) {
                if (x >= 2 + f * 4 && x < 10 + f * 4 && y >= 4 && y < 14) img.setPixel(x, y, palette[0]);
                if (colours > 1 && x == y) img.setPixel(x, y, palette[1]);
                if (colours > 2 && y == 17 && x > f) img.setPixel(x, y, palette[2]);
            }
        frames.append(img);
    }
    return frames;
}

QByteArray sampleAni(int bits, const media::AniOptions& o = {}, int width = 20) {
    const QList<QImage> frames = sampleFrames(bits == 1 ? 1 : 3, width);
    QList<QByteArray> curs;
    for (const QImage& f : frames) {
        QByteArray payload;
        if (bits == 0) {  // PNG payload
            QBuffer buf(&payload);
            buf.open(QIODevice::WriteOnly);
            f.save(&buf, "PNG");
        } else {
            payload = media::iconDib(f, bits);
        }
        curs.append(media::curFile(payload, f.width(), f.height(), QPoint(1, 2)));
    }
    return media::aniFile(curs, width, 20, o);
}

QImage premultiplied(const QImage& img) { return img.convertToFormat(QImage::Format_ARGB32_Premultiplied); }

// Random damage: a few bytes overwritten, sometimes a cut.
QByteArray mutate(QByteArray b, QRandomGenerator& rng) {
    const int changes = 1 + int(rng.bounded(8));
    for (int i = 0; i < changes && !b.isEmpty(); ++i) {
        const qsizetype at = rng.bounded(int(b.size()));
        if (rng.bounded(4) == 0 && at + 4 <= b.size())
            setLe32(b, at, rng.bounded(2) ? 0xFFFFFFF0u : rng.generate());  // a bogus size
        else
            b[at] = char(rng.generate());
    }
    if (rng.bounded(5) == 0) b.truncate(rng.bounded(int(b.size()) + 1));
    return b;
}

QByteArray garbage(int size) {
    QRandomGenerator rng(7);
    QByteArray b(size, '\0');
    for (char& c : b) c = char(rng.generate());
    return b;
}

}  // namespace

class TestMedia : public QObject {
    Q_OBJECT

private slots:
    void aniDino();
    void aniVariants_data();
    void aniVariants();
    void aniMalformed_data();
    void aniMalformed();
    void aniFuzz();
    void aniZweifach_data();
    void aniZweifach();

    void figurPlacedMovedRemoved();
    void figurNotShown_data();
    void figurNotShown();
    void figurFollowsFileChanges();
    void figurAnimates();

    void aviClip();
    void aviVariants_data();
    void aviVariants();
    void aviRleUpdatesPartsOfThePicture();
    void aviMalformed_data();
    void aviMalformed();
    void aviFuzz();
    void aviPlayer();

    void wavFiles_data();
    void wavFiles();

private:
    TestEnv env;
    QString file(const QString& name) const { return env.programDir() + '/' + name; }
};

// ---- animated cursors ----

void TestMedia::aniDino() {
    const QByteArray bytes = readFile(file("dino.ani"));
    QString error;
    const AniAnimation a = readAni(bytes, &error);
    QVERIFY2(!a.isEmpty(), qPrintable(error));
    QCOMPARE(a.frames.size(), 6);
    QCOMPARE(a.size(), QSize(32, 32));
    QCOMPARE(a.durations, QList<int>(6, 133));  // 8 jiffies of 1/60 s
    // The legs move: no two neighbouring frames are alike.
    for (int i = 0; i < 6; ++i) QVERIFY(a.frames[i] != a.frames[(i + 1) % 6]);
    const QImage f = a.frames[0].convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(f.pixel(0, 0)), 0);  // transparent corner
    const QRgb body = f.pixel(10, 20);
    QCOMPARE(qAlpha(body), 255);
    QVERIFY(qGreen(body) > qRed(body) + 50 && qGreen(body) > qBlue(body) + 50);

    // Qt's own icon reader sees the same pictures in the frames.
    const QList<QByteArray> icons = iconChunks(bytes);
    QCOMPARE(icons.size(), 6);
    if (!QImageReader::supportedImageFormats().contains("ico")) QSKIP("no icon image plugin");
    for (int i = 0; i < 6; ++i)
        QCOMPARE(premultiplied(QImage::fromData(icons[i], "ICO")), a.frames[i]);
}

void TestMedia::aniVariants_data() {
    QTest::addColumn<QByteArray>("ani");
    QTest::addColumn<QList<int>>("order");  // sample frame shown by each step
    QTest::addColumn<QList<int>>("durations");
    QTest::addColumn<int>("width");

    const QList<int> plain{0, 1, 2};
    const QList<int> eight(3, 133);
    QTest::newRow("1 bit") << sampleAni(1) << plain << eight << 20;
    QTest::newRow("1 bit, 33 wide") << sampleAni(1, {}, 33) << plain << eight << 33;
    QTest::newRow("4 bits") << sampleAni(4) << plain << eight << 20;
    QTest::newRow("8 bits") << sampleAni(8) << plain << eight << 20;
    QTest::newRow("24 bits") << sampleAni(24) << plain << eight << 20;
    QTest::newRow("32 bits") << sampleAni(32) << plain << eight << 20;
    QTest::newRow("png") << sampleAni(0) << plain << eight << 20;

    media::AniOptions seq;
    seq.sequence = {0, 1, 2, 1};
    seq.rates = {5, 10, 15, 20};
    QTest::newRow("sequence and rates") << sampleAni(32, seq) << QList<int>{0, 1, 2, 1}
                                        << QList<int>{83, 167, 250, 333} << 20;
    media::AniOptions rates;
    rates.rates = {1, 2, 60};
    QTest::newRow("rates only") << sampleAni(8, rates) << plain << QList<int>{17, 33, 1000} << 20;
    media::AniOptions zero;
    zero.jiffies = 0;  // would spin the timer: at least one jiffy
    QTest::newRow("zero rate") << sampleAni(32, zero) << plain << QList<int>(3, 17) << 20;
}

void TestMedia::aniVariants() {
    QFETCH(QByteArray, ani);
    QFETCH(QList<int>, order);
    QFETCH(QList<int>, durations);
    QFETCH(int, width);
    QString error;
    const AniAnimation a = readAni(ani, &error);
    QVERIFY2(!a.isEmpty(), qPrintable(error));
    QCOMPARE(a.durations, durations);
    QCOMPARE(a.frames.size(), order.size());
    const QList<QImage> samples = sampleFrames(QByteArray(QTest::currentDataTag()).startsWith("1 bit") ? 1 : 3, width);
    for (int s = 0; s < order.size(); ++s) QCOMPARE(a.frames[s], premultiplied(samples[order[s]]));

    // Qt's own icon reader agrees on every frame. (It ignores the AND mask
    // of 24-bit images, which other readers apply.)
    if (!QImageReader::supportedImageFormats().contains("ico") || QTest::currentDataTag() == QByteArray("24 bits"))
        return;
    const QList<QByteArray> icons = iconChunks(ani);
    for (int s = 0; s < order.size(); ++s)
        QCOMPARE(premultiplied(QImage::fromData(icons[order[s]], "ICO")), a.frames[s]);
}

void TestMedia::aniMalformed_data() {
    QTest::addColumn<QByteArray>("bytes");
    // One image per frame, so a damaged image has no other size to fall back on.
    const QByteArray dino = sampleAni(32);
    QVERIFY(dino.size() > 1000);
    const qsizetype anih = chunkData(dino, "anih");
    const qsizetype icon = chunkData(dino, "icon");
    const qsizetype dib = icon + 22;  // the DIB after the one directory entry
    auto patched = [&](qsizetype at, quint32 v) {
        QByteArray b = dino;
        setLe32(b, at, v);
        return b;
    };
    auto replaced = [&](const char* from, const char* to) {
        QByteArray b = dino;
        b.replace(b.indexOf(from), 4, to);
        return b;
    };

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << garbage(4096);
    QTest::newRow("wrong magic") << replaced("RIFF", "RIFX");
    QTest::newRow("wrong form") << replaced("ACON", "AVI ");
    QTest::newRow("header only") << dino.left(12);
    QTest::newRow("truncated half") << dino.left(dino.size() / 2);
    QTest::newRow("truncated by one byte") << dino.left(dino.size() - 1);
    QTest::newRow("riff size huge") << patched(4, 0xFFFFFFF0);
    QTest::newRow("no anih") << replaced("anih", "anix");
    QTest::newRow("anih too short") << patched(anih - 4, 20);
    QTest::newRow("frame count huge") << patched(anih + 4, 0xFFFFFFFF);
    QTest::newRow("frame count zero") << patched(anih + 4, 0);
    QTest::newRow("more frames than stored") << patched(anih + 4, 7);
    QTest::newRow("step count huge") << patched(anih + 8, 0x7FFFFFFF);
    QTest::newRow("raw frames flag") << patched(anih + 32, 0);
    QTest::newRow("icon chunk size bogus") << patched(icon - 4, 0xFFFFFFF0);
    QTest::newRow("icon offset outside") << patched(icon + 18, 0xFFFFFF00);
    QTest::newRow("icon type 3") << patched(icon, 0x00030000);
    QTest::newRow("bitmap width huge") << patched(dib + 4, 100000);
    QTest::newRow("bitmap height negative") << patched(dib + 8, quint32(-64));
    QTest::newRow("bitmap header size huge") << patched(dib, 0x7FFFFFFF);
    QTest::newRow("bitmap of 7 bits") << patched(dib + 12, 0x00070001);
    QTest::newRow("bitmap compressed") << patched(dib + 16, 1);

    media::AniOptions seq;
    seq.sequence = {0, 5};
    QTest::newRow("sequence past the frames") << sampleAni(32, seq);
    seq.sequence = {0, 1};
    QByteArray shortSeq = sampleAni(32, seq);
    setLe32(shortSeq, chunkData(shortSeq, "anih") + 8, 3);  // three steps
    QTest::newRow("sequence shorter than steps") << shortSeq;

    // A PNG frame claiming a picture far too large to inflate.
    QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    png += QByteArray("\x00\x01\x86\xa0\x00\x01\x86\xa0\x08\x06\0\0\0", 13);
    QTest::newRow("png of 100000 x 100000")
        << media::aniFile({media::curFile(png, 0, 0, QPoint())}, 256, 256);
}

// Frames that also hold an image of twice the size give the sharper set for
// scaled screens; a set that is not complete gives none.
void TestMedia::aniZweifach_data() {
    QTest::addColumn<int>("zweiteGroesse");  // of the second image of frame 1
    QTest::addColumn<bool>("scharf");
    QTest::newRow("every frame doubled") << 60 << true;
    QTest::newRow("one frame of another size") << 50 << false;
    QTest::newRow("one image only") << 0 << false;
}

void TestMedia::aniZweifach() {
    QFETCH(int, zweiteGroesse);
    QFETCH(bool, scharf);
    const QList<QImage> frames = sampleFrames(3);
    QList<QByteArray> curs;
    for (int f = 0; f < frames.size(); ++f) {
        const int gross = f == 1 ? zweiteGroesse : 60;
        QList<media::CurImage> bilder{{media::iconDib(frames[f].scaled(30, 30), 32), 30, 30, QPoint()}};
        if (gross)
            bilder.prepend({media::iconDib(frames[f].scaled(gross, gross), 32), gross, gross, QPoint()});
        curs.append(media::curFile(bilder));
    }
    const AniAnimation a = readAni(media::aniFile(curs, 30, 30));
    QCOMPARE(a.frames.size(), 3);
    QCOMPARE(a.frames[0].size(), QSize(30, 30));  // the plain frames are the ones near 32
    QCOMPARE(a.frames2x.size(), scharf ? 3 : 0);
    if (scharf) {
        QCOMPARE(a.frames2x[2].size(), QSize(60, 60));
        QCOMPARE(a.frames2x[2].devicePixelRatio(), 2.0);
        QImage erwartet = premultiplied(frames[2].scaled(60, 60));
        erwartet.setDevicePixelRatio(2);
        QCOMPARE(a.frames2x[2], erwartet);
    }
}

void TestMedia::aniMalformed() {
    QFETCH(QByteArray, bytes);
    QString error;
    const AniAnimation a = readAni(bytes, &error);
    QVERIFY(a.isEmpty());
    QVERIFY(a.durations.isEmpty());
    QVERIFY(!error.isEmpty());
    // Where the header or the sequence is at fault, the reason names it:
    // another check failing first would hide a missing one.
    static const QMap<QString, QString> kGrund{
        {"no anih", "no anih header"}, {"anih too short", "anih header is truncated"},
        {"frame count zero", "header names 0 frames"}, {"more frames than stored", "header names 7 frames, the"},
        {"step count huge", "header names 2147483647 steps"}, {"raw frames flag", "frames are raw bitmaps"},
        {"sequence past the frames", "step 1 shows frame 5 of"},
        {"sequence shorter than steps", "sequence is shorter than 3 steps"}};
    const QString grund = kGrund.value(QString::fromLatin1(QTest::currentDataTag()));
    if (!grund.isEmpty()) QVERIFY2(error.startsWith(grund), qPrintable(error));
}

void TestMedia::aniFuzz() {
    const QList<QByteArray> seeds{readFile(file("dino.ani")), sampleAni(4),
                                  sampleAni(32, {8, {3, 4, 5, 6}, {2, 1, 0, 1}, {}, {}}), sampleAni(0)};
    QRandomGenerator rng(20240611);
    int decoded = 0;
    for (int i = 0; i < 3000; ++i) {
        const AniAnimation a = readAni(mutate(seeds[i % seeds.size()], rng));
        QCOMPARE(a.durations.size(), a.frames.size());
        if (a.isEmpty()) continue;
        ++decoded;
        QVERIFY(a.size().width() <= 256 && a.size().height() <= 256);
        for (int ms : a.durations) QVERIFY(ms >= 1);
    }
    QVERIFY(decoded > 0);  // damage to pixels alone still gives a picture
}

// ---- the progress figure ----

void TestMedia::figurPlacedMovedRemoved() {
    QWidget strip;
    strip.resize(601, 41);
    strip.show();
    AnimFigur figur;
    AnimZeigen(figur, file("dino.ani"), &strip, 280, 0);
    QVERIFY(figur.geladen);
    QVERIFY(figur.fenster);
    QCOMPARE(figur.fenster->parentWidget(), &strip);
    QCOMPARE(figur.fenster->geometry(), QRect(280, 0, 32, 32));
    QVERIFY(figur.fenster->isVisible());

    // Showing it again moves the same window: one figure, at the new place.
    QPointer<QWidget> first = figur.fenster;
    AnimZeigen(figur, file("dino.ani"), &strip, 560, 0);
    QCOMPARE(figur.fenster.data(), first.data());
    QCOMPARE(strip.findChildren<QWidget*>().size(), 1);
    QCOMPARE(figur.fenster->pos(), QPoint(560, 0));

    AnimEntfernen(figur);
    QVERIFY(!figur.fenster);
    QVERIFY(!figur.geladen);
    QVERIFY(strip.findChildren<QWidget*>().isEmpty());
    AnimEntfernen(figur);  // removing nothing is harmless
}

void TestMedia::figurNotShown_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // written under name unless null
    QTest::addColumn<bool>("withParent");
    QTest::newRow("missing file") << "nothing.ani" << QByteArray() << true;
    QTest::newRow("garbage") << "garbage.ani" << garbage(3000) << true;
    QTest::newRow("truncated") << "cut.ani" << readFile(file("dino.ani")).left(900) << true;
    QTest::newRow("empty file") << "empty.ani" << QByteArray("") << true;
    QTest::newRow("no parent") << "dino.ani" << QByteArray() << false;
}

void TestMedia::figurNotShown() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, withParent);
    if (!bytes.isNull()) env.writeFile(name, bytes);
    QWidget strip;
    AnimFigur figur;
    // A figure left from before goes away even when the new one cannot show.
    AnimZeigen(figur, file("dino.ani"), &strip, 0, 0);
    QVERIFY(figur.fenster);
    for (int i = 0; i < 2; ++i) {  // the second time from the cache
        AnimZeigen(figur, file(name), withParent ? &strip : nullptr, 10, 0);
        QVERIFY(!figur.fenster);
        QVERIFY(!figur.geladen);
        QVERIFY(strip.findChildren<QWidget*>().isEmpty());
    }
}

void TestMedia::figurFollowsFileChanges() {
    const QString path = file("changing.ani");
    const QByteArray dino = readFile(file("dino.ani"));
    QWidget strip;
    AnimFigur figur;
    auto rewrite = [&](const QByteArray& bytes, int secondsLater) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(secondsLater),
                              QFileDevice::FileModificationTime));
    };

    rewrite(dino, 0);
    AnimZeigen(figur, path, &strip, 0, 0);
    QVERIFY(figur.fenster);
    QCOMPARE(figur.fenster->size(), QSize(32, 32));

    rewrite(sampleAni(8), 10);  // another figure of another size
    AnimZeigen(figur, path, &strip, 0, 0);
    QVERIFY(figur.fenster);
    QCOMPARE(figur.fenster->size(), QSize(20, 20));

    rewrite(garbage(int(sampleAni(8).size())), 20);  // same size, newer, broken
    AnimZeigen(figur, path, &strip, 0, 0);
    QVERIFY(!figur.fenster);

    rewrite(dino, 30);
    AnimZeigen(figur, path, &strip, 0, 0);
    QVERIFY(figur.fenster);

    QFile::remove(path);
    AnimZeigen(figur, path, &strip, 0, 0);
    QVERIFY(!figur.fenster);
}

void TestMedia::figurAnimates() {
    QWidget strip;
    strip.resize(100, 41);
    strip.show();
    AnimFigur figur;
    AnimZeigen(figur, file("dino.ani"), &strip, 0, 0);
    QVERIFY(figur.fenster);
    const QImage start = figur.fenster->grab().toImage();
    QVERIFY(start.pixelColor(10, 20).green() > 150);  // the dino, not an empty box
    QTRY_VERIFY_WITH_TIMEOUT(figur.fenster->grab().toImage() != start, 1000);
    AnimEntfernen(figur);
}

// ---- AVI clips ----

void TestMedia::aviClip() {
    QString error;
    const AviClip clip = readAviFile(file("FILEMOVE.AVI"), &error);
    QVERIFY2(!clip.isEmpty(), qPrintable(error));
    QCOMPARE(clip.frames.size(), 16);
    QCOMPARE(clip.size(), QSize(272, 60));
    QCOMPARE(clip.framePeriodMs, 100);
    const QColor background = clip.frames[0].pixelColor(136, 56);
    QVERIFY(background.lightness() > 200);
    for (int x : {40, 230}) {  // the folders: yellow
        const QColor folder = clip.frames[0].pixelColor(x, 45);
        QVERIFY(folder.red() > 200 && folder.green() > 150 && folder.blue() < 120);
    }
    // The sheet flies: the middle of the way is empty at the start and at
    // the end, and crossed in between.
    QCOMPARE(clip.frames[0].copy(100, 0, 72, 60), clip.frames[15].copy(100, 0, 72, 60));
    QVERIFY(clip.frames[7].copy(100, 0, 72, 60) != clip.frames[0].copy(100, 0, 72, 60));
}

void TestMedia::aviVariants_data() {
    QTest::addColumn<QByteArray>("avi");
    QTest::addColumn<QList<QImage>>("frames");

    // 37 x 23 with noise and flat stretches: row padding and every RLE8 mode.
    QVector<QRgb> palette;
    for (int i = 0; i < 256; ++i) palette.append(qRgb(i, 255 - i, (i * 7) % 256));
    QList<QImage> frames;
    QRandomGenerator rng(3);
    for (int f = 0; f < 4; ++f) {
        QImage img(37, 23, QImage::Format_Indexed8);
        img.setColorTable(palette);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x)
                img.setPixel(x, y, (x + f) % 9 < 4 ? uint(rng.bounded(256)) : uint(y * 10 + f));
        frames.append(img);
    }
    QList<QImage> rgb;
    for (const QImage& f : frames) rgb.append(f.convertToFormat(QImage::Format_RGB32));
    QTest::newRow("8 bits") << media::aviFile(frames, 50000, media::AviFrames::Raw8) << rgb;
    QTest::newRow("rle8") << media::aviFile(frames, 50000, media::AviFrames::Rle8) << rgb;
    QTest::newRow("24 bits") << media::aviFile(rgb, 50000, media::AviFrames::Raw24) << rgb;
}

void TestMedia::aviVariants() {
    QFETCH(QByteArray, avi);
    QFETCH(QList<QImage>, frames);
    QString error;
    const AviClip clip = readAvi(avi, &error);
    QVERIFY2(!clip.isEmpty(), qPrintable(error));
    QCOMPARE(clip.framePeriodMs, 50);
    QCOMPARE(clip.frames.size(), frames.size());
    for (int i = 0; i < frames.size(); ++i) QCOMPARE(clip.frames[i], frames[i]);
}

void TestMedia::aviRleUpdatesPartsOfThePicture() {
    // A 4 x 3 picture of colour 1, then a frame that moves to (1, 1) from the
    // bottom left and writes two pixels of colour 2, then a palette change
    // and an empty (dropped) frame, then runs that overflow the rows.
    QVector<QRgb> palette{qRgb(0, 0, 0), qRgb(10, 10, 10), qRgb(20, 20, 20), qRgb(30, 30, 30)};
    const QByteArray full("\x04\x01\0\0\x04\x01\0\0\x04\x01\0\x01", 12);
    const QByteArray patch("\0\x02\x01\x01\x02\x02\0\x01", 8);
    const QByteArray overflow("\xff\x03\0\x05\x01\x02\x03\x01\x02\0\0\0\xff\x03", 14);
    QByteArray avi = media::aviFromChunks(4, 3, 8, 1, palette, {full, patch, QByteArray(), overflow}, 100000);
    // Turn the empty frame's chunk into a palette change of entry 2 followed
    // by the dropped frame: rebuild the movi list by hand.
    const QByteArray pc = media::chunk("00pc", QByteArray("\x02\x01\0\0\x50\x60\x70\0", 8));
    avi.insert(avi.indexOf(QByteArray("00dc\0\0\0\0", 8)), pc);
    setLe32(avi, 4, quint32(avi.size() - 8));
    const qsizetype movi = avi.indexOf("movi") - 8;
    setLe32(avi, movi + 4, riff::le32(avi, movi + 4) + quint32(pc.size()));

    QString error;
    const AviClip clip = readAvi(avi, &error);
    QVERIFY2(!clip.isEmpty(), qPrintable(error));
    QCOMPARE(clip.frames.size(), 4);
    auto at = [&](int frame, int x, int y) { return clip.frames[frame].pixel(x, y) & 0xffffff; };
    QCOMPARE(at(0, 0, 0), 0x0a0a0au);
    QCOMPARE(at(1, 0, 1), 0x0a0a0au);
    QCOMPARE(at(1, 1, 1), 0x141414u);  // y counts from the bottom: the middle row
    QCOMPARE(at(1, 2, 1), 0x141414u);
    QCOMPARE(at(1, 3, 1), 0x0a0a0au);
    QCOMPARE(at(2, 1, 1), 0x506070u);  // the same picture in the new colour
    // Runs and blocks past the row are cut off; the next line starts fresh.
    QCOMPARE(at(3, 3, 2), 0x1e1e1eu);
    QCOMPARE(at(3, 0, 1), 0x1e1e1eu);
    QCOMPARE(at(3, 3, 1), 0x1e1e1eu);
    QCOMPARE(at(3, 0, 0), 0x0a0a0au);  // untouched
}

void TestMedia::aviMalformed_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray clip = readFile(file("FILEMOVE.AVI"));
    QVERIFY(clip.size() > 1000);
    const qsizetype strf = chunkData(clip, "strf");
    auto patched = [&](qsizetype at, quint32 v) {
        QByteArray b = clip;
        setLe32(b, at, v);
        return b;
    };
    auto replaced = [&](const char* from, const char* to) {
        QByteArray b = clip;
        b.replace(b.indexOf(from), 4, to);
        return b;
    };
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << garbage(20000);
    QTest::newRow("wrong magic") << replaced("RIFF", "RIFX");
    QTest::newRow("wrong form") << replaced("AVI ", "ACON");
    QTest::newRow("truncated half") << clip.left(clip.size() / 2);
    QTest::newRow("truncated by one byte") << clip.left(clip.size() - 1);
    QTest::newRow("riff size huge") << patched(4, 0xFFFFFFF0);
    QTest::newRow("no main header") << replaced("avih", "avix");
    QTest::newRow("no video format") << replaced("strf", "strx");
    QTest::newRow("no video stream") << replaced("vids", "auds");
    QTest::newRow("no frames list") << replaced("movi", "movx");
    QTest::newRow("width huge") << patched(strf + 4, 1000000);
    QTest::newRow("height zero") << patched(strf + 8, 0);
    QTest::newRow("height most negative") << patched(strf + 8, 0x80000000);
    QTest::newRow("16 bits") << patched(strf + 12, 0x00100001);
    QTest::newRow("jpeg frames") << patched(strf + 16, 4);
    QTest::newRow("palette of 1000 colours") << patched(strf + 32, 1000);
    QTest::newRow("frame chunk size bogus") << patched(chunkData(clip, "00dc") - 4, 0xFFFFFFF0);

    const QVector<QRgb> grey{qRgb(1, 1, 1)};
    QTest::newRow("short raw frame")
        << media::aviFromChunks(8, 8, 8, 0, grey, {QByteArray(63, '\0')}, 100000);
    QTest::newRow("no frame at all") << media::aviFromChunks(8, 8, 8, 0, grey, {}, 100000);
    QTest::newRow("far too many frames")
        << media::aviFromChunks(2000, 2000, 8, 1, grey, QList<QByteArray>(5, QByteArray("\0\1", 2)), 100000);
}

void TestMedia::aviMalformed() {
    QFETCH(QByteArray, bytes);
    QString error;
    const AviClip clip = readAvi(bytes, &error);
    QVERIFY(clip.isEmpty());
    QVERIFY(!error.isEmpty());
}

void TestMedia::aviFuzz() {
    const QByteArray clip = readFile(file("FILEMOVE.AVI"));
    QRandomGenerator rng(99);
    int decoded = 0;
    for (int i = 0; i < 600; ++i) {
        const AviClip c = readAvi(mutate(clip, rng));
        if (c.isEmpty()) continue;
        ++decoded;
        for (const QImage& f : c.frames) QCOMPARE(f.size(), c.size());
        QVERIFY(c.framePeriodMs >= 10 && c.framePeriodMs <= 5000);
    }
    QVERIFY(decoded > 0);
}

void TestMedia::aviPlayer() {
    AviPlayer player;
    QVERIFY(!player.open(file("nothing.AVI")));
    QCOMPARE(player.frameCount(), 0);
    player.play();
    QVERIFY(!player.isPlaying());

    QVERIFY(player.open(file("FILEMOVE.AVI")));
    QCOMPARE(player.frameCount(), 16);
    QCOMPARE(player.sizeHint(), QSize(272, 60));
    player.resize(player.sizeHint());
    player.show();
    player.play();
    QVERIFY(player.isPlaying());
    QTRY_VERIFY_WITH_TIMEOUT(player.currentFrame() >= 3, 2000);
    player.stop();
    QVERIFY(!player.isPlaying());

    // Opening a broken file stops the clip and leaves the player empty.
    env.writeFile("broken.AVI", garbage(500));
    player.play();
    QVERIFY(!player.open(file("broken.AVI")));
    QVERIFY(!player.isPlaying());
    QCOMPARE(player.frameCount(), 0);
}

// ---- sounds ----

void TestMedia::wavFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ms");
    QTest::newRow("keystroke") << "MsgType.wav" << 40;
    QTest::newRow("carriage return") << "MSGBack.wav" << 150;
    QTest::newRow("error") << "FASTHEY.wav" << 120;
    QTest::newRow("reminder") << "CHIMES2.WAV" << 1800;
}

void TestMedia::wavFiles() {
    QFETCH(QString, name);
    QFETCH(int, ms);
    const QByteArray bytes = readFile(file(name));
    QByteArrayView body;
    QVERIFY(riff::fileBody(bytes, "WAVE", body, nullptr));
    QByteArrayView fmt, data;
    for (riff::Chunks c(body); c.next();) {
        if (c.id() == QByteArrayView("fmt ")) fmt = c.data();
        if (c.id() == QByteArrayView("data")) data = c.data();
    }
    QVERIFY(fmt.size() >= 16);
    QCOMPARE(int(riff::le16(fmt, 0)), 1);  // PCM
    QCOMPARE(int(riff::le16(fmt, 2)), 1);  // mono
    const quint32 rate = riff::le32(fmt, 4);
    QCOMPARE(rate, 22050u);
    QCOMPARE(riff::le32(fmt, 8), rate * 2);
    QCOMPARE(int(riff::le16(fmt, 12)), 2);
    QCOMPARE(int(riff::le16(fmt, 14)), 16);
    QCOMPARE(data.size(), qsizetype(rate * ms / 1000 * 2));

    int peak = 0;
    for (qsizetype i = 0; i < data.size(); i += 2) peak = std::max(peak, std::abs(qint16(riff::le16(data, i))));
    QVERIFY2(peak > 4000, "audible");
    QVERIFY2(std::abs(qint16(riff::le16(data, data.size() - 2))) < 200, "ends without a click");
}

VELKORA_TEST_MAIN(TestMedia)
#include "tst_media.moc"
