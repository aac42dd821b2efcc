#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QTableView;

namespace host {

// Takes screenshots of the real transfer screen while it runs modally in this process: once the screen
// shows, it types on it as an operator would (posted key events, so the event loop never blocks) and
// grabs the screen and its dialogs into a folder. The tour follows the demo data (host/DemoSeed.h):
//
//   01-opened.png              the screen as opened
//   04-seat-chooser.png        a one-unit item added with "a": the seat chooser, seat 2 typed
//   03-keypad.png              two of three units added: the numeric keypad with "2" typed
//   05-keypad-over-screen.png  the whole display at that moment
//   02-items-moved.png         after the combo followed; then Escape leaves without confirming, or:
//   06-confirmation.png        Enter: the question, answered "s"
//   07-transfer-done.png       the success message, closed with Enter; the screen closes
//
// Whatever does not appear in time, and any other message, ends the tour: the reason goes to stderr,
// every dialog and the screen are closed, and exitCode() is non-zero.
class ScreenshotDriver : public QObject {
public:
    enum class Ending { Leave, Confirm };

    explicit ScreenshotDriver(QString folder, Ending ending = Ending::Leave, QObject* parent = nullptr);

    // Starts polling; call before the screen opens. False when the folder cannot be made.
    bool start();
    // The host's call returned: the steps that the closed screen completes (waiting for it to close)
    // count as done.
    void hostReturned();
    // 0 once every screenshot was saved and the screen closed; else the code to exit with.
    int exitCode() const;
    QString failure() const { return failure_; }
    // What the tour was waiting for when it stopped; empty once it is complete.
    QString pendingStep() const;

private:
    enum class Outcome { Wait, Done };
    struct Step {
        QString what; // what is awaited, for the timeout message
        std::function<Outcome()> run;
        int timeoutMs = 10000;
        bool overMessage = false; // a message on top is what this step works on
    };

    void addSteps(Ending ending);
    void tick();
    void fail(const QString& reason);
    void closeEverything();

    // Steps
    Step waitForScreen();
    Step settle(int ms);
    Step grabScreen(const QString& file);
    Step grabDialog(const QString& dialog, const QString& file);
    Step grabDisplay(const QString& file);
    Step select(const QString& namePrefix);
    Step press(int key, const QString& text = {});
    Step waitForDialog(const QString& dialog);
    Step waitForScreenOnTop();
    Step waitForScreenClosed();
    // A message dialog whose text holds `text`; one with another text fails the tour.
    Step waitForMessage(const QString& text);
    static Step overMessage(Step step);

    QWidget* screen() const { return screen_.data(); }
    QTableView* originGrid() const;
    // The dialog with this object name when it is the window the operator works in.
    QWidget* modalDialog(const QString& name) const;
    // Where a typed key goes: the focused control of the topmost modal window, else that window.
    QWidget* keyTarget() const;
    QString currentName(QTableView* grid) const;
    bool save(QWidget* widget, const QString& file);
    // The text of a message dialog on top: the tour never expects one.
    QString unexpectedMessage() const;

    QString folder_;
    QTimer timer_;
    QList<Step> steps_;
    int current_ = 0;
    int downPresses_ = 0;
    QElapsedTimer stepClock_;
    QElapsedTimer settleClock_;
    bool settling_ = false;
    QPointer<QWidget> screen_;
    bool finished_ = false;
    bool failed_ = false;
    QString failure_;
    QElapsedTimer closingClock_;
};

} // namespace host
