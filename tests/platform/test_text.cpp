#include "platform/Errors.h"
#include "platform/Messages.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Ajusta, PadsToTheWidthAndKeepsNumericOrder) {
    EXPECT_EQ(Ajusta(QStringLiteral("7"), 6), QStringLiteral("000007"));
    EXPECT_EQ(Ajusta(QStringLiteral("123"), 3), QStringLiteral("123"));
    EXPECT_EQ(Ajusta(QStringLiteral("0"), 3), QStringLiteral("000"));
    EXPECT_EQ(Ajusta(QStringLiteral("0042"), 6), QStringLiteral("000042"));
    // texts of the same width order as their numbers
    EXPECT_LT(Ajusta(QStringLiteral("9"), 6), Ajusta(QStringLiteral("10"), 6));
}

TEST(Ajusta, RefusesWhatDoesNotFitOrIsNoNumber) {
    EXPECT_THROW(Ajusta(QStringLiteral("1000"), 3), Error);
    EXPECT_THROW(Ajusta(QStringLiteral("1000000"), 6), Error);
    EXPECT_THROW(Ajusta(QStringLiteral("-1"), 3), Error);
    EXPECT_THROW(Ajusta(QStringLiteral("1a"), 3), Error);
    EXPECT_THROW(Ajusta(QString(), 3), Error);
    try {
        Ajusta(QStringLiteral("1000"), 3);
    } catch (const Error& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("1000")));
    }
}

TEST(TextHelpers, EmptyStringAndIif) {
    EXPECT_TRUE(EmptyString(QString()));
    EXPECT_TRUE(EmptyString(QStringLiteral("   ")));
    EXPECT_FALSE(EmptyString(QStringLiteral(" 1 ")));
    EXPECT_EQ(iif(true, "X", QStringLiteral("A")), QStringLiteral("X"));
    EXPECT_EQ(iif(false, "X", QStringLiteral("A")), QStringLiteral("A"));
    EXPECT_EQ(iif(false, 1, 2), 2);
}

TEST(Messages, KeysWithoutAnExactEntryNeverGiveAnEmptyText) {
    TMessages msg({QStringLiteral("POSINFO|Não existem produtos para transferência."),
                   QStringLiteral("Qtde_Deve|Quantidade deve ser informada."), QStringLiteral("MESA|MESA  "),
                   QStringLiteral("EMPTY|")});
    EXPECT_EQ(msg.Msg(QStringLiteral("POSINFO")), QStringLiteral("Não existem produtos para transferência."));
    EXPECT_EQ(msg.Msg(QStringLiteral("MESA")), QStringLiteral("MESA  ")) << "trailing blanks are kept";
    EXPECT_EQ(msg.Msg(QStringLiteral("QTDE_DEVE")), QStringLiteral("Quantidade deve ser informada."));
    EXPECT_EQ(msg.Msg(QStringLiteral("DEL_VEN")), QStringLiteral("Vendas sem comanda excluídas."));
    EXPECT_EQ(msg.Msg(QStringLiteral("NO_SUCH_KEY")), QStringLiteral("NO_SUCH_KEY"));
    EXPECT_EQ(msg.Msg(QStringLiteral("EMPTY")), QStringLiteral("EMPTY"));
    // the stored form survives a round trip
    EXPECT_EQ(TMessages(msg.lines()).Msg(QStringLiteral("MESA")), QStringLiteral("MESA  "));
}
