// The AVI clip reader: malformed input gives an error, a success gives
// frames of one size within the reader's bounds and a sane frame period.
#include "fuzz/pruefen.h"
#include "platform/avireader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString fehler;
    const AviClip c = readAvi(bytes, &fehler);
    if (c.isEmpty()) {
        PRUEFE(!fehler.isEmpty());
        return 0;
    }
    PRUEFE(c.framePeriodMs >= 10 && c.framePeriodMs <= 5000);
    PRUEFE(c.frames.size() <= 10000);
    const QSize s = c.size();
    PRUEFE(s.width() >= 1 && s.width() <= 2048 && s.height() >= 1 && s.height() <= 2048);
    for (const QImage& f : c.frames) PRUEFE(f.size() == s);
    return 0;
}
