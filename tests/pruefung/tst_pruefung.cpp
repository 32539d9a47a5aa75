#include "pruefung/abschrift.h"
#include "pruefung/frmAbschrift.h"
#include "pruefung/notenseite.h"
#include "settings/frmarc.h"
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include "lessons/frmLek.h"
#include "stats/datenbank.h"
#include "testenv.h"

#include "platform/richtextview.h"
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QTabWidget>

namespace {
const QString kQuelle = QStringLiteral(
    "Sehr geehrte Frau Beispiel,\r\n"
    "vielen Dank für Ihre Bestellung vom 20. Februar.\r\n"
    "Leider verzögert sich die Lieferung um zwei Wochen.\r\n"
    "Wir bitten um Ihr Verständnis.");
const QString Z1 = QStringLiteral("Sehr geehrte Frau Beispiel,\n");
const QString Z2 = QStringLiteral("vielen Dank für Ihre Bestellung vom 20. Februar.\n");
const QString Z3 = QStringLiteral("Leider verzögert sich die Lieferung um zwei Wochen.\n");
const QString Z4 = QStringLiteral("Wir bitten um Ihr Verständnis.");

QString ers(const QString& t, const char* alt, const char* neu) {
    return QString(t).replace(QString::fromUtf8(alt), QString::fromUtf8(neu));
}
// One letter per kind of error, in the order found.
QString arten(const Abschriftzaehlung& z) {
    QString s;
    for (const Abschriftfehler& f : z.fehler) s += QStringLiteral("FMXTZGR").at(int(f.art));
    return s;
}
}  // namespace

class TestPruefung : public QObject {
    Q_OBJECT
private slots:
    void zaehlen_data();
    void zaehlen();
    void note_data();
    void note();
    void schluesselImSpeicher();
    void pruefungImFenster();
};

void TestPruefung::zaehlen_data() {
    QTest::addColumn<QString>("kopie");
    QTest::addColumn<QString>("arten");
    QTest::addColumn<QString>("erstesQuelle");  // the source text of the first error
    const QString alles = Z1 + Z2 + Z3 + Z4;
    QTest::newRow("gleich") << alles << "" << "";
    QTest::newRow("leer") << QString() << "" << "";
    QTest::newRow("bis zur Mitte, Rest fehlt nicht") << Z1 + Z2 << "" << "";
    QTest::newRow("endet im Wort") << Z1 + QStringLiteral("vielen Da") << "" << "";
    QTest::newRow("Wortanfang falsch am Ende") << Z1 + QStringLiteral("vielen Dx") << "F" << "Dank";
    QTest::newRow("ein falscher Buchstabe") << ers(alles, "geehrte", "geehrtw") << "F" << "geehrte";
    QTest::newRow("drei falsche Buchstaben") << ers(alles, "Bestellung", "Bxstxllxng") << "F"
                                             << "Bestellung";
    QTest::newRow("groß statt klein") << ers(alles, "vielen", "Vielen") << "F" << "vielen";
    // Equally many errors either way: the wrong word is the one it resembles.
    QTest::newRow("falsches Wort neben fehlendem") << ers(alles, "Frau Beispiel", "Fra") << "FM" << "Frau";
    QTest::newRow("fehlendes Wort") << ers(alles, "für Ihre", "für") << "M" << "Ihre";
    QTest::newRow("zusätzliches Wort") << ers(alles, "vielen Dank", "vielen herzlichen Dank")
                                       << "X" << "";
    QTest::newRow("Wort doppelt") << ers(alles, "um zwei", "um um zwei") << "X" << "";
    QTest::newRow("vertauscht") << ers(alles, "vielen Dank", "Dank vielen") << "T" << "vielen Dank";
    QTest::newRow("fehlender Leerraum") << ers(alles, "Frau Beispiel", "FrauBeispiel") << "Z"
                                        << "Frau Beispiel,";
    QTest::newRow("Leerraum im Wort") << ers(alles, "Bestellung", "Bestel lung") << "G"
                                      << "Bestellung";
    QTest::newRow("zwei Leerzeichen") << ers(alles, "Frau Beispiel", "Frau  Beispiel") << "R"
                                      << " ";
    QTest::newRow("Umbruch statt Leerzeichen") << ers(alles, "Dank für", "Dank\nfür") << "R" << " ";
    QTest::newRow("Zeilenumbruch fehlt") << ers(alles, "Beispiel,\nvielen", "Beispiel, vielen")
                                         << "R" << "\r\n";
    QTest::newRow("Blank vor Umbruch unsichtbar") << ers(alles, "Beispiel,\n", "Beispiel, \n")
                                                  << "" << "";
    QTest::newRow("Zeile doppelt") << Z1 + Z2 + Z2 + Z3 + Z4 << "XXXXXXXX" << "";
    QTest::newRow("Zeile ausgelassen") << Z1 + Z3 + Z4 << "MMMMMMMM" << "vielen";
    QTest::newRow("Zeile ausgelassen, danach ein Fehler")
        << Z1 + Z3 + ers(Z4, "bitten", "biten") << "MMMMMMMMF" << "vielen";
    QTest::newRow("Korrektur erlaubt") << tastenfolgeAnwenden(QStringLiteral("Sehr geehtr\b\brte"), true) << ""
                                       << "";
    QTest::newRow("Korrektur nicht erlaubt") << tastenfolgeAnwenden(QStringLiteral("Sehr geehtr\b\brte"), false)
                                             << "F" << "geehrte";
    QTest::newRow("fünf Fehler verschiedener Art")
        << QStringLiteral("Sehr geehrte FrauBeispiel,\nvielen Dank für Bestellung vom 20. Februar.\n"
                          "Leider verzögert sich die die Lieferung zwei um Wochen.\nWir bitten um ihr Verständnis.")
        << "ZMXTF" << "Frau Beispiel,";
    // A long source: the alignment finds its way after a skipped line far in.
    QString lang, langKopie;
    for (int i = 0; i < 80; ++i) {
        const QString zeile = QStringLiteral("Zeile %1 des langen Textes mit Wörtern.\r\n").arg(i);
        lang += zeile;
        if (i != 40 && i < 75) langKopie += QString(zeile).remove(u'\r');
    }
    QTest::newRow("lang, eine Zeile ausgelassen") << QStringLiteral("L") + langKopie << "MMMMMMM" << "*";  // which seven words of the repeated ones is open
    QTest::newRow("lang, gleich") << QStringLiteral("L") + lang << "" << "";
}

void TestPruefung::zaehlen() {
    QFETCH(QString, kopie);
    QFETCH(QString, arten);
    QFETCH(QString, erstesQuelle);
    QString quelle = kQuelle;
    if (kopie.startsWith(u'L')) {  // the long rows carry their source in the copy
        quelle.clear();
        for (int i = 0; i < 80; ++i) quelle += QStringLiteral("Zeile %1 des langen Textes mit Wörtern.\r\n").arg(i);
        kopie.remove(0, 1);
    }
    const Abschriftzaehlung z = abschriftZaehlen(quelle, kopie);
    QCOMPARE(::arten(z), arten);
    if (!z.fehler.isEmpty() && erstesQuelle != u"*")
        QCOMPARE(quelle.mid(z.fehler[0].quelleAnfang, z.fehler[0].quelleLaenge), erstesQuelle);
    QCOMPARE(z.brutto, int(kopie.size() - kopie.count(QStringLiteral("\r\n"))));  // CR LF is one
}

void TestPruefung::note_data() {
    QTest::addColumn<int>("brutto");
    QTest::addColumn<int>("fehler");
    QTest::addColumn<double>("sekunden");
    QTest::addColumn<double>("netto");
    QTest::addColumn<double>("quote");
    QTest::addColumn<int>("note");
    // The shipped key: 220/0.25, 190/0.5, 160/0.75, 130/1, 100/1.5; ten off per error.
    QTest::newRow("1 genau an der Grenze") << 2250 << 5 << 600.0 << 220.0 << 0.22 << 1;
    QTest::newRow("1 verfehlt um einen Anschlag") << 2240 << 5 << 600.0 << 219.0 << 0.22 << 2;
    QTest::newRow("Quote genau 0,25") << 2400 << 6 << 600.0 << 234.0 << 0.25 << 1;
    QTest::newRow("Quote knapp über 0,25") << 2390 << 6 << 600.0 << 233.0 << 0.25 << 1;
    QTest::newRow("Quote 0,26") << 2300 << 6 << 600.0 << 224.0 << 0.26 << 2;
    QTest::newRow("2 an beiden Grenzen") << 2000 << 10 << 600.0 << 190.0 << 0.5 << 2;
    QTest::newRow("3 an beiden Grenzen") << 1200 << 9 << 300.0 << 222.0 << 0.75 << 3;
    QTest::newRow("4 Netto genau 130") << 1400 << 10 << 600.0 << 130.0 << 0.71 << 4;
    QTest::newRow("5 an beiden Grenzen") << 1000 << 15 << 300.0 << 170.0 << 1.5 << 5;
    QTest::newRow("6 Netto 99") << 1090 << 10 << 600.0 << 99.0 << 0.92 << 6;
    QTest::newRow("6 Quote über 1,5") << 2000 << 31 << 300.0 << 338.0 << 1.55 << 6;
    QTest::newRow("nie unter null") << 100 << 50 << 60.0 << 0.0 << 50.0 << 6;
    QTest::newRow("nichts getippt") << 0 << 0 << 60.0 << 0.0 << 0.0 << 6;
}

void TestPruefung::note() {
    QFETCH(int, brutto);
    QFETCH(int, fehler);
    QFETCH(double, sekunden);
    const Abschriftwerte w = abschriftWerte(brutto, fehler, sekunden, standardNotenschluessel());
    QTEST(w.netto, "netto");
    QTEST(w.quote, "quote");
    QTEST(w.note, "note");
}

void TestPruefung::schluesselImSpeicher() {
    TestEnv env;
    App& app = *env.app;
    QCOMPARE(notenschluesselLesen(app), standardNotenschluessel());
    app.SaveSetting(QStringLiteral("Abschrift"), QStringLiteral("Note1Netto"), QStringLiteral("250,5"));
    app.SaveSetting(QStringLiteral("Abschrift"), QStringLiteral("Note2Quote"), QStringLiteral("viel"));
    app.SaveSetting(QStringLiteral("Abschrift"), QStringLiteral("Abzug"), QStringLiteral("-3"));
    Notenschluessel s = notenschluesselLesen(app);
    QCOMPARE(s.mindestNetto[0], 250.5);
    QCOMPARE(s.hoechstQuote[1], standardNotenschluessel().hoechstQuote[1]);
    QCOMPARE(s.abzugJeFehler, standardNotenschluessel().abzugJeFehler);
    s.abzugJeFehler = 20;
    QVERIFY(notenschluesselSpeichern(app, s));
    QCOMPARE(notenschluesselLesen(app), s);
    // The teacher's page of the settings dialog: shown as stored, stored by "OK".
    frmarc& d = app.forms.get<frmarc>();
    auto* seite = d.findChild<Notenschluesselseite*>();
    QCOMPARE(seite->schluessel(), s);
    seite->spnQuote[5]->setValue(42);
    d.Command14->click();
    QCOMPARE(notenschluesselLesen(app).hoechstQuote[5], 42.0);
}

namespace {
// What pdftotext reads from a PDF, and its number of pages (pdfinfo).
QString pdfText(const QString& datei) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), datei, QStringLiteral("-")});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
int pdfSeiten(const QString& datei) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {datei});
    p.waitForFinished(20000);
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype i = info.indexOf(QStringLiteral("Pages:"));
    return i < 0 ? -1 : info.mid(i + 6).section(u'\n', 0, 0).trimmed().toInt();
}
}  // namespace

// The whole way: the tab starts a shipped text, the test runs without
// corrections, ends when the time is up, is marked, stored and printed.
void TestPruefung::pruefungImFenster() {
    TestEnv env;
    App& app = *env.app;
    app.opt.benutzer = QStringLiteral("Erika Mustermann");
    frmLek& lek = app.forms.get<frmLek>();
    QCOMPARE(lek.SSTab1->tabText(lek.SSTab1->indexOf(lek.findChild<AbschriftAuswahl*>())),
             QStringLiteral("Abschrift"));
    auto* wahl = lek.findChild<AbschriftAuswahl*>();
    QVERIFY(wahl);
    QVERIFY(wahl->cboText->count() >= 6);
    wahl->cboDauer->setCurrentIndex(0);
    wahl->chkKorrektur->setChecked(false);
    QVERIFY(wahl->cmdStart_Click());
    auto* f = app.forms.loaded<frmAbschrift>();
    QVERIFY(f && f->laeuft());
    QVERIFY(!lek.Timer3->isActive());  // the ordinary stopwatch stands
    QVERIFY(f->rtbVorlage->text().size() > 4000);
    // An own file goes through the checks of own texts: a binary one is
    // refused with a message, a UTF-8 one becomes the source, titled by its name.
    env.writeFile(QStringLiteral("\\bild.txt"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    QVERIFY(!wahl->dateiStarten(env.programDir() + QStringLiteral("/bild.txt")));
    QCOMPARE(env.services.messages.size(), 1);
    env.writeFile(QStringLiteral("\\Brief.txt"), QStringLiteral("Größe\nzählt").toUtf8());
    QVERIFY(wahl->dateiStarten(env.programDir() + QStringLiteral("/Brief.txt")));
    QCOMPARE(f->lblTitel->text(), QStringLiteral("Brief.txt"));
    QCOMPARE(f->rtbVorlage->text(), QStringLiteral("Größe\r\nzählt"));

    f->starten(QStringLiteral("Probe"), kQuelle, 60, false);
    QTest::keyClicks(f->txtAbschrift, QStringLiteral("Sehr geehtr"));
    QTest::keyClick(f->txtAbschrift, Qt::Key_Backspace);
    QTest::keyClick(f->txtAbschrift, Qt::Key_Left);
    QTest::keyClicks(f->txtAbschrift, QStringLiteral("te Frau"));
    env.services.uhr += 59000;
    f->tmrUhr_Timer();
    QVERIFY(f->laeuft());
    env.services.uhr += 1000;
    f->tmrUhr_Timer();
    QVERIFY(!f->laeuft() && f->txtAbschrift->isReadOnly());
    QCOMPARE(f->txtAbschrift->toPlainText(), QStringLiteral("Sehr geehtrte Frau"));
    QCOMPARE(f->werte().fehler, 1);
    QCOMPARE(f->werte().brutto, 18);
    QCOMPARE(f->werte().anschlaege, 18.0);
    // Marked in colour and underlined, in the source and in the copy.
    QCOMPARE(f->rtbVorlage->charColor(int(kQuelle.indexOf(QStringLiteral("geehrte")))), QColor(192, 0, 0));
    QVERIFY(f->rtbVorlage->charMarker(int(kQuelle.indexOf(QStringLiteral("geehrte")))));
    QVERIFY(!f->rtbVorlage->charMarker(0));
    QCOMPARE(f->txtAbschrift->extraSelections().size(), 1);
    QVERIFY(f->txtAbschrift->extraSelections()[0].format.fontUnderline());

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("pruefen"));
        db.setDatabaseName(env.programDir() + QStringLiteral("/velkora.mdb"));
        QVERIFY(db.open());
        QSqlQuery q(QStringLiteral("SELECT a.IDLektion, a.fehler, b.brutto, b.note, b.abschrift, b.korrektur "
                                   "FROM Abschrift b JOIN Ablage m ON m.ergebnis = b.ergebnis "
                                   "JOIN Auswertung a ON a.IDDatensatz = m.IDDatensatz"),
                    db);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 103);
        QCOMPARE(q.value(1).toInt(), 1);
        QCOMPARE(q.value(2).toInt(), 18);
        QCOMPARE(q.value(3).toInt(), 6);
        QCOMPARE(q.value(4).toString(), QStringLiteral("Sehr geehtrte Frau"));
        QCOMPARE(q.value(5).toInt(), 0);
        QVERIFY(!q.next());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("pruefen"));

    // The certificate: one page for a short copy, at most two for a long one.
    env.services.saveAnswer = env.programDir() + QStringLiteral("/bescheinigung.pdf");
    f->cmdDrucken_Click();
    const QString text = pdfText(env.services.saveAnswer);
    QVERIFY2(text.contains(QStringLiteral("Erika Mustermann")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("6 (ungenügend)")));
    QVERIFY(text.contains(QStringLiteral("geehtrte")));
    QCOMPARE(pdfSeiten(env.services.saveAnswer), 1);
    Bescheinigung lang;
    lang.name = QStringLiteral("Max Muster");
    lang.datum = QDateTime::currentDateTime();
    lang.titel = QStringLiteral("Lang");
    for (int i = 0; i < 70; ++i) lang.kopie += QStringLiteral("Eine lange Zeile der Abschrift mit Fehler %1 darin.\n").arg(i);
    lang.zaehlung = abschriftZaehlen(lang.kopie, lang.kopie);
    lang.schluessel = standardNotenschluessel();
    const QString langPdf = env.programDir() + QStringLiteral("/lang.pdf");
    QVERIFY(bescheinigungSchreiben(langPdf, lang));
    QVERIFY(pdfSeiten(langPdf) >= 1 && pdfSeiten(langPdf) <= 2);
    QVERIFY(pdfText(langPdf).contains(QStringLiteral("Max Muster")));
}

VELKORA_TEST_MAIN(TestPruefung)
#include "tst_pruefung.moc"
