#include "windows/frmWait.h"
#include "platform/aviplayer.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

frmWait::frmWait(App& app)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                           Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmWait"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Shown while the user's window keeps the keyboard.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(380, 120);
    Animation1 = new AviPlayer(this);
    Animation1->setObjectName(QStringLiteral("Animation1"));
    auto* l = new QVBoxLayout(this);
    l->addWidget(Animation1, 0, Qt::AlignCenter);
    // Over the middle of the main window, else of the screen.
    QRect bereich;
    if (auto* main = app.forms.loaded<frmVelkora>()) bereich = main->frameGeometry();
    else if (QScreen* s = QGuiApplication::primaryScreen()) bereich = s->availableGeometry();
    if (bereich.isValid()) move(bereich.center() - rect().center());
}

void frmWait::zeigen(const QString& titel, const QString& clip) {
    show();
    setWindowTitle(titel);
    if (Animation1->open(clip)) Animation1->play();
    // The callers work on without returning to the event loop: draw now.
    repaint();
}
