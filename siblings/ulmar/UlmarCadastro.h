#pragma once
// The general registry's stand-in registers and consultations: one class per declaration,
// a register (tipo 1) or a consultation (tipo 2), following the selected company or not.
#include "DMClientDataSet.h"

template <const TnDefCadastro &Decl, int Tipo, bool PorEmpresa>
class TUlmarCadastro : public TnDMClientDataSet {
public:
    TUlmarCadastro() : TnDMClientDataSet(Decl) {}
    static QString PegarVerificaSelecao() { return PorEmpresa ? QStringLiteral("CodigoEmpresa") : QString(); }
    static int PegarTipoObjeto() { return Tipo; }
};

// The consultation of a register: the same rows and fields, read-only in a grid, paired
// with the register `cadastro`.
inline TnDefCadastro ConsultaDe(TnDefCadastro registro, const char *cadastro)
{
    registro.Tabela.clear();
    registro.TipoForm = ntfConGrid;
    registro.CadCons = QString::fromLatin1(cadastro);
    registro.LogChanges = false;
    return registro;
}
