// Random sequences of adds and removes, with random answers, on a table with several tabs, item
// numbers repeated across tabs, groups, weighed items and blocked seats. After every operation nothing
// may have been created or lost: each item's units across both lists are what the table held, in one
// record per list.

#include "ListsTest.h"

#include <QMap>
#include <gtest/gtest.h>
#include <random>

using namespace testsupport;
using namespace Qt::StringLiterals;
using Cli_Mvt04215::ItemLists;

namespace {

// Answers every question at random: cancels, 0, too much, text that is no number, or a fitting quantity.
class RandomAnswers : public Cli_Mvt04215::ListQuestions {
public:
    explicit RandomAnswers(unsigned seed) : rng_(seed) {}

    // The record whose quantity is asked: the destination's current one when removing, else the origin's.
    platform::Dataset* asking = nullptr;
    bool unreadable = false; // an answer was no number: its failure is expected

    bool chooseSeats(Seats mode, QString& originSeat, QString& destinationSeat) override {
        if (pick(10) == 0)
            return false;
        destinationSeat = QString::number(1 + pick(4));
        if (mode == Seats::WholeSeat)
            originSeat = QStringList({u"1"_s, u"2"_s, u"3"_s, u"9"_s})[pick(4)];
        return true;
    }
    bool typeQuantity(QString& typed, bool decimals) override {
        const double held = asking->field(u"QTPRODCOMVEN"_s).asFloat();
        switch (pick(10)) {
        case 0:
            return false;
        case 1:
            typed = u"0"_s;
            break;
        case 2:
            typed = QString::number(held + 1);
            break;
        case 3:
            typed = u"x"_s;
            unreadable = true;
            break;
        default:
            typed = decimals ? QString::number((1 + pick(std::max(1, int(held * 10)))) / 10.0)
                             : QString::number(1 + pick(std::max(1, int(held))));
        }
        return true;
    }
    void seatBlocked(const QString&) override {}
    void quantityTooLarge() override {}

    int pick(int n) { return int(rng_() % unsigned(n)); }

private:
    std::mt19937 rng_;
};

// Units of each item (tab/number) in a list, and how many records it has there.
void tally(const platform::Dataset& list, const QString& tabField, QMap<QString, double>& units,
           QMap<QString, int>& records) {
    for (int r = 0; r < list.recordCount(); ++r) {
        const QString key = textAt(list, r, tabField) + u'/' + textAt(list, r, u"NRPRODCOMVEN"_s);
        units[key] += quantityAt(list, r);
        ++records[key];
    }
}

class ListInvariants : public ::testing::TestWithParam<unsigned> {};

TEST_P(ListInvariants, NoUnitIsCreatedOrLostAndNoItemIsSplitWithinTheOrigin) {
    const QString branch = u"0001"_s, store = u"01"_s, table = u"0046"_s;
    RandomAnswers random(GetParam());
    ItemLists lists(random, {branch, store, table});
    platform::Dataset &origin = lists.origin(), &destination = lists.destination();
    origin.createDataSet();
    destination.createDataSet();
    // tab, item, product, quantity, seat, group ("-" for none), seat blocked
    const QString items =
        u"10 000001 P1 1 1 - N|10 000002 P2 5 1 - N|10 000003 PESO 1.25 2 - N|"
        "10 000004 P3 2 1 1 N|10 000005 P4 1 2 1 N|10 000006 P5 0.5 3 - S|10 000007 P6 3 3 - S|"
        "11 000001 P2 3 1 - N|11 000002 PESO 2.5 2 - N|11 000003 P1 1 1 1 N|11 000004 P2 4 2 1 N|"
        "11 000005 P3 1 2 - N|12 000001 P1 2 2 - N|12 000002 P6 1 1 2 N|12 000003 REF 10 1 - N|"
        "12 000004 PESO 0.75 1 2 N"_s;
    for (const QString& line : items.split(u'|')) {
        const QStringList c = line.split(u' ');
        appendItem(origin, c[0], c[1], c[2], c[3].toDouble(),
                   columns({{"NRLUGARMESA", c[4]},
                            {"NRSEQPRODCOM", c[5] == u"-"_s ? QVariant() : QVariant(c[5])},
                            {"IDSTLUGARMESA", c[6]}}));
    }
    QMap<QString, double> opening;
    QMap<QString, int> ignored;
    tally(origin, u"NRCOMANDA"_s, opening, ignored);
    ASSERT_EQ(opening.size(), 16);

    QStringList history;
    for (int step = 0; step < 1000; ++step) {
        const int op = random.pick(10);
        random.asking = op >= 6 ? &destination : &origin;
        random.unreadable = false;
        // as the keys do: nothing happens on an empty list
        if (random.asking->isEmpty())
            continue;
        random.asking->setRecNo(random.pick(random.asking->recordCount()));
        history << QString::number(op) + u' ' +
                       textAt(*random.asking, random.asking->recNo(), u"NRPRODCOMVEN"_s) + u'=' +
                       textAt(*random.asking, random.asking->recNo(), u"QTPRODCOMVEN"_s);
        QString failure;
        try {
            if (op < 5)
                lists.add();
            else if (op == 5)
                lists.addSeat();
            else if (op < 9)
                lists.remove();
            else
                lists.removeAll();
        } catch (const platform::Error& e) {
            failure = e.text();
        }

        QMap<QString, double> units;
        QMap<QString, int> originRecords, destinationRecords;
        tally(origin, u"NRCOMANDA"_s, units, originRecords);
        tally(destination, u"NRCOMANDAORIG"_s, units, destinationRecords);
        QStringList broken;
        for (auto it = opening.cbegin(); it != opening.cend(); ++it) {
            if (std::abs(units.value(it.key()) - it.value()) > 1e-9)
                broken << u"%1 holds %2 units, not %3"_s.arg(it.key())
                              .arg(units.value(it.key()))
                              .arg(it.value());
            // the destination may hold an item at several seats ("Adicionar Todos"), the origin once
            if (originRecords.value(it.key()) > 1)
                broken << it.key() + u" has two records in the origin list"_s;
            // an item wholly in one record holds exactly its quantity: the server tells a whole move by it
            const bool whole =
                (!originRecords.contains(it.key()) && destinationRecords.value(it.key()) == 1) ||
                !destinationRecords.contains(it.key());
            if (whole && units.value(it.key()) != it.value())
                broken << it.key() + u" is wholly in one list with a rounded quantity"_s;
        }
        if (units.size() != opening.size())
            broken << u"an item appeared that the table never had"_s;
        for (int r = 0; r < destination.recordCount(); ++r) {
            const QString item =
                textAt(destination, r, u"NRCOMANDAORIG"_s) + u'/' + textAt(destination, r, u"NRPRODCOMVEN"_s);
            if (std::abs(destination.valueAt(r, destination.fieldIndex(u"QTORIGINAL"_s)).toDouble() -
                         opening.value(item)) > 1e-9)
                broken << item + u" carries another original quantity"_s;
        }
        if (origin.filtered() || destination.filtered())
            broken << u"a list was left filtered"_s;
        if (!failure.isEmpty() && !random.unreadable)
            broken << u"error: "_s + failure;
        if (!broken.isEmpty()) {
            FAIL() << "seed " << GetParam() << ", operation " << step << ":\n"
                   << broken.join(u'\n').toStdString() << "\nlast operations:\n"
                   << history.mid(std::max(0, int(history.size()) - 8)).join(u'\n').toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ListInvariants, ::testing::Values(1u, 20261208u, 4215u));

} // namespace
