#include "TrdmTrPosicao.h"

#include "ConnectionChoice.h"
#include "platform/ConnectionConfig.h"
#include "platform/Runtime.h"
#include "platform/Session.h"

namespace Srv_Mvt04215 {

TrdmTrPosicao* rdmTrPosicao = nullptr;

TrdmTrPosicao::TrdmTrPosicao() : adcTrPosicao(QStringLiteral("adcTrPosicao")) {
    adcTrPosicao.beforeConnect = [this](platform::db::Connection& c) {
        adcTrPosicaoBeforeConnect(c);
    };
    adcTrPosicao.afterConnect = [this](platform::db::Connection& c) {
        adcTrPosicaoAfterConnect(c);
    };
}

TrdmTrPosicao::~TrdmTrPosicao() = default;

void TrdmTrPosicao::adcTrPosicaoBeforeConnect(platform::db::Connection& sender) {
    if (!connectionStringOverride.isEmpty()) {
        sender.setConnectionString(connectionStringOverride);
        return;
    }
    sender.setConnectionString(
        platform::_GetStringConexZel(systemCodeForExecutable(platform::executableFileName())));
}

void TrdmTrPosicao::adcTrPosicaoAfterConnect(platform::db::Connection& sender) {
    platform::SetADODBSession(sender);
}

void TrdmTrPosicao::MtsDataModuleActivate() {
    platform::TryConnect(adcTrPosicao);
}

void TrdmTrPosicao::MtsDataModuleDeactivate() {
    adcTrPosicao.setConnected(false);
}

void TrdmTrPosicao::StartTrans() {
    if (!adcTrPosicao.inTransaction())
        adcTrPosicao.beginTransaction();
}

void TrdmTrPosicao::CommitTrans() {
    adcTrPosicao.commit();
}

void TrdmTrPosicao::RollbackTrans() {
    adcTrPosicao.rollback();
}

} // namespace Srv_Mvt04215
