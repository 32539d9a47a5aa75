#pragma once
#include <QObject>
#include <QtGlobal>

class App;
class QPushButton;
class QTimer;
class QWidget;

// The practice reminder: after the training duration (`tdauer` minutes) has
// passed it chimes and says so. The settings dialog drives it through its
// `remind` and `Timer2_Timer`; its count and minute timer live here, owned by
// the App, so that closing the dialog does not silently end a running
// reminder. Both start buttons (the dialog's and the writing window's) always
// show whether it runs: red with the hourglass pointer while it counts,
// light green otherwise.
class Reminder : public QObject {
    Q_OBJECT
public:
    static constexpr qint32 kLaeuft = 255;      // red
    static constexpr qint32 kBereit = 8454016;  // light green, 0x80FF80
    static constexpr int kMinute = 60000;       // ms

    explicit Reminder(App& app);
    ~Reminder() override;

    QTimer* Timer2 = nullptr;        // the minute tick
    qint16 reminderMinuten = 0;      // minutes since the last start

    bool laeuft() const;
    // Counts again from 0 / stops the count; both buttons follow.
    void starten();
    void anhalten();
    // The minute tick: at the training duration it stops, chimes and shows
    // its message.
    void Timer2_Timer();

    // The start button of either window (the dialog's Command2, the writing
    // window's Command11). parent carries the refusal message.
    void startknopf(QWidget* parent);

    // Colours and pointers of the two start buttons of the loaded windows.
    void knoepfeZeigen();
    // The same for one start button (a window building its own).
    void knopfZeigen(QPushButton* button) const;

    // The message shown when the duration has passed.
    static const QString kMeldung;

private:
    App& app_;
};
