#include "settings/frmarc.h"
#include "pruefung/notenseite.h"
#include "klasse/klassenseite.h"
#include "platform/anireader.h"
#include "platform/controls.h"
#include "platform/units.h"
#include "settings/bilder.h"
#include "settings/reminder.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"
#include "trainer/frmSchreiben.h"
#include "trainer/toolicons.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

const QString frmarc::kSignal = QStringLiteral("\\CHIMES2.WAV");
const QString frmarc::kNichtLesbar =
    QStringLiteral("Die Farbe unter der Pipette kann auf diesem Bildschirm nicht gelesen werden. "
                   "Farbe und Vorschau bleiben unverändert.");

namespace {

QLabel* text(QWidget* parent, const char* name, const QString& t, int x, int y, int w, int h) {
    auto* l = place<QLabel>(parent, name, x, y, w, h);
    l->setText(t);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    akzentRaumGeben(l);  // "Übungen" on a first line keeps its dots
    return l;
}

QCheckBox* schalter(QWidget* parent, const char* name, const QString& caption, const QString& tip,
                    int x, int y) {
    auto* c = place<QCheckBox>(parent, name, x, y, 200, 22);
    c->setText(caption);
    c->setToolTip(tip);
    return c;
}

QFrame* feld(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* f = place<QFrame>(parent, name, x, y, w, h);
    f->setFrameShape(QFrame::Box);
    f->setAutoFillBackground(true);
    return f;
}

// The dino of the animation, as the first picture of its file, groesse
// logical pixels wide, made from its largest frame at the resolution of the
// sharpest screen; nothing when the file is missing or cannot be read.
QPixmap dinoBild(const QString& pfad, int groesse) {
    const AniAnimation a = readAniFile(pfad);
    if (a.isEmpty()) return {};
    const qreal dpr = qGuiApp->devicePixelRatio();
    QImage bild = a.frames2x.isEmpty() ? a.frames.first() : a.frames2x.first();
    bild = bild.scaled(QSize(groesse, groesse) * dpr, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    bild.setDevicePixelRatio(dpr);
    return QPixmap::fromImage(bild);
}

}  // namespace

frmarc::frmarc(App& app) : QDialog(nullptr), app_(app) {
    setObjectName(QStringLiteral("frmarc"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Einstellungen"));
    buildLayout();
    Form_Load();
}

frmarc::~frmarc() { pipetteLoslassen(); }

void frmarc::buildLayout() {
    setFixedSize(468, 352);
    SSTab1 = place<QTabWidget>(this, "SSTab1", 8, 8, 452, 296);
    auto seite = [this](const char* name, const QString& titel) {
        auto* w = new QWidget;
        w->setObjectName(QString::fromLatin1(name));
        SSTab1->addTab(w, titel);
        return w;
    };

    // Tab 0: the acoustic signals.
    QWidget* audio = seite("TabAudio", QStringLiteral("Audio"));
    Label4 = text(audio, "Label4",
                  QStringLiteral("Hier können Sie die akustische Unterstützung (Maschinengeräusch, "
                                 "Fehlermeldung) abschalten."),
                  16, 16, 410, 40);
    Check3 = schalter(audio, "Check3", QStringLiteral("Fehlermeldung"), QStringLiteral("Fehlermeldung"),
                      32, 72);
    Check4 = schalter(audio, "Check4", QStringLiteral(" Maschinengeräusch"),
                      QStringLiteral("Maschinengeräusch"), 32, 104);
    Check6 = schalter(audio, "Check6", QStringLiteral("Sprachausgabe"),
                      QStringLiteral("Die nächste Taste, Fehler und das Ergebnis werden angesagt"), 32, 136);

    // Tab 1: the practice reminder.
    QWidget* rem = seite("TabReminder", QStringLiteral("Reminder"));
    Check1 = schalter(rem, "Check1", QStringLiteral("Reminder"), QStringLiteral("Reminder "), 16, 12);
    Label9 = text(rem, "Label9",
                  QStringLiteral("1.Hier stellen Sie die gewünschte Übungszeit ein.  2.Gestartet wird "
                                 "der Reminder mit diesem Button:"),
                  16, 44, 320, 48);
    Slider2 = place<QSlider>(rem, "Slider2", 16, 100, 300, 28);
    Slider2->setOrientation(Qt::Horizontal);
    Slider2->setRange(1, 60);
    Slider2->setTickPosition(QSlider::TicksBelow);
    Slider2->setTickInterval(5);
    Slider2->setToolTip(QStringLiteral("Hier die gewünschte Trainingsdauer einstellen."));
    // The value counts (and is stored) when the slider is let go; while it
    // is dragged the box already shows the minutes.
    Slider2->setTracking(false);
    Text4 = place<QLineEdit>(rem, "Text4", 328, 100, 64, 24);
    Text4->setReadOnly(true);
    Text4->setAlignment(Qt::AlignRight);
    Command2 = place<QPushButton>(rem, "Command2", 340, 44, 49, 33);
    Command2->setToolTip(QStringLiteral("Reminder "));
    Command2->setIcon(werkzeugSymbol(Werkzeug::Reminder));
    Command2->setIconSize(QSize(22, 22));
    Label8 = text(rem, "Label8",
                  QStringLiteral("Nach Ablauf der eingestellten Zeit werden Sie durch ein Signal  erinnert."),
                  16, 148, 300, 40);
    Label6 = text(rem, "Label6", QStringLiteral("Signaltest:"), 16, 204, 80, 20);
    Command10 = place<QPushButton>(rem, "Command10", 100, 196, 49, 33);
    Command10->setToolTip(QStringLiteral("Signaltest"));
    Command10->setIcon(QIcon(lautsprecher(32)));
    Command10->setIconSize(QSize(22, 22));
    Timer2 = app_.reminder().Timer2;
    app_.reminder().knopfZeigen(Command2);

    // Tab 2: the colour design and the pipette.
    QWidget* farbe = seite("TabFarbdesign", QStringLiteral("Farbdesign"));
    Label7 = text(farbe, "Label7",
                  QStringLiteral("Hier können Sie das Farbdesign Ihrem persönlichen Geschmack anpassen."),
                  16, 8, 410, 36);
    Label13 = text(farbe, "Label13", QStringLiteral("Benutzen Sie die Pipette mit der Maus"), 16, 52,
                   230, 20);
    Picture2 = place<QLabel>(farbe, "Picture2", 24, 80, 48, 48);
    Picture2->setPixmap(pipettenBild(40));
    Picture2->setAlignment(Qt::AlignCenter);
    Picture2->setFrameShape(QFrame::Panel);
    Picture2->setFrameShadow(QFrame::Raised);
    Picture2->setCursor(Qt::PointingHandCursor);
    Picture2->setToolTip(
        QStringLiteral("Klicken Sie die Pipette mit der linken Maustaste und halten Sie die Taste "
                       "gedrückt. Führen Sie die Pipette auf eine beliebige Farbe.Dann Die Maus "
                       "einfach loslassen."));
    Picture2->installEventFilter(this);
    Picture1 = feld(farbe, "Picture1", 88, 80, 96, 48);
    Picture1->setToolTip(QStringLiteral("Vorschaufenster"));
    Picture1->setFocusPolicy(Qt::TabFocus);
    Picture1->setAccessibleName(QStringLiteral("Farbvorschläge"));
    Picture1->setAccessibleDescription(
        QStringLiteral("Mit den Pfeiltasten Originalfarbe, Farbvorschlag 1 oder 2 wählen"));
    Picture1->installEventFilter(this);
    lblHinweis = text(farbe, "lblHinweis", QString(), 200, 76, 230, 56);
    lblHinweis->setStyleSheet(QStringLiteral("color: rgb(160,0,0);"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &frmarc::Timer1_Timer);

    // The swatches and the colour wheel: ordinary pixels for the pipette.
    Shape1 = feld(farbe, "Shape1", 24, 152, 80, 48);
    zeigeFarbe(Shape1, colorFromBgr(kTastenfarbe));
    Label14 = text(farbe, "Label14", QStringLiteral("Originalfarbe !"), 24, 204, 100, 20);
    Shape2 = feld(farbe, "Shape2", 128, 152, 80, 48);
    Shape3 = feld(farbe, "Shape3", 232, 152, 80, 48);
    Image2 = place<QLabel>(farbe, "Image2", 340, 140, 72, 72);
    Image2->setPixmap(farbkreis(72));
    const struct {
        const char* name;
        const char* caption;
        int x, y, w;
    } vorschlag[] = {{"Label15_0", "Farbvorschlag 1", 128, 204, 100},
                     {"Label15_1", "Farbvorschlag 2", 232, 204, 100},
                     {"Label15_2", "Farbkreis", 340, 216, 72}};
    for (int i = 0; i < 3; ++i)
        Label15[i] = text(farbe, vorschlag[i].name, QString::fromLatin1(vorschlag[i].caption),
                          vorschlag[i].x, vorschlag[i].y, vorschlag[i].w, 20);
    Label15[2]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // Tab 3: name, statistics and animation.
    QWidget* versch = seite("TabVerschiedenes", QStringLiteral("Verschiedenes"));
    Label3 = text(versch, "Label3",
                  QStringLiteral("Tragen  Sie hier Ihren Namen ein. Er erscheint dann bei Programmstart "
                                 "in der Titelleiste."),
                  16, 8, 410, 36);
    Text5 = place<QLineEdit>(versch, "Text5", 16, 48, 260, 24);
    Text5->setToolTip(QStringLiteral("Hier Ihren Namen eintragen"));
    Label5 = text(versch, "Label5",
                  QStringLiteral("Wenn Sie sich für die Auswertung Ihrer Übungen interessieren, "
                                 "aktivieren Sie hier die STATISTIK."),
                  16, 92, 410, 36);
    Check2 = schalter(versch, "Check2", QStringLiteral("Statistik"), QStringLiteral("Statistik"), 32, 128);
    Label1 = text(versch, "Label1", QStringLiteral("Hier können Sie die \"Dino\" - Animation aktivieren."),
                  16, 176, 300, 20);
    Check5 = schalter(versch, "Check5", QStringLiteral("Animation"), QStringLiteral("Animation"), 32, 204);
    Image1 = place<QLabel>(versch, "Image1", 340, 168, 64, 64);
    Image1->setAlignment(Qt::AlignCenter);
    const QPixmap dino = dinoBild(app_.datei(QStringLiteral("\\dino.ani")), 48);
    if (!dino.isNull()) Image1->setPixmap(dino);

    // Tab "Klasse": the class server.
    klassenseite_ = new Klassenseite(app_);
    SSTab1->addTab(klassenseite_, QStringLiteral("Klasse"));
    // The copy test's grade key.
    SSTab1->addTab(new Notenschluesselseite(app_, SSTab1), QStringLiteral("Abschrift"));

    // The buttons under the tabs. "Abbrechen" is the default button: Enter
    // leaves the dialog without saving, like Escape. A button that has the
    // focus takes Enter itself, as on every desktop: Tab to "OK" and Enter
    // saves (Qt's auto-default; the default returns to "Abbrechen" when the
    // focus leaves the button).
    Command14 = place<QPushButton>(this, "Command14", 264, 316, 92, 28);
    Command14->setText(QStringLiteral("OK"));
    Command14->setAutoDefault(true);
    Command7 = place<QPushButton>(this, "Command7", 368, 316, 92, 28);
    Command7->setText(QStringLiteral("Abbrechen"));
    Command7->setToolTip(QStringLiteral("Beenden"));
    Command7->setDefault(true);

    connect(Command14, &QPushButton::clicked, this, &frmarc::Command14_Click);
    connect(Command7, &QPushButton::clicked, this, &frmarc::Command7_Click);
    connect(Command2, &QPushButton::clicked, this, &frmarc::Command2_Click);
    connect(Command10, &QPushButton::clicked, this, &frmarc::Command10_Click);
    connect(Slider2, &QSlider::valueChanged, this, &frmarc::Slider2_Change);
    connect(Slider2, &QSlider::sliderMoved, this,
            [this](int v) { Text4->setText(QStringLiteral("%1 min").arg(v)); });
}

void frmarc::zeigeFarbe(QFrame* f, const QColor& farbe) {
    QPalette p = f->palette();
    p.setColor(QPalette::Window, farbe);
    f->setPalette(p);
}

void frmarc::Form_Load() {
    zeigeFarbe(Shape2, colorFromBgr(13160660));
    zeigeFarbe(Shape3, colorFromBgr(12632256));
    Timer1->setInterval(50);
    Timer1->stop();
    zeigeFarbe(Picture1, colorFromBgr(app_.opt.farbwert1 != 0 ? app_.opt.farbwert1 : kTastenfarbe));
    if (auto* main = app_.forms.loaded<frmVelkora>())
        move(twipsToPx(main->leftTwips()), twipsToPx(main->topTwips() + 600));
    const Optionen& o = app_.opt;
    Check2->setChecked(o.checkStatistik);
    Check3->setChecked(o.checkFehlermeldung);
    Check4->setChecked(o.checkGeraeusch);
    Check6->setChecked(o.checkSprache);
    Check5->setChecked(o.checkAnimat);
    Check1->setChecked(o.checkReminder);
    // A stored duration outside 1 to 60 shows as the nearest end; it is
    // stored only when the user moves the slider.
    {
        const QSignalBlocker still(Slider2);
        Slider2->setValue(o.tdauer);
    }
    Text4->setText(QStringLiteral("%1 min").arg(Slider2->value()));
    Text5->setText(o.benutzer);
}

void frmarc::zeigen(int tab) {
    SSTab1->setCurrentIndex(tab);
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
}

// ---- OK, Abbrechen, slider, signal test ----

void frmarc::Command14_Click() {
    Optionen& o = app_.opt;
    o.benutzer = Text5->text();
    o.checkAnimat = Check5->isChecked();
    o.checkFehlermeldung = Check3->isChecked();
    o.checkGeraeusch = Check4->isChecked();
    o.checkReminder = Check1->isChecked();
    o.checkStatistik = Check2->isChecked();
    o.checkSprache = Check6->isChecked();
    o.tdauer = static_cast<qint16>(Slider2->value());
    bool gespeichert = app_.optionenSpeichern({"CheckStatistik", "CheckGeräusch", "CheckFehlermeldung", "CheckReminder",
                                               "Tdauer", "Farbwert1", "Benutzer", "CheckAnimat", "CheckSprache"});
    if (auto* noten = findChild<Notenschluesselseite*>()) gespeichert &= noten->speichern();
    if (!gespeichert)
        app_.services.msgBox(this, app_.einstellungenFehler(), Msg::Exclamation);
    klassenseite_->speichern();
    Command7_Click();
}

void frmarc::Command7_Click() {
    if (geschlossen_) return;
    geschlossen_ = true;
    pipetteLoslassen();
    Timer1->stop();
    app_.forms.unload<frmarc>();
}

void frmarc::Slider2_Change() {
    Text4->setText(QStringLiteral("%1 min").arg(Slider2->value()));
    app_.opt.tdauer = static_cast<qint16>(Slider2->value());
    app_.SaveSetting(QStringLiteral("Optionen"), QStringLiteral("Tdauer"), QString::number(app_.opt.tdauer));
}

void frmarc::Command10_Click() { app_.services.playSound(app_.datei(kSignal)); }

// ---- the reminder ----

void frmarc::Command2_Click() { app_.reminder().startknopf(this); }

void frmarc::remind() {
    if (Check1->isChecked()) app_.reminder().starten();
    else app_.reminder().anhalten();
}

void frmarc::Timer2_Timer() { app_.reminder().Timer2_Timer(); }

// ---- the pipette ----

void frmarc::farbvorschlag(int nr) {
    const std::array<QFrame*, 3> felder = {Shape1, Shape2, Shape3};
    const std::array<const char16_t*, 3> namen = {u"Originalfarbe", u"Farbvorschlag 1", u"Farbvorschlag 2"};
    if (nr < 0 || nr > 2) return;
    vorschlag_ = nr;
    const QColor farbe = felder[nr]->palette().color(QPalette::Window);
    zeigeFarbe(Picture1, farbe);
    app_.opt.farbwert1 = bgrFromColor(farbe);
    Picture1->setAccessibleName(QStringLiteral("Farbvorschläge: ") + QString::fromUtf16(namen[nr]));
    app_.SaveSetting(QStringLiteral("Optionen"), QStringLiteral("Farbwert1"), QString::number(app_.opt.farbwert1));
    if (auto* s = app_.forms.loaded<frmSchreiben>()) s->farbesetzen();
}

bool frmarc::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Picture1 && e->type() == QEvent::KeyPress) {
        const int taste = static_cast<QKeyEvent*>(e)->key();
        const int schritt = taste == Qt::Key_Right || taste == Qt::Key_Down ? 1
                            : taste == Qt::Key_Left || taste == Qt::Key_Up  ? -1
                                                                             : 0;
        if (schritt != 0) {
            farbvorschlag(vorschlag_ < 0 ? (schritt > 0 ? 0 : 2) : (vorschlag_ + schritt + 3) % 3);
            return true;
        }
    }
    if (watched == Picture2 && e->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        Picture2_MouseDown();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void frmarc::mouseReleaseEvent(QMouseEvent* e) {
    // While picking, the dialog holds the mouse: the release ends the pick
    // wherever the pointer is.
    if (pipette_ && e->button() == Qt::LeftButton) {
        Picture2_MouseUp();
        return;
    }
    QDialog::mouseReleaseEvent(e);
}

void frmarc::Picture2_MouseDown() {
    if (pipette_) return;
    pipette_ = true;
    Picture2->hide();
    const QCursor zeiger = pipettenZeiger();
    QApplication::setOverrideCursor(zeiger);
    grabMouse(zeiger);
    Timer1->start();
}

void frmarc::Timer1_Timer() {
    const QPoint pos = app_.services.cursorPos();
    if (pos == letztePos_) return;  // a still pointer reads its pixel once
    letztePos_ = pos;
    const std::optional<QColor> farbe = app_.services.screenPixel(pos);
    if (!farbe) {
        lblHinweis->setText(kNichtLesbar);
        return;
    }
    lblHinweis->clear();
    zeigeFarbe(Picture1, *farbe);
    app_.opt.farbwert1 = bgrFromColor(*farbe);
}

void frmarc::pipetteLoslassen() {
    if (!pipette_) return;
    pipette_ = false;
    Timer1->stop();
    releaseMouse();
    QApplication::restoreOverrideCursor();
    Picture2->show();
}

void frmarc::Picture2_MouseUp() {
    if (!pipette_) return;
    pipetteLoslassen();
    app_.SaveSetting(QStringLiteral("Optionen"), QStringLiteral("Farbwert1"),
                     QString::number(app_.opt.farbwert1));
    if (auto* s = app_.forms.loaded<frmSchreiben>()) s->farbesetzen();
}
