// The tips window, the finger gymnastics, the about window and the wait window.
#include "platform/textcodec.h"
#include "platform/units.h"
#include "shell/frmVelkora.h"
#include "stats/datenbank.h"
#include "testenv.h"
#include "windows/frmAbout.h"
#include "windows/frmGym.h"
#include "windows/frmTip.h"
#include "windows/frmWait.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QWindow>
#include <memory>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
const QString kTips = QStringLiteral("\\TIPOFDAY.TXT");

// Records the mouse pointer the program shows while it hands an address to the desktop.
class ZeigerServices : public FakeServices {
public:
    bool shellOpen(const QString& target) override {
        const QCursor* c = QGuiApplication::overrideCursor();
        zeigerBeimOeffnen.append(c ? c->shape() : Qt::ArrowCursor);
        return FakeServices::shellOpen(target);
    }
    QList<Qt::CursorShape> zeigerBeimOeffnen;
};

// The windows close through the event loop; let it run.
void abwarten() {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TstWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    App& app() { return *env->app; }
    frmTip& tip() { return app().forms.get<frmTip>(); }
    frmGym& gym() { return app().forms.get<frmGym>(); }

private slots:
    void init() { env = std::make_unique<TestEnv>(false); }
    void cleanup() {
        env.reset();
        abwarten();
    }

    // What the window shows on opening and after each press of "Nächster Tip".
    void tipsFolge_data() {
        QTest::addColumn<QByteArray>("datei");
        QTest::addColumn<QStringList>("folge");
        QTest::newRow("three lines wrap")
            << QByteArray("eins\r\nzwei\r\ndrei\r\n") << QStringList{"eins", "zwei", "drei", "eins", "zwei"};
        QTest::newRow("one line repeats") << QByteArray("nur\r\n") << QStringList{"nur", "nur", "nur"};
        QTest::newRow("last line without break")
            << QByteArray("eins\r\nzwei") << QStringList{"eins", "zwei", "eins"};
        QTest::newRow("empty line is an empty tip")
            << QByteArray("eins\r\n\r\ndrei\r\n") << QStringList{"eins", "", "drei", "eins"};
        QTest::newRow("lone LF ends a line")
            << QByteArray("eins\nzwei\r\n") << QStringList{"eins", "zwei", "eins"};
        QTest::newRow("only a line break") << QByteArray("\r\n") << QStringList{"", ""};
        QTest::newRow("Windows-1252")
            << QByteArray("\xc4rger \x80 \x84gut\x93\r\nStra\xdf" "e\r\n")
            << QStringList{QStringLiteral("Ärger € „gut“"), QStringLiteral("Straße")};
        QTest::newRow("markup stays text")
            << QByteArray("<b>fett</b> &amp;\r\n") << QStringList{"<b>fett</b> &amp;"};
    }
    void tipsFolge() {
        QFETCH(QByteArray, datei);
        QFETCH(QStringList, folge);
        env->writeFile(kTips, datei);
        frmTip& t = tip();
        QCOMPARE(t.lblTipText->text(), folge.first());
        for (int i = 1; i < folge.size(); ++i) {
            t.cmdNextTip->click();
            QCOMPARE(t.lblTipText->text(), folge.at(i));
        }
        QCOMPARE(t.lblTipText->textFormat(), Qt::PlainText);
    }

    void tipsWiederOeffnen() {
        env->writeFile(kTips, "eins\r\nzwei\r\ndrei\r\n");
        tip().cmdNextTip->click();
        tip().cmdNextTip->click();
        QCOMPARE(tip().lblTipText->text(), QStringLiteral("drei"));
        tip().cmdOK->click();
        abwarten();
        QVERIFY(!app().forms.loaded<frmTip>());
        env->writeFile(kTips, "neu\r\nzweiter\r\n");
        QCOMPARE(tip().lblTipText->text(), QStringLiteral("neu"));
        QCOMPARE(tip().tipListe, QStringList({"neu", "zweiter"}));
        tip().cmdNextTip->click();
        QCOMPARE(tip().lblTipText->text(), QStringLiteral("zweiter"));
    }

    // No readable file: the message in the window, and the button changes nothing.
    void tipsFehlt_data() {
        QTest::addColumn<QString>("statt");
        QTest::newRow("no file") << "";
        QTest::newRow("a folder of that name") << "folder";
#ifdef Q_OS_UNIX
        QTest::newRow("a pipe of that name, which would never end") << "pipe";
#endif
    }
    void tipsFehlt() {
        QFETCH(QString, statt);
        const QString pfad = QDir(env->programDir()).filePath(QStringLiteral("TIPOFDAY.TXT"));
        if (statt == "folder") QVERIFY(QDir().mkdir(pfad));
#ifdef Q_OS_UNIX
        if (statt == "pipe") QCOMPARE(::mkfifo(QFile::encodeName(pfad).constData(), 0600), 0);
#endif
        const QString meldung = QStringLiteral(
            "Die Datei TIPOFDAY.TXT wurde nicht gefunden? \r\n\r\nTextdatei mit dem Namen "
            "TIPOFDAY.TXT unter Verwendung von NotePad mit 1 Tip pro Zeile erstellen. Dann im "
            "selben Verzeichnis wie die Anwendung ablegen. ");
        frmTip& t = tip();
        QCOMPARE(t.lblTipText->text(), meldung);
        t.cmdNextTip->click();
        t.cmdNextTip->click();
        QCOMPARE(t.lblTipText->text(), meldung);
        QVERIFY(env->services.messages.isEmpty());
    }

    void tipsLeereDatei() {
        env->writeFile(kTips, QByteArray());
        frmTip& t = tip();
        QCOMPARE(t.lblTipText->text(), QString());
        t.cmdNextTip->click();
        QCOMPARE(t.lblTipText->text(), QString());
        QVERIFY(t.tipListe.isEmpty());
    }

    // The tips file delivered with the program: Windows-1252 with CR LF lines,
    // at least forty tips of one or two sentences each.
    void tipsDatei() {
        QFile f(QStringLiteral(VELKORA_SOURCE_DIR "/data/TIPOFDAY.TXT"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        QVERIFY(!looksLikeUtf8(bytes));
        const QList<QByteArray> zeilen = bytes.chopped(2).split('\n');
        QVERIFY(zeilen.size() >= 40);
        QSet<QByteArray> gesehen;
        for (int i = 0; i < zeilen.size(); ++i) {
            QByteArray z = zeilen.at(i);
            const QByteArray wo = "line " + QByteArray::number(i + 1);
            if (i + 1 < zeilen.size()) {
                QVERIFY2(z.endsWith('\r'), wo.constData());
                z.chop(1);
            }
            for (char c : z) {
                const auto b = static_cast<unsigned char>(c);
                // No control characters, none of the codes Windows-1252 leaves unassigned.
                QVERIFY2(b >= 0x20 && b != 0x7F && b != 0x81 && b != 0x8D && b != 0x8F &&
                             b != 0x90 && b != 0x9D,
                         wo.constData());
            }
            const QString tip = decodeCp1252(z);
            QVERIFY2(!tip.trimmed().isEmpty() && tip.size() < 200, wo.constData());
            QVERIFY2(tip.endsWith('.') || tip.endsWith('!') || tip.endsWith('?'), wo.constData());
            QVERIFY2(!gesehen.contains(z), wo.constData());
            gesehen.insert(z);
        }
        // The window reads the copy beside the program, every line a tip.
        TestEnv mitDaten;
        frmTip& t = mitDaten.app->forms.get<frmTip>();
        QCOMPARE(t.tipListe.size(), zeilen.size());
        QCOMPARE(t.lblTipText->text(), decodeCp1252(zeilen.first().chopped(1)));
    }

    // Each slider position shows its number and its exercise.
    void gymUebungen_data() {
        QTest::addColumn<int>("nr");
        QTest::addColumn<QString>("anfang");
        QTest::addColumn<QString>("ende");
        QTest::newRow("1") << 1 << "Oberarme senkrecht,Unterarme,Hände waagerecht.Abwechselnd"
                           << "Fingergelenk beugen und strecken.";
        QTest::newRow("2") << 2 << "Unterarme und Hände waagerecht, Finger bleiben gestreckt.Abwechselnd"
                           << "langsam zur Handfläche hin abbiegen.";
        QTest::newRow("3") << 3 << "Hände waagerecht, Finger gestreckt; nacheinander"
                           << "Fingergelenk beugen und strecken. ";
        QTest::newRow("4") << 4 << "Hände waagerecht und Finger gestreckt halten.Finger"
                           << "im untersten Fingergelenk abbiegen.";
        QTest::newRow("5") << 5 << "Hände in Grundstellung auf die Tischplatte.Zu Klopfübungen"
                           << "alle anderen bleiben auf der Tischplatte.";
        QTest::newRow("6") << 6 << "Hände in Grundstellung auf die Tischplatte legen.Finger einzeln kräftig"
                           << "nach oben strecken, alle anderen bleiben auf der Tischplatte.";
        QTest::newRow("7") << 7 << "Hände mit den Fingerspitzen leicht auf die Schultern gelegt.Die Ellbogen"
                           << "rückwärts.Den Körper aufrichten, die Schultern kräftig bewegen.";
        QTest::newRow("8") << 8 << "Hände flach auf den Tisch legen.Finger nacheinander"
                           << "heranziehen.Hände bleiben flach auf der Tischplatte liegen.";
        QTest::newRow("9") << 9 << "Unterarme und Hände waagerecht, Finger gestreckt, nacheinander"
                           << "jeden Finger kreisen lassen.";
        QTest::newRow("10") << 10 << "Unterarme waagerecht, Hände zur Faust geballt.Abwechselnd"
                            << "Finger nach vorn und zurück zur Faust.";
        QTest::newRow("11") << 11 << "Unterarme und Hände waagerecht, Finger gespreizt,"
                            << "möglichst weit nach oben und unten bewegen.";
        QTest::newRow("12") << 12 << "Unterarme nach oben angewinkelt, Handflächen nach innen.Finger"
                            << "Wippen, ohne daß sich die Handteller berühren.";
        QTest::newRow("13") << 13 << "Unterarm und Hand nach oben anwinkeln; Unterarm,"
                            << "andere Hand an den Fingerspitzen zurückgebogen.";
        QTest::newRow("14") << 14 << "Hände mit Innenflächen fest aufeinandergepreßt,Fingerspitzen nach oben.Finger"
                            << "Handballen und Handflächen bleiben zusammen.";
        QTest::newRow("15") << 15 << "Unterarme und Hände waagerecht, abwechselnd die Hände"
                            << "unten bewegen, die Finger bleiben gestreckt.";
        QTest::newRow("16") << 16 << "Hände in Grundstellung auf die Kante der Tischplatte.Finger"
                            << "nach unten strecken, alle anderen bleiben auf der Tischplatte.";
        QTest::newRow("17") << 17 << "Arme und Hände nach vorn gestreckt.Mit gestreckten Fingern"
                            << "hält die kreisende hinter dem Handgelenk fest.";
        QTest::newRow("18") << 18 << "Arme und Hände waagerecht nach vorn gestreckt.Hände"
                            << "die Finger zur Faust ballen und zurück.";
        QTest::newRow("19") << 19 << "Arme nach oben, nach der Seite oder nach vorn, Handflächen innen.Hände"
                            << "Nackenmuskeln.Aber nicht zu fest...  ;-)";
        QTest::newRow("20") << 20 << "Aus dem Stand oder auf zurückgesetztem Stuhl.Die"
                            << "von schräg oben vorwärts nach schräg unten rückwärts schwingen.";
    }
    void gymUebungen() {
        QFETCH(int, nr);
        QFETCH(QString, anfang);
        QFETCH(QString, ende);
        frmGym& g = gym();
        // From the other end, so that every position is reached by a change.
        g.Slider1->setValue(nr == 20 ? 1 : 20);
        g.Slider1->setValue(nr);
        QCOMPARE(g.Text2->text(), QString::number(nr));
        const QString text = g.Text1->toPlainText();
        QVERIFY2(text.startsWith(anfang), qPrintable(text));
        QVERIFY2(text.endsWith(ende), qPrintable(text));
    }

    // Only the numbers 1 to 20 written plainly name an exercise.
    void gymNummernAlsText() {
        QVERIFY(gymnastikText(QStringLiteral("20")).startsWith(QStringLiteral("Aus dem Stand")));
        for (const char* nr : {"0", "21", "01", " 1", "1 ", "", "-1"})
            QVERIFY2(gymnastikText(QString::fromLatin1(nr)).isNull(), nr);
    }

    void gymOeffnetMitEins() {
        gym().zeigen();
        QCOMPARE(gym().Slider1->value(), 1);
        QCOMPARE(gym().Text2->text(), QStringLiteral("1"));
        QVERIFY(gym().Text1->toPlainText().startsWith(QStringLiteral("Oberarme senkrecht,")));
        gym().Slider1->setValue(19);
        gym().Command1->click();
        abwarten();
        QVERIFY(!app().forms.loaded<frmGym>());
        gym().zeigen();
        QCOMPARE(gym().Slider1->value(), 1);
        QCOMPARE(gym().Text2->text(), QStringLiteral("1"));
        QVERIFY(gym().Text1->toPlainText().startsWith(QStringLiteral("Oberarme senkrecht,")));
    }

    // Each window opens on top, at the main window's left edge, 600 twips below its top.
    void platz_data() {
        QTest::addColumn<QString>("fenster");
        QTest::newRow("tips") << "frmTip";
        QTest::newRow("gymnastics") << "frmGym";
        QTest::newRow("about") << "frmAbout";
    }
    void platz() {
        QFETCH(QString, fenster);
        frmVelkora& m = app().forms.get<frmVelkora>();
        m.move(40, 30);
        QWidget* w = fenster == "frmTip"   ? static_cast<QWidget*>(&tip())
                     : fenster == "frmGym" ? static_cast<QWidget*>(&gym())
                                           : &app().forms.get<frmAbout>();
        QCOMPARE(w->objectName(), fenster);
        QCOMPARE(w->pos(), QPoint(40, 30 + twipsToPx(600)));
        QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void aboutMail() {
        // An App of its own, to see the mouse pointer while the mail opens.
        QTemporaryDir dir;
        ZeigerServices services;
        SettingsStore store(dir.filePath(QStringLiteral("Velkora.ini")));
        App eigene(dir.path(), store, services);
        frmAbout& a = eigene.forms.get<frmAbout>();
        a.zeigen();
        QTest::mouseClick(a.LabelEMail, Qt::LeftButton);
        QCOMPARE(services.opened, QStringList{QStringLiteral("mailto:kontakt@velkora.example.org")});
        QCOMPARE(services.zeigerBeimOeffnen, QList<Qt::CursorShape>{Qt::WaitCursor});
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        // The other mouse button writes no mail.
        QTest::mouseClick(a.LabelEMail, Qt::RightButton);
        QCOMPARE(services.opened.size(), 1);
    }

    void aboutZweimal() {
        frmVelkora& m = app().forms.get<frmVelkora>();
        m.move(40, 30);
        frmAbout& a = app().forms.get<frmAbout>();
        a.zeigen();
        m.move(100, 80);
        app().forms.get<frmAbout>().zeigen();
        QCOMPARE(&app().forms.get<frmAbout>(), &a);
        int anzahl = 0;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName() == "frmAbout") ++anzahl;
        QCOMPARE(anzahl, 1);
        // Placed once, when it was loaded.
        QCOMPARE(a.pos(), QPoint(40, 30 + twipsToPx(600)));
    }

    // "OK", Enter and Escape close the about window.
    void aboutSchliessen_data() {
        QTest::addColumn<int>("taste");
        QTest::newRow("OK") << 0;
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void aboutSchliessen() {
        QFETCH(int, taste);
        frmAbout& a = app().forms.get<frmAbout>();
        a.zeigen();
        if (taste) QTest::keyClick(&a, Qt::Key(taste));
        else a.cmdOK->click();
        abwarten();
        QVERIFY(!app().forms.loaded<frmAbout>());
        QVERIFY(env->services.opened.isEmpty());
    }

    // The wait window is on the screen and drawn when its caller goes on to
    // work without the event loop, and a message box that follows over the
    // main window (a database that cannot be read) leaves it in sight.
    void warteFenster() {
        frmVelkora& main = app().forms.get<frmVelkora>();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        frmWait& w = app().forms.get<frmWait>();
        struct Maler : QObject {
            int bilder = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                bilder += e->type() == QEvent::Paint ? 1 : 0;
                return false;
            }
        } maler;
        w.installEventFilter(&maler);
        w.zeigen(QStringLiteral("Die Ergebnisse werden geladen..."), app().datei(QStringLiteral("\\FILEMOVE.AVI")));
        QVERIFY(w.windowHandle() && w.windowHandle()->isExposed());
        QVERIFY(maler.bilder > 0);
        w.removeEventFilter(&maler);
        QMessageBox box(QMessageBox::Warning, kAppTitle,
                        datenbankMeldung(env->programDir() + QStringLiteral("/velkora.mdb"),
                                         QStringLiteral("database is locked Unable to fetch row\n\n"
                                                        "Die Ergebnisse werden nachgetragen.\n"
                                                        "Bitte schließen Sie das andere Programm.")),
                        QMessageBox::Ok, &main);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(!box.frameGeometry().intersects(w.frameGeometry()));
        QVERIFY(main.frameGeometry().contains(w.frameGeometry().center()));
    }

    void bilder() {
        const QSize kKlein(300, 150);  // the tips window is a small one
        TestEnv mitDaten;
        App& a = *mitDaten.app;
        frmTip& t = a.forms.get<frmTip>();
        fotografieren(&t, QStringLiteral("frmTip"), kKlein);
        mitDaten.removeFile(kTips);
        t.cmdOK->click();
        abwarten();
        fotografieren(&a.forms.get<frmTip>(), QStringLiteral("frmTip_fehlt"), kKlein);
        frmGym& g = a.forms.get<frmGym>();
        g.Slider1->setValue(19);
        fotografieren(&g, QStringLiteral("frmGym"));
        fotografieren(&a.forms.get<frmAbout>(), QStringLiteral("frmAbout"));
    }
};

VELKORA_TEST_MAIN(TstWindows)
#include "tst_windows.moc"
