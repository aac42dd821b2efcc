// Removing: items chosen for the destination go back to the origin list.

#include "ItemLists.h"
#include "ListMatching.h"
#include "platform/Errors.h"
#include "platform/Text.h"

#include <cmath>

namespace Cli_Mvt04215 {

void ItemLists::returnToOrigin(double quantity, bool restoreSeat) {
    const QString tab = text(destination_, "NRCOMANDAORIG");
    const QString item = text(destination_, "NRPRODCOMVEN");
    const double whole = destination_.field(QStringLiteral("QTORIGINAL")).asFloat();
    if (locateInOrigin(origin_, tab, item)) {
        addQuantity(origin_, quantity, whole);
        origin_.edit();
        origin_.field(QStringLiteral("CDARVPROD")).setString(text(destination_, "CDARVPROD"));
        origin_.field(QStringLiteral("NMPRODUTO")).setString(text(destination_, "NMPRODUTO"));
        if (restoreSeat)
            origin_.field(QStringLiteral("NRLUGARMESA")).setString(text(destination_, "NRLUGARMESAORIG"));
        origin_.post();
        return;
    }
    insertOrigin();
    origin_.edit();
    origin_.field(QStringLiteral("QTPRODCOMVEN")).setFloat(quantity);
    origin_.post();
}

bool ItemLists::remove() {
    if (!destination_.active() || destination_.isEmpty())
        return false;
    const QString quantityText = text(destination_, "QTPRODCOMVEN");
    const double held = destination_.field(QStringLiteral("QTPRODCOMVEN")).asFloat();
    const QString sequence = text(destination_, "NRSEQPRODCOM");
    const QString tab = text(destination_, "NRCOMANDAORIG");
    const bool askQuantity = compareWithOne(quantityText) > 0 && sequence.isEmpty();

    return allOrNothing([&] {
        if (askQuantity) {
            QString typed;
            if (!questions_.typeQuantity(typed, false))
                throw Stopped();
            bool ok = false;
            double quantity = destination_.locale().toDouble(typed.trimmed(), &ok);
            if (!ok)
                throw platform::Error(QStringLiteral("\"%1\" não é uma quantidade válida.").arg(typed));
            if (quantity == 0)
                throw Stopped();
            if (std::abs(quantity - held) < 1e-9)
                quantity = held; // what the operator read is all of it
            if (held < quantity || quantity < 1) {
                questions_.quantityTooLarge();
                throw Stopped();
            }
            if (held > quantity) {
                addQuantity(destination_, -quantity, 0);
                returnToOrigin(quantity, true);
            } else {
                returnToOrigin(held, true);
                destination_.remove();
            }
            return; // a typed quantity never takes companions along
        }
        returnToOrigin(held, false);
        destination_.remove();
        if (!platform::EmptyString(sequence))
            returnCompanions(tab, sequence);
    });
}

// The other destination records of the same group and tab go back with the removed one.
void ItemLists::returnCompanions(const QString& tab, const QString& sequence) {
    const int tabIndex = destination_.fieldIndex(QStringLiteral("NRCOMANDAORIG"));
    const int seqIndex = destination_.fieldIndex(QStringLiteral("NRSEQPRODCOM"));
    int row = 0;
    while (row < destination_.recordCount()) {
        const platform::Record& r = destination_.recordAt(row);
        if (r[tabIndex].toString() != tab || r[seqIndex].toString() != sequence) {
            ++row;
            continue;
        }
        destination_.setRecNo(row);
        returnToOrigin(destination_.field(QStringLiteral("QTPRODCOMVEN")).asFloat(), false);
        destination_.remove(); // the record that follows takes this row
    }
}

void ItemLists::removeAll() {
    allOrNothing([&] {
        // a partial record gives its quantity back to the rest of its item still at the origin
        while (!destination_.isEmpty()) {
            destination_.first();
            returnToOrigin(destination_.field(QStringLiteral("QTPRODCOMVEN")).asFloat(), false);
            destination_.remove();
        }
    });
}

} // namespace Cli_Mvt04215
