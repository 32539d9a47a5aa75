// What a screen reader finds in the windows: every control of every window
// named, tool tips as descriptions, keys by their legends, and the
// expected-key box announcing each new value.
#include "allefenster.h"
#include "platform/zugang.h"
#include "testenv.h"
#include "keypad/numtasten.h"
#include "trainer/keybutton.h"
#include "trainer/keytable.h"

#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QGroupBox>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QSet>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>


class TstZugang : public QObject {
    Q_OBJECT
private slots:

    // Every interactive control of every window has a name, shown or not.
    void jedesFenster_data() { fensterZeilen(); }
    void jedesFenster() {
        QFETCH(int, fenster);
        TestEnv env;
        QWidget* w = oeffneFenster(*env.app, fenster);
        QStringList namenlos;
        int bedienelemente = 0;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (c->isHidden() || !istBedienelement(c)) continue;
            // Controls of windows inside this one (the writing window in the
            // main window) are those windows' own.
            if (c->window() != w->window()) continue;
            ++bedienelemente;
            if (zugangsname(c).isEmpty())
                namenlos << c->objectName() + " (" + c->metaObject()->className() + ")";
        }
        QVERIFY2(namenlos.isEmpty(), qPrintable(namenlos.join(", ")));
        // Buttons in sight that share a caption are told apart by their names.
        QHash<QString, bool> knoepfe;
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
            if (b->isVisible() && b->window() == w->window() && !istAnzeige(b))
                QVERIFY2(!std::exchange(knoepfe[zugangsname(b)], true), qPrintable(zugangsname(b)));
        if (bedienelemente == 0) qInfo("%s has no controls", alleFenster()[fenster].name);
    }

    // How the generic filling names controls.
    void fuellen_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("beschreibung");
        QTest::newRow("caption") << "knopf" << "Lektionen" << "";
        QTest::newRow("picture only") << "bild" << "Timer starten" << "Timer starten";
        QTest::newRow("label left") << "links" << "Benutzer" << "";
        QTest::newRow("label above") << "unten" << "Dauer in Minuten" << "";
        QTest::newRow("buddy beats nearness") << "buddy" << "Name" << "";
        QTest::newRow("group box") << "gruppe" << "Farbe" << "";
        QTest::newRow("own name kept") << "eigen" << "Eigener Name" << "Hilfe";
    }
    void fuellen() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, beschreibung);
        QWidget fenster;
        fenster.setObjectName("testfenster");
        auto* knopf = new QPushButton("&Lektionen", &fenster);
        knopf->setObjectName("knopf");
        auto* bild = new QPushButton(&fenster);
        bild->setObjectName("bild");
        bild->setToolTip("Timer starten");
        auto* l1 = new QLabel("Benutzer:", &fenster);
        l1->setGeometry(10, 50, 80, 20);
        auto* links = new QLineEdit(&fenster);
        links->setObjectName("links");
        links->setGeometry(100, 48, 100, 24);
        auto* l2 = new QLabel("Dauer in Minuten", &fenster);
        l2->setGeometry(220, 40, 120, 20);
        auto* unten = new QSlider(Qt::Horizontal, &fenster);
        unten->setObjectName("unten");
        unten->setGeometry(220, 64, 120, 20);
        auto* l3 = new QLabel("&Name", &fenster);
        l3->setGeometry(10, 100, 80, 20);
        auto* buddy = new QLineEdit(&fenster);
        buddy->setObjectName("buddy");
        buddy->setGeometry(10, 200, 100, 24);  // far from its label
        l3->setBuddy(buddy);
        auto* box = new QGroupBox("Farbe", &fenster);
        box->setGeometry(300, 150, 200, 100);
        auto* gruppe = new QLineEdit(box);
        gruppe->setObjectName("gruppe");
        gruppe->setGeometry(10, 30, 100, 24);
        auto* eigen = new QLineEdit(&fenster);
        eigen->setObjectName("eigen");
        eigen->setAccessibleName("Eigener Name");
        eigen->setToolTip("Hilfe");
        eigen->setGeometry(10, 300, 100, 24);
        zugaenglichMachen(&fenster);
        auto* c = fenster.findChild<QWidget*>(control);
        QCOMPARE(zugangsname(c), name);
        QCOMPARE(c->accessibleDescription(), beschreibung);
    }

    // Keys are named by their legends.
    void tasten_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("beschreibung");
        QTest::newRow("letter") << 8 << "Taste A" << "";
        QTest::newRow("umlaut") << 14 << "Taste Ä" << "";
        QTest::newRow("digit") << 47 << "Taste 7" << "Umschalt: /, Alt Gr: {";
        QTest::newRow("shift left") << kTasteShiftLinks << "Umschalt links" << "";
        QTest::newRow("shift right") << kTasteShiftRechts << "Umschalt rechts" << "";
        QTest::newRow("caps lock") << kTasteCapsLock << "Feststelltaste" << "";
        QTest::newRow("enter") << kTasteEnter << "Eingabetaste" << "";
        QTest::newRow("space") << 2 << "Leertaste" << "";
        QTest::newRow("alt gr") << 18 << "Taste Alt Gr" << "";
        QTest::newRow("letter with alt gr") << 19 << "Taste Q" << "Alt Gr: @";
    }
    void tasten() {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, beschreibung);
        TestEnv env;
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        QCOMPARE(zugangsname(s.Command1[index]), name);
        QCOMPARE(s.Command1[index]->accessibleDescription(), beschreibung);
    }

    // Keypad keys are named by their own legends, whatever their index.
    void numTasten() {
        QCOMPARE(tastenName(kNumTasten[9]), QStringLiteral("Taste 5"));
        QCOMPARE(tastenName(kNumTasten[10]), QStringLiteral("Taste 6"));
        QCOMPARE(tastenName(kNumTasten[16]), QStringLiteral("Eingabetaste"));
    }

    // The expected-key box says each new key as it appears.
    void erwarteteTaste() {
        TestEnv env;
        env.app->forms.get<frmVelkora>();
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        // Each new value renames the box; the name change is what a screen
        // reader announces.
        const QList<QPair<QString, QString>> werte = {{"a", "Erwartete Taste: a"},
                                                      {"LEER", "Erwartete Taste: Leertaste"},
                                                      {"RETURN", "Erwartete Taste: Eingabetaste"},
                                                      {"ENDE", "Erwartete Taste: ENDE"}};
        for (const auto& [wert, gesagt] : werte) {
            s.Text2->setText(wert);
            QCOMPARE(zugangsname(s.Text2), gesagt);
        }
        QCOMPARE(zugangsname(s.Text1), QStringLiteral("Eingabe"));
        QCOMPARE(s.Command9->accessibleDescription(), QStringLiteral("Statistik / Auswertungen"));
    }

    // Tab walks every enabled control of every window and never stays put
    // (a help page keeps the focus while Tab goes from link to link; one
    // button of a group is reached, the arrows reach the others). Escape
    // closes every window but the main window, the writing window and the
    // wait window; one of the document area goes behind the writing window.
    void tabulator_data() { fensterZeilen(); }
    void tabulator() {
        QFETCH(int, fenster);
        TestEnv env;
        QPointer<QWidget> w = oeffneFenster(*env.app, fenster);
        QWidget* top = w->window();
        top->show();
        top->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(top));
        QSet<QWidget*> offen;
        for (QWidget* c : w->findChildren<QWidget*>())
            if (c->window() == top && c->isVisible() && c->isEnabled() && istBedienelement(c) && !istAnzeige(c) &&
                !qobject_cast<QHeaderView*>(c))
                offen.insert(c);
        const int alle = offen.size();
        if (alle > 0) (*offen.begin())->setFocus(Qt::TabFocusReason);
        for (int i = 0, gleich = 0; i < 400 && !offen.isEmpty(); ++i) {
            QWidget* vorher = QApplication::focusWidget();
            QVERIFY2(vorher, "focus lost");
            for (QWidget* p = vorher; p; p = p->parentWidget()) offen.remove(p);  // a spin box's edit
            if (auto* r = qobject_cast<QRadioButton*>(vorher); r && r->autoExclusive())
                for (QRadioButton* b : r->parentWidget()->findChildren<QRadioButton*>()) offen.remove(b);
            QTest::keyClick(vorher, Qt::Key_Tab);
            gleich = QApplication::focusWidget() == vorher && alle > 1 ? gleich + 1 : 0;
            QVERIFY2(w && gleich < 50, qPrintable("stuck at " + vorher->objectName()));
        }
        QStringList fehlt;
        for (QWidget* c : offen) fehlt << c->objectName() + " (" + c->metaObject()->className() + ")";
        QVERIFY2(fehlt.isEmpty(), qPrintable("not reached: " + fehlt.join(", ")));
        const bool bleibt = QStringList{"frmVelkora", "frmSchreiben", "frmWait"}.contains(alleFenster()[fenster].name);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : top, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto* sub = w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr;
        QCOMPARE(!w || !w->isVisible() || (sub && sub->mdiArea()->activeSubWindow() != sub), !bleibt);
    }

    // Return on the lesson slider presses "OK"; Tab leaves the input box, counting no key.
    void eingabetaste() {
        TestEnv env;
        env.app->forms.get<frmVelkora>();
        frmLek& lek = env.app->forms.get<frmLek>();
        lek.zeigen();
        QVERIFY(QTest::qWaitForWindowActive(&lek));
        QTest::keyClick(lek.Slider1, Qt::Key_Return);
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        QVERIFY(env.app->ex.lektionsnr == 1 && !s.Text1->isReadOnly());
        s.window()->activateWindow();
        QTest::keyClick(s.Text1, Qt::Key_Tab);
        QVERIFY(!s.Text1->hasFocus() && env.app->ex.fehler == 0);
    }
};

VELKORA_TEST_MAIN(TstZugang)
#include "tst_zugang.moc"
