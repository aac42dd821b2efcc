#pragma once

#include <QString>

namespace Cli_Mvt04215 {

// What the lists' rules ask the operator, and the refusals they report. The screen answers through the
// dialog layer; tests answer with plain values.
class ListQuestions {
public:
    enum class Seats {
        OneItem,   // the item's origin seat is given; the destination seat is chosen
        WholeSeat, // both seats are chosen: every item of the origin seat moves
    };

    virtual ~ListQuestions() = default;

    // Which seats. True with the chosen seats written back; false when the operator cancelled.
    virtual bool chooseSeats(Seats mode, QString& originSeat, QString& destinationSeat) = 0;
    // How many. True with the typed text (the locale's format), false when the operator cancelled.
    // `decimals` for a weighed item.
    virtual bool typeQuantity(QString& typed, bool decimals) = 0;
    // The item's seat has its bill requested or being paid: nothing of it may move.
    virtual void seatBlocked(const QString& seat) = 0;
    // The typed quantity is more than the record holds (or, going back, less than one unit).
    virtual void quantityTooLarge() = 0;

protected:
    ListQuestions() = default;
    ListQuestions(const ListQuestions&) = default;
    ListQuestions& operator=(const ListQuestions&) = default;
};

} // namespace Cli_Mvt04215
