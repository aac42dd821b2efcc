#include "ScriptedDialogs.h"

#include <stdexcept>

namespace testsupport {

void ScriptedDialogs::answerSeats(bool chosen, const QString& destinationSeat, const QString& originSeat) {
    seats_.enqueue([=](SeatChoiceCall& call) {
        if (!chosen)
            return false;
        call.destinationSeat = destinationSeat;
        if (call.mode == QLatin1String("1"))
            call.originSeat = originSeat;
        return true;
    });
}

bool ScriptedDialogs::mensagem(const MensagemCall& call) {
    messages << call;
    log << QStringLiteral("Mensagem:%1:%2").arg(call.kind).arg(call.text);
    if (call.kind != 1)
        return true; // information and errors are acknowledged
    if (questions_.isEmpty())
        throw std::logic_error("a question was asked that the test did not answer: " +
                               call.text.toStdString());
    return questions_.dequeue();
}

bool ScriptedDialogs::tecladoNumerico(TecladoCall& call) {
    log << QStringLiteral("TecladoNumerico");
    if (keypad_.isEmpty()) {
        keypads << call;
        throw std::logic_error("the numeric keypad opened without a scripted answer");
    }
    const auto [confirmed, typed] = keypad_.dequeue();
    if (confirmed)
        call.typed = typed;
    keypads << call;
    return confirmed;
}

bool ScriptedDialogs::criaPosOrigDest(SeatChoiceCall& call) {
    log << QStringLiteral("CriaPosOrigDest:%1").arg(call.mode);
    if (seats_.isEmpty())
        throw std::logic_error("the seat chooser opened without a scripted answer");
    const bool chosen = seats_.dequeue()(call);
    SeatChoiceCall kept = call;
    kept.origin = nullptr;
    kept.destination = nullptr;
    seatChoices << kept;
    return chosen;
}

void ScriptedDialogs::relFiscais() {
    log << QStringLiteral("RelFiscais");
    ++fiscalMenus;
    if (fiscal_)
        fiscal_();
}

QStringList ScriptedDialogs::messageTexts(int kind) const {
    QStringList out;
    for (const MensagemCall& m : messages)
        if (m.kind == kind)
            out << m.text;
    return out;
}

} // namespace testsupport
