// The settings dialog (load, OK, Abbrechen, the duration slider, the
// pipette over a scripted screen) and the practice reminder.
#include "platform/units.h"
#include "settings/frmarc.h"
#include "settings/reminder.h"
#include "shell/frmVelkora.h"
#include "testenv.h"
#include "trainer/frmSchreiben.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

namespace {

QString opt(TestEnv& env, const char* key) { return env.app->GetSetting("Optionen", QString::fromUtf8(key)); }

// The program started as far as the main window, with the dialog open.
frmarc& dialog(TestEnv& env, int tab = frmarc::TabAudio) {
    env.app->forms.get<frmVelkora>();
    frmarc& d = env.app->forms.get<frmarc>();
    d.zeigen(tab);
    return d;
}

QColor hintergrund(const QWidget* w) { return w->palette().color(QPalette::Window); }

// Whether a start button shows the reminder as running.
bool zeigtLaufend(const QPushButton* b) {
    return b->styleSheet().contains(colorFromBgr(Reminder::kLaeuft).name()) &&
           b->cursor().shape() == Qt::WaitCursor;
}
bool zeigtBereit(const QPushButton* b) {
    return b->styleSheet().contains(colorFromBgr(Reminder::kBereit).name()) &&
           b->cursor().shape() != Qt::WaitCursor;
}

}  // namespace

class TstSettings : public QObject {
    Q_OBJECT
private slots:
    void storedDuration_data();
    void storedDuration();
    void okStoresEverything();
    void okEachSwitchAlone_data();
    void okEachSwitchAlone();
    void abbrechenKeepsSlider();
    void leaveWithoutSaving_data();
    void leaveWithoutSaving();
    void oddNames_data();
    void oddNames();
    void pipetteStillPointer();
    void pipettePicks_data();
    void pipettePicks();
    void pipetteClosedWhileHeld();
    void reminderTicks_data();
    void reminderTicks();
    void reminderRefused();
    void reminderOutlivesDialog();
    void reminderStoppedByCheckBox();
    void reminderCountStops();
    void screenshots();
};

// ---- load, OK, Abbrechen ----

void TstSettings::storedDuration_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("slider");
    QTest::newRow("12") << "12" << 12;
    QTest::newRow("0") << "0" << 1;
    QTest::newRow("61") << "61" << 60;
    QTest::newRow("-5") << "-5" << 1;
    QTest::newRow("abc") << "abc" << 1;
}

void TstSettings::storedDuration() {
    QFETCH(QString, stored);
    QFETCH(int, slider);
    TestEnv env;
    env.app->SaveSetting("Optionen", "Tdauer", stored);
    frmarc& d = dialog(env, frmarc::TabReminder);
    QCOMPARE(d.Slider2->value(), slider);
    QCOMPARE(d.Text4->text(), QString("%1 min").arg(slider));
    // Loading and leaving does not write the shown value back.
    d.Command7->click();
    QCOMPARE(opt(env, "Tdauer"), stored);
}

void TstSettings::okStoresEverything() {
    TestEnv env;
    env.app->SaveSetting("Optionen", "Benutzer", "Anna");
    frmarc& d = dialog(env);
    QCOMPARE(d.Text5->text(), QString("Anna"));
    QVERIFY(d.Check1->isChecked() && d.Check2->isChecked() && d.Check5->isChecked());
    // Every control changed, so that each write shows.
    d.Text5->clear();
    d.Check2->setChecked(false);
    d.Check3->setChecked(false);
    d.Check4->setChecked(false);
    d.Check1->setChecked(false);
    d.Check5->setChecked(false);
    d.Slider2->setValue(33);
    env.app->opt.farbwert1 = 255;
    d.Command14->click();
    QVERIFY(!env.app->forms.loaded<frmarc>());
    for (const char* key : {"CheckStatistik", "CheckGeräusch", "CheckFehlermeldung", "CheckReminder", "CheckAnimat"})
        QCOMPARE(opt(env, key), QString("False"));
    QCOMPARE(opt(env, "Tdauer"), QString("33"));
    QCOMPARE(opt(env, "Farbwert1"), QString("255"));
    QVERIFY(env.app->store.hasKey(kAppTitle, "Optionen", "Benutzer"));
    QCOMPARE(opt(env, "Benutzer"), QString());
    const Optionen& o = env.app->opt;
    QVERIFY(!o.checkStatistik && !o.checkGeraeusch && !o.checkFehlermeldung && !o.checkReminder && !o.checkAnimat);
    QCOMPARE(o.tdauer, qint16(33));
    // The title changes only at the next start.
    QCOMPARE(env.app->forms.get<frmVelkora>().windowTitle(), QString("Velkora 1.0     Anna"));
}

// Each switch on by itself: the OK writes it into its own key and no other.
void TstSettings::okEachSwitchAlone_data() {
    QTest::addColumn<QString>("box");
    for (const char* box : {"Check1", "Check2", "Check3", "Check4", "Check5"}) QTest::newRow(box) << QString(box);
}

void TstSettings::okEachSwitchAlone() {
    QFETCH(QString, box);
    TestEnv env;
    frmarc& d = dialog(env);
    for (QCheckBox* c : d.findChildren<QCheckBox*>()) c->setChecked(c->objectName() == box);
    d.Command14->click();
    const Optionen& o = env.app->opt;
    const std::pair<const char*, std::pair<const char*, bool>> schalter[] = {
        {"Check3", {"CheckFehlermeldung", o.checkFehlermeldung}}, {"Check4", {"CheckGeräusch", o.checkGeraeusch}},
        {"Check1", {"CheckReminder", o.checkReminder}},           {"Check2", {"CheckStatistik", o.checkStatistik}},
        {"Check5", {"CheckAnimat", o.checkAnimat}}};
    for (const auto& [name, schluessel] : schalter) {
        QCOMPARE(opt(env, schluessel.first), QString(box == name ? "True" : "False"));
        QCOMPARE(schluessel.second, box == name);
    }
}

void TstSettings::abbrechenKeepsSlider() {
    TestEnv env;
    frmarc& d = dialog(env, frmarc::TabReminder);
    d.Slider2->setValue(20);
    QCOMPARE(opt(env, "Tdauer"), QString("20"));  // stored at once
    QCOMPARE(d.Text4->text(), QString("20 min"));
    d.Check2->setChecked(false);
    d.Command7->click();
    QCOMPARE(env.app->opt.tdauer, qint16(20));
    QCOMPARE(opt(env, "Tdauer"), QString("20"));
    QVERIFY(env.app->opt.checkStatistik);
    QVERIFY(!env.app->store.hasKey(kAppTitle, "Optionen", "CheckStatistik"));
}

// Enter presses the button that has the keyboard (Tab to "OK" saves), and
// "Abbrechen" everywhere else; Escape always leaves without saving.
void TstSettings::leaveWithoutSaving_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("tabs");  // Tab presses after typing the name
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Enter in the name box") << int(Qt::Key_Return) << 0 << "Text5" << false;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << "Text5" << false;
    QTest::newRow("Enter on a check box") << int(Qt::Key_Return) << 1 << "Check2" << false;
    QTest::newRow("Enter on OK") << int(Qt::Key_Return) << 3 << "Command14" << true;
    QTest::newRow("Escape on OK") << int(Qt::Key_Escape) << 3 << "Command14" << false;
    QTest::newRow("Enter on Abbrechen") << int(Qt::Key_Return) << 4 << "Command7" << false;
}

void TstSettings::leaveWithoutSaving() {
    QFETCH(int, key);
    QFETCH(int, tabs);
    QFETCH(QString, focus);
    QFETCH(bool, saved);
    TestEnv env;
    frmarc& d = dialog(env, frmarc::TabVerschiedenes);
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    d.Text5->setFocus();
    QTest::keyClicks(d.Text5, "Bert");
    for (int i = 0; i < tabs; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QVERIFY(!env.app->forms.loaded<frmarc>());
    QCOMPARE(env.app->opt.benutzer, saved ? QString("Bert") : QString());
    QCOMPARE(env.app->store.hasKey(kAppTitle, "Optionen", "Benutzer"), saved);
}

void TstSettings::oddNames_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("10 000 characters") << QString(10000, QChar('x'));
    QTest::newRow("control characters") << QString::fromUtf8("A\tB\x01\x1b" "C\r\nD");
    QTest::newRow("ini syntax") << QString::fromUtf8("[Optionen]\nTdauer=9;\"ä\"\\");
}

void TstSettings::oddNames() {
    QFETCH(QString, name);
    TestEnv env;
    frmarc& d = dialog(env, frmarc::TabVerschiedenes);
    d.Text5->setText(name);
    d.Command14->click();
    QCOMPARE(opt(env, "Benutzer"), name);
    QCOMPARE(env.app->opt.benutzer, name);
    // The next start reads it back unchanged, with nothing else disturbed.
    env.restart();
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    QCOMPARE(env.app->opt.benutzer, name);
    QCOMPARE(w.windowTitle(), QString("Velkora 1.0     ") + name);
    QCOMPARE(env.app->opt.tdauer, qint16(5));
}

// ---- the pipette ----

void TstSettings::pipetteStillPointer() {
    TestEnv env;
    frmarc& d = dialog(env, frmarc::TabFarbdesign);
    env.services.pixels[{10, 10}] = QColor(1, 2, 3);
    env.services.pixels[{11, 10}] = QColor(4, 5, 6);
    env.services.cursor = QPoint(10, 10);
    QTest::mousePress(d.Picture2, Qt::LeftButton);
    QVERIFY(d.pipetteAktiv());
    QVERIFY(d.Picture2->isHidden());
    QVERIFY(d.Timer1->isActive());
    QCOMPARE(d.Timer1->interval(), 50);
    for (int i = 0; i < 5; ++i) d.Timer1_Timer();
    QCOMPARE(env.services.pixelReads, 1);
    QCOMPARE(env.app->opt.farbwert1, bgrFromColor(QColor(1, 2, 3)));
    env.services.cursor = QPoint(11, 10);
    d.Timer1_Timer();
    d.Timer1_Timer();
    QCOMPARE(env.services.pixelReads, 2);
    QCOMPARE(hintergrund(d.Picture1), QColor(4, 5, 6));
}

void TstSettings::pipettePicks_data() {
    QTest::addColumn<bool>("lesbar");
    QTest::addColumn<QString>("stored");
    QTest::newRow("original colour") << true << "16761024";
    QTest::newRow("unreadable pixel") << false << "13160660";
}

void TstSettings::pipettePicks() {
    QFETCH(bool, lesbar);
    QFETCH(QString, stored);
    TestEnv env;
    env.app->SaveSetting("Optionen", "Farbwert1", "13160660");
    frmarc& d = dialog(env, frmarc::TabFarbdesign);
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    const QColor vorher = hintergrund(d.Picture1);
    QCOMPARE(vorher, colorFromBgr(13160660));
    if (lesbar) env.services.pixels[{300, 200}] = QColor(192, 192, 255);
    env.services.cursor = QPoint(300, 200);
    QTest::mousePress(d.Picture2, Qt::LeftButton);
    d.Timer1_Timer();
    QCOMPARE(d.lblHinweis->text().isEmpty(), lesbar);
    QTest::mouseRelease(&d, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!d.pipetteAktiv());
    QVERIFY(!d.Timer1->isActive());
    QVERIFY(d.Picture2->isVisibleTo(&d));
    QCOMPARE(opt(env, "Farbwert1"), stored);
    QCOMPARE(QString::number(env.app->opt.farbwert1), stored);
    // The writing window took the colour at once; the dialog stays open.
    QCOMPARE(hintergrund(s.Frame1), colorFromBgr(stored.toInt()));
    QCOMPARE(hintergrund(d.Picture1), lesbar ? QColor(192, 192, 255) : vorher);
    QVERIFY(env.app->forms.loaded<frmarc>());
}

void TstSettings::pipetteClosedWhileHeld() {
    TestEnv env;
    frmarc& d = dialog(env, frmarc::TabFarbdesign);
    QTest::mousePress(d.Picture2, Qt::LeftButton);
    QVERIFY(QApplication::overrideCursor());
    QTest::keyClick(&d, Qt::Key_Escape);
    QVERIFY(!env.app->forms.loaded<frmarc>());
    QVERIFY(!QApplication::overrideCursor());  // the pointer is the user's again
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
}

// ---- the reminder ----

void TstSettings::reminderTicks_data() {
    // Each step: "s" presses a start button, "d<n>" sets the duration, a
    // number runs that many minute ticks. fired: ticks after which the
    // signal came, counted over the whole script.
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QList<int>>("fired");
    QTest::newRow("1 minute") << QStringList{"d1", "s", "1", "1"} << QList<int>{1};
    QTest::newRow("restart after 3 of 5") << QStringList{"d5", "s", "3", "s", "4", "1"} << QList<int>{8};
    QTest::newRow("lowered below the count") << QStringList{"d10", "s", "5", "d3", "100"} << QList<int>{};
    QTest::newRow("raised again") << QStringList{"d10", "s", "5", "d3", "2", "d9", "2"} << QList<int>{9};
    QTest::newRow("twice in a row") << QStringList{"d2", "s", "2", "s", "2"} << QList<int>{2, 4};
    QTest::newRow("stored 0 counts as 1") << QStringList{"d0", "s", "1"} << QList<int>{1};
    QTest::newRow("stored 61 counts as 60") << QStringList{"d61", "s", "59", "1"} << QList<int>{60};
}

void TstSettings::reminderTicks() {
    QFETCH(QStringList, script);
    QFETCH(QList<int>, fired);
    TestEnv env;
    env.app->forms.get<frmVelkora>();
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    Reminder& r = env.app->reminder();
    QList<int> gekommen;
    int ticks = 0;
    for (const QString& step : script) {
        if (step == "s") {
            s.Command11->click();
            QVERIFY(r.Timer2->isActive());
            QCOMPARE(r.Timer2->interval(), 60000);
            QVERIFY(zeigtLaufend(s.Command11));
        } else if (step.startsWith('d')) {
            env.app->opt.tdauer = qint16(step.mid(1).toInt());
        } else {
            for (int i = step.toInt(); i > 0; --i) {
                ++ticks;
                if (!r.Timer2->isActive()) continue;  // a stopped timer does not tick
                const auto vorher = env.services.messages.size();
                env.app->forms.get<frmarc>().Timer2_Timer();
                if (env.services.messages.size() > vorher) gekommen.append(ticks);
            }
        }
    }
    QCOMPARE(gekommen, fired);
    for (const FakeServices::Message& m : env.services.messages) {
        QCOMPARE(m.title, QString("Reminder"));
        QCOMPARE(m.text, QString::fromUtf8("Fleißig, fleißig...\r\n\r\naber jetzt ist die Zeit um! "));
        QCOMPARE(m.style, int(Msg::Exclamation));
    }
    QCOMPARE(env.services.sounds.count(env.programDir() + "/CHIMES2.WAV"), fired.size());
    if (!fired.isEmpty() && script.last() != "s") {
        QVERIFY(!r.Timer2->isActive());
        QVERIFY(zeigtBereit(s.Command11));
        QVERIFY(zeigtBereit(env.app->forms.get<frmarc>().Command2));
    }
}

void TstSettings::reminderRefused() {
    TestEnv env;
    env.app->SaveSetting("Optionen", "CheckReminder", "False");
    frmarc& d = dialog(env, frmarc::TabReminder);
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    d.Command2->click();
    s.Command11->click();
    QCOMPARE(env.services.messages.size(), 2);
    for (const FakeServices::Message& m : env.services.messages) {
        QCOMPARE(m.title, QString("REMINDER nicht aktiviert"));
        QCOMPARE(m.text, QString("Sie können den Reminder im Menü: Optionen/Einstellungen/Reminder aktivieren."));
    }
    QCOMPARE(env.services.beeps, 0);
    QVERIFY(!env.app->reminder().laeuft());
    QVERIFY(zeigtBereit(d.Command2) && zeigtBereit(s.Command11));
}

void TstSettings::reminderOutlivesDialog() {
    TestEnv env;
    frmarc& d = dialog(env, frmarc::TabReminder);
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    d.Slider2->setValue(2);
    d.Command2->click();
    QCOMPARE(env.services.beeps, 1);
    QVERIFY(zeigtLaufend(d.Command2) && zeigtLaufend(s.Command11));
    env.app->reminder().Timer2_Timer();
    d.Command14->click();  // OK destroys the dialog
    QVERIFY(!env.app->forms.loaded<frmarc>());
    QVERIFY(env.app->reminder().laeuft());
    QVERIFY(zeigtLaufend(s.Command11));
    // Opened again, the dialog's button shows the running reminder too.
    frmarc& wieder = dialog(env, frmarc::TabReminder);
    QVERIFY(zeigtLaufend(wieder.Command2));
    wieder.Command7->click();
    env.app->reminder().Timer2_Timer();
    QCOMPARE(env.services.messages.size(), 1);
    QVERIFY(zeigtBereit(s.Command11));
}

void TstSettings::reminderStoppedByCheckBox() {
    TestEnv env;
    frmarc& d = dialog(env, frmarc::TabReminder);
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    s.Command11->click();
    QVERIFY(env.app->reminder().laeuft());
    d.Check1->setChecked(false);
    s.Command11->click();
    QCOMPARE(env.services.beeps, 2);
    QVERIFY(!env.app->reminder().laeuft());
    QVERIFY(zeigtBereit(s.Command11) && zeigtBereit(d.Command2));
}

void TstSettings::reminderCountStops() {
    TestEnv env;
    env.removeFile("\\CHIMES2.WAV");
    env.app->forms.get<frmVelkora>();
    Reminder& r = env.app->reminder();
    env.app->opt.tdauer = 1;
    r.starten();
    r.reminderMinuten = 32766;
    r.Timer2_Timer();
    r.Timer2_Timer();
    QCOMPARE(r.reminderMinuten, qint16(32767));
    QVERIFY(env.services.messages.isEmpty());
    // A missing signal file: the message still comes.
    r.starten();
    r.Timer2_Timer();
    QCOMPARE(env.services.messages.size(), 1);
}

// Each tab as the learner sees it, for a person to look at; every control
// lies wholly inside its tab.
void TstSettings::screenshots() {
    TestEnv env;
    frmarc& d = dialog(env);
    for (int i = 0; i < d.SSTab1->count(); ++i) {
        d.SSTab1->setCurrentIndex(i);
        QWidget* seite = d.SSTab1->widget(i);
        for (QWidget* c : seite->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(seite->rect().contains(c->geometry()), qPrintable(c->objectName()));
        fotografieren(&d, QStringLiteral("frmarc_%1").arg(i), QSize(400, 300));
    }
}

VELKORA_TEST_MAIN(TstSettings)
#include "tst_settings.moc"
