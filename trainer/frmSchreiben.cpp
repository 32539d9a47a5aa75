#include "trainer/frmSchreiben.h"
#include "platform/controls.h"
#include "platform/numbers.h"
#include "platform/richtextview.h"
#include "platform/textcodec.h"
#include "platform/units.h"
#include "platform/zugang.h"
#include "settings/reminder.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"
#include "trainer/anzeigefeld.h"
#include "trainer/inputbox.h"
#include "trainer/keybutton.h"
#include "trainer/keytable.h"
#include "trainer/textgang.h"
#include "trainer/toolicons.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

const QString frmSchreiben::kAuswertungPrompt =
    QStringLiteral("Für die Auswertung bitte jetzt eine beliebige Taste drücken");

namespace {
QFont courier18() {
    QFont f(QStringLiteral("Courier New"), 18);
    f.setBold(true);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w) {
    auto* l = place<QLabel>(parent, name, x, y, w, 16);
    l->setText(text);
    return l;
}
}  // namespace

frmSchreiben::frmSchreiben(App& app) : QWidget(nullptr), app_(app) {
    setObjectName(QStringLiteral("frmSchreiben"));
    setWindowTitle(QStringLiteral("Schreibmodus"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildLayout();
    Form_Load();
}

frmSchreiben::~frmSchreiben() = default;

void frmSchreiben::buildLayout() {
    resize(929, 601);
    Frame4 = place<QFrame>(this, "Frame4", 4, -4, 921, 601);

    rtb1 = place<RichTextView>(Frame4, "rtb1", 128, 8, 729, 113);
    rtb1->setFont(courier18());

    Text1 = place<InputBox>(Frame4, "Text1", 128, 124, 729, 113);
    Text1->installEventFilter(this);
    Text1->setFont(courier18());
    Text1->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(224,224,224); color: black; }"));
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    Text2 = place<Anzeigefeld>(Frame4, "Text2", 4, 12, 121, 33);
    QFont sans(QStringLiteral("MS Sans Serif"), 18);
    sans.setBold(true);
    Text2->setFont(sans);
    Text2->setStyleSheet(QStringLiteral("QLineEdit { color: rgb(255,0,0); background: black; }"));
    Text2->setReadOnly(true);
    Text2->setFocusPolicy(Qt::NoFocus);
    Text2->setText(QStringLiteral("Display"));
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });

    Frame3 = place<QGroupBox>(Frame4, "Frame3", 4, 48, 121, 189);
    QFont klein(QStringLiteral("MS Sans Serif"), 8);
    Frame3->setFont(klein);
    Label5 = label(Frame3, "Label5", QStringLiteral("MaxZeichen:"), 6, 8, 70);
    Label6 = label(Frame3, "Label6", QString(), 76, 8, 42);
    Label3 = label(Frame3, "Label3", QStringLiteral("Fehler:"), 6, 28, 70);
    Label4 = label(Frame3, "Label4", QString(), 76, 28, 42);
    Label7 = label(Frame3, "Label7", QStringLiteral("Fehler in %:"), 6, 48, 70);
    Label8 = label(Frame3, "Label8", QString(), 76, 48, 42);
    Label1 = label(Frame3, "Label1", QStringLiteral("Anschl./min:"), 6, 68, 70);
    Label2 = label(Frame3, "Label2", QString(), 76, 68, 42);
    Label9 = label(Frame3, "Label9", QStringLiteral("Zeit:"), 6, 92, 30);
    Label10 = label(Frame3, "Label10", QString(), 36, 92, 82);
    Label14 = label(Frame3, "Label14", QStringLiteral("="), 6, 114, 12);
    Label12 = label(Frame3, "Label12", QString(), 36, 114, 40);
    Label13 = label(Frame3, "Label13", QStringLiteral("sec"), 78, 114, 30);
    Command5 = place<QPushButton>(Frame3, "Command5", 8, 144, 45, 37);
    Command5->setToolTip(QStringLiteral("Timer starten"));
    Command6 = place<QPushButton>(Frame3, "Command6", 56, 144, 46, 38);
    Command6->setToolTip(QStringLiteral("Timer anhalten"));
    Frame3->hide();

    Frame1 = place<QFrame>(Frame4, "Frame1", 4, 244, 913, 353);
    Frame1->setToolTip(QStringLiteral("Keybord"));
    Frame1->setAutoFillBackground(true);
    for (const Taste& t : kTasten) Command1[t.index] = new KeyButton(t, Frame1);
    // The strip the figure walks in: right of the function keys, 560 pixels
    // of way plus the figure's own width.
    Picture1 = place<QWidget>(Frame1, "Picture1", 304, 8, 601, 41);
    Picture1->setAutoFillBackground(true);
    for (QWidget* w : {static_cast<QWidget*>(Frame1), Picture1}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, colorFromBgr(kTastenfarbe));
        w->setPalette(p);
    }

    Command9 = place<QPushButton>(Frame4, "Command9", 864, 12, 49, 33);
    Command9->setToolTip(QStringLiteral("Statistik / Auswertungen"));
    Command10 = place<QPushButton>(Frame4, "Command10", 864, 48, 49, 33);
    Command10->setToolTip(QStringLiteral("Browser starten (%1)").arg(kHomepage));
    Command11 = place<QPushButton>(Frame4, "Command11", 864, 84, 49, 33);
    Command11->setToolTip(QStringLiteral("Reminder "));
    Command7 = place<QPushButton>(Frame4, "Command7", 864, 124, 49, 25);
    Command7->setToolTip(QStringLiteral("Lektionen - Auswahl öffnen"));
    Command12 = place<QPushButton>(Frame4, "Command12", 864, 152, 49, 25);
    Command12->setToolTip(QStringLiteral("Nummernblock - Trainer"));
    Command14 = place<QPushButton>(Frame4, "Command14", 864, 180, 49, 21);
    Command14->setText(QStringLiteral("E"));
    Command14->setToolTip(QStringLiteral("Editor starten"));
    Command13 = place<QPushButton>(Frame4, "Command13", 864, 204, 49, 33);
    Command13->setToolTip(QStringLiteral("Optionen / Einstellungen"));

    // Auxiliary boxes that carry values for other windows; never shown.
    Text3 = place<QLineEdit>(Frame4, "Text3", 152, 232, 81, 21);
    Text4 = place<QLineEdit>(Frame4, "Text4", 240, 232, 81, 21);
    Text5 = place<QLineEdit>(Frame4, "Text5", 328, 232, 121, 21);
    for (QLineEdit* t : {Text3, Text4, Text5}) {
        t->hide();
        t->setFocusPolicy(Qt::NoFocus);
        alsStumm(t);  // the stopwatch changes them every second
    }

    // Pictures and background colours of the tool buttons.
    const struct {
        QPushButton* button;
        Werkzeug symbol;
        const char* farbe;
    } bilder[] = {{Command5, Werkzeug::TimerStart, "#00c800"},
                  {Command6, Werkzeug::TimerStop, "#e62828"},
                  {Command9, Werkzeug::Statistik, "#c0ffc0"},
                  {Command10, Werkzeug::Browser, "white"},
                  {Command11, Werkzeug::Reminder, "#80ff80"},
                  {Command7, Werkzeug::Lektionen, ""},
                  {Command12, Werkzeug::Nummernblock, ""},
                  {Command13, Werkzeug::Optionen, ""}};
    for (const auto& b : bilder) {
        b.button->setIcon(werkzeugSymbol(b.symbol));
        b.button->setIconSize(QSize(22, 22));
        if (*b.farbe) werkzeugFarbe(b.button, QColor::fromString(QLatin1String(b.farbe)));
        // Reached by Tab; a click leaves the keyboard in the input box.
        b.button->setFocusPolicy(Qt::TabFocus);
    }
    Command14->setFocusPolicy(Qt::TabFocus);
    app_.reminder().knopfZeigen(Command11);  // red while a reminder runs

    connect(Command5, &QPushButton::clicked, this, &frmSchreiben::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frmSchreiben::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &frmSchreiben::Command7_Click);
    connect(Command9, &QPushButton::clicked, this, &frmSchreiben::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &frmSchreiben::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &frmSchreiben::Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &frmSchreiben::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &frmSchreiben::Command13_Click);
    connect(Command14, &QPushButton::clicked, this, &frmSchreiben::Command14_Click);
}

void frmSchreiben::Form_Load() {
    Frame4->move(twipsToPx(60), twipsToPx(-60));
    Klang = {QStringLiteral("\\MsgType.wav"), QStringLiteral("\\MSGBack.wav"),
             QStringLiteral("\\FASTHEY.wav")};
    // The keystroke and error sounds are loaded now so the first key does not wait.
    app_.services.preloadSound(app_.datei(Klang[0]));
    app_.services.preloadSound(app_.datei(Klang[2]));
    farbesetzen();
    app_.ex.zaehler = 0;
    app_.ex.fehler = 0;
    ladeText(app_.datei(QStringLiteral("\\Intro.inf")), false);
    Text1->setEnabled(false);
    Text1->setReadOnly(true);
    Text2->hide();
    Command5->setEnabled(false);
}

void frmSchreiben::Form_Resize() {
    const auto* main = app_.forms.loaded<frmVelkora>();
    if (!main) return;
    if (main->isMaximized()) {
        const QScreen* screen = this->screen();
        const QSize s = screen ? screen->size() : QSize(Frame4->width(), Frame4->height());
        Frame4->move((s.width() - Frame4->width()) / 2, (s.height() - Frame4->height()) / 3);
    } else if (!main->isMinimized()) {
        Frame4->move(twipsToPx(60), twipsToPx(-60));
    }
}

void frmSchreiben::farbesetzen() {
    // Without a stored number the colours stay as they are.
    qint32 wert = 0;
    if (!parseInt32(app_.GetSetting(QStringLiteral("Optionen"), QStringLiteral("Farbwert1")), wert))
        return;
    app_.opt.farbwert1 = wert;
    const QColor c = colorFromBgr(wert != 0 ? wert : kTastenfarbe);
    for (QWidget* w : {static_cast<QWidget*>(Frame1), Picture1}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, c);
        w->setPalette(p);
    }
}

bool frmSchreiben::ladeText(const QString& path, bool reportMissing, bool allowUtf8, bool nurMitText) {
    return ladeMitMeldung(*rtb1, app_.services, this, path, reportMissing, allowUtf8, nurMitText);
}

// ---- the exercise engine ----

void frmSchreiben::zaehlen() {
    const QString& t = rtb1->text();
    qsizetype ohne = 0;
    for (QChar c : t)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char(' ')) ++ohne;
    app_.ex.MaxZeichen = static_cast<double>(t.size() - ohne);
    Label5->show();
    Label6->show();
    Label6->setText(zahlText(app_.ex.MaxZeichen));
}

Textgang frmSchreiben::textgang() {
    return Textgang{*rtb1, *Text2, textpos, QStringLiteral("RETURN"), app_.services};
}

void frmSchreiben::strt() {
    // The box is an input box again, after the summary of the last exercise.
    Text1->setCursorWidth(1);
    if (Text1->accessibleName() != QLatin1String("Eingabe")) Text1->setAccessibleName(QStringLiteral("Eingabe"));
    textgang().strt();
    if (!app_.ereignisse.leer()) app_.ereignisse.uebungBegonnen(rtb1->text(), app_.services.monotonicMs());
}

void frmSchreiben::weiter() { textgang().weiter(); }

void frmSchreiben::Text2_Change() {
    if (Text2->text() == QLatin1String("ENDE"))
        rtb1->setText(QStringLiteral("\r\n") + kAuswertungPrompt);
}
