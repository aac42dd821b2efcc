#pragma once

#include "platform/db/Connection.h"

#include <QStringList>

namespace testsupport {

// Puts a hook on a connection's run seam for as long as the object lives: it sees every statement the
// connection runs before the database does and may throw to make that run fail. The hook that was there
// before comes back afterwards. The object must go before its connection does.
class FaultInjection {
public:
    using Hook = platform::db::Connection::RunHook;

    // On the connection of the data module in use (rdmTrPosicao); throws when there is none.
    explicit FaultInjection(Hook hook);
    FaultInjection(platform::db::Connection& connection, Hook hook);
    ~FaultInjection();
    FaultInjection(const FaultInjection&) = delete;
    FaultInjection& operator=(const FaultInjection&) = delete;

private:
    platform::db::Connection& connection_;
    Hook previous_;
};

// A hook that makes every run of the named statements fail as the database would: "falha injetada em <name>".
FaultInjection::Hook failing(QStringList statements);

} // namespace testsupport
