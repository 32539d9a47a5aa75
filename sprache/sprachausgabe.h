#pragma once
#include "trainer/uebungsereignisse.h"

#include <QObject>
#include <QString>

class App;

// Speaks the exercise to a learner who cannot see it, when the option
// "Sprachausgabe" is on: at the start the lesson and the first key, after
// each accepted key the next one, after a wrong key "falsch" and the
// expected key again, at the end the rating and the summary. What a key
// asks to say is handed to the speech service only after the key has been
// judged, and interrupts what is still being said: the learner always hears
// the key that is due, and judging never waits for speech.
// It listens to the writing window; the keypad trainer calls it directly.
class Sprachausgabe : public QObject, public Uebungsereignisse {
public:
    explicit Sprachausgabe(App& app);

    bool an() const;

    // The keypad trainer and the writing window alike: a lesson starts
    // (its title, the first key), the next key is due, a key was wrong,
    // the lesson is over (the lines to read).
    void beginn(const QString& titel, QChar erste);
    void naechste(QChar c);
    void falsch(QChar erwartet);
    void ende(const QStringList& zeilen);

    // How a key is said, with the finger that types it where the finger
    // table names one ("f, linker Zeigefinger").
    static QString ansage(QChar c);
    // The character a key display names ("LEER", "RETURN", "ENTER", a sign);
    // a null character for "ENDE" and anything else.
    static QChar ausAnzeige(const QString& anzeige);

    void uebungBegonnen(const QString& text, qint64 ms) override;
    void tasteAngenommen(int position, QChar erwartet, qint64 ms) override;
    void tasteFalsch(int position, QChar erwartet, QChar getippt, qint64 ms) override;
    void uebungBeendet(qint64 ms) override;

private:
    // Hands the texts to the speech service once the key's event is done.
    void sagen(const QStringList& texte);

    App& app_;
    QString text_;  // the exercise's text, CR LF line breaks
    QStringList ausstehend_;
    bool geplant_ = false;
};
