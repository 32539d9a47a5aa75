#pragma once
#include "platform/zugang.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <typeindex>
#include <unordered_map>
#include <vector>

class App;

// The registry of the program's windows. Every window class exists at most
// once: get<F>() creates it on first use (its constructor is its load
// handler, so touching an unloaded window loads it invisibly), loaded<F>()
// answers without loading, unload<F>() closes and destroys it.
// A window class F is constructed as F(App&) and names itself with
// setObjectName("F") so that it can also be closed by name.
class Forms {
public:
    explicit Forms(App& app) : app_(app) {}
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    template <class F>
    F& get() {
        if (F* f = loaded<F>()) return *f;
        F* f = new F(app_);
        zugaenglichHalten(f);  // names for screen readers, as the window shows them
        entries_[std::type_index(typeid(F))] = f;
        order_.push_back(f);
        return *f;
    }

    template <class F>
    F* loaded() const {
        auto it = entries_.find(std::type_index(typeid(F)));
        if (it == entries_.end() || it->second.isNull()) return nullptr;
        return static_cast<F*>(it->second.data());
    }

    template <class F>
    void unload() {
        if (F* f = loaded<F>()) unloadWidget(f);
    }

    // Closes the window with this object name, if it is loaded.
    void unloadByName(const QString& name);
    // True when a window of this object name is loaded.
    bool isLoaded(const QString& name) const;
    // True when w is one of the loaded windows.
    bool enthaelt(const QWidget* w) const;

private:
    QWidget* findByName(const QString& name) const;
    void unloadWidget(QWidget* w);

    App& app_;
    std::unordered_map<std::type_index, QPointer<QWidget>> entries_;
    std::vector<QPointer<QWidget>> order_;  // creation order, for teardown
};
