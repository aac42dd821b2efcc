#include "platform/Dataset.h"
#include "platform/Errors.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace platform;

namespace {

const QLocale kBrazil(QLocale::Portuguese, QLocale::Brazil);

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ds.setFieldDefs({{"CODE", FieldType::String, 4},
                         {"NAME", FieldType::String, 8},
                         {"PRICE", FieldType::Float, 0},
                         {"QTY", FieldType::Integer, 0},
                         {"WHEN", FieldType::DateTime, 0}});
        ds.createDataSet();
    }

    // Opens a record with insert() or append(), fills it and posts it.
    void put(void (Dataset::*open)(), const QString& code, const QVariant& price = {}) {
        (ds.*open)();
        ds.field("CODE").setValue(code);
        ds.field("PRICE").setValue(price);
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
    QString where() { return ds.field("CODE").asString() + u'@' + QString::number(ds.recNo()); }

    Dataset ds{"ITEMS"};
};

TEST_F(DatasetTest, InsertOpensBeforeTheCurrentRecordAndAppendAtTheEnd) {
    put(&Dataset::insert, "B"); // in an empty set the new record is the only one
    EXPECT_EQ(where(), "B@0");
    put(&Dataset::append, "D");
    EXPECT_EQ(where(), "D@1");

    ds.insert(); // before D
    ds.field("CODE").setValue("C");
    EXPECT_EQ(ds.field("CODE").asString(), "C"); // reads come from the record being inserted
    EXPECT_EQ(ds.recordCount(), 2);
    ds.post();
    EXPECT_EQ(codes(), "B,C,D");
    EXPECT_EQ(where(), "C@1");

    ds.first();
    put(&Dataset::insert, "A");
    EXPECT_EQ(codes(), "A,B,C,D");
    EXPECT_EQ(where(), "A@0");
    EXPECT_EQ(ds.state(), Dataset::State::Browse);
}

TEST_F(DatasetTest, EditPostCancelAndPostOnNavigation) {
    add({"A", "B"});
    ds.first();
    ds.edit();
    ds.field("CODE").setValue("X");
    ds.cancel();
    EXPECT_EQ(codes(), "A,B");

    ds.edit();
    ds.field("CODE").setValue("X");
    EXPECT_EQ(ds.valueAt(0, 0).toString(), "A"); // grids see the stored record until the post
    ds.next();                                   // navigating posts the pending edit
    EXPECT_EQ(codes(), "X,B");
    EXPECT_EQ(where(), "B@1");

    ds.insert();
    ds.field("CODE").setValue("N");
    ds.cancel();
    EXPECT_EQ(codes(), "X,B");
    EXPECT_EQ(where(), "B@1");

    EXPECT_THROW(ds.field("CODE").setValue("Y"), DatasetError); // browse state
    EXPECT_THROW(ds.post(), DatasetError);
    ds.createDataSet();
    EXPECT_THROW(ds.edit(), DatasetError); // no current record
    ds.append();
    ds.cancel();
    EXPECT_TRUE(ds.eof() && ds.bof());
}

TEST_F(DatasetTest, RemoveMakesTheFollowingRecordCurrent) {
    add({"A", "B", "C"});
    QSignalSpy moved(&ds, &Dataset::currentChanged);
    ds.setRecNo(1);
    ds.remove();
    EXPECT_EQ(codes(), "A,C");
    EXPECT_EQ(where(), "C@1");
    ds.remove(); // the last one: the new last becomes current
    EXPECT_EQ(where(), "A@0");
    EXPECT_EQ(moved.last().at(0).toInt(), 0);
    EXPECT_FALSE(ds.eof());
    ds.remove();
    EXPECT_EQ(where(), "@-1");
    EXPECT_TRUE(ds.eof() && ds.bof());
    EXPECT_EQ(moved.last().at(0).toInt(), -1);
    EXPECT_THROW(ds.remove(), DatasetError);

    add({"Z"});
    ds.insert();
    ds.remove(); // a pending insert is only discarded
    EXPECT_EQ(codes(), "Z");
}

TEST_F(DatasetTest, EofAndBofFollowTheClassicRules) {
    EXPECT_TRUE(ds.eof() && ds.bof());
    ds.next();
    EXPECT_EQ(ds.recNo(), -1);
    add({"A", "B", "C"});

    ds.first();
    EXPECT_TRUE(ds.bof() && !ds.eof());
    QStringList seen;
    for (int guard = 0; !ds.eof() && guard < 10; ++guard) { // a missed eof must fail, not hang
        seen << ds.field("CODE").asString();
        ds.next();
    }
    EXPECT_EQ(seen.join(u','), "A,B,C");
    EXPECT_EQ(where(), "C@2"); // next() on the last record stays there
    ds.prior();
    EXPECT_FALSE(ds.eof());
    ds.prior();
    EXPECT_FALSE(ds.bof());
    ds.prior();
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(where(), "A@0");
    ds.last();
    EXPECT_TRUE(ds.eof() && !ds.bof());
    EXPECT_EQ(where(), "C@2");
    EXPECT_THROW(ds.setRecNo(3), DatasetError);
}

TEST_F(DatasetTest, LocateMatchesTextsByCaseAndNumbersByValue) {
    put(&Dataset::append, "A", 2.5);
    put(&Dataset::append, "Coca", 2);
    ds.first();
    EXPECT_FALSE(ds.locate("CODE", "coca"));
    EXPECT_EQ(ds.recNo(), 0);
    EXPECT_TRUE(ds.locate("code", "coca", Qt::CaseInsensitive));
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_TRUE(ds.locate("PRICE", 2.5));
    EXPECT_EQ(ds.recNo(), 0);
    EXPECT_TRUE(ds.locate("PRICE", 2)); // an integer finds 2.0
    EXPECT_FALSE(ds.locate("PRICE", 3));
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_THROW(ds.locate("PRICE", "abc"), DatasetError);
}

TEST_F(DatasetTest, FilterRestrictsNavigationCountsAndFollowsEdits) {
    for (const auto& [code, price] : QList<QPair<QString, double>>{{"A", 1}, {"B", 10}, {"C", 20}, {"D", 2}})
        put(&Dataset::append, code, price);
    QSignalSpy changed(&ds, &Dataset::recordsChanged);
    const int price = ds.fieldIndex("PRICE");
    ds.setFilter([price](const Dataset&, const Record& r) { return r[price].toDouble() >= 10; });
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(codes(), "B,C");
    EXPECT_EQ(where(), "B@0");
    EXPECT_TRUE(ds.bof());

    ds.last();
    put(&Dataset::insert, "X", 5); // before C, hidden by the filter once posted
    EXPECT_EQ(codes(), "B,C");
    EXPECT_EQ(where(), "C@1"); // the record that followed the hidden one
    put(&Dataset::insert, "Y", 50);
    EXPECT_EQ(codes(), "B,Y,C");
    EXPECT_EQ(where(), "Y@1");

    ds.first();
    ds.edit();
    ds.field("PRICE").setValue(0); // B leaves the filter
    ds.post();
    EXPECT_EQ(codes(), "Y,C");
    EXPECT_EQ(where(), "Y@0");
    EXPECT_EQ(ds.toPacket().rows.size(), 6); // the packet holds all records

    ds.setRecNo(1);
    ds.clearFilter(); // keeps the current record
    EXPECT_EQ(codes(), "A,B,X,Y,C,D");
    EXPECT_EQ(where(), "C@4");
}

TEST_F(DatasetTest, TextsAreCutToTheFieldWidth) {
    ds.append();
    ds.field("CODE").setString("ABCDEFG");
    ds.field("NAME").setValue(123.25);
    EXPECT_EQ(ds.field("NAME").asString(), "123.25");
    ds.post();
    EXPECT_EQ(ds.valueAt(0, 0).toString(), "ABCD");
}

TEST_F(DatasetTest, FloatTextAndDisplayFormatsFollowTheLocale) {
    EXPECT_EQ(Dataset::floatText(1, QLocale::c()), "1");
    EXPECT_EQ(Dataset::floatText(0.5, QLocale::c()), "0.5");
    EXPECT_EQ(Dataset::floatText(1234567.25, kBrazil), "1234567,25");
    EXPECT_EQ(Dataset::floatText(0.1 + 0.2, QLocale::c()), "0.3");
    EXPECT_EQ(Dataset::floatText(-0.0, QLocale::c()), "0");

    EXPECT_EQ(Dataset::formatNumber(2, "0.000", QLocale::c()), "2.000");
    EXPECT_EQ(Dataset::formatNumber(2, "0.000", kBrazil), "2,000");
    EXPECT_EQ(Dataset::formatNumber(1234.5, "#,##0.00", QLocale::c()), "1,234.50");
    EXPECT_EQ(Dataset::formatNumber(-1234.5, "#,##0.00", kBrazil), "-1.234,50");
    EXPECT_EQ(Dataset::formatNumber(1234.5, "0", kBrazil), "1235");
    EXPECT_EQ(Dataset::formatNumber(-0.001, "0.00", QLocale::c()), "0.00");
    for (const char* bad : {"0.0#", "abc", "#,##0.", "0,00", "0.00%"})
        EXPECT_THROW(Dataset::formatNumber(1, bad, QLocale::c()), DatasetError) << bad;
    EXPECT_THROW(ds.setDisplayFormat("PRICE", "x0"), DatasetError);
    EXPECT_THROW(ds.setDisplayFormat("CODE", "0.00"), DatasetError);

    ds.setLocale(kBrazil);
    ds.append();
    ds.field("PRICE").setString("1.234,5"); // typed in the dataset's locale
    ds.field("QTY").setString("3");
    ds.field("WHEN").setDateTime(QDateTime(QDate(2026, 12, 8), QTime(12, 30)));
    EXPECT_THROW(ds.field("PRICE").setString("0.5"), DatasetError);
    ds.post();
    EXPECT_DOUBLE_EQ(ds.field("PRICE").asFloat(), 1234.5);
    EXPECT_EQ(ds.field("PRICE").asString(), "1234,5");
    EXPECT_EQ(ds.field("WHEN").asString(), "08/12/2026 12:30");
    ds.setDisplayFormat("PRICE", "#,##0.00");
    ds.setDisplayFormat("QTY", "0.000");
    EXPECT_EQ(ds.field("PRICE").displayText(), "1.234,50");
    EXPECT_EQ(ds.displayTextAt(0, ds.fieldIndex("QTY")), "3,000");
    ds.setLocale(QLocale::c());
    EXPECT_EQ(ds.field("PRICE").displayText(), "1,234.50");
    EXPECT_EQ(ds.field("PRICE").asString(), "1234.5");
}

TEST_F(DatasetTest, NullValuesReadAsZeroAndDisplayEmpty) {
    ds.append();
    ds.field("PRICE").setString("2");
    ds.field("PRICE").setString(""); // an empty text empties a number
    ds.post();
    ds.setDisplayFormat("PRICE", "0.00");
    const FieldRef price = ds.field("PRICE");
    EXPECT_TRUE(price.isNull());
    EXPECT_EQ(price.asFloat(), 0.0);
    EXPECT_EQ(price.displayText(), "");
    EXPECT_EQ(ds.field("QTY").asInteger(), 0);
    EXPECT_EQ(ds.field("WHEN").asDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    EXPECT_EQ(ds.field("CODE").asString(), "");
}

TEST_F(DatasetTest, GetTextHandlerSeesTheRawValueAndWinsOverTheFormat) {
    put(&Dataset::append, "A", 2);
    put(&Dataset::append, "B");
    QList<QVariant> seen;
    ds.setDisplayFormat("PRICE", "0.00");
    ds.setGetText("PRICE", [&seen](const QVariant& v) {
        seen << v;
        return v.isValid() ? QStringLiteral("R$ %1").arg(v.toDouble()) : QStringLiteral("-");
    });
    EXPECT_EQ(ds.displayTextAt(0, 2), "R$ 2");
    EXPECT_EQ(ds.displayTextAt(1, 2), "-");
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].typeId(), QMetaType::Double);
    EXPECT_FALSE(seen[1].isValid());
    ds.setGetText("PRICE", {});
    EXPECT_EQ(ds.displayTextAt(0, 2), "2.00");
}

TEST_F(DatasetTest, SignalsLetAGridFollowTheCursor) {
    QSignalSpy structure(&ds, &Dataset::structureChanged);
    QSignalSpy moved(&ds, &Dataset::currentChanged);
    add({"A", "B"});
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
        ds.field("NOPE");
        FAIL() << "no error";
    } catch (const DatasetError& e) {
        EXPECT_TRUE(e.text().contains("NOPE") && e.text().contains("ITEMS")) << e.what();
    }
    EXPECT_EQ(ds.fieldIndex("price"), 2);
    EXPECT_THROW(ds.setFieldDefs({{"A", FieldType::Float, 0}, {"a", FieldType::Float, 0}}), DatasetError);
    ds.close();
    EXPECT_THROW(ds.first(), DatasetError);
    EXPECT_THROW(ds.field("CODE").value(), DatasetError);
    EXPECT_THROW(ds.toPacket(), DatasetError);
}

} // namespace
