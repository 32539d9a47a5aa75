#pragma once
#include "stats/datenbank.h"

#include <QChar>
#include <QDate>
#include <QList>
#include <QString>

// What the writing window reports while an exercise is typed, to whoever
// listens (per-key records, later spoken keys). Every call is made on the
// key path, so a listener does little per call and never waits. Positions
// are 1-based in the target view's text (CR LF line breaks); the expected
// character is the text's own, ' ' for a blank and '\n' for a line break.
// Times are the platform clock's monotonic milliseconds.
class Uebungsereignisse {
public:
    virtual ~Uebungsereignisse() = default;
    // A new exercise starts over this text; whatever an earlier one left is void.
    virtual void uebungBegonnen(const QString& text, qint64 ms) { (void)text, (void)ms; }
    // The expected key was typed and accepted.
    virtual void tasteAngenommen(int position, QChar erwartet, qint64 ms) { (void)position, (void)erwartet, (void)ms; }
    // A wrong key was typed where erwartet was expected (getippt: what was typed).
    virtual void tasteFalsch(int position, QChar erwartet, QChar getippt, qint64 ms) {
        (void)position, (void)erwartet, (void)getippt, (void)ms;
    }
    // The exercise is typed to its end; its results are recorded next.
    virtual void uebungBeendet(qint64 ms) { (void)ms; }
    // Rows of the listener's own to store with the finished exercise's
    // results (same transaction, same result id), dated as the result.
    // Asked once per recording; a listener gives its rows once.
    virtual QList<Tabellenzeile> ergebniszeilen(const QString& ergebnis, const QDate& datum) {
        (void)ergebnis, (void)datum;
        return {};
    }
    // Rows of results the learner's files now hold (committed), also those
    // stored later from the pending ones; called after the recording.
    virtual void ergebnisGespeichert(const QList<Tabellenzeile>& zeilen) { (void)zeilen; }
};

// The listeners the App holds, called in the order they were added. With
// none the calls cost a test of an empty list.
class Ereignisverteiler {
public:
    void anmelden(Uebungsereignisse* l) {
        if (l && !liste_.contains(l)) liste_.append(l);
    }
    void abmelden(Uebungsereignisse* l) { liste_.removeAll(l); }
    bool leer() const { return liste_.isEmpty(); }

    void uebungBegonnen(const QString& text, qint64 ms) {
        for (Uebungsereignisse* l : liste_) l->uebungBegonnen(text, ms);
    }
    void tasteAngenommen(int position, QChar erwartet, qint64 ms) {
        for (Uebungsereignisse* l : liste_) l->tasteAngenommen(position, erwartet, ms);
    }
    void tasteFalsch(int position, QChar erwartet, QChar getippt, qint64 ms) {
        for (Uebungsereignisse* l : liste_) l->tasteFalsch(position, erwartet, getippt, ms);
    }
    void uebungBeendet(qint64 ms) {
        for (Uebungsereignisse* l : liste_) l->uebungBeendet(ms);
    }
    QList<Tabellenzeile> ergebniszeilen(const QString& ergebnis, const QDate& datum) {
        QList<Tabellenzeile> z;
        for (Uebungsereignisse* l : liste_) z << l->ergebniszeilen(ergebnis, datum);
        return z;
    }
    void ergebnisGespeichert(const QList<Tabellenzeile>& zeilen) {
        for (Uebungsereignisse* l : liste_) l->ergebnisGespeichert(zeilen);
    }

private:
    QList<Uebungsereignisse*> liste_;
};
