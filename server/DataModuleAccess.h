#pragma once

#include "TrdmTrPosicao.h"

#include <exception>

namespace Srv_Mvt04215 {

// The data module the server methods run on, taken once as each method starts: the last method's
// failure text is cleared there. Throws Error when none exists, which each method turns into its own
// failure result.
TrdmTrPosicao& dataModule();

// The text a server method returns after a failure, kept as the data module's last failure. A server
// that does not answer is said so in words the operator can act on.
QString failureText(const std::exception& e);
// The same for a method that works on one table: a lock wait that ran out names that table.
QString failureText(const std::exception& e, const QString& table);

} // namespace Srv_Mvt04215
