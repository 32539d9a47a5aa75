#include "trainer/recording.h"
#include "shell/app.h"
#include "trainer/frmSchreiben.h"

#include <QLineEdit>

void ergebnisseAufzeichnen(App& app) {
    app.forms.get<frmSchreiben>().Text2->setText(QStringLiteral("DB_ENDE"));
}
