#include "OrvoAuditorFabrica_U.h"

#include "Auditores.h"

namespace {

template <class T>
std::shared_ptr<InAuditor> Criar(int empresa, int estab, const QDate &inicial, const QDate &final,
                                 TnProgresso *progresso)
{
    return std::make_shared<T>(empresa, estab, inicial, final, progresso);
}

// The factory's functions by audit code, registered while the library is loaded.
class TnRegistroAuditores {
public:
    TnRegistroAuditores()
    {
        for (int codigo = 1; codigo <= 6; ++codigo)
            RegistrarAuditor(codigo, TAuditorFabrica::Funcao(codigo));
    }
    ~TnRegistroAuditores()
    {
        for (int codigo = 1; codigo <= 6; ++codigo)
            RemoverAuditor(codigo, TAuditorFabrica::Funcao(codigo));
    }
};

} // namespace

std::shared_ptr<InAuditor> TAuditorFabrica::AuditorAusenciaPropriedade(int empresa, int estab, const QDate &inicial,
                                                                       const QDate &final, TnProgresso *progresso)
{
    return Criar<TnAuditorAusenciaPropriedade>(empresa, estab, inicial, final, progresso);
}

std::shared_ptr<InAuditor> TAuditorFabrica::AuditorAusenciaCST(int empresa, int estab, const QDate &inicial,
                                                               const QDate &final, TnProgresso *progresso)
{
    return Criar<TnAuditorAusenciaCST>(empresa, estab, inicial, final, progresso);
}

std::shared_ptr<InAuditor> TAuditorFabrica::AuditorAusenciaCContabilDetPropriedade(int empresa, int estab,
                                                                                   const QDate &inicial,
                                                                                   const QDate &final,
                                                                                   TnProgresso *progresso)
{
    return Criar<TnAuditorAusenciaCContabilDetPropriedade>(empresa, estab, inicial, final, progresso);
}

std::shared_ptr<InAuditor> TAuditorFabrica::AuditorDiferencaQtdInvPropriedade(int empresa, int estab,
                                                                              const QDate &inicial,
                                                                              const QDate &final,
                                                                              TnProgresso *progresso)
{
    return Criar<TnAuditorDiferencaQtdInvPropriedade>(empresa, estab, inicial, final, progresso);
}

std::shared_ptr<InAuditor> TAuditorFabrica::AuditorDiferencaCustoUnitInvPropriedade(int empresa, int estab,
                                                                                    const QDate &inicial,
                                                                                    const QDate &final,
                                                                                    TnProgresso *progresso)
{
    return Criar<TnAuditorDiferencaCustoUnitInvPropriedade>(empresa, estab, inicial, final, progresso);
}

std::shared_ptr<InAuditor> TAuditorFabrica::AuditorAusenciaBaseCalcDetCST(int empresa, int estab,
                                                                          const QDate &inicial, const QDate &final,
                                                                          TnProgresso *progresso)
{
    return Criar<TnAuditorAusenciaBaseCalcDetCST>(empresa, estab, inicial, final, progresso);
}

TnCriarAuditor TAuditorFabrica::Funcao(int codigo)
{
    switch (codigo) {
    case 1: return &AuditorAusenciaPropriedade;
    case 2: return &AuditorAusenciaCST;
    case 3: return &AuditorAusenciaCContabilDetPropriedade;
    case 4: return &AuditorDiferencaQtdInvPropriedade;
    case 5: return &AuditorDiferencaCustoUnitInvPropriedade;
    case 6: return &AuditorAusenciaBaseCalcDetCST;
    default: return nullptr;
    }
}

static TnRegistroAuditores gRegistro;
