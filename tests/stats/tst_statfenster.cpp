// The results windows: the overview of totals, the two record browsers and
// the three charts, over prepared databases; and their screenshots.
#include "stats/datenblatt.h"
#include "stats/diagramm.h"
#include "stats/frmStatistik.h"
#include "statshelfer.h"
#include "trainer/recording.h"
#include "platform/aviplayer.h"
#include "shell/frmVelkora.h"
#include "trainer/frmSchreiben.h"
#include "windows/frmWait.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QAbstractBarSeries>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolButton>
#include <QValueAxis>
#include <cmath>

using Zeilen = QList<QVariantList>;

namespace {
QVariant N() { return QVariant(); }

// Three exercises of lesson 4 and one of the first practice text.
void vierUebungen(const TestEnv& env) {
    TestDb db(velkoraPfad(env));
    uebungEinfuegen(db, 4, 140, 100);
    uebungEinfuegen(db, 4, 150, 110);
    uebungEinfuegen(db, 19, 300, 200, "2024-05-18", "09:15:00");
    uebungEinfuegen(db, 4, 160, 121);
    TestDb f(fingerPfad(env));
    fingerEinfuegen(f, 2, 1, 1);
    fingerEinfuegen(f, 0, 4, 0);
    fingerEinfuegen(f, 3, 3, 2);
}

// Enough stored exercises for pictures that look like a year of practice.
void einJahrUeben(const TestEnv& env) {
    TestDb db(velkoraPfad(env));
    TestDb f(fingerPfad(env));
    db.exec("BEGIN");
    f.exec("BEGIN");
    const int lektionen[] = {1, 1, 2, 2, 2, 3, 4, 4, 5, 6, 7, 8, 8, 9, 10, 12, 14, 15, 18, 19, 20, 23, 99, 100, 101};
    int i = 0;
    for (int l : lektionen) {
        for (int k = 0; k <= i % 3; ++k) {
            const int anschlaege = 60 + 4 * i + 7 * k;
            db.exec("INSERT INTO Auswertung (Datum, Zeit, IDLektion, MaximalPunkte, stoppzeit, zaehler, fehler, "
                    "ergebnis, anschlaege) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                    {QDate(2024, 3, 1).addDays(i * 3 + k).toString(Qt::ISODate),
                     QStringLiteral("%1:%2:00").arg(9 + k * 3, 2, 10, QChar('0')).arg(i * 2 % 60, 2, 10, QChar('0')),
                     l, 140 + i * 5, (140.0 + i * 5) / anschlaege, 140 + i * 5, (i * 7) % 9,
                     (i * 7) % 9 * 100.0 / (140 + i * 5), anschlaege});
            const int lk = (i + k) % 3, lr = (i * 2) % 4, lm = i % 2, lz = (i + 2) % 5;
            const int rz = (i * 3) % 4, rm = (i + k) % 2, rr = i % 3, rk = (i * 5 + k) % 6;
            f.exec("INSERT INTO fehlerliste VALUES (?, ?, ?, ?, ?, 0, 0, ?, ?, ?, ?, ?)",
                   {lk + lr + lm + lz, lk, lr, lm, lz, rz, rm, rr, rk, rz + rm + rr + rk});
        }
        ++i;
    }
    db.exec("COMMIT");
    f.exec("COMMIT");
}

QList<double> werte(QChart* c) {
    QList<double> out;
    for (QAbstractSeries* s : c->series())
        for (QBarSet* set : static_cast<QAbstractBarSeries*>(s)->barSets())
            for (int i = 0; i < set->count(); ++i) out << set->at(i);
    return out;
}

QStringList kategorien(QChart* c, Qt::Orientation o) {
    for (QAbstractAxis* a : c->axes(o))
        if (auto* k = qobject_cast<QBarCategoryAxis*>(a)) return k->categories();
    return {};
}

QString achsentitel(QChart* c, Qt::Orientation o) {
    const auto a = c->axes(o);
    return a.isEmpty() ? QString() : a.first()->titleText();
}
}  // namespace

class TstStatfenster : public QObject {
    Q_OBJECT
private slots:
    void init();

    void uebersicht_data();
    void uebersicht();
    void uebersichtNurMitStatistik();
    void uebersichtZeigtErstBeimOeffnenNeues();
    void uebersichtKnoepfe_data();
    void uebersichtKnoepfe();
    void uebersichtImHauptfenster();
    void warteFenster();

    void feldformate_data();
    void feldformate();
    void blaettern_data();
    void blaettern();
    void escSchliesst();
    void browserOhneDatenbank();
    void haendeSindHaende();

    void gitter_data();
    void gitter();
    void lektionsdiagramme();
    void keineDaten();
    void diagrammOhneDatenbank();
    void fingerdiagramm();
    void fingerdiagrammMitNull();
    void fingerdiagrammOhneDatenbank();
    void groessenaenderung();

    void bildschirmfotos();

private:
    std::unique_ptr<TestEnv> env_;
};

void TstStatfenster::init() {
    env_ = std::make_unique<TestEnv>();
    leereDatenbanken(*env_);
}

// ---- overview ----

void TstStatfenster::uebersicht_data() {
    QTest::addColumn<QString>("daten");
    QTest::addColumn<QStringList>("boxen");  // Text1, Text8, Text12, Text2, Text3, Text4

    QTest::addColumn<QString>("gemeldet");  // the database a message names, if any

    QTest::newRow("empty") << "" << QStringList{"0", "", "", "", "", ""} << "";
    QTest::newRow("four exercises") << "vier" << QStringList{"4", "132,8", "750", "13", "5", "8"} << "";
    QTest::newRow("mean 123,45 rounds to even") << "mittel" << QStringList{"2", "123,4", "280", "", "", ""} << "";
    QTest::newRow("results database missing")
        << "ohneVelkora" << QStringList{"", "", "", "13", "5", "8"} << "Velkora.mdb";  // as looked for
    QTest::newRow("finger database damaged")
        << "fingerKaputt" << QStringList{"4", "132,8", "750", "", "", ""} << "finger.mdb";
    // Files that open but cannot answer are named as they are spelled on disk.
    QTest::newRow("results table missing") << "ohneTabelle" << QStringList{"", "", "", "13", "5", "8"} << "velkora.mdb";
    QTest::newRow("results database 0 bytes, upper case")
        << "leerGross" << QStringList{"", "", "", "13", "5", "8"} << "VELKORA.MDB";
    QTest::newRow("results column missing") << "ohneSpalte" << QStringList{"1", "", "", "13", "5", "8"} << "velkora.mdb";

}

void TstStatfenster::uebersicht() {
    QFETCH(QString, daten);
    QFETCH(QStringList, boxen);
    QFETCH(QString, gemeldet);
    if (daten != "" && daten != "mittel") vierUebungen(*env_);
    if (daten == "mittel") {
        // A mean of 123,45 lies on a half of the shown place: to the even 123,4.
        TestDb db(velkoraPfad(*env_));
        db.exec("INSERT INTO Auswertung (MaximalPunkte, anschlaege) VALUES (140, 123.4), (140, 123.5)");
    }
    if (daten == "ohneVelkora") QFile::remove(velkoraPfad(*env_));
    if (daten == "ohneTabelle") TestDb(velkoraPfad(*env_)).exec("DROP TABLE Auswertung");
    if (daten == "leerGross") {
        QFile::remove(velkoraPfad(*env_));
        QFile f(env_->programDir() + "/VELKORA.MDB");
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    if (daten == "ohneSpalte") {
        TestDb db(velkoraPfad(*env_));
        db.exec("DROP TABLE Auswertung");
        db.exec("CREATE TABLE Auswertung (IDDatensatz INTEGER PRIMARY KEY, Datum TEXT)");
        db.exec("INSERT INTO Auswertung (Datum) VALUES ('2024-05-17')");
    }

    if (daten == "fingerKaputt") {
        QFile f(fingerPfad(*env_));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(2048, '\x5a'));
    }
    frmStatistik& s = env_->app->forms.get<frmStatistik>();
    s.oeffnen();
    const QStringList ist = {s.Text1->text(), s.Text8->text(), s.Text12->text(),
                             s.Text2->text(), s.Text3->text(), s.Text4->text()};
    QCOMPARE(ist, boxen);
    // A database that cannot be opened is named in one message; the other
    // one's figures are shown all the same.
    QCOMPARE(env_->services.messages.size(), gemeldet.isEmpty() ? 0 : 1);
    if (!gemeldet.isEmpty())
        QVERIFY2(env_->services.messages[0].text.contains(QDir::toNativeSeparators(env_->programDir() + "/" + gemeldet)),
                 qPrintable(env_->services.messages[0].text));
    QCOMPARE(s.windowTitle(), QStringLiteral("Statistik"));
}

void TstStatfenster::uebersichtNurMitStatistik() {
    App& app = *env_->app;
    frmSchreiben& s = app.forms.get<frmSchreiben>();
    app.opt.checkStatistik = false;
    s.Command9_Click();
    s.Command9_Click();
    QCOMPARE(env_->services.messages.size(), 2);
    QCOMPARE(env_->services.messages[1].title, QStringLiteral("STATISTIK nicht aktiviert"));
    QVERIFY(!app.forms.loaded<frmStatistik>());

    app.opt.checkStatistik = true;
    s.Command9_Click();
    frmStatistik* st = app.forms.loaded<frmStatistik>();
    QVERIFY(st);
    QVERIFY(st->isVisible());
    QCOMPARE(st->Text1->text(), QStringLiteral("0"));
}

void TstStatfenster::uebersichtZeigtErstBeimOeffnenNeues() {
    frmStatistik& s = env_->app->forms.get<frmStatistik>();
    s.oeffnen();
    QCOMPARE(s.Text1->text(), QStringLiteral("0"));
    vierUebungen(*env_);
    QCOMPARE(s.Text1->text(), QStringLiteral("0"));  // a loaded window is not told
    s.oeffnen();
    QCOMPARE(s.Text1->text(), QStringLiteral("4"));
    QCOMPARE(s.Text8->text(), QStringLiteral("132,8"));
}

void TstStatfenster::uebersichtKnoepfe_data() {
    QTest::addColumn<QString>("knopf");
    QTest::addColumn<QString>("fenster");
    QTest::newRow("Command2") << "Command2" << "chart";
    QTest::newRow("Command4") << "Command4" << "chart1";
    QTest::newRow("Command5") << "Command5" << "frmdaten";
    QTest::newRow("Command6") << "Command6" << "frmblockdat";
    QTest::newRow("Command7") << "Command7" << "frmblockchart";
}

void TstStatfenster::uebersichtKnoepfe() {
    QFETCH(QString, knopf);
    QFETCH(QString, fenster);
    vierUebungen(*env_);
    frmStatistik& s = env_->app->forms.get<frmStatistik>();
    s.oeffnen();
    s.findChild<QPushButton*>(knopf)->click();
    QVERIFY(env_->app->forms.isLoaded(fenster));
    QWidget* w = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (t->objectName() == fenster) w = t;
    QVERIFY(w && w->isVisible());
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(s.isVisible());  // the overview stays open
    QVERIFY(env_->services.messages.isEmpty());
}

void TstStatfenster::uebersichtImHauptfenster() {
    App& app = *env_->app;
    app.opt.checkStatistik = true;
    frmVelkora& main = app.forms.get<frmVelkora>();
    main.show();
    frmSchreiben& s = app.forms.get<frmSchreiben>();
    s.Command9_Click();
    frmStatistik* st = app.forms.loaded<frmStatistik>();
    QVERIFY(st);
    // A document of the main window, filling its area, in front.
    auto* sub = qobject_cast<QMdiSubWindow*>(st->parentWidget());
    QVERIFY(sub);
    QCOMPARE(main.mdiArea()->activeSubWindow(), sub);
    QCOMPARE(sub->geometry(), main.mdiArea()->viewport()->rect());
    QCOMPARE(st->Frame3->pos(), QPoint(4, -4));
    // Back to the writing window, and the overview hides on recording.
    st->Command1->click();
    QCOMPARE(main.mdiArea()->activeSubWindow(), qobject_cast<QMdiSubWindow*>(s.parentWidget()));
    s.Command9_Click();
    QVERIFY(st->isVisible());
    app.ex.MaxZeichen = 1;
    ergebnisseAufzeichnen(app);
    QVERIFY(!st->isVisible() && !sub->isVisible());
    main.close();
    QVERIFY(!app.forms.loaded<frmStatistik>());
}

void TstStatfenster::warteFenster() {
    App& app = *env_->app;
    frmWait& w = app.forms.get<frmWait>();
    w.zeigen("Die Ergebnisse werden geladen...", app.datei("\\FILEMOVE.AVI"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Die Ergebnisse werden geladen..."));
    QVERIFY(w.isVisible());
    QVERIFY(w.Animation1->frameCount() > 1);
    QVERIFY(w.Animation1->isPlaying());
    app.forms.unload<frmWait>();
    // Without its clip the window still shows, without animation.
    env_->removeFile("\\FILEMOVE.AVI");
    frmWait& ohne = app.forms.get<frmWait>();
    ohne.zeigen("Die Ergebnisse werden in die Datenbank geschrieben...", app.datei("\\FILEMOVE.AVI"));
    QVERIFY(ohne.isVisible());
    QCOMPARE(ohne.Animation1->frameCount(), 0);
    QVERIFY(!ohne.Animation1->isPlaying());
}

// ---- record browsers ----

void TstStatfenster::feldformate_data() {
    QTest::addColumn<QVariant>("wert");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    const int datum = int(Feldformat::Datum), zeit = int(Feldformat::Zeit), ganz = int(Feldformat::Ganz),
              zwei = int(Feldformat::Zwei);
    QTest::newRow("date") << QVariant("2024-05-17") << datum << "17.05.2024";
    QTest::newRow("date not readable") << QVariant("17/05/24") << datum << "17/05/24";
    QTest::newRow("time") << QVariant("09:05:00") << zeit << "09:05:00";
    QTest::newRow("whole") << QVariant(112) << ganz << "112";
    QTest::newRow("whole from 2.5: even") << QVariant(2.5) << ganz << "2";
    QTest::newRow("whole from 3.5: even") << QVariant(3.5) << ganz << "4";
    QTest::newRow("two decimals") << QVariant(1.25) << zwei << "1,25";
    QTest::newRow("two decimals, whole") << QVariant(2) << zwei << "2,00";
    QTest::newRow("two decimals, half to even") << QVariant(0.125) << zwei << "0,12";
    QTest::newRow("no minus zero") << QVariant(-0.001) << zwei << "0,00";
    QTest::newRow("no grouping") << QVariant(12345.5) << zwei << "12345,50";
    QTest::newRow("null") << QVariant() << ganz << "";
    QTest::newRow("text in a number column") << QVariant("viel") << ganz << "viel";
}

void TstStatfenster::feldformate() {
    QFETCH(QVariant, wert);
    QFETCH(int, format);
    QFETCH(QString, text);
    QCOMPARE(feldText(wert, Feldformat(format)), text);
}

void TstStatfenster::blaettern_data() {
    QTest::addColumn<QString>("fenster");
    QTest::addColumn<int>("zeilen");
    QTest::addColumn<QStringList>("schritte");  // buttons, or keys into a field (C- Ctrl, S- Shift, A- Alt)
    QTest::addColumn<QList<int>>("positionen");  // before the first step, then after each
    QTest::addColumn<int>("beeps");

    const QString d = "frmdaten", b = "frmblockdat";
    QTest::newRow("empty: first and last beep") << d << 0 << QStringList{"first", "last"} << QList<int>{0, 0, 0} << 2;
    QTest::newRow("empty: next and previous quiet") << d << 0 << QStringList{"next", "prev", "Down", "Up"}
                                                    << QList<int>{0, 0, 0, 0, 0} << 0;
    QTest::newRow("empty finger browser beeps on load") << b << 0 << QStringList{} << QList<int>{0} << 1;
    QTest::newRow("results start on the oldest") << d << 3 << QStringList{"next", "next", "next", "last", "first"}
                                                 << QList<int>{1, 2, 3, 3, 3, 1} << 1;
    QTest::newRow("fingers start on the newest") << b << 3 << QStringList{"next", "prev", "prev", "prev"}
                                                 << QList<int>{3, 3, 2, 1, 1} << 2;
    QTest::newRow("one row: both ends beep") << d << 1 << QStringList{"next", "prev"} << QList<int>{1, 1, 1} << 2;
    QTest::newRow("keys") << d << 5 << QStringList{"Down", "PgDn", "End", "Up", "PgUp", "Home"}
                          << QList<int>{1, 2, 3, 5, 4, 3, 1} << 0;
    QTest::newRow("exactly Ctrl jumps") << d << 5 << QStringList{"C-Down", "C-PgUp", "C-PgDn", "C-Up"}
                                        << QList<int>{1, 5, 1, 5, 1} << 0;
    QTest::newRow("Ctrl with more moves one row")
        << d << 5 << QStringList{"CS-Down", "CA-Down", "S-Down", "CS-Up", "CA-PgUp"} << QList<int>{1, 2, 3, 4, 3, 2}
        << 0;
}

void TstStatfenster::blaettern() {
    QFETCH(QString, fenster);
    QFETCH(int, zeilen);
    QFETCH(QStringList, schritte);
    QFETCH(QList<int>, positionen);
    QFETCH(int, beeps);
    {
        TestDb v(velkoraPfad(*env_));
        TestDb f(fingerPfad(*env_));
        for (int i = 1; i <= zeilen; ++i) {
            uebungEinfuegen(v, i, 100 + i, 100 + i);
            fingerEinfuegen(f, i, i);
        }
    }
    App& app = *env_->app;
    Datenblatt* w = fenster == "frmdaten" ? static_cast<Datenblatt*>(&app.forms.get<frmdaten>())
                                          : static_cast<Datenblatt*>(&app.forms.get<frmblockdat>());
    w->show();
    QList<int> ist = {int(w->adoPrimaryRS.position())};
    static const QHash<QString, Qt::Key> tasten = {{"Down", Qt::Key_Down}, {"Up", Qt::Key_Up},
                                                   {"PgDn", Qt::Key_PageDown}, {"PgUp", Qt::Key_PageUp},
                                                   {"End", Qt::Key_End}, {"Home", Qt::Key_Home}};
    for (const QString& s : schritte) {
        if (s == "first") w->cmdFirst->click();
        else if (s == "last") w->cmdLast->click();
        else if (s == "next") w->cmdNext->click();
        else if (s == "prev") w->cmdPrevious->click();
        else {
            Qt::KeyboardModifiers m;
            QString taste = s;
            if (s.contains('-')) {
                const QString mod = s.section('-', 0, 0);
                taste = s.section('-', 1);
                if (mod.contains('C')) m |= Qt::ControlModifier;
                if (mod.contains('S')) m |= Qt::ShiftModifier;
                if (mod.contains('A')) m |= Qt::AltModifier;
            }
            // Into a field: the window sees the key before the field does.
            QTest::keyClick(w->txtFields[2], tasten.value(taste), m);
        }
        ist << int(w->adoPrimaryRS.position());
    }
    QCOMPARE(ist, positionen);
    QCOMPARE(env_->services.beeps, beeps);
    QCOMPARE(w->lblStatus->text(), QStringLiteral("Record: %1").arg(positionen.last()));
    if (zeilen > 0) {
        const int feld = fenster == "frmdaten" ? 2 : 0;  // IDLektion, LIHA: the row's number
        QCOMPARE(w->txtFields[feld]->text(), QString::number(positionen.last()));
    }
    QVERIFY(env_->services.messages.isEmpty());
}

void TstStatfenster::escSchliesst() {
    frmdaten& d = env_->app->forms.get<frmdaten>();
    d.show();
    QTest::keyClick(d.txtFields[0], Qt::Key_Escape);
    QVERIFY(!env_->app->forms.loaded<frmdaten>());
}

void TstStatfenster::browserOhneDatenbank() {
    QFile::remove(fingerPfad(*env_));
    frmblockdat& b = env_->app->forms.get<frmblockdat>();
    QVERIFY(env_->services.messages.isEmpty());  // loading alone says nothing
    b.show();
    QCOMPARE(env_->services.messages.size(), 1);
    QVERIFY(env_->services.messages[0].text.contains(QDir::toNativeSeparators(fingerPfad(*env_))));
    // Still usable: the buttons beep, nothing is shown, nothing was created.
    b.cmdLast_Click();
    b.cmdNext_Click();
    QCOMPARE(env_->services.beeps, 1);
    QCOMPARE(b.lblStatus->text(), QStringLiteral("Record: 0"));
    QVERIFY(b.txtFields[0]->text().isEmpty());
    QVERIFY(!QFileInfo::exists(fingerPfad(*env_)));
    // Once the file is back, the next showing reads it.
    b.hide();
    leereDatenbanken(*env_);
    fingerEinfuegen(TestDb(fingerPfad(*env_)), 7, 1);
    b.show();
    QCOMPARE(env_->services.messages.size(), 1);
    QCOMPARE(b.txtFields[0]->text(), QStringLiteral("7"));
}

void TstStatfenster::haendeSindHaende() {
    frmblockdat& b = env_->app->forms.get<frmblockdat>();
    auto breite = [&](int i) { return b.txtFields[i]->width(); };
    // Left hand: little, ring, middle, index, thumb; the right mirrors it.
    QVERIFY(breite(5) < breite(1) && breite(1) < breite(4) && breite(4) < breite(3));
    QVERIFY(breite(2) > breite(4) && breite(2) < breite(3));
    for (int i = 1; i <= 5; ++i) QCOMPARE(breite(i), breite(11 - i));
    // Left hand above the right one, the sums above and below.
    auto oben = [&](int i) { return b.txtFields[i]->y(); };
    for (int i = 0; i < 11; ++i) QVERIFY(oben(i) < oben(i + 1));
    QCOMPARE(b.txtFields[0]->font().pointSize(), 12);
    QCOMPARE(b.txtFields[1]->font().pointSizeF(), 8.25);
    QCOMPARE(b.txtFields[3]->palette().color(QPalette::Base), QColor(192, 255, 192));
    QCOMPARE(b.lblLabels[5]->text(), QStringLiteral("LinksDaumem:"));
}

// ---- charts ----

void TstStatfenster::gitter_data() {
    QTest::addColumn<Zeilen>("zeilen");
    QTest::addColumn<int>("z");
    QTest::addColumn<QStringList>("beschriftung");
    QTest::addColumn<QStringList>("spalten");
    QTest::addColumn<QList<QList<double>>>("werte");

    QTest::newRow("one row per key, in order of first occurrence")
        << Zeilen{{19, 200}, {4, 110.5}} << -1 << QStringList{"19", "4"} << QStringList{""}
        << QList<QList<double>>{{200}, {110.5}};
    QTest::newRow("a repeated key overwrites") << Zeilen{{4, 1}, {5, 2}, {4, 3}} << -1 << QStringList{"4", "5"}
                                               << QStringList{""} << QList<QList<double>>{{3}, {2}};
    QTest::newRow("nulls: empty label, value 0") << Zeilen{{N(), N()}} << -1 << QStringList{""} << QStringList{""}
                                                  << QList<QList<double>>{{0}};
    QTest::newRow("column series") << Zeilen{{4, 10, "a"}, {4, 20, "b"}, {5, 30, "b"}} << 2 << QStringList{"4", "5"}
                                   << QStringList{"a", "b"} << QList<QList<double>>{{10, 20}, {0, 30}};
    QTest::newRow("no rows") << Zeilen{} << -1 << QStringList{} << QStringList{""} << QList<QList<double>>{};
}

void TstStatfenster::gitter() {
    QFETCH(Zeilen, zeilen);
    QFETCH(int, z);
    QFETCH(QStringList, beschriftung);
    QFETCH(QStringList, spalten);
    QFETCH(QList<QList<double>>, werte);
    Datengitter g;
    g.zeilen << "alt";
    gitterFuellen(g, zeilen, 0, 1, z);
    QCOMPARE(g.zeilen, beschriftung);
    QCOMPARE(g.spalten, spalten);
    QCOMPARE(g.werte.size(), werte.size());
    for (int i = 0; i < werte.size(); ++i) QCOMPARE(QList<double>(g.werte[i].begin(), g.werte[i].end()), werte[i]);
}

void TstStatfenster::lektionsdiagramme() {
    vierUebungen(*env_);
    chart& c = env_->app->forms.get<chart>();
    QCOMPARE(c.gitter().zeilen, (QStringList{"4", "19"}));
    QCOMPARE(c.gitter().werte.size(), 2);
    QCOMPARE(c.gitter().werte[0][0], 331.0 / 3);
    QCOMPARE(c.gitter().werte[1][0], 200.0);
    QCOMPARE(werte(c.diagramm()), (QList<double>{331.0 / 3, 200}));
    QCOMPARE(kategorien(c.diagramm(), Qt::Horizontal), (QStringList{"4", "19"}));
    QCOMPARE(achsentitel(c.diagramm(), Qt::Horizontal), QStringLiteral(" Schlüssel-Nr."));
    QCOMPARE(achsentitel(c.diagramm(), Qt::Vertical), QStringLiteral("Anschläge/Min."));
    QCOMPARE(c.windowTitle(), QStringLiteral("Auswertung  Anschläge/Min.   ( Durchschnittswerte )"));
    QVERIFY(c.verbindung.startsWith("PROVIDER=MSDataShape;Data Source="));

    chart1& c1 = env_->app->forms.get<chart1>();
    QCOMPARE(c1.gitter().zeilen, (QStringList{"4", "19"}));
    QCOMPARE(werte(c1.diagramm()), (QList<double>{3, 1}));
    QCOMPARE(achsentitel(c1.diagramm(), Qt::Horizontal), QStringLiteral("Schlüssel-Nr."));
    QCOMPARE(achsentitel(c1.diagramm(), Qt::Vertical), QStringLiteral("Anzahl"));
    QCOMPARE(c1.windowTitle(), QStringLiteral("Auswertung Anzahl Trainingseinheiten"));
    // Counts on whole-numbered ticks, with room above the highest bar.
    for (QChart* d : {c.diagramm(), c1.diagramm()}) {
        auto* y = qobject_cast<QValueAxis*>(d->axes(Qt::Vertical).value(0));
        QVERIFY(y);
        QCOMPARE(y->tickType(), QValueAxis::TicksDynamic);
        QCOMPARE(y->tickInterval(), std::floor(y->tickInterval()));
        QCOMPARE(y->max(), std::floor(y->max()));
        QVERIFY(y->max() > werte(d).last() && y->max() > werte(d).first());
    }
    c1.show();
    QVERIFY(c1.chtReport->isVisible());
    QVERIFY(env_->services.messages.isEmpty());

    // Data are read once: a loaded chart keeps them; a new one reads afresh.
    uebungEinfuegen(TestDb(velkoraPfad(*env_)), 5, 100, 100);
    QCOMPARE(werte(c1.diagramm()).size(), 2);
    c1.cmdClose->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(werte(env_->app->forms.get<chart1>().diagramm()), (QList<double>{3, 1, 1}));
}

void TstStatfenster::keineDaten() {
    for (int i = 0; i < 2; ++i) {
        Lektionsdiagramm* d = i == 0 ? static_cast<Lektionsdiagramm*>(&env_->app->forms.get<chart>())
                                     : static_cast<Lektionsdiagramm*>(&env_->app->forms.get<chart1>());
        d->show();
        QVERIFY(!d->chtReport->isVisible());
        QVERIFY(d->Label1->isVisible());
        QCOMPARE(d->Label1->text(), QStringLiteral("Keine Daten!"));
        QCOMPARE(d->Label1->font().pointSize(), 24);
    }
    QVERIFY(env_->services.messages.isEmpty());
}

void TstStatfenster::diagrammOhneDatenbank() {
    TestDb(velkoraPfad(*env_)).exec("DROP TABLE Auswertung");
    chart& c = env_->app->forms.get<chart>();
    c.show();
    QCOMPARE(env_->services.messages.size(), 1);
    const auto& m = env_->services.messages[0];
    QCOMPARE(m.style, int(Msg::Exclamation));
    QCOMPARE(m.title, QStringLiteral("Velkora"));
    QVERIFY2(m.text.contains("no such table"), qPrintable(m.text));
    QVERIFY(c.isVisible());  // the window stays open
    QVERIFY(c.gitter().zeilen.isEmpty());
}

void TstStatfenster::fingerdiagramm() {
    vierUebungen(*env_);
    // Each finger its own count, so a bar under a neighbour's name shows.
    fingerZeileEinfuegen(TestDb(fingerPfad(*env_)), {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0});
    frmblockchart& c = env_->app->forms.get<frmblockchart>();
    QCOMPARE(c.windowTitle(), QStringLiteral("Grafische Auswertung: Fehler der einzelnen Finger"));
    const auto& d = c.daten();
    const QStringList namen = {"Linker kleiner Finger", "Linker Ringfinger",   "Linker Mittelfinger",
                               "Linker Zeigefinger",    "Linker Daumen",       "Rechter Daumen",
                               "Rechter Zeigefinger",   "Rechter Mittelfinger", "Rechter Ringfinger",
                               "Rechter kleiner Finger"};
    QCOMPARE(d.size(), 10);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(d[i].first, namen[i]);
        QCOMPARE(d[i].second, qint64(10 * (i + 1) + (i == 0 ? 3 : 0)));
    }
    // Drawn top-down in column order.
    QCOMPARE(kategorien(c.MSChart1->chart(), Qt::Vertical).last(), QStringLiteral("Linker kleiner Finger"));
    QVERIFY(env_->services.messages.isEmpty());
}

void TstStatfenster::fingerdiagrammMitNull() {
    TestDb db(fingerPfad(*env_));
    QVERIFY(db.exec("DROP VIEW statistik"));
    QVERIFY(db.exec("CREATE VIEW statistik AS SELECT NULL AS Daumen, 5 AS Zeigefinger, "
                    "'" + QString(60, 'x') + "' AS " + QString(60, 'L')));
    frmblockchart& c = env_->app->forms.get<frmblockchart>();
    QCOMPARE(c.daten().size(), 3);
    QCOMPARE(c.daten()[0], (QPair<QString, qint64>("Daumen", 0)));
    QCOMPARE(c.daten()[1], (QPair<QString, qint64>("Zeigefinger", 5)));
    QCOMPARE(c.daten()[2].first, QString(50, 'L'));  // names hold at most 50 characters
    QCOMPARE(c.daten()[2].second, qint64(0));
}

void TstStatfenster::fingerdiagrammOhneDatenbank() {
    QFile::resize(fingerPfad(*env_), 0);
    frmblockchart& c = env_->app->forms.get<frmblockchart>();
    c.show();
    QCOMPARE(env_->services.messages.size(), 1);
    QVERIFY(env_->services.messages[0].text.contains("finger.mdb"));
    QVERIFY(!c.MSChart1->isVisible());
    QVERIFY(c.Label1->isVisible());
    c.cmdClose->click();
    QVERIFY(!env_->app->forms.loaded<frmblockchart>());
}

void TstStatfenster::groessenaenderung() {
    vierUebungen(*env_);
    chart& c = env_->app->forms.get<chart>();
    c.show();
    c.resize(900, 700);
    const int r = 4;  // 60 twips
    const int bh = c.cmdClose->height(), bw = c.cmdClose->width();
    QCOMPARE(c.cmdClose->geometry().topLeft(), QPoint(900 - (bw + r), 700 - (bh + r)));
    QCOMPARE(c.chtReport->geometry(), QRect(r, r, 900 - 2 * r, (700 - (bh + r)) - 2 * r));

    frmblockchart& f = env_->app->forms.get<frmblockchart>();
    f.show();
    const QRect vorher = f.MSChart1->geometry();
    f.resize(1000, 800);
    QCOMPARE(f.cmdClose->geometry().bottomRight(), QPoint(999, 799));
    QCOMPARE(f.MSChart1->geometry(), vorher);
}

// ---- pictures ----

void TstStatfenster::bildschirmfotos() {
    einJahrUeben(*env_);
    App& app = *env_->app;
    frmStatistik& s = app.forms.get<frmStatistik>();
    s.oeffnen();
    s.resize(720, 540);
    fotografieren(&s, "frmStatistik");
    frmdaten& d = app.forms.get<frmdaten>();
    d.cmdNext_Click();
    fotografieren(&d, "frmdaten");
    fotografieren(&app.forms.get<frmblockdat>(), "frmblockdat");
    fotografieren(&app.forms.get<chart>(), "chart");
    fotografieren(&app.forms.get<chart1>(), "chart1");
    fotografieren(&app.forms.get<frmblockchart>(), "frmblockchart");
    QVERIFY(env_->services.messages.isEmpty());
}

VELKORA_TEST_MAIN(TstStatfenster)
#include "tst_statfenster.moc"
