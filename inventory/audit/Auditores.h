#pragma once
// The six audit rules over the inventory entries (LCTOINV) and their property and
// tax-situation lines (LCTOINVPROPRIEDADE, LCTOINVCST), with their findings.
//
// Every rule runs one query over one company, branch and inclusive range of inventory
// dates, ordered by product code and date, and makes one finding per row it returns:
//   1 an entry without any property line                              "Inventário"
//   2 a property line without any tax-situation line                  "CST"
//   3 a property line without an accounting account                   "Propriedade"
//   4 each line of an entry whose lines' quantities do not add up to
//     the entry's quantity (compared at the company's quantity
//     decimals, as the adjustment keeps them)                         "Inventário"
//   5 a property line whose unit cost differs from the entry's        "Inventário"
//   6 a tax-situation line with a zero calculation base               "CST"
// The re-check of a finding runs the same query narrowed to the finding's entry (rule 1) or
// property line (rules 2 to 6), the sum of rule 4 over the same lines. Values are bound,
// never written into the text.
//
// A finding keeps its keys only (company, branch, date, product, reason, sequence and its
// auditor); its message is built when asked. An auditor uses the progress frame it was
// given during its first run only, and only while the frame's owner lives: it never keeps
// a frame beyond the run it was given for.
#include "Auditoria.h"

#include <QPointer>

class TnComando;

// What tells the six rules apart, besides their queries.
struct TnRegraAuditoria {
    int Codigo;
    const char *Titulo;    // the auditor's description
    const char *Movimento; // the findings' label
    const char *Progresso; // caption of the progress bar while it runs
    const char *Prefixo;   // message: prefix + MM/YYYY [+ " para a sequência " + SEQ] + suffix
    const char *Sufixo;
};
const TnRegraAuditoria &RegraAuditoria(int codigo); // codes 1 to 6

inline constexpr char kCadastroLctoInv[] = "TOrvoDMLctoInv";

// ---- findings ---------------------------------------------------------------------------

class TnItemAuditoriaInv : public InItemAuditoria {
public:
    TnItemAuditoriaInv(int empresa, int estab, int seq, qint64 produto, const QDate &data, int motivo)
        : FCodigoEmpresa(empresa), FCodigoEstab(estab), FSeq(seq), FMotivoInventario(motivo), FCodigoProduto(produto),
          FDataInvent(data)
    {
    }

    QString GetMovimento() const override;
    QString GetDescricao() const override;
    qint64 GetChaveLcto() const override { return FCodigoProduto; }
    QString GetCadastro() const override { return QString::fromLatin1(kCadastroLctoInv); }
    int GetNumeroNF() const override { return 0; }
    QString GetChaveJson() const override;
    bool Validar() override;
    void AtualizarCadastro() override;
    void AbrirCadastro() override;

    virtual const TnRegraAuditoria &Regra() const = 0;

    int CodigoEmpresa() const { return FCodigoEmpresa; }
    int CodigoEstab() const { return FCodigoEstab; }
    int Seq() const { return FSeq; } // 0 for rule 1, whose findings have none
    qint64 CodigoProduto() const { return FCodigoProduto; }
    const QDate &DataInvent() const { return FDataInvent; }
    int MotivoInventario() const { return FMotivoInventario; }

    // Set once by the auditor that made the finding.
    std::shared_ptr<InAuditor> Auditor;
    QString DMCadastro;

private:
    int FCodigoEmpresa;
    int FCodigoEstab;
    int FSeq;
    int FMotivoInventario;
    qint64 FCodigoProduto;
    QDate FDataInvent;
};

template <int N> class TnItemAuditorRegra final : public TnItemAuditoriaInv {
public:
    using TnItemAuditoriaInv::TnItemAuditoriaInv;
    const TnRegraAuditoria &Regra() const override { return RegraAuditoria(N); }
};

// ---- auditors ---------------------------------------------------------------------------

class TnAuditorInv : public InAuditor, public std::enable_shared_from_this<TnAuditorInv> {
public:
    TnAuditorInv(int empresa, int estab, const QDate &inicial, const QDate &final, TnProgresso *progresso);
    ~TnAuditorInv() override;

    QString GetDescricao() const override { return QString::fromUtf8(Regra().Titulo); }
    TnItensAuditoria Auditar() override;
    bool ValidarItem(const InItemAuditoria &item) override;

    virtual const TnRegraAuditoria &Regra() const = 0;
    // The period query and the re-check of one entry or property line; their values are
    // bound by Vincular in the order of their "?".
    QString MontarSqlPeriodo() const;
    QString MontarSqlInventario() const;

    int CodigoEmpresa() const { return FCodigoEmpresa; }
    int CodigoEstab() const { return FCodigoEstab; }
    const QDate &DataInicial() const { return FDataInicial; }
    const QDate &DataFinal() const { return FDataFinal; }

protected:
    virtual bool EhItemProprio(const InItemAuditoria &item) const = 0;
    virtual std::shared_ptr<TnItemAuditoriaInv> NovoItem(int seq, qint64 produto, const QDate &data,
                                                         int motivo) const = 0;

private:
    QString MontarSql(bool periodo) const;
    // Binds the company, branch and dates (the range, or the entry's date with `item`) in
    // the order the statement names them.
    void Vincular(TnComando &cmd, const TnItemAuditoriaInv *item) const;
    // Rule 4: the row's quantities differ at the company's quantity decimals.
    bool QuantidadesDiferem(double qtde, double soma, int casas) const;

    int FCodigoEmpresa;
    int FCodigoEstab;
    QDate FDataInicial;
    QDate FDataFinal;
    TnProgresso *FProgresso;
    QPointer<QObject> FDonoProgresso;
    bool FComDono;
};

template <int N> class TnAuditorRegra final : public TnAuditorInv {
public:
    using TnAuditorInv::TnAuditorInv;
    const TnRegraAuditoria &Regra() const override { return RegraAuditoria(N); }

protected:
    bool EhItemProprio(const InItemAuditoria &item) const override
    {
        return dynamic_cast<const TnItemAuditorRegra<N> *>(&item) != nullptr;
    }
    std::shared_ptr<TnItemAuditoriaInv> NovoItem(int seq, qint64 produto, const QDate &data, int motivo) const override
    {
        return std::make_shared<TnItemAuditorRegra<N>>(CodigoEmpresa(), CodigoEstab(), seq, produto, data, motivo);
    }
};

using TnAuditorAusenciaPropriedade = TnAuditorRegra<1>;
using TnAuditorAusenciaCST = TnAuditorRegra<2>;
using TnAuditorAusenciaCContabilDetPropriedade = TnAuditorRegra<3>;
using TnAuditorDiferencaQtdInvPropriedade = TnAuditorRegra<4>;
using TnAuditorDiferencaCustoUnitInvPropriedade = TnAuditorRegra<5>;
using TnAuditorAusenciaBaseCalcDetCST = TnAuditorRegra<6>;

using TnItemAuditorAusenciaPropriedade = TnItemAuditorRegra<1>;
using TnItemAuditorAusenciaCST = TnItemAuditorRegra<2>;
using TnItemAuditorAusenciaCContabilDetPropriedade = TnItemAuditorRegra<3>;
using TnItemAuditorDiferencaQtdInvPropriedade = TnItemAuditorRegra<4>;
using TnItemAuditorDiferencaCustoUnitInvPropriedade = TnItemAuditorRegra<5>;
using TnItemAuditorAusenciaBaseCalcDetCST = TnItemAuditorRegra<6>;
