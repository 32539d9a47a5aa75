#pragma once
#include <QObject>
#include <QString>
#include <functional>

class App;

// Where the class password is kept: in the desktop's keyring (QtKeychain)
// when one answers, otherwise in a file of the user's data directory that
// only the user may read (0600). The settings store remembers which.
enum class Passwortort { Keiner, Schluesselbund, Datei };

// The file used where no keyring runs.
QString passwortDatei(const App& app);
// The German sentence the tab shows about it.
QString passwortortText(Passwortort ort, const App& app);
Passwortort passwortort(const App& app);

// Keeps the password for the login; done(ort) is called when it is kept
// (on the thread of the call, through the event loop: a keyring answers
// asynchronously). An empty password removes it.
void passwortSpeichern(App& app, const QString& login, const QString& passwort,
                       std::function<void(Passwortort)> fertig);
// Reads it; fertig(passwort) is called through the event loop, empty when
// none is kept.
void passwortLesen(App& app, const QString& login, std::function<void(const QString&)> fertig);

// Tests: never ask a keyring, keep the password in the file only.
void passwortNurDatei(bool nurDatei);
