// The handbook and its window: the pages as files (UTF-8 HTML in German,
// every link and picture there), the contents, the search, and F1 in every
// window of the program.
#include "../lessons/tippen.h"
#include "allefenster.h"
#include "hilfe/frmHilfe.h"
#include "hilfe/handbuch.h"
#include "testenv.h"
#include "trainer/keybutton.h"

#include "platform/richtextview.h"
#include "platform/units.h"

#include <QAction>
#include <QDirIterator>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QImage>
#include <QListWidget>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTextBrowser>

namespace {
const QString kGebaut = QStringLiteral(VELKORA_PROGRAM_DIR "/hilfe");

QByteArray lies(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList seitendateien() { return QDir(kGebaut).entryList({"*.html"}, QDir::Files, QDir::Name); }

// The handbook as built, in the test's own program directory.
void handbuchKopieren(const TestEnv& env) {
    QDirIterator it(kGebaut, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString quelle = it.next();
        const QString ziel = env.programDir() + "/hilfe/" + QDir(kGebaut).relativeFilePath(quelle);
        QDir().mkpath(QFileInfo(ziel).path());
        QFile::copy(quelle, ziel);
    }
}

// True when "datei.html#anker" names a page of the built handbook and, with
// an anchor, an element of that page with this id.
bool seiteDa(const QString& verweis) {
    const QString datei = verweis.section('#', 0, 0), anker = verweis.section('#', 1);
    const QByteArray html = lies(kGebaut + '/' + datei);
    if (html.isEmpty()) return false;
    return anker.isEmpty() || html.contains("id=\"" + anker.toUtf8() + "\"");
}

void f1(QWidget* w) {
    QTest::keyClick(w, Qt::Key_F1);
    QCoreApplication::processEvents();
}
}  // namespace

class TstHilfe : public QObject {
    Q_OBJECT
private slots:
    void seiten_data() {
        QTest::addColumn<QString>("datei");
        QVERIFY(seitendateien().size() >= 10);
        for (const QString& d : seitendateien()) QTest::newRow(qPrintable(d)) << d;
    }
    // A page: UTF-8, German, well formed, with a title; its links lead to
    // pages and anchors that are there, its pictures were rendered.
    void seiten() {
        QFETCH(QString, datei);
        const QByteArray bytes = lies(kGebaut + '/' + datei);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString html = utf8.decode(bytes);
        QVERIFY(!utf8.hasError());
        QVERIFY(html.startsWith("<!DOCTYPE html>\n<html lang=\"de\">"));
        QVERIFY(html.contains("<meta charset=\"utf-8\">"));
        QVERIFY(QRegularExpression("<title>[^<]+</title>").match(html).hasMatch());
        // Every element opened is closed, in order (void elements aside).
        static const QRegularExpression tag("<(/?)([a-zA-Z0-9]+)[^>]*>");
        static const QStringList leer = {"meta", "link", "img", "br", "hr"};
        QStringList offen;
        for (auto m = tag.globalMatch(html); m.hasNext();) {
            const auto t = m.next();
            const QString name = t.captured(2).toLower();
            if (leer.contains(name)) continue;
            if (t.captured(1).isEmpty()) offen.push_back(name);
            else QVERIFY2(!offen.isEmpty() && offen.takeLast() == name, qPrintable(t.captured(0)));
        }
        QVERIFY2(offen.isEmpty(), qPrintable(offen.join(' ')));
        static const QRegularExpression ziel("(href|src)=\"([^\"]*)\"");
        for (auto m = ziel.globalMatch(html); m.hasNext();) {
            const auto z = m.next();
            QString verweis = z.captured(2);
            if (verweis.startsWith('#')) verweis.prepend(datei);
            QVERIFY2(seiteDa(verweis) || QFileInfo::exists(kGebaut + '/' + verweis), qPrintable(verweis));
            if (z.captured(1) == "src") {
                const QImage bild(kGebaut + '/' + verweis);
                QSet<QRgb> farben;
                for (int y = 0; y < bild.height(); y += 7)
                    for (int x = 0; x < bild.width(); x += 7) farben.insert(bild.pixel(x, y));
                QVERIFY2(bild.width() >= 300 && farben.size() > 8, qPrintable(verweis));
            }
        }
    }

    // Every page is in the contents, and choosing it there shows it.
    void inhalt() {
        TestEnv env;
        handbuchKopieren(env);
        frmHilfe& h = env.app->forms.get<frmHilfe>();
        QCOMPARE(h.Inhalt->count(), seitendateien().size());
        QStringList gezeigt;
        for (int i = h.Inhalt->count() - 1; i >= 0; --i) {
            QVERIFY(!h.Inhalt->item(i)->text().isEmpty());
            h.Inhalt->setCurrentRow(i);
            gezeigt << h.aktuelleSeite();
            QVERIFY(!h.Seite->toPlainText().isEmpty());
        }
        gezeigt.sort();
        QCOMPARE(gezeigt, seitendateien());
    }

    // A word that stands on one page only finds that page, by the search
    // field too; every word of a query must be on a page.
    void suche() {
        const QList<Seitentext> seiten = seitentexte(kGebaut);
        QHash<QString, QSet<QString>> fundorte;
        for (const Seitentext& s : seiten)
            for (const QString& w : suchwoerter(s.text)) fundorte[w].insert(s.datei);
        int geprueft = 0;
        QString beispiel, beispielseite;
        for (auto it = fundorte.cbegin(); it != fundorte.cend(); ++it) {
            if (it.value().size() != 1 || it.key().size() < 6) continue;
            // Not inside a longer word of another page either.
            bool auchAnderswo = false;
            for (auto jt = fundorte.cbegin(); jt != fundorte.cend(); ++jt)
                if (jt.key().contains(it.key()) && jt.value() != it.value()) auchAnderswo = true;
            if (auchAnderswo) continue;
            const QList<Seitentext> treffer = ::suche(seiten, it.key());
            QCOMPARE(treffer.size(), 1);
            QCOMPARE(treffer[0].datei, *it.value().begin());
            if (std::all_of(it.key().cbegin(), it.key().cend(), [](QChar c) { return c.unicode() < 128; })) {
                beispiel = it.key();
                beispielseite = treffer[0].datei;
            }
            ++geprueft;
        }
        QVERIFY(geprueft > 20);
        QVERIFY(::suche(seiten, beispiel + " " + "zzqx").isEmpty());
        QVERIFY(::suche(seiten, " ,; ").isEmpty());

        TestEnv env;
        handbuchKopieren(env);
        frmHilfe& h = env.app->forms.get<frmHilfe>();
        h.zeigen(kStartseite);
        QVERIFY(!beispiel.isEmpty());
        QTest::keyClicks(h.Suchfeld, beispiel.toUpper());
        QTest::keyClick(h.Suchfeld, Qt::Key_Return);
        QCOMPARE(h.Fundstellen->count(), 1);
        QCOMPARE(h.aktuelleSeite(), beispielseite);
    }

    // F1 in every window (and every tab) opens a page that is there.
    void f1Ueberall_data() { fensterZeilen(); }
    void f1Ueberall() {
        QFETCH(int, fenster);
        TestEnv env;
        handbuchKopieren(env);
        QWidget* w = oeffneFenster(*env.app, fenster);
        auto* tabs = w->findChild<QTabWidget*>("SSTab1");
        for (int tab = 0; tab < (tabs ? tabs->count() : 1); ++tab) {
            if (tabs) tabs->setCurrentIndex(tab);
            f1(w->focusWidget() ? w->focusWidget() : w);
            frmHilfe* h = env.app->forms.loaded<frmHilfe>();
            QVERIFY(h && h->isVisible());
            QVERIFY2(seiteDa(h->aktuelleSeite()), qPrintable(h->aktuelleSeite()));
            QVERIFY(!h->Seite->toPlainText().isEmpty());
        }
    }

    // F1 in the typing box opens the help and is no key of the exercise;
    // the help goes with Escape, works above a modal dialog, goes back and
    // forward, and opens from the menu.
    void bedienung() {
        TestEnv env;
        handbuchKopieren(env);
        env.app->forms.get<frmVelkora>().show();
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        s.Command7->click();
        env.app->forms.get<frmLek>().Command1->click();
        tippeText(s.Text1, s.rtb1->text().left(3));
        const QString erwartet = s.Text2->text(), getippt = s.Text1->toPlainText();
        const int klicks = env.services.sounds.size();
        f1(s.Text1);
        frmHilfe* h = env.app->forms.loaded<frmHilfe>();
        QVERIFY(h && h->isVisible());
        QCOMPARE(h->aktuelleSeite(), QString("schreibfenster.html"));
        QCOMPARE(h->Inhalt->currentItem()->data(Qt::UserRole).toString(), QString("schreibfenster.html"));
        QCOMPARE(s.Text2->text(), erwartet);
        QCOMPARE(s.Text1->toPlainText(), getippt);
        QCOMPARE(env.app->ex.fehler, 0.0);
        QCOMPARE(env.services.sounds.size(), klicks);
        QCOMPARE(s.Command1[59]->color(), colorFromBgr(kTastenfarbe));

        h->Inhalt->setCurrentRow(2);
        const QString zweite = h->aktuelleSeite();
        QTest::keyClick(h->Seite, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(h->aktuelleSeite(), QString("schreibfenster.html"));
        h->cmdVor->click();
        QCOMPARE(h->aktuelleSeite(), zweite);
        QTest::keyClick(h->Suchfeld, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QVERIFY(!env.app->forms.loaded<frmHilfe>());

        frmarc& arc = env.app->forms.get<frmarc>();
        arc.zeigen(frmarc::TabReminder);
        f1(arc.SSTab1);
        h = env.app->forms.loaded<frmHilfe>();
        QVERIFY(h && h->isModal());
        QCOMPARE(h->aktuelleSeite(), QString("einstellungen.html#reminder"));
        f1(h->Seite);  // F1 in the help above the dialog keeps it usable
        QVERIFY(h->isModal() && h->isVisible());
        QTest::keyClick(h->Seite, Qt::Key_Escape);
        arc.Command7_Click();
        QCoreApplication::processEvents();

        env.app->forms.get<frmVelkora>().findChild<QAction*>("menHilfe")->trigger();
        h = env.app->forms.loaded<frmHilfe>();
        QVERIFY(h && h->isVisible() && !h->isModal());
        QCOMPARE(h->aktuelleSeite(), kStartseite);
    }
};

VELKORA_TEST_MAIN(TstHilfe)
#include "tst_hilfe.moc"
