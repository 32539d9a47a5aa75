#pragma once
#include <QChar>
#include <QString>

// How a character of a lesson or an own text is spoken to a learner who
// cannot see the screen: the key and what it makes. A small letter is
// itself ("f"), a capital "großes F", signs on a key of their own by name
// ("Komma"), shifted and Alt Gr signs with their keys ("Umschalt und 7:
// Schrägstrich", "Alt Gr und Q: At-Zeichen"), letters with accents through
// the dead key ("Akut, dann e: e mit Akut"), the blank "Leertaste" and a
// line break "Eingabetaste". Signs the German keyboard has no key for are
// named only. Every character of Windows-1252 has a spoken name.
QString gesprochenesZeichen(QChar c);

// The finger that types a character, as the finger table attributes it
// ("linker Zeigefinger"); empty for signs it leaves to no finger.
QString fingerFuer(QChar c);
