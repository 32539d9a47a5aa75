#include "windows/frmSplash.h"
#include "windows/impressum.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmSplash::frmSplash(App& app) : QDialog(nullptr), app_(app) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Velkora"));
    setFixedSize(460, 300);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setGeometry(10, 10, 440, 240);

    lblProductName = new QLabel(kProduktName, Frame1);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont big(QStringLiteral("Arial"), 26);
    big.setBold(true);
    lblProductName->setFont(big);
    lblProductName->setStyleSheet(QStringLiteral("color: rgb(0,0,160);"));
    lblProductName->setGeometry(20, 16, 400, 50);

    auto* line = new QFrame(Frame1);
    line->setObjectName(QStringLiteral("Line2"));
    line->setFrameShape(QFrame::HLine);
    line->setGeometry(20, 72, 400, 4);

    Label1 = new QLabel(kEntwickeltVon, Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(20, 86, 400, 20);
    for (int i = 0; i < 2; ++i) {
        lblCompany[i] = new QLabel(kMacher[i], Frame1);
        lblCompany[i]->setObjectName(QStringLiteral("lblCompany_%1").arg(i));
        lblCompany[i]->setGeometry(36, 108 + 20 * i, 380, 20);
    }
    lblNotice = new QLabel(kHinweis, Frame1);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setWordWrap(true);
    lblNotice->setGeometry(20, 160, 400, 64);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(350, 262, 100, 28);
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmSplash::cmdOK_Click);
}

void frmSplash::cmdOK_Click() {
    if (done_) return;
    done_ = true;
    frmVelkora& main = app_.forms.get<frmVelkora>();
    main.show();
    main.raise();
    main.activateWindow();  // the keyboard goes to the main window, not to nowhere
    app_.forms.unload<frmSplash>();
}
