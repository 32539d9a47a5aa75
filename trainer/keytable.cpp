#include "trainer/keytable.h"

#include <QStringList>

std::vector<int> tastenFuerVk(int vk) {
    std::vector<int> out;
    if (vk == 0) return out;
    for (const Taste& t : kTasten)
        if (t.vk == vk || t.vk2 == vk) out.push_back(t.index);
    return out;
}

const Taste* tasteMitIndex(int index) {
    for (const Taste& t : kTasten)
        if (t.index == index) return &t;
    return nullptr;
}

QString tastenName(const Taste& t) {
    if (QString::fromUtf16(t.oben) == QStringLiteral("⇧"))
        return t.index == kTasteShiftLinks ? QStringLiteral("Umschalt links") : QStringLiteral("Umschalt rechts");
    static const struct {
        const char16_t* legende;
        const char16_t* name;
    } woerter[] = {{u"⇩", u"Feststelltaste"}, {u"↵", u"Eingabetaste"}, {u"←", u"Rücktaste"},
                   {u"Leer", u"Leertaste"},   {u"Einfg", u"Einfügen"}, {u"Entf", u"Entfernen"},
                   {u"Strg", u"Steuerung"}};
    const QString oben = QString::fromUtf16(t.oben);
    for (const auto& w : woerter)
        if (oben == QString::fromUtf16(w.legende)) return QString::fromUtf16(w.name);
    // Keys with two signs are named by the one typed without Shift.
    const QString unten = QString::fromUtf16(t.unten);
    return QStringLiteral("Taste ") + (unten.isEmpty() ? oben : unten);
}

QString tastenBeschreibung(const Taste& t) {
    QStringList teile;
    if (*t.unten) teile << QStringLiteral("Umschalt: ") + QString::fromUtf16(t.oben);
    if (*t.altgr) teile << QStringLiteral("Alt Gr: ") + QString::fromUtf16(t.altgr);
    return teile.join(QStringLiteral(", "));
}
