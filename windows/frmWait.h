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
    void zeigen(const QString& titel, const QString& clip);
};
