#include "DireitoUsuario.h"

void TnGanchosDireito::Definir(int modulo, TnOnGerarPrincAction gancho)
{
    if (gancho)
        FGanchos.insert(modulo, std::move(gancho));
    else
        FGanchos.remove(modulo);
}

void TnGanchosDireito::Limpar(int modulo)
{
    FGanchos.remove(modulo);
}

bool TnGanchosDireito::Tem(int modulo) const
{
    return FGanchos.contains(modulo);
}

bool TnGanchosDireito::Executar(int modulo, TnActionList &lista) const
{
    const auto it = FGanchos.constFind(modulo);
    if (it == FGanchos.constEnd())
        return false;
    it.value()(lista);
    return true;
}

TnGanchosDireito &FOnGerarPrincActionMods()
{
    static TnGanchosDireito ganchos;
    return ganchos;
}

void TQuenPermissoes::QuenDoGerarPrincAction(TnActionList &)
{
}
