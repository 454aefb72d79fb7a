#include "OrvoDPTotalInventarioPeriodo_U.h"

#include "Acoes.h"
#include "Conexao.h"
#include "Decimal.h"
#include "Interacao.h"
#include "LctoInvPropriedadeComum.h"
#include "Valores.h"
#include "Variaveis.h"

#include <map>

namespace {

const TnDefProcesso kDeclaracao{
    .Caption = "Total Inventário por Período",
    .CaptionParametros = "Total Inventário por Período",
    .Parametros = {
        {.Alias = "pCodigoEmpresa", .Tipo = ntpInteiro, .Visivel = false,
         .Hint = "Informe o código da empresa para totalização dos valores"},
        {.Alias = "pCodigoEstab", .Tipo = ntpInteiro,
         .Hint = "Informe o código do estabelecimento para totalização dos valores"},
        {.Alias = "pPeriodoInicial", .Caption = "Período Inicial", .Tipo = ntpData, .ChaveDicionario = "DICDATAMESANO",
         .Hint = "Informe o período inicial para demonstração dos valores"},
        {.Alias = "pPeriodoFinal", .Caption = "Período Final", .Tipo = ntpData, .ChaveDicionario = "DICDATAMESANO",
         .Hint = "Informe o período final para demonstração dos valores"},
        {.Alias = "pMotivoInventario", .Caption = "Motivo Inventário", .Tipo = ntpCombo,
         .ChaveDicionario = "MOTIVOINVENTARIO", .Padrao = "1", .ListaValores = ListaMotivoInventario()},
    },
};

const TnDefCampo kResultado[] = {
    {.Nome = "DataInvent", .Tipo = ftDate, .Def = {.DisplayLabel = "Data Inventário"}},
    {.Nome = "QTDELCTOINV", .Tipo = ftFloat,
     .Def = {.DisplayLabel = "Quantidade Lançamentos", .DisplayFormat = "#,##0.00"}},
    {.Nome = "VALORTOTAL", .Tipo = ftFloat, .Def = {.DisplayLabel = "Valor Total", .DisplayFormat = "#,##0.00"}},
};

// The entries of one date; the value in cents, so that the sum is exact (128 bits: no sum
// of 64-bit entry values overflows it).
struct TotalData {
    double Quantidade = 0;
    __int128 Centavos = 0;
};

// The month's first day of a month-and-year parameter; EnParam when it is empty or no month.
QDate MesDoParametro(const TnpqParamItem &p)
{
    const QDate d = p.AsDataInicial();
    if (!d.isValid())
        throw EnParam(p.Alias(), QString::fromUtf8(OrvoSPeriodoTotalInvalido).arg(p.Caption().toLower()));
    return d;
}

// Months from `inicio` to `d` (both first days), counted from 0.
qint64 MesesDesde(const QDate &inicio, const QDate &d)
{
    return qint64(d.year() - inicio.year()) * 12 + (d.month() - inicio.month());
}

} // namespace

TOrvoDPTotalInventarioPeriodo::TOrvoDPTotalInventarioPeriodo() : TnDMPowerParamGrid(kDeclaracao)
{
    SetGridOptions({goAutoInsert, goZebrar, goPermitirFiltro, goPermitirMoverColuna, goTotalizarValores,
                    goPermitePaginacao, goColumnHidingEnabled, goPermiteAgrupamento, goGridReadOnly, goExibirNavigator,
                    goMostrarExpandirDetalhesVazios, goCelulaAlturaAutomatica, goHeaderAulturaAutomatica});
    TnClientDataSet &ds = nClientDataSet();
    ds.DefinirCampos(kResultado);
    ds.CreateDataSet();
    ds.SetLogChanges(false);
    ds.SetIndexFieldNames(QStringLiteral("DataInvent"));
}

QString TOrvoDPTotalInventarioPeriodo::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

void TOrvoDPTotalInventarioPeriodo::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                     const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "30 Consultas", .Caption = "Total Inventário por Período", .Indice = 50, .Imagem = 91}},
              classe, lista, evento, modulos);
}

void TOrvoDPTotalInventarioPeriodo::Executar()
{
    TnDMPowerParamGrid::Executar();
    TotalizarLancamentos();
}

void TOrvoDPTotalInventarioPeriodo::TotalizarLancamentos()
{
    TnClientDataSet &resultado = nClientDataSet();
    resultado.EmptyDataSet();

    qint64 empresa = Param(QStringLiteral("pCodigoEmpresa")).AsInteger();
    if (empresa == 0)
        empresa = EmpresaAtiva();
    const qint64 estab = Param(QStringLiteral("pCodigoEstab")).AsInteger();
    const QDate inicial = MesDoParametro(Param(QStringLiteral("pPeriodoInicial")));
    const QDate final = UltimoDiaDoMes(MesDoParametro(Param(QStringLiteral("pPeriodoFinal"))));
    const qint64 motivo = Param(QStringLiteral("pMotivoInventario")).AsInteger();
    if (inicial > final)
        return;

    // One read in date order: the rows of a date come together, so the map is looked up
    // once per date, not once per entry.
    auto cmd = nDMConexao::Atual().Preparar(QStringLiteral(
        "select DATAINVENT, QTDEESTOQUE, PRECOUNIT from LCTOINV where CODIGOEMPRESA = ? and CODIGOESTAB = ? "
        "and DATAINVENT between ? and ? and MOTIVOINVENTARIO = ? order by DATAINVENT"));
    cmd->BindInteiro(0, empresa);
    cmd->BindInteiro(1, estab);
    cmd->BindData(2, inicial);
    cmd->BindData(3, final);
    cmd->BindInteiro(4, motivo);

    std::map<qint64, TotalData> totais; // by the date's Julian day
    {
        const std::unique_ptr<TnProgresso> progresso = CriarProgresso(this);
        progresso->MostrarSimples(QStringLiteral("Processando lançamentos..."));
        progresso->ConfigurarProgressoTotal(MesesDesde(inicial, PrimeiroDiaDoMes(final)) + 1);
        TnCursor &c = cmd->Abrir();
        qint64 diaAtual = -1;
        TotalData *atual = nullptr;
        while (c.Proximo()) {
            const QDate data = c.Data(0);
            if (data.toJulianDay() != diaAtual) {
                diaAtual = data.toJulianDay();
                atual = &totais[diaAtual];
                progresso->SetProgressoTotal(MesesDesde(inicial, PrimeiroDiaDoMes(data)));
            }
            atual->Quantidade += 1;
            // Each entry's value exact and rounded to cents (quantity x unit cost as stored).
            const double qtde = c.Real(1), preco = c.Real(2);
            qint64 centavos = 0;
            if (!nDecimal::Produto(qtde, preco, 2, centavos))
                MultiplicarValor(qtde, preco, 2); // raises, naming both values
            atual->Centavos += centavos;
        }
        cmd->Fechar();
    }

    // Written once per date, in date order, with the grid's updates held meanwhile.
    TnField &data = resultado.FieldByName(QStringLiteral("DataInvent"));
    TnField &quantidade = resultado.FieldByName(QStringLiteral("QTDELCTOINV"));
    TnField &valor = resultado.FieldByName(QStringLiteral("VALORTOTAL"));
    resultado.DisableControls();
    try {
        for (const auto &[dia, total] : totais) {
            resultado.Append();
            data.SetAsDate(QDate::fromJulianDay(dia));
            quantidade.SetAsFloat(total.Quantidade);
            valor.SetAsFloat(double(total.Centavos) / 100);
            resultado.Post();
        }
        resultado.First();
    } catch (...) {
        if (resultado.State() == dsInsert)
            resultado.Cancel();
        resultado.EnableControls();
        throw;
    }
    resultado.EnableControls();
}

static TnRegistrador<TOrvoDPTotalInventarioPeriodo> gRegistro("TOrvoDPTotalInventarioPeriodo");
