#include "Dialogs.h"

#include "QtDialogProvider.h"
#include "platform/Errors.h"

namespace platform::ui {
namespace {

DialogProvider*& installed() {
    static DialogProvider* provider = nullptr;
    return provider;
}

} // namespace

ProviderScope::ProviderScope(DialogProvider& provider) : previous_(installed()) {
    installed() = &provider;
}

ProviderScope::~ProviderScope() {
    installed() = previous_;
}

DialogProvider& dialogs() {
    if (installed())
        return *installed();
    static QtDialogProvider real;
    return real;
}

bool Mensagem(const QString& text, const QString& caption, const QString& reservedFlag,
              const QString& defaultAnswer, int kind, const QString& reservedText, const QString& idEsquema,
              int reservedNumber, platform::Dataset* /*dataset*/) {
    return dialogs().mensagem(
        {text, caption, reservedFlag, defaultAnswer, kind, reservedText, idEsquema, reservedNumber});
}

QByteArray MensagemMetodo(const QVariant& result, bool reservedFlag, int reservedNumber,
                          const QString& method, const QString& moduleTag, const QString& arguments,
                          const QString& idEsquema) {
    dialogs().methodResultChecked(
        {result, reservedFlag, reservedNumber, method, moduleTag, arguments, idEsquema});
    if (result.metaType().id() == QMetaType::QString) {
        const QString failure = result.toString();
        throw Error(QStringLiteral("%1\n\nMétodo: %2 (%3)\nArgumentos: %4")
                        .arg(failure, method, moduleTag, arguments));
    }
    if (result.metaType().id() == QMetaType::QByteArray)
        return result.toByteArray();
    return {};
}

bool TecladoNumerico(QString& typed, const QString& caption, const QString& prompt, const QString& emptyText,
                     int maxLength, int reserved1, int decimals, int reserved2, int reserved3,
                     int reserved4) {
    TecladoCall call{
        typed, caption, prompt, emptyText, maxLength, decimals, {reserved1, reserved2, reserved3, reserved4}};
    const bool confirmed = dialogs().tecladoNumerico(call);
    if (confirmed)
        typed = call.typed;
    return confirmed;
}

bool CriaPosOrigDest(const QString& mode, platform::Dataset& origin, platform::Dataset& destination,
                     QString& originSeat, QString& destinationSeat, QString& originTable,
                     QString& destinationTable, QString& destinationPeople) {
    SeatChoiceCall call{mode,        &origin,          &destination,     originSeat, destinationSeat,
                        originTable, destinationTable, destinationPeople};
    if (!dialogs().criaPosOrigDest(call))
        return false;
    originSeat = call.originSeat;
    destinationSeat = call.destinationSeat;
    originTable = call.originTable;
    destinationTable = call.destinationTable;
    destinationPeople = call.destinationPeople;
    return true;
}

void RelFiscais() {
    dialogs().relFiscais();
}

void Trad(QWidget* /*screen*/) {}

} // namespace platform::ui
