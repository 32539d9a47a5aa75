#include "klasse/passwort.h"
#include "shell/app.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace {
const QString kDienst = QStringLiteral("Velkora Klasse");
bool nurDatei_ = false;
// A keyring that does not answer in this time counts as none.
constexpr int kSchluesselbundFristMs = 3000;

void ortMerken(App& app, Passwortort ort) {
    app.SaveSetting(QStringLiteral("Klasse"), QStringLiteral("PasswortOrt"),
                    ort == Passwortort::Schluesselbund ? QStringLiteral("schluesselbund")
                    : ort == Passwortort::Datei        ? QStringLiteral("datei")
                                                       : QString());
}

bool dateiSchreiben(const QString& datei, const QString& passwort) {
    QDir().mkpath(QFileInfo(datei).absolutePath());
    QSaveFile f(datei);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    f.write(passwort.toUtf8());
    return f.commit();
}

// Runs fertig(ok) once: when the job ends or when the keyring keeps silent.
void jobAbwarten(QKeychain::Job* job, std::function<void(bool)> fertig) {
    auto einmal = std::make_shared<bool>(false);
    auto* frist = new QTimer(job);
    frist->setSingleShot(true);
    QObject::connect(frist, &QTimer::timeout, [einmal, fertig] {
        if (*einmal) return;
        *einmal = true;
        fertig(false);
    });
    QObject::connect(job, &QKeychain::Job::finished, [einmal, fertig](QKeychain::Job* j) {
        if (*einmal) return;
        *einmal = true;
        fertig(j->error() == QKeychain::NoError);
    });
    frist->start(kSchluesselbundFristMs);
    job->start();
}
}  // namespace

void passwortNurDatei(bool n) { nurDatei_ = n; }

QString passwortDatei(const App& app) { return app.userDataDir() + QStringLiteral("/klasse-passwort"); }

Passwortort passwortort(const App& app) {
    const QString o = app.GetSetting(QStringLiteral("Klasse"), QStringLiteral("PasswortOrt"));
    return o == u"schluesselbund" ? Passwortort::Schluesselbund
           : o == u"datei"        ? Passwortort::Datei
                                  : Passwortort::Keiner;
}

QString passwortortText(Passwortort ort, const App& app) {
    switch (ort) {
    case Passwortort::Schluesselbund: return QStringLiteral("Das Passwort liegt im Schlüsselbund des Desktops.");
    case Passwortort::Datei:
        return QStringLiteral("Es läuft kein Schlüsselbund: das Passwort liegt in „%1“, die nur Sie lesen können.")
            .arg(QDir::toNativeSeparators(passwortDatei(app)));
    case Passwortort::Keiner: break;
    }
    return QStringLiteral("Noch kein Passwort gespeichert.");
}

void passwortSpeichern(App& app, const QString& login, const QString& passwort, std::function<void(Passwortort)> fertig) {
    const QString datei = passwortDatei(app);
    auto inDatei = [&app, datei, passwort, fertig] {
        const Passwortort ort = passwort.isEmpty() ? (QFile::remove(datei), Passwortort::Keiner)
                                : dateiSchreiben(datei, passwort) ? Passwortort::Datei
                                                                  : Passwortort::Keiner;
        ortMerken(app, ort);
        fertig(ort);
    };
    if (nurDatei_) {
        QTimer::singleShot(0, inDatei);
        return;
    }
    QKeychain::Job* job = nullptr;
    if (passwort.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(kDienst);
    } else {
        auto* w = new QKeychain::WritePasswordJob(kDienst);
        w->setTextData(passwort);
        job = w;
    }
    job->setAutoDelete(true);
    job->setKey(login);
    jobAbwarten(job, [&app, datei, passwort, inDatei, fertig](bool ok) {
        if (!ok) {
            inDatei();
            return;
        }
        QFile::remove(datei);  // the keyring has it now
        const Passwortort ort = passwort.isEmpty() ? Passwortort::Keiner : Passwortort::Schluesselbund;
        ortMerken(app, ort);
        fertig(ort);
    });
}

void passwortLesen(App& app, const QString& login, std::function<void(const QString&)> fertig) {
    const QString datei = passwortDatei(app);
    auto ausDatei = [datei, fertig] {
        QFile f(datei);
        fertig(f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.read(4096)) : QString());
    };
    if (nurDatei_ || passwortort(app) != Passwortort::Schluesselbund) {
        QTimer::singleShot(0, ausDatei);
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(kDienst);
    job->setAutoDelete(true);
    job->setKey(login);
    jobAbwarten(job, [job, ausDatei, fertig](bool ok) {
        if (ok) fertig(job->textData());
        else ausDatei();
    });
}
