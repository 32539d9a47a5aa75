#pragma once
#include <QColor>
#include <QPlainTextEdit>
#include <vector>

class PlatformServices;

// The target view of the exercises. Its text reads as one string whose line
// breaks are CR LF pairs; selection start and length are offsets in that
// string. The view maps them onto document positions itself, through a
// cached copy of the string and a table of line starts, so reading the text
// and moving the selection cost no time proportional to the text's length.
// The user never edits the view; `Locked` is a plain flag kept for the
// windows that lock it at the end of an exercise.
// It builds on QPlainTextEdit rather than QTextEdit: both keep per-character
// formats, but the plain layout re-lays only the lines a change touches,
// where the rich layout walks every following line on each colour change,
// which made a key on a 32 000-character text ten times dearer than on a
// short one.
class RichTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    enum class LoadResult { Ok, Missing, Unreadable, TooLong };
    // The longest text the exercise engine counts (a 16-bit count).
    static constexpr int kMaxLength = 32767;

    explicit RichTextView(QWidget* parent = nullptr);

    // The text with CR LF line breaks.
    const QString& text() const;
    // Replaces the whole text; any line-break convention is accepted.
    void setText(const QString& text);
    // Loads a Windows-1252 or RTF file. On failure the text stays as it was.
    // With allowUtf8 a UTF-8 file is recognised too.
    LoadResult loadFile(const QString& path, bool allowUtf8 = false);

    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    void setSelection(int start, int length);
    void setSelStart(int start) { setSelection(start, 0); }
    // Colour and marker attribute of the selected characters.
    void setSelColor(const QColor& color);
    void setSelMarker(bool on);
    // Colour and marker attribute of the character at offset (tests, display).
    QColor charColor(int offset) const;
    bool charMarker(int offset) const;

    bool locked() const { return locked_; }
    void setLocked(bool on) { locked_ = on; }

private:
    void rebuildCache() const;
    int toDocPos(int offset) const;
    void mergeSelectionFormat(const QTextCharFormat& fmt);

    mutable bool cacheValid_ = false;
    mutable QString text_;
    mutable std::vector<int> lineStarts_;  // offsets in text_ of every line's start
    int selStart_ = 0;
    int selLength_ = 0;
    bool locked_ = false;
};

// Loads a file into a view and tells the user in German, naming the file,
// when it cannot: too long, unreadable, or missing (the last only when
// reportMissing is set). The view keeps its text on failure. Returns true
// when the text was loaded.
bool ladeMitMeldung(RichTextView& view, PlatformServices& services, QWidget* parent,
                    const QString& path, bool reportMissing, bool allowUtf8 = false);
