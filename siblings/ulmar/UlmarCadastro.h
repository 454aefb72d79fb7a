#pragma once
// The general registry's stand-in registers and consultations: one class per declaration,
// a register (tipo 1) or a consultation (tipo 2), following the selected company or not.
#include "Acoes.h"
#include "DMClientDataSet.h"

template <const TnDefCadastro &Decl, int Tipo, bool PorEmpresa>
class TUlmarCadastro : public TnDMClientDataSet {
public:
    TUlmarCadastro() : TnDMClientDataSet(Decl) {}
    static QString PegarVerificaSelecao() { return PorEmpresa ? QStringLiteral("CodigoEmpresa") : QString(); }
    static int PegarTipoObjeto() { return Tipo; }
    // The registers are offered under "Cadastros", in the general registry's menu (module 0)
    // and in the menus of the modules that use them (this inventory module, 3).
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos)
    {
        if (Tipo != 1 || !(modulos.test(0) || modulos.test(3)))
            return;
        TnAction *a = lista.Adicionar(classe, evento);
        a->SetCategory(QStringLiteral("01 Cadastros"));
        a->SetCaption(Decl.Caption);
    }
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
