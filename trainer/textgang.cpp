#include "trainer/textgang.h"
#include "platform/richtextview.h"
#include "platform/services.h"

#include <QLineEdit>

void Textgang::entmarkiere() {
    view.setSelColor(QColor(0, 0, 0));
    view.setSelMarker(false);
}

void Textgang::markiere(QChar c) {
    view.setSelection(textpos - 1, 1);
    anzeige.setText(c == QLatin1Char(' ') ? QStringLiteral("LEER") : QString(c));
    view.setSelColor(QColor(255, 0, 0));
    view.setSelMarker(true);
}

void Textgang::strt() {
    view.setSelection(0, static_cast<int>(view.text().size()));
    entmarkiere();
    textpos = 1;
    const QString t = view.text();  // a shared copy: the display's change may replace the text
    if (t.isEmpty()) return;
    const QChar c = t[0];
    if (c == QLatin1Char('\r')) {
        anzeige.setText(umbruch);
        textpos = 2;
    } else {
        markiere(c);
    }
}

void Textgang::weiter() {
    const QString t = view.text();  // a shared copy: "ENDE" may replace the view's text
    if (textpos < t.size()) {
        if (t[textpos - 1] != QLatin1Char('\n')) entmarkiere();
        ++textpos;
        const QChar c = t[textpos - 1];
        if (c == QLatin1Char('\r')) {
            view.setSelStart(textpos + 1);
            anzeige.setText(umbruch);
            ++textpos;
            services.beep();
        } else {
            markiere(c);
        }
    } else {
        entmarkiere();
        anzeige.setText(QStringLiteral("ENDE"));
        services.beep();
    }
}
