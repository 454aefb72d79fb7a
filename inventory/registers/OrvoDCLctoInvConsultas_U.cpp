#include "OrvoDCLctoInvConsultas_U.h"

#include "LctoInvPropriedadeComum.h"
#include "Modulos.h"

namespace {

const char *const kCaptionPropriedade = "Lançamentos do Inventário - Propriedade";
const char *const kCaptionCST = "Lançamentos do Inventário - CST";
const char *const kCategoria = "02 Movimentos\\00 Consultas";

// A read-only grid of the lines of `tabela`, each with its product's description.
TnDefCadastro Consulta(const char *tabela, std::vector<TnDefCampo> campos, const char *chave, const char *ordem,
                       const char *caption, const char *cadastro)
{
    campos.push_back(CampoDescrProduto());
    return {.SQL = QStringLiteral("Select L.*, P.DESCRPRODUTO from %1 L join PRODUTO P on L.CODIGOEMPRESA = "
                                  "P.CODIGOEMPRESA and L.CODIGOPRODUTO = P.CODIGOPRODUTO order by L.CODIGOPRODUTO")
                       .arg(QLatin1String(tabela)),
            .Campos = std::move(campos),
            .Chave = chave,
            .Ordem = ordem,
            .CaptionOrdem = "Produto",
            .Indices = {{.Caption = QString::fromUtf8("Descrição"), .Campos = "DESCRPRODUTO"}},
            .Caption = QString::fromUtf8(caption),
            .TipoForm = ntfConGrid,
            .CadCons = cadastro,
            .Menus = {{.Caption = QString::fromUtf8(caption), .Categoria = kCategoria, .Indice = 1, .Modulo = "Orvo",
                       .Imagem = 0, .SemEntrada = true}},
            .LogChanges = false};
}

const TnDefCadastro kPropriedade = Consulta("LCTOINVPROPRIEDADE", CamposPropriedade(true), kChavePropriedade,
                                            "CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, SEQ",
                                            kCaptionPropriedade, "OrvoDMLctoInvPropriedade");
const TnDefCadastro kCST = Consulta("LCTOINVCST", CamposCST(true), kChaveCST,
                                    "CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, CST",
                                    kCaptionCST, "OrvoDMLctoInvCST");

const TnDefAcao kAcaoPropriedade{.Categoria = kCategoria, .Caption = kCaptionPropriedade, .Indice = 1,
                                  .ChecarSelecao = false};
const TnDefAcao kAcaoCST{.Categoria = kCategoria, .Caption = kCaptionCST, .Indice = 1, .ChecarSelecao = false};

const char *const kSelecao = "CodigoEmpresa;CodigoEstab;DataInvent";

} // namespace

TOrvoDCLctoInvPropriedade::TOrvoDCLctoInvPropriedade() : TnDMClientDataSet(kPropriedade) {}
QString TOrvoDCLctoInvPropriedade::PegarVerificaSelecao() { return QString::fromLatin1(kSelecao); }
int TOrvoDCLctoInvPropriedade::PegarTipoObjeto() { return 2; }
void TOrvoDCLctoInvPropriedade::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                 const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({kAcaoPropriedade}, classe, lista, evento, modulos);
}
QString TOrvoDCLctoInvPropriedade::ChavePrimaria() const { return QString::fromLatin1(kChavePropriedade); }

TOrvoDCLctoInvCST::TOrvoDCLctoInvCST() : TnDMClientDataSet(kCST) {}
QString TOrvoDCLctoInvCST::PegarVerificaSelecao() { return QString::fromLatin1(kSelecao); }
int TOrvoDCLctoInvCST::PegarTipoObjeto() { return 2; }
void TOrvoDCLctoInvCST::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                         const TnModulos &modulos)
{
    GerarAcao({kAcaoCST}, classe, lista, evento, modulos);
}
QString TOrvoDCLctoInvCST::ChavePrimaria() const { return QString::fromLatin1(kChaveCST); }

namespace {
TnRegistrador<TOrvoDCLctoInvPropriedade> gRegistroPropriedade("TOrvoDCLctoInvPropriedade");
TnRegistrador<TOrvoDCLctoInvCST> gRegistroCST("TOrvoDCLctoInvCST");
} // namespace
