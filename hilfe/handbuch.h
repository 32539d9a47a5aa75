#pragma once
#include <QList>
#include <QString>

// The handbook: German HTML pages in a folder "hilfe" of the program
// directory. Its first page, index.html, is the contents: its links, in
// order, are the pages of the handbook.

// The folder the pages are read from: "hilfe" in the program directory,
// else "hilfe" beside the executable; empty when neither holds index.html.
QString hilfeVerzeichnis(const QString& programDir);

inline const QString kStartseite = QStringLiteral("index.html");

struct Hilfeseite {
    QString datei;  // file name in the folder, e.g. "schreibfenster.html"
    QString titel;  // the link's text in the contents
};

// The contents: index.html first (titled by its own <title>), then every
// page it links to, once each, in the order of the links. Anchors are left
// out. Empty when there is no index.html.
QList<Hilfeseite> inhaltsverzeichnis(const QString& verzeichnis);

// The page F1 opens for a window, as "datei.html#anker": looked up by the
// window's object name or, for windows known by their title, by the title;
// tab is the current tab of a window with tabs (-1 without). A window not in
// the table gets the start page.
QString seiteFuerFenster(const QString& objektname, const QString& titel, int tab);

// One page's text as a reader sees it, for the search.
struct Seitentext {
    QString datei;
    QString titel;
    QString text;
};
// Reads the pages of the contents and their plain texts.
QList<Seitentext> seitentexte(const QString& verzeichnis);

// The pages holding every word of the query (case and accents of the
// letters as typed do not matter: "Ubung" finds "Übung"), in contents order.
// A query without a word finds nothing.
QList<Seitentext> suche(const QList<Seitentext>& seiten, const QString& anfrage);

// The words of a query or a text, folded for comparing.
QStringList suchwoerter(const QString& text);
