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
// allowUtf8 a UTF-16 file with its byte-order mark (either order) or without
// one (utf16WithoutBom), a UTF-8 byte-order mark or valid non-ASCII UTF-8 is
// read as Unicode, and a UTF-8 file with a few bytes that are not UTF-8
// (mostUtf8) has those read as Windows-1252.
// Line breaks of the result are '\n'.
QString decodeTextFile(const QByteArray& bytes, bool allowUtf8 = false);

// UTF-16 without byte-order mark, told by its zero bytes: in text of the
// Latin scripts every other byte is zero. 0: not so; 1: little-endian;
// 2: big-endian.
int utf16WithoutBom(const QByteArray& bytes);
// True when the bytes are UTF-8 but for a few bytes: more German letters and
// signs in UTF-8 than bytes that are no UTF-8. decodeMostlyUtf8 then reads
// every byte that does not start a UTF-8 sequence as Windows-1252.
bool mostlyUtf8(const QByteArray& bytes);
QString decodeMostlyUtf8(const QByteArray& bytes);
// True for a decoded file that is no text: a NUL, or more than one control
// character in a hundred (tab, line breaks, form feed and the end-of-file
// mark of old editors are text).
bool isBinaryText(const QString& text);

// The text as the exercise view holds it: every line break (CR LF, CR, LF
// and the Unicode line and paragraph separators) one '\n'; NUL and the two
// code points the text document keeps for frames become U+FFFD.
QString viewPlainText(const QString& text);
// The length the view reports for such a text: each line break counts as
// the two characters CR LF.
qsizetype viewTextLength(const QString& viewPlain);

// Reading a file for one of the readers.
enum class FileReadStatus {
    Ok,
    Missing,     // no such file
    NotRegular,  // a directory, pipe, device or socket: never opened for reading
    Unreadable,  // no permission or a read error
    TooLarge,    // more than the limit; bytes then holds the first limit + 1
    LinkLoop,    // symbolic links that lead round in a circle
};
struct FileRead {
    FileReadStatus status = FileReadStatus::Missing;
    QByteArray bytes;
    bool ok() const { return status == FileReadStatus::Ok; }
};
// Reads a regular file (links followed) of at most maxBytes. Anything else
// is refused without blocking: a pipe without writer, a device that never
// ends. At most maxBytes + 1 bytes are read, whatever the file claims.
FileRead readRegularFile(const QString& path, qint64 maxBytes);
// What a path names when it is no regular file, in German with its article
// ("ein Ordner", "eine Pipe", "ein Gerät", "ein Socket"); empty for a
// regular file or nothing at all.
QString notRegularKind(const QString& path);
// The German reason for a failed read, naming the file by its name.
QString fileReadMessage(FileReadStatus status, const QString& path);
