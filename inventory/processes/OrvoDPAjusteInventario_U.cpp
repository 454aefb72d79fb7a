#include "OrvoDPAjusteInventario_U.h"

#include "Acoes.h"
#include "AjusteInventarioCalculo.h"
#include "Conexao.h"
#include "FieldMapper.h"
#include "Literais.h"
#include "Provider.h"
#include "SQLDataSet.h"
#include "Variaveis.h"

#include <QScopeGuard>

using namespace nAjusteInv;

namespace {

const char kEmpresa[] = "pCodigoEmpresa";
const char kEstab[] = "pCodigoEstab";
const char kData[] = "pDataInvent";
const char kTipo[] = "pTipoAjuste";
const char kValor[] = "pValorAjuste";
const char kGrupo[] = "pCodigoGrupoProduto";

const TnDefProcesso kDeclaracao{
    .Caption = "Ajustar Inventário",
    .CaptionParametros = "Ajustar Inventário",
    .Parametros = {{.Alias = kEmpresa, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEmpresa",
                    .ChaveDicionario = "CodigoEmpresa"},
                   {.Alias = kEstab, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab",
                    .ChaveDicionario = "CodigoEstab", .Requerido = true, .MultiSelecao = true},
                   {.Alias = kData, .Tipo = ntpData, .ChaveDicionario = "DATAINVENT", .Requerido = true},
                   {.Alias = kTipo, .Caption = "Ajuste no Campo", .Tipo = ntpCombo, .Padrao = "1", .Requerido = true,
                    .ListaValores = {"Custo Unitário=1", "Quantidade=2"}},
                   {.Alias = kValor, .Caption = "Novo Custo Total (Geral)", .Tipo = ntpNumero,
                    .ChaveDicionario = "DICNUMERICO", .Padrao = "0", .Requerido = true},
                   {.Alias = kGrupo, .Tipo = ntpLookup, .ClasseLookup = "UlmarDCGrupoProduto",
                    .ChaveDicionario = "CODIGOGRUPOPRODUTO"}},
    .ArvoreMensagens = true,
};

// The key of an entry, the last columns of every statement that writes one.
const char kOndeLcto[] = " where CODIGOEMPRESA = ? and CODIGOESTAB = ? and DATAINVENT = ? and CODIGOPRODUTO = ? "
                         "and MOTIVOINVENTARIO = ?";
const char kJuntarItens[] = " join LCTOINVPROPRIEDADE I on I.CODIGOEMPRESA = L.CODIGOEMPRESA "
                            "and I.CODIGOESTAB = L.CODIGOESTAB and I.DATAINVENT = L.DATAINVENT "
                            "and I.CODIGOPRODUTO = L.CODIGOPRODUTO and I.MOTIVOINVENTARIO = L.MOTIVOINVENTARIO ";
const char kJuntarCST[] = " join LCTOINVCST C on C.CODIGOEMPRESA = L.CODIGOEMPRESA "
                          "and C.CODIGOESTAB = L.CODIGOESTAB and C.DATAINVENT = L.DATAINVENT "
                          "and C.CODIGOPRODUTO = L.CODIGOPRODUTO and C.MOTIVOINVENTARIO = L.MOTIVOINVENTARIO ";
const char kOrdemLcto[] = " order by L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO";

// Progress positions go out every so many rows.
constexpr size_t kPassoProgresso = 4096;

// Decimals kept in a framework variable; `padrao` when absent, not a number or out of range.
int Casas(const char *variavel, int padrao)
{
    qint64 v = 0;
    if (!TextoParaInteiro(ExternalVar(QString::fromLatin1(variavel)), v) || v < 0 || v > 9)
        return padrao;
    return int(v);
}

// The parameters of the property-line update.
struct TMapLctoInvProp {
    TnParam QUANTIDADE, PRECOUNIT, CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ;
    ORVO_MAPA(QUANTIDADE, PRECOUNIT, CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ)
};

// The parameters of the tax-situation update.
struct TMapLctoIncCST {
    TnParam BASECALCULO, VALORIMPOSTO, CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ,
        CST;
    ORVO_MAPA(BASECALCULO, VALORIMPOSTO, CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ,
              CST)
};

// A money amount in cents, as the provider writes a numeric(18,2) column.
void VincularDinheiro(TnComando &cmd, const TnParam &p, qint64 centavos, bool servidor)
{
    TnCelula c;
    c.Nulo = false;
    c.I = centavos;
    VincularCelula(cmd, p.Indice(), c, ftBCD, 2, servidor);
}

// A write that found no row: the entry changed under the run.
void ExigirUmaLinha(int linhas, qint64 produto, qint16 estab, qint16 motivo)
{
    if (linhas != 1)
        throw Exception(QString::fromUtf8(OrvoSLancamentoAlteradoAjuste).arg(produto).arg(estab).arg(motivo));
}

// Updates and deletes of one entry or line each, sent together (on the server a pipeline
// with a sync per thousand, instead of a round trip each): each must have changed exactly
// one row, checked as the answers of a part come back.
class TnEscritaPorLinha {
public:
    explicit TnEscritaPorLinha(nDMConexao &con) : FLote(con.NovoLote()) {}
    void Adicionar(TnComando &cmd, qint64 produto, qint16 estab, qint16 motivo)
    {
        FLote->Adicionar(cmd);
        FChaves.push_back({produto, estab, motivo});
        if (FChaves.size() >= kParte)
            Concluir();
    }
    void Concluir()
    {
        int falhou = -1;
        const std::vector<int> linhas = FLote->Concluir(falhou);
        for (size_t k = 0; k < linhas.size(); ++k)
            ExigirUmaLinha(linhas[k], FChaves[k].Produto, FChaves[k].Estab, FChaves[k].Motivo);
        FChaves.clear();
    }

private:
    static constexpr size_t kParte = 5000;
    struct Chave {
        qint64 Produto;
        qint16 Estab, Motivo;
    };
    std::unique_ptr<TnLote> FLote;
    std::vector<Chave> FChaves;
};

} // namespace

TOrvoDPAjusteInventario::TOrvoDPAjusteInventario() : TnDMPowerParam(kDeclaracao) {}
TOrvoDPAjusteInventario::~TOrvoDPAjusteInventario() = default;

QString TOrvoDPAjusteInventario::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

void TOrvoDPAjusteInventario::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                               const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "20 Movimentos", .Caption = "Ajustar Inventário", .Indice = 40}}, classe, lista, evento,
              modulos);
}

void TOrvoDPAjusteInventario::DepoisConfigurar(TnFormModulo *form)
{
    TnDMPowerParam::DepoisConfigurar(form);
    // The run works on the active company: its parameter is not shown.
    EdVisibleField(QString::fromLatin1(kEmpresa), false);
    // The new total is shown with the company's cost decimals (6 without settings).
    TnpqParamItem &valor = Param(QString::fromLatin1(kValor));
    valor.SetFormatoExibicao(FormatoCasasDeCusto());
    AtualizarControle(valor.Alias());
}

void TOrvoDPAjusteInventario::ValidarDado()
{
    TnDMPowerParam::ValidarDado();

    const TnpqParamItem &data = Param(QString::fromLatin1(kData));
    FData = data.AsDataInicial();
    if (!FData.isValid())
        throw EnParam(data.Alias(), data.IsNull()
                                        ? QStringLiteral("O parâmetro \"%1\" deve ser informado.").arg(data.Caption())
                                        : QString::fromUtf8(OrvoSDataInventarioInvalida));

    FCodigoEmpresa = EmpresaAtiva();
    if (FCodigoEmpresa == 0)
        throw EnParam(QString::fromLatin1(kTipo), QString::fromUtf8(OrvoSEmpresaFilialNaoSelecionado));

    qint64 tipo = 0;
    if (!TextoParaInteiro(Param(QString::fromLatin1(kTipo)).AsString(), tipo) || (tipo != 1 && tipo != 2))
        throw EnParam(QString::fromLatin1(kTipo), QString::fromUtf8(OrvoSTipoAjusteInvalido));
    FTipoAjuste = int(tipo);

    FCodigoEstab = Param(QString::fromLatin1(kEstab)).AsString().trimmed();
    FCondicaoEstab = NoParametro(QString::fromLatin1(kEstab),
                                 [&] { return FilterInterval(QStringLiteral("L.CODIGOESTAB"), FCodigoEstab); });

    FCasasDecimais = Casas(VarFw::gQTDECASADECIMAL, 2);
    FCasasDecimaisQtd = Casas(VarFw::gQTDECASADECIMALQTD, 4);

    // The new total: "1,5", "1.5" and "1.234,56" are read; it is taken at the cost decimals.
    FValorTemQueDar = 0;
    try {
        const double v = Param(QString::fromLatin1(kValor)).AsFloat();
        if (std::isfinite(v) && v > 0)
            FValorTemQueDar = Unidades(v, FCasasDecimais);
    } catch (const Exception &) {
        FValorTemQueDar = 0;
    }
    if (FValorTemQueDar <= 0)
        throw EnParam(QString::fromLatin1(kValor), QString::fromUtf8(OrvoSValorAjusteInvalido));

    FCodigoGrupo = 0;
    const QString grupo = Param(QString::fromLatin1(kGrupo)).AsString().trimmed();
    if (!grupo.isEmpty()
        && (!TextoParaInteiro(grupo, FCodigoGrupo)
            || (FCodigoGrupo != 0
                && !nDMSQLDataSet::PegarTemRegistro(QStringLiteral("GRUPOPRODUTO"), QStringLiteral("CODIGOEMPRESA"),
                                                    "CODIGOEMPRESA = " + ValorParaSQL(FCodigoEmpresa, ftInteger)
                                                        + " and CODIGOGRUPOPRODUTO = "
                                                        + ValorParaSQL(FCodigoGrupo, ftInteger)
                                                        + " and TIPOGRUPOPRODUTO = 2"))))
        throw EnParam(QString::fromLatin1(kGrupo), QString::fromUtf8(OrvoSGrupoAnaliticoInvalido));
}

// ---- the entries --------------------------------------------------------------------

QString TOrvoDPAjusteInventario::FiltroLancamentos(const QString &juncoes) const
{
    QString s = QStringLiteral(" from LCTOINV L ") + juncoes;
    if (FCodigoGrupo != 0)
        s += QStringLiteral(" join PRODUTO P on P.CODIGOEMPRESA = L.CODIGOEMPRESA "
                            "and P.CODIGOPRODUTO = L.CODIGOPRODUTO and P.CODIGOGRUPOPRODUTO = :GRUPO ");
    return s + QStringLiteral(" where L.CODIGOEMPRESA = :EMPRESA and L.DATAINVENT = :DATA and L.QTDEESTOQUE > 0 ")
           + FCondicaoEstab;
}

void TOrvoDPAjusteInventario::VincularFiltro(TnComando &cmd) const
{
    cmd.BindValor(QStringLiteral("EMPRESA"), FCodigoEmpresa);
    cmd.BindValor(QStringLiteral("DATA"), FData);
    if (FCodigoGrupo != 0)
        cmd.BindValor(QStringLiteral("GRUPO"), FCodigoGrupo);
}

std::vector<TnLancamento> TOrvoDPAjusteInventario::LerLancamentos(nDMConexao &con) const
{
    auto cmd = con.Preparar(QStringLiteral("select L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, L.QTDEESTOQUE, "
                                           "L.PRECOUNIT")
                            + FiltroLancamentos(QString()) + QLatin1String(kOrdemLcto));
    VincularFiltro(*cmd);
    std::vector<TnLancamento> l;
    TnCursor &c = cmd->Abrir();
    while (c.Proximo())
        l.push_back({c.Inteiro(1), c.Real(3), c.Real(4), qint16(c.Inteiro(0)), qint16(c.Inteiro(2))});
    return l;
}

void TOrvoDPAjusteInventario::GravarLancamentos(nDMConexao &con, const std::vector<TnLancamento> &lancamentos)
{
    // Only the column of the kind is written; the taxes of an adjusted entry become 0.
    auto atualizar = con.Preparar(
        QStringLiteral("update LCTOINV set %1 = ?, VALORICMS = case when VALORICMS is null then null else 0 end, "
                       "VALORPIS = case when VALORPIS is null then null else 0 end, "
                       "VALORCOFINS = case when VALORCOFINS is null then null else 0 end")
            .arg(FTipoAjuste == 1 ? QStringLiteral("PRECOUNIT") : QStringLiteral("QTDEESTOQUE"))
        + QLatin1String(kOndeLcto));
    auto excluir = con.Preparar(QStringLiteral("delete from LCTOINV") + QLatin1String(kOndeLcto));
    atualizar->BindInteiro(1, FCodigoEmpresa);
    atualizar->BindData(3, FData);
    excluir->BindInteiro(0, FCodigoEmpresa);
    excluir->BindData(2, FData);
    size_t feitos = 0;
    TnEscritaPorLinha escrita(con);
    for (const TnLancamento &x : lancamentos) {
        TnComando *cmd = excluir.get();
        int p = 0; // position of the branch
        if (!x.Excluir()) {
            cmd = atualizar.get();
            cmd->BindReal(0, FTipoAjuste == 1 ? x.Preco : x.Qtde);
            p = 1;
        }
        cmd->BindInteiro(p + 1, x.Estab);
        cmd->BindInteiro(p + 3, x.Produto);
        cmd->BindInteiro(p + 4, x.Motivo);
        escrita.Adicionar(*cmd, x.Produto, x.Estab, x.Motivo);
        if (++feitos % kPassoProgresso == 0)
            FProgresso->SetProgressoTotal(qint64(feitos));
    }
    escrita.Concluir();
    FProgresso->SetProgressoTotal(qint64(feitos));
    FLancamentosGravados = qint64(std::count_if(lancamentos.begin(), lancamentos.end(),
                                                [](const TnLancamento &x) { return !x.Excluir(); }));
}

void TOrvoDPAjusteInventario::Executar()
{
    TnDMPowerParam::Executar();
    nDMConexao &con = nDMConexao::Atual();
    std::vector<TnLancamento> lancamentos = LerLancamentos(con);
    if (lancamentos.empty())
        throw EnParam(QString::fromLatin1(kTipo), QString::fromUtf8(OrvoSEmpresaSemLacamentos));

    FProgresso = CriarProgresso(this);
    const auto fim = qScopeGuard([this] { FProgresso.reset(); });
    const qint64 n = qint64(lancamentos.size());
    FProgresso->MostrarSimples(QStringLiteral("Calculando bases para Ajuste..."));
    FProgresso->ConfigurarProgressoTotal(n);
    if (BaseArredondada(lancamentos, FCasasDecimais) == 0)
        throw EnParam(QString::fromLatin1(kTipo), QString::fromUtf8(OrvoSLacamentosValorZerados));
    FProgresso->SetProgressoTotal(n);

    FProgresso->SetTexto(QStringLiteral("Ajustando Inventário..."));
    FProgresso->ConfigurarProgressoTotal(n);
    const TnResultadoAjuste r = FTipoAjuste == 1
                                    ? AjustarPorCustoUnitario(lancamentos, FValorTemQueDar, FCasasDecimais)
                                    : AjustarPorQuantidade(lancamentos, FValorTemQueDar, FCasasDecimais,
                                                           FCasasDecimaisQtd);
    const auto excluidos = std::count_if(lancamentos.begin(), lancamentos.end(),
                                         [](const TnLancamento &x) { return x.Excluir(); });
    if (excluidos > 0 && !ConfirmarComFiltros(QString::fromUtf8(OrvoSConfirmarExclusaoAjuste).arg(excluidos)))
        Abort();

    {
        TnTransacao t(1, con);
        GravarLancamentos(con, lancamentos);
        lancamentos = {};
        FCon = &con;
        AplicarAjuste();
        t.Commit();
    }
    FProgresso.reset();

    const int d = FCasasDecimais;
    const QString mascara =
        QStringLiteral("R$ #,###,##0") + (d > 0 ? QStringLiteral(".") + QString(d, u'0') : QString());
    const QString texto = r.Exato() ? QString::fromUtf8(OrvoSAjusteFinalizadoSucesso)
                                          .arg(FormatFloat(mascara, Real(r.Alvo, d)), QString::number(d))
                                    : QString::fromUtf8(OrvoSAjusteNaoFinalizadoSucesso)
                                          .arg(FormatFloat(mascara, Real(r.Atingido, d)), QString::number(d));
    nMessageDlg(texto, mtInformation, mbOK);
}

// ---- the property and tax-situation lines --------------------------------------------

QString TOrvoDPAjusteInventario::MontarSQLItensPropriedade() const
{
    return QStringLiteral("select L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, L.QTDEESTOQUE, L.PRECOUNIT, "
                          "I.SEQ, I.QUANTIDADE, I.PRECOUNIT")
           + FiltroLancamentos(QLatin1String(kJuntarItens)) + QLatin1String(kOrdemLcto) + QStringLiteral(", I.SEQ");
}

QString TOrvoDPAjusteInventario::MontarSQLItensCST() const
{
    return QStringLiteral("select L.CODIGOESTAB, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO, C.SEQ, C.CST, C.BASECALCULO, "
                          "C.VALORIMPOSTO")
           + FiltroLancamentos(QLatin1String(kJuntarCST)) + QLatin1String(kOrdemLcto)
           + QStringLiteral(", C.SEQ, C.CST");
}

QString TOrvoDPAjusteInventario::MontarUpdateLctoInvPropriedade()
{
    return QStringLiteral("update LCTOINVPROPRIEDADE set QUANTIDADE = :QUANTIDADE, PRECOUNIT = :PRECOUNIT "
                          "where CODIGOEMPRESA = :CODIGOEMPRESA and CODIGOESTAB = :CODIGOESTAB "
                          "and DATAINVENT = :DATAINVENT and CODIGOPRODUTO = :CODIGOPRODUTO "
                          "and MOTIVOINVENTARIO = :MOTIVOINVENTARIO and SEQ = :SEQ");
}

QString TOrvoDPAjusteInventario::MontarUpdateLctoInvCST()
{
    return QStringLiteral("update LCTOINVCST set BASECALCULO = :BASECALCULO, VALORIMPOSTO = :VALORIMPOSTO "
                          "where CODIGOEMPRESA = :CODIGOEMPRESA and CODIGOESTAB = :CODIGOESTAB "
                          "and DATAINVENT = :DATAINVENT and CODIGOPRODUTO = :CODIGOPRODUTO "
                          "and MOTIVOINVENTARIO = :MOTIVOINVENTARIO and SEQ = :SEQ and CST = :CST");
}

void TOrvoDPAjusteInventario::AplicarAjuste()
{
    FLinhasCST = std::make_unique<TnLinhasCST>();
    const auto liberar = qScopeGuard([this] {
        FLinhasCST.reset();
        FItensAlterados = {};
        FItensLcto.clear();
    });
    if (FTipoAjuste == 1) {
        FProgresso->MostrarSimples(QStringLiteral("Aplicando Ajuste pelo Custo Unitário..."));
    } else {
        FProgresso->MostrarMultiplo(QStringLiteral("Aplicando Ajuste pela Quantidade..."),
                                    QStringLiteral("Processando, aguarde..."));
        FProgresso->SetEhCircularParcial(true);
    }
    FProgresso->ConfigurarProgressoTotal(FLancamentosGravados);
    AjustarLctoInvCST();
    if (FTipoAjuste == 1)
        AplicarAjustePorCustoUnitario();
    else
        AplicarAjustePorQuantidade();
    SalvarAlteracoes();
}

void TOrvoDPAjusteInventario::AjustarLctoInvCST()
{
    // Read before any line is written: base and tax as they stood before the run.
    auto cmd = FCon->Preparar(MontarSQLItensCST());
    VincularFiltro(*cmd);
    TnCursor &c = cmd->Abrir();
    while (c.Proximo())
        FLinhasCST->Adicionar({c.Inteiro(1), qint16(c.Inteiro(0)), qint16(c.Inteiro(2)), qint16(c.Inteiro(3))},
                              qint16(c.Inteiro(4)), Unidades(c.Real(5), 2), Unidades(c.Real(6), 2));
    cmd->Fechar();
    FLinhasCST->Indexar();
}

void TOrvoDPAjusteInventario::RecalcularCSTItem(qint16 estab, qint64 produto, qint16 motivo, qint16 seq,
                                                qint64 novoTotal, qint64 totalAntigo)
{
    auto [linha, fim] = FLinhasCST->Linhas({produto, estab, motivo, seq});
    for (; linha != fim; ++linha) {
        const qint64 base = EscalarValor(linha->Base, novoTotal, totalAntigo);
        const qint64 imposto = EscalarValor(linha->Imposto, novoTotal, totalAntigo);
        // Both columns are numeric(18,2): a scaled amount beyond them is refused, not stored.
        for (const auto &[valor, campo] : {std::pair(base, "Base de Cálculo"), std::pair(imposto, "Imposto")})
            if (!nDecimal::CabeNaPrecisao(valor, 18, 2))
                throw Exception(QString::fromUtf8(OrvoSValorForaDaFaixaAjuste)
                                    .arg(nDecimal::ParaTexto(valor, 2, u','), QString::fromUtf8(campo))
                                    .arg(produto)
                                    .arg(estab)
                                    .arg(motivo));
        if (base != linha->Base || imposto != linha->Imposto) {
            linha->Base = base;
            linha->Imposto = imposto;
            linha->Alterada = true;
        }
    }
}

void TOrvoDPAjusteInventario::AplicarAjustePorCustoUnitario()
{
    const int d = FCasasDecimais;
    auto cmd = FCon->Preparar(MontarSQLItensPropriedade());
    VincularFiltro(*cmd);
    TnCursor &c = cmd->Abrir();
    TnChaveItem anterior{-1, 0, 0, 0};
    while (c.Proximo()) {
        const qint16 estab = qint16(c.Inteiro(0)), motivo = qint16(c.Inteiro(2)), seq = qint16(c.Inteiro(5));
        const qint64 produto = c.Inteiro(1);
        if (produto != anterior.Produto || estab != anterior.Estab || motivo != anterior.Motivo) {
            FProgresso->IncProgressoTotal();
            anterior = {produto, estab, motivo, 0};
        }
        const double custo = c.Real(4), quantidade = c.Real(6), custoAntigo = c.Real(7);
        // The line takes the entry's new unit cost.
        RecalcularCSTItem(estab, produto, motivo, seq, ValorUnidades(quantidade, custo, d),
                          ValorUnidades(quantidade, custoAntigo, d));
        if (custo != custoAntigo)
            FItensAlterados.push_back({produto, quantidade, custo, estab, motivo, seq});
    }
    cmd->Fechar();
}

void TOrvoDPAjusteInventario::AplicarAjustePorQuantidade()
{
    auto cmd = FCon->Preparar(MontarSQLItensPropriedade());
    VincularFiltro(*cmd);
    TnCursor &c = cmd->Abrir();
    // The lines of one entry come together, in SEQ order.
    qint16 estab = 0, motivo = 0;
    qint64 produto = 0;
    while (c.Proximo()) {
        const qint16 e = qint16(c.Inteiro(0)), m = qint16(c.Inteiro(2));
        const qint64 p = c.Inteiro(1);
        if (!FItensLcto.empty() && (e != estab || p != produto || m != motivo))
            AtualizarQuantidadeItens(estab, produto, motivo);
        estab = e;
        produto = p;
        motivo = m;
        FQtdeLcto = c.Real(3);
        FItensLcto.push_back({qint16(c.Inteiro(5)), c.Real(6), c.Real(7)});
    }
    cmd->Fechar();
    if (!FItensLcto.empty())
        AtualizarQuantidadeItens(estab, produto, motivo);
}

void TOrvoDPAjusteInventario::AtualizarQuantidadeItens(qint16 estab, qint64 produto, qint16 motivo)
{
    const int d = FCasasDecimais, dq = FCasasDecimaisQtd;
    std::vector<double> antigas;
    antigas.reserve(FItensLcto.size());
    for (const TnItemLcto &i : FItensLcto)
        antigas.push_back(i.Quantidade);
    std::vector<qint64> novas;
    DistribuirQuantidadeItens(antigas, FQtdeLcto, dq, novas);
    for (size_t k = 0; k < FItensLcto.size(); ++k) {
        const TnItemLcto &i = FItensLcto[k];
        const double nova = Real(novas[k], dq);
        // The line keeps its own unit cost: its totals before and after use it.
        RecalcularCSTItem(estab, produto, motivo, i.Seq, ValorUnidades(nova, i.Preco, d),
                          ValorUnidades(i.Quantidade, i.Preco, d));
        if (nova != i.Quantidade)
            FItensAlterados.push_back({produto, nova, i.Preco, estab, motivo, i.Seq});
    }
    FItensLcto.clear();
    FProgresso->IncProgressoTotal();
    FProgresso->IncProgressoParcial();
}

void TOrvoDPAjusteInventario::SalvarAlteracoes()
{
    FProgresso->MostrarSimples(QStringLiteral("Salvando alterações..."));
    qint64 total = qint64(FItensAlterados.size());
    for (size_t i = 0; i < FLinhasCST->Count(); ++i)
        total += FLinhasCST->Linha(qint32(i)).Alterada ? 1 : 0;
    FProgresso->ConfigurarProgressoTotal(total);
    const bool servidor = FCon->PegarTipoCon() == tcPostgreSQL;
    qint64 feitos = 0;
    auto avancar = [&] {
        if (++feitos % qint64(kPassoProgresso) == 0)
            FProgresso->SetProgressoTotal(feitos);
    };

    TnEscritaPorLinha escrita(*FCon);
    auto itens = FCon->Preparar(MontarUpdateLctoInvPropriedade());
    TMapLctoInvProp mi;
    TnFieldMapper::MapearParams(*itens, mi);
    mi.CODIGOEMPRESA.SetAsInteger(FCodigoEmpresa);
    mi.DATAINVENT.SetAsDate(FData);
    for (const TnItemAlterado &i : FItensAlterados) {
        mi.QUANTIDADE.SetAsFloat(i.Quantidade);
        mi.PRECOUNIT.SetAsFloat(i.Preco);
        mi.CODIGOESTAB.SetAsInteger(i.Estab);
        mi.CODIGOPRODUTO.SetAsInteger(i.Produto);
        mi.MOTIVOINVENTARIO.SetAsInteger(i.Motivo);
        mi.SEQ.SetAsInteger(i.Seq);
        escrita.Adicionar(*itens, i.Produto, i.Estab, i.Motivo);
        avancar();
    }

    auto cst = FCon->Preparar(MontarUpdateLctoInvCST());
    TMapLctoIncCST mc;
    TnFieldMapper::MapearParams(*cst, mc);
    mc.CODIGOEMPRESA.SetAsInteger(FCodigoEmpresa);
    mc.DATAINVENT.SetAsDate(FData);
    for (const TnLinhasCST::Grupo &g : FLinhasCST->Grupos()) {
        bool chave = false;
        for (qint32 k = g.Inicio; k < g.Inicio + g.Quantidade; ++k) {
            const TnLinhaCST &l = FLinhasCST->Linha(k);
            if (!l.Alterada)
                continue;
            if (!chave) {
                mc.CODIGOESTAB.SetAsInteger(g.Chave.Estab);
                mc.CODIGOPRODUTO.SetAsInteger(g.Chave.Produto);
                mc.MOTIVOINVENTARIO.SetAsInteger(g.Chave.Motivo);
                mc.SEQ.SetAsInteger(g.Chave.Seq);
                chave = true;
            }
            VincularDinheiro(*cst, mc.BASECALCULO, l.Base, servidor);
            VincularDinheiro(*cst, mc.VALORIMPOSTO, l.Imposto, servidor);
            mc.CST.SetAsInteger(l.CST);
            escrita.Adicionar(*cst, g.Chave.Produto, g.Chave.Estab, g.Chave.Motivo);
            avancar();
        }
    }
    escrita.Concluir();
    FProgresso->SetProgressoTotal(feitos);
}

static TnRegistrador<TOrvoDPAjusteInventario> gRegistro("TOrvoDPAjusteInventario");
