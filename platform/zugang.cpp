#include "platform/zugang.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QEvent>
#include <QDialog>
#include <QMdiSubWindow>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QPushButton>
#include <QToolButton>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace {

// Controls without a caption of their own, named here.
struct Zugangsname {
    const char* fenster;
    const char* control;
    const char16_t* name;
    const char16_t* beschreibung;
    bool ansage;  // a read-only box whose every new value is announced
};

constexpr Zugangsname kZugangsnamen[] = {
    {"frmSchreiben", "rtb1", u"Vorlage", u"Der Text zum Abschreiben; das nächste Zeichen ist markiert", false},
    {"frmSchreiben", "Text1", u"Eingabe", u"Hier wird der Text der Vorlage geschrieben", false},
    {"frmSchreiben", "Text2", u"Erwartete Taste", u"Die Taste, die als nächste zu drücken ist", true},
    {"frmSchreiben", "Command14", u"Editor", nullptr, false},
    {"frmLek", "Text9", u"Gewählte Datei", nullptr, false},
    {"frmLek", "Text1", u"Vorschau", u"Der Anfang des gewählten Textes", false},
    {"frmLek", "Text4", u"Vorschau", u"Der Anfang des gewählten Textes", false},
    {"frmLek", "Text5", u"Vorschau", u"Der Anfang des gewählten Textes", false},
    {"frmLek", "Text8", u"Vorschau", u"Der Anfang des gewählten Textes", false},
    {"frmNumBlock", "rtb2", u"Vorlage", u"Die Zahlen zum Abschreiben; die nächste ist markiert", false},
    {"frmNumBlock", "Text1", u"Eingabe", u"Hier werden die Zahlen der Vorlage geschrieben", false},
    {"frmNumBlock", "Text2", u"Erwartete Taste", u"Die Taste, die als nächste zu drücken ist", true},
    {"frmNumBlock", "Text3", u"Num-Lock-Anzeige", nullptr, false},
    {"frmarc", "Text4", u"Übungszeit", u"Die am Regler eingestellte Trainingsdauer", false},
    {"frmGym", "Text2", u"Nummer der Übung", u"Die am Regler gewählte Übung", false},
    {"frmStatistik", "Text1", u"Anzahl der Übungen", u"So oft wurde insgesamt geübt", false},
    {"frmStatistik", "Text8", u"Anschläge pro Minute im Durchschnitt", nullptr, false},
    {"frmStatistik", "Text12", u"Zeichen zu tippen", u"So viele Zeichen waren bisher zu tippen", false},
    {"frmStatistik", "Text2", u"Fehler insgesamt", u"So oft wurde insgesamt falsch getippt", false},
    {"frmStatistik", "Text3", u"Fehler der linken Hand", nullptr, false},
    {"frmStatistik", "Text4", u"Fehler der rechten Hand", nullptr, false},
    {"frmStatistik", "Command4", u"Chart: Anzahl der Übungen je Lektion", nullptr, false},
    {"frmStatistik", "Command2", u"Chart: Anschläge pro Minute", nullptr, false},
    {"frmStatistik", "Command7", u"Chart: Fehler der einzelnen Finger", nullptr, false},
    {"frmStatistik", "Command5", u"Liste: die Übungen im Einzelnen", nullptr, false},
    {"frmStatistik", "Command6", u"Liste: Fehler pro Übung", nullptr, false},
};

// The property that marks a box whose values are announced already.
constexpr char kAnsage[] = "velkoraAnsage";
// Properties marking a window's standard and cancel buttons and displays.
constexpr char kStandard[] = "velkoraStandardknopf";
constexpr char kAbbruch[] = "velkoraAbbruchknopf";
constexpr char kAnzeige[] = "velkoraAnzeige";
// Windows Escape does not close.
constexpr const char* kOhneEscape[] = {"frmVelkora", "frmSchreiben", "frmWait"};

QString ohneKuerzel(QString text) {
    // "&Lektionen" reads "Lektionen"; "&&" is a literal ampersand.
    text.replace(QLatin1String("&&"), QChar(0xE000));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(0xE000), QLatin1Char('&'));
    return text.simplified();
}

QString beschriftung(const QLabel* l) {
    QString t = ohneKuerzel(l->text());
    if (Qt::mightBeRichText(t)) t = QTextDocumentFragment::fromHtml(t).toPlainText().simplified();
    while (t.endsWith(QLatin1Char(':'))) t.chop(1);
    return t.trimmed();
}

bool istEingabe(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           (qobject_cast<const QAbstractSlider*>(w) && !qobject_cast<const QScrollBar*>(w));
}

// The label that names an input control, found as the eye finds it.
QString labelFuer(QWidget* w, QWidget* fenster) {
    for (QLabel* l : fenster->findChildren<QLabel*>())
        if (l->buddy() == w && !beschriftung(l).isEmpty()) return beschriftung(l);
    QWidget* eltern = w->parentWidget();
    if (!eltern) return QString();
    const QRect g = w->geometry();
    const QLabel* best = nullptr;
    int bestAbstand = 0;
    for (QLabel* l : eltern->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (l->isHidden() || beschriftung(l).isEmpty()) continue;
        const QRect r = l->geometry();
        int abstand = -1;
        if (r.right() <= g.left() + 4 && r.top() < g.bottom() && r.bottom() > g.top())
            abstand = g.left() - r.right();  // left of it, on the same line
        else if (r.bottom() <= g.top() + 4 && r.left() < g.right() && r.right() > g.left())
            abstand = g.top() - r.bottom();  // above it
        if (abstand < 0 || abstand > 120) continue;
        if (!best || abstand < bestAbstand) {
            best = l;
            bestAbstand = abstand;
        }
    }
    if (best) return beschriftung(best);
    for (QWidget* p = eltern; p && p != fenster->parentWidget(); p = p->parentWidget())
        if (auto* box = qobject_cast<QGroupBox*>(p); box && !ohneKuerzel(box->title()).isEmpty())
            return ohneKuerzel(box->title());
    return QString();
}

const Zugangsname* eintrag(const QWidget* fenster, const QWidget* w) {
    for (const Zugangsname& z : kZugangsnamen)
        if (fenster->objectName() == QLatin1String(z.fenster) &&
            w->objectName() == QLatin1String(z.control))
            return &z;
    return nullptr;
}

void ansageEinrichten(QLineEdit* box, const QString& name) {
    if (box->property(kAnsage).toBool()) return;
    box->setProperty(kAnsage, true);
    auto nennen = [box, name] {
        const QString wert = gesprochenerWert(box->text());
        box->setAccessibleName(wert.isEmpty() ? name : name + QStringLiteral(": ") + wert);
        // The screen reader hears of the new name.
        QAccessibleEvent e(box, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&e);
    };
    QObject::connect(box, &QLineEdit::textChanged, box, nennen);
    nennen();
}

void fuellen(QWidget* fenster, QWidget* w) {
    if (w->accessibleDescription().isEmpty() && !w->toolTip().isEmpty())
        w->setAccessibleDescription(ohneKuerzel(w->toolTip()));
    if (const Zugangsname* z = eintrag(fenster, w)) {
        const QString name = QString::fromUtf16(z->name);
        if (z->beschreibung && w->accessibleDescription().isEmpty())
            w->setAccessibleDescription(QString::fromUtf16(z->beschreibung));
        if (auto* box = qobject_cast<QLineEdit*>(w); box && z->ansage)
            ansageEinrichten(box, name);
        else if (w->accessibleName().isEmpty())
            w->setAccessibleName(name);
        return;
    }
    if (!w->accessibleName().isEmpty()) return;
    QString name;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        name = ohneKuerzel(b->text());
        if (name.isEmpty()) name = ohneKuerzel(b->toolTip());
    } else if (istEingabe(w)) {
        name = labelFuer(w, fenster);
        if (name.isEmpty()) name = ohneKuerzel(w->toolTip());
        if (name.isEmpty())
            if (auto* e = qobject_cast<QLineEdit*>(w)) name = e->placeholderText();
    }
    if (!name.isEmpty()) w->setAccessibleName(name);
}

// The visible, enabled button of the window carrying the mark.
QAbstractButton* markierterKnopf(QWidget* fenster, const char* marke) {
    for (QAbstractButton* b : fenster->findChildren<QAbstractButton*>())
        if (b->property(marke).toBool() && b->isVisibleTo(fenster) && b->isEnabled()) return b;
    return nullptr;
}

bool escapeSchliesst(QWidget* fenster) {
    // Windows of their own and those in the main window's document area.
    if (qobject_cast<QDialog*>(fenster)) return false;
    if (!fenster->isWindow() && !qobject_cast<QMdiSubWindow*>(fenster->parentWidget())) return false;
    for (const char* name : kOhneEscape)
        if (fenster->objectName() == QLatin1String(name)) return false;
    return true;
}

// Return and Escape that no control of the window took for itself.
bool tasteFuerFenster(QWidget* fenster, const QKeyEvent* k) {
    if (k->modifiers() & ~Qt::KeypadModifier) return false;
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
        QWidget* fokus = QApplication::focusWidget();
        auto* knopf = qobject_cast<QAbstractButton*>(fokus);
        if (knopf && !knopf->isCheckable() && fenster->isAncestorOf(knopf) && knopf->isEnabled()) {
            knopf->click();
            return true;
        }
        if (QAbstractButton* b = markierterKnopf(fenster, kStandard)) {
            b->click();
            return true;
        }
        return false;
    }
    if (k->key() == Qt::Key_Escape && escapeSchliesst(fenster)) {
        if (QAbstractButton* b = markierterKnopf(fenster, kAbbruch)) b->click();
        else fenster->close();
        return true;
    }
    return false;
}

class Halter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o->isWidgetType()) zugaenglichMachen(static_cast<QWidget*>(o));
        // Keys reach the window when the focused control left them alone.
        if (e->type() == QEvent::KeyPress && o == parent())
            return tasteFuerFenster(static_cast<QWidget*>(o), static_cast<QKeyEvent*>(e));
        return false;
    }
};

}  // namespace

void zugaenglichMachen(QWidget* fenster) {
    if (!fenster) return;
    // Layouts place their widgets now, so labels are found where they will be.
    for (QLayout* l : fenster->findChildren<QLayout*>()) l->activate();
    if (fenster->layout()) fenster->layout()->activate();
    fuellen(fenster, fenster);
    for (QWidget* w : fenster->findChildren<QWidget*>()) fuellen(fenster, w);
}

void zugaenglichHalten(QWidget* fenster) {
    if (!fenster) return;
    zugaenglichMachen(fenster);
    // Once per window. (A search for a child of class Halter would find any
    // child: Halter has no meta-object of its own.)
    if (fenster->property("velkoraHalter").toBool()) return;
    fenster->setProperty("velkoraHalter", true);
    fenster->installEventFilter(new Halter(fenster));
}

void alsStandardknopf(QWidget* knopf) { knopf->setProperty(kStandard, true); }
void alsAbbruchknopf(QWidget* knopf) { knopf->setProperty(kAbbruch, true); }
void alsAnzeige(QWidget* w) { w->setProperty(kAnzeige, true); }

void alsStumm(QWidget* w) {
    // Its interface has no text: Qt sends no text events for it. Qt's
    // screen-reader bridge warns of each caret event it drops for want of
    // a text; those warnings are only shown when asked for (QT_LOGGING_RULES).
    static const bool fabrik = (QAccessible::installFactory([](const QString&, QObject* o) -> QAccessibleInterface* {
        if (!o->isWidgetType() || !o->property("velkoraStumm").toBool()) return nullptr;
        return new QAccessibleWidget(static_cast<QWidget*>(o), QAccessible::StaticText);
    }), QLoggingCategory::setFilterRules(QStringLiteral("qt.accessibility.atspi.warning=false")), true);
    (void)fabrik;
    w->setProperty("velkoraStumm", true);
}

void ansagen(QWidget* w, const QString& basis, const QString& text) {
    QString name = text.isEmpty() ? basis : basis + QStringLiteral(": ") + text;
    if (w->accessibleName() == name) name += QLatin1Char(' ');
    w->setAccessibleName(name);
}

void wertErneut(QWidget* w) {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent e(w, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&e);
}

bool istAnzeige(QWidget* w) {
    if (w->property(kAnzeige).toBool()) return true;
    if (w->focusPolicy() != Qt::NoFocus) return false;
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->isReadOnly();
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return e->isReadOnly();
    if (auto* e = qobject_cast<QTextEdit*>(w)) return e->isReadOnly();
    return false;
}

QString zugangsname(QWidget* w) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name).trimmed() : QString();
}

bool istBedienelement(QWidget* w) {
    // The parts of composed controls are named through the control.
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QComboBox*>(p) || qobject_cast<QTabBar*>(p))
            return false;
    if (w->objectName().startsWith(QLatin1String("qt_"))) return false;
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QTabBar*>(w) || istEingabe(w);
}

QString gesprochenerWert(const QString& wert) {
    if (wert == QLatin1String("LEER")) return QStringLiteral("Leertaste");
    if (wert == QLatin1String("RETURN") || wert == QLatin1String("ENTER")) return QStringLiteral("Eingabetaste");
    if (wert == QLatin1String(" ")) return QStringLiteral("Leertaste");
    return wert;
}
