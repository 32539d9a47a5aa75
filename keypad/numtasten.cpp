#include "keypad/numtasten.h"

int numTasteFuerVk(int vk) {
    if (vk == 0) return -1;
    for (const Taste& t : kNumTasten)
        if (t.vk == vk) return t.index;
    return -1;
}
