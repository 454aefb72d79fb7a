#include "OrvoDMLctoInvCST_U.h"

#include "LctoInvPropriedadeComum.h"
#include "Modulos.h"
#include "SuiteProduto.h"
#include "Variaveis.h"

#include <QDate>

namespace {

const TnDefCadastro kDeclaracao{
    .SQL = "Select t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.DATAINVENT, t_t.CODIGOPRODUTO, t_t.MOTIVOINVENTARIO, "
           "t_t.SEQ, t_t.CST, t_t.BASECALCULO, t_t.VALORIMPOSTO from LCTOINVCST t_t order by t_t.CODIGOEMPRESA, "
           "t_t.CODIGOESTAB, t_t.DATAINVENT, t_t.CODIGOPRODUTO, t_t.MOTIVOINVENTARIO, t_t.SEQ, t_t.CST",
    .Tabela = "LCTOINVCST",
    .Campos = CamposCST(false),
    .Chave = kChaveCST,
    .Ordem = "CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, CST",
    .Caption = "Lançamentos do Inventário - CST",
    .TipoForm = ntfCadGrid,
    .CadCons = "OrvoDCLctoInvCST",
    .Menus = {{.Caption = "Lançamentos do Inventário - CST", .Categoria = "02 Movimentos", .Indice = 1,
               .Modulo = "Orvo", .Imagem = 100, .SemEntrada = true}},
};

const TnDefAcao kAcao{.Categoria = "02 Movimentos", .Caption = "Lançamentos do Inventário - CST", .Indice = 1,
                      .Imagem = 100, .ChecarSelecao = false};

const char *const kSelecao = "CodigoEmpresa;CodigoEstab;DataInvent";

} // namespace

TOrvoDMLctoInvCST::TOrvoDMLctoInvCST() : TnDMClientDataSet(kDeclaracao) {}

QString TOrvoDMLctoInvCST::PegarVerificaSelecao() { return QString::fromLatin1(kSelecao); }

int TOrvoDMLctoInvCST::PegarTipoObjeto() { return 1; }

void TOrvoDMLctoInvCST::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                         const TnModulos &modulos)
{
    GerarAcao({kAcao}, classe, lista, evento, modulos);
}

QString TOrvoDMLctoInvCST::ChavePrimaria() const { return QString::fromLatin1(kChaveCST); }

void TOrvoDMLctoInvCST::ValidarDado()
{
    TnDMClientDataSet::ValidarDado();
    // From 2013 on the register accepts any code; before, only those then in force.
    if (FieldByName(QStringLiteral("DATAINVENT")).AsDate() >= QDate(2013, 1, 1))
        return;
    const TnField &cst = FieldByName(QStringLiteral("CST"));
    const QString codigo = cst.AsString().rightJustified(3, u'0');
    if (!LstCSTValICMS().contains(codigo))
        throw EnField(cst.FieldName(), QString::fromUtf8("CST inválida para o período! Utilize a consulta para ver os "
                                                         "valores válidos para o período."));
}

void TOrvoDMLctoInvCST::nClientDataSetCSTDefIntButtonClick()
{
    const QDate data = QDate::fromString(ExternalVar(QString::fromLatin1(VarFw::gDataInvent)).trimmed(),
                                         QStringLiteral("dd/MM/yyyy"));
    const QString cst = SelecionarCstImposto(kImpostoICMS, QString(), data);
    if (cst.isEmpty())
        return;
    TnClientDataSet &ds = nClientDataSet();
    if (ds.State() != dsEdit && ds.State() != dsInsert)
        ds.Edit();
    FieldByName(QStringLiteral("CST")).SetAsString(cst);
}

bool TOrvoDMLctoInvCST::PesquisarCampo(const QString &campo)
{
    if (campo.compare(QStringLiteral("CST"), Qt::CaseInsensitive) != 0)
        return TnDMClientDataSet::PesquisarCampo(campo);
    nClientDataSetCSTDefIntButtonClick();
    return true;
}

QString TOrvoDMLctoInvCSTProc::PegarVerificaSelecao() { return QString::fromLatin1(kSelecao); }

namespace {
TnRegistrador<TOrvoDMLctoInvCST> gRegistro("TOrvoDMLctoInvCST");
TnRegistrador<TOrvoDMLctoInvCSTProc> gRegistroProc("TOrvoDMLctoInvCSTProc");
} // namespace
