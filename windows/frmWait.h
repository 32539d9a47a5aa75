#pragma once
#include <QWidget>

class App;
class AviPlayer;

// The wait window: an animation and a caption, both set by whoever shows it
// while working on the databases. It has no behaviour of its own.
class frmWait : public QWidget {
    Q_OBJECT
public:
    explicit frmWait(App& app);

    AviPlayer* Animation1 = nullptr;

    // Shows the window with a caption and starts the clip from the program
    // directory; a missing or unreadable clip leaves it without animation.
    // The window is on the screen and drawn when this returns.
    void zeigen(const QString& titel, const QString& clip);

    // Room kept free above the middle of the main window for a message box
    // (half the height of a box of several lines), the title bar's height
    // and the least distance from the main window's top edge.
    static constexpr int kMitteFrei = 150, kTitelleiste = 30, kRand = 24;
    // The longest wait for the desktop to put the window on the screen.
    static constexpr int kAbbildenMs = 500;
};
