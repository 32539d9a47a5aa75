#pragma once
#include <QWidget>

class App;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class Verbindungspruefung;

// The tab "Klasse" of the settings dialog: how to reach the class server,
// the login and its password, the encryption, and "Verbindung prüfen".
class Klassenseite : public QWidget {
    Q_OBJECT
public:
    explicit Klassenseite(App& app, QWidget* parent = nullptr);
    // "OK" of the dialog: keeps the settings and the password, then sends
    // what waits.
    void speichern();

    QLineEdit* txtServer = nullptr;
    QSpinBox* txtPort = nullptr;
    QLineEdit* txtDatenbank = nullptr;
    QLineEdit* txtLogin = nullptr;
    QLineEdit* txtPasswort = nullptr;
    QCheckBox* chkTls = nullptr;
    QCheckBox* chkPruefen = nullptr;
    QLineEdit* txtZertifikat = nullptr;
    QLabel* lblPasswortOrt = nullptr;
    QPushButton* cmdPruefen = nullptr;
    QLabel* lblAntwort = nullptr;

private:
    void pruefen();
    App& app_;
    Verbindungspruefung* pruefung_ = nullptr;
};
