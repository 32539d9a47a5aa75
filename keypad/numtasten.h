#pragma once
#include "trainer/keytable.h"

#include <array>

// The on-screen numeric keypad in its usual 4 x 5 arrangement: index in the
// button array, place and size in pixels inside the keypad frame, the
// virtual-key code that lights it (0: none; both Enter keys send 13) and
// its legend. Num Lock (0) is lit by no key; it blinks until the first key.
inline constexpr int kNumTastenAnzahl = 17;
inline constexpr int kNumTasteNumLock = 0;
inline constexpr int kNumTasteEnter = 16;

namespace numblock {
// The grid: keys 57 pixels square, one every 60 pixels, below the small box
// in the frame's top left corner.
inline constexpr int kLinks = 12, kOben = 26, kRaster = 60, kKante = 57;
constexpr int x(int spalte) { return kLinks + spalte * kRaster; }
constexpr int y(int zeile) { return kOben + zeile * kRaster; }
constexpr int breit(int felder) { return felder * kRaster - (kRaster - kKante); }
}  // namespace numblock

inline constexpr std::array<Taste, kNumTastenAnzahl> kNumTasten = {{
    {0, numblock::x(0), numblock::y(0), numblock::breit(1), numblock::breit(1), 0, 0, u"Num", u"", u""},
    {1, numblock::x(1), numblock::y(0), numblock::breit(1), numblock::breit(1), 111, 0, u"/", u"", u""},
    {2, numblock::x(2), numblock::y(0), numblock::breit(1), numblock::breit(1), 106, 0, u"*", u"", u""},
    {3, numblock::x(3), numblock::y(0), numblock::breit(1), numblock::breit(1), 109, 0, u"-", u"", u""},
    {4, numblock::x(0), numblock::y(1), numblock::breit(1), numblock::breit(1), 103, 0, u"7", u"", u""},
    {5, numblock::x(1), numblock::y(1), numblock::breit(1), numblock::breit(1), 104, 0, u"8", u"", u""},
    {6, numblock::x(2), numblock::y(1), numblock::breit(1), numblock::breit(1), 105, 0, u"9", u"", u""},
    {7, numblock::x(3), numblock::y(1), numblock::breit(1), numblock::breit(2), 107, 0, u"+", u"", u""},
    {8, numblock::x(0), numblock::y(2), numblock::breit(1), numblock::breit(1), 100, 0, u"4", u"", u""},
    {9, numblock::x(1), numblock::y(2), numblock::breit(1), numblock::breit(1), 101, 0, u"5", u"", u""},
    {10, numblock::x(2), numblock::y(2), numblock::breit(1), numblock::breit(1), 102, 0, u"6", u"", u""},
    {11, numblock::x(0), numblock::y(3), numblock::breit(1), numblock::breit(1), 97, 0, u"1", u"", u""},
    {12, numblock::x(1), numblock::y(3), numblock::breit(1), numblock::breit(1), 98, 0, u"2", u"", u""},
    {13, numblock::x(2), numblock::y(3), numblock::breit(1), numblock::breit(1), 99, 0, u"3", u"", u""},
    {14, numblock::x(0), numblock::y(4), numblock::breit(2), numblock::breit(1), 96, 0, u"0", u"", u""},
    {15, numblock::x(2), numblock::y(4), numblock::breit(1), numblock::breit(1), 110, 0, u",", u"", u""},
    {16, numblock::x(3), numblock::y(3), numblock::breit(1), numblock::breit(2), 13, 0, u"↵", u"", u""},
}};

// The size of the keypad frame around the grid.
inline constexpr int kNumBlockBreite = numblock::x(4) - (numblock::kRaster - numblock::kKante) + numblock::kLinks;
inline constexpr int kNumBlockHoehe = numblock::y(5) - (numblock::kRaster - numblock::kKante) + numblock::kLinks;

// The keypad button a virtual-key code lights, -1 for codes of no keypad key.
int numTasteFuerVk(int vk);
