#include "OrvoDMSpedFisKBase_U.h"

#include "Conexao.h"

namespace {
const char *const kCampoProduto = "CODIGOPRODUTO";
} // namespace

TOrvoDMSpedFisKBase::TOrvoDMSpedFisKBase(const TnDefCadastro &declaracao) : TnDMClientDataSet(declaracao) {}

bool TOrvoDMSpedFisKBase::LerIndicadorTipo(qint64 empresa, qint64 produto, unsigned &tipo)
{
    // Read on every row a register validates: the statement stays prepared.
    auto cmd = nDMConexao::Atual().PrepararGuardado(
        QStringLiteral("select INDICADORTIPO from PRODUTO where CODIGOEMPRESA = ? and CODIGOPRODUTO = ?"));
    cmd->BindInteiro(0, empresa);
    cmd->BindInteiro(1, produto);
    TnCursor &c = cmd->Abrir();
    if (!c.Proximo()) {
        cmd->Fechar();
        return false;
    }
    if (c.Nulo(0)) {
        tipo = kSemTipo;
    } else {
        const qint64 v = c.Inteiro(0);
        tipo = v < 0 || v >= qint64(kSemTipo) ? kSemTipo : unsigned(v);
    }
    cmd->Fechar();
    return true;
}

QString TOrvoDMSpedFisKBase::MensagemTipoProduto()
{
    return QString::fromUtf8("O produto informado deve fazer parte á um dos seguintes tipos de mercadorias:\r\n"
                             "Mercadoria para Revenda;\r\n"
                             "Matéria-Prima;\r\n"
                             "Embalagem;\r\n"
                             "Produto em Processo;\r\n"
                             "Produto Acabado;\r\n"
                             "Subproduto;\r\n"
                             "Outros insumos;");
}

QString TOrvoDMSpedFisKBase::MensagemChaveDuplicada(const QString &campos)
{
    return QString::fromUtf8("Registro com esta chave já foi cadastrado! \r\n"
                             "Verifique os lançamentos observando os campos chave: \r\n")
           + campos;
}

QString TOrvoDMSpedFisKBase::MensagemProdutoInexistente(const QString &codigo)
{
    return QString::fromUtf8("O produto %1 não está cadastrado nesta empresa.").arg(codigo);
}

unsigned TOrvoDMSpedFisKBase::PegarIndicadorTipoProduto()
{
    const TnField &produto = FieldByName(QString::fromLatin1(kCampoProduto));
    const TnField &empresa = FieldByName(QStringLiteral("CODIGOEMPRESA"));
    unsigned tipo = kSemTipo;
    if (produto.IsNull() || empresa.IsNull() || !LerIndicadorTipo(empresa.AsLargeInt(), produto.AsLargeInt(), tipo))
        throw EnField(produto.FieldName(), MensagemProdutoInexistente(produto.AsString()));
    return tipo;
}

void TOrvoDMSpedFisKBase::ValidarTipoProduto()
{
    if (!TipoNoConjunto(PegarIndicadorTipoProduto(), kTiposAceitos))
        throw EnField(QString::fromLatin1(kCampoProduto), MensagemTipoProduto());
}

void TOrvoDMSpedFisKBase::ConfigurarErroChave(int tipo)
{
    FDBErros = {std::uint8_t(ebUnico), std::uint8_t(tipo)};
    // Installed once: saving our own handler as the previous one would call it forever.
    if (FErroChaveInstalado)
        return;
    TnClientDataSet &ds = nClientDataSet();
    FDoReconcileErrorOld = ds.OnReconcileError;
    ds.OnReconcileError = [this](TnClientDataSet &d, Exception &e, TUpdateKind t, TReconcileAction &a) {
        TratarErroChave(d, e, t, a);
    };
    FErroChaveInstalado = true;
}

bool TOrvoDMSpedFisKBase::EhErroChave(int tipo) const
{
    for (std::uint8_t k : FDBErros)
        if (int(k) == tipo)
            return true;
    return false;
}

void TOrvoDMSpedFisKBase::TratarErroChave(TnClientDataSet &ds, Exception &e, TUpdateKind tipo, TReconcileAction &acao)
{
    if (EhErroChave(ErroBanco(e))) {
        e.SetMessage(MensagemChaveDuplicada(GetCamposChaveUNQ()));
        // The register words no refusal over this one.
        ManterMensagemDaRecusa();
    }
    if (FDoReconcileErrorOld)
        FDoReconcileErrorOld(ds, e, tipo, acao);
}
