#pragma once

#include "platform/Errors.h"

#include <QString>

namespace Srv_Mvt04215 {

// The transfer refused a request; the text tells the operator why. Nothing of the request remains.
class TransferRefused : public platform::Error {
    using Error::Error;
};

namespace transferText {

inline QString failed() {
    return QStringLiteral("Não foi possível realizar a transferência. Tente realizar a operação novamente.");
}

inline QString originChanged(const QString& tab, const QString& item) {
    return QStringLiteral("A mesa de origem foi alterada em outro terminal (item %1 da comanda %2). "
                          "Nada foi transferido: feche e abra a transferência novamente.")
        .arg(item, tab);
}

inline QString destinationNotOpen(const QString& tab, const QString& sale) {
    return QStringLiteral("A comanda de destino %1 não pertence a uma venda aberta (venda %2). "
                          "Nada foi transferido: abra a mesa de destino e tente novamente.")
        .arg(tab.isEmpty() ? QStringLiteral("(vazia)") : tab,
             sale.isEmpty() ? QStringLiteral("(vazia)") : sale);
}

inline QString duplicateItem(const QString& tab, const QString& item) {
    return QStringLiteral("Solicitação de transferência inválida: o item %1 da comanda %2 aparece mais de "
                          "uma vez. Nada foi transferido.")
        .arg(item, tab);
}

inline QString emptyRequest() {
    return QStringLiteral("A solicitação de transferência não tem itens.");
}

} // namespace transferText
} // namespace Srv_Mvt04215
