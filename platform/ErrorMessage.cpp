#include "ErrorMessage.h"

#include "Errors.h"
#include "db/Connection.h"

namespace platform {

QString ADOExceptionMessage(const std::exception& e, const db::Connection& connection, const QString& extra) {
    QString text;
    if (const auto* dbError = dynamic_cast<const DatabaseError*>(&e)) {
        text = dbError->text();
        if (!dbError->nativeCode().isEmpty())
            text += QStringLiteral(" (código %1)").arg(dbError->nativeCode());
        if (!connection.connected())
            text += QStringLiteral(" A conexão com o banco de dados não está aberta.");
    } else if (const auto* error = dynamic_cast<const Error*>(&e)) {
        text = error->text();
    } else {
        text = QString::fromUtf8(e.what());
    }
    if (!extra.isEmpty())
        text += u' ' + extra;
    return text;
}

} // namespace platform
