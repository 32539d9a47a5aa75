#include "stats/frmStatistik.h"
#include "platform/zugang.h"
#include "platform/symbol.h"
#include "platform/numbers.h"
#include "platform/units.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"
#include "stats/datenblatt.h"
#include "stats/diagramm.h"
#include "trainer/frmSchreiben.h"
#include "windows/frmWait.h"

#include <QEvent>
#include <algorithm>
#include <iterator>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
const QString kChartStil = QStringLiteral(
    "QPushButton { background: rgb(255,255,192); border: 1px solid rgb(150,150,110); border-radius: 3px; }"
    "QPushButton:pressed { background: rgb(235,235,160); }");
const QString kListeStil = QStringLiteral(
    "QPushButton { background: rgb(192,192,255); border: 1px solid rgb(120,120,170); border-radius: 3px; }"
    "QPushButton:pressed { background: rgb(165,165,235); }");

// The picture of the button back to the writing window: a small keyboard.
QIcon tastaturBild() {
    return gezeichnetesSymbol(QSize(36, 26), [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 120), 1.2));
        p.setBrush(QColor(192, 192, 255));
        p.drawRoundedRect(QRectF(1, 3, 34, 21), 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 60, 120));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 7 - (r == 2 ? 2 : 0); ++c)
                p.drawRect(QRectF(4 + c * 4.2 + (r == 1 ? 1.5 : 0) + (r == 2 ? 4 : 0), 6 + r * 4.5, 3, 3));
        p.drawRect(QRectF(10, 19.5, 16, 2.5));
    });
}

// The first row's value of a column as the box shows it; null shows nothing.
QString ersteZeile(QSqlQuery& q, const QString& spalte, int stellen = -1) {
    const int i = q.record().indexOf(spalte);
    if (i < 0) return QString();
    const QVariant v = q.value(i);
    if (v.isNull()) return QString();
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) return v.toString();
    return stellen < 0 ? zahlText(d) : festkomma(d, stellen);
}
}  // namespace

frmStatistik::frmStatistik(App& app) : QWidget(nullptr), app_(app) {
    setObjectName(QStringLiteral("frmStatistik"));
    setWindowTitle(QStringLiteral("Statistik"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildLayout();
    if (auto* main = app_.forms.loaded<frmVelkora>()) {
        // A document window of the main window, filling its area like the
        // writing window; it stays hidden until it is shown.
        sub_ = main->mdiArea()->addSubWindow(this, Qt::FramelessWindowHint | Qt::SubWindow);
        sub_->setObjectName(QStringLiteral("frmStatistikSub"));
        sub_->setAttribute(Qt::WA_DeleteOnClose);
        sub_->hide();
        main->mdiArea()->viewport()->installEventFilter(this);
    } else {
        resize(Frame3->width() + 16, Frame3->height() + 8);
    }
    Form_Load();
}

frmStatistik::~frmStatistik() = default;

void frmStatistik::buildLayout() {
    auto label = [](QWidget* parent, const char* name, const char* text, QRect g) {
        auto* l = new QLabel(QString::fromUtf8(text), parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(g);
        return l;
    };
    QFont boxFont = font();
    boxFont.setBold(true);
    auto box = [&](QWidget* parent, const char* name, QRect g) {
        auto* t = new QLineEdit(parent);
        t->setObjectName(QString::fromLatin1(name));
        t->setReadOnly(true);
        t->setAlignment(Qt::AlignCenter);
        t->setFont(boxFont);
        t->setGeometry(g);
        return t;
    };
    auto knopf = [](QWidget* parent, const char* name, const char* text, const QString& stil, QRect g) {
        auto* b = new QPushButton(QString::fromUtf8(text), parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromUtf8(text) == QLatin1String("Chart") ? QStringLiteral("Grafik")
                                                                       : QStringLiteral("Liste"));
        b->setStyleSheet(stil);
        b->setAutoDefault(false);
        b->setGeometry(g);
        return b;
    };
    auto rahmen = [](QWidget* parent, const char* name, QRect g) {
        auto* f = new QGroupBox(parent);
        f->setObjectName(QString::fromLatin1(name));
        f->setGeometry(g);
        return f;
    };

    Frame3 = new QFrame(this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->resize(700, 520);

    Frame2 = rahmen(Frame3, "Frame2", QRect(14, 10, 610, 100));
    Label1 = label(Frame2, "Label1", "Insgesamt wurde", QRect(14, 22, 130, 24));
    Text1 = box(Frame2, "Text1", QRect(150, 20, 90, 28));
    Label5 = label(Frame2, "Label5", "mal geübt.", QRect(250, 22, 200, 24));
    Command4 = knopf(Frame2, "Command4", "Chart", kChartStil, QRect(506, 20, 88, 28));
    Label18 = label(Frame2, "Label18", "Im Durchschnitt haben Sie mit", QRect(14, 62, 210, 24));
    Text8 = box(Frame2, "Text8", QRect(220, 60, 80, 28));
    Label19 = label(Frame2, "Label19", "Anschlägen/Min. geschrieben.", QRect(308, 62, 196, 24));
    Command2 = knopf(Frame2, "Command2", "Chart", kChartStil, QRect(506, 60, 88, 28));

    Frame5 = rahmen(Frame3, "Frame5", QRect(14, 118, 610, 58));
    Label2 = label(Frame5, "Label2", "Die Übungen im Einzelnen", QRect(14, 18, 300, 24));
    Command5 = knopf(Frame5, "Command5", "Liste", kListeStil, QRect(506, 16, 88, 28));

    Frame1 = rahmen(Frame3, "Frame1", QRect(14, 184, 610, 200));
    Label27 = label(Frame1, "Label27", "Bisher waren", QRect(14, 20, 100, 24));
    Text12 = box(Frame1, "Text12", QRect(118, 18, 110, 28));
    Label28 = label(Frame1, "Label28", "Zeichen zu tippen.", QRect(238, 20, 200, 24));
    Label4 = label(Frame1, "Label4", "Insgesamt wurde", QRect(14, 56, 130, 24));
    Text2 = box(Frame1, "Text2", QRect(150, 54, 90, 28));
    Label6 = label(Frame1, "Label6", "mal falsch getippt:", QRect(250, 56, 200, 24));
    Label7 = label(Frame1, "Label7", "Linke Hand:", QRect(34, 92, 90, 24));
    Text3 = box(Frame1, "Text3", QRect(126, 90, 80, 28));
    Label8 = label(Frame1, "Label8", "Fehler", QRect(214, 92, 60, 24));
    Label10 = label(Frame1, "Label10", "Rechte  Hand:", QRect(300, 92, 100, 24));
    Text4 = box(Frame1, "Text4", QRect(404, 90, 80, 28));
    Label9 = label(Frame1, "Label9", "Fehler", QRect(492, 92, 60, 24));
    Label3 = label(Frame1, "Label3", "Fehlerauswertung Gesamt", QRect(14, 130, 300, 24));
    Command7 = knopf(Frame1, "Command7", "Chart", kChartStil, QRect(506, 128, 88, 28));
    Label11 = label(Frame1, "Label11", "Fehlerauswertung pro Übung", QRect(14, 164, 300, 24));
    Command6 = knopf(Frame1, "Command6", "Liste", kListeStil, QRect(506, 162, 88, 28));

    Frame4 = rahmen(Frame3, "Frame4", QRect(14, 392, 400, 122));
    const char* legende[][2] = {
        {"Label14", "Schlüssel-Nr. 01 bis 18   ( Lektionen )"},
        {"Label15", "Schlüssel-Nr. 19 bis 23   ( Übungstexte )"},
        {"Label12", "Schlüssel-Nr       99        ( Eigene Texte ]"},
        {"Label16", "Schlüssel-Nr.     100       ( Linke Hand intens.)"},
        {"Label17", "Schlüssel-Nr.     101       ( Rechte Hand intens.)"},
        {"Label29", "Schlüssel-Nr.     102       ( Schwächen üben )"},
    };
    QLabel** ziele[] = {&Label14, &Label15, &Label12, &Label16, &Label17, &Label29};
    constexpr int zeilen = int(std::size(ziele));
    for (int i = 0; i < zeilen; ++i)
        *ziele[i] = label(Frame4, legende[i][0], legende[i][1], QRect(14, 10 + i * 21, 380, 20));
    // The legend grows by a row per exercise kind, the window with it.
    Frame4->resize(Frame4->width(), 17 + zeilen * 21);
    Frame3->resize(Frame3->width(), std::max(Frame3->height(), Frame4->geometry().bottom() + 7));

    Command1 = new QPushButton(Frame3);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("Zurück in den Schreibmodus"));
    Command1->setIcon(tastaturBild());
    Command1->setIconSize(QSize(36, 26));
    Command1->setAutoDefault(false);
    Command1->setGeometry(636, 16, 56, 44);

    connect(Command1, &QPushButton::clicked, this, &frmStatistik::Command1_Click);
    alsAbbruchknopf(Command1);  // Escape goes back to the writing window
    connect(Command2, &QPushButton::clicked, this, &frmStatistik::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &frmStatistik::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frmStatistik::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frmStatistik::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &frmStatistik::Command7_Click);
}

void frmStatistik::Form_Load() {
    // Each step stands on its own; a failing one is skipped.
    Frame3->move(twipsToPx(60), twipsToPx(-60));
    // The totals are read when the window is first shown. The recording loads
    // it only to keep it hidden, and reading 100 000 results there would
    // hold up the end of every first exercise for nothing.
    ladenAusstehend_ = true;
}

void frmStatistik::ersteAbfragen() {
    ladenAusstehend_ = false;
    frmWait& warten = app_.forms.get<frmWait>();
    warten.zeigen(QStringLiteral("Die Ergebnisse werden geladen..."), app_.datei(QStringLiteral("\\FILEMOVE.AVI")));
    aktualisieren();
    app_.forms.unload<frmWait>();
}

void frmStatistik::oeffnen() {
    const bool abgefragt = !ladenAusstehend_;
    anzeigen();
    if (abgefragt) aktualisieren();
}

void frmStatistik::anzeigen() {
    if (ladenAusstehend_) ersteAbfragen();
    if (sub_) {
        einpassen();
        sub_->show();
        show();
        sub_->raise();
        if (QMdiArea* mdi = sub_->mdiArea()) mdi->setActiveSubWindow(sub_);
    } else {
        show();
        raise();
        activateWindow();
    }
}

void frmStatistik::verbergen() {
    hide();
    if (sub_) sub_->hide();
}

void frmStatistik::einpassen() {
    if (sub_ && sub_->mdiArea()) sub_->setGeometry(sub_->mdiArea()->viewport()->rect());
}

bool frmStatistik::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Resize && sub_ && sub_->mdiArea() && watched == sub_->mdiArea()->viewport())
        einpassen();
    return QWidget::eventFilter(watched, e);
}

void frmStatistik::aktualisieren() {
    ergebnisseGemeldet_ = false;
    Adodc1_Refresh();
    Adodc6_Refresh();
    Adodc8_Refresh();
    Adodc9_Refresh();
}

// A database that cannot be opened leaves its boxes empty and says why; the
// overview stays usable for the other database.
void frmStatistik::meldeFehler(const Verbindung& v) {
    app_.services.msgBox(this, datenbankMeldung(v.datei(), v.fehler()), Msg::Exclamation);
}

// A query of an open file that fails (an empty file, a table or column
// missing) is told once per refresh of that file.
void frmStatistik::meldeAbfrage(const Verbindung& v, const QString& fehler, bool& gemeldet) {
    if (gemeldet) return;
    gemeldet = true;
    app_.services.msgBox(this, datenbankMeldung(v.datei(), fehler), Msg::Exclamation);
}

void frmStatistik::Adodc1_Refresh() {
    Text1->clear();
    if (!ergebnisse_.oeffnen(verbindungstext(Verbindungstext::kJet, app_.databaseDir(),
                                             Verbindungstext::kVelkoraGross))) {
        meldeFehler(ergebnisse_);
        return;
    }
    // Only the number of rows is shown, so the engine counts them.
    QString fehler;
    if (const auto n = zeilenAnzahl(ergebnisse_.db(), Sql::kUebungen, &fehler))
        Text1->setText(QString::number(*n));
    else
        meldeAbfrage(ergebnisse_, fehler, ergebnisseGemeldet_);
}

void frmStatistik::Adodc6_Refresh() {
    Text8->clear();
    if (!ergebnisse_.istOffen()) return;
    QSqlQuery q(ergebnisse_.db());
    if (q.exec(Sql::kMittelwertAnschlaege) && q.next())
        Text8->setText(ersteZeile(q, QStringLiteral("Mittelwert von anschlaege"), 1));
    else if (q.lastError().isValid())
        meldeAbfrage(ergebnisse_, engineText(q.lastError()), ergebnisseGemeldet_);
}

void frmStatistik::Adodc8_Refresh() {
    Text12->clear();
    if (!ergebnisse_.istOffen()) return;
    QSqlQuery q(ergebnisse_.db());
    if (q.exec(Sql::kSummeMaximalPunkte) && q.next())
        Text12->setText(ersteZeile(q, QStringLiteral("Summe von MaximalPunkte")));
    else if (q.lastError().isValid())
        meldeAbfrage(ergebnisse_, engineText(q.lastError()), ergebnisseGemeldet_);
}

void frmStatistik::Adodc9_Refresh() {
    Text2->clear();
    Text3->clear();
    Text4->clear();
    if (!finger_.oeffnen(verbindungstext(Verbindungstext::kJet, app_.databaseDir(),
                                         Verbindungstext::kFinger))) {
        meldeFehler(finger_);
        return;
    }
    QSqlQuery q(finger_.db());
    if (!q.exec(Sql::kSummeFehler) || !q.next()) {
        bool gemeldet = false;
        if (q.lastError().isValid()) meldeAbfrage(finger_, engineText(q.lastError()), gemeldet);
        return;
    }
    Text2->setText(ersteZeile(q, QStringLiteral("Gesamt")));
    Text3->setText(ersteZeile(q, QStringLiteral("Summe von LIHA")));
    Text4->setText(ersteZeile(q, QStringLiteral("Summe von REHA")));
}

void frmStatistik::Command1_Click() {
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    s.show();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(s.parentWidget())) {
        sub->show();
        sub->raise();
        if (QMdiArea* mdi = sub->mdiArea()) mdi->setActiveSubWindow(sub);
    } else {
        s.raise();
        s.activateWindow();
    }
}

namespace {
template <class F>
void zeigeFenster(App& app) {
    F& f = app.forms.get<F>();
    f.show();
    f.raise();
    f.activateWindow();
}
}  // namespace

void frmStatistik::Command2_Click() { zeigeFenster<chart>(app_); }
void frmStatistik::Command4_Click() { zeigeFenster<chart1>(app_); }
void frmStatistik::Command5_Click() { zeigeFenster<frmdaten>(app_); }
void frmStatistik::Command6_Click() { zeigeFenster<frmblockdat>(app_); }
void frmStatistik::Command7_Click() { zeigeFenster<frmblockchart>(app_); }

void frmStatistik::Form_Resize() {
    auto* main = app_.forms.loaded<frmVelkora>();
    const Qt::WindowStates zustand = main ? main->windowState() : Qt::WindowNoState;
    if (zustand & Qt::WindowMinimized) return;
    if (zustand & Qt::WindowMaximized) {
        const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        const QSize bild = s ? s->size() : size();
        Frame3->move((bild.width() - Frame3->width()) / 2, (bild.height() - Frame3->height()) / 3);
    } else {
        Frame3->move(twipsToPx(60), twipsToPx(-60));
    }
}

void frmStatistik::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}
