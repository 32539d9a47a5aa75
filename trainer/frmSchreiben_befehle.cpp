// The writing window's buttons, its pop-up menu and its unload.
#include "keypad/frmNumBlock.h"
#include "lessons/frmLek.h"
#include "settings/frmarc.h"
#include "settings/reminder.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"
#include "stats/frmStatistik.h"
#include "trainer/frmSchreiben.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

const QString frmSchreiben::kHomepage = QStringLiteral("https://velkora.example.org");

void frmSchreiben::Command5_Click() {
    frmLek& lek = app_.forms.get<frmLek>();
    if (lek.Timer3->isActive()) return;
    lek.Timer3->start();
    Text1->setFocus();
    Command5->setEnabled(false);
    Command6->setEnabled(true);
    hintergrundfarbe();
}

void frmSchreiben::Command6_Click() {
    frmLek& lek = app_.forms.get<frmLek>();
    if (!lek.Timer3->isActive()) return;
    lek.Timer3->stop();
    Text1->setFocus();
    Command5->setEnabled(true);
    Command6->setEnabled(false);
    hintergrundfarbe();
}

void frmSchreiben::nachVorn() {
    // The window lives in a sub-window of the main window; the overview and
    // the other sub-windows may lie over it.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->show();
        sub->raise();
        if (QMdiArea* mdi = sub->mdiArea()) mdi->setActiveSubWindow(sub);
    }
    show();
    window()->raise();
    window()->activateWindow();
    Text1->setFocus();
}

void frmSchreiben::Command7_Click() { app_.forms.get<frmLek>().zeigen(); }

void frmSchreiben::Command9_Click() { statistikOeffnen(app_.opt.checkStatistik); }

void frmSchreiben::statistikOeffnen(bool aktiv) {
    if (!aktiv) {
        app_.services.msgBox(
            this,
            QStringLiteral("Sie können die Statistik im Menü: Optionen/Einstellungen/Verschiedenes aktivieren."),
            Msg::Information, QStringLiteral("STATISTIK nicht aktiviert"));
        return;
    }
    app_.forms.get<frmStatistik>().oeffnen();
}

void frmSchreiben::Command10_Click() { app_.services.shellOpen(kHomepage); }

void frmSchreiben::Command11_Click() { app_.reminder().startknopf(this); }

void frmSchreiben::Command12_Click() { app_.forms.get<frmNumBlock>().zeigen(); }

void frmSchreiben::Command13_Click() { app_.forms.get<frmarc>().zeigen(frmarc::TabAudio); }

void frmSchreiben::Command14_Click() { app_.services.startEditor(); }

QMenu* frmSchreiben::lektionsMenue() const {
    auto* main = app_.forms.loaded<frmVelkora>();
    return main ? main->lek() : nullptr;
}

void frmSchreiben::Form_MouseUp(Qt::MouseButton button, const QPoint& globalPos) {
    if (button != Qt::RightButton) return;
    if (QMenu* m = lektionsMenue()) m->popup(globalPos);
}

void frmSchreiben::mouseReleaseEvent(QMouseEvent* e) {
    Form_MouseUp(e->button(), e->globalPosition().toPoint());
    QWidget::mouseReleaseEvent(e);
}

void frmSchreiben::closeEvent(QCloseEvent* e) {
    AnimEntfernen(animFigur);  // Form_Unload
    e->accept();
}
