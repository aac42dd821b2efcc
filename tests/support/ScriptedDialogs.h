#pragma once

#include "platform/ui/Dialogs.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

namespace testsupport {

// A dialog provider that answers from queues and records every call with its arguments, so that every
// screen behaviour runs unattended. A dialog that needs an answer nobody queued is a fault of the
// test: it raises, and the screen's event wrapper reports it as an error.
class ScriptedDialogs : public platform::ui::DialogProvider {
public:
    using MensagemCall = platform::ui::MensagemCall;
    using TecladoCall = platform::ui::TecladoCall;
    using SeatChoiceCall = platform::ui::SeatChoiceCall;
    using MensagemMetodoCall = platform::ui::MensagemMetodoCall;
    // A seat choice: fills the call (seats) and returns whether the operator chose.
    using SeatAnswer = std::function<bool(SeatChoiceCall&)>;

    void answerQuestion(bool yes) { questions_.enqueue(yes); }
    void answerKeypad(bool confirmed, const QString& typed = {}) { keypad_.enqueue({confirmed, typed}); }
    // Chooses `destinationSeat` (and `originSeat` in whole-seat mode), or cancels when !chosen.
    void answerSeats(bool chosen, const QString& destinationSeat = {}, const QString& originSeat = {});
    void answerSeatsWith(const SeatAnswer& answer) { seats_.enqueue(answer); }
    void onFiscalMenu(std::function<void()> action) { fiscal_ = std::move(action); }

    bool mensagem(const MensagemCall& call) override;
    bool tecladoNumerico(TecladoCall& call) override;
    bool criaPosOrigDest(SeatChoiceCall& call) override;
    void relFiscais() override;
    void reportError(const QString& text) override { errorReports << text; }
    void methodResultChecked(const MensagemMetodoCall& call) override { methodChecks << call; }

    // What happened, in order.
    QList<MensagemCall> messages;
    QList<TecladoCall> keypads;
    QList<SeatChoiceCall> seatChoices; // the datasets are not kept
    QList<MensagemMetodoCall> methodChecks;
    QStringList errorReports;
    int fiscalMenus = 0;
    QStringList log; // "Mensagem:<kind>:<text>", "TecladoNumerico", "CriaPosOrigDest:<mode>", "RelFiscais"

    // Texts of the messages of one kind (3 = error).
    QStringList messageTexts(int kind) const;
    bool exhausted() const { return questions_.isEmpty() && keypad_.isEmpty() && seats_.isEmpty(); }

private:
    QQueue<bool> questions_;
    QQueue<QPair<bool, QString>> keypad_;
    QQueue<SeatAnswer> seats_;
    std::function<void()> fiscal_;
};

} // namespace testsupport
