#include "ScreenshotDriver.h"

#include "DemoSeed.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTableView>
#include <QTextStream>
#include <cstdlib>
#include <exception>

namespace host {
namespace {

const QString ScreenName = QStringLiteral("frmTrPosicao");
const QString SeatChooserName = QStringLiteral("seatChooser");
const QString KeypadName = QStringLiteral("numericKeypad");
const QString MessageName = QStringLiteral("messageDialog");
// The screen's question before a transfer and its message after one.
const QString ConfirmationText = QStringLiteral("Deseja realmente realizar a transfêrencia ?");
const QString TransferDoneText = QStringLiteral("Transferência realizada com sucesso.");

constexpr int TickMs = 50;
// Time for a posted key to be handled and painted before the next step looks.
constexpr int KeyQuietMs = 150;
constexpr int MaxDownPresses = 20;
// A tour that failed and cannot close the screen within this time ends the process.
constexpr int ClosingLimitMs = 5000;

void say(const QString& text) {
    QTextStream(stdout) << "screenshot: " << text << Qt::endl;
}

void complain(const QString& text) {
    QTextStream(stderr) << "screenshot: " << text << Qt::endl;
}

QString keyName(int key, const QString& text) {
    switch (key) {
    case Qt::Key_Return:
        return QStringLiteral("Enter");
    case Qt::Key_Escape:
        return QStringLiteral("Escape");
    case Qt::Key_Down:
        return QStringLiteral("Down");
    default:
        return u'"' + text + u'"';
    }
}

} // namespace

ScreenshotDriver::ScreenshotDriver(QString folder, Ending ending, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {
    timer_.setInterval(TickMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        // nothing may leave a timer slot towards the event loop
        try {
            tick();
        } catch (const std::exception& e) {
            fail(QStringLiteral("the tour stopped: %1").arg(QString::fromUtf8(e.what())));
        } catch (...) {
            fail(QStringLiteral("the tour stopped on an unknown failure"));
        }
    });
    addSteps(ending);
}

bool ScreenshotDriver::start() {
    if (!QDir().mkpath(folder_)) {
        failed_ = true;
        failure_ = QStringLiteral("cannot create the folder %1").arg(folder_);
        complain(failure_);
        return false;
    }
    stepClock_.start();
    timer_.start();
    return true;
}

int ScreenshotDriver::exitCode() const {
    if (failed_)
        return 3;
    return finished_ ? 0 : 4;
}

void ScreenshotDriver::hostReturned() {
    timer_.stop();
    while (!failed_ && current_ < steps_.size() && steps_[current_].run() == Outcome::Done)
        ++current_;
    finished_ = !failed_ && current_ >= steps_.size();
}

QString ScreenshotDriver::pendingStep() const {
    return current_ < steps_.size() ? steps_[current_].what : QString();
}

void ScreenshotDriver::addSteps(Ending ending) {
    using demo::ComboItemPrefix;
    using demo::OneUnitItemName;
    using demo::ThreeUnitsItemName;
    steps_ = {
        waitForScreen(),
        settle(400),
        grabScreen(QStringLiteral("01-opened.png")),
        // one unit: no keypad, the seat chooser asks for the destination seat
        select(OneUnitItemName),
        press(Qt::Key_A, QStringLiteral("a")),
        waitForDialog(SeatChooserName),
        press(Qt::Key_2, QStringLiteral("2")),
        settle(300),
        grabDialog(SeatChooserName, QStringLiteral("04-seat-chooser.png")),
        press(Qt::Key_Return, QStringLiteral("\r")),
        waitForScreenOnTop(),
        // two of three units: the keypad asks how many, then the seat (the last one chosen is offered)
        select(ThreeUnitsItemName),
        press(Qt::Key_A, QStringLiteral("a")),
        waitForDialog(KeypadName),
        press(Qt::Key_2, QStringLiteral("2")),
        settle(300),
        grabDialog(KeypadName, QStringLiteral("03-keypad.png")),
        grabDisplay(QStringLiteral("05-keypad-over-screen.png")),
        press(Qt::Key_Return, QStringLiteral("\r")),
        waitForDialog(SeatChooserName),
        press(Qt::Key_Return, QStringLiteral("\r")),
        waitForScreenOnTop(),
        // a combo: its other items follow it
        select(ComboItemPrefix),
        press(Qt::Key_A, QStringLiteral("a")),
        waitForDialog(SeatChooserName),
        press(Qt::Key_Return, QStringLiteral("\r")),
        waitForScreenOnTop(),
        settle(400),
        grabScreen(QStringLiteral("02-items-moved.png")),
    };
    if (ending == Ending::Leave) {
        // leave without confirming: the database stays as seeded
        steps_ << press(Qt::Key_Escape, QStringLiteral("\x1b"));
    } else {
        steps_ << press(Qt::Key_Return, QStringLiteral("\r")) << waitForMessage(ConfirmationText)
               << overMessage(settle(300))
               << overMessage(grabDialog(MessageName, QStringLiteral("06-confirmation.png")))
               << overMessage(press(Qt::Key_S, QStringLiteral("s")));
        // the transfer runs before the next message shows
        Step done = waitForMessage(TransferDoneText);
        done.timeoutMs = 30000;
        steps_ << done << overMessage(settle(300))
               << overMessage(grabDialog(MessageName, QStringLiteral("07-transfer-done.png")))
               << overMessage(press(Qt::Key_Return, QStringLiteral("\r")));
    }
    steps_ << waitForScreenClosed();
    steps_.front().timeoutMs = 30000; // the first opening also connects to the database
}

void ScreenshotDriver::tick() {
    if (failed_) {
        closeEverything();
        return;
    }
    if (finished_)
        return;
    if (settling_ && settleClock_.elapsed() < KeyQuietMs)
        return;
    settling_ = false;
    if (current_ >= steps_.size()) {
        finished_ = true;
        timer_.stop();
        say(QStringLiteral("done"));
        return;
    }
    const Step& step = steps_[current_];
    const QString message = step.overMessage ? QString() : unexpectedMessage();
    if (!message.isEmpty()) {
        fail(QStringLiteral("a message appeared while waiting for %1: %2").arg(step.what, message));
        return;
    }
    if (step.run() == Outcome::Done) {
        ++current_;
        downPresses_ = 0;
        stepClock_.restart();
    } else if (!failed_ && stepClock_.elapsed() > step.timeoutMs) {
        fail(QStringLiteral("timed out after %1 s waiting for %2").arg(step.timeoutMs / 1000).arg(step.what));
    }
}

void ScreenshotDriver::fail(const QString& reason) {
    if (failed_)
        return;
    failed_ = true;
    failure_ = reason;
    complain(reason);
    QStringList windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            windows << QStringLiteral("%1 \"%2\"").arg(w->objectName(), w->windowTitle());
    complain(QStringLiteral("visible windows: %1")
                 .arg(windows.isEmpty() ? QStringLiteral("none") : windows.join(QStringLiteral(", "))));
    if (QWidget* top = QApplication::activeModalWidget()) {
        const QString path = QDir(folder_).filePath(QStringLiteral("failure.png"));
        if (top->grab().save(path, "PNG"))
            complain(QStringLiteral("what was on top: %1").arg(path));
    }
    closingClock_.start();
    if (!timer_.isActive())
        timer_.start();
}

void ScreenshotDriver::closeEverything() {
    // keeps closing until the host's call returns: the screen may still show up after a failure
    QWidget* top = QApplication::activeModalWidget();
    if (!top)
        return;
    if (closingClock_.elapsed() > ClosingLimitMs) {
        complain(QStringLiteral("the screen did not close; ending the process"));
        std::_Exit(exitCode());
    }
    if (auto* dialog = qobject_cast<QDialog*>(top))
        dialog->reject();
    else
        top->close();
}

ScreenshotDriver::Step ScreenshotDriver::waitForScreen() {
    return {QStringLiteral("the transfer screen to open"), [this] {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (w->objectName() == ScreenName && w->isVisible() &&
                        QApplication::activeModalWidget() == w) {
                        screen_ = w;
                        w->raise();
                        w->activateWindow();
                        QWidget* focused = w->focusWidget();
                        say(QStringLiteral("the screen is open; the focus is on %1")
                                .arg(focused ? focused->objectName() : QStringLiteral("nothing")));
                        return Outcome::Done;
                    }
                }
                return Outcome::Wait;
            }};
}

ScreenshotDriver::Step ScreenshotDriver::settle(int ms) {
    auto clock = std::make_shared<QElapsedTimer>();
    return {QStringLiteral("a pause"), [clock, ms] {
                if (!clock->isValid())
                    clock->start();
                if (clock->elapsed() < ms)
                    return Outcome::Wait;
                clock->invalidate();
                return Outcome::Done;
            }};
}

ScreenshotDriver::Step ScreenshotDriver::grabScreen(const QString& file) {
    return {QStringLiteral("the screen to save %1").arg(file), [this, file] {
                if (!screen())
                    return Outcome::Wait;
                save(screen(), file);
                return Outcome::Done;
            }};
}

ScreenshotDriver::Step ScreenshotDriver::grabDialog(const QString& dialog, const QString& file) {
    return {QStringLiteral("%1 to save %2").arg(dialog, file), [this, dialog, file] {
                QWidget* w = modalDialog(dialog);
                if (!w)
                    return Outcome::Wait;
                save(w, file);
                return Outcome::Done;
            }};
}

ScreenshotDriver::Step ScreenshotDriver::grabDisplay(const QString& file) {
    return {QStringLiteral("the display to save %1").arg(file), [this, file] {
                QScreen* display = screen() ? screen()->screen() : QGuiApplication::primaryScreen();
                const QPixmap shot = display ? display->grabWindow(0) : QPixmap();
                const QString path = QDir(folder_).filePath(file);
                // the whole display is a bonus: a platform that cannot grab it does not fail the tour
                if (shot.isNull() || !shot.save(path, "PNG"))
                    complain(
                        QStringLiteral("this platform could not grab the display; %1 skipped").arg(file));
                else
                    say(QStringLiteral("saved %1").arg(path));
                return Outcome::Done;
            }};
}

ScreenshotDriver::Step ScreenshotDriver::select(const QString& namePrefix) {
    return {QStringLiteral("\"%1\" to be the current item of the origin list").arg(namePrefix),
            [this, namePrefix] {
                QTableView* grid = originGrid();
                if (!grid || QApplication::activeModalWidget() != screen())
                    return Outcome::Wait;
                if (currentName(grid).startsWith(namePrefix))
                    return Outcome::Done;
                if (downPresses_ >= MaxDownPresses) {
                    fail(QStringLiteral("no item \"%1\" below the current row of the origin list")
                             .arg(namePrefix));
                    return Outcome::Wait;
                }
                // as a tap on the list would, before the arrow keys move in it
                if (keyTarget() != grid)
                    grid->setFocus(Qt::MouseFocusReason);
                ++downPresses_;
                press(Qt::Key_Down).run();
                return Outcome::Wait;
            }};
}

ScreenshotDriver::Step ScreenshotDriver::press(int key, const QString& text) {
    return {
        QStringLiteral("the key %1").arg(keyName(key, text)), [this, key, text] {
            QWidget* target = keyTarget();
            if (!target)
                return Outcome::Wait;
            say(QStringLiteral("key %1 on %2").arg(keyName(key, text), target->objectName()));
            // posted, not sent: a dialog the key opens runs its own loop while this tour goes on
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
            settling_ = true;
            settleClock_.start();
            return Outcome::Done;
        }};
}

ScreenshotDriver::Step ScreenshotDriver::waitForDialog(const QString& dialog) {
    return {QStringLiteral("the dialog %1 to open").arg(dialog), [this, dialog] {
                return modalDialog(dialog) ? Outcome::Done : Outcome::Wait;
            }};
}

ScreenshotDriver::Step ScreenshotDriver::waitForScreenOnTop() {
    return {QStringLiteral("the dialogs over the screen to close"), [this] {
                return screen() && QApplication::activeModalWidget() == screen() ? Outcome::Done
                                                                                 : Outcome::Wait;
            }};
}

ScreenshotDriver::Step ScreenshotDriver::waitForScreenClosed() {
    return {QStringLiteral("the screen to close"), [this] {
                return !screen() || !screen()->isVisible() ? Outcome::Done : Outcome::Wait;
            }};
}

ScreenshotDriver::Step ScreenshotDriver::waitForMessage(const QString& text) {
    return overMessage(
        {QStringLiteral("the message \"%1\"").arg(text), [this, text] {
             const QString shown = unexpectedMessage();
             if (shown.isEmpty())
                 return Outcome::Wait;
             if (!shown.contains(text))
                 fail(QStringLiteral("a message appeared instead of \"%1\": %2").arg(text, shown));
             return failed_ ? Outcome::Wait : Outcome::Done;
         }});
}

ScreenshotDriver::Step ScreenshotDriver::overMessage(Step step) {
    step.overMessage = true;
    return step;
}

QTableView* ScreenshotDriver::originGrid() const {
    return screen() ? screen()->findChild<QTableView*>(QStringLiteral("dbgMesaOri")) : nullptr;
}

QWidget* ScreenshotDriver::modalDialog(const QString& name) const {
    QWidget* top = QApplication::activeModalWidget();
    return top && top->objectName() == name && top->isVisible() ? top : nullptr;
}

QWidget* ScreenshotDriver::keyTarget() const {
    QWidget* window = QApplication::activeModalWidget();
    if (!window)
        window = screen();
    if (!window)
        return nullptr;
    return window->focusWidget() ? window->focusWidget() : window;
}

QString ScreenshotDriver::currentName(QTableView* grid) const {
    const QModelIndex current = grid->currentIndex();
    QAbstractItemModel* model = grid->model();
    if (!current.isValid() || !model)
        return {};
    for (int column = 0; column < model->columnCount(); ++column)
        if (model->headerData(column, Qt::Horizontal).toString() == QLatin1String("Nome Produto"))
            return model->index(current.row(), column).data().toString();
    return {};
}

bool ScreenshotDriver::save(QWidget* widget, const QString& file) {
    const QString path = QDir(folder_).filePath(file);
    if (!widget->grab().save(path, "PNG")) {
        fail(QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    say(QStringLiteral("saved %1").arg(path));
    return true;
}

QString ScreenshotDriver::unexpectedMessage() const {
    QWidget* top = QApplication::activeModalWidget();
    if (!top || top->objectName() != MessageName)
        return {};
    QStringList texts;
    for (QLabel* label : top->findChildren<QLabel*>())
        if (!label->text().trimmed().isEmpty())
            texts << label->text().trimmed();
    return texts.isEmpty() ? top->windowTitle() : texts.join(QStringLiteral(" / "));
}

} // namespace host
