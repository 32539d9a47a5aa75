#pragma once
#include <QWidget>

class App;
class QTimer;

// The lesson selection window ("Lektionen"). It also carries the exercise
// stopwatch, so after a start it is only hidden.
class frmLek : public QWidget {
    Q_OBJECT
public:
    explicit frmLek(App& app);
    ~frmLek() override;

    QTimer* Timer3 = nullptr;  // the stopwatch tick, 1000 ms
    double ergeb = 0;          // elapsed minutes

    // Starts the stopwatch and mirrors it on the writing window's buttons.
    void Stoppuhr();
    void Timer3_Timer();
    double rechne();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void Form_Load();
    void Form_Unload();

    App& app_;
    bool unloaded_ = false;
};
