#pragma once
#include "stats/datenbank.h"

#include <QPointer>
#include <QWidget>

class App;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QPushButton;

// The statistics overview ("Statistik"): totals over every stored exercise,
// and the buttons to the record browsers and the charts. It lives in the
// main window's document area, beside the writing window.
class frmStatistik : public QWidget {
    Q_OBJECT
private:
    bool ladenAusstehend_ = false;  // the totals are read at the first showing
    void ersteAbfragen();
    Verbindung ergebnisse_;  // velkora.mdb
    Verbindung finger_;      // finger.mdb

public:
    explicit frmStatistik(App& app);
    ~frmStatistik() override;

    QFrame* Frame3 = nullptr;  // holds everything
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QLabel *Label1 = nullptr, *Label5 = nullptr, *Label18 = nullptr, *Label19 = nullptr;
    QLabel *Label2 = nullptr, *Label27 = nullptr, *Label28 = nullptr, *Label4 = nullptr;
    QLabel *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr, *Label10 = nullptr;
    QLabel *Label9 = nullptr, *Label3 = nullptr, *Label11 = nullptr;
    QLabel *Label14 = nullptr, *Label15 = nullptr, *Label12 = nullptr, *Label16 = nullptr,
           *Label17 = nullptr, *Label29 = nullptr;
    QLineEdit* Text1 = nullptr;   // exercises done
    QLineEdit* Text8 = nullptr;   // mean keystrokes per minute
    QLineEdit* Text12 = nullptr;  // characters to type
    QLineEdit* Text2 = nullptr;   // errors in total
    QLineEdit* Text3 = nullptr;   // errors of the left hand
    QLineEdit* Text4 = nullptr;   // errors of the right hand
    QPushButton* Command1 = nullptr;  // back to the writing window
    QPushButton* Command2 = nullptr;  // chart
    QPushButton* Command4 = nullptr;  // chart1
    QPushButton* Command5 = nullptr;  // frmdaten
    QPushButton* Command6 = nullptr;  // frmblockdat
    QPushButton* Command7 = nullptr;  // frmblockchart

    // Opening, after the caller has checked the statistics switch: show the
    // window, bring it to the top and read the totals afresh.
    void oeffnen();
    void anzeigen();
    void verbergen();
    // Reads the four totals. A total that cannot be read leaves its boxes
    // empty; nothing is reported.
    void aktualisieren();

    void Command1_Click();
    void Command2_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Form_Resize();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Form_Load();
    void buildLayout();
    void einpassen();
    void meldeFehler(const Verbindung& v);
    void meldeAbfrage(const Verbindung& v, const QString& fehler, bool& gemeldet);
    bool ergebnisseGemeldet_ = false;
    void Adodc1_Refresh();
    void Adodc6_Refresh();
    void Adodc8_Refresh();
    void Adodc9_Refresh();

    App& app_;
    QPointer<QMdiSubWindow> sub_;
};
