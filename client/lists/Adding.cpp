// Adding: items go from the origin list to the destination list.

#include "ItemLists.h"
#include "ListMatching.h"
#include "platform/Errors.h"
#include "schema/CodeValues.h"

#include <QLocale>
#include <cmath>

namespace Cli_Mvt04215 {

bool ItemLists::chooseSeatForItem() {
    QString originSeat = text(origin_, "NRLUGARMESA");
    return questions_.chooseSeats(ListQuestions::Seats::OneItem, originSeat, destinationSeat_);
}

void ItemLists::moveCurrentOriginWhole(double quantity) {
    const QString tab = text(origin_, "NRCOMANDA");
    const QString item = text(origin_, "NRPRODCOMVEN");
    if (locateInDestination(destination_, tab, item)) {
        addQuantity(destination_, quantity, destination_.field(QStringLiteral("QTORIGINAL")).asFloat());
    } else {
        insertDestination(quantity);
    }
    origin_.remove();
}

bool ItemLists::add() {
    if (text(origin_, "IDSTLUGARMESA") == schema::codes::SeatBlocked) {
        questions_.seatBlocked(text(origin_, "NRLUGARMESA"));
        return false;
    }
    const QLocale locale = origin_.locale();
    const double held = origin_.field(QStringLiteral("QTPRODCOMVEN")).asFloat();
    const QString heldText = text(origin_, "QTPRODCOMVEN");
    const QString sequence = text(origin_, "NRSEQPRODCOM");
    const QString tab = text(origin_, "NRCOMANDA");
    const bool byUnit = text(origin_, "IDPESAPROD") == schema::codes::SoldByUnit;

    return allOrNothing([&] {
        if (heldText == QLatin1String("1") && sequence.isEmpty()) {
            // one unit: all of it at once
            const QString item = text(origin_, "NRPRODCOMVEN");
            if (!locateInDestination(destination_, tab, item) && !chooseSeatForItem())
                throw Stopped();
            moveCurrentOriginWhole(held);
            return;
        }
        double quantity = 0;
        if ((compareWithOne(heldText) < 0 && byUnit) || !sequence.isEmpty()) {
            // less than one unit, or a group: it moves whole (the exact quantity, not its shown text, so
            // that nothing is left behind)
            quantity = held;
        } else {
            QString typed;
            if (!questions_.typeQuantity(typed, !byUnit))
                throw Stopped();
            bool ok = false;
            quantity = locale.toDouble(typed.trimmed(), &ok);
            if (!ok)
                throw platform::Error(QStringLiteral("\"%1\" não é uma quantidade válida.").arg(typed));
            if (!byUnit && quantity == 0)
                quantity = held; // on a scale, 0 means all of it
            else if (quantity == 0)
                throw Stopped(); // nothing to move: no record of nothing
            if (std::abs(quantity - held) < 1e-9)
                quantity = held; // what the operator read is all of it
        }
        if (held < quantity) {
            questions_.quantityTooLarge();
            throw Stopped();
        }
        const QString item = text(origin_, "NRPRODCOMVEN");
        if (held > quantity) {
            if (locateInDestination(destination_, tab, item)) {
                addQuantity(origin_, -quantity, 0);
                addQuantity(destination_, quantity,
                            destination_.field(QStringLiteral("QTORIGINAL")).asFloat());
            } else {
                if (!chooseSeatForItem())
                    throw Stopped();
                insertDestination(quantity);
                addQuantity(origin_, -quantity, 0);
            }
            return;
        }
        if (!locateInDestination(destination_, tab, item) && !chooseSeatForItem())
            throw Stopped();
        moveCurrentOriginWhole(held);
        if (!sequence.isEmpty())
            moveRestOfGroup(sequence, tab);
    });
}

// The other items of a group follow it, to the seat last chosen.
void ItemLists::moveRestOfGroup(const QString& sequence, const QString& tab) {
    const int seqIndex = origin_.fieldIndex(QStringLiteral("NRSEQPRODCOM"));
    const int tabIndex = origin_.fieldIndex(QStringLiteral("NRCOMANDA"));
    origin_.setFilter([=](const platform::Dataset&, const platform::Record& r) {
        return r[seqIndex].toString() == sequence && r[tabIndex].toString() == tab;
    });
    while (!origin_.isEmpty()) {
        origin_.first();
        moveCurrentOriginWhole(origin_.field(QStringLiteral("QTPRODCOMVEN")).asFloat());
    }
    origin_.clearFilter();
}

bool ItemLists::addSeat() {
    if (!questions_.chooseSeats(ListQuestions::Seats::WholeSeat, originSeat_, destinationSeat_))
        return false;
    const int seatIndex = origin_.fieldIndex(QStringLiteral("NRLUGARMESA"));
    for (int row = 0; row < origin_.recordCount(); ++row) {
        const platform::Record& r = origin_.recordAt(row);
        if (r[seatIndex].toString() != originSeat_)
            continue;
        if (r[origin_.fieldIndex(QStringLiteral("IDSTLUGARMESA"))].toString() == schema::codes::SeatBlocked) {
            questions_.seatBlocked(r[seatIndex].toString());
            return false;
        }
        break;
    }
    const QString seat = originSeat_;
    return allOrNothing([&] {
        origin_.setFilter([=](const platform::Dataset&, const platform::Record& r) {
            return r[seatIndex].toString() == seat;
        });
        // every item becomes a record of its own at the seat just chosen, also one already partly in
        // the destination list at another seat
        while (!origin_.isEmpty()) {
            origin_.first();
            insertDestination(origin_.field(QStringLiteral("QTPRODCOMVEN")).asFloat());
            origin_.remove();
        }
        origin_.clearFilter();
    });
}

} // namespace Cli_Mvt04215
