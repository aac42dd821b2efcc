// The seat chooser: the seats offered, choosing by touch and keyboard, the provider.

#include "DialogTesting.h"

#include "platform/Dataset.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/QtDialogProvider.h"
#include "platform/ui/SeatChooser.h"

#include <QLabel>
#include <memory>

using namespace platform;
using namespace platform::ui;
using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// An item list with the seat of each item, as the transfer screen holds it.
std::unique_ptr<Dataset> itemsAt(const QStringList& seats) {
    auto list = std::make_unique<Dataset>(u"ITEMS"_s);
    list->setFieldDefs({{u"CDPRODUTO"_s, FieldType::String, 6}, {u"NRLUGARMESA"_s, FieldType::String, 3}});
    list->createDataSet();
    for (const QString& seat : seats) {
        list->append();
        list->field(u"CDPRODUTO"_s).setString(u"P1"_s);
        list->field(u"NRLUGARMESA"_s).setString(seat);
        list->post();
    }
    return list;
}

class SeatChooserTest : public ::testing::Test {
protected:
    std::unique_ptr<SeatChooser> open(const QString& mode, const QStringList& originSeats,
                                      const QStringList& destinationSeats, const QString& people,
                                      const QString& originSeat = {}, const QString& destinationSeat = {}) {
        origin = itemsAt(originSeats);
        destination = itemsAt(destinationSeats);
        call = {};
        call.mode = mode;
        call.origin = origin.get();
        call.destination = destination.get();
        call.originSeat = originSeat;
        call.destinationSeat = destinationSeat;
        call.originTable = u"12"_s;
        call.destinationTable = u"30"_s;
        call.destinationPeople = people;
        auto chooser = std::make_unique<SeatChooser>(call, nullptr);
        chooser->show();
        return chooser;
    }

    std::unique_ptr<Dataset> origin;
    std::unique_ptr<Dataset> destination;
    SeatChoiceCall call;
};

TEST_F(SeatChooserTest, OneItemShowsItsOriginSeatAndOffersASeatPerPerson) {
    auto chooser = open(u"0"_s, {u"2"_s, u"2"_s, u"3"_s}, {}, u"4"_s, u"2"_s);
    EXPECT_FALSE(chooser->wholeSeat());
    EXPECT_EQ(child<QLabel>(chooser.get(), u"title"_s)->text(), u"Mesa 12 → Mesa 30"_s);
    EXPECT_EQ(child<QLabel>(chooser.get(), u"originSeat"_s)->text(), u"2"_s);
    EXPECT_EQ(chooser->originButton(u"2"_s), nullptr); // the origin is not chosen here
    EXPECT_EQ(chooser->destinationSeats(), QStringList({u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    for (const QString& seat : chooser->destinationSeats()) {
        TBlendedBitBtn* b = child(chooser.get(), u"seatDest_"_s + seat);
        ASSERT_NE(b, nullptr) << seat.toStdString();
        EXPECT_EQ(b, chooser->destinationButton(seat));
        EXPECT_TRUE(b->isCheckable());
        EXPECT_FALSE(b->isChecked());
        EXPECT_GE(b->height(), 56);
    }
    EXPECT_FALSE(chooser->confirmButton()->isEnabled()); // nothing chosen yet
    key(chooser.get(), Qt::Key_Return);
    EXPECT_TRUE(chooser->isVisible());

    click(chooser->destinationButton(u"3"_s));
    EXPECT_EQ(chooser->destinationSeat(), u"3"_s);
    EXPECT_TRUE(chooser->destinationButton(u"3"_s)->isChecked());
    click(chooser->destinationButton(u"1"_s));
    EXPECT_FALSE(chooser->destinationButton(u"3"_s)->isChecked());
    EXPECT_TRUE(chooser->confirmButton()->isEnabled());
    SeatChoiceCall out = call;
    out.originSeat = u"kept"_s;
    chooser->writeTo(out);
    EXPECT_EQ(out.destinationSeat, u"1"_s);
    EXPECT_EQ(out.originSeat, u"kept"_s); // one item: its origin seat is the screen's
}

TEST_F(SeatChooserTest, DestinationSeatsCoverThePeopleAndTheSeatsInUse) {
    EXPECT_EQ(open(u"0"_s, {u"1"_s}, {u"5"_s, u"1"_s, u"5"_s}, u"2"_s)->destinationSeats(),
              QStringList({u"1"_s, u"2"_s, u"5"_s}));
    EXPECT_EQ(open(u"0"_s, {u"1"_s}, {}, u""_s)->destinationSeats(), QStringList({u"1"_s}));
    EXPECT_EQ(open(u"0"_s, {u"1"_s}, {}, u"0"_s)->destinationSeats(), QStringList({u"1"_s}));
    EXPECT_EQ(open(u"0"_s, {u"1"_s}, {}, u" 3 "_s)->destinationSeats(),
              QStringList({u"1"_s, u"2"_s, u"3"_s}));
    EXPECT_EQ(open(u"0"_s, {u"1"_s}, {u"12"_s, u""_s, u"2"_s}, u"x"_s)->destinationSeats(),
              QStringList({u"1"_s, u"2"_s, u"12"_s}));
}

TEST_F(SeatChooserTest, PlusAddsTheNextSeatAndChoosesIt) {
    auto chooser = open(u"0"_s, {u"1"_s}, {u"5"_s}, u"2"_s);
    EXPECT_EQ(chooser->addSeatButton(), child(chooser.get(), u"addSeat"_s));
    click(chooser->addSeatButton());
    EXPECT_EQ(chooser->destinationSeats(), QStringList({u"1"_s, u"2"_s, u"5"_s, u"6"_s}));
    ASSERT_NE(child(chooser.get(), u"seatDest_6"_s), nullptr);
    EXPECT_TRUE(chooser->destinationButton(u"6"_s)->isChecked());
    EXPECT_EQ(chooser->destinationSeat(), u"6"_s);
    key(chooser.get(), Qt::Key_Plus);
    EXPECT_EQ(chooser->destinationSeat(), u"7"_s);
    EXPECT_FALSE(chooser->destinationButton(u"6"_s)->isChecked());
    EXPECT_EQ(chooser->destinationSeats().size(), 5);
}

TEST_F(SeatChooserTest, NewSeatsKeepTheZeroPaddingOfTheOriginData) {
    auto padded = open(u"1"_s, {u"03"_s, u"01"_s}, {}, u"3"_s);
    EXPECT_EQ(padded->destinationSeats(), QStringList({u"01"_s, u"02"_s, u"03"_s}));
    EXPECT_EQ(padded->addSeat(), u"04"_s);
    EXPECT_NE(child(padded.get(), u"seatDest_04"_s), nullptr);

    auto plain = open(u"1"_s, {u"3"_s, u"10"_s}, {}, u"2"_s);
    EXPECT_EQ(plain->destinationSeats(), QStringList({u"1"_s, u"2"_s}));
    EXPECT_EQ(plain->addSeat(), u"3"_s);

    // One item: its own seat tells the format when the list has no seat.
    EXPECT_EQ(open(u"0"_s, {u""_s}, {}, u"2"_s, u"01"_s)->destinationSeats(),
              QStringList({u"01"_s, u"02"_s}));
    // Without any origin seat the destination's seats tell it; a seat in use keeps its text.
    EXPECT_EQ(open(u"0"_s, {}, {u"02"_s}, u"3"_s)->destinationSeats(),
              QStringList({u"01"_s, u"02"_s, u"03"_s}));
    EXPECT_EQ(open(u"0"_s, {u"01"_s}, {u"2"_s}, u"3"_s)->destinationSeats(),
              QStringList({u"01"_s, u"2"_s, u"03"_s}));
}

TEST_F(SeatChooserTest, AWholeSeatIsChosenAmongTheOriginSeatsInUse) {
    auto chooser = open(u"1"_s, {u"10"_s, u"2"_s, u""_s, u"2"_s, u"1"_s}, {}, u"2"_s);
    EXPECT_TRUE(chooser->wholeSeat());
    EXPECT_EQ(chooser->originSeats(), QStringList({u"1"_s, u"2"_s, u"10"_s}));
    EXPECT_EQ(SeatChooser::seatsOf(origin.get()), QStringList({u"1"_s, u"2"_s, u"10"_s}));
    for (const QString& seat : chooser->originSeats())
        ASSERT_NE(child(chooser.get(), u"seatOrig_"_s + seat), nullptr) << seat.toStdString();
    EXPECT_EQ(chooser->originSeat(), u""_s);
    EXPECT_TRUE(chooser->originActive());

    click(chooser->destinationButton(u"2"_s));
    EXPECT_FALSE(chooser->confirmButton()->isEnabled()); // the origin seat is still missing
    key(chooser.get(), Qt::Key_Return);
    EXPECT_TRUE(chooser->isVisible());
    click(chooser->originButton(u"10"_s));
    EXPECT_EQ(chooser->originSeat(), u"10"_s);
    EXPECT_TRUE(chooser->originButton(u"10"_s)->isChecked());
    EXPECT_TRUE(chooser->confirmButton()->isEnabled());
    SeatChoiceCall out;
    chooser->writeTo(out);
    EXPECT_EQ(out.originSeat, u"10"_s);
    EXPECT_EQ(out.destinationSeat, u"2"_s);
    key(chooser.get(), Qt::Key_Return);
    EXPECT_EQ(chooser->result(), QDialog::Accepted);
}

TEST_F(SeatChooserTest, SeatsAreSortedAndReadWhereTheListHasThem) {
    EXPECT_EQ(SeatChooser::seatsOf(itemsAt({u"B"_s, u"10"_s, u"9"_s, u"A"_s, u"09"_s}).get()),
              QStringList({u"09"_s, u"9"_s, u"10"_s, u"A"_s, u"B"_s}));
    EXPECT_TRUE(SeatChooser::seatsOf(nullptr).isEmpty());
    Dataset noSeats;
    noSeats.setFieldDefs({{u"CDPRODUTO"_s, FieldType::String, 6}});
    noSeats.createDataSet();
    noSeats.append();
    noSeats.field(u"CDPRODUTO"_s).setString(u"P"_s);
    noSeats.post();
    EXPECT_TRUE(SeatChooser::seatsOf(&noSeats).isEmpty());
    // Only the records the list shows count.
    auto list = itemsAt({u"1"_s, u"2"_s, u"3"_s});
    list->setFilter(
        [](const Dataset& ds, const Record& r) { return r.at(ds.fieldIndex(u"NRLUGARMESA"_s)) != u"2"_s; });
    EXPECT_EQ(SeatChooser::seatsOf(list.get()), QStringList({u"1"_s, u"3"_s}));
}

TEST_F(SeatChooserTest, TheLastChosenSeatsArePreselected) {
    auto chooser = open(u"1"_s, {u"1"_s, u"2"_s}, {}, u"3"_s, u"2"_s, u"3"_s);
    EXPECT_EQ(chooser->originSeat(), u"2"_s);
    EXPECT_EQ(chooser->destinationSeat(), u"3"_s);
    EXPECT_TRUE(chooser->originButton(u"2"_s)->isChecked());
    EXPECT_TRUE(chooser->destinationButton(u"3"_s)->isChecked());
    EXPECT_TRUE(chooser->confirmButton()->isEnabled());
    EXPECT_FALSE(chooser->originActive()); // the origin is chosen: the keyboard starts on the destination

    auto absent = open(u"1"_s, {u"1"_s, u"2"_s}, {}, u"3"_s, u"7"_s, u"9"_s);
    EXPECT_EQ(absent->originSeat(), u""_s);
    EXPECT_EQ(absent->destinationSeat(), u""_s);
    EXPECT_FALSE(absent->confirmButton()->isEnabled());

    // The same seat number in the other format is the same seat.
    EXPECT_EQ(open(u"0"_s, {u"01"_s}, {}, u"3"_s, u"01"_s, u"2"_s)->destinationSeat(), u"02"_s);
    // The only origin seat is the one to move.
    EXPECT_EQ(open(u"1"_s, {u"4"_s, u"4"_s}, {}, u"3"_s)->originSeat(), u"4"_s);
}

TEST_F(SeatChooserTest, TheKeyboardPicksSeats) {
    auto chooser = open(u"1"_s, {u"1"_s, u"3"_s}, {}, u"12"_s);
    EXPECT_TRUE(chooser->originActive());
    key(chooser.get(), Qt::Key_3);
    EXPECT_EQ(chooser->originSeat(), u"3"_s);
    key(chooser.get(), Qt::Key_Tab);
    EXPECT_FALSE(chooser->originActive());
    key(chooser.get(), Qt::Key_1);
    key(chooser.get(), Qt::Key_2); // typed together: seat 12
    EXPECT_EQ(chooser->destinationSeat(), u"12"_s);
    key(chooser.get(), Qt::Key_5); // there is no seat 125: seat 5
    EXPECT_EQ(chooser->destinationSeat(), u"5"_s);
    key(chooser.get(), Qt::Key_Right);
    EXPECT_EQ(chooser->destinationSeat(), u"6"_s);
    key(chooser.get(), Qt::Key_Down);
    EXPECT_EQ(chooser->destinationSeat(), u"12"_s);
    key(chooser.get(), Qt::Key_Down); // stays on the last seat
    EXPECT_EQ(chooser->destinationSeat(), u"12"_s);
    key(chooser.get(), Qt::Key_Up);
    key(chooser.get(), Qt::Key_Left);
    EXPECT_EQ(chooser->destinationSeat(), u"5"_s);
    EXPECT_TRUE(chooser->destinationButton(u"5"_s)->isChecked());
    key(chooser.get(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(chooser->originActive());
    key(chooser.get(), Qt::Key_Left);
    EXPECT_EQ(chooser->originSeat(), u"1"_s);
    EXPECT_EQ(chooser->destinationSeat(), u"5"_s);
    key(chooser.get(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(chooser->result(), QDialog::Accepted);

    // In one-item mode Tab has no origin to go to.
    auto single = open(u"0"_s, {u"1"_s}, {}, u"2"_s, u"1"_s);
    key(single.get(), Qt::Key_Tab);
    EXPECT_FALSE(single->originActive());
    key(single.get(), Qt::Key_2);
    EXPECT_EQ(single->destinationSeat(), u"2"_s);
}

TEST_F(SeatChooserTest, TheProviderWritesTheChoiceBackOrCancels) {
    QtDialogProvider provider;
    auto chooseSeats = [](QDialog* d) {
        click(child(d, u"seatOrig_2"_s));
        click(child(d, u"seatDest_3"_s));
        key(d, Qt::Key_Return);
    };
    open(u"1"_s, {u"1"_s, u"2"_s}, {u"3"_s}, u"1"_s)->close();
    whenModal(chooseSeats);
    ASSERT_TRUE(provider.criaPosOrigDest(call));
    EXPECT_EQ(call.originSeat, u"2"_s);
    EXPECT_EQ(call.destinationSeat, u"3"_s);

    whenModal([](QDialog* d) {
        click(child(d, u"seatDest_1"_s));
        key(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(provider.criaPosOrigDest(call));
    EXPECT_EQ(call.originSeat, u"2"_s);
    EXPECT_EQ(call.destinationSeat, u"3"_s);

    whenModal([](QDialog* d) {
        click(child(d, u"seatDest_1"_s));
        click(child(d, u"cancel"_s));
    });
    EXPECT_FALSE(provider.criaPosOrigDest(call));
    EXPECT_EQ(call.destinationSeat, u"3"_s);

    // Through the shared operation, which hands the choice back to the screen's variables.
    ProviderScope scope(provider);
    QString originSeat = u"1"_s;
    QString destinationSeat;
    QString originTable = u"12"_s;
    QString destinationTable = u"30"_s;
    QString people = u"2"_s;
    whenModal([](QDialog* d) {
        key(d, Qt::Key_2);
        click(child(d, u"confirm"_s));
    });
    ASSERT_TRUE(CriaPosOrigDest(u"0"_s, *origin, *destination, originSeat, destinationSeat, originTable,
                                destinationTable, people));
    EXPECT_EQ(originSeat, u"1"_s);
    EXPECT_EQ(destinationSeat, u"2"_s);
}

} // namespace
