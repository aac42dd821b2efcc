#pragma once

#include "DataPacket.h"
#include "FieldDef.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QObject>
#include <functional>

namespace platform {

class Dataset;

// Access to one field of a dataset's current record (or of the record being edited).
class FieldRef {
public:
    FieldRef(Dataset& ds, int index) : ds_(&ds), index_(index) {}

    const FieldDef& def() const;
    const QString& name() const { return def().name; }
    QVariant value() const;
    bool isNull() const;

    // Text form: strings as stored, floats in their general form (15 significant digits, the locale's
    // decimal separator, no trailing zeros), date-times in the locale's short form; empty is "".
    QString asString() const;
    // Number form: an empty value reads as 0.
    double asFloat() const;
    int asInteger() const;
    bool asBoolean() const;
    // An empty date-time reads as the zero date (1899-12-30 00:00).
    QDateTime asDateTime() const;
    // What a grid shows: the get-text handler, else the display format, else the text form.
    QString displayText() const;

    // Setters need the dataset in edit or insert state. A text is cut to the field's width; a text
    // assigned to a number field is read in the locale's format ("" makes it empty).
    void setValue(const QVariant& v);
    void setString(const QString& s);
    void setFloat(double v) { setValue(v); }
    void setDateTime(const QDateTime& v) { setValue(v); }
    void clear() { setValue(QVariant()); }

private:
    Dataset* ds_;
    int index_;
};

// In-memory dataset: typed fields, records, a cursor, browse/edit/insert states, an optional filter,
// display formats, and its data packet. Navigation and record counts see only the records that pass
// the filter; the data packet holds all records.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Filter = std::function<bool(const Dataset&, const Record&)>;
    using GetText = std::function<QString(const QVariant& value)>;

    explicit Dataset(const QString& name = {}, QObject* parent = nullptr);

    const QString& name() const { return name_; }

    // --- structure
    // Declared fields fix the structure: packets are matched to them by name. Without declared
    // fields a loaded packet brings its own. Declaring fields closes the dataset; createDataSet or
    // loadPacket opens it again. Field names match regardless of case.
    void setFieldDefs(const FieldList& fields);
    const FieldList& fields() const { return fields_; }
    int fieldIndex(const QString& name) const; // -1 when absent
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    FieldRef field(const QString& name); // throws DatasetError for an unknown name
    FieldRef field(int index);
    const FieldRef field(const QString& name) const { return const_cast<Dataset*>(this)->field(name); }

    // Empties the dataset and makes it active (browse state) with its declared fields.
    void createDataSet();
    void close();
    bool active() const { return state_ != State::Inactive; }
    State state() const { return state_; }

    // --- packets and files
    void loadPacket(const DataPacket& packet);
    void loadPacket(const QByteArray& json, const QString& source = QStringLiteral("data packet"));
    DataPacket toPacket() const;
    QByteArray packetJson() const { return toPacket().toJson(); }
    // A missing file is the caller's to check; a malformed one throws PacketError naming the file.
    void loadFromFile(const QString& path);
    void saveToFile(const QString& path) const;

    // --- navigation over the visible (filtered) records
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    int recNo() const { return cursor_; } // 0-based visible index, -1 when empty
    void setRecNo(int visibleIndex);
    void first();
    void last();
    void next();
    void prior();

    // --- editing (navigation posts a pending edit or insert first)
    void insert(); // a new record at the current position (before the current record)
    void append(); // a new record at the end
    void edit();
    void post();
    void cancel();
    void remove(); // deletes the current record; the next one (or the new last) becomes current

    // --- search and filter
    // Compares texts as texts (with `cs`) and numbers as numbers; a value that cannot be read as the
    // field's type throws DatasetError.
    bool locate(const QString& field, const QVariant& value, Qt::CaseSensitivity cs = Qt::CaseSensitive);
    void setFilter(Filter filter);
    // Clearing the filter keeps the current record current; setting one moves to the first visible.
    void clearFilter() { setFilter({}); }
    bool filtered() const { return static_cast<bool>(filter_); }

    // --- display
    void setDisplayFormat(const QString& field, const QString& format); // "0.000", "#,##0.00"
    void setGetText(const QString& field, GetText handler);
    void setLocale(const QLocale& locale);
    const QLocale& locale() const { return locale_; }

    // --- row access for grids and scans (visible index); a record being edited shows its stored values
    // until it is posted, and a pending insert is not among the rows
    QVariant valueAt(int visibleRow, int fieldIndex) const;
    QString displayTextAt(int visibleRow, int fieldIndex) const;
    const Record& recordAt(int visibleRow) const;

    // Formats a number by a display format of the kinds "0.000" and "#,##0.00" in a locale.
    static QString formatNumber(double value, const QString& format, const QLocale& locale);
    // The general text form of a float (see FieldRef::asString).
    static QString floatText(double value, const QLocale& locale);

signals:
    void structureChanged();      // fields or all records replaced
    void recordsChanged();        // records inserted, deleted or edited
    void currentChanged(int row); // the cursor moved (visible index, -1 when empty)
    // currentChanged also follows every structureChanged and recordsChanged, since the record under
    // an unchanged index may be another one; a setRecNo to the current index emits nothing.

private:
    friend class FieldRef;
    QVariant currentValue(int field) const;
    void setCurrentValue(int field, const QVariant& v);
    void requireActive() const;
    void requireRecord() const;
    int requireField(const QString& name) const;
    void requireRow(int visibleRow) const;
    QString label() const;
    void postIfEditing();
    void rebuildVisible();
    int absoluteIndex(int visibleIndex) const;
    int nearestVisible(int absolute) const;
    void moveTo(int visibleIndex, bool bof, bool eof);
    void announceRecords();
    void announceStructure();
    void loadRecords(const DataPacket& packet, const QString& source);
    void replaceFields(const FieldList& fields);
    QVariant readAs(const FieldDef& target, const QVariant& v) const;
    QString textFor(int field, const QVariant& v) const;
    QString displayFor(int field, const QVariant& v) const;

    QString name_;
    FieldList fields_;
    bool declared_ = false;          // fields came from setFieldDefs, not from the last packet
    QHash<QString, int> index_;      // by case-folded name
    QHash<QString, int> exactIndex_; // by the name as declared: the lookup code makes all the time
    QList<Record> records_;
    QList<int> visible_; // absolute indices of the records that pass the filter
    Filter filter_;
    State state_ = State::Inactive;
    int cursor_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    Record buffer_;     // the record being edited or inserted
    int insertAt_ = -1; // absolute position of a pending insert
    QHash<int, QString> formats_;
    QHash<int, GetText> getText_;
    QLocale locale_;
};

} // namespace platform
