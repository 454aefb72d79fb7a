#pragma once
// TnActAbrirCadastro: an action that opens a register on the current row of a grid.
//
// Executed (Execute, or Abrir), it creates the register class by name and pins the
// register's selection keys to the master row: the register reads by the detail fields
// (SetVerificaSelecaoManual) and each detail field takes the value of the master field at
// the same position (FixarSelecao), so the connection's selection stays as it was. The
// register is opened and its form shown through the interaction (nShowFormModal or
// nShowForm), which frees it when the form closes. The class is found by name without
// regard to case, and the selection keys the class declares are not asked for: the
// register reads exactly the row's key, as bound values, and stands on its first row. A
// row that is gone meanwhile opens the register empty, after a notice. A master that is
// closed, empty or inserting opens nothing (Habilitada).
//
// Execute reports a failure (a class nobody registered, a register that fails to open) as
// a message; Abrir lets it pass to its caller.
//
//     auto *a = new TnActAbrirCadastro(lista);
//     a->SetName("nActAbriLctoInv");
//     a->ClasseCadastro = "TOrvoDMLctoInv";
//     a->Mestre = &grade;
//     a->CamposMestre = a->CamposDetalhe = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO";
//
// User rights (ControlaDireito) are the framework's to grant, and this framework grants
// every right; the register's writes are the register's own.
#include "Acoes.h"

#include <QString>

#include <functional>

class TnClientDataSet;
class TnDMClientDataSet;
class TnFormModulo;

class TnActAbrirCadastro : public TnAction {
    Q_OBJECT
public:
    explicit TnActAbrirCadastro(TnActionList *lista);

    QString ClasseCadastro;           // register class opened ("TOrvoDMLctoInv")
    QString Instancia;                // its instance name; empty: the class's default
    TnClientDataSet *Mestre = nullptr;  // the grid's dataset; must outlive the action's runs
    QString CamposMestre;             // ';'-joined fields of the master row
    QString CamposDetalhe;            // the register's fields they give values to, same order
    bool Modal = false;
    QString Hint;                     // what a grid's button for it says ("Visualizar lançamento")
    bool LogBanco = false;            // the opening is not written to any log here
    // Runs on the register's form before it shows (switching its actions); may be empty.
    std::function<void(TnFormModulo &)> PrepararForm;

    // The master has a current row to open: active, browsing and not empty. A grid offers
    // the action only then.
    bool Habilitada() const;

    // Opens the register on the master's current row; answers what the interaction answers
    // (modal: the form was confirmed; not modal: it was shown), false when nothing opened.
    // Two field lists of different lengths, or a class that is no register: Exception.
    bool Abrir();
};
