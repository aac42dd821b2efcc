#include "Failures.h"

namespace platform::db {

bool isLockTimeout(const DatabaseError& e) {
    // PostgreSQL: lock_not_available (lock_timeout, NOWAIT); SQLite: SQLITE_BUSY, SQLITE_LOCKED
    static const QStringList codes = {QStringLiteral("55P03"), QStringLiteral("5"), QStringLiteral("6")};
    return codes.contains(e.nativeCode());
}

QString tableBusyText(const QStringList& tables) {
    QStringList named;
    for (const QString& t : tables)
        if (!t.isEmpty() && !named.contains(t))
            named.append(t);
    if (named.isEmpty())
        return QStringLiteral("Outro terminal está usando esta mesa; tente novamente.");
    const QString last = named.takeLast();
    const QString list =
        named.isEmpty() ? last : named.join(QStringLiteral(", ")) + QStringLiteral(" ou ") + last;
    return QStringLiteral("Outro terminal está usando a mesa %1; tente novamente.").arg(list);
}

bool isNoAnswer(const DatabaseError& e) {
    // SQLSTATE class 08 (connection exception) and a server that is going down or not up yet
    const QString& code = e.nativeCode();
    if (code.size() == 5 && (code.startsWith(QLatin1String("08")) || code == QLatin1String("57P01") ||
                             code == QLatin1String("57P02") || code == QLatin1String("57P03")))
        return true;
    // libpq reports a lost or never-made connection without a SQLSTATE; its texts are not translated
    // for Portuguese, so they are matched as libpq and the C library write them.
    static const char* const phrases[] = {
        "timeout expired",
        "server closed the connection unexpectedly",
        "no connection to the server",
        "could not receive data from server",
        "could not send data to server",
        "connection refused",
        "connection timed out",
        "connection reset by peer",
        "no route to host",
        "network is unreachable",
    };
    const QString& text = e.databaseText();
    for (const char* phrase : phrases)
        if (text.contains(QLatin1String(phrase), Qt::CaseInsensitive))
            return true;
    return false;
}

QString noAnswerText(const QString& server) {
    return QStringLiteral("O banco de dados não responde (%1). Verifique a rede e o servidor e tente "
                          "novamente.")
        .arg(server);
}

} // namespace platform::db
