#pragma once
#include "klasse/zugang.h"

#include <QObject>
#include <QTimer>

// "Verbindung prüfen": connects in a thread of its own and answers within
// kFristMs whatever the network does (a name that takes long to resolve, a
// server that never replies); a connection still trying then is left to
// end by itself and its answer dropped.
class Verbindungspruefung : public QObject {
    Q_OBJECT
public:
    static constexpr int kFristMs = 4800;
    explicit Verbindungspruefung(const Klassenzugang& z, QObject* parent = nullptr);
    void starten();
    bool laeuft() const { return laeuft_; }

signals:
    // Once per start: connected or not, and the German answer.
    void fertig(bool ok, const QString& meldung);

private:
    void beenden(quint64 lauf, bool ok, const QString& meldung);
    Klassenzugang zugang_;
    QTimer frist_;
    quint64 lauf_ = 0;
    bool laeuft_ = false;
};

// Connects once and says who the login is on the server ("Schülerin oder
// Schüler der Klasse 7b"); false with the failure's message otherwise.
bool verbindungTesten(const Klassenzugang& z, const QString& verbindungsname, QString* meldung);
