// Stand-ins of the general registry's product register, the product-group chart and the
// people, over the suite tables PRODUTO, GRUPOPRODUTO and PESSOA. Other modules reach them
// only by class name: "TUlmarDMProduto" and its consultation "UlmarDCProduto",
// "TUlmarDMGrupoProduto" and "UlmarDCGrupoProduto", "TUlmarDMPessoa" and "UlmarDCPessoa".
#include "Interacao.h"
#include "Personalizacao.h"
#include "UlmarCadastro.h"

namespace {

std::vector<TnDefCampo> CamposProduto()
{
    return {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.Visivel = false}},
            {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Requerido = true,
             .Def = {.DisplayLabel = "Produto", .Digitos = 15, .Minimo = 1,
                     .MensagemErro = "Código do produto inválido!"}},
            {.Nome = "REFERENPRODUTO", .Tipo = ftString, .Tamanho = 60,
             .Def = {.DisplayLabel = "Referência", .TamanhoMaximo = 15}},
            {.Nome = "CODIGOGRUPOPRODUTO", .Tipo = ftInteger, .Requerido = true,
             .Def = {.DisplayLabel = "Grupo", .Digitos = 9, .TipoControle = ntcLookup,
                     .CamposLink = "CODIGOEMPRESA;CODIGOGRUPOPRODUTO", .ClasseLookup = "UlmarDCGrupoProduto"}},
            {.Nome = "DESCRPRODUTO", .Tipo = ftString, .Tamanho = 120, .Requerido = true,
             .Def = {.DisplayLabel = "Descrição", .TamanhoMaximo = 40}},
            {.Nome = "CODIGONCM", .Tipo = ftString, .Tamanho = 12,
             .Def = {.DisplayLabel = "Classificação Fiscal", .TamanhoMaximo = 12}},
            {.Nome = "UNIDADEMEDIDA", .Tipo = ftString, .Tamanho = 10, .Requerido = true,
             .Def = {.DisplayLabel = "Unidade Medida", .TamanhoMaximo = 10}},
            // Stamped by the register on every insert and change (the SINCO product file
            // writes it); shown, never typed.
            {.Nome = "DATAATUALIZACAO", .Tipo = ftDate,
             .Def = {.DisplayLabel = "Data de Atualização", .TipoControle = ntcData, .Habilitado = false}}};
}

std::vector<TnDefCampo> CamposGrupoProduto()
{
    return {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.Visivel = false}},
            {.Nome = "CODIGOGRUPOPRODUTO", .Tipo = ftInteger, .Requerido = true,
             .Def = {.DisplayLabel = "Grupo", .Digitos = 9, .Minimo = 1, .MensagemErro = "Código do grupo inválido!"}},
            {.Nome = "CLASSIFGRUPOPRODUTO", .Tipo = ftString, .Tamanho = 20,
             .Def = {.DisplayLabel = "Classificação", .TamanhoMaximo = 20}},
            {.Nome = "TIPOGRUPOPRODUTO", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.DisplayLabel = "Tipo", .ListaValores = {"Sintético=1", "Analítico=2"},
                     .TipoControle = ntcCombo, .ValorPadrao = 2, .SomenteDaLista = true}},
            {.Nome = "DESCRGRUPOPRODUTO", .Tipo = ftString, .Tamanho = 60, .Requerido = true,
             .Def = {.DisplayLabel = "Descrição", .TamanhoMaximo = 60}},
            {.Nome = "APELIDOGRUPOPRODUTO", .Tipo = ftString, .Tamanho = 20,
             .Def = {.DisplayLabel = "Apelido", .TamanhoMaximo = 20}},
            // The group's type in the SINCO movement file: one character.
            {.Nome = "TIPOGRUPOPRODUTOSINCO", .Tipo = ftString, .Tamanho = 2,
             .Def = {.DisplayLabel = "Tipo SINCO", .TamanhoMaximo = 1}}};
}

std::vector<TnDefCampo> CamposPessoa()
{
    return {{.Nome = "CODIGOPESSOA", .Tipo = ftInteger, .Requerido = true,
             .Def = {.DisplayLabel = "Pessoa", .Digitos = 9, .Minimo = 1, .MensagemErro = "Código da pessoa inválido!"}},
            {.Nome = "NOMEPESSOA", .Tipo = ftString, .Tamanho = 100, .Requerido = true,
             .Def = {.DisplayLabel = "Nome", .TamanhoMaximo = 100}}};
}

const char kSQLProduto[] = "Select t_t.CODIGOEMPRESA, t_t.CODIGOPRODUTO, t_t.REFERENPRODUTO, t_t.CODIGOGRUPOPRODUTO, "
                           "t_t.DESCRPRODUTO, t_t.CODIGONCM, t_t.UNIDADEMEDIDA, t_t.DATAATUALIZACAO from PRODUTO t_t";
const char kSQLGrupo[] = "Select t_t.CODIGOEMPRESA, t_t.CODIGOGRUPOPRODUTO, t_t.CLASSIFGRUPOPRODUTO, "
                         "t_t.TIPOGRUPOPRODUTO, t_t.DESCRGRUPOPRODUTO, t_t.APELIDOGRUPOPRODUTO, "
                         "t_t.TIPOGRUPOPRODUTOSINCO from GRUPOPRODUTO t_t";
const char kSQLPessoa[] = "Select t_t.CODIGOPESSOA, t_t.NOMEPESSOA from PESSOA t_t";

const TnDefCadastro kDMProduto{.SQL = kSQLProduto, .Tabela = "PRODUTO", .Campos = CamposProduto(),
                               .Chave = "CODIGOEMPRESA;CODIGOPRODUTO", .Ordem = "CODIGOEMPRESA, CODIGOPRODUTO",
                               .Caption = "Produtos", .CadCons = "UlmarDCProduto"};
const TnDefCadastro kDMGrupo{.SQL = kSQLGrupo, .Tabela = "GRUPOPRODUTO", .Campos = CamposGrupoProduto(),
                             .Chave = "CODIGOEMPRESA;CODIGOGRUPOPRODUTO",
                             .Ordem = "CODIGOEMPRESA, CLASSIFGRUPOPRODUTO, CODIGOGRUPOPRODUTO",
                             .Caption = "Plano de Contas de Produtos", .CadCons = "UlmarDCGrupoProduto"};
// The consultation adds REFERDESCRPRODUTO, the reference and the description in one text
// ("REF-1 - Parafuso"; the description alone for a product without reference), which
// other registers show beside a product code.
TnDefCadastro ConsultaProduto()
{
    TnDefCadastro d = ConsultaDe(kDMProduto, "TUlmarDMProduto");
    d.SQL = QStringLiteral("Select t_t.CODIGOEMPRESA, t_t.CODIGOPRODUTO, t_t.REFERENPRODUTO, t_t.CODIGOGRUPOPRODUTO, "
                           "t_t.DESCRPRODUTO, t_t.CODIGONCM, t_t.UNIDADEMEDIDA, "
                           "case when coalesce(trim(t_t.REFERENPRODUTO), '') = '' then t_t.DESCRPRODUTO "
                           "else trim(t_t.REFERENPRODUTO) || ' - ' || t_t.DESCRPRODUTO end as REFERDESCRPRODUTO "
                           "from PRODUTO t_t");
    d.Campos.push_back({.Nome = "REFERDESCRPRODUTO", .Tipo = ftString, .Tamanho = 183, .SomenteLeitura = true,
                        .Def = {.DisplayLabel = QString::fromUtf8("Referência - Descrição")}});
    return d;
}
const TnDefCadastro kDCProduto = ConsultaProduto();
const TnDefCadastro kDCGrupo = ConsultaDe(kDMGrupo, "TUlmarDMGrupoProduto");
// The people a property line names as participant (the owner or holder of the stock).
const TnDefCadastro kDMPessoa{.SQL = kSQLPessoa, .Tabela = "PESSOA", .Campos = CamposPessoa(), .Chave = "CODIGOPESSOA",
                              .Ordem = "CODIGOPESSOA", .Caption = "Pessoas", .CadCons = "UlmarDCPessoa"};
const TnDefCadastro kDCPessoa = ConsultaDe(kDMPessoa, "TUlmarDMPessoa");

// The columns a new product may copy from the previous one, and where the user's choice is
// kept: the columns' names in upper case, each followed by ";".
const char *const kCopiaveis[] = {"REFERENPRODUTO", "CODIGOGRUPOPRODUTO", "DESCRPRODUTO", "CODIGONCM",
                                  "UNIDADEMEDIDA"};
const char kFormProduto[] = "frmUlmarDMProduto";
const char kChaveCopiar[] = "CopiarValor";

} // namespace

// The product register. Its configuration ("Configurar") lets the user choose which columns
// a new product copies from the previous one; the choice is the user's own preference.
class TUlmarDMProduto : public TUlmarCadastro<kDMProduto, 1, true> {
public:
    TUlmarDMProduto()
    {
        OnCfgCadastro = [this] { EscolherCopia(); };
    }

protected:
    // A product inserted or changed carries the day of that change.
    void ConfigurarAutoValor(TnClientDataSet *objeto) override
    {
        TUlmarCadastro::ConfigurarAutoValor(objeto);
        TnClientDataSet &ds = nClientDataSet();
        if (ds.State() == dsInsert || ds.Modified())
            FieldByName(QStringLiteral("DATAATUALIZACAO")).SetAsDate(QDate::currentDate());
    }

    void nClientDataSetBeforeInsert(TnClientDataSet &ds) override
    {
        // What the user chose decides which fields the new row copies.
        if (ModoImportacao())
            return;
        const QStringList copiar = ColunasCopiadas();
        for (const char *coluna : kCopiaveis)
            ds.FieldByName(QString::fromLatin1(coluna)).Def().CopiarAnterior =
                copiar.contains(QString::fromLatin1(coluna));
    }

private:
    static QStringList ColunasCopiadas()
    {
        const std::unique_ptr<QSettings> ini = CriarINIModuloCfg();
        const QString valor =
            ini->value(PegarSectionUsuario(QString::fromLatin1(kFormProduto)) + u'/' + QString::fromLatin1(kChaveCopiar))
                .toString();
        QStringList r;
        for (const QString &c : valor.split(u';', Qt::SkipEmptyParts))
            r.append(c.trimmed().toUpper());
        return r;
    }

    void EscolherCopia()
    {
        const QStringList atuais = ColunasCopiadas();
        QStringList textos;
        QList<int> marcados;
        for (const char *coluna : kCopiaveis) {
            const QString nome = QString::fromLatin1(coluna);
            if (atuais.contains(nome))
                marcados.append(int(textos.size()));
            textos.append(FieldByName(nome).DisplayLabel());
        }
        if (!Interacao().SelecionarItens(QStringLiteral("Copiar do produto anterior"), textos, marcados))
            return;
        QString valor;
        for (int i = 0; i < textos.size(); ++i)
            if (marcados.contains(i))
                valor += QString::fromLatin1(kCopiaveis[i]) + u';';
        const std::unique_ptr<QSettings> ini = CriarINIModuloCfg();
        ini->setValue(PegarSectionUsuario(QString::fromLatin1(kFormProduto)) + u'/' + QString::fromLatin1(kChaveCopiar),
                      valor);
        ini->sync();
        if (ini->status() != QSettings::NoError)
            throw Exception(QStringLiteral("Não foi possível gravar as preferências do usuário em %1.")
                                .arg(ini->fileName()));
    }
};

static TnRegistrador<TUlmarDMProduto> gRegistroDMProduto("TUlmarDMProduto");
static TnRegistrador<TUlmarCadastro<kDCProduto, 2, true>> gRegistroDCProduto("UlmarDCProduto");
static TnRegistrador<TUlmarCadastro<kDMGrupo, 1, true>> gRegistroDMGrupo("TUlmarDMGrupoProduto");
static TnRegistrador<TUlmarCadastro<kDCGrupo, 2, true>> gRegistroDCGrupo("UlmarDCGrupoProduto");
static TnRegistrador<TUlmarCadastro<kDMPessoa, 1, false>> gRegistroDMPessoa("TUlmarDMPessoa");
static TnRegistrador<TUlmarCadastro<kDCPessoa, 2, false>> gRegistroDCPessoa("UlmarDCPessoa");
