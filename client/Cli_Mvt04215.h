#pragma once

#include "platform/Export.h"

namespace Cli_Mvt04215 {

class TfrmTrPosicao;

// The transfer screen while it exists.
MVT_EXPORT extern TfrmTrPosicao* frmTrPosicao;
// The screen is to be created on the next CriaTrPosicao.
MVT_EXPORT extern bool boCria;

// Opens the transfer screen modally for the origin table (3rd argument) and the destination table
// (4th); the 6th is handed to the audit log unchanged; the others are accepted and not used.
// Returns when the screen has closed; the screen and the data module are gone by then.
MVT_EXPORT void CriaTrPosicao(const char* arg1, const char* arg2, const char* origin, const char* destination,
                              const char* arg5, const char* paramLog);

// The unit's initialisation and finalisation, run by the package in its unit order.
void initializeUnit();
void finalizeUnit();

} // namespace Cli_Mvt04215
