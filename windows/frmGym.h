#pragma once
#include <QWidget>

class App;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;

// "Gymnastik-Tipps": twenty loosening exercises for fingers, hands, arms and
// shoulders, chosen with a slider. Every opening starts at exercise 1.
class frmGym : public QWidget {
    Q_OBJECT
public:
    explicit frmGym(App& app);

    QLabel* Label1 = nullptr;
    QSlider* Slider1 = nullptr;
    QLineEdit* Text2 = nullptr;       // the exercise number
    QPlainTextEdit* Text1 = nullptr;  // the exercise text
    QPushButton* Command1 = nullptr;

    // Shows the window modeless, in front, with the keyboard on the slider.
    void zeigen();

    void Slider1_Change();
    void Command1_Click();

private:
    void Form_Load();

    App& app_;
};

// The text of the exercise whose number is written as nr ("1" to "20");
// a null string for any other text.
QString gymnastikText(const QString& nr);
