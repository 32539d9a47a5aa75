#pragma once
#include <QColor>
#include <QPlainTextEdit>
#include <QTextLayout>
#include <map>
#include <vector>

class PlatformServices;

// The target view of the exercises. Its text reads as one string whose line
// breaks are CR LF pairs; selection start and length are offsets in that
// string. The view keeps the string and maps offsets onto document positions
// through a table of the document's paragraphs, so reading the text and
// moving the selection cost no time proportional to the text's length.
// Lines wrap at the view's width; wrapping changes only the display, never
// the string or its offsets.
// Qt lays out and measures a paragraph as a whole, so each key on a paragraph
// of 32 000 characters would cost time in proportion to it. The document
// therefore holds a long paragraph as pieces of a few lines, cut exactly
// where the view wraps it anyway: it looks the same, and the pieces are cut
// anew when the width changes.
// Colour and marker of characters are kept beside the document, as a small
// table of the characters that are not plain black, and painted over the
// text, so marking a character never lays out the text again.
// The user never edits the view; `Locked` is a plain flag kept for the
// windows that lock it at the end of an exercise.
class RichTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    enum class LoadResult { Ok, Missing, Unreadable, TooLong, NotText, LinkLoop };
    // The longest text the exercise engine counts (a 16-bit count).
    static constexpr int kMaxLength = 32767;

    explicit RichTextView(QWidget* parent = nullptr);

    // The text with CR LF line breaks.
    const QString& text() const;
    // Replaces the whole text; any line-break convention is accepted. The
    // text is set only here (or by loadFile), never through the document.
    void setText(const QString& text);
    // Loads a Windows-1252 or RTF file. On failure the text stays as it was.
    // With allowUtf8 UTF-8 and UTF-16 files are recognised too.
    LoadResult loadFile(const QString& path, bool allowUtf8 = false);
    // Reads and decodes such a file once, without loading it: on Ok, text is
    // what setText() will hold. Only regular files are read, and no more
    // bytes than a text within the limit can take; a binary file is NotText.
    static LoadResult readFile(const QString& path, bool allowUtf8, QString& text);

    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    void setSelection(int start, int length);
    void setSelStart(int start) { setSelection(start, 0); }
    // Colour and marker attribute of the selected characters.
    void setSelColor(const QColor& color);
    void setSelMarker(bool on);
    // Both at once, painted once.
    void setSelFormat(const QColor& color, bool marker);
    // Between these, changes of formats and selection gather: the marks are
    // painted anew and the selection scrolled into view once, at endChange.
    // Calls nest.
    void beginChange();
    void endChange();
    // Colour and marker attribute of the character at offset (tests, display).
    QColor charColor(int offset) const;
    bool charMarker(int offset) const;

    bool locked() const { return locked_; }
    void setLocked(bool on) { locked_ = on; }

    // Lines a piece of a long paragraph holds in the document.
    static constexpr int kStueckZeilen = 8;

    // For screen readers the view is a read-only text whose line breaks are
    // single LFs, with its caret on the marked character and that
    // character selected. These map offsets of text() to that text and back.
    int zugangsOffset(int offset) const;
    int textOffset(int zugangsOffset) const;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    friend class Zielansicht;
    // Tells a screen reader where caret and selection are now.
    void zugangMelden();
    // Colour and marker of one character; the default is plain black.
    struct Zeichenformat {
        QColor color = QColor(0, 0, 0);
        bool marker = false;
        bool operator==(const Zeichenformat&) const = default;
    };
    // A run of the text that is one paragraph of the document.
    struct Stueck {
        int offset;  // where it starts in text_
        int pos;     // where it starts in the document
    };
    void fillDocument();
    void schneideNeu();  // cuts the pieces again when width or font changed
    int toDocPos(int offset) const;
    template <class Change>
    void changeSelectionFormat(Change change);
    void showFormats();
    void showSelection();
    // The line holding document position pos, pos within its paragraph, and
    // the paragraph's top left in the viewport; an invalid line when not laid out.
    struct Zeile {
        QTextLine line;
        int rel = 0;
        QPointF oben;
    };
    Zeile zeileBei(int pos) const;
    // Whether the line holding document position pos is wholly in sight.
    bool zeileImBlick(int pos) const;
    // The box of the character at document position pos in the viewport.
    QRectF zeichenBox(int pos) const;
    // What a mark repaints around a character's box.
    static QRect markenFeld(const QRectF& box);
    int toOffset(int docPos) const;  // the inverse of toDocPos
    // Notes a character whose colour or marker changed, to be repainted.
    void vormerken(int offset);

    QString text_;
    std::vector<Stueck> stuecke_;  // every paragraph of the document, in order
    int laidOutWidth_ = -1;         // the width the pieces were cut for
    bool filling_ = false;
    std::map<int, Zeichenformat> formats_;  // offset in text_ -> format, plain ones left out
    int selStart_ = 0;
    int selLength_ = 0;
    bool locked_ = false;
    int changeDepth_ = 0;
    bool formatsPending_ = false;    // marks changed while changes gathered
    bool selectionPending_ = false;  // the selection moved while changes gathered
    std::vector<int> geaendert_;  // offsets whose format changed since the marks were shown
    bool alleGeaendert_ = false;  // too many to repaint one by one
    // Where text_ has a CR, made when a screen reader first asks.
    mutable std::vector<int> umbrueche_;
    mutable bool umbruecheGueltig_ = false;
    const std::vector<int>& umbrueche() const;
};

// Loads a file into a view and tells the user in German, naming the file,
// when it cannot: too long, unreadable, no text, links in a circle, or
// missing (the last only when reportMissing is set). With nurMitText a file
// of nothing but blanks and line breaks is refused too. The file is read and decoded once. The view
// keeps its text on failure. Returns true when the text was loaded.
bool ladeMitMeldung(RichTextView& view, PlatformServices& services, QWidget* parent,
                    const QString& path, bool reportMissing, bool allowUtf8 = false,
                    bool nurMitText = true);
