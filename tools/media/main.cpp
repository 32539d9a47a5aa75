// Writes the generated data files (sounds, the animated dino cursor and the
// wait window's AVI clip) into the program directory given as the first
// argument. With "--preview DIR" it also writes every picture frame as an
// enlarged PNG for a person to look at.
#include "generator.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writePreview(const QString& dir, const QString& stem, const QList<QImage>& frames, int zoom) {
    QDir().mkpath(dir);
    for (int i = 0; i < frames.size(); ++i) {
        const QImage big = frames[i].convertToFormat(QImage::Format_ARGB32).scaled(
            frames[i].size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (!big.save(QStringLiteral("%1/%2%3.png").arg(dir, stem).arg(i))) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && QByteArray(argv[2]) == "--preview")) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [--preview DIR]\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QList<GeneratedFile> files = makeSounds();
    files.append(makeDino());
    files.append(makeClip());
    for (const GeneratedFile& f : files)
        if (!writeFile(out + '/' + f.name, f.bytes)) return 1;
    if (argc == 4) {
        const QString dir = QString::fromLocal8Bit(argv[3]);
        if (!writePreview(dir, QStringLiteral("dino"), dinoFrames(), 8) ||
            !writePreview(dir, QStringLiteral("clip"), clipFrames(), 3))
            return 1;
    }
    return 0;
}
