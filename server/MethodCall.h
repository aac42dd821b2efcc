#pragma once

#include "TrdmTrPosicao.h"

#include <exception>

namespace Srv_Mvt04215 {

// One call of a server method on the data module its entry point hands over (rdmTrPosicao, the one
// place the global is read). The last method's failure text and notice are cleared as the call starts; a
// failure becomes the text the method returns, kept as the data module's lastFailure.
class MethodCall {
public:
    explicit MethodCall(TrdmTrPosicao* dm);

    // Throws Error when no data module exists, which each method turns into its own failure result.
    TrdmTrPosicao& dataModule() const;

    // The failure text; a server that does not answer is said so in words the operator can act on.
    QString failed(const std::exception& e) const;
    // The same for a method that works on one table: a lock wait that ran out names that table.
    QString failed(const std::exception& e, const QString& table) const;

private:
    QString kept(const QString& text) const;

    TrdmTrPosicao* dm_;
};

} // namespace Srv_Mvt04215
