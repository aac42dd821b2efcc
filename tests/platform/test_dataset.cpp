#include "platform/Dataset.h"
#include "platform/Errors.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace platform;
using namespace Qt::StringLiterals;

namespace {

const QLocale kBrazil(QLocale::Portuguese, QLocale::Brazil);

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ds.setFieldDefs({{u"CODE"_s, FieldType::String, 4},
                         {u"NAME"_s, FieldType::String, 8},
                         {u"PRICE"_s, FieldType::Float, 0},
                         {u"QTY"_s, FieldType::Integer, 0},
                         {u"WHEN"_s, FieldType::DateTime, 0}});
        ds.createDataSet();
    }

    // Opens a record with insert() or append(), fills it and posts it.
    void put(void (Dataset::*open)(), const QString& code, const QVariant& price = {}) {
        (ds.*open)();
        ds.field(u"CODE"_s).setValue(code);
        ds.field(u"PRICE"_s).setValue(price);
        ds.post();
    }
    void add(const QStringList& codes) {
        for (const QString& c : codes)
            put(&Dataset::append, c);
    }
    // The visible records' codes, e.g. "A,B,C".
    QString codes() const {
        QStringList out;
        for (int r = 0; r < ds.recordCount(); ++r)
            out << ds.valueAt(r, 0).toString();
        return out.join(u',');
    }
    // The current record's code and position, e.g. "B@1".
    QString where() { return ds.field(u"CODE"_s).asString() + u'@' + QString::number(ds.recNo()); }

    Dataset ds{u"ITEMS"_s};
};

TEST_F(DatasetTest, InsertOpensBeforeTheCurrentRecordAndAppendAtTheEnd) {
    put(&Dataset::insert, u"B"_s); // in an empty set the new record is the only one
    EXPECT_EQ(where(), u"B@0"_s);
    put(&Dataset::append, u"D"_s);
    EXPECT_EQ(where(), u"D@1"_s);

    ds.insert(); // before D
    ds.field(u"CODE"_s).setValue(u"C"_s);
    EXPECT_EQ(ds.field(u"CODE"_s).asString(), u"C"_s); // reads come from the record being inserted
    EXPECT_EQ(ds.recordCount(), 2);
    ds.post();
    EXPECT_EQ(codes(), u"B,C,D"_s);
    EXPECT_EQ(where(), u"C@1"_s);

    ds.first();
    put(&Dataset::insert, u"A"_s);
    EXPECT_EQ(codes(), u"A,B,C,D"_s);
    EXPECT_EQ(where(), u"A@0"_s);
    EXPECT_EQ(ds.state(), Dataset::State::Browse);
}

TEST_F(DatasetTest, EditPostCancelAndPostOnNavigation) {
    add({u"A"_s, u"B"_s});
    ds.first();
    ds.edit();
    ds.field(u"CODE"_s).setValue(u"X"_s);
    ds.cancel();
    EXPECT_EQ(codes(), u"A,B"_s);

    ds.edit();
    ds.field(u"CODE"_s).setValue(u"X"_s);
    EXPECT_EQ(ds.valueAt(0, 0).toString(), u"A"_s); // grids see the stored record until the post
    ds.next();                                      // navigating posts the pending edit
    EXPECT_EQ(codes(), u"X,B"_s);
    EXPECT_EQ(where(), u"B@1"_s);

    ds.insert();
    ds.field(u"CODE"_s).setValue(u"N"_s);
    ds.cancel();
    EXPECT_EQ(codes(), u"X,B"_s);
    EXPECT_EQ(where(), u"B@1"_s);

    EXPECT_THROW(ds.field(u"CODE"_s).setValue(u"Y"_s), DatasetError); // browse state
    EXPECT_THROW(ds.post(), DatasetError);
    ds.createDataSet();
    EXPECT_THROW(ds.edit(), DatasetError); // no current record
    ds.append();
    ds.cancel();
    EXPECT_TRUE(ds.eof() && ds.bof());
}

TEST_F(DatasetTest, RemoveMakesTheFollowingRecordCurrent) {
    add({u"A"_s, u"B"_s, u"C"_s});
    QSignalSpy moved(&ds, &Dataset::currentChanged);
    ds.setRecNo(1);
    ds.remove();
    EXPECT_EQ(codes(), u"A,C"_s);
    EXPECT_EQ(where(), u"C@1"_s);
    ds.remove(); // the last one: the new last becomes current
    EXPECT_EQ(where(), u"A@0"_s);
    EXPECT_EQ(moved.last().at(0).toInt(), 0);
    EXPECT_FALSE(ds.eof());
    ds.remove();
    EXPECT_EQ(where(), u"@-1"_s);
    EXPECT_TRUE(ds.eof() && ds.bof());
    EXPECT_EQ(moved.last().at(0).toInt(), -1);
    EXPECT_THROW(ds.remove(), DatasetError);

    add({u"Z"_s});
    ds.insert();
    ds.remove(); // a pending insert is only discarded
    EXPECT_EQ(codes(), u"Z"_s);
}

TEST_F(DatasetTest, EofAndBofFollowTheClassicRules) {
    EXPECT_TRUE(ds.eof() && ds.bof());
    ds.next();
    EXPECT_EQ(ds.recNo(), -1);
    add({u"A"_s, u"B"_s, u"C"_s});

    ds.first();
    EXPECT_TRUE(ds.bof() && !ds.eof());
    QStringList seen;
    for (int guard = 0; !ds.eof() && guard < 10; ++guard) { // a missed eof must fail, not hang
        seen << ds.field(u"CODE"_s).asString();
        ds.next();
    }
    EXPECT_EQ(seen.join(u','), u"A,B,C"_s);
    EXPECT_EQ(where(), u"C@2"_s); // next() on the last record stays there
    ds.prior();
    EXPECT_FALSE(ds.eof());
    ds.prior();
    EXPECT_FALSE(ds.bof());
    ds.prior();
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(where(), u"A@0"_s);
    ds.last();
    EXPECT_TRUE(ds.eof() && !ds.bof());
    EXPECT_EQ(where(), u"C@2"_s);
    EXPECT_THROW(ds.setRecNo(3), DatasetError);
}

TEST_F(DatasetTest, LocateMatchesTextsByCaseAndNumbersByValue) {
    put(&Dataset::append, u"A"_s, 2.5);
    put(&Dataset::append, u"Coca"_s, 2);
    ds.first();
    EXPECT_FALSE(ds.locate(u"CODE"_s, u"coca"_s));
    EXPECT_EQ(ds.recNo(), 0);
    EXPECT_TRUE(ds.locate(u"code"_s, u"coca"_s, Qt::CaseInsensitive));
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_TRUE(ds.locate(u"PRICE"_s, 2.5));
    EXPECT_EQ(ds.recNo(), 0);
    EXPECT_TRUE(ds.locate(u"PRICE"_s, 2)); // an integer finds 2.0
    EXPECT_FALSE(ds.locate(u"PRICE"_s, 3));
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_THROW(ds.locate(u"PRICE"_s, u"abc"_s), DatasetError);
}

TEST_F(DatasetTest, FilterRestrictsNavigationCountsAndFollowsEdits) {
    for (const auto& [code, price] :
         QList<QPair<QString, double>>{{u"A"_s, 1}, {u"B"_s, 10}, {u"C"_s, 20}, {u"D"_s, 2}})
        put(&Dataset::append, code, price);
    QSignalSpy changed(&ds, &Dataset::recordsChanged);
    const int price = ds.fieldIndex(u"PRICE"_s);
    ds.setFilter([price](const Dataset&, const Record& r) { return r[price].toDouble() >= 10; });
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(codes(), u"B,C"_s);
    EXPECT_EQ(where(), u"B@0"_s);
    EXPECT_TRUE(ds.bof());

    ds.last();
    put(&Dataset::insert, u"X"_s, 5); // before C, hidden by the filter once posted
    EXPECT_EQ(codes(), u"B,C"_s);
    EXPECT_EQ(where(), u"C@1"_s); // the record that followed the hidden one
    put(&Dataset::insert, u"Y"_s, 50);
    EXPECT_EQ(codes(), u"B,Y,C"_s);
    EXPECT_EQ(where(), u"Y@1"_s);

    ds.first();
    ds.edit();
    ds.field(u"PRICE"_s).setValue(0); // B leaves the filter
    ds.post();
    EXPECT_EQ(codes(), u"Y,C"_s);
    EXPECT_EQ(where(), u"Y@0"_s);
    EXPECT_EQ(ds.toPacket().rows.size(), 6); // the packet holds all records

    ds.setRecNo(1);
    ds.clearFilter(); // keeps the current record
    EXPECT_EQ(codes(), u"A,B,X,Y,C,D"_s);
    EXPECT_EQ(where(), u"C@4"_s);
}

TEST_F(DatasetTest, TextsAreCutToTheFieldWidth) {
    ds.append();
    ds.field(u"CODE"_s).setString(u"ABCDEFG"_s);
    ds.field(u"NAME"_s).setValue(123.25);
    EXPECT_EQ(ds.field(u"NAME"_s).asString(), u"123.25"_s);
    ds.post();
    EXPECT_EQ(ds.valueAt(0, 0).toString(), u"ABCD"_s);
}

TEST_F(DatasetTest, FloatTextAndDisplayFormatsFollowTheLocale) {
    EXPECT_EQ(Dataset::floatText(1, QLocale::c()), u"1"_s);
    EXPECT_EQ(Dataset::floatText(0.5, QLocale::c()), u"0.5"_s);
    EXPECT_EQ(Dataset::floatText(1234567.25, kBrazil), u"1234567,25"_s);
    EXPECT_EQ(Dataset::floatText(0.1 + 0.2, QLocale::c()), u"0.3"_s);
    EXPECT_EQ(Dataset::floatText(-0.0, QLocale::c()), u"0"_s);

    EXPECT_EQ(Dataset::formatNumber(2, u"0.000"_s, QLocale::c()), u"2.000"_s);
    EXPECT_EQ(Dataset::formatNumber(2, u"0.000"_s, kBrazil), u"2,000"_s);
    EXPECT_EQ(Dataset::formatNumber(1234.5, u"#,##0.00"_s, QLocale::c()), u"1,234.50"_s);
    EXPECT_EQ(Dataset::formatNumber(-1234.5, u"#,##0.00"_s, kBrazil), u"-1.234,50"_s);
    EXPECT_EQ(Dataset::formatNumber(1234.5, u"0"_s, kBrazil), u"1235"_s);
    EXPECT_EQ(Dataset::formatNumber(-0.001, u"0.00"_s, QLocale::c()), u"0.00"_s);
    for (const char* bad : {"0.0#", "abc", "#,##0.", "0,00", "0.00%"})
        EXPECT_THROW(Dataset::formatNumber(1, QString::fromLatin1(bad), QLocale::c()), DatasetError) << bad;
    EXPECT_THROW(ds.setDisplayFormat(u"PRICE"_s, u"x0"_s), DatasetError);
    EXPECT_THROW(ds.setDisplayFormat(u"CODE"_s, u"0.00"_s), DatasetError);

    ds.setLocale(kBrazil);
    ds.append();
    ds.field(u"PRICE"_s).setString(u"1.234,5"_s); // typed in the dataset's locale
    ds.field(u"QTY"_s).setString(u"3"_s);
    ds.field(u"WHEN"_s).setDateTime(QDateTime(QDate(2026, 12, 8), QTime(12, 30)));
    EXPECT_THROW(ds.field(u"PRICE"_s).setString(u"0.5"_s), DatasetError);
    ds.post();
    EXPECT_DOUBLE_EQ(ds.field(u"PRICE"_s).asFloat(), 1234.5);
    EXPECT_EQ(ds.field(u"PRICE"_s).asString(), u"1234,5"_s);
    EXPECT_EQ(ds.field(u"WHEN"_s).asString(), u"08/12/2026 12:30"_s);
    ds.setDisplayFormat(u"PRICE"_s, u"#,##0.00"_s);
    ds.setDisplayFormat(u"QTY"_s, u"0.000"_s);
    EXPECT_EQ(ds.field(u"PRICE"_s).displayText(), u"1.234,50"_s);
    EXPECT_EQ(ds.displayTextAt(0, ds.fieldIndex(u"QTY"_s)), u"3,000"_s);
    ds.setLocale(QLocale::c());
    EXPECT_EQ(ds.field(u"PRICE"_s).displayText(), u"1,234.50"_s);
    EXPECT_EQ(ds.field(u"PRICE"_s).asString(), u"1234.5"_s);
}

TEST_F(DatasetTest, NullValuesReadAsZeroAndDisplayEmpty) {
    ds.append();
    ds.field(u"PRICE"_s).setString(u"2"_s);
    ds.field(u"PRICE"_s).setString(u""_s); // an empty text empties a number
    ds.post();
    ds.setDisplayFormat(u"PRICE"_s, u"0.00"_s);
    const FieldRef price = ds.field(u"PRICE"_s);
    EXPECT_TRUE(price.isNull());
    EXPECT_EQ(price.asFloat(), 0.0);
    EXPECT_EQ(price.displayText(), u""_s);
    EXPECT_EQ(ds.field(u"QTY"_s).asInteger(), 0);
    EXPECT_EQ(ds.field(u"WHEN"_s).asDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    EXPECT_EQ(ds.field(u"CODE"_s).asString(), u""_s);
}

TEST_F(DatasetTest, GetTextHandlerSeesTheRawValueAndWinsOverTheFormat) {
    put(&Dataset::append, u"A"_s, 2);
    put(&Dataset::append, u"B"_s);
    QList<QVariant> seen;
    ds.setDisplayFormat(u"PRICE"_s, u"0.00"_s);
    ds.setGetText(u"PRICE"_s, [&seen](const QVariant& v) {
        seen << v;
        return v.isValid() ? u"R$ %1"_s.arg(v.toDouble()) : u"-"_s;
    });
    EXPECT_EQ(ds.displayTextAt(0, 2), u"R$ 2"_s);
    EXPECT_EQ(ds.displayTextAt(1, 2), u"-"_s);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].typeId(), QMetaType::Double);
    EXPECT_FALSE(seen[1].isValid());
    ds.setGetText(u"PRICE"_s, {});
    EXPECT_EQ(ds.displayTextAt(0, 2), u"2.00"_s);
}

TEST_F(DatasetTest, SignalsLetAGridFollowTheCursor) {
    QSignalSpy structure(&ds, &Dataset::structureChanged);
    QSignalSpy moved(&ds, &Dataset::currentChanged);
    add({u"A"_s, u"B"_s});
    moved.clear();
    ds.setRecNo(0);
    ds.setRecNo(0); // no move, no signal: a grid echoing the selection back cannot loop
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0].at(0).toInt(), 0);
    ds.loadPacket(ds.toPacket());
    EXPECT_EQ(structure.count(), 1);
}

TEST_F(DatasetTest, MisuseGivesClearErrors) {
    try {
        ds.field(u"NOPE"_s);
        FAIL() << "no error";
    } catch (const DatasetError& e) {
        EXPECT_TRUE(e.text().contains(u"NOPE"_s) && e.text().contains(u"ITEMS"_s)) << e.what();
    }
    EXPECT_EQ(ds.fieldIndex(u"price"_s), 2);
    EXPECT_THROW(ds.setFieldDefs({{u"A"_s, FieldType::Float, 0}, {u"a"_s, FieldType::Float, 0}}),
                 DatasetError);
    ds.close();
    EXPECT_THROW(ds.first(), DatasetError);
    EXPECT_THROW(ds.field(u"CODE"_s).value(), DatasetError);
    EXPECT_THROW(ds.toPacket(), DatasetError);
}

} // namespace
