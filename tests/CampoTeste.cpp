// Typed fields: conversions, rounding of numerics, limits and texts for forms.
#include "ClientDataSet.h"
#include "Decimal.h"
#include "ExecutarSQL.h"
#include "PowerParam.h"

#include <gtest/gtest.h>

namespace {

const TnDefCampo kCampos[] = {
    {.Nome = "CODIGO", .Tipo = ftSmallint},
    {.Nome = "QTDE", .Tipo = ftFloat, .Def = {.DisplayLabel = "Quantidade"}},
    {.Nome = "VALOR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2, .Def = {.DisplayLabel = "Valor", .DisplayFormat = "#,##0.00"}},
    {.Nome = "PEQUENO", .Tipo = ftBCD, .Precisao = 5, .Escala = 2},
    {.Nome = "NOME", .Tipo = ftString, .Tamanho = 5, .Def = {.DisplayLabel = "Nome do item"}},
    {.Nome = "DATA", .Tipo = ftDate},
    {.Nome = "MOMENTO", .Tipo = ftDateTime},
    {.Nome = "GRANDE", .Tipo = ftLargeint},
    {.Nome = "FLAG", .Tipo = ftString, .Tamanho = 1, .Def = {.ListaValores = {"Sim=1", "Não=0"}}},
    {.Nome = "EMP", .Tipo = ftSmallint, .Def = {.Chave = "codigoempresa"}},
    {.Nome = "OUTRO", .Tipo = ftSmallint, .Def = {.Chave = "CHAVESEMCAPTION"}},
    {.Nome = "COMPETENCIA", .Tipo = ftDate, .Def = {.Chave = "DICDATAMESANO"}},
};

class Campos : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds.DefinirCampos(kCampos);
        ds.CreateDataSet();
        ds.Append();
    }
    TnField &F(const char *n) { return ds.FieldByName(n); }
    TnClientDataSet ds;
};

TEST(Decimal, ArredondaPelaFormaDecimalMaisCurta)
{
    qint64 e = 0;
    ASSERT_TRUE(nDecimal::DeReal(10.005, 2, e));
    EXPECT_EQ(e, 1001);
    ASSERT_TRUE(nDecimal::DeReal(1.005, 2, e));
    EXPECT_EQ(e, 101);
    ASSERT_TRUE(nDecimal::DeReal(-2.675, 2, e));
    EXPECT_EQ(e, -268);
    ASSERT_TRUE(nDecimal::DeReal(0.125, 2, e));
    EXPECT_EQ(e, 13);
    ASSERT_TRUE(nDecimal::DeReal(1234567.891, 2, e));
    EXPECT_EQ(e, 123456789);
    ASSERT_TRUE(nDecimal::DeTexto(u"-0.005", 2, e));
    EXPECT_EQ(e, -1);
    EXPECT_FALSE(nDecimal::DeTexto(u"1.2.3", 2, e));
    EXPECT_FALSE(nDecimal::DeTexto(u"99999999999999999999", 0, e));
    EXPECT_EQ(nDecimal::ParaTexto(-5, 2), "-0.05");
}

TEST_F(Campos, NumericoArredondaNaAtribuicaoEGuardaExato)
{
    F("VALOR").SetAsFloat(10.005);
    EXPECT_EQ(F("VALOR").AsString(), "10,01");
    EXPECT_DOUBLE_EQ(F("VALOR").AsFloat(), 10.01);
    F("VALOR").SetValue(QVariant(-1.005));
    EXPECT_EQ(F("VALOR").AsString(), "-1,01");
    // Beyond what a double keeps: text keeps every cent.
    F("VALOR").SetText("9.999.999.999.999.999,99");
    EXPECT_EQ(F("VALOR").AsString(), "9999999999999999,99");
    F("VALOR").SetText("1.234,565");
    EXPECT_EQ(F("VALOR").AsString(), "1234,57");
    EXPECT_EQ(F("VALOR").DisplayText(), "1.234,57");
    F("VALOR").SetAsInteger(7);
    EXPECT_EQ(F("VALOR").AsInteger(), 7);
    EXPECT_EQ(F("VALOR").DisplayText(), "7,00");

    // A double's noise does not reach the stored cents.
    F("VALOR").SetAsFloat(0.1 + 0.2);
    EXPECT_EQ(F("VALOR").AsFloat(), 0.3);
    EXPECT_EQ(F("VALOR").AsString(), "0,3");
}

TEST_F(Campos, ValoresForaDaFaixaSaoRecusadosComONomeDoCampo)
{
    try {
        F("PEQUENO").SetAsFloat(1000);
        FAIL() << "numeric(5,2) aceitou 1000";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "PEQUENO");
    }
    F("PEQUENO").SetAsFloat(999.99);
    EXPECT_EQ(F("PEQUENO").AsString(), "999,99");
    EXPECT_THROW(F("PEQUENO").SetAsFloat(999.995), EnField); // rounds to 1000,00
    EXPECT_THROW(F("CODIGO").SetAsInteger(40000), EnField);
    EXPECT_THROW(F("VALOR").SetAsFloat(std::nan("")), EConvertError);
    F("GRANDE").SetAsLargeInt(9000000000000000001LL);
    EXPECT_EQ(F("GRANDE").AsLargeInt(), 9000000000000000001LL);
    EXPECT_THROW(F("GRANDE").AsInteger(), EnField);
}

TEST(CampoComEscalaPorLinha, CadaLinhaGuardaDezoitoDigitosNasSuasCasas)
{
    const TnDefCampo campos[] = {
        {.Nome = "VALOR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2, .CampoEscala = "CASAS",
         .Def = {.DisplayLabel = "Valor", .DisplayFormat = "#,##0.00"}},
        {.Nome = "CASAS", .Tipo = ftSmallint},
    };
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    TnField &valor = ds.FieldByName("VALOR");
    TnField &casas = ds.FieldByName("CASAS");
    for (const auto &[c, texto] : {std::pair{2, "9999999999999999,99"}, {6, "999999999999,999999"}, {-1, "12,345"}}) {
        ds.Append();
        if (c >= 0)
            casas.SetAsInteger(c);
        valor.SetAsString(QString::fromLatin1(texto));
        ds.Post();
    }
    ds.First();
    EXPECT_EQ(valor.AsString(), "9999999999999999,99");
    EXPECT_EQ(valor.DisplayText(), "9.999.999.999.999.999,99");
    EXPECT_EQ(valor.EscalaDaLinha(), 2);
    ds.Next();
    EXPECT_EQ(valor.AsString(), "999999999999,999999");
    EXPECT_EQ(valor.AsLargeInt(), 1000000000000LL);
    EXPECT_EQ(valor.DisplayText(), "1.000.000.000.000,00");
    ds.Edit();
    EXPECT_THROW(valor.SetAsString("1000000000000"), EnField); // beyond numeric(18,6)
    valor.SetAsFloat(0.0000005);
    EXPECT_EQ(valor.AsString(), "0,000001");
    valor.SetAsEscalado(-1234567, 3);
    EXPECT_EQ(valor.AsString(), "-1234,567");
    EXPECT_THROW(valor.SetAsEscalado(1000000000000000LL, 3), EnField);
    ds.Post();
    ds.First();
    ds.Edit();
    valor.SetAsEscalado(-12345, 3); // to 2 decimals, half away from zero
    EXPECT_EQ(valor.AsString(), "-12,35");
    ds.Post();
    ds.Next();
    // No decimals in the row: the declared ones.
    ds.Next();
    EXPECT_EQ(valor.AsString(), "12,35");
}

TEST_F(Campos, TextoLongoDemaisERecusadoEOValorAnteriorFica)
{
    F("NOME").SetAsString("abcde");
    try {
        F("NOME").SetAsString("abcdef");
        FAIL() << "aceitou 6 caracteres num campo de 5";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "NOME");
        EXPECT_TRUE(e.Message().contains("Nome do item")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("5")) << e.Message().toStdString();
    }
    EXPECT_EQ(F("NOME").AsString(), "abcde");
    // An empty text is no value.
    F("NOME").SetAsString("");
    EXPECT_TRUE(F("NOME").IsNull());
}

TEST_F(Campos, TextoDigitadoNoFormatoBrasileiro)
{
    F("CODIGO").SetText(" 1234 ");
    EXPECT_EQ(F("CODIGO").AsInteger(), 1234);
    F("GRANDE").SetText("1.234.567");
    EXPECT_EQ(F("GRANDE").AsLargeInt(), 1234567);
    F("QTDE").SetText("1.5"); // one separator is the decimal point, as everywhere in the suite
    EXPECT_DOUBLE_EQ(F("QTDE").AsFloat(), 1.5);
    F("QTDE").SetText("1,5");
    EXPECT_DOUBLE_EQ(F("QTDE").AsFloat(), 1.5);
    F("QTDE").SetText("-1.234.567,125");
    EXPECT_DOUBLE_EQ(F("QTDE").AsFloat(), -1234567.125);
    F("DATA").SetText("31/12/2019");
    EXPECT_EQ(F("DATA").AsDate(), QDate(2019, 12, 31));
    EXPECT_EQ(F("DATA").AsString(), "31/12/2019");
    F("MOMENTO").SetText("01/02/2020 08:30");
    EXPECT_EQ(F("MOMENTO").AsDateTime(), QDateTime(QDate(2020, 2, 1), QTime(8, 30)));
    F("DATA").SetText("");
    EXPECT_TRUE(F("DATA").IsNull());

    for (auto [campo, texto] : {std::pair{"QTDE", "1.2.3,4.5"}, {"QTDE", "1,2,3"}, {"CODIGO", "1,5"}, {"CODIGO", "abc"},
                                {"DATA", "31/02/2019"}, {"DATA", "2019/12/31"}, {"VALOR", "12.34.5"}}) {
        try {
            F(campo).SetText(texto);
            ADD_FAILURE() << campo << " aceitou " << texto;
        } catch (const EConvertError &e) {
            EXPECT_TRUE(e.Message().contains(F(campo).DisplayLabel())) << e.Message().toStdString();
        }
    }
    EXPECT_EQ(F("CODIGO").AsInteger(), 1234);
}

TEST_F(Campos, MesEAnoGuardaOPrimeiroDiaDoMes)
{
    TnField &c = F("COMPETENCIA");
    for (const char *texto : {"12/2024", "2/2024", "31/12/2024", "2024-12-15"}) {
        c.SetText(QString::fromLatin1(texto));
        const QDate d = c.AsDate();
        EXPECT_EQ(d.day(), 1) << texto;
        EXPECT_EQ(c.Text(), d.toString("MM/yyyy")) << texto;
        EXPECT_EQ(c.DisplayText(), d.toString("MM/yyyy")) << texto;
    }
    c.SetAsDate(QDate(2024, 2, 29)); // a leap February's last day
    EXPECT_EQ(c.AsDate(), QDate(2024, 2, 1));
    c.SetValue(QDateTime(QDate(2023, 12, 31), QTime(23, 59)));
    EXPECT_EQ(c.AsDate(), QDate(2023, 12, 1));
    for (const char *texto : {"13/2024", "0/2024", "12/24", "abc"})
        EXPECT_THROW(c.SetText(QString::fromLatin1(texto)), EConvertError) << texto;
    EXPECT_EQ(c.AsDate(), QDate(2023, 12, 1));
    // A plain date field keeps its day.
    F("DATA").SetText("31/12/2024");
    EXPECT_EQ(F("DATA").AsDate(), QDate(2024, 12, 31));
    EXPECT_THROW(F("DATA").SetText("12/2024"), EConvertError);
}

TEST_F(Campos, TimestampGuardaHoraExataSemFusoHorario)
{
    const QDateTime dt(QDate(2024, 3, 10), QTime(2, 30, 15, 123)); // a DST change in some zones
    F("MOMENTO").SetAsDateTime(dt);
    EXPECT_EQ(F("MOMENTO").AsDateTime(), dt);
    F("MOMENTO").SetAsDate(QDate(1899, 12, 30));
    EXPECT_EQ(F("MOMENTO").AsDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    F("DATA").SetValue(QDateTime(QDate(2020, 1, 2), QTime(23, 59)));
    EXPECT_EQ(F("DATA").AsDate(), QDate(2020, 1, 2));
    EXPECT_EQ(F("DATA").Value().typeId(), QMetaType::QDate);
}

TEST_F(Campos, ListaDeValoresFormatosEEventosDeTexto)
{
    F("FLAG").SetText("Não");
    EXPECT_EQ(F("FLAG").AsString(), "0");
    EXPECT_EQ(F("FLAG").DisplayText(), "Não");
    F("FLAG").SetText("1");
    EXPECT_EQ(F("FLAG").Text(), "Sim");

    F("VALOR").SetEditFormat("0.000");
    F("VALOR").SetAsFloat(-1234.5);
    EXPECT_EQ(F("VALOR").DisplayText(), "-1.234,50");
    EXPECT_EQ(F("VALOR").Text(), "-1234,500");

    F("QTDE").OnGetText = [](TnField &f, QString &t, bool exibicao) {
        if (exibicao)
            t = QStringLiteral("%1 un").arg(f.AsInteger());
    };
    F("QTDE").OnSetText = [](TnField &f, const QString &t) { f.SetAsFloat(t.section(' ', 0, 0).toDouble() * 2); };
    F("QTDE").SetText("3 caixas");
    EXPECT_EQ(F("QTDE").DisplayText(), "6 un");
    EXPECT_EQ(F("QTDE").Text(), "6");
}

TEST_F(Campos, OnValidateRecusaEOnChangeAvisaUmaVez)
{
    int mudancas = 0;
    F("CODIGO").OnValidate = [](TnField &f) {
        if (f.AsInteger() < 0)
            throw EnField(f.FieldName(), "negativo");
    };
    F("CODIGO").OnChange = [&](TnField &) { ++mudancas; };
    F("CODIGO").SetAsInteger(5);
    F("CODIGO").SetAsInteger(5); // same value: nothing happens
    EXPECT_THROW(F("CODIGO").SetAsInteger(-1), EnField);
    EXPECT_EQ(F("CODIGO").AsInteger(), 5);
    EXPECT_EQ(mudancas, 1);
}

TEST_F(Campos, EscritaForaDeEdicaoECampoSomenteLeituraSaoRecusados)
{
    ds.Post();
    EXPECT_THROW(F("CODIGO").SetAsInteger(1), Exception);
    ds.Edit();
    F("CODIGO").SetReadOnly(true);
    EXPECT_THROW(F("CODIGO").SetAsInteger(1), EnField);
}

} // namespace

namespace {

TEST_F(Campos, ValorParaSQLDoCampo)
{
    F("NOME").SetAsString("O'Br");
    EXPECT_EQ(ValorParaSQL(F("NOME")), "NOME = 'O''Br'");
    F("VALOR").SetText("9.999.999.999.999.999,99"); // beyond a double: every digit
    EXPECT_EQ(ValorParaSQL(F("VALOR"), ">="), "VALOR >= 9999999999999999.99");
    F("DATA").SetAsDate(QDate(2019, 12, 31));
    EXPECT_EQ(ValorParaSQL(F("DATA"), "<", false), "'2019-12-31'");
    F("CODIGO").SetAsInteger(-3);
    EXPECT_EQ(ValorParaSQL(F("CODIGO"), "<>"), "CODIGO <> -3");
    // A comparison with null is never true in SQL: it becomes a test for null.
    EXPECT_EQ(ValorParaSQL(F("QTDE")), "QTDE is null");
    EXPECT_EQ(ValorParaSQL(F("QTDE"), "<>"), "QTDE is not null");
    EXPECT_EQ(ValorParaSQL(F("QTDE"), "=", false), "null");
    EXPECT_THROW(ValorParaSQL(F("CODIGO"), "= 1 or 1 ="), Exception);
}

} // namespace

// A caption not declared comes from the data dictionary's key, else it is the name.
TEST_F(Campos, CaptionDoDicionario)
{
    EXPECT_EQ(F("EMP").DisplayLabel(), "Empresa");
    EXPECT_EQ(F("OUTRO").DisplayLabel(), "OUTRO");
    EXPECT_EQ(F("QTDE").DisplayLabel(), "Quantidade");
    TnpqPowerParam p;
    EXPECT_EQ(p.Adicionar({.Alias = "pGrupo", .ChaveDicionario = "CODIGOGRUPOPRODUTO"}).Caption(), "Grupo Produto");
    EXPECT_EQ(p.Adicionar({.Alias = "pX", .Caption = "Meu", .ChaveDicionario = "CODIGOGRUPOPRODUTO"}).Caption(), "Meu");
}
