#pragma once

#include "Dialogs.h"

namespace platform::ui {

// The real dialogs of the program: modal, large enough for a finger, operable with the keyboard alone.
class QtDialogProvider : public DialogProvider {
public:
    bool mensagem(const MensagemCall& call) override;
    bool tecladoNumerico(TecladoCall& call) override;
    bool criaPosOrigDest(SeatChoiceCall& call) override;
    void relFiscais() override;
    void reportError(const QString& text) override;
};

} // namespace platform::ui
