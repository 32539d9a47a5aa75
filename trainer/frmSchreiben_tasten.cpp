// The writing window's keyboard side: the key events of the input box, the
// judging of every key, the on-screen keyboard and the progress figure, and
// the end of an exercise.
#include "lessons/frmLek.h"
#include "platform/keymap.h"
#include "platform/numbers.h"
#include "platform/richtextview.h"
#include "platform/textcodec.h"
#include "platform/units.h"
#include "platform/zugang.h"
#include "sprache/sprachausgabe.h"
#include "sprache/tastensprache.h"
#include "shell/app.h"
#include "trainer/frmSchreiben.h"
#include "trainer/inputbox.h"
#include "trainer/keybutton.h"
#include "trainer/keytable.h"
#include "trainer/recording.h"
#include "trainer/results.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QPushButton>
#include <QTimer>

namespace {
const QColor kGruen(0, 255, 0);
const QColor kRot(255, 0, 0);
QColor basisfarbe() { return colorFromBgr(kTastenfarbe); }
bool istFunktionstaste(int vk) { return vk >= 112 && vk <= 115; }  // F1 to F4
bool istTotetaste(int key) { return key >= Qt::Key_Dead_Grave && key <= Qt::Key_Dead_Longsolidusoverlay; }
bool istLesetaste(int key) {
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right ||
           key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}
}  // namespace

// ---- key events ----

bool frmSchreiben::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Text1) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Ctrl+key and Alt+key belong to the menu (shortcuts and access
        // keys); every other key, AltGr chords included, to the judging.
        auto* k = static_cast<QKeyEvent*>(event);
        if (isShortcutChord(*k)) event->ignore();
        else event->accept();
        return true;
    }
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        // Tab leaves the box for the window's other controls, unless the
        // text itself asks for a tab.
        if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && Text2->text() != QLatin1String("\t")) {
            focusNextPrevChild(k->key() == Qt::Key_Tab && !(k->modifiers() & Qt::ShiftModifier));
            return true;
        }
        // The summary of a finished exercise is read with the cursor keys.
        if (Text1->isReadOnly() && istLesetaste(k->key())) return false;
        totetaste_ = istTotetaste(k->key()) ? k->key() : 0;
        Text1_KeyDown(virtualKey(*k), shiftState(*k));
        // A dead key alone types nothing yet: its press carries no text.
        if (!isShortcutChord(*k)) zeichenEingabe(ansiCode(*k));
        return true;  // nothing else reaches the box: no deletion, no cursor movement
    }
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (istTotetaste(k->key())) totetaste_ = k->key();
        Text1_KeyUp(virtualKey(*k), shiftState(*k));
        return true;
    }
    case QEvent::FocusOut: tastenLoslassen(); return false;
    case QEvent::InputMethod: {
        // What a dead key composes (^ then e gives ê, ^ then space gives ^)
        // or an input method commits arrives here, not as a key press, and
        // is judged character by character like a typed key. Text still
        // being composed (the pre-edit) is not typed yet.
        // X11 composes ´ and space to an apostrophe; the German keyboard's
        // own sign is meant (the apostrophe has a key of its own, Shift+#).
        QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
        if (commit == QLatin1String("'") && totetaste_ == Qt::Key_Dead_Acute) commit = QString(QChar(0xB4));
        if (!commit.isEmpty()) totetaste_ = 0;
        for (QChar c : commit) zeichenEingabe(ansiCodeOf(c));
        event->accept();
        return true;
    }
    default: return false;
    }
}

void frmSchreiben::zeichenEingabe(int code) {
    if (code == 0) return;
    Text1_KeyPress(code);
    if (code != 0 && !Text1->isReadOnly())
        static_cast<InputBox*>(Text1)->insertCharacter(decodeCp1252(QByteArray(1, char(code)))[0]);
}

void frmSchreiben::Text1_KeyDown(int KeyCode, int) {
    if (istFunktionstaste(KeyCode)) {
        for (int i : tastenFuerVk(KeyCode)) setTastenfarbe(i, kGruen);
        Text1->setFocus();
        return;
    }
    if (KeyCode == 20) {
        // Caps Lock toggles between red and the base colour on every press.
        setTastenfarbe(kTasteCapsLock, tastenfarbe(kTasteCapsLock) == kRot ? basisfarbe() : kRot);
    } else {
        for (int i : tastenFuerVk(KeyCode)) setTastenfarbe(i, kGruen);
    }
    musik();
}

void frmSchreiben::Text1_KeyUp(int KeyCode, int) {
    if (KeyCode == 20) return;
    for (int i : tastenFuerVk(KeyCode)) setTastenfarbe(i, basisfarbe());
}

void frmSchreiben::falscheTaste(int& KeyAscii) {
    Label4->setText(zahlText(app_.ex.fehler));
    KeyAscii = 0;
    if (app_.opt.checkFehlermeldung) app_.services.playSound(app_.datei(Klang.value(2)));
    // A screen reader hears of the error through the input box's name; the
    // summary of a finished exercise keeps its own.
    if (Text1->isReadOnly()) return;
    const QChar erwartet = Sprachausgabe::ausAnzeige(Text2->text());
    ansagen(Text1, QStringLiteral("Eingabe"),
            erwartet.isNull() ? QStringLiteral("falsch") : QStringLiteral("falsch, ") + gesprochenesZeichen(erwartet));
}

void frmSchreiben::Text1_KeyPress(int& KeyAscii) {
    Uebung& ex = app_.ex;
    const QString e = Text2->text();
    const QString k = decodeCp1252(QByteArray(1, static_cast<char>(KeyAscii)));
    if (e == QLatin1String("RETURN")) {
        melden(KeyAscii == 13, QLatin1Char('\n'), k);
        if (KeyAscii == 13) weiter();
        else falscheTaste(KeyAscii);
    } else if (e == QLatin1String("LEER")) {
        melden(k == QLatin1String(" "), QLatin1Char(' '), k);
        if (k == QLatin1String(" ")) weiter();
        else falscheTaste(KeyAscii);
    } else if (e == QLatin1String("ENDE")) {
        uebungsende();
    } else if (k == e) {
        melden(true, e[0], k);
        weiter();
        ex.zaehler += 1;
        if (ex.animSchritt < 32767) ex.animSchritt += 1;
        parseBool(app_.GetSetting(QStringLiteral("Optionen"), QStringLiteral("CheckAnimat"),
                                  boolText(app_.opt.checkAnimat)),
                  app_.opt.checkAnimat);
        if (app_.opt.checkAnimat) PositionAnimat();
        else AnimEntfernen(animFigur);
    } else {
        // Only a single expected sign is a key of the text ("Display" and
        // "DB_ENDE" are none).
        if (e.size() == 1) melden(false, e[0], k);
        ex.fehler += 1;
        fingerfehler();
        falscheTaste(KeyAscii);
    }
    if (Text2->text() == QLatin1String("RETURN")) setTastenfarbe(kTasteEnter, kRot);
}

void frmSchreiben::melden(bool angenommen, QChar erwartet, const QString& getippt) {
    if (app_.ereignisse.leer()) return;
    const qint64 ms = app_.services.monotonicMs();
    if (angenommen) app_.ereignisse.tasteAngenommen(textpos, erwartet, ms);
    else app_.ereignisse.tasteFalsch(textpos, erwartet, getippt.isEmpty() ? QChar() : getippt[0], ms);
}

void frmSchreiben::fingerfehler() { ::fingerfehler(app_.ex.finger, Text2->text()); }

// ---- end of the exercise ----

void frmSchreiben::rechnen() {
    Uebung& ex = app_.ex;
    ex.Bewertung.clear();
    if (ex.MaxZeichen <= 0) {
        // No scored character: no rate, and none left over from before.
        ex.Fehlerquote = 0;
        return;
    }
    const Bewertung b = bewerte(ex.fehler, ex.MaxZeichen);
    ex.Fehlerquote = b.fehlerquote;
    Label8->setText(zahlText(ex.Fehlerquote * 100));
    if (b.meldung == Bewertung::Meldung::ZuVieleFehler)
        app_.services.msgBox(this, kMeldungZuViele, Msg::OkOnly);
    else if (b.meldung == Bewertung::Meldung::ExtremVieleFehler)
        app_.services.msgBox(this, kMeldungExtrem, Msg::OkOnly);
    ex.Bewertung = b.text;
}

void frmSchreiben::uebungsende() {
    Uebung& ex = app_.ex;
    rechnen();
    rtb1->setLocked(true);
    Text1->setReadOnly(true);
    Text1->setPlainText(normaliseLineBreaks(zusammenfassung(
        ex.MaxZeichen, ex.fehler, ex.Fehlerquote, ex.Bewertung, ex.anschlaegeProMinute)));
    // The summary is read line by line: the cursor keys move its caret,
    // which is not drawn. It takes the focus anew under its own name, and a
    // screen reader reads it.
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1->setCursorWidth(0);
    Text1->moveCursor(QTextCursor::Start);
    Text1->setAccessibleName(QStringLiteral("Zusammenfassung"));
    if (Text1->hasFocus()) Text1->clearFocus();
    Text1->setFocus(Qt::OtherFocusReason);
    rtb1->setText(QString());
    if (!Command5->isEnabled()) {
        Command5->setEnabled(true);
        Command6->setEnabled(false);
    }
    ex.anschlaegeGanz = toInt16Clamped(ex.zaehler);
    app_.forms.get<frmLek>().Timer3->stop();
    Label2->setText(zahlText(ex.anschlaegeProMinute));
    Text5->setText(zahlText(ex.anschlaegeProMinute) + QStringLiteral(" Anschläge/Min."));
    AnimEntfernen(animFigur);
    ex.animX = 10;
    ex.animSchritt = 0;
    if (!app_.ereignisse.leer()) app_.ereignisse.uebungBeendet(app_.services.monotonicMs());
    ergebnisseAufzeichnen(app_);
    hintergrundfarbe();
}

// ---- on-screen keyboard and figure ----

void frmSchreiben::setTastenfarbe(int index, const QColor& c) {
    if (index >= 0 && index < kTastenAnzahl && Command1[index]) Command1[index]->setColor(c);
}

QColor frmSchreiben::tastenfarbe(int index) const {
    if (index >= 0 && index < kTastenAnzahl && Command1[index]) return Command1[index]->color();
    return QColor();
}

void frmSchreiben::hintergrundfarbe() {
    for (int i = 0; i < kTastenAnzahl; ++i) setTastenfarbe(i, basisfarbe());
}

void frmSchreiben::tastenLoslassen() {
    for (int i = 0; i < kTastenAnzahl; ++i)
        if (tastenfarbe(i) == kGruen) setTastenfarbe(i, basisfarbe());
}

void frmSchreiben::musik() {
    if (app_.opt.checkGeraeusch) app_.services.playSound(app_.datei(Klang.value(0)));
    Text1->setFocus();
}

void frmSchreiben::PositionAnimat() {
    Uebung& ex = app_.ex;
    if (ex.MaxZeichen == 0) return;  // nothing to measure progress against
    ex.animX = static_cast<qint32>(rundeGerade(ex.animSchritt / ex.MaxZeichen * 560));
    AnimZeigen(animFigur, app_.datei(QStringLiteral("\\dino.ani")), Picture1, ex.animX, ex.animY);
}
