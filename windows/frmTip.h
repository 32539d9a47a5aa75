#pragma once
#include <QStringList>
#include <QWidget>

class App;
class QFrame;
class QLabel;
class QPushButton;

// "Tips und Tricks": one tip at a time from the tips file beside the program,
// one tip per line, walked in file order and wrapping from the last to the
// first. Every opening reads the file anew and starts at its first line.
class frmTip : public QWidget {
    Q_OBJECT
public:
    explicit frmTip(App& app);

    QFrame* Picture1 = nullptr;
    QLabel* lblTipText = nullptr;
    QPushButton* cmdNextTip = nullptr;
    QPushButton* cmdOK = nullptr;

    QStringList tipListe;  // every line of the file, empty lines included
    qint32 aktTip = 0;     // 1-based position of the tip on display; 0 before the first

    // Shows the window modeless, in front, with the keyboard.
    void zeigen();

    // Reads the tips file at path into tipListe and shows its first line;
    // false when there is no readable file there.
    bool LoadTips(const QString& path);
    void naechsterTip();
    void DisplayCurrentTip();

    void cmdNextTip_Click();
    void cmdOK_Click();

private:
    void Form_Load();

    App& app_;
};

// Splits the bytes of a tips file into its lines: Windows-1252, each line
// ended by CR LF (a lone CR or LF ends one too); a last line without a line
// break is a line as well, an empty file has none.
QStringList tipZeilen(const QByteArray& bytes);
