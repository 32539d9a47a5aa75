// Does "Schwächen üben" help? A simulated typist with fixed per-key error
// probabilities and key times types 20 exercises into the real writing
// window (judging, counting, recording, per-key records), once as
// "Schwächen üben" and once as the lessons of the same keys (1 to 12, in
// turn). Its error probability on a key falls with the presses it has made
// on that key. Printed: the presses on its three worst keys and the errors
// made on them, per exercise and in total. Figures, not a timed test.
#include "../tests/lessons/tippen.h"
#include "../tests/stats/statshelfer.h"
#include "lessons/frmLek.h"
#include "platform/richtextview.h"
#include "trainer/frmSchreiben.h"

#include <QApplication>
#include <QLineEdit>
#include <cmath>
#include <cstdio>
#include <random>

namespace {
constexpr int kUebungen = 20;
constexpr int kLektionen = 12;
struct Tipper {
    QString schwach;  // the typist's three worst keys
    std::mt19937 zufall{4711};
    QHash<char16_t, int> gedrueckt;  // presses so far, per key (capitals on their letter)
    // The error probability at a key: high on the three worst at first,
    // falling towards the floor with every press made on the key.
    double fehler(QChar c) const {
        const QChar k = c.toLower();
        const double anfang = schwach.contains(k) ? 0.25 : 0.02;
        return 0.01 + (anfang - 0.01) * std::exp(-gedrueckt.value(k.unicode()) / 300.0);
    }
    qint64 zeit(QChar c) const { return schwach.contains(c.toLower()) ? 480 : 230; }
};

struct Ergebnis {
    int anschlaege = 0;  // presses on the three keys
    int fehler = 0;      // wrong presses where one of them was expected
    int zeichen = 0;     // scored characters of the text
};

// Types the exercise in the writing window as the typist does, to the end
// and the key that stores it.
Ergebnis tippen(TestEnv& env, Tipper& t) {
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    const QString text = s.rtb1->text();
    Ergebnis e;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n')) continue;
        const bool schwach = t.schwach.contains(c.toLower());
        if (c != QLatin1Char('\r') && c != QLatin1Char(' ')) ++e.zeichen;
        std::uniform_real_distribution<double> u(0, 1);
        while (c != QLatin1Char('\r') && u(t.zufall) < t.fehler(c)) {
            env.services.uhr += t.zeit(c);
            tippeZeichen(s.Text1, c == QLatin1Char('x') ? QLatin1Char('y') : QLatin1Char('x'));
            ++t.gedrueckt[c.toLower().unicode()];
            if (schwach) ++e.fehler, ++e.anschlaege;
        }
        env.services.uhr += t.zeit(c);
        tippeZeichen(s.Text1, c);
        ++t.gedrueckt[c.toLower().unicode()];
        if (schwach) ++e.anschlaege;
    }
    tippeZeichen(s.Text1, QLatin1Char('\r'));
    return e;
}

QList<Ergebnis> reihe(bool schwaechen, const QString& schwach, double& wahrscheinlichkeit) {
    TestEnv env;
    {
        // A learner who has passed the lessons of these keys.
        TestDb db(velkoraPfad(env));
        for (int l = 1; l <= kLektionen; ++l)
            db.exec(QStringLiteral("INSERT INTO Auswertung (Datum, Zeit, IDLektion, ergebnis) VALUES "
                                   "('2024-05-17', '12:00:00', ?, 1)"),
                    {l});
    }
    frmLek& lek = env.app->forms.get<frmLek>();
    Tipper t;
    t.schwach = schwach;
    QList<Ergebnis> l;
    for (int i = 0; i < kUebungen; ++i) {
        const bool ok = schwaechen ? lek.starteSchwaechen()
                                   : lek.starteUebung(Gruppe::Lektionen, QString::number(i % kLektionen + 1));
        if (!ok) {
            std::printf("  exercise %d could not be started\n", i + 1);
            break;
        }
        l << tippen(env, t);
    }
    // Where the typist stands now: its mean error probability on the keys.
    wahrscheinlichkeit = 0;
    for (QChar c : schwach) wahrscheinlichkeit += t.fehler(c) / double(schwach.size());
    return l;
}

void drucken(const char* name, const QString& schwach, const QList<Ergebnis>& l) {
    const QByteArray k = schwach.toUtf8();
    int a = 0, f = 0, z = 0;
    std::printf("%s\n  exercise:       ", name);
    for (int i = 0; i < l.size(); ++i) std::printf("%4d", i + 1);
    std::printf("\n  presses on %s:", k.constData());
    for (const Ergebnis& e : l) std::printf("%4d", e.anschlaege), a += e.anschlaege, z += e.zeichen;
    std::printf("\n  errors on %s: ", k.constData());
    for (const Ergebnis& e : l) std::printf("%4d", e.fehler), f += e.fehler;
    std::printf("\n  total: %d presses on %s, %d errors on them, %d scored characters typed\n", a, k.constData(), f, z);
}

int summe(const QList<Ergebnis>& l, int von, int bis, int Ergebnis::*feld) {
    int n = 0;
    for (int i = von; i < bis && i < l.size(); ++i) n += l[i].*feld;
    return n;
}

// One typist: both ways of practising, their figures and how they compare.
void vergleich(const QString& schwach) {
    const QByteArray k = schwach.toUtf8();
    std::printf("\nWorst keys %s (25 %% errors at first, 480 ms), the others 2 %%, 230 ms; the error probability\n"
                "falls with the presses made on a key. %d exercises each, lessons 1 to %d passed.\n",
                k.constData(), kUebungen, kLektionen);
    double ps = 0, pl = 0;
    const QList<Ergebnis> s = reihe(true, schwach, ps);
    const QList<Ergebnis> l = reihe(false, schwach, pl);
    drucken("Schwächen üben:", schwach, s);
    drucken("Lessons 1 to 12 in turn:", schwach, l);
    const int as = summe(s, 0, kUebungen, &Ergebnis::anschlaege), al = summe(l, 0, kUebungen, &Ergebnis::anschlaege);
    std::printf("presses on %s, Schwächen üben / lessons: %d / %d = %.2f\n", k.constData(), as, al,
                al ? double(as) / al : 0.0);
    for (const auto& [name, r] : {std::pair{"Schwächen üben", s}, std::pair{"lessons", l}}) {
        const int vorne = summe(r, 0, 5, &Ergebnis::fehler), hinten = summe(r, kUebungen - 5, kUebungen, &Ergebnis::fehler);
        const double rate0 = double(vorne) / std::max(1, summe(r, 0, 5, &Ergebnis::anschlaege));
        const double rate1 = double(hinten) / std::max(1, summe(r, kUebungen - 5, kUebungen, &Ergebnis::anschlaege));
        std::printf("%-15s errors on %s, exercises 1-5: %d, 16-20: %d; error rate there %.1f %% -> %.1f %%\n", name,
                    k.constData(), vorne, hinten, 100 * rate0, 100 * rate1);
    }
    std::printf("error probability on %s after %d exercises: Schwächen üben %.1f %%, lessons %.1f %% (25 %% at first)\n",
                k.constData(), kUebungen, 100 * ps, 100 * pl);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepareTestApplication();
    // Keys the lessons drill hard (lessons 2, 4 and 10 are made of them),
    // and keys of the last lessons, which the others hardly use.
    vergleich(QStringLiteral("köz"));
    vergleich(QStringLiteral("bpv"));
    return 0;
}
