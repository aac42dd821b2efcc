#pragma once

#include <QString>

namespace platform {
namespace db {
class Connection;
}

// Item numbering of the suite's shared library: made for one call and released.
class TdtmZelProxCodigo {
public:
    explicit TdtmZelProxCodigo(db::Connection& connection) : connection_(connection) {}

    // The next free item number of a tab (its highest item number plus one, "000001" for an empty tab),
    // from which `count` consecutive numbers are free. Throws Error when they would not fit in 6 digits.
    QString PrxItemComanda(const QString& branch, const QString& tab, int count);

private:
    db::Connection& connection_;
};

} // namespace platform
