// The user-rights hook of this system (module 3): the framework's user-rights module builds
// its menu actions through it, and it hands the work to the suite's permissions class.
// Installed while OrvoCore is loaded and removed when it unloads, so the framework never
// calls into a library that is gone.
#include "DireitoUsuario.h"

namespace {

constexpr int kModuloOrvo = 3;

struct TOrvoDireitoUsuario {
    TOrvoDireitoUsuario()
    {
        FOnGerarPrincActionMods().Definir(kModuloOrvo,
                                          [](TnActionList &lista) { TQuenPermissoes::QuenDoGerarPrincAction(lista); });
    }
    ~TOrvoDireitoUsuario() { FOnGerarPrincActionMods().Limpar(kModuloOrvo); }
};

const TOrvoDireitoUsuario gDireitoUsuario;

} // namespace
