#include "lessons/catalogue.h"

namespace {
using G = Gruppe;
constexpr std::array<int, 3> keine{-1, -1, -1};
}  // namespace

// Key numbers of the on-screen keyboard: home row a s d f g h j k l ö ä =
// 8 7 4 0 5 6 1 3 11 12 14; upper row q w e r t z u i o p ü = 19 20 21 22 23
// 15 25 26 27 28 29; lower row y x c v b n m , . - = 24 31 32 33 34 35 36 37
// 38 39; shift keys 9 and 10, space bar 2, ß 51.
const std::array<Katalogeintrag, 27> kLektionskatalog = {{
    {1, G::Lektionen, u"1", u"\\Lektion1.inf",
     u"Velkora 1.0          Lektion 1          j/f",
     u"Lektion 1\r\n"
     u"Übungen auf der Grundreihe\r\n"
     u"j - rechter Zeigefinger\r\n"
     u"f - linker Zeigefinger\r\n"
     u"\r\n"
     u"Leertaste - mit dem Daumem der jeweils freien Hand",
     u"", {0, 1, 2}, 3},
    {2, G::Lektionen, u"2", u"\\Lektion2.inf",
     u"Velkora 1.0          Lektion 2          d/k",
     u"Lektion 2\r\n"
     u"Übungen auf der Grundreihe\r\n"
     u"k - rechter Mittelfinger\r\n"
     u"d - linker Mittelfinger\r\n"
     u"Ziel ist nicht, möglichst viele Anschläge/min zu ereichen,sondern möglichst "
     u"fehlerfrei zu schreiben !",
     u"", {4, 3, -1}, 2},
    {3, G::Lektionen, u"3", u"\\Lektion3.inf",
     u"Velkora 1.0          Lektion 3          s/l",
     u"Lektion 3\r\n"
     u"Übungen auf der Grundreihe\r\n"
     u"l - rechter Ringfinger\r\n"
     u"s - linker Ringfinger\r\n"
     u"\r\n"
     u"Übung macht den Meister !",
     u"", {7, 11, -1}, 2},
    {4, G::Lektionen, u"4", u"\\Lektion4.inf",
     u"Velkora 1.0          Lektion 4          a/ö",
     u"Lektion 4\r\n"
     u"Übungen auf der Grundreihe\r\n"
     u"ö - rechter kleiner Finger\r\n"
     u"a - linker kleiner Finger\r\n"
     u"\r\n"
     u"Aller Anfang ist schwer !",
     u"", {8, 12, -1}, 2},
    {5, G::Lektionen, u"5", u"\\Lektion5.inf",
     u"Velkora 1.0          Lektion 5          g/h",
     u"Lektion 5\r\n"
     u"Übungen auf der Grundreihe\r\n"
     u"h - rechter Zeigefinger\r\n"
     u"g - linker Zeigefinger\r\n"
     u"\r\n"
     u"Von nix kommt nix !",
     u"", {5, 6, -1}, 2},
    {6, G::Lektionen, u"6", u"\\Lektion6.inf",
     u"Velkora 1.0          Lektion 6          e/i",
     u"Lektion 6\r\n"
     u"i - rechter Mittelfinger\r\n"
     u"e - linker Mittelfinger\r\n"
     u"\r\n"
     u"Hurra die Gams !",
     u"", {26, 21, -1}, 2},
    {7, G::Lektionen, u"7", u"\\Lektion7.inf",
     u"Velkora 1.0          Lektion 7          r/u",
     u"Lektion 7\r\n"
     u"u - rechter Zeigefinger\r\n"
     u"r - linker Zeigefinger\r\n"
     u"\r\n"
     u"Steter Tropfen höhlt den Stein !",
     u"", {22, 25, -1}, 2},
    {8, G::Lektionen, u"8", u"\\Lektion8.inf",
     u"Velkora 1.0          Lektion 8          w/o",
     u"Lektion 8\r\n"
     u"o - rechter Ringfinger\r\n"
     u"w - linker Ringfinger\r\n"
     u"\r\n"
     u"Es ist noch kein Meister vom Himmel gefallen !",
     u"", {20, 27, -1}, 2},
    {9, G::Lektionen, u"9", u"\\Lektion9.inf",
     u"Velkora 1.0          Lektion 9          q/p",
     u"Lektion 9\r\n"
     u"p - rechter kleiner Finger\r\n"
     u"q - linker kleiner Finger\r\n"
     u"\r\n"
     u"Rom wurde auch nicht an einem Tag erbaut !",
     u"", {19, 28, -1}, 2},
    {10, G::Lektionen, u"10", u"\\Lektion10.inf",
     u"Velkora 1.0          Lektion 10          t/z",
     u"Lektion 10\r\n"
     u"z - rechter Zeigefinger\r\n"
     u"t - linker Zeigefinger\r\n"
     u"\r\n"
     u"Gut Ding will Weile haben !",
     u"", {23, 15, -1}, 2},
    {11, G::Lektionen, u"11", u"\\Lektion11.inf",
     u"Velkora 1.0          Lektion 11         v/m",
     u"Lektion 11\r\n"
     u"m - rechter Zeigefinger\r\n"
     u"v - linker Zeigefinger\r\n"
     u"\r\n"
     u"Nur Mut !",
     u"", {33, 36, -1}, 2},
    {12, G::Lektionen, u"12", u"\\Lektion12.inf",
     u"Velkora 1.0          Lektion 12         b/n",
     u"Lektion 12\r\n"
     u"n - rechter Zeigefinger\r\n"
     u"b - linker Zeigefinger\r\n"
     u"\r\n"
     u"Frisch gewagt ist halb gewonnen !",
     u"", {34, 35, -1}, 2},
    {13, G::Lektionen, u"13", u"\\Lektion13.inf",
     u"Velkora 1.0          Lektion 13         c/, (Komma)",
     u"Lektion 13\r\n"
     u", - rechter Mittelfinger\r\n"
     u"c - linker Mittelfinger\r\n"
     u"\r\n"
     u"Ohne Fleiß kein Preis !",
     u"", {32, 37, -1}, 2},
    {14, G::Lektionen, u"14", u"\\Lektion14.inf",
     u"Velkora 1.0          Lektion 14         x/. (Punkt)",
     u"Lektion 14\r\n"
     u". - rechter Ringfinger\r\n"
     u"x - linker Ringfinger",
     u"", {31, 38, -1}, 2},
    {15, G::Lektionen, u"15", u"\\Lektion15.inf",
     u"Velkora 1.0          Lektion 15         y/- (Strich)",
     u"Lektion 15\r\n"
     u"-  rechter kleiner Finger\r\n"
     u"y - linker kleiner Finger",
     u"", {24, 39, -1}, 2},
    {16, G::Lektionen, u"16", u"\\Lektion16.inf",
     u"Velkora 1.0          Lektion 16         ä/ü ",
     u"Lektion 16\r\n"
     u"ä - rechter kleiner Finger\r\n"
     u"ü - rechter kleiner Finger",
     u"", {14, 29, -1}, 2},
    {17, G::Lektionen, u"17", u"\\Lektion17.inf",
     u"Velkora 1.0          Lektion 17         ß ",
     u"Lektion 17\r\n"
     u"ß  rechter kleiner Finger",
     u"", {51, -1, -1}, 1},
    {18, G::Lektionen, u"18", u"\\Lektion18.inf",
     u"Velkora 1.0          Lektion 18         Großschreibung ",
     u"Lektion 18 -Großschreibung\r\n"
     u"Umschalt - rechter kleiner Finger\r\n"
     u"Umschalt - linker kleiner Finger\r\n"
     u"\r\n"
     u"Umgeschaltet werden:\r\n"
     u"Buchstaben der rechten Hand = links\r\n"
     u"Buchstaben der linken Hand = rechts",
     u"", {9, 10, -1}, 2},

    {19, G::Uebungstexte, u"1", u"\\Text1.inf", u"Velkora 1.0          Text 1          ", u"",
     u"Übungs-Text 1  ", keine, 0},
    {20, G::Uebungstexte, u"2", u"\\Text2.inf", u"Velkora 1.0          Text 2          ", u"",
     u"Übungs-Text 2  ", keine, 0},
    {21, G::Uebungstexte, u"3", u"\\Text3.inf", u"Velkora 1.0          Text 3          ", u"",
     u"Übungs-Text 3  ", keine, 0},
    {22, G::Uebungstexte, u"4", u"\\Text4.inf", u"Velkora 1.0          Text 4          ", u"",
     u"Übungs-Text 4  ", keine, 0},
    {23, G::Uebungstexte, u"5", u"\\Text5.inf", u"Velkora 1.0          Text 5          ", u"",
     u"Übungs-Text 5 (Großschreibung) ", keine, 0},

    {kNrLinkeHand, G::LinkeHand, u"1", u"\\LIHA.inf",
     u"Velkora 1.0          Intensiv-Trainig Linke Hand Teil 1          ", u"",
     u"Intensiv-Training Linke Hand 1.Teil ", keine, 0},
    {kNrLinkeHand, G::LinkeHand, u"2", u"\\LIHA1.inf",
     u"Velkora 1.0          Intensiv-Trainig Linke Hand Teil 2          ", u"",
     u"Intensiv-Training Linke Hand 2.Teil ", keine, 0},
    {kNrRechteHand, G::RechteHand, u"1", u"\\REHA.inf",
     u"Velkora 1.0          Intensiv-Trainig Rechte Hand Teil 1          ", u"",
     u"Intensiv-Training Rechte Hand 1.Teil ", keine, 0},
    {kNrRechteHand, G::RechteHand, u"2", u"\\REHA1.inf",
     u"Velkora 1.0          Intensiv-Trainig Rechte Hand Teil 2          ", u"",
     u"Intensiv-Training Rechte Hand 2.Teil ", keine, 0},
}};

const Katalogeintrag* katalogeintrag(Gruppe gruppe, const QString& auswahl) {
    for (const Katalogeintrag& e : kLektionskatalog)
        if (e.gruppe == gruppe && auswahl == QStringView(e.auswahl)) return &e;
    return nullptr;
}

const Katalogeintrag* lektion(int nummer) {
    return katalogeintrag(Gruppe::Lektionen, QString::number(nummer));
}

QString titelEigenerText(const QString& dateiname) {
    return QStringLiteral("Velkora 1.0") + QString(11, QLatin1Char(' ')) + dateiname;
}
