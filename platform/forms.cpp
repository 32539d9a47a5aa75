#include "platform/forms.h"

#include <QMdiSubWindow>

Forms::~Forms() {
    // Newest first: later windows may refer to earlier ones while closing.
    for (auto it = order_.rbegin(); it != order_.rend(); ++it)
        if (!it->isNull()) delete it->data();
}

QWidget* Forms::findByName(const QString& name) const {
    for (const auto& [type, w] : entries_)
        if (!w.isNull() && w->objectName() == name) return w.data();
    return nullptr;
}

bool Forms::isLoaded(const QString& name) const { return findByName(name) != nullptr; }

bool Forms::enthaelt(const QWidget* w) const {
    for (const auto& [type, f] : entries_)
        if (f.data() == w && w) return true;
    return false;
}

void Forms::unloadByName(const QString& name) {
    if (QWidget* w = findByName(name)) unloadWidget(w);
}

void Forms::unloadWidget(QWidget* w) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->second == w) {
            entries_.erase(it);
            break;
        }
    // close() runs the window's own unload handling (its closeEvent); the
    // object itself goes once control returns to the event loop, so a window
    // may unload itself from one of its own handlers.
    QWidget* top = w;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) top = sub;
    w->close();
    top->hide();
    top->deleteLater();
}
