#include "windows/frmWait.h"
#include "platform/aviplayer.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

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
    // Over the main window (else the screen), above its middle: a message
    // box that follows while the window is up (a database that cannot be
    // read) opens in the middle and leaves this window in sight.
    QRect bereich;
    if (auto* main = app.forms.loaded<frmVelkora>()) bereich = main->frameGeometry();
    else if (QScreen* s = QGuiApplication::primaryScreen()) bereich = s->availableGeometry();
    if (bereich.isValid())
        move(bereich.center().x() - width() / 2,
             std::max(bereich.top() + kRand, bereich.center().y() - kMitteFrei - kTitelleiste - height()));
}

void frmWait::zeigen(const QString& titel, const QString& clip) {
    setWindowTitle(titel);
    if (Animation1->open(clip)) Animation1->play();
    show();
    // The callers work on without returning to the event loop, a database
    // that is locked for up to two seconds: the window is drawn now. A
    // window can be drawn once the desktop has put it on the screen, so
    // that is waited for (briefly, and handling no key or mouse input);
    // then it is painted and sent to the display at once.
    const QDeadlineTimer frist(kAbbildenMs);
    while (!(windowHandle() && windowHandle()->isExposed()) && !frist.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!(windowHandle() && windowHandle()->isExposed())) QThread::msleep(2);
    }
    repaint();
    QGuiApplication::sync();
}
