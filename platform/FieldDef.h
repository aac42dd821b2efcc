#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

namespace platform {

enum class FieldType { String, Float, Integer, Boolean, DateTime };

// One typed, named column of a dataset or data packet. Texts are cut to `size` on assignment.
struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0; // width of a String field; 0 for the other types

    bool operator==(const FieldDef&) const = default;
};

using FieldList = QList<FieldDef>;
// A record holds one value per field; an invalid (null) QVariant is an empty value.
using Record = QList<QVariant>;

QString fieldTypeName(FieldType type);

// The date-time text of packets and text fields: local ISO 8601 with milliseconds, no zone.
QString dateTimeToText(const QDateTime& value);
// Reads ISO 8601 (date only, with or without seconds and milliseconds, 'T' or ' ' between date and
// time) as local time; an invalid QDateTime when the text is not one.
QDateTime dateTimeFromText(const QString& text);

// Converts a value to the field's type. Strings are cut to the field's width; an empty value stays null.
// Throws DatasetError when the value cannot be read as the type.
QVariant coerceToField(const FieldDef& field, const QVariant& value);

} // namespace platform
