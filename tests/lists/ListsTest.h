#pragma once

#include "support/ListContents.h"

#include "client/lists/ItemLists.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

namespace testsupport {

// Answers the lists' questions as an operator would, and keeps what was asked. The answers are queued in
// the order the questions come: the text typed, or the seats chosen ("4", or "4/2": the destination and,
// for a whole seat, the origin seat); "cancel" cancels either. A question without an answer raises.
class PlainAnswers : public Cli_Mvt04215::ListQuestions {
public:
    QStringList queued;
    // In order: "seats one <origin seat>", "seats whole", "quantity", "quantity decimals", "blocked <seat>",
    // "too much".
    QStringList asked;

    bool chooseSeats(Seats mode, QString& originSeat, QString& destinationSeat) override;
    bool typeQuantity(QString& typed, bool decimals) override;
    void seatBlocked(const QString& seat) override { asked << QStringLiteral("blocked ") + seat; }
    void quantityTooLarge() override { asked << QStringLiteral("too much"); }
};

// Appends an origin item as the item query gives it: branch 0001, sale 100, seat 1, price 10; PESO is
// weighed, every other product is sold by unit. `extra` sets further columns by name.
void appendItem(platform::Dataset& origin, const QString& tab, const QString& number, const QString& product,
                double quantity, const QVariantMap& extra = {});

// The lists of a screen to table 0046 of branch 0001, store 01, without a window.
class ListsTest : public ::testing::Test {
protected:
    ListsTest();

    void item(const QString& tab, const QString& number, const QString& product, double quantity,
              const QVariantMap& extra = {}) {
        appendItem(lists.origin(), tab, number, product, quantity, extra);
    }
    // Makes an item current and runs the operation on it with the operator's answers.
    bool add(const QString& tab, const QString& number, const QStringList& answered = {});
    bool remove(const QString& tab, const QString& number, const QStringList& answered = {});
    bool addSeat(const QString& answered);
    QStringList originList() { return listContents(lists.origin()); }
    QStringList destinationList() { return listContents(lists.destination()); }
    // Both lists' data packets: equal texts mean that no record of either list changed.
    QByteArray state() { return lists.origin().packetJson() + '\n' + lists.destination().packetJson(); }

    QString branch = QStringLiteral("0001"), store = QStringLiteral("01"), table = QStringLiteral("0046");
    PlainAnswers answers;
    Cli_Mvt04215::ItemLists lists{answers, {branch, store, table}};
};

} // namespace testsupport
