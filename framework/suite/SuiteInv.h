#pragma once
// The suite package's inventory functions: the company inventory settings, the inventory
// period rule and the module's standard jobs.
//
// Periodicity rule (CFGEMPRESAINV.PERIODOINVENTARIO):
//   1 monthly    any month
//   2 quarterly  months 3, 6, 9 and 12 (the last month of each quarter)
//   3 yearly     month 12
//   0, any other value, or no settings row: no periodicity chosen, any month.
// An inventory period is a month and only its month counts: any day of it designates it, and
// the period selection stores the month's first day (a month is its first day everywhere).
#include "Conexao.h"

#include <QDate>
#include <QString>
#include <vector>

class QObject;

// The company's inventory settings (CFGEMPRESAINV), as read.
struct TnConfiguracaoInv {
    int Empresa = 0;
    bool Existe = false;             // the company has a settings row
    int QtdeCasaDecimal = 2;         // decimals of unit costs
    int QtdeCasaDecimalQtd = 2;      // decimals of quantities
    bool LancaICMSRecup = false;     // recoverable ICMS detailed per entry
    bool DetalharPISCOFINSItem = false;
    int PeriodoInventario = 0;       // 0 none, 1 monthly, 2 quarterly, 3 yearly
};

// Reads the settings of a company (defaults above when it has no row).
TnConfiguracaoInv LerConfiguracaoInv(int empresa, nDMConexao &con = nDMConexao::Atual());

// True when the company has a settings row whose values are all within their rules:
// cost decimals 2 to 6, quantity decimals 0 to 6, the two flags "0" or "1", periodicity
// 0 to 3.
bool ChecarConfiguracaoInv(int empresa);

// Reloads the cached settings of the active company (gCodigoEmpresaAtiva) and sets the
// variables gQTDECASADECIMAL and gQTDECASADECIMALQTD to its decimals (empty when no
// company is active or it has no settings row).
void AtualizarConfiguracaoInv();
// The cached settings (as of the last AtualizarConfiguracaoInv).
const TnConfiguracaoInv &ConfiguracaoInvAtiva();

// True when the date's month fits the company's periodicity (rule above); otherwise false
// with the reason in `mensagem` (cleared on true). An invalid date is refused.
bool ValidarPeriodoSelecionado(int empresa, const QDate &data, QString &mensagem);

// Checks a date typed for an entry against the selected inventory period: it must fit the
// active company's periodicity and, when a period is selected (gDataInvent), lie in the
// selected month. Raises Exception with the reason otherwise.
void VerificarPeriodoSelecionado(const QDate &data);

// One standard job of a module, as registered in NJOBCADASTRO.
struct TnJobPadrao {
    QString Nome;      // unique within the module
    QString Descricao;
    QString Classe;    // process class the job runs
    int Periodicidade; // 1 daily, 2 weekly, 3 monthly
};

// The inventory module's standard jobs.
const std::vector<TnJobPadrao> &JobsPadraoInv();

// Inserts the module's standard jobs that NJOBCADASTRO lacks and updates the description,
// class and periodicity of those it has; the user's switch (ATIVO) of an existing job is
// kept, new jobs start switched off. All or nothing, in one transaction.
class TnInserirOuAtualizarJobCadastroPadrao {
public:
    // The sender is passed on by the after-conversion hook and not used.
    static void Executar(QObject *sender = nullptr);
    static void Executar(nDMConexao &con, const QString &modulo, const std::vector<TnJobPadrao> &jobs);
};
