#pragma once

#include <QString>
#include <functional>

namespace platform::db {

// A test-only hook that sees every statement run (query open or command execute) before the database
// does, and may throw to make that run fail. Empty in the product.
class FaultInjection {
public:
    using Hook = std::function<void(const QString& statementName)>;

    // Installs a hook for as long as the object lives.
    explicit FaultInjection(Hook hook);
    ~FaultInjection();
    FaultInjection(const FaultInjection&) = delete;
    FaultInjection& operator=(const FaultInjection&) = delete;

    static void beforeRun(const QString& statementName);

private:
    Hook previous_;
};

} // namespace platform::db
