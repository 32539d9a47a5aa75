#pragma once
#include <QString>
#include <array>
#include <vector>

// The 61 keys of the on-screen keyboard (German layout): index in the key
// array, place and size in pixels inside the keyboard frame, the virtual-key
// codes of the physical keys that light it (0: none), and the legends drawn
// on it (shifted sign top left, plain sign bottom left, AltGr sign bottom
// right; letters show only their capital).
struct Taste {
    int index;
    int x, y, w, h;
    int vk;
    int vk2;
    const char16_t* oben;
    const char16_t* unten;
    const char16_t* altgr;
};

inline constexpr int kTastenAnzahl = 61;
// Indices the windows refer to by number.
inline constexpr int kTasteCapsLock = 13;
inline constexpr int kTasteEnter = 53;
inline constexpr int kTasteShiftLinks = 9;
inline constexpr int kTasteShiftRechts = 10;

inline constexpr std::array<Taste, kTastenAnzahl> kTasten = {{
    {59, 32, 8, 65, 41, 112, 0, u"F1", u"", u""},
    {56, 96, 8, 65, 41, 113, 0, u"F2", u"", u""},
    {57, 160, 8, 65, 41, 114, 0, u"F3", u"", u""},
    {58, 224, 8, 65, 41, 115, 0, u"F4", u"", u""},
    {41, 56, 56, 65, 57, 49, 0, u"!", u"1", u""},
    {42, 120, 56, 65, 57, 50, 0, u"\"", u"2", u"²"},
    {43, 184, 56, 65, 57, 51, 0, u"§", u"3", u"³"},
    {44, 248, 56, 65, 57, 52, 0, u"$", u"4", u""},
    {45, 312, 56, 65, 57, 53, 0, u"%", u"5", u""},
    {46, 376, 56, 65, 57, 54, 0, u"&", u"6", u""},
    {47, 440, 56, 65, 57, 55, 0, u"/", u"7", u"{"},
    {48, 504, 56, 65, 57, 56, 0, u"(", u"8", u"["},
    {49, 568, 56, 65, 57, 57, 0, u")", u"9", u"]"},
    {50, 632, 56, 65, 57, 48, 0, u"=", u"0", u"}"},
    {51, 696, 56, 65, 57, 219, 0, u"?", u"ß", u"\\"},
    {52, 760, 56, 65, 57, 221, 0, u"`", u"´", u""},
    {60, 824, 56, 73, 57, 8, 0, u"←", u"", u""},
    {19, 80, 112, 65, 57, 81, 0, u"Q", u"", u"@"},
    {20, 144, 112, 65, 57, 87, 0, u"W", u"", u""},
    {21, 208, 112, 65, 57, 69, 0, u"E", u"", u"€"},
    {22, 272, 112, 65, 57, 82, 0, u"R", u"", u""},
    {23, 336, 112, 65, 57, 84, 0, u"T", u"", u""},
    {15, 400, 112, 65, 57, 90, 0, u"Z", u"", u""},
    {25, 464, 112, 65, 57, 85, 0, u"U", u"", u""},
    {26, 528, 112, 73, 57, 73, 0, u"I", u"", u""},
    {27, 600, 112, 65, 57, 79, 0, u"O", u"", u""},
    {28, 664, 112, 73, 57, 80, 0, u"P", u"", u""},
    {29, 736, 112, 73, 57, 186, 0, u"Ü", u"", u""},
    {30, 808, 112, 65, 57, 187, 0, u"*", u"+", u"~"},
    {13, 8, 168, 65, 57, 20, 0, u"⇩", u"", u""},
    {8, 96, 168, 65, 57, 65, 0, u"A", u"", u""},
    {7, 160, 168, 65, 57, 83, 0, u"S", u"", u""},
    {4, 224, 168, 65, 57, 68, 0, u"D", u"", u""},
    {0, 288, 168, 65, 57, 70, 0, u"F", u"", u""},
    {5, 352, 168, 65, 57, 71, 0, u"G", u"", u""},
    {6, 416, 168, 65, 57, 72, 0, u"H", u"", u""},
    {1, 480, 168, 65, 57, 74, 0, u"J", u"", u""},
    {3, 544, 168, 65, 57, 75, 0, u"K", u"", u""},
    {11, 608, 168, 65, 57, 76, 0, u"L", u"", u""},
    {12, 672, 168, 65, 57, 192, 0, u"Ö", u"", u""},
    {14, 736, 168, 65, 57, 222, 0, u"Ä", u"", u""},
    {53, 800, 168, 89, 57, 13, 0, u"↵", u"", u""},
    {9, 8, 224, 65, 57, 16, 0, u"⇧", u"", u""},
    {16, 72, 224, 65, 57, 226, 0, u">", u"<", u"|"},
    {24, 136, 224, 65, 57, 89, 0, u"Y", u"", u""},
    {31, 200, 224, 65, 57, 88, 0, u"X", u"", u""},
    {32, 264, 224, 65, 57, 67, 0, u"C", u"", u""},
    {33, 328, 224, 65, 57, 86, 0, u"V", u"", u""},
    {34, 392, 224, 65, 57, 66, 0, u"B", u"", u""},
    {35, 456, 224, 65, 57, 78, 0, u"N", u"", u""},
    {36, 520, 224, 65, 57, 77, 0, u"M", u"", u"µ"},
    {37, 584, 224, 65, 57, 188, 0, u";", u",", u""},
    {38, 648, 224, 65, 57, 190, 0, u":", u".", u""},
    {39, 712, 224, 65, 57, 189, 191, u"_", u"-", u""},
    {10, 776, 224, 65, 57, 16, 0, u"⇧", u"", u""},
    {40, 8, 280, 65, 57, 0, 0, u"Strg", u"", u""},
    {17, 224, 280, 65, 57, 18, 0, u"Alt", u"", u""},
    {2, 288, 280, 257, 57, 32, 0, u"Leer", u"", u""},
    {18, 544, 280, 65, 57, 17, 0, u"Alt Gr", u"", u""},
    {54, 672, 280, 65, 57, 45, 0, u"Einfg", u"", u""},
    {55, 736, 280, 65, 57, 46, 0, u"Entf", u"", u""},
}};

// The key indices a virtual-key code lights: both Shift keys for Shift,
// none for unlisted codes.
std::vector<int> tastenFuerVk(int vk);
// The table row of a key index (nullptr outside 0..60).
const Taste* tasteMitIndex(int index);

// What a screen reader calls a key, by its legend: "Taste A", "Taste 1",
// "Umschalt links", "Leertaste".
QString tastenName(const Taste& t);
// The key's other legends: "Umschalt: !, Alt Gr: {" (empty when it has none).
QString tastenBeschreibung(const Taste& t);
