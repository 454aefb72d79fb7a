#include "EsquemaTabelas.h"

const char *const ModuloInv = "Orvo";

namespace {

enum TObrig { Opcional, Obrigatoria };

TnColunaEsq Coluna(const char *nome, TFieldType tipo, TObrig o, const char *padrao)
{
    TnColunaEsq c;
    c.Nome = QString::fromLatin1(nome);
    c.Tipo = tipo;
    c.NaoNulo = o == Obrigatoria;
    c.Padrao = QString::fromLatin1(padrao);
    return c;
}

// Codes of company, branch, reason, sequence, user, settings.
TnColunaEsq Inteiro16(const char *nome, TObrig o = Opcional, const char *padrao = "")
{
    return Coluna(nome, ftSmallint, o, padrao);
}
TnColunaEsq Inteiro32(const char *nome, TObrig o = Opcional) { return Coluna(nome, ftInteger, o, ""); }
// Product codes and accounting accounts.
TnColunaEsq Inteiro64(const char *nome, TObrig o = Opcional) { return Coluna(nome, ftLargeint, o, ""); }
// Quantities and unit costs.
TnColunaEsq Real(const char *nome, TObrig o = Opcional) { return Coluna(nome, ftFloat, o, ""); }
TnColunaEsq Decimal(const char *nome, int precisao, int escala, TObrig o = Opcional, const char *padrao = "")
{
    TnColunaEsq c = Coluna(nome, ftBCD, o, padrao);
    c.Precisao = precisao;
    c.Escala = escala;
    return c;
}
TnColunaEsq Dinheiro(const char *nome, TObrig o = Opcional, const char *padrao = "")
{
    return Decimal(nome, 18, 2, o, padrao);
}
TnColunaEsq Texto(const char *nome, int tamanho, TObrig o = Opcional)
{
    TnColunaEsq c = Coluna(nome, ftString, o, "");
    c.Tamanho = tamanho;
    return c;
}
// Yes/no settings: "1" or "0".
TnColunaEsq SimNao(const char *nome, TObrig o = Opcional, const char *padrao = "")
{
    TnColunaEsq c = Coluna(nome, ftString, o, padrao);
    c.Tamanho = 1;
    c.Fixo = true;
    return c;
}
TnColunaEsq Data(const char *nome, TObrig o = Opcional) { return Coluna(nome, ftDate, o, ""); }
TnColunaEsq DataHora(const char *nome, TObrig o = Opcional) { return Coluna(nome, ftDateTime, o, ""); }

TnColunaEsq Empresa() { return Inteiro16("CODIGOEMPRESA", Obrigatoria); }
TnColunaEsq Estab() { return Inteiro16("CODIGOESTAB", Obrigatoria); }
TnColunaEsq Produto(const char *nome = "CODIGOPRODUTO", TObrig o = Obrigatoria) { return Inteiro64(nome, o); }
// Competence of a Bloco K record (the month, kept as a date).
TnColunaEsq Competencia() { return Data("DATALCTOFIS", Obrigatoria); }
TnColunaEsq QtdeK(const char *nome, TObrig o = Obrigatoria) { return Decimal(nome, 18, 3, o); }
// Order or service-order codes of the Bloco K.
TnColunaEsq CodigoOrdem(const char *nome, TObrig o = Opcional) { return Texto(nome, 30, o); }

// A detail record disappears with its master; the key columns have the same names.
TnChaveEstrangeiraEsq Mestre(const QString &detalhe, const QString &mestre, const QString &chave)
{
    return {.Nome = "FK_" + detalhe + "_" + mestre, .Colunas = chave, .TabelaRef = mestre, .ColunasRef = chave,
            .AoExcluir = aeCascata};
}

// The company and the branch a row belongs to exist (a company or branch still used cannot
// be deleted).
TnChaveEstrangeiraEsq DaEmpresa(const QString &tabela)
{
    return {.Nome = "FK_" + tabela + "_EMPRESA", .Colunas = "CODIGOEMPRESA", .TabelaRef = "EMPRESA",
            .ColunasRef = "CODIGOEMPRESA"};
}
TnChaveEstrangeiraEsq DoEstab(const QString &tabela)
{
    return {.Nome = "FK_" + tabela + "_ESTAB", .Colunas = "CODIGOEMPRESA;CODIGOESTAB", .TabelaRef = "ESTAB",
            .ColunasRef = "CODIGOEMPRESA;CODIGOESTAB"};
}

// An item of a joint production (K291 and K292 under K290, K301 and K302 under K300):
// the master's key, the product and its quantity.
TnTabelaEsq ItemProducaoConjunta(const QString &tabela, const QString &mestre, const QString &chaveMestre,
                                 const TnColunaEsq &fimDaChaveMestre, const char *quantidade,
                                 std::vector<TnIndiceEsq> indices = {})
{
    return {.Nome = tabela,
            .Colunas = {Empresa(), Estab(), Competencia(), fimDaChaveMestre, Produto(), QtdeK(quantidade)},
            .ChavePrimaria = chaveMestre + ";CODIGOPRODUTO",
            .Estrangeiras = {Mestre(tabela, mestre, chaveMestre)},
            .Indices = std::move(indices)};
}

// The query of the Bloco K records filters some records by a date other than the competence
// (the stock date of K280, the recognition date of K300 to K302): an index per table over
// the company, the branch and that date.
TnIndiceEsq IndicePeriodo(const QString &nome, const char *data)
{
    return {.Nome = nome, .Colunas = QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;") + QLatin1String(data)};
}

// ---------------------------------------------------------------------------------------
// Tables of the suite's general registry that the module reads (and, for products and
// product groups, writes). The module only relies on the columns listed here.

TnEsquema TabelasSuite()
{
    return {
        {.Nome = "EMPRESA",
         .Colunas = {Empresa(), Texto("NOMEEMPRESA", 100)},
         .ChavePrimaria = "CODIGOEMPRESA"},
        // A branch is active in a month that its activity dates cover (empty: no limit).
        {.Nome = "ESTAB",
         .Colunas = {Empresa(), Estab(), Texto("NOMEESTAB", 100), Texto("INSCRFEDERAL", 18),
                     Data("DATAINICIOATIVIDADE"), Data("DATAFIMATIVIDADE")},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB",
         .Estrangeiras = {DaEmpresa("ESTAB")}},
        {.Nome = "PESSOA",
         .Colunas = {Inteiro32("CODIGOPESSOA", Obrigatoria), Texto("NOMEPESSOA", 100)},
         .ChavePrimaria = "CODIGOPESSOA"},
        {.Nome = "USUARIO",
         .Colunas = {Inteiro16("CODIGOUSUARIO", Obrigatoria), Texto("NOMEUSUARIO", 60)},
         .ChavePrimaria = "CODIGOUSUARIO"},
        // The product-group chart: TIPOGRUPOPRODUTO 1 synthetic, 2 analytic.
        {.Nome = "GRUPOPRODUTO",
         .Colunas = {Empresa(), Inteiro32("CODIGOGRUPOPRODUTO", Obrigatoria), Texto("CLASSIFGRUPOPRODUTO", 20),
                     Inteiro16("TIPOGRUPOPRODUTO"), Texto("DESCRGRUPOPRODUTO", 60),
                     Texto("APELIDOGRUPOPRODUTO", 20), Texto("TIPOGRUPOPRODUTOSINCO", 2)},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOGRUPOPRODUTO"},
        {.Nome = "PRODUTO",
         .Colunas = {Empresa(), Produto(), Texto("REFERENPRODUTO", 60), Inteiro32("CODIGOGRUPOPRODUTO"),
                     Texto("DESCRPRODUTO", 120), Texto("CODIGONCM", 12), Texto("UNIDADEMEDIDA", 10),
                     Inteiro16("INDICADORTIPO"), // SPED item type
                     Texto("TIPOCREDITO", 20), Texto("TIPODEBITO", 20), Inteiro32("CSTENTRADA"),
                     Inteiro32("CSTSAIDA"), Inteiro32("CSTCOFINSENTRADA"), Inteiro32("CSTCOFINSSAIDA"),
                     Texto("TIPOCREDITOCOFINS", 20), Texto("TIPODEBITOCOFINS", 20), SimNao("DNF"),
                     SimNao("DACON"), Data("DATAATUALIZACAO"), Inteiro16("CODIGOUSUARIO")},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOPRODUTO",
         // A product without a group is allowed; a group it names must exist.
         .Estrangeiras = {DaEmpresa("PRODUTO"),
                          {.Nome = "FK_PRODUTO_GRUPOPRODUTO",
                           .Colunas = "CODIGOEMPRESA;CODIGOGRUPOPRODUTO",
                           .TabelaRef = "GRUPOPRODUTO",
                           .ColunasRef = "CODIGOEMPRESA;CODIGOGRUPOPRODUTO"}},
         .Indices = {{.Nome = "IDX_PRODUTO_GRUPOPRODUTO", .Colunas = "CODIGOEMPRESA;CODIGOGRUPOPRODUTO"}}},
        {.Nome = "CFGEMPRESAULMAR",
         .Colunas = {Empresa(), SimNao("USAREFERENCIAPROD"), SimNao("LIVROMODELO7"),
                     Texto("MASCCLASSIFFISCALPROD", 20), Texto("MASCGRUPOPRODUTO", 20)},
         .ChavePrimaria = "CODIGOEMPRESA"},
    };
}

// The fiscal module's monthly closing stock balances (its stock control), which the balance
// process of that module reads: one row per company, branch, month (its first day) and
// product. A suite table, added after the others.
TnEsquema TabelasSuiteFiscal()
{
    return {
        {.Nome = "SALDOESTOQUE",
         .Colunas = {Empresa(), Estab(), Data("DATASALDO", Obrigatoria), Produto(), Real("QUANTIDADE", Obrigatoria),
                     Real("VALORUNITARIO", Obrigatoria), Dinheiro("VALORTOTAL", Obrigatoria, "0")},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB;DATASALDO;CODIGOPRODUTO"},
    };
}

// ---------------------------------------------------------------------------------------
// Inventory settings, entries and their property and tax-situation breakdowns.

TnEsquema TabelasInventario()
{
    const char *chaveLcto = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO";
    const char *chavePropriedade = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO;SEQ";
    return {
        {.Nome = "CFGEMPRESAINV",
         .Colunas = {Empresa(), Inteiro16("QTDECASADECIMAL", Obrigatoria, "2"),
                     Inteiro16("QTDECASADECIMALQTD", Obrigatoria, "4"),
                     SimNao("LANCAICMSRECUP", Obrigatoria, "'0'"), SimNao("DETALHARPISCOFINSITEM", Obrigatoria, "'0'"),
                     Inteiro16("PERIODOINVENTARIO", Obrigatoria, "0")},
         .ChavePrimaria = "CODIGOEMPRESA"},
        {.Nome = "LCTOINV",
         .Colunas = {Empresa(), Estab(), Data("DATAINVENT", Obrigatoria), Produto(),
                     Inteiro16("MOTIVOINVENTARIO", Obrigatoria), Real("QTDEESTOQUE", Obrigatoria),
                     Real("PRECOUNIT", Obrigatoria), Dinheiro("VALORIR"), Dinheiro("VALORICMS", Obrigatoria, "0"),
                     Dinheiro("VALORPIS", Obrigatoria, "0"), Dinheiro("VALORCOFINS", Obrigatoria, "0"),
                     Texto("OBSLCTOINV", 40), DataHora("DATAHORALCTOINV", Obrigatoria),
                     Inteiro16("CODIGOUSUARIO", Obrigatoria), Decimal("VALORMEDIOICMS", 18, 6),
                     Decimal("VALORMEDIOBCICMSST", 18, 6), Decimal("VALORMEDIOICMSST", 18, 6),
                     Decimal("VALORMEDIOFCP", 18, 6), Inteiro16("ORIGEMDADO", Obrigatoria), Inteiro32("IDSYN")},
         .ChavePrimaria = chaveLcto,
         // An entry's company, branch and product exist; a product still used by an entry
         // cannot be deleted.
         .Estrangeiras = {DaEmpresa("LCTOINV"), DoEstab("LCTOINV"),
                          {.Nome = "FK_LCTOINV_PRODUTO",
                           .Colunas = "CODIGOEMPRESA;CODIGOPRODUTO",
                           .TabelaRef = "PRODUTO",
                           .ColunasRef = "CODIGOEMPRESA;CODIGOPRODUTO",
                           .AoExcluir = aeRestringir}},
         // Serves that check when a product is deleted.
         .Indices = {{.Nome = "IDX_LCTOINV_PRODUTO", .Colunas = "CODIGOEMPRESA;CODIGOPRODUTO"}}},
        {.Nome = "LCTOINVPROPRIEDADE",
         .Colunas = {Empresa(), Estab(), Data("DATAINVENT", Obrigatoria), Produto(),
                     Inteiro16("MOTIVOINVENTARIO", Obrigatoria), Inteiro16("SEQ", Obrigatoria),
                     Inteiro16("INDICADORPROPRIEDADE", Obrigatoria, "0"), Inteiro32("CODIGOPESSOAPART"),
                     Inteiro64("CONTACTB"), Real("QUANTIDADE", Obrigatoria), Real("PRECOUNIT", Obrigatoria),
                     Dinheiro("VALORIR")},
         .ChavePrimaria = chavePropriedade,
         .Estrangeiras = {Mestre("LCTOINVPROPRIEDADE", "LCTOINV", chaveLcto)}},
        {.Nome = "LCTOINVCST",
         .Colunas = {Empresa(), Estab(), Data("DATAINVENT", Obrigatoria), Produto(),
                     Inteiro16("MOTIVOINVENTARIO", Obrigatoria), Inteiro16("SEQ", Obrigatoria),
                     Inteiro16("CST", Obrigatoria), Dinheiro("BASECALCULO", Obrigatoria),
                     Dinheiro("VALORIMPOSTO", Obrigatoria)},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO;SEQ;CST",
         .Estrangeiras = {Mestre("LCTOINVCST", "LCTOINVPROPRIEDADE", chavePropriedade)}},
    };
}

// ---------------------------------------------------------------------------------------
// SPED Fiscal record 0210 and Bloco K. Product columns hold codes of PRODUTO of the same
// company without a reference: the records accept a code the registry does not have.
// Where the duplicate-key message names a natural key besides the primary key, a unique
// rule holds it, company and branch included, with NULLs taken as equal.

TnEsquema TabelasBlocoK()
{
    const char *chaveK210 = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210";
    const char *chaveK230 = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOORDEMPRODUCAO;CODIGOPRODUTO";
    const char *chaveK250 = "CODIGOEMPRESA;CODIGOESTAB;DATAPRODUCAO;CODIGOPRODUTO";
    const char *chaveK260 = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK260";
    const char *chaveK270 = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK270";
    const char *chaveK290 = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK290";
    const char *chaveK300 = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;DATARECONHECPROD";
    const TnColunaEsq seqK290 = Inteiro16("SEQK290", Obrigatoria);
    const TnColunaEsq reconhecimento = Data("DATARECONHECPROD", Obrigatoria);
    return {
        {.Nome = "SPEDFIS0210",
         .Colunas = {Empresa(), Estab(), Produto(), Produto("CODIGOINSUMO"),
                     Decimal("QUANTIDADE", 18, 6, Obrigatoria), Decimal("PERDA", 18, 4, Obrigatoria)},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB;CODIGOPRODUTO;CODIGOINSUMO"},
        {.Nome = "SPEDFISK200",
         .Colunas = {Empresa(), Estab(), Competencia(), Produto(), Inteiro16("INDICADORESTOQUE", Obrigatoria),
                     Inteiro16("SEQ", Obrigatoria), QtdeK("QUANTIDADE"), Inteiro32("CODIGOPESSOA")},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTO;INDICADORESTOQUE;SEQ"},
        {.Nome = "SPEDFISK210",
         .Colunas = {Empresa(), Estab(), Competencia(), Inteiro16("SEQK210", Obrigatoria), Produto(),
                     QtdeK("QUANTIDADE"), CodigoOrdem("CODIGODOCOS"), Data("DATAINICIALOS"), Data("DATAFINALOS")},
         .ChavePrimaria = chaveK210,
         .Unicas = {{.Nome = "UNQ_SPEDFISK210",
                     .Colunas = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTO;CODIGODOCOS"}}},
        {.Nome = "SPEDFISK215",
         .Colunas = {Empresa(), Estab(), Competencia(), Inteiro16("SEQK210", Obrigatoria), Produto(),
                     QtdeK("QUANTIDADE")},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210;CODIGOPRODUTO",
         .Estrangeiras = {Mestre("SPEDFISK215", "SPEDFISK210", chaveK210)}},
        {.Nome = "SPEDFISK220",
         .Colunas = {Empresa(), Estab(), Competencia(), Produto("CODIGOPRODUTOORI"), Produto("CODIGOPRODUTODEST"),
                     QtdeK("QUANTIDADE"), QtdeK("QUANTIDADEDEST")},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTOORI;CODIGOPRODUTODEST"},
        {.Nome = "SPEDFISK230",
         .Colunas = {Empresa(), Estab(), Competencia(), CodigoOrdem("CODIGOORDEMPRODUCAO", Obrigatoria), Produto(),
                     Data("DATAINICIOORDEMPRODUCAO"), Data("DATAFIMORDEMPRODUCAO"),
                     Decimal("QUANTIDADE", 18, 6, Obrigatoria)},
         .ChavePrimaria = chaveK230},
        {.Nome = "SPEDFISK235",
         .Colunas = {Empresa(), Estab(), Competencia(), CodigoOrdem("CODIGOORDEMPRODUCAO", Obrigatoria), Produto(),
                     Data("DATASAIDA", Obrigatoria), Produto("CODIGOINSUMO"), Decimal("QUANTIDADE", 18, 6, Obrigatoria),
                     Produto("CODIGOINSUMOSUBSTITUIDO", Opcional)},
         .ChavePrimaria =
             "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOORDEMPRODUCAO;CODIGOPRODUTO;DATASAIDA;CODIGOINSUMO",
         .Estrangeiras = {Mestre("SPEDFISK235", "SPEDFISK230", chaveK230)}},
        {.Nome = "SPEDFISK250",
         .Colunas = {Empresa(), Estab(), Data("DATAPRODUCAO", Obrigatoria), Produto(),
                     Decimal("QUANTIDADE", 18, 6, Obrigatoria)},
         .ChavePrimaria = chaveK250},
        {.Nome = "SPEDFISK255",
         .Colunas = {Empresa(), Estab(), Data("DATAPRODUCAO", Obrigatoria), Produto(), Data("DATACONSUMO", Obrigatoria),
                     Produto("CODIGOINSUMO"), Decimal("QUANTIDADE", 18, 6, Obrigatoria),
                     Produto("CODIGOINSUMOSUBSTITUIDO", Opcional)},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB;DATAPRODUCAO;CODIGOPRODUTO;DATACONSUMO;CODIGOINSUMO",
         .Estrangeiras = {Mestre("SPEDFISK255", "SPEDFISK250", chaveK250)}},
        {.Nome = "SPEDFISK260",
         .Colunas = {Empresa(), Estab(), Competencia(), Inteiro16("SEQK260", Obrigatoria), Produto(),
                     Data("DATASAIDA", Obrigatoria), QtdeK("QUANTIDADESAI"), Data("DATARETORNO"),
                     QtdeK("QUANTIDADERET", Opcional), CodigoOrdem("CODIGOOPOS")},
         .ChavePrimaria = chaveK260,
         .Unicas = {{.Nome = "UNQ_SPEDFISK260",
                     .Colunas = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTO;CODIGOOPOS"}}},
        {.Nome = "SPEDFISK265",
         .Colunas = {Empresa(), Estab(), Competencia(), Inteiro16("SEQK260", Obrigatoria), Produto(),
                     QtdeK("QTDCONSUMIDA", Opcional), QtdeK("QTDRETORNADA", Opcional)},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK260;CODIGOPRODUTO",
         .Estrangeiras = {Mestre("SPEDFISK265", "SPEDFISK260", chaveK260)}},
        {.Nome = "SPEDFISK270",
         .Colunas = {Empresa(), Estab(), Competencia(), Inteiro16("SEQK270", Obrigatoria),
                     Inteiro16("ORIGEM", Obrigatoria, "3"), Produto(), QtdeK("QTDCORRECAOPOS", Opcional),
                     QtdeK("QTDCORRECAONEG", Opcional), CodigoOrdem("CODIGOOPOS"), Data("DATAINIAPURACAO"),
                     Data("DATAFIMAPURACAO")},
         .ChavePrimaria = chaveK270,
         .Unicas = {{.Nome = "UNQ_SPEDFISK270",
                     .Colunas = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTO;CODIGOOPOS;"
                                "DATAINIAPURACAO;DATAFIMAPURACAO"}}},
        {.Nome = "SPEDFISK275",
         .Colunas = {Empresa(), Estab(), Competencia(), Inteiro16("SEQK270", Obrigatoria), Produto(),
                     QtdeK("QTDCORRECAOPOS", Opcional), QtdeK("QTDCORRECAONEG", Opcional),
                     Produto("CODINSUMOSUBST", Opcional)},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK270;CODIGOPRODUTO",
         .Estrangeiras = {Mestre("SPEDFISK275", "SPEDFISK270", chaveK270)}},
        {.Nome = "SPEDFISK280",
         .Colunas = {Empresa(), Estab(), Competencia(), Inteiro16("SEQK280", Obrigatoria),
                     Data("DATAESTOQUE", Obrigatoria), Inteiro16("INDICADORESTOQUE", Obrigatoria, "0"), Produto(),
                     Inteiro32("CODIGOPESSOA"), QtdeK("QTDCORRECAOPOS", Opcional), QtdeK("QTDCORRECAONEG", Opcional)},
         .ChavePrimaria = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK280",
         .Unicas = {{.Nome = "UNQ_SPEDFISK280",
                     .Colunas = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;DATAESTOQUE;INDICADORESTOQUE;"
                                "CODIGOPRODUTO;CODIGOPESSOA"}},
         .Indices = {IndicePeriodo("IDX_SPEDFISK280_DATAESTOQUE", "DATAESTOQUE")}},
        {.Nome = "SPEDFISK290",
         .Colunas = {Empresa(), Estab(), Competencia(), seqK290,
                     Data("DATAINICIALORDEMPRODUCAO", Obrigatoria), Data("DATAFINALORDEMPRODUCAO"),
                     CodigoOrdem("CODIGOOPOS", Obrigatoria)},
         .ChavePrimaria = chaveK290,
         .Unicas = {{.Nome = "UNQ_SPEDFISK290", .Colunas = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOOPOS"}}},
        ItemProducaoConjunta("SPEDFISK291", "SPEDFISK290", chaveK290, seqK290, "QTDPRODUCAOACABADA"),
        ItemProducaoConjunta("SPEDFISK292", "SPEDFISK290", chaveK290, seqK290, "QTDCONSUMIDA"),
        // The competence and recognition date are the natural key: the primary key holds it.
        {.Nome = "SPEDFISK300",
         .Colunas = {Empresa(), Estab(), Competencia(), reconhecimento},
         .ChavePrimaria = chaveK300,
         .Indices = {IndicePeriodo("IDX_SPEDFISK300_RECONHEC", "DATARECONHECPROD")}},
        ItemProducaoConjunta("SPEDFISK301", "SPEDFISK300", chaveK300, reconhecimento, "QTDE",
                             {IndicePeriodo("IDX_SPEDFISK301_RECONHEC", "DATARECONHECPROD")}),
        ItemProducaoConjunta("SPEDFISK302", "SPEDFISK300", chaveK300, reconhecimento, "QTDE",
                             {IndicePeriodo("IDX_SPEDFISK302_RECONHEC", "DATARECONHECPROD")}),
    };
}

// ---------------------------------------------------------------------------------------
// Tables of our framework: the user's permitted window, the framework's settings and the
// modules' standard jobs (Personalizacao.h, SuiteInv.h).

TnEsquema TabelasFramework()
{
    return {
        {.Nome = "NPERSONALIZACAO",
         .Colunas = {Inteiro16("CODIGOUSUARIO", Obrigatoria), Data("DATAFINALPERMITIDA")},
         .ChavePrimaria = "CODIGOUSUARIO"},
        {.Nome = "NCONFIGURACAO",
         .Colunas = {Texto("CHAVE", 60, Obrigatoria), Texto("VALOR", 255)},
         .ChavePrimaria = "CHAVE"},
        // PERIODICIDADE: 1 daily, 2 weekly, 3 monthly; ATIVO "1" when the user switched it on.
        {.Nome = "NJOBCADASTRO",
         .Colunas = {Texto("MODULO", 30, Obrigatoria), Texto("NOMEJOB", 60, Obrigatoria),
                     Texto("DESCRICAO", 200, Obrigatoria), Texto("CLASSE", 80, Obrigatoria),
                     Inteiro16("PERIODICIDADE", Obrigatoria, "3"), SimNao("ATIVO", Obrigatoria, "'0'"),
                     DataHora("DATAHORAATUALIZACAO")},
         .ChavePrimaria = "MODULO;NOMEJOB"},
    };
}

// Saved custom queries (ConsultaPersonalizada.h): the definition is a JSON document; the
// name is unique per action type.
TnEsquema TabelasConsultaPersonalizada()
{
    TnColunaEsq definicao{.Nome = "DEFINICAO", .Tipo = ftMemo, .NaoNulo = true};
    return {
        {.Nome = "NCONSULTAPERSONALIZADA",
         .Colunas = {Inteiro32("CODIGOCONSULTA", Obrigatoria), Texto("NOMECONSULTA", 100, Obrigatoria),
                     Inteiro16("TIPOACAO", Obrigatoria), definicao, Inteiro16("CODIGOUSUARIO"),
                     DataHora("MOMENTO")},
         .ChavePrimaria = "CODIGOCONSULTA",
         .Unicas = {{.Nome = "UNQ_NCONSULTAPERSONALIZADA_NOME", .Colunas = "TIPOACAO;NOMECONSULTA"}}},
    };
}

// A database without any company gets one sample company with one branch and its settings,
// and a default user when it has none, so that a new installation opens straight into a
// usable window. Each statement checks for itself, so nothing is inserted where the suite
// already keeps companies; the company goes first, since its branch and settings refer to it.
const char *const kDadosIniciais =
    "insert into USUARIO (CODIGOUSUARIO, NOMEUSUARIO) "
    "select 1, 'ADMINISTRADOR' where not exists (select 1 from USUARIO); "
    "insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) select 1, 'Empresa Exemplo' "
    "where not exists (select 1 from EMPRESA); "
    "insert into CFGEMPRESAINV (CODIGOEMPRESA, QTDECASADECIMAL, QTDECASADECIMALQTD, LANCAICMSRECUP, "
    "DETALHARPISCOFINSITEM, PERIODOINVENTARIO) select 1, 2, 4, '0', '0', 0 "
    "where exists (select 1 from EMPRESA where CODIGOEMPRESA = 1 and NOMEEMPRESA = 'Empresa Exemplo') "
    "and (select count(*) from EMPRESA) = 1 and not exists (select 1 from CFGEMPRESAINV where CODIGOEMPRESA = 1); "
    "insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) select 1, 1, 'Estabelecimento Exemplo' "
    "where exists (select 1 from EMPRESA where CODIGOEMPRESA = 1 and NOMEEMPRESA = 'Empresa Exemplo') "
    "and (select count(*) from EMPRESA) = 1 and not exists (select 1 from ESTAB where CODIGOEMPRESA = 1)";

// The sample company's general settings (products identified by their codes), which it
// lacked before: its inventory entries follow the company's settings as any other's.
const char *const kConfiguracaoGeralExemplo =
    "insert into CFGEMPRESAULMAR (CODIGOEMPRESA, USAREFERENCIAPROD, LIVROMODELO7) select 1, '0', '0' "
    "where exists (select 1 from EMPRESA where CODIGOEMPRESA = 1 and NOMEEMPRESA = 'Empresa Exemplo') "
    "and not exists (select 1 from CFGEMPRESAULMAR where CODIGOEMPRESA = 1)";

// The declared indexes of these tables, each created where the database lacks it (a
// database made before they were declared).
QString IndicesQueFaltam(const QStringList &tabelas, const TnEsquema &esquema)
{
    QStringList ddl;
    for (const QString &nome : tabelas)
        for (const TnIndiceEsq &i : TabelaDoEsquema(esquema, nome)->Indices)
            ddl << QStringLiteral("create index if not exists %1 on %2 (%3)")
                       .arg(i.Nome, nome, ListaNomes(i.Colunas).join(QStringLiteral(", ")));
    return ddl.join(QStringLiteral("; "));
}

QStringList Nomes(const TnEsquema &tabelas)
{
    QStringList nomes;
    for (const TnTabelaEsq &t : tabelas)
        nomes << t.Nome;
    return nomes;
}

TnEsquema Juntar(std::initializer_list<TnEsquema> grupos)
{
    TnEsquema todas;
    for (const TnEsquema &g : grupos)
        todas.insert(todas.end(), g.begin(), g.end());
    return todas;
}

} // namespace

const TnEsquema &EsquemaInv()
{
    static const TnEsquema esquema =
        Juntar({TabelasSuite(), TabelasInventario(), TabelasBlocoK(), TabelasFramework(), TabelasSuiteFiscal(),
                TabelasConsultaPersonalizada()});
    return esquema;
}

const std::vector<TnPassoConversao> &PassosConversaoInv()
{
    static const QStringList kTabelasPeriodoBlocoK = {"SPEDFISK280", "SPEDFISK300", "SPEDFISK301", "SPEDFISK302"};
    static const std::vector<TnPassoConversao> passos = {
        {.Versao = 1,
         .Tipo = tpCriarTabelas,
         .Descricao = "cadastros gerais usados pelo inventário",
         .Tabelas = Nomes(TabelasSuite())},
        {.Versao = 2,
         .Tipo = tpCriarTabelas,
         .Descricao = "configuração e lançamentos do inventário",
         .Tabelas = Nomes(TabelasInventario())},
        {.Versao = 3,
         .Tipo = tpCriarTabelas,
         .Descricao = "SPED Fiscal: registro 0210 e Bloco K",
         .Tabelas = Nomes(TabelasBlocoK())},
        {.Versao = 4,
         .Tipo = tpCriarTabelas,
         .Descricao = "personalização, configurações e jobs do framework",
         .Tabelas = Nomes(TabelasFramework())},
        {.Versao = 5,
         .Tipo = tpExecutarSQL,
         .Descricao = "empresa de exemplo e usuário padrão",
         .SQLSQLite = kDadosIniciais,
         .SQLPostgreSQL = kDadosIniciais},
        {.Versao = 6,
         .Tipo = tpExecutarSQL,
         .Descricao = "configuração geral da empresa de exemplo",
         .SQLSQLite = kConfiguracaoGeralExemplo,
         .SQLPostgreSQL = kConfiguracaoGeralExemplo},
        {.Versao = 7, .Tipo = tpAdicionarReferencias, .Descricao = "estabelecimento da empresa",
         .Tabelas = {"ESTAB"}, .Referencias = {"FK_ESTAB_EMPRESA"}},
        {.Versao = 8, .Tipo = tpAdicionarReferencias, .Descricao = "empresa e grupo do produto",
         .Tabelas = {"PRODUTO"}, .Referencias = {"FK_PRODUTO_EMPRESA", "FK_PRODUTO_GRUPOPRODUTO"}},
        {.Versao = 9, .Tipo = tpAdicionarReferencias, .Descricao = "empresa e estabelecimento do lançamento",
         .Tabelas = {"LCTOINV"}, .Referencias = {"FK_LCTOINV_EMPRESA", "FK_LCTOINV_ESTAB"}},
        {.Versao = 10,
         .Tipo = tpCriarTabelas,
         .Descricao = "saldos mensais de estoque do módulo fiscal",
         .Tabelas = Nomes(TabelasSuiteFiscal())},
        {.Versao = 11,
         .Tipo = tpCriarTabelas,
         .Descricao = "consultas personalizadas salvas",
         .Tabelas = Nomes(TabelasConsultaPersonalizada())},
        {.Versao = 12,
         .Tipo = tpExecutarSQL,
         .Descricao = "índices de período do Bloco K",
         .SQLSQLite = IndicesQueFaltam(kTabelasPeriodoBlocoK, TabelasBlocoK()),
         .SQLPostgreSQL = IndicesQueFaltam(kTabelasPeriodoBlocoK, TabelasBlocoK())},
    };
    return passos;
}

int ConverterBanco(nDMConexao &con)
{
    return ConverterBanco(con, ModuloInv, EsquemaInv(), PassosConversaoInv());
}
