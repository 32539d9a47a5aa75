// The program as a screen reader meets it, for tests/shell/atspi.py: the
// main window with a short exercise, typed on commands from standard input
// ("tippe N": the next N keys, "falsch": a wrong key, "ende": the rest and
// the key that ends it), each answered with "ok".
#include "../lessons/tippen.h"
#include "allefenster.h"
#include "platform/richtextview.h"
#include "testenv.h"

#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QApplication a(argc, argv);
    prepareTestApplication();
    QApplication::setApplicationName(QStringLiteral("VelkoraAtspi"));
    TestEnv env;
    env.app->forms.get<frmVelkora>().show();
    env.app->forms.get<frmLek>().starteUebung(Gruppe::Lektionen, QStringLiteral("1"));
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    const QString text = QStringLiteral("fff jjj\r\nfj");
    s.rtb1->setText(text);
    s.strt();
    s.window()->activateWindow();
    s.Text1->setFocus();
    int pos = 0;  // characters of text typed (Return types CR LF)
    auto naechste = [&] { tippeZeichen(s.Text1, text[pos]), pos += text[pos] == QLatin1Char('\r') ? 2 : 1; };
    QSocketNotifier eingabe(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&eingabe, &QSocketNotifier::activated, [&] {
        char zeile[64];
        if (!fgets(zeile, sizeof zeile, stdin)) return QApplication::quit();
        const QStringList befehl = QString::fromUtf8(zeile).simplified().split(QLatin1Char(' '));
        if (befehl[0] == QLatin1String("tippe"))
            for (int i = befehl.value(1).toInt(); i > 0 && pos < text.size(); --i) naechste();
        if (befehl[0] == QLatin1String("falsch")) tippeZeichen(s.Text1, QLatin1Char('k'));
        if (befehl[0] == QLatin1String("ende")) {
            while (pos < text.size()) naechste();
            tippeZeichen(s.Text1, QLatin1Char('x'));
        }
        QApplication::processEvents();
        std::printf("ok\n");
        std::fflush(stdout);
    });
    QTimer::singleShot(300, [] { std::printf("bereit\n"), std::fflush(stdout); });
    return a.exec();
}
