#include "pruefung/frmAbschrift.h"
#include "lessons/frmLek.h"
#include "platform/numbers.h"
#include "platform/richtextview.h"
#include "shell/app.h"
#include "shell/fenster.h"
#include "stats/zusatztabellen.h"
#include "trainer/frmSchreiben.h"
#include "trainer/recording.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QUuid>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QFont schreibschrift(int punkte) {
    QFont f(QStringLiteral("Courier New"), punkte);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}
// Errors are shown in this red and underlined, never by colour alone.
const QColor kFehlerrot(192, 0, 0);

QString zahl(double d) { return zahlText(d); }
}  // namespace

// ---- the box ----

Abschriftfeld::Abschriftfeld(QWidget* parent) : QPlainTextEdit(parent) {
    setAcceptDrops(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setTabChangesFocus(true);
    setUndoRedoEnabled(false);
}

void Abschriftfeld::keyPressEvent(QKeyEvent* e) {
    if (isReadOnly()) return QPlainTextEdit::keyPressEvent(e);
    if (e == QKeySequence::Paste || e == QKeySequence::Cut || e->key() == Qt::Key_Insert) return;
    if (korrekturErlaubt) return QPlainTextEdit::keyPressEvent(e);
    // Only what adds to the copy, always at its end.
    QString t;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) t = QStringLiteral("\n");
    else if (!e->text().isEmpty() && e->text().at(0).isPrint() && !(e->modifiers() & Qt::ControlModifier &&
                                                                     !(e->modifiers() & Qt::AltModifier)))
        t = e->text();
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) return QPlainTextEdit::keyPressEvent(e);
    if (t.isEmpty()) return;
    QTextCursor c = textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(t);
    setTextCursor(c);
    ensureCursorVisible();
}

void Abschriftfeld::mousePressEvent(QMouseEvent* e) {
    if (korrekturErlaubt || isReadOnly()) return QPlainTextEdit::mousePressEvent(e);
    setFocus();  // the cursor stays at the end
}

void Abschriftfeld::mouseDoubleClickEvent(QMouseEvent* e) {
    if (korrekturErlaubt || isReadOnly()) return QPlainTextEdit::mouseDoubleClickEvent(e);
}

// ---- the window ----

frmAbschrift::frmAbschrift(App& app) : QWidget(nullptr, Qt::Window), app_(app) {
    setObjectName(QStringLiteral("frmAbschrift"));
    setWindowTitle(QStringLiteral("Abschrift"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildLayout();
    unterHauptfenster(app_, this);
}

frmAbschrift::~frmAbschrift() = default;

void frmAbschrift::buildLayout() {
    auto* v = new QVBoxLayout(this);
    auto* kopf = new QHBoxLayout;
    lblTitel = new QLabel(this);
    lblTitel->setObjectName(QStringLiteral("lblTitel"));
    QFont fett = lblTitel->font();
    fett.setBold(true);
    lblTitel->setFont(fett);
    lblRestzeit = new QLabel(this);
    lblRestzeit->setObjectName(QStringLiteral("lblRestzeit"));
    lblRestzeit->setFont(fett);
    kopf->addWidget(lblTitel, 1);
    kopf->addWidget(lblRestzeit);
    v->addLayout(kopf);

    rtbVorlage = new RichTextView(this);
    rtbVorlage->setObjectName(QStringLiteral("rtbVorlage"));
    rtbVorlage->setFont(schreibschrift(12));
    rtbVorlage->setTabChangesFocus(true);
    rtbVorlage->setAccessibleName(QStringLiteral("Vorlage"));
    v->addWidget(rtbVorlage, 3);

    lblAbschrift = new QLabel(QStringLiteral("Ihre Abschrift:"), this);
    lblAbschrift->setObjectName(QStringLiteral("lblAbschrift"));
    v->addWidget(lblAbschrift);
    txtAbschrift = new Abschriftfeld(this);
    txtAbschrift->setObjectName(QStringLiteral("txtAbschrift"));
    txtAbschrift->setFont(schreibschrift(12));
    txtAbschrift->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(224,224,224); color: black; }"));
    txtAbschrift->setAccessibleName(QStringLiteral("Abschrift"));
    lblAbschrift->setBuddy(txtAbschrift);
    v->addWidget(txtAbschrift, 3);

    auto* fuss = new QHBoxLayout;
    lblErgebnis = new QLabel(this);
    lblErgebnis->setObjectName(QStringLiteral("lblErgebnis"));
    lblErgebnis->setWordWrap(true);
    lblErgebnis->setTextFormat(Qt::PlainText);
    lstFehler = new QListWidget(this);
    lstFehler->setObjectName(QStringLiteral("lstFehler"));
    lstFehler->setAccessibleName(QStringLiteral("Fehler"));
    lstFehler->setMaximumHeight(110);
    auto* ergebnis = new QVBoxLayout;
    ergebnis->addWidget(lblErgebnis);
    ergebnis->addWidget(lstFehler);
    fuss->addLayout(ergebnis, 1);
    auto* knoepfe = new QVBoxLayout;
    cmdAbgeben = new QPushButton(QStringLiteral("Abgeben"), this);
    cmdAbgeben->setObjectName(QStringLiteral("cmdAbgeben"));
    cmdAbgeben->setToolTip(QStringLiteral("Die Abschrift vor Ablauf der Zeit beenden"));
    cmdDrucken = new QPushButton(QStringLiteral("Bescheinigung drucken …"), this);
    cmdDrucken->setObjectName(QStringLiteral("cmdDrucken"));
    cmdSchliessen = new QPushButton(QStringLiteral("Schließen"), this);
    cmdSchliessen->setObjectName(QStringLiteral("cmdSchliessen"));
    for (QPushButton* b : {cmdAbgeben, cmdDrucken, cmdSchliessen}) {
        b->setAutoDefault(true);
        knoepfe->addWidget(b);
    }
    knoepfe->addStretch(1);
    fuss->addLayout(knoepfe);
    v->addLayout(fuss, 1);
    lstFehler->hide();
    cmdDrucken->setEnabled(false);
    cmdAbgeben->setEnabled(false);
    // Nothing to type before a test has begun.
    txtAbschrift->setReadOnly(true);
    lblErgebnis->setText(QStringLiteral("Eine Abschrift beginnt in der Lektionen-Auswahl auf dem Reiter „Abschrift“."));

    tmrUhr = new QTimer(this);
    tmrUhr->setObjectName(QStringLiteral("tmrUhr"));
    tmrUhr->setInterval(250);
    connect(tmrUhr, &QTimer::timeout, this, &frmAbschrift::tmrUhr_Timer);
    connect(txtAbschrift, &QPlainTextEdit::textChanged, this, &frmAbschrift::getippt);
    connect(cmdAbgeben, &QPushButton::clicked, this, &frmAbschrift::beenden);
    connect(cmdDrucken, &QPushButton::clicked, this, &frmAbschrift::cmdDrucken_Click);
    connect(cmdSchliessen, &QPushButton::clicked, this, &QWidget::close);
    connect(lstFehler, &QListWidget::currentRowChanged, this, [this](int r) {
        if (r < 0 || r >= zaehlung_.fehler.size()) return;
        QTextCursor c = txtAbschrift->textCursor();
        c.setPosition(zaehlung_.fehler[r].kopieAnfang);
        txtAbschrift->setTextCursor(c);
        txtAbschrift->ensureCursorVisible();
        rtbVorlage->setSelStart(zaehlung_.fehler[r].quelleAnfang);
    });
    resize(900, 640);
}

void frmAbschrift::starten(const QString& titel, const QString& text, int sekunden, bool korrekturErlaubt) {
    titel_ = titel;
    vorlage_ = text;
    sekunden_ = sekunden;
    korrektur_ = korrekturErlaubt;
    laeuft_ = true;
    fertig_ = false;
    beginnMs_ = -1;
    getipptSekunden_ = 0;
    schluessel_ = notenschluesselLesen(app_);
    zaehlung_ = {};
    werte_ = {};

    // The ordinary exercise in the writing window is over, and its
    // stopwatch and figure stand while the copy is typed.
    if (auto* lek = app_.forms.loaded<frmLek>()) {
        lek->Timer3->stop();
        lek->hide();
    }
    if (auto* s = app_.forms.loaded<frmSchreiben>()) {
        s->Text1->setEnabled(false);
        s->Text1->setReadOnly(true);
        s->Text2->hide();
        s->Frame3->hide();
    }

    lblTitel->setText(titel);
    rtbVorlage->setText(text);
    rtbVorlage->setLocked(true);
    zeilenAnfang_ = {0};
    const QString& t = rtbVorlage->text();
    for (int i = 0; i + 1 < int(t.size()); ++i)
        if (t[i] == u'\r' && t[i + 1] == u'\n') zeilenAnfang_.push_back(i + 2);
    rtbVorlage->setSelStart(0);
    txtAbschrift->setExtraSelections({});
    txtAbschrift->korrekturErlaubt = korrekturErlaubt;
    txtAbschrift->setReadOnly(false);
    {
        const QSignalBlocker still(txtAbschrift);
        txtAbschrift->clear();
    }
    txtAbschrift->setToolTip(korrekturErlaubt ? QStringLiteral("Korrekturen mit der Rücktaste sind erlaubt.")
                                              : QStringLiteral("Korrekturen sind nicht erlaubt."));
    lblErgebnis->setText(QStringLiteral("Die Zeit läuft ab dem ersten Anschlag. Nichts wird während des "
                                        "Schreibens geprüft; „Abgeben“ beendet vorzeitig."));
    lstFehler->clear();
    lstFehler->hide();
    cmdAbgeben->setEnabled(true);
    cmdDrucken->setEnabled(false);
    zeigeRestzeit(qint64(sekunden) * 1000);
    tmrUhr->start();
    show();
    raise();
    activateWindow();
    txtAbschrift->setFocus();
}

qint64 frmAbschrift::vergangenMs() const {
    return beginnMs_ < 0 ? 0 : app_.services.monotonicMs() - beginnMs_;
}

void frmAbschrift::zeigeRestzeit(qint64 ms) {
    const qint64 s = std::max<qint64>(0, (ms + 999) / 1000);
    lblRestzeit->setText(QStringLiteral("Restzeit: %1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0')));
}

void frmAbschrift::getippt() {
    if (!laeuft_) return;
    if (beginnMs_ < 0 && !txtAbschrift->document()->isEmpty()) beginnMs_ = app_.services.monotonicMs();
    // The source follows the line being typed.
    const int zeile = txtAbschrift->textCursor().blockNumber();
    if (zeile >= 0 && size_t(zeile) < zeilenAnfang_.size()) rtbVorlage->setSelStart(zeilenAnfang_[size_t(zeile)]);
}

void frmAbschrift::tmrUhr_Timer() {
    if (!laeuft_) return;
    const qint64 rest = qint64(sekunden_) * 1000 - vergangenMs();
    zeigeRestzeit(rest);
    if (rest <= 0) beenden();
}

void frmAbschrift::beenden() {
    if (!laeuft_) return;
    laeuft_ = false;
    fertig_ = true;
    tmrUhr->stop();
    getipptSekunden_ = std::min<double>(sekunden_, vergangenMs() / 1000.0);
    ende_ = QDateTime::currentDateTime();
    txtAbschrift->setReadOnly(true);
    cmdAbgeben->setEnabled(false);
    const QString kopie = txtAbschrift->toPlainText();
    zaehlung_ = abschriftZaehlen(vorlage_, kopie);
    werte_ = abschriftWerte(zaehlung_.brutto, int(zaehlung_.fehler.size()), getipptSekunden_, schluessel_);
    lblRestzeit->setText(QStringLiteral("Zeit: %1 min").arg(zahl(rundeGerade(werte_.minuten, 2))));
    lblErgebnis->setText(
        QStringLiteral("Anschläge: %1   Fehler: %2   Fehlerquote: %3 %   Anschläge/min: %4   "
                       "netto: %5   Note: %6 (%7)")
            .arg(werte_.brutto)
            .arg(werte_.fehler)
            .arg(zahl(werte_.quote), zahl(werte_.anschlaege), zahl(werte_.netto))
            .arg(werte_.note)
            .arg(notenWort(werte_.note)));
    markieren();
    cmdDrucken->setEnabled(werte_.brutto > 0);
    if (werte_.brutto > 0) speichern();
    else lblErgebnis->setText(lblErgebnis->text() + QStringLiteral("\nEs wurde nichts geschrieben; nichts wird gespeichert."));
    cmdSchliessen->setFocus();
}

void frmAbschrift::markieren() {
    const QString& q = rtbVorlage->text();
    const QString kopie = txtAbschrift->toPlainText();
    QList<QTextEdit::ExtraSelection> marken;
    QTextCharFormat rot;
    rot.setForeground(kFehlerrot);
    rot.setBackground(QColor(255, 225, 225));
    rot.setFontUnderline(true);
    rot.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    // A space that is only a line break cannot be seen: the character
    // before it is marked with it.
    auto sichtbar = [](const QString& t, int& a, int& n) {
        bool blank = false;
        for (int i = a; i < a + n; ++i) blank |= t[i] == u' ' || t[i] == u'\t';
        if (n > 0 && !blank && a > 0) --a, ++n;
    };
    rtbVorlage->beginChange();
    lstFehler->clear();
    int nr = 0;
    for (const Abschriftfehler& f : zaehlung_.fehler) {
        int qa = f.quelleAnfang, qn = f.quelleLaenge, ka = f.kopieAnfang, kn = f.kopieLaenge;
        if (f.art == Abschriftfehler::Art::FalscherZwischenraum) {
            sichtbar(q, qa, qn);
            sichtbar(kopie, ka, kn);
        }
        if (qn > 0) {
            rtbVorlage->setSelection(qa, qn);
            rtbVorlage->setSelFormat(kFehlerrot, true);
        }
        if (kn > 0) {
            QTextEdit::ExtraSelection s;
            s.cursor = QTextCursor(txtAbschrift->document());
            s.cursor.setPosition(ka);
            s.cursor.setPosition(ka + kn, QTextCursor::KeepAnchor);
            s.format = rot;
            marken << s;
        }
        lstFehler->addItem(QStringLiteral("%1. %2").arg(++nr).arg(fehlerBeschreibung(f, q, kopie)));
    }
    rtbVorlage->setSelection(0, 0);
    rtbVorlage->endChange();
    txtAbschrift->setExtraSelections(marken);
    lstFehler->setVisible(!zaehlung_.fehler.isEmpty());
    // Both from their beginning, where the marks start.
    txtAbschrift->moveCursor(QTextCursor::Start);
    txtAbschrift->ensureCursorVisible();
    rtbVorlage->setSelStart(0);
}

void frmAbschrift::speichern() {
    // An ordinary results row (the exercise number of the copy test, the
    // gross keystrokes as counted characters, the error rate, the gross
    // keystrokes per minute), an empty finger row so the two files keep in
    // step, and the copy test's own row with the copy.
    Uebung ex;
    ex.lektionsnr = kNrAbschrift;
    ex.zaehler = werte_.brutto;
    ex.fehler = werte_.fehler;
    ex.MaxZeichen = werte_.brutto;
    ex.laufzeit = getipptSekunden_;
    ex.anschlaegeGanz = qint16(std::clamp(werte_.brutto, -32768, 32767));
    ex.anschlaegeProMinute = qint16(std::clamp(werte_.anschlaege, -32768.0, 32767.0));
    ex.Fehlerquote = werte_.quote / 100;
    const QString id = neueErgebnisId();
    QList<Tabellenzeile> zeilen = ergebnisZeilen(ex, ende_, id);
    zeilen << Tabellenzeile{
        QStringLiteral("Abschrift"),
        {QStringLiteral("ergebnis"), QStringLiteral("datum"), QStringLiteral("zeit"), QStringLiteral("titel"),
         QStringLiteral("dauer"), QStringLiteral("sekunden"), QStringLiteral("korrektur"),
         QStringLiteral("brutto"), QStringLiteral("fehler"), QStringLiteral("quote"),
         QStringLiteral("anschlaege"), QStringLiteral("netto"), QStringLiteral("note"),
         QStringLiteral("vorlage"), QStringLiteral("abschrift")},
        {id, ende_.date().toString(Qt::ISODate), ende_.time().toString(QStringLiteral("HH:mm:ss")), titel_,
         sekunden_, getipptSekunden_, korrektur_ ? 1 : 0, werte_.brutto, werte_.fehler, werte_.quote,
         werte_.anschlaege, werte_.netto, werte_.note, vorlage_, txtAbschrift->toPlainText()},
        id};
    const Ablagebericht b = ergebnisseAblegen(app_.databaseDir(), ausstehendDatei(app_), zeilen);
    for (const QString& m : b.meldungen) app_.services.msgBox(this, m, Msg::Exclamation);
}

void frmAbschrift::cmdDrucken_Click() {
    if (!fertig_) return;
    const QString vorschlag = QStringLiteral("%1/Bescheinigung-Abschrift-%2.pdf")
                                  .arg(QDir::homePath(), ende_.toString(QStringLiteral("yyyy-MM-dd-HHmm")));
    const QString datei = app_.services.saveFileName(this, QStringLiteral("Bescheinigung drucken"), vorschlag,
                                                     QStringLiteral("PDF-Dateien (*.pdf)"));
    if (datei.isEmpty()) return;
    Bescheinigung b{app_.opt.benutzer, ende_, titel_, sekunden_, korrektur_, txtAbschrift->toPlainText(),
                    vorlage_, zaehlung_, werte_, schluessel_};
    QString fehler;
    if (bescheinigungSchreiben(datei, b, &fehler))
        app_.services.msgBox(this, QStringLiteral("Die Bescheinigung steht in „%1“.").arg(datei), Msg::Information);
    else
        app_.services.msgBox(this, fehler, Msg::Exclamation);
}

void frmAbschrift::keyPressEvent(QKeyEvent* e) {
    // Escape closes the window, but never in the middle of a test.
    if (e->key() == Qt::Key_Escape && !laeuft_) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

void frmAbschrift::closeEvent(QCloseEvent* e) {
    tmrUhr->stop();
    laeuft_ = false;
    e->accept();
}

// ---- the tab of the lesson selection window ----

AbschriftAuswahl::AbschriftAuswahl(App& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("tabAbschrift"));
    lblText = new QLabel(QStringLiteral("&Text:"), this);
    lblText->setObjectName(QStringLiteral("lblText"));
    cboText = new QComboBox(this);
    cboText->setObjectName(QStringLiteral("cboText"));
    lblText->setBuddy(cboText);
    texte_ = abschrifttexte(app_.programDir());
    for (const Abschrifttext& t : texte_) cboText->addItem(t.titel);
    lblDauer = new QLabel(QStringLiteral("&Dauer:"), this);
    lblDauer->setObjectName(QStringLiteral("lblDauer"));
    cboDauer = new QComboBox(this);
    cboDauer->setObjectName(QStringLiteral("cboDauer"));
    lblDauer->setBuddy(cboDauer);
    for (int m : {1, 3, 5, 10})
        cboDauer->addItem(m == 1 ? QStringLiteral("1 Minute") : QStringLiteral("%1 Minuten").arg(m), m * 60);
    cboDauer->setCurrentIndex(3);
    chkKorrektur = new QCheckBox(QStringLiteral("&Korrekturen mit der Rücktaste erlaubt"), this);
    chkKorrektur->setObjectName(QStringLiteral("chkKorrektur"));
    chkKorrektur->setChecked(true);
    cmdDatei = new QPushButton(QStringLiteral("&Eigene Datei …"), this);
    cmdDatei->setObjectName(QStringLiteral("cmdAbschriftDatei"));
    cmdDatei->setToolTip(QStringLiteral("Eine eigene Textdatei abschreiben"));
    cmdStart = new QPushButton(QStringLiteral("OK"), this);
    cmdStart->setObjectName(QStringLiteral("cmdAbschriftStart"));
    cmdAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdAbbrechen->setObjectName(QStringLiteral("cmdAbschriftAbbrechen"));
    for (QPushButton* b : {cmdDatei, cmdStart, cmdAbbrechen}) b->setAutoDefault(false);
    auto* hinweis = new QLabel(QStringLiteral("Die Vorlage wird in der gewählten Zeit so weit wie möglich "
                                              "abgeschrieben, Zeile für Zeile. Erst am Ende wird gezählt."),
                               this);
    hinweis->setObjectName(QStringLiteral("lblAbschriftHinweis"));
    hinweis->setWordWrap(true);

    // One grid holds every label itself, so each is laid out with its tab.
    auto* raster = new QGridLayout(this);
    raster->addWidget(lblText, 0, 0);
    raster->addWidget(cboText, 0, 1);
    raster->addWidget(lblDauer, 1, 0);
    raster->addWidget(cboDauer, 1, 1);
    raster->setColumnStretch(1, 1);
    raster->addWidget(chkKorrektur, 2, 0, 1, 2);
    raster->addWidget(hinweis, 3, 0, 1, 2);
    raster->setRowStretch(4, 1);
    auto* zeile = new QHBoxLayout;
    zeile->addWidget(cmdDatei);
    zeile->addStretch(1);
    cmdStart->setMinimumWidth(90);
    cmdAbbrechen->setMinimumWidth(90);
    zeile->addWidget(cmdStart);
    zeile->addWidget(cmdAbbrechen);
    raster->addLayout(zeile, 5, 0, 1, 2);
    setTabOrder(cboText, cboDauer);
    setTabOrder(cboDauer, chkKorrektur);
    setTabOrder(chkKorrektur, cmdDatei);
    setTabOrder(cmdDatei, cmdStart);
    setTabOrder(cmdStart, cmdAbbrechen);

    dateiDialog = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Datei öffnen"), app_.programDir(),
                                            QStringLiteral("Textdateien (*.txt *.inf *.rtf);;Alle Dateien (*)"));
    };
    connect(cmdStart, &QPushButton::clicked, this, &AbschriftAuswahl::cmdStart_Click);
    connect(cmdDatei, &QPushButton::clicked, this, [this] {
        const QString pfad = dateiDialog ? dateiDialog() : QString();
        if (!pfad.isEmpty()) dateiStarten(pfad);
    });
    connect(cmdAbbrechen, &QPushButton::clicked, this, [this] { app_.forms.unload<frmLek>(); });
}

int AbschriftAuswahl::sekunden() const { return cboDauer->currentData().toInt(); }

void AbschriftAuswahl::starte(const QString& titel, const QString& text) {
    app_.forms.get<frmAbschrift>().starten(titel, text, sekunden(), chkKorrektur->isChecked());
}

bool AbschriftAuswahl::cmdStart_Click() {
    const int i = cboText->currentIndex();
    if (i < 0 || i >= texte_.size()) return false;
    starte(texte_[i].titel, texte_[i].text);
    return true;
}

bool AbschriftAuswahl::dateiStarten(const QString& pfad) {
    // Read and checked as own exercise texts are (binary files, odd
    // encodings, too long, nothing but blanks), with the same messages.
    RichTextView probe;
    if (!ladeMitMeldung(probe, app_.services, window(), pfad, true, true, true)) return false;
    starte(QFileInfo(pfad).fileName(), probe.text());
    return true;
}
