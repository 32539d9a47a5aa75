#pragma once
#include <QColor>
#include <QPoint>
#include <QString>
#include <optional>

class QWidget;

// Message box styles and answers, numbered as the windows' code expects them
// (buttons in the low bits, icon in the next ones).
namespace Msg {
enum Style : int {
    OkOnly = 0,
    OkCancel = 1,
    YesNoCancel = 3,
    YesNo = 4,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
};
enum Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };
}  // namespace Msg

// The desktop facilities the windows use. The program uses QtServices; tests
// use a recording fake so they never block on a modal box or need a sound card.
class PlatformServices {
public:
    virtual ~PlatformServices() = default;
    // A modal message box; an empty title shows the application title.
    virtual int msgBox(QWidget* parent, const QString& text, int style = Msg::OkOnly,
                       const QString& title = QString()) = 0;
    // The system beep.
    virtual void beep() = 0;
    // Plays a WAV file asynchronously; a missing file or no audio device plays
    // nothing, silently.
    virtual void playSound(const QString& path) = 0;
    // Loads a WAV file ahead of its first use so that playing it does not stall.
    virtual void preloadSound(const QString& path) { (void)path; }
    // Opens a web address, mail address or document with the desktop's handler.
    virtual bool shellOpen(const QString& target) = 0;
    // Starts the desktop's text editor without a document.
    virtual bool startEditor() = 0;
    // The mouse pointer's position in screen coordinates.
    virtual QPoint cursorPos() = 0;
    // The colour of the screen pixel at a position in screen coordinates;
    // nothing where the platform cannot read the screen (no screen there, or
    // a desktop that does not let programs read it).
    virtual std::optional<QColor> screenPixel(const QPoint& globalPos) = 0;
    // Milliseconds of a clock that only goes forward (not the wall clock):
    // the time between two keys.
    virtual qint64 monotonicMs() = 0;
    // The name of a file to write, chosen in a save dialog that starts at
    // the suggested path and asks before an existing file is replaced;
    // empty when the user cancels.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& suggested,
                                 const QString& filter) = 0;
    // Speaks a German text through the desktop's speech service. With
    // unterbrechen whatever is being said stops and what waits is dropped;
    // otherwise the text waits its turn. Returns at once, whatever the
    // service does; without a service nothing is said.
    virtual void sprechen(const QString& text, bool unterbrechen) { (void)text, (void)unterbrechen; }
    // True when a screen reader is running on the desktop.
    virtual bool bildschirmleser() { return false; }
};

// The application title shown by message boxes without their own title.
inline const QString kAppTitle = QStringLiteral("Velkora");
