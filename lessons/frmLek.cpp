#include "lessons/frmLek.h"
#include "platform/zugang.h"
#include "platform/controls.h"
#include "platform/numbers.h"
#include "pruefung/frmAbschrift.h"
#include "shell/app.h"
#include "shell/fenster.h"
#include "trainer/frmSchreiben.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// Preview keys glow in pure red; starting the lesson turns them to the base colour.
const QColor kVorschaurot(255, 0, 0);

QFont courier(int punkte, bool fett) {
    QFont f(QStringLiteral("Courier New"), punkte);
    f.setStyleHint(QFont::TypeWriter);
    f.setBold(fett);
    return f;
}

template <class W>
W* control(QWidget* parent, const QString& name) {
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text) {
    auto* l = control<QLabel>(parent, name);
    l->setText(text);
    return l;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text) {
    auto* b = control<QPushButton>(parent, name);
    b->setText(text);
    b->setAutoDefault(false);
    return b;
}

QSlider* slider(QWidget* parent, const QString& name, int max) {
    auto* s = control<QSlider>(parent, name);
    s->setOrientation(Qt::Horizontal);
    s->setRange(1, max);
    s->setPageStep(1);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(1);
    s->setFocusPolicy(Qt::StrongFocus);
    return s;
}

// The box holding a selector: the number the "OK" button starts.
QLineEdit* auswahlFeld(QWidget* parent, const QString& name) {
    auto* t = control<QLineEdit>(parent, name);
    t->setFont(courier(18, false));
    t->setAlignment(Qt::AlignCenter);
    t->setFixedWidth(64);
    return t;
}

QLineEdit* anzeigeFeld(QWidget* parent, const QString& name) {
    auto* t = control<QLineEdit>(parent, name);
    t->setReadOnly(true);
    t->setFocusPolicy(Qt::NoFocus);
    return t;
}

// OK and Abbrechen, right-aligned at the foot of a tab.
QHBoxLayout* knopfzeile(QPushButton* ok, QPushButton* abbrechen) {
    auto* zeile = new QHBoxLayout;
    zeile->addStretch(1);
    ok->setMinimumWidth(90);
    abbrechen->setMinimumWidth(90);
    zeile->addWidget(ok);
    zeile->addWidget(abbrechen);
    return zeile;
}

// One tab of the form "heading / selector + caption / slider / range / buttons".
QWidget* teilTab(QWidget* parent, QLabel* kopf, QLineEdit* auswahl, QLineEdit* beschriftung,
                 QSlider* regler, QLabel* bereich, QPushButton* ok, QPushButton* abbrechen) {
    auto* tab = new QWidget(parent);
    for (QWidget* w : std::initializer_list<QWidget*>{kopf, auswahl, beschriftung, regler, bereich,
                                                      ok, abbrechen})
        w->setParent(tab);
    auto* v = new QVBoxLayout(tab);
    v->addWidget(kopf);
    auto* zeile = new QHBoxLayout;
    zeile->addWidget(auswahl);
    zeile->addWidget(beschriftung, 1);
    v->addLayout(zeile);
    v->addSpacing(8);
    v->addWidget(regler);
    bereich->setAlignment(Qt::AlignCenter);
    v->addWidget(bereich);
    v->addStretch(1);
    v->addLayout(knopfzeile(ok, abbrechen));
    return tab;
}
}  // namespace

frmLek::frmLek(App& app) : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), app_(app) {
    setObjectName(QStringLiteral("frmLek"));
    setWindowTitle(QStringLiteral("Lektionen"));
    setAttribute(Qt::WA_DeleteOnClose);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(1000);
    connect(Timer3, &QTimer::timeout, this, &frmLek::Timer3_Timer);
    CommonDialog1 = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Datei öffnen"), app_.programDir(),
                                            QStringLiteral("MeinText*.txt (MeinText*.txt)"));
    };
    buildLayout();
    Form_Load();
    verbinden();
}

frmLek::~frmLek() = default;

void frmLek::buildLayout() {
    auto* haupt = new QVBoxLayout(this);
    haupt->setContentsMargins(6, 6, 6, 6);
    SSTab1 = control<QTabWidget>(this, QStringLiteral("SSTab1"));
    SSTab1->setUsesScrollButtons(false);  // all five tabs in sight
    haupt->addWidget(SSTab1);

    // Tab 0: the lessons.
    auto* lek = new QWidget(SSTab1);
    Label1[0] = label(lek, QStringLiteral("Label1_0"), QStringLiteral("Lektion:"));
    Text2 = auswahlFeld(lek, QStringLiteral("Text2"));
    Text2->setToolTip(QStringLiteral("Lektionsnummer"));
    Slider1 = slider(lek, QStringLiteral("Slider1"), 18);
    Slider1->setToolTip(QStringLiteral("Lektion hier einstellen"));
    Label4[0] = label(lek, QStringLiteral("Label4_0"), QStringLiteral("<-- Lektion 1 bis 18 -->"));
    Label4[0]->setAlignment(Qt::AlignCenter);
    Text1 = control<QPlainTextEdit>(lek, QStringLiteral("Text1"));
    Text1->setFont(courier(9, false));
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::NoFocus);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Command1 = button(lek, QStringLiteral("Command1"), QStringLiteral("OK"));
    Command8 = button(lek, QStringLiteral("Command8"), QStringLiteral("Abbrechen"));
    {
        auto* v = new QVBoxLayout(lek);
        auto* zeile = new QHBoxLayout;
        zeile->addWidget(Label1[0]);
        zeile->addWidget(Text2);
        zeile->addSpacing(12);
        auto* regler = new QVBoxLayout;
        regler->addWidget(Slider1);
        regler->addWidget(Label4[0]);
        zeile->addLayout(regler, 1);
        v->addLayout(zeile);
        v->addWidget(Text1, 1);
        lblBestanden = label(lek, QStringLiteral("lblBestanden"), QString());
        cmdVorschlag = button(lek, QStringLiteral("cmdVorschlag"), QStringLiteral("&Vorschlag"));
        cmdVorschlag->setToolTip(QStringLiteral("Die vorgeschlagene Lektion einstellen"));
        auto* bestanden = new QHBoxLayout;
        bestanden->addWidget(lblBestanden, 1);
        bestanden->addWidget(cmdVorschlag);
        v->addLayout(bestanden);
        v->addLayout(knopfzeile(Command1, Command8));
        // The proposal comes before OK, as it stands above it.
        setTabOrder(Slider1, cmdVorschlag);
        setTabOrder(cmdVorschlag, Command1);
    }
    SSTab1->addTab(lek, QStringLiteral("Lektionen"));

    // Tabs 1 and 2: the intensive trainings.
    Label3[0] = label(this, QStringLiteral("Label3_0"), QStringLiteral("Intensivtraining linke Hand "));
    Text6 = auswahlFeld(this, QStringLiteral("Text6"));
    Text5 = anzeigeFeld(this, QStringLiteral("Text5"));
    Slider3 = slider(this, QStringLiteral("Slider3"), 2);
    Label6 = label(this, QStringLiteral("Label6"), QStringLiteral("<-- 1 bis 2 -->"));
    Command5 = button(this, QStringLiteral("Command5"), QStringLiteral("OK"));
    Command7 = button(this, QStringLiteral("Command7"), QStringLiteral("Abbrechen"));
    SSTab1->addTab(teilTab(SSTab1, Label3[0], Text6, Text5, Slider3, Label6, Command5, Command7),
                   QStringLiteral("Linke Hand"));

    Label3[1] = label(this, QStringLiteral("Label3_1"), QStringLiteral("Intensivtraining rechte Hand"));
    Text7 = auswahlFeld(this, QStringLiteral("Text7"));
    Text8 = anzeigeFeld(this, QStringLiteral("Text8"));
    Slider4 = slider(this, QStringLiteral("Slider4"), 2);
    Label5 = label(this, QStringLiteral("Label5"), QStringLiteral("<-- 1 bis 2 -->"));
    Command3 = button(this, QStringLiteral("Command3"), QStringLiteral("OK"));
    Command6 = button(this, QStringLiteral("Command6"), QStringLiteral("Abbrechen"));
    SSTab1->addTab(teilTab(SSTab1, Label3[1], Text7, Text8, Slider4, Label5, Command3, Command6),
                   QStringLiteral("Rechte Hand"));

    // Tab 3: the practice texts.
    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("Text:"));
    Text3 = auswahlFeld(this, QStringLiteral("Text3"));
    Text4 = anzeigeFeld(this, QStringLiteral("Text4"));
    Slider2 = slider(this, QStringLiteral("Slider2"), 5);
    Label4[1] = label(this, QStringLiteral("Label4_1"), QStringLiteral("<-- Text 1 bis 5 -->"));
    Command2 = button(this, QStringLiteral("Command2"), QStringLiteral("OK"));
    Command4 = button(this, QStringLiteral("Command4"), QStringLiteral("Abbrechen"));
    SSTab1->addTab(teilTab(SSTab1, Label2, Text3, Text4, Slider2, Label4[1], Command2, Command4),
                   QStringLiteral("Übungstexte"));

    // Tab 4: own texts.
    auto* eigene = new QWidget(SSTab1);
    Command9 = button(eigene, QStringLiteral("Command9"), QStringLiteral("Datei öffnen"));
    Text9 = anzeigeFeld(eigene, QStringLiteral("Text9"));
    {
        auto* v = new QVBoxLayout(eigene);
        auto* zeile = new QHBoxLayout;
        zeile->addWidget(Command9);
        zeile->addWidget(Text9, 1);
        v->addLayout(zeile);
        auto* hinweis = label(eigene, QStringLiteral("Hinweis"),
                              QStringLiteral("Eigene Übungstexte sind Textdateien mit Namen wie "
                                             "„MeinText1.txt“. Nach der Wahl der Datei beginnt "
                                             "die Übung sofort."));
        hinweis->setWordWrap(true);
        akzentRaumGeben(hinweis);
        v->addSpacing(8);
        v->addWidget(hinweis);
        v->addStretch(1);
    }
    SSTab1->addTab(eigene, QStringLiteral("Eigene Texte"));
    schwaechenTabBauen();

    // Tab 6: the copy test.
    SSTab1->addTab(new AbschriftAuswahl(app_, SSTab1), QStringLiteral("Abschrift"));

    setFixedSize(sizeHint().expandedTo(QSize(480, 330)));
}

void frmLek::verbinden() {
    connect(SSTab1, &QTabWidget::currentChanged, this, &frmLek::SSTab1_Click);
    // Return starts the tab's exercise, Escape cancels, wherever the focus is.
    for (QPushButton* ok : {Command1, Command5, Command3, Command2, Command9, cmdSchwaechen}) alsStandardknopf(ok);
    for (QPushButton* ab : {Command8, Command7, Command6, Command4, cmdSchwaechenAbbrechen}) alsAbbruchknopf(ab);
    if (auto* abschrift = findChild<AbschriftAuswahl*>()) {
        alsStandardknopf(abschrift->cmdStart);
        alsAbbruchknopf(abschrift->cmdAbbrechen);
    }
    connect(Slider1, &QSlider::valueChanged, this, &frmLek::Slider1_Change);
    connect(Slider2, &QSlider::valueChanged, this, &frmLek::Slider2_Change);
    connect(Slider3, &QSlider::valueChanged, this, &frmLek::Slider3_Change);
    connect(Slider4, &QSlider::valueChanged, this, &frmLek::Slider4_Change);
    connect(Command1, &QPushButton::clicked, this, &frmLek::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmLek::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmLek::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &frmLek::Command5_Click);
    connect(Command9, &QPushButton::clicked, this, &frmLek::Command9_Click);
    connect(cmdVorschlag, &QPushButton::clicked, this, &frmLek::cmdVorschlag_Click);
    connect(cmdSchwaechen, &QPushButton::clicked, this, &frmLek::starteSchwaechen);
    connect(chkAlleTasten, &QCheckBox::toggled, this, &frmLek::schwaechenVorbereiten);
    for (QPushButton* b : {Command4, Command6, Command7, Command8, cmdSchwaechenAbbrechen})
        connect(b, &QPushButton::clicked, this, &frmLek::Abbrechen_Click);
}

void frmLek::Form_Load() {
    unterHauptfenster(app_, this);
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    s.Label8->setText(QString());
    s.Label8->show();
    s.Label7->show();

    Slider1->setValue(1);
    Text2->setText(QStringLiteral("1"));
    Text1->setPlainText(lektion(1)->vorschauText());
    s.hintergrundfarbe();
    for (int t : lektion(1)->markierteTasten()) s.setTastenfarbe(t, kVorschaurot);

    Slider2->setValue(1);
    Text3->setText(QStringLiteral("1"));
    Text4->setText(QStringLiteral("Übungstext 1  "));
    Slider3->setValue(1);
    Text6->setText(QStringLiteral("1"));
    Text5->setText(QStringLiteral("Intensiv-Training Linke Hand 1.Teil"));
    Slider4->setValue(1);
    Text7->setText(QStringLiteral("1"));
    Text8->setText(QStringLiteral("Intensiv-Training Rechte Hand 1.Teil"));

    bestandenZeigen();
    Timer3->start();  // the stopwatch runs from the moment the window is loaded
}

void frmLek::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (auto* s = app_.forms.loaded<frmSchreiben>()) s->hintergrundfarbe();
    Timer3->stop();
}

void frmLek::closeEvent(QCloseEvent* e) {
    Form_Unload();
    e->accept();
}

void frmLek::zeigen() {
    show();
    raise();
    activateWindow();
    SSTab1->setCurrentIndex(0);
    Slider1->setFocus();
    bestandenZeigen();
}

// ---- tabs and sliders ----

void frmLek::SSTab1_Click(int tab) {
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    if (tab == tabSchwaechen) {
        schwaechenVorbereiten();
        return;
    }
    // Arrow keys on the tab bar go on from tab to tab; a click on a tab
    // puts the keyboard on its slider.
    if (SSTab1->tabBar()->hasFocus()) {
        if (tab != 0) s.hintergrundfarbe();
        return;
    }
    switch (tab) {
    case 0: Slider1->setFocus(); return;  // the lesson preview keeps its keys
    case 1: Slider3->setFocus(); break;
    case 2: Slider4->setFocus(); break;
    case 3: Slider2->setFocus(); break;
    default: break;
    }
    s.hintergrundfarbe();
}

void frmLek::sliderVorspann() {
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    s.Label8->setText(QString());
    s.Label8->show();
    s.Label7->show();
}

void frmLek::lektionsVorschau(int nummer) {
    const Katalogeintrag* e = lektion(nummer);
    if (!e) return;
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    Text1->setPlainText(e->vorschauText());
    s.hintergrundfarbe();
    for (int t : e->markierteTasten()) s.setTastenfarbe(t, kVorschaurot);
}

void frmLek::Slider1_Change() {
    sliderVorspann();
    Text2->setText(QString::number(Slider1->value()));
    if (const Katalogeintrag* e = katalogeintrag(Gruppe::Lektionen, Text2->text()))
        lektionsVorschau(e->nummer);
}

void frmLek::Slider2_Change() {
    sliderVorspann();
    Text3->setText(QString::number(Slider2->value()));
    if (const Katalogeintrag* e = katalogeintrag(Gruppe::Uebungstexte, Text3->text()))
        Text4->setText(e->beschriftungText());
}

void frmLek::Slider3_Change() {
    sliderVorspann();
    Text6->setText(QString::number(Slider3->value()));
    if (const Katalogeintrag* e = katalogeintrag(Gruppe::LinkeHand, Text6->text()))
        Text5->setText(e->beschriftungText());
    app_.forms.get<frmSchreiben>().hintergrundfarbe();
}

void frmLek::Slider4_Change() {
    sliderVorspann();
    Text7->setText(QString::number(Slider4->value()));
    if (const Katalogeintrag* e = katalogeintrag(Gruppe::RechteHand, Text7->text()))
        Text8->setText(e->beschriftungText());
    app_.forms.get<frmSchreiben>().hintergrundfarbe();
}

// ---- buttons ----

void frmLek::Command1_Click() { starteUebung(Gruppe::Lektionen, Text2->text()); }
void frmLek::Command2_Click() { starteUebung(Gruppe::Uebungstexte, Text3->text()); }
void frmLek::Command3_Click() { starteUebung(Gruppe::RechteHand, Text7->text()); }
void frmLek::Command5_Click() { starteUebung(Gruppe::LinkeHand, Text6->text()); }

void frmLek::Command9_Click() {
    const QString pfad = CommonDialog1 ? CommonDialog1() : QString();
    if (pfad.isEmpty()) return;  // cancelled
    LadeDatei(pfad);
}

void frmLek::Abbrechen_Click() { app_.forms.unload<frmLek>(); }

// ---- the stopwatch ----

void frmLek::Stoppuhr() {
    Timer3->start();
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    if (s.Command5->isEnabled()) {
        s.Command5->setEnabled(false);
        s.Command6->setEnabled(true);
    }
}

void frmLek::Timer3_Timer() {
    Uebung& ex = app_.ex;
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    ex.sekunden += 1;
    s.Text3->setText(zahlText(ex.sekunden) + QStringLiteral(" sec"));
    s.Label12->setText(zahlText(ex.sekunden));
    ex.laufzeit = ex.sekunden;
    rechne();
}

double frmLek::rechne() {
    Uebung& ex = app_.ex;
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    ergeb = ex.laufzeit / 60;
    const QString minuten = zahlText(rundeGerade(ergeb, 1));
    s.Label10->setText(minuten + QStringLiteral(" min"));
    s.Text4->setText(minuten);
    // Counts beyond the 16-bit range are held at its ends, never overflow.
    ex.anschlaegeGanz = toInt16Clamped(ex.zaehler);
    if (ergeb > 0) ex.anschlaegeProMinute = toInt16Clamped(ex.anschlaegeGanz / ergeb);
    return ergeb;
}
