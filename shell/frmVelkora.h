#pragma once
#include <QMainWindow>

class App;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

// Where a window of the given size stands so that it can be reached: kept
// when the top left of its frame (100 x 30 pixels, where the title bar is)
// lies on one of the screens' areas, otherwise moved into the first area.
QPoint aufBildschirm(QPoint pos, QSize groesse, const QList<QRect>& bereiche);

// The main window: a multiple-document frame of fixed size that holds the
// writing window and carries the program's menu bar. Loading reads the
// options, closing writes them back and closes every other window.
class frmVelkora : public QMainWindow {
    Q_OBJECT
public:
    // Fixed place and size in twips.
    static constexpr int kLeft = 570, kTop = 825, kWidth = 14060, kHeight = 9710;

    explicit frmVelkora(App& app);
    ~frmVelkora() override;

    QMdiArea* mdiArea() const { return mdi_; }
    // The lesson menu, also shown as the writing window's pop-up menu.
    QMenu* lek() const { return lek_; }
    QString helpFile() const { return helpFile_; }
    // The main window's left and top edges in twips (other windows place
    // themselves relative to them).
    int leftTwips() const;
    int topTwips() const;

    void MDIForm_Load();
    void MDIForm_Unload();

    // The menu commands.
    void Been_Click();
    void Ausw_Click();
    void menSchwaechen_Click();
    void menAusw_Click();
    void aud_Click();
    void re_Click();
    void fa_Click();
    void mennam_Click();
    void menKlasseEinst_Click();
    void menNotenschluessel_Click();
    void menTimAnh_Click();
    void Timstart_Click();
    void menNumbl_Click();
    void menEditor_Click();
    void mentip_Click();
    void menst_Click();
    void menTasten_Click();
    void menFortschritt_Click();
    void menKlasse_Click();
    void menExport_Click();
    void Wer_Click();
    void menWeb_Click();
    void menMail_Click();
    void menHilfe_Click();

    static const QString kMailAdresse;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenu();
    void ausfuehren(void (frmVelkora::*befehl)());
    // Beeps and shows the settings dialog modal on one of its tabs.
    void einstellungen(int tab);
    // Starts or stops the exercise stopwatch while an exercise is on.
    void stoppuhr(bool laufen);
    void MDIForm_Resize();
    void fitChild();

    App& app_;
    QMdiArea* mdi_ = nullptr;
    QMdiSubWindow* schreibenSub_ = nullptr;
    QMenu* lek_ = nullptr;
    QString helpFile_;
    bool unloaded_ = false;
};

// The window title for a user name ("Velkora 1.0  " without one).
QString hauptTitel(const QString& benutzer);
