#include "ItemLists.h"

#include "RecordCopy.h"
#include "schema/ItemRecord.h"

#include <tuple>

namespace Cli_Mvt04215 {

ItemLists::ItemLists(ListQuestions& questions, DestinationPlace place)
    : questions_(questions), place_(place) {
    origin_.setFieldDefs(schema::itemRecordFields());
    destination_.setFieldDefs(schema::destinationListFields());
}

bool ItemLists::allOrNothing(const std::function<void()>& operation) {
    const platform::DataPacket origin = origin_.toPacket();
    const platform::DataPacket destination = destination_.toPacket();
    const int originRow = origin_.recNo();
    const int destinationRow = destination_.recNo();
    // both lists exactly as before the operation
    auto restore = [&] {
        for (auto [ds, packet, row] : {std::tuple{&origin_, &origin, originRow},
                                       std::tuple{&destination_, &destination, destinationRow}}) {
            if (ds->state() != platform::Dataset::State::Browse && ds->active())
                ds->cancel();
            ds->clearFilter();
            ds->loadPacket(*packet);
            if (row >= 0 && row < ds->recordCount())
                ds->setRecNo(row);
        }
    };
    try {
        operation();
        return true;
    } catch (const Stopped&) {
        restore();
        return false;
    } catch (...) {
        restore();
        throw;
    }
}

QString ItemLists::text(platform::Dataset& list, const char* field) {
    return list.field(QString::fromLatin1(field)).asString();
}

void ItemLists::insertDestination(double quantity) {
    // What the item holds at the origin table: what is left of it there and what other records of it
    // already took. Every record of one item says the same, so the server can tell a part from the rest.
    double held = origin_.field(QStringLiteral("QTPRODCOMVEN")).asFloat();
    const int tabIndex = destination_.fieldIndex(QStringLiteral("NRCOMANDAORIG"));
    const int itemIndex = destination_.fieldIndex(QStringLiteral("NRPRODCOMVEN"));
    const int quantityIndex = destination_.fieldIndex(QStringLiteral("QTPRODCOMVEN"));
    const QString tab = text(origin_, "NRCOMANDA");
    const QString item = text(origin_, "NRPRODCOMVEN");
    for (int row = 0; destination_.active() && row < destination_.recordCount(); ++row) {
        const platform::Record& r = destination_.recordAt(row);
        if (r[tabIndex].toString() == tab && r[itemIndex].toString().compare(item, Qt::CaseInsensitive) == 0)
            held += r[quantityIndex].toDouble();
    }
    destination_.insert();
    copyItemRecord(origin_, destination_, Toward::Destination);
    destination_.field(QStringLiteral("QTORIGINAL")).setFloat(held);
    destination_.field(QStringLiteral("CDFILIAL")).setString(place_.branch);
    destination_.field(QStringLiteral("QTPRODCOMVEN")).setFloat(quantity);
    destination_.field(QStringLiteral("NRLUGARMESA")).setString(destinationSeat_);
    destination_.field(QStringLiteral("CDLOJAABER")).setString(place_.store);
    destination_.field(QStringLiteral("NRMESADES")).setString(place_.table);
    destination_.post();
}

void ItemLists::insertOrigin() {
    origin_.insert();
    copyItemRecord(destination_, origin_, Toward::Origin);
    origin_.post();
}

} // namespace Cli_Mvt04215
