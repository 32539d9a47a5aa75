#include "platform/fonts.h"
#include "platform/qtservices.h"
#include "platform/settingsstore.h"
#include "klasse/klassenversand.h"
#include "shell/app.h"
#include "trainer/recording.h"
#include "windows/frmSplash.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkora"));
    QApplication::setOrganizationName(QStringLiteral("Velkora"));
    // The desktop matches the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.velkora.Velkora"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.velkora.Velkora")));
    installFontSubstitutes();
    // Qt's own dialogs (the file dialog of the export, the buttons of its
    // boxes) speak German like the rest of the program, where Qt's German
    // translation is installed; otherwise they stay as Qt ships them.
    QTranslator qtDeutsch;
    if (qtDeutsch.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtDeutsch);

    SettingsStore store;
    QtServices services;
    // An installed program keeps its results in the user's data directory.
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const Ablageorte orte = ablageorte(QApplication::applicationDirPath(), userDir);
    App app(orte.programDir, store, services, orte.databaseDir, userDir);

    frmSplash& splash = app.forms.get<frmSplash>();
    splash.show();
    // Results a former run could not store are stored first thing.
    // Then what waits for the class server is sent.
    QTimer::singleShot(0, &splash, [&app] {
        ausstehendeNachtragen(app);
        app.klasse().anstossen();
    });
    return QApplication::exec();
}
