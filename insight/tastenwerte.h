#pragma once
#include "trainer/uebungsereignisse.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <array>
#include <optional>

// Presses and times at one expected character or pair.
struct Tastenwert {
    qint64 richtig = 0;  // correct presses
    qint64 falsch = 0;   // wrong presses where it was expected
    qint64 zeitMs = 0;   // ms from the previous accepted key to its accepted press, summed
    qint64 zeitN = 0;    // accepted presses that sum covers
    qint64 anschlaege() const { return richtig + falsch; }
    Tastenwert& operator+=(const Tastenwert& o) {
        richtig += o.richtig, falsch += o.falsch, zeitMs += o.zeitMs, zeitN += o.zeitN;
        return *this;
    }
    friend bool operator==(const Tastenwert&, const Tastenwert&) = default;
};

// A pair as a hash key: the character before in the high half.
inline quint32 paarSchluessel(char16_t vorher, char16_t zeichen) { return (quint32(vorher) << 16) | zeichen; }
inline char16_t paarVorher(quint32 p) { return char16_t(p >> 16); }
inline char16_t paarZeichen(quint32 p) { return char16_t(p & 0xFFFF); }

struct Zeichenwerte {
    QHash<char16_t, Tastenwert> zeichen;
    QHash<quint32, Tastenwert> paare;
};

// A pause longer than this between two keys (the learner left the
// keyboard) is no measure of the key; such a press counts without a time.
constexpr qint64 kLaengsteZeitMs = 10000;

// Counts the keys of the exercise being typed, by expected character and
// by pair (character before, expected one). Constant work per key: one hash
// look-up for the character, one for the pair.
class Tastenzaehler : public Uebungsereignisse {
public:
    void uebungBegonnen(const QString& text, qint64 ms) override;
    void tasteAngenommen(int position, QChar erwartet, qint64 ms) override;
    void tasteFalsch(int position, QChar erwartet, QChar getippt, qint64 ms) override;
    void uebungBeendet(qint64 ms) override;
    // The rows of the finished exercise, once: one per character, one per pair.
    QList<Tabellenzeile> ergebniszeilen(const QString& ergebnis, const QDate& datum) override;

    const Zeichenwerte& werte() const { return werte_; }

private:
    Zeichenwerte werte_;
    char16_t vorher_ = 0;
    bool mitVorher_ = false;  // a key was accepted in this exercise
    qint64 zuletzt_ = 0;      // when it was
    bool laeuft_ = false;
    bool fertig_ = false;
};

// The rows of one result's records, for the recording.
QList<Tabellenzeile> tastenwertZeilen(const Zeichenwerte& w, const QString& ergebnis, const QDate& datum);

// ---- reading them back ----

enum class Zeitraum { LetzteUebung, Tage7, Tage30, Alle };

// The records of a period, summed per character and pair, from an open
// velkora.mdb. A file without the tables (never recorded one) gives none;
// other failures give nothing and the engine's reason in *fehler.
std::optional<Zeichenwerte> zeichenwerteLesen(QSqlDatabase db, Zeitraum z, const QDate& heute,
                                              QString* fehler = nullptr);
// The records of one result (by its id), the same way.
std::optional<Zeichenwerte> ergebniswerteLesen(QSqlDatabase db, const QString& ergebnis, QString* fehler = nullptr);

// ---- on the keyboard ----

// Where a character is typed: its key and the key held with it (Shift on
// the other hand's side for capitals and shifted signs, AltGr for AltGr
// signs; -1 none). Blank and line break are keys of their own.
struct Tastenort {
    int taste = -1;
    int mit = -1;
};
Tastenort tastenort(QChar c);
// True for a key some character is typed with (or held for).
bool tasteFuerZeichen(int index);

// The sums per on-screen key (by key index): a capital counts on its
// letter's key and on Shift, an AltGr sign on its key and on AltGr.
std::array<Tastenwert, 61> tastenSummen(const QHash<char16_t, Tastenwert>& zeichen);

// Keys with fewer presses are not judged.
constexpr qint64 kMindestAnschlaege = 20;

enum class Faerbung { Fehlerquote, Zeit };

// The figure a key is coloured by: error rate in per cent or mean ms; none
// with too few presses (or no timed press).
std::optional<double> kennwert(const Tastenwert& w, Faerbung f);

// The range the colour scale spans: errors 0 to 10 %, times from the
// fastest to the slowest judged key (at least 100 ms wide).
struct Skala {
    double von = 0, bis = 1;
};
Skala skalaFuer(Faerbung f, const std::array<Tastenwert, 61>& summen);

// The scale's colour at a share 0 (good) to 1 (weak), clamped: light blue
// through pale yellow to orange, told apart by lightness and by hue along
// the blue-yellow axis that red-green colour blindness keeps.
QColor skalenfarbe(double anteil);
// A key's colour; the grey of "too few data" when it has no figure.
QColor tastenFarbe(const Tastenwert& w, Faerbung f, const Skala& s);
inline const QColor kFarbeZuWenig(226, 226, 226);

// German figures: "2,1 % Fehler, 240 ms", or "zu wenig Daten".
QString kennzahlText(const Tastenwert& w);
// How a character is named in the lists: "Leertaste", "Eingabetaste", "e".
QString zeichenName(char16_t c);

struct Schwaeche {
    QString name;
    Tastenwert wert;
};
// The n weakest judged keys / pairs, weakest first (by the colouring's
// figure, the other one breaking ties).
QList<Schwaeche> schwaechsteTasten(const std::array<Tastenwert, 61>& summen, Faerbung f, int n = 5);
QList<Schwaeche> schwaechstePaare(const QHash<quint32, Tastenwert>& paare, Faerbung f, int n = 5);
