#pragma once
// Writes the change log of a client dataset to one table: deletes, updates of the changed
// columns and inserts, with prepared statements cached by their shape, all in one
// transaction (nested in the caller's when one is open).
#include "ClientDataSet.h"
#include "Conexao.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

class nDMConexao;
class TnComando;

enum TUpdateMode {
    upWhereAll,     // a row is identified by every column with pfInWhere, at its original value
    upWhereKeyOnly  // a row is identified by its key columns only
};

// What the provider does with a row it could not write.
enum TResolverResponse {
    rrSkip,  // hand the error to the client dataset (OnReconcileError); counts as an error
    rrAbort, // stop: everything written is rolled back
    rrIgnore // take the row as written (it leaves the change log); nothing is written
};

// Binds a stored value (a field of type `tipo` with `escala` decimals) to parameter `i` as
// the provider writes it: exact decimals, dates and timestamps as wall-clock fields.
void VincularCelula(TnComando &cmd, int i, const TnCelula &c, TFieldType tipo, int escala, bool servidor);

class TnDataSetProvider : public TnDependenteConexao {
public:
    TnDataSetProvider();
    explicit TnDataSetProvider(const QString &tabela, TUpdateMode modo = upWhereKeyOnly);
    ~TnDataSetProvider() override;
    TnDataSetProvider(const TnDataSetProvider &) = delete;
    TnDataSetProvider &operator=(const TnDataSetProvider &) = delete;

    const QString &TableName() const { return FTabela; }
    void SetTableName(const QString &t);
    // The connection to write to; when none is set, the current one at the time of applying.
    nDMConexao *Conexao() const { return FConexao; }
    void SetConexao(nDMConexao *c);
    TUpdateMode UpdateMode() const { return FModo; }
    void SetUpdateMode(TUpdateMode m);
    // ';'-joined key fields; when empty, the fields with pfInKey.
    const QString &KeyFields() const { return FChaves; }
    void SetKeyFields(const QString &k);

    // Called with the dataset positioned on the failing row; may reword the error.
    std::function<void(Exception &, TUpdateKind, TResolverResponse &)> OnUpdateError;

    // Used by TnClientDataSet::ApplyUpdates.
    int Aplicar(TnClientDataSet &ds, int maxErrors);

    // The prepared statements of a connection go before it closes.
    void ConexaoFechando(nDMConexao &con) override;

private:
    struct Aplicacao;
    void EsquecerComandos();

    QString FTabela;
    nDMConexao *FConexao = nullptr;
    TUpdateMode FModo = upWhereKeyOnly;
    QString FChaves;
    // Prepared statements by shape (kind, columns written, null columns in the condition),
    // of one connection, known by its identity (another may open where it was).
    std::unordered_map<std::string, std::unique_ptr<TnComando>> FComandos;
    nDMConexao *FConexaoDosComandos = nullptr;
    quint64 FIdConexaoDosComandos = 0;
};
