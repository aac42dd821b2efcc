#include "Cli_Mvt04215.h"

namespace Cli_Mvt04215 {

TfrmTrPosicao* frmTrPosicao = nullptr;
bool boCria = false;

void initializeUnit() {
    boCria = true;
}

void finalizeUnit() {}

void CriaTrPosicao(const char* /*arg1*/, const char* /*arg2*/, const char* /*origin*/,
                   const char* /*destination*/, const char* /*arg5*/, const char* /*paramLog*/) {
    // The screen arrives with the client half.
}

} // namespace Cli_Mvt04215
