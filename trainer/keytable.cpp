#include "trainer/keytable.h"

std::vector<int> tastenFuerVk(int vk) {
    std::vector<int> out;
    if (vk == 0) return out;
    for (const Taste& t : kTasten)
        if (t.vk == vk || t.vk2 == vk) out.push_back(t.index);
    return out;
}

const Taste* tasteMitIndex(int index) {
    for (const Taste& t : kTasten)
        if (t.index == index) return &t;
    return nullptr;
}
