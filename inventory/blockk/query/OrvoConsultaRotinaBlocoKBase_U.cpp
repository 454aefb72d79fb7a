#include "OrvoConsultaRotinaBlocoKBase_U.h"

#include "Bandas.h"
#include "ClientDataSet.h"
#include "Conexao.h"
#include "Literais.h"
#include "SQLDataSet.h"
#include "Valores.h"
#include "Variaveis.h"

namespace {

// The company and branch of a framework variable; 0 when it holds no number.
qint64 CodigoDaVariavel(const char *nome)
{
    qint64 v = 0;
    return TextoParaInteiro(PegarValorExternalVar(QString::fromLatin1(nome)).trimmed(), v) ? v : 0;
}

QString Data(const QDate &d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }

void Acrescentar(TnSQLBlocoK &sql, const TnSQLBlocoK &parte)
{
    sql.Texto += parte.Texto;
    sql.Valores += parte.Valores;
}

void Vincular(TnComando &cmd, const QVariantList &valores)
{
    for (int i = 0; i < valores.size(); ++i)
        cmd.BindValor(i, valores[i]);
}

} // namespace

IRelacionarRotinaBlocoK &TOrvoConsultaRotinaBlocoKBase::SetConfig(const TConsultaLctoSpedBlocoKConfig &config)
{
    FConfig = config;
    return *this;
}

IRelacionarRotinaBlocoK &TOrvoConsultaRotinaBlocoKBase::SetCdsMestre(TnClientDataSet *cds)
{
    FCdsMestre = cds;
    return *this;
}

IRelacionarRotinaBlocoK &TOrvoConsultaRotinaBlocoKBase::SetCdsDetalhe(TnClientDataSet *cds)
{
    FCdsDetalhe = cds;
    return *this;
}

// ---- statements -------------------------------------------------------------------------

TnSQLBlocoK TOrvoConsultaRotinaBlocoKBase::PeriodoEntre(const QString &coluna, const QDate &inicio) const
{
    return {coluna + QStringLiteral(" between ? and ?"), {inicio, FConfig.DataFinal}};
}

TnSQLBlocoK TOrvoConsultaRotinaBlocoKBase::GetFiltroPeriodo() const
{
    const QDate &d = FConfig.DataInicial;
    return PeriodoEntre(QStringLiteral("K.DATALCTOFIS"), d.isValid() ? QDate(d.year(), d.month(), 1) : d);
}

QString TOrvoConsultaRotinaBlocoKBase::GetFiltroProduto() const
{
    return FilterInterval(QStringLiteral("P.CODIGOPRODUTO"), FConfig.CodigoProduto, tvfNumerico, true);
}

QString TOrvoConsultaRotinaBlocoKBase::GetFiltroNCM() const
{
    return FilterInterval(QStringLiteral("P.CODIGONCM"), FConfig.CodigoNCM, tvfTexto, true);
}

TnSQLBlocoK TOrvoConsultaRotinaBlocoKBase::CondicaoComum() const
{
    TnSQLBlocoK c{QStringLiteral("K.CODIGOEMPRESA = ?"), {FConfig.CodigoEmpresa}};
    c.Texto += FilterInterval(QStringLiteral("K.CODIGOESTAB"), FConfig.CodigoEstab, tvfNumerico, true);
    c.Texto += QStringLiteral(" and ");
    Acrescentar(c, GetFiltroPeriodo());
    return c;
}

TnSQLBlocoK TOrvoConsultaRotinaBlocoKBase::SQLMestre() const
{
    TnSQLBlocoK sql{GetSQLMestre() + QStringLiteral(" where "), {}};
    Acrescentar(sql, CondicaoComum());
    // A filter whose text designates nothing renders to nothing and adds nothing.
    if (!FConfig.CodigoProduto.trimmed().isEmpty())
        sql.Texto += GetFiltroProduto();
    if (!FConfig.CodigoNCM.trimmed().isEmpty())
        sql.Texto += GetFiltroNCM();
    const QString pessoa = GetNomeCampoCodigoPessoa();
    if (!FConfig.CodigoPessoa.trimmed().isEmpty() && !pessoa.isEmpty())
        sql.Texto += FilterInterval(pessoa, FConfig.CodigoPessoa, tvfNumerico, true);
    sql.Texto += QStringLiteral(" order by ") + GetOrdemMestre();
    return sql;
}

TnSQLBlocoK TOrvoConsultaRotinaBlocoKBase::SQLDetalhe() const
{
    if (!TemDetalhe())
        return {};
    const bool produto = !FConfig.CodigoProduto.trimmed().isEmpty();
    const bool ncm = !FConfig.CodigoNCM.trimmed().isEmpty();
    const QString mestre = GetTabelaMestre();
    const bool peloMestre = !mestre.isEmpty() && (produto || ncm);
    TnSQLBlocoK sql{GetSQLDetalhe(), {}};
    if (peloMestre) {
        QStringList chave;
        for (const QString &c : NomesDaLista(GetChaveMestre()))
            chave << QStringLiteral("M.") + c + QStringLiteral("=K.") + c;
        sql.Texto += QStringLiteral(" join ") + mestre + QStringLiteral(" M on ") + chave.join(QStringLiteral(" and "))
                     + QStringLiteral(" join PRODUTO MP on MP.CODIGOPRODUTO=M.CODIGOPRODUTO and "
                                      "MP.CODIGOEMPRESA=M.CODIGOEMPRESA");
    }
    sql.Texto += QStringLiteral(" where ");
    Acrescentar(sql, CondicaoComum());
    const QString prefixo = peloMestre ? QStringLiteral("MP.") : QStringLiteral("K.");
    if (produto)
        sql.Texto += FilterInterval(prefixo + QStringLiteral("CODIGOPRODUTO"), FConfig.CodigoProduto, tvfNumerico, true);
    if (ncm)
        sql.Texto += FilterInterval(peloMestre ? QStringLiteral("MP.CODIGONCM") : QStringLiteral("P.CODIGONCM"),
                                    FConfig.CodigoNCM, tvfTexto, true);
    sql.Texto += QStringLiteral(" order by ") + GetOrdemDetalhe();
    return sql;
}

// ---- the run ----------------------------------------------------------------------------

void TOrvoConsultaRotinaBlocoKBase::Carregar(TnClientDataSet &cds, std::span<const TnDefCampo> campos,
                                            TnComando &cmd) const
{
    if (!cds.CamposDeclarados()) {
        cds.Close();
        cds.DefinirCampos(campos.data(), int(campos.size()));
    }
    cds.SetLogChanges(false);
    cds.CarregarDe(cmd.Abrir());
    cmd.Fechar();
}

void TOrvoConsultaRotinaBlocoKBase::Relacionar()
{
    if (!FCdsMestre)
        throw Exception(QStringLiteral("A rotina do Bloco K não recebeu o conjunto de dados dos registros."));
    // Every filter text is read before anything runs: a value that is not valid stops here.
    const TnSQLBlocoK mestre = SQLMestre();
    const bool comDetalhe = FCdsDetalhe && TemDetalhe();
    const TnSQLBlocoK detalhe = comDetalhe ? SQLDetalhe() : TnSQLBlocoK{};

    nDMConexao &con = nDMConexao::Atual();
    TnTransacao leitura(1, con, true);
    const std::unique_ptr<TnComando> cmdMestre = con.Preparar(mestre.Texto);
    std::unique_ptr<TnComando> cmdDetalhe;
    if (comDetalhe)
        cmdDetalhe = con.Preparar(detalhe.Texto);
    Vincular(*cmdMestre, mestre.Valores);
    Carregar(*FCdsMestre, CamposMestre(), *cmdMestre);
    EscreverBandas();
    if (comDetalhe) {
        Vincular(*cmdDetalhe, detalhe.Valores);
        Carregar(*FCdsDetalhe, CamposDetalhe(), *cmdDetalhe);
    }
    leitura.Commit();
}

// ---- header bands -----------------------------------------------------------------------

QString TOrvoConsultaRotinaBlocoKBase::TextoEmpresa() const
{
    const std::unique_ptr<TnComando> cmd = nDMConexao::Atual().Preparar(
        QStringLiteral("select CODIGOEMPRESA, NOMEESTAB, INSCRFEDERAL from ESTAB where CODIGOEMPRESA = ? and CODIGOESTAB = ?"));
    cmd->BindInteiro(0, CodigoDaVariavel(VarFw::gCodigoEmpresaAtiva));
    cmd->BindInteiro(1, CodigoDaVariavel(VarFw::gCodigoEstabAtiva));
    QString valores[3];
    TnCursor &c = cmd->Abrir();
    // Without the branch's row the name and registration are empty.
    if (c.Proximo())
        for (int i = 0; i < 3; ++i)
            valores[i] = c.Nulo(i) ? QString() : c.Texto(i);
    cmd->Fechar();
    return valores[0] + QStringLiteral(" - ") + valores[1] + QStringLiteral(" - ") + valores[2] + QStringLiteral(" - ")
           + QStringLiteral(" Filial (") + FConfig.CodigoEstab + QStringLiteral(")");
}

void TOrvoConsultaRotinaBlocoKBase::EscreverBandas() const
{
    TnGridBands &bandas = FCdsMestre->GridBands();
    bandas.Clear();
    TnGridBandsItem &empresa = bandas.Add(QStringLiteral("Empresa"), TextoEmpresa());
    TnGridBandsItem &emissao = empresa.GetChildBands().Add(
        QStringLiteral("Emissao"), QStringLiteral("Emissão: ") + Data(PegarDataServidor(true).date()));
    TnGridBandsItem &periodo = emissao.GetChildBands().Add(
        QStringLiteral("Periodo"),
        QStringLiteral("Período: ") + Data(FConfig.DataInicial) + QStringLiteral(" à ") + Data(FConfig.DataFinal));
    TnGridBandsItem &rotina =
        periodo.GetChildBands().Add(QStringLiteral("Rotina"), QString::fromUtf8(OrvoSConsultaBlocoK));
    for (int i = 0; i < FCdsMestre->FieldCount(); ++i) {
        const TnField &f = FCdsMestre->Fields(i);
        if (f.Visible())
            rotina.GetChildBands().Add(f.DisplayLabel()).SetField(f.FieldName());
    }
    bandas.AtualizarBandasGrid();
}
