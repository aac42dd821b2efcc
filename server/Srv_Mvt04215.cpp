#include "Srv_Mvt04215.h"

#include "DataModuleAccess.h"
#include "platform/ErrorMessage.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Failures.h"

#include <optional>

namespace Srv_Mvt04215 {

void initializeUnit() {}
void finalizeUnit() {}

TrdmTrPosicao& dataModule() {
    if (!rdmTrPosicao)
        throw platform::Error(QStringLiteral("O módulo de dados da transferência não foi criado."));
    rdmTrPosicao->lastFailure.clear();
    return *rdmTrPosicao;
}

namespace {

QString describe(const std::exception& e, const std::optional<QString>& table) {
    // a failure before the data module exists has no connection to describe
    if (!rdmTrPosicao)
        return QString::fromUtf8(e.what());
    const platform::db::Connection& connection = rdmTrPosicao->adcTrPosicao;
    if (const auto* dbError = dynamic_cast<const platform::DatabaseError*>(&e)) {
        if (table && platform::db::isLockTimeout(*dbError))
            return platform::db::tableBusyText({*table});
        if (platform::db::isNoAnswer(*dbError))
            return platform::db::noAnswerText(
                platform::db::redactedConnectionString(connection.connectionString()));
    }
    return platform::ADOExceptionMessage(e, connection, QString());
}

QString kept(const QString& text) {
    if (rdmTrPosicao)
        rdmTrPosicao->lastFailure = text;
    return text;
}

} // namespace

QString failureText(const std::exception& e) {
    return kept(describe(e, std::nullopt));
}

QString failureText(const std::exception& e, const QString& table) {
    return kept(describe(e, table));
}

} // namespace Srv_Mvt04215
