// The package's export list. Nothing inside the package calls the server methods or reads the
// globals, so this table is what keeps them linked in; their default visibility is what exports them.

#include "client/Cli_Mvt04215.h"
#include "server/Srv_Mvt04215.h"
#include "server/TrdmTrPosicao.h"

namespace {

using AnyFunction = void (*)();

template <typename F> AnyFunction entry(F f) {
    return reinterpret_cast<AnyFunction>(f);
}

[[gnu::used]] const AnyFunction exportedFunctions[] = {
    entry(&Cli_Mvt04215::CriaTrPosicao),        entry(&Srv_Mvt04215::getProdOrig),
    entry(&Srv_Mvt04215::getValidaMesaDes),     entry(&Srv_Mvt04215::setTransferencia),
    entry(&Srv_Mvt04215::setVerificaMesaVazia), entry(&Srv_Mvt04215::setLiberamesa),
    entry(&Srv_Mvt04215::setDeletaVendaRest),
};

[[gnu::used]] const void* const exportedGlobals[] = {
    &Srv_Mvt04215::rdmTrPosicao,
    &Cli_Mvt04215::frmTrPosicao,
    &Cli_Mvt04215::boCria,
};

} // namespace
