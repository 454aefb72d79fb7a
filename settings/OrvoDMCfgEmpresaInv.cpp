#include "OrvoDMCfgEmpresaInv.h"

#include "CfgEmpresaInv.h"
#include "Conexao.h"
#include "Interacao.h"
#include "Modulos.h"
#include "Personalizacao.h"
#include "SuiteInv.h"
#include "Variaveis.h"

#include <QDate>
#include <utility>

namespace {

const TnDefCadastro kDeclaracao{
    .SQL = kSQLCfgEmpresaInv,
    .Tabela = "CFGEMPRESAINV",
    .Campos = CamposCfgEmpresaInv(),
    .Chave = "CODIGOEMPRESA",
    .Ordem = "CodigoEmpresa",
    .Caption = "Configuração do Inventário",
    .TipoForm = ntfCadPage,
    .CadCons = "OrvoDCCfgEmpresaInv",
    .Menus = {{.Caption = "Configuração da Empresa",
               .Categoria = "10 Configurações",
               .Indice = 1,
               .Atalho = "Shift+Ctrl+F12",
               .Modulo = "Orvo",
               .Imagem = 101,
               .Web = true},
              {.Caption = "Inventário",
               .Categoria = "10 Configurações",
               .Indice = 40,
               .Modulo = "Ulmar",
               .Imagem = 101,
               .SemEntrada = true}},
    .ChaveAlteravel = false,
    .InsercaoAutomatica = false,
};

const std::vector<TnDefAcao> kAcoes{
    {.Modulo = 3,
     .Categoria = "10 Configurações",
     .Caption = "Configuração da Empresa",
     .Indice = 20,
     .Atalho = "Shift+Ctrl+F12",
     .Imagem = 101},
    {.Modulo = 0, .Categoria = "10 Configurações", .Caption = "Inventário", .Indice = 40, .Imagem = 101,
     .ChecarSelecao = false},
};

const char *const kCampoEmpresa = "CODIGOEMPRESA";
const char *const kCampoPeriodo = "PERIODOINVENTARIO";
// The entries register's instance, closed when its period is no longer valid.
const char *const kInstanciaLctoInv = "OrvoDMLctoInv";

// A framework variable holding a date as dd/mm/yyyy; an invalid date when it holds none
// (empty, one blank, any other text).
QDate DataDaVariavel(const char *nome)
{
    return QDate::fromString(ExternalVar(QString::fromLatin1(nome)).trimmed(), QStringLiteral("dd/MM/yyyy"));
}

} // namespace

TOrvoDMCfgEmpresaInv::TOrvoDMCfgEmpresaInv() : TnDMClientDataSet(kDeclaracao) {}

QString TOrvoDMCfgEmpresaInv::PegarVerificaSelecao() { return QString::fromLatin1("CodigoEmpresa"); }

int TOrvoDMCfgEmpresaInv::PegarTipoObjeto() { return 1; }

void TOrvoDMCfgEmpresaInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                            const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao(kAcoes, classe, lista, evento, modulos);
}

bool TOrvoDMCfgEmpresaInv::IsUseUlmar() const { return ::IsUseUlmar(); }

void TOrvoDMCfgEmpresaInv::AposCriar()
{
    TnDMClientDataSet::AposCriar();
    FInformou = false;
    FTeveAlteracao = false;
    // The company is shown where the register runs inside a module of the suite.
    MostrarCampo(QString::fromLatin1(kCampoEmpresa), PegarModuloAtual() != 0);
}

void TOrvoDMCfgEmpresaInv::AntesConfigurar(TnFormModulo *form)
{
    TnDMClientDataSet::AntesConfigurar(form);
    // The register shows the company's own row, whatever filter the dataset was left with.
    if (!nClientDataSet().Filter().isEmpty() && !IsUseUlmar())
        nClientDataSet().SetFilter(QString());
}

void TOrvoDMCfgEmpresaInv::DepoisConfigurar(TnFormModulo *form)
{
    TnDMClientDataSet::DepoisConfigurar(form);
    if (!form)
        return;
    form->ConfigurarActionForm(nafExcluir, false);
    // A company without its row must be able to get one: "new" goes off only when the row
    // is there (inserting a second one is refused anyway).
    if (Aberto() && !nClientDataSet().IsEmpty())
        form->ConfigurarActionForm(nafIncluir, false);
    if (IsUseUlmar())
        return;
    HabilitarCampo(QString::fromLatin1(kCampoEmpresa), false);
    FFormCloseQuery = [this](TnFormModulo *f, bool &podeFechar) { TnDMClientDataSet::FormCloseQuery(f, podeFechar); };
}

void TOrvoDMCfgEmpresaInv::ConfigurarTabela(TnClientDataSet *objeto)
{
    TnDMClientDataSet::ConfigurarTabela(objeto);
    TnClientDataSet &ds = nClientDataSet();
    if (!ds.Active() || ds.State() == dsEdit || ds.State() == dsInsert)
        return;
    bool ok = false;
    const int empresa = ExternalVar(QString::fromLatin1(VarFw::gCodigoEmpresa)).trimmed().toInt(&ok);
    if (ok && empresa != 0 && IsUseUlmar())
        ds.Locate(QString::fromLatin1(kCampoEmpresa), empresa);
}

void TOrvoDMCfgEmpresaInv::FormCloseQuery(TnFormModulo *form, bool &podeFechar)
{
    if (FFormCloseQuery)
        ChecarPeriodoSelecionado(form, podeFechar);
    else
        TnDMClientDataSet::FormCloseQuery(form, podeFechar);
}

// After the form's own close-query. Closing is never refused by this check: when the
// selected period no longer fits the company's periodicity, it clears it and says so.
void TOrvoDMCfgEmpresaInv::ChecarPeriodoSelecionado(TnFormModulo *form, bool &podeFechar)
{
    FFormCloseQuery(form, podeFechar);
    if (!podeFechar || !FTeveAlteracao)
        return;
    const QDate data = DataDaVariavel(VarFw::gDataInvent);
    if (FInformou || !data.isValid())
        return;
    const TnClientDataSet &ds = nClientDataSet();
    const int empresa = ds.Active() && !ds.IsEmpty() ? FieldByName(QString::fromLatin1(kCampoEmpresa)).AsInteger() : 0;
    QString mensagem;
    if (ValidarPeriodoSelecionado(empresa, data, mensagem))
        return;

    FInformou = true;
    Selecao().GetParams(QString::fromLatin1("DataInvent")).Clear();
    // One blank is "no period" for whoever reads these variables.
    for (const char *v : {VarFw::gDataInvent, VarFw::pDataInvent, VarFw::pDataInvent_Pad, VarFw::gDataInventAtiva})
        ExternalVar(QString::fromLatin1(v), QString::fromLatin1(" "));
    if (TnFormPrincipal *principal = FormPrincipal())
        principal->SetTextoPainel(3, QString());
    if (auto *lcto = qobject_cast<TnDMClientDataSet *>(FindGlobalDataModule(QString::fromLatin1(kInstanciaLctoInv))))
        lcto->FecharForm();
    nMessageDlg(mensagem + QString::fromLatin1("\r\n")
                    + QString::fromUtf8("Lembre-se de selecionar um novo período através das teclas “F7” ou “F8”."),
                mtInformation, mbOK);
}

void TOrvoDMCfgEmpresaInv::nClientDataSetBeforeInsert(TnClientDataSet &ds)
{
    TnDMClientDataSet::nClientDataSetBeforeInsert(ds);
    // The rows are those of the selected company: one at most.
    if (!ds.IsEmpty() && !IsUseUlmar())
        Abort();
}

void TOrvoDMCfgEmpresaInv::nClientDataSetBeforeDelete(TnClientDataSet &ds)
{
    TnDMClientDataSet::nClientDataSetBeforeDelete(ds);
    Abort();
}

void TOrvoDMCfgEmpresaInv::nClientDataSetBeforePost(TnClientDataSet &ds)
{
    TnDMClientDataSet::nClientDataSetBeforePost(ds);
    if (!Form() || GetFormInsercao() || IsUseUlmar())
        return;
    const TnField &periodo = ds.FieldByName(QString::fromLatin1(kCampoPeriodo));
    if (periodo.AsInteger() != periodo.OldValue().toInt()) {
        FInformou = false;
        FTeveAlteracao = true;
    }
}

void TOrvoDMCfgEmpresaInv::nClientDataSetAfterPost(TnClientDataSet &ds)
{
    TnDMClientDataSet::nClientDataSetAfterPost(ds);
    if (std::exchange(FRelerAposGravar, false))
        Reabrir();
    if (EhHttpExe() || IsUseUlmar())
        return;
    AtualizarConfiguracaoInv();
    if (!ModoImportacao())
        Selecao().ReconfigurarDM(QString::fromLatin1("CodigoEmpresa"), false);
}

void TOrvoDMCfgEmpresaInv::nDataSetProviderUpdateError(Exception &e, TUpdateKind tipo, TResolverResponse &resposta)
{
    TnDMClientDataSet::nDataSetProviderUpdateError(e, tipo, resposta);
    // Another user saved the company's row first: that row stays, and is read again after
    // the post so the form shows what is stored rather than what was typed.
    if (Form() && ErroBanco(e) == ebChavePrimaria) {
        resposta = rrIgnore;
        FRelerAposGravar = true;
    }
}

namespace {
TnRegistrador<TOrvoDMCfgEmpresaInv> gRegistro("TOrvoDMCfgEmpresaInv");
}
