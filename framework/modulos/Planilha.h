#pragma once
// Spreadsheet formula functions, without widgets.
//
// The formula engine keeps one repository of the functions that formulas may call: a name
// (matched without regard to case), the engine's token, a description of the parameters, a
// result kind, a function type and the evaluation callback. A library adds its functions
// while it loads and removes them when it unloads, so a formula never calls into code that
// is gone.
//
// A call is evaluated on a formula result object: the callback reads the arguments
// (GetParamsCount, ExtractNumericParameter) and answers a value (AddValue) or an error code
// (SetError). The result knows the component that owns the spreadsheet being calculated
// (Dono), which is how a function reaches its hosting spreadsheet data module
// (TnDMPlanilha).
//
// AvaliarFormula evaluates one call with literal arguments ("REPT(\"ab\"; 3)"): what the
// functions need until the spreadsheet window exists.
#include "Modulos.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

// Parameter kind of an optional value.
constexpr int ParamFormulaValorOpcional = 3;
// Error code of a call that could not be answered (a value of the wrong kind, a failure).
constexpr int ErroFormulaValor = 3;

class TnResultadoFormula {
public:
    explicit TnResultadoFormula(QVariantList argumentos = {}, QObject *dono = nullptr);

    int GetParamsCount() const { return int(FArgumentos.size()); }
    // The argument at `indice` (from 0) as it was given: a number (double), a text, or null
    // when the call has no such argument.
    QVariant ExtractNumericParameter(int indice) const;
    // The component that owns the spreadsheet being calculated; null when none does.
    QObject *Dono() const { return FDono.data(); }

    // The answer: a value, or an error code (which drops any value).
    void AddValue(const QVariant &valor);
    void SetError(int codigo);
    const QVariant &Valor() const { return FValor; }
    int Erro() const { return FErro; } // 0: no error

private:
    QVariantList FArgumentos;
    QPointer<QObject> FDono;
    QVariant FValor;
    int FErro = 0;
};

using TnAvaliarFuncaoFormula = void (*)(TnResultadoFormula &resultado, int token);
// Describes the parameters: their count and the kind of each.
using TnInfoParamFormula = void (*)(int &quantidade, QList<int> &tipos);

struct TnFuncaoFormula {
    QString Nome;
    TnAvaliarFuncaoFormula Avaliar = nullptr;
    TnInfoParamFormula InfoParam = nullptr;
    int TipoResultado = 0;
    int Token = 0;
    int TipoFuncao = 0;
};

class TnRepositorioFuncoesFormula {
public:
    // Adds a function; a name already present is replaced in its place.
    void Add(const QString &nome, TnAvaliarFuncaoFormula avaliar, TnInfoParamFormula infoParam, int tipoResultado,
             int token, int tipoFuncao);
    void Remover(const QString &nome); // unknown names are ignored
    const TnFuncaoFormula *Funcao(const QString &nome) const; // null when absent
    QStringList Nomes() const; // in the order they were added

private:
    std::vector<TnFuncaoFormula> FFuncoes;
};

TnRepositorioFuncoesFormula &RepositorioFuncoesFormula();

// Evaluates one call of a repository function with literal arguments: an optional "=", the
// name, and in parentheses numbers (locale-free, "." decimal point) or texts in double quotes
// ("" for a quote inside), separated by ";". An unknown function, a text that is no such call
// or more arguments than the function takes raise Exception; what the function answers,
// error codes included, is in the result.
TnResultadoFormula AvaliarFormula(const QString &chamada, QObject *dono = nullptr);

// The spreadsheet data module that hosts a spreadsheet: what its formulas ask of the
// company and the page.
class TnDMPlanilha : public TnDataModule {
    Q_OBJECT
public:
    // A column of the active company's row (table EMPRESA) named by the first argument; the
    // company's name when there is none. A column the table does not have raises Exception;
    // no row answers an empty text.
    virtual void EmpresaFuncao(TnResultadoFormula &resultado, int token);
    // The page being calculated; 1 when the spreadsheet has no pages.
    virtual void PaginaFuncao(TnResultadoFormula &resultado, int token);

    void SetPagina(int pagina) { FPagina = pagina; }
    int Pagina() const { return FPagina; } // 0: no pages

private:
    int FPagina = 0;
};
