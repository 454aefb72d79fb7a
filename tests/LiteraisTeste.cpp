#include "ClientDataSet.h"
#include "Filtro.h"
#include "Excecoes.h"
#include "Literais.h"
#include "PowerParam.h"
#include "Valores.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <clocale>
#include <cmath>
#include <ctime>
#include <limits>
#include <sqlite3.h>
#include <string>

namespace {

// The EConvertError message of f(), or "(sem erro)" when it returns.
template<class F>
QString Erro(F f)
{
    try {
        f();
    } catch (const EConvertError &e) {
        return e.Message();
    }
    return QStringLiteral("(sem erro)");
}

// The message quotes the first 60 characters of the text followed by "…", and not more.
void CitaSessenta(const QString &mensagem, QChar c)
{
    EXPECT_TRUE(mensagem.contains(QString(60, c) + QChar(0x2026))) << mensagem.left(200).toStdString();
    EXPECT_FALSE(mensagem.contains(QString(61, c))) << mensagem.left(200).toStdString();
    EXPECT_LT(mensagem.size(), 300);
}

struct Literal {
    QVariant v;
    TFieldType tipo;
    const char *esperado;
};

// Runs a case under a time zone with daylight saving, restoring the previous one after.
class FusoComHorarioDeVerao {
public:
    FusoComHorarioDeVerao() : FAntigo(qgetenv("TZ")), FTinha(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", "America/Sao_Paulo"); // midnight of 2018-11-04 did not exist there
        tzset();
    }
    ~FusoComHorarioDeVerao()
    {
        if (FTinha)
            qputenv("TZ", FAntigo);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray FAntigo;
    bool FTinha;
};

} // namespace

TEST(Literais, ValoresAceitosPorTipo)
{
    const qint64 maior = std::numeric_limits<qint64>::max();
    const Literal casos[] = {
        {QVariant(), ftInteger, "null"},
        {QVariant(QMetaType::fromType<int>()), ftInteger, "null"},
        {QVariant(QDate()), ftDate, "null"},
        {qint64(999999999999999), ftLargeint, "999999999999999"},
        {maior, ftLargeint, "9223372036854775807"},
        {5, ftSmallint, "5"},
        {5.0, ftInteger, "5"},
        {999999999999999.0, ftLargeint, "999999999999999"},
        {QString(" 42 "), ftInteger, "42"},
        {QString("-7"), ftInteger, "-7"},
        {true, ftInteger, "1"},
        {1.5, ftFloat, "1.5"},
        {1e20, ftFloat, "100000000000000000000"},
        {1e-7, ftBCD, "0.0000001"},
        {-0.0, ftFloat, "0"},
        {qint64(999999999999999), ftFloat, "999999999999999"},
        {maior, ftFloat, "9223372036854775807"},
        {QString("1.234,56"), ftFloat, "1234.56"},
        {QString("O'Brien"), ftString, "'O''Brien'"},
        {QString("'; drop table x; --"), ftString, "'''; drop table x; --'"},
        {QString("100%;a,b"), ftMemo, "'100%;a,b'"},
        {QString(""), ftString, "''"},
        {QString("barra\\"), ftString, "'barra\\'"},
        {1e20, ftString, "'100000000000000000000'"},
        {QDate(2024, 1, 31), ftDate, "'2024-01-31'"},
        {QDateTime(QDate(2024, 1, 31), QTime(23, 59)), ftDate, "'2024-01-31'"},
        {QString("31/01/2024"), ftDate, "'2024-01-31'"},
        {QString("1/2/2024"), ftDate, "'2024-02-01'"},
        {QString(" 2024-01-31 "), ftDate, "'2024-01-31'"},
        {QDate(999, 1, 1), ftDate, "'0999-01-01'"},
        {QDateTime(QDate(2024, 1, 31), QTime(13, 45, 7)), ftDateTime, "'2024-01-31 13:45:07'"},
        {QDateTime(QDate(2024, 1, 31), QTime(13, 45, 7, 5)), ftDateTime, "'2024-01-31 13:45:07.005'"},
        {QDate(2024, 1, 31), ftDateTime, "'2024-01-31 00:00:00'"},
        {QString("31/01/2024 13:45"), ftDateTime, "'2024-01-31 13:45:00'"},
        {QString("2024-01-31T13:45:07"), ftDateTime, "'2024-01-31 13:45:07'"},
        {QString("2024-01-31 13:45:07.250"), ftDateTime, "'2024-01-31 13:45:07.250'"},
        {QString("31/01/2024"), ftDateTime, "'2024-01-31 00:00:00'"},
        {true, ftBoolean, "1"},
        {false, ftBoolean, "0"},
        {1, ftBoolean, "1"},
        {QString("false"), ftBoolean, "0"},
        {5, ftUnknown, "5"},
        {1.5, ftUnknown, "1.5"},
        {QString("x"), ftUnknown, "'x'"},
        {QDate(2024, 1, 31), ftUnknown, "'2024-01-31'"},
        {true, ftUnknown, "1"},
    };
    for (const Literal &c : casos)
        EXPECT_EQ(ValorParaSQL(c.v, c.tipo), QString::fromUtf8(c.esperado)) << c.esperado;
}

TEST(Literais, ValoresRecusadosNomeiamValorEEspecie)
{
    struct Caso { QVariant v; TFieldType tipo; const char *trecho; };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Caso casos[] = {
        {QString("1.5"), ftInteger, "\"1.5\" não é um número inteiro válido."},
        {QString("abc"), ftSmallint, "\"abc\" não é um número inteiro válido."},
        {QString("1;drop table x"), ftInteger, "\"1;drop table x\""},
        {QString("1 or 1=1"), ftLargeint, "\"1 or 1=1\""},
        {QString(""), ftInteger, "número inteiro"},
        {1.5, ftInteger, "\"1.5\" não é um número inteiro válido."},
        {1e19, ftLargeint, "número inteiro"},
        {nan, ftInteger, "número inteiro"},
        {std::numeric_limits<quint64>::max(), ftLargeint, "número inteiro"},
        {QStringList{"1"}, ftInteger, "número inteiro"},
        {nan, ftFloat, "não é um número válido"},
        {std::numeric_limits<double>::infinity(), ftBCD, "não é um número válido"},
        {QString("abc"), ftFloat, "\"abc\" não é um número válido."},
        {QString("1e5"), ftFloat, "\"1e5\""},
        {QString("1,2,3,4.5"), ftFloat, "\"1,2,3,4.5\""},
        {QString("1 or 1=1"), ftFloat, "\"1 or 1=1\""},
        {QString::fromLatin1("a\0b", 3), ftString, "caractere nulo"},
        {QString("31/02/2024"), ftDate, "\"31/02/2024\" não é uma data válida."},
        {QString("2024-13-01"), ftDate, "uma data válida"},
        {QString("31/01/24"), ftDate, "uma data válida"},
        {QString("2024-01-31 10:00"), ftDate, "uma data válida"},
        {QString("'; drop table x; --"), ftDate, "uma data válida"},
        {5, ftDate, "uma data válida"},
        {QDate(10000, 1, 1), ftDate, "uma data válida"},
        {QString("31/01/2024 25:00"), ftDateTime, "uma data e hora válida"},
        {QString("31/01/2024 10"), ftDateTime, "uma data e hora válida"},
        {QString("x"), ftDateTime, "uma data e hora válida"},
        {2, ftBoolean, "\"2\" não é um valor lógico válido."},
        {QString("sim"), ftBoolean, "um valor lógico válido"},
    };
    for (const Caso &c : casos)
        EXPECT_TRUE(Erro([&] { ValorParaSQL(c.v, c.tipo); }).contains(QString::fromUtf8(c.trecho)))
            << c.trecho << " -> " << Erro([&] { ValorParaSQL(c.v, c.tipo); }).toStdString();
}

TEST(Literais, DataEHoraNaoPassamPeloFusoHorario)
{
    FusoComHorarioDeVerao fuso;
    EXPECT_EQ(ValorParaSQL(QString("04/11/2018 00:00"), ftDateTime), "'2018-11-04 00:00:00'");
    EXPECT_EQ(ValorParaSQL(QDate(2018, 11, 4), ftDateTime), "'2018-11-04 00:00:00'");
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", QDate(2018, 11, 4)), "04/11/2018 00:00");

    // A date field keeps that day, and the in-memory filter finds it by its literal.
    const TnDefCampo campos[] = {{.Nome = "D", .Tipo = ftDate}, {.Nome = "M", .Tipo = ftDateTime}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    for (const QDate &d : {QDate(2018, 11, 3), QDate(2018, 11, 4), QDate(2018, 11, 5)}) {
        ds.Append();
        ds.FieldByName("D").SetAsDate(d);
        ds.FieldByName("M").SetText(d.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" 00:30"));
        ds.Post();
    }
    ds.SetFilter("D = " + ValorParaFiltro(QDate(2018, 11, 4), ftDate));
    ds.SetFiltered(true);
    ASSERT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(ds.FieldByName("D").AsDate(), QDate(2018, 11, 4));
    EXPECT_EQ(ds.FieldByName("M").AsString(), "04/11/2018 00:30:00");
    ds.SetFilter("M >= '2018-11-04 00:00' and M < '2018-11-04T01:00:00'");
    EXPECT_EQ(ds.RecordCount(), 1);
}

TEST(Literais, FiltroIgual)
{
    EXPECT_EQ(FiltroIgual("I.CODIGOEMPRESA", 5, false, ftInteger), "I.CODIGOEMPRESA = 5 ");
    EXPECT_EQ(FiltroIgual(" I.DATAINVENT ", QDate(2024, 1, 31), true, ftDate), " and I.DATAINVENT = '2024-01-31' ");
    EXPECT_EQ(FiltroIgual("I.CODIGOPRODUTO", QString("999999999999999"), true, ftFloat),
              " and I.CODIGOPRODUTO = 999999999999999 ");
    EXPECT_EQ(FiltroIgual("X", QVariant(), true, ftInteger), "");
    EXPECT_EQ(FiltroIgual("X", QString(""), true, ftInteger), "");
    EXPECT_EQ(FiltroIgual("X", QString("  "), true, ftString), "");
    EXPECT_EQ(FiltroIgual("X", QDate(), true, ftDate), "");
    EXPECT_TRUE(Erro([] { FiltroIgual("X", QString("1 or 1=1"), true, ftInteger); }).contains("\"1 or 1=1\""));
    EXPECT_TRUE(Erro([] { FiltroIgual("X = 1 or X", 1, true, ftInteger); }).contains("Nome de coluna inválido"));
}

TEST(FilterInterval, Numerico)
{
    struct Caso { const char *campos; const char *texto; bool comE; const char *esperado; };
    const Caso casos[] = {
        {"L.CODIGOESTAB", "1", true, " and (L.CODIGOESTAB = 1) "},
        {"C", "1;2;3", false, "(C in (1, 2, 3)) "},
        {"C", " 1 , 2 ;3 ", false, "(C in (1, 2, 3)) "},
        {"C", "10-20", false, "(C between 10 and 20) "},
        {"C", "10 - 20; 5", false, "(C = 5 or C between 10 and 20) "},
        {"C", "-5", false, "(C = -5) "},
        {"C", "007;1.50;-0", false, "(C in (7, 1.5, 0)) "},
        {"C", "1;;2;", false, "(C in (1, 2)) "},
        // Ranges in order, overlapping ones made one.
        {"C", "5-5;1.5-2.25;9.5-10", false, "(C between 1.5 and 2.25 or C between 5 and 5 or C between 9.5 and 10) "},
        {"C", "10-12;1-5;3-8;12-15;4-6", false, "(C between 1 and 8 or C between 10 and 15) "},
        {" A ; b.B_1 ", "1;2;10-20", false, "(A in (1, 2) or A between 10 and 20 or b.B_1 in (1, 2) or b.B_1 between 10 and 20) "},
        {"C", "999999999999999;123456789012345678901234567890", false, "(C in (999999999999999, 123456789012345678901234567890)) "},
        {"C", "", true, ""},
        {"C", "   ", true, ""},
        {"C", " ; , ", true, ""},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(FilterInterval(c.campos, c.texto, tvfNumerico, c.comE), QString::fromUtf8(c.esperado)) << c.texto;
}

TEST(FilterInterval, Texto)
{
    struct Caso { const char *texto; const char *esperado; };
    const Caso casos[] = {
        {"01012100; 02013000", "(C in ('01012100', '02013000')) "},
        {"'a;b', \"c,d\"", "(C in ('a;b', 'c,d')) "},
        {"O'Brien", "(C = 'O''Brien') "},
        {" 'it''s' ", "(C = 'it''s') "},
        {"\"say \"\"hi\"\"\"", "(C = 'say \"hi\"') "},
        {"100%", "(C = '100%') "},
        {"1 or 1=1", "(C = '1 or 1=1') "},
        {"x'); drop table t; --", "(C in ('x'')', 'drop table t', '--')) "},
        {"''", "(C = '') "},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(FilterInterval("C", QString::fromUtf8(c.texto), tvfTexto, false), QString::fromUtf8(c.esperado)) << c.texto;
}

TEST(FilterInterval, ErrosNomeiamValorEColuna)
{
    struct Caso { const char *texto; TTipoValorFiltro tipo; const char *token; };
    const Caso casos[] = {
        {"abc", tvfNumerico, "abc"},      {"1 or 1=1", tvfNumerico, "1 or 1=1"},
        {"1;drop table x", tvfNumerico, "drop table x"}, {"'; drop table x; --", tvfNumerico, "'"},
        {"1e5", tvfNumerico, "1e5"},      {"0x10", tvfNumerico, "0x10"},  {"-5-10", tvfNumerico, "-5-10"},
        {"1-2-3", tvfNumerico, "1-2-3"}, {"5-", tvfNumerico, "5-"},      {"-", tvfNumerico, "-"},
        {"'1'", tvfNumerico, "'1'"},      {"1.5.5", tvfNumerico, "1.5.5"}, {"nan", tvfNumerico, "nan"},
        {"1 2", tvfNumerico, "1 2"},      {"1%", tvfNumerico, "1%"},      {".5", tvfNumerico, ".5"},
        {"'abc", tvfTexto, "'abc"},       {"'a'b; c", tvfTexto, "'a'b"},  {"'; drop table x; --", tvfTexto, "'; drop table x; --"},
    };
    for (const Caso &c : casos) {
        const QString msg = Erro([&] { FilterInterval("L.CODIGOESTAB", QString::fromUtf8(c.texto), c.tipo); });
        EXPECT_TRUE(msg.contains("\"" + QString::fromUtf8(c.token) + "\"") && msg.contains("L.CODIGOESTAB"))
            << c.texto << " -> " << msg.toStdString();
    }
    EXPECT_TRUE(Erro([] { FilterInterval("C", "20-10"); }).contains(QString::fromUtf8("início do intervalo é maior")));
    EXPECT_TRUE(Erro([] { FilterInterval("C", "1.5-1.25"); }).contains(QString::fromUtf8("início do intervalo é maior")));
    EXPECT_TRUE(Erro([] { FilterInterval("C", QString::fromLatin1("a\0b", 3), tvfTexto); }).contains("caractere nulo"));
    // Half a UTF-16 pair is refused like a NUL, in a filter and in a literal: a bound value
    // and a literal would store different characters.
    const QString metade = QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b");
    EXPECT_TRUE(Erro([&] { FilterInterval("C", metade, tvfTexto); }).contains("par UTF-16"));
    EXPECT_TRUE(Erro([&] { ValorParaSQL(metade, ftString); }).contains("par UTF-16"));
    EXPECT_TRUE(Erro([&] { ValorParaSQL(QString(QChar(0xDC00)), ftString); }).contains("par UTF-16"));
    EXPECT_EQ(ValorParaSQL(QString::fromUtf16(u"\U0001F600"), ftString), QString::fromUtf16(u"'\U0001F600'"));

    // Past the documented limit of values and ranges the user is told, with the number.
    QStringList muitos;
    for (int i = 0; i <= kMaximoTermosFiltro; ++i)
        muitos << QString::number(i * 3) + u'-' + QString::number(i * 3 + 1);
    const QString msg = Erro([&] { FilterInterval("L.CODIGOPRODUTO", muitos.join(u';')); });
    EXPECT_TRUE(msg.contains(QStringLiteral("50001 valores e intervalos")) && msg.contains(QStringLiteral("50.000")))
        << msg.toStdString();

    const char *colunas[] = {"", "1A", "A B", "A;", "a.b.c", "A--", "A); drop table x", "\xc3\x81", ".A", "A."};
    for (const char *c : colunas)
        EXPECT_TRUE(Erro([&] { FilterInterval(QString::fromUtf8(c), ""); }).contains(QString::fromUtf8("Nome de coluna inválido")))
            << c;
}

// The membership test agrees with the condition FilterInterval writes for the same text.
TEST(FilterInterval, CheckInInclusion)
{
    struct Caso { QVariant valor; const char *texto; bool dentro; };
    const Caso casos[] = {
        {1, "1; 2; 10-20", true},          {15, "1; 2; 10-20", true},        {20, "10-20", true},
        {21, "10-20", false},              {9, "10-20", false},              {qint64(3), " 3 ", true},
        {2.0, "2", true},                  {2.5, "1.5-2.5", true},           {2.51, "1.5-2.5", false},
        {-3, "-3; 4", true},               {-3, "3", false},                 {0, "-0", true},
        {QString("07"), "7", true},        {QString("abc"), "1-9", false},   {QVariant(), "1-9", false},
        {1, "", false},                    {1, " ; ", false},                {qint64(9007199254740993LL), "9007199254740993", true},
        {qint64(9007199254740993LL), "9007199254740992", false},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(CheckInInclusion(c.valor, QString::fromUtf8(c.texto)), c.dentro) << c.valor.toString().toStdString()
                                                                                    << " em " << c.texto;
    EXPECT_TRUE(CheckInInclusion(QString("a;b"), "'a;b', c", tvfTexto));
    EXPECT_FALSE(CheckInInclusion(QString("A"), "a, b", tvfTexto));
    EXPECT_THROW(CheckInInclusion(1, "1; x"), EConvertError);
    EXPECT_THROW(CheckInInclusion(1, "20-10"), EConvertError);
    EXPECT_FALSE(Erro([] { CheckInInclusion(1, "1 or 1=1"); }).contains(" de "));
}

TEST(Literais, NenhumLiteralUsaVirgulaDecimal)
{
    const QLocale antes;
    const std::string cAntes = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    std::setlocale(LC_ALL, "pt_BR.UTF-8"); // when the system has it; Qt's default covers the rest

    EXPECT_EQ(ValorParaSQL(1234.5, ftFloat), "1234.5");
    EXPECT_EQ(ValorParaSQL(QString("1234.5"), ftBCD), "1234.5");
    EXPECT_EQ(ValorParaSQL(QString("1.234,5"), ftBCD), "1234.5");
    EXPECT_EQ(ValorParaSQL(1e-7, ftFloat), "0.0000001");
    EXPECT_EQ(ValorParaSQL(qint64(999999999999999), ftFloat), "999999999999999");
    EXPECT_EQ(ValorParaFiltro(0.25, ftFloat), "0.25");
    EXPECT_EQ(ValorParaSQL(1.5, ftString), "'1.5'");
    EXPECT_EQ(FilterInterval("C", "1.5-2.5; 3.75", tvfNumerico, false), "(C = 3.75 or C between 1.5 and 2.5) ");
    EXPECT_EQ(NumeroParaTexto(0.1), "0.1");
    EXPECT_EQ(StrToFloatBR("0.1"), 0.1);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50") << "the mask always prints Brazilian separators";

    std::setlocale(LC_ALL, cAntes.c_str());
    QLocale::setDefault(antes);
}

// The literals and conditions read back as intended in the embedded engine.
TEST(Literais, SQLiteLeOsLiterais)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    auto umValor = [db](const QString &sql, std::string &texto, int &tipo) {
        sqlite3_stmt *st = nullptr;
        const QByteArray u = sql.toUtf8();
        if (sqlite3_prepare_v2(db, u.constData(), int(u.size()), &st, nullptr) != SQLITE_OK)
            return std::string(sqlite3_errmsg(db));
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            tipo = sqlite3_column_type(st, 0);
            const auto *t = sqlite3_column_text(st, 0);
            texto = t ? reinterpret_cast<const char *>(t) : "";
        }
        sqlite3_finalize(st);
        return rc == SQLITE_ROW ? std::string() : std::string(sqlite3_errmsg(db));
    };
    std::string texto;
    int tipo = 0;

    const char *textos[] = {"O'Brien", "'; drop table x; --", "100%", "a;b,c", "barra\\n", "ação ✓", "''", ""};
    for (const char *t : textos) {
        ASSERT_EQ(umValor("select " + ValorParaSQL(QString::fromUtf8(t), ftString), texto, tipo), "") << t;
        EXPECT_EQ(texto, t);
    }
    ASSERT_EQ(umValor("select " + ValorParaSQL(qint64(999999999999999), ftFloat), texto, tipo), "");
    EXPECT_EQ(tipo, SQLITE_INTEGER);
    EXPECT_EQ(texto, "999999999999999");
    ASSERT_EQ(umValor("select " + ValorParaSQL(1e-7, ftFloat) + " = 1e-7", texto, tipo), "");
    EXPECT_EQ(texto, "1");
    ASSERT_EQ(umValor("select date(" + ValorParaSQL(QDate(2024, 2, 29), ftDate) + ", '+1 day')", texto, tipo), "");
    EXPECT_EQ(texto, "2024-03-01");

    // Thousands of ranges and codes: the search by halves and the or-chain stay within
    // SQLite's expression depth and find the same rows.
    QStringList faixas, codigos;
    for (int i = 0; i < 1200; ++i) {
        faixas << QString("%1-%2").arg(i * 10).arg(i * 10 + 2); // 3 values of every 10
        codigos << QString::number(i * 7);
    }
    ASSERT_EQ(umValor("with recursive n(c) as (select 0 union all select c + 1 from n where c < 11999) "
                      "select count(*) from n where 1 = 1" + FilterInterval("N.C", faixas.join(';')),
                      texto, tipo),
              "");
    EXPECT_EQ(texto, "3600");
    ASSERT_EQ(umValor("with recursive n(c) as (select 0 union all select c + 1 from n where c < 11999) "
                      "select count(*) from n where 1 = 1" + FilterInterval("c;N.C", codigos.join(',')),
                      texto, tipo),
              "");
    EXPECT_EQ(texto, "1200");
    sqlite3_close(db);
}

// Messages that repeat what someone typed quote at most 60 characters of it, then "…": a
// 100,000-character input gives a short message on every path.
TEST(Citacao, TextoLongoCortadoEmSessentaCaracteres)
{
    const QString longo = QString(100000, u'9') + u'x', letras = QString(100000, u'a');

    // A number typed by a user, a literal and a multi-value condition.
    CitaSessenta(Erro([&] { StrToFloatBR(longo); }), u'9');
    CitaSessenta(Erro([&] { ValorParaSQL(letras, ftInteger); }), u'a');
    CitaSessenta(Erro([&] { FilterInterval(QStringLiteral("CODIGOESTAB"), longo); }), u'9');

    // A filter expression, whole and its token.
    const auto campo = [](const QString &, TnCampoFiltro &c) {
        c = {0, ftInteger, 0};
        return true;
    };
    CitaSessenta(Erro([&] { TnFiltro::Compilar(QStringLiteral("A = '") + letras + u'\'', campo); }), u'a');

    // A field of the client dataset, and a process parameter.
    const TnDefCampo campos[] = {{.Nome = "N", .Tipo = ftInteger}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    ds.Append();
    CitaSessenta(Erro([&] { ds.FieldByName("N").SetAsString(letras); }), u'a');
    TnpqParamItem p(TnDefParam{.Alias = "pN", .Caption = "N", .Tipo = ntpInteiro});
    p.SetText(letras);
    try {
        p.AsInteger();
        ADD_FAILURE();
    } catch (const EnParam &e) {
        CitaSessenta(e.Message(), u'a');
    }
}
