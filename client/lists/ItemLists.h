#pragma once

#include "ListQuestions.h"
#include "platform/Dataset.h"

#include <functional>

namespace Cli_Mvt04215 {

// The screen's values that a new destination record takes. They are read at each record: the seat
// chooser is handed the tables by reference and may change them.
struct DestinationPlace {
    const QString& branch;
    const QString& store;
    const QString& table;
};

// The origin table's transferable items and the items chosen for the destination, with every rule of
// moving items between them. Nothing here reaches the database; each operation changes both lists all
// or nothing, and one that stops (cancelled, refused) leaves them as they were.
class ItemLists {
public:
    ItemLists(ListQuestions& questions, DestinationPlace place);
    ItemLists(const ItemLists&) = delete;
    ItemLists& operator=(const ItemLists&) = delete;

    platform::Dataset& origin() { return origin_; }
    platform::Dataset& destination() { return destination_; }
    // The destination seat last chosen; new records go there. Empty until the seat chooser has been used.
    const QString& destinationSeat() const { return destinationSeat_; }

    // The current origin item: one unit, less than one unit of an item sold by unit, and a group item
    // move whole at once, anything else by the quantity the operator types; the rest of a group follows.
    // False when the operator was refused or cancelled.
    bool add();
    // Every item of the origin seat the operator chooses. False when cancelled or when the seat is blocked.
    bool addSeat();
    // The current destination record back to the origin, whole or the typed quantity; the rest of its
    // group follows. False when the operator was refused or cancelled, or the list is empty.
    bool remove();
    // Every destination record back to the origin.
    void removeAll();

    // A destination record made from the current origin record, holding `quantity` at the destination
    // seat, with the whole quantity the item holds at the origin table; it becomes current. The origin
    // record is not changed.
    void insertDestination(double quantity);
    // An origin record rebuilt from the current destination record with the item's quantity at the
    // origin; it becomes current. The destination record is not changed.
    void insertOrigin();

private:
    // Ends an operation the operator cancelled or was refused.
    struct Stopped {};

    static QString text(platform::Dataset& list, const char* field);
    // Runs an operation on both lists. On any failure both lists are put back as they were and the
    // failure goes on, except a stop, which becomes false.
    bool allOrNothing(const std::function<void()>& operation);

    bool chooseSeatForItem();
    void moveCurrentOriginWhole(double quantity);
    void moveRestOfGroup(const QString& sequence, const QString& tab);
    // Gives a destination record's quantity back to its origin item: to the origin record of the same
    // item when there is one, else as a new origin record with every column the item had there.
    void returnToOrigin(double quantity, bool restoreSeat);
    void returnCompanions(const QString& tab, const QString& sequence);

    ListQuestions& questions_;
    DestinationPlace place_;
    platform::Dataset origin_{QStringLiteral("cdsProdOrig")};
    platform::Dataset destination_{QStringLiteral("cdsProdDes")};
    QString originSeat_;      // the origin seat last chosen for a whole seat
    QString destinationSeat_; // the destination seat last chosen
};

} // namespace Cli_Mvt04215
