#pragma once
// The database connection: the embedded SQLite file or a PostgreSQL server, numbered
// transactions, prepared statements and forward-only cursors.
//
// Statements run through this class only. Each engine works in a unit of its own behind one
// interface (Motor.h): SQLite is driven through its C interface on the handle that Qt's
// QSQLITE driver opened (typed reads, no per-value conversions); PostgreSQL goes through Qt's
// QPSQL driver. Both present the same TnComando and TnCursor.
#include "Excecoes.h"
#include "Tipos.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

// Dialect numbers answered by PegarTipoCon.
enum TTipoCon { tcSQLite = 1, tcPostgreSQL = 3 };

// Kinds of database error answered by ErroBanco.
enum TErroBanco {
    ebOutro = 0,          // anything not listed below
    ebChavePrimaria = 1,  // a row with this primary key exists
    ebChaveEstrangeira = 2, // a referenced row is missing, or a row still referenced is deleted
    ebNaoNulo = 3,        // a required column got no value
    ebUnico = 4,          // another unique rule is broken
    ebChecagem = 5,       // a check rule is broken
    ebBloqueio = 6,       // the database is locked or a deadlock was detected
    ebConexao = 7,        // the connection was lost or cannot be opened
    ebSintaxe = 8         // the statement is malformed or names an unknown table/column
};
int ErroBanco(const std::exception &e);

// Description of a result column.
struct TnColunaInfo {
    QString Nome;
    TFieldType Tipo = ftUnknown;
    int Tamanho = 0;   // maximum length of a text column, 0 when unknown
    int Precisao = 0;  // digits of a numeric column
    int Escala = 0;    // decimals of a numeric column
};

// Forward-only rows of a query. Valid until the next call on the same command.
class TnCursor {
public:
    virtual ~TnCursor() = default;
    virtual int Colunas() const = 0;
    virtual const TnColunaInfo &Coluna(int i) const = 0;
    virtual bool Proximo() = 0;
    virtual bool Nulo(int i) = 0;
    virtual qint64 Inteiro(int i) = 0;
    virtual double Real(int i) = 0;
    // Text as stored; numeric values in plain decimal form ("12.5"), never localized.
    virtual QString Texto(int i) = 0;
    virtual QDate Data(int i) = 0;
    virtual QDateTime DataHora(int i) = 0;
    // Date and time as stored, without any time-zone work (fast path for bulk reads).
    virtual bool DataHoraPartes(int i, QDate &d, QTime &t);
    // A number exactly, scaled by 10^escala (rounded half away from zero past the scale);
    // false when it is no number or does not fit 64 bits.
    virtual bool Decimal(int i, int escala, qint64 &escalado);
    // The text of a value without a string of its own: valid until the next call on this
    // cursor (bulk reads copy it where it is kept).
    virtual QStringView TextoDireto(int i);
    // The same text as UTF-8 bytes (empty for NULL), valid as TextoDireto: the engines hand
    // a text column over as stored, without a conversion to UTF-16 (bulk writers of files).
    virtual QByteArrayView TextoUtf8(int i);
    // True when the engine keeps its texts as UTF-8, so that TextoUtf8 is the cheaper way to
    // read them in bulk.
    virtual bool TextosEmUtf8() const { return false; }
    // The value typed by the column's kind; an invalid QVariant for NULL.
    QVariant Valor(int i);

private:
    QString FTextoDireto;
    QByteArray FTextoUtf8;
};

// A prepared statement with positional parameters (0-based), reusable after each execution.
class TnComando {
public:
    virtual ~TnComando() = default;
    virtual int Parametros() const = 0;
    virtual void BindNulo(int i) = 0;
    virtual void BindInteiro(int i, qint64 v) = 0;
    virtual void BindReal(int i, double v) = 0;
    virtual void BindTexto(int i, const QString &v) = 0;
    virtual void BindData(int i, const QDate &v) = 0;
    virtual void BindDataHora(int i, const QDateTime &v) = 0;
    // Binds a value by its QVariant type (invalid or null QVariant binds NULL).
    void BindValor(int i, const QVariant &v);
    // Binds every occurrence of :nome when the statement was written with :names.
    void BindValor(const QString &nome, const QVariant &v);
    int IndiceParametro(const QString &nome) const; // first occurrence, -1 when absent
    const QStringList &NomesParametros() const { return FNomes; } // by position; empty without :names
    // Runs a statement that returns no rows; answers the rows it changed.
    virtual int Executar() = 0;
    // Writing in bulk: inside a transaction the execution with the values bound now may be
    // sent later together with others (PostgreSQL: rows of a plain INSERT ... VALUES
    // through COPY, other statements pipelined), at the latest when another statement
    // runs or the transaction ends. A failure is then reported by that call, naming the
    // row of the batch, and the transaction is lost as on any failure. Outside a
    // transaction, and on SQLite, it runs at once.
    virtual void ExecutarEmLote() { Executar(); }
    // Runs a query; the cursor lives until the next call on this command.
    virtual TnCursor &Abrir() = 0;
    // Ends the current execution: its cursor is closed and the database no longer held by
    // it (an unfinished read keeps its snapshot). Abrir or Executar may follow.
    virtual void Fechar() {}
    const QString &SQL() const { return FSQL; }

protected:
    // A value that a literal could not carry is not bound either (see ValorParaSQL): a text
    // with a NUL or half a UTF-16 pair, a date outside the years 1 to 9999.
    static void ExigirTextoGravavel(const QString &v);
    // Nor a number that is not finite: SQLite would keep an infinity and make NaN a NULL,
    // the server would keep both; no column of ours takes them.
    static void ExigirRealGravavel(double v);
    // The ISO text a bound date (with `t`, a moment) travels as, written into `buf` (32
    // characters at least); its length, or -1 for an invalid date, which binds a null.
    static int TextoIsoParaVincular(char *buf, const QDate &d, const QTime *t);
    // A value bound to a parameter that writes a column (an INSERT's VALUES, an UPDATE's
    // SET) must fit that column as the database declares it (ValorNaColuna.h): the same
    // refusal, naming column and value, on both engines.
    void ConferirDestino(int i, qint64 v) const
    {
        if (!FDestinos.empty())
            ConferirInteiro(i, v);
    }
    void ConferirDestino(int i, double v) const
    {
        if (!FDestinos.empty())
            ConferirReal(i, v);
    }
    void ConferirDestino(int i, const QString &v) const
    {
        if (!FDestinos.empty())
            ConferirTexto(i, v);
    }

    QString FSQL;
    QString FTexto; // the text given to nDMConexao::PrepararGuardado
    QStringList FNomes; // parameter names in order, empty for positional statements
    // The column each parameter writes, by position (ftUnknown: none); empty when the
    // statement writes no known column.
    std::vector<TnColunaInfo> FDestinos;
    friend class nDMConexao;

private:
    void ConferirInteiro(int i, qint64 v) const;
    void ConferirReal(int i, double v) const;
    void ConferirTexto(int i, const QString &v) const;
};

// Executions of prepared commands sent together and answered in order: on PostgreSQL in one
// pipeline, without a round trip per execution; on SQLite each runs as it is added.
class TnLote {
public:
    virtual ~TnLote() = default;
    // Queues an execution of `cmd` (which must outlive the batch) with the values bound now.
    virtual void Adicionar(TnComando &cmd) = 0;
    // Runs what was queued and answers the rows each execution changed, in order. The first
    // failure throws, with `falhou` set to its position; the ones after it did not run.
    virtual std::vector<int> Concluir(int &falhou) = 0;
};

struct TnConfigBanco {
    TTipoCon Tipo = tcSQLite;
    QString Arquivo;                   // SQLite file
    QString Servidor = QStringLiteral("localhost");
    int Porta = 5432;
    QString Banco, Usuario, Senha;
    QString Esquema;                   // PostgreSQL schema to work in (search_path), optional

    // Reads the settings file (INI, section [Banco]); the embedded file in the user's data
    // folder when the file is absent or names no server.
    static TnConfigBanco Ler(const QString &arquivoIni);
    static QString ArquivoPadrao(); // settings file in the user's configuration folder
    static QString BancoEmbutidoPadrao(); // SQLite file in the user's data folder
};

class TnMotor;
class nDMConexao;

// The exchanges a connection had with its engine that waited for an answer, so that tests
// and benchmarks see how a piece of work talks to the database. On the server each costs a
// trip over the network; the embedded engine counts each statement run as one.
struct TnIdasEVoltas {
    quint64 Comandos = 0;       // statements sent and answered one at a time (prepares included)
    quint64 Sincronizacoes = 0; // batches of statements sent together and answered at their sync
    quint64 Copias = 0;         // COPY exchanges: one to open the copy, one to end it
    quint64 Total() const { return Comandos + Sincronizacoes + 2 * Copias; }
};

// What keeps something of a connection (prepared statements) and must let it go before the
// connection closes.
class TnDependenteConexao {
public:
    virtual ~TnDependenteConexao() = default;
    virtual void ConexaoFechando(nDMConexao &con) = 0;
};

class nDMConexao {
public:
    explicit nDMConexao(const TnConfigBanco &cfg);
    ~nDMConexao();
    nDMConexao(const nDMConexao &) = delete;
    nDMConexao &operator=(const nDMConexao &) = delete;

    // The connection the modules use; set by whoever opens it (the program, a test).
    static nDMConexao &Atual();
    static nDMConexao *AtualOuNulo();
    static void DefinirAtual(nDMConexao *c);

    TTipoCon PegarTipoCon() const { return FCfg.Tipo; }
    const TnConfigBanco &Config() const { return FCfg; }
    // A number no other connection of the process has had or will have (an address can be
    // the same for a connection opened after another closed).
    quint64 Identidade() const { return FIdentidade; }
    // Told before the connection closes.
    void AdicionarDependente(TnDependenteConexao *d);
    void RemoverDependente(TnDependenteConexao *d);
    QString Descricao() const; // where the data is, for the user

    // Numbered transactions. The first Start opens the database transaction; a Start with
    // another number while one is open nests as a savepoint, and ends in reverse order.
    // Starting the number that is already innermost again only counts up: the matching
    // Commit counts down and the last one commits. RollBack undoes the named transaction
    // and everything nested in it; a RollBack of a number that is not open does nothing.
    // Commit of a number that is not open, or not innermost, is an error.
    void StartTransaction(int id, bool leitura = false, bool espera = false);
    void Commit(int id);
    void RollBack(int id);
    // Read transactions: a consistent view for queries. Inside an open transaction they
    // join it.
    void StartTransactionRO(int id);
    void CommitRO(int id);
    bool InTransaction() const { return !FPilha.empty(); }
    bool InTransaction(int id) const;
    // A statement failed inside the open transaction: on both engines it is lost as a whole
    // (the server discards it; SQLite may have rolled it back itself, or would go on with a
    // part), so every statement but a rollback is refused until it ends, and its commit
    // reports the failure. A savepoint rolled back (ExecutarProtegido) saves it.
    bool TransacaoAbortada() const { return FAbortada && !FPilha.empty(); }
    // The engine itself rolled the whole transaction back (SQLite, on some errors): not even
    // a savepoint can save it.
    bool TransacaoPerdida() const { return FPerdida && !FPilha.empty(); }
    // For the engines: refuses a statement while the transaction is lost, and reports a
    // rollback that failed before (once).
    void ExigirTransacaoViva();
    void MarcarTransacaoPerdida() { FPerdida = true; }
    // A rollback that failed where nothing could be thrown (a guard's destructor): logged,
    // and reported by the next statement.
    void FalhaAoDesfazer(const QString &mensagem);

    std::unique_ptr<TnComando> Preparar(const QString &sql);
    // A command of `sql` the connection keeps prepared for the next caller once this one
    // lets it go (closed, see TnComando::Fechar): for a statement run again and again,
    // such as a keyed lookup made on every move. Like any command it must go before the
    // connection does. Executar(sql) (scripts, schema changes) drops the kept ones.
    using TnComandoGuardado = std::unique_ptr<TnComando, std::function<void(TnComando *)>>;
    TnComandoGuardado PrepararGuardado(const QString &sql);
    // Runs one or more statements without parameters, split by the engine's own rules;
    // answers the rows the last changed. Outside a transaction several statements run in
    // one of their own: all or nothing. Statements of one shape that differ only in their
    // literals are prepared once and bound, so a long text costs in proportion to its length.
    int Executar(const QString &sql);
    // How many texts of statements (Executar, ExecutarComandos: scripts, maintenance, a
    // process's own statements) ran on the connection, transaction control apart. Such a
    // text may have changed anything: what a module keeps of the database (company settings)
    // is read again after one.
    quint64 TextosExecutados() const { return FTextos; }
    // Statements without parameters run in order inside the open transaction (prepared once
    // per shape as above); a failure sets `*falhou` (when given) to the position of the
    // statement that failed, then throws.
    int ExecutarComandos(const QStringList &comandos, int *falhou = nullptr);
    // Runs a statement with positional parameters.
    int Executar(const QString &sql, const QVariantList &params);
    // A batch of executions of prepared commands (see TnLote).
    std::unique_ptr<TnLote> NovoLote();
    // Runs `lote` and commits transaction `id`: in one exchange with the server when `id` is
    // the outermost transaction, opened once (its commit goes behind the batch). When an
    // execution fails nothing is committed and `id` stays open, lost, for its rollback;
    // `falhou` as in TnLote::Concluir.
    std::vector<int> ConcluirEConfirmar(TnLote &lote, int id, int &falhou);
    // Runs a prepared statement so that its failure leaves the open transaction usable (a
    // failed statement loses the whole transaction; a savepoint around the statement keeps
    // the rest). Outside a transaction it just runs it.
    int ExecutarProtegido(TnComando &cmd);

    // The columns of `tabela` ("esquema.tabela" allowed) as the database declares them, in
    // the table's order, names in upper case; empty for a table that does not exist. Read
    // from the catalog once and kept until a statement changes the schema. The writers
    // check their values against them (ValorNaColuna.h).
    const std::vector<TnColunaInfo> &ColunasDaTabela(const QString &tabela);
    // The column `coluna` of `tabela` (letter case ignored); of unknown kind (ftUnknown,
    // nothing to check) when there is none.
    TnColunaInfo ColunaDaTabela(const QString &tabela, const QString &coluna);

    // The exchanges counted since the connection opened or the count was last reset.
    const TnIdasEVoltas &IdasEVoltas() const { return FIdas; }
    void ZerarIdasEVoltas() { FIdas = {}; }
    // For diagnosis: while set, the server's engine appends to `rastro` a line per exchange
    // it counts (what it sent), so a case can print where its round trips go.
    void RastrearIdasEVoltas(QStringList *rastro) { FRastro = rastro; }

    QDateTime PegarDataServidor(bool comHora = true);
    QSqlDatabase &BancoQt() { return FDb; }
    void *HandleSQLite() const;

    // Builds the error for a failing statement (message in Portuguese, kind by ErroBanco).
    [[noreturn]] void Falha(const QString &textoMotor, const QString &codigo, const QString &sql) const;

private:
    friend class TnMotor;
    struct Nivel { int id; bool ro; int profundidade; };
    // A text the engines cannot take is refused before it reaches them.
    void ExigirTextoValido(const QString &sql) const;
    // The columns the "?" of an INSERT's (first) row of VALUES or of an UPDATE's SET write.
    std::vector<TnColunaInfo> DestinosDosParametros(const QString &sql, int total);
    void Iniciar(int id, bool ro);
    void Terminar(int id, bool ro);

    TnConfigBanco FCfg;
    QSqlDatabase FDb;
    std::unique_ptr<TnMotor> FMotor;
    QString FNomeConexao;
    std::vector<Nivel> FPilha;
    std::vector<std::unique_ptr<TnComando>> FGuardados; // prepared, free for PrepararGuardado
    std::unordered_map<QString, std::vector<TnColunaInfo>> FColunas; // ColunasDaTabela, by table in upper case
    mutable bool FAbortada = false; // a statement failed inside the open transaction
    bool FPerdida = false;          // the engine rolled the open transaction back itself
    QString FFalhaDesfazer;         // a rollback that failed, not yet reported
    quint64 FIdentidade = 0;
    std::vector<TnDependenteConexao *> FDependentes;
    TnIdasEVoltas FIdas;
    QStringList *FRastro = nullptr;
    quint64 FTextos = 0; // TextosExecutados
};

// Rolls transaction `id` back when it leaves scope without Commit (an exception passed).
class TnTransacao {
public:
    explicit TnTransacao(int id, nDMConexao &c = nDMConexao::Atual(), bool ro = false);
    ~TnTransacao();
    void Commit();
    // Runs `lote` and commits (nDMConexao::ConcluirEConfirmar).
    std::vector<int> ConcluirEConfirmar(TnLote &lote, int &falhou);
    TnTransacao(const TnTransacao &) = delete;
    TnTransacao &operator=(const TnTransacao &) = delete;

private:
    nDMConexao &FCon;
    int FId;
    bool FRo;
    bool FAberta = true;
};
