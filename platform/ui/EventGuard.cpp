#include "EventGuard.h"

#include "Dialogs.h"
#include "platform/Errors.h"

namespace platform::ui {

void guarded(const std::function<void()>& handler) noexcept {
    try {
        try {
            handler();
        } catch (const SilentAbort&) {
        } catch (const std::exception& e) {
            dialogs().reportError(QString::fromUtf8(e.what()));
        } catch (...) {
            dialogs().reportError(QStringLiteral("Erro desconhecido."));
        }
    } catch (...) {
        // the report itself failed; the event loop must still go on
    }
}

} // namespace platform::ui
