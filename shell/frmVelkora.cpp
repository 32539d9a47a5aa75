#include "shell/frmVelkora.h"
#include "lessons/frmLek.h"
#include "platform/units.h"
#include "shell/app.h"
#include "trainer/frmSchreiben.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

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

    lek_ = menuBar()->addMenu(QStringLiteral("&Lektionen"));
    lek_->setObjectName(QStringLiteral("lek"));
    QAction* ausw = lek_->addAction(QStringLiteral("Lektionen-Auswahl"));
    ausw->setObjectName(QStringLiteral("Ausw"));
    ausw->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(ausw, &QAction::triggered, this, [this] { app_.forms.get<frmLek>().zeigen(); });

    resize(twipsToPx(kWidth), twipsToPx(kHeight));
    MDIForm_Load();
}

frmVelkora::~frmVelkora() = default;

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
    // 4, 5: the user's name and the title.
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
    // 7: position and size as stored.
    const QString st = QStringLiteral("Settings");
    double v = 0;
    QPoint p = pos();
    if (parseNumber(app_.GetSetting(st, QStringLiteral("MainLeft"), QString::number(kLeft)), v))
        p.setX(twipsToPx(v));
    if (parseNumber(app_.GetSetting(st, QStringLiteral("MainTop"), QString::number(kTop)), v))
        p.setY(twipsToPx(v));
    move(p);
    // 8: the size is fixed whatever was stored.
    resize(twipsToPx(kWidth), twipsToPx(kHeight));
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
    // the writes report failure and the shut-down goes on.
    const QString st = QStringLiteral("Settings");
    if (!isMinimized()) {
        app_.SaveSetting(st, QStringLiteral("MainLeft"), QStringLiteral("570"));
        app_.SaveSetting(st, QStringLiteral("MainTop"), QStringLiteral("825"));
        app_.SaveSetting(st, QStringLiteral("MainWidth"), QStringLiteral("14060"));
        app_.SaveSetting(st, QStringLiteral("MainHeight"), QStringLiteral("9710"));
    }
    const QString o = QStringLiteral("Optionen");
    const Optionen& opt = app_.opt;
    app_.SaveSetting(o, QStringLiteral("Benutzer"), opt.benutzer);
    app_.SaveSetting(o, QStringLiteral("CheckAnimat"), boolText(opt.checkAnimat));
    app_.SaveSetting(o, QStringLiteral("CheckFehlermeldung"), boolText(opt.checkFehlermeldung));
    app_.SaveSetting(o, QStringLiteral("CheckGeräusch"), boolText(opt.checkGeraeusch));
    app_.SaveSetting(o, QStringLiteral("CheckReminder"), boolText(opt.checkReminder));
    app_.SaveSetting(o, QStringLiteral("CheckStatistik"), boolText(opt.checkStatistik));
    app_.SaveSetting(o, QStringLiteral("Farbwert1"), QString::number(opt.farbwert1));
    app_.SaveSetting(o, QStringLiteral("Tdauer"), QString::number(opt.tdauer));
    // The other windows, in this order; those not open are skipped.
    static const char* const kOrder[] = {
        "chart", "chart1", "frmAbout", "frmarc", "frmblockchart", "frmblockdat", "frmdaten",
        "frmGym", "frmLek", "frmNumBlock", "frmSchreiben", "frmSplash", "frmStatistik", "frmTip"};
    for (const char* name : kOrder) app_.forms.unloadByName(QString::fromLatin1(name));
    schreibenSub_ = nullptr;
}

void frmVelkora::closeEvent(QCloseEvent* e) {
    MDIForm_Unload();
    e->accept();
}
