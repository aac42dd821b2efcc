#include "FieldDef.h"

#include "Errors.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace platform {
namespace {

bool isIntegral(int typeId) {
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isUnsigned(int typeId) {
    return typeId == QMetaType::UInt || typeId == QMetaType::ULongLong || typeId == QMetaType::ULong ||
           typeId == QMetaType::UShort || typeId == QMetaType::UChar;
}

bool isFloating(int typeId) {
    return typeId == QMetaType::Double || typeId == QMetaType::Float;
}

// A null QString and an invalid date are empty values too, so callers can pass what they have at hand.
bool isEmptyValue(const QVariant& v) {
    // a database null arrives as a typed but null variant (a PostgreSQL number, for one)
    if (!v.isValid() || v.isNull() || v.typeId() == QMetaType::Nullptr)
        return true;
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.value<QString>().isNull();
    case QMetaType::QDateTime:
        return !v.value<QDateTime>().isValid();
    case QMetaType::QDate:
        return !v.value<QDate>().isValid();
    default:
        return false;
    }
}

QString shown(const QVariant& v) {
    if (v.canConvert<QString>())
        return v.toString();
    return QString::fromLatin1(v.typeName());
}

[[noreturn]] void fail(const FieldDef& field, const QVariant& v) {
    throw DatasetError(QStringLiteral("Valor inválido para o campo %1 (%2): \"%3\".")
                           .arg(field.name, fieldTypeName(field.type), shown(v)));
}

// Numbers in texts handed to fields are in the C locale; a comma is not a thousands separator here.
const QLocale& cLocale() {
    static const QLocale locale = [] {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        return c;
    }();
    return locale;
}

QString cut(QString text, int size) {
    if (size > 0 && text.size() > size) {
        text.truncate(size);
        // Never leave half of a surrogate pair behind.
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

QString textOf(const FieldDef& field, const QVariant& v) {
    const int type = v.typeId();
    if (isFloating(type))
        return QString::number(v.toDouble(), 'g', 15);
    if (type == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (type == QMetaType::QDateTime)
        return dateTimeToText(v.value<QDateTime>());
    if (type == QMetaType::QDate)
        return v.value<QDate>().toString(Qt::ISODate);
    if (!v.canConvert<QString>())
        fail(field, v);
    return v.toString();
}

QVariant toFloat(const FieldDef& field, const QVariant& v) {
    const int type = v.typeId();
    double d = 0;
    if (isFloating(type) || isIntegral(type)) {
        d = v.toDouble();
    } else if (type == QMetaType::QString) {
        const QString text = v.toString().trimmed();
        if (text.isEmpty())
            return {};
        bool ok = false;
        d = cLocale().toDouble(text, &ok);
        if (!ok)
            fail(field, v);
    } else {
        fail(field, v);
    }
    // JSON cannot carry NaN or infinities, and no amount in this system is one.
    if (!std::isfinite(d))
        fail(field, v);
    return d;
}

QVariant toInteger(const FieldDef& field, const QVariant& v) {
    const int type = v.typeId();
    qlonglong n = 0;
    if (isIntegral(type)) {
        if (isUnsigned(type)) {
            const qulonglong u = v.toULongLong();
            if (u > qulonglong(std::numeric_limits<int>::max()))
                fail(field, v);
            n = qlonglong(u);
        } else {
            n = v.toLongLong();
        }
    } else if (isFloating(type)) {
        // A fractional number is rounded, as assigning a float to an integer field always did.
        const double d = v.toDouble();
        if (!std::isfinite(d) || std::abs(d) > double(std::numeric_limits<int>::max()) + 1.0)
            fail(field, v);
        n = qRound64(d);
    } else if (type == QMetaType::QString) {
        const QString text = v.toString().trimmed();
        if (text.isEmpty())
            return {};
        bool ok = false;
        n = cLocale().toLongLong(text, &ok);
        if (!ok)
            fail(field, v);
    } else {
        fail(field, v);
    }
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        fail(field, v);
    return int(n);
}

QVariant toBoolean(const FieldDef& field, const QVariant& v) {
    const int type = v.typeId();
    if (type == QMetaType::Bool)
        return v.toBool();
    if (isIntegral(type)) {
        const qlonglong n = v.toLongLong();
        if (n != 0 && n != 1)
            fail(field, v);
        return n == 1;
    }
    if (type == QMetaType::QString) {
        const QString text = v.toString().trimmed();
        if (text.isEmpty())
            return {};
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    fail(field, v);
}

QVariant toDateTime(const FieldDef& field, const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return v.value<QDateTime>().toLocalTime();
    case QMetaType::QDate:
        return QDateTime(v.value<QDate>(), QTime(0, 0));
    case QMetaType::QString: {
        const QString text = v.toString().trimmed();
        if (text.isEmpty())
            return {};
        const QDateTime dt = dateTimeFromText(text);
        if (!dt.isValid())
            fail(field, v);
        return dt;
    }
    default:
        fail(field, v);
    }
}

} // namespace

QString fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::String:
        return QStringLiteral("string");
    case FieldType::Float:
        return QStringLiteral("float");
    case FieldType::Integer:
        return QStringLiteral("integer");
    case FieldType::Boolean:
        return QStringLiteral("boolean");
    case FieldType::DateTime:
        return QStringLiteral("datetime");
    }
    return QStringLiteral("unknown");
}

QString dateTimeToText(const QDateTime& value) {
    return value.toLocalTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz"));
}

QDateTime dateTimeFromText(const QString& text) {
    // Qt's ISO reader takes a date alone, optional seconds and milliseconds, and ' ' in place of 'T'.
    const QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
    return dt.isValid() ? dt.toLocalTime() : QDateTime();
}

QVariant coerceToField(const FieldDef& field, const QVariant& value) {
    // The common case, every value of every row a query delivers: it already has the field's type.
    const int type = value.typeId();
    if (field.type == FieldType::String && type == QMetaType::QString) {
        const auto* text = static_cast<const QString*>(value.constData());
        if (text->isNull())
            return {};
        return field.size <= 0 || text->size() <= field.size ? value : QVariant(cut(*text, field.size));
    }
    if (field.type == FieldType::Float && type == QMetaType::Double && !value.isNull() &&
        std::isfinite(*static_cast<const double*>(value.constData())))
        return value;
    if (isEmptyValue(value))
        return {};
    switch (field.type) {
    case FieldType::String:
        return cut(textOf(field, value), field.size);
    case FieldType::Float:
        return toFloat(field, value);
    case FieldType::Integer:
        return toInteger(field, value);
    case FieldType::Boolean:
        return toBoolean(field, value);
    case FieldType::DateTime:
        return toDateTime(field, value);
    }
    fail(field, value);
}

} // namespace platform
