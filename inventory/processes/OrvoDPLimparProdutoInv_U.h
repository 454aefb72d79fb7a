#pragma once
// Two utilities on the suite's products (PRODUTO) from the inventory module.
//
// TOrvoDPLimparProdutoInv deletes the active company's products, of chosen product groups
// (their analytic groups) and users, with one statement in one transaction: all or
// nothing. A group filter that reaches no analytic group deletes nothing and says so.
//
// TOrvoDPDuplicarProdutoInv copies the products of an analytic group of one company into an
// analytic group of another, skipping those the target group already has (by code,
// reference or description, looked up by key), keeping the source codes or taking the
// target company's next free codes one after the other in the order of the source codes,
// and writes them with one INSERT ... SELECT (the rows never leave the database): a kept
// code that another product of the target company holds rolls the whole copy back, and the
// copy row by row then run names it. Texts are copied whole, so a second run finds
// every product it copied and copies nothing.
#include "ClientDataSet.h"
#include "Conexao.h"
#include "PowerParam.h"
#include "Tempo.h"

#include <QSet>
#include <memory>

inline constexpr char OrvoSDesejaExcluirArtigo[] = "Deseja excluir os produtos que atendem aos filtros informados?";
inline constexpr char OrvoSErroLimpezaArtigos[] = "Não foi possível excluir os produtos; nenhum foi excluído.";
inline constexpr char OrvoSArtigosAfetadosNaLimpeza[] = "Produtos excluídos: %1.";
inline constexpr char OrvoSGruposSemAnaliticosProduto[] =
    "Os grupos de produtos informados não têm grupos analíticos: nenhum produto foi excluído.";

class TOrvoDPLimparProdutoInv : public TnDMPowerParam {
    Q_OBJECT
public:
    TOrvoDPLimparProdutoInv();

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;
    void DepoisConfigurar(TnFormModulo *form) override;
};

class TOrvoDPDuplicarProdutoInv : public TnDMPowerParam {
    Q_OBJECT
public:
    TOrvoDPDuplicarProdutoInv();
    ~TOrvoDPDuplicarProdutoInv() override;

    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void ValidarDado() override;
    void Executar() override;

    void CarregarProdutoOrigem();
    void CarregarProdutoDestino();
    void GravarCDSProdutoDestino();
    void GravarProdutosBD();
    // The copy as one statement; answers the products written.
    int CopiarEmConjunto();

    // The copy buffer: the products to write into the target company.
    TnClientDataSet cdsProdutos;

private:
    int FCodGrupoProdOrigem = 0;
    int FVerificarExistente = 0; // 0 code, 1 reference, 2 description
    int FCodEmpDestino = 0;
    int FCodEmpOrigem = 0;
    int FCodGrupoProdDestino = 0;
    // The number of source products.
    qint64 FQtdOrigem = 0;
    // The target group's products by the comparison column: codes, or references or
    // descriptions.
    QSet<qint64> FExistentes;
    QSet<QString> FExistentesTexto;
    TnTempo FTempo;
};
