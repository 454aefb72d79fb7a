// The suite's product functions that need no database: the inventory number mask and the
// ICMS tax-situation codes with their lookup.
#include "InteracaoTeste.h"
#include "SuiteProduto.h"

#include <gtest/gtest.h>

#include <QSet>

TEST(SuiteProduto, MascaraInvTemAsCasasDecimaisPedidas)
{
    EXPECT_EQ(ConstruirMascaraInv(), "#0.00");
    EXPECT_EQ(ConstruirMascaraInv(0), "#0");
    EXPECT_EQ(ConstruirMascaraInv(6), "#0.000000");
    EXPECT_EQ(ConstruirMascaraInv(-3), "#0");
}

TEST(SuiteProduto, CSTsDoICMSAnterioresA2013)
{
    const QStringList &l = LstCSTValICMS();
    ASSERT_EQ(l.size(), 43);
    EXPECT_EQ(QSet<QString>(l.begin(), l.end()).size(), 43);
    for (const QString &c : l)
        EXPECT_EQ(c.size(), 3) << c.toStdString();
    // Origins 0 to 2 with every taxation code, and the Simples Nacional codes.
    for (const char *c : {"000", "010", "041", "051", "090", "100", "170", "200", "290", "101", "103", "201", "203",
                          "300", "400", "500", "900"})
        EXPECT_TRUE(l.contains(QLatin1String(c))) << c;
    // Origins 3 to 8 came in 2013; codes that never existed.
    for (const char *c : {"310", "341", "600", "800", "001", "042", "104", "191"})
        EXPECT_FALSE(l.contains(QLatin1String(c))) << c;
    EXPECT_EQ(LstCSTICMS(QDate(2012, 12, 31)), l);
    const QStringList desde2013 = LstCSTICMS(QDate(2013, 1, 1));
    EXPECT_EQ(desde2013.size(), 9 * 11 + 10);
    EXPECT_TRUE(desde2013.contains("310"));
    EXPECT_TRUE(desde2013.contains("890"));
}

TEST(SuiteProduto, SelecionarCstOfereceOsCodigosDaDataEFiltro)
{
    TnInteracaoTeste usuario;
    usuario.Escolher("041");
    EXPECT_EQ(SelecionarCstImposto(kImpostoICMS, QString(), QDate(2012, 6, 30)), "041");
    usuario.Escolher(QString()); // nothing chosen
    EXPECT_EQ(SelecionarCstImposto(kImpostoICMS, QString(), QDate(2012, 6, 30)), "");
    // Before 2013 the list holds no origin 3 code; from 2013 on it does.
    usuario.Escolher("310");
    EXPECT_EQ(SelecionarCstImposto(kImpostoICMS, "3", QDate(2012, 6, 30)), "");
    usuario.Escolher("310");
    EXPECT_EQ(SelecionarCstImposto(kImpostoICMS, "3", QDate(2013, 6, 30)), "310");
    // The filter keeps the codes that start with it.
    usuario.Escolher("0");
    EXPECT_EQ(SelecionarCstImposto(kImpostoICMS, "2", QDate(2012, 6, 30)), "");
    EXPECT_EQ(usuario.ListasOferecidas.size(), 5);
    // A kind without a list asks nothing.
    EXPECT_EQ(SelecionarCstImposto(99, QString(), QDate(2012, 6, 30)), "");
    EXPECT_EQ(usuario.ListasOferecidas.size(), 5);
}
