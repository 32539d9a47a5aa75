#include "settings/reminder.h"
#include "platform/units.h"
#include "settings/frmarc.h"
#include "shell/app.h"
#include "trainer/frmSchreiben.h"
#include "trainer/toolicons.h"

#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <limits>

const QString Reminder::kMeldung =
    QStringLiteral("Fleißig, fleißig...\r\n\r\naber jetzt ist die Zeit um! ");

Reminder::Reminder(App& app) : QObject(nullptr), app_(app) {
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kMinute);
    connect(Timer2, &QTimer::timeout, this, &Reminder::Timer2_Timer);
}

Reminder::~Reminder() = default;

bool Reminder::laeuft() const { return Timer2->isActive(); }

void Reminder::starten() {
    reminderMinuten = 0;
    Timer2->start();
    knoepfeZeigen();
}

void Reminder::anhalten() {
    Timer2->stop();
    knoepfeZeigen();
}

void Reminder::Timer2_Timer() {
    // The count stops at the largest 16-bit value instead of running over.
    if (reminderMinuten < std::numeric_limits<qint16>::max()) ++reminderMinuten;
    // The duration as the slider shows it: a stored value outside 1 to 60
    // counts as the nearest end, so a started reminder always comes due.
    const int dauer = std::clamp<int>(app_.opt.tdauer, 1, 60);
    if (reminderMinuten != dauer) return;
    anhalten();  // before the box: no second tick while it is open
    app_.services.playSound(app_.datei(frmarc::kSignal));
    QWidget* parent = app_.forms.loaded<frmSchreiben>();
    if (auto* dlg = app_.forms.loaded<frmarc>(); dlg && dlg->isVisible()) parent = dlg;
    app_.services.msgBox(parent, kMeldung, Msg::Exclamation, QStringLiteral("Reminder"));
}

void Reminder::startknopf(QWidget* parent) {
    if (!app_.opt.checkReminder) {
        app_.services.msgBox(
            parent,
            QStringLiteral("Sie können den Reminder im Menü: Optionen/Einstellungen/Reminder aktivieren."),
            Msg::Information, QStringLiteral("REMINDER nicht aktiviert"));
        return;
    }
    app_.forms.get<frmarc>().remind();
    app_.services.beep();
}

void Reminder::knopfZeigen(QPushButton* button) const {
    if (!button) return;
    werkzeugFarbe(button, colorFromBgr(laeuft() ? kLaeuft : kBereit));
    if (laeuft()) button->setCursor(Qt::WaitCursor);
    else button->unsetCursor();
}

void Reminder::knoepfeZeigen() {
    if (auto* s = app_.forms.loaded<frmSchreiben>()) knopfZeigen(s->Command11);
    if (auto* d = app_.forms.loaded<frmarc>()) knopfZeigen(d->Command2);
}
