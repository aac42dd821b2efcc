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

} // namespace platform::db
