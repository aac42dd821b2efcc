#include "Rows.h"

#include "platform/FieldDef.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace testsupport {

Rows toRows(const QStringList& rows) {
    Rows out;
    for (const QString& row : rows)
        out.push_back(row.toStdString());
    return out;
}

Rows sorted(Rows rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string shown(const QVariant& value) {
    if (value.isNull())
        return "<null>";
    if (value.typeId() == QMetaType::QDateTime)
        return platform::dateTimeToText(value.toDateTime()).toStdString();
    return value.toString().toStdString();
}

QVariant cell(const platform::DataPacket& packet, int row, const QString& field) {
    for (qsizetype i = 0; i < packet.fields.size(); ++i)
        if (packet.fields[i].name == field)
            return packet.rows.at(row).at(i);
    ADD_FAILURE() << "no field " << field.toStdString();
    return {};
}

Rows rowsOf(const platform::DataPacket& packet, const QStringList& fields) {
    Rows out;
    for (int r = 0; r < packet.rows.size(); ++r) {
        QStringList cells;
        for (const QString& f : fields)
            cells << cell(packet, r, f).toString();
        out.push_back(cells.join(u'|').toStdString());
    }
    return out;
}

} // namespace testsupport
