#include "hilfe/frmHilfe.h"
#include "shell/app.h"
#include "shell/fenster.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTextCursor>
#include <QSignalBlocker>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

frmHilfe::frmHilfe(App& app) : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint), app_(app) {
    setObjectName(QStringLiteral("frmHilfe"));
    setWindowTitle(QStringLiteral("Hilfe"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(960, 660);

    auto* lblInhalt = new QLabel(QStringLiteral("&Inhalt:"), this);
    Inhalt = new QListWidget(this);
    Inhalt->setObjectName(QStringLiteral("Inhalt"));
    lblInhalt->setBuddy(Inhalt);
    auto* lblSuchen = new QLabel(QStringLiteral("&Suchen:"), this);
    Suchfeld = new QLineEdit(this);
    Suchfeld->setObjectName(QStringLiteral("Suchfeld"));
    Suchfeld->setToolTip(QStringLiteral("Wörter, die auf der Seite stehen sollen"));
    lblSuchen->setBuddy(Suchfeld);
    cmdSuchen = new QPushButton(QStringLiteral("S&uchen"), this);
    cmdSuchen->setObjectName(QStringLiteral("cmdSuchen"));
    lblFundstellen_ = new QLabel(QStringLiteral("&Fundstellen:"), this);
    lblFundstellen_->setObjectName(QStringLiteral("lblFundstellen"));
    lblFundstellen_->setWordWrap(true);
    Fundstellen = new QListWidget(this);
    Fundstellen->setObjectName(QStringLiteral("Fundstellen"));
    lblFundstellen_->setBuddy(Fundstellen);

    Seite = new QTextBrowser(this);
    Seite->setObjectName(QStringLiteral("Seite"));
    Seite->setAccessibleName(QStringLiteral("Handbuchseite"));
    Seite->setOpenExternalLinks(false);
    cmdZurueck = new QPushButton(QStringLiteral("◀ &Zurück"), this);
    cmdZurueck->setObjectName(QStringLiteral("cmdZurueck"));
    cmdZurueck->setToolTip(QStringLiteral("Zur vorigen Seite (Alt+Pfeil links)"));
    cmdVor = new QPushButton(QStringLiteral("&Vor ▶"), this);
    cmdVor->setObjectName(QStringLiteral("cmdVor"));
    cmdVor->setToolTip(QStringLiteral("Zur nächsten Seite (Alt+Pfeil rechts)"));
    cmdSchliessen = new QPushButton(QStringLiteral("Schließen"), this);
    cmdSchliessen->setObjectName(QStringLiteral("cmdSchliessen"));
    cmdSchliessen->setToolTip(QStringLiteral("Hilfe schließen (Esc)"));
    cmdZurueck->setEnabled(false);
    cmdVor->setEnabled(false);

    auto* links = new QVBoxLayout;
    links->addWidget(lblInhalt);
    links->addWidget(Inhalt, 3);
    links->addWidget(lblSuchen);
    auto* suchzeile = new QHBoxLayout;
    suchzeile->addWidget(Suchfeld, 1);
    suchzeile->addWidget(cmdSuchen);
    links->addLayout(suchzeile);
    links->addWidget(lblFundstellen_);
    links->addWidget(Fundstellen, 2);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(cmdZurueck);
    knoepfe->addWidget(cmdVor);
    knoepfe->addStretch(1);
    knoepfe->addWidget(cmdSchliessen);
    auto* rechts = new QVBoxLayout;
    rechts->addLayout(knoepfe);
    rechts->addWidget(Seite, 1);
    auto* h = new QHBoxLayout(this);
    h->addLayout(links, 1);
    h->addLayout(rechts, 3);

    // The keyboard walks the window from the contents to the page and its buttons.
    setTabOrder(Inhalt, Suchfeld);
    setTabOrder(Suchfeld, cmdSuchen);
    setTabOrder(cmdSuchen, Fundstellen);
    setTabOrder(Fundstellen, Seite);
    setTabOrder(Seite, cmdZurueck);
    setTabOrder(cmdZurueck, cmdVor);
    setTabOrder(cmdVor, cmdSchliessen);

    connect(Seite, &QTextBrowser::backwardAvailable, cmdZurueck, &QWidget::setEnabled);
    connect(Seite, &QTextBrowser::forwardAvailable, cmdVor, &QWidget::setEnabled);
    connect(Seite, &QTextBrowser::sourceChanged, this, &frmHilfe::inhaltMarkieren);
    connect(Seite, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        // Pages of the handbook open here; anything else goes to the desktop.
        if (!url.isLocalFile() && !url.isRelative()) app_.services.shellOpen(url.toString());
    });
    connect(cmdZurueck, &QPushButton::clicked, Seite, &QTextBrowser::backward);
    connect(cmdVor, &QPushButton::clicked, Seite, &QTextBrowser::forward);
    connect(cmdSchliessen, &QPushButton::clicked, this, [this] { app_.forms.unload<frmHilfe>(); });
    connect(cmdSuchen, &QPushButton::clicked, this, &frmHilfe::cmdSuchen_Click);
    connect(Suchfeld, &QLineEdit::returnPressed, this, &frmHilfe::cmdSuchen_Click);
    connect(Inhalt, &QListWidget::currentRowChanged, this, [this](int zeile) {
        if (zeile >= 0) seiteOeffnen(Inhalt->item(zeile)->data(Qt::UserRole).toString());
    });
    connect(Fundstellen, &QListWidget::itemActivated, this, &frmHilfe::fundstelleOeffnen);
    connect(Fundstellen, &QListWidget::itemClicked, this, &frmHilfe::fundstelleOeffnen);
    auto* zurueck = new QShortcut(QKeySequence::Back, this);
    zurueck->setContext(Qt::WidgetWithChildrenShortcut);
    connect(zurueck, &QShortcut::activated, Seite, &QTextBrowser::backward);
    auto* vor = new QShortcut(QKeySequence::Forward, this);
    vor->setContext(Qt::WidgetWithChildrenShortcut);
    connect(vor, &QShortcut::activated, Seite, &QTextBrowser::forward);
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WidgetWithChildrenShortcut);
    connect(esc, &QShortcut::activated, this, [this] { app_.forms.unload<frmHilfe>(); });

    unterHauptfenster(app_, this);
    verzeichnis_ = hilfeVerzeichnis(app_.programDir());
    if (verzeichnis_.isEmpty()) {
        Seite->setPlainText(QStringLiteral("Das Handbuch wurde nicht gefunden. Seine Seiten gehören in den "
                                           "Ordner „hilfe“ im Programmverzeichnis %1.")
                                .arg(app_.programDir()));
        return;
    }
    Seite->setSearchPaths({verzeichnis_});
    const QSignalBlocker still(Inhalt);
    for (const Hilfeseite& s : inhaltsverzeichnis(verzeichnis_)) {
        auto* item = new QListWidgetItem(s.titel, Inhalt);
        item->setData(Qt::UserRole, s.datei);
    }
    // Every title of the contents in full.
    Inhalt->setMinimumWidth(Inhalt->sizeHintForColumn(0) + 2 * Inhalt->frameWidth() + 8);
}

void frmHilfe::zeigen(const QString& seite) {
    // A window that waits modally (the settings, a message) would block a
    // modeless help; above it the help is modal too.
    // F1 in the help itself keeps it as it is.
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality art = modal ? Qt::ApplicationModal : Qt::NonModal;
    if (modal != this && windowModality() != art) {
        if (isVisible()) hide();
        setWindowModality(art);
    }
    if (!verzeichnis_.isEmpty()) seiteOeffnen(seite);
    show();
    raise();
    activateWindow();
    Seite->setFocus();
}

void frmHilfe::seiteOeffnen(const QString& seite) {
    if (verzeichnis_.isEmpty()) return;
    const QString datei = seite.section(QLatin1Char('#'), 0, 0);
    const QString anker = seite.section(QLatin1Char('#'), 1);
    QUrl url = QUrl::fromLocalFile(verzeichnis_ + QLatin1Char('/') + (datei.isEmpty() ? kStartseite : datei));
    if (!anker.isEmpty()) url.setFragment(anker);
    if (Seite->source() == url) {
        if (!anker.isEmpty()) Seite->scrollToAnchor(anker);
        return;
    }
    Seite->setSource(url);
}

QString frmHilfe::aktuelleSeite() const {
    const QUrl url = Seite->source();
    if (url.isEmpty()) return QString();
    const QString datei = QFileInfo(url.path()).fileName();
    return url.hasFragment() ? datei + QLatin1Char('#') + url.fragment() : datei;
}

void frmHilfe::inhaltMarkieren(const QUrl& seite) {
    // The browser names its new page in the signal before source() has it.
    const QString datei = QFileInfo(seite.path()).fileName();
    const QSignalBlocker still(Inhalt);
    for (int i = 0; i < Inhalt->count(); ++i)
        if (Inhalt->item(i)->data(Qt::UserRole).toString() == datei) Inhalt->setCurrentRow(i);
}

void frmHilfe::cmdSuchen_Click() {
    if (!texteGelesen_ && !verzeichnis_.isEmpty()) {
        texte_ = seitentexte(verzeichnis_);
        texteGelesen_ = true;
    }
    Fundstellen->clear();
    const QString anfrage = Suchfeld->text().simplified();
    if (suchwoerter(anfrage).isEmpty()) {
        lblFundstellen_->setText(QStringLiteral("&Fundstellen:"));
        return;
    }
    const QList<Seitentext> treffer = suche(texte_, anfrage);
    for (const Seitentext& s : treffer) {
        auto* item = new QListWidgetItem(s.titel, Fundstellen);
        item->setData(Qt::UserRole, s.datei);
    }
    lblFundstellen_->setText(treffer.isEmpty()
                                 ? QStringLiteral("&Fundstellen: keine Seite enthält „%1“.").arg(anfrage)
                             : treffer.size() == 1
                                 ? QStringLiteral("&Fundstellen: eine Seite")
                                 : QStringLiteral("&Fundstellen: %1 Seiten").arg(treffer.size()));
    Fundstellen->setAccessibleName(lblFundstellen_->text().remove(QLatin1Char('&')));
    if (treffer.isEmpty()) return;
    Fundstellen->setCurrentRow(0);
    fundstelleOeffnen(Fundstellen->item(0));
    Fundstellen->setFocus();
}

void frmHilfe::fundstelleOeffnen(QListWidgetItem* item) {
    if (!item) return;
    seiteOeffnen(item->data(Qt::UserRole).toString());
    // The first place of the first word is selected and scrolled into view.
    const QStringList woerter = Suchfeld->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (woerter.isEmpty()) return;
    QTextCursor anfang = Seite->textCursor();
    anfang.movePosition(QTextCursor::Start);
    Seite->setTextCursor(anfang);
    Seite->find(woerter.first());
}

void frmHilfe::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        app_.forms.unload<frmHilfe>();
        return;
    }
    QWidget::keyPressEvent(e);
}
