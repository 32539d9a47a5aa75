#pragma once
#include <QByteArray>
#include <QString>

// Windows-1252 (the 8-bit code page of the text files), all 256 codes.
// The five codes Windows leaves unassigned map to the C1 control of the same
// number, as the platform's own conversion does.
QString decodeCp1252(const QByteArray& bytes);
QByteArray encodeCp1252(const QString& text);  // unmappable characters become '?'

// True when the bytes start like an RTF document ("{\rtf").
bool isRtf(const QByteArray& bytes);
// The plain text of an RTF document: text runs, \par and \line as line
// breaks, \tab, \'hh (Windows-1252) and \uN escapes; destinations such as the
// font and colour tables, pictures and \* groups are skipped. Line breaks of
// the result are '\n'. Malformed input never fails: what can be read is read.
QString rtfToPlain(const QByteArray& bytes);

// Turns CR LF, lone CR and lone LF into '\n'.
QString normaliseLineBreaks(const QString& text);

// True for bytes that are valid UTF-8 and contain at least one non-ASCII
// sequence (plain ASCII is the same in every encoding).
bool looksLikeUtf8(const QByteArray& bytes);

// Decodes a text file: RTF to plain text, otherwise Windows-1252; with
// allowUtf8 a leading BOM or valid non-ASCII UTF-8 is read as UTF-8.
// Line breaks of the result are '\n'.
QString decodeTextFile(const QByteArray& bytes, bool allowUtf8 = false);
