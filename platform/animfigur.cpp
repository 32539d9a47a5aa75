#include "platform/animfigur.h"

// Placeholder until the .ani reader lands: shows nothing.
void AnimZeigen(AnimFigur& figur, const QString&, QWidget*, int, int) { AnimEntfernen(figur); }

void AnimEntfernen(AnimFigur& figur) {
    if (figur.fenster) delete figur.fenster.data();
    figur.fenster = nullptr;
    figur.geladen = false;
}
