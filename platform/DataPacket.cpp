#include "DataPacket.h"

#include "Errors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocale>
#include <QSet>
#include <cmath>
#include <cstdio>
#include <limits>

namespace platform {
namespace {

[[noreturn]] void bad(const QString& source, const QString& what) {
    throw PacketError(QStringLiteral("Pacote de dados inválido (%1): %2.").arg(source, what));
}

QString kindOf(const QJsonValue& v) {
    switch (v.type()) {
    case QJsonValue::Null:
        return QStringLiteral("nulo");
    case QJsonValue::Bool:
        return QStringLiteral("booleano");
    case QJsonValue::Double:
        return QStringLiteral("número");
    case QJsonValue::String:
        return QStringLiteral("texto");
    case QJsonValue::Array:
        return QStringLiteral("lista");
    case QJsonValue::Object:
        return QStringLiteral("objeto");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nada");
}

bool isWholeNumber(double d, double low, double high) {
    return std::isfinite(d) && d == std::floor(d) && d >= low && d <= high;
}

FieldDef readField(const QJsonValue& value, int position, QSet<QString>& seen, const QString& source) {
    const QString where = QStringLiteral("campo %1 da lista \"fields\"").arg(position + 1);
    if (!value.isObject())
        bad(source, QStringLiteral("%1 não é um objeto").arg(where));
    const QJsonObject obj = value.toObject();

    FieldDef field;
    field.name = obj.value(QLatin1String("name")).toString();
    if (field.name.isEmpty())
        bad(source, QStringLiteral("%1 não tem nome").arg(where));
    // Field names are looked up regardless of case, so two names differing only in case collide.
    if (seen.contains(field.name.toCaseFolded()))
        bad(source, QStringLiteral("campo %1 repetido").arg(field.name));
    seen.insert(field.name.toCaseFolded());

    const QString type = obj.value(QLatin1String("type")).toString();
    bool known = false;
    for (FieldType t :
         {FieldType::String, FieldType::Float, FieldType::Integer, FieldType::Boolean, FieldType::DateTime}) {
        if (fieldTypeName(t) == type) {
            field.type = t;
            known = true;
        }
    }
    if (!known)
        bad(source, QStringLiteral("campo %1 com tipo desconhecido \"%2\"").arg(field.name, type));

    if (field.type == FieldType::String) {
        const QJsonValue size = obj.value(QLatin1String("size"));
        if (!size.isDouble() || !isWholeNumber(size.toDouble(), 0, std::numeric_limits<int>::max()))
            bad(source, QStringLiteral("campo texto %1 sem tamanho válido").arg(field.name));
        field.size = size.toInt();
    }
    return field;
}

QVariant readValue(const FieldDef& field, const QJsonValue& v, int row, const QString& source) {
    if (v.isNull())
        return {};
    auto wrong = [&](const QString& expected) {
        bad(source, QStringLiteral("linha %1, campo %2: esperado %3, encontrado %4")
                        .arg(QString::number(row + 1), field.name, expected, kindOf(v)));
    };
    switch (field.type) {
    case FieldType::String:
        if (!v.isString())
            wrong(QStringLiteral("texto"));
        return v.toString();
    case FieldType::Float:
        if (!v.isDouble())
            wrong(QStringLiteral("número"));
        return v.toDouble();
    case FieldType::Integer:
        if (!v.isDouble() ||
            !isWholeNumber(v.toDouble(), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()))
            wrong(QStringLiteral("número inteiro"));
        return int(v.toDouble());
    case FieldType::Boolean:
        if (!v.isBool())
            wrong(QStringLiteral("booleano"));
        return v.toBool();
    case FieldType::DateTime: {
        if (!v.isString())
            wrong(QStringLiteral("data e hora em texto"));
        const QDateTime dt = dateTimeFromText(v.toString());
        if (!dt.isValid())
            bad(source, QStringLiteral("linha %1, campo %2: data e hora inválida \"%3\"")
                            .arg(QString::number(row + 1), field.name, v.toString()));
        return dt;
    }
    }
    return {};
}

// Packets travel with every lookup and transfer: they are written by hand, straight into the bytes.
void appendString(QByteArray& out, const QString& text) {
    out += '"';
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i].unicode();
        if (c >= 0x20 && c < 0x80 && c != u'"' && c != u'\\') {
            out += char(c);
            continue;
        }
        switch (c) {
        case u'"':
            out += "\\\"";
            break;
        case u'\\':
            out += "\\\\";
            break;
        case u'\n':
            out += "\\n";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
                out += escaped;
            } else {
                // one character beyond ASCII, or a surrogate pair, as UTF-8
                const qsizetype n =
                    QChar::isHighSurrogate(c) && i + 1 < size && chars[i + 1].isLowSurrogate() ? 2 : 1;
                out += QStringView(chars + i, n).toUtf8();
                i += n - 1;
            }
        }
    }
    out += '"';
}

void appendDateTime(QByteArray& out, const QDateTime& value) {
    const QDateTime local = value.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    char text[32];
    std::snprintf(text, sizeof text, "\"%04d-%02d-%02dT%02d:%02d:%02d.%03d\"", d.year(), d.month(), d.day(),
                  t.hour(), t.minute(), t.second(), t.msec());
    out += text;
}

void appendValue(QByteArray& out, const FieldDef& field, const QVariant& value, int row) {
    // most values already have their field's type: a query's rows were read into it
    const int type = value.typeId();
    if (field.type == FieldType::String && type == QMetaType::QString) {
        const auto* text = static_cast<const QString*>(value.constData());
        if (text->isNull())
            out += "null";
        else
            appendString(out, *text);
        return;
    }
    if (field.type == FieldType::Float && type == QMetaType::Double &&
        std::isfinite(*static_cast<const double*>(value.constData()))) {
        out += QByteArray::number(*static_cast<const double*>(value.constData()), 'g',
                                  QLocale::FloatingPointShortest);
        return;
    }
    // Texts are written whole: cutting to the width happens when a dataset takes them in.
    FieldDef uncut = field;
    uncut.size = 0;
    QVariant v;
    try {
        v = coerceToField(uncut, value);
    } catch (const DatasetError& e) {
        throw PacketError(QStringLiteral("Pacote de dados não pode ser gravado: linha %1: %2")
                              .arg(QString::number(row + 1), e.text()));
    }
    if (!v.isValid()) {
        out += "null";
        return;
    }
    switch (field.type) {
    case FieldType::String:
        appendString(out, *static_cast<const QString*>(v.constData()));
        return;
    case FieldType::Float:
        out += QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
        return;
    case FieldType::Integer:
        out += QByteArray::number(v.toInt());
        return;
    case FieldType::Boolean:
        out += v.toBool() ? "true" : "false";
        return;
    case FieldType::DateTime:
        appendDateTime(out, v.toDateTime());
        return;
    }
    out += "null";
}

} // namespace

PacketJsonWriter::PacketJsonWriter(const FieldList& fields, qsizetype expectedRows) : fields_(fields) {
    out_.reserve(256 + 64 * qsizetype(fields.size()) * (1 + expectedRows));
    out_ += "{\"fields\":[";
    for (int f = 0; f < fields.size(); ++f) {
        const FieldDef& field = fields[f];
        if (f)
            out_ += ',';
        out_ += "{\"name\":";
        appendString(out_, field.name);
        out_ += ",\"type\":\"";
        out_ += fieldTypeName(field.type).toLatin1();
        out_ += '"';
        if (field.type == FieldType::String) {
            out_ += ",\"size\":";
            out_ += QByteArray::number(field.size);
        }
        out_ += '}';
    }
    out_ += "],\"rows\":[";
}

void PacketJsonWriter::append(const Record& row) {
    if (row.size() != fields_.size())
        throw PacketError(QStringLiteral("Pacote de dados não pode ser gravado: linha %1 tem %2 valores "
                                         "para %3 campos.")
                              .arg(rows_ + 1)
                              .arg(row.size())
                              .arg(fields_.size()));
    out_ += rows_ ? ",[" : "[";
    for (int f = 0; f < fields_.size(); ++f) {
        if (f)
            out_ += ',';
        appendValue(out_, fields_[f], row[f], rows_);
    }
    out_ += ']';
    ++rows_;
}

QByteArray PacketJsonWriter::finish() {
    out_ += "]}";
    return std::move(out_);
}

QByteArray DataPacket::toJson() const {
    PacketJsonWriter writer(fields, rows.size());
    for (const Record& row : rows)
        writer.append(row);
    return writer.finish();
}

DataPacket DataPacket::fromJson(const QByteArray& json, const QString& source) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        bad(source, QStringLiteral("JSON malformado na posição %1 (%2)")
                        .arg(QString::number(error.offset), error.errorString()));
    if (!doc.isObject())
        bad(source, QStringLiteral("o conteúdo não é um objeto JSON"));
    const QJsonObject top = doc.object();

    const QJsonValue fieldsJson = top.value(QLatin1String("fields"));
    if (!fieldsJson.isArray())
        bad(source, fieldsJson.isUndefined() ? QStringLiteral("falta a lista \"fields\"")
                                             : QStringLiteral("\"fields\" não é uma lista"));
    const QJsonValue rowsJson = top.value(QLatin1String("rows"));
    if (!rowsJson.isArray())
        bad(source, rowsJson.isUndefined() ? QStringLiteral("falta a lista \"rows\"")
                                           : QStringLiteral("\"rows\" não é uma lista"));

    DataPacket packet;
    QSet<QString> seen;
    const QJsonArray fieldArray = fieldsJson.toArray();
    for (int i = 0; i < fieldArray.size(); ++i)
        packet.fields.append(readField(fieldArray.at(i), i, seen, source));

    const QJsonArray rowArray = rowsJson.toArray();
    packet.rows.reserve(rowArray.size());
    for (int r = 0; r < rowArray.size(); ++r) {
        const QJsonValue rowJson = rowArray.at(r);
        if (!rowJson.isArray())
            bad(source, QStringLiteral("linha %1 não é uma lista").arg(r + 1));
        const QJsonArray values = rowJson.toArray();
        if (values.size() != packet.fields.size())
            bad(source, QStringLiteral("linha %1 tem %2 valores, mas o pacote tem %3 campos")
                            .arg(r + 1)
                            .arg(values.size())
                            .arg(packet.fields.size()));
        Record record;
        record.reserve(values.size());
        for (int f = 0; f < values.size(); ++f)
            record.append(readValue(packet.fields[f], values.at(f), r, source));
        packet.rows.append(std::move(record));
    }
    return packet;
}

} // namespace platform
