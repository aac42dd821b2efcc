// Removing: items chosen for the destination go back to the origin list.

#include "ListMatching.h"
#include "TfrmTrPosicao.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/ui/Dialogs.h"

#include <cmath>

namespace Cli_Mvt04215 {
namespace {

QString field(platform::Dataset& ds, const char* name) {
    return ds.field(QString::fromLatin1(name)).asString();
}

} // namespace

void TfrmTrPosicao::returnToOrigin(double quantity, bool restoreSeat) {
    const QString tab = field(cdsProdDes, "NRCOMANDAORIG");
    const QString item = field(cdsProdDes, "NRPRODCOMVEN");
    const double whole = cdsProdDes.field(QStringLiteral("QTORIGINAL")).asFloat();
    if (locateInOrigin(cdsProdOrig, tab, item)) {
        addQuantity(cdsProdOrig, quantity, whole);
        cdsProdOrig.edit();
        cdsProdOrig.field(QStringLiteral("CDARVPROD")).setString(field(cdsProdDes, "CDARVPROD"));
        cdsProdOrig.field(QStringLiteral("NMPRODUTO")).setString(field(cdsProdDes, "NMPRODUTO"));
        if (restoreSeat)
            cdsProdOrig.field(QStringLiteral("NRLUGARMESA")).setString(field(cdsProdDes, "NRLUGARMESAORIG"));
        cdsProdOrig.post();
        return;
    }
    InsereProdOrig();
    cdsProdOrig.edit();
    cdsProdOrig.field(QStringLiteral("QTPRODCOMVEN")).setFloat(quantity);
    cdsProdOrig.post();
}

void TfrmTrPosicao::sbtRemoverClick(QObject* /*sender*/) {
    if (!cdsProdDes.active() || cdsProdDes.isEmpty()) {
        ControlaHabilitacao();
        throw platform::SilentAbort();
    }
    const QString quantityText = field(cdsProdDes, "QTPRODCOMVEN");
    const double held = cdsProdDes.field(QStringLiteral("QTPRODCOMVEN")).asFloat();
    const QString sequence = field(cdsProdDes, "NRSEQPRODCOM");
    const QString tab = field(cdsProdDes, "NRCOMANDAORIG");
    const bool askQuantity = compareWithOne(quantityText) > 0 && sequence.isEmpty();

    allOrNothing([&] {
        if (askQuantity) {
            QString typed;
            if (!platform::ui::TecladoNumerico(typed, msgPadrao.Msg(QStringLiteral("EXCLUSAO")),
                                               msgPadrao.Msg(QStringLiteral("Inf_Qtde")),
                                               msgPadrao.Msg(QStringLiteral("QTDE_DEVE")), 10, 0, 0, 0, 0, 0))
                throw platform::SilentAbort();
            bool ok = false;
            double quantity = cdsProdDes.locale().toDouble(typed.trimmed(), &ok);
            if (!ok)
                throw platform::Error(QStringLiteral("\"%1\" não é uma quantidade válida.").arg(typed));
            if (quantity == 0)
                throw platform::SilentAbort();
            if (std::abs(quantity - held) < 1e-9)
                quantity = held; // what the operator read is all of it
            if (held < quantity || quantity < 1) {
                showError(msgPadrao.Msg(QStringLiteral("VALORINF")));
                throw platform::SilentAbort();
            }
            if (held > quantity) {
                addQuantity(cdsProdDes, -quantity, 0);
                returnToOrigin(quantity, true);
            } else {
                returnToOrigin(held, true);
                cdsProdDes.remove();
            }
            return; // a typed quantity never takes companions along
        }
        returnToOrigin(held, false);
        cdsProdDes.remove();
        if (!platform::EmptyString(sequence))
            returnCompanions(tab, sequence);
    });
    finishRemoving();
}

// The other destination records of the same group and tab go back with the removed one.
void TfrmTrPosicao::returnCompanions(const QString& tab, const QString& sequence) {
    const int tabIndex = cdsProdDes.fieldIndex(QStringLiteral("NRCOMANDAORIG"));
    const int seqIndex = cdsProdDes.fieldIndex(QStringLiteral("NRSEQPRODCOM"));
    int row = 0;
    while (row < cdsProdDes.recordCount()) {
        const platform::Record& r = cdsProdDes.recordAt(row);
        if (r[tabIndex].toString() != tab || r[seqIndex].toString() != sequence) {
            ++row;
            continue;
        }
        cdsProdDes.setRecNo(row);
        returnToOrigin(cdsProdDes.field(QStringLiteral("QTPRODCOMVEN")).asFloat(), false);
        cdsProdDes.remove(); // the record that follows takes this row
    }
}

void TfrmTrPosicao::finishRemoving() {
    if (cdsProdDes.isEmpty()) {
        cdsProdOrig.first();
        dbgMesaOri->focusColumn(QStringLiteral("CDARVPROD"));
    }
    ControlaHabilitacao();
}

void TfrmTrPosicao::sbtRemoverTodosClick(QObject* /*sender*/) {
    try {
        allOrNothing([&] {
            // a partial record gives its quantity back to the rest of its item still at the origin
            while (!cdsProdDes.isEmpty()) {
                cdsProdDes.first();
                returnToOrigin(cdsProdDes.field(QStringLiteral("QTPRODCOMVEN")).asFloat(), false);
                cdsProdDes.remove();
            }
        });
        sbtAdicionar->setEnabled(true);
        sbtAdicionarTodos->setEnabled(true);
        sbtRemover->setEnabled(false);
        sbtRemoverTodos->setEnabled(false);
    } catch (const platform::SilentAbort&) {
        throw;
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
        throw platform::SilentAbort(); // handed on, not shown a second time
    }
}

} // namespace Cli_Mvt04215
