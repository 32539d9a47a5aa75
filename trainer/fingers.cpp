#include "trainer/fingers.h"

#include <limits>

static void raise(qint16& counter) {
    if (counter < std::numeric_limits<qint16>::max()) ++counter;
}

void fingerfehler(Fingerfehler& f, const QString& erwartet) {
    if (erwartet.size() != 1) return;
    const char16_t c = erwartet[0].unicode();
    for (const FingerZuordnung& z : kFingerTabelle)
        for (const char16_t* p = z.zeichen; *p; ++p)
            if (*p == c) {
                raise(f.*z.hand);
                raise(f.*z.finger);
                return;
            }
}
