#include "Scenarios.h"

using namespace Qt::StringLiterals;

namespace testsupport::scenarios {

SalesBuilder& menu(SalesBuilder& b) {
    return b.product(u"P1"_s, u"Pizza"_s)
        .product(u"P11"_s, u"Pizza grande"_s)
        .product(u"P2"_s, u"Suco"_s, {{u"NMPRODIMPFIS"_s, u"SUCO FISCAL"_s}})
        .product(u"P3"_s, u"Queijo"_s)
        .product(u"P4"_s, u"Bacon"_s)
        .product(u"P5"_s, u"Ovo"_s)
        .product(u"X"_s, u"Produto X"_s)
        .product(u"CONSUM"_s, u"Consumacao"_s)
        .product(u"CONSFEM"_s, u"Consumacao F"_s)
        .product(u"COUVER"_s, u"Couvert"_s);
}

SalesBuilder& pizzaOnTable5(SalesBuilder& b) {
    return b.table(u"0005"_s)
        .sale(u"V1"_s, u"0005"_s)
        .tab(u"10"_s, u"V1"_s)
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1);
}

SalesBuilder& table5AndOrphans(SalesBuilder& b) {
    return pizzaOnTable5(b)
        .item(u"77"_s, u"000001"_s, u"P1"_s, 1, {{u"NRVENDAREST"_s, u"V1"_s}})
        .tab(u"60"_s, u"V6"_s)
        .item(u"60"_s, u"000001"_s, u"P1"_s, 1);
}

SalesBuilder& twoTabsSharingItemNumbers(SalesBuilder& b) {
    return b.table(u"0005"_s)
        .sale(u"V1"_s, u"0005"_s)
        .tab(u"10"_s, u"V1"_s, {}, 5.0)
        .tab(u"11"_s, u"V1"_s)
        .item(u"10"_s, u"000001"_s, u"P1"_s, 1)
        .item(u"10"_s, u"000002"_s, u"P1"_s, 1)
        .item(u"11"_s, u"000001"_s, u"P1"_s, 1);
}

SalesBuilder& joinedTable5WithAnEmptyTab(SalesBuilder& b) {
    return b.table(u"0005"_s).sale(u"V1"_s, u"0005"_s).tab(u"10"_s, u"V1"_s).join(u"J1"_s, u"0005"_s);
}

SalesBuilder& twoJoinedTablesWithTabs(SalesBuilder& b) {
    return joinedTable5WithAnEmptyTab(b)
        .tab(u"11"_s, u"V1"_s)
        .table(u"0006"_s)
        .sale(u"V2"_s, u"0006"_s)
        .tab(u"20"_s, u"V2"_s)
        .join(u"J1"_s, u"0006"_s);
}

SalesBuilder& table5WithItemsOfEveryKind(SalesBuilder& b) {
    b.table(u"0005"_s)
        .closedSale(u"V0"_s, u"0005"_s)
        .tab(u"09"_s, u"V0"_s)
        .item(u"09"_s, u"000001"_s, u"P1"_s, 1)
        .sale(u"V1"_s, u"0005"_s)
        .tab(u"10"_s, u"V1"_s)
        .tab(u"11"_s, u"V1"_s)
        .item(u"11"_s, u"000007"_s, u"P2"_s, 2)
        .item(u"10"_s, u"000003"_s, u"P1"_s, 1.5,
              {{u"TXPRODCOMVEN"_s, u"sem cebola"_s}, {u"NRSEQPRODCOM"_s, u"002"_s}})
        .item(u"10"_s, u"000004"_s, u"P1"_s, 1, {{u"IDSTPRCOMVEN"_s, u"6"_s}})
        .item(u"10"_s, u"000005"_s, u"P1"_s, 1, {{u"IDSTPRCOMVEN"_s, u"7"_s}})
        .item(u"10"_s, u"000006"_s, u"CONSUM"_s, 1)
        .item(u"11"_s, u"000008"_s, u"CONSFEM"_s, 1)
        .item(u"11"_s, u"000009"_s, u"COUVER"_s, 1)
        .table(u"0006"_s)
        .sale(u"V2"_s, u"0006"_s)
        .tab(u"20"_s, u"V2"_s)
        .item(u"20"_s, u"000002"_s, u"P1"_s, 1)
        .table(u"0007"_s)
        .closedSale(u"V7"_s, u"0007"_s)
        .tab(u"70"_s, u"V7"_s)
        .item(u"70"_s, u"000001"_s, u"P1"_s, 1);
    SalesBuilder otherBranch = b.other(u"0002"_s);
    pizzaOnTable5(otherBranch);
    b.other(u"0001"_s, u"02"_s)
        .table(u"0005"_s)
        .sale(u"V9"_s, u"0005"_s)
        .tab(u"90"_s, u"V9"_s)
        .item(u"90"_s, u"000010"_s, u"P1"_s, 1);
    return b;
}

} // namespace testsupport::scenarios
