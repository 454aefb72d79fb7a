#pragma once
// In-memory dataset: typed fields over column-wise rows, navigation and editing with the
// usual events, a change log that the provider writes to the database, indexes, ranges,
// filters, clones over the same rows, bookmarks and change notification for views.
#include "Campo.h"
#include "DadosColunares.h"
#include "Excecoes.h"
#include "FieldMapper.h"
#include "Vista.h"

#include <QScopeGuard>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <typeindex>
#include <unordered_map>
#include <vector>

class TnCursor;
class TnCursorDerivado;
class TnGridBands;
class TnDataSetProvider;
class TnFiltro;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };
// loSomenteLidas: among the rows read only (a packeted dataset does not ask its source).
enum TLocateOption { loCaseInsensitive = 1, loPartialKey = 2, loSomenteLidas = 4 };
enum TUpdateKind { ukModify, ukInsert, ukDelete };
// What a client does with a row the provider could not write.
enum TReconcileAction {
    raSkip,   // the row stays in the change log; counts as an error
    raCancel, // the row's changes are undone; counts as an error
    raAbort   // stop: everything written is rolled back
};

using TnBookmark = qint64;
using TnEventoDataSet = std::function<void(TnClientDataSet &)>;

// A view of a dataset (a grid, a record form) told of changes. While the dataset's
// controls are disabled nothing is told; EnableControls then sends one DadosAlterados.
class TnObservadorDataSet {
public:
    virtual ~TnObservadorDataSet() = default;
    virtual void DadosAlterados(TnClientDataSet &) {}          // rows, order or filter changed
    virtual void RegistroAlterado(TnClientDataSet &, TnField *) {} // a field of the current row
    virtual void Rolou(TnClientDataSet &) {}                   // another row became current
    virtual void EstadoAlterado(TnClientDataSet &) {}          // browse, edit, insert, inactive
    // A packet adds `quantidade` rows at the end of the view, from position `primeira`
    // (0-based): told before they are there, and again once they are.
    virtual void AntesDeAcrescentar(TnClientDataSet &, int /*primeira*/, int /*quantidade*/) {}
    virtual void Acrescentados(TnClientDataSet &) {}
};

// Where a dataset opened with AbrirPaginado takes the rows it has not read yet.
class TnFontePacotes {
public:
    virtual ~TnFontePacotes() = default;
    // ';'-joined fields whose values identify a row; a row saved in the dataset while rows
    // remained is not taken again from a later packet. Empty: no such check.
    virtual QString Chave() const { return {}; }
    // Appends to `ds` (TnClientDataSet::AcrescentarPacote) the rows that follow the last
    // one read, at most `maximo`; answers whether rows may remain.
    virtual bool LerPacote(TnClientDataSet &ds, int maximo) = 0;
    // Looks among the rows not read yet for the one whose fields `campos` (indexes in `ds`)
    // hold `valores`: appends it to `ds` (TnClientDataSet::AcrescentarAvulsa) and answers 1,
    // or answers 0 when there is none. -1: the source cannot look a row up this way (the
    // dataset reads packet after packet instead).
    virtual int LerLinha(TnClientDataSet &ds, const std::vector<int> &campos, const std::vector<TnCelula> &valores)
    {
        (void)ds;
        (void)campos;
        (void)valores;
        return -1;
    }
};

class TnClientDataSet {
public:
    TnClientDataSet();
    ~TnClientDataSet();
    TnClientDataSet(const TnClientDataSet &) = delete;
    TnClientDataSet &operator=(const TnClientDataSet &) = delete;

    // ---- fields
    void DefinirCampos(const TnDefCampo *defs, int n);
    template <std::size_t N> void DefinirCampos(const TnDefCampo (&defs)[N]) { DefinirCampos(defs, int(N)); }
    TnField &AdicionarCampo(const TnDefCampo &def);
    int FieldCount() const { return static_cast<int>(FCampos.size()); }
    TnField &Fields(int i) const { return *FCampos[i]; }
    TnField *FindField(const QString &nome) const;
    TnField &FieldByName(const QString &nome) const; // throws naming the field

    // ---- opening
    void CreateDataSet();             // empty, from the declared fields
    void CarregarDe(TnCursor &cursor); // the cursor's rows; fields from its columns when none declared
    // Every cursor the dataset reads rows from (CarregarDe, packets and rows of a source)
    // is read through a TnCursorDerivado over it that `derivar` shapes (its columns and
    // computed values): a column is computed on its way in, in the same forward pass. The
    // derivation runs while the source's statement is open: it must not run statements.
    // An empty function reads the cursors as they are.
    void SetDerivacao(std::function<void(TnCursorDerivado &)> derivar) { FDerivacao = std::move(derivar); }
    void EmptyDataSet();              // removes every row and the change log
    // Takes the rows of `origem` (open, of the same field types in the same order), which
    // closes: a result read into a dataset of its own replaces this one's rows in one step,
    // without a copy. The fields, order, filter and views stay this dataset's; cursors
    // cloned from this one keep the former rows. Exception, nothing changed, when the fields
    // differ.
    void AssumirLinhas(TnClientDataSet &origem);
    void Close();

    // ---- reading in packets
    // Opens reading only the first packet of `fonte` (PacketRecords rows); the rest is read
    // on demand:
    // - Next, MoveBy, SetRecNo and a grid scrolling past the last row read take the next
    //   packet; Eof is reached only once every row was read;
    // - Last, FindNearest, SetIndexFieldNames, SetRange, filters (SetFilter, SetFiltered,
    //   SetOnFilterRecord while filtered) and CloneCursor read every remaining row first;
    // - Locate asks the source for the row it looks for among the rows not read (one keyed
    //   statement, TnFontePacotes::LerLinha), or reads packet after packet when the source
    //   cannot; FindKey reads packet after packet until the row is found or none remain;
    // - IsEmpty reads a packet only when no row read is visible while rows remain;
    // - RecordCount, RecNo, LerRegistro, bookmarks and the change log see the rows read so
    //   far only.
    // A clone shares the rows and the source.
    void AbrirPaginado(std::shared_ptr<TnFontePacotes> fonte);
    // Open with the declared fields and no rows, as a read that found none.
    void AbrirVazio();
    bool CamposDeclarados() const { return !FCampos.empty() && !FCamposAutomaticos; }
    int PacketRecords() const { return FPacketRecords; } // rows per packet; <= 0: all at once
    void SetPacketRecords(int n) { FPacketRecords = n; }
    bool TodosLidos() const { return !FDados || !FDados->Fonte; }
    TnFontePacotes *Fonte() const { return FDados ? FDados->Fonte.get() : nullptr; } // null once all read
    // Reads the next packet; answers the rows added (0 when every row was read).
    int BuscarPacote();
    void BuscarTodos();
    // For sources: appends at most `maximo` rows of `cursor` (from its next row) as a
    // packet; answers the rows taken from the cursor (rows skipped as already saved here
    // included). Only inside TnFontePacotes::LerPacote.
    int AcrescentarPacote(TnCursor &cursor, int maximo);
    // For sources: appends the first row of `cursor`, found among the rows not read yet,
    // without moving past the rows read (the packet that reaches it later leaves its copy
    // out); answers 1, or 0 when the cursor has no row or the row was saved here already.
    // Only inside TnFontePacotes::LerLinha.
    int AcrescentarAvulsa(TnCursor &cursor);
    // For sources: the value of field `campo` in the last row taken from a cursor.
    const TnCelula &UltimaLida(int campo) const { return FUltimaLida[campo]; }
    bool Active() const { return FEstado != dsInactive; }
    TDataSetState State() const { return FEstado; }
    // A row is being edited or inserted.
    bool EmEdicao() const { return FEstado == dsEdit || FEstado == dsInsert; }

    // ---- navigation
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distancia);
    int RecNo() const;                // 1-based; 0 when empty, -1 while inserting
    void SetRecNo(int n);
    int RecordCount() const;          // rows read so far (see AbrirPaginado)
    bool Eof() const;
    bool Bof() const;
    bool IsEmpty() const;

    // ---- editing
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    bool Modified() const { return FModificado; }
    void CheckBrowseMode(); // posts a modified row, cancels an untouched one
    TUpdateStatus UpdateStatus() const;

    // ---- change log (may be set before opening; clones share their source's)
    bool LogChanges() const;
    void SetLogChanges(bool v);
    int ChangeCount() const;
    void CancelUpdates();
    void MergeChangeLog();

    // ---- search
    bool Locate(const QString &campos, const QVariantList &valores, int opcoes = 0);
    bool Locate(const QString &campo, const QVariant &valor, int opcoes = 0)
    {
        return Locate(campo, QVariantList{valor}, opcoes);
    }
    bool FindKey(const QVariantList &valores);
    void FindNearest(const QVariantList &valores);

    // ---- order, ranges, filters
    const QString &IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const QString &campos);
    void SetRange(const QVariantList &inicio, const QVariantList &fim);
    // A range no row falls in (a detail whose master has no row); CancelRange or SetRange
    // ends it.
    void SetRangeVazio();
    void CancelRange();
    const QString &Filter() const { return FFiltroTexto; }
    void SetFilter(const QString &filtro);
    bool Filtered() const { return FFiltrado; }
    void SetFiltered(bool v);
    void SetOnFilterRecord(std::function<bool(TnClientDataSet &)> f);

    // A cursor over the same rows as `origem`, with its own order, filter, range and
    // position; `manterConfig` copies the order, range and filter of `origem`.
    void CloneCursor(TnClientDataSet &origem, bool manterConfig = false);

    // ---- bookmarks: stable while the row exists, whatever the order
    TnBookmark GetBookmark() const;
    void GotoBookmark(TnBookmark b);
    bool BookmarkValid(TnBookmark b) const;

    // ---- views
    void DisableControls() { ++FControlesDesativados; }
    void EnableControls();
    bool ControlsDisabled() const { return FControlesDesativados > 0; }
    void AdicionarObservador(TnObservadorDataSet *o);
    void RemoverObservador(TnObservadorDataSet *o);
    // Runs `ler` while the fields read the row at position `recNo` (1-based, as RecNo) of
    // this cursor, without moving the cursor, firing events or telling the views: a grid
    // formats the rows it draws this way. The stored row is read (not an edit buffer);
    // writing to a field inside is refused. Exception when `recNo` is out of range.
    void LerRegistro(int recNo, const std::function<void()> &ler) const;
    // Reading the view in bulk, for figures over the rows a cursor shows (a grid's totals):
    // f(slot) for every row of the view, in its order, and a field's stored column, read by
    // those slots. The stored rows are read (not an edit buffer); nothing moves or is told.
    template <class F> void ParaCadaDaVista(F f) const
    {
        if (!Active())
            return;
        Sincronizar();
        const qsizetype n = FVista.size();
        for (qsizetype i = 0; i < n; ++i)
            f(FVista[i]);
    }
    const TnColuna &ColunaArmazenada(int campo) const { return FDados->Coluna(campo); }

    // ---- grid settings
    // The header bands of the dataset's grid (Bandas.h), made on first use.
    TnGridBands &GridBands();
    bool TemGridBands() const { return FBandas != nullptr; }

    // ---- provider
    void SetProvider(TnDataSetProvider *p) { FProvider = p; }
    TnDataSetProvider *Provider() const { return FProvider; }
    // Writes the change log through the provider; answers the rows that failed and stay
    // in the log. Throws, with everything rolled back, when more than `maxErrors` rows
    // fail (-1: no limit) or a handler aborts.
    int ApplyUpdates(int maxErrors);
    std::function<void(TnClientDataSet &, Exception &, TUpdateKind, TReconcileAction &)> OnReconcileError;

    // ---- maps: one bound instance per map class
    template <class M> M &Mapa()
    {
        auto &p = FMapas[std::type_index(typeid(M))];
        if (!p) {
            auto m = std::make_shared<M>();
            TnFieldMapper::MapearFields(*this, *m);
            p = m;
        }
        return *static_cast<M *>(p.get());
    }

    // ---- events
    TnEventoDataSet BeforeInsert, AfterInsert, OnNewRecord;
    TnEventoDataSet BeforeEdit, AfterEdit;
    TnEventoDataSet BeforePost, AfterPost;
    TnEventoDataSet BeforeCancel, AfterCancel;
    TnEventoDataSet BeforeDelete, AfterDelete;
    TnEventoDataSet AfterOpen, AfterScroll;

private:
    friend class TnField;
    friend class TnDataSetProvider;

    // reading and writing fields
    qint32 SlotLeitura() const;
    TnCelula LerCelula(int coluna) const;
    QVariant ValorOriginal(const TnField &campo) const;
    void GravarCampo(TnField &campo, TnCelula valor);

    // Answers `f()` run while the fields read slot `s` (filters, reconcile handlers,
    // LerRegistro).
    template <class F> auto NoSlot(qint32 s, F &&f) const
    {
        const qint32 anterior = std::exchange(FSlotForcado, s);
        const auto restaurar = qScopeGuard([this, anterior] { FSlotForcado = anterior; });
        return f();
    }

    // views
    void Sincronizar() const;
    void RefazerVista(bool manterRegistro) const;
    bool Menor(qint32 a, qint32 b) const;
    int CompararChave(qint32 s, const std::vector<TnCelula> &chave) const;
    bool Passa(qint32 s) const;
    bool Aceita(qint32 s) const;
    // Where a row falls against the range: before it (-1), in it (0), after it (1).
    int LadoDoIntervalo(qint32 s) const;
    // The view holds every row the filter lets through; the range is a window over them,
    // found by two searches on the index.
    void AjustarJanela() const;
    // The window of the range just set becomes the view, its first row current.
    void MostrarJanela();
    // Position of a row among all rows of the view (-1: not there), or in the window; found
    // by a search in the view's order, so the row must hold the values it was placed by.
    qsizetype PosicaoTotal(qint32 s) const;
    qsizetype PosicaoNaJanela(qint32 s) const;
    // Puts a row where the order places it; answers its position in the window (-1: out of
    // the range).
    qsizetype InserirNaVista(qint32 s) const;
    void Posicionar(qsizetype pos);
    void ColocarNaVista(qint32 s);
    void Reposicionar(qint32 s);
    // A change to a shared row made by this cursor reaches the views of the others in place:
    // before it they take the row out, after it they put it back where it now belongs.
    void AntesDeMudarNosOutros(qint32 s);
    void DepoisDeMudarNosOutros(qint32 s);
    // Locate on the first fields of the index: `chave` gets the values in the index's order.
    bool ChaveDoIndice(const std::vector<int> &colunas, const std::vector<TnCelula> &valores, Qt::CaseSensitivity cs,
                       std::vector<TnCelula> &chave) const;
    std::vector<TnCelula> ConverterChave(const std::vector<int> &colunas, const QVariantList &valores) const;
    std::vector<int> ColunasDe(const QString &campos) const;
    void RecompilarFiltro();
    void RefiltrarDoInicio();
    qsizetype BuscarChave(const QVariantList &valores, std::vector<TnCelula> &chave);

    // state and notification
    void ExigirAtivo() const;
    void ExigirNavegacao();
    void Abrir(std::shared_ptr<TnDadosColunares> dados);
    void MudarEstado(TDataSetState e);
    void IniciarInclusao(bool noFim);
    void Disparar(const TnEventoDataSet &e) { if (e) e(*this); }
    void AvisarDados();
    void AvisarRolagem(qint32 slotAnterior);
    void AvisarOutrosCursores();
    void AvisarOutrosSemRefazer(); // the rows the others see are the same: their views only told
    // Tells every observer, unless controls are disabled.
    template <class F> void Avisar(F &&f)
    {
        if (FControlesDesativados > 0)
            return;
        const auto observadores = FObservadores; // an observer may remove itself
        for (TnObservadorDataSet *o : observadores)
            f(o);
    }
    void DescartarCamposAutomaticos();
    void ExigirSemAlteracoes() const;
    struct Leitura;
    void CriarCamposDe(TnCursor &cursor, bool temLinha);
    std::vector<Leitura> LeiturasDe(TnCursor &cursor) const;
    // `cursor`, or the derivation over it (SetDerivacao) built in `derivado`.
    TnCursor &Derivado(TnCursor &cursor, std::unique_ptr<TnCursorDerivado> &derivado) const;
    qsizetype LerLinhas(TnDadosColunares &dados, TnCursor &cursor, const std::vector<Leitura> &leituras, bool temLinha,
                        qsizetype maximo) const;
    std::shared_ptr<TnDadosColunares> NovosDados() const;
    void Recarregar(const std::function<void(TnDadosColunares &)> &ler);
    void LerDaFonte(TnDadosColunares &dados);
    int IncorporarLidas(qint32 inicio);
    int LerLinhaDaFonte(const std::vector<int> &campos, const std::vector<TnCelula> &valores);
    void AnotarSalvaAlemDaFronteira(qint32 s);
    bool Assentada(qsizetype pos) const;

    std::vector<std::unique_ptr<TnField>> FCampos;
    bool FCamposAutomaticos = false;
    std::shared_ptr<TnDadosColunares> FDados;
    TDataSetState FEstado = dsInactive;

    // the view: visible slots in the order of the index
    mutable TnVista FVista;
    mutable qsizetype FPos = -1;
    mutable bool FEof = true, FBof = true;
    mutable bool FVistaDesatualizada = false;
    qint32 FAtualAntesDaMudanca = -1; // current row while another cursor changes one

    // edit buffer
    std::vector<TnCelula> FBuffer;
    bool FModificado = false;
    qint32 FSlotEdicao = -1;    // slot being edited
    qint32 FSlotAntesDe = -1;   // insert: new row goes before this slot (-1: at the end)
    mutable qint32 FSlotForcado = -1; // row read by filter and reconcile callbacks

    QString FIndexFieldNames;
    std::vector<int> FIndice;
    bool FRangeAtivo = false;
    bool FRangeNenhum = false; // SetRangeVazio: the window holds no row
    std::vector<TnCelula> FRangeInicio, FRangeFim;
    QString FFiltroTexto;
    bool FFiltrado = false;
    std::unique_ptr<TnFiltro> FFiltro;
    std::function<bool(TnClientDataSet &)> FOnFilterRecord;

    int FControlesDesativados = 0;
    std::vector<TnObservadorDataSet *> FObservadores;
    bool FLogChanges = true;
    TnDataSetProvider *FProvider = nullptr;
    int FPacketRecords = 500;
    std::vector<TnCelula> FUltimaLida;
    TnDadosColunares *FCarga = nullptr; // storage a source is appending to (inside LerPacote)
    std::function<void(TnCursorDerivado &)> FDerivacao;
    std::unordered_map<std::type_index, std::shared_ptr<void>> FMapas;
    std::unique_ptr<TnGridBands> FBandas;
};
