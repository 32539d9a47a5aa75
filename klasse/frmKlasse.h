#pragma once
#include "klasse/uebersicht.h"

#include <QWidget>

class App;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;

// "Klassenübersicht": the teacher logs in with the class's teacher login
// (server and encryption as in the tab "Klasse") and sees per pupil and
// per lesson what was practised in a date range; columns sort by a click,
// "Exportieren …" writes both tables as CSV. Reading runs in a thread of
// its own, so a slow server never stops the window.
class frmKlasse : public QWidget {
    Q_OBJECT
public:
    explicit frmKlasse(App& app);
    ~frmKlasse() override;

    QLineEdit* txtLogin = nullptr;
    QLineEdit* txtPasswort = nullptr;
    QDateEdit* datVon = nullptr;
    QDateEdit* datBis = nullptr;
    QPushButton* cmdAnzeigen = nullptr;
    QTabWidget* tabSeiten = nullptr;
    QTableWidget* tblSchueler = nullptr;
    QTableWidget* tblLektionen = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdClose = nullptr;

    void zeigen();
    // Logs in and reads the range (asynchronously; lblStatus tells when done).
    void anzeigen();
    // Fills the tables from a report (also for the picture of the handbook).
    void fuellen(const Klassenbericht& b);
    const Klassenbericht& bericht() const { return bericht_; }
    // Writes the two CSV files; the German answer.
    QString exportieren(const QString& datei);

signals:
    void gelesen();

private:
    void exportDialog();
    App& app_;
    Klassenbericht bericht_;
    quint64 lauf_ = 0;
};
