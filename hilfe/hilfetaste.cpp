#include "hilfe/hilfetaste.h"
#include "hilfe/frmHilfe.h"
#include "hilfe/handbuch.h"
#include "shell/app.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabWidget>

Hilfetaste::Hilfetaste(App& app) : app_(app) { qApp->installEventFilter(this); }

Hilfetaste::~Hilfetaste() {
    if (qApp) qApp->removeEventFilter(this);
}

bool Hilfetaste::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type t = e->type();
    if (t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::ShortcutOverride) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() != Qt::Key_F1 || !watched->isWidgetType()) return false;
    // Keys reach the widgets after their window; only a window of this
    // program answers, so that two programs in one process keep apart.
    auto* w = static_cast<QWidget*>(watched);
    const QString seite = hilfeseiteFuer(app_, w);
    if (seite.isEmpty()) return false;
    if (t == QEvent::ShortcutOverride) {
        e->accept();  // the key itself comes next, as a key press
    } else if (t == QEvent::KeyPress && !k->isAutoRepeat()) {
        hilfeZeigen(app_, seite);
    }
    return true;  // press and release alike: no window sees F1
}

std::unique_ptr<QObject> hilfetasteEinrichten(App& app) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    return std::make_unique<Hilfetaste>(app);
}

QString hilfeseiteFuer(App& app, QWidget* w) {
    for (QWidget* p = w; p; p = p->parentWidget()) {
        if (!app.forms.enthaelt(p)) continue;
        auto* tabs = p->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        return seiteFuerFenster(p->objectName(), p->windowTitle(), tabs ? tabs->currentIndex() : -1);
    }
    return QString();
}

void hilfeZeigen(App& app, const QString& seite) { app.forms.get<frmHilfe>().zeigen(seite); }
