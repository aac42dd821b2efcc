// The records that carry an item between the two lists, and an item's way there and back.

#include "ListsTest.h"

#include "schema/ItemRecord.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Every column an item has at the origin, none of them left at its default.
QVariantMap fullItem(const QString& seat) {
    QVariantMap item = columns({{"VRPRECCOMVEN", 12.34},     {"TXPRODCOMVEN", "texto livre"},
                                {"VRDESCCOMVEN", 1.5},       {"NRLUGARMESA", seat},
                                {"CDGRPOCOR", "G1"},         {"CDOCORR", "O1"},
                                {"NRMESAORIG", "0040"},      {"CDLOJAORIG", "02"},
                                {"IDPRODIMPFIS", "S"},       {"VRACRCOMVEN", 0.75},
                                {"NRSEQPRODCUP", "777"},     {"DSCOMANDAORI", "Comanda antiga"},
                                {"NRCOMANDAORI", "9"},       {"NRPRODCOMORI", "000009"},
                                {"CDCAIXACOLETOR", "C1"},    {"VRPRECCLCOMVEN", 11.5},
                                {"CDPRODPROMOCAO", "PROMO"}, {"CDVENDEDOR", "0042"},
                                {"IDORIGPEDCMD", "TAB"},     {"DSOBSPEDDIGCMD", "sem cebola"},
                                {"NRATRAPRODCOVE", 2},       {"NRPEDIDOZEL", "P77"},
                                {"CDSENHAPED", "S1"},        {"IDDIVIDECONTA", "S"},
                                {"NRPRODORIG", "000008"},    {"QTITEMREFIL", 1},
                                {"IDPRODREFIL", "S"},        {"NRINSCRCONS", "123"},
                                {"NMCONSVEND", "Cliente"},   {"DSENDEVENDA", "Rua 1"}});
    item.insert(columns({{"CDLOJA", "01"}, {"IDSTPRCOMVEN", "1"}, {"IDSTLUGARMESA", "N"}}));
    return item;
}

// The current record of a list, field by field.
QStringList currentRecord(platform::Dataset& list) {
    QStringList out;
    for (const platform::FieldDef& field : list.fields())
        out << field.name + u'=' + textAt(list, list.recNo(), field.name);
    return out;
}

using ItemRecords = ListsTest;

TEST_F(ItemRecords, ADestinationRecordTakesTheScreenAndTheOriginItem) {
    item(u"11"_s, u"000004"_s, u"P1"_s, 5,
         columns({{"CDFILIAL", "0009"},
                  {"NRLUGARMESA", "101"},
                  {"VRDESCCOMVEN", QVariant()},
                  {"QTITEMREFIL", QVariant()},
                  {"CDVENDEDOR", "0042"}}));
    EXPECT_TRUE(lists.destinationSeat().isEmpty());
    EXPECT_TRUE(add(u"11"_s, u"000004"_s, {u"2"_s, u"3"_s}));
    ASSERT_EQ(lists.destination().recordCount(), 1);
    platform::Dataset& d = lists.destination();
    auto text = [&](const char* field) {
        return textAt(d, 0, QString::fromLatin1(field));
    };
    EXPECT_EQ(QStringList({text("CDFILIAL"), text("NRVENDAREST"), text("NRCOMANDAORIG"), text("NRPRODCOMVEN"),
                           text("CDPRODUTO"), text("QTORIGINAL"), text("QTPRODCOMVEN"), text("CDLOJAABER"),
                           text("NRMESADES"), text("NRLUGARMESA"), text("NRLUGARMESAORIG"),
                           text("CDVENDEDOR"), text("CDARVPROD"), text("NMPRODUTO"), text("IDPESAPROD")}),
              QStringList({u"0001"_s, u"100"_s, u"11"_s, u"000004"_s, u"P1"_s, u"5"_s, u"2"_s, u"01"_s,
                           u"0046"_s, u"3"_s, u"101"_s, u"0042"_s, u"ARVP1"_s, u"Produto P1"_s, u"N"_s}));
    EXPECT_TRUE(d.valueAt(0, d.fieldIndex(u"VRDESCCOMVEN"_s)).isNull()) << "an empty discount stays empty";
    EXPECT_EQ(d.valueAt(0, d.fieldIndex(u"QTITEMREFIL"_s)), QVariant(0.0));
    EXPECT_TRUE(text("NRCOMANDA").isEmpty()) << "the destination tab is known only at confirmation";
    EXPECT_TRUE(text("NRMESAORI").isEmpty()) << "the origin table is stamped at confirmation";

    // the screen's table as it is at the moment of the record
    table = u"0047"_s;
    lists.insertDestination(1);
    EXPECT_EQ(text("NRMESADES"), u"0047"_s);
}

// An item that goes to the destination and back is the same item, column for column, whether it
// came back whole or in part; added again, it carries its waiter, observation and text once more.
TEST_F(ItemRecords, AnItemComesBackWithEveryColumnItHad) {
    item(u"10"_s, u"000001"_s, u"P1"_s, 1, fullItem(u"101"_s));
    item(u"11"_s, u"000001"_s, u"P2"_s, 3, fullItem(u"2"_s));
    ASSERT_EQ(lists.origin().fields(), schema::itemRecordFields());
    selectItem(lists.origin(), u"10"_s, u"000001"_s);
    const QStringList whole = currentRecord(lists.origin());
    selectItem(lists.origin(), u"11"_s, u"000001"_s);
    QStringList part = currentRecord(lists.origin());
    part.replaceInStrings(u"QTPRODCOMVEN=3"_s, u"QTPRODCOMVEN=2"_s);

    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"4"_s}));
    const QStringList firstTrip = currentRecord(lists.destination());
    EXPECT_TRUE(add(u"11"_s, u"000001"_s, {u"3"_s, u"4"_s}));
    EXPECT_TRUE(remove(u"10"_s, u"000001"_s));
    EXPECT_TRUE(remove(u"11"_s, u"000001"_s, {u"2"_s}));

    selectItem(lists.origin(), u"10"_s, u"000001"_s);
    EXPECT_EQ(currentRecord(lists.origin()), whole);
    selectItem(lists.origin(), u"11"_s, u"000001"_s);
    EXPECT_EQ(currentRecord(lists.origin()), part);

    EXPECT_TRUE(add(u"10"_s, u"000001"_s, {u"4"_s}));
    selectItem(lists.destination(), u"10"_s, u"000001"_s);
    EXPECT_EQ(currentRecord(lists.destination()), firstTrip);
    EXPECT_TRUE(firstTrip.contains(u"DSOBSPEDDIGCMD=sem cebola"_s));
    EXPECT_TRUE(firstTrip.contains(u"TXPRODCOMVEN=texto livre"_s));
    EXPECT_TRUE(firstTrip.contains(u"CDVENDEDOR=0042"_s));
    EXPECT_TRUE(answers.queued.isEmpty());
}

} // namespace
