#pragma once
// Framework variables and the connection's selection.
//
// The framework's data model keeps its variables as a name=value list of texts, read and
// written by name (names without regard to case). The selection holds the values chosen for
// the selection keys (company, branch, inventory date...); changing one and calling
// ReconfigurarDM brings the variables bound to it in step and tells the open modules that
// follow that key.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

// Selection parameters bound to variables (ReconfigurarDM, Refresh and Reset keep them in
// step; an empty parameter empties its variables):
//   DataInvent     gDataInvent, pDataInvent, pDataInvent_Pad, gDataInventAtiva (dd/mm/yyyy)
//   CodigoEmpresa  gCodigoEmpresaAtiva, gCodigoEmpresa
//   CodigoEstab    gCodigoEstabAtiva

// Names of the framework's variables.
namespace VarFw {
constexpr char gCodigoEmpresaAtiva[] = "gCodigoEmpresaAtiva";
constexpr char gCodigoEstabAtiva[] = "gCodigoEstabAtiva";
constexpr char gCodigoEmpresa[] = "gCodigoEmpresa";
constexpr char gDataInvent[] = "gDataInvent";
constexpr char pDataInvent[] = "pDataInvent";
constexpr char pDataInvent_Pad[] = "pDataInvent_Pad";
constexpr char gDataInventAtiva[] = "gDataInventAtiva";
constexpr char gQTDECASADECIMAL[] = "gQTDECASADECIMAL";
constexpr char gQTDECASADECIMALQTD[] = "gQTDECASADECIMALQTD";
} // namespace VarFw

// The data model's name=value list.
class TnVariaveis {
public:
    TnVariaveis(); // holds the framework's variables, empty
    QString Valor(const QString &nome) const; // empty when absent
    // Sets (or adds) a variable. A name that is empty or holds '=' or a line break is refused
    // (Exception): it could not be written as a name=value line.
    void SetValor(const QString &nome, const QString &valor);
    bool Existe(const QString &nome) const;
    void Remover(const QString &nome);
    // Back to the framework's variables, all empty.
    void Reiniciar();
    // "name=value" lines, in the order the names were first set.
    QStringList Lista() const;

private:
    int Indice(const QString &nome) const;
    QList<QPair<QString, QString>> FItens;
};

TnVariaveis &Variaveis();
QString ExternalVar(const QString &nome);
void ExternalVar(const QString &nome, const QString &valor);
// The variable's text, or `padrao` when the variable is absent or blank.
QString PegarValorExternalVar(const QString &nome, const QString &padrao = QString());
// The active company's code (gCodigoEmpresaAtiva); 0 when it is not a number.
int EmpresaAtiva();

// Date global: the first day of the inventory period in use (written by the period
// selection).
extern QDate gDataInicialAtivo;

// One selection parameter.
class TnParamSelecao {
public:
    explicit TnParamSelecao(const QString &nome);
    const QString &Name() const { return FNome; }
    const QVariant &Value() const { return FValor; }
    void SetValue(const QVariant &v);
    void Clear();
    bool IsNull() const;
    QString AsString() const;          // a date as dd/mm/yyyy; empty when null
    qint64 AsInteger() const;          // 0 when null or not a whole number
    // A QDate, a QDateTime's date, or a text dd/mm/yyyy or yyyy-mm-dd; a null QDate otherwise.
    QDate AsDate() const;

private:
    QString FNome;
    QVariant FValor;
};

class TnSelecao {
public:
    TnSelecao() = default;
    TnSelecao(const TnSelecao &) = delete;
    TnSelecao &operator=(const TnSelecao &) = delete;

    // The parameter of that name (any case), added empty when absent.
    TnParamSelecao &GetParams(const QString &nome);
    // The parameter at a position (0-based, in the order they were added); Exception when
    // out of range.
    TnParamSelecao &GetParams(int posicao);
    int Count() const { return int(FParams.size()); }
    bool Existe(const QString &nome) const;

    // Every parameter becomes empty; the variables bound to them are emptied too.
    void Reset();
    // Brings the bound variables in step with the parameters' values.
    void Refresh();
    // After `parametro` changed: brings its variables in step, then calls ReconfigurarDM
    // (parametro, recarregar) on every live module (CriarDM, CriarDMNovo) that follows it
    // (ChavesSelecao), oldest first.
    void ReconfigurarDM(const QString &parametro, bool recarregar);
    // How many times ReconfigurarDM ran: what was kept for the selection (a company's
    // settings) is taken again after one, also by whoever had no module open then.
    quint64 Reconfiguracoes() const { return FReconfiguracoes; }

private:
    void AtualizarVariaveis(const TnParamSelecao &p);
    std::vector<std::unique_ptr<TnParamSelecao>> FParams;
    quint64 FReconfiguracoes = 0;
};

// The connection's selection.
TnSelecao &Selecao();
// Grows whenever a selection parameter (the connection's or one a module pinned) is made,
// set or cleared, or a module's list of selection keys changes: what a module derived from
// the selection stays valid while this number stays the same.
quint64 GeracaoSelecao();
void AvancarGeracaoSelecao();
void ReconfigurarDM(const QString &parametro, bool recarregar);
