#pragma once
#include <QString>
#include <QtGlobal>
#include <array>
#include <span>

// The exercises the program offers: every lesson, practice text and
// intensive training with its number, the file that holds its text and the
// title the main window shows while it runs. The selection window builds its
// previews and captions from this table, the start of an exercise takes file,
// title, number and marked keys from it.

// The groups, in the order of the selection window's tabs.
enum class Gruppe { Lektionen, LinkeHand, RechteHand, Uebungstexte, EigeneTexte };

struct Katalogeintrag {
    qint16 nummer;             // stored with every result as IDLektion
    Gruppe gruppe;
    const char16_t* auswahl;   // what the user picks, compared as exact text
    const char16_t* datei;     // file of the program directory, with leading backslash
    const char16_t* titel;     // the whole title of the main window
    const char16_t* vorschau;  // lessons: the preview, lines joined by CR LF; else empty
    const char16_t* beschriftung;  // practice texts and trainings: caption in the window
    std::array<int, 3> tasten;     // lessons: on-screen key numbers, in colouring order
    int tastenAnzahl;

    QString titelText() const { return QString::fromUtf16(titel); }
    QString dateiName() const { return QString::fromUtf16(datei); }
    QString vorschauText() const { return QString::fromUtf16(vorschau); }
    QString beschriftungText() const { return QString::fromUtf16(beschriftung); }
    std::span<const int> markierteTasten() const {
        return std::span<const int>(tasten.data(), static_cast<size_t>(tastenAnzahl));
    }
};

// Numbers outside the table: own texts share one number, and the two parts
// of each intensive training share theirs.
inline constexpr qint16 kNrEigenerText = 99;
inline constexpr qint16 kNrLinkeHand = 100;
inline constexpr qint16 kNrRechteHand = 101;
// "Schwächen üben": a text made for the learner, from the weakest keys.
inline constexpr qint16 kNrSchwaechen = 102;

extern const std::array<Katalogeintrag, 27> kLektionskatalog;

// The entry a selector picks in a group, or nullptr: "1" to "18" for the
// lessons, "1" to "5" for the practice texts, "1" and "2" for the trainings.
// Anything else ("01", " 1", "19", "") picks nothing.
const Katalogeintrag* katalogeintrag(Gruppe gruppe, const QString& auswahl);
// The lesson of this number (1 to 18), or nullptr.
const Katalogeintrag* lektion(int nummer);

// The main window's title while an own text runs.
QString titelEigenerText(const QString& dateiname);
