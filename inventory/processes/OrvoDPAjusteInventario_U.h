#pragma once
// Inventory adjustment: brings the total cost of one inventory date to the figure the user
// types, for the active company, the chosen branches and optionally the products of one
// analytic product group.
//
// The entries with a positive quantity are read in key order (branch, product, reason) and
// the new total is spread over them by unit cost or by quantity (AjusteInventarioCalculo.h).
// Entries that end with unit cost or quantity 0 are deleted, with their property and
// tax-situation lines; the user confirms that first ("Não" changes nothing). Then, in one
// transaction, the entries are written and the change is carried down to their property
// lines (the new unit cost, or the new quantity shared in proportion to the old ones) and to
// the lines' tax-situation lines (base and tax scaled by the line's new total over its old
// one). Any failure rolls everything back and reaches the user as an error; otherwise a
// message tells whether the target was reached and which total was.
#include "PowerParam.h"
#include "ProcessoInvComum.h"

#include <QDate>
#include <QString>
#include <memory>
#include <vector>

namespace nAjusteInv {
struct TnLancamento;
class TnLinhasCST;
} // namespace nAjusteInv
class nDMConexao;
class TnComando;
class TnProgresso;

// Messages of the process.
inline constexpr char OrvoSValorAjusteInvalido[] = "Informe um novo custo total maior que zero.";
inline constexpr char OrvoSEmpresaSemLacamentos[] =
    "Não há lançamentos com quantidade positiva para a empresa, os estabelecimentos, a data e o grupo informados.";
inline constexpr char OrvoSLacamentosValorZerados[] =
    "Os lançamentos selecionados têm custo total zero: não há base para distribuir o novo custo total.";
// %1: the total (R$), %2: the cost decimals.
inline constexpr char OrvoSAjusteFinalizadoSucesso[] =
    "Ajuste finalizado com sucesso. O novo custo total de %1 foi atingido (%2 casas decimais).";
inline constexpr char OrvoSAjusteNaoFinalizadoSucesso[] =
    "Ajuste finalizado, mas o arredondamento em %2 casas decimais não permitiu atingir o valor informado. "
    "Custo total atingido: %1.";
inline constexpr char OrvoSGrupoAnaliticoInvalido[] = "Grupo analítico inválido!";
inline constexpr char OrvoSDataInventarioInvalida[] =
    "Data do inventário inválida. Informe a data no formato dd/mm/aaaa.";
inline constexpr char OrvoSTipoAjusteInvalido[] = "Tipo de ajuste inválido. Escolha Custo Unitário ou Quantidade.";
// %1: how many entries.
inline constexpr char OrvoSConfirmarExclusaoAjuste[] =
    "O ajuste deixa %1 lançamento(s) com custo unitário ou quantidade zero. Eles serão excluídos, com suas linhas "
    "de propriedade e de CST. Deseja continuar?";
// %1: the amount, %2: the field, %3: product, %4: branch, %5: reason.
inline constexpr char OrvoSValorForaDaFaixaAjuste[] =
    "O valor %1 está fora da faixa do campo \"%2\" na linha de CST do produto %3 (estabelecimento %4, motivo %5). "
    "Nada foi gravado.";
inline constexpr char OrvoSLancamentoAlteradoAjuste[] =
    "O lançamento do produto %1 (estabelecimento %2, motivo %3) foi alterado ou excluído por outro usuário durante "
    "o ajuste. Nada foi gravado; execute o ajuste novamente.";

class TOrvoDPAjusteInventario : public TnDMPowerParam {
public:
    TOrvoDPAjusteInventario();
    ~TOrvoDPAjusteInventario() override;

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void DepoisConfigurar(TnFormModulo *form) override;
    void ValidarDado() override;
    void Executar() override;

private:
    // ---- the entries
    std::vector<nAjusteInv::TnLancamento> LerLancamentos(nDMConexao &con) const;
    void GravarLancamentos(nDMConexao &con, const std::vector<nAjusteInv::TnLancamento> &lancamentos);
    // " from LCTOINV L <juncoes> [join PRODUTO P ...] where ..." over the run's entries; the
    // statement binds EMPRESA, DATA and (with a group) GRUPO through VincularFiltro.
    QString FiltroLancamentos(const QString &juncoes) const;
    void VincularFiltro(TnComando &cmd) const;

    // ---- the property and tax-situation lines, inside the run's transaction
    void AplicarAjuste();
    void AjustarLctoInvCST();
    void AplicarAjustePorCustoUnitario();
    void AplicarAjustePorQuantidade();
    void AtualizarQuantidadeItens(qint16 estab, qint64 produto, qint16 motivo);
    void RecalcularCSTItem(qint16 estab, qint64 produto, qint16 motivo, qint16 seq, qint64 novoTotal,
                           qint64 totalAntigo);
    QString MontarSQLItensPropriedade() const;
    QString MontarSQLItensCST() const;
    static QString MontarUpdateLctoInvCST();
    static QString MontarUpdateLctoInvPropriedade();
    void SalvarAlteracoes();

    // Run values, set by ValidarDado.
    QString FCodigoEstab;   // the branch selection as typed
    QString FCondicaoEstab; // its condition on L.CODIGOESTAB (empty: every branch)
    int FCodigoEmpresa = 0;
    qint64 FCodigoGrupo = 0; // 0: every product
    int FCasasDecimais = 2;
    int FCasasDecimaisQtd = 4;
    int FTipoAjuste = 1;
    qint64 FValorTemQueDar = 0; // the new total, in units of the cost decimals
    QDate FData;

    // Alive during AplicarAjuste only.
    nDMConexao *FCon = nullptr;
    qint64 FLancamentosGravados = 0; // entries written (not deleted)
    std::unique_ptr<nAjusteInv::TnLinhasCST> FLinhasCST;
    struct TnItemAlterado {
        qint64 Produto;
        double Quantidade, Preco;
        qint16 Estab, Motivo, Seq;
    };
    std::vector<TnItemAlterado> FItensAlterados;
    // The lines of the entry being shared (quantity kind): SEQ, old quantity, own unit cost.
    struct TnItemLcto {
        qint16 Seq;
        double Quantidade, Preco;
    };
    std::vector<TnItemLcto> FItensLcto;
    double FQtdeLcto = 0; // that entry's new quantity
    std::unique_ptr<TnProgresso> FProgresso;
};
