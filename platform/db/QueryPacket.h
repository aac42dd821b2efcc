#pragma once

#include "Statement.h"
#include "platform/DataPacket.h"

namespace platform::db {

// The rows of an open query from its current row to the last as one data packet; the query is read to
// its end.
DataPacket packetOf(OpenQuery& rows);
inline DataPacket packetOf(OpenQuery&& rows) {
    return packetOf(rows);
}
// The same packet as JSON, written while the rows are read.
QByteArray packetJsonOf(OpenQuery& rows);
inline QByteArray packetJsonOf(OpenQuery&& rows) {
    return packetJsonOf(rows);
}

// A provider turns one run of its query into one data packet.
class Provider {
public:
    explicit Provider(Statement& query) : query_(query) {}
    DataPacket data(NamedValues values = {}) { return packetOf(query_.run(values)); }
    QByteArray dataJson(NamedValues values = {}) { return packetJsonOf(query_.run(values)); }

private:
    Statement& query_;
};

} // namespace platform::db
