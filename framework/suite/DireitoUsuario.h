#pragma once
// User rights. The user-rights module builds its menu actions through one hook per suite
// module number (FOnGerarPrincActionMods); each system installs its own while its library
// is loaded and removes it when it unloads. TQuenPermissoes is the suite package's
// permissions class: this build grants every right, so it adds no restricting action.
#include <QHash>
#include <functional>

class TnActionList;

using TnOnGerarPrincAction = std::function<void(TnActionList &lista)>;

class TnGanchosDireito {
public:
    void Definir(int modulo, TnOnGerarPrincAction gancho); // an empty hook clears the slot
    void Limpar(int modulo);
    bool Tem(int modulo) const;
    // Runs the module's hook on the list; false when the slot is empty.
    bool Executar(int modulo, TnActionList &lista) const;

private:
    QHash<int, TnOnGerarPrincAction> FGanchos;
};

TnGanchosDireito &FOnGerarPrincActionMods();

class TQuenPermissoes {
public:
    // Adds the user-rights actions to the list: none, every right is granted.
    static void QuenDoGerarPrincAction(TnActionList &lista);
};
