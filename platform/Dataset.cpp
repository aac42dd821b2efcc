#include "Dataset.h"

#include "Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {
namespace {

const QDateTime& zeroDate() {
    static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));
    return zero;
}

// Empty when the list can serve as a dataset's structure, else what is wrong with it.
QString fieldListProblem(const FieldList& fields) {
    QSet<QString> seen;
    for (const FieldDef& field : fields) {
        if (field.name.isEmpty())
            return QStringLiteral("há um campo sem nome");
        if (seen.contains(field.name.toCaseFolded()))
            return QStringLiteral("campo %1 repetido").arg(field.name);
        seen.insert(field.name.toCaseFolded());
        if (field.size < 0)
            return QStringLiteral("campo %1 com tamanho negativo").arg(field.name);
    }
    return {};
}

struct NumberFormat {
    int decimals = 0;
    bool grouped = false;
};

// Display formats are of the kind "0.000" or "#,##0.00": '#' and ',' before the last integer digit,
// then optional fixed decimals.
bool parseNumberFormat(const QString& format, NumberFormat* out) {
    static const QRegularExpression pattern(QStringLiteral("^[#,]*0(?:\\.(0+))?$"));
    const QRegularExpressionMatch match = pattern.match(format);
    if (!match.hasMatch())
        return false;
    out->decimals = int(match.capturedLength(1));
    out->grouped = format.contains(u',');
    return true;
}

bool isNumber(FieldType type) {
    return type == FieldType::Float || type == FieldType::Integer;
}

[[noreturn]] void unreadable(const FieldDef& target, const QString& text) {
    throw DatasetError(QStringLiteral("Valor inválido para o campo %1 (%2): \"%3\".")
                           .arg(target.name, fieldTypeName(target.type), text));
}

} // namespace

// --- FieldRef

const FieldDef& FieldRef::def() const {
    if (index_ < 0 || index_ >= ds_->fields_.size())
        throw DatasetError(QStringLiteral("Campo de índice %1 não existe em %2.")
                               .arg(QString::number(index_), ds_->label()));
    return ds_->fields_[index_];
}

QVariant FieldRef::value() const {
    def();
    return ds_->currentValue(index_);
}

bool FieldRef::isNull() const {
    return !value().isValid();
}

QString FieldRef::asString() const {
    return ds_->textFor(index_, value());
}

double FieldRef::asFloat() const {
    const QVariant v = ds_->readAs(FieldDef{def().name, FieldType::Float, 0}, value());
    return v.isValid() ? v.toDouble() : 0.0;
}

int FieldRef::asInteger() const {
    const QVariant v = ds_->readAs(FieldDef{def().name, FieldType::Integer, 0}, value());
    return v.isValid() ? v.toInt() : 0;
}

bool FieldRef::asBoolean() const {
    const QVariant v = ds_->readAs(FieldDef{def().name, FieldType::Boolean, 0}, value());
    return v.isValid() && v.toBool();
}

QDateTime FieldRef::asDateTime() const {
    const QVariant v = ds_->readAs(FieldDef{def().name, FieldType::DateTime, 0}, value());
    return v.isValid() ? v.toDateTime() : zeroDate();
}

QString FieldRef::displayText() const {
    return ds_->displayFor(index_, value());
}

void FieldRef::setValue(const QVariant& v) {
    def();
    ds_->setCurrentValue(index_, v);
}

void FieldRef::setString(const QString& s) {
    setValue(s);
}

// --- Dataset: structure

Dataset::Dataset(const QString& name, QObject* parent) : QObject(parent), name_(name) {}

QString Dataset::label() const {
    return name_.isEmpty() ? QStringLiteral("conjunto de dados sem nome") : name_;
}

void Dataset::setFieldDefs(const FieldList& fields) {
    if (const QString problem = fieldListProblem(fields); !problem.isEmpty())
        throw DatasetError(QStringLiteral("Campos inválidos em %1: %2.").arg(label(), problem));
    replaceFields(fields);
    declared_ = !fields.isEmpty();
    records_.clear();
    visible_.clear();
    buffer_.clear();
    insertAt_ = -1;
    state_ = State::Inactive;
    cursor_ = -1;
    bof_ = eof_ = true;
    announceStructure();
}

void Dataset::replaceFields(const FieldList& fields) {
    // a packet of the same structure again (every record of a transfer) keeps the indexes as they are
    if (fields == fields_ && !index_.isEmpty())
        return;
    // Formats and handlers are kept by field position, which means nothing in another structure.
    if (fields != fields_) {
        formats_.clear();
        getText_.clear();
    }
    fields_ = fields;
    index_.clear();
    exactIndex_.clear();
    for (int i = 0; i < fields_.size(); ++i) {
        index_.insert(fields_[i].name.toCaseFolded(), i);
        exactIndex_.insert(fields_[i].name, i);
    }
}

int Dataset::fieldIndex(const QString& name) const {
    const auto it = exactIndex_.constFind(name);
    if (it != exactIndex_.cend())
        return *it;
    return index_.value(name.toCaseFolded(), -1);
}

int Dataset::requireField(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DatasetError(QStringLiteral("Campo '%1' não encontrado em %2.").arg(name, label()));
    return i;
}

FieldRef Dataset::field(const QString& name) {
    return FieldRef(*this, requireField(name));
}

FieldRef Dataset::field(int index) {
    if (index < 0 || index >= fields_.size())
        throw DatasetError(
            QStringLiteral("Campo de índice %1 não existe em %2.").arg(QString::number(index), label()));
    return FieldRef(*this, index);
}

void Dataset::createDataSet() {
    if (fields_.isEmpty())
        throw DatasetError(QStringLiteral("%1 não tem campos definidos.").arg(label()));
    records_.clear();
    buffer_.clear();
    insertAt_ = -1;
    state_ = State::Browse;
    rebuildVisible();
    cursor_ = -1;
    bof_ = eof_ = true;
    announceStructure();
}

void Dataset::close() {
    if (state_ == State::Inactive)
        return;
    records_.clear();
    visible_.clear();
    buffer_.clear();
    insertAt_ = -1;
    state_ = State::Inactive;
    cursor_ = -1;
    bof_ = eof_ = true;
    announceStructure();
}

void Dataset::announceStructure() {
    emit structureChanged();
    emit currentChanged(cursor_);
}

void Dataset::announceRecords() {
    // The row under the cursor may be another record even when its index did not change.
    emit recordsChanged();
    emit currentChanged(cursor_);
}

void Dataset::requireActive() const {
    if (state_ == State::Inactive)
        throw DatasetError(QStringLiteral("O conjunto de dados %1 não está aberto.").arg(label()));
}

void Dataset::requireRecord() const {
    requireActive();
    if (cursor_ < 0 || cursor_ >= visible_.size())
        throw DatasetError(QStringLiteral("Não há registro corrente em %1.").arg(label()));
}

// --- packets and files

void Dataset::loadPacket(const DataPacket& packet) {
    loadRecords(packet, QStringLiteral("data packet"));
}

void Dataset::loadPacket(const QByteArray& json, const QString& source) {
    loadRecords(DataPacket::fromJson(json, source), source);
}

void Dataset::loadRecords(const DataPacket& packet, const QString& source) {
    auto bad = [&](const QString& what) {
        throw PacketError(QStringLiteral("Pacote de dados inválido (%1): %2.").arg(source, what));
    };
    if (packet.fields != fields_) // a structure already taken in was checked then
        if (const QString problem = fieldListProblem(packet.fields); !problem.isEmpty())
            bad(problem);
    const FieldList fields = declared_ ? fields_ : packet.fields;

    // Where each of our fields comes from in the packet; -1 leaves it empty.
    QList<int> from(fields.size(), -1);
    for (int i = 0; i < fields.size(); ++i) {
        if (!declared_) {
            from[i] = i;
            continue;
        }
        for (int j = 0; j < packet.fields.size(); ++j)
            if (packet.fields[j].name.compare(fields[i].name, Qt::CaseInsensitive) == 0)
                from[i] = j;
    }

    // Everything is converted before anything is replaced, so a bad packet leaves the dataset as it was.
    QList<Record> records;
    records.reserve(packet.rows.size());
    for (int r = 0; r < packet.rows.size(); ++r) {
        const Record& row = packet.rows[r];
        if (row.size() != packet.fields.size())
            bad(QStringLiteral("linha %1 tem %2 valores, mas o pacote tem %3 campos")
                    .arg(r + 1)
                    .arg(row.size())
                    .arg(packet.fields.size()));
        Record record(fields.size());
        for (int i = 0; i < fields.size(); ++i) {
            if (from[i] < 0)
                continue;
            try {
                record[i] = coerceToField(fields[i], row[from[i]]);
            } catch (const DatasetError& e) {
                bad(QStringLiteral("linha %1, campo %2: %3")
                        .arg(QString::number(r + 1), fields[i].name, e.text()));
            }
        }
        records.append(std::move(record));
    }

    replaceFields(fields);
    records_ = std::move(records);
    buffer_.clear();
    insertAt_ = -1;
    state_ = State::Browse;
    rebuildVisible();
    cursor_ = visible_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = visible_.isEmpty();
    announceStructure();
}

DataPacket Dataset::toPacket() const {
    requireActive();
    return DataPacket{fields_, records_};
}

void Dataset::loadFromFile(const QString& path) {
    QFile file(path);
    if (QFileInfo(path).isDir())
        throw PacketError(QStringLiteral("Não foi possível ler o arquivo %1: é uma pasta.").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw PacketError(
            QStringLiteral("Não foi possível ler o arquivo %1: %2.").arg(path, file.errorString()));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw PacketError(
            QStringLiteral("Não foi possível ler o arquivo %1: %2.").arg(path, file.errorString()));
    loadPacket(data, path);
}

void Dataset::saveToFile(const QString& path) const {
    const QByteArray json = packetJson();
    // Written aside and renamed, so a failure never leaves half a file in place of a good one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit())
        throw PacketError(
            QStringLiteral("Não foi possível gravar o arquivo %1: %2.").arg(path, file.errorString()));
}

// --- navigation

int Dataset::recordCount() const {
    return int(visible_.size());
}

void Dataset::rebuildVisible() {
    QList<int> visible;
    visible.reserve(records_.size());
    for (int i = 0; i < records_.size(); ++i)
        if (!filter_ || filter_(*this, records_[i]))
            visible.append(i);
    visible_ = std::move(visible);
}

int Dataset::absoluteIndex(int visibleIndex) const {
    return visible_.at(visibleIndex);
}

// The visible record at `absolute`, else the first visible one after it, else the last visible one.
int Dataset::nearestVisible(int absolute) const {
    const auto it = std::lower_bound(visible_.begin(), visible_.end(), absolute);
    if (it != visible_.end())
        return int(it - visible_.begin());
    return int(visible_.size()) - 1;
}

void Dataset::moveTo(int visibleIndex, bool bof, bool eof) {
    bof_ = bof;
    eof_ = eof;
    if (visibleIndex != cursor_) {
        cursor_ = visibleIndex;
        emit currentChanged(cursor_);
    }
}

void Dataset::postIfEditing() {
    if (state_ == State::Edit || state_ == State::Insert)
        post();
}

void Dataset::setRecNo(int visibleIndex) {
    requireActive();
    postIfEditing();
    if (visibleIndex < 0 || visibleIndex >= visible_.size())
        throw DatasetError(
            QStringLiteral("Registro %1 fora do intervalo de %2 (%3 registros).")
                .arg(QString::number(visibleIndex), label(), QString::number(visible_.size())));
    moveTo(visibleIndex, false, false);
}

void Dataset::first() {
    requireActive();
    postIfEditing();
    moveTo(visible_.isEmpty() ? -1 : 0, true, visible_.isEmpty());
}

void Dataset::last() {
    requireActive();
    postIfEditing();
    moveTo(int(visible_.size()) - 1, visible_.isEmpty(), true);
}

void Dataset::next() {
    requireActive();
    postIfEditing();
    if (eof_)
        return;
    if (cursor_ + 1 < visible_.size())
        moveTo(cursor_ + 1, false, false);
    else
        moveTo(cursor_, false, true);
}

void Dataset::prior() {
    requireActive();
    postIfEditing();
    if (bof_)
        return;
    if (cursor_ > 0)
        moveTo(cursor_ - 1, false, false);
    else
        moveTo(cursor_, true, false);
}

// --- editing

void Dataset::insert() {
    requireActive();
    postIfEditing();
    insertAt_ = cursor_ >= 0 ? visible_[cursor_] : int(records_.size());
    buffer_ = Record(fields_.size());
    state_ = State::Insert;
    bof_ = eof_ = false;
}

void Dataset::append() {
    requireActive();
    postIfEditing();
    insertAt_ = int(records_.size());
    buffer_ = Record(fields_.size());
    state_ = State::Insert;
    bof_ = eof_ = false;
}

void Dataset::edit() {
    requireActive();
    if (state_ != State::Browse)
        return;
    requireRecord();
    buffer_ = records_[visible_[cursor_]];
    state_ = State::Edit;
}

void Dataset::post() {
    requireActive();
    int absolute = -1;
    if (state_ == State::Insert) {
        absolute = insertAt_;
        records_.insert(absolute, buffer_);
    } else if (state_ == State::Edit) {
        absolute = visible_[cursor_];
        records_[absolute] = buffer_;
    } else {
        throw DatasetError(QStringLiteral("%1 não está em edição nem em inclusão.").arg(label()));
    }
    state_ = State::Browse;
    buffer_.clear();
    insertAt_ = -1;
    // The posted record may now pass the filter or fail it.
    rebuildVisible();
    cursor_ = nearestVisible(absolute);
    bof_ = eof_ = visible_.isEmpty();
    announceRecords();
}

void Dataset::cancel() {
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    state_ = State::Browse;
    buffer_.clear();
    insertAt_ = -1;
    if (visible_.isEmpty())
        bof_ = eof_ = true;
}

void Dataset::remove() {
    requireActive();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (state_ == State::Edit)
        cancel();
    requireRecord();
    const int absolute = visible_[cursor_];
    records_.removeAt(absolute);
    // The other records keep their visibility; only the positions after the deleted one shift.
    visible_.removeAt(cursor_);
    for (int i = cursor_; i < visible_.size(); ++i)
        --visible_[i];
    cursor_ = std::min(cursor_, int(visible_.size()) - 1);
    bof_ = eof_ = visible_.isEmpty();
    announceRecords();
}

QVariant Dataset::currentValue(int field) const {
    requireActive();
    if (state_ == State::Edit || state_ == State::Insert)
        return buffer_.value(field);
    if (cursor_ < 0)
        return {};
    return records_[visible_[cursor_]].value(field);
}

void Dataset::setCurrentValue(int field, const QVariant& v) {
    requireActive();
    if (state_ != State::Edit && state_ != State::Insert)
        throw DatasetError(QStringLiteral("O campo %1 de %2 só pode ser alterado em edição ou inclusão.")
                               .arg(fields_[field].name, label()));
    buffer_[field] = readAs(fields_[field], v);
}

// Like coerceToField, but a text for a number or a date-time is read in the dataset's locale, as an
// operator typed it.
QVariant Dataset::readAs(const FieldDef& target, const QVariant& v) const {
    if (v.typeId() != QMetaType::QString || v.value<QString>().isNull())
        return coerceToField(target, v);
    const QString text = v.toString().trimmed();
    switch (target.type) {
    case FieldType::Float: {
        if (text.isEmpty())
            return {};
        bool ok = false;
        const double d = locale_.toDouble(text, &ok);
        if (!ok || !std::isfinite(d))
            unreadable(target, text);
        return d;
    }
    case FieldType::Integer: {
        if (text.isEmpty())
            return {};
        bool ok = false;
        const qlonglong n = locale_.toLongLong(text, &ok);
        if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
            unreadable(target, text);
        return int(n);
    }
    case FieldType::DateTime: {
        if (text.isEmpty())
            return {};
        QDateTime dt = dateTimeFromText(text);
        if (!dt.isValid())
            dt = locale_.toDateTime(text, QLocale::ShortFormat);
        if (!dt.isValid())
            unreadable(target, text);
        return dt;
    }
    case FieldType::String:
    case FieldType::Boolean:
        break;
    }
    return coerceToField(target, v);
}

// --- search and filter

bool Dataset::locate(const QString& field, const QVariant& value, Qt::CaseSensitivity cs) {
    requireActive();
    const int f = requireField(field);
    postIfEditing();
    const FieldDef& def = fields_[f];
    // Numbers compare as numbers whatever the field's kind, so 2 finds 2.0 and 2.5 never finds 3.
    const FieldDef probe{def.name, isNumber(def.type) ? FieldType::Float : def.type, 0};
    const QVariant wanted = readAs(probe, value);
    auto matches = [&](const QVariant& stored) {
        if (!wanted.isValid() || !stored.isValid())
            return wanted.isValid() == stored.isValid();
        switch (def.type) {
        case FieldType::String:
            return stored.toString().compare(wanted.toString(), cs) == 0;
        case FieldType::Float:
        case FieldType::Integer:
            return stored.toDouble() == wanted.toDouble();
        case FieldType::Boolean:
            return stored.toBool() == wanted.toBool();
        case FieldType::DateTime:
            return stored.toDateTime() == wanted.toDateTime();
        }
        return false;
    };
    for (int i = 0; i < visible_.size(); ++i) {
        if (matches(records_[visible_[i]].value(f))) {
            moveTo(i, false, false);
            return true;
        }
    }
    return false;
}

void Dataset::setFilter(Filter filter) {
    if (state_ == State::Inactive) {
        filter_ = std::move(filter);
        return;
    }
    postIfEditing();
    const int current = cursor_ >= 0 ? visible_[cursor_] : -1;
    filter_ = std::move(filter);
    rebuildVisible();
    if (!filter_ && current >= 0) {
        cursor_ = nearestVisible(current);
        bof_ = eof_ = false;
    } else {
        cursor_ = visible_.isEmpty() ? -1 : 0;
        bof_ = true;
        eof_ = visible_.isEmpty();
    }
    announceRecords();
}

// --- display

void Dataset::setDisplayFormat(const QString& field, const QString& format) {
    const int f = requireField(field);
    if (format.isEmpty()) {
        formats_.remove(f);
        return;
    }
    if (!isNumber(fields_[f].type))
        throw DatasetError(QStringLiteral("O campo %1 de %2 não é numérico; não aceita o formato \"%3\".")
                               .arg(fields_[f].name, label(), format));
    NumberFormat parsed;
    if (!parseNumberFormat(format, &parsed))
        throw DatasetError(QStringLiteral("Formato de exibição \"%1\" não suportado (campo %2 de %3).")
                               .arg(format, fields_[f].name, label()));
    formats_.insert(f, format);
}

void Dataset::setGetText(const QString& field, GetText handler) {
    const int f = requireField(field);
    if (handler)
        getText_.emplace(f, std::move(handler));
    else
        getText_.remove(f);
}

void Dataset::setLocale(const QLocale& locale) {
    locale_ = locale;
}

QString Dataset::formatNumber(double value, const QString& format, const QLocale& locale) {
    NumberFormat parsed;
    if (!parseNumberFormat(format, &parsed))
        throw DatasetError(QStringLiteral("Formato de exibição \"%1\" não suportado.").arg(format));
    QLocale l = locale;
    QLocale::NumberOptions options = l.numberOptions();
    options.setFlag(QLocale::OmitGroupSeparator, !parsed.grouped);
    l.setNumberOptions(options);
    QString text = l.toString(std::abs(value), 'f', parsed.decimals);
    // A value that rounds to zero shows no minus sign.
    if (value < 0 && text != l.toString(0.0, 'f', parsed.decimals))
        return l.negativeSign() + text;
    return text;
}

QString Dataset::floatText(double value, const QLocale& locale) {
    QLocale l = locale;
    l.setNumberOptions(l.numberOptions() | QLocale::OmitGroupSeparator);
    return l.toString(value == 0 ? 0.0 : value, 'g', 15);
}

QString Dataset::textFor(int field, const QVariant& v) const {
    if (!v.isValid())
        return {};
    switch (fields_[field].type) {
    case FieldType::String:
        return v.toString();
    case FieldType::Float:
        return floatText(v.toDouble(), locale_);
    case FieldType::Integer:
        return QString::number(v.toInt());
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case FieldType::DateTime:
        return locale_.toString(v.toDateTime(), QLocale::ShortFormat);
    }
    return v.toString();
}

QString Dataset::displayFor(int field, const QVariant& v) const {
    if (const auto handler = getText_.constFind(field); handler != getText_.cend())
        return (*handler)(v);
    if (!v.isValid())
        return {};
    if (const auto format = formats_.constFind(field); format != formats_.cend())
        return formatNumber(v.toDouble(), *format, locale_);
    return textFor(field, v);
}

// --- rows for grids

void Dataset::requireRow(int visibleRow) const {
    requireActive();
    if (visibleRow < 0 || visibleRow >= visible_.size())
        throw DatasetError(QStringLiteral("Registro %1 fora do intervalo de %2 (%3 registros).")
                               .arg(QString::number(visibleRow), label(), QString::number(visible_.size())));
}

QVariant Dataset::valueAt(int visibleRow, int fieldIndex) const {
    requireRow(visibleRow);
    if (fieldIndex < 0 || fieldIndex >= fields_.size())
        throw DatasetError(
            QStringLiteral("Campo de índice %1 não existe em %2.").arg(QString::number(fieldIndex), label()));
    return records_[visible_[visibleRow]][fieldIndex];
}

QString Dataset::displayTextAt(int visibleRow, int fieldIndex) const {
    return displayFor(fieldIndex, valueAt(visibleRow, fieldIndex));
}

const Record& Dataset::recordAt(int visibleRow) const {
    requireRow(visibleRow);
    return records_[visible_[visibleRow]];
}

} // namespace platform
