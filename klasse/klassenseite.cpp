#include "klasse/klassenseite.h"
#include "klasse/klassenversand.h"
#include "klasse/passwort.h"
#include "klasse/pruefung.h"
#include "shell/app.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>

namespace {
Klassenzugang ausFeldern(const Klassenseite& s) {
    Klassenzugang z;
    z.server = s.txtServer->text().trimmed();
    z.port = s.txtPort->value();
    z.datenbank = s.txtDatenbank->text().trimmed();
    z.login = s.txtLogin->text().trimmed();
    z.passwort = s.txtPasswort->text();
    z.tls = !s.chkTls->isChecked()     ? Klassenzugang::Tls::Aus
            : s.chkPruefen->isChecked() ? Klassenzugang::Tls::Pruefen
                                        : Klassenzugang::Tls::Verlangt;
    z.zertifikat = s.txtZertifikat->text().trimmed();
    return z;
}
}  // namespace

Klassenseite::Klassenseite(App& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("TabKlasse"));
    auto* g = new QGridLayout(this);
    g->setContentsMargins(12, 8, 12, 8);
    g->setVerticalSpacing(4);
    int zeile = 0;
    auto feld = [&](QWidget* w, const char* name, const QString& beschriftung, int spalte = 0, int breite = 3) {
        w->setObjectName(QString::fromLatin1(name));
        auto* l = new QLabel(beschriftung, this);
        l->setBuddy(w);
        QString klar = beschriftung;
        w->setAccessibleName(klar.remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        g->addWidget(l, zeile, spalte);
        g->addWidget(w, zeile, spalte + 1, 1, breite);
    };
    txtServer = new QLineEdit(this);
    txtServer->setPlaceholderText(QStringLiteral("z. B. klasse.schule.example"));
    feld(txtServer, "txtServer", QStringLiteral("&Server:"), 0, 1);
    txtPort = new QSpinBox(this);
    txtPort->setRange(1, 65535);
    txtPort->setValue(5432);
    feld(txtPort, "txtPort", QStringLiteral("P&ort:"), 2, 1);
    ++zeile;
    txtDatenbank = new QLineEdit(this);
    feld(txtDatenbank, "txtDatenbank", QStringLiteral("&Datenbank:"));
    ++zeile;
    txtLogin = new QLineEdit(this);
    feld(txtLogin, "txtLogin", QStringLiteral("&Login:"));
    ++zeile;
    txtPasswort = new QLineEdit(this);
    txtPasswort->setEchoMode(QLineEdit::Password);
    feld(txtPasswort, "txtPasswort", QStringLiteral("&Passwort:"));
    ++zeile;
    chkTls = new QCheckBox(QStringLiteral("&Verschlüsselung verlangen (TLS)"), this);
    chkTls->setObjectName(QStringLiteral("chkTls"));
    g->addWidget(chkTls, zeile, 0, 1, 2);
    chkPruefen = new QCheckBox(QStringLiteral("Zertifikat p&rüfen"), this);
    chkPruefen->setObjectName(QStringLiteral("chkPruefen"));
    g->addWidget(chkPruefen, zeile, 2, 1, 2);
    ++zeile;
    txtZertifikat = new QLineEdit(this);
    txtZertifikat->setPlaceholderText(QStringLiteral("leer: die Zertifikate des Systems"));
    feld(txtZertifikat, "txtZertifikat", QStringLiteral("&Zertifikat der Schule:"));
    ++zeile;
    lblPasswortOrt = new QLabel(this);
    lblPasswortOrt->setObjectName(QStringLiteral("lblPasswortOrt"));
    lblPasswortOrt->setWordWrap(true);
    g->addWidget(lblPasswortOrt, zeile++, 0, 1, 4);
    cmdPruefen = new QPushButton(QStringLiteral("Ver&bindung prüfen"), this);
    cmdPruefen->setObjectName(QStringLiteral("cmdPruefen"));
    cmdPruefen->setAutoDefault(false);
    g->addWidget(cmdPruefen, zeile, 0, 1, 1, Qt::AlignTop);
    lblAntwort = new QLabel(this);
    lblAntwort->setObjectName(QStringLiteral("lblAntwort"));
    lblAntwort->setWordWrap(true);
    lblAntwort->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblAntwort->setAccessibleName(QStringLiteral("Antwort des Servers"));
    g->addWidget(lblAntwort, zeile, 1, 2, 3, Qt::AlignTop);
    g->setRowStretch(zeile + 1, 1);
    g->setColumnStretch(1, 1);

    const Klassenzugang z = zugangLesen(app_.store);
    txtServer->setText(z.server);
    txtPort->setValue(z.port);
    txtDatenbank->setText(z.datenbank);
    txtLogin->setText(z.login);
    chkTls->setChecked(z.tls != Klassenzugang::Tls::Aus);
    chkPruefen->setChecked(z.tls == Klassenzugang::Tls::Pruefen);
    txtZertifikat->setText(z.zertifikat);
    const Passwortort ort = passwortort(app_);
    if (ort != Passwortort::Keiner) txtPasswort->setPlaceholderText(QStringLiteral("(gespeichert)"));
    lblPasswortOrt->setText(passwortortText(ort, app_));
    auto freigeben = [this] {
        chkPruefen->setEnabled(chkTls->isChecked());
        txtZertifikat->setEnabled(chkTls->isChecked() && chkPruefen->isChecked());
    };
    connect(chkTls, &QCheckBox::toggled, this, freigeben);
    connect(chkPruefen, &QCheckBox::toggled, this, freigeben);
    freigeben();
    connect(cmdPruefen, &QPushButton::clicked, this, &Klassenseite::pruefen);
}

void Klassenseite::pruefen() {
    Klassenzugang z = ausFeldern(*this);
    if (!z.eingerichtet()) {
        lblAntwort->setText(QStringLiteral("Bitte Server und Login eintragen."));
        return;
    }
    cmdPruefen->setEnabled(false);
    lblAntwort->setText(QStringLiteral("Die Verbindung wird geprüft …"));
    QPointer<Klassenseite> ich(this);
    auto los = [ich](const Klassenzugang& mit) {
        if (!ich) return;
        delete ich->pruefung_;
        ich->pruefung_ = new Verbindungspruefung(mit, ich);
        connect(ich->pruefung_, &Verbindungspruefung::fertig, ich, [ich](bool, const QString& meldung) {
            ich->lblAntwort->setText(meldung);
            ich->cmdPruefen->setEnabled(true);
        });
        ich->pruefung_->starten();
    };
    if (!z.passwort.isEmpty() || passwortort(app_) == Passwortort::Keiner) {
        los(z);
        return;
    }
    passwortLesen(app_, z.login, [z, los](const QString& pw) mutable {
        z.passwort = pw;
        los(z);
    });
}

void Klassenseite::speichern() {
    const Klassenzugang z = ausFeldern(*this);
    zugangSpeichern(app_.store, z);
    App& app = app_;
    if (z.passwort.isEmpty()) {
        app.klasse().anstossen();
        return;
    }
    passwortSpeichern(app, z.login, z.passwort, [&app](Passwortort) { app.klasse().anstossen(); });
}
