// Prints the cost of the per-key work of the writing window against the
// length of the text: one engine step (weiter) and one complete key (down,
// press, up through the input box's event filter), on texts of 1 000, 8 000
// and 32 000 characters in lines of 47, on one paragraph of 32 000 characters
// that the view wraps, and a whole 2 000-character exercise.
#include "platform/richtextview.h"
#include "shell/frmVelkora.h"
#include "testenv.h"
#include "trainer/frmSchreiben.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cstdio>

namespace {
// A text of the given length in lines of lineLength characters (0: one
// paragraph without line breaks).
QString makeText(int length, int lineLength = 47) {
    const QString words = QStringLiteral("jede fee sah die kleine lasche dose alle lasen ");
    QString t;
    int col = 0;
    while (t.size() < length) {
        const QChar c = words[t.size() % words.size()];
        if (lineLength > 0 && col >= lineLength) {
            t += QStringLiteral("\r\n");
            col = 0;
        } else {
            t += c;
            ++col;
        }
    }
    t.truncate(length);
    if (t.endsWith('\r')) t.chop(1);
    return t;
}

frmSchreiben& prepare(TestEnv& env, const QString& text) {
    env.app->opt.checkAnimat = true;
    env.app->opt.checkGeraeusch = true;
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    s.rtb1->setText(text);
    s.zaehlen();
    s.strt();
    s.Text1->setEnabled(true);
    s.Text1->setReadOnly(false);
    s.Text2->show();
    // Shown once, so the view wraps at its real width.
    env.app->forms.get<frmVelkora>().show();
    QApplication::processEvents();
    return s;
}

// Types the expected key: down, press, up.
void typeExpected(frmSchreiben& s) {
    const QString e = s.Text2->text();
    int key = 0;
    QString text;
    if (e == "ENDE" || e == "DB_ENDE") {
        key = Qt::Key_X;
        text = "x";
    } else if (e == "RETURN") {
        key = Qt::Key_Return;
        text = "\r";
    } else if (e == "LEER") {
        key = Qt::Key_Space;
        text = " ";
    } else {
        key = Qt::Key_A + (e[0].toLower().unicode() - 'a');
        text = e;
    }
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(s.Text1, &down);
    QApplication::sendEvent(s.Text1, &up);
}

double perStep(int length, bool wholeKey, int lineLength = 47) {
    TestEnv env;
    const QString text = makeText(length, lineLength);
    frmSchreiben& s = prepare(env, text);
    // Walk to the middle of the text first, then measure 400 steps there;
    // the input box holds what was typed so far, in paragraphs of at most
    // a few lines, as it keeps it.
    const int skip = length / 2 - 200;
    for (int i = 0; i < skip; ++i) s.weiter();
    QString typed = text.left(s.textpos - 1).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (qsizetype i = 300; i < typed.size(); i += 300)
        if (!typed.mid(i - 300, 300).contains('\n')) typed.insert(i, '\n');
    s.Text1->setPlainText(typed);
    const int steps = 400;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < steps; ++i) {
        if (wholeKey) typeExpected(s);
        else s.weiter();
    }
    return double(t.nsecsElapsed()) / steps / 1000.0;
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepareTestApplication();
    std::printf("Writing window, cost per step (microseconds):\n");
    std::printf("%10s %14s %14s\n", "length", "weiter", "whole key");
    double first[2] = {0, 0}, last[2] = {0, 0};
    for (int length : {1000, 8000, 32000}) {
        const double w = perStep(length, false);
        const double k = perStep(length, true);
        if (length == 1000) first[0] = w, first[1] = k;
        last[0] = w, last[1] = k;
        std::printf("%10d %14.1f %14.1f\n", length, w, k);
    }
    std::printf("ratio 32000/1000: weiter %.2f, whole key %.2f\n", last[0] / first[0], last[1] / first[1]);
    const double pw = perStep(32000, false, 0);
    const double pk = perStep(32000, true, 0);
    std::printf("%10s %14.1f %14.1f\n", "32000 in one paragraph", pw, pk);
    std::printf("ratio one paragraph/1000: weiter %.2f, whole key %.2f\n", pw / first[0], pk / first[1]);

    TestEnv env;
    frmSchreiben& s = prepare(env, makeText(2000));
    QElapsedTimer t;
    t.start();
    int keys = 0;
    while (s.Text2->text() != QLatin1String("DB_ENDE") && keys < 10000) {
        typeExpected(s);
        ++keys;
    }
    std::printf("whole 2000-character exercise: %d keys in %.1f ms (%.1f us per key)\n", keys,
                t.nsecsElapsed() / 1e6, t.nsecsElapsed() / 1e3 / keys);
    return 0;
}
