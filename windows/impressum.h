#pragma once
#include <QString>
#include <array>

// Who made Velkora and how to reach them: shown by the splash and the about
// window, and the address behind the about window's mail label.
inline const QString kProduktName = QStringLiteral("Velkora 1.0");
inline const QString kEntwickeltVon = QStringLiteral(" Entwickelt + Programmiert von:");
inline const std::array<QString, 2> kMacher = {
    QStringLiteral("Das Velkora-Team"),
    QStringLiteral("mit allen Mitwirkenden"),
};
inline const QString kHinweis = QStringLiteral(
    "Zehn Finger, eine Taste nach der anderen: Velkora führt in achtzehn Lektionen zum "
    "sicheren Schreiben, ohne auf die Tasten zu sehen. Viel Freude beim Üben!");
inline const QString kEMail = QStringLiteral("kontakt@velkora.example.org");
