#include "platform/richtextview.h"
#include "platform/services.h"
#include "platform/textcodec.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QFileInfo>
#include <QPainter>
#include <QPaintEvent>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCharFormat>
#include <QTextCursor>
#include <algorithm>
#include <cmath>

// What a screen reader finds in the target view: the text with LF line
// breaks, the caret on the marked character and that character selected.
// Only read when a screen reader asks; the keys pay nothing for it.
class Zielansicht : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit Zielansicht(RichTextView* v) : QAccessibleWidget(v, QAccessible::EditableText) {}
    RichTextView* view() const { return static_cast<RichTextView*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.editable = false;
        return s;
    }

    void selection(int nr, int* start, int* ende) const override {
        *start = *ende = 0;
        if (nr != 0 || view()->selLength() == 0) return;
        *start = view()->zugangsOffset(view()->selStart());
        *ende = view()->zugangsOffset(view()->selStart() + view()->selLength());
    }
    int selectionCount() const override { return view()->selLength() > 0 ? 1 : 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return view()->zugangsOffset(view()->selStart()); }
    void setCursorPosition(int) override {}
    QString text(QAccessible::Text t) const override { return QAccessibleWidget::text(t); }
    QString text(int start, int ende) const override {
        QString t = view()->text().mid(view()->textOffset(start), view()->textOffset(ende) - view()->textOffset(start));
        return t.remove(QLatin1Char('\r'));
    }
    int characterCount() const override {
        return static_cast<int>(view()->text().size() - view()->umbrueche().size());
    }
    QRect characterRect(int offset) const override {
        const QRectF box = view()->zeichenBox(view()->toDocPos(view()->textOffset(offset)));
        if (box.isNull()) return {};
        return QRect(view()->viewport()->mapToGlobal(box.topLeft().toPoint()), box.size().toSize());
    }
    int offsetAtPoint(const QPoint& p) const override {
        const QTextCursor c = view()->cursorForPosition(view()->viewport()->mapFromGlobal(p));
        return view()->zugangsOffset(view()->toOffset(c.position()));
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* ende) const override {
        *start = offset;
        *ende = offset + 1;
        return QString();
    }
};

namespace {
QAccessibleInterface* zielansichtFabrik(const QString& klasse, QObject* o) {
    if (klasse == QLatin1String("RichTextView"))
        if (auto* v = qobject_cast<RichTextView*>(o)) return new Zielansicht(v);
    return nullptr;
}
}  // namespace

RichTextView::RichTextView(QWidget* parent) : QPlainTextEdit(parent) {
    static const bool fabrik = (QAccessible::installFactory(zielansichtFabrik), true);
    (void)fabrik;
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setFocusPolicy(Qt::NoFocus);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    stuecke_.push_back({0, 0});
}

const QString& RichTextView::text() const { return text_; }

void RichTextView::setText(const QString& t) {
    // A screen reader hears what was removed and what came (LF line breaks).
    const bool zugang = QAccessible::isActive();
    const QString vorher = zugang ? QString(text_).remove(QLatin1Char('\r')) : QString();
    // Every line break one CR LF, also the Unicode separators the document
    // would break at; a NUL byte of a binary file is no text.
    text_ = viewPlainText(t);
    text_.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    formats_.clear();
    umbruecheGueltig_ = false;
    fillDocument();
    moveCursor(QTextCursor::Start);
    selStart_ = 0;
    selLength_ = 0;
    if (zugang) {
        QAccessibleTextUpdateEvent e(this, 0, vorher, QString(text_).remove(QLatin1Char('\r')));
        QAccessible::updateAccessibility(&e);
        zugangMelden();
    }
}

const std::vector<int>& RichTextView::umbrueche() const {
    if (!umbruecheGueltig_) {
        umbrueche_.clear();
        for (int i = 0; i < text_.size(); ++i)
            if (text_[i] == QLatin1Char('\r')) umbrueche_.push_back(i);
        umbruecheGueltig_ = true;
    }
    return umbrueche_;
}

int RichTextView::zugangsOffset(int offset) const {
    // Every CR before the offset falls away.
    const auto& u = umbrueche();
    return offset - static_cast<int>(std::lower_bound(u.begin(), u.end(), offset) - u.begin());
}

int RichTextView::textOffset(int z) const {
    // The k-th CR stands at u[k] in text() and at u[k] - k in the LF text.
    const auto& u = umbrueche();
    int k = 0;
    for (int lo = 0, hi = static_cast<int>(u.size()); lo < hi;) {
        const int mid = (lo + hi) / 2;
        if (u[mid] - mid < z) lo = k = mid + 1;
        else hi = mid;
    }
    return std::clamp(z + k, 0, static_cast<int>(text_.size()));
}

void RichTextView::zugangMelden() {
    const int pos = zugangsOffset(selStart_);
    QAccessibleTextCursorEvent c(this, pos);
    QAccessible::updateAccessibility(&c);
    QAccessibleTextSelectionEvent s(this, pos, selLength_ > 0 ? zugangsOffset(selStart_ + selLength_) : pos);
    QAccessible::updateAccessibility(&s);
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
    // The new document is painted whole, marks included.
    geaendert_.clear();
    alleGeaendert_ = false;
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
    case FileReadStatus::LinkLoop: return LoadResult::LinkLoop;
    case FileReadStatus::NotRegular:
    case FileReadStatus::Unreadable: return LoadResult::Unreadable;
    }
    const QString decoded = decodeTextFile(r.bytes, allowUtf8);
    if (isBinaryText(decoded)) return LoadResult::NotText;
    QString plain = viewPlainText(decoded);
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
    if (QAccessible::isActive()) zugangMelden();
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

RichTextView::Zeile RichTextView::zeileBei(int pos) const {
    const QTextBlock b = document()->findBlock(pos);
    const QTextLayout* l = b.isValid() ? b.layout() : nullptr;
    if (!l || l->lineCount() == 0) return {};
    const int rel = pos - b.position();
    return {l->lineForTextPosition(rel), rel, blockBoundingGeometry(b).translated(contentOffset()).topLeft()};
}

bool RichTextView::zeileImBlick(int pos) const {
    if (textCursor().position() == pos) return true;
    if (!isVisible()) return false;  // a hidden view keeps the cursor with the mark
    const Zeile z = zeileBei(pos);
    if (!z.line.isValid()) return false;
    const qreal top = z.oben.y() + z.line.y();
    return top >= 0 && top + z.line.height() <= viewport()->height();
}

QRectF RichTextView::zeichenBox(int pos) const {
    const Zeile z = zeileBei(pos);
    if (!z.line.isValid()) return {};
    const qreal x0 = z.line.cursorToX(z.rel), x1 = z.line.cursorToX(z.rel + 1);
    const qreal top = z.oben.y() + z.line.y();
    // Its advance, the line's height rounded up to the next pixel row.
    return QRectF(QPointF(z.oben.x() + std::min(x0, x1), top),
                  QPointF(z.oben.x() + std::max(x0, x1), std::ceil(top + z.line.height())));
}

int RichTextView::toOffset(int docPos) const {
    auto it = std::upper_bound(stuecke_.begin(), stuecke_.end(), docPos,
                               [](int p, const Stueck& s) { return p < s.pos; });
    const Stueck& s = *(it - 1);
    return s.offset + (docPos - s.pos);
}

void RichTextView::paintEvent(QPaintEvent* e) {
    QPlainTextEdit::paintEvent(e);
    if (formats_.empty()) return;
    // Lines in sight that hold marks are painted again where the marks are:
    // a little more than the marked characters' boxes is cleared and the line
    // drawn there by Qt with the marks as formatted ranges, so a mark looks
    // exactly as a selection in that format would.
    QPainter p(viewport());
    const QBrush grund = viewport()->palette().brush(viewport()->backgroundRole());
    p.setPen(palette().color(QPalette::Text));  // the colour Qt draws plain text in
    for (QTextBlock b = firstVisibleBlock(); b.isValid(); b = b.next()) {
        const QPointF oben = blockBoundingGeometry(b).translated(contentOffset()).topLeft();
        if (oben.y() > viewport()->height()) break;
        const QTextLayout* l = b.layout();
        for (int z = 0; l && z < l->lineCount(); ++z) {
            const QTextLine line = l->lineAt(z);
            const int start = line.textStart(), ende = start + line.textLength();
            const int von = toOffset(b.position() + start);
            QList<QTextLayout::FormatRange> marken;
            qreal links = 0, rechts = 0;
            for (auto it = formats_.lower_bound(von); it != formats_.end(); ++it) {
                const int rel = toDocPos(it->first) - b.position();
                if (rel >= ende) break;
                if (rel < start) continue;
                const qreal x0 = line.cursorToX(rel), x1 = line.cursorToX(rel + 1);
                links = marken.isEmpty() ? std::min(x0, x1) : std::min({links, x0, x1});
                rechts = marken.isEmpty() ? std::max(x0, x1) : std::max({rechts, x0, x1});
                if (!marken.isEmpty()) {
                    // Equal neighbours make one run, as Qt draws a selection.
                    QTextLayout::FormatRange& r = marken.last();
                    if (r.start + r.length == rel && r.format.foreground().color() == it->second.color &&
                        r.format.fontUnderline() == it->second.marker) {
                        ++r.length;
                        continue;
                    }
                }
                QTextLayout::FormatRange r;
                r.start = rel;
                r.length = 1;
                r.format.setForeground(it->second.color);
                r.format.setFontUnderline(it->second.marker);
                marken.append(r);
            }
            if (marken.isEmpty()) continue;
            const QRect feld = markenFeld(QRectF(QPointF(oben.x() + links, oben.y() + line.y()),
                                                 QPointF(oben.x() + rechts, std::ceil(oben.y() + line.y() + line.height()))));
            if (!e->region().intersects(feld)) continue;
            p.save();
            p.setClipRect(feld);
            p.fillRect(feld, grund);
            l->draw(&p, oben, marken, feld);
            p.restore();
        }
    }
}

QRect RichTextView::markenFeld(const QRectF& box) {
    // Qt's selection of a character may reach a pixel beyond its advance.
    if (box.isNull()) return {};
    return box.toAlignedRect().adjusted(-3, 0, 3, 0);
}

void RichTextView::vormerken(int offset) {
    // A few characters are repainted one by one, many as the whole view.
    if (alleGeaendert_) return;
    if (geaendert_.size() >= 64) {
        alleGeaendert_ = true;
        geaendert_.clear();
        return;
    }
    geaendert_.push_back(offset);
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
            const Zeichenformat vorher = it->second;
            change(it->second);
            if (!(it->second == vorher)) vormerken(it->first);
            it = it->second == Zeichenformat{} ? formats_.erase(it) : std::next(it);
        }
    } else {
        for (int p = a; p < b; ++p) {
            Zeichenformat& f = formats_[p];
            const Zeichenformat vorher = f;
            change(f);
            if (!(f == vorher)) vormerken(p);
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
    // paintEvent draws the marks; only the characters that changed are repainted.
    if (isVisible()) {
        if (alleGeaendert_) viewport()->update();
        else
            for (int offset : geaendert_) {
                const QRect feld = markenFeld(zeichenBox(toDocPos(offset)));
                if (!feld.isEmpty()) viewport()->update(feld);
            }
    }
    geaendert_.clear();
    alleGeaendert_ = false;
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
    case RichTextView::LoadResult::NotText:
        services.msgBox(parent,
                        QStringLiteral("Die Datei \"%1\" ist keine Textdatei und kann nicht geübt werden.")
                            .arg(name),
                        Msg::Exclamation);
        return false;
    case RichTextView::LoadResult::LinkLoop:
        services.msgBox(parent, fileReadMessage(FileReadStatus::LinkLoop, path), Msg::Exclamation);
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
