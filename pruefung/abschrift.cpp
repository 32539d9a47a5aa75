#include "pruefung/abschrift.h"
#include "platform/numbers.h"
#include "platform/richtextview.h"
#include "shell/app.h"

#include <QDir>
#include <QStringView>
#include <algorithm>
#include <limits>
#include <vector>

namespace {

bool istRaum(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

struct Wort {
    int anfang;
    int laenge;
    int ende() const { return anfang + laenge; }
};

std::vector<Wort> woerter(const QString& t) {
    std::vector<Wort> w;
    const int n = int(t.size());
    int i = 0;
    while (i < n) {
        while (i < n && istRaum(t[i])) ++i;
        if (i >= n) break;
        const int a = i;
        while (i < n && !istRaum(t[i])) ++i;
        w.push_back({a, i - a});
    }
    return w;
}

// The space between two words as the reader sees it: the number of line
// breaks, or where there is none the number of blanks (as 1000 + breaks
// and blanks, so the two never meet).
int raumArt(const QString& t, int von, int bis) {
    int umbrueche = 0, cr = 0, blanks = 0;
    for (int i = von; i < bis; ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('\n')) ++umbrueche;
        else if (c == QLatin1Char('\r')) ++cr;
        else ++blanks;
    }
    if (umbrueche == 0) umbrueche = cr;  // lone CR line breaks
    return umbrueche > 0 ? 1000 + umbrueche : blanks;
}

enum Schritt : unsigned char { Keiner, Gleich, Anfang, Falsch, Fehlt, Extra, Tausch, Zusammen, Getrennt };

// Steps that put copy words in the place of source words: the space after
// such a step is compared when the next step is one as well.
bool deckend(Schritt s) { return s != Fehlt && s != Extra && s != Keiner; }

// One error in the costs of the alignment; below it, up to kAbstandMax for
// how unlike two words put in each other's place are (a word left out or
// added counts as fairly unlike). A copy of under 2^20 / 32 words never
// lets the likeness outweigh an error.
constexpr qint64 kFehler = qint64(1) << 20;
constexpr int kAbstandMax = 32;
constexpr int kAbstandAllein = 16;

// How unlike two words are: the letters outside their common beginning and
// end, at most kAbstandMax.
int abstand(QStringView a, QStringView b) {
    const qsizetype kurz = std::min(a.size(), b.size());
    qsizetype vorn = 0;
    while (vorn < kurz && a[vorn] == b[vorn]) ++vorn;
    qsizetype hinten = 0;
    while (hinten < kurz - vorn && a[a.size() - 1 - hinten] == b[b.size() - 1 - hinten]) ++hinten;
    return int(std::min<qsizetype>(kAbstandMax, std::max(a.size(), b.size()) - vorn - hinten));
}

struct Weg {
    Schritt art;
    int q, qn;  // first source word, number of source words
    int k, kn;  // first copy word, number of copy words
};

}  // namespace

Abschriftzaehlung abschriftZaehlen(const QString& quelle, const QString& kopie) {
    Abschriftzaehlung z;
    z.brutto = int(kopie.size()) - int(kopie.count(QStringLiteral("\r\n")));
    const std::vector<Wort> kw = woerter(kopie);
    const std::vector<Wort> qwAlle = woerter(quelle);
    const int m = int(kw.size());
    if (m == 0) return z;
    // Reaching source word i with m copy words costs at least i − m errors,
    // and typing every word wrong costs m: beyond 2m + 1 words nothing is cheaper.
    const int n = std::min<int>(int(qwAlle.size()), 2 * m + 1);
    const std::vector<Wort>& qw = qwAlle;

    auto q = [&](int i) { return QStringView(quelle).mid(qw[i].anfang, qw[i].laenge); };
    auto k = [&](int j) { return QStringView(kopie).mid(kw[j].anfang, kw[j].laenge); };
    const bool endetImWort = !istRaum(kopie.back());

    // Cost rows i−2, i−1, i; one step per cell, kept for the way back. A
    // cost is the number of errors, and below it how far apart the words
    // put in each other's place are, so that of equally many errors the
    // alignment that pairs like words wins ("Büromöbl" with "Büromöbel",
    // not with the word after it).
    const int breite = m + 1;
    std::vector<qint64> r0(breite), r1(breite), r2(breite);
    std::vector<unsigned char> schritt(size_t(n + 1) * size_t(breite), Keiner);
    auto S = [&](int i, int j) -> unsigned char& { return schritt[size_t(i) * size_t(breite) + size_t(j)]; };

    std::vector<qint64> endkosten(size_t(n) + 1);  // cost of all copy words against i source words
    std::vector<qint64>* vorvorig = &r0;
    std::vector<qint64>* vorig = &r1;
    std::vector<qint64>* jetzt = &r2;
    for (int i = 0; i <= n; ++i) {
        std::vector<qint64>& D = *jetzt;
        for (int j = 0; j <= m; ++j) {
            if (i == 0 && j == 0) {
                D[0] = 0;
                continue;
            }
            qint64 best = std::numeric_limits<qint64>::max();
            Schritt art = Keiner;
            // On equal cost the step tried first wins: a match, then the
            // steps that explain two words at once, then a wrong word.
            auto nimm = [&](qint64 kosten, Schritt s) {
                if (kosten < best) best = kosten, art = s;
            };
            if (i > 0 && j > 0) {
                const int v = (*vorig)[j - 1];
                if (q(i - 1) == k(j - 1)) nimm(v, Gleich);
                else if (j == m && endetImWort && q(i - 1).startsWith(k(j - 1))) nimm(v, Anfang);
            }
            if (i > 1 && j > 1 && q(i - 2) == k(j - 1) && q(i - 1) == k(j - 2) && q(i - 2) != q(i - 1))
                nimm((*vorvorig)[j - 2] + kFehler, Tausch);
            if (i > 1 && j > 0 && k(j - 1).size() == q(i - 2).size() + q(i - 1).size() &&
                k(j - 1).startsWith(q(i - 2)) && k(j - 1).endsWith(q(i - 1)))
                nimm((*vorvorig)[j - 1] + kFehler, Zusammen);
            if (i > 0 && j > 1 && q(i - 1).size() == k(j - 2).size() + k(j - 1).size() &&
                q(i - 1).startsWith(k(j - 2)) && q(i - 1).endsWith(k(j - 1)))
                nimm((*vorig)[j - 2] + kFehler, Getrennt);
            if (i > 0 && j > 0) nimm((*vorig)[j - 1] + kFehler + abstand(q(i - 1), k(j - 1)), Falsch);
            if (i > 0) nimm((*vorig)[j] + kFehler + kAbstandAllein, Fehlt);
            if (j > 0) nimm(D[j - 1] + kFehler + kAbstandAllein, Extra);
            D[j] = best;
            S(i, j) = art;
        }
        endkosten[size_t(i)] = D[m];
        std::vector<qint64>* frei = vorvorig;
        vorvorig = vorig;
        vorig = jetzt;
        jetzt = frei;
    }

    // Where the copy ends: the cheapest source prefix for all its words;
    // of equally cheap ones the longest (a last word typed wrong rather
    // than one too many). The source words after it are not missing.
    int ende = 0;
    for (int i = 1; i <= n; ++i)
        if (endkosten[size_t(i)] <= endkosten[size_t(ende)]) ende = i;

    std::vector<Weg> weg;
    for (int i = ende, j = m; i > 0 || j > 0;) {
        const Schritt s = Schritt(S(i, j));
        Weg w{s, i, 0, j, 0};
        switch (s) {
        case Gleich: case Anfang: case Falsch: w.qn = 1; w.kn = 1; break;
        case Fehlt: w.qn = 1; break;
        case Extra: w.kn = 1; break;
        case Tausch: w.qn = 2; w.kn = 2; break;
        case Zusammen: w.qn = 2; w.kn = 1; break;
        case Getrennt: w.qn = 1; w.kn = 2; break;
        case Keiner: w.qn = i > 0; w.kn = i > 0 ? 0 : 1; break;  // first row or column
        }
        if (s == Keiner) w.art = i > 0 ? Fehlt : Extra;
        i -= w.qn;
        j -= w.kn;
        w.q = i;
        w.k = j;
        weg.push_back(w);
    }
    std::reverse(weg.begin(), weg.end());

    // A range of source words [a, a + n), of copy words likewise; with none,
    // an empty range where they would stand: just after the word before.
    auto qBereich = [&](int a, int anzahl, int& von, int& laenge) {
        if (anzahl == 0) {
            von = a > 0 ? qw[size_t(a) - 1].ende() : 0;
            laenge = 0;
            return;
        }
        von = qw[size_t(a)].anfang;
        laenge = qw[size_t(a + anzahl - 1)].ende() - von;
    };
    auto kBereich = [&](int a, int anzahl, int& von, int& laenge) {
        if (anzahl == 0) {
            von = a > 0 ? kw[size_t(a) - 1].ende() : 0;
            laenge = 0;
            return;
        }
        von = kw[size_t(a)].anfang;
        laenge = kw[size_t(a + anzahl - 1)].ende() - von;
    };
    // The space after source word i and after copy word j, compared.
    auto raumPruefen = [&](int i, int j) {
        const int qv = qw[size_t(i)].ende(), qb = qw[size_t(i) + 1].anfang;
        const int kv = kw[size_t(j)].ende(), kb = kw[size_t(j) + 1].anfang;
        if (raumArt(quelle, qv, qb) != raumArt(kopie, kv, kb))
            z.fehler.append({Abschriftfehler::Art::FalscherZwischenraum, qv, qb - qv, kv, kb - kv});
    };

    for (size_t w = 0; w < weg.size(); ++w) {
        const Weg& s = weg[w];
        Abschriftfehler f{Abschriftfehler::Art::FalschesWort};
        qBereich(s.q, s.qn, f.quelleAnfang, f.quelleLaenge);
        kBereich(s.k, s.kn, f.kopieAnfang, f.kopieLaenge);
        switch (s.art) {
        case Gleich: case Anfang: case Keiner: break;
        case Falsch: z.fehler.append(f); break;
        case Fehlt: f.art = Abschriftfehler::Art::FehlendesWort; z.fehler.append(f); break;
        case Extra: f.art = Abschriftfehler::Art::ZusaetzlichesWort; z.fehler.append(f); break;
        case Tausch:
            f.art = Abschriftfehler::Art::Vertauscht;
            z.fehler.append(f);
            raumPruefen(s.q, s.k);
            break;
        case Zusammen: f.art = Abschriftfehler::Art::FehlenderZwischenraum; z.fehler.append(f); break;
        case Getrennt: f.art = Abschriftfehler::Art::ZusaetzlicherZwischenraum; z.fehler.append(f); break;
        }
        if (w + 1 < weg.size() && deckend(s.art) && deckend(weg[w + 1].art))
            raumPruefen(s.q + s.qn - 1, s.k + s.kn - 1);
    }
    z.quelleBis = ende > 0 ? qw[size_t(ende) - 1].ende() : 0;
    return z;
}

QString tastenfolgeAnwenden(const QString& folge, bool korrekturErlaubt) {
    QString t;
    t.reserve(folge.size());
    for (QChar c : folge) {
        if (c != QLatin1Char('\b')) t.append(c);
        else if (korrekturErlaubt && !t.isEmpty()) t.chop(1);
    }
    return t;
}

// ---- figures and grades ----

Notenschluessel standardNotenschluessel() {
    // An example key, not an official standard (see the header).
    Notenschluessel s;
    s.abzugJeFehler = 10;
    s.mindestNetto = {220, 190, 160, 130, 100, 0};
    s.hoechstQuote = {0.25, 0.5, 0.75, 1.0, 1.5, 100};
    return s;
}

int abschriftNote(double netto, double quote, const Notenschluessel& s) {
    for (int g = 0; g < 6; ++g)
        if (netto >= s.mindestNetto[size_t(g)] && quote <= s.hoechstQuote[size_t(g)]) return g + 1;
    return 6;
}

Abschriftwerte abschriftWerte(int brutto, int fehler, double sekunden, const Notenschluessel& s) {
    Abschriftwerte w;
    w.brutto = brutto;
    w.fehler = fehler;
    w.minuten = sekunden / 60;
    w.quote = brutto > 0 ? rundeGerade(fehler * 100.0 / brutto, 2) : 0;
    if (sekunden > 0) {
        w.anschlaege = rundeGerade(brutto / w.minuten);
        w.netto = std::max(0.0, rundeGerade((brutto - fehler * s.abzugJeFehler) / w.minuten));
    }
    w.note = abschriftNote(w.netto, w.quote, s);
    return w;
}

// ---- the grade key in the settings store ----

namespace {
const QString kAbschnitt = QStringLiteral("Abschrift");
QString nettoKey(int g) { return QStringLiteral("Note%1Netto").arg(g + 1); }
QString quoteKey(int g) { return QStringLiteral("Note%1Quote").arg(g + 1); }

// A stored number, with a decimal comma or point; kept as it was when it is
// none or out of [0, hoechstens].
void zahlLesen(const App& app, const QString& key, double hoechstens, double& wert) {
    QString t = app.GetSetting(kAbschnitt, key).trimmed();
    if (t.isEmpty()) return;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok && d >= 0 && d <= hoechstens) wert = d;
}
QString zahlSchreiben(double d) { return QString::number(d, 'g', 15); }
}  // namespace

QStringList notenschluesselSchluessel() {
    QStringList k{kAbschnitt + QStringLiteral("/Abzug")};
    for (int g = 0; g < 6; ++g) k << kAbschnitt + u'/' + nettoKey(g) << kAbschnitt + u'/' + quoteKey(g);
    return k;
}

Notenschluessel notenschluesselLesen(const App& app) {
    Notenschluessel s = standardNotenschluessel();
    zahlLesen(app, QStringLiteral("Abzug"), 1000, s.abzugJeFehler);
    for (int g = 0; g < 6; ++g) {
        zahlLesen(app, nettoKey(g), 10000, s.mindestNetto[size_t(g)]);
        zahlLesen(app, quoteKey(g), 100, s.hoechstQuote[size_t(g)]);
    }
    return s;
}

bool notenschluesselSpeichern(App& app, const Notenschluessel& s) {
    bool ok = app.SaveSetting(kAbschnitt, QStringLiteral("Abzug"), zahlSchreiben(s.abzugJeFehler));
    for (int g = 0; g < 6; ++g) {
        ok &= app.SaveSetting(kAbschnitt, nettoKey(g), zahlSchreiben(s.mindestNetto[size_t(g)]));
        ok &= app.SaveSetting(kAbschnitt, quoteKey(g), zahlSchreiben(s.hoechstQuote[size_t(g)]));
    }
    return ok;
}

QString notenWort(int note) {
    static const char16_t* const w[] = {u"sehr gut", u"gut", u"befriedigend", u"ausreichend", u"mangelhaft",
                                        u"ungenügend"};
    return note >= 1 && note <= 6 ? QString::fromUtf16(w[note - 1]) : QString();
}

QString fehlerText(Abschriftfehler::Art art) {
    using A = Abschriftfehler::Art;
    switch (art) {
    case A::FalschesWort: return QStringLiteral("falsches Wort");
    case A::FehlendesWort: return QStringLiteral("fehlendes Wort");
    case A::ZusaetzlichesWort: return QStringLiteral("zusätzliches Wort");
    case A::Vertauscht: return QStringLiteral("vertauschte Wörter");
    case A::FehlenderZwischenraum: return QStringLiteral("fehlender Leerraum");
    case A::ZusaetzlicherZwischenraum: return QStringLiteral("Leerraum im Wort");
    case A::FalscherZwischenraum: return QStringLiteral("falscher Leerraum oder Zeilenumbruch");
    }
    return {};
}

QString fehlerBeschreibung(const Abschriftfehler& f, const QString& quelle, const QString& kopie) {
    if (f.art == Abschriftfehler::Art::FalscherZwischenraum) {
        const int zeile = int(quelle.left(f.quelleAnfang).count(QLatin1Char('\n'))) + 1;
        return QStringLiteral("%1 in Zeile %2 der Vorlage").arg(fehlerText(f.art)).arg(zeile);
    }
    QString t = fehlerText(f.art);
    if (f.quelleLaenge > 0)
        t += QStringLiteral(" „%1“").arg(quelle.mid(f.quelleAnfang, f.quelleLaenge).simplified());
    if (f.kopieLaenge > 0)
        t += QStringLiteral(", geschrieben „%1“").arg(kopie.mid(f.kopieAnfang, f.kopieLaenge).simplified());
    return t;
}

// ---- the texts ----

Abschrifttext abschrifttextAus(const QString& inhalt, const QString& datei) {
    Abschrifttext t;
    t.datei = datei;
    qsizetype nl = inhalt.indexOf(QLatin1Char('\n'));
    if (nl < 0) nl = inhalt.size();
    t.titel = inhalt.left(nl).trimmed();
    // The text begins after the title and the blank lines below it.
    QString rest = inhalt.mid(nl + 1);
    rest.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    rest.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (rest.startsWith(QLatin1Char('\n'))) rest.remove(0, 1);
    while (rest.endsWith(QLatin1Char('\n'))) rest.chop(1);
    rest.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    t.text = rest;
    return t;
}

QList<Abschrifttext> abschrifttexte(const QString& programDir) {
    QList<Abschrifttext> liste;
    QDir d(programDir + QStringLiteral("/abschrift"));
    QStringList namen = d.entryList({QStringLiteral("*.inf")}, QDir::Files, QDir::Name);
    // Abschrift2 before Abschrift10.
    std::stable_sort(namen.begin(), namen.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (const QString& n : namen) {
        QString inhalt;
        if (RichTextView::readFile(d.filePath(n), false, inhalt) != RichTextView::LoadResult::Ok) continue;
        Abschrifttext t = abschrifttextAus(inhalt, d.filePath(n));
        if (!t.text.trimmed().isEmpty()) liste << t;
    }
    return liste;
}
