#pragma once
#include "insight/tastenwerte.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// Exercises made from a learner's weakest keys and letter pairs: pure code
// over the word list, the per-key records of the last exercises and the
// keys the learner may use. Nothing here touches a widget or a file.

// The words and short phrases texts are made of. Every word of a phrase is
// also a word of the list.
struct Wortschatz {
    QStringList woerter;
    QStringList phrasen;
};

// Reads the list (one word a line, UTF-8) and the phrases (one a line).
// Blank lines and lines starting with '#' are skipped. False, with the
// reason in *fehler, when a file cannot be read or holds no word.
bool wortschatzLaden(const QString& woerterPfad, const QString& phrasenPfad, Wortschatz& w,
                     QString* fehler = nullptr);

// The keys an exercise may use: lower-case letters and signs, the blank
// always, capitals only with Shift.
struct Tastenauswahl {
    QSet<char16_t> zeichen;
    bool grossbuchstaben = false;
    bool erlaubt(QChar c) const;
};

// The keys a lesson (1 to 18) brings; lesson 18 brings Shift.
QString lektionsTasten(int lektion);
// The keys of the lessons passed; the keys of all lessons.
Tastenauswahl erlaubteTasten(const QList<int>& bestandeneLektionen);
Tastenauswahl alleLektionsTasten();
// The lesson to take next: the first of 1 to 18 not passed, 0 when all are.
int naechsteLektion(const QList<int>& bestandeneLektionen);

// What an exercise trains: keys (one letter) and pairs (two letters),
// weakest first.
struct Einschaetzung {
    QStringList tasten;
    QStringList paare;
    bool ohneDaten = true;  // no records: a balanced text of the allowed keys
};

// How weak each allowed letter is, from the records of the last exercises
// (newest first; older ones weigh less). Capitals count on their letter.
// A letter with few presses is uncertain: its estimate starts above the
// learner's mean, so it is never taken for a strong one. Higher is weaker,
// 1 about the learner's mean.
QHash<char16_t, double> tastenSchwaeche(const QList<Zeichenwerte>& neuesteZuerst, const Tastenauswahl& erlaubt);
Einschaetzung einschaetzen(const QList<Zeichenwerte>& neuesteZuerst, const Tastenauswahl& erlaubt,
                           const Wortschatz& w);

// "Geübt werden: ß, ö, ch, ei", or what is trained without records.
QString geuebtZeile(const Einschaetzung& e);

// The words and phrases made only of allowed keys.
struct Vorrat {
    QStringList woerter;
    QStringList phrasen;
};
Vorrat vorrat(const Wortschatz& w, const Tastenauswahl& erlaubt);
// Fewer usable words than this make no exercise.
constexpr int kMindestWoerter = 30;

// The share of a letter or a pair among the letters of ordinary German:
// the whole word list and phrases, capitals folded.
double ueblicherAnteil(const Wortschatz& w, const QString& zeichenOderPaar);
// The same among the usable words alone: a text of these keys.
double anteilImVorrat(const Vorrat& v, const QString& zeichenOderPaar);
// The same share in a text (letters only, capitals folded).
double anteilIn(const QString& text, const QString& zeichenOderPaar);

struct Schwaechenuebung {
    Einschaetzung was;
    QString text;        // lines of at most kZeilenlaenge characters joined by CR LF
    QByteArray datei;    // the same in Windows-1252, as an exercise file holds it
    int bewertet = 0;    // scored characters: all but blank, CR and LF
    bool zuWenigWoerter = false;  // the allowed keys make too few words; text empty
};

constexpr int kZeilenlaenge = 48;
constexpr int kZielZeichen = 400;

// The exercise: about ziel scored characters of real words and phrases in
// which the weak keys and pairs come up at least twice as often as usual.
// The same inputs and seed give the same text.
Schwaechenuebung schwaechenuebung(const Wortschatz& w, const QList<Zeichenwerte>& neuesteZuerst,
                                  const Tastenauswahl& erlaubt, int ziel, quint32 seed);
