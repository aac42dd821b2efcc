#include "MethodCall.h"

#include "platform/ErrorMessage.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Failures.h"

namespace Srv_Mvt04215 {
namespace {

QString describe(const TrdmTrPosicao* dm, const std::exception& e, const QString* table) {
    // a failure before the data module exists has no connection to describe
    if (!dm)
        return QString::fromUtf8(e.what());
    const platform::db::Connection& connection = dm->adcTrPosicao;
    if (const auto* dbError = dynamic_cast<const platform::DatabaseError*>(&e)) {
        if (table && platform::db::isLockTimeout(*dbError))
            return platform::db::tableBusyText({*table});
        if (platform::db::isNoAnswer(*dbError))
            return platform::db::noAnswerText(
                platform::db::redactedConnectionString(connection.connectionString()));
    }
    return platform::ADOExceptionMessage(e, connection, QString());
}

} // namespace

MethodCall::MethodCall(TrdmTrPosicao* dm) : dm_(dm) {
    if (dm_) {
        dm_->lastFailure.clear();
        dm_->lastNotice.clear();
        dm_->lastOutcomeUnknown = false;
    }
}

TrdmTrPosicao& MethodCall::dataModule() const {
    if (!dm_)
        throw platform::Error(QStringLiteral("O módulo de dados da transferência não foi criado."));
    return *dm_;
}

QString MethodCall::failed(const std::exception& e) const {
    return kept(describe(dm_, e, nullptr));
}

QString MethodCall::failed(const std::exception& e, const QString& table) const {
    return kept(describe(dm_, e, &table));
}

QString MethodCall::kept(const QString& text) const {
    if (dm_)
        dm_->lastFailure = text;
    return text;
}

} // namespace Srv_Mvt04215
