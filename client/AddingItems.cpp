// Adding: items go from the origin list to the destination list; nothing reaches the database here.

#include "ListMatching.h"
#include "TfrmTrPosicao.h"
#include "platform/Errors.h"
#include "platform/ui/Dialogs.h"
#include "schema/CodeValues.h"

#include <QLocale>
#include <cmath>

namespace Cli_Mvt04215 {
namespace {

QString field(platform::Dataset& ds, const char* name) {
    return ds.field(QString::fromLatin1(name)).asString();
}

} // namespace

void TfrmTrPosicao::allOrNothing(const std::function<void()>& operation) {
    const platform::DataPacket origin = cdsProdOrig.toPacket();
    const platform::DataPacket destination = cdsProdDes.toPacket();
    const int originRow = cdsProdOrig.recNo();
    const int destinationRow = cdsProdDes.recNo();
    try {
        operation();
    } catch (...) {
        // both lists exactly as before the operation
        for (auto [ds, packet, row] : {std::tuple{&cdsProdOrig, &origin, originRow},
                                       std::tuple{&cdsProdDes, &destination, destinationRow}}) {
            if (ds->state() != platform::Dataset::State::Browse && ds->active())
                ds->cancel();
            ds->clearFilter();
            ds->loadPacket(*packet);
            if (row >= 0 && row < ds->recordCount())
                ds->setRecNo(row);
        }
        throw;
    }
}

bool TfrmTrPosicao::chooseSeatForItem() {
    QString originSeat = field(cdsProdOrig, "NRLUGARMESA");
    return platform::ui::CriaPosOrigDest(QStringLiteral("0"), cdsProdOrig, cdsProdDes, originSeat,
                                         NrLugarDest, NrMesaOrig, NrMesaDest, NrPesMesaDest);
}

void TfrmTrPosicao::moveCurrentOriginWhole(double quantity) {
    const QString tab = field(cdsProdOrig, "NRCOMANDA");
    const QString item = field(cdsProdOrig, "NRPRODCOMVEN");
    if (locateInDestination(cdsProdDes, tab, item)) {
        addQuantity(cdsProdDes, quantity, cdsProdDes.field(QStringLiteral("QTORIGINAL")).asFloat());
    } else {
        InsereProdDes(quantity);
    }
    cdsProdOrig.remove();
}

void TfrmTrPosicao::sbtAdicionarClick(QObject* /*sender*/) {
    using schema::codes::SeatBlocked;
    if (field(cdsProdOrig, "IDSTLUGARMESA") == SeatBlocked) {
        showError(msgPadrao.Msg(QStringLiteral("POS_MESA_SOLIC"))
                      .replace(QStringLiteral("%s"), field(cdsProdOrig, "NRLUGARMESA")));
        throw platform::SilentAbort();
    }
    const QLocale locale = cdsProdOrig.locale();
    const double held = cdsProdOrig.field(QStringLiteral("QTPRODCOMVEN")).asFloat();
    const QString heldText = field(cdsProdOrig, "QTPRODCOMVEN");
    const QString sequence = field(cdsProdOrig, "NRSEQPRODCOM");
    const QString tab = field(cdsProdOrig, "NRCOMANDA");
    const bool byUnit = field(cdsProdOrig, "IDPESAPROD") == schema::codes::SoldByUnit;

    allOrNothing([&] {
        if (heldText == QLatin1String("1") && sequence.isEmpty()) {
            // one unit: all of it at once
            const QString item = field(cdsProdOrig, "NRPRODCOMVEN");
            if (!locateInDestination(cdsProdDes, tab, item) && !chooseSeatForItem())
                throw platform::SilentAbort();
            moveCurrentOriginWhole(held);
        } else {
            double quantity = 0;
            if ((compareWithOne(heldText) < 0 && byUnit) || !sequence.isEmpty()) {
                // less than one unit, or a group: it moves whole (the exact quantity, not its shown text,
                // so that nothing is left behind)
                quantity = held;
            } else {
                QString typed;
                if (!platform::ui::TecladoNumerico(typed, msgPadrao.Msg(QStringLiteral("EXCLUSAO")),
                                                   msgPadrao.Msg(QStringLiteral("Inf_Qtde")),
                                                   msgPadrao.Msg(QStringLiteral("QTDE_DEVE")), 10, 0,
                                                   byUnit ? 0 : 1, 0, 0, 0))
                    throw platform::SilentAbort();
                bool ok = false;
                quantity = locale.toDouble(typed.trimmed(), &ok);
                if (!ok)
                    throw platform::Error(QStringLiteral("\"%1\" não é uma quantidade válida.").arg(typed));
                if (!byUnit && quantity == 0)
                    quantity = held; // on a scale, 0 means all of it
                else if (quantity == 0)
                    throw platform::SilentAbort(); // nothing to move: no record of nothing
                if (std::abs(quantity - held) < 1e-9)
                    quantity = held; // what the operator read is all of it
            }
            if (held < quantity) {
                showError(msgPadrao.Msg(QStringLiteral("VALORINF")));
                throw platform::SilentAbort();
            }
            const QString item = field(cdsProdOrig, "NRPRODCOMVEN");
            if (held > quantity) {
                if (locateInDestination(cdsProdDes, tab, item)) {
                    addQuantity(cdsProdOrig, -quantity, 0);
                    addQuantity(cdsProdDes, quantity,
                                cdsProdDes.field(QStringLiteral("QTORIGINAL")).asFloat());
                } else {
                    if (!chooseSeatForItem())
                        throw platform::SilentAbort();
                    InsereProdDes(quantity);
                    addQuantity(cdsProdOrig, -quantity, 0);
                }
            } else {
                if (!locateInDestination(cdsProdDes, tab, item) && !chooseSeatForItem())
                    throw platform::SilentAbort();
                moveCurrentOriginWhole(held);
                if (!sequence.isEmpty())
                    moveRestOfGroup(sequence, tab);
            }
        }
    });
    finishAdding();
}

// The other items of a group follow it, to the seat last chosen.
void TfrmTrPosicao::moveRestOfGroup(const QString& sequence, const QString& tab) {
    const int seqIndex = cdsProdOrig.fieldIndex(QStringLiteral("NRSEQPRODCOM"));
    const int tabIndex = cdsProdOrig.fieldIndex(QStringLiteral("NRCOMANDA"));
    cdsProdOrig.setFilter([=](const platform::Dataset&, const platform::Record& r) {
        return r[seqIndex].toString() == sequence && r[tabIndex].toString() == tab;
    });
    while (!cdsProdOrig.isEmpty()) {
        cdsProdOrig.first();
        moveCurrentOriginWhole(cdsProdOrig.field(QStringLiteral("QTPRODCOMVEN")).asFloat());
    }
    cdsProdOrig.clearFilter();
}

void TfrmTrPosicao::finishAdding() {
    if (cdsProdOrig.isEmpty()) {
        cdsProdDes.first();
        dbgMesaDes->focusColumn(QStringLiteral("CDARVPROD"));
    }
    ControlaHabilitacao();
}

void TfrmTrPosicao::sbtAdicionarTodosClick(QObject* /*sender*/) {
    try {
        if (!platform::ui::CriaPosOrigDest(QStringLiteral("1"), cdsProdOrig, cdsProdDes, NrLugarOrig,
                                           NrLugarDest, NrMesaOrig, NrMesaDest, NrPesMesaDest))
            return;
        const int seatIndex = cdsProdOrig.fieldIndex(QStringLiteral("NRLUGARMESA"));
        for (int row = 0; row < cdsProdOrig.recordCount(); ++row) {
            const platform::Record& r = cdsProdOrig.recordAt(row);
            if (r[seatIndex].toString() != NrLugarOrig)
                continue;
            if (r[cdsProdOrig.fieldIndex(QStringLiteral("IDSTLUGARMESA"))].toString() ==
                schema::codes::SeatBlocked) {
                showError(msgPadrao.Msg(QStringLiteral("POS_MESA_SOLIC"))
                              .replace(QStringLiteral("%s"), r[seatIndex].toString()));
                return;
            }
            break;
        }
        const QString seat = NrLugarOrig;
        allOrNothing([&] {
            cdsProdOrig.setFilter([=](const platform::Dataset&, const platform::Record& r) {
                return r[seatIndex].toString() == seat;
            });
            // an item already partly in the destination list is added to its record there
            while (!cdsProdOrig.isEmpty()) {
                cdsProdOrig.first();
                moveCurrentOriginWhole(cdsProdOrig.field(QStringLiteral("QTPRODCOMVEN")).asFloat());
            }
            cdsProdOrig.clearFilter();
        });
        const bool originLeft = !cdsProdOrig.isEmpty();
        sbtAdicionar->setEnabled(originLeft);
        sbtAdicionarTodos->setEnabled(originLeft);
        sbtRemover->setEnabled(true);
        sbtRemoverTodos->setEnabled(true);
    } catch (const platform::SilentAbort&) {
        throw;
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        throw platform::SilentAbort(); // handed on, not shown a second time
    }
}

} // namespace Cli_Mvt04215
