#include "platform/richtextview.h"
#include "platform/services.h"
#include "platform/textcodec.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCharFormat>
#include <QTextCursor>
#include <algorithm>

RichTextView::RichTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setFocusPolicy(Qt::NoFocus);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    stuecke_.push_back({0, 0});
    // The text control repaints whole lines when the painted marks change;
    // showFormats repaints only the characters instead.
    for (QObject* o : children())
        if (o->inherits("QWidgetTextControl")) textControl_ = o;
}

const QString& RichTextView::text() const { return text_; }

void RichTextView::setText(const QString& t) {
    // Every line break one CR LF, also the Unicode separators the document
    // would break at; a NUL byte of a binary file is no text.
    text_ = viewPlainText(t);
    text_.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    formats_.clear();
    fillDocument();
    moveCursor(QTextCursor::Start);
    selStart_ = 0;
    selLength_ = 0;
}

void RichTextView::fillDocument() {
    // First the paragraphs as they are, laid out at the present width.
    QString plain = text_;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    document()->setPlainText(plain);
    laidOutWidth_ = viewport()->width();
    // Then every paragraph longer than a piece is cut where one of its lines
    // starts; a cut there changes no line break.
    QString cut;
    bool anyCut = false;
    stuecke_.clear();
    int offset = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (b != document()->begin()) {
            cut += QLatin1Char('\n');
            offset += 2;  // CR LF
        }
        const QString para = b.text();
        stuecke_.push_back({offset, static_cast<int>(cut.size())});
        const QTextLayout* l = b.layout();
        if (para.size() > 100 && lineWrapMode() != NoWrap) {
            document()->documentLayout()->blockBoundingRect(b);  // lays the paragraph out
            for (int z = kStueckZeilen; l && z < l->lineCount(); z += kStueckZeilen) {
                const int start = l->lineAt(z).textStart();
                const int from = stuecke_.back().offset - offset;
                cut += para.mid(from, start - from) + QLatin1Char('\n');
                stuecke_.push_back({offset + start, static_cast<int>(cut.size())});
                anyCut = true;
            }
        }
        cut += para.mid(stuecke_.back().offset - offset);
        offset += static_cast<int>(para.size());
    }
    if (anyCut) document()->setPlainText(cut);
    if (stuecke_.empty()) stuecke_.push_back({0, 0});
    showFormats();
}

void RichTextView::resizeEvent(QResizeEvent* e) {
    QPlainTextEdit::resizeEvent(e);
    schneideNeu();
}

void RichTextView::changeEvent(QEvent* e) {
    QPlainTextEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        laidOutWidth_ = -1;  // other glyphs, other line breaks
        schneideNeu();
    }
}

void RichTextView::schneideNeu() {
    // The pieces follow the width and the font; the selection and the marks
    // stay. A scroll bar that comes or goes while the document is filled
    // changes the width once more, which the second round catches.
    if (filling_) return;
    filling_ = true;
    for (int round = 0; round < 2 && viewport()->width() != laidOutWidth_; ++round) fillDocument();
    filling_ = false;
    setSelection(selStart_, selLength_);
}

RichTextView::LoadResult RichTextView::readFile(const QString& path, bool allowUtf8, QString& text) {
    // Plain text needs at most 4 bytes a character (UTF-8); RTF carries
    // markup and may be much larger than its text.
    constexpr qint64 kPlainBytes = 4LL * kMaxLength + 4;
    constexpr qint64 kRtfBytes = 64LL * 1024 * 1024;
    FileRead r = readRegularFile(path, kPlainBytes);
    if (r.status == FileReadStatus::TooLarge && isRtf(r.bytes)) r = readRegularFile(path, kRtfBytes);
    switch (r.status) {
    case FileReadStatus::Ok: break;
    case FileReadStatus::Missing: return LoadResult::Missing;
    case FileReadStatus::TooLarge: return LoadResult::TooLong;
    case FileReadStatus::NotRegular:
    case FileReadStatus::Unreadable: return LoadResult::Unreadable;
    }
    QString plain = viewPlainText(decodeTextFile(r.bytes, allowUtf8));
    // Counted as the view will report it: CR LF for every line break.
    if (viewTextLength(plain) > kMaxLength) return LoadResult::TooLong;
    text = std::move(plain);
    return LoadResult::Ok;
}

RichTextView::LoadResult RichTextView::loadFile(const QString& path, bool allowUtf8) {
    QString plain;
    const LoadResult r = readFile(path, allowUtf8, plain);
    if (r == LoadResult::Ok) setText(plain);
    return r;
}

int RichTextView::toDocPos(int offset) const {
    offset = std::clamp(offset, 0, static_cast<int>(text_.size()));
    auto it = std::upper_bound(stuecke_.begin(), stuecke_.end(), offset,
                               [](int o, const Stueck& s) { return o < s.offset; });
    const Stueck& s = *(it - 1);
    // An offset on the LF of a break lands at the next paragraph's start.
    return std::min(s.pos + (offset - s.offset), document()->characterCount() - 1);
}

void RichTextView::setSelection(int start, int length) {
    const int n = static_cast<int>(text_.size());
    selStart_ = std::clamp(start, 0, n);
    selLength_ = std::clamp(length, 0, n - selStart_);
    if (changeDepth_ > 0) selectionPending_ = true;
    else showSelection();
}

void RichTextView::showSelection() {
    // Keep the marked character in sight without showing a selection. Most
    // keys move the mark along a line already in sight; moving the text
    // cursor there would measure the line again and repaint it for nothing.
    const int pos = toDocPos(selStart_);
    if (zeileImBlick(pos)) return;
    QTextCursor c(document());
    c.setPosition(pos);
    setTextCursor(c);
    ensureCursorVisible();
}

bool RichTextView::zeileImBlick(int pos) const {
    if (textCursor().position() == pos) return true;
    if (!isVisible()) return false;  // a hidden view keeps the cursor with the mark
    const QTextBlock b = document()->findBlock(pos);
    const QTextLayout* l = b.isValid() ? b.layout() : nullptr;
    if (!l || l->lineCount() == 0) return false;
    const QTextLine line = l->lineForTextPosition(pos - b.position());
    if (!line.isValid()) return false;
    const qreal top = blockBoundingGeometry(b).translated(contentOffset()).top() + line.y();
    return top >= 0 && top + line.height() <= viewport()->height();
}

QRect RichTextView::zeichenRechteck(const QTextCursor& range) const {
    const int von = range.selectionStart(), bis = range.selectionEnd();
    const QTextBlock b = document()->findBlock(von);
    const QTextLayout* l = b.isValid() ? b.layout() : nullptr;
    // Within one paragraph: the characters' own boxes, line by line.
    // Anything larger repaints the view.
    if (!l || l->lineCount() == 0 || bis > b.position() + b.length()) return viewport()->rect();
    const QPointF oben = blockBoundingGeometry(b).translated(contentOffset()).topLeft();
    const int a = von - b.position(), e = bis - b.position();
    QRectF r;
    for (int i = l->lineForTextPosition(a).lineNumber(); i >= 0 && i < l->lineCount(); ++i) {
        const QTextLine line = l->lineAt(i);
        if (line.textStart() > e) break;
        const int s0 = std::max(a, line.textStart());
        const int s1 = std::min(e, line.textStart() + line.textLength());
        const qreal x0 = line.cursorToX(s0), x1 = line.cursorToX(s1);
        r |= QRectF(oben.x() + std::min(x0, x1), oben.y() + line.y(), std::abs(x1 - x0), line.height());
    }
    // A pixel more all round for antialiased glyph edges and the underline.
    return r.toAlignedRect().adjusted(-2, -2, 2, 2);
}

template <class Change>
void RichTextView::changeSelectionFormat(Change change) {
    const int a = selStart_;
    const int b = selStart_ + selLength_;
    if (b <= a) return;
    Zeichenformat probe;
    change(probe);
    if (probe == Zeichenformat{}) {
        // A change that leaves plain characters plain touches only the others:
        // unmarking the whole text costs as little as unmarking one character.
        for (auto it = formats_.lower_bound(a); it != formats_.end() && it->first < b;) {
            change(it->second);
            it = it->second == Zeichenformat{} ? formats_.erase(it) : std::next(it);
        }
    } else {
        for (int p = a; p < b; ++p) {
            Zeichenformat& f = formats_[p];
            change(f);
            if (f == Zeichenformat{}) formats_.erase(p);
        }
    }
    if (changeDepth_ > 0) formatsPending_ = true;
    else showFormats();
}

void RichTextView::beginChange() { ++changeDepth_; }

void RichTextView::endChange() {
    if (changeDepth_ == 0 || --changeDepth_ > 0) return;
    if (selectionPending_) {
        selectionPending_ = false;
        showSelection();
    }
    if (formatsPending_) {
        formatsPending_ = false;
        showFormats();
    }
}

void RichTextView::showFormats() {
    // One painted range per run of equal neighbours. The text control repaints
    // only the ranges that changed.
    QList<QTextEdit::ExtraSelection> ranges;
    for (auto it = formats_.begin(); it != formats_.end();) {
        auto end = std::next(it);
        int last = it->first;
        while (end != formats_.end() && end->first == last + 1 && end->second == it->second)
            last = (end++)->first;
        QTextEdit::ExtraSelection r;
        r.cursor = QTextCursor(document());
        r.cursor.setPosition(toDocPos(it->first));
        r.cursor.setPosition(toDocPos(last + 1), QTextCursor::KeepAnchor);
        r.format.setForeground(it->second.color);
        r.format.setFontUnderline(it->second.marker);
        ranges.append(r);
        it = end;
    }
    if (!textControl_ || !isVisible()) {
        setExtraSelections(ranges);
        return;
    }
    const QList<QTextEdit::ExtraSelection> vorher = extraSelections();
    {
        const QSignalBlocker still(textControl_);
        setExtraSelections(ranges);
    }
    // Repaint the ranges that came, went or changed format.
    auto enthalten = [](const QList<QTextEdit::ExtraSelection>& in, const QTextEdit::ExtraSelection& s) {
        return std::any_of(in.cbegin(), in.cend(), [&](const QTextEdit::ExtraSelection& x) {
            return x.cursor.selectionStart() == s.cursor.selectionStart() &&
                   x.cursor.selectionEnd() == s.cursor.selectionEnd() && x.format == s.format;
        });
    };
    for (const QTextEdit::ExtraSelection& s : vorher)
        if (!enthalten(ranges, s)) viewport()->update(zeichenRechteck(s.cursor));
    for (const QTextEdit::ExtraSelection& s : ranges)
        if (!enthalten(vorher, s)) viewport()->update(zeichenRechteck(s.cursor));
}

void RichTextView::setSelColor(const QColor& color) {
    changeSelectionFormat([&](Zeichenformat& f) { f.color = color; });
}

void RichTextView::setSelMarker(bool on) {
    changeSelectionFormat([&](Zeichenformat& f) { f.marker = on; });
}

void RichTextView::setSelFormat(const QColor& color, bool marker) {
    changeSelectionFormat([&](Zeichenformat& f) {
        f.color = color;
        f.marker = marker;
    });
}

QColor RichTextView::charColor(int offset) const {
    const auto it = formats_.find(offset);
    return it == formats_.end() ? Zeichenformat{}.color : it->second.color;
}

bool RichTextView::charMarker(int offset) const {
    const auto it = formats_.find(offset);
    return it != formats_.end() && it->second.marker;
}

bool ladeMitMeldung(RichTextView& view, PlatformServices& services, QWidget* parent,
                    const QString& path, bool reportMissing, bool allowUtf8, bool nurMitText) {
    const QString name = QFileInfo(path).fileName();
    QString text;
    switch (RichTextView::readFile(path, allowUtf8, text)) {
    case RichTextView::LoadResult::Ok:
        if (nurMitText && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace(); })) {
            services.msgBox(parent, QStringLiteral("Die Datei \"%1\" enthält keinen Text.").arg(name),
                            Msg::Exclamation);
            return false;
        }
        view.setText(text);
        return true;
    case RichTextView::LoadResult::Missing:
        if (reportMissing)
            services.msgBox(parent, QStringLiteral("Die Datei \"%1\" wurde nicht gefunden.").arg(name),
                            Msg::Exclamation);
        return false;
    case RichTextView::LoadResult::Unreadable:
        // A folder, pipe, device or socket is named as what it is.
        services.msgBox(parent,
                        notRegularKind(path).isEmpty()
                            ? QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.").arg(name)
                            : fileReadMessage(FileReadStatus::NotRegular, path),
                        Msg::Exclamation);
        return false;
    case RichTextView::LoadResult::TooLong:
        services.msgBox(
            parent,
            QStringLiteral("Die Datei \"%1\" ist zu lang: Übungstexte dürfen höchstens %2 Zeichen haben.")
                .arg(name)
                .arg(RichTextView::kMaxLength),
            Msg::Exclamation);
        return false;
    }
    return false;
}
