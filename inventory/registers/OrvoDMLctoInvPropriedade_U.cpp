#include "OrvoDMLctoInvPropriedade_U.h"

#include "ExecutarSQL.h"
#include "LctoInvPropriedadeComum.h"
#include "Modulos.h"
#include "SQLDataSet.h"
#include "Variaveis.h"

namespace {

const TnDefCadastro kDeclaracao{
    .SQL = "Select t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT, t_t.CODIGOPRODUTO, t_t.MOTIVOINVENTARIO, "
           "t_t.SEQ, t_t.INDICADORPROPRIEDADE, t_t.CODIGOPESSOAPART, t_t.CONTACTB, t_t.QUANTIDADE, t_t.PRECOUNIT, "
           "t_t.VALORIR from LCTOINVPROPRIEDADE t_t order by t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT, "
           "t_t.CODIGOPRODUTO, t_t.MOTIVOINVENTARIO, t_t.SEQ",
    .Tabela = "LCTOINVPROPRIEDADE",
    .Campos = CamposPropriedade(false),
    .Chave = kChavePropriedade,
    .Ordem = "CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ",
    .Caption = "Lançamentos do Inventário - Propriedade",
    .TipoForm = ntfCadPage,
    .CadCons = "OrvoDCLctoInvPropriedade",
    .Menus = {{.Caption = "Lançamentos do Inventário - Propriedade", .Categoria = "02 Movimentos", .Indice = 1,
               .Modulo = "Orvo", .Imagem = 100, .SemEntrada = true}},
};

const TnDefAcao kAcao{.Categoria = "02 Movimentos",
                      .Caption = "Lançamentos do Inventário - Propriedade",
                      .Indice = 1,
                      .Imagem = 100,
                      .ChecarSelecao = false,
                      .ControlaDireito = true,
                      .AcaoMestre = "actTOrvoDMLctoInv"};

const char *const kIndicador = "INDICADORPROPRIEDADE";
const char *const kParticipante = "CODIGOPESSOAPART";

} // namespace

TOrvoDMLctoInvPropriedade::TOrvoDMLctoInvPropriedade() : TnDMClientDataSet(kDeclaracao) {}

TOrvoDMLctoInvPropriedade::~TOrvoDMLctoInvPropriedade()
{
    // The tax-situation register goes before this module's own destruction.
    if (FDMDetalhe)
        DestruirDM(FDMDetalhe.data());
}

QString TOrvoDMLctoInvPropriedade::PegarVerificaSelecao() { return QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATAINVENT"); }

int TOrvoDMLctoInvPropriedade::PegarTipoObjeto() { return 1; }

void TOrvoDMLctoInvPropriedade::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                 const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({kAcao}, classe, lista, evento, modulos);
}

QString TOrvoDMLctoInvPropriedade::ChavePrimaria() const { return QString::fromLatin1(kChavePropriedade); }

void TOrvoDMLctoInvPropriedade::DepoisConfigurar(TnFormModulo *form)
{
    TnDMClientDataSet::DepoisConfigurar(form);
    ConfigurarCampoParticipante();
    if (!FDMDetalhe)
        FDMDetalhe = CriarDetalhe(QStringLiteral("TOrvoDMLctoInvCST"), QString::fromLatin1(kChavePropriedade));
}

void TOrvoDMLctoInvPropriedade::ConfigurarCampo(TnClientDataSet *objeto)
{
    TnDMClientDataSet::ConfigurarCampo(objeto);
    if (objeto == &nClientDataSet())
        ConfigurarCampoParticipante();
}

void TOrvoDMLctoInvPropriedade::ConfigurarCampoParticipante()
{
    const TnClientDataSet &ds = nClientDataSet();
    // The field's value, never the text its control shows: a null or no row reads as 0.
    const bool temLinha = ds.Active() && (!ds.IsEmpty() || ds.State() == dsInsert);
    const bool exige = temLinha && FieldByName(QString::fromLatin1(kIndicador)).AsInteger() != 0;
    HabilitarCampo(QString::fromLatin1(kParticipante), exige);
    RequererCampo(QString::fromLatin1(kParticipante), exige);
}

void TOrvoDMLctoInvPropriedade::ConfigurarAutoFormato(TnClientDataSet *objeto)
{
    TnDMClientDataSet::ConfigurarAutoFormato(objeto);
    LerCasasDecimais();
    TnField &qtde = FieldByName(QStringLiteral("QUANTIDADE"));
    qtde.SetDisplayFormat(FormatoCasas(FQtdeCasaDecimalQtd));
    qtde.SetEditFormat(qtde.DisplayFormat());
    TnField &preco = FieldByName(QStringLiteral("PRECOUNIT"));
    preco.SetDisplayFormat(FormatoCasas(FQtdeCasaDecimalVal));
    preco.SetEditFormat(preco.DisplayFormat());
}

int TOrvoDMLctoInvPropriedade::PegarQtdeCasaDecimalQtd()
{
    LerCasasDecimais();
    return FQtdeCasaDecimalQtd;
}

int TOrvoDMLctoInvPropriedade::PegarQtdeCasaDecimal()
{
    LerCasasDecimais();
    return FQtdeCasaDecimalVal;
}

// The company's decimals as the entry modules keep them (read once per company, again after
// the settings change).
void TOrvoDMLctoInvPropriedade::LerCasasDecimais()
{
    const TnField &empresa = FieldByName(QStringLiteral("CODIGOEMPRESA"));
    const TnClientDataSet &ds = nClientDataSet();
    const int codigo = ds.Active() && !ds.IsEmpty() && !empresa.IsNull()
                           ? empresa.AsInteger()
                           : Selecao().GetParams(QStringLiteral("CodigoEmpresa")).AsInteger(); // no line yet: the selected company's
    const TnCfgLctoInv &cfg = CfgLctoInv(codigo);
    FQtdeCasaDecimalQtd = cfg.QtdeCasaDecimalQtd;
    FQtdeCasaDecimalVal = cfg.QtdeCasaDecimal;
}

void TOrvoDMLctoInvPropriedade::ConfigurarAutoValor(TnClientDataSet *objeto)
{
    TnDMClientDataSet::ConfigurarAutoValor(objeto);
    NumerarSeq(true);
}

void TOrvoDMLctoInvPropriedade::nClientDataSetNewRecord(TnClientDataSet &ds)
{
    TnDMClientDataSet::nClientDataSetNewRecord(ds);
    NumerarSeq(false);
}

// SEQ := the next number within the entry, once the entry's key is known.
void TOrvoDMLctoInvPropriedade::NumerarSeq(bool somenteVazio)
{
    TnField &seq = FieldByName(QStringLiteral("SEQ"));
    if (somenteVazio && !seq.IsNull())
        return;
    QStringList condicoes;
    for (const QString &c : QString::fromLatin1(kChaveLctoInv).split(u';')) {
        const TnField &campo = FieldByName(c);
        if (campo.IsNull())
            return;
        condicoes << ValorParaSQL(campo, QStringLiteral("="), true);
    }
    seq.SetAsLargeInt(nDMSQLDataSet::PegarProximoCodigo(QStringLiteral("LCTOINVPROPRIEDADE"), QStringLiteral("SEQ"),
                                                        condicoes.join(QStringLiteral(" and "))));
}

void TOrvoDMLctoInvPropriedade::nClientDataSetCampoChange(TnField &campo)
{
    TnDMClientDataSet::nClientDataSetCampoChange(campo);
    if (campo.FieldName().compare(QString::fromLatin1(kIndicador), Qt::CaseInsensitive) == 0)
        ConfigurarCampoParticipante();
}

namespace {
TnRegistrador<TOrvoDMLctoInvPropriedade> gRegistro("TOrvoDMLctoInvPropriedade");
}
