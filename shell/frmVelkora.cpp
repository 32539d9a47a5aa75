#include "shell/frmVelkora.h"
#include "hilfe/handbuch.h"
#include "hilfe/hilfetaste.h"
#include "insight/frmTasten.h"
#include "insight/export.h"
#include "insight/frmFortschritt.h"
#include "klasse/frmKlasse.h"
#include "keypad/frmNumBlock.h"
#include "lessons/frmLek.h"
#include "platform/numbers.h"
#include "platform/units.h"
#include "settings/frmarc.h"
#include "shell/app.h"
#include "trainer/frmSchreiben.h"
#include "windows/frmAbout.h"
#include "windows/frmGym.h"
#include "windows/frmTip.h"
#include "windows/impressum.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

QString hauptTitel(const QString& benutzer) {
    if (benutzer.isEmpty()) return QStringLiteral("Velkora 1.0  ");
    return QStringLiteral("Velkora 1.0     ") + benutzer;
}

frmVelkora::frmVelkora(App& app) : QMainWindow(nullptr), app_(app) {
    setObjectName(QStringLiteral("frmVelkora"));
    setAttribute(Qt::WA_DeleteOnClose);
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MDIClient"));
    mdi_->setBackground(QColor(128, 128, 128));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(mdi_);
    mdi_->viewport()->installEventFilter(this);  // keeps the writing window filling the area

    buildMenu();
    resize(twipsToPx(kWidth), twipsToPx(kHeight));
    MDIForm_Load();
}

frmVelkora::~frmVelkora() = default;

// ---- the menu ----

namespace {

enum class Ebene { Menue, Punkt, Untermenue, Unterpunkt };

// The menu bar in display order: top menus, their items, and the submenus
// of "Optionen" with their items. Shortcuts are Ctrl plus the letter.
struct Menuepunkt {
    Ebene ebene;
    const char* name;
    const char* text;
    char taste;  // 0: none
    void (frmVelkora::*befehl)();
};

constexpr Menuepunkt kMenue[] = {
    {Ebene::Menue, "dat", "&Datei", 0, nullptr},
    {Ebene::Punkt, "Been", "Beenden", 'Q', &frmVelkora::Been_Click},
    {Ebene::Menue, "lek", "&Lektionen", 0, nullptr},
    {Ebene::Punkt, "Ausw", "Lektionen-Auswahl", 'L', &frmVelkora::Ausw_Click},
    {Ebene::Punkt, "menSchwaechen", "Schwächen üben", 0, &frmVelkora::menSchwaechen_Click},
    {Ebene::Menue, "mengym", "&Gymnastik", 0, nullptr},
    {Ebene::Punkt, "menAusw", "Auswahl", 'G', &frmVelkora::menAusw_Click},
    {Ebene::Menue, "Opt", "&Optionen", 0, nullptr},
    {Ebene::Untermenue, "einstel", "Einstellungen", 0, nullptr},
    {Ebene::Unterpunkt, "aud", "Audio", 0, &frmVelkora::aud_Click},
    {Ebene::Unterpunkt, "re", "Reminder", 'R', &frmVelkora::re_Click},
    {Ebene::Unterpunkt, "fa", "Farbe", 0, &frmVelkora::fa_Click},
    {Ebene::Unterpunkt, "mennam", "Verschiedenes", 0, &frmVelkora::mennam_Click},
    {Ebene::Unterpunkt, "menKlasseEinst", "Klasse", 0, &frmVelkora::menKlasseEinst_Click},
    {Ebene::Unterpunkt, "menNotenschluessel", "Abschrift", 0, &frmVelkora::menNotenschluessel_Click},
    {Ebene::Untermenue, "menTim", "Timer", 0, nullptr},
    {Ebene::Unterpunkt, "menTimAnh", "Timer anhalten", 'A', &frmVelkora::menTimAnh_Click},
    {Ebene::Unterpunkt, "Timstart", "Timer starten", 'S', &frmVelkora::Timstart_Click},
    {Ebene::Menue, "menModul", "&Module", 0, nullptr},
    {Ebene::Punkt, "menNumbl", "Nummernblock", 'N', &frmVelkora::menNumbl_Click},
    {Ebene::Punkt, "menEditor", "Editor", 0, &frmVelkora::menEditor_Click},
    {Ebene::Menue, "menknow", "&KnowHow", 0, nullptr},
    {Ebene::Punkt, "mentip", "Tips", 'T', &frmVelkora::mentip_Click},
    {Ebene::Menue, "ent", "&Auswertung", 0, nullptr},
    {Ebene::Punkt, "menst", "Statistik", 'X', &frmVelkora::menst_Click},
    {Ebene::Punkt, "menTasten", "Meine Tasten", 0, &frmVelkora::menTasten_Click},
    {Ebene::Punkt, "menFortschritt", "Fortschritt", 0, &frmVelkora::menFortschritt_Click},
    {Ebene::Punkt, "menExport", "Ergebnisse exportieren …", 0, &frmVelkora::menExport_Click},
    {Ebene::Punkt, "menKlasse", "Klassenübersicht", 0, &frmVelkora::menKlasse_Click},
    {Ebene::Menue, "abt", "&Über", 0, nullptr},
    {Ebene::Punkt, "Wer", "Über Velkora ?", 'Y', &frmVelkora::Wer_Click},
    {Ebene::Punkt, "menWeb", "Velkora im Web", 'W', &frmVelkora::menWeb_Click},
    {Ebene::Punkt, "menMail", "Mail", 'M', &frmVelkora::menMail_Click},
    {Ebene::Punkt, "menHilfe", "Hilfe", 0, &frmVelkora::menHilfe_Click},
};

}  // namespace

const QString frmVelkora::kMailAdresse = QStringLiteral("mailto:") + kEMail;

void frmVelkora::buildMenu() {
    QMenu* menue = nullptr;
    QMenu* unter = nullptr;
    for (const Menuepunkt& m : kMenue) {
        const QString name = QString::fromLatin1(m.name);
        const QString text = QString::fromUtf8(m.text);
        switch (m.ebene) {
        case Ebene::Menue:
            menue = menuBar()->addMenu(text);
            menue->setObjectName(name);
            if (name == QLatin1String("lek")) lek_ = menue;
            continue;
        case Ebene::Untermenue:
            unter = menue->addMenu(text);
            unter->setObjectName(name);
            continue;
        case Ebene::Punkt:
        case Ebene::Unterpunkt: break;
        }
        QAction* a = (m.ebene == Ebene::Punkt ? menue : unter)->addAction(text);
        a->setObjectName(name);
        if (m.taste) a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(m.taste)));
        connect(a, &QAction::triggered, this, [this, befehl = m.befehl] { ausfuehren(befehl); });
    }
    // F1 itself is answered in every window by the help's key filter; the
    // menu names it.
    if (auto* hilfe = findChild<QAction*>(QStringLiteral("menHilfe"))) hilfe->setShortcut(QKeySequence(Qt::Key_F1));
}

void frmVelkora::ausfuehren(void (frmVelkora::*befehl)()) {
    // A command whose window cannot be made is reported; the program goes on.
    try {
        (this->*befehl)();
    } catch (const std::exception& e) {
        app_.services.msgBox(this,
                             QStringLiteral("Der Befehl konnte nicht ausgeführt werden: %1")
                                 .arg(QString::fromLocal8Bit(e.what())),
                             Msg::Critical);
    }
}

void frmVelkora::Been_Click() { close(); }

void frmVelkora::Ausw_Click() { app_.forms.get<frmLek>().zeigen(); }
void frmVelkora::menSchwaechen_Click() { app_.forms.get<frmLek>().zeigenSchwaechen(); }

void frmVelkora::menAusw_Click() { app_.forms.get<frmGym>().zeigen(); }

void frmVelkora::einstellungen(int tab) {
    app_.services.beep();
    app_.forms.get<frmarc>().zeigen(tab);
}

void frmVelkora::aud_Click() { einstellungen(frmarc::TabAudio); }
void frmVelkora::re_Click() { einstellungen(frmarc::TabReminder); }
void frmVelkora::fa_Click() { einstellungen(frmarc::TabFarbdesign); }
void frmVelkora::mennam_Click() { einstellungen(frmarc::TabVerschiedenes); }
void frmVelkora::menKlasseEinst_Click() { einstellungen(frmarc::TabKlasse); }
void frmVelkora::menNotenschluessel_Click() { einstellungen(frmarc::TabAbschrift); }

void frmVelkora::menTimAnh_Click() { stoppuhr(false); }

void frmVelkora::Timstart_Click() { stoppuhr(true); }

void frmVelkora::stoppuhr(bool laufen) {
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    if (s.Frame3->isHidden()) return;  // no exercise has started
    frmLek& lek = app_.forms.get<frmLek>();
    if (lek.Timer3->isActive() == laufen) return;
    if (laufen) lek.Timer3->start();
    else lek.Timer3->stop();
    // The writing window's buttons follow: the one just used goes off.
    QPushButton* benutzt = laufen ? s.Command5 : s.Command6;
    QPushButton* andere = laufen ? s.Command6 : s.Command5;
    if (benutzt->isEnabled()) {
        benutzt->setEnabled(false);
        andere->setEnabled(true);
    }
}

void frmVelkora::menNumbl_Click() { app_.forms.get<frmNumBlock>().zeigen(); }

void frmVelkora::menEditor_Click() { app_.forms.get<frmSchreiben>().Command14_Click(); }

void frmVelkora::mentip_Click() { app_.forms.get<frmTip>().zeigen(); }

void frmVelkora::menst_Click() {
    // The switch as the settings dialog shows it; reading it loads the
    // dialog unseen.
    const bool aktiv = app_.forms.get<frmarc>().Check2->isChecked();
    app_.forms.get<frmSchreiben>().statistikOeffnen(aktiv);
}

void frmVelkora::menTasten_Click() { app_.forms.get<frmTasten>().zeigen(); }
void frmVelkora::menFortschritt_Click() { app_.forms.get<frmFortschritt>().zeigen(); }
void frmVelkora::menKlasse_Click() { app_.forms.get<frmKlasse>().zeigen(); }

void frmVelkora::menExport_Click() { exportDialog(app_, this); }

void frmVelkora::Wer_Click() { app_.forms.get<frmAbout>().zeigen(); }

void frmVelkora::menWeb_Click() { app_.services.shellOpen(frmSchreiben::kHomepage); }

void frmVelkora::menMail_Click() { app_.services.shellOpen(kMailAdresse); }

void frmVelkora::menHilfe_Click() { hilfeZeigen(app_, kStartseite); }

int frmVelkora::leftTwips() const { return pxToTwips(pos().x()); }
int frmVelkora::topTwips() const { return pxToTwips(pos().y()); }

void frmVelkora::MDIForm_Load() {
    // Each step stands on its own: one that fails is skipped.
    // 1, 2: the writing window (its own load applies the colour design).
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    schreibenSub_ = mdi_->addSubWindow(&s, Qt::FramelessWindowHint | Qt::SubWindow);
    schreibenSub_->setObjectName(QStringLiteral("frmSchreibenSub"));
    s.show();
    schreibenSub_->show();
    fitChild();
    mdi_->setActiveSubWindow(schreibenSub_);
    // 3: the help file.
    helpFile_ = app_.datei(QStringLiteral("\\velkora.chm"));
    // 4, 5: the user's name (at most what the name box holds) and the title.
    app_.opt.benutzer = app_.GetSetting(QStringLiteral("Optionen"), QStringLiteral("Benutzer"));
    setWindowTitle(hauptTitel(app_.opt.benutzer));
    // 6: the options; a value that is not of its type leaves the option as it is.
    const QString o = QStringLiteral("Optionen");
    const QString wahr = boolText(true);
    parseBool(app_.GetSetting(o, QStringLiteral("CheckAnimat"), wahr), app_.opt.checkAnimat);
    parseBool(app_.GetSetting(o, QStringLiteral("CheckFehlermeldung"), wahr),
              app_.opt.checkFehlermeldung);
    parseBool(app_.GetSetting(o, QStringLiteral("CheckGeräusch"), wahr), app_.opt.checkGeraeusch);
    parseBool(app_.GetSetting(o, QStringLiteral("CheckReminder"), wahr), app_.opt.checkReminder);
    parseBool(app_.GetSetting(o, QStringLiteral("CheckStatistik"), wahr), app_.opt.checkStatistik);
    parseInt32(app_.GetSetting(o, QStringLiteral("Farbwert1"), QString::number(kTastenfarbe)),
               app_.opt.farbwert1);
    parseInt16(app_.GetSetting(o, QStringLiteral("Tdauer"), QStringLiteral("5")), app_.opt.tdauer);
    // Spoken keys are on by themselves where a screen reader runs, until
    // the user decides in the settings.
    parseBool(app_.GetSetting(o, QStringLiteral("CheckSprache"), boolText(app_.services.bildschirmleser())),
              app_.opt.checkSprache);
    // A settings file that could not be read as it stood is named.
    const QString hinweis = app_.store.notice(kAppTitle);
    if (!hinweis.isEmpty()) app_.services.msgBox(this, hinweis, Msg::Exclamation);
    // 7: position and size as stored.
    const QString st = QStringLiteral("Settings");
    // Positions are 16-bit twips in the store's range; a value beyond it is
    // taken as its end rather than wrapped, and the window stays on a screen.
    double v = 0;
    QPoint p = pos();
    if (parseNumber(app_.GetSetting(st, QStringLiteral("MainLeft"), QString::number(kLeft)), v))
        p.setX(twipsToPx(toInt16Clamped(v)));
    if (parseNumber(app_.GetSetting(st, QStringLiteral("MainTop"), QString::number(kTop)), v))
        p.setY(twipsToPx(toInt16Clamped(v)));
    // 8: the size is fixed whatever was stored.
    resize(twipsToPx(kWidth), twipsToPx(kHeight));
    QList<QRect> bereiche;
    for (const QScreen* s : QGuiApplication::screens()) bereiche << s->availableGeometry();
    move(aufBildschirm(p, size(), bereiche));
}

QPoint aufBildschirm(QPoint pos, QSize groesse, const QList<QRect>& bereiche) {
    if (bereiche.isEmpty()) return pos;
    const QRect kopf(pos, QSize(std::min(groesse.width(), 100), std::min(groesse.height(), 30)));
    for (const QRect& r : bereiche)
        if (r.contains(kopf)) return pos;
    const QRect& r = bereiche.first();
    return QPoint(std::clamp(pos.x(), r.left(), std::max(r.left(), r.right() + 1 - groesse.width())),
                  std::clamp(pos.y(), r.top(), std::max(r.top(), r.bottom() + 1 - groesse.height())));
}

void frmVelkora::MDIForm_Resize() {
    // The frame keeps its size; maximised and minimised are left alone.
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    const QSize fixed(twipsToPx(kWidth), twipsToPx(kHeight));
    if (size() != fixed) resize(fixed);
}

void frmVelkora::fitChild() {
    if (schreibenSub_) schreibenSub_->setGeometry(mdi_->viewport()->rect());
}

void frmVelkora::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    MDIForm_Resize();
    fitChild();
}

bool frmVelkora::eventFilter(QObject* watched, QEvent* e) {
    if (watched == mdi_->viewport() && e->type() == QEvent::Resize) fitChild();
    return QMainWindow::eventFilter(watched, e);
}

void frmVelkora::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange) {
        MDIForm_Resize();
        fitChild();
        if (auto* s = app_.forms.loaded<frmSchreiben>()) s->Form_Resize();
    }
}

void frmVelkora::MDIForm_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    // A store that cannot be written must not keep the program from ending:
    // the user is told why, and the shut-down goes on.
    const QString st = QStringLiteral("Settings");
    bool gespeichert = true;
    if (!isMinimized()) {
        gespeichert &= app_.SaveSetting(st, QStringLiteral("MainLeft"), QStringLiteral("570"));
        gespeichert &= app_.SaveSetting(st, QStringLiteral("MainTop"), QStringLiteral("825"));
        gespeichert &= app_.SaveSetting(st, QStringLiteral("MainWidth"), QStringLiteral("14060"));
        gespeichert &= app_.SaveSetting(st, QStringLiteral("MainHeight"), QStringLiteral("9710"));
    }
    gespeichert &= app_.optionenSpeichern({"Benutzer", "CheckAnimat", "CheckFehlermeldung", "CheckGeräusch",
                                           "CheckReminder", "CheckStatistik", "Farbwert1", "Tdauer"});
    if (!gespeichert) app_.services.msgBox(this, app_.einstellungenFehler(), Msg::Exclamation);
    // The other windows, in this order; those not open are skipped.
    static const char* const kOrder[] = {
        "chart", "chart1", "frmAbout", "frmarc", "frmblockchart", "frmblockdat", "frmdaten",
        "frmFortschritt", "frmGym", "frmKlasse", "frmLek", "frmNumBlock", "frmSchreiben", "frmSplash", "frmStatistik", "frmTasten", "frmTip", "frmAbschrift"};
    for (const char* name : kOrder) app_.forms.unloadByName(QString::fromLatin1(name));
    schreibenSub_ = nullptr;
}

void frmVelkora::closeEvent(QCloseEvent* e) {
    MDIForm_Unload();
    e->accept();
}
