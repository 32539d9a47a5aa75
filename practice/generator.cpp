#include "practice/generator.h"
#include "platform/textcodec.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <random>

namespace {
// A capital counts on its letter; ß has none of its own.
QChar falten(QChar c) { return c == QChar(0xDF) ? c : c.toLower(); }
bool istBuchstabe(QChar c) { return c.isLetter(); }

// Older exercises weigh less: the one before the newest by this factor,
// and so on; beyond kUebungen exercises nothing is read.
constexpr double kAbklingen = 0.75;
constexpr int kUebungen = 12;
// Presses an estimate is worth before any are made: a key with fewer has
// its estimate pulled towards kUnsicher times the learner's mean.
constexpr double kVorwissen = 10;
constexpr double kUnsicher = 2.0;
// How error rate and time make up a key's weakness.
constexpr double kAnteilFehler = 0.7;
// Weak keys and pairs are aimed at this multiple of their usual share.
constexpr double kZielFaktor = 2.8;
// A weak key is aimed at no less than this share of the letters, rare
// ones ("ö", "z") too: a few more in a text would not be practice.
constexpr double kMindestZiel = 0.2;

struct Summe {
    double n = 0, falsch = 0, ms = 0, zeitN = 0;
    void add(const Tastenwert& w, double g) {
        n += g * double(w.anschlaege());
        falsch += g * double(w.falsch);
        ms += g * double(w.zeitMs);
        zeitN += g * double(w.zeitN);
    }
};

// The weakness of one key or pair against the learner's means; the
// estimate of a rarely pressed one starts above the mean.
double schwaeche(const Summe& s, double mittelFehler, double mittelMs, double vorwissen) {
    const double fehler = (s.falsch + vorwissen * kUnsicher * mittelFehler) / (s.n + vorwissen);
    double zeit = 1;
    if (mittelMs > 0) zeit = (s.ms + vorwissen * 1.2 * mittelMs) / (s.zeitN + vorwissen) / mittelMs;
    return kAnteilFehler * fehler / mittelFehler + (1 - kAnteilFehler) * zeit;
}

// The learner's means over the allowed letters, and the sums per letter.
struct Mittel {
    double fehler = 0.01, ms = 0;
};
Mittel mittelwerte(const QList<Zeichenwerte>& neuesteZuerst, const Tastenauswahl& erlaubt,
                   QHash<char16_t, Summe>* jeZeichen = nullptr) {
    Summe alle;
    double g = 1;
    for (qsizetype i = 0; i < neuesteZuerst.size() && i < kUebungen; ++i, g *= kAbklingen)
        for (auto it = neuesteZuerst[i].zeichen.cbegin(); it != neuesteZuerst[i].zeichen.cend(); ++it) {
            const QChar c = falten(QChar(it.key()));
            if (!istBuchstabe(c) || !erlaubt.zeichen.contains(c.unicode())) continue;
            if (jeZeichen) (*jeZeichen)[c.unicode()].add(it.value(), g);
            alle.add(it.value(), g);
        }
    // A learner who never misses is measured against one miss in a hundred.
    return Mittel{std::max(alle.n > 0 ? alle.falsch / alle.n : 0.0, 0.01), alle.zeitN > 0 ? alle.ms / alle.zeitN : 0};
}

QList<char16_t> sortiert(const QSet<char16_t>& s) {
    QList<char16_t> l(s.cbegin(), s.cend());
    std::sort(l.begin(), l.end());
    return l;
}

// Occurrences of a letter or pair in a word, capitals folded.
int vorkommen(const QString& wort, const QString& einheit) {
    int n = 0;
    if (einheit.size() == 1) {
        for (QChar c : wort)
            if (falten(c) == einheit[0]) ++n;
        return n;
    }
    for (qsizetype i = 1; i < wort.size(); ++i)
        if (falten(wort[i - 1]) == einheit[0] && falten(wort[i]) == einheit[1]) ++n;
    return n;
}

int buchstaben(const QString& t) {
    return int(std::count_if(t.cbegin(), t.cend(), istBuchstabe));
}

QStringList zeilenLesen(const QString& pfad, QString* fehler) {
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) {
        if (fehler) *fehler = QStringLiteral("Die Datei „%1“ kann nicht gelesen werden.").arg(pfad);
        return {};
    }
    QStringList l;
    for (const QString& z : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        const QString t = z.trimmed();
        if (!t.isEmpty() && !t.startsWith(QLatin1Char('#'))) l << t;
    }
    return l;
}
}  // namespace

bool wortschatzLaden(const QString& woerterPfad, const QString& phrasenPfad, Wortschatz& w, QString* fehler) {
    w.woerter = zeilenLesen(woerterPfad, fehler);
    if (w.woerter.isEmpty()) {
        if (fehler && fehler->isEmpty()) *fehler = QStringLiteral("Die Wortliste ist leer.");
        return false;
    }
    w.phrasen = phrasenPfad.isEmpty() ? QStringList() : zeilenLesen(phrasenPfad, nullptr);
    return true;
}

bool Tastenauswahl::erlaubt(QChar c) const {
    if (c == QLatin1Char(' ')) return true;
    const QChar f = falten(c);
    if (f != c) return grossbuchstaben && zeichen.contains(f.unicode());
    return zeichen.contains(c.unicode());
}

QString lektionsTasten(int lektion) {
    static const char16_t* const tasten[] = {u"fj", u"dk", u"sl", u"aö", u"gh", u"ei", u"ru", u"wo", u"qp",
                                             u"tz", u"vm", u"bn", u"c,", u"x.", u"y-", u"äü", u"ß", u""};
    if (lektion < 1 || lektion > 18) return {};
    return QString::fromUtf16(tasten[lektion - 1]);
}

Tastenauswahl erlaubteTasten(const QList<int>& bestandeneLektionen) {
    Tastenauswahl a;
    for (int l : bestandeneLektionen) {
        for (QChar c : lektionsTasten(l)) a.zeichen.insert(c.unicode());
        if (l == 18) a.grossbuchstaben = true;
    }
    return a;
}

Tastenauswahl alleLektionsTasten() {
    QList<int> alle;
    for (int l = 1; l <= 18; ++l) alle << l;
    return erlaubteTasten(alle);
}

int naechsteLektion(const QList<int>& bestandeneLektionen) {
    for (int l = 1; l <= 18; ++l)
        if (!bestandeneLektionen.contains(l)) return l;
    return 0;
}

QHash<char16_t, double> tastenSchwaeche(const QList<Zeichenwerte>& neuesteZuerst, const Tastenauswahl& erlaubt) {
    QHash<char16_t, Summe> je;
    const Mittel m = mittelwerte(neuesteZuerst, erlaubt, &je);
    QHash<char16_t, double> s;
    for (char16_t c : erlaubt.zeichen)
        if (istBuchstabe(QChar(c))) s.insert(c, schwaeche(je.value(c), m.fehler, m.ms, kVorwissen));
    return s;
}

Vorrat vorrat(const Wortschatz& w, const Tastenauswahl& erlaubt) {
    auto passt = [&](const QString& t) {
        return t.size() <= kZeilenlaenge && std::all_of(t.cbegin(), t.cend(), [&](QChar c) { return erlaubt.erlaubt(c); });
    };
    Vorrat v;
    for (const QString& x : w.woerter)
        if (passt(x)) v.woerter << x;
    for (const QString& x : w.phrasen)
        if (passt(x)) v.phrasen << x;
    return v;
}

namespace {
double anteilUnter(const QStringList& l, const QString& einheit, double& n, double& alle) {
    for (const QString& x : l) {
        n += vorkommen(x, einheit);
        alle += buchstaben(x);
    }
    return alle > 0 ? n / alle : 0;
}
}  // namespace

double ueblicherAnteil(const Wortschatz& w, const QString& einheit) {
    double n = 0, alle = 0;
    anteilUnter(w.woerter, einheit, n, alle);
    return anteilUnter(w.phrasen, einheit, n, alle);
}

double anteilImVorrat(const Vorrat& v, const QString& einheit) {
    double n = 0, alle = 0;
    return anteilUnter(v.woerter, einheit, n, alle);
}

double anteilIn(const QString& text, const QString& einheit) {
    double n = 0;
    for (const QString& x : text.split(QRegularExpression(QStringLiteral("[^\\p{L}]+")), Qt::SkipEmptyParts))
        n += vorkommen(x, einheit);
    const int alle = buchstaben(text);
    return alle > 0 ? n / alle : 0;
}

Einschaetzung einschaetzen(const QList<Zeichenwerte>& neuesteZuerst, const Tastenauswahl& erlaubt,
                           const Wortschatz& w) {
    Einschaetzung e;
    const QHash<char16_t, double> tasten = tastenSchwaeche(neuesteZuerst, erlaubt);
    // Records of allowed letters at all?
    qint64 gedrueckt = 0;
    for (qsizetype i = 0; i < neuesteZuerst.size() && i < kUebungen; ++i)
        for (auto it = neuesteZuerst[i].zeichen.cbegin(); it != neuesteZuerst[i].zeichen.cend(); ++it)
            if (tasten.contains(falten(QChar(it.key())).unicode())) gedrueckt += it.value().anschlaege();
    if (gedrueckt == 0) return e;
    e.ohneDaten = false;

    const Vorrat v = vorrat(w, erlaubt);
    auto genugWoerter = [&](const QString& einheit) {
        int n = 0;
        for (const QString& x : v.woerter)
            if (vorkommen(x, einheit) > 0 && ++n >= 3) return true;
        return false;
    };

    // Keys: the clearly weaker ones, at most four; with none standing out,
    // the two weakest.
    QList<std::pair<double, char16_t>> rang;
    for (char16_t c : sortiert(QSet<char16_t>(tasten.keyBegin(), tasten.keyEnd())))
        if (genugWoerter(QString(QChar(c)))) rang << std::pair{tasten.value(c), c};
    std::stable_sort(rang.begin(), rang.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    if (rang.isEmpty()) return e;
    const double median = rang[rang.size() / 2].first;
    for (const auto& [wert, c] : rang)
        if (e.tasten.size() < 4 && (wert >= 2 * median || wert >= std::max(1.3, 1.25 * median)))
            e.tasten << QString(QChar(c));
    for (qsizetype i = 0; e.tasten.isEmpty() && i < std::min<qsizetype>(2, rang.size()); ++i)
        e.tasten << QString(QChar(rang[i].second));

    // Pairs of allowed letters that are weaker than their second key alone,
    // measured against the learner's means over the keys.
    QHash<quint32, Summe> paare;
    const Mittel m = mittelwerte(neuesteZuerst, erlaubt);
    double g = 1;
    for (qsizetype i = 0; i < neuesteZuerst.size() && i < kUebungen; ++i, g *= kAbklingen)
        for (auto it = neuesteZuerst[i].paare.cbegin(); it != neuesteZuerst[i].paare.cend(); ++it) {
            const QChar a = falten(QChar(paarVorher(it.key()))), b = falten(QChar(paarZeichen(it.key())));
            if (!tasten.contains(a.unicode()) || !tasten.contains(b.unicode())) continue;
            paare[paarSchluessel(a.unicode(), b.unicode())].add(it.value(), g);
        }
    QList<quint32> schluessel(paare.keyBegin(), paare.keyEnd());
    std::sort(schluessel.begin(), schluessel.end());
    QList<std::pair<double, QString>> paarRang;
    for (quint32 p : schluessel) {
        const Summe& s = paare[p];
        if (s.n < 3) continue;
        const QString name = QString(QChar(paarVorher(p))) + QChar(paarZeichen(p));
        const double wert = schwaeche(s, m.fehler, m.ms, 5);
        if (wert >= 1.5 && wert >= 1.3 * tasten.value(paarZeichen(p)) && genugWoerter(name))
            paarRang << std::pair{wert, name};
    }
    std::stable_sort(paarRang.begin(), paarRang.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (qsizetype i = 0; i < std::min<qsizetype>(2, paarRang.size()); ++i) e.paare << paarRang[i].second;
    return e;
}

QString geuebtZeile(const Einschaetzung& e) {
    if (e.ohneDaten)
        return QStringLiteral("Noch keine Tastenwerte gespeichert: geübt wird ein ausgewogener Text aus den "
                              "erlaubten Tasten.");
    return QStringLiteral("Geübt werden: ") + (e.tasten + e.paare).join(QStringLiteral(", "));
}

Schwaechenuebung schwaechenuebung(const Wortschatz& w, const QList<Zeichenwerte>& neuesteZuerst,
                                  const Tastenauswahl& erlaubt, int ziel, quint32 seed) {
    Schwaechenuebung u;
    u.was = einschaetzen(neuesteZuerst, erlaubt, w);
    const Vorrat v = vorrat(w, erlaubt);
    if (v.woerter.size() < kMindestWoerter) {
        u.zuWenigWoerter = true;
        return u;
    }

    // What the text aims at: the weak keys and pairs well above their usual
    // share; without records every allowed letter alike.
    struct Ziel {
        QString einheit;
        double anteil;
        int zahl = 0;  // occurrences so far
    };
    QList<Ziel> ziele;
    if (u.was.ohneDaten) {
        QList<char16_t> l;
        for (char16_t c : sortiert(erlaubt.zeichen))
            if (istBuchstabe(QChar(c)) && anteilImVorrat(v, QString(QChar(c))) > 0) l << c;
        for (char16_t c : l) ziele << Ziel{QString(QChar(c)), 1.0 / double(l.size())};
    } else {
        for (const QString& x : u.was.tasten + u.was.paare)
            ziele << Ziel{x, std::min(0.35, std::max(kMindestZiel, kZielFaktor * std::max(ueblicherAnteil(w, x),
                                                                                      anteilImVorrat(v, x))))};
    }
    // The words and phrases holding each unit aimed at.
    QList<QStringList> woerterMit(ziele.size()), phrasenMit(ziele.size());
    for (qsizetype i = 0; i < ziele.size(); ++i) {
        for (const QString& x : v.woerter)
            if (vorkommen(x, ziele[i].einheit) > 0) woerterMit[i] << x;
        for (const QString& x : v.phrasen)
            if (vorkommen(x, ziele[i].einheit) > 0) phrasenMit[i] << x;
    }

    std::mt19937 zufall(seed);
    auto ziehe = [&](const QStringList& l) -> const QString& { return l[qsizetype(zufall() % quint32(l.size()))]; };
    QHash<QString, int> benutzt;
    int alleBuchstaben = 0;
    auto fehlt = [&](const Ziel& z) {
        return (z.anteil - (alleBuchstaben > 0 ? double(z.zahl) / alleBuchstaben : 0.0)) / z.anteil;
    };
    auto wert = [&](const QString& kandidat) {
        double s = 0;
        for (const Ziel& z : ziele)
            if (const double f = fehlt(z); f > 0) s += f * f * vorkommen(kandidat, z.einheit);
        const int n = benutzt.value(kandidat);
        return (s + 0.05) / double(std::max(1, buchstaben(kandidat))) / double((1 + n) * (1 + n));
    };

    QStringList zeilen;
    QString zeile;
    for (int schritt = 0; u.bewertet < ziel; ++schritt) {
        // The unit furthest below its aim (ties drawn) is served next.
        qsizetype vorn = -1;
        double vornFehlt = 0;
        for (qsizetype i = 0, gleich = 0; i < ziele.size(); ++i) {
            const double f = fehlt(ziele[i]);
            if (vorn < 0 || f > vornFehlt + 1e-12) vorn = i, vornFehlt = f, gleich = 1;
            else if (std::abs(f - vornFehlt) <= 1e-12 && zufall() % quint32(++gleich) == 0) vorn = i;
        }
        // Every fifth piece a phrase, so the text reads as German.
        const QStringList* aus = &v.woerter;
        bool phrase = false;
        if (schritt % 5 == 4) {
            const QStringList& p = vorn >= 0 ? phrasenMit[vorn] : v.phrasen;
            if (!p.isEmpty()) aus = &p, phrase = true;
        }
        if (!phrase && vorn >= 0 && !woerterMit[vorn].isEmpty()) aus = &woerterMit[vorn];
        QString best;
        double bestWert = -1;
        for (int k = 0; k < 40; ++k) {
            const QString& kandidat = ziehe(*aus);
            const double x = wert(kandidat);
            if (x > bestWert) bestWert = x, best = kandidat;
        }
        ++benutzt[best];
        alleBuchstaben += buchstaben(best);
        for (Ziel& z : ziele) z.zahl += vorkommen(best, z.einheit);
        for (const QString& wort : best.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (!zeile.isEmpty() && zeile.size() + 1 + wort.size() > kZeilenlaenge) {
                zeilen << zeile;
                zeile.clear();
            }
            if (!zeile.isEmpty()) zeile += QLatin1Char(' ');
            zeile += wort;
            u.bewertet += int(wort.size());
        }
    }
    if (!zeile.isEmpty()) zeilen << zeile;
    u.text = zeilen.join(QStringLiteral("\r\n"));
    u.datei = encodeCp1252(u.text);
    return u;
}
