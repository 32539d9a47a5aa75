// The animated cursor reader: malformed input gives an error, a success
// gives frames within the reader's bounds.
#include "fuzz/pruefen.h"
#include "platform/anireader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString fehler;
    const AniAnimation a = readAni(bytes, &fehler);
    if (a.isEmpty()) {
        PRUEFE(!fehler.isEmpty());
    } else {
        PRUEFE(a.frames.size() == a.durations.size());
        PRUEFE(a.frames.size() <= 4096);
        for (const QImage& f : a.frames) {
            PRUEFE(!f.isNull());
            PRUEFE(f.width() >= 1 && f.width() <= 256 && f.height() >= 1 && f.height() <= 256);
        }
        for (int d : a.durations) PRUEFE(d >= 1 && d <= 60 * 1000);
        PRUEFE(a.totalDuration() >= a.durations.size());
    }
    // The same bytes as an icon or cursor file.
    const QImage bild = readCursorImage(bytes);
    PRUEFE(bild.isNull() || (bild.width() <= 256 && bild.height() <= 256));
    return 0;
}
