// Screenshots of every window at the screen scale the test runs under (it
// runs at scale 1 and, as tst_bildschirm_x2, at QT_SCALE_FACTOR=2): windows
// keep their layout in device-independent pixels, and the pictures the
// program draws itself are painted at the screen's resolution, not enlarged.
#include "../lessons/tippen.h"
#include "allefenster.h"
#include "platform/animfigur.h"
#include "platform/anireader.h"
#include "platform/richtextview.h"
#include "platform/units.h"
#include "testenv.h"
#include "trainer/keybutton.h"
#include "trainer/keytable.h"
#include "trainer/toolicons.h"

#include <QComboBox>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <set>

namespace {
qreal skala() { return qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() : 1.0; }

QString ablage() {
    const QString d = screenshotDir() + QStringLiteral("/scale%1").arg(skala());
    QDir().mkpath(d);
    return d;
}

// The share of 2 x 2 pixel blocks that are not of one colour. A picture
// enlarged from half the resolution has none.
double feinanteil(const QImage& bild) {
    int bloecke = 0, fein = 0;
    for (int y = 0; y + 1 < bild.height(); y += 2)
        for (int x = 0; x + 1 < bild.width(); x += 2) {
            const QRgb a = bild.pixel(x, y);
            ++bloecke;
            if (bild.pixel(x + 1, y) != a || bild.pixel(x, y + 1) != a || bild.pixel(x + 1, y + 1) != a) ++fein;
        }
    return bloecke ? double(fein) / bloecke : 0;
}

int farben(const QImage& bild) {
    std::set<QRgb> f;
    for (int y = 0; y < bild.height(); y += 3)
        for (int x = 0; x < bild.width(); x += 3) f.insert(bild.pixel(x, y));
    return int(f.size());
}
}  // namespace

class TstBildschirm : public QObject {
    Q_OBJECT
private slots:
    // Each window at the screen's resolution, drawn and not blank.
    void fenster_data() { fensterZeilen(); }
    void fenster() {
        QFETCH(int, fenster);
        TestEnv env;
        QWidget* w = oeffneFenster(*env.app, fenster);
        QCoreApplication::processEvents();
        QCOMPARE(w->devicePixelRatioF(), skala());
        const QPixmap bild = w->grab();
        QCOMPARE(bild.devicePixelRatio(), skala());
        QCOMPARE(bild.size(), w->size() * skala());
        QVERIFY(bild.save(ablage() + '/' + alleFenster()[fenster].name + ".png"));
        QVERIFY2(farben(bild.toImage()) > 1, "the window is blank");
    }

    // The fixed measures stay what they are at scale 1.
    void layout() {
        TestEnv env;
        frmVelkora& haupt = env.app->forms.get<frmVelkora>();
        haupt.show();
        QCOMPARE(haupt.size(), QSize(twipsToPx(frmVelkora::kWidth), twipsToPx(frmVelkora::kHeight)));
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        // A key covers its table place but the last column and row, which
        // the neighbour draws; no two keys overlap, so a key repaints alone.
        for (const Taste& t : kTasten) {
            QCOMPARE(s.Command1[t.index]->geometry(), QRect(t.x, t.y, t.w - 1, t.h - 1));
            for (const Taste& u : kTasten)
                QVERIFY(t.index == u.index || !s.Command1[t.index]->geometry().intersects(s.Command1[u.index]->geometry()));
        }
        QCOMPARE(s.Text1->geometry(), QRect(128, 124, 729, 113));
        frmSplash& splash = env.app->forms.get<frmSplash>();
        QCOMPARE(splash.size(), QSize(460, 300));
    }

    // Key faces, tool pictures and the figure carry detail at the screen's
    // resolution.
    void bilder() {
        if (skala() < 2) QSKIP("the pictures' resolution is checked on a screen scaled by two");
        TestEnv env;
        frmVelkora& haupt = env.app->forms.get<frmVelkora>();
        haupt.show();
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        const QImage taste = s.Command1[8]->grab().toImage();  // "A"
        QCOMPARE(taste.size(), s.Command1[8]->size() * 2);
        QVERIFY2(feinanteil(taste) > 0.05, "key face enlarged");
        for (Werkzeug w : {Werkzeug::TimerStart, Werkzeug::Statistik, Werkzeug::Optionen}) {
            const QPixmap pm = werkzeugSymbol(w).pixmap(QSize(22, 22), 2.0);
            QCOMPARE(pm.size(), QSize(44, 44));
            QVERIFY2(feinanteil(pm.toImage()) > 0.05, "tool picture enlarged");
        }
        const AniAnimation dino = readAniFile(env.app->datei("\\dino.ani"));
        QVERIFY(!dino.isEmpty());
        QCOMPARE(dino.frames2x.size(), dino.frames.size());
        QCOMPARE(dino.frames2x[0].deviceIndependentSize().toSize(), dino.frames[0].size());
        AnimFigur figur;
        AnimZeigen(figur, env.app->datei("\\dino.ani"), s.Picture1, 0, 0);
        QVERIFY(figur.geladen);
        QCOMPARE(figur.fenster->size(), dino.size());
        QVERIFY2(feinanteil(figur.fenster->grab().toImage()) > 0.05, "figure enlarged");
        AnimEntfernen(figur);
        // The settings dialog's drawn pictures and its dino.
        frmarc& arc = env.app->forms.get<frmarc>();
        for (const char* name : {"Image1", "Image2", "Picture2"}) {
            auto* l = arc.findChild<QLabel*>(name);
            QVERIFY2(l && !l->pixmap().isNull(), name);
            QCOMPARE(l->pixmap().devicePixelRatio(), 2.0);
            QVERIFY2(feinanteil(l->pixmap().toImage()) > 0.05, name);
        }
    }

    // The writing window during a lesson, for the program's screenshots.
    void schreiben() {
        TestEnv env;
        frmVelkora& haupt = env.app->forms.get<frmVelkora>();
        haupt.show();
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        s.Command7->click();
        env.app->forms.get<frmLek>().Command1->click();
        tippeText(s.Text1, s.rtb1->text().left(23));
        QCoreApplication::processEvents();
        QVERIFY(haupt.grab().save(ablage() + "/velkora-schreiben.png"));
        frmLek& lek = env.app->forms.get<frmLek>();
        lek.zeigen();
        QVERIFY(lek.grab().save(ablage() + "/velkora-lektionen.png"));
    }

    // The keyboard heatmap over records of many keys, some too few to judge.
    void tasten() {
        TestEnv env;
        {
            QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bildschirm"));
            d.setDatabaseName(env.programDir() + QStringLiteral("/velkora.mdb"));
            QVERIFY(d.open());
            QSqlQuery q(d);
            const QString zeichen = QStringLiteral("fjdkslaöghrueiwoqpzt vbnmcx,.-\nFJDKSLAGHRUEI@");
            for (int i = 0; i < zeichen.size(); ++i) {
                const int n = i % 9 == 8 ? 12 : 40 + 13 * i;
                q.prepare(QStringLiteral("INSERT INTO Tastenwerte VALUES ('1', date('now'), ?, ?, ?, ?, ?)"));
                for (const QVariant& v : {QVariant(QString(zeichen[i])), QVariant(n), QVariant((i * 7) % 11),
                                          QVariant(n * (170 + (i * 53) % 260)), QVariant(n)})
                    q.addBindValue(v);
                QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
                if (i > 0) {
                    q.prepare(QStringLiteral("INSERT INTO Paarwerte VALUES ('1', date('now'), ?, ?, ?, ?, ?, ?)"));
                    for (const QVariant& v : {QVariant(QString(zeichen[i - 1])), QVariant(QString(zeichen[i])),
                                              QVariant(n), QVariant((i * 5) % 7), QVariant(n * (200 + i * 9)), QVariant(n)})
                        q.addBindValue(v);
                    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
                }
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bildschirm"));
        frmTasten& t = env.app->forms.get<frmTasten>();
        t.zeigen();
        QCoreApplication::processEvents();
        QVERIFY(t.grab().save(ablage() + "/frmTasten-fehler.png"));
        t.cboFaerbung->setCurrentIndex(1);
        QCoreApplication::processEvents();
        QVERIFY(t.grab().save(ablage() + "/frmTasten-zeit.png"));
    }
};

VELKORA_TEST_MAIN(TstBildschirm)
#include "tst_bildschirm.moc"
