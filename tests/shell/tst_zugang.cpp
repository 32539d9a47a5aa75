// What a screen reader finds in the windows: every control of every window
// named, tool tips as descriptions, keys by their legends, and the
// expected-key box announcing each new value.
#include "allefenster.h"
#include "platform/zugang.h"
#include "testenv.h"
#include "keypad/numtasten.h"
#include "trainer/keybutton.h"
#include "trainer/keytable.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QSet>
#include <QGroupBox>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
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
        QMap<QString, QString> knoepfe;
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || b->window() != w->window() || istAnzeige(b)) continue;
            const QString n = zugangsname(b);
            QVERIFY2(!knoepfe.contains(n), qPrintable(n + ": " + knoepfe.value(n) + ", " + b->objectName()));
            knoepfe.insert(n, b->objectName());
        }
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

    // Tab walks every enabled control of every window and never stays put;
    // Escape closes every window but the main window, the writing window
    // inside it and the wait window.
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
        // The control a focused part belongs to (a spin box's edit).
        auto control = [&](QWidget* f) {
            for (QWidget* p = f; p; p = p->parentWidget())
                if (offen.contains(p)) return p;
            return f;
        };
        const QSet<QWidget*> alle = offen;
        if (!alle.isEmpty()) {
            (*alle.begin())->setFocus(Qt::TabFocusReason);
            // A page of the help keeps the focus while Tab goes from link to
            // link; stuck is a control that keeps it for good.
            int gleich = 0;
            for (int i = 0; i < 400 && !offen.isEmpty(); ++i) {
                QWidget* vorher = QApplication::focusWidget();
                QVERIFY2(vorher, qPrintable(QStringLiteral("no focus after %1 Tab").arg(i)));
                offen.remove(control(vorher));
                // Tab reaches one button of a group, the arrow keys the others.
                if (auto* r = qobject_cast<QRadioButton*>(vorher); r && r->autoExclusive())
                    for (QRadioButton* b : r->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
                        offen.remove(b);
                QTest::keyClick(vorher, Qt::Key_Tab);
                QVERIFY(w);
                gleich = QApplication::focusWidget() == vorher && alle.size() > 1 ? gleich + 1 : 0;
                QVERIFY2(gleich < 50, qPrintable("stuck at " + vorher->objectName()));
            }
            QStringList fehlt;
            for (QWidget* c : offen) fehlt << c->objectName() + " (" + c->metaObject()->className() + ")";
            QVERIFY2(fehlt.isEmpty(), qPrintable("not reached: " + fehlt.join(", ")));
        }
        const QString name = QString::fromLatin1(alleFenster()[fenster].name);
        const bool bleibt = QStringList{"frmVelkora", "frmSchreiben", "frmWait"}.contains(name);
        QWidget* ziel = QApplication::focusWidget() ? QApplication::focusWidget() : top;
        QTest::keyClick(ziel, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // A window of the main window's document area goes behind the writing window.
        auto* sub = w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr;
        const bool weg = !w || !w->isVisible() || (sub && sub->mdiArea()->activeSubWindow() != sub);
        QCOMPARE(weg, !bleibt);
    }

    // Return presses the focused button, else the window's standard one.
    void eingabetaste() {
        TestEnv env;
        env.app->forms.get<frmVelkora>();
        frmLek& lek = env.app->forms.get<frmLek>();
        lek.zeigen();
        QVERIFY(QTest::qWaitForWindowActive(&lek));
        QTest::keyClick(lek.Slider1, Qt::Key_Return);  // the slider stands on lesson 1: OK starts it
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        QCOMPARE(env.app->ex.lektionsnr, qint16(1));
        QVERIFY(s.Text1->isEnabled() && !s.Text1->isReadOnly());
        // Tab leaves the input box during an exercise without counting a key.
        s.window()->activateWindow();
        s.Text1->setFocus();
        QTest::keyClick(s.Text1, Qt::Key_Tab);
        QVERIFY(!s.Text1->hasFocus());
        QCOMPARE(env.app->ex.fehler, 0.0);
    }
};

VELKORA_TEST_MAIN(TstZugang)
#include "tst_zugang.moc"
