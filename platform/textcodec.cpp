#include "platform/textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Code points of 0x80..0x9F in Windows-1252.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar cp1252Char(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return QChar(kHigh[b - 0x80]);
    return QChar(b);
}
}  // namespace

QString decodeCp1252(const QByteArray& bytes) {
    QString out;
    out.resize(bytes.size());
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) d[i] = cp1252Char(static_cast<unsigned char>(bytes[i]));
    return out;
}

QByteArray encodeCp1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(static_cast<char>(u));
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k)
            if (kHigh[k] == u) mapped = static_cast<char>(0x80 + k);
        out.append(mapped);
    }
    return out;
}

bool isRtf(const QByteArray& bytes) { return bytes.startsWith("{\\rtf"); }

QString normaliseLineBreaks(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            out.append(QLatin1Char('\n'));
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
        } else {
            out.append(c);
        }
    }
    return out;
}

namespace {
bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}
// Destinations whose content is not document text.
bool isSkippedDestination(QByteArrayView word) {
    static const char* const kSkip[] = {
        "fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "header", "footer",
        "headerl", "headerr", "footerl", "footerr", "footnote", "listtable", "listoverridetable",
        "rsidtbl", "generator", "xmlnstbl", "themedata", "colorschememapping", "latentstyles",
        "datastore", "filetbl", "revtbl", "pgdsctbl", "fldinst", "bkmkstart", "bkmkend"};
    for (const char* s : kSkip)
        if (word == QByteArrayView(s)) return true;
    return false;
}
}  // namespace

QString rtfToPlain(const QByteArray& in) {
    struct Group {
        bool skip = false;
        int uc = 1;  // characters to skip after a \uN escape
    };
    QString out;
    std::vector<Group> stack{Group{}};
    int skipAfterUnicode = 0;
    const qsizetype n = in.size();
    qsizetype i = 0;
    auto put = [&](QChar c) {
        if (skipAfterUnicode > 0) {
            --skipAfterUnicode;
            return;
        }
        if (!stack.back().skip) out.append(c);
    };
    while (i < n) {
        const char c = in[i];
        if (c == '{') {
            stack.push_back(stack.back());
            ++i;
            if (stack.size() > 10000) break;  // absurd nesting: stop reading
        } else if (c == '}') {
            if (stack.size() > 1) stack.pop_back();
            skipAfterUnicode = 0;
            ++i;
        } else if (c == '\\') {
            ++i;
            if (i >= n) break;
            const char d = in[i];
            if (d == '\'') {  // \'hh
                if (i + 2 < n && isHex(in[i + 1]) && isHex(in[i + 2])) {
                    put(cp1252Char(static_cast<unsigned char>(hexValue(in[i + 1]) * 16 + hexValue(in[i + 2]))));
                    i += 3;
                } else {  // an incomplete escape is dropped whole
                    ++i;
                    while (i < n && isHex(in[i])) ++i;
                }
            } else if (d == '*') {  // ignorable destination
                stack.back().skip = true;
                ++i;
            } else if ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z')) {
                qsizetype j = i;
                while (j < n && ((in[j] >= 'a' && in[j] <= 'z') || (in[j] >= 'A' && in[j] <= 'Z'))) ++j;
                const QByteArrayView word(in.constData() + i, j - i);
                bool hasParam = false;
                long long param = 0;
                bool neg = false;
                if (j < n && in[j] == '-') {
                    neg = true;
                    ++j;
                }
                while (j < n && in[j] >= '0' && in[j] <= '9') {
                    hasParam = true;
                    if (param < 1000000000) param = param * 10 + (in[j] - '0');
                    ++j;
                }
                if (neg) param = -param;
                if (j < n && in[j] == ' ') ++j;  // the delimiting blank belongs to the word
                i = j;
                if (word == "par" || word == "line" || word == "sect" || word == "page") {
                    put(QLatin1Char('\n'));
                } else if (word == "tab") {
                    put(QLatin1Char('\t'));
                } else if (word == "u" && hasParam) {
                    long long cp = param < 0 ? param + 65536 : param;
                    if (cp >= 0 && cp <= 0xFFFF) put(QChar(static_cast<char16_t>(cp)));
                    skipAfterUnicode = stack.back().uc;
                } else if (word == "uc" && hasParam) {
                    stack.back().uc = static_cast<int>(qBound(0LL, param, 10LL));
                } else if (word == "emdash") {
                    put(QChar(0x2014));
                } else if (word == "endash") {
                    put(QChar(0x2013));
                } else if (word == "bullet") {
                    put(QChar(0x2022));
                } else if (word == "lquote") {
                    put(QChar(0x2018));
                } else if (word == "rquote") {
                    put(QChar(0x2019));
                } else if (word == "ldblquote") {
                    put(QChar(0x201C));
                } else if (word == "rdblquote") {
                    put(QChar(0x201D));
                } else if (isSkippedDestination(word)) {
                    stack.back().skip = true;
                }
            } else {  // control symbol: \\ \{ \} \~ \- \_ and line breaks after a backslash
                if (d == '\\' || d == '{' || d == '}') put(QLatin1Char(d));
                else if (d == '~') put(QChar(0x00A0));
                else if (d == '_') put(QChar(0x2011));
                else if (d == '\n' || d == '\r') put(QLatin1Char('\n'));
                ++i;
            }
        } else if (c == '\r' || c == '\n') {
            ++i;  // raw line breaks in RTF source are not text
        } else {
            put(cp1252Char(static_cast<unsigned char>(c)));
            ++i;
        }
    }
    // A trailing \par usually closes the last paragraph; it is no extra line.
    if (out.endsWith(QLatin1Char('\n'))) out.chop(1);
    return out;
}

bool looksLikeUtf8(const QByteArray& bytes) {
    bool nonAscii = false;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            nonAscii = true;
            break;
        }
    if (!nonAscii) return false;
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString s = dec.decode(bytes);
    return !dec.hasError();
}

namespace {
// The length of the UTF-8 sequence starting at i, and its code point; 0 for
// a byte that starts none (a lone continuation byte, an overlong form, a
// surrogate, a cut sequence).
int utf8Folge(const QByteArray& b, qsizetype i, char32_t& cp) {
    const auto byte = [&](qsizetype k) { return static_cast<unsigned char>(b[k]); };
    const unsigned char c = byte(i);
    int n = 0;
    char32_t kleinste = 0;
    if (c >= 0xC2 && c <= 0xDF) n = 2, cp = c & 0x1F, kleinste = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) n = 3, cp = c & 0x0F, kleinste = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) n = 4, cp = c & 0x07, kleinste = 0x10000;
    else return 0;
    if (i + n > b.size()) return 0;
    for (int k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < kleinste || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

// Letters and signs of German text beyond ASCII: what a UTF-8 sequence in a
// German text decodes to, and what two Windows-1252 bytes seldom form.
bool deutschesZeichen(char32_t cp) {
    return (cp >= 0xA0 && cp <= 0x17F) || (cp >= 0x2010 && cp <= 0x203A) || cp == 0x20AC;
}
}  // namespace

bool mostlyUtf8(const QByteArray& bytes) {
    qsizetype gut = 0, fremd = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t cp = 0;
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
        } else if (const int n = utf8Folge(bytes, i, cp)) {
            if (deutschesZeichen(cp)) ++gut;
            i += n;
        } else {
            ++fremd;
            ++i;
        }
    }
    return gut > 0 && gut >= fremd;
}

QString decodeMostlyUtf8(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out.append(QLatin1Char(char(c)));
            ++i;
        } else if (const int n = utf8Folge(bytes, i, cp)) {
            if (QChar::requiresSurrogates(cp)) out.append(QChar(QChar::highSurrogate(cp))).append(QChar(QChar::lowSurrogate(cp)));
            else out.append(QChar(char16_t(cp)));
            i += n;
        } else {
            out.append(cp1252Char(c));
            ++i;
        }
    }
    return out;
}

int utf16WithoutBom(const QByteArray& bytes) {
    const qsizetype paare = bytes.size() / 2;
    if (paare < 2) return 0;
    qsizetype nullVorn = 0, nullHinten = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == 0) ++nullVorn;
        if (bytes[i + 1] == 0) ++nullHinten;
    }
    // Most characters of a Latin text have a zero high byte and few a zero
    // low byte; a binary file has zeros on both sides or on neither.
    if (nullHinten * 10 >= paare * 7 && nullVorn * 20 <= paare) return 1;
    if (nullVorn * 10 >= paare * 7 && nullHinten * 20 <= paare) return 2;
    return 0;
}

bool isBinaryText(const QString& text) {
    qsizetype steuer = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0) return true;
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f' && u != 0x1A) || u == 0x7F)
            ++steuer;
    }
    return steuer * 100 > text.size();
}

QString decodeTextFile(const QByteArray& bytes, bool allowUtf8) {
    if (isRtf(bytes)) return normaliseLineBreaks(rtfToPlain(bytes));
    if (allowUtf8) {
        // UTF-16 with its byte-order mark, as Windows editors save "Unicode",
        // or without one; a last odd byte shows as a replacement character.
        const bool le = bytes.startsWith("\xFF\xFE"), be = bytes.startsWith("\xFE\xFF");
        if (le || be) {
            QStringDecoder dec(le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
            return normaliseLineBreaks(dec.decode(bytes.mid(2)));
        }
        if (const int ohneBom = utf16WithoutBom(bytes)) {
            QStringDecoder dec(ohneBom == 1 ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
            return normaliseLineBreaks(dec.decode(bytes));
        }
        if (bytes.startsWith("\xEF\xBB\xBF")) return normaliseLineBreaks(decodeMostlyUtf8(bytes.mid(3)));
        if (looksLikeUtf8(bytes)) return normaliseLineBreaks(QString::fromUtf8(bytes));
        // A UTF-8 text with a few Windows-1252 bytes pasted in.
        if (mostlyUtf8(bytes)) return normaliseLineBreaks(decodeMostlyUtf8(bytes));
    }
    return normaliseLineBreaks(decodeCp1252(bytes));
}

QString viewPlainText(const QString& text) {
    QString out = normaliseLineBreaks(text);
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u == QChar::LineSeparator || u == QChar::ParagraphSeparator) c = QLatin1Char('\n');
        else if (u == 0 || u == 0xFDD0 || u == 0xFDD1) c = QChar(QChar::ReplacementCharacter);
    }
    return out;
}

qsizetype viewTextLength(const QString& viewPlain) {
    return viewPlain.size() + viewPlain.count(QLatin1Char('\n'));
}

FileRead readRegularFile(const QString& path, qint64 maxBytes) {
    FileRead r;
    // Opened without blocking (a pipe without writer would wait for ever),
    // then checked on the open file itself, so nothing can be swapped in
    // between the check and the read.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG)
            r.status = FileReadStatus::Missing;
        else if (errno == ELOOP)
            r.status = FileReadStatus::LinkLoop;
        else if (errno == ENXIO || errno == EISDIR)  // a socket; a directory
            r.status = FileReadStatus::NotRegular;
        else
            r.status = FileReadStatus::Unreadable;
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        r.status = S_ISREG(st.st_mode) ? FileReadStatus::Unreadable : FileReadStatus::NotRegular;
        ::close(fd);
        return r;
    }
    const qint64 limit = std::max<qint64>(0, maxBytes) + 1;
    r.bytes.reserve(qsizetype(std::min<qint64>(limit, std::max<qint64>(0, st.st_size) + 1)));
    char buf[65536];
    r.status = FileReadStatus::Ok;
    while (r.bytes.size() < limit) {
        const ssize_t n = ::read(fd, buf, size_t(std::min<qint64>(sizeof buf, limit - r.bytes.size())));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            r.status = FileReadStatus::Unreadable;
            break;
        }
        if (n == 0) break;
        r.bytes.append(buf, n);
    }
    ::close(fd);
    if (r.status == FileReadStatus::Ok && r.bytes.size() > maxBytes) r.status = FileReadStatus::TooLarge;
    if (r.status == FileReadStatus::Unreadable) r.bytes.clear();
    return r;
}

QString notRegularKind(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return QString();
    if (S_ISDIR(st.st_mode)) return QStringLiteral("ein Ordner");
    if (S_ISFIFO(st.st_mode)) return QStringLiteral("eine Pipe");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return QStringLiteral("ein Gerät");
    if (S_ISSOCK(st.st_mode)) return QStringLiteral("ein Socket");
    return QString();
}

QString fileReadMessage(FileReadStatus status, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    switch (status) {
    case FileReadStatus::Ok: return QString();
    case FileReadStatus::Missing:
        return QStringLiteral("Die Datei \"%1\" wurde nicht gefunden.").arg(name);
    case FileReadStatus::NotRegular:
    {
        const QString art = notRegularKind(path);
        if (art.isEmpty())
            return QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: sie ist keine gewöhnliche Datei.")
                .arg(name);
        return QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: sie ist keine gewöhnliche Datei, "
                              "sondern %2.")
            .arg(name, art);
    }
    case FileReadStatus::Unreadable:
        return QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.").arg(name);
    case FileReadStatus::TooLarge:
        return QStringLiteral("Die Datei \"%1\" ist zu groß.").arg(name);
    case FileReadStatus::LinkLoop:
        return QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: sie ist eine symbolische "
                              "Verknüpfung, die im Kreis auf sich selbst zurückführt.")
            .arg(name);
    }
    return QString();
}
