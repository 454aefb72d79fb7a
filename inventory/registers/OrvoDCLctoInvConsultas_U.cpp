#include "OrvoDCLctoInvConsultas_U.h"

#include "LctoInvPropriedadeComum.h"
#include "Modulos.h"

namespace {

template <class F>
std::vector<TnDefCampo> ComDescricao(F campos)
{
    std::vector<TnDefCampo> c = campos(true);
    c.push_back(CampoDescrProduto());
    return c;
}

const TnDefCadastro kPropriedade{
    .SQL = "Select L.*, P.DESCRPRODUTO from LCTOINVPROPRIEDADE L join PRODUTO P on L.CODIGOEMPRESA = "
           "P.CODIGOEMPRESA and L.CODIGOPRODUTO = P.CODIGOPRODUTO order by L.CODIGOPRODUTO",
    .Campos = ComDescricao(CamposPropriedade),
    .Chave = kChavePropriedade,
    .Ordem = "CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, SEQ",
    .CaptionOrdem = "Produto",
    .Indices = {{.Caption = "Descrição", .Campos = "DESCRPRODUTO"}},
    .Caption = "Lançamentos do Inventário - Propriedade",
    .TipoForm = ntfConGrid,
    .CadCons = "OrvoDMLctoInvPropriedade",
    .Menus = {{.Caption = "Lançamentos do Inventário - Propriedade", .Categoria = "02 Movimentos\\00 Consultas",
               .Indice = 1, .Modulo = "Orvo", .Imagem = 0, .SemEntrada = true}},
    .LogChanges = false,
};

const TnDefCadastro kCST{
    .SQL = "Select L.*, P.DESCRPRODUTO from LCTOINVCST L join PRODUTO P on L.CODIGOEMPRESA = P.CODIGOEMPRESA "
           "and L.CODIGOPRODUTO = P.CODIGOPRODUTO order by L.CODIGOPRODUTO",
    .Campos = ComDescricao(CamposCST),
    .Chave = kChaveCST,
    .Ordem = "CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, CST",
    .CaptionOrdem = "Produto",
    .Indices = {{.Caption = "Descrição", .Campos = "DESCRPRODUTO"}},
    .Caption = "Lançamentos do Inventário - CST",
    .TipoForm = ntfConGrid,
    .CadCons = "OrvoDMLctoInvCST",
    .Menus = {{.Caption = "Lançamentos do Inventário - CST", .Categoria = "02 Movimentos\\00 Consultas",
               .Indice = 1, .Modulo = "Orvo", .Imagem = 0, .SemEntrada = true}},
    .LogChanges = false,
};

const TnDefAcaoLcto kAcaoPropriedade{.Categoria = "02 Movimentos\\00 Consultas",
                                     .Caption = "Lançamentos do Inventário - Propriedade"};
const TnDefAcaoLcto kAcaoCST{.Categoria = "02 Movimentos\\00 Consultas", .Caption = "Lançamentos do Inventário - CST"};

const char *const kSelecao = "CodigoEmpresa;CodigoEstab;DataInvent";

} // namespace

TOrvoDCLctoInvPropriedade::TOrvoDCLctoInvPropriedade() : TnDMClientDataSet(kPropriedade) {}
QString TOrvoDCLctoInvPropriedade::PegarVerificaSelecao() { return QString::fromLatin1(kSelecao); }
int TOrvoDCLctoInvPropriedade::PegarTipoObjeto() { return 2; }
void TOrvoDCLctoInvPropriedade::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                 const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcaoLcto(kAcaoPropriedade, classe, lista, evento, modulos);
}
QString TOrvoDCLctoInvPropriedade::ChavePrimaria() const { return QString::fromLatin1(kChavePropriedade); }

TOrvoDCLctoInvCST::TOrvoDCLctoInvCST() : TnDMClientDataSet(kCST) {}
QString TOrvoDCLctoInvCST::PegarVerificaSelecao() { return QString::fromLatin1(kSelecao); }
int TOrvoDCLctoInvCST::PegarTipoObjeto() { return 2; }
void TOrvoDCLctoInvCST::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                         const TnModulos &modulos)
{
    GerarAcaoLcto(kAcaoCST, classe, lista, evento, modulos);
}
QString TOrvoDCLctoInvCST::ChavePrimaria() const { return QString::fromLatin1(kChaveCST); }

namespace {
TnRegistrador<TOrvoDCLctoInvPropriedade> gRegistroPropriedade("TOrvoDCLctoInvPropriedade");
TnRegistrador<TOrvoDCLctoInvCST> gRegistroCST("TOrvoDCLctoInvCST");
} // namespace
