#pragma once

#include "tests/support/DelayProxy.h"

#include <QString>
#include <chrono>
#include <memory>

namespace bench {

using testsupport::DelayProxy;

// A PostgreSQL server behind a DelayProxy, with the connection string that leads through it. Before any
// figure is taken through the link it is checked against the server: bytes pass unchanged both ways,
// no answer comes back sooner than the delay allows, and one query is one counted round trip. A failed
// check throws std::runtime_error, so that no figure is taken through a faulty link.
class SlowLink {
public:
    SlowLink(const QString& postgresUri, std::chrono::nanoseconds delayEachWay);

    DelayProxy& proxy() { return *proxy_; }
    const QString& connectionString() const { return connectionString_; }
    // What the check saw, in one line: the delay it measured and what it sent through.
    const QString& checkReport() const { return checkReport_; }

private:
    void check(const QString& directUri);

    std::unique_ptr<DelayProxy> proxy_;
    QString connectionString_;
    QString checkReport_;
};

} // namespace bench
