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

namespace {

// An item list with the seat of each item, as the transfer screen holds it.
std::unique_ptr<Dataset> itemsAt(const QStringList& seats) {
    auto list = std::make_unique<Dataset>(QStringLiteral("ITEMS"));
    list->setFieldDefs({{"CDPRODUTO", FieldType::String, 6}, {"NRLUGARMESA", FieldType::String, 3}});
    list->createDataSet();
    for (const QString& seat : seats) {
        list->append();
        list->field("CDPRODUTO").setString(QStringLiteral("P1"));
        list->field("NRLUGARMESA").setString(seat);
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
        call.originTable = QStringLiteral("12");
        call.destinationTable = QStringLiteral("30");
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
    auto chooser = open("0", {"2", "2", "3"}, {}, "4", "2");
    EXPECT_FALSE(chooser->wholeSeat());
    EXPECT_EQ(child<QLabel>(chooser.get(), "title")->text(), "Mesa 12 → Mesa 30");
    EXPECT_EQ(child<QLabel>(chooser.get(), "originSeat")->text(), "2");
    EXPECT_EQ(chooser->originButton("2"), nullptr); // the origin is not chosen here
    EXPECT_EQ(chooser->destinationSeats(), QStringList({"1", "2", "3", "4"}));
    for (const QString& seat : chooser->destinationSeats()) {
        TBlendedBitBtn* b = child(chooser.get(), "seatDest_" + seat);
        ASSERT_NE(b, nullptr) << seat.toStdString();
        EXPECT_EQ(b, chooser->destinationButton(seat));
        EXPECT_TRUE(b->isCheckable());
        EXPECT_FALSE(b->isChecked());
        EXPECT_GE(b->height(), 56);
    }
    EXPECT_FALSE(chooser->confirmButton()->isEnabled()); // nothing chosen yet
    key(chooser.get(), Qt::Key_Return);
    EXPECT_TRUE(chooser->isVisible());

    click(chooser->destinationButton("3"));
    EXPECT_EQ(chooser->destinationSeat(), "3");
    EXPECT_TRUE(chooser->destinationButton("3")->isChecked());
    click(chooser->destinationButton("1"));
    EXPECT_FALSE(chooser->destinationButton("3")->isChecked());
    EXPECT_TRUE(chooser->confirmButton()->isEnabled());
    SeatChoiceCall out = call;
    out.originSeat = QStringLiteral("kept");
    chooser->writeTo(out);
    EXPECT_EQ(out.destinationSeat, "1");
    EXPECT_EQ(out.originSeat, "kept"); // one item: its origin seat is the screen's
}

TEST_F(SeatChooserTest, DestinationSeatsCoverThePeopleAndTheSeatsInUse) {
    EXPECT_EQ(open("0", {"1"}, {"5", "1", "5"}, "2")->destinationSeats(), QStringList({"1", "2", "5"}));
    EXPECT_EQ(open("0", {"1"}, {}, "")->destinationSeats(), QStringList({"1"}));
    EXPECT_EQ(open("0", {"1"}, {}, "0")->destinationSeats(), QStringList({"1"}));
    EXPECT_EQ(open("0", {"1"}, {}, " 3 ")->destinationSeats(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(open("0", {"1"}, {"12", "", "2"}, "x")->destinationSeats(), QStringList({"1", "2", "12"}));
}

TEST_F(SeatChooserTest, PlusAddsTheNextSeatAndChoosesIt) {
    auto chooser = open("0", {"1"}, {"5"}, "2");
    EXPECT_EQ(chooser->addSeatButton(), child(chooser.get(), "addSeat"));
    click(chooser->addSeatButton());
    EXPECT_EQ(chooser->destinationSeats(), QStringList({"1", "2", "5", "6"}));
    ASSERT_NE(child(chooser.get(), "seatDest_6"), nullptr);
    EXPECT_TRUE(chooser->destinationButton("6")->isChecked());
    EXPECT_EQ(chooser->destinationSeat(), "6");
    key(chooser.get(), Qt::Key_Plus);
    EXPECT_EQ(chooser->destinationSeat(), "7");
    EXPECT_FALSE(chooser->destinationButton("6")->isChecked());
    EXPECT_EQ(chooser->destinationSeats().size(), 5);
}

TEST_F(SeatChooserTest, NewSeatsKeepTheZeroPaddingOfTheOriginData) {
    auto padded = open("1", {"03", "01"}, {}, "3");
    EXPECT_EQ(padded->destinationSeats(), QStringList({"01", "02", "03"}));
    EXPECT_EQ(padded->addSeat(), "04");
    EXPECT_NE(child(padded.get(), "seatDest_04"), nullptr);

    auto plain = open("1", {"3", "10"}, {}, "2");
    EXPECT_EQ(plain->destinationSeats(), QStringList({"1", "2"}));
    EXPECT_EQ(plain->addSeat(), "3");

    // One item: its own seat tells the format when the list has no seat.
    EXPECT_EQ(open("0", {""}, {}, "2", "01")->destinationSeats(), QStringList({"01", "02"}));
    // Without any origin seat the destination's seats tell it; a seat in use keeps its text.
    EXPECT_EQ(open("0", {}, {"02"}, "3")->destinationSeats(), QStringList({"01", "02", "03"}));
    EXPECT_EQ(open("0", {"01"}, {"2"}, "3")->destinationSeats(), QStringList({"01", "2", "03"}));
}

TEST_F(SeatChooserTest, AWholeSeatIsChosenAmongTheOriginSeatsInUse) {
    auto chooser = open("1", {"10", "2", "", "2", "1"}, {}, "2");
    EXPECT_TRUE(chooser->wholeSeat());
    EXPECT_EQ(chooser->originSeats(), QStringList({"1", "2", "10"}));
    EXPECT_EQ(SeatChooser::seatsOf(origin.get()), QStringList({"1", "2", "10"}));
    for (const QString& seat : chooser->originSeats())
        ASSERT_NE(child(chooser.get(), "seatOrig_" + seat), nullptr) << seat.toStdString();
    EXPECT_EQ(chooser->originSeat(), "");
    EXPECT_TRUE(chooser->originActive());

    click(chooser->destinationButton("2"));
    EXPECT_FALSE(chooser->confirmButton()->isEnabled()); // the origin seat is still missing
    key(chooser.get(), Qt::Key_Return);
    EXPECT_TRUE(chooser->isVisible());
    click(chooser->originButton("10"));
    EXPECT_EQ(chooser->originSeat(), "10");
    EXPECT_TRUE(chooser->originButton("10")->isChecked());
    EXPECT_TRUE(chooser->confirmButton()->isEnabled());
    SeatChoiceCall out;
    chooser->writeTo(out);
    EXPECT_EQ(out.originSeat, "10");
    EXPECT_EQ(out.destinationSeat, "2");
    key(chooser.get(), Qt::Key_Return);
    EXPECT_EQ(chooser->result(), QDialog::Accepted);
}

TEST_F(SeatChooserTest, SeatsAreSortedAndReadWhereTheListHasThem) {
    EXPECT_EQ(SeatChooser::seatsOf(itemsAt({"B", "10", "9", "A", "09"}).get()),
              QStringList({"09", "9", "10", "A", "B"}));
    EXPECT_TRUE(SeatChooser::seatsOf(nullptr).isEmpty());
    Dataset noSeats;
    noSeats.setFieldDefs({{"CDPRODUTO", FieldType::String, 6}});
    noSeats.createDataSet();
    noSeats.append();
    noSeats.field("CDPRODUTO").setString("P");
    noSeats.post();
    EXPECT_TRUE(SeatChooser::seatsOf(&noSeats).isEmpty());
    // Only the records the list shows count.
    auto list = itemsAt({"1", "2", "3"});
    list->setFilter(
        [](const Dataset& ds, const Record& r) { return r.at(ds.fieldIndex("NRLUGARMESA")) != "2"; });
    EXPECT_EQ(SeatChooser::seatsOf(list.get()), QStringList({"1", "3"}));
}

TEST_F(SeatChooserTest, TheLastChosenSeatsArePreselected) {
    auto chooser = open("1", {"1", "2"}, {}, "3", "2", "3");
    EXPECT_EQ(chooser->originSeat(), "2");
    EXPECT_EQ(chooser->destinationSeat(), "3");
    EXPECT_TRUE(chooser->originButton("2")->isChecked());
    EXPECT_TRUE(chooser->destinationButton("3")->isChecked());
    EXPECT_TRUE(chooser->confirmButton()->isEnabled());
    EXPECT_FALSE(chooser->originActive()); // the origin is chosen: the keyboard starts on the destination

    auto absent = open("1", {"1", "2"}, {}, "3", "7", "9");
    EXPECT_EQ(absent->originSeat(), "");
    EXPECT_EQ(absent->destinationSeat(), "");
    EXPECT_FALSE(absent->confirmButton()->isEnabled());

    // The same seat number in the other format is the same seat.
    EXPECT_EQ(open("0", {"01"}, {}, "3", "01", "2")->destinationSeat(), "02");
    // The only origin seat is the one to move.
    EXPECT_EQ(open("1", {"4", "4"}, {}, "3")->originSeat(), "4");
}

TEST_F(SeatChooserTest, TheKeyboardPicksSeats) {
    auto chooser = open("1", {"1", "3"}, {}, "12");
    EXPECT_TRUE(chooser->originActive());
    key(chooser.get(), Qt::Key_3);
    EXPECT_EQ(chooser->originSeat(), "3");
    key(chooser.get(), Qt::Key_Tab);
    EXPECT_FALSE(chooser->originActive());
    key(chooser.get(), Qt::Key_1);
    key(chooser.get(), Qt::Key_2); // typed together: seat 12
    EXPECT_EQ(chooser->destinationSeat(), "12");
    key(chooser.get(), Qt::Key_5); // there is no seat 125: seat 5
    EXPECT_EQ(chooser->destinationSeat(), "5");
    key(chooser.get(), Qt::Key_Right);
    EXPECT_EQ(chooser->destinationSeat(), "6");
    key(chooser.get(), Qt::Key_Down);
    EXPECT_EQ(chooser->destinationSeat(), "12");
    key(chooser.get(), Qt::Key_Down); // stays on the last seat
    EXPECT_EQ(chooser->destinationSeat(), "12");
    key(chooser.get(), Qt::Key_Up);
    key(chooser.get(), Qt::Key_Left);
    EXPECT_EQ(chooser->destinationSeat(), "5");
    EXPECT_TRUE(chooser->destinationButton("5")->isChecked());
    key(chooser.get(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(chooser->originActive());
    key(chooser.get(), Qt::Key_Left);
    EXPECT_EQ(chooser->originSeat(), "1");
    EXPECT_EQ(chooser->destinationSeat(), "5");
    key(chooser.get(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(chooser->result(), QDialog::Accepted);

    // In one-item mode Tab has no origin to go to.
    auto single = open("0", {"1"}, {}, "2", "1");
    key(single.get(), Qt::Key_Tab);
    EXPECT_FALSE(single->originActive());
    key(single.get(), Qt::Key_2);
    EXPECT_EQ(single->destinationSeat(), "2");
}

TEST_F(SeatChooserTest, TheProviderWritesTheChoiceBackOrCancels) {
    QtDialogProvider provider;
    auto chooseSeats = [](QDialog* d) {
        click(child(d, "seatOrig_2"));
        click(child(d, "seatDest_3"));
        key(d, Qt::Key_Return);
    };
    open("1", {"1", "2"}, {"3"}, "1")->close();
    whenModal(chooseSeats);
    ASSERT_TRUE(provider.criaPosOrigDest(call));
    EXPECT_EQ(call.originSeat, "2");
    EXPECT_EQ(call.destinationSeat, "3");

    whenModal([](QDialog* d) {
        click(child(d, "seatDest_1"));
        key(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(provider.criaPosOrigDest(call));
    EXPECT_EQ(call.originSeat, "2");
    EXPECT_EQ(call.destinationSeat, "3");

    whenModal([](QDialog* d) {
        click(child(d, "seatDest_1"));
        click(child(d, "cancel"));
    });
    EXPECT_FALSE(provider.criaPosOrigDest(call));
    EXPECT_EQ(call.destinationSeat, "3");

    // Through the shared operation, which hands the choice back to the screen's variables.
    ProviderScope scope(provider);
    QString originSeat = QStringLiteral("1");
    QString destinationSeat;
    QString originTable = QStringLiteral("12");
    QString destinationTable = QStringLiteral("30");
    QString people = QStringLiteral("2");
    whenModal([](QDialog* d) {
        key(d, Qt::Key_2);
        click(child(d, "confirm"));
    });
    ASSERT_TRUE(CriaPosOrigDest("0", *origin, *destination, originSeat, destinationSeat, originTable,
                                destinationTable, people));
    EXPECT_EQ(originSeat, "1");
    EXPECT_EQ(destinationSeat, "2");
}

} // namespace
