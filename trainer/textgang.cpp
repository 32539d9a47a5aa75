#include "trainer/textgang.h"
#include "platform/richtextview.h"
#include "platform/services.h"
#include "platform/zugang.h"

#include <QLineEdit>

void Textgang::entmarkiere() { view.setSelFormat(QColor(0, 0, 0), false); }

void Textgang::markiere(QChar c) {
    view.setSelection(textpos - 1, 1);
    // The same key again ("fff") leaves the display as it is: setting the same
    // text would still lay it out and repaint it.
    const QString name = c == QLatin1Char(' ') ? QStringLiteral("LEER") : QString(c);
    if (anzeige.text() != name) anzeige.setText(name);
    else wertErneut(&anzeige);
    view.setSelFormat(QColor(255, 0, 0), true);
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
    // Unmarking and marking change the view once: its marks are set anew once.
    view.beginChange();
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
        view.endChange();  // before "ENDE" replaces the text
        anzeige.setText(QStringLiteral("ENDE"));
        services.beep();
        return;
    }
    view.endChange();
}
