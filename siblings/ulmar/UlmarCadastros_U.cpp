// Stand-ins of the general registry's company and branch registers and their consultations,
// over the suite tables EMPRESA and ESTAB, and of its company settings (CFGEMPRESAULMAR).
// Other modules reach them only by class name: the registers as "TUlmarDMEmpresa",
// "TUlmarDMEstab" and "TUlmarDMCfgEmpresa", the consultations by the names lookups give them,
// "UlmarDCEmpresa", "UlmarDCEstab" and the users' "UlmarDCUsuario".
#include "AbrirCadastro.h"
#include "Interacao.h"
#include "UlmarCadastro.h"
#include "Variaveis.h"

#include <QRegularExpression>

namespace {

std::vector<TnDefCampo> CamposEmpresa()
{
    return {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.DisplayLabel = "Empresa", .Digitos = 4, .Minimo = 1, .MensagemErro = "Código da empresa inválido!"}},
            {.Nome = "NOMEEMPRESA", .Tipo = ftString, .Tamanho = 100, .Requerido = true,
             .Def = {.DisplayLabel = "Nome", .TamanhoMaximo = 100}}};
}

std::vector<TnDefCampo> CamposEstab()
{
    // Chosen among all the companies for a new branch (see TUlmarDMEstab).
    return {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.DisplayLabel = "Empresa", .Digitos = 4, .TipoControle = ntcLookup,
                     .CamposLink = "CODIGOEMPRESA", .ClasseLookup = "UlmarDCEmpresa"}},
            {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.DisplayLabel = "Estabelecimento", .Digitos = 4, .Minimo = 1,
                     .MensagemErro = "Código do estabelecimento inválido!"}},
            {.Nome = "NOMEESTAB", .Tipo = ftString, .Tamanho = 100, .Requerido = true,
             .Def = {.DisplayLabel = "Nome", .TamanhoMaximo = 100}},
            {.Nome = "INSCRFEDERAL", .Tipo = ftString, .Tamanho = 18,
             .Def = {.DisplayLabel = "CNPJ", .TamanhoMaximo = 18}},
            {.Nome = "DATAINICIOATIVIDADE", .Tipo = ftDate,
             .Def = {.DisplayLabel = "Início da atividade", .TipoControle = ntcData}},
            {.Nome = "DATAFIMATIVIDADE", .Tipo = ftDate,
             .Def = {.DisplayLabel = "Fim da atividade", .TipoControle = ntcData}}};
}

// The general registry's settings of a company that the inventory reads: how products are
// identified, whether they carry a fiscal classification and under which mask, and the mask
// of the product-group chart.
std::vector<TnDefCampo> CamposCfgEmpresa()
{
    const QStringList simNao{"Sim=1", "Não=0"};
    return {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true, .Def = {.Visivel = false}},
            {.Nome = "USAREFERENCIAPROD", .Tipo = ftString, .Tamanho = 1, .Requerido = true,
             .Def = {.DisplayLabel = "Identificar Produtos pela Referência",
                     .Hint = "Informe \"Sim\" para identificar os produtos pela referência nos lançamentos",
                     .ListaValores = simNao, .TipoControle = ntcCombo, .ValorPadrao = QStringLiteral("1"),
                     .SomenteDaLista = true}},
            {.Nome = "LIVROMODELO7", .Tipo = ftString, .Tamanho = 1, .Requerido = true,
             .Def = {.DisplayLabel = "Classificação Fiscal nos Produtos (Livro Modelo 7)",
                     .Hint = "Informe \"Sim\" para exigir a classificação fiscal dos produtos",
                     .ListaValores = simNao, .TipoControle = ntcCombo, .ValorPadrao = QStringLiteral("0"),
                     .SomenteDaLista = true}},
            {.Nome = "MASCCLASSIFFISCALPROD", .Tipo = ftString, .Tamanho = 20,
             .Def = {.DisplayLabel = "Máscara da Classificação Fiscal", .TamanhoMaximo = 20}},
            {.Nome = "MASCGRUPOPRODUTO", .Tipo = ftString, .Tamanho = 20,
             .Def = {.DisplayLabel = "Máscara do Plano de Contas de Produtos",
                     .Hint = "Níveis de dígitos separados por ponto, por exemplo 9.99.999", .TamanhoMaximo = 20,
                     .CaracteresAceitos = "90#."}}};
}

const char kSQLEmpresa[] = "Select t_t.CODIGOEMPRESA, t_t.NOMEEMPRESA from EMPRESA t_t";
const char kSQLEstab[] = "Select t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.NOMEESTAB, t_t.INSCRFEDERAL, "
                         "t_t.DATAINICIOATIVIDADE, t_t.DATAFIMATIVIDADE from ESTAB t_t";

const TnDefCadastro kDMEmpresa{.SQL = kSQLEmpresa, .Tabela = "EMPRESA", .Campos = CamposEmpresa(),
                               .Chave = "CODIGOEMPRESA", .Ordem = "CODIGOEMPRESA", .Caption = "Empresas",
                               .CadCons = "UlmarDCEmpresa"};
const TnDefCadastro kDMEstab{.SQL = kSQLEstab, .Tabela = "ESTAB", .Campos = CamposEstab(),
                             .Chave = "CODIGOEMPRESA;CODIGOESTAB", .Ordem = "CODIGOEMPRESA, CODIGOESTAB",
                             .Caption = "Estabelecimentos", .CadCons = "UlmarDCEstab"};
const TnDefCadastro kDMCfgEmpresa{
    .SQL = "Select t_t.CODIGOEMPRESA, t_t.USAREFERENCIAPROD, t_t.LIVROMODELO7, t_t.MASCCLASSIFFISCALPROD, "
           "t_t.MASCGRUPOPRODUTO from CFGEMPRESAULMAR t_t",
    .Tabela = "CFGEMPRESAULMAR", .Campos = CamposCfgEmpresa(), .Chave = "CODIGOEMPRESA", .Ordem = "CODIGOEMPRESA",
    .Caption = "Configuração do Registro Geral"};
const TnDefCadastro kDCEmpresa = ConsultaDe(kDMEmpresa, "TUlmarDMEmpresa");
// The suite's users (table USUARIO, kept by the framework): a consultation only, for the
// lookups of a user's code.
const TnDefCadastro kDCUsuario{
    .SQL = "Select t_t.CODIGOUSUARIO, t_t.NOMEUSUARIO from USUARIO t_t",
    .Campos = {{.Nome = "CODIGOUSUARIO", .Tipo = ftSmallint, .Requerido = true,
                .Def = {.DisplayLabel = "Usuário", .Digitos = 4}},
               {.Nome = "NOMEUSUARIO", .Tipo = ftString, .Tamanho = 60, .Def = {.DisplayLabel = "Nome"}}},
    .Chave = "CODIGOUSUARIO", .Ordem = "CODIGOUSUARIO", .Caption = "Usuários", .TipoForm = ntfConGrid,
    .LogChanges = false};
const TnDefCadastro kDCEstab = ConsultaDe(kDMEstab, "TUlmarDMEstab");

} // namespace

// The company's general-registry settings: one row, the selected company's. The chart's
// mask is set here once; a mask already in use is changed only by the process that rewrites
// the groups' classifications with it.
class TUlmarDMCfgEmpresa : public TUlmarCadastro<kDMCfgEmpresa, 1, true> {
protected:
    // One row per company, never deleted: the inventory reads it.
    void nClientDataSetBeforeInsert(TnClientDataSet &ds) override
    {
        TUlmarCadastro::nClientDataSetBeforeInsert(ds);
        if (!ds.IsEmpty())
            Abort();
    }
    void nClientDataSetBeforeDelete(TnClientDataSet &ds) override
    {
        TUlmarCadastro::nClientDataSetBeforeDelete(ds);
        Abort();
    }
    void ValidarDado() override
    {
        TUlmarCadastro::ValidarDado();
        const TnField &mascara = FieldByName(QStringLiteral("MASCGRUPOPRODUTO"));
        const QString nova = mascara.AsString().trimmed();
        static const QRegularExpression formato(QStringLiteral("^[90#]+(\\.[90#]+)*$"));
        if (!nova.isEmpty() && !formato.match(nova).hasMatch())
            throw EnField(mascara.FieldName(),
                          QStringLiteral("Máscara do plano de contas inválida: use níveis de dígitos (9) separados "
                                         "por ponto, por exemplo 9.99.999."));
        const QString atual = mascara.OldValue().toString().trimmed();
        if (!atual.isEmpty() && nova.compare(atual, Qt::CaseInsensitive) != 0)
            throw EnField(mascara.FieldName(),
                          QStringLiteral("A máscara do plano de contas já está em uso: altere-a em \"Utilitários\", "
                                         "\"Alterar Estrutura do Plano de Contas Inventário\", que reescreve as "
                                         "classificações dos grupos."));
    }
    // The modules that follow the company take its settings again.
    void nClientDataSetAfterPost(TnClientDataSet &ds) override
    {
        TUlmarCadastro::nClientDataSetAfterPost(ds);
        if (!ModoImportacao())
            Selecao().ReconfigurarDM(QStringLiteral("CodigoEmpresa"), false);
    }
};

// The company register. Once a new company is saved on its form, it offers to register the
// company's first branch: the branch register opens on that company.
class TUlmarDMEmpresa : public TUlmarCadastro<kDMEmpresa, 1, false> {
public:
    TUlmarDMEmpresa() : FAbrirEstab(new TnActAbrirCadastro(nullptr))
    {
        FAbrirEstab->setParent(this);
        FAbrirEstab->SetName(QStringLiteral("nActCadastrarEstab"));
        FAbrirEstab->ClasseCadastro = QStringLiteral("TUlmarDMEstab");
        FAbrirEstab->Mestre = &nClientDataSet();
        FAbrirEstab->CamposMestre = FAbrirEstab->CamposDetalhe = QStringLiteral("CODIGOEMPRESA");
    }

protected:
    void nClientDataSetBeforePost(TnClientDataSet &ds) override
    {
        TUlmarCadastro::nClientDataSetBeforePost(ds);
        FNova = ds.State() == dsInsert;
    }
    void nClientDataSetAfterPost(TnClientDataSet &ds) override
    {
        TUlmarCadastro::nClientDataSetAfterPost(ds);
        const bool nova = std::exchange(FNova, false);
        if (!nova || !Form())
            return;
        const QString texto = QStringLiteral("Empresa %1 - %2 gravada. Deseja cadastrar um estabelecimento dela agora?")
                                  .arg(FieldByName(QStringLiteral("CODIGOEMPRESA")).AsString(),
                                       FieldByName(QStringLiteral("NOMEEMPRESA")).AsString());
        if (nMessageDlg(texto, mtConfirmation,
                        {QStringLiteral("Cadastrar estabelecimento"), QStringLiteral("Agora não")}, 1) == 0)
            FAbrirEstab->Abrir();
    }

private:
    TnActAbrirCadastro *FAbrirEstab;
    bool FNova = false;
};

// The branch register reads the branches of its company (the selected one, or the one it was
// opened on). The company of a new branch is the user's choice among all companies; it
// starts as the register's own.
class TUlmarDMEstab : public TUlmarCadastro<kDMEstab, 1, true> {
public:
    QString CampoDaSelecao(const QString &chave) const override
    {
        if (nClientDataSet().State() == dsInsert
            && chave.trimmed().compare(QLatin1String("CodigoEmpresa"), Qt::CaseInsensitive) == 0)
            return QString();
        return TUlmarCadastro::CampoDaSelecao(chave);
    }

protected:
    void nClientDataSetNewRecord(TnClientDataSet &ds) override
    {
        TUlmarCadastro::nClientDataSetNewRecord(ds);
        const TnParamSelecao *empresa = ParamSelecao(QStringLiteral("CodigoEmpresa"));
        if (empresa && !empresa->IsNull())
            ds.FieldByName(QStringLiteral("CODIGOEMPRESA")).SetAsVariant(empresa->Value());
    }
};

// The branches follow the selected company, the companies are all listed.
static TnRegistrador<TUlmarDMEmpresa> gRegistroDMEmpresa("TUlmarDMEmpresa");
static TnRegistrador<TUlmarCadastro<kDCEmpresa, 2, false>> gRegistroDCEmpresa("UlmarDCEmpresa");
static TnRegistrador<TUlmarDMEstab> gRegistroDMEstab("TUlmarDMEstab");
static TnRegistrador<TUlmarCadastro<kDCEstab, 2, true>> gRegistroDCEstab("UlmarDCEstab");
static TnRegistrador<TUlmarDMCfgEmpresa> gRegistroDMCfgEmpresa("TUlmarDMCfgEmpresa");
static TnRegistrador<TUlmarCadastro<kDCUsuario, 2, false>> gRegistroDCUsuario("UlmarDCUsuario");
