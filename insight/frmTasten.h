#pragma once
#include "insight/tastenwerte.h"

#include <QWidget>
#include <array>

class App;
class KeyButton;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

// The colour scale under the keyboard, with the sign of "too few data".
class Skalenleiste : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void setSkala(Faerbung f, const Skala& s);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Faerbung faerbung_ = Faerbung::Fehlerquote;
    Skala skala_;
};

// "Meine Tasten": the keyboard coloured by each key's error rate or mean
// time over a period, with the five weakest keys and pairs.
class frmTasten : public QWidget {
    Q_OBJECT
public:
    explicit frmTasten(App& app);
    ~frmTasten() override;

    QLabel* Label1 = nullptr;  // "Zeitraum:"
    QComboBox* cboZeitraum = nullptr;
    QLabel* Label2 = nullptr;  // "Färbung:"
    QComboBox* cboFaerbung = nullptr;
    QFrame* Frame1 = nullptr;
    std::array<KeyButton*, 61> Command1{};
    Skalenleiste* Skala1 = nullptr;
    QLabel* Label3 = nullptr;  // "Schwächste Tasten"
    QListWidget* lstTasten = nullptr;
    QLabel* Label4 = nullptr;  // "Schwächste Paare"
    QListWidget* lstPaare = nullptr;
    QLabel* Label5 = nullptr;  // what there is to say about the data
    QPushButton* cmdClose = nullptr;

    // Reads the period's records again and shows them.
    void aktualisieren();
    // Shows the window in front, with the records as they are now.
    void zeigen();

    Zeitraum zeitraum() const;
    Faerbung faerbung() const;
    const std::array<Tastenwert, 61>& summen() const { return summen_; }

private:
    void faerben();

    App& app_;
    std::array<QWidget*, 61> schraffur_{};
    Zeichenwerte werte_;
    std::array<Tastenwert, 61> summen_{};
    bool frisch_ = true;  // read by the load, not shown since
};
