// Stand-ins of the general registry's company and branch registers and their consultations,
// over the suite tables EMPRESA and ESTAB. Other modules reach them only by class name: the
// registers as "TUlmarDMEmpresa" and "TUlmarDMEstab", the consultations by the names lookups
// give them, "UlmarDCEmpresa" and "UlmarDCEstab".
#include "UlmarCadastro.h"

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
    return {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true,
             .Def = {.DisplayLabel = "Empresa", .Digitos = 4, .ClasseLookup = "UlmarDCEmpresa"}},
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

const char kSQLEmpresa[] = "Select t_t.CODIGOEMPRESA, t_t.NOMEEMPRESA from EMPRESA t_t";
const char kSQLEstab[] = "Select t_t.CODIGOEMPRESA, t_t.CODIGOESTAB, t_t.NOMEESTAB, t_t.INSCRFEDERAL, "
                         "t_t.DATAINICIOATIVIDADE, t_t.DATAFIMATIVIDADE from ESTAB t_t";

const TnDefCadastro kDMEmpresa{.SQL = kSQLEmpresa, .Tabela = "EMPRESA", .Campos = CamposEmpresa(),
                               .Chave = "CODIGOEMPRESA", .Ordem = "CODIGOEMPRESA", .Caption = "Empresas",
                               .CadCons = "UlmarDCEmpresa"};
const TnDefCadastro kDMEstab{.SQL = kSQLEstab, .Tabela = "ESTAB", .Campos = CamposEstab(),
                             .Chave = "CODIGOEMPRESA;CODIGOESTAB", .Ordem = "CODIGOEMPRESA, CODIGOESTAB",
                             .Caption = "Estabelecimentos", .CadCons = "UlmarDCEstab"};
const TnDefCadastro kDCEmpresa = ConsultaDe(kDMEmpresa, "TUlmarDMEmpresa");
const TnDefCadastro kDCEstab = ConsultaDe(kDMEstab, "TUlmarDMEstab");

} // namespace

// The branches follow the selected company, the companies are all listed.
static TnRegistrador<TUlmarCadastro<kDMEmpresa, 1, false>> gRegistroDMEmpresa("TUlmarDMEmpresa");
static TnRegistrador<TUlmarCadastro<kDCEmpresa, 2, false>> gRegistroDCEmpresa("UlmarDCEmpresa");
static TnRegistrador<TUlmarCadastro<kDMEstab, 1, true>> gRegistroDMEstab("TUlmarDMEstab");
static TnRegistrador<TUlmarCadastro<kDCEstab, 2, true>> gRegistroDCEstab("UlmarDCEstab");
