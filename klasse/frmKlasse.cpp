#include "klasse/frmKlasse.h"
#include "insight/export.h"
#include "klasse/zugang.h"
#include "platform/services.h"
#include "shell/app.h"

#include <QAbstractButton>
#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QSqlDatabase>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>

namespace {
// A cell that sorts by its number (or date), not by its text.
class Zelle : public QTableWidgetItem {
public:
    Zelle(const QString& text, const QVariant& schluessel) : QTableWidgetItem(text) {
        setData(Qt::UserRole, schluessel);
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    bool operator<(const QTableWidgetItem& o) const override {
        const QVariant a = data(Qt::UserRole), b = o.data(Qt::UserRole);
        if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
            return QString::localeAwareCompare(a.toString(), b.toString()) < 0;
        return QVariant::compare(a, b) == QPartialOrdering::Less;
    }
};

QString zahl(const std::optional<double>& v, int stellen) {
    return v ? QLocale(QLocale::German, QLocale::Germany).toString(*v, 'f', stellen) : QString();
}
QVariant schluessel(const std::optional<double>& v) { return v ? QVariant(*v) : QVariant(-1.0); }
QString tag(const QDate& d) { return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString(); }

QTableWidget* tabelle(QWidget* parent, const char* name, const QStringList& spalten, const QString& zugang) {
    auto* t = new QTableWidget(0, int(spalten.size()), parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setHorizontalHeaderLabels(spalten);
    t->setAccessibleName(zugang);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setTabKeyNavigation(false);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    t->resizeColumnsToContents();  // before any row: the captions are read in full
    t->horizontalHeader()->setAccessibleName(QStringLiteral("Spalten: ") + spalten.join(QStringLiteral(", ")));
    t->verticalHeader()->setAccessibleName(QStringLiteral("Zeilen"));
    for (QAbstractButton* ecke : t->findChildren<QAbstractButton*>())
        ecke->setAccessibleName(QStringLiteral("Alle Zeilen auswählen"));
    return t;
}
}  // namespace

frmKlasse::frmKlasse(App& app) : QWidget(nullptr), app_(app) {
    setObjectName(QStringLiteral("frmKlasse"));
    setWindowTitle(QStringLiteral("Klassenübersicht"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 560);
    auto* g = new QGridLayout(this);
    auto beschriftet = [&](QWidget* w, const char* name, const QString& text, int zeile, int spalte) {
        w->setObjectName(QString::fromLatin1(name));
        auto* l = new QLabel(text, this);
        l->setBuddy(w);
        w->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        g->addWidget(l, zeile, spalte);
        g->addWidget(w, zeile, spalte + 1);
    };
    txtLogin = new QLineEdit(this);
    txtLogin->setPlaceholderText(QStringLiteral("z. B. lehrer-7b"));
    beschriftet(txtLogin, "txtLogin", QStringLiteral("Lehrer-&Login:"), 0, 0);
    txtPasswort = new QLineEdit(this);
    txtPasswort->setEchoMode(QLineEdit::Password);
    beschriftet(txtPasswort, "txtPasswort", QStringLiteral("&Passwort:"), 0, 2);
    datVon = new QDateEdit(QDate::currentDate().addMonths(-6), this);
    datVon->setCalendarPopup(true);
    datVon->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    beschriftet(datVon, "datVon", QStringLiteral("&Von:"), 1, 0);
    datBis = new QDateEdit(QDate::currentDate(), this);
    datBis->setCalendarPopup(true);
    datBis->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    beschriftet(datBis, "datBis", QStringLiteral("&Bis:"), 1, 2);
    cmdAnzeigen = new QPushButton(QStringLiteral("&Anzeigen"), this);
    cmdAnzeigen->setObjectName(QStringLiteral("cmdAnzeigen"));
    cmdAnzeigen->setDefault(true);
    g->addWidget(cmdAnzeigen, 0, 4, 2, 1);

    tabSeiten = new QTabWidget(this);
    tabSeiten->setObjectName(QStringLiteral("tabSeiten"));
    tblSchueler = tabelle(this, "tblSchueler",
                          {"Klasse", "Name", "Übungen", "Letzter Tag", "Anschläge/Min", "Fehler in %",
                           "Höchste bestandene Lektion", "Schwächste Tasten"},
                          QStringLiteral("Schülerinnen und Schüler"));
    tblLektionen = tabelle(this, "tblLektionen",
                           {"Übung", "Übungen", "Schülerinnen und Schüler", "bestanden", "Letzter Tag",
                            "Anschläge/Min", "Fehler in %"},
                           QStringLiteral("Lektionen der Klasse"));
    tabSeiten->addTab(tblSchueler, QStringLiteral("Schülerinnen und Schüler"));
    tabSeiten->addTab(tblLektionen, QStringLiteral("Lektionen"));
    g->addWidget(tabSeiten, 2, 0, 1, 5);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->setAccessibleName(QStringLiteral("Stand der Übersicht"));
    g->addWidget(lblStatus, 3, 0, 1, 3);
    cmdExport = new QPushButton(QStringLiteral("&Exportieren …"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdExport->setEnabled(false);
    g->addWidget(cmdExport, 3, 3);
    cmdClose = new QPushButton(QStringLiteral("Schließen"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    g->addWidget(cmdClose, 3, 4);
    g->setRowStretch(2, 1);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    // Tab follows the order the controls are made in, which is the reading order.

    connect(cmdAnzeigen, &QPushButton::clicked, this, &frmKlasse::anzeigen);
    connect(txtPasswort, &QLineEdit::returnPressed, this, &frmKlasse::anzeigen);
    connect(cmdExport, &QPushButton::clicked, this, &frmKlasse::exportDialog);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
    const QString letzter = app_.GetSetting(QStringLiteral("Klasse"), QStringLiteral("LehrerLogin"));
    txtLogin->setText(letzter);
    lblStatus->setText(QStringLiteral("Bitte mit dem Lehrer-Login der Klasse anmelden."));
}

frmKlasse::~frmKlasse() = default;

void frmKlasse::zeigen() {
    show();
    raise();
    activateWindow();
    (txtLogin->text().isEmpty() ? txtLogin : txtPasswort)->setFocus();
}

void frmKlasse::anzeigen() {
    Klassenzugang z = zugangLesen(app_.store);
    z.login = txtLogin->text().trimmed();
    z.passwort = txtPasswort->text();
    if (z.server.trimmed().isEmpty()) {
        lblStatus->setText(QStringLiteral("Zuerst den Klassenserver eintragen: Optionen, Einstellungen, Reiter "
                                          "„Klasse“."));
        return;
    }
    if (z.login.isEmpty()) {
        lblStatus->setText(QStringLiteral("Bitte das Lehrer-Login eintragen."));
        txtLogin->setFocus();
        return;
    }
    app_.SaveSetting(QStringLiteral("Klasse"), QStringLiteral("LehrerLogin"), z.login);
    const QDate von = qMin(datVon->date(), datBis->date()), bis = qMax(datVon->date(), datBis->date());
    lblStatus->setText(QStringLiteral("Die Übersicht wird gelesen …"));
    cmdAnzeigen->setEnabled(false);
    const quint64 lauf = ++lauf_;
    QPointer<frmKlasse> ich(this);
    static QAtomicInteger<quint64> zaehler = 0;
    const QString name = QStringLiteral("klasse-uebersicht-%1").arg(++zaehler);
    QThread* t = QThread::create([z, von, bis, name, ich, lauf] {
        Klassenbericht b;
        QString fehler;
        if (klasseVerbinden(z, name, 4, &fehler)) {
            b = klassenberichtLesen(QSqlDatabase::database(name, false), von, bis);
            if (!b.fehler.isEmpty())
                b.fehler = QStringLiteral("Die Übersicht kann nicht gelesen werden (ist „%1“ ein Lehrer-Login?).\n"
                                          "(Meldung des Servers: %2)")
                               .arg(z.login, b.fehler);
        } else {
            b.fehler = fehler;
        }
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [ich, lauf, b] {
            if (!ich || lauf != ich->lauf_) return;
            ich->cmdAnzeigen->setEnabled(true);
            ich->fuellen(b);
            emit ich->gelesen();
        }, Qt::QueuedConnection);
    });
    connect(t, &QThread::finished, t, &QObject::deleteLater);
    t->start();
}

void frmKlasse::fuellen(const Klassenbericht& b) {
    bericht_ = b;
    cmdExport->setEnabled(b.fehler.isEmpty());
    if (!b.fehler.isEmpty()) {
        lblStatus->setText(b.fehler);
        return;
    }
    for (QTableWidget* t : {tblSchueler, tblLektionen}) {
        t->setSortingEnabled(false);
        t->setRowCount(0);
    }
    tblSchueler->setRowCount(int(b.schueler.size()));
    for (int i = 0; i < b.schueler.size(); ++i) {
        const Schuelerzeile& s = b.schueler[i];
        const QList<Zelle*> zellen = {
            new Zelle(s.klasse, s.klasse),
            new Zelle(s.name, s.name),
            new Zelle(QString::number(s.uebungen), s.uebungen),
            new Zelle(tag(s.letzterTag), s.letzterTag.isValid() ? s.letzterTag.toJulianDay() : 0),
            new Zelle(zahl(s.anschlaege, 0), schluessel(s.anschlaege)),
            new Zelle(zahl(s.fehlerProzent, 2), schluessel(s.fehlerProzent)),
            new Zelle(s.hoechsteLektion ? uebungsName(s.hoechsteLektion) : QStringLiteral("–"), s.hoechsteLektion),
            new Zelle(s.schwaechsteTasten.join(QStringLiteral(", ")), s.schwaechsteTasten.join(QString())),
        };
        for (int k = 0; k < zellen.size(); ++k) tblSchueler->setItem(i, k, zellen[k]);
    }
    tblLektionen->setRowCount(int(b.lektionen.size()));
    for (int i = 0; i < b.lektionen.size(); ++i) {
        const Lektionszeile& l = b.lektionen[i];
        const QString name = uebungsName(l.lektion);
        const QList<Zelle*> zellen = {
            new Zelle(name.isEmpty() ? QString::number(l.lektion) : name, l.lektion),
            new Zelle(QString::number(l.uebungen), l.uebungen),
            new Zelle(QString::number(l.schueler), l.schueler),
            new Zelle(QString::number(l.bestanden), l.bestanden),
            new Zelle(tag(l.letzterTag), l.letzterTag.isValid() ? l.letzterTag.toJulianDay() : 0),
            new Zelle(zahl(l.anschlaege, 0), schluessel(l.anschlaege)),
            new Zelle(zahl(l.fehlerProzent, 2), schluessel(l.fehlerProzent)),
        };
        for (int k = 0; k < zellen.size(); ++k) tblLektionen->setItem(i, k, zellen[k]);
    }
    for (QTableWidget* t : {tblSchueler, tblLektionen}) {
        t->setSortingEnabled(true);
        t->resizeColumnsToContents();
    }
    qint64 uebungen = 0;
    for (const Schuelerzeile& s : b.schueler) uebungen += s.uebungen;
    lblStatus->setText(QStringLiteral("%1 Schülerinnen und Schüler, %2 %3 vom %4 bis %5.")
                           .arg(b.schueler.size())
                           .arg(uebungen)
                           .arg(uebungen == 1 ? QStringLiteral("Übung") : QStringLiteral("Übungen"))
                           .arg(datVon->date().toString(QStringLiteral("dd.MM.yyyy")),
                                datBis->date().toString(QStringLiteral("dd.MM.yyyy"))));
}

QString frmKlasse::exportieren(const QString& datei) {
    const QString zweite = lektionsDateiFuer(datei);
    for (const auto& [pfad, inhalt] : {std::pair{datei, schuelerCsv(bericht_)}, {zweite, lektionenCsv(bericht_)}}) {
        QSaveFile f(pfad);
        if (!f.open(QIODevice::WriteOnly) || f.write(inhalt) != inhalt.size() || !f.commit())
            return QStringLiteral("„%1“ konnte nicht geschrieben werden: %2")
                .arg(QDir::toNativeSeparators(pfad), f.errorString());
    }
    return QStringLiteral("Die Übersicht steht in „%1“, die Lektionen in „%2“.")
        .arg(QDir::toNativeSeparators(datei), QDir::toNativeSeparators(zweite));
}

void frmKlasse::exportDialog() {
    const QString datei = app_.services.saveFileName(
        this, QStringLiteral("Klassenübersicht exportieren"),
        QDir::home().filePath(QStringLiteral("klassenuebersicht.csv")), QStringLiteral("CSV-Dateien (*.csv)"));
    if (datei.isEmpty()) return;
    app_.services.msgBox(this, exportieren(datei), Msg::Information);
}
