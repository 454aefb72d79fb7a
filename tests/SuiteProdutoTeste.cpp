// The suite's product functions that need no database: the inventory number mask and the
// ICMS tax-situation codes with their lookup, and the product-group chart's mask and
// classification rules.
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

TEST(PlanoContas, MascarasValidasEInvalidas)
{
    for (const char *m : {"9", "9.99.999", "#.##.###", "0.00", "9.0#9", "99999999999999999999", "9.9.9.9.9.9.9.9.9.99"})
        EXPECT_TRUE(ValidarMascaraPlanoContas(QString::fromLatin1(m))) << m;
    // 20 characters are accepted, 21 are not, whatever the form.
    EXPECT_EQ(QString("9.9.9.9.9.9.9.9.9.99").size(), 20);
    EXPECT_FALSE(ValidarMascaraPlanoContas(QString(21, u'9')));
    EXPECT_FALSE(ValidarMascaraPlanoContas("9.9.9.9.9.9.9.9.9.999"));
    for (const char *m : {"", ".", "9..99", ".9.99", "9.99.", "9. 99", " 9.99", "9.99 ", "9.A9", "a.bb", "9,99",
                          "9-99", "9.99.x", "+9"})
        EXPECT_FALSE(ValidarMascaraPlanoContas(QString::fromLatin1(m))) << m;
}

TEST(PlanoContas, NivelAcima)
{
    EXPECT_EQ(RetirarUltimoNivelClassificacao("1.01.001"), "1.01");
    EXPECT_EQ(RetirarUltimoNivelClassificacao("1.01"), "1");
    EXPECT_EQ(RetirarUltimoNivelClassificacao("1"), "");
    EXPECT_EQ(RetirarUltimoNivelClassificacao(""), "");
    EXPECT_EQ(RetirarUltimoNivelClassificacao("1."), "1");
    EXPECT_EQ(RetirarUltimoNivelClassificacao("."), "");
}

TEST(PlanoContas, FormatarPorNivel)
{
    bool cabe = false;
    // Each level takes the digits of the mask's level at its depth.
    EXPECT_EQ(FormatarClassificacao("9.999.9999", "1.01.001", &cabe), "1.001.0001");
    EXPECT_TRUE(cabe);
    EXPECT_EQ(FormatarClassificacao("9.99.999", "1.001.0001", &cabe), "1.01.001");
    EXPECT_TRUE(cabe); // fewer digits, same numbers
    EXPECT_EQ(FormatarClassificacao("99.99", "1.0", &cabe), "01.00");
    EXPECT_TRUE(cabe);
    EXPECT_EQ(FormatarClassificacao("#.##", "3.7"), "3.07");
    // Upper-level groups keep their own number of levels.
    EXPECT_EQ(FormatarClassificacao("9.999.9999", "1.01", &cabe), "1.001");
    EXPECT_TRUE(cabe);
    EXPECT_EQ(FormatarClassificacao("9.999.9999", "2", &cabe), "2");
    EXPECT_TRUE(cabe);
    EXPECT_EQ(FormatarClassificacao("9.99", "", &cabe), "");
    EXPECT_TRUE(cabe);
}

TEST(PlanoContas, OQueNaoCabeNaMascaraEhRecusadoSemCortar)
{
    bool cabe = true;
    // A number wider than its level is kept whole, and refused.
    EXPECT_EQ(FormatarClassificacao("9.99", "1.123", &cabe), "1.123");
    EXPECT_FALSE(cabe);
    EXPECT_EQ(FormatarClassificacao("9.99", "10.01", &cabe), "10.01");
    EXPECT_FALSE(cabe);
    // Leading zeros are no digits of the number.
    EXPECT_EQ(FormatarClassificacao("9.99", "0001.0012", &cabe), "1.12");
    EXPECT_TRUE(cabe);
    // More levels than the mask.
    EXPECT_EQ(FormatarClassificacao("9.99", "1.01.001", &cabe), "1.01.001");
    EXPECT_FALSE(cabe);
    // Levels that are no number.
    for (const char *c : {"1.A", "1..01", "1.01.", ".1", "1. 1", "1.-1"}) {
        cabe = true;
        FormatarClassificacao("9.99.999", QString::fromLatin1(c), &cabe);
        EXPECT_FALSE(cabe) << c;
    }
    EXPECT_EQ(NumeroNivelClassificacao(u"007").toString(), "7");
    EXPECT_EQ(NumeroNivelClassificacao(u"000").toString(), "0");
    EXPECT_TRUE(NumeroNivelClassificacao(u"1x").isEmpty());
    EXPECT_EQ(NumeroNivelClassificacao(u"123456789012345678901234567890").toString(), "123456789012345678901234567890");
    // Same levels, same numbers, whatever their digits.
    EXPECT_TRUE(MesmosNumerosDeNivel("1.01.001", "1.001.0001"));
    EXPECT_TRUE(MesmosNumerosDeNivel("", ""));
    EXPECT_FALSE(MesmosNumerosDeNivel("1.01", "1.01.001"));
    EXPECT_FALSE(MesmosNumerosDeNivel("1.01.001", "1.01"));
    EXPECT_FALSE(MesmosNumerosDeNivel("1.10", "1.01"));
    EXPECT_FALSE(MesmosNumerosDeNivel("1.A", "1.A"));
}
