#include "windows/frmAbout.h"
#include "shell/app.h"
#include "shell/fenster.h"
#include "windows/impressum.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(App& app)
    : QDialog(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      app_(app) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Über Velkora"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(440, 285);

    lblProductName = new QLabel(kProduktName, this);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    lblProductName->setToolTip(QStringLiteral("Produkt"));
    QFont gross(QStringLiteral("Arial"), 22);
    gross.setBold(true);
    lblProductName->setFont(gross);
    lblProductName->setStyleSheet(QStringLiteral("color: rgb(0,0,160);"));

    Frame3 = new QGroupBox(kEntwickeltVon, this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* namen = new QVBoxLayout(Frame3);
    for (size_t i = 0; i < lblCompany.size(); ++i) {
        lblCompany[i] = new QLabel(kMacher[i], Frame3);
        lblCompany[i]->setObjectName(QStringLiteral("lblCompany_%1").arg(i));
        namen->addWidget(lblCompany[i]);
    }

    Frame2 = new QGroupBox(QStringLiteral("Mail"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    LabelEMail = new QLabel(kEMail, Frame2);
    LabelEMail->setObjectName(QStringLiteral("LabelEMail"));
    LabelEMail->setTextFormat(Qt::PlainText);
    LabelEMail->setToolTip(QStringLiteral("eMail schreiben"));
    LabelEMail->setCursor(Qt::PointingHandCursor);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setUnderline(true);
    LabelEMail->setFont(tahoma);
    LabelEMail->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
    LabelEMail->installEventFilter(this);
    auto* mail = new QVBoxLayout(Frame2);
    mail->addWidget(LabelEMail);

    lblNotice = new QLabel(kHinweis, this);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    cmdOK->setMinimumWidth(100);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    auto* knopf = new QHBoxLayout;
    knopf->addStretch(1);
    knopf->addWidget(cmdOK);
    auto* v = new QVBoxLayout(this);
    v->addWidget(lblProductName);
    v->addWidget(Frame3);
    v->addWidget(Frame2);
    v->addSpacing(6);
    v->addWidget(lblNotice);
    v->addStretch(1);
    v->addLayout(knopf);

    Form_Load();
}

void frmAbout::Form_Load() { unterHauptfenster(app_, this); }

void frmAbout::zeigen() {
    show();
    raise();
    activateWindow();
    cmdOK->setFocus();
}

void frmAbout::cmdOK_Click() { app_.forms.unload<frmAbout>(); }

void frmAbout::LabelEMail_Click() {
    // The hourglass while the desktop starts the mail program; the shell's
    // answer is not reported.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    app_.services.shellOpen(QStringLiteral("mailto:") + LabelEMail->text());
    QGuiApplication::restoreOverrideCursor();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* e) {
    if (watched == LabelEMail && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton &&
        LabelEMail->rect().contains(static_cast<QMouseEvent*>(e)->position().toPoint())) {
        LabelEMail_Click();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}
