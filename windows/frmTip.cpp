#include "windows/frmTip.h"
#include "platform/textcodec.h"
#include "shell/app.h"
#include "shell/fenster.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kTipDatei = QStringLiteral("TIPOFDAY.TXT");
}

QStringList tipZeilen(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    // Plain text only: a tips file that happens to start like RTF is still
    // one tip per line.
    QStringList zeilen = normaliseLineBreaks(decodeCp1252(bytes)).split(QLatin1Char('\n'));
    // The break that ends the last line opens no further one.
    if (zeilen.last().isEmpty()) zeilen.removeLast();
    return zeilen;
}

frmTip::frmTip(App& app)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), app_(app) {
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Tips und Tricks"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(440, 190);

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setAutoFillBackground(true);
    QPalette weiss = Picture1->palette();
    weiss.setColor(QPalette::Window, Qt::white);
    weiss.setColor(QPalette::WindowText, Qt::black);
    Picture1->setPalette(weiss);

    lblTipText = new QLabel(Picture1);
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    // A line of the file is shown as it is written, never read as markup.
    lblTipText->setTextFormat(Qt::PlainText);
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTipText->setAutoFillBackground(true);
    lblTipText->setPalette(weiss);
    QFont f = lblTipText->font();
    f.setPointSize(f.pointSize() + 2);
    lblTipText->setFont(f);
    auto* innen = new QVBoxLayout(Picture1);
    innen->setContentsMargins(14, 12, 14, 12);
    innen->addWidget(lblTipText);

    cmdNextTip = new QPushButton(QStringLiteral("&Nächster Tip"), this);
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    cmdOK = new QPushButton(QStringLiteral("Schließen"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(cmdNextTip);
    knoepfe->addWidget(cmdOK);
    auto* v = new QVBoxLayout(this);
    v->addWidget(Picture1, 1);
    v->addLayout(knoepfe);

    connect(cmdNextTip, &QPushButton::clicked, this, &frmTip::cmdNextTip_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmTip::cmdOK_Click);
    Form_Load();
}

void frmTip::Form_Load() {
    unterHauptfenster(app_, this);
    if (!LoadTips(app_.datei(QStringLiteral("\\") + kTipDatei)))
        lblTipText->setText(QStringLiteral("Die Datei ") + kTipDatei +
                            QStringLiteral(" wurde nicht gefunden? ") + QStringLiteral("\r\n") +
                            QStringLiteral("\r\n") + QStringLiteral("Textdatei mit dem Namen ") +
                            kTipDatei +
                            QStringLiteral(" unter Verwendung von NotePad mit 1 Tip pro Zeile "
                                           "erstellen. ") +
                            QStringLiteral("Dann im selben Verzeichnis wie die Anwendung ablegen. "));
}

void frmTip::zeigen() {
    show();
    raise();
    activateWindow();
    cmdNextTip->setFocus();
}

bool frmTip::LoadTips(const QString& path) {
    if (path.isEmpty()) return false;
    // Only a regular file: a directory, pipe or device of that name is no
    // tips file; and no more of it than a tips file can sensibly hold.
    constexpr qint64 kMaxBytes = 16LL * 1024 * 1024;
    const FileRead datei = readRegularFile(path, kMaxBytes);
    if (!datei.ok()) return false;
    tipListe.append(tipZeilen(datei.bytes));
    naechsterTip();
    return true;
}

void frmTip::naechsterTip() {
    ++aktTip;
    if (aktTip > tipListe.size()) aktTip = 1;
    DisplayCurrentTip();
}

void frmTip::DisplayCurrentTip() {
    if (!tipListe.isEmpty() && aktTip >= 1 && aktTip <= tipListe.size())
        lblTipText->setText(tipListe.at(aktTip - 1));
}

void frmTip::cmdNextTip_Click() { naechsterTip(); }

void frmTip::cmdOK_Click() { app_.forms.unload<frmTip>(); }
