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
