// Text decoding: Windows-1252 both ways, RTF to plain text, the decoding of
// text files and the normalisation into the view's form.
#include "fuzz/pruefen.h"
#include "platform/textcodec.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace {
void pruefeAnsichtsText(const QString& text) {
    const QString v = viewPlainText(text);
    for (QChar c : v) {
        PRUEFE(c != QLatin1Char('\r'));
        PRUEFE(c.unicode() != 0 && c.unicode() != 0x2028 && c.unicode() != 0x2029);
        PRUEFE(c.unicode() != 0xFDD0 && c.unicode() != 0xFDD1);
    }
    PRUEFE(viewPlainText(v) == v);  // once is enough
    PRUEFE(viewTextLength(v) == v.size() + v.count(QLatin1Char('\n')));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // Every byte has its character and comes back unchanged.
    const QString cp = decodeCp1252(bytes);
    PRUEFE(cp.size() == bytes.size());
    PRUEFE(encodeCp1252(cp) == bytes);

    const QString n = normaliseLineBreaks(cp);
    PRUEFE(!n.contains(QLatin1Char('\r')));
    PRUEFE(normaliseLineBreaks(n) == n);

    // RTF: whatever the markup, a result and no more characters than bytes.
    const QString rtf = rtfToPlain(bytes);
    PRUEFE(rtf.size() <= bytes.size());

    // UTF-8 with bytes of Windows-1252 among it: no more characters than
    // bytes; and whatever the bytes, a verdict on them.
    const QString gemischt = decodeMostlyUtf8(bytes);
    PRUEFE(gemischt.size() <= bytes.size());
    pruefeAnsichtsText(gemischt);
    (void)isBinaryText(gemischt);
    (void)mostlyUtf8(bytes);
    PRUEFE(utf16WithoutBom(bytes) >= 0 && utf16WithoutBom(bytes) <= 2);

    for (bool unicode : {false, true}) {
        const QString t = decodeTextFile(bytes, unicode);
        PRUEFE(!t.contains(QLatin1Char('\r')));
        pruefeAnsichtsText(t);
    }
    pruefeAnsichtsText(QString::fromUtf8(bytes));
    return 0;
}
