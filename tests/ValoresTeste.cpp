#include "Decimal.h"
#include "Excecoes.h"
#include "Tempo.h"
#include "ValorNaColuna.h"
#include "Valores.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
} // namespace

TEST(RoundValor, ArredondaMeioParaLongeDoZeroNaFormaCurta)
{
    struct Caso { double v; int d; double esperado; };
    const Caso casos[] = {
        {1.005, 2, 1.01},       {2.675, 2, 2.68},       {-1.005, 2, -1.01},   {0.125, 2, 0.13},
        {-0.125, 2, -0.13},     {1.0049, 2, 1.0},       {9.995, 2, 10.0},     {0.005, 2, 0.01},
        {0.0049, 2, 0.0},       {123456.785, 2, 123456.79}, {1.45, 1, 1.5},   {2.5, 0, 3.0},
        {-2.5, 0, -3.0},        {0.1 + 0.2, 2, 0.3},    {1234.5678, 3, 1234.568}, {99999999999.995, 2, 100000000000.0},
        {1250, -2, 1300},       {1249, -2, 1200},       {1234.5, -5, 0.0},    {50000, -5, 100000},
        {1.1, 2, 1.1},          {1e20, 2, 1e20},        {123456789012345.67, 2, 123456789012345.67},
        {0.0000001, 7, 0.0000001}, {0.00000015, 7, 0.0000002}, {0.285, 2, 0.29},     {1.015, 2, 1.02},
        {8.325, 2, 8.33},       {4.35, 1, 4.4},         {1.00500000000001, 2, 1.01}, {1.00499999999999, 2, 1.0},
        {1e-300, 2, 0.0},       {-0.0045, 3, -0.005},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(RoundValor(c.v, c.d), c.esperado) << c.v << " a " << c.d;
}

// Values with a known decimal form, rounded by integer arithmetic: exercises the short path
// (values already at the scale) and the digit path against the same rule.
TEST(RoundValor, ConfereComArredondamentoInteiro)
{
    std::mt19937_64 gerador(20240131);
    std::uniform_int_distribution<qint64> sorteio(-999999999999LL, 999999999999LL);
    for (int i = 0; i < 200000; ++i) {
        const qint64 k = sorteio(gerador) / (i % 3 == 0 ? 1000000 : 1); // small values too
        const double v = double(k) / 1000.0;                          // shortest form: k × 10^-3
        const qint64 a = k < 0 ? -k : k;
        const double centavos = double((a + 5) / 10) / 100.0;         // half away from zero
        ASSERT_EQ(RoundValor(v, 2), k < 0 ? -centavos : centavos) << k;
        ASSERT_EQ(RoundValor(v, 3), v) << k;
        ASSERT_EQ(RoundValor(v, 0), double((a + 500) / 1000) * (k < 0 ? -1 : 1) + 0.0) << k;
    }
}

TEST(RoundValor, ValoresEspeciais)
{
    EXPECT_TRUE(std::isnan(RoundValor(kNaN, 2)));
    EXPECT_EQ(RoundValor(kInf, 2), kInf);
    EXPECT_EQ(RoundValor(-kInf, 2), -kInf);
    EXPECT_FALSE(std::signbit(RoundValor(-0.001, 2))) << "sem -0";
    EXPECT_FALSE(std::signbit(RoundValor(-0.0, 2)));
    EXPECT_EQ(RoundValor(0.1 + 0.2, 400), 0.1 + 0.2);
    EXPECT_EQ(RoundValor(5e-324, 400), 5e-324);
    EXPECT_EQ(RoundValor(1.7976931348623157e308, 2), 1.7976931348623157e308);
    EXPECT_EQ(RoundValor(123.0, -400), 0.0);
    EXPECT_EQ(RoundValor(123.0, std::numeric_limits<int>::min()), 0.0);
    EXPECT_EQ(RoundValor(1.5, std::numeric_limits<int>::max()), 1.5);
    EXPECT_EQ(RoundValor(1.7976931348623157e308, -308), kInf);
    EXPECT_EQ(RoundValor(-1.7976931348623157e308, -308), -kInf);
}

// Quantity × unit cost against a reference built from the decimals the doubles were made
// of: every scale of each factor (0 to 6 decimals) and of the result (0 to 6).
TEST(ProdutoExato, ConfereComReferenciaDecimal)
{
    struct Caso { double a, b; int d; double esperado; };
    const Caso casos[] = {
        {3, 1.005, 2, 3.02},          {29.7, 186.05, 2, 5525.69}, {50, 0.8401, 2, 42.01},
        {-3, 1.005, 2, -3.02},        {0.5, 0.01, 2, 0.01},       {0.5, -0.01, 2, -0.01},
        {0.49, 0.01, 2, 0.0},         {1e17, 0.5, 0, 5e16},        {0, 123.45, 2, 0},
        {1e-300, 1e-300, 2, 0},       {12508, 0.0080, 2, 100.06}, {1234567.891, 1000, 0, 1234567891},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(MultiplicarValor(c.a, c.b, c.d), c.esperado) << c.a << " x " << c.b;
    EXPECT_THROW(MultiplicarValor(1e308, 1e308, 2), Exception);
    // A tax from a base and a rate, exact as the product.
    EXPECT_EQ(PercentualDoValor(1.15, 50, 2), 0.58);
    EXPECT_EQ(PercentualDoValor(2.5, 18, 2), 0.45);
    EXPECT_EQ(PercentualDoValor(-1.15, 50, 2), -0.58);
    EXPECT_EQ(PercentualDoValor(100, 0, 2), 0.0);
    EXPECT_THROW(MultiplicarValor(kNaN, 1, 2), Exception);

    std::mt19937_64 gerador(20261209);
    std::uniform_int_distribution<qint64> sorteio(-9999999, 9999999);
    static const qint64 pot[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    for (int i = 0; i < 300000; ++i) {
        const int ea = i % 7, eb = (i / 7) % 7, d = (i / 49) % 7;
        const qint64 ma = sorteio(gerador) / (i % 5 == 0 ? 1000 : 1), mb = sorteio(gerador);
        const double a = double(ma) / double(pot[ea]), b = double(mb) / double(pot[eb]);
        // Reference: the integer product, cut to d decimals with half away from zero.
        __int128 p = __int128(ma) * mb;
        const int corte = ea + eb - d;
        if (corte > 0) {
            const __int128 div = __int128(pot[corte / 2]) * pot[corte - corte / 2];
            const __int128 mag = p < 0 ? -p : p;
            const __int128 r = (mag + div / 2) / div;
            p = p < 0 ? -r : r;
        } else {
            p *= pot[-corte];
        }
        qint64 escalado = 0;
        const bool cabe = p <= std::numeric_limits<qint64>::max() && p >= -std::numeric_limits<qint64>::max();
        ASSERT_EQ(nDecimal::Produto(a, b, d, escalado), cabe) << a << " x " << b << " a " << d;
        if (cabe)
            ASSERT_EQ(escalado, qint64(p)) << a << " x " << b << " a " << d;
    }
}

TEST(Valores, DividirECountDec)
{
    EXPECT_EQ(Dividir(6, 3), 2);
    EXPECT_EQ(Dividir(-1, 4), -0.25);
    EXPECT_EQ(Dividir(1, 0), 0);
    EXPECT_EQ(Dividir(0, 0), 0);
    EXPECT_EQ(Dividir(1e308, 1e-308), 0) << "overflow";
    EXPECT_EQ(Dividir(kNaN, 1), 0);

    struct Caso { double v; int dec; };
    const Caso casos[] = {{1.5, 1}, {2.0, 0}, {0.1 + 0.2, 17}, {1e20, 0}, {1e-7, 7}, {-0.25, 2},
                          {100, 0}, {1.005, 3}, {kNaN, 0}, {kInf, 0}};
    for (const Caso &c : casos)
        EXPECT_EQ(CountDec(c.v), c.dec) << c.v;
}

TEST(Valores, NumeroParaTextoSemExpoente)
{
    struct Caso { double v; const char *texto; };
    const Caso casos[] = {{1e20, "100000000000000000000"}, {1e-7, "0.0000001"}, {-0.0, "0"}, {0.0, "0"},
                          {1.5, "1.5"}, {-1234.5, "-1234.5"}, {0.1 + 0.2, "0.30000000000000004"},
                          {123.0, "123"}, {999999999999999.0, "999999999999999"}, {kNaN, "NaN"},
                          {-kInf, "-INF"}};
    for (const Caso &c : casos)
        EXPECT_EQ(NumeroParaTexto(c.v), QString::fromLatin1(c.texto));
    const QString maior = NumeroParaTexto(1.7976931348623157e308);
    EXPECT_EQ(maior.size(), 309);
    EXPECT_TRUE(maior.startsWith("17976931348623157"));
    const QString menor = NumeroParaTexto(5e-324);
    EXPECT_EQ(menor, "0." + QString(323, u'0') + "5");
    EXPECT_EQ(NumeroParaTexto(std::numeric_limits<qint64>::min()), "-9223372036854775808");

    // Every finite double reads back as itself through the plain text.
    std::mt19937_64 gerador(7);
    for (int i = 0; i < 20000; ++i) {
        const quint64 bits = gerador();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v))
            continue;
        double lido = 0;
        ASSERT_TRUE(TextoParaNumero(NumeroParaTexto(v), lido)) << NumeroParaTexto(v).toStdString();
        ASSERT_EQ(lido, v + 0.0);
    }
}

TEST(Valores, FormatFloatMascaras)
{
    struct Caso { const char *mascara; double v; const char *esperado; };
    const Caso casos[] = {
        {"#,##0.000", 1234.5, "1.234,500"},   {"0.00", -0.005, "-0,01"},        {"#,##0.00", 0, "0,00"},
        {"#,##0", 1234567.5, "1.234.568"},     {"0.00", -0.001, "0,00"},         {"#,##0.00", -1234567.891, "-1.234.567,89"},
        {"###,##0.00", 1.005, "1,01"},         {"0.##", 1.5, "1,5"},             {"0.##", 2, "2"},
        {"0.0#", 2.345, "2,35"},               {"#.##", 0.5, ",5"},              {"000", 7, "007"},
        {"00000000000000.000", 12.5, "00000000000012,500"},                      {"000000000000000.00", 1234.5, "000000000001234,50"},
        {"#,##0.", 1234.5, "1.235"},           {"\"R$ \"#,##0.00", -5, "-R$ 5,00"}, {"#,##0.00;(#,##0.00)", -1234.5, "(1.234,50)"},
        {"#,##0.00;(#,##0.00);\"-\"", 0.004, "-"}, {"0.00;;'nada'", -0.001, "nada"}, {"0.00;", -1.5, "-1,50"},
        {"#,##0", 1e20, "100.000.000.000.000.000.000"},                           {"00-00", 1234, "12-34"},
        {"#,##0.00", 999.995, "1.000,00"},     {"0.000", 0.0005, "0,001"},       {"0", -0.4, "0"},
        {"0", -0.5, "-1"},                     {"", 1.5, "1,5"},                 {"'0.#'0", 3, "0.#3"},
        {".00", 12.5, "12,50"},                {"0.0;(0.0);'zero';ignorado", 0, "zero"}, {"'a;b'0", 5, "a;b5"},
    };
    for (const Caso &c : casos) {
        EXPECT_EQ(FormatFloat(QString::fromUtf8(c.mascara), c.v), QString::fromUtf8(c.esperado)) << c.mascara << " " << c.v;
        // The same value kept exactly, as a numeric's stored integer, formats alike.
        if (std::fabs(c.v) < 1e14)
            EXPECT_EQ(FormatFloat(QString::fromUtf8(c.mascara), std::llround(c.v * 10000), 4), QString::fromUtf8(c.esperado))
                << c.mascara << " " << c.v;
    }
    // Digits a double does not hold.
    EXPECT_EQ(FormatFloat("#,##0.00", 123456789012345678LL, 2), "1.234.567.890.123.456,78");
    EXPECT_EQ(FormatFloat("0.0", -123456789012345678LL, 2), "-1234567890123456,8");
    EXPECT_EQ(FormatFloat("", 999999999999999999LL, 6), "999999999999,999999");
    EXPECT_EQ(FormatFloat("", -5000, 4), "-0,5");
    qint64 r = 0;
    ASSERT_TRUE(nDecimal::Reescalar(-1234565, 4, 2, r));
    EXPECT_EQ(r, -12346);
    ASSERT_TRUE(nDecimal::Reescalar(999999999999999999LL, 2, 2, r));
    EXPECT_EQ(r, 999999999999999999LL);
    EXPECT_FALSE(nDecimal::Reescalar(1000000000000000000LL, 2, 3, r));
}

TEST(Valores, FormatDateTimeCodigos)
{
    const QDateTime dt(QDate(2024, 1, 5), QTime(7, 8, 9, 45));
    struct Caso { const char *formato; const char *esperado; };
    const Caso casos[] = {
        {"dd/mm/yyyy hh:nn:ss", "05/01/2024 07:08:09"}, {"hh:mm", "07:08"},    {"d/m/yy", "5/1/24"},
        {"ddmmyyyy", "05012024"},                     {"MM/YYYY", "01/2024"},   {"hh:mm dd/mm", "07:08 05/01"},
        {"h:n:s.zzz", "7:8:9.045"},                   {"h:n:s.z", "7:8:9.45"},  {"'dia' d 'de' mmmm", "dia 5 de janeiro"},
        {"ddd, dddd", "sex, sexta-feira"},            {"mmm", "jan"},           {"\"hh\" hh", "hh 07"},
        {"h mm", "7 08"},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.formato), dt), QString::fromUtf8(c.esperado)) << c.formato;
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", QDate(2018, 11, 4)), "04/11/2018 00:00");
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", QDate()), "");
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", QDateTime()), "");
}

TEST(Valores, TextoParaNumeroAceita)
{
    struct Caso { const char *texto; double v; };
    const Caso casos[] = {
        {"1,5", 1.5},           {"1.5", 1.5},              {"-1,5", -1.5},          {" 1,5 ", 1.5},
        {"+2", 2},              {"1.234,56", 1234.56},     {"1,234.56", 1234.56},   {"1.234.567", 1234567},
        {"1,234,567", 1234567}, {"1.234.567,89", 1234567.89}, {"1,234,567.89", 1234567.89}, {"1.234", 1.234},
        {"1,234", 1.234},       {",5", 0.5},               {"-,5", -0.5},           {"5,", 5},
        {"0", 0},               {"007", 7},                {"0,1", 0.1},            {"\t12\n", 12},
        {"999999999999999", 999999999999999.0},            {"1.000,00", 1000},      {"12.345.678,9", 12345678.9},
        {"123.456,", 123456},   {"123456789012345678", 123456789012345678.0},
    };
    for (const Caso &c : casos) {
        double v = -1;
        EXPECT_TRUE(TextoParaNumero(c.texto, v)) << c.texto;
        EXPECT_EQ(v, c.v) << c.texto;
    }
    double v = -1;
    ASSERT_TRUE(TextoParaNumero("-0", v));
    EXPECT_FALSE(std::signbit(v));
}

TEST(Valores, TextoParaNumeroRejeita)
{
    const char *casos[] = {"",        " ",        "abc",       "1,2,3,4.5", "12.34.567", "1.23.456", "1.2345.678",
                           "1.234,5.6", ".",       ",",         "-",         "+-1",       "--1",      "1e5",
                           "1E5",     "nan",      "inf",       "-inf",      "0x10",      "1 234",    "1_000",
                           "1,5a",    "1..5",     "1,,5",      "1.234.56",  ",1.234",    "- 1",      "1.234,567.89"};
    for (const char *c : casos) {
        double v = 42;
        EXPECT_FALSE(TextoParaNumero(QString::fromUtf8(c), v)) << c;
        EXPECT_EQ(v, 42) << "valor intocado: " << c;
    }
    double v = 0;
    EXPECT_FALSE(TextoParaNumero(QString::fromUtf8("١٢"), v)) << "só dígitos ASCII";
    EXPECT_FALSE(TextoParaNumero("1" + QString(309, u'0'), v)) << "além do double";
    EXPECT_FALSE(TextoParaNumero(QString(500, u'1'), v));

    EXPECT_EQ(StrToFloatBR(" 1.234,5 "), 1234.5);
    try {
        StrToFloatBR("abc");
        FAIL() << "sem exceção";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8("\"abc\" não é um número válido."));
    }
}

TEST(Valores, TextoParaInteiro)
{
    struct Caso { const char *texto; qint64 v; };
    const Caso aceitos[] = {{"12", 12}, {" -7 ", -7}, {"+5", 5}, {"007", 7},
                            {"9223372036854775807", std::numeric_limits<qint64>::max()},
                            {"-9223372036854775808", std::numeric_limits<qint64>::min()}};
    for (const Caso &c : aceitos) {
        qint64 v = 0;
        EXPECT_TRUE(TextoParaInteiro(c.texto, v)) << c.texto;
        EXPECT_EQ(v, c.v) << c.texto;
    }
    const char *rejeitados[] = {"", "-", "1.5", "1,0", "9223372036854775808", "-9223372036854775809",
                                "1 2", "abc", "1e3", "1.000"};
    for (const char *c : rejeitados) {
        qint64 v = 0;
        EXPECT_FALSE(TextoParaInteiro(c, v)) << c;
    }
}

TEST(Valores, InscricaoFederalSoDigitos)
{
    EXPECT_EQ(LimparStrToInscricaoFederal("12.345.678/0001-90"), "12345678000190");
    EXPECT_EQ(LimparStrToInscricaoFederal(" 123.456.789-09 "), "12345678909");
    EXPECT_EQ(LimparStrToInscricaoFederal(QString::fromUtf8("CNPJ: ١٢ 3a4")), "34"); // only 0-9
    EXPECT_EQ(LimparStrToInscricaoFederal(QString()), QString());
}

TEST(Valores, ConteudoSobMascaraPreparada)
{
    const QString ncm = PrepararMascara("9999.99.99", 1);
    EXPECT_EQ(FormatarConteudoMascara("12345678", ncm, 12), "1234.56.78");
    EXPECT_EQ(FormatarConteudoMascara(" 1234.56.78 ", ncm, 12), "1234.56.78"); // already masked
    EXPECT_EQ(FormatarConteudoMascara("123456", ncm, 12), "1234.56");
    EXPECT_EQ(FormatarConteudoMascara("1234567890", ncm, 12), "1234.56.7890"); // nothing lost
    EXPECT_EQ(FormatarConteudoMascara("123456789012345", ncm, 12), "1234.56.7890");
    EXPECT_EQ(FormatarConteudoMascara("", ncm, 12), "");
    // Literals that are mask characters travel escaped; the blank character's part ends it.
    EXPECT_EQ(FormatarConteudoMascara("1234", PrepararMascara("99-A9", 1) + ";_", 0), "12-A34");
    // No mask: the text as it is.
    EXPECT_EQ(FormatarConteudoMascara(" 8516.10.00 ", QString(), 12), "8516.10.00");
    EXPECT_EQ(FormatarConteudoMascara("85161000123456", QString(), 12), "851610001234");
}

TEST(TempoDecorrido, FormatoERelogio)
{
    EXPECT_EQ(TnTempo::TempoDecorrido(0), "00:00:00,000");
    EXPECT_EQ(TnTempo::TempoDecorrido(2150), "00:00:02,150");
    EXPECT_EQ(TnTempo::TempoDecorrido(3'723'004), "01:02:03,004");
    EXPECT_EQ(TnTempo::TempoDecorrido(100LL * 3600 * 1000 + 59'999), "100:00:59,999");
    EXPECT_EQ(TnTempo::TempoDecorrido(-5), "00:00:00,000");
    TnTempo parado;
    EXPECT_FALSE(parado.Iniciado());
    EXPECT_EQ(TempoFinal(parado), "00:00:00,000");
    const TnTempo t = TempoInicio();
    EXPECT_TRUE(t.Iniciado());
    EXPECT_GE(t.Milissegundos(), 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{2,}:\\d{2}:\\d{2},\\d{3}$")).match(TempoFinal(t)).hasMatch());
}

// What a column declared by the database takes: numeric(p,s) after rounding to its scale,
// double precision below 10^15 and finite, integers in their type's range.
TEST(ValorNaColuna, FaixasEArredondamentoDosTiposDeclarados)
{
    const TnColunaInfo num{.Nome = "V", .Tipo = ftBCD, .Precisao = 4, .Escala = 2};
    EXPECT_TRUE(RealCabeNaColuna(num, 99.994));
    EXPECT_FALSE(RealCabeNaColuna(num, 99.995)) << "rounds to 100.00";
    EXPECT_FALSE(RealCabeNaColuna(num, -99.995));
    EXPECT_TRUE(DecimalCabeNaColuna(num, 99994, 3));
    EXPECT_FALSE(DecimalCabeNaColuna(num, -99995, 3));
    EXPECT_TRUE(DecimalCabeNaColuna(num, 999, 1)); // 99.9
    EXPECT_FALSE(DecimalCabeNaColuna(num, 1000, 1)); // 100.0: three digits before the point
    EXPECT_TRUE(InteiroCabeNaColuna(num, -99));
    EXPECT_FALSE(InteiroCabeNaColuna(num, 100));

    const TnColunaInfo real{.Nome = "Q", .Tipo = ftFloat};
    for (double v : {kNaN, kInf, -kInf, 1e15, -1e15, 1e308})
        EXPECT_FALSE(RealCabeNaColuna(real, v)) << v;
    EXPECT_TRUE(RealCabeNaColuna(real, 999999999999999.0));
    EXPECT_TRUE(RealCabeNaColuna(real, -0.000001));

    const TnColunaInfo curto{.Nome = "S", .Tipo = ftSmallint};
    EXPECT_TRUE(InteiroCabeNaColuna(curto, -32768));
    EXPECT_FALSE(InteiroCabeNaColuna(curto, 32768));
    EXPECT_FALSE(RealCabeNaColuna(curto, 1.5));
    EXPECT_TRUE(RealCabeNaColuna(curto, 7.0));

    // The message names field and value, the value cut at 60 characters.
    try {
        ExigirNaColuna(real, 1e308);
        ADD_FAILURE();
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "Q");
        EXPECT_EQ(e.Message(), QString::fromUtf8("O valor 1e+308 está fora da faixa do campo \"Q\"."));
    }

    // A number for a numeric column becomes the exact decimal at the column's scale.
    const TnColunaInfo dinheiro{.Nome = "VALOR", .Tipo = ftBCD, .Precisao = 18, .Escala = 2};
    TnCelula c;
    c.Nulo = false;
    c.F = 1.005;
    TFieldType tipo = ftFloat;
    int escala = 0;
    EXPECT_TRUE(AjustarCelulaNaColuna(dinheiro, c, tipo, escala));
    EXPECT_EQ(tipo, ftBCD);
    EXPECT_EQ(escala, 2);
    EXPECT_EQ(c.I, 101);
    c.I = -12350; // -1.2350 at scale 4
    escala = 4;
    EXPECT_TRUE(AjustarCelulaNaColuna(dinheiro, c, tipo, escala));
    EXPECT_EQ(c.I, -124);
    c.F = 1e17;
    tipo = ftFloat;
    EXPECT_FALSE(AjustarCelulaNaColuna(dinheiro, c, tipo, escala));
    EXPECT_EQ(tipo, ftFloat); // left as it was
    EXPECT_THROW(ErroCelulaForaDaColuna(dinheiro, c, tipo, escala), EnField);
}

// Messages quote at most 60 characters of what was typed, then "…".
TEST(TrechoCitado, SessentaCaracteresEReticencias)
{
    EXPECT_EQ(TrechoCitado(u"abc"), "abc");
    EXPECT_EQ(TrechoCitado(QString(60, u'x')), QString(60, u'x'));
    EXPECT_EQ(TrechoCitado(QString(100000, u'x')), QString(60, u'x') + QChar(0x2026));
    EXPECT_EQ(TrechoCitado(u"a\tb\nc"), "a b c");
    // Never half of a pair of UTF-16 units.
    const QString par = QString(59, u'x') + QString::fromUtf8("😀") + QStringLiteral("yz");
    EXPECT_EQ(TrechoCitado(par), QString(59, u'x') + QChar(0x2026));
    EXPECT_EQ(NumeroParaMensagem(1234.5), "1234,5");
    EXPECT_EQ(NumeroParaMensagem(-1e308), "-1e+308");
    try {
        StrToFloatBR(QString(100000, u'9') + u'x');
        ADD_FAILURE();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8("\"%1…\" não é um número válido.").arg(QString(60, u'9')));
    }
}
