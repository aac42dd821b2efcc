// The records that carry an item between the two lists, and an item's way there and back.

#include "ListsTest.h"

#include "schema/ItemRecord.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Every column an item has at the origin, none of them left at its default.
QVariantMap fullItem(const QString& seat) {
    QVariantMap item = columns({{"VRPRECCOMVEN", 12.34},        {"TXPRODCOMVEN", u"texto livre"_s},
                                {"VRDESCCOMVEN", 1.5},          {"NRLUGARMESA", seat},
                                {"CDGRPOCOR", u"G1"_s},         {"CDOCORR", u"O1"_s},
                                {"NRMESAORIG", u"0040"_s},      {"CDLOJAORIG", u"02"_s},
                                {"IDPRODIMPFIS", u"S"_s},       {"VRACRCOMVEN", 0.75},
                                {"NRSEQPRODCUP", u"777"_s},     {"DSCOMANDAORI", u"Comanda antiga"_s},
                                {"NRCOMANDAORI", u"9"_s},       {"NRPRODCOMORI", u"000009"_s},
                                {"CDCAIXACOLETOR", u"C1"_s},    {"VRPRECCLCOMVEN", 11.5},
                                {"CDPRODPROMOCAO", u"PROMO"_s}, {"CDVENDEDOR", u"0042"_s},
                                {"IDORIGPEDCMD", u"TAB"_s},     {"DSOBSPEDDIGCMD", u"sem cebola"_s},
                                {"NRATRAPRODCOVE", 2},          {"NRPEDIDOZEL", u"P77"_s},
                                {"CDSENHAPED", u"S1"_s},        {"IDDIVIDECONTA", u"S"_s},
                                {"NRPRODORIG", u"000008"_s},    {"QTITEMREFIL", 1},
                                {"IDPRODREFIL", u"S"_s},        {"NRINSCRCONS", u"123"_s},
                                {"NMCONSVEND", u"Cliente"_s},   {"DSENDEVENDA", u"Rua 1"_s}});
    item.insert(columns({{"CDLOJA", u"01"_s}, {"IDSTPRCOMVEN", u"1"_s}, {"IDSTLUGARMESA", u"N"_s}}));
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
         columns({{"CDFILIAL", u"0009"_s},
                  {"NRLUGARMESA", u"101"_s},
                  {"VRDESCCOMVEN", QVariant()},
                  {"QTITEMREFIL", QVariant()},
                  {"CDVENDEDOR", u"0042"_s}}));
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
