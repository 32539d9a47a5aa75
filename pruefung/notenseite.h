#pragma once
#include "pruefung/abschrift.h"

#include <QWidget>
#include <array>

class App;
class QDoubleSpinBox;
class QPushButton;

// The settings dialog's page of the copy test's grade key: the keystrokes
// taken off per error and, for each grade, the least net keystrokes per
// minute and the highest error rate. Bounded boxes, so nothing but numbers
// can be given; stored when the dialog's "OK" is pressed.
class Notenschluesselseite : public QWidget {
    Q_OBJECT
public:
    Notenschluesselseite(App& app, QWidget* parent);

    QDoubleSpinBox* spnAbzug = nullptr;
    std::array<QDoubleSpinBox*, 6> spnNetto{};
    std::array<QDoubleSpinBox*, 6> spnQuote{};
    QPushButton* cmdBeispiel = nullptr;  // back to the shipped example key

    void zeigen(const Notenschluessel& s);
    Notenschluessel schluessel() const;
    // Writes the key into the settings store; false when it cannot be written.
    bool speichern();

private:
    App& app_;
};
