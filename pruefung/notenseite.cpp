#include "pruefung/notenseite.h"
#include "shell/app.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {
QDoubleSpinBox* zahlfeld(QWidget* parent, const QString& name, double bis, int stellen, const QString& zugang) {
    auto* s = new QDoubleSpinBox(parent);
    s->setObjectName(name);
    s->setRange(0, bis);
    s->setDecimals(stellen);
    s->setAccessibleName(zugang);
    return s;
}
}  // namespace

Notenschluesselseite::Notenschluesselseite(App& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("TabAbschrift"));
    auto* raster = new QGridLayout(this);
    raster->setVerticalSpacing(2);
    auto* abzug = new QLabel(QStringLiteral("Abzug je Fehler (Anschläge):"), this);
    spnAbzug = zahlfeld(this, QStringLiteral("spnAbzug"), 1000, 0, QStringLiteral("Abzug je Fehler in Anschlägen"));
    abzug->setBuddy(spnAbzug);
    raster->addWidget(abzug, 0, 0, 1, 2);
    raster->addWidget(spnAbzug, 0, 2);
    raster->addWidget(new QLabel(QStringLiteral("Note"), this), 1, 0);
    raster->addWidget(new QLabel(QStringLiteral("ab Anschlägen netto/min"), this), 1, 1);
    raster->addWidget(new QLabel(QStringLiteral("bis Fehler in %"), this), 1, 2);
    for (int g = 0; g < 6; ++g) {
        auto* note = new QLabel(QStringLiteral("%1 (%2)").arg(g + 1).arg(notenWort(g + 1)), this);
        spnNetto[size_t(g)] = zahlfeld(this, QStringLiteral("spnNetto_%1").arg(g + 1), 10000, 1,
                                       QStringLiteral("Note %1: mindestens Anschläge netto je Minute").arg(g + 1));
        spnQuote[size_t(g)] = zahlfeld(this, QStringLiteral("spnQuote_%1").arg(g + 1), 100, 2,
                                       QStringLiteral("Note %1: höchstens Fehler in Prozent").arg(g + 1));
        raster->addWidget(note, g + 2, 0);
        raster->addWidget(spnNetto[size_t(g)], g + 2, 1);
        raster->addWidget(spnQuote[size_t(g)], g + 2, 2);
    }
    auto* hinweis = new QLabel(QStringLiteral("Der mitgelieferte Schlüssel ist ein Beispiel, kein amtlicher "
                                              "Maßstab. Es gilt die beste Note, deren beide Grenzen erreicht sind."),
                               this);
    hinweis->setWordWrap(true);
    raster->addWidget(hinweis, 8, 0, 1, 2);
    cmdBeispiel = new QPushButton(QStringLiteral("Beispielschlüssel"), this);
    cmdBeispiel->setObjectName(QStringLiteral("cmdBeispiel"));
    cmdBeispiel->setAutoDefault(false);
    raster->addWidget(cmdBeispiel, 8, 2);
    connect(cmdBeispiel, &QPushButton::clicked, this, [this] { zeigen(standardNotenschluessel()); });
    zeigen(notenschluesselLesen(app_));
}

void Notenschluesselseite::zeigen(const Notenschluessel& s) {
    spnAbzug->setValue(s.abzugJeFehler);
    for (size_t g = 0; g < 6; ++g) {
        spnNetto[g]->setValue(s.mindestNetto[g]);
        spnQuote[g]->setValue(s.hoechstQuote[g]);
    }
}

Notenschluessel Notenschluesselseite::schluessel() const {
    Notenschluessel s;
    s.abzugJeFehler = spnAbzug->value();
    for (size_t g = 0; g < 6; ++g) {
        s.mindestNetto[g] = spnNetto[g]->value();
        s.hoechstQuote[g] = spnQuote[g]->value();
    }
    return s;
}

bool Notenschluesselseite::speichern() {
    // Unchanged, nothing is written: a teacher's file keeps only what was set.
    if (schluessel() == notenschluesselLesen(app_)) return true;
    return notenschluesselSpeichern(app_, schluessel());
}
