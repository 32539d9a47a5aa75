#include "keypad/frmNumBlock.h"
#include "platform/zugang.h"
#include "sprache/sprachausgabe.h"
#include "sprache/tastensprache.h"
#include "keypad/numtasten.h"
#include "platform/controls.h"
#include "platform/keymap.h"
#include "platform/richtextview.h"
#include "platform/textcodec.h"
#include "platform/units.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"
#include "trainer/inputbox.h"
#include "trainer/keybutton.h"
#include "trainer/textgang.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

const QString frmNumBlock::kLektionBeendet =
    QStringLiteral("Lektion beendet.Bitte wählen Sie eine neue Lektion aus.");

namespace {
const QColor kRot(255, 0, 0);
const QColor kGedrueckt = colorFromBgr(65280);     // pure green
const QColor kLosgelassen = colorFromBgr(12632256);  // silver
constexpr qint32 kGrau = 12632256;

QFont courier(int size) {
    QFont f(QStringLiteral("Courier New"), size);
    f.setBold(true);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

void setBackground(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Base, c);
    w->setPalette(p);
}
}  // namespace

frmNumBlock::frmNumBlock(App& app) : QWidget(nullptr), app_(app) {
    setObjectName(QStringLiteral("frmNumBlock"));
    setWindowTitle(QStringLiteral("NumBlock-Trainer"));
    setAttribute(Qt::WA_DeleteOnClose);
    TimerNumBlock = new QTimer(this);
    TimerNumBlock->setObjectName(QStringLiteral("TimerNumBlock"));
    TimerNumBlock->setInterval(1000);
    connect(TimerNumBlock, &QTimer::timeout, this, &frmNumBlock::TimerNumBlock_Timer);
    buildLayout();
    Form_Load();
}

frmNumBlock::~frmNumBlock() = default;

void frmNumBlock::buildLayout() {
    // Lesson buttons and the expected key on the left, text and typing box
    // in the middle, the keypad on the right.
    const int links = 8, mitte = 140, rechts = 500;
    setFixedSize(rechts + kNumBlockBreite + 8, kNumBlockHoehe + 56);

    Text2 = place<QLineEdit>(this, "Text2", links, 8, 121, 37);
    QFont sans(QStringLiteral("MS Sans Serif"), 18);
    sans.setBold(true);
    Text2->setFont(sans);
    Text2->setAlignment(Qt::AlignCenter);
    Text2->setReadOnly(true);
    Text2->setFocusPolicy(Qt::NoFocus);

    for (int i = 0; i < 6; ++i) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("Command3_%1").arg(i));
        b->setGeometry(links, 56 + i * 40, 121, 33);
        b->setText(QStringLiteral("Lektion %1").arg(i + 1));
        b->setStyleSheet(QStringLiteral("QPushButton { background: rgb(192,192,255); border: 1px solid gray; "
                                        "border-radius: 3px; } QPushButton:pressed { background: rgb(160,160,230); }"));
        connect(b, &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
        Command3[i] = b;
    }
    Command3[0]->setToolTip(QStringLiteral("Lektion1"));
    // Room for three more lessons that have no text yet.
    for (int i = 3; i < 6; ++i) Command3[i]->hide();

    rtb2 = place<RichTextView>(this, "rtb2", mitte, 8, 350, 214);
    rtb2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    rtb2->setFont(courier(8));

    Text1 = place<InputBox>(this, "Text1", mitte, 230, 350, kNumBlockHoehe - 222);
    Text1->setFont(courier(8));
    Text1->installEventFilter(this);

    Frame1 = place<QFrame>(this, "Frame1", rechts, 8, kNumBlockBreite, kNumBlockHoehe);
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setAutoFillBackground(true);
    Text3 = place<QLineEdit>(Frame1, "Text3", 4, 4, 24, 14);
    Text3->setReadOnly(true);
    Text3->setFocusPolicy(Qt::NoFocus);
    setBackground(Text3, colorFromBgr(kGrau));
    for (const Taste& t : kNumTasten) Command1[t.index] = new KeyButton(t, Frame1);
    Command1[kNumTasteNumLock]->setToolTip(QStringLiteral("Nummerblock Ein/Aus"));

    Command2 = place<QPushButton>(this, "Command2", width() - 8 - 121, height() - 41, 121, 33);
    Command2->setText(QStringLiteral("Beenden"));
    alsAbbruchknopf(Command2);
    connect(Command2, &QPushButton::clicked, this, &frmNumBlock::Command2_Click);
}

void frmNumBlock::Form_Load() {
    TimerNumBlock->start();
    if (auto* main = app_.forms.loaded<frmVelkora>())
        move(main->width() - width(), main->y());
    helpFile = app_.datei(QStringLiteral("\\velkora.chm"));
    setBackground(Text2, colorFromBgr(kGrau));
    ladeMitMeldung(*rtb2, app_.services, this, app_.datei(QStringLiteral("\\NumIntro.inf")), true);
    rtb2->setLocked(true);
    rtb2->setFont(courier(8));
    Text1->setEnabled(true);
    Text1->setReadOnly(true);
    Klang = {QStringLiteral("\\MsgType.wav"), QStringLiteral("\\MSGBack.wav"),
             QStringLiteral("\\FASTHEY.wav")};
    app_.services.preloadSound(app_.datei(Klang[0]));
    app_.services.preloadSound(app_.datei(Klang[2]));
    setMainState(Qt::WindowMinimized);
    tastenRuhe();
    setBackground(Frame1, colorFromBgr(app_.opt.farbwert1 != 0 ? app_.opt.farbwert1 : kTastenfarbe));
}

void frmNumBlock::zeigen() {
    show();
    raise();
    activateWindow();
}

void frmNumBlock::setMainState(Qt::WindowState state) {
    auto* main = app_.forms.loaded<frmVelkora>();
    if (!main) return;
    if (state == Qt::WindowMinimized) main->showMinimized();
    else if (state == Qt::WindowMaximized) main->showMaximized();
    else main->showNormal();
}

// ---- lessons ----

QString frmNumBlock::lektionsDatei(int Index) {
    if (Index < 0 || Index > 2) return QString();
    return QStringLiteral("\\NumLektion%1.inf").arg(Index + 1);
}

void frmNumBlock::Command3_Click(int Index) {
    const QString datei = lektionsDatei(Index);
    if (datei.isEmpty()) return;
    // A lesson that cannot be loaded is named in a message; the text and
    // the walk in progress stay as they were.
    if (!ladeMitMeldung(*rtb2, app_.services, this, app_.datei(datei), true)) return;
    lektionStarten();
    app_.sprache().beginn(QStringLiteral("Lektion %1").arg(Index + 1), Sprachausgabe::ausAnzeige(Text2->text()));
}

void frmNumBlock::lektionStarten() {
    rtb2->setLocked(true);
    rtb2->setFont(courier(16));
    Text1->setEnabled(true);
    Text1->setReadOnly(false);
    Text1->setFocus();
    Text1->clear();
    Text1->setFont(courier(16));
    strt();
    blinkenAus();
    tastenLoslassen();
}

// ---- the walk through the text ----

Textgang frmNumBlock::textgang() {
    return Textgang{*rtb2, *Text2, textpos, QStringLiteral("ENTER"), app_.services};
}

void frmNumBlock::strt() { textgang().strt(); }

void frmNumBlock::weiter() {
    textgang().weiter();
    if (Text2->text() == QLatin1String("ENDE")) app_.sprache().ende({QStringLiteral("Ende der Lektion")});
    else app_.sprache().naechste(Sprachausgabe::ausAnzeige(Text2->text()));
}

// ---- keys ----

bool frmNumBlock::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Text1) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: event->accept(); return true;
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(event);
        // Escape leaves the trainer, Tab goes on to its buttons: the lessons
        // hold neither.
        if (!(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (k->key() == Qt::Key_Escape) {
                Command2->click();
                return true;
            }
            if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
                focusNextPrevChild(k->key() == Qt::Key_Tab && !(k->modifiers() & Qt::ShiftModifier));
                return true;
            }
        }
        const int vk = virtualKey(*k);
        if (k->nativeScanCode() != 0) gedrueckt_[k->nativeScanCode()] = vk;
        Text1_KeyDown(vk, shiftState(*k));
        int code = isShortcutChord(*k) ? 0 : ansiCode(*k);
        if (code != 0) {
            Text1_KeyPress(code);
            if (code != 0 && !Text1->isReadOnly())
                static_cast<InputBox*>(Text1)->insertCharacter(decodeCp1252(QByteArray(1, char(code)))[0]);
        }
        return true;  // nothing else reaches the box
    }
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(event);
        // The key that goes up is the one that went down, even when Num Lock
        // changed in between and the release arrives as a navigation key.
        const int vk = gedrueckt_.contains(k->nativeScanCode()) ? gedrueckt_.take(k->nativeScanCode())
                                                                 : virtualKey(*k);
        Text1_KeyUp(vk, shiftState(*k));
        return true;
    }
    case QEvent::FocusOut: tastenLoslassen(); return false;
    case QEvent::InputMethod: return true;
    default: return false;
    }
}

void frmNumBlock::Text1_KeyDown(int KeyCode, int) {
    blinkenAus();
    const int i = numTasteFuerVk(KeyCode);
    if (i >= 0) Command1[i]->setColor(kGedrueckt);
    tastenton();
}

void frmNumBlock::Text1_KeyUp(int KeyCode, int) {
    const int i = numTasteFuerVk(KeyCode);
    if (i >= 0) Command1[i]->setColor(kLosgelassen);
}

void frmNumBlock::falscheTaste(int& KeyAscii) {
    KeyAscii = 0;
    if (app_.opt.checkFehlermeldung) app_.services.playSound(app_.datei(Klang.value(2)));
    const QChar erwartet = Sprachausgabe::ausAnzeige(Text2->text());
    app_.sprache().falsch(erwartet);
    ansagen(Text1, QStringLiteral("Eingabe"),
            erwartet.isNull() ? QStringLiteral("falsch") : QStringLiteral("falsch, ") + gesprochenesZeichen(erwartet));
}

void frmNumBlock::Text1_KeyPress(int& KeyAscii) {
    const QString e = Text2->text();
    if (e == QLatin1String("ENTER")) {
        if (KeyAscii == 13) weiter();
        else falscheTaste(KeyAscii);
    } else if (e == QLatin1String("LEER")) {
        if (KeyAscii == ' ') weiter();
        else falscheTaste(KeyAscii);
    } else if (e == QLatin1String("ENDE")) {
        // Whatever the key: the lesson is over.
        rtb2->setLocked(true);
        Text1->setReadOnly(true);
        Text1->setFont(courier(8));
        Text1->setPlainText(kLektionBeendet);
        rtb2->setText(QString());
        app_.sprache().ende({kLektionBeendet});
    } else if (decodeCp1252(QByteArray(1, static_cast<char>(KeyAscii))) == e) {
        weiter();
    } else {
        falscheTaste(KeyAscii);
    }
}

void frmNumBlock::tastenRuhe() {
    for (KeyButton* b : Command1) b->setColor(colorFromBgr(kTastenfarbe));
}

void frmNumBlock::tastenLoslassen() {
    for (KeyButton* b : Command1)
        if (b->color() == kGedrueckt) b->setColor(kLosgelassen);
}

void frmNumBlock::tastenton() {
    if (app_.opt.checkGeraeusch) app_.services.playSound(app_.datei(Klang.value(0)));
    Text1->setFocus();
}

// ---- Num Lock blinking ----

void frmNumBlock::TimerNumBlock_Timer() {
    if (blinkAn) {
        blinkAn = false;
        Command1[kNumTasteNumLock]->setColor(kRot);
    } else {
        blinkAn = true;
        Command1[kNumTasteNumLock]->setColor(palette().color(QPalette::Button));
    }
}

void frmNumBlock::blinkenAus() {
    TimerNumBlock->stop();
    Command1[kNumTasteNumLock]->setColor(palette().color(QPalette::Button));
    blinkAn = false;
}

// ---- closing ----

void frmNumBlock::Command2_Click() {
    setMainState(Qt::WindowMaximized);
    blinkenAus();
    app_.forms.unload<frmNumBlock>();
}

void frmNumBlock::Form_Unload() {
    setMainState(Qt::WindowNoState);
    blinkenAus();
}

void frmNumBlock::closeEvent(QCloseEvent* e) {
    Form_Unload();
    e->accept();
}
