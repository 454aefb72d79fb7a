#include "SuiteInv.h"

#include "EsquemaTabelas.h"
#include "Variaveis.h"

#include <QObject>

namespace {

// Transaction number of the standard-jobs update.
constexpr int TransacaoJobs = 91;

TnConfiguracaoInv gConfiguracaoAtiva;

// The company's settings row; `valida` tells if every value keeps its rule.
TnConfiguracaoInv Ler(int empresa, nDMConexao &con, bool &valida)
{
    TnConfiguracaoInv cfg;
    cfg.Empresa = empresa;
    valida = false;
    auto cmd = con.Preparar(QStringLiteral("select QTDECASADECIMAL, QTDECASADECIMALQTD, LANCAICMSRECUP, "
                                           "DETALHARPISCOFINSITEM, PERIODOINVENTARIO from CFGEMPRESAINV "
                                           "where CODIGOEMPRESA = ?"));
    cmd->BindInteiro(0, empresa);
    TnCursor &c = cmd->Abrir();
    if (!c.Proximo())
        return cfg;
    cfg.Existe = true;
    bool nulo = false;
    for (int i = 0; i < 5; ++i)
        nulo = nulo || c.Nulo(i);
    const QString icms = c.Nulo(2) ? QString() : c.Texto(2).trimmed();
    const QString pisCofins = c.Nulo(3) ? QString() : c.Texto(3).trimmed();
    if (!c.Nulo(0))
        cfg.QtdeCasaDecimal = int(c.Inteiro(0));
    if (!c.Nulo(1))
        cfg.QtdeCasaDecimalQtd = int(c.Inteiro(1));
    cfg.LancaICMSRecup = icms == QLatin1String("1");
    cfg.DetalharPISCOFINSItem = pisCofins == QLatin1String("1");
    if (!c.Nulo(4))
        cfg.PeriodoInventario = int(c.Inteiro(4));
    auto logico = [](const QString &v) { return v == QLatin1String("0") || v == QLatin1String("1"); };
    valida = !nulo && cfg.QtdeCasaDecimal >= 2 && cfg.QtdeCasaDecimal <= 6 && cfg.QtdeCasaDecimalQtd >= 0
             && cfg.QtdeCasaDecimalQtd <= 6 && logico(icms) && logico(pisCofins) && cfg.PeriodoInventario >= 0
             && cfg.PeriodoInventario <= 3;
    return cfg;
}

} // namespace

TnConfiguracaoInv LerConfiguracaoInv(int empresa, nDMConexao &con)
{
    bool valida = false;
    return Ler(empresa, con, valida);
}

bool ChecarConfiguracaoInv(int empresa)
{
    if (empresa <= 0)
        return false;
    bool valida = false;
    Ler(empresa, nDMConexao::Atual(), valida);
    return valida;
}

void AtualizarConfiguracaoInv()
{
    const int empresa = EmpresaAtiva();
    nDMConexao *con = nDMConexao::AtualOuNulo();
    gConfiguracaoAtiva = empresa > 0 && con ? LerConfiguracaoInv(empresa, *con) : TnConfiguracaoInv();
    const bool tem = gConfiguracaoAtiva.Existe;
    ExternalVar(QString::fromLatin1(VarFw::gQTDECASADECIMAL),
                tem ? QString::number(gConfiguracaoAtiva.QtdeCasaDecimal) : QString());
    ExternalVar(QString::fromLatin1(VarFw::gQTDECASADECIMALQTD),
                tem ? QString::number(gConfiguracaoAtiva.QtdeCasaDecimalQtd) : QString());
}

const TnConfiguracaoInv &ConfiguracaoInvAtiva() { return gConfiguracaoAtiva; }

bool ValidarPeriodoSelecionado(int empresa, const QDate &data, QString &mensagem)
{
    mensagem.clear();
    if (!data.isValid()) {
        mensagem = QStringLiteral("Período do inventário inválido: informe o mês e o ano.");
        return false;
    }
    const int periodo = empresa > 0 ? LerConfiguracaoInv(empresa).PeriodoInventario : 0;
    const QString mesAno = data.toString(QStringLiteral("MM/yyyy"));
    switch (periodo) {
    case 2:
        if (data.month() % 3 == 0)
            return true;
        mensagem = QStringLiteral("O período %1 não é válido para a periodicidade trimestral do inventário da empresa %2. "
                                  "Informe o último mês de um trimestre: 03, 06, 09 ou 12.")
                       .arg(mesAno)
                       .arg(empresa);
        return false;
    case 3:
        if (data.month() == 12)
            return true;
        mensagem = QStringLiteral("O período %1 não é válido para a periodicidade anual do inventário da empresa %2. "
                                  "Informe o mês 12.")
                       .arg(mesAno)
                       .arg(empresa);
        return false;
    default:
        return true;
    }
}

void VerificarPeriodoSelecionado(const QDate &data)
{
    QString mensagem;
    if (!ValidarPeriodoSelecionado(EmpresaAtiva(), data, mensagem))
        throw Exception(mensagem);
    const QDate selecionado = QDate::fromString(ExternalVar(QString::fromLatin1(VarFw::gDataInvent)).trimmed(),
                                                QStringLiteral("dd/MM/yyyy"));
    if (selecionado.isValid() && (selecionado.year() != data.year() || selecionado.month() != data.month()))
        throw Exception(QStringLiteral("A data %1 está fora do período selecionado do inventário (%2).")
                            .arg(data.toString(QStringLiteral("dd/MM/yyyy")),
                                 selecionado.toString(QStringLiteral("MM/yyyy"))));
}

// ---- standard jobs --------------------------------------------------------------------

const std::vector<TnJobPadrao> &JobsPadraoInv()
{
    static const std::vector<TnJobPadrao> jobs = {
        {QStringLiteral("RECEBERINVENTARIO"), QStringLiteral("Receber os lançamentos do inventário do serviço web"),
         QStringLiteral("TOrvoDPReceberLancamentosInventario"), 3},
        {QStringLiteral("AUDITORIAINVENTARIO"), QStringLiteral("Auditoria dos lançamentos do inventário"),
         QStringLiteral("TOrvoDPAuditoriaInv"), 3},
    };
    return jobs;
}

void TnInserirOuAtualizarJobCadastroPadrao::Executar(QObject *)
{
    Executar(nDMConexao::Atual(), QString::fromLatin1(ModuloInv), JobsPadraoInv());
}

void TnInserirOuAtualizarJobCadastroPadrao::Executar(nDMConexao &con, const QString &modulo,
                                                      const std::vector<TnJobPadrao> &jobs)
{
    const QDateTime agora = QDateTime::currentDateTime();
    const QDateTime momento(agora.date(), QTime(agora.time().hour(), agora.time().minute(), agora.time().second()));
    TnTransacao tr(TransacaoJobs, con);
    auto upd = con.Preparar(QStringLiteral("update NJOBCADASTRO set DESCRICAO = ?, CLASSE = ?, PERIODICIDADE = ?, "
                                           "DATAHORAATUALIZACAO = ? where MODULO = ? and NOMEJOB = ?"));
    auto ins = con.Preparar(QStringLiteral("insert into NJOBCADASTRO (DESCRICAO, CLASSE, PERIODICIDADE, "
                                           "DATAHORAATUALIZACAO, MODULO, NOMEJOB, ATIVO) values (?, ?, ?, ?, ?, ?, '0')"));
    for (const TnJobPadrao &j : jobs) {
        for (TnComando *cmd : {upd.get(), ins.get()}) {
            cmd->BindTexto(0, j.Descricao);
            cmd->BindTexto(1, j.Classe);
            cmd->BindInteiro(2, j.Periodicidade);
            cmd->BindDataHora(3, momento);
            cmd->BindTexto(4, modulo);
            cmd->BindTexto(5, j.Nome);
        }
        if (upd->Executar() == 0)
            ins->Executar();
    }
    tr.Commit();
}
