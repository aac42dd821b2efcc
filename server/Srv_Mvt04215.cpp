#include "Srv_Mvt04215.h"

#include "DataModuleAccess.h"
#include "platform/ErrorMessage.h"

namespace Srv_Mvt04215 {

void initializeUnit() {}
void finalizeUnit() {}

TrdmTrPosicao& dataModule() {
    if (!rdmTrPosicao)
        throw platform::Error(QStringLiteral("O módulo de dados da transferência não foi criado."));
    return *rdmTrPosicao;
}

QString failureText(const std::exception& e) {
    // a failure before the data module exists has no connection to describe
    if (rdmTrPosicao)
        return platform::ADOExceptionMessage(e, rdmTrPosicao->adcTrPosicao, QString());
    return QString::fromUtf8(e.what());
}

} // namespace Srv_Mvt04215
