#pragma once
#include "hilfe/handbuch.h"

#include <QWidget>

class App;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTextBrowser;
class QUrl;

// "Hilfe": the handbook's pages in a browser with the contents beside it,
// back and forward, and a search over all pages. Works by keyboard alone:
// Tab walks contents, search field, hits, page and buttons; Alt+Left and
// Alt+Right go back and forward; Escape closes.
class frmHilfe : public QWidget {
    Q_OBJECT
public:
    explicit frmHilfe(App& app);

    QListWidget* Inhalt = nullptr;      // the pages of the handbook
    QLineEdit* Suchfeld = nullptr;      // words to look for
    QPushButton* cmdSuchen = nullptr;
    QListWidget* Fundstellen = nullptr; // the pages the search found
    QTextBrowser* Seite = nullptr;      // the page shown
    QPushButton* cmdZurueck = nullptr;
    QPushButton* cmdVor = nullptr;
    QPushButton* cmdSchliessen = nullptr;

    // Shows the window in front with the page ("datei.html#anker") open and
    // the keyboard in the page. Above a modal window it is modal itself, so
    // that it can be used while that window waits.
    void zeigen(const QString& seite);
    // The page shown, as "datei.html#anker" (anchor only when there is one).
    QString aktuelleSeite() const;
    // Runs the search for the words in the search field.
    void cmdSuchen_Click();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void seiteOeffnen(const QString& seite);
    void inhaltMarkieren(const QUrl& seite);
    void fundstelleOeffnen(QListWidgetItem* item);

    App& app_;
    QString verzeichnis_;
    QList<Seitentext> texte_;  // read on the first search
    bool texteGelesen_ = false;
    QLabel* lblFundstellen_ = nullptr;
};
