#pragma once

#include <QString>
#include <QStringList>

namespace platform {
namespace db {
class Connection;
struct StatementDef;
} // namespace db

// Item numbering of the suite's shared library: made for one call and released.
class TdtmZelProxCodigo {
public:
    explicit TdtmZelProxCodigo(db::Connection& connection) : connection_(connection) {}

    // The next free item number of a tab: one above the highest number the tab has used, by an item it
    // holds or by one that moved away ("000001" for a new tab); `count` consecutive numbers from there
    // are free. Throws Error when they would not fit in 6 digits.
    QString PrxItemComanda(const QString& branch, const QString& tab, int count);

    // The statement that finds the highest number (the benchmark runs it bare).
    static const db::StatementDef& statement();
    // The number PrxItemComanda gives from the texts that statement found; for callers that run the
    // statement together with others.
    static QString firstFree(const QStringList& highest, int count);

private:
    db::Connection& connection_;
};

} // namespace platform
