#include "DriverWarnings.h"

#include <QMutex>
#include <QString>
#include <QtGlobal>

namespace platform::db {
namespace {

// The handler is the process's; only the warnings of a thread that is opening a connection are dropped.
QMutex guard;
int users = 0;
QtMessageHandler previous = nullptr;
thread_local int opening = 0;

void filter(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // the driver's set-up speaks through plain warnings: its version query, its encoding and date style
    if (type == QtWarningMsg && opening > 0)
        return;
    QtMessageHandler next = nullptr;
    {
        const QMutexLocker lock(&guard);
        next = previous;
    }
    if (next)
        next(type, context, text);
}

} // namespace

QuietDriverWarnings::QuietDriverWarnings() {
    ++opening;
    const QMutexLocker lock(&guard);
    if (users++ == 0)
        previous = qInstallMessageHandler(filter);
}

QuietDriverWarnings::~QuietDriverWarnings() {
    --opening;
    const QMutexLocker lock(&guard);
    if (--users == 0)
        qInstallMessageHandler(previous);
}

} // namespace platform::db
