// Random sequences of adds and removes, with random answers, on a table with several tabs, item
// numbers repeated across tabs, groups and weighed items. After every operation nothing may have been
// created or lost: each item's units across both lists are what the table held, in one record per list.

#include "support/ScreenFixture.h"

#include <QMap>
#include <gtest/gtest.h>
#include <random>

using namespace testsupport;
using namespace Qt::StringLiterals;
using Cli_Mvt04215::TfrmTrPosicao;

namespace {

// Answers every dialog at random: cancels, 0, too much, text that is no number, or a fitting quantity.
class RandomDialogs : public platform::ui::DialogProvider {
public:
    RandomDialogs(std::mt19937& rng, TfrmTrPosicao& screen) : rng_(rng), screen_(screen) {}

    bool removing = false;   // the keypad asks about the destination's current record, else the origin's
    bool unreadable = false; // an answer was no number: its error report is expected
    QStringList errors;

    bool mensagem(const platform::ui::MensagemCall& call) override {
        EXPECT_NE(call.kind, 1) << "no question is expected: " << call.text.toStdString();
        return true;
    }
    bool tecladoNumerico(platform::ui::TecladoCall& call) override {
        const double held = (removing ? screen_.lists().destination() : screen_.lists().origin())
                                .field(u"QTPRODCOMVEN"_s)
                                .asFloat();
        switch (pick(10)) {
        case 0:
            return false;
        case 1:
            call.typed = u"0"_s;
            break;
        case 2:
            call.typed = QString::number(held + 1);
            break;
        case 3:
            call.typed = u"x"_s;
            unreadable = true;
            break;
        default:
            if (call.decimals == 1)
                call.typed = QString::number((1 + pick(std::max(1, int(held * 10)))) / 10.0);
            else
                call.typed = QString::number(1 + pick(std::max(1, int(held))));
        }
        return true;
    }
    bool criaPosOrigDest(platform::ui::SeatChoiceCall& call) override {
        if (pick(10) == 0)
            return false;
        call.destinationSeat = QString::number(1 + pick(4));
        if (call.mode == QLatin1String("1"))
            call.originSeat = QStringList({u"1"_s, u"2"_s, u"3"_s, u"9"_s})[pick(4)];
        return true;
    }
    void relFiscais() override {}
    void reportError(const QString& text) override { errors << text; }

    int pick(int n) { return int(rng_() % unsigned(n)); }

private:
    std::mt19937& rng_;
    TfrmTrPosicao& screen_;
};

// Tab, item, product, quantity, seat, group ("-" for none), seat blocked.
void seed(SalesBuilder& b) {
    b.tab(u"12"_s, u"100"_s);
    const QString items =
        u"10 000001 P1 1 1 - N|10 000002 P2 5 1 - N|10 000003 PESO 1.25 2 - N|"
        "10 000004 P3 2 1 1 N|10 000005 P4 1 2 1 N|10 000006 P5 0.5 3 - S|10 000007 P6 3 3 - S|"
        "11 000001 P2 3 1 - N|11 000002 PESO 2.5 2 - N|11 000003 P1 1 1 1 N|11 000004 P2 4 2 1 N|"
        "11 000005 P3 1 2 - N|12 000001 P1 2 2 - N|12 000002 P6 1 1 2 N|12 000003 REF 10 1 - N|"
        "12 000004 PESO 0.75 1 2 N"_s;
    for (const QString& line : items.split(u'|')) {
        const QStringList c = line.split(u' ');
        b.item(c[0], c[1], c[2], c[3].toDouble(),
               columns({{"NRLUGARMESA", c[4]},
                        {"NRSEQPRODCOM", c[5] == u"-"_s ? QVariant() : QVariant(c[5])},
                        {"IDSTLUGARMESA", c[6]}}));
    }
}

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

TEST_P(ListInvariants, NoUnitIsCreatedOrLostAndNoItemIsSplitWithinAList) {
    ScreenFixture f;
    f.writeParameters();
    seed(f.sales());
    TfrmTrPosicao& s = f.open();
    QMap<QString, double> opening;
    QMap<QString, int> ignored;
    tally(s.lists().origin(), u"NRCOMANDA"_s, opening, ignored);
    ASSERT_EQ(opening.size(), 16);

    std::mt19937 rng(GetParam());
    RandomDialogs dialogs(rng, s);
    platform::ui::ProviderScope scope(dialogs);
    QStringList history;
    for (int step = 0; step < 1000; ++step) {
        const int op = dialogs.pick(10);
        dialogs.removing = op >= 6;
        dialogs.unreadable = false;
        dialogs.errors.clear();
        platform::Dataset& list = dialogs.removing ? s.lists().destination() : s.lists().origin();
        (dialogs.removing ? destinationGrid(s) : originGrid(s))->setFocus();
        if (!list.isEmpty())
            list.setRecNo(dialogs.pick(list.recordCount()));
        const QChar key = op < 5 ? u'a' : op == 5 ? u'd' : op < 9 ? u'e' : u'r';
        history << QString(key) + (list.isEmpty() ? QString()
                                                  : u' ' + textAt(list, list.recNo(), u"NRPRODCOMVEN"_s) +
                                                        u'=' + textAt(list, list.recNo(), u"QTPRODCOMVEN"_s));
        f.type(dialogs.pick(2) ? key : key.toUpper());

        QMap<QString, double> units;
        QMap<QString, int> originRecords, destinationRecords;
        tally(s.lists().origin(), u"NRCOMANDA"_s, units, originRecords);
        tally(s.lists().destination(), u"NRCOMANDAORIG"_s, units, destinationRecords);
        QStringList broken;
        for (auto it = opening.cbegin(); it != opening.cend(); ++it) {
            if (std::abs(units.value(it.key()) - it.value()) > 1e-9)
                broken << u"%1 holds %2 units, not %3"_s.arg(it.key())
                              .arg(units.value(it.key()))
                              .arg(it.value());
            if (originRecords.value(it.key()) > 1 || destinationRecords.value(it.key()) > 1)
                broken << it.key() + u" has two records in one list"_s;
        }
        if (units.size() != opening.size())
            broken << u"an item appeared that the table never had"_s;
        for (int r = 0; r < s.lists().destination().recordCount(); ++r) {
            const QString item = textAt(s.lists().destination(), r, u"NRCOMANDAORIG"_s) + u'/' +
                                 textAt(s.lists().destination(), r, u"NRPRODCOMVEN"_s);
            if (std::abs(s.lists()
                             .destination()
                             .valueAt(r, s.lists().destination().fieldIndex(u"QTORIGINAL"_s))
                             .toDouble() -
                         opening.value(item)) > 1e-9)
                broken << item + u" carries another original quantity"_s;
        }
        if (s.lists().origin().filtered() || s.lists().destination().filtered())
            broken << u"a list was left filtered"_s;
        if (originGrid(s)->model()->rowCount() != s.lists().origin().recordCount() ||
            destinationGrid(s)->model()->rowCount() != s.lists().destination().recordCount())
            broken << u"a grid does not show its list"_s;
        if (!dialogs.errors.isEmpty() && !dialogs.unreadable)
            broken << u"error: "_s + dialogs.errors.join(u'\n');
        if (!broken.isEmpty()) {
            FAIL() << "seed " << GetParam() << ", operation " << step << ":\n"
                   << broken.join(u'\n').toStdString() << "\nlast operations:\n"
                   << history.mid(std::max(0, int(history.size()) - 8)).join(u'\n').toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ListInvariants, ::testing::Values(1u, 20261208u, 4215u));

} // namespace
