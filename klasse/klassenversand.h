#pragma once
#include "klasse/versand.h"
#include "trainer/uebungsereignisse.h"

#include <QObject>
#include <QPointer>
#include <QString>

class App;
class QLabel;
class QThread;
class QTimer;

// Works in the sender's own thread with its own connection: sends what
// waits, and while something waits tries again every few seconds (the
// connection may return).
class Sendearbeiter : public QObject {
    Q_OBJECT
public:
    Sendearbeiter(const QString& datei, const QString& abgewiesen, const QString& verbindungsname, int wiederMs);
    ~Sendearbeiter() override;
    void senden(const Klassenzugang& z);

signals:
    void gesendet(int gesendet, int wartend, const QString& fehler);

private:
    QString datei_, abgewiesen_, name_;
    Klassenzugang zugang_;
    QTimer* wieder_;
};

// Sends every result the learner's files have stored to the class server,
// when a class is set up: it is written into the waiting file at once (on
// the recording's thread, after the commit) and sent by the background
// thread. The writing window shows how it went in a small label
// ("klasseStatus") that a screen reader reads.
class Klassenversand : public QObject, public Uebungsereignisse {
    Q_OBJECT
public:
    explicit Klassenversand(App& app);
    ~Klassenversand() override;

    void ergebnisGespeichert(const QList<Tabellenzeile>& zeilen) override;
    // Sends what waits (at start-up and when the settings change); reads
    // the settings and the password anew.
    void anstossen();
    const QString& status() const { return status_; }
    // How often a waiting result is tried again (tests shorten it).
    void setWiederholungMs(int ms) { wiederMs_ = ms; }

signals:
    void statusGeaendert(const QString& status);

private:
    void sendenMit(const Klassenzugang& z);
    void setzeStatus(const QString& s, const QString& lang = QString());
    void anzeigen();
    App& app_;
    QThread* thread_ = nullptr;
    Sendearbeiter* arbeiter_ = nullptr;
    QString status_, langtext_;
    Klassenzugang zugang_;
    bool passwortDa_ = false;
    int wiederMs_ = 15000;
    bool wartetAufFenster_ = false;
    QPointer<QLabel> label_;
};
