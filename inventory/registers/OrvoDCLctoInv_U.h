#pragma once
// Consultations of the inventory entries of the selected company, branch and inventory
// date: TOrvoDCLctoInv lists every entry with its product's description and total value;
// TOrvoDCLctoInvSyn lists only the entries that came from the SYN import (IDSYN filled).
//
// The display formats of the quantity, the unit cost and the total follow the decimals of
// the company's inventory settings. Those are cached per company: they are read again when
// the company of the rows changes and whenever the framework reconfigures the module for
// "CodigoEmpresa" (the settings register does after saving), so a change of the settings
// shows at once in an open grid.
//
// A saved entry of the register is copied into the grid through SincroCopiarDados with the
// register's dataset: the grid's row of that key is added or replaced, its description is
// the one typed in the register's product panel (the parameter pDescrProduto of the list
// the register answers to "npqPowerParam", a Q_INVOKABLE returning TnpqPowerParam *), else
// the one it carries, else "**Desconhecido**", and its total is rounded to cents.
//
// The total of a row read is not the database's product of two doubles: it is computed on
// its way into the grid, exactly (MultiplicarValor), at the cost decimals of the company
// whose rows are read, the decimals the column shows.
#include "DMClientDataSet.h"
#include "LctoInvPropriedadeComum.h"

// The text of a copied row whose product description is unknown.
inline constexpr char OrvoSDescricaoDesconhecida[] = "**Desconhecido**";

class TOrvoDCLctoInv : public TnDMClientDataSet {
    Q_OBJECT
public:
    TOrvoDCLctoInv();

    static QString PegarVerificaSelecao();
    static int PegarTipoObjeto();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    QString ChavePrimaria() const override;
    void ConfigurarCampo(TnClientDataSet *objeto) override;
    void DepoisConfigurar(TnFormModulo *form) override;
    // With the module's own dataset: the base's copy of a new row. With another dataset (the
    // register's): copies its current row into the grid, see the top of this file.
    void SincroCopiarDados(TnClientDataSet &ds) override;
    void ReconfigurarDM(const QString &parametro, bool recarregar) override;

    int QtdeCasaDecimal() const { return FQtdeCasaDecimal; }
    int QtdeCasaDecimalQtd() const { return FQtdeCasaDecimalQtd; }

protected:
    // `somenteSyn`: the grid takes only entries with IDSYN.
    TOrvoDCLctoInv(const TnDefCadastro &declaracao, bool somenteSyn);
    // Reads the decimals of the current row's company (or the active company) when that
    // company is not the one they were read for.
    void CarregarCasasDecimais();
    // The decimals of the company about to be read (the selection's, else the active one),
    // at which the totals are computed.
    void AntesDeLer() override;

private:
    void CopiarDoCadastro(const TnClientDataSet &origem);
    void LerCasas(int empresa);

    const bool FSomenteSyn;
    int FQtdeCasaDecimal = 2;
    int FQtdeCasaDecimalQtd = 2;
    int FCasasTotal = 2; // decimals of the totals of the rows read
    TnCacheCfgEmpresa FCfgEmpresa;
};

class TOrvoDCLctoInvSyn : public TOrvoDCLctoInv {
    Q_OBJECT
public:
    TOrvoDCLctoInvSyn();
};
