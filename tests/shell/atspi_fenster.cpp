// The program as a screen reader meets it, for tests/shell/atspi.py: the
// main window with a short exercise started, typed on the commands read
// from standard input ("tippe N": the next N keys right, "falsch": a wrong
// key, "ende": the rest and the key that ends it). Each command is answered
// with "ok" once done.
#include "allefenster.h"
#include "../lessons/tippen.h"
#include "testenv.h"
#include "platform/richtextview.h"

#include <QTimer>

#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QApplication a(argc, argv);
    prepareTestApplication();
    QApplication::setApplicationName(QStringLiteral("VelkoraAtspi"));
    TestEnv env;
    App& app = *env.app;
    frmVelkora& haupt = app.forms.get<frmVelkora>();
    haupt.show();
    app.forms.get<frmLek>().starteUebung(Gruppe::Lektionen, QStringLiteral("1"));
    frmSchreiben& s = app.forms.get<frmSchreiben>();
    const QString text = QStringLiteral("fff jjj\r\nfj");
    s.rtb1->setText(text);
    s.strt();
    haupt.activateWindow();
    s.Text1->setFocus();
    int pos = 0;  // keys of text typed
    auto naechste = [&] {
        tippeZeichen(s.Text1, text[pos]);
        pos += text[pos] == QLatin1Char('\r') ? 2 : 1;  // Return types CR LF
    };
    QSocketNotifier eingabe(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&eingabe, &QSocketNotifier::activated, [&] {
        char zeile[256];
        if (!fgets(zeile, sizeof zeile, stdin)) {
            QApplication::quit();
            return;
        }
        const QStringList befehl = QString::fromUtf8(zeile).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString was = befehl.value(0).trimmed();
        if (was == QLatin1String("tippe"))
            for (int i = befehl.value(1).trimmed().toInt(); i > 0 && pos < text.size(); --i) naechste();
        else if (was == QLatin1String("falsch")) tippeZeichen(s.Text1, QLatin1Char('k'));
        else if (was == QLatin1String("ende")) {
            while (pos < text.size()) naechste();
            tippeZeichen(s.Text1, QLatin1Char('x'));
        }
        QApplication::processEvents();
        std::printf("ok\n");
        std::fflush(stdout);
    });
    QTimer::singleShot(300, [] {
        std::printf("bereit\n");
        std::fflush(stdout);
    });
    return a.exec();
}
