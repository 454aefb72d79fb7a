#include "OrvoConsultaRotinasBlocoK_U.h"

#include "Literais.h"

namespace {

// ---- the fields of the targets ------------------------------------------------------------
// Texts are as wide as the columns they come from: a description of PRODUTO 120, a name of
// PESSOA 100, an order code 30. Codes of company and branch and the sequences are hidden.
// Every field of a master grid is read-only. The tables are made on first use.

TnDefCampo Campo(const char *nome, TFieldType tipo, const char *caption, int tamanho = 0)
{
    return {.Nome = nome, .Tipo = tipo, .Tamanho = tamanho, .SomenteLeitura = true,
            .Def = {.DisplayLabel = QString::fromUtf8(caption)}};
}
TnDefCampo Origem(const char *nome = "ORIGEM", int tamanho = 20) { return Campo(nome, ftString, "Rotina Origem", tamanho); }
TnDefCampo Data(const char *nome, const char *caption) { return Campo(nome, ftDate, caption); }
TnDefCampo Produto(const char *nome, const char *caption) { return Campo(nome, ftLargeint, caption); }
TnDefCampo Descricao(const char *nome, const char *caption = "Descrição") { return Campo(nome, ftString, caption, 120); }
TnDefCampo Pessoa(const char *nome, const char *caption) { return Campo(nome, ftString, caption, 100); }
TnDefCampo Qtde(const char *nome, const char *caption, int escala = 4)
{
    TnDefCampo c = Campo(nome, ftBCD, caption);
    c.Precisao = 18;
    c.Escala = escala;
    c.Def.DisplayFormat = QStringLiteral("#,##0.000000");
    return c;
}
TnDefCampo Oculto(const char *nome, TFieldType tipo = ftSmallint)
{
    TnDefCampo c = Campo(nome, tipo, "");
    c.Def.DisplayLabel = QString::fromLatin1(nome);
    c.Def.Visivel = false;
    return c;
}
TnDefCampo TipoEstoque()
{
    TnDefCampo c = Campo("INDICADORESTOQUE", ftSmallint, "Tipo de Estoque");
    c.Def.Chave = QStringLiteral("INDICADORESTOQUE");
    c.Def.TipoControle = ntcCombo;
    return c;
}

// A family's main product joins its register (inner): a record whose product the
// registry lacks is not listed.
const char *const kJoinProduto = " join PRODUTO P on P.CODIGOPRODUTO=K.CODIGOPRODUTO and P.CODIGOEMPRESA=K.CODIGOEMPRESA";
const char *const kJoinPessoa = " left join PESSOA PE on PE.CODIGOPESSOA=K.CODIGOPESSOA";

} // namespace

// ---- K200 -----------------------------------------------------------------------------------

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaRotinaBlocoK200::New()
{
    return std::make_unique<TOrvoConsultaRotinaBlocoK200>();
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK200::CamposMestre() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Data("DATALCTOFIS", "Data do Estoque Final"),
        Produto("CODIGOPRODUTO", "Produto"),
        Descricao("DESCRICAOPRODUTO", "Descricao"),
        TipoEstoque(),
        Qtde("QUANTIDADE", "Quantidade em Estoque"),
        Campo("CODIGOPESSOA", ftInteger, "Código do Participante"),
        Pessoa("NOMEPESSOA", "Descrição"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("SEQ"),
    };
    return campos;
}

QString TOrvoConsultaRotinaBlocoK200::GetSQLMestre() const
{
    return QStringLiteral("select cast('K200' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.CODIGOPRODUTO,"
                          "P.DESCRPRODUTO DESCRICAOPRODUTO,K.INDICADORESTOQUE,K.QUANTIDADE,K.CODIGOPESSOA,"
                          "PE.NOMEPESSOA,K.CODIGOEMPRESA,K.CODIGOESTAB,K.SEQ from SPEDFISK200 K")
           + QString::fromLatin1(kJoinProduto) + QString::fromLatin1(kJoinPessoa);
}

QString TOrvoConsultaRotinaBlocoK200::GetNomeCampoCodigoPessoa() const { return QStringLiteral("K.CODIGOPESSOA"); }

QString TOrvoConsultaRotinaBlocoK200::GetOrdemMestre() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.CODIGOPRODUTO,K.INDICADORESTOQUE,K.SEQ");
}

// ---- K220 -----------------------------------------------------------------------------------

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaRotinaBlocoK220::New()
{
    return std::make_unique<TOrvoConsultaRotinaBlocoK220>();
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK220::CamposMestre() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Data("DATALCTOFIS", "Data da Movimentação Interna"),
        Produto("CODIGOPRODUTOORI", "Código do Item de Origem"),
        Descricao("DESCRIPRODORIGEM"),
        Produto("CODIGOPRODUTODEST", "Código do Item de Destino"),
        Descricao("DESCRIPRODDESTINO", "Descricao"),
        Qtde("QUANTIDADE", "Quantidade Movimentada Origem"),
        Qtde("QUANTIDADEDEST", "Quantidade Movimentada Destino"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
    };
    return campos;
}

QString TOrvoConsultaRotinaBlocoK220::GetSQLMestre() const
{
    return QStringLiteral(
        "select cast('K220' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.CODIGOPRODUTOORI,P.DESCRPRODUTO DESCRIPRODORIGEM,"
        "K.CODIGOPRODUTODEST,PR.DESCRPRODUTO DESCRIPRODDESTINO,K.QUANTIDADE,K.QUANTIDADEDEST,K.CODIGOEMPRESA,"
        "K.CODIGOESTAB from SPEDFISK220 K join PRODUTO P on P.CODIGOPRODUTO=K.CODIGOPRODUTOORI and "
        "P.CODIGOEMPRESA=K.CODIGOEMPRESA join PRODUTO PR on PR.CODIGOPRODUTO=K.CODIGOPRODUTODEST and "
        "PR.CODIGOEMPRESA=K.CODIGOEMPRESA");
}

// One condition over both columns: a product matches as origin or as destination, and a
// text that designates nothing gives no condition at all.
QString TOrvoConsultaRotinaBlocoK220::GetFiltroProduto() const
{
    return FilterInterval(QStringLiteral("K.CODIGOPRODUTOORI;K.CODIGOPRODUTODEST"), Config().CodigoProduto, tvfNumerico,
                          true);
}

QString TOrvoConsultaRotinaBlocoK220::GetOrdemMestre() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.CODIGOPRODUTOORI,K.CODIGOPRODUTODEST");
}

// ---- K280 -----------------------------------------------------------------------------------

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaRotinaBlocoK280::New()
{
    return std::make_unique<TOrvoConsultaRotinaBlocoK280>();
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK280::CamposMestre() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Data("DATALCTOFIS", "Competência Mês/Ano"),
        Data("DATAESTOQUE", "Data Estoque"),
        TipoEstoque(),
        Produto("CODIGOPRODUTO", "Produto"),
        Descricao("DESCRICAO"),
        Campo("CODIGOPESSOA", ftInteger, "Fornecedor/Cliente"),
        Pessoa("DESCRICAOPESSOA", "Descrição"),
        Qtde("QTDCORRECAOPOS", "Quantidade Correção Positiva"),
        Qtde("QTDCORRECAONEG", "Quantidade Correção Negativa"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("SEQK280"),
    };
    return campos;
}

QString TOrvoConsultaRotinaBlocoK280::GetSQLMestre() const
{
    return QStringLiteral("select cast('K280' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.DATAESTOQUE,K.INDICADORESTOQUE,"
                          "K.CODIGOPRODUTO,P.DESCRPRODUTO DESCRICAO,K.CODIGOPESSOA,PE.NOMEPESSOA DESCRICAOPESSOA,"
                          "K.QTDCORRECAOPOS,K.QTDCORRECAONEG,K.CODIGOEMPRESA,K.CODIGOESTAB,K.SEQK280 from SPEDFISK280 K")
           + QString::fromLatin1(kJoinProduto) + QString::fromLatin1(kJoinPessoa);
}

TnSQLBlocoK TOrvoConsultaRotinaBlocoK280::GetFiltroPeriodo() const
{
    return PeriodoEntre(QStringLiteral("K.DATAESTOQUE"), Config().DataInicial);
}

QString TOrvoConsultaRotinaBlocoK280::GetNomeCampoCodigoPessoa() const { return QStringLiteral("K.CODIGOPESSOA"); }

QString TOrvoConsultaRotinaBlocoK280::GetOrdemMestre() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK280");
}

// ---- families with details ------------------------------------------------------------------

namespace {

// A substitute input is optional: a row without one is listed with an empty description.
QString JoinSubstituto(const char *coluna)
{
    return QStringLiteral(" left join PRODUTO PR on PR.CODIGOPRODUTO=K.") + QString::fromLatin1(coluna)
           + QStringLiteral(" and PR.CODIGOEMPRESA=K.CODIGOEMPRESA");
}

// Quantities of the production records keep the 6 decimals of their columns.
constexpr int kEscalaProducao = 6;

// The filter of a joint production's master over its two item tables: the masters having an
// item (of a product of the registry) that `condicao` accepts, each item table read by its
// own key from the master's. Empty when the filter text designates nothing.
QString ExisteItem(const QStringList &tabelas, const QStringList &correlacao, const QString &condicao)
{
    if (condicao.trimmed().isEmpty())
        return {};
    QStringList correlacionadas;
    for (const QString &c : correlacao)
        correlacionadas << QStringLiteral("I.") + c + QStringLiteral("=K.") + c;
    QStringList existe;
    for (const QString &t : tabelas)
        existe << QStringLiteral("exists (select 1 from ") + t
                      + QStringLiteral(" I join PRODUTO IP on IP.CODIGOPRODUTO=I.CODIGOPRODUTO and "
                                       "IP.CODIGOEMPRESA=I.CODIGOEMPRESA where ")
                      + correlacionadas.join(QStringLiteral(" and ")) + QStringLiteral(" and ") + condicao.trimmed()
                      + QStringLiteral(")");
    return QStringLiteral(" and (") + existe.join(QStringLiteral(" or ")) + QStringLiteral(") ");
}

const QStringList kCorrelacaoK290 = {"CODIGOEMPRESA", "CODIGOESTAB", "DATALCTOFIS", "SEQK290"};
const QStringList kCorrelacaoK300 = {"CODIGOEMPRESA", "CODIGOESTAB", "DATALCTOFIS", "DATARECONHECPROD"};

} // namespace

// ---- K210 -----------------------------------------------------------------------------------

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaRotinaBlocoK210::New()
{
    return std::make_unique<TOrvoConsultaRotinaBlocoK210>();
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK210::CamposMestre() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Data("DATALCTOFIS", "Competência Mês/Ano"),
        Produto("CODIGOPRODUTO", "Produto Origem"),
        Descricao("DESCRICAOPRODUTO"),
        Qtde("QUANTIDADE", "Quantidade"),
        Campo("CODIGODOCOS", ftString, "Ordem de Serviço", 30),
        Data("DATAINICIALOS", "Data Início Ordem de Serviço"),
        Data("DATAFINALOS", "Data Conclusão Ordem de Serviço"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("SEQK210"),
    };
    return campos;
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK210::CamposDetalhe() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Oculto("DATALCTOFIS", ftDate),
        Produto("CODIGOPRODUTO", "Produto Destino"),
        Descricao("DESCRICAO"),
        Qtde("QUANTIDADE", "Quantidade"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("SEQK210"),
    };
    return campos;
}

QString TOrvoConsultaRotinaBlocoK210::GetSQLMestre() const
{
    return QStringLiteral("select cast('K210' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.CODIGOPRODUTO,"
                          "P.DESCRPRODUTO DESCRICAOPRODUTO,K.QUANTIDADE,K.CODIGODOCOS,K.DATAINICIALOS,K.DATAFINALOS,"
                          "K.CODIGOEMPRESA,K.CODIGOESTAB,K.SEQK210 from SPEDFISK210 K")
           + QString::fromLatin1(kJoinProduto);
}

QString TOrvoConsultaRotinaBlocoK210::GetSQLDetalhe() const
{
    return QStringLiteral("select cast('K215' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.CODIGOPRODUTO,"
                          "P.DESCRPRODUTO DESCRICAO,K.QUANTIDADE,K.CODIGOEMPRESA,K.CODIGOESTAB,K.SEQK210 "
                          "from SPEDFISK215 K")
           + QString::fromLatin1(kJoinProduto);
}

QString TOrvoConsultaRotinaBlocoK210::GetTabelaMestre() const { return QStringLiteral("SPEDFISK210"); }
QString TOrvoConsultaRotinaBlocoK210::GetChaveMestre() const
{
    return QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210");
}
QString TOrvoConsultaRotinaBlocoK210::GetOrdemMestre() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK210");
}
QString TOrvoConsultaRotinaBlocoK210::GetOrdemDetalhe() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK210,K.CODIGOPRODUTO");
}

// ---- K230 -----------------------------------------------------------------------------------

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaRotinaBlocoK230::New()
{
    return std::make_unique<TOrvoConsultaRotinaBlocoK230>();
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK230::CamposMestre() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Data("DATALCTOFIS", "Competência Mês/Ano"),
        Campo("CODIGOORDEMPRODUCAO", ftString, "Ordem de Produção", 30),
        Produto("CODIGOPRODUTO", "Produto"),
        Descricao("DESCRICAO"),
        Data("DATAINICIOORDEMPRODUCAO", "Data Inicial Produção"),
        Data("DATAFIMORDEMPRODUCAO", "Data Final Produção"),
        Qtde("QUANTIDADE", "Quantidade de Produção", kEscalaProducao),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
    };
    return campos;
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK230::CamposDetalhe() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Data("DATASAIDA", "Data Saída"),
        Produto("CODIGOINSUMO", "Código Componente/Insumo"),
        Descricao("DESCRICAOCOMPONENTE"),
        Qtde("QUANTIDADE", "Quantidade Consumida", kEscalaProducao),
        Produto("CODIGOINSUMOSUBSTITUIDO", "Código Insumo Substituído"),
        Descricao("DESCRICAO"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("CODIGOPRODUTO", ftLargeint),
        [] {
            TnDefCampo c = Oculto("CODIGOORDEMPRODUCAO", ftString);
            c.Tamanho = 30;
            return c;
        }(),
        Oculto("DATALCTOFIS", ftDate),
    };
    return campos;
}

QString TOrvoConsultaRotinaBlocoK230::GetSQLMestre() const
{
    return QStringLiteral("select cast('K230' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.CODIGOORDEMPRODUCAO,K.CODIGOPRODUTO,"
                          "P.DESCRPRODUTO DESCRICAO,K.DATAINICIOORDEMPRODUCAO,K.DATAFIMORDEMPRODUCAO,K.QUANTIDADE,"
                          "K.CODIGOEMPRESA,K.CODIGOESTAB from SPEDFISK230 K")
           + QString::fromLatin1(kJoinProduto);
}

QString TOrvoConsultaRotinaBlocoK230::GetSQLDetalhe() const
{
    return QStringLiteral("select cast('K235' as varchar(4)) ORIGEM,K.DATASAIDA,K.CODIGOINSUMO,"
                          "P.DESCRPRODUTO DESCRICAOCOMPONENTE,K.QUANTIDADE,K.CODIGOINSUMOSUBSTITUIDO,PR.DESCRPRODUTO DESCRICAO,"
                          "K.CODIGOEMPRESA,K.CODIGOESTAB,K.CODIGOPRODUTO,K.CODIGOORDEMPRODUCAO,K.DATALCTOFIS "
                          "from SPEDFISK235 K join PRODUTO P on P.CODIGOPRODUTO=K.CODIGOINSUMO and "
                          "P.CODIGOEMPRESA=K.CODIGOEMPRESA")
           + JoinSubstituto("CODIGOINSUMOSUBSTITUIDO");
}

QString TOrvoConsultaRotinaBlocoK230::GetTabelaMestre() const { return QStringLiteral("SPEDFISK230"); }
QString TOrvoConsultaRotinaBlocoK230::GetChaveMestre() const
{
    return QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOORDEMPRODUCAO;CODIGOPRODUTO");
}
QString TOrvoConsultaRotinaBlocoK230::GetOrdemMestre() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.CODIGOORDEMPRODUCAO,K.CODIGOPRODUTO");
}
QString TOrvoConsultaRotinaBlocoK230::GetOrdemDetalhe() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.CODIGOORDEMPRODUCAO,K.CODIGOPRODUTO,K.DATASAIDA,"
                          "K.CODIGOINSUMO");
}

// ---- K250 -----------------------------------------------------------------------------------

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaRotinaBlocoK250::New()
{
    return std::make_unique<TOrvoConsultaRotinaBlocoK250>();
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK250::CamposMestre() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Data("DATAPRODUCAO", "Data Produção"),
        Produto("CODIGOPRODUTO", "Produto"),
        Descricao("DESCRICAO"),
        Qtde("QUANTIDADE", "Quantidade", kEscalaProducao),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
    };
    return campos;
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK250::CamposDetalhe() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Data("DATACONSUMO", "Data Consumo"),
        Produto("CODIGOINSUMO", "Código do Insumo"),
        Descricao("DESCRICAO"),
        Qtde("QUANTIDADE", "Quantidade de Consumo", kEscalaProducao),
        Produto("CODIGOINSUMOSUBSTITUIDO", "Código Insumo Substituído"),
        Descricao("DESCRIINSUMOSUB"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("CODIGOPRODUTO", ftLargeint),
        Oculto("DATAPRODUCAO", ftDate),
    };
    return campos;
}

QString TOrvoConsultaRotinaBlocoK250::GetSQLMestre() const
{
    return QStringLiteral("select cast('K250' as varchar(4)) ORIGEM,K.DATAPRODUCAO,K.CODIGOPRODUTO,"
                          "P.DESCRPRODUTO DESCRICAO,K.QUANTIDADE,K.CODIGOEMPRESA,K.CODIGOESTAB from SPEDFISK250 K")
           + QString::fromLatin1(kJoinProduto);
}

QString TOrvoConsultaRotinaBlocoK250::GetSQLDetalhe() const
{
    return QStringLiteral("select cast('K255' as varchar(4)) ORIGEM,K.DATACONSUMO,K.CODIGOINSUMO,P.DESCRPRODUTO DESCRICAO,"
                          "K.QUANTIDADE,K.CODIGOINSUMOSUBSTITUIDO,PR.DESCRPRODUTO DESCRIINSUMOSUB,K.CODIGOEMPRESA,"
                          "K.CODIGOESTAB,K.CODIGOPRODUTO,K.DATAPRODUCAO from SPEDFISK255 K join PRODUTO P on "
                          "P.CODIGOPRODUTO=K.CODIGOINSUMO and P.CODIGOEMPRESA=K.CODIGOEMPRESA")
           + JoinSubstituto("CODIGOINSUMOSUBSTITUIDO");
}

TnSQLBlocoK TOrvoConsultaRotinaBlocoK250::GetFiltroPeriodo() const
{
    return PeriodoEntre(QStringLiteral("K.DATAPRODUCAO"), Config().DataInicial);
}

QString TOrvoConsultaRotinaBlocoK250::GetTabelaMestre() const { return QStringLiteral("SPEDFISK250"); }
QString TOrvoConsultaRotinaBlocoK250::GetChaveMestre() const
{
    return QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATAPRODUCAO;CODIGOPRODUTO");
}
QString TOrvoConsultaRotinaBlocoK250::GetOrdemMestre() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATAPRODUCAO,K.CODIGOPRODUTO");
}
QString TOrvoConsultaRotinaBlocoK250::GetOrdemDetalhe() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATAPRODUCAO,K.CODIGOPRODUTO,K.DATACONSUMO,K.CODIGOINSUMO");
}

// ---- K260 -----------------------------------------------------------------------------------

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaRotinaBlocoK260::New()
{
    return std::make_unique<TOrvoConsultaRotinaBlocoK260>();
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK260::CamposMestre() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Data("DATALCTOFIS", "Competência Mês/Ano"),
        Produto("CODIGOPRODUTO", "Produto/Insumo"),
        Descricao("DESCRICAO"),
        Data("DATASAIDA", "Data Saída"),
        Qtde("QUANTIDADESAI", "Quantidade Saída"),
        Data("DATARETORNO", "Data Retorno"),
        Qtde("QUANTIDADERET", "Quantidade Retorno"),
        Campo("CODIGOOPOS", ftString, "Ordem de Produção/Serviço", 30),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("SEQK260"),
    };
    return campos;
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK260::CamposDetalhe() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Produto("CODIGOPRODUTO", "Produto"),
        Descricao("DESCRICAO"),
        Qtde("QTDCONSUMIDA", "Quantidade Consumida"),
        Qtde("QTDRETORNADA", "Quantidade Retornada"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("DATALCTOFIS", ftDate),
        Oculto("SEQK260"),
    };
    return campos;
}

QString TOrvoConsultaRotinaBlocoK260::GetSQLMestre() const
{
    return QStringLiteral("select cast('K260' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.CODIGOPRODUTO,P.DESCRPRODUTO DESCRICAO,"
                          "K.DATASAIDA,K.QUANTIDADESAI,K.DATARETORNO,K.QUANTIDADERET,K.CODIGOOPOS,K.CODIGOEMPRESA,"
                          "K.CODIGOESTAB,K.SEQK260 from SPEDFISK260 K")
           + QString::fromLatin1(kJoinProduto);
}

QString TOrvoConsultaRotinaBlocoK260::GetSQLDetalhe() const
{
    return QStringLiteral("select cast('K265' as varchar(4)) ORIGEM,K.CODIGOPRODUTO,P.DESCRPRODUTO DESCRICAO,"
                          "K.QTDCONSUMIDA,K.QTDRETORNADA,K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK260 "
                          "from SPEDFISK265 K")
           + QString::fromLatin1(kJoinProduto);
}

QString TOrvoConsultaRotinaBlocoK260::GetTabelaMestre() const { return QStringLiteral("SPEDFISK260"); }
QString TOrvoConsultaRotinaBlocoK260::GetChaveMestre() const
{
    return QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK260");
}
QString TOrvoConsultaRotinaBlocoK260::GetOrdemMestre() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK260");
}
QString TOrvoConsultaRotinaBlocoK260::GetOrdemDetalhe() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK260,K.CODIGOPRODUTO");
}

// ---- K270 -----------------------------------------------------------------------------------

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaRotinaBlocoK270::New()
{
    return std::make_unique<TOrvoConsultaRotinaBlocoK270>();
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK270::CamposMestre() const
{
    static const TnDefCampo campos[] = {
        Origem("ORIGEMROTINA"),
        Data("DATALCTOFIS", "Competência Mês/Ano"),
        // The record's own origin code.
        Campo("ORIGEM", ftString, "Rotina Origem", 20),
        Produto("CODIGOPRODUTO", "Produto"),
        Descricao("DESCRICAO"),
        Qtde("QTDCORRECAOPOS", "Quantidade Correção Positiva"),
        Qtde("QTDCORRECAONEG", "Quantidade Correção Negativa"),
        Campo("CODIGOOPOS", ftString, "Ordem de Produção/Serviço", 30),
        Data("DATAINIAPURACAO", "Data Inicial Período Apuração"),
        Data("DATAFIMAPURACAO", "Data Final Período Apuração"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("SEQK270"),
    };
    return campos;
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK270::CamposDetalhe() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Produto("CODIGOPRODUTO", "Produto/Insumo"),
        Descricao("DESCRICAO"),
        Qtde("QTDCORRECAOPOS", "Quantidade Correção Positiva"),
        Qtde("QTDCORRECAONEG", "Quantidade Correção Negativa"),
        Produto("CODINSUMOSUBST", "Insumo Substituído"),
        Descricao("DESCRICAOINSUMOSUB"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("DATALCTOFIS", ftDate),
        Oculto("SEQK270"),
    };
    return campos;
}

QString TOrvoConsultaRotinaBlocoK270::GetSQLMestre() const
{
    return QStringLiteral("select cast('K270' as varchar(4)) ORIGEMROTINA,K.DATALCTOFIS,K.ORIGEM,K.CODIGOPRODUTO,"
                          "P.DESCRPRODUTO DESCRICAO,K.QTDCORRECAOPOS,K.QTDCORRECAONEG,K.CODIGOOPOS,K.DATAINIAPURACAO,"
                          "K.DATAFIMAPURACAO,K.CODIGOEMPRESA,K.CODIGOESTAB,K.SEQK270 from SPEDFISK270 K")
           + QString::fromLatin1(kJoinProduto);
}

QString TOrvoConsultaRotinaBlocoK270::GetSQLDetalhe() const
{
    return QStringLiteral("select cast('K275' as varchar(4)) ORIGEM,K.CODIGOPRODUTO,P.DESCRPRODUTO DESCRICAO,"
                          "K.QTDCORRECAOPOS,K.QTDCORRECAONEG,K.CODINSUMOSUBST,PR.DESCRPRODUTO DESCRICAOINSUMOSUB,"
                          "K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK270 from SPEDFISK275 K")
           + QString::fromLatin1(kJoinProduto) + JoinSubstituto("CODINSUMOSUBST");
}

QString TOrvoConsultaRotinaBlocoK270::GetTabelaMestre() const { return QStringLiteral("SPEDFISK270"); }
QString TOrvoConsultaRotinaBlocoK270::GetChaveMestre() const
{
    return QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK270");
}
QString TOrvoConsultaRotinaBlocoK270::GetOrdemMestre() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK270");
}
QString TOrvoConsultaRotinaBlocoK270::GetOrdemDetalhe() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK270,K.CODIGOPRODUTO");
}

// ---- K290 -----------------------------------------------------------------------------------

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaRotinaBlocoK290::New()
{
    return std::make_unique<TOrvoConsultaRotinaBlocoK290>();
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK290::CamposMestre() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        [] {
            TnDefCampo c = Data("DATALCTOFIS", "Competência Mês/Ano");
            c.Def.Chave = QStringLiteral("DICDATAMESANO");
            return c;
        }(),
        Data("DATAINICIALORDEMPRODUCAO", "Data Inicial Produção"),
        Data("DATAFINALORDEMPRODUCAO", "Data Final Produção"),
        Campo("CODIGOOPOS", ftString, "Ordem de Produção/Serviço", 30),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("SEQK290"),
    };
    return campos;
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK290::CamposDetalhe() const
{
    static const TnDefCampo campos[] = {
        Origem("ORIGEM", 30),
        Produto("CODIGOPRODUTO", "Código do Item"),
        Descricao("DESCRICAO"),
        Qtde("QUANTIDADE", "Quantidade"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("DATALCTOFIS", ftDate),
        Oculto("SEQK290"),
    };
    return campos;
}

// The quantities keep their 3 decimals and every digit their column holds.
QString TOrvoConsultaRotinaBlocoK290::MontarSQLItensK290(const QString &registro)
{
    const bool produzido = registro == QLatin1String("K291");
    return QStringLiteral("select cast(")
           + ValorParaSQL(produzido ? QStringLiteral("K291 - Item Produzido") : QStringLiteral("K292 - Insumo Consumido"),
                          ftString)
           + QStringLiteral(" as varchar(25)) ORIGEM,K.CODIGOPRODUTO,P.DESCRPRODUTO DESCRICAO,cast(K.")
           + (produzido ? QStringLiteral("QTDPRODUCAOACABADA") : QStringLiteral("QTDCONSUMIDA"))
           + QStringLiteral(" as numeric(18,3)) QUANTIDADE,K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK290,"
                            "P.CODIGONCM from SPEDFIS")
           + (produzido ? QStringLiteral("K291") : QStringLiteral("K292")) + QStringLiteral(" K")
           + QString::fromLatin1(kJoinProduto);
}

QString TOrvoConsultaRotinaBlocoK290::GetSQLMestre() const
{
    return QStringLiteral("select cast('K290' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.DATAINICIALORDEMPRODUCAO,"
                          "K.DATAFINALORDEMPRODUCAO,K.CODIGOOPOS,K.CODIGOEMPRESA,K.CODIGOESTAB,K.SEQK290 "
                          "from SPEDFISK290 K");
}

QString TOrvoConsultaRotinaBlocoK290::GetSQLDetalhe() const
{
    return QStringLiteral("SELECT K.ORIGEM,K.CODIGOPRODUTO,K.DESCRICAO,K.QUANTIDADE,K.CODIGOEMPRESA,K.CODIGOESTAB,"
                          "K.DATALCTOFIS,K.SEQK290 from (")
           + MontarSQLItensK290(QStringLiteral("K291")) + QStringLiteral(" union all ")
           + MontarSQLItensK290(QStringLiteral("K292")) + QStringLiteral(") K") + QString::fromLatin1(kJoinProduto);
}

QString TOrvoConsultaRotinaBlocoK290::GetFiltroProduto() const
{
    return ExisteItem({QStringLiteral("SPEDFISK291"), QStringLiteral("SPEDFISK292")}, kCorrelacaoK290,
                      FilterInterval(QStringLiteral("I.CODIGOPRODUTO"), Config().CodigoProduto, tvfNumerico, false));
}

QString TOrvoConsultaRotinaBlocoK290::GetFiltroNCM() const
{
    return ExisteItem({QStringLiteral("SPEDFISK291"), QStringLiteral("SPEDFISK292")}, kCorrelacaoK290,
                      FilterInterval(QStringLiteral("IP.CODIGONCM"), Config().CodigoNCM, tvfTexto, false));
}

QString TOrvoConsultaRotinaBlocoK290::GetOrdemMestre() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK290");
}
QString TOrvoConsultaRotinaBlocoK290::GetOrdemDetalhe() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.SEQK290,K.ORIGEM,K.CODIGOPRODUTO");
}

// ---- K300 -----------------------------------------------------------------------------------

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaRotinaBlocoK300::New()
{
    return std::make_unique<TOrvoConsultaRotinaBlocoK300>();
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK300::CamposMestre() const
{
    static const TnDefCampo campos[] = {
        Origem(),
        Data("DATALCTOFIS", "Competência Mês/Ano"),
        Data("DATARECONHECPROD", "Data do Reconhecimento da Produção"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
    };
    return campos;
}

std::span<const TnDefCampo> TOrvoConsultaRotinaBlocoK300::CamposDetalhe() const
{
    static const TnDefCampo campos[] = {
        Origem("ORIGEM", 30),
        Produto("CODIGOPRODUTO", "Código do Item"),
        Descricao("DESCRICAO"),
        Qtde("QTDE", "Quantidade"),
        Oculto("CODIGOEMPRESA"),
        Oculto("CODIGOESTAB"),
        Oculto("DATALCTOFIS", ftDate),
        Oculto("DATARECONHECPROD", ftDate),
    };
    return campos;
}

QString TOrvoConsultaRotinaBlocoK300::MontarSQLItensK300(const QString &registro)
{
    const bool produzido = registro == QLatin1String("K301");
    return QStringLiteral("select cast(")
           + ValorParaSQL(produzido ? QStringLiteral("K301 - Item Produzido") : QStringLiteral("K302 - Insumo Consumido"),
                          ftString)
           + QStringLiteral(" as varchar(25)) ORIGEM,K.CODIGOPRODUTO,P.DESCRPRODUTO DESCRICAO,K.QTDE,K.CODIGOEMPRESA,"
                            "K.CODIGOESTAB,K.DATALCTOFIS,K.DATARECONHECPROD,P.CODIGONCM from SPEDFIS")
           + (produzido ? QStringLiteral("K301") : QStringLiteral("K302")) + QStringLiteral(" K")
           + QString::fromLatin1(kJoinProduto);
}

QString TOrvoConsultaRotinaBlocoK300::GetSQLMestre() const
{
    return QStringLiteral("select cast('K300' as varchar(4)) ORIGEM,K.DATALCTOFIS,K.DATARECONHECPROD,K.CODIGOEMPRESA,"
                          "K.CODIGOESTAB from SPEDFISK300 K");
}

QString TOrvoConsultaRotinaBlocoK300::GetSQLDetalhe() const
{
    return QStringLiteral("select K.ORIGEM,K.CODIGOPRODUTO,K.DESCRICAO,K.QTDE,K.CODIGOEMPRESA,K.CODIGOESTAB,"
                          "K.DATALCTOFIS,K.DATARECONHECPROD from (")
           + MontarSQLItensK300(QStringLiteral("K301")) + QStringLiteral(" union all ")
           + MontarSQLItensK300(QStringLiteral("K302")) + QStringLiteral(") K") + QString::fromLatin1(kJoinProduto);
}

TnSQLBlocoK TOrvoConsultaRotinaBlocoK300::GetFiltroPeriodo() const
{
    return PeriodoEntre(QStringLiteral("K.DATARECONHECPROD"), Config().DataInicial);
}

QString TOrvoConsultaRotinaBlocoK300::GetFiltroProduto() const
{
    return ExisteItem({QStringLiteral("SPEDFISK301"), QStringLiteral("SPEDFISK302")}, kCorrelacaoK300,
                      FilterInterval(QStringLiteral("I.CODIGOPRODUTO"), Config().CodigoProduto, tvfNumerico, false));
}

QString TOrvoConsultaRotinaBlocoK300::GetFiltroNCM() const
{
    return ExisteItem({QStringLiteral("SPEDFISK301"), QStringLiteral("SPEDFISK302")}, kCorrelacaoK300,
                      FilterInterval(QStringLiteral("IP.CODIGONCM"), Config().CodigoNCM, tvfTexto, false));
}

QString TOrvoConsultaRotinaBlocoK300::GetOrdemMestre() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.DATARECONHECPROD");
}
QString TOrvoConsultaRotinaBlocoK300::GetOrdemDetalhe() const
{
    return QStringLiteral("K.CODIGOEMPRESA,K.CODIGOESTAB,K.DATALCTOFIS,K.DATARECONHECPROD,K.ORIGEM,K.CODIGOPRODUTO");
}
