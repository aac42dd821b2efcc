#include "QueryPacket.h"

namespace platform::db {

DataPacket packetOf(OpenQuery& rows) {
    DataPacket packet;
    packet.fields = rows.fields();
    // each row is read into a record of its own, so the packet shares it instead of copying it
    for (; !rows.eof(); rows.next())
        packet.rows.append(rows.row());
    return packet;
}

QByteArray packetJsonOf(OpenQuery& rows) {
    PacketJsonWriter writer(rows.fields());
    for (; !rows.eof(); rows.next())
        writer.append(rows.row());
    return writer.finish();
}

} // namespace platform::db
