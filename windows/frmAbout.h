#pragma once
#include <QDialog>
#include <array>

class App;
class QGroupBox;
class QLabel;
class QPushButton;

// "Über Velkora": product name, the makers, a notice and the makers' e-mail
// address; clicking the address opens a new mail to it. "OK" (also Enter and
// Escape) closes the window.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(App& app);

    QLabel* lblProductName = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* LabelEMail = nullptr;
    QGroupBox* Frame3 = nullptr;
    std::array<QLabel*, 2> lblCompany{};
    QLabel* lblNotice = nullptr;
    QPushButton* cmdOK = nullptr;

    // Shows the window modeless and in front; a second call shows the same window.
    void zeigen();

    void cmdOK_Click();
    void LabelEMail_Click();

protected:
    void reject() override { cmdOK_Click(); }
    void accept() override { cmdOK_Click(); }
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Form_Load();

    App& app_;
};
