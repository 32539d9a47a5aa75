#include "hilfe/handbuch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace {

// The page of each window. A window is named by its object name or, where
// the window is known by its title only, by the title; tab -1 stands for
// any tab.
struct Fensterseite {
    const char* fenster;
    int tab;
    const char* seite;
};

constexpr Fensterseite kFensterseiten[] = {
    {"frmVelkora", -1, "erste-schritte.html"},
    {"frmSplash", -1, "erste-schritte.html"},
    {"frmSchreiben", -1, "schreibfenster.html"},
    {"frmLek", 0, "lektionen.html#lektionen"},
    {"frmLek", 1, "lektionen.html#intensiv"},
    {"frmLek", 2, "lektionen.html#intensiv"},
    {"frmLek", 3, "lektionen.html#uebungstexte"},
    {"frmLek", 4, "lektionen.html#eigene-texte"},
    {"frmLek", 5, "schwaechen.html"},
    {"frmLek", 6, "abschrift.html#starten"},
    {"frmLek", -1, "lektionen.html"},
    {"frmarc", 0, "einstellungen.html#audio"},
    {"frmarc", 1, "einstellungen.html#reminder"},
    {"frmarc", 2, "einstellungen.html#farbdesign"},
    {"frmarc", 3, "einstellungen.html#verschiedenes"},
    {"frmarc", 4, "klasse.html#beitreten"},
    {"frmarc", 5, "abschrift.html#note"},
    {"frmarc", -1, "einstellungen.html"},
    {"frmStatistik", -1, "statistik.html#uebersicht"},
    {"frmdaten", -1, "statistik.html#listen"},
    {"frmblockdat", -1, "statistik.html#listen"},
    {"chart", -1, "statistik.html#diagramme"},
    {"chart1", -1, "statistik.html#diagramme"},
    {"frmblockchart", -1, "statistik.html#diagramme"},
    {"frmWait", -1, "statistik.html#speichern"},
    {"frmTasten", -1, "auswertung.html#meine-tasten"},
    {"frmFortschritt", -1, "auswertung.html#fortschritt"},
    {"frmKlasse", -1, "klasse.html#uebersicht"},
    {"frmNumBlock", -1, "nummernblock.html"},
    {"frmTip", -1, "tipps.html#tipps"},
    {"frmGym", -1, "tipps.html#gymnastik"},
    {"frmAbout", -1, "menue.html#ueber"},
    {"frmHilfe", -1, "index.html#hilfe"},
    {"frmAbschrift", -1, "abschrift.html"},
};

QString lesen(const QString& pfad) {
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
}

// A letter without its accents and in small letters; ß stays ß.
QString falten(const QString& text) {
    const QString zerlegt = text.toLower().normalized(QString::NormalizationForm_D);
    QString aus;
    aus.reserve(zerlegt.size());
    for (QChar c : zerlegt)
        if (c.category() != QChar::Mark_NonSpacing) aus.append(c);
    return aus;
}

}  // namespace

QString hilfeVerzeichnis(const QString& programDir) {
    QStringList orte = {programDir + QStringLiteral("/hilfe")};
    if (QCoreApplication::instance())
        orte << QCoreApplication::applicationDirPath() + QStringLiteral("/hilfe");
    for (const QString& o : orte)
        if (QFileInfo::exists(o + QLatin1Char('/') + kStartseite)) return QDir::cleanPath(o);
    return QString();
}

QList<Hilfeseite> inhaltsverzeichnis(const QString& verzeichnis) {
    QList<Hilfeseite> seiten;
    if (verzeichnis.isEmpty()) return seiten;
    const QString html = lesen(verzeichnis + QLatin1Char('/') + kStartseite);
    if (html.isEmpty()) return seiten;
    QTextDocument doc;
    doc.setHtml(html);
    seiten.append({kStartseite, doc.metaInformation(QTextDocument::DocumentTitle)});
    QSet<QString> gesehen = {kStartseite};
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QString ziel = f.charFormat().anchorHref().section(QLatin1Char('#'), 0, 0);
            if (!f.charFormat().isAnchor() || ziel.isEmpty() || ziel.contains(QLatin1Char(':')) ||
                gesehen.contains(ziel))
                continue;
            gesehen.insert(ziel);
            seiten.append({ziel, f.text().simplified()});
        }
    return seiten;
}

QString seiteFuerFenster(const QString& objektname, const QString& titel, int tab) {
    for (const Fensterseite& s : kFensterseiten) {
        const QString name = QString::fromUtf8(s.fenster);
        if ((name == objektname || (!titel.isEmpty() && name == titel)) && (s.tab == -1 || s.tab == tab))
            return QString::fromLatin1(s.seite);
    }
    return kStartseite;
}

QList<Seitentext> seitentexte(const QString& verzeichnis) {
    QList<Seitentext> texte;
    for (const Hilfeseite& s : inhaltsverzeichnis(verzeichnis)) {
        QTextDocument doc;
        doc.setHtml(lesen(verzeichnis + QLatin1Char('/') + s.datei));
        texte.append({s.datei, s.titel, doc.toPlainText()});
    }
    return texte;
}

QStringList suchwoerter(const QString& text) {
    static const QRegularExpression trenner(QStringLiteral("[^\\w]+"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    return falten(text).split(trenner, Qt::SkipEmptyParts);
}

QList<Seitentext> suche(const QList<Seitentext>& seiten, const QString& anfrage) {
    const QStringList woerter = suchwoerter(anfrage);
    QList<Seitentext> treffer;
    if (woerter.isEmpty()) return treffer;
    for (const Seitentext& s : seiten) {
        const QString text = falten(s.text);
        if (std::all_of(woerter.cbegin(), woerter.cend(), [&](const QString& w) { return text.contains(w); }))
            treffer.append(s);
    }
    return treffer;
}
