#pragma once

#include <QString>
#include <QVariant>
#include <array>

class QWidget;

namespace platform {
class Dataset;
}

namespace platform::ui {

// What the shared dialogs are asked, as the screen passes it. Every dialog call goes through the
// installed provider: real Qt dialogs in the program, a scripted provider in tests.
//
// The suite's operations take a few arguments that this module always passes at one value and that these
// dialogs do not read ("N", an empty text, true or 0). They are named reserved and kept in the calls, so
// that a test can still see what the screen passed.
struct MensagemCall {
    QString text;
    QString caption; // empty: the kind's own caption
    QString reservedFlag;
    QString defaultAnswer; // "N" or "S"
    int kind = 0;          // 0 information, 1 question, 3 error
    QString reservedText;
    QString idEsquema;
    int reservedNumber = 0;
};

struct TecladoCall {
    QString typed; // what the operator typed (the keypad starts empty)
    QString caption;
    QString prompt;
    QString emptyText; // shown when the operator confirms nothing
    int maxLength = 10;
    int decimals = 0;                 // 1: the locale's decimal separator is offered (weighed items)
    std::array<int, 4> reserved = {}; // the arguments around those two, in their order
};

struct SeatChoiceCall {
    QString mode; // "0": one item, the origin seat is given; "1": a whole seat, the origin seat is chosen
    platform::Dataset* origin = nullptr;
    platform::Dataset* destination = nullptr;
    QString originSeat;      // in/out
    QString destinationSeat; // in/out
    QString originTable;
    QString destinationTable;
    QString destinationPeople;
};

struct MensagemMetodoCall {
    QVariant result;
    bool reservedFlag = true;
    int reservedNumber = 0;
    QString method;
    QString moduleTag;
    QString arguments;
    QString idEsquema;
};

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    virtual bool mensagem(const MensagemCall& call) = 0;
    virtual bool tecladoNumerico(TecladoCall& call) = 0;
    virtual bool criaPosOrigDest(SeatChoiceCall& call) = 0;
    virtual void relFiscais() = 0;
    // The framework's report of a failure that no handler caught.
    virtual void reportError(const QString& text) = 0;
    // Sees every method-result check; the check itself is the same for every provider.
    virtual void methodResultChecked(const MensagemMetodoCall& /*call*/) {}
};

// Installs a provider for as long as the object lives; without one the real Qt dialogs are used.
class ProviderScope {
public:
    explicit ProviderScope(DialogProvider& provider);
    ~ProviderScope();
    ProviderScope(const ProviderScope&) = delete;
    ProviderScope& operator=(const ProviderScope&) = delete;

private:
    DialogProvider* previous_;
};

DialogProvider& dialogs();

// --- the shared library's and shared package's operations, argument for argument

bool Mensagem(const QString& text, const QString& caption, const QString& reservedFlag,
              const QString& defaultAnswer, int kind, const QString& reservedText, const QString& idEsquema,
              int reservedNumber, platform::Dataset* dataset);

// Returns the data packet of a successful result (empty for a result without one). A failure text is
// raised as an Error whose text also names the method, the module and the arguments, for support.
QByteArray MensagemMetodo(const QVariant& result, bool reservedFlag, int reservedNumber,
                          const QString& method, const QString& moduleTag, const QString& arguments,
                          const QString& idEsquema);

bool TecladoNumerico(QString& typed, const QString& caption, const QString& prompt, const QString& emptyText,
                     int maxLength, int reserved1, int decimals, int reserved2, int reserved3, int reserved4);

bool CriaPosOrigDest(const QString& mode, platform::Dataset& origin, platform::Dataset& destination,
                     QString& originSeat, QString& destinationSeat, QString& originTable,
                     QString& destinationTable, QString& destinationPeople);

void RelFiscais();

// Adapts a screen's texts to the operator's language; this suite speaks one language.
void Trad(QWidget* screen);

} // namespace platform::ui
