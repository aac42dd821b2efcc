#pragma once

#include "TrdmTrPosicao.h"

#include <exception>

namespace Srv_Mvt04215 {

// The data module the server methods run on. Throws Error when none exists, which each method turns
// into its own failure result.
TrdmTrPosicao& dataModule();

// The text a server method returns after a failure.
QString failureText(const std::exception& e);

} // namespace Srv_Mvt04215
