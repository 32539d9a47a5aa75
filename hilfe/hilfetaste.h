#pragma once
#include <QObject>
#include <QString>
#include <memory>

class App;
class QWidget;

// F1 everywhere: one filter on the application's events sees the key before
// any window does, so no window's own key handling meets it (the typing
// boxes never judge it). It opens the help on the page of the window the
// key was pressed in.
class Hilfetaste : public QObject {
public:
    explicit Hilfetaste(App& app);
    ~Hilfetaste() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    App& app_;
};

// Installs the F1 filter for this program; nothing without an application
// object (tools, a bare App in a test without one).
std::unique_ptr<QObject> hilfetasteEinrichten(App& app);

// The page of the program's window that w belongs to ("datei.html#anker"):
// the nearest window of the forms registry among w and its parents, with
// the current tab of its tab control "SSTab1" where it has one.
QString hilfeseiteFuer(App& app, QWidget* w);

// Opens the help window on a page.
void hilfeZeigen(App& app, const QString& seite);
