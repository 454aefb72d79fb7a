#include "OrvoSMenuRegras.h"

#include "Excecoes.h"
#include "Literais.h"
#include "SQLDataSet.h"
#include "SuiteInv.h"
#include "Variaveis.h"


TOrvoRotaAcao RotaDaAcao(const QString &nomeAcao)
{
    const auto eAcaoDe = [&](const char *classe) {
        return nomeAcao.compare(QStringLiteral("act") + QLatin1String(classe), Qt::CaseInsensitive) == 0;
    };
    if (eAcaoDe(ClasseCfgEmpresaInv))
        return TOrvoRotaAcao::ConfiguracaoInv;
    if (eAcaoDe(ClassePeriodoInventario))
        return TOrvoRotaAcao::PeriodoInventario;
    return TOrvoRotaAcao::Herdada;
}

bool PeriodoAntesDaAcao(const QString &chavesSelecao)
{
    bool temPeriodo = false;
    for (const QString &c : chavesSelecao.split(';'))
        temPeriodo = temPeriodo || c.trimmed().compare(QLatin1String("DataInvent"), Qt::CaseInsensitive) == 0;
    return temPeriodo
           && (!Selecao().Existe(QStringLiteral("DataInvent")) || Selecao().GetParams(QStringLiteral("DataInvent")).IsNull());
}

QString TextoPeriodoInventario()
{
    const QString data = ExternalVar(QString::fromLatin1(VarFw::gDataInvent));
    if (data.trimmed().isEmpty())
        return QString();
    QString texto = QStringLiteral("Inventário: ") + data.mid(3, 10);
    const int empresa = EmpresaAtiva();
    if (empresa == 0)
        return texto;
    const QVariant periodo = nDMSQLDataSet::PegarValorCampo(
        QStringLiteral("CFGEMPRESAINV"), QStringLiteral("PERIODOINVENTARIO"),
        QStringLiteral("CODIGOEMPRESA = ") + ValorParaSQL(empresa, ftSmallint));
    if (EhNulo(periodo))
        return texto;
    switch (periodo.toString().trimmed().toInt()) {
    case 1: texto += QStringLiteral(" - Mensal"); break;
    case 2: texto += QStringLiteral(" - Trimestral"); break;
    case 3: texto += QStringLiteral(" - Anual"); break;
    default: break;
    }
    return texto;
}

int LarguraPainelLivre(int larguraBarra, int larguraPainel0, int larguraPainel1, int larguraPainel3)
{
    return larguraBarra - larguraPainel0 - larguraPainel1 - larguraPainel3 - 15;
}

const std::vector<TOrvoBotaoBarra> &BotoesBarraOrvo()
{
    static const std::vector<TOrvoBotaoBarra> botoes = {
        {QString::fromLatin1(ClassePeriodoInventario), QStringLiteral("Selecionar Período Inventário"), false,
         QStringLiteral("Período"), 0},
        {QStringLiteral("TUlmarDMGrupoProduto"), QStringLiteral("Cadastro do Plano de Contas"), true,
         QStringLiteral("Plano"), 0},
        {QStringLiteral("TUlmarDMProduto"), QStringLiteral("Cadastro de Produtos"), false, QStringLiteral("Produtos"), 0},
        {QStringLiteral("TOrvoDMLctoInv"), QStringLiteral("Lançamento do Inventário"), true,
         QStringLiteral("Lançamentos"), 0},
        {QStringLiteral("TQuenDPQuenbyAgenda"), QStringLiteral("Agenda Tributária"), true,
         QStringLiteral("Agenda Tributária"), 0},
    };
    return botoes;
}

void ChecarEmpresaAposConfiguracao(const std::function<void()> &selecionarEmpresa)
{
    if (ChecarConfiguracaoInv(EmpresaAtiva()))
        return;
    Selecao().Reset();
    if (selecionarEmpresa)
        selecionarEmpresa();
    throw Exception(QString::fromUtf8(OrvoSCancelamentoSelecaoEmpresa));
}
