#include "platform/fonts.h"
#include "platform/qtservices.h"
#include "platform/settingsstore.h"
#include "shell/app.h"
#include "stats/ablage.h"
#include "windows/frmSplash.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkora"));
    QApplication::setOrganizationName(QStringLiteral("Velkora"));
    installFontSubstitutes();

    SettingsStore store;
    QtServices services;
    const QString programDir = App::findProgramDir(QApplication::applicationDirPath());
    // An installed program keeps its results in the user's data directory.
    const QString databaseDir = datenbankVerzeichnis(
        programDir, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    App app(programDir, store, services, databaseDir);

    frmSplash& splash = app.forms.get<frmSplash>();
    splash.show();
    return QApplication::exec();
}
