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
const QString kSchwach = QStringLiteral("köz");  // the typist's three worst keys

struct Tipper {
    std::mt19937 zufall{4711};
    QHash<char16_t, int> gedrueckt;  // presses so far, per key (capitals on their letter)
    // The error probability at a key: high on the three worst at first,
    // falling towards the floor with every press made on the key.
    double fehler(QChar c) const {
        const QChar k = c.toLower();
        const double anfang = kSchwach.contains(k) ? 0.25 : 0.02;
        return 0.01 + (anfang - 0.01) * std::exp(-gedrueckt.value(k.unicode()) / 300.0);
    }
    qint64 zeit(QChar c) const { return kSchwach.contains(c.toLower()) ? 480 : 230; }
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
        const bool schwach = kSchwach.contains(c.toLower());
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

QList<Ergebnis> reihe(bool schwaechen) {
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
    return l;
}

void drucken(const char* name, const QList<Ergebnis>& l) {
    int a = 0, f = 0, z = 0;
    std::printf("%s\n  exercise:      ", name);
    for (int i = 0; i < l.size(); ++i) std::printf("%4d", i + 1);
    std::printf("\n  presses on köz:");
    for (const Ergebnis& e : l) std::printf("%4d", e.anschlaege), a += e.anschlaege, z += e.zeichen;
    std::printf("\n  errors on köz: ");
    for (const Ergebnis& e : l) std::printf("%4d", e.fehler), f += e.fehler;
    std::printf("\n  total: %d presses on köz, %d errors on them, %d scored characters typed\n", a, f, z);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepareTestApplication();
    std::printf("Simulated typist, worst keys k ö z (25 %% errors at first, 480 ms), others 2 %%, 230 ms;\n"
                "error probability falls with the presses made on a key. %d exercises each.\n",
                kUebungen);
    const QList<Ergebnis> s = reihe(true);
    const QList<Ergebnis> k = reihe(false);
    drucken("Schwächen üben:", s);
    drucken("Lessons 1 to 12 in turn:", k);
    auto summe = [](const QList<Ergebnis>& l, int von, int bis, int Ergebnis::*feld) {
        int n = 0;
        for (int i = von; i < bis && i < l.size(); ++i) n += l[i].*feld;
        return n;
    };
    const int as = summe(s, 0, kUebungen, &Ergebnis::anschlaege), ak = summe(k, 0, kUebungen, &Ergebnis::anschlaege);
    std::printf("presses on the three worst keys, Schwächen üben / lessons: %d / %d = %.2f\n", as, ak,
                ak ? double(as) / ak : 0.0);
    for (const auto& [name, l] : {std::pair{"Schwächen üben", s}, std::pair{"lessons", k}}) {
        const int vorne = summe(l, 0, 5, &Ergebnis::fehler), hinten = summe(l, kUebungen - 5, kUebungen, &Ergebnis::fehler);
        const double rate0 = double(vorne) / std::max(1, summe(l, 0, 5, &Ergebnis::anschlaege));
        const double rate1 = double(hinten) / std::max(1, summe(l, kUebungen - 5, kUebungen, &Ergebnis::anschlaege));
        std::printf("%-15s errors on köz, exercises 1-5: %d, 16-20: %d; error rate there %.1f %% -> %.1f %%\n", name,
                    vorne, hinten, 100 * rate0, 100 * rate1);
    }
    return 0;
}
