#pragma once

#include <functional>

namespace platform::ui {

// Runs one user-interface event handler. The silent abort ends it without a word; any other failure
// becomes the framework's error report. Nothing escapes into the event loop.
void guarded(const std::function<void()>& handler) noexcept;

} // namespace platform::ui
