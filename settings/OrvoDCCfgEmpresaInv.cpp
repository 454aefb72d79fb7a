#include "OrvoDCCfgEmpresaInv.h"

#include "CfgEmpresaInv.h"

namespace {

const TnDefCadastro kDeclaracao{
    .SQL = kSQLCfgEmpresaInv,
    .Campos = CamposCfgEmpresaInv(),
    .Chave = "CODIGOEMPRESA",
    .Ordem = "CodigoEmpresa",
    .CaptionOrdem = "Empresa",
    .Caption = "Configuração do Inventário",
    .TipoForm = ntfConGrid,
    .CadCons = "OrvoDMCfgEmpresaInv",
    .Menus = {{.Caption = "Inventário",
               .Categoria = "10 Configurações\\00 Consultas",
               .Indice = 40,
               .Modulo = "Ulmar",
               .Imagem = 0,
               .SemEntrada = true}},
    .ChaveAlteravel = false,
    .LogChanges = false,
};

const std::vector<TnDefAcao> kAcoes{
    {.Modulo = 3,
     .Categoria = "10 Configurações",
     .Caption = "Configuração da Empresa",
     .Indice = 1,
     .Atalho = "Shift+Ctrl+F12",
     .Imagem = 101,
     .ChecarSelecao = false},
    {.Modulo = 0,
     .Categoria = "10 Configurações\\00 Consultas",
     .Caption = "Inventário",
     .Indice = 40,
     .ChecarSelecao = false},
};

} // namespace

TOrvoDCCfgEmpresaInv::TOrvoDCCfgEmpresaInv() : TnDMClientDataSet(kDeclaracao) {}

int TOrvoDCCfgEmpresaInv::PegarTipoObjeto() { return 2; }

void TOrvoDCCfgEmpresaInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                            const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao(kAcoes, classe, lista, evento, modulos);
}

namespace {
TnRegistrador<TOrvoDCCfgEmpresaInv> gRegistro("TOrvoDCCfgEmpresaInv");
}
