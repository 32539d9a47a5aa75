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

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QTabWidget>
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

// Pixels of img inside r (device-independent) that stand out from grund
// as ink does: the faint edge of a letter's smoothing is not counted.
int tinte(const QImage& img, const QRect& r, QRgb grund) {
    auto abstand = [grund](QRgb p) {
        return std::max({std::abs(qRed(p) - qRed(grund)), std::abs(qGreen(p) - qGreen(grund)),
                         std::abs(qBlue(p) - qBlue(grund)), std::abs(qAlpha(p) - qAlpha(grund))});
    };
    const qreal dpr = img.devicePixelRatio();
    const QRect px(QPoint(qRound(r.left() * dpr), qRound(r.top() * dpr)),
                   QSize(qRound(r.width() * dpr), qRound(r.height() * dpr)));
    int n = 0;
    for (int y = std::max(px.top(), 0); y <= std::min(px.bottom(), img.height() - 1); ++y)
        for (int x = std::max(px.left(), 0); x <= std::min(px.right(), img.width() - 1); ++x)
            n += abstand(img.pixel(x, y)) > 64 ? 1 : 0;
    return n;
}

// What a label shows of its text, against the whole text drawn the same way
// (font, width, wrapping, alignment) without a border to cut it: empty when
// all of it is in sight, else what is cut. Plain-text labels only.
QString beschnitten(QLabel* l) {
    QRect cr = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    int flags = int(QStyle::visualAlignment(l->layoutDirection(), l->alignment())) |
                (l->wordWrap() ? int(Qt::TextWordWrap) : 0);
    // A label with a buddy shows its "&" as the access key's underline.
    if (l->buddy())
        flags |= l->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, l) ? Qt::TextShowMnemonic
                                                                                 : Qt::TextHideMnemonic;
    const QFontMetrics fm = l->fontMetrics();
    // The lines' boxes: their height and width as laid out in the rectangle.
    const QRect zeilen = fm.boundingRect(cr, flags, l->text());
    QStringList was;
    if (zeilen.height() > cr.height()) was << QStringLiteral("lines %1 px high").arg(zeilen.height());
    if (zeilen.width() > cr.width()) was << QStringLiteral("lines %1 px wide").arg(zeilen.width());
    // The ink: a capital's accent may rise above its line's box.
    const qreal dpr = l->devicePixelRatioF();
    const QImage gezeigt = l->grab().toImage();
    // The picture of a label has the label's background colour behind it.
    const QRgb grund = l->palette().color(l->backgroundRole()).rgba();
    const QSize rand(zeilen.width() + 16, zeilen.height() + 16);
    QImage ganz((cr.size() + 2 * rand) * dpr, QImage::Format_ARGB32_Premultiplied);
    ganz.setDevicePixelRatio(dpr);
    ganz.fill(grund);
    {
        QPainter p(&ganz);
        p.setFont(l->font());
        l->style()->drawItemText(&p, QRect(QPoint(rand.width(), rand.height()), cr.size()), flags | Qt::TextDontClip,
                                 l->palette(), l->isEnabled(), l->text(), l->foregroundRole());
    }
    // The ink may reach into the label's margins, not into its frame.
    const int f = l->frameWidth();
    const int sichtbar =
        tinte(gezeigt.convertToFormat(QImage::Format_ARGB32_Premultiplied), l->rect().adjusted(f, f, -f, -f), grund);
    const int alles = tinte(ganz, QRect(QPoint(), ganz.deviceIndependentSize().toSize()), grund);
    if (sichtbar < alles) was << QStringLiteral("%1 of %2 pixels of ink shown").arg(sichtbar).arg(alles);
    if (was.isEmpty()) return {};
    return QStringLiteral("%1 \"%2\" in %3x%4: %5")
        .arg(l->objectName(), l->text())
        .arg(cr.width())
        .arg(cr.height())
        .arg(was.join(QStringLiteral(", ")));
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

    // Every label of every window shows all of its text: its lines fit the
    // label, and no letter is cut (the dots of a capital Ü on a first line).
    void beschriftungen_data() { fensterZeilen(); }
    void beschriftungen() {
        QFETCH(int, fenster);
        TestEnv env;
        QWidget* w = oeffneFenster(*env.app, fenster);
        QCoreApplication::processEvents();
        QStringList fehler;
        int geprueft = 0;
        // The labels, on each page of each tab control in turn.
        auto pruefen = [&] {
            QCoreApplication::processEvents();
            for (QLabel* l : w->findChildren<QLabel*>()) {
                // A label placed by hand has its place also while hidden (the
                // writing window's figures before an exercise); one in a
                // layout, only once in sight.
                const QLayout* lay = l->parentWidget() ? l->parentWidget()->layout() : nullptr;
                const bool platziert = !lay || lay->indexOf(l) < 0;
                if (!(platziert || l->isVisibleTo(w)) || l->text().isEmpty() || Qt::mightBeRichText(l->text()) ||
                    l->textFormat() == Qt::RichText)
                    continue;
                ++geprueft;
                const QString f = beschnitten(l);
                if (!f.isEmpty() && !fehler.contains(f)) fehler << f;
            }
        };
        pruefen();
        for (QTabWidget* t : w->findChildren<QTabWidget*>())
            for (int i = 0; i < t->count(); ++i) {
                t->setCurrentIndex(i);
                pruefen();
            }
        QVERIFY2(fehler.isEmpty(), qPrintable(fehler.join(QLatin1Char('\n'))));
        if (geprueft == 0) QSKIP("no label with text");
    }

    // Each window with a typing box shows a typed character in it, on the
    // colour the window gives the box (the desktop's text-box colour where
    // it sets none).
    void eingabefeld_data() {
        QTest::addColumn<QString>("fenster");
        QTest::addColumn<QColor>("grund");
        QTest::newRow("frmSchreiben") << "frmSchreiben" << QColor(224, 224, 224);
        QTest::newRow("frmNumBlock") << "frmNumBlock" << QApplication::palette().color(QPalette::Base);
    }
    void eingabefeld() {
        QFETCH(QString, fenster);
        QFETCH(QColor, grund);
        TestEnv env;
        frmVelkora& haupt = env.app->forms.get<frmVelkora>();
        haupt.show();
        QPlainTextEdit* box = nullptr;
        QString erstes;
        if (fenster == QLatin1String("frmSchreiben")) {
            frmSchreiben& s = env.app->forms.get<frmSchreiben>();
            s.Command7->click();
            env.app->forms.get<frmLek>().Command1->click();
            box = s.Text1;
            erstes = s.Text2->text();
        } else {
            frmNumBlock& n = env.app->forms.get<frmNumBlock>();
            n.zeigen();
            n.Command3[0]->click();
            box = n.Text1;
            erstes = n.Text2->text();
        }
        QCOMPARE(erstes.size(), 1);
        box->setCursorWidth(0);  // the blinking cursor is no character
        QCoreApplication::processEvents();
        const QRect feld = box->viewport()->geometry();
        const QImage leer = box->grab().toImage();
        const QPoint ecke = (QPointF(feld.bottomRight() - QPoint(3, 3)) * skala()).toPoint();
        QCOMPARE(QColor(leer.pixel(ecke)), grund);
        QCOMPARE(tinte(leer, feld, grund.rgba()), 0);
        const QChar c = erstes[0];
        const int taste = c.isDigit() ? Qt::Key_0 + c.digitValue()
                          : c.isLetter() && c.unicode() < 0x80 ? Qt::Key_A + (c.toUpper().unicode() - 'A')
                                                               : int(Qt::Key_unknown);
        QKeyEvent druck(QEvent::KeyPress, taste, c.isDigit() ? Qt::KeypadModifier : Qt::NoModifier, erstes);
        QKeyEvent los(QEvent::KeyRelease, druck.key(), druck.modifiers(), erstes);
        QApplication::sendEvent(box, &druck);
        QApplication::sendEvent(box, &los);
        QCOMPARE(box->toPlainText(), erstes);
        QCoreApplication::processEvents();
        const QImage getippt = box->grab().toImage();
        QCOMPARE(QColor(getippt.pixel(ecke)), grund);
        QVERIFY2(tinte(getippt, feld, grund.rgba()) > 20 * skala() * skala(), "the typed character is not seen");
        QVERIFY(getippt.save(ablage() + "/eingabe-" + fenster + ".png"));
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
};

VELKORA_TEST_MAIN(TstBildschirm)
#include "tst_bildschirm.moc"
