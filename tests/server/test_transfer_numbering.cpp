// The numbers a transfer gives on the seeded restaurant: new item numbers after the destination's highest,
// and the sequence groups of whole moves after the destination's.

#include "TransferTest.h"

#include <optional>
#include <vector>

using namespace testsupport;

TYPED_TEST(TransferTest, NewItemNumbersFollowTheDestinationsHighestWholeOrSplit) {
    ASSERT_TRUE(this->moved(
        this->request().move(u"10"_s, u"000004"_s).move(u"10"_s, u"000002"_s, 1).move(u"11"_s, u"000002"_s)));

    EXPECT_EQ(this->newItems(), Rows({"000007|P2|1|<null>", "000008|P2|1|<null>", "000009|P1|2|004"}));
    EXPECT_EQ(this->rows(u"SELECT NRCOMANDAOLD, NRPRODCOMVENOLD, NRPRODCOMVEN FROM PEDIDOALT ORDER BY 3"_s),
              Rows({"10|000004|000007", "10|000002|000008", "11|000002|000009"}));
}

// The destination's highest sequence is 003; each origin group (tab and sequence) of a whole move gets
// the next one, in the order the groups first appear in the request.
TYPED_TEST(TransferTest, SequenceGroupsOfWholeMovesAreRenumberedAfterTheDestinations) {
    struct Move {
        const char* tab;
        const char* item;
        std::optional<double> quantity;
    };
    struct Case {
        const char* what;
        std::vector<Move> moves;
        Rows sequences;
    };
    const Case cases[] = {
        {"groups 1, 1, 2, none, 2 of one tab",
         {{"10", "000001", {}},
          {"10", "000002", {}},
          {"10", "000003", {}},
          {"10", "000004", {}},
          {"10", "000005", {}}},
         {"004", "004", "005", "<null>", "005"}},
        {"a first group numbered 4 opens 004, not the destination's 003",
         {{"10", "000006", {}}, {"10", "000003", {}}},
         {"004", "005"}},
        {"sequence 1 of two tabs is two groups",
         {{"10", "000001", {}}, {"11", "000001", {}}, {"10", "000002", {}}},
         {"004", "005", "004"}},
        {"a split between two records of one group",
         {{"10", "000003", {}}, {"10", "000002", 1.0}, {"10", "000005", {}}, {"10", "000001", {}}},
         {"004", "<null>", "004", "005"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        this->reseed();
        TransferRequest r = this->request();
        for (const Move& m : c.moves)
            r.move(QString::fromLatin1(m.tab), QString::fromLatin1(m.item), m.quantity);
        ASSERT_TRUE(this->moved(r));
        EXPECT_EQ(this->newItems(u"NRSEQPRODCOM"_s), c.sequences);
    }
}
