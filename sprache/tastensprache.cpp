#include "sprache/tastensprache.h"
#include "trainer/fingers.h"
#include "trainer/keytable.h"

#include <QStringView>

namespace {

// The names of signs and of the characters that are no plain letter.
struct Zeichenname {
    char16_t zeichen;
    const char16_t* name;
};

constexpr Zeichenname kNamen[] = {
    {u' ', u"Leertaste"},
    {u'\n', u"Eingabetaste"},
    {u'\r', u"Eingabetaste"},
    {u'\t', u"Tabulator"},
    {u'!', u"Ausrufezeichen"},
    {u'"', u"Anführungszeichen"},
    {u'#', u"Raute"},
    {u'$', u"Dollar"},
    {u'%', u"Prozent"},
    {u'&', u"Und-Zeichen"},
    {u'\'', u"Apostroph"},
    {u'(', u"Klammer auf"},
    {u')', u"Klammer zu"},
    {u'*', u"Stern"},
    {u'+', u"Plus"},
    {u',', u"Komma"},
    {u'-', u"Minus"},
    {u'.', u"Punkt"},
    {u'/', u"Schrägstrich"},
    {u':', u"Doppelpunkt"},
    {u';', u"Semikolon"},
    {u'<', u"Kleiner-als"},
    {u'=', u"Gleichheitszeichen"},
    {u'>', u"Größer-als"},
    {u'?', u"Fragezeichen"},
    {u'@', u"At-Zeichen"},
    {u'[', u"eckige Klammer auf"},
    {u'\\', u"Backslash"},
    {u']', u"eckige Klammer zu"},
    {u'^', u"Zirkumflex"},
    {u'_', u"Unterstrich"},
    {u'`', u"Gravis"},
    {u'{', u"geschweifte Klammer auf"},
    {u'|', u"senkrechter Strich"},
    {u'}', u"geschweifte Klammer zu"},
    {u'~', u"Tilde"},
    {u'\u20ac', u"Euro"},
    {u'\u201a', u"einfaches Anführungszeichen unten"},
    {u'\u0192', u"Florin"},
    {u'\u201e', u"Anführungszeichen unten"},
    {u'\u2026', u"Auslassungspunkte"},
    {u'\u2020', u"Kreuz"},
    {u'\u2021', u"Doppelkreuz"},
    {u'\u02c6', u"Zirkumflex"},
    {u'\u2030', u"Promille"},
    {u'\u2039', u"einfache spitze Klammer links"},
    {u'\u0152', u"großes O-E-Ligatur"},
    {u'\u2018', u"einfaches Anführungszeichen oben links"},
    {u'\u2019', u"einfaches Anführungszeichen oben rechts"},
    {u'\u201c', u"Anführungszeichen oben links"},
    {u'\u201d', u"Anführungszeichen oben rechts"},
    {u'\u2022', u"Aufzählungspunkt"},
    {u'\u2013', u"Halbgeviertstrich"},
    {u'\u2014', u"Geviertstrich"},
    {u'\u02dc', u"Tilde"},
    {u'\u2122', u"Markenzeichen"},
    {u'\u203a', u"einfache spitze Klammer rechts"},
    {u'\u0153', u"o-e-Ligatur"},
    {u'\u00a0', u"geschütztes Leerzeichen"},
    {u'\u00a1', u"umgekehrtes Ausrufezeichen"},
    {u'\u00a2', u"Cent"},
    {u'\u00a3', u"Pfund"},
    {u'\u00a4', u"Währungszeichen"},
    {u'\u00a5', u"Yen"},
    {u'\u00a6', u"unterbrochener Strich"},
    {u'\u00a7', u"Paragraf"},
    {u'\u00a8', u"Trema"},
    {u'\u00a9', u"Copyright"},
    {u'\u00aa', u"weibliches Ordinalzeichen"},
    {u'\u00ab', u"doppelte spitze Klammer links"},
    {u'\u00ac', u"Negationszeichen"},
    {u'\u00ad', u"weiches Trennzeichen"},
    {u'\u00ae', u"eingetragene Marke"},
    {u'\u00af', u"Überstrich"},
    {u'\u00b0', u"Grad"},
    {u'\u00b1', u"Plus-Minus"},
    {u'\u00b2', u"hoch zwei"},
    {u'\u00b3', u"hoch drei"},
    {u'\u00b4', u"Akut"},
    {u'\u00b5', u"Mikro"},
    {u'\u00b6', u"Absatzzeichen"},
    {u'\u00b7', u"Mittelpunkt"},
    {u'\u00b8', u"Cedille"},
    {u'\u00b9', u"hoch eins"},
    {u'\u00ba', u"männliches Ordinalzeichen"},
    {u'\u00bb', u"doppelte spitze Klammer rechts"},
    {u'\u00bc', u"ein Viertel"},
    {u'\u00bd', u"ein Halb"},
    {u'\u00be', u"drei Viertel"},
    {u'\u00bf', u"umgekehrtes Fragezeichen"},
    {u'\u00c6', u"großes A-E-Ligatur"},
    {u'\u00d0', u"großes Eth"},
    {u'\u00d7', u"Malzeichen"},
    {u'\u00d8', u"großes O mit Schrägstrich"},
    {u'\u00de', u"großes Thorn"},
    {u'\u00df', u"scharfes S"},
    {u'\u00e6', u"a-e-Ligatur"},
    {u'\u00f0', u"eth"},
    {u'\u00f7', u"Geteilt-Zeichen"},
    {u'\u00f8', u"o mit Schrägstrich"},
    {u'\u00fe', u"thorn"},
};

// Signs whose key the on-screen keyboard does not show, with their keys.
struct Tastenweg {
    char16_t zeichen;
    const char16_t* weg;
};
constexpr Tastenweg kWege[] = {
    {u'^', u"Zirkumflex-Taste, dann Leertaste"},
    {u'\u00b0', u"Umschalt und Zirkumflex"},
    {u'\u00b4', u"Akut-Taste, dann Leertaste"},
    {u'`', u"Umschalt und Akut, dann Leertaste"},
    {u'\'', u"Umschalt und Raute"},
};

// The accents the dead keys put on a letter: the combining mark and how
// it is typed ("" for marks the German keyboard has no dead key for).
struct Akzent {
    char16_t zeichen;
    const char16_t* name;
    const char16_t* weg;
};
constexpr Akzent kAkzente[] = {
    {u'\u0301', u"Akut", u"Akut"},
    {u'\u0300', u"Gravis", u"Umschalt und Akut"},
    {u'\u0302', u"Zirkumflex", u"Zirkumflex"},
    {u'\u0303', u"Tilde", u""},
    {u'\u0308', u"Trema", u""},
    {u'\u030a', u"Ring", u""},
    {u'\u0327', u"Cedille", u""},
    {u'\u030c', u"Hatschek", u""},
};

const char16_t* name(QChar c) {
    for (const Zeichenname& z : kNamen)
        if (z.zeichen == c.unicode()) return z.name;
    return nullptr;
}

// The key that types c alone, with Umschalt or with Alt Gr, from the
// keyboard table; empty when the keyboard has no such key.
struct Tastengriff {
    QString taste;   // the key's own sign ("7", "Q", "Plus")
    QString umschaltung;  // "", "Umschalt" or "Alt Gr"
};
Tastengriff griff(QChar c) {
    auto eigen = [](const Taste& t) {
        const QString unten = QString::fromUtf16(t.unten);
        if (!unten.isEmpty()) return name(unten[0]) ? QString::fromUtf16(name(unten[0])) : unten;
        return QString::fromUtf16(t.oben);  // a letter key shows its capital
    };
    for (const Taste& t : kTasten) {
        const QString oben = QString::fromUtf16(t.oben), unten = QString::fromUtf16(t.unten),
                      altgr = QString::fromUtf16(t.altgr);
        if (unten.size() == 1 && unten[0] == c) return {eigen(t), QString()};
        if (altgr.size() == 1 && altgr[0] == c) return {eigen(t), QStringLiteral("Alt Gr")};
        if (oben.size() == 1 && oben[0] == c && !c.isLetter()) return {eigen(t), QStringLiteral("Umschalt")};
    }
    return {};
}

}  // namespace

QString gesprochenesZeichen(QChar c) {
    const ushort u = c.unicode();
    if (u < 0x80 && c.isLetter()) return c.isUpper() ? QStringLiteral("großes ") + c : QString(c);
    if (c.isDigit()) return QString(c);
    // Umlauts have keys of their own.
    if (QStringView(u"äöüÄÖÜ").contains(c))
        return c.isUpper() ? QStringLiteral("großes ") + c : QString(c);
    if (const char16_t* n = name(c)) {
        const QString nm = QString::fromUtf16(n);
        for (const Tastenweg& w : kWege)
            if (w.zeichen == u) return QString::fromUtf16(w.weg) + QStringLiteral(": ") + nm;
        const Tastengriff g = griff(c);
        if (g.umschaltung.isEmpty()) return nm;  // on a key of its own, or on none
        return g.umschaltung + QStringLiteral(" und ") + g.taste + QStringLiteral(": ") + nm;
    }
    // A letter with an accent: the base letter and the mark, typed through
    // the dead key where there is one.
    const QString zerlegt = c.decomposition();
    if (c.isLetter() && zerlegt.size() == 2) {
        const QChar basis = zerlegt[0];
        const QString klein = basis.toLower();
        const QString gross = c.isUpper() ? QStringLiteral("großes ") : QString();
        for (const Akzent& a : kAkzente) {
            if (a.zeichen != zerlegt[1].unicode()) continue;
            const QString nm = gross + (c.isUpper() ? QString(basis) : klein) + QStringLiteral(" mit ") +
                               QString::fromUtf16(a.name);
            if (!*a.weg) return nm;
            return QString::fromUtf16(a.weg) + QStringLiteral(", dann ") +
                   (c.isUpper() ? QStringLiteral("Umschalt und ") + basis : klein) + QStringLiteral(": ") + nm;
        }
    }
    if (c.isLetter()) return c.isUpper() ? QStringLiteral("großes ") + c : QString(c);
    return QStringLiteral("Zeichen ") + QString::number(u, 16).toUpper();
}

QString fingerFuer(QChar c) {
    static const char16_t* const kFinger[] = {u"linker kleiner Finger", u"linker Ringfinger", u"linker Mittelfinger",
                                              u"linker Zeigefinger",    u"rechter Zeigefinger", u"rechter Mittelfinger",
                                              u"rechter Ringfinger",    u"rechter kleiner Finger"};
    static_assert(std::size(kFinger) == kFingerTabelle.size());
    if (c == QLatin1Char(' ')) return QStringLiteral("Daumen");
    const QChar klein = c.toLower();
    for (std::size_t i = 0; i < kFingerTabelle.size(); ++i)
        if (QStringView(kFingerTabelle[i].zeichen).contains(klein)) return QString::fromUtf16(kFinger[i]);
    return QString();
}
