#include "platform/richtextview.h"
#include "platform/services.h"
#include "platform/textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <algorithm>

RichTextView::RichTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setFocusPolicy(Qt::NoFocus);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int, int removed, int added) {
                if (removed != added) cacheValid_ = false;
            });
}

void RichTextView::rebuildCache() const {
    const QString raw = document()->toRawText();
    text_.clear();
    text_.reserve(raw.size() + raw.size() / 16);
    lineStarts_.assign(1, 0);
    // The document ends with an implicit paragraph end that is not text.
    qsizetype n = raw.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = raw[i];
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            text_.append(QLatin1String("\r\n"));
            lineStarts_.push_back(static_cast<int>(text_.size()));
        } else {
            text_.append(c);
        }
    }
    cacheValid_ = true;
}

const QString& RichTextView::text() const {
    if (!cacheValid_) rebuildCache();
    return text_;
}

void RichTextView::setText(const QString& t) {
    QString plain = normaliseLineBreaks(t);
    plain.replace(QChar(0), QChar(0xFFFD));  // a NUL byte of a binary file is no text
    QTextCharFormat fmt;
    fmt.setForeground(QColor(0, 0, 0));
    fmt.setFontUnderline(false);
    QTextCursor c(document());
    document()->clear();
    c.setCharFormat(fmt);
    document()->setPlainText(plain);
    moveCursor(QTextCursor::Start);
    cacheValid_ = false;
    selStart_ = 0;
    selLength_ = 0;
}

RichTextView::LoadResult RichTextView::loadFile(const QString& path, bool allowUtf8) {
    QFileInfo info(path);
    if (!info.exists() || !info.isFile()) return LoadResult::Missing;
    // A plain-text file far above the limit is refused without being read
    // whole (even UTF-8 needs at most 4 bytes a character); RTF carries markup.
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return LoadResult::Unreadable;
    if (info.size() > 64LL * 1024 * 1024) return LoadResult::TooLong;
    if (info.size() > 4LL * kMaxLength + 4 && !isRtf(f.peek(5))) return LoadResult::TooLong;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return LoadResult::Unreadable;
    const QString plain = decodeTextFile(bytes, allowUtf8);
    // The engine counts CR LF as two characters.
    const qsizetype length = plain.size() + plain.count(QLatin1Char('\n'));
    if (length > kMaxLength) return LoadResult::TooLong;
    setText(plain);
    return LoadResult::Ok;
}

int RichTextView::toDocPos(int offset) const {
    if (!cacheValid_) rebuildCache();
    offset = std::clamp(offset, 0, static_cast<int>(text_.size()));
    // Line k starts at lineStarts_[k] in the text and at lineStarts_[k] - k
    // in the document (each CR LF pair is one paragraph break there).
    auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    const int k = static_cast<int>(it - lineStarts_.begin()) - 1;
    const int pos = offset - k;
    // An offset on the LF of a break lands at the next line's start.
    return std::min(pos, document()->characterCount() - 1);
}

void RichTextView::setSelection(int start, int length) {
    if (!cacheValid_) rebuildCache();
    const int n = static_cast<int>(text_.size());
    selStart_ = std::clamp(start, 0, n);
    selLength_ = std::clamp(length, 0, n - selStart_);
    // Keep the marked character in sight without showing a selection.
    QTextCursor c(document());
    c.setPosition(toDocPos(selStart_));
    setTextCursor(c);
    ensureCursorVisible();
}

void RichTextView::mergeSelectionFormat(const QTextCharFormat& fmt) {
    const int a = toDocPos(selStart_);
    const int b = toDocPos(selStart_ + selLength_);
    if (b <= a) return;
    QTextCursor c(document());
    c.setPosition(a);
    c.setPosition(b, QTextCursor::KeepAnchor);
    c.mergeCharFormat(fmt);
}

void RichTextView::setSelColor(const QColor& color) {
    QTextCharFormat fmt;
    fmt.setForeground(color);
    mergeSelectionFormat(fmt);
}

void RichTextView::setSelMarker(bool on) {
    QTextCharFormat fmt;
    fmt.setFontUnderline(on);
    mergeSelectionFormat(fmt);
}

static QTextCharFormat formatAt(const QTextDocument* doc, int pos) {
    // The format of the character at pos is the one the cursor sees after it.
    QTextCursor c(const_cast<QTextDocument*>(doc));
    c.setPosition(std::min(pos + 1, doc->characterCount() - 1));
    return c.charFormat();
}

QColor RichTextView::charColor(int offset) const {
    return formatAt(document(), toDocPos(offset)).foreground().color();
}

bool RichTextView::charMarker(int offset) const {
    return formatAt(document(), toDocPos(offset)).fontUnderline();
}

bool ladeMitMeldung(RichTextView& view, PlatformServices& services, QWidget* parent,
                    const QString& path, bool reportMissing, bool allowUtf8) {
    const QString name = QFileInfo(path).fileName();
    switch (view.loadFile(path, allowUtf8)) {
    case RichTextView::LoadResult::Ok: return true;
    case RichTextView::LoadResult::Missing:
        if (reportMissing)
            services.msgBox(parent, QStringLiteral("Die Datei \"%1\" wurde nicht gefunden.").arg(name),
                            Msg::Exclamation);
        return false;
    case RichTextView::LoadResult::Unreadable:
        services.msgBox(parent, QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.").arg(name),
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
