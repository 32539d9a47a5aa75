// The lesson selection window: previews, selectors, starting every exercise,
// own texts, failures that must change nothing, and one lesson typed through.
#include <QElapsedTimer>
#include "testenv.h"
#include "lessons/catalogue.h"
#include "lessons/frmLek.h"
#include "platform/animfigur.h"
#include "platform/richtextview.h"
#include "platform/textcodec.h"
#include "platform/units.h"
#include "shell/frmVelkora.h"
#include "tippen.h"
#include "trainer/frmSchreiben.h"
#include "trainer/keytable.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <set>

namespace {
const QColor kRot(255, 0, 0);
QColor basis() { return colorFromBgr(kTastenfarbe); }

QString titel(const QString& rest) { return QStringLiteral("Velkora 1.0") + QString(10, ' ') + rest; }

// The on-screen keys that carry these legends, found by the keyboard's own
// legends: letters by their capital, signs by their plain legend, ' ' for
// the space bar, '^' for both shift keys.
std::set<int> tastenMit(const QString& zeichen) {
    std::set<int> r;
    for (QChar c : zeichen)
        for (const Taste& t : kTasten) {
            const QString oben = QString::fromUtf16(t.oben), unten = QString::fromUtf16(t.unten);
            if ((c == ' ' && oben == QStringLiteral("Leer")) ||
                (c == '^' && oben == QStringLiteral("⇧")) ||
                (c.isLetter() && c != QChar(0xDF) && oben == QString(c.toUpper())) ||
                (!c.isLetter() && c != ' ' && c != '^' && unten == QString(c)) ||
                (c == QChar(0xDF) && unten == QString(c)))
                r.insert(t.index);
        }
    return r;
}

std::set<int> tastenInFarbe(const frmSchreiben& s, const QColor& farbe) {
    std::set<int> r;
    for (int i = 0; i < kTastenAnzahl; ++i)
        if (s.tastenfarbe(i) == farbe) r.insert(i);
    return r;
}

std::set<int> alleTasten() {
    std::set<int> r;
    for (int i = 0; i < kTastenAnzahl; ++i) r.insert(i);
    return r;
}

QString dateiText(const QString& pfad) {
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return decodeCp1252(f.readAll());
}
}  // namespace

class TestLessons : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> env;
    App& app() { return *env->app; }
    frmVelkora& haupt() { return app().forms.get<frmVelkora>(); }
    frmSchreiben& schreiben() { return app().forms.get<frmSchreiben>(); }
    frmLek& lek() { return app().forms.get<frmLek>(); }
    template <class W>
    W* control(const char* name) {
        auto* w = lek().findChild<W*>(QString::fromLatin1(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    // Opens the window as the lesson button does and starts lesson n.
    void starteLektion(int n) {
        schreiben().Command7->click();
        lek().Text2->setText(QString::number(n));
        lek().Command1->click();
    }

private slots:
    void init() {
        env = std::make_unique<TestEnv>();
        haupt();  // the main window first, as in the program
    }
    void cleanup() { env.reset(); }

    void ersteOeffnung() {
        frmVelkora& m = haupt();
        m.move(40, 30);
        schreiben().Label8->setText(QStringLiteral("12,5"));
        schreiben().Command7->click();
        frmLek& l = lek();
        QVERIFY(l.isVisible());
        QCOMPARE(l.SSTab1->currentIndex(), 0);
        const QStringList reiter = {"Lektionen",    "Linke Hand",     "Rechte Hand", "Übungstexte",
                                    "Eigene Texte", "Schwächen üben", "Abschrift"};
        QCOMPARE(l.SSTab1->count(), reiter.size());
        for (int i = 0; i < reiter.size(); ++i) QCOMPARE(l.SSTab1->tabText(i), reiter[i]);
        QCOMPARE(tastenInFarbe(schreiben(), kRot), tastenMit("fj "));
        QCOMPARE(l.Text2->text(), QStringLiteral("1"));
        QCOMPARE(l.Text1->toPlainText().split('\n').first(), QStringLiteral("Lektion 1"));
        QCOMPARE(l.Text4->text(), QStringLiteral("Übungstext 1  "));
        QCOMPARE(l.Text5->text(), QStringLiteral("Intensiv-Training Linke Hand 1.Teil"));
        QCOMPARE(l.Text8->text(), QStringLiteral("Intensiv-Training Rechte Hand 1.Teil"));
        QCOMPARE(schreiben().Label8->text(), QString());
        QVERIFY(l.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(l.pos(), QPoint(40, 30 + twipsToPx(600)));
        QVERIFY(l.Timer3->isActive());
    }

    // The captions the sliders write, and what they do to the keyboard.
    void regler_data() {
        QTest::addColumn<QString>("regler");
        QTest::addColumn<int>("wert");
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("auswahl");
        QTest::addColumn<QString>("beschriftungsfeld");
        QTest::addColumn<QString>("beschriftung");
        QTest::addColumn<QString>("roteTasten");  // after the move; "fj " = unchanged
        QTest::newRow("Text 1 after moving back") << "Slider2" << 1 << "Text3" << "1" << "Text4"
                                                   << "Übungs-Text 1  " << "fj ";
        QTest::newRow("Text 5") << "Slider2" << 5 << "Text3" << "5" << "Text4"
                                << "Übungs-Text 5 (Großschreibung) " << "fj ";
        QTest::newRow("left part 2") << "Slider3" << 2 << "Text6" << "2" << "Text5"
                                     << "Intensiv-Training Linke Hand 2.Teil " << "";
        QTest::newRow("left part 1 again") << "Slider3" << 1 << "Text6" << "1" << "Text5"
                                           << "Intensiv-Training Linke Hand 1.Teil " << "";
        QTest::newRow("right part 2") << "Slider4" << 2 << "Text7" << "2" << "Text8"
                                      << "Intensiv-Training Rechte Hand 2.Teil " << "";
        QTest::newRow("lesson 17") << "Slider1" << 17 << "Text2" << "17" << "" << "" << "ß";
        QTest::newRow("lesson 18") << "Slider1" << 18 << "Text2" << "18" << "" << "" << "^";
    }
    void regler() {
        QFETCH(QString, regler);
        QFETCH(int, wert);
        QFETCH(QString, feld);
        QFETCH(QString, auswahl);
        QFETCH(QString, beschriftungsfeld);
        QFETCH(QString, beschriftung);
        QFETCH(QString, roteTasten);
        auto* s = control<QSlider>(regler.toLatin1());
        // Away and back, so that a move to the value the window opened with
        // is a change too.
        s->setValue(wert == 1 ? 2 : 1);
        schreiben().hintergrundfarbe();
        lektionsVorschauNeu();
        schreiben().Label8->setText(QStringLiteral("3"));
        schreiben().Label8->hide();
        s->setValue(wert);
        QCOMPARE(control<QLineEdit>(feld.toLatin1())->text(), auswahl);
        if (!beschriftungsfeld.isEmpty())
            QCOMPARE(control<QLineEdit>(beschriftungsfeld.toLatin1())->text(), beschriftung);
        QCOMPARE(tastenInFarbe(schreiben(), kRot), tastenMit(roteTasten));
        QCOMPARE(schreiben().Label8->text(), QString());
        QVERIFY(!schreiben().Label8->isHidden());
    }

    // The previews: heading, home-row note, one line per new key with the
    // right hand first, then the motto; no line break after the last line.
    void vorschau_data() {
        QTest::addColumn<int>("nummer");
        QTest::addColumn<QString>("ganz");  // the whole preview where it is checked whole
        QTest::newRow("1") << 1
                           << "Lektion 1\r\nÜbungen auf der Grundreihe\r\nj - rechter Zeigefinger\r\n"
                              "f - linker Zeigefinger\r\n\r\n"
                              "Leertaste - mit dem Daumem der jeweils freien Hand";
        QTest::newRow("2: motto without empty line")
            << 2
            << "Lektion 2\r\nÜbungen auf der Grundreihe\r\nk - rechter Mittelfinger\r\n"
               "d - linker Mittelfinger\r\nZiel ist nicht, möglichst viele Anschläge/min zu "
               "ereichen,sondern möglichst fehlerfrei zu schreiben !";
        QTest::newRow("3") << 3
                           << "Lektion 3\r\nÜbungen auf der Grundreihe\r\nl - rechter Ringfinger\r\n"
                              "s - linker Ringfinger\r\n\r\nÜbung macht den Meister !";
        QTest::newRow("15: two blanks, no dash")
            << 15 << "Lektion 15\r\n-  rechter kleiner Finger\r\ny - linker kleiner Finger";
        QTest::newRow("17: one key") << 17 << "Lektion 17\r\nß  rechter kleiner Finger";
        QTest::newRow("18")
            << 18
            << "Lektion 18 -Großschreibung\r\nUmschalt - rechter kleiner Finger\r\n"
               "Umschalt - linker kleiner Finger\r\n\r\nUmgeschaltet werden:\r\n"
               "Buchstaben der rechten Hand = links\r\nBuchstaben der linken Hand = rechts";
        for (int n : {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16}) QTest::addRow("%d", n) << n << "";
    }
    void vorschau() {
        QFETCH(int, nummer);
        QFETCH(QString, ganz);
        const QString v = lektion(nummer)->vorschauText();
        if (!ganz.isEmpty()) QCOMPARE(v, ganz);
        QVERIFY(!v.endsWith("\r\n"));
        QCOMPARE(v.count('\r'), v.count("\r\n"));
        const QStringList z = v.split("\r\n");
        QCOMPARE(z[0], nummer == 18 ? QStringLiteral("Lektion 18 -Großschreibung")
                                    : QStringLiteral("Lektion %1").arg(nummer));
        const int finger = nummer <= 5 ? 2 : 1;
        QCOMPARE(z[1] == QStringLiteral("Übungen auf der Grundreihe"), nummer <= 5);
        QVERIFY2(z[finger].contains(" rechter "), qPrintable(z[finger]));
        if (nummer != 17 && nummer != 16) QVERIFY2(z[finger + 1].contains(" linker "), qPrintable(z[finger + 1]));
        // A motto follows after an empty line, lesson 2's directly, 14 to 17 have none.
        if (nummer <= 13 && nummer != 2) QCOMPARE(z[finger + 2], QString());
        if (nummer >= 14 && nummer <= 17) QCOMPARE(z.size(), finger + (nummer == 17 ? 1 : 2));
        // Previewing the lesson in the window shows the same text.
        lek().Slider1->setValue(nummer == 1 ? 2 : 1);
        lek().Slider1->setValue(nummer);
        QCOMPARE(lek().Text1->toPlainText(), QString(v).replace("\r\n", "\n"));
    }

    // Tab 0 keeps the preview's red keys; every other tab clears them.
    void reiter_data() {
        QTest::addColumn<int>("reiter");
        QTest::addColumn<bool>("geloescht");
        QTest::newRow("Lektionen") << 0 << false;
        QTest::newRow("Linke Hand") << 1 << true;
        QTest::newRow("Rechte Hand") << 2 << true;
        QTest::newRow("Übungstexte") << 3 << true;
        QTest::newRow("Eigene Texte") << 4 << true;
    }
    void reiter() {
        QFETCH(int, reiter);
        QFETCH(bool, geloescht);
        lek().SSTab1->setCurrentIndex(reiter == 0 ? 1 : 0);
        lektionsVorschauNeu();
        lek().SSTab1_Click(reiter);
        QCOMPARE(tastenInFarbe(schreiben(), kRot), geloescht ? std::set<int>{} : tastenMit("fj "));
    }

    // Only the exact selector texts start anything, and the boxes, not the
    // sliders, are what the OK buttons read.
    void auswahl_data() {
        QTest::addColumn<int>("reiter");
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("nummer");  // 0: nothing starts
        QTest::newRow("01") << 0 << "Text2" << "Command1" << "01" << 0;
        QTest::newRow("blank 1") << 0 << "Text2" << "Command1" << " 1" << 0;
        QTest::newRow("1 blank") << 0 << "Text2" << "Command1" << "1 " << 0;
        QTest::newRow("19") << 0 << "Text2" << "Command1" << "19" << 0;
        QTest::newRow("0") << 0 << "Text2" << "Command1" << "0" << 0;
        QTest::newRow("empty") << 0 << "Text2" << "Command1" << "" << 0;
        QTest::newRow("letter") << 0 << "Text2" << "Command1" << "a" << 0;
        QTest::newRow("text 6") << 3 << "Text3" << "Command2" << "6" << 0;
        QTest::newRow("left 3") << 1 << "Text6" << "Command5" << "3" << 0;
        QTest::newRow("right 0") << 2 << "Text7" << "Command3" << "0" << 0;
        QTest::newRow("box says 7, slider 1") << 0 << "Text2" << "Command1" << "7" << 7;
        QTest::newRow("box says 4, slider 1") << 3 << "Text3" << "Command2" << "4" << 22;
    }
    void auswahl() {
        QFETCH(int, reiter);
        QFETCH(QString, feld);
        QFETCH(QString, ok);
        QFETCH(QString, text);
        QFETCH(int, nummer);
        lek().zeigen();
        lek().SSTab1->setCurrentIndex(reiter);
        control<QLineEdit>(feld.toLatin1())->setText(text);
        const QString vorher = schreiben().rtb1->text();
        control<QPushButton>(ok.toLatin1())->click();
        QCOMPARE(int(app().ex.lektionsnr), nummer);
        QCOMPARE(lek().isVisible(), nummer == 0);
        if (nummer == 0) QCOMPARE(schreiben().rtb1->text(), vorher);
        QVERIFY(env->services.messages.isEmpty());
    }

    // Every catalogue entry started once through its OK button.
    void jederEintrag_data() {
        QTest::addColumn<int>("reiter");
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("auswahl");
        QTest::addColumn<QString>("datei");
        QTest::addColumn<QString>("titel");
        QTest::addColumn<int>("nummer");
        QTest::addColumn<QString>("tasten");   // keys set to the base colour
        QTest::addColumn<bool>("alleZurueck");  // hintergrundfarbe: all keys to the base colour
        const QStringList paare = {"j/f", "d/k", "s/l", "a/ö", "g/h", "e/i",
                                   "r/u", "w/o", "q/p", "t/z", "v/m", "b/n",
                                   "c/, (Komma)", "x/. (Punkt)", "y/- (Strich)",
                                   "ä/ü ", "ß ", "Großschreibung "};
        const QStringList tasten = {"fj ", "dk", "sl", "aö", "gh", "ei", "ru", "wo", "qp",
                                    "tz", "vm", "bn", "c,", "x.", "y-", "äü", "ß", "^"};
        for (int n = 1; n <= 18; ++n)
            QTest::addRow("Lektion %d", n)
                << 0 << "Text2" << "Command1" << QString::number(n)
                << QStringLiteral("Lektion%1.inf").arg(n)
                << titel(QStringLiteral("Lektion %1").arg(n) + QString(n <= 10 ? 10 : 9, ' ') +
                         paare[n - 1])
                << n << tasten[n - 1] << false;
        for (int n = 1; n <= 5; ++n)
            QTest::addRow("Text %d", n)
                << 3 << "Text3" << "Command2" << QString::number(n)
                << QStringLiteral("Text%1.inf").arg(n)
                << titel(QStringLiteral("Text %1").arg(n) + QString(10, ' ')) << 18 + n << ""
                << true;
        const char* hand[] = {"Linke", "Rechte"};
        const char* datei[] = {"LIHA", "REHA"};
        for (int h = 0; h < 2; ++h)
            for (int teil = 1; teil <= 2; ++teil)
                QTest::addRow("%s Hand Teil %d", hand[h], teil)
                    << (h == 0 ? 1 : 2) << (h == 0 ? "Text6" : "Text7")
                    << (h == 0 ? "Command5" : "Command3") << QString::number(teil)
                    << QStringLiteral("%1%2.inf").arg(datei[h], teil == 1 ? "" : "1")
                    << titel(QStringLiteral("Intensiv-Trainig %1 Hand Teil %2").arg(hand[h]).arg(teil) +
                             QString(10, ' '))
                    << 100 + h << "" << false;
    }
    void jederEintrag() {
        QFETCH(int, reiter);
        QFETCH(QString, feld);
        QFETCH(QString, ok);
        QFETCH(QString, auswahl);
        QFETCH(QString, datei);
        QFETCH(QString, titel);
        QFETCH(int, nummer);
        QFETCH(QString, tasten);
        QFETCH(bool, alleZurueck);
        frmSchreiben& s = schreiben();
        s.Command7->click();
        lek().SSTab1->setCurrentIndex(reiter);
        control<QLineEdit>(feld.toLatin1())->setText(auswahl);
        // Paint the keyboard so that every colouring of the start shows (in
        // red: a key lit green as held goes back at every start).
        for (int i = 0; i < kTastenAnzahl; ++i) s.setTastenfarbe(i, kRot);
        control<QPushButton>(ok.toLatin1())->click();

        QVERIFY(env->services.messages.isEmpty());
        QCOMPARE(int(app().ex.lektionsnr), nummer);
        QCOMPARE(haupt().windowTitle(), titel);
        QVERIFY(app().forms.loaded<frmLek>());
        QVERIFY(!lek().isVisible());
        QCOMPARE(s.rtb1->text(), dateiText(app().datei("\\" + datei)));
        if (alleZurueck) {
            QCOMPARE(tastenInFarbe(s, basis()), alleTasten());
        } else {
            QCOMPARE(tastenInFarbe(s, basis()), tastenMit(tasten));
            std::set<int> rot = alleTasten();
            for (int t : tastenMit(tasten)) rot.erase(t);
            QCOMPARE(tastenInFarbe(s, kRot), rot);
        }
        // Ready to type.
        QVERIFY(s.Text1->isEnabled());
        QVERIFY(!s.Text1->isReadOnly());
        QVERIFY(!s.rtb1->locked());
        QVERIFY(s.Text2->isVisibleTo(&s));
        QCOMPARE(s.Text2->text(), QString(s.rtb1->text()[0]));
        QVERIFY(lek().Timer3->isActive());
        QVERIFY(s.Frame3->isVisibleTo(&s));
        QVERIFY(app().ex.MaxZeichen > 0);
    }

    // A start forgets everything of the exercise before it.
    void startSetztZurueck() {
        starteLektion(2);
        frmSchreiben& s = schreiben();
        Uebung& ex = app().ex;
        ex.zaehler = 40;
        ex.fehler = 3;
        ex.sekunden = ex.laufzeit = 75;
        ex.anschlaegeGanz = 40;
        ex.anschlaegeProMinute = 32;
        ex.animSchritt = 40;
        ex.finger.LIHA = ex.finger.lzeigefinger = 2;
        ex.finger.REHA = ex.finger.rkleinerfinger = 1;
        AnimZeigen(s.animFigur, app().datei("\\dino.ani"), s.Picture1, 200, 0);
        QVERIFY(s.animFigur.fenster);
        s.Label8->setText("7,5");
        s.Label4->setText("3");
        s.Text1->setPlainText("jfjf");
        s.Command5->setEnabled(true);
        s.Command6->setEnabled(false);

        starteLektion(3);
        QCOMPARE(ex.zaehler, 0.0);
        QCOMPARE(ex.fehler, 0.0);
        QCOMPARE(ex.sekunden, 0.0);
        QCOMPARE(ex.laufzeit, 0.0);
        QCOMPARE(int(ex.anschlaegeGanz), 0);
        QCOMPARE(int(ex.anschlaegeProMinute), 0);
        QCOMPARE(int(ex.animSchritt), 0);
        QVERIFY(!s.animFigur.fenster);
        QCOMPARE(int(ex.finger.LIHA + ex.finger.lzeigefinger + ex.finger.REHA +
                     ex.finger.rkleinerfinger),
                 0);
        QCOMPARE(s.Label8->text(), QString());
        QCOMPARE(s.Label4->text(), QString());
        QCOMPARE(s.Text1->toPlainText(), QString());
        QVERIFY(!s.Command5->isEnabled());
        QVERIFY(s.Command6->isEnabled());
    }

    // A catalogue file that cannot be loaded, or holds no text, changes
    // nothing but a message.
    void katalogdateiFehlt_data() {
        QTest::addColumn<QString>("datei");
        QTest::addColumn<int>("reiter");
        QTest::addColumn<QString>("feld");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("auswahl");
        QTest::addColumn<QByteArray>("inhalt");  // empty: no file
        QTest::newRow("lesson") << "Lektion3.inf" << 0 << "Text2" << "Command1" << "3" << QByteArray();
        QTest::newRow("text") << "Text5.inf" << 3 << "Text3" << "Command2" << "5" << QByteArray();
        QTest::newRow("right hand") << "REHA1.inf" << 2 << "Text7" << "Command3" << "2" << QByteArray();
        QTest::newRow("lesson of blanks") << "Lektion3.inf" << 0 << "Text2" << "Command1" << "3"
                                          << QByteArray(" \r\n\r\n");
        QTest::newRow("binary text") << "Text5.inf" << 3 << "Text3" << "Command2" << "5"
                                     << QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0", 10);
    }
    void katalogdateiFehlt() {
        QFETCH(QString, datei);
        QFETCH(int, reiter);
        QFETCH(QString, feld);
        QFETCH(QString, ok);
        QFETCH(QString, auswahl);
        QFETCH(QByteArray, inhalt);
        starteLektion(1);
        const QString text = schreiben().rtb1->text(), titel = haupt().windowTitle();
        if (inhalt.isEmpty()) env->removeFile("\\" + datei);
        else env->writeFile("\\" + datei, inhalt);
        lek().zeigen();
        lek().SSTab1->setCurrentIndex(reiter);
        control<QLineEdit>(feld.toLatin1())->setText(auswahl);
        control<QPushButton>(ok.toLatin1())->click();
        QCOMPARE(env->services.messages.size(), 1);
        QVERIFY2(env->services.messages[0].text.contains(datei),
                 qPrintable(env->services.messages[0].text));
        QVERIFY(lek().isVisible());
        QCOMPARE(int(app().ex.lektionsnr), 1);
        QCOMPARE(schreiben().rtb1->text(), text);
        QCOMPARE(haupt().windowTitle(), titel);
    }

    // An own text is loaded from where the user chose it, in any of the
    // encodings editors write.
    void eigenerText_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("inhalt");
        QTest::addColumn<QString>("text");
        const QString gruss = QStringLiteral("Grüße aus Köln\r\nÄrger über Maß");
        QTest::newRow("Windows-1252, long name") << "MeinText12.txt" << encodeCp1252(gruss) << gruss;
        QTest::newRow("UTF-8") << "MeinText.txt" << gruss.toUtf8() << gruss;
        QTest::newRow("UTF-8 with BOM") << "MeinText7.txt" << QByteArray("\xEF\xBB\xBF") + gruss.toUtf8()
                                        << gruss;
        QTest::newRow("UTF-16 LE with BOM") << "MeinText8.txt"
                                            << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(gruss.utf16()), gruss.size() * 2)
                                            << gruss;
        QByteArray be;
        for (QChar c : gruss) be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
        QTest::newRow("UTF-16 BE with BOM") << "MeinText9.txt" << QByteArray("\xFE\xFF") + be << gruss;
        QTest::newRow("LF only") << "MeinText2.txt" << QByteArray("jf fj\njj ff") << "jf fj\r\njj ff";
        QTest::newRow("RTF") << "MeinText3.txt"
                             << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Gr\\'fc\\'dfe\\par Zeile}")
                             << "Grüße\r\nZeile";
        QTest::newRow("UTF-16 LE without BOM")
            << "MeinText4.txt" << QByteArray(reinterpret_cast<const char*>(gruss.utf16()), gruss.size() * 2) << gruss;
        QTest::newRow("UTF-16 BE without BOM") << "MeinText6.txt" << be << gruss;
        // One Windows-1252 "ß" pasted into UTF-8: that byte alone is read so.
        QTest::newRow("UTF-8 with a Windows-1252 byte")
            << "MeinText1.txt" << gruss.toUtf8().replace("Ma\xC3\x9F", "Ma\xDF") << gruss;
    }
    void eigenerText() {
        QFETCH(QString, name);
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, text);
        // A file of the same name in the program directory must not be the one loaded.
        env->writeFile("\\" + name, "falsch");
        QTemporaryDir anderswo;
        const QString pfad = anderswo.filePath(name);
        QFile f(pfad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(inhalt);
        f.close();
        starteLektion(4);
        lek().zeigen();
        lek().SSTab1->setCurrentIndex(4);
        lek().CommonDialog1 = [pfad] { return pfad; };
        lek().Command9->click();
        QVERIFY(env->services.messages.isEmpty());
        QCOMPARE(schreiben().rtb1->text(), text);
        QCOMPARE(lek().eigeneDatei, name);
        QCOMPARE(lek().Text9->text(), name);
        QCOMPARE(haupt().windowTitle(), QStringLiteral("Velkora 1.0") + QString(11, ' ') + name);
        QCOMPARE(int(app().ex.lektionsnr), 99);
        QVERIFY(!lek().isVisible());
        QCOMPARE(tastenInFarbe(schreiben(), basis()), alleTasten());
        QCOMPARE(schreiben().Text2->text(), QString(text[0]));
    }

    // An own text that cannot be typed: a message, and nothing changes
    // (cancelling the dialog: not even a message).
    void eigenerTextUnbrauchbar_data() {
        QTest::addColumn<QString>("art");  // what stands under the chosen name
        QTest::addColumn<QByteArray>("inhalt");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("dialog cancelled") << "" << QByteArray() << "";
        QTest::newRow("missing") << "" << QByteArray() << "nicht gefunden";
        QTest::newRow("empty") << "datei" << QByteArray() << "keinen Text";
        QTest::newRow("blanks and breaks") << "datei" << QByteArray(" \r\n  \r\n\t") << "keinen Text";
        QTest::newRow("empty RTF") << "datei" << QByteArray("{\\rtf1\\ansi \\par }") << "keinen Text";
        QTest::newRow("too long") << "datei" << QByteArray(RichTextView::kMaxLength + 1, 'j') << "zu lang";
        // Short in characters, but every line separator is a line break of
        // the view: two characters there.
        QTest::newRow("line separators past the limit")
            << "datei" << (QStringLiteral("a") + QString(16384, QChar(0x2028))).toUtf8() << "zu lang";
        // Nothing that is not a regular file is opened: a pipe would block,
        // a device never end.
        QTest::newRow("named pipe") << "fifo" << QByteArray() << "sondern eine Pipe";
        QTest::newRow("link to /dev/zero") << "geraet" << QByteArray() << "sondern ein Gerät";
        QTest::newRow("folder") << "ordner" << QByteArray() << "sondern ein Ordner";
        QTest::newRow("socket") << "socket" << QByteArray() << "sondern ein Socket";
        QTest::newRow("link to itself") << "schleife" << QByteArray() << "im Kreis";
        QTest::newRow("NUL bytes") << "datei" << QByteArray("jf\0fj\0", 6) << "keine Textdatei";
        QByteArray zufall(4096, 0);
        quint32 x = 2463534242u;  // xorshift: the same bytes every run
        for (char& c : zufall) x ^= x << 13, x ^= x >> 17, x ^= x << 5, c = char(x);
        QTest::newRow("random bytes") << "datei" << zufall << "keine Textdatei";
    }
    void eigenerTextUnbrauchbar() {
        QFETCH(QString, art);
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, meldung);
        QTemporaryDir anderswo;
        const QString pfad = anderswo.filePath("MeinText5.txt");
        std::unique_ptr<Sonderdatei> sonder;
        if (art == "datei") {
            QFile f(pfad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(inhalt);
        } else if (!art.isEmpty()) {
            sonder = std::make_unique<Sonderdatei>(art, pfad);
            QVERIFY(sonder->ok());
        }
        starteLektion(6);
        const QString text = schreiben().rtb1->text(), titel = haupt().windowTitle();
        lek().zeigen();
        lek().SSTab1->setCurrentIndex(4);
        lek().CommonDialog1 = [&] { return meldung.isEmpty() ? QString() : pfad; };
        QElapsedTimer uhr;
        uhr.start();
        lek().Command9->click();
        QVERIFY2(uhr.elapsed() < 1000, qPrintable(QString::number(uhr.elapsed())));
        QCOMPARE(env->services.messages.size(), meldung.isEmpty() ? 0 : 1);
        for (const auto& m : env->services.messages)
            QVERIFY2(m.text.contains("MeinText5.txt") && m.text.contains(meldung), qPrintable(m.text));
        QVERIFY(lek().isVisible());
        QCOMPARE(int(app().ex.lektionsnr), 6);
        QCOMPARE(schreiben().rtb1->text(), text);
        QCOMPARE(haupt().windowTitle(), titel);
        QCOMPARE(lek().Text9->text(), QString());
        QCOMPARE(lek().eigeneDatei, QString());
    }

    // Every "Abbrechen" unloads the window, which stops the stopwatch and
    // clears the keyboard; reopening starts from lesson 1 again.
    void abbrechen_data() {
        QTest::addColumn<QString>("knopf");
        QTest::newRow("Lektionen") << "Command8";
        QTest::newRow("Linke Hand") << "Command7";
        QTest::newRow("Rechte Hand") << "Command6";
        QTest::newRow("Übungstexte") << "Command4";
    }
    void abbrechen() {
        QFETCH(QString, knopf);
        starteLektion(9);
        lek().zeigen();
        lek().Slider2->setValue(4);
        lek().Slider1->setValue(12);
        QPointer<frmLek> alt = &lek();
        control<QPushButton>(knopf.toLatin1())->click();
        QVERIFY(!app().forms.loaded<frmLek>());
        QVERIFY(alt && !alt->Timer3->isActive());
        QCOMPARE(tastenInFarbe(schreiben(), basis()), alleTasten());
        QTRY_VERIFY(!alt);
        schreiben().Command7->click();
        QCOMPARE(lek().Slider1->value(), 1);
        QCOMPARE(lek().Slider2->value(), 1);
        QCOMPARE(lek().Text4->text(), QStringLiteral("Übungstext 1  "));
    }

    // After a start the window is only hidden: reopening shows the last
    // choice on the first tab, and the stopwatch goes on.
    void wiederOeffnen() {
        lek().Slider2->setValue(3);
        lek().SSTab1->setCurrentIndex(3);
        lek().Command2->click();
        QVERIFY(!lek().isVisible());
        QVERIFY(lek().Timer3->isActive());
        schreiben().Command7->click();
        QVERIFY(lek().isVisible());
        QCOMPARE(lek().SSTab1->currentIndex(), 0);
        QCOMPARE(lek().Slider2->value(), 3);
        QCOMPARE(lek().Text4->text(), QStringLiteral("Übungs-Text 3  "));
    }

    void menuebefehl() {
        QAction* ausw = haupt().lek()->findChild<QAction*>("Ausw");
        QVERIFY(ausw);
        QCOMPARE(ausw->text(), QStringLiteral("Lektionen-Auswahl"));
        QCOMPARE(ausw->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        lek().SSTab1->setCurrentIndex(2);
        ausw->trigger();
        QVERIFY(lek().isVisible());
        QCOMPARE(lek().SSTab1->currentIndex(), 0);
    }

    // Lesson 1 from the lesson button to the end of the recording.
    void lektion1DurchTippen() {
        frmSchreiben& s = schreiben();
        s.Command7->click();
        lek().Command1->click();
        const QString soll = s.rtb1->text();
        QCOMPARE(soll, dateiText(app().datei("\\Lektion1.inf")));
        tippeText(s.Text1, soll);
        QCOMPARE(s.Text2->text(), QStringLiteral("ENDE"));
        QCOMPARE(s.Text1->toPlainText(), QString(soll).replace("\r\n", "\n"));
        QTest::keyClick(s.Text1, 'j');  // any key: the evaluation
        QCOMPARE(s.Text2->text(), QStringLiteral("DB_ENDE"));
        QCOMPARE(app().ex.fehler, 0.0);
        QCOMPARE(app().ex.zaehler, app().ex.MaxZeichen);
        QCOMPARE(app().ex.MaxZeichen, double(QString(soll).remove(QRegularExpression("[\\r\\n ]")).size()));
        QVERIFY(!lek().Timer3->isActive());
        QCOMPARE(int(app().ex.lektionsnr), 1);
    }

    // Each tab as the learner sees it, for a person to look at.
    void bildschirmfotos() {
        lek().zeigen();
        lek().Slider1->setValue(2);  // the longest preview line
        for (int i = 0; i < lek().SSTab1->count(); ++i) {
            lek().SSTab1->setCurrentIndex(i);
            if (i == 4) lek().Text9->setText("MeinText1.txt");
            const QImage bild = lek().grab().toImage();
            QCOMPARE(bild.size(), lek().size());
            std::set<QRgb> farben;
            for (int y = 0; y < bild.height(); y += 3)
                for (int x = 0; x < bild.width(); x += 3) farben.insert(bild.pixel(x, y));
            QVERIFY(farben.size() > 8);
            QVERIFY(bild.save(screenshotDir() + QStringLiteral("/frmLek_%1.png").arg(i)));
        }
        lek().Slider1->setValue(18);
        lek().SSTab1->setCurrentIndex(0);
        QVERIFY(lek().grab().save(screenshotDir() + QStringLiteral("/frmLek_0_lektion18.png")));
    }

private:
    // Back to the preview of lesson 1 (f, j and the space bar red).
    void lektionsVorschauNeu() {
        lek().Slider1->setValue(2);
        lek().Slider1->setValue(1);
    }
};

VELKORA_TEST_MAIN(TestLessons)
#include "tst_lessons.moc"
