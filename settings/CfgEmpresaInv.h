#pragma once
// What the company inventory settings register and its consultation share: the statement
// that reads CFGEMPRESAINV and its columns, and the menu actions both classes build from a
// table of their own.
#include "Acoes.h"
#include "Campo.h"

#include <QString>
#include <vector>

// Reads every company's row; the register reads only the selected company's.
extern const char *const kSQLCfgEmpresaInv;
// The columns of CFGEMPRESAINV with their captions, hints, value lists and rules.
std::vector<TnDefCampo> CamposCfgEmpresaInv();

// One menu action of a class: built when the menu's module set holds `Modulo`.
struct TnDefAcaoCfg {
    int Modulo = 3;
    const char *Categoria = "";
    const char *Caption = "";
    int Indice = 0;
    const char *Atalho = ""; // "" for none
    int Imagem = -1;         // -1 for none
    bool ChecarSelecao = true;
};

// Adds the action of the first entry whose module the set holds (one action per class and
// list: the action's name is "act" + class name).
void GerarAcoesCfg(const std::vector<TnDefAcaoCfg> &acoes, const TnClasseInfo &classe, TnActionList &lista,
                   const TnEventoAcao &evento, const TnModulos &modulos);
