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
    destination_.insert();
    copyItemRecord(origin_, destination_, Toward::Destination);
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
