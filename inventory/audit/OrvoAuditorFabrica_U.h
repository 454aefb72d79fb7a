#pragma once
// TAuditorFabrica: one function per audit rule, each creating its auditor over a company, a
// branch and an inclusive range of inventory dates, with the progress frame of the run (may
// be null). The library registers them by their audit codes (1 to 6) while it is loaded,
// so that code outside it finds them through CriarAuditor (Auditoria.h).
#include "Auditoria.h"

class TAuditorFabrica {
public:
    static std::shared_ptr<InAuditor> AuditorAusenciaPropriedade(int empresa, int estab, const QDate &inicial,
                                                                 const QDate &final, TnProgresso *progresso);
    static std::shared_ptr<InAuditor> AuditorAusenciaCST(int empresa, int estab, const QDate &inicial,
                                                         const QDate &final, TnProgresso *progresso);
    static std::shared_ptr<InAuditor> AuditorAusenciaCContabilDetPropriedade(int empresa, int estab,
                                                                             const QDate &inicial, const QDate &final,
                                                                             TnProgresso *progresso);
    static std::shared_ptr<InAuditor> AuditorDiferencaQtdInvPropriedade(int empresa, int estab, const QDate &inicial,
                                                                        const QDate &final, TnProgresso *progresso);
    static std::shared_ptr<InAuditor> AuditorDiferencaCustoUnitInvPropriedade(int empresa, int estab,
                                                                              const QDate &inicial,
                                                                              const QDate &final,
                                                                              TnProgresso *progresso);
    static std::shared_ptr<InAuditor> AuditorAusenciaBaseCalcDetCST(int empresa, int estab, const QDate &inicial,
                                                                    const QDate &final, TnProgresso *progresso);
    // The function of an audit code; null for another code.
    static TnCriarAuditor Funcao(int codigo);
};
