#include "ScreenMessages.h"

namespace Cli_Mvt04215 {

QStringList screenMessageLines() {
    return {
        QStringLiteral("POSINFO|Não existem produtos para transferência."),
        QStringLiteral("NTRANS|Operação bloqueada. A mesa desejada está com a conta solicicatada "),
        QStringLiteral(
            "VALORINF|Operação bloqueada. A quantidade não pode ser maior que a de produtos na mesa ."),
        QStringLiteral("CONFIRMATION|Deseja realmente realizar a transfêrencia ?"),
        QStringLiteral("TRANSOK|Transferência realizada com sucesso."),
        QStringLiteral("TRANSOK_MESALIB|Transferência realizada com sucesso.Mesa de origem liberada."),
        QStringLiteral(
            "TRANSOK_MESA_NAOLIB|Transferência realizada com sucesso.Mesa de origem não foi liberada "
            "pois possui produtos (cancelados ou não)."),
        QStringLiteral("LIBMESAORIG|Deseja liberar a mesa de origem?"),
        QStringLiteral("TRANSF|Transferência de Produto"),
        QStringLiteral("Qtde_Deve|Quantidade deve ser informada."),
        QStringLiteral("Inf_Qtde|Informe a quantidade a ser transferida"),
        QStringLiteral(
            "OPE_BLOQ_ABER|Operação bloqueada. Para ser realizada a transferência de produtos a mesa "
            "de destino deve ser aberta."),
        QStringLiteral("Mot_Tra_Pro1|Transferir produto."),
        QStringLiteral("Mot_Mesa|Produtos tranferidos da mesa nº"),
        QStringLiteral("Mot_Para|para a mesa nº"),
        QStringLiteral("Mot_Vend|Venda nº"),
        QStringLiteral("Mot_Trans|Produto tranferido:"),
        QStringLiteral("MESA|MESA  "),
        QStringLiteral("PRONINFO|Mesa de origem não tem produtos."),
        QStringLiteral(
            "MESASOLI|Operação bloqueada. A mesa de destino esta com conta solicitada ou sendo recebida."),
        QStringLiteral("Sim|Sim"),
        QStringLiteral("Nao|Não"),
        QStringLiteral(
            "POS_MESA_SOLIC|Operação bloqueada. A posição %s da mesa está com a conta solicitada ou "
            "sendo recebida."),
    };
}

} // namespace Cli_Mvt04215
