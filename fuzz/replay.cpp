// Replays fuzz inputs through a target, built with the ordinary compiler:
// every file named on the command line, and every file of every folder
// named. Ends with a failure as soon as an input breaks an invariant.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    int anzahl = 0;
    auto lauf = [&](const QString& pfad) {
        QFile f(pfad);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(pfad));
            return false;
        }
        const QByteArray b = f.readAll();
        std::fprintf(stderr, "%s\n", qPrintable(pfad));
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size()));
        ++anzahl;
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                if (!lauf(it.next())) return 1;
        } else if (!lauf(arg)) {
            return 1;
        }
    }
    std::printf("%d inputs replayed\n", anzahl);
    return anzahl > 0 ? 0 : 1;
}
