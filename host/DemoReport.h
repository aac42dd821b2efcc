#pragma once

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

namespace platform::db {
class Connection;
}

// What a transfer changed in the demo restaurant, seen from outside the package: ./run demo takes the
// state before the tour and tells the differences after it.
namespace host::demo {

struct DemoState {
    struct Table {
        QString status; // IDSTMESAAUX
        int items = 0;  // item rows of its open sale
        bool operator==(const Table&) const = default;
    };
    QMap<QString, Table> tables; // by table number
    QStringList moves;           // PEDIDOALT rows, by their old key
    int auditLines = 0;          // lines of the audit log beside the host program

    QJsonObject toJson() const;
    static DemoState fromJson(const QJsonObject& json);
};

DemoState readState(platform::db::Connection& connection);

// The items moved since `before` (what, how much, from where to where), the tables whose status or
// number of items changed, and the audit log's new lines; one line each, for a person to read.
QStringList describeChanges(platform::db::Connection& connection, const DemoState& before);

} // namespace host::demo
