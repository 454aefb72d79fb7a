#include "Auditores.h"

#include "Conexao.h"
#include "DMClientDataSet.h"
#include "Formulario.h"
#include "Interacao.h"
#include "SuiteInv.h"
#include "Valores.h"
#include "Variaveis.h"

namespace {

const TnRegraAuditoria kRegras[] = {
    {1, "Ausência de informações de propriedade.", "Inventário",
     "Verificando ausência de informações de propriedade...",
     "Produto não possui informações de propriedade no período ", "."},
    {2, "Ausência de informações de CST.", "CST", "Verificando ausência de informações de CST...",
     "Produto não possui informações de CST no período ", " das propriedades."},
    {3, "Ausência de conta contábil no detalhamento de propriedade.", "Propriedade",
     "Verificando ausência de conta contábil no detalhamento de propriedade...",
     "Produto não possui informações de Conta Contábil no período ", " das propriedades."},
    {4, "Diferença na quantidade entre lançamento do inventário e propriedade.", "Inventário",
     "Verificando diferença na quantidade entre lançamento do inventário e propriedade...",
     "Produto possui diferença na quantidade entre lançamento do inventário e propriedade no período ", "."},
    {5, "Diferença no custo unitário entre lançamento do inventário e propriedade.", "Inventário",
     "Verificando diferença no custo unitário entre lançamento do inventário e propriedade...",
     "Produto possui diferença no custo unitário entre lançamento do inventário e propriedade no período ", "."},
    {6, "Ausência da base de cálculo no detalhamento da CST.", "CST",
     "Verificando ausência da base de cálculo no detalhamento da CST...",
     "Produto não possui informações de Base de Cálculo no detalhamento da CST no período ", " das propriedades."},
};

// The entry's key, as the register names its fields.
const char *const kChaveLcto = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO";

const char *const kPropriedade =
    " JOIN LCTOINVPROPRIEDADE LP ON LP.CODIGOEMPRESA = L.CODIGOEMPRESA AND LP.CODIGOPRODUTO = L.CODIGOPRODUTO"
    " AND LP.CODIGOESTAB = L.CODIGOESTAB AND LP.DATAINVENT = L.DATAINVENT AND LP.MOTIVOINVENTARIO = L.MOTIVOINVENTARIO";
const char *const kCst =
    " JOIN LCTOINVCST LC ON LC.CODIGOEMPRESA = LP.CODIGOEMPRESA AND LC.CODIGOESTAB = LP.CODIGOESTAB"
    " AND LC.DATAINVENT = LP.DATAINVENT AND LC.CODIGOPRODUTO = LP.CODIGOPRODUTO"
    " AND LC.MOTIVOINVENTARIO = LP.MOTIVOINVENTARIO AND LC.SEQ = LP.SEQ";

// What each rule adds to the entries and property lines, and its condition.
QString Juncoes(int regra)
{
    switch (regra) {
    case 1:
        return QStringLiteral(" LEFT") + QLatin1String(kPropriedade);
    case 2:
        return QLatin1String(kPropriedade) + QStringLiteral(" LEFT") + QLatin1String(kCst);
    case 6:
        return QLatin1String(kPropriedade) + QLatin1String(kCst);
    default:
        return QLatin1String(kPropriedade);
    }
}

QString Condicao(int regra)
{
    switch (regra) {
    case 1:
        return QStringLiteral(" AND LP.CODIGOEMPRESA IS NULL");
    case 2:
        return QStringLiteral(" AND LC.CODIGOEMPRESA IS NULL");
    case 3:
        return QStringLiteral(" AND LP.CONTACTB IS NULL");
    case 4:
        // Only rows whose sum is not exactly the quantity; equal at the company's
        // decimals is decided on reading (RoundValor, as the rest of the system rounds).
        return QStringLiteral(" AND L.QTDEESTOQUE <> S.QTDE");
    case 5:
        return QStringLiteral(" AND L.PRECOUNIT <> LP.PRECOUNIT");
    default:
        return QStringLiteral(" AND LC.BASECALCULO = 0");
    }
}

} // namespace

const TnRegraAuditoria &RegraAuditoria(int codigo)
{
    if (codigo < 1 || codigo > 6)
        throw Exception(QStringLiteral("Auditoria desconhecida: %1.").arg(codigo));
    return kRegras[codigo - 1];
}

// ---- findings ---------------------------------------------------------------------------

QString TnItemAuditoriaInv::GetMovimento() const { return QString::fromUtf8(Regra().Movimento); }

QString TnItemAuditoriaInv::GetDescricao() const
{
    QString s = QString::fromUtf8(Regra().Prefixo) + FDataInvent.toString(QStringLiteral("MM/yyyy"));
    if (Regra().Codigo != 1)
        s += QStringLiteral(" para a sequência ") + QString::number(FSeq);
    return s + QString::fromUtf8(Regra().Sufixo);
}

QString TnItemAuditoriaInv::GetChaveJson() const
{
    return QStringLiteral(R"({"CODIGOESTAB":"%1","DATAINVENT":"%2","CODIGOPRODUTO":"%3","MOTIVOINVENTARIO":"%4"})")
        .arg(QString::number(FCodigoEstab), FDataInvent.toString(Qt::ISODate), QString::number(FCodigoProduto),
             QString::number(FMotivoInventario));
}

bool TnItemAuditoriaInv::Validar() { return Auditor && Auditor->ValidarItem(*this); }

void TnItemAuditoriaInv::AtualizarCadastro()
{
    const QVariantList chave{FCodigoEmpresa, FCodigoEstab, FDataInvent, FCodigoProduto, FMotivoInventario};
    for (TnDataModule *dm : Registro().Instancias(DMCadastro)) {
        auto *cadastro = qobject_cast<TnDMClientDataSet *>(dm);
        if (!cadastro || !cadastro->Aberto())
            continue;
        TnClientDataSet &ds = cadastro->nClientDataSet();
        if (ds.EmEdicao() || ds.IsEmpty())
            continue;
        // Only a register that shows the entry reads again, on the row it stood on.
        const TnBookmark atual = ds.GetBookmark();
        const bool mostra = ds.Locate(QString::fromLatin1(kChaveLcto), chave);
        ds.GotoBookmark(atual);
        if (mostra)
            cadastro->AtualizarRegistro();
    }
}

void TnItemAuditoriaInv::AbrirCadastro()
{
    // The branch, date and product become the connection's selection and stay so; the
    // variables follow them, so the register's period checks take the entry's date.
    TnSelecao &selecao = Selecao();
    selecao.GetParams(QStringLiteral("CODIGOESTAB")).SetValue(FCodigoEstab);
    selecao.GetParams(QStringLiteral("DATAINVENT")).SetValue(FDataInvent);
    selecao.GetParams(QStringLiteral("CODIGOPRODUTO")).SetValue(FCodigoProduto);
    selecao.Refresh();

    TnDataModule *dm = CriarDM(DMCadastro, nullptr, QStringLiteral("Individual"));
    auto *cadastro = qobject_cast<TnDMClientDataSet *>(dm);
    if (!cadastro) {
        delete dm;
        throw Exception(QStringLiteral("A classe %1 não é um cadastro.").arg(DMCadastro));
    }
    try {
        // The whole key pinned for this register alone: it reads exactly the finding's
        // entry, of the finding's company, whatever company is active and whatever reason
        // the selection may hold.
        cadastro->SetVerificaSelecaoManual(QString::fromLatin1(kChaveLcto));
        const QStringList campos = QString::fromLatin1(kChaveLcto).split(u';');
        const QVariantList valores{FCodigoEmpresa, FCodigoEstab, FDataInvent, FCodigoProduto, FMotivoInventario};
        for (int i = 0; i < campos.size(); ++i)
            cadastro->FixarSelecao(campos[i], valores[i]);
        cadastro->Abrir();
    } catch (...) {
        delete cadastro;
        throw;
    }
    nShowFormModal(cadastro, [](TnFormModulo &form) { form.ConfigurarActionForm(nafIncluir, false); });
}

// ---- auditors ---------------------------------------------------------------------------

TnAuditorInv::TnAuditorInv(int empresa, int estab, const QDate &inicial, const QDate &final, TnProgresso *progresso)
    : FCodigoEmpresa(empresa), FCodigoEstab(estab), FDataInicial(inicial), FDataFinal(final), FProgresso(progresso),
      FDonoProgresso(progresso ? progresso->Dono() : nullptr), FComDono(progresso && progresso->Dono())
{
}

TnAuditorInv::~TnAuditorInv() = default;

QString TnAuditorInv::MontarSqlPeriodo() const { return MontarSql(true); }

QString TnAuditorInv::MontarSqlInventario() const { return MontarSql(false); }

QString TnAuditorInv::MontarSql(bool periodo) const
{
    const int regra = Regra().Codigo;
    QString sql = periodo ? QStringLiteral("SELECT L.CODIGOPRODUTO, L.DATAINVENT, L.MOTIVOINVENTARIO")
                          : QStringLiteral("SELECT L.CODIGOPRODUTO");
    if (periodo && regra != 1)
        sql += QStringLiteral(", LP.SEQ");
    if (regra == 4)
        sql += QStringLiteral(", L.QTDEESTOQUE, S.QTDE");
    sql += QStringLiteral(" FROM LCTOINV L") + Juncoes(regra);
    if (regra == 4) {
        // The sum of the quantities of each entry's lines, over the same entries.
        sql += QStringLiteral(" JOIN (SELECT S1.DATAINVENT, S1.CODIGOPRODUTO, S1.MOTIVOINVENTARIO, SUM(S1.QUANTIDADE) AS QTDE"
                              " FROM LCTOINVPROPRIEDADE S1 WHERE S1.CODIGOEMPRESA = ? AND S1.CODIGOESTAB = ?")
               + (periodo ? QStringLiteral(" AND S1.DATAINVENT BETWEEN ? AND ?")
                          : QStringLiteral(" AND S1.DATAINVENT = ? AND S1.CODIGOPRODUTO = ? AND S1.MOTIVOINVENTARIO = ?"))
               + QStringLiteral(" GROUP BY S1.DATAINVENT, S1.CODIGOPRODUTO, S1.MOTIVOINVENTARIO) S"
                                " ON S.DATAINVENT = L.DATAINVENT AND S.CODIGOPRODUTO = L.CODIGOPRODUTO"
                                " AND S.MOTIVOINVENTARIO = L.MOTIVOINVENTARIO");
    }
    sql += QStringLiteral(" WHERE L.CODIGOEMPRESA = ? AND L.CODIGOESTAB = ?");
    if (periodo)
        sql += QStringLiteral(" AND L.DATAINVENT BETWEEN ? AND ?");
    else {
        sql += QStringLiteral(" AND L.DATAINVENT = ? AND L.CODIGOPRODUTO = ? AND L.MOTIVOINVENTARIO = ?");
        if (regra != 1)
            sql += QStringLiteral(" AND LP.SEQ = ?");
    }
    sql += Condicao(regra);
    if (periodo)
        sql += QStringLiteral(" ORDER BY L.CODIGOPRODUTO, L.DATAINVENT");
    return sql;
}

void TnAuditorInv::Vincular(TnComando &cmd, const TnItemAuditoriaInv *item) const
{
    int n = 0;
    const auto chave = [&] {
        cmd.BindInteiro(n++, FCodigoEmpresa);
        cmd.BindInteiro(n++, FCodigoEstab);
        if (item) {
            cmd.BindData(n++, item->DataInvent());
            cmd.BindInteiro(n++, item->CodigoProduto());
            cmd.BindInteiro(n++, item->MotivoInventario());
        } else {
            cmd.BindData(n++, FDataInicial);
            cmd.BindData(n++, FDataFinal);
        }
    };
    if (Regra().Codigo == 4)
        chave();
    chave();
    if (item && Regra().Codigo != 1)
        cmd.BindInteiro(n++, item->Seq());
}

bool TnAuditorInv::QuantidadesDiferem(double qtde, double soma, int casas) const
{
    return RoundValor(qtde, casas) != RoundValor(soma, casas);
}

TnItensAuditoria TnAuditorInv::Auditar()
{
    // The frame serves this run only, and only while its owner lives.
    TnProgresso *progresso = FProgresso && (!FComDono || FDonoProgresso) ? FProgresso : nullptr;
    FProgresso = nullptr;
    FDonoProgresso.clear();

    const int regra = Regra().Codigo;
    const int casas = regra == 4 ? LerConfiguracaoInv(FCodigoEmpresa).QtdeCasaDecimalQtd : 0;
    TnItensAuditoria itens;
    const std::unique_ptr<TnComando> cmd = nDMConexao::Atual().Preparar(MontarSqlPeriodo());
    Vincular(*cmd, nullptr);
    TnCursor &c = cmd->Abrir();
    if (progresso) {
        // How many rows offend is known only once they are read: the bar shows that the
        // rule is running.
        progresso->SetTexto(QString::fromUtf8(Regra().Progresso));
        progresso->ConfigurarProgressoTotal(0);
    }
    const std::shared_ptr<InAuditor> eu = shared_from_this();
    const QString cadastro = QString::fromLatin1(kCadastroLctoInv);
    while (c.Proximo()) {
        if (regra == 4 && !QuantidadesDiferem(c.Real(4), c.Real(5), casas))
            continue;
        std::shared_ptr<TnItemAuditoriaInv> item =
            NovoItem(regra == 1 ? 0 : int(c.Inteiro(3)), c.Inteiro(0), c.Data(1), int(c.Inteiro(2)));
        item->DMCadastro = cadastro;
        item->Auditor = eu;
        itens.push_back(std::move(item));
    }
    cmd->Fechar();
    return itens;
}

bool TnAuditorInv::ValidarItem(const InItemAuditoria &item)
{
    if (!EhItemProprio(item))
        return false;
    const auto &proprio = static_cast<const TnItemAuditoriaInv &>(item);
    const std::unique_ptr<TnComando> cmd = nDMConexao::Atual().Preparar(MontarSqlInventario());
    Vincular(*cmd, &proprio);
    TnCursor &c = cmd->Abrir();
    const int casas = Regra().Codigo == 4 ? LerConfiguracaoInv(FCodigoEmpresa).QtdeCasaDecimalQtd : 0;
    bool achou = false;
    while (!achou && c.Proximo())
        achou = Regra().Codigo != 4 || QuantidadesDiferem(c.Real(1), c.Real(2), casas);
    cmd->Fechar();
    return !achou;
}
