#include "trainer/results.h"
#include "platform/numbers.h"

Bewertung bewerte(double fehler, double maxZeichen) {
    Bewertung b;
    b.fehlerquote = rundeGerade(fehler / maxZeichen, 2);
    if (b.fehlerquote == 1) b.meldung = Bewertung::Meldung::ZuVieleFehler;
    else if (b.fehlerquote > 1) b.meldung = Bewertung::Meldung::ExtremVieleFehler;
    else if (b.fehlerquote == 0) b.text = QStringLiteral("Klasse!");
    return b;
}

QString zusammenfassung(double maxZeichen, double fehler, double fehlerquote,
                        const QString& bewertung, qint16 anschlaegeProMinute) {
    return QStringLiteral("MaxZeichen: ") + zahlText(maxZeichen) + QStringLiteral("\r\n") +
           QStringLiteral("Fehler: ") + zahlText(fehler) + QStringLiteral("(") +
           zahlText(fehlerquote * 100) + QStringLiteral(" Prozent )") + bewertung +
           QStringLiteral(" ") + zahlText(anschlaegeProMinute) + QStringLiteral(" Anschläge/Min") +
           QStringLiteral("\r\n") + QStringLiteral("Bitte eine Lektion auswählen (Strg + l)");
}
