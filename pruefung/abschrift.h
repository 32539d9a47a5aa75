#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

class App;

// The copy test ("Abschrift"): the learner copies a source text for a fixed
// time, nothing is judged while typing, and afterwards the copy is compared
// with the source word by word, counted, and graded. This header is the
// counting; it knows no widget.

// Stored with every result of the copy test as IDLektion.
inline constexpr qint16 kNrAbschrift = 103;

// One deviation of the copy from the source. Every deviation counts one
// error. Ranges are offsets and lengths in the texts as given (the source
// as the target view holds it, with CR LF; the copy as typed); a length of
// 0 means the error has no part in that text.
struct Abschriftfehler {
    enum class Art {
        FalschesWort,      // a word typed differently (one wrong letter or many, capitals included)
        FehlendesWort,     // a source word left out
        ZusaetzlichesWort, // a word that is not in the source (also a doubled word or line)
        Vertauscht,        // two neighbouring words typed in swapped order
        FehlenderZwischenraum,     // two words typed as one ("Dasist")
        ZusaetzlicherZwischenraum, // one word typed as two ("Wort laut")
        FalscherZwischenraum,      // a blank where a line break belongs, two blanks, no line break ...
    };
    Art art;
    int quelleAnfang = 0, quelleLaenge = 0;
    int kopieAnfang = 0, kopieLaenge = 0;
    friend bool operator==(const Abschriftfehler&, const Abschriftfehler&) = default;
};

// What the comparison found.
struct Abschriftzaehlung {
    QList<Abschriftfehler> fehler;  // in the order of the copy
    int brutto = 0;                 // gross keystrokes: every character of the copy, a line break one
    int quelleBis = 0;  // offset in the source just after the last word the copy reached
};

// Compares a copy with its source.
//
// Both texts are cut into words (runs of anything but blank, tab, CR and
// LF) and the space between them. The words are aligned by a minimum-edit
// alignment in which each of these steps costs one error: a wrong word, a
// missing word, an extra word, two neighbouring words swapped, two words
// typed without the space between them, one word typed with a space inside.
// A word typed exactly costs nothing. Because the alignment looks at the
// whole copy at once, a skipped or doubled line costs its words and the
// words after it are matched again as they stand.
// Of alignments with equally many errors, the one that puts like words in
// each other's place is taken: that decides where the errors stand, never
// how many there are.
//
// Between two neighbouring source words that the copy has as neighbouring
// words, the space must be the source's: as many line breaks, or, where
// there is none, as many blanks (tabs count as blanks); blanks next to a
// line break are not seen and not counted. A space that differs is one
// error. Space before the first word is not looked at.
//
// What follows the last word of the copy is not an error: the source words
// after it are not missing. When the copy ends inside a word (no space
// after its last word), that last word counts as correct as long as it is
// the beginning of its source word.
//
// Cost: the source is read only as far as the copy could reach with fewer
// errors than it has words (twice its words; more would never be the
// cheapest alignment), and the alignment keeps one byte per pair of words
// plus two rows of costs: a 4 000-character source against 3 000 typed
// characters (about 600 by 450 words) takes some 270 kB and a few
// milliseconds.
Abschriftzaehlung abschriftZaehlen(const QString& quelle, const QString& kopie);

// The copy a run of keys leaves: '\b' is Backspace, which takes back the
// character before it only when corrections are allowed and is lost
// otherwise; every other character stands as typed.
QString tastenfolgeAnwenden(const QString& folge, bool korrekturErlaubt);

// The grade key: for each grade 1 to 6 the least net keystrokes per minute
// and the highest error rate (in per cent) it asks for, and the keystrokes
// taken off per error. A result gets the best grade whose two limits it
// meets (as shown: net rounded to whole keystrokes, the rate to two
// decimals); grade 6 asks for nothing.
struct Notenschluessel {
    double abzugJeFehler = 10;
    std::array<double, 6> mindestNetto{};
    std::array<double, 6> hoechstQuote{};
    friend bool operator==(const Notenschluessel&, const Notenschluessel&) = default;
};

// The key shipped with the program. It is an example for a ten-minute copy
// test, modelled on the kind of key vocational schools and typing courses
// use (ten keystrokes off per error, about 200 net keystrokes a minute and
// at most half a per cent errors for a "gut"); it is not an official
// standard, and teachers are expected to set their own.
Notenschluessel standardNotenschluessel();

// The figures of a test.
struct Abschriftwerte {
    int brutto = 0;         // gross keystrokes
    int fehler = 0;
    double quote = 0;       // errors × 100 / gross keystrokes, two decimals
    double minuten = 0;     // the time typed
    double anschlaege = 0;  // gross keystrokes per minute, whole
    double netto = 0;       // (gross − errors × penalty) per minute, whole, never below 0
    int note = 6;
};
Abschriftwerte abschriftWerte(int brutto, int fehler, double sekunden, const Notenschluessel& schluessel);
// The grade for figures as shown.
int abschriftNote(double netto, double quote, const Notenschluessel& schluessel);

// The grade key in the settings store (section "Abschrift": "Abzug",
// "Note1Netto", "Note1Quote" … "Note6Quote"); a value that is missing or no
// number (or out of range) keeps the shipped one.
Notenschluessel notenschluesselLesen(const App& app);
bool notenschluesselSpeichern(App& app, const Notenschluessel& s);
// The store keys of the grade key, as "Section/Key".
QStringList notenschluesselSchluessel();

// The German word of a grade ("sehr gut" …).
QString notenWort(int note);
// What an error is, in German, for lists and the certificate.
QString fehlerText(Abschriftfehler::Art art);
// One error as the lists name it: its kind, the source's words and what was
// written ("falsches Wort „Haus“, geschrieben „Hasu“"), or for a space the
// line of the source.
QString fehlerBeschreibung(const Abschriftfehler& f, const QString& quelle, const QString& kopie);

// A text of the copy test: the first line of the file is its title.
struct Abschrifttext {
    QString titel;
    QString text;  // with CR LF line breaks, as the target view holds it
    QString datei;
};
// Splits a file's text into title and text.
Abschrifttext abschrifttextAus(const QString& inhalt, const QString& datei);
// The texts shipped in the program directory's folder "abschrift", by name.
QList<Abschrifttext> abschrifttexte(const QString& programDir);
