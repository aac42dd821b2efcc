#include "Srv_Mvt04215.h"

#include "TrdmTrPosicao.h"

namespace Srv_Mvt04215 {

void initializeUnit() {}
void finalizeUnit() {}

void connectDataModule() {
    if (!rdmTrPosicao)
        rdmTrPosicao = new TrdmTrPosicao();
    rdmTrPosicao->adcTrPosicao.setConnected(true);
}

void freeDataModule() {
    delete rdmTrPosicao;
    rdmTrPosicao = nullptr;
}

} // namespace Srv_Mvt04215
