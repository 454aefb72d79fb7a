// Stand-in of the fiscal module's stock-control process that yields the closing stock
// balances of one branch for a period. Other modules reach it only by class name,
// "TTelsoDPGerarSaldoInicialEstoque": they set its parameters, run it, and read the dataset
// "curSaldoInicial" it owns afterwards, one row per product:
//   CodigoProduto, QuantidadeFinal, ValorUnitFinal, ValorTotalFinal.
//
// The balances come from the monthly closing balances the fiscal module keeps (SALDOESTOQUE):
// those of the month of the period's last day, in product order. With pGeraZerado "0" the
// products whose closing quantity is 0 are left out.
#include "Conexao.h"
#include "PowerParam.h"

namespace {

const TnDefProcesso kDeclaracao{
    .Caption = "Gerar Saldo Inicial de Estoque",
    .Parametros = {{.Alias = "pCodigoEmpresa", .Caption = "Empresa", .Tipo = ntpInteiro, .Requerido = true},
                   {.Alias = "pCodigoEstab", .Caption = "Estabelecimento", .Tipo = ntpInteiro, .Requerido = true},
                   {.Alias = "pDataInicial", .Caption = "Data Inicial", .Tipo = ntpData, .Requerido = true},
                   {.Alias = "pDataFinal", .Caption = "Data Final", .Tipo = ntpData, .Requerido = true},
                   {.Alias = "pGeraZerado", .Caption = "Gerar Saldos Zerados", .Tipo = ntpTexto, .Padrao = "1"}},
};

const TnDefCampo kCamposSaldo[] = {
    {.Nome = "CodigoProduto", .Tipo = ftLargeint},
    {.Nome = "QuantidadeFinal", .Tipo = ftFloat},
    {.Nome = "ValorUnitFinal", .Tipo = ftFloat},
    {.Nome = "ValorTotalFinal", .Tipo = ftFloat},
};

class TTelsoDPGerarSaldoInicialEstoque : public TnDMPowerParam {
public:
    TTelsoDPGerarSaldoInicialEstoque() : TnDMPowerParam(kDeclaracao)
    {
        TnClientDataSet &saldos = DataSet(QStringLiteral("curSaldoInicial"));
        saldos.SetLogChanges(false);
        saldos.DefinirCampos(kCamposSaldo);
    }

    void ValidarDado() override
    {
        const QDate inicio = Param("pDataInicial").AsDate(), fim = Param("pDataFinal").AsDate();
        if (inicio.isValid() && fim.isValid() && fim < inicio)
            throw EnParam(QStringLiteral("pDataFinal"), QStringLiteral("A data final é anterior à data inicial."));
    }

    void Executar() override
    {
        TnDMPowerParam::Executar();
        const QDate fim = Param("pDataFinal").AsDate();
        if (!fim.isValid())
            throw EnParam(QStringLiteral("pDataFinal"), QStringLiteral("Data final inválida."));
        QString sql = QStringLiteral("select CODIGOPRODUTO as CodigoProduto, QUANTIDADE as QuantidadeFinal, "
                                     "VALORUNITARIO as ValorUnitFinal, VALORTOTAL as ValorTotalFinal "
                                     "from SALDOESTOQUE where CODIGOEMPRESA = ? and CODIGOESTAB = ? and DATASALDO = ?");
        if (Param("pGeraZerado").AsString().trimmed() == QLatin1String("0"))
            sql += QStringLiteral(" and QUANTIDADE <> 0");
        sql += QStringLiteral(" order by CODIGOPRODUTO");
        auto cmd = nDMConexao::Atual().Preparar(sql);
        cmd->BindInteiro(0, Param("pCodigoEmpresa").AsInteger());
        cmd->BindInteiro(1, Param("pCodigoEstab").AsInteger());
        cmd->BindData(2, QDate(fim.year(), fim.month(), 1));
        FindDataSet(QStringLiteral("curSaldoInicial"))->CarregarDe(cmd->Abrir());
    }
};

} // namespace

static TnRegistrador<TTelsoDPGerarSaldoInicialEstoque> gRegistro("TTelsoDPGerarSaldoInicialEstoque");
