// The target view's loading: a file read and decoded as an exercise text is
// either refused or held by the view with no more characters than the
// exercise engine can count, and exactly as many as was checked.
#include "fuzz/pruefen.h"
#include "platform/richtextview.h"
#include "platform/textcodec.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
QApplication* app = nullptr;
RichTextView* view = nullptr;
QString pfad;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(*argc, *argv);
    view = new RichTextView;
    pfad = QDir::tempPath() + QStringLiteral("/velkora-fuzz-%1.txt").arg(QCoreApplication::applicationPid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        QFile f(pfad);
        PRUEFE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    for (bool unicode : {false, true}) {
        QString text;
        if (RichTextView::readFile(pfad, unicode, text) != RichTextView::LoadResult::Ok) continue;
        view->setText(text);
        PRUEFE(view->text().size() <= RichTextView::kMaxLength);
        PRUEFE(view->text().size() == viewTextLength(text));
        // Every offset maps inside the document.
        view->setSelection(0, int(view->text().size()));
        PRUEFE(view->selStart() == 0 && view->selLength() == view->text().size());
    }
    QFile::remove(pfad);
    return 0;
}
