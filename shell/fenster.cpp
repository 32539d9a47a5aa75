#include "shell/fenster.h"
#include "platform/units.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"

void unterHauptfenster(App& app, QWidget* w) {
    if (auto* main = app.forms.loaded<frmVelkora>())
        w->move(twipsToPx(main->leftTwips()), twipsToPx(main->topTwips() + 600));
}
