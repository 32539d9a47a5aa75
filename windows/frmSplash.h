#pragma once
#include <QDialog>

class App;
class QLabel;
class QPushButton;
class QFrame;

// The first window of the program. "OK" (also Enter and Escape) opens the
// main window and closes the splash window.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(App& app);

    QLabel* lblProductName = nullptr;
    QLabel* Label1 = nullptr;
    std::array<QLabel*, 2> lblCompany{};
    QLabel* lblNotice = nullptr;
    QPushButton* cmdOK = nullptr;
    QFrame* Frame1 = nullptr;

    void cmdOK_Click();

protected:
    void reject() override { cmdOK_Click(); }
    void accept() override { cmdOK_Click(); }

private:
    App& app_;
    bool done_ = false;
};
