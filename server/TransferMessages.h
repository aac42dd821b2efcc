#pragma once

#include "platform/Dataset.h"
#include "platform/Errors.h"

#include <QLocale>

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

// A value the record carries from its origin item is not what the item holds now.
inline QString originChanged(const QString& tab, const QString& item, const QString& column) {
    return QStringLiteral("A mesa de origem foi alterada em outro terminal (item %1 da comanda %2: %3 não "
                          "confere). Nada foi transferido: feche e abra a transferência novamente.")
        .arg(item, tab, column);
}

// Numbers as the screen writes them: the pt_BR decimal comma, no group separator, no trailing zeros.
inline QString quantityText(double value) {
    return platform::Dataset::floatText(value, QLocale(QLocale::Portuguese, QLocale::Brazil));
}

inline QString quantityOutOfRange(const QString& tab, const QString& item, double moved, double original) {
    return QStringLiteral("Não foi possível realizar a transferência: a quantidade %1 do item %2 da comanda "
                          "%3 deve ser de %4 até %5. Tente realizar a operação novamente.")
        .arg(quantityText(moved), item, tab, quantityText(0.001), quantityText(original));
}

inline QString unreadableValue(const QString& tab, const QString& item, const QString& column) {
    return QStringLiteral("Solicitação de transferência inválida: o item %1 da comanda %2 tem em %3 um valor "
                          "ilegível. Nada foi transferido.")
        .arg(item, tab, column);
}

inline QString otherDestination(const QString& tab, const QString& item, const QString& column) {
    return QStringLiteral("Solicitação de transferência inválida: o item %1 da comanda %2 indica em %3 outro "
                          "destino que o primeiro item. Nada foi transferido.")
        .arg(item, tab, column);
}

inline QString notTheSalesTable(const QString& tab, const QString& item, const QString& table,
                                const QString& store, const QString& sale) {
    return QStringLiteral("Solicitação de transferência inválida: o item %1 da comanda %2 indica a mesa de "
                          "destino %3 da loja %4, que não é a mesa da venda %5. Nada foi transferido.")
        .arg(item, tab, table, store, sale);
}

inline QString notOnOriginTable(const QString& tab, const QString& item, const QString& table,
                                const QString& actual) {
    return QStringLiteral(
               "Solicitação de transferência inválida: o item %1 da comanda %2 não está na mesa de "
               "origem %3 (está na mesa %4). Nada foi transferido.")
        .arg(item, tab, table, actual.isEmpty() ? QStringLiteral("(vazia)") : actual);
}

inline QString destinationBillRequested(const QString& table) {
    return QStringLiteral("A mesa de destino %1 está com a conta solicitada ou em recebimento. Nada foi "
                          "transferido.")
        .arg(table);
}

inline QString destinationNotOpen(const QString& tab, const QString& sale) {
    return QStringLiteral("A comanda de destino %1 não pertence a uma venda aberta (venda %2). "
                          "Nada foi transferido: abra a mesa de destino e tente novamente.")
        .arg(tab.isEmpty() ? QStringLiteral("(vazia)") : tab,
             sale.isEmpty() ? QStringLiteral("(vazia)") : sale);
}

inline QString emptyRequest() {
    return QStringLiteral("A solicitação de transferência não tem itens.");
}

} // namespace transferText
} // namespace Srv_Mvt04215
