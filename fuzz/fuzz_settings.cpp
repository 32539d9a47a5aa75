// The conversions of stored setting texts: a text is either refused or read
// as a value of the type, and what the program writes reads back as itself.
#include "fuzz/pruefen.h"
#include "platform/numbers.h"
#include "platform/settingsstore.h"

#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    double d = 0;
    const bool zahl = parseNumber(text, d);
    if (zahl) PRUEFE(std::isfinite(d));

    qint32 i32 = 7;
    if (parseInt32(text, i32)) {
        PRUEFE(zahl);
        qint32 zurueck = 0;
        PRUEFE(parseInt32(QString::number(i32), zurueck) && zurueck == i32);
    } else {
        PRUEFE(i32 == 7);  // a refused text leaves the value alone
    }

    qint16 i16 = 5;
    if (parseInt16(text, i16)) {
        qint16 zurueck = 0;
        PRUEFE(parseInt16(QString::number(i16), zurueck) && zurueck == i16);
    } else {
        PRUEFE(i16 == 5);
    }

    bool b = false;
    if (parseBool(text, b)) {
        bool zurueck = !b;
        PRUEFE(parseBool(boolText(b), zurueck) && zurueck == b);
    }

    // A window position from any number stays in the 16-bit range.
    if (zahl) {
        const qint16 k = toInt16Clamped(d);
        PRUEFE(k >= std::numeric_limits<qint16>::min() && k <= std::numeric_limits<qint16>::max());
    }
    // The raw bytes as a double, too: NaN and infinities included.
    if (size >= sizeof(double)) {
        double roh = 0;
        std::memcpy(&roh, data, sizeof roh);
        (void)toInt16Clamped(roh);
        qint16 a = 0;
        qint32 b32 = 0;
        if (toInt16(roh, a)) PRUEFE(std::isfinite(roh));
        if (toInt32(roh, b32)) PRUEFE(std::isfinite(roh));
        (void)rundeGerade(roh, int(data[0] % 8));
        (void)zahlText(roh);
    }
    return 0;
}
