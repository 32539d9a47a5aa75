// Renders the program's windows offscreen into the pictures of the
// handbook, so that they always show the program as it is built:
//   velkora_hilfebilder <program directory> <empty databases folder> <picture folder>
// The windows run over copies of the data files, with settings and results
// of their own in a temporary folder; the real user's files stay untouched.
#include "hilfe/frmHilfe.h"
#include "insight/frmFortschritt.h"
#include "insight/frmTasten.h"
#include "keypad/frmNumBlock.h"
#include "lessons/frmLek.h"
#include "platform/fonts.h"
#include "platform/richtextview.h"
#include "platform/services.h"
#include "platform/settingsstore.h"
#include "settings/frmarc.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"
#include "stats/diagramm.h"
#include "stats/frmStatistik.h"
#include "trainer/frmSchreiben.h"
#include "windows/frmGym.h"
#include "windows/frmTip.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// Asks nothing of the desktop: no box waits for a click, nothing sounds.
class Still : public PlatformServices {
public:
    int msgBox(QWidget*, const QString&, int, const QString&) override { return Msg::Ok; }
    void beep() override {}
    void playSound(const QString&) override {}
    bool shellOpen(const QString&) override { return true; }
    bool startEditor() override { return true; }
    QPoint cursorPos() override { return {}; }
    std::optional<QColor> screenPixel(const QPoint&) override { return std::nullopt; }
    qint64 monotonicMs() override { return 0; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    void sprechen(const QString&, bool) override {}  // pictures are silent
};

QString ziel;
int fehler = 0;

void sichern(QWidget* w, const char* name) {
    if (!w->isVisible()) w->show();
    QApplication::processEvents();
    const QString pfad = ziel + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    if (!w->grab().save(pfad)) {
        std::fprintf(stderr, "velkora_hilfebilder: %s not written\n", qPrintable(pfad));
        ++fehler;
    }
}

// Types text (letters, digits, blanks, line breaks) as keys into a box.
void tippen(QWidget* box, const QString& text) {
    for (QChar c : text) {
        if (c == QLatin1Char('\n')) continue;
        const int taste = c == QLatin1Char('\r') ? int(Qt::Key_Return) : int(c.toUpper().unicode());
        const QString zeichen = c == QLatin1Char('\r') ? QStringLiteral("\r") : QString(c);
        QKeyEvent runter(QEvent::KeyPress, taste, Qt::NoModifier, zeichen);
        QCoreApplication::sendEvent(box, &runter);
        QKeyEvent hoch(QEvent::KeyRelease, taste, Qt::NoModifier, zeichen);
        QCoreApplication::sendEvent(box, &hoch);
    }
}

// A few finished exercises, so that the statistics show figures.
void beispielergebnisse(const QString& dir) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("beispiel"));
        db.setDatabaseName(dir + QStringLiteral("/velkora.mdb"));
        if (db.open()) {
            QSqlQuery q(db);
            const struct { const char* datum; int lektion, zeichen; double minuten, fehler; int anschlaege; } zeilen[] = {
                {"2026-11-02", 1, 180, 1.5, 4, 120}, {"2026-11-03", 1, 180, 1.25, 1, 144},
                {"2026-11-03", 2, 200, 1.6, 6, 125}, {"2026-11-05", 3, 210, 1.5, 2, 140},
                {"2026-11-06", 19, 320, 2.5, 9, 128}};
            for (const auto& z : zeilen)
                q.exec(QStringLiteral("INSERT INTO Auswertung (Datum, Zeit, IDLektion, MaximalPunkte, stoppzeit, "
                                      "zaehler, fehler, ergebnis, anschlaege) VALUES ('%7', '17:30:00', "
                                      "%1, %2, %3, %2, %4, %5, %6)")
                           .arg(z.lektion).arg(z.zeichen).arg(z.minuten).arg(z.fehler)
                           .arg(qRound(z.fehler / z.zeichen * 100)).arg(z.anschlaege)
                           .arg(QLatin1String(z.datum)));
            // Per-key records of the home row and a few more keys: the
            // running totals follow by themselves.
            const QString zeichen = QStringLiteral("asdfghjklö eirunwoät");
            for (int i = 0; i < zeichen.size(); ++i) {
                const int n = 30 + 11 * i;
                q.exec(QStringLiteral("INSERT INTO Tastenwerte VALUES ('beispiel', '2026-11-06', '%1', %2, %3, %4, %2)")
                           .arg(zeichen[i]).arg(n).arg((i * 7) % 9).arg(n * (180 + (i * 37) % 200)));
            }
        }
        db.close();
        QSqlDatabase f = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("finger"));
        f.setDatabaseName(dir + QStringLiteral("/finger.mdb"));
        if (f.open()) {
            QSqlQuery q(f);
            for (const char* werte : {"3,1,0,1,1,0,0,1,0,0,0,1", "1,0,0,0,1,0,0,0,0,0,0,0",
                                      "4,0,0,3,1,0,0,0,2,0,0,2", "1,0,1,0,0,0,0,0,0,1,0,1",
                                      "5,2,1,1,1,0,0,2,1,1,0,4"})
                q.exec(QStringLiteral("INSERT INTO fehlerliste VALUES (%1)").arg(QLatin1String(werte)));
        }
        f.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("beispiel"));
    QSqlDatabase::removeDatabase(QStringLiteral("finger"));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: velkora_hilfebilder <program directory> <databases> <picture folder>\n");
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication::setApplicationName(QStringLiteral("VelkoraHilfebilder"));
    installFontSubstitutes();
    const QString programm = QString::fromLocal8Bit(argv[1]);
    const QString datenbanken = QString::fromLocal8Bit(argv[2]);
    ziel = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(ziel);

    QTemporaryDir tmp;
    const QDir quelle(programm);
    for (const QString& f : quelle.entryList({"*.inf", "*.txt", "*.TXT", "*.wav", "*.WAV", "*.ani", "*.AVI"},
                                             QDir::Files))
        QFile::copy(quelle.filePath(f), tmp.filePath(f));
    for (const QString& f : QDir(datenbanken).entryList({"*.mdb"}, QDir::Files)) {
        QFile::copy(QDir(datenbanken).filePath(f), tmp.filePath(f));
        QFile::setPermissions(tmp.filePath(f), QFile::permissions(tmp.filePath(f)) | QFile::WriteOwner);
    }
    beispielergebnisse(tmp.path());
    // The handbook's pages, which lie above the picture folder.
    const QDir seiten(ziel + QStringLiteral("/.."));
    QDir().mkpath(tmp.filePath(QStringLiteral("hilfe")));
    for (const QString& f : seiten.entryList({"*.html", "*.css"}, QDir::Files))
        QFile::copy(seiten.filePath(f), tmp.filePath(QStringLiteral("hilfe/") + f));

    SettingsStore store(tmp.filePath(QStringLiteral("Velkora.ini")));
    Still still;
    App app(tmp.path(), store, still);
    frmVelkora& haupt = app.forms.get<frmVelkora>();
    haupt.show();
    frmSchreiben& s = app.forms.get<frmSchreiben>();

    // The writing window during lesson 1, after some keys and half a minute.
    s.Command7->click();
    frmLek& lek = app.forms.get<frmLek>();
    sichern(&lek, "lektionen");
    lek.Command1->click();
    tippen(s.Text1, s.rtb1->text().left(26));
    for (int i = 0; i < 12; ++i) lek.Timer3_Timer();
    sichern(&haupt, "schreibfenster");

    s.statistikOeffnen(true);
    sichern(&haupt, "statistik");
    sichern(&app.forms.get<chart>(), "diagramm");

    sichern(&app.forms.get<frmTasten>(), "tasten");
    sichern(&app.forms.get<frmFortschritt>(), "fortschritt");

    frmarc& arc = app.forms.get<frmarc>();
    arc.zeigen(frmarc::TabFarbdesign);
    sichern(&arc, "einstellungen");
    arc.Command7_Click();

    frmNumBlock& num = app.forms.get<frmNumBlock>();
    num.zeigen();
    sichern(&num, "nummernblock");

    frmTip& tip = app.forms.get<frmTip>();
    tip.zeigen();
    sichern(&tip, "tipps");
    frmGym& gym = app.forms.get<frmGym>();
    gym.zeigen();
    sichern(&gym, "gymnastik");

    frmHilfe& hilfe = app.forms.get<frmHilfe>();
    hilfe.zeigen(QStringLiteral("bewertung.html"));
    sichern(&hilfe, "hilfe");
    return fehler == 0 ? 0 : 1;
}
