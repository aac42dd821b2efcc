#pragma once

#include "FieldDef.h"

#include <QByteArray>

namespace platform {

// A whole query result or list with its typed, named fields, in the compact JSON form
// {"fields":[{"name":..,"type":..,"size":..}],"rows":[[..],..]}; dates are local ISO 8601 with milliseconds.
struct DataPacket {
    FieldList fields;
    QList<Record> rows;

    QByteArray toJson() const;
    // `source` names the packet in error texts (a file name, a method name).
    // Throws PacketError for anything malformed.
    static DataPacket fromJson(const QByteArray& json, const QString& source = QStringLiteral("data packet"));
};

// Writes the JSON of a packet row by row, for results that need not be held whole first.
class PacketJsonWriter {
public:
    explicit PacketJsonWriter(const FieldList& fields, qsizetype expectedRows = 16);
    // Throws PacketError for a row that does not fit the fields.
    void append(const Record& row);
    QByteArray finish();

private:
    const FieldList& fields_;
    QByteArray out_;
    int rows_ = 0;
};

} // namespace platform
