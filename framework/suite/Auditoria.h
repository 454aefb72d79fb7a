#pragma once
// The suite's audit contract: an audit rule (an auditor) looks over one company, branch and
// range of dates and answers what breaks the rule as findings. A finding describes itself
// for a result grid, re-checks itself through its auditor, opens the register that holds
// its record and refreshes that register where it is open.
//
// Ownership is shared: the list holds its findings and each finding holds its auditor, so
// an auditor lives as long as any of its findings. Auditors and findings come from the
// library that implements them: drop them before that library unloads.
//
// The auditors of a system are found by their code (CriarAuditor): the library that holds
// them registers its factory functions while it is loaded and removes them when it
// unloads.
#include <QDate>
#include <QString>
#include <memory>
#include <vector>

class TnProgresso;
class InItemAuditoria;

// What one run of an auditor found, in the order it found it.
using TnItensAuditoria = std::vector<std::shared_ptr<InItemAuditoria>>;

class InAuditor {
public:
    virtual ~InAuditor() = default;
    virtual QString GetDescricao() const = 0;    // the rule's title
    virtual TnItensAuditoria Auditar() = 0;      // one finding per offending row
    // True when the finding's problem is gone; false for a finding of another rule.
    virtual bool ValidarItem(const InItemAuditoria &item) = 0;
};

class InItemAuditoria {
public:
    virtual ~InItemAuditoria() = default;
    virtual QString GetMovimento() const = 0;  // label of the grid's first column
    virtual QString GetDescricao() const = 0;  // the finding's message
    virtual qint64 GetChaveLcto() const = 0;   // key shown in the grid (a product code)
    virtual QString GetCadastro() const = 0;   // class of the register that holds the record
    virtual int GetNumeroNF() const = 0;
    virtual QString GetChaveJson() const = 0;  // the record's key as a JSON object
    virtual bool Validar() = 0;                // re-check through its auditor
    virtual void AtualizarCadastro() = 0;      // refresh the record in open registers
    virtual void AbrirCadastro() = 0;          // open the register on the record, modally
};

// Creates an auditor over a company, a branch and an inclusive range of dates; `progresso`
// (may be null) shows its run and must outlive the run.
using TnCriarAuditor = std::shared_ptr<InAuditor> (*)(int empresa, int estab, const QDate &inicial,
                                                      const QDate &final, TnProgresso *progresso);

// The factory of the auditor `codigo`. Registering a code again replaces its factory;
// RemoverAuditor removes it only while it is still `f`.
void RegistrarAuditor(int codigo, TnCriarAuditor f);
void RemoverAuditor(int codigo, TnCriarAuditor f);
// A new auditor of that code; null when none is registered.
std::shared_ptr<InAuditor> CriarAuditor(int codigo, int empresa, int estab, const QDate &inicial, const QDate &final,
                                        TnProgresso *progresso = nullptr);
