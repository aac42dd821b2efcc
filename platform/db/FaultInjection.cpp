#include "FaultInjection.h"

namespace platform::db {
namespace {

FaultInjection::Hook& installed() {
    static FaultInjection::Hook hook;
    return hook;
}

} // namespace

FaultInjection::FaultInjection(Hook hook) : previous_(std::move(installed())) {
    installed() = std::move(hook);
}

FaultInjection::~FaultInjection() {
    installed() = std::move(previous_);
}

void FaultInjection::beforeRun(const QString& statementName) {
    if (installed())
        installed()(statementName);
}

} // namespace platform::db
