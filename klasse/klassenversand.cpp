#include "klasse/klassenversand.h"
#include "klasse/passwort.h"
#include "shell/app.h"
#include "trainer/frmSchreiben.h"

#include <QAccessible>
#include <QLabel>
#include <QSqlDatabase>
#include <QThread>
#include <QTimer>

Sendearbeiter::Sendearbeiter(const QString& datei, const QString& abgewiesen, const QString& name, int wiederMs)
    : datei_(datei), abgewiesen_(abgewiesen), name_(name), wieder_(new QTimer(this)) {
    wieder_->setSingleShot(true);
    wieder_->setInterval(wiederMs);
    connect(wieder_, &QTimer::timeout, this, [this] { senden(zugang_); });
}

Sendearbeiter::~Sendearbeiter() {
    if (QSqlDatabase::contains(name_)) {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
}

void Sendearbeiter::senden(const Klassenzugang& z) {
    zugang_ = z;
    wieder_->stop();
    const Sendebericht b = warteSenden(z, datei_, abgewiesen_, name_);
    emit gesendet(b.gesendet, b.wartend, b.fehler);
    if (b.wartend > 0) wieder_->start();
}

Klassenversand::Klassenversand(App& app) : app_(app) {}

Klassenversand::~Klassenversand() {
    if (thread_) {
        // The worker and its connection end in their own thread.
        QMetaObject::invokeMethod(arbeiter_, [a = arbeiter_] {
            delete a;
            QThread::currentThread()->quit();
        }, Qt::QueuedConnection);
        thread_->wait();
        delete thread_;
    }
}

void Klassenversand::ergebnisGespeichert(const QList<Tabellenzeile>& zeilen) {
    if (zeilen.isEmpty()) return;
    const Klassenzugang z = zugangLesen(app_.store);
    if (!z.eingerichtet()) return;  // no class joined: nothing is sent, nothing waits
    if (!warteAnhaengen(klassenWarteDatei(app_.userDataDir()), zeilen)) {
        setzeStatus(kStatusWartet, QStringLiteral("Die Datei der wartenden Ergebnisse lässt sich nicht schreiben."));
        return;
    }
    if (passwortDa_ && z.server == zugang_.server && z.login == zugang_.login && z.port == zugang_.port &&
        z.datenbank == zugang_.datenbank && z.tls == zugang_.tls) {
        sendenMit(zugang_);
        return;
    }
    anstossen();
}

void Klassenversand::anstossen() {
    Klassenzugang z = zugangLesen(app_.store);
    if (!z.eingerichtet()) {
        passwortDa_ = false;
        setzeStatus(QString());
        return;
    }
    QPointer<Klassenversand> ich(this);
    passwortLesen(app_, z.login, [ich, z](const QString& pw) mutable {
        if (!ich) return;
        z.passwort = pw;
        ich->zugang_ = z;
        ich->passwortDa_ = true;
        ich->sendenMit(z);
    });
}

void Klassenversand::sendenMit(const Klassenzugang& z) {
    if (warteLesen(klassenWarteDatei(app_.userDataDir())).isEmpty()) return;
    if (!thread_) {
        thread_ = new QThread;
        thread_->setObjectName(QStringLiteral("Klassenversand"));
        arbeiter_ = new Sendearbeiter(klassenWarteDatei(app_.userDataDir()), klassenAbgewiesenDatei(app_.userDataDir()),
                                      QStringLiteral("klasse-versand-%1").arg(quintptr(this)), wiederMs_);
        arbeiter_->moveToThread(thread_);
        connect(arbeiter_, &Sendearbeiter::gesendet, this,
                [this](int gesendet, int wartend, const QString& fehler) {
                    if (wartend > 0) setzeStatus(kStatusWartet, fehler);
                    else if (gesendet > 0 || !status_.isEmpty()) setzeStatus(kStatusGesendet);
                },
                Qt::QueuedConnection);
        thread_->start();
    }
    if (status_.isEmpty()) setzeStatus(kStatusSendet);
    QMetaObject::invokeMethod(arbeiter_, [a = arbeiter_, z] { a->senden(z); }, Qt::QueuedConnection);
}

void Klassenversand::setzeStatus(const QString& s, const QString& lang) {
    const bool neu = s != status_ || lang != langtext_;
    status_ = s;
    langtext_ = lang;
    anzeigen();
    if (neu) emit statusGeaendert(s);
}

void Klassenversand::anzeigen() {
    frmSchreiben* w = app_.forms.loaded<frmSchreiben>();
    if (!w) {
        // At start-up the status may come before the writing window: it is
        // shown as soon as the window is there.
        if (!status_.isEmpty() && !wartetAufFenster_) {
            wartetAufFenster_ = true;
            QTimer::singleShot(500, this, [this] {
                wartetAufFenster_ = false;
                anzeigen();
            });
        }
        return;
    }
    if (!label_) {
        label_ = new QLabel(w);
        label_->setObjectName(QStringLiteral("klasseStatus"));
        label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QFont f = label_->font();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        label_->setFont(f);
    }
    label_->setText(status_.isEmpty() ? QString() : QStringLiteral("Klasse: ") + status_);
    label_->setToolTip(langtext_);
    label_->setAccessibleName(status_.isEmpty() ? QString() : QStringLiteral("Klasse: ") + status_);
    label_->setAccessibleDescription(langtext_);
    label_->adjustSize();
    label_->move(w->width() - label_->width() - 8, w->height() - label_->height() - 2);
    label_->setVisible(!status_.isEmpty());
    label_->raise();
    QAccessibleEvent e(label_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&e);
}
