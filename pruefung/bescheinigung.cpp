// The certificate of a copy test as a PDF: who, when, which text, how long,
// the figures and the grade, and the copy with its errors marked.
#include "platform/numbers.h"
#include "pruefung/frmAbschrift.h"

#include <QAbstractTextDocumentLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <algorithm>

namespace {
QString html(const QString& t) { return t.toHtmlEscaped(); }

// The copy as HTML, each error's characters red and underlined, followed
// by its number in the list in small red type (a missing word has only its
// number where it belongs); line breaks kept.
QString kopieHtml(const QString& kopie, const Abschriftzaehlung& z) {
    std::vector<bool> falsch(size_t(kopie.size()), false);
    std::vector<QString> nummern(size_t(kopie.size()) + 1);
    int nr = 0;
    for (const Abschriftfehler& f : z.fehler) {
        ++nr;
        const int nach = std::clamp(f.kopieAnfang + f.kopieLaenge, 0, int(kopie.size()));
        nummern[size_t(nach)] += QStringLiteral("<sup style=\"color:#c00000\">%1</sup>").arg(nr);
        int a = f.kopieAnfang, n = f.kopieLaenge;
        // A space that is only a line break is shown on the character before it.
        if (f.art == Abschriftfehler::Art::FalscherZwischenraum && n > 0 &&
            !kopie.mid(a, n).contains(u' ') && a > 0)
            --a, ++n;
        for (int i = std::max(0, a); i < std::min<int>(int(kopie.size()), a + n); ++i) falsch[size_t(i)] = true;
    }
    QString aus;
    bool offen = false;
    for (int i = 0; i < kopie.size(); ++i) {
        if (!nummern[size_t(i)].isEmpty()) {
            if (offen) aus += QStringLiteral("</span>");
            offen = false;
            aus += nummern[size_t(i)];
        }
        const bool f = falsch[size_t(i)] && kopie[i] != u'\n';
        if (f != offen) {
            aus += f ? QStringLiteral("<span style=\"color:#c00000; text-decoration:underline; "
                                      "background-color:#ffe1e1;\">")
                     : QStringLiteral("</span>");
            offen = f;
        }
        const QChar c = kopie[i];
        if (c == u'\n') {
            if (offen) aus += QStringLiteral("</span>");
            aus += QStringLiteral("<br>");
            if (offen) offen = false;
        } else if (c == u' ') {
            aus += QStringLiteral("&nbsp;");
        } else {
            aus += QString(c).toHtmlEscaped();
        }
    }
    if (offen) aus += QStringLiteral("</span>");
    aus += nummern.back();
    return aus;
}
}  // namespace

bool bescheinigungSchreiben(const QString& datei, const Bescheinigung& b, QString* fehler) {
    const Abschriftwerte& w = b.werte;
    auto zeile = [](const QString& was, const QString& wert) {
        return QStringLiteral("<tr><td style=\"padding-right:16px\">%1</td><td><b>%2</b></td></tr>").arg(was, wert);
    };
    QString schluessel;
    for (int g = 0; g < 6; ++g)
        schluessel += QStringLiteral("%1 ab %2 netto und bis %3 %%4")
                          .arg(g + 1)
                          .arg(zahlText(b.schluessel.mindestNetto[size_t(g)]), zahlText(b.schluessel.hoechstQuote[size_t(g)]),
                               g < 5 ? QStringLiteral("; ") : QString());
    QString liste;
    if (!b.zaehlung.fehler.isEmpty()) {
        liste = QStringLiteral("<p style=\"font-size:8pt; margin-bottom:0\"><b>Die Fehler:</b></p>"
                               "<ol style=\"font-size:8pt; margin-top:0\">");
        for (const Abschriftfehler& f : b.zaehlung.fehler)
            liste += QStringLiteral("<li>%1</li>").arg(html(fehlerBeschreibung(f, b.quelle, b.kopie)));
        liste += QStringLiteral("</ol>");
    }
    const QString name = b.name.trimmed().isEmpty() ? QStringLiteral("______________________________") : html(b.name);
    auto kopf = [&](int schrift) {
        return QStringLiteral(
                   "<html><body style=\"font-family:'Liberation Sans'; font-size:10pt\">"
                   "<h2 style=\"margin-bottom:2px\">Bescheinigung über eine Abschrift</h2>"
                   "<p style=\"margin-top:0\">Zeitschreiben am Computer mit Velkora</p>"
                   "<table cellspacing=\"2\">%1%2%3%4%5</table>"
                   "<h3 style=\"margin-bottom:2px\">Ergebnis</h3><table cellspacing=\"2\">%6%7%8%9%10%11</table>")
                   .arg(zeile(QStringLiteral("Name:"), name),
                        zeile(QStringLiteral("Datum:"), b.datum.toString(QStringLiteral("dd.MM.yyyy, HH:mm 'Uhr'"))),
                        zeile(QStringLiteral("Text:"), html(b.titel)),
                        zeile(QStringLiteral("Dauer:"),
                              QStringLiteral("%1 min (geschrieben: %2 min)")
                                  .arg(zahlText(b.sekunden / 60.0), zahlText(rundeGerade(w.minuten, 2)))),
                        zeile(QStringLiteral("Korrekturen:"), b.korrekturErlaubt ? QStringLiteral("erlaubt")
                                                                                  : QStringLiteral("nicht erlaubt")),
                        zeile(QStringLiteral("Anschläge (brutto):"), QString::number(w.brutto)),
                        zeile(QStringLiteral("Fehler:"), QString::number(w.fehler)),
                        zeile(QStringLiteral("Fehlerquote:"), zahlText(w.quote) + QStringLiteral(" %")),
                        zeile(QStringLiteral("Anschläge je Minute:"), zahlText(w.anschlaege)))
                   .arg(zeile(QStringLiteral("Anschläge je Minute netto:"),
                              QStringLiteral("%1 (Abzug je Fehler: %2 Anschläge)")
                                  .arg(zahlText(w.netto), zahlText(b.schluessel.abzugJeFehler))),
                        zeile(QStringLiteral("Note:"), QStringLiteral("%1 (%2)").arg(w.note).arg(notenWort(w.note))))
               + QStringLiteral("<p style=\"font-size:8pt\">Notenschlüssel: %1. Jedes falsche, fehlende, "
                                "zusätzliche oder vertauschte Wort und jeder falsche oder fehlende Leerraum "
                                "zwischen Wörtern ist ein Fehler.</p>"
                                "<h3 style=\"margin-bottom:2px\">Abschrift</h3>"
                                "<p style=\"font-size:8pt; margin-top:0\">Fehler sind rot und unterstrichen.</p>"
                                "<p style=\"font-family:'Liberation Mono'; font-size:%2pt\">")
                     .arg(html(schluessel))
                     .arg(schrift)
               + kopieHtml(b.kopie, b.zaehlung) + QStringLiteral("</p>") + liste
               + QStringLiteral("<p>&nbsp;</p><p>Unterschrift der Lehrkraft: "
                                "______________________________</p></body></html>");
    };

    QSaveFile f(datei);
    if (!f.open(QIODevice::WriteOnly)) {
        if (fehler) *fehler = QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden: %2").arg(datei, f.errorString());
        return false;
    }
    {
        QPdfWriter pdf(&f);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
        pdf.setResolution(300);
        pdf.setTitle(QStringLiteral("Bescheinigung über eine Abschrift"));
        pdf.setCreator(QStringLiteral("Velkora"));
        QTextDocument doc;
        doc.documentLayout()->setPaintDevice(&pdf);
        doc.setPageSize(pdf.pageLayout().paintRectPixels(pdf.resolution()).size());
        doc.setDocumentMargin(0);
        // The copy in a smaller type when it would need a third page.
        for (int schrift : {10, 9, 8, 7, 6}) {
            doc.setHtml(kopf(schrift));
            if (doc.pageCount() <= 2) break;
        }
        doc.print(&pdf);
    }
    if (!f.commit()) {
        if (fehler) *fehler = QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden: %2").arg(datei, f.errorString());
        return false;
    }
    return true;
}
