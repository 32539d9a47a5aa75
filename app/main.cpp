#include "platform/fonts.h"
#include "platform/qtservices.h"
#include "platform/settingsstore.h"
#include "shell/app.h"
#include "windows/frmSplash.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkora"));
    QApplication::setOrganizationName(QStringLiteral("Velkora"));
    installFontSubstitutes();

    SettingsStore store;
    QtServices services;
    App app(App::findProgramDir(QApplication::applicationDirPath()), store, services);

    frmSplash& splash = app.forms.get<frmSplash>();
    splash.show();
    return QApplication::exec();
}
