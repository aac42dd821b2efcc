// A transfer request need not come from the screen (set-transferencia reads any file): reading it and
// checking it against what the transfer read under its locks refuses what is wrong with a text, never
// crashes, and lets through only records whose origin items exist and hold what they move together, the
// rest taken by the last record of an item at most. The locked
// read is fixed: the origin items in locked-read.json beside the seeds, the destination below.

#include "platform/Dataset.h"
#include "platform/Errors.h"
#include "server/TransferCheck.h"
#include "server/TransferReading.h"
#include "server/TransferRecords.h"

#include <QFile>
#include <QHash>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#ifndef MVT_FUZZ_LOCKED_READ
#error "MVT_FUZZ_LOCKED_READ must name the locked read's packet"
#endif

using namespace Srv_Mvt04215;

namespace {

// The destination of the seeds' requests, open and free to take items; every origin item as its tab
// holds it.
LockedRead lockedRead() {
    LockedRead read;
    read.destinationTabFound = true;
    read.destinationTabSale = QStringLiteral("S4");
    read.destinationSaleOpen = true;
    read.destinationSaleTable = QStringLiteral("0004");
    read.destinationSaleStore = QStringLiteral("01");
    read.destinationTableStatus = QStringLiteral("O");
    read.firstNewItem = QStringLiteral("000030");
    read.highestSequence = 2;
    QFile file(QStringLiteral(MVT_FUZZ_LOCKED_READ));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", MVT_FUZZ_LOCKED_READ);
        std::abort();
    }
    const platform::DataPacket items = platform::DataPacket::fromJson(file.readAll());
    auto column = [&](const QString& name) {
        for (int i = 0; i < items.fields.size(); ++i)
            if (items.fields[i].name == name)
                return i;
        std::fprintf(stderr, "the locked read has no %s\n", qPrintable(name));
        std::abort();
    };
    for (const platform::Record& row : items.rows) {
        OriginItem item{row[column(QStringLiteral("NRVENDAREST"))].toString(),
                        row[column(QStringLiteral("NRMESA"))].toString(),
                        row[column(QStringLiteral("CDLOJA"))].toString(),
                        row[column(QStringLiteral("QTPRODCOMVEN"))].toDouble(),
                        {}};
        for (const QString& name : copiedColumns())
            item.copied.values << row[column(name)];
        read.originItems.insert({row[column(QStringLiteral("NRCOMANDA"))].toString(),
                                 row[column(QStringLiteral("NRPRODCOMVEN"))].toString()},
                                std::move(item));
    }
    return read;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const LockedRead read = lockedRead();
    const QByteArray json = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    platform::Dataset packet(QStringLiteral("cdsTransferencia"));
    try {
        packet.loadPacket(json, QStringLiteral("fuzz"));
    } catch (const platform::Error&) {
        return 0;
    }
    TransferRequestRecords request;
    try {
        request = readRequest(packet);
        checkRecords(request, read);
    } catch (const platform::Error&) {
        // a refusal, or a request without the fields a transfer reads: told in a text
        return 0;
    }
    // what the records of one item move together, and whether one of them already took the rest
    QHash<std::pair<QString, QString>, std::pair<double, bool>> taken;
    for (const TransferRecord& r : request.records) {
        const auto item = read.originItems.constFind({r.originTab, r.item});
        auto& [moved, rest] = taken[{r.originTab, r.item}];
        moved += r.moved;
        if (item == read.originItems.cend() || !(r.moved > 0) || rest ||
            moved > item->quantity * (1 + QuantityTolerance) + QuantityTolerance)
            __builtin_trap();
        rest = r.takesRest;
    }
    return 0;
}
