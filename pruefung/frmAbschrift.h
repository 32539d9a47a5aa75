#pragma once
#include "pruefung/abschrift.h"

#include <QDateTime>
#include <QPlainTextEdit>
#include <QWidget>
#include <functional>
#include <vector>

class App;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;
class RichTextView;

// The box the copy is typed into: nothing is judged or marked while typing.
// Pasting and dropping are refused (the source lies beside it). Without
// corrections only characters and line breaks are added at the end:
// Backspace, Delete, cursor keys, undo and the mouse change nothing.
class Abschriftfeld : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Abschriftfeld(QWidget* parent = nullptr);
    bool korrekturErlaubt = true;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void insertFromMimeData(const QMimeData*) override {}
    bool canInsertFromMimeData(const QMimeData*) const override { return false; }
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// The copy test ("Abschrift"): the source in a target view, the box below,
// the time left; afterwards the errors marked in both, the figures, the
// grade, and the certificate.
class frmAbschrift : public QWidget {
    Q_OBJECT
public:
    explicit frmAbschrift(App& app);
    ~frmAbschrift() override;

    QLabel* lblTitel = nullptr;
    QLabel* lblRestzeit = nullptr;
    RichTextView* rtbVorlage = nullptr;
    QLabel* lblAbschrift = nullptr;
    Abschriftfeld* txtAbschrift = nullptr;
    QLabel* lblErgebnis = nullptr;
    QListWidget* lstFehler = nullptr;
    QPushButton* cmdAbgeben = nullptr;
    QPushButton* cmdDrucken = nullptr;
    QPushButton* cmdSchliessen = nullptr;
    QTimer* tmrUhr = nullptr;

    // Starts a test over this text. The time runs from the first key.
    void starten(const QString& titel, const QString& text, int sekunden, bool korrekturErlaubt);
    // Every tick: the time left, and the end when it is up.
    void tmrUhr_Timer();
    // Ends the test (time up or handed in): the box locks, the copy is
    // counted, shown and stored.
    void beenden();
    // "Bescheinigung drucken …": asks for a file and writes the PDF.
    void cmdDrucken_Click();

    bool laeuft() const { return laeuft_; }
    bool fertig() const { return fertig_; }
    const Abschriftzaehlung& zaehlung() const { return zaehlung_; }
    const Abschriftwerte& werte() const { return werte_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildLayout();
    void getippt();
    void zeigeRestzeit(qint64 ms);
    void markieren();
    void speichern();
    qint64 vergangenMs() const;

    App& app_;
    QString titel_;
    QString vorlage_;
    int sekunden_ = 600;
    bool korrektur_ = true;
    bool laeuft_ = false;
    bool fertig_ = false;
    qint64 beginnMs_ = -1;  // the first key; -1 before it
    double getipptSekunden_ = 0;
    QDateTime ende_;
    std::vector<int> zeilenAnfang_;  // where each line of the source begins
    Abschriftzaehlung zaehlung_;
    Abschriftwerte werte_;
    Notenschluessel schluessel_;
};

// The tab "Abschrift" of the lesson selection window: text, duration and
// corrections, and an own text file.
class AbschriftAuswahl : public QWidget {
    Q_OBJECT
public:
    AbschriftAuswahl(App& app, QWidget* parent);

    QLabel* lblText = nullptr;
    QComboBox* cboText = nullptr;
    QLabel* lblDauer = nullptr;
    QComboBox* cboDauer = nullptr;
    QCheckBox* chkKorrektur = nullptr;
    QPushButton* cmdDatei = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdAbbrechen = nullptr;
    // Asks for an own text file; the file-open dialog unless replaced (tests).
    std::function<QString()> dateiDialog;

    // Starts the chosen text; false when there is none.
    bool cmdStart_Click();
    // Starts an own text file, checked as own texts are; false, with a
    // message, when it cannot be used.
    bool dateiStarten(const QString& pfad);

private:
    int sekunden() const;
    void starte(const QString& titel, const QString& text);
    App& app_;
    QList<Abschrifttext> texte_;
};

// The certificate of a test as a PDF of one or two pages, written whole or
// not at all. False with a German reason when it cannot be written.
struct Bescheinigung {
    QString name;
    QDateTime datum;
    QString titel;
    int sekunden = 600;  // the duration chosen
    bool korrekturErlaubt = true;
    QString kopie;
    QString quelle;  // the source, as the error list quotes it
    Abschriftzaehlung zaehlung;
    Abschriftwerte werte;
    Notenschluessel schluessel;
};
bool bescheinigungSchreiben(const QString& datei, const Bescheinigung& b, QString* fehler = nullptr);
