#include "insight/tastenwerte.h"
#include "trainer/keytable.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

// ---- counting ----

void Tastenzaehler::uebungBegonnen(const QString&, qint64) {
    werte_.zeichen.clear();
    werte_.paare.clear();
    mitVorher_ = false;
    laeuft_ = true;
    fertig_ = false;
}

void Tastenzaehler::tasteAngenommen(int, QChar erwartet, qint64 ms) {
    if (!laeuft_) return;
    const char16_t c = erwartet.unicode();
    Tastenwert& t = werte_.zeichen[c];
    ++t.richtig;
    if (mitVorher_) {
        Tastenwert& p = werte_.paare[paarSchluessel(vorher_, c)];
        ++p.richtig;
        const qint64 dauer = ms - zuletzt_;
        if (dauer >= 0 && dauer <= kLaengsteZeitMs) {
            t.zeitMs += dauer, ++t.zeitN;
            p.zeitMs += dauer, ++p.zeitN;
        }
    }
    vorher_ = c;
    mitVorher_ = true;
    zuletzt_ = ms;
}

void Tastenzaehler::tasteFalsch(int, QChar erwartet, QChar, qint64) {
    if (!laeuft_) return;
    const char16_t c = erwartet.unicode();
    ++werte_.zeichen[c].falsch;
    if (mitVorher_) ++werte_.paare[paarSchluessel(vorher_, c)].falsch;
}

void Tastenzaehler::uebungBeendet(qint64) {
    fertig_ = laeuft_;
    laeuft_ = false;
}

QList<Tabellenzeile> Tastenzaehler::ergebniszeilen(const QString& ergebnis, const QDate& datum) {
    if (!fertig_) return {};
    fertig_ = false;
    return tastenwertZeilen(werte_, ergebnis, datum);
}

QList<Tabellenzeile> tastenwertZeilen(const Zeichenwerte& w, const QString& ergebnis, const QDate& datum) {
    QList<Tabellenzeile> out;
    out.reserve(w.zeichen.size() + w.paare.size());
    const QString tag = datum.toString(Qt::ISODate);
    static const QStringList tSpalten = {"ergebnis", "datum", "zeichen", "richtig", "falsch", "zeit_ms", "zeit_n"};
    static const QStringList pSpalten = {"ergebnis", "datum",   "vorher", "zeichen",
                                         "richtig",  "falsch",  "zeit_ms", "zeit_n"};
    for (auto it = w.zeichen.cbegin(); it != w.zeichen.cend(); ++it) {
        const Tastenwert& v = it.value();
        Tabellenzeile z{QStringLiteral("Tastenwerte"), tSpalten,
                        {ergebnis, tag, QString(QChar(it.key())), v.richtig, v.falsch, v.zeitMs, v.zeitN},
                        ergebnis};
        out << z;
    }
    for (auto it = w.paare.cbegin(); it != w.paare.cend(); ++it) {
        const Tastenwert& v = it.value();
        Tabellenzeile z{QStringLiteral("Paarwerte"), pSpalten,
                        {ergebnis, tag, QString(QChar(paarVorher(it.key()))), QString(QChar(paarZeichen(it.key()))),
                         v.richtig, v.falsch, v.zeitMs, v.zeitN},
                        ergebnis};
        out << z;
    }
    return out;
}

// ---- reading ----

namespace {
bool tabelleFehlt(const QSqlError& e) { return e.text().contains(QLatin1String("no such table")); }

char16_t einZeichen(const QVariant& v) {
    const QString s = v.toString();
    return s.size() == 1 ? s[0].unicode() : 0;
}

Tastenwert wertAb(const QSqlQuery& q, int erste) {
    return Tastenwert{q.value(erste).toLongLong(), q.value(erste + 1).toLongLong(), q.value(erste + 2).toLongLong(),
                      q.value(erste + 3).toLongLong()};
}

// Runs one statement; false with the reason unless the table is missing.
bool abfragen(QSqlQuery& q, const QString& sql, const QVariantList& werte, bool& fehlt, QString* fehler) {
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant& w : werte) q.addBindValue(w);
    if (q.exec()) return true;
    if (tabelleFehlt(q.lastError())) fehlt = true;
    else if (fehler) *fehler = q.lastError().text();
    return false;
}

// Sums the rows the two statements give into one set of records: the
// characters' first, then the pairs'. A missing table ends the reading with
// what was read so far.
std::optional<Zeichenwerte> werteLesen(QSqlQuery& q, const QString& tSql, const QString& pSql,
                                       const QVariantList& werte, QString* fehler) {
    Zeichenwerte w;
    bool fehlt = false;
    if (!abfragen(q, tSql, werte, fehlt, fehler)) return fehlt ? std::optional(w) : std::nullopt;
    while (q.next())
        if (const char16_t c = einZeichen(q.value(0))) w.zeichen[c] += wertAb(q, 1);
    if (!abfragen(q, pSql, werte, fehlt, fehler)) return fehlt ? std::optional(w) : std::nullopt;
    while (q.next()) {
        const char16_t v = einZeichen(q.value(0)), c = einZeichen(q.value(1));
        if (v && c) w.paare[paarSchluessel(v, c)] += wertAb(q, 2);
    }
    return w;
}
}  // namespace

std::optional<Zeichenwerte> ergebniswerteLesen(QSqlDatabase db, const QString& ergebnis, QString* fehler) {
    QSqlQuery q(db);
    return werteLesen(
        q, QStringLiteral("SELECT zeichen, richtig, falsch, zeit_ms, zeit_n FROM Tastenwerte WHERE ergebnis = ?"),
        QStringLiteral("SELECT vorher, zeichen, richtig, falsch, zeit_ms, zeit_n FROM Paarwerte WHERE ergebnis = ?"),
        {ergebnis}, fehler);
}

std::optional<Zeichenwerte> zeichenwerteLesen(QSqlDatabase db, Zeitraum z, const QDate& heute, QString* fehler) {
    QSqlQuery q(db);
    const QString summen = QStringLiteral("sum(richtig), sum(falsch), sum(zeit_ms), sum(zeit_n)");
    QString tSql, pSql;
    QVariantList werte;
    switch (z) {
    case Zeitraum::LetzteUebung: {
        // The newest result with records: the last rows appended.
        bool fehlt = false;
        if (!abfragen(q, QStringLiteral("SELECT ergebnis FROM Tastenwerte ORDER BY rowid DESC LIMIT 1"), {}, fehlt,
                      fehler))
            return fehlt ? std::optional(Zeichenwerte{}) : std::nullopt;
        if (!q.next()) return Zeichenwerte{};
        return ergebniswerteLesen(db, q.value(0).toString(), fehler);
    }
    case Zeitraum::Tage7:
    case Zeitraum::Tage30:
        werte << heute.addDays(z == Zeitraum::Tage7 ? -6 : -29).toString(Qt::ISODate);
        tSql = QStringLiteral("SELECT zeichen, %1 FROM Tastentage WHERE datum >= ? GROUP BY zeichen").arg(summen);
        pSql = QStringLiteral("SELECT vorher, zeichen, %1 FROM Paartage WHERE datum >= ? GROUP BY vorher, zeichen")
                   .arg(summen);
        break;
    case Zeitraum::Alle:
        tSql = QStringLiteral("SELECT zeichen, richtig, falsch, zeit_ms, zeit_n FROM Tastensumme");
        pSql = QStringLiteral("SELECT vorher, zeichen, richtig, falsch, zeit_ms, zeit_n FROM Paarsumme");
        break;
    }
    return werteLesen(q, tSql, pSql, werte, fehler);
}

// ---- on the keyboard ----

namespace {
// The plain signs and letters typed by the left hand; a sign of theirs is
// shifted with the right Shift key, every other with the left one.
const QString kLinkeHand = QStringLiteral("12345qwertasdfg<yxcvb");

struct Ortstabelle {
    QHash<char16_t, Tastenort> orte;
    Ortstabelle() {
        auto mitUmschalt = [](const QString& grund) {
            return kLinkeHand.contains(grund) ? kTasteShiftRechts : kTasteShiftLinks;
        };
        for (const Taste& t : kTasten) {
            const QString oben = QString::fromUtf16(t.oben);
            const QString unten = QString::fromUtf16(t.unten);
            const QString altgr = QString::fromUtf16(t.altgr);
            if (unten.size() == 1) {
                orte.insert(unten[0].unicode(), {t.index, -1});
                if (oben.size() == 1) orte.insert(oben[0].unicode(), {t.index, mitUmschalt(unten)});
            } else if (oben.size() == 1 && oben[0].isLetter()) {
                const QString klein = oben.toLower();
                orte.insert(klein[0].unicode(), {t.index, -1});
                orte.insert(oben[0].unicode(), {t.index, mitUmschalt(klein)});
            }
            if (altgr.size() == 1) orte.insert(altgr[0].unicode(), {t.index, 18});
        }
        orte.insert(u' ', {2, -1});
        orte.insert(u'\n', {kTasteEnter, -1});
    }
};

const Ortstabelle& ortstabelle() {
    static const Ortstabelle tabelle;
    return tabelle;
}
}  // namespace

Tastenort tastenort(QChar c) { return ortstabelle().orte.value(c.unicode()); }

bool tasteFuerZeichen(int index) {
    for (const Tastenort& o : ortstabelle().orte)
        if (o.taste == index || o.mit == index) return true;
    return false;
}

std::array<Tastenwert, 61> tastenSummen(const QHash<char16_t, Tastenwert>& zeichen) {
    std::array<Tastenwert, 61> s{};
    for (auto it = zeichen.cbegin(); it != zeichen.cend(); ++it) {
        const Tastenort o = tastenort(QChar(it.key()));
        if (o.taste >= 0) s[o.taste] += it.value();
        if (o.mit >= 0) s[o.mit] += it.value();
    }
    return s;
}

std::optional<double> kennwert(const Tastenwert& w, Faerbung f) {
    if (w.anschlaege() < kMindestAnschlaege) return std::nullopt;
    if (f == Faerbung::Fehlerquote) return 100.0 * double(w.falsch) / double(w.anschlaege());
    if (w.zeitN == 0) return std::nullopt;
    return double(w.zeitMs) / double(w.zeitN);
}

Skala skalaFuer(Faerbung f, const std::array<Tastenwert, 61>& summen) {
    if (f == Faerbung::Fehlerquote) return {0, 10};
    double von = 0, bis = 0;
    bool erste = true;
    for (const Tastenwert& w : summen)
        if (const auto k = kennwert(w, f)) {
            von = erste ? *k : std::min(von, *k);
            bis = erste ? *k : std::max(bis, *k);
            erste = false;
        }
    if (bis - von < 100) bis = von + 100;
    return {von, bis};
}

QColor skalenfarbe(double anteil) {
    // Stops of the scale; between them the colour runs straight.
    static const QColor stufen[] = {QColor(120, 175, 235), QColor(250, 236, 140), QColor(242, 140, 40)};
    const double a = std::clamp(anteil, 0.0, 1.0) * 2;
    const int i = std::min(int(a), 1);
    const double t = a - i;
    const QColor &u = stufen[i], &o = stufen[i + 1];
    auto mische = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(mische(u.red(), o.red()), mische(u.green(), o.green()), mische(u.blue(), o.blue()));
}

QColor tastenFarbe(const Tastenwert& w, Faerbung f, const Skala& s) {
    const auto k = kennwert(w, f);
    if (!k) return kFarbeZuWenig;
    return skalenfarbe((*k - s.von) / (s.bis - s.von));
}

QString kennzahlText(const Tastenwert& w) {
    const auto fehler = kennwert(w, Faerbung::Fehlerquote);
    if (!fehler) return QStringLiteral("zu wenig Daten");
    const QLocale de(QLocale::German, QLocale::Germany);
    QString t = de.toString(*fehler, 'f', 1) + QStringLiteral(" % Fehler");
    if (const auto ms = kennwert(w, Faerbung::Zeit)) t += QStringLiteral(", %1 ms").arg(de.toString(std::lround(*ms)));
    return t;
}

QString zeichenName(char16_t c) {
    if (c == u' ') return QStringLiteral("Leertaste");
    if (c == u'\n') return QStringLiteral("Eingabetaste");
    return QString(QChar(c));
}

namespace {
// Weakest first: the colouring's figure, then the other one.
bool schwaecher(const Schwaeche& a, const Schwaeche& b, Faerbung f) {
    const Faerbung g = f == Faerbung::Fehlerquote ? Faerbung::Zeit : Faerbung::Fehlerquote;
    const double a1 = kennwert(a.wert, f).value_or(-1), b1 = kennwert(b.wert, f).value_or(-1);
    if (a1 != b1) return a1 > b1;
    const double a2 = kennwert(a.wert, g).value_or(-1), b2 = kennwert(b.wert, g).value_or(-1);
    if (a2 != b2) return a2 > b2;
    return a.name < b.name;
}

QList<Schwaeche> auswahl(QList<Schwaeche> l, Faerbung f, int n) {
    l.erase(std::remove_if(l.begin(), l.end(), [f](const Schwaeche& s) { return !kennwert(s.wert, f); }), l.end());
    std::stable_sort(l.begin(), l.end(),
                     [f](const Schwaeche& a, const Schwaeche& b) { return schwaecher(a, b, f); });
    if (l.size() > n) l.resize(n);
    return l;
}
}  // namespace

QList<Schwaeche> schwaechsteTasten(const std::array<Tastenwert, 61>& summen, Faerbung f, int n) {
    QList<Schwaeche> l;
    for (const Taste& t : kTasten) l << Schwaeche{tastenName(t), summen[t.index]};
    return auswahl(l, f, n);
}

QList<Schwaeche> schwaechstePaare(const QHash<quint32, Tastenwert>& paare, Faerbung f, int n) {
    QList<Schwaeche> l;
    for (auto it = paare.cbegin(); it != paare.cend(); ++it)
        l << Schwaeche{zeichenName(paarVorher(it.key())) + QStringLiteral(" → ") + zeichenName(paarZeichen(it.key())),
                       it.value()};
    return auswahl(l, f, n);
}
