#include "sprache/sprachausgabe.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"
#include "sprache/tastensprache.h"
#include "trainer/frmSchreiben.h"
#include "trainer/results.h"

#include <QRegularExpression>
#include <QTimer>

Sprachausgabe::Sprachausgabe(App& app) : app_(app) {}

bool Sprachausgabe::an() const { return app_.opt.checkSprache; }

QString Sprachausgabe::ansage(QChar c) {
    const QString finger = fingerFuer(c);
    const QString name = gesprochenesZeichen(c);
    return finger.isEmpty() ? name : name + QStringLiteral(", ") + finger;
}

QChar Sprachausgabe::ausAnzeige(const QString& anzeige) {
    if (anzeige == QLatin1String("LEER")) return QLatin1Char(' ');
    if (anzeige == QLatin1String("RETURN") || anzeige == QLatin1String("ENTER")) return QLatin1Char('\n');
    if (anzeige.size() == 1) return anzeige[0];
    return QChar();
}

void Sprachausgabe::sagen(const QStringList& texte) {
    // The newest key's words replace whatever waits; they go out when the
    // event loop comes back, after the key is judged and shown.
    ausstehend_ = texte;
    if (geplant_) return;
    geplant_ = true;
    QTimer::singleShot(0, this, [this] {
        geplant_ = false;
        const QStringList texte = std::exchange(ausstehend_, {});
        for (int i = 0; i < texte.size(); ++i) app_.services.sprechen(texte[i], i == 0);
    });
}

void Sprachausgabe::beginn(const QString& titel, QChar erste) {
    if (!an()) return;
    QStringList t;
    if (!titel.trimmed().isEmpty()) t << titel.trimmed();
    if (!erste.isNull()) t << QStringLiteral("Erste Taste: ") + ansage(erste);
    sagen(t);
}

void Sprachausgabe::naechste(QChar c) {
    if (an() && !c.isNull()) sagen({ansage(c)});
}

void Sprachausgabe::falsch(QChar erwartet) {
    if (!an()) return;
    sagen({erwartet.isNull() ? QStringLiteral("falsch") : QStringLiteral("falsch, ") + ansage(erwartet)});
}

void Sprachausgabe::ende(const QStringList& zeilen) {
    if (!an()) return;
    QStringList t;
    for (const QString& z : zeilen)
        if (!z.trimmed().isEmpty()) t << z.trimmed();
    sagen(t);
}

void Sprachausgabe::uebungBegonnen(const QString& text, qint64) {
    text_ = text;
    if (!an()) return;
    // The main window's title names the exercise, after the program's name.
    const auto* main = app_.forms.loaded<frmVelkora>();
    static const QRegularExpression programm(QStringLiteral("^Velkora \\S+\\s*"));
    const QString titel = main ? main->windowTitle().simplified().remove(programm) : QString();
    beginn(titel, text.isEmpty() ? QChar() : text[0] == QLatin1Char('\r') ? QChar(u'\n') : text[0]);
}

void Sprachausgabe::tasteAngenommen(int position, QChar, qint64) {
    // The next character follows the one just typed; at its end the
    // exercise ends instead.
    if (!an() || position < 0) return;
    if (position >= text_.size()) {
        sagen({frmSchreiben::kAuswertungPrompt});
        return;
    }
    const QChar c = text_[position];
    naechste(c == QLatin1Char('\r') ? QChar(u'\n') : c);
}

void Sprachausgabe::tasteFalsch(int, QChar erwartet, QChar, qint64) { falsch(erwartet); }

void Sprachausgabe::uebungBeendet(qint64) {
    if (!an()) return;
    const Uebung& ex = app_.ex;
    QStringList zeilen;
    if (!ex.Bewertung.isEmpty()) zeilen << QStringLiteral("Übung beendet. Bewertung: ") + ex.Bewertung;
    else zeilen << QStringLiteral("Übung beendet.");
    zeilen << zusammenfassung(ex.MaxZeichen, ex.fehler, ex.Fehlerquote, ex.Bewertung, ex.anschlaegeProMinute)
                  .split(QRegularExpression(QStringLiteral("[\r\n]+")));
    ende(zeilen);
}
