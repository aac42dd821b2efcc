#include "FaultInjection.h"

#include "platform/Errors.h"
#include "server/TrdmTrPosicao.h"

#include <stdexcept>

namespace testsupport {
namespace {

platform::db::Connection& inUse() {
    if (!Srv_Mvt04215::rdmTrPosicao)
        throw std::logic_error("FaultInjection: no data module in rdmTrPosicao");
    return Srv_Mvt04215::rdmTrPosicao->adcTrPosicao;
}

} // namespace

FaultInjection::FaultInjection(Hook hook) : FaultInjection(inUse(), std::move(hook)) {}

FaultInjection::FaultInjection(platform::db::Connection& connection, Hook hook)
    : connection_(connection), previous_(std::move(connection.beforeRun)) {
    connection_.beforeRun = std::move(hook);
}

FaultInjection::~FaultInjection() {
    connection_.beforeRun = std::move(previous_);
}

FaultInjection::Hook failing(QStringList statements) {
    return [statements = std::move(statements)](const QString& statement) {
        if (statements.contains(statement))
            throw platform::DatabaseError(QStringLiteral("falha injetada em %1").arg(statement), {}, {},
                                          statement);
    };
}

} // namespace testsupport
