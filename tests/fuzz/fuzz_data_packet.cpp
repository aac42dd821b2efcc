// Data packets come from outside the program: requests from integrators, the local files beside the
// host. Whatever the bytes, the reader refuses what is malformed with its error and never crashes; a
// packet it accepts writes back as one that reads the same, and a dataset takes every record of it (its
// texts cut to their fields' widths) and writes a packet that loads back the same.

#include "platform/DataPacket.h"
#include "platform/Dataset.h"
#include "platform/Errors.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray json = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    platform::DataPacket packet;
    try {
        packet = platform::DataPacket::fromJson(json, QStringLiteral("fuzz"));
    } catch (const platform::PacketError&) {
        return 0;
    }
    const QByteArray written = packet.toJson();
    if (platform::DataPacket::fromJson(written, QStringLiteral("written")).toJson() != written)
        __builtin_trap();
    platform::Dataset dataset(QStringLiteral("fuzz"));
    dataset.loadPacket(packet);
    const QByteArray kept = dataset.packetJson();
    platform::Dataset again(QStringLiteral("again"));
    again.loadPacket(kept);
    if (dataset.recordCount() != packet.rows.size() || again.packetJson() != kept)
        __builtin_trap();
    return 0;
}
