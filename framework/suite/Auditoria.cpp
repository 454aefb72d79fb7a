#include "Auditoria.h"

#include <QHash>

namespace {
QHash<int, TnCriarAuditor> &Fabricas()
{
    static QHash<int, TnCriarAuditor> f;
    return f;
}
} // namespace

void RegistrarAuditor(int codigo, TnCriarAuditor f) { Fabricas().insert(codigo, f); }

void RemoverAuditor(int codigo, TnCriarAuditor f)
{
    if (Fabricas().value(codigo) == f)
        Fabricas().remove(codigo);
}

std::shared_ptr<InAuditor> CriarAuditor(int codigo, int empresa, int estab, const QDate &inicial, const QDate &final,
                                        TnProgresso *progresso)
{
    const TnCriarAuditor f = Fabricas().value(codigo);
    return f ? f(empresa, estab, inicial, final, progresso) : nullptr;
}
