#pragma once
#include <QString>
#include <QtGlobal>
#include <array>

// Errors per hand and finger of the running exercise. Each is a 16-bit
// counter; the names are also the columns of the finger error table.
struct Fingerfehler {
    qint16 LIHA = 0;
    qint16 lkleinerfinger = 0;
    qint16 lringfinger = 0;
    qint16 lmittelfinger = 0;
    qint16 lzeigefinger = 0;
    qint16 ldaumenfinger = 0;
    qint16 rdaumenfinger = 0;
    qint16 rzeigefinger = 0;
    qint16 rmittelfinger = 0;
    qint16 rringfinger = 0;
    qint16 rkleinerfinger = 0;
    qint16 REHA = 0;
};

// One row of the attribution table: the expected characters that belong to
// one finger, and the hand and finger counters a wrong key there raises.
struct FingerZuordnung {
    const char16_t* zeichen;
    qint16 Fingerfehler::*hand;
    qint16 Fingerfehler::*finger;
};

// Expected characters compared exactly (case-sensitive); everything else
// (capitals, digits, other signs) is attributed to no finger.
inline constexpr std::array<FingerZuordnung, 8> kFingerTabelle = {{
    {u"qay", &Fingerfehler::LIHA, &Fingerfehler::lkleinerfinger},
    {u"wsx", &Fingerfehler::LIHA, &Fingerfehler::lringfinger},
    {u"edc", &Fingerfehler::LIHA, &Fingerfehler::lmittelfinger},
    {u"rtfgvb", &Fingerfehler::LIHA, &Fingerfehler::lzeigefinger},
    {u"zuhjnm", &Fingerfehler::REHA, &Fingerfehler::rzeigefinger},
    {u"ik,", &Fingerfehler::REHA, &Fingerfehler::rmittelfinger},
    {u"ol.", &Fingerfehler::REHA, &Fingerfehler::rringfinger},
    {u"p\u00f6\u00e4\u00fc\u00df-", &Fingerfehler::REHA, &Fingerfehler::rkleinerfinger},
}};

// Attributes one wrong key to hand and finger by the expected text (the
// display's text). A counter at 32767 stays there.
void fingerfehler(Fingerfehler& f, const QString& erwartet);
