#pragma once
// What the property and tax-situation registers and their consultations share: the columns
// of LCTOINVPROPRIEDADE and LCTOINVCST with their captions and rules, the value lists, and
// the menu actions each class builds from its own entry.
#include "Acoes.h"
#include "Campo.h"
#include "ClientDataSet.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <utility>
#include <vector>

// The entry's key, the property line's key (entry key plus SEQ) and the CST line's key.
extern const char *const kChaveLctoInv;
extern const char *const kChavePropriedade;
extern const char *const kChaveCST;

// "Estoque Próprio=0", "Estoque Próprio em poder de Terceiros=1",
// "Estoque de Terceiros em poder do Contribuinte=2".
QStringList ListaIndicadorPropriedade();
// The reasons of an inventory entry, 1 to 6 (the dash of reasons 4 and 6 is the en dash).
QStringList ListaMotivoInventario();

// The columns of LCTOINVPROPRIEDADE (register order). A consultation shows the reason
// without its value list and the sequence as required.
std::vector<TnDefCampo> CamposPropriedade(bool consulta);
// The columns of LCTOINVCST.
std::vector<TnDefCampo> CamposCST(bool consulta);
// DESCRPRODUTO, the product's description the consultations add.
TnDefCampo CampoDescrProduto();

// The company whose settings a module of entries follows, as text: the CODIGOEMPRESA of the
// dataset's current row (or of the row being inserted), else the active company
// (gCodigoEmpresaAtiva), "-1" when none is active. A change of it reloads cached settings.
QString ChaveEmpresaConfiguracao(const TnClientDataSet &ds);

// Settings a module of entries caches per company. Carregar runs `ler` with the company's
// code (ChaveEmpresaConfiguracao as a number, -1 when it is none) only when that company is
// not the one read last; a read that fails is tried again at the next call. Esquecer makes
// the next Carregar read again (the settings register reconfigures the modules for
// "CodigoEmpresa" after saving).
class TnCacheCfgEmpresa {
public:
    template <class F>
    void Carregar(const TnClientDataSet &ds, F &&ler)
    {
        Carregar(ChaveEmpresaConfiguracao(ds), std::forward<F>(ler));
    }
    // The same for the company `chave` (its code as text).
    template <class F>
    void Carregar(const QString &chave, F &&ler)
    {
        if (chave == FChave)
            return;
        bool ok = false;
        const int codigo = chave.toInt(&ok);
        ler(ok ? codigo : -1);
        FChave = chave;
    }
    void Esquecer() { FChave.clear(); }

private:
    QString FChave; // company the settings were read for; empty: none yet
};

// Decimals held by a settings column: `padrao` when it is empty.
int CasasDecimais(const QVariant &valor, int padrao = 2);
// The cost (QTDECASADECIMAL) and quantity (QTDECASADECIMALQTD) decimals of the CFGEMPRESAINV
// row of `condicao`, one read; `padrao` for each that is empty or when there is no row.
struct TnCasasDecimaisInv {
    int Valor = 2;
    int Qtde = 2;
};
TnCasasDecimaisInv LerCasasDecimaisInv(const QString &condicao, int padrao = 2);
// The display format of a number with `casas` decimals: "#,##0." followed by that many zeros.
QString FormatoCasas(int casas);

// The company settings the entry modules follow (CFGEMPRESAULMAR and CFGEMPRESAINV), with
// each missing row's defaults.
struct TnCfgLctoInv {
    bool UsaReferencia = true;
    bool UsaClassifFiscal = false;
    QVariant MascClassifFiscal;
    int QtdeCasaDecimal = 2;
    int QtdeCasaDecimalQtd = 2;
    bool InformaICMS = false;
    bool InformaPISCOFINS = false;
    bool operator==(const TnCfgLctoInv &) const = default;
};

// What saving an entry depends on, read in one statement: the company's settings, the
// connected user's last permitted date (nDMPersonalizacao::SemLimite when none) and the
// product's panel columns (TemProduto false when the company has no such product).
struct TnLeituraLctoInv {
    TnCfgLctoInv Cfg;
    QDate Limite;
    bool TemProduto = false;
    // REFERENPRODUTO, CODIGOGRUPOPRODUTO, DESCRPRODUTO, CODIGONCM, UNIDADEMEDIDA.
    QVariantList Produto;
};
// Reads them for the company `empresa` and the product `produto` (null: none), and keeps
// the settings read as the company's (CfgLctoInv).
TnLeituraLctoInv LerParaLctoInv(int empresa, const QVariant &produto);

// The settings of company `empresa` on the current connection: read once and kept for the
// session, replaced whenever a save reads them again (LerParaLctoInv), and read again after
// the selection reconfigured the modules (the settings registers' save, a change of company:
// TnSelecao::Reconfiguracoes) or a text of statements ran on the connection
// (nDMConexao::TextosExecutados).
const TnCfgLctoInv &CfgLctoInv(int empresa);
