#pragma once

#include "SalesBuilder.h"

// Restaurants the server tests start from, named by what they hold, built with the builder given (branch
// 0001, store 01 in the fixtures), which they hand back for what a case adds. An item is one of P1 unless
// said otherwise.
namespace testsupport::scenarios {

// P1 and P11 (whose code begins with P1's), P2 with a fiscal name, P3, P4, P5, X, and the three the item
// query leaves out when named: COUVER, CONSUM, CONSFEM.
SalesBuilder& menu(SalesBuilder& b);

// Table 0005 with an open sale V1 whose tab 10 holds item 000001.
SalesBuilder& pizzaOnTable5(SalesBuilder& b);

// pizzaOnTable5, item 77/000001 of V1 without its tab, and tab 60 of a missing sale V6 with item 000001.
SalesBuilder& table5AndOrphans(SalesBuilder& b);

// Table 0005 with an open sale V1 whose tab 10 (surcharge 5) holds items 000001 and 000002, and tab 11
// its own item 000001.
SalesBuilder& twoTabsSharingItemNumbers(SalesBuilder& b);

// Table 0005 in join J1, with an open sale V1 whose tab 10 holds nothing.
SalesBuilder& joinedTable5WithAnEmptyTab(SalesBuilder& b);

// Tables 0005 and 0006 in join J1, with open sales V1 (empty tabs 10 and 11) and V2 (empty tab 20).
SalesBuilder& twoJoinedTablesWithTabs(SalesBuilder& b);

// Table 0005: a sale closed the evening before (V0, tab 09, item 000001) and the open sale V1, whose tabs
// 10 and 11 hold two offered items (11/000007, 2 of P2, stored first; 10/000003, 1.5 "sem cebola" of
// sequence 002), a cancelled (6) and a no longer offered (7) one, and a CONSUM, a CONSFEM and a COUVER.
// Around it: table 0006 (open sale V2, tab 20, item 000002), table 0007 with only a closed sale (V7, tab
// 70), and a table 0005 with an open sale in branch 0002 and in store 02.
SalesBuilder& table5WithItemsOfEveryKind(SalesBuilder& b);

} // namespace testsupport::scenarios
