#include "ClientDataSet.h"

#include "Bandas.h"
#include "Conexao.h"
#include "Decimal.h"
#include "Filtro.h"
#include "Provider.h"

#include <algorithm>

namespace {
// AvisarRolagem with this "previous slot" always reports a scroll.
constexpr qint32 kSempreRolou = -100;

QString MsgNaoEmEdicao() { return QStringLiteral("O conjunto de dados não está em edição ou inclusão."); }
} // namespace

TnClientDataSet::TnClientDataSet() = default;

TnClientDataSet::~TnClientDataSet()
{
    if (FDados)
        std::erase(FDados->Cursores, this);
}

// ---- fields -----------------------------------------------------------------------------

void TnClientDataSet::DefinirCampos(const TnDefCampo *defs, int n)
{
    for (int i = 0; i < n; ++i)
        AdicionarCampo(defs[i]);
}

TnField &TnClientDataSet::AdicionarCampo(const TnDefCampo &def)
{
    if (Active())
        throw Exception(QStringLiteral("Não é possível incluir o campo \"%1\" com o conjunto de dados aberto.").arg(def.Nome));
    if (def.Nome.isEmpty() || FindField(def.Nome))
        throw Exception(QStringLiteral("O campo \"%1\" está vazio ou repetido na declaração.").arg(def.Nome));
    FCampos.push_back(std::make_unique<TnField>(*this, FieldCount(), def));
    return *FCampos.back();
}

TnField *TnClientDataSet::FindField(const QString &nome) const
{
    // Names are unique in any letter case; most lookups give the name as declared, which
    // the plain comparison finds at a fraction of the cost.
    for (const auto &f : FCampos)
        if (f->FieldName() == nome)
            return f.get();
    for (const auto &f : FCampos)
        if (f->FieldName().compare(nome, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TnField &TnClientDataSet::FieldByName(const QString &nome) const
{
    TnField *f = FindField(nome);
    if (!f)
        throw Exception(QStringLiteral("Campo \"%1\" não encontrado.").arg(nome));
    return *f;
}

void TnClientDataSet::DescartarCamposAutomaticos()
{
    FCampos.clear();
    FMapas.clear();
    FIndice.clear();
    FFiltro.reset();
    FCamposAutomaticos = false;
}

// ---- opening ----------------------------------------------------------------------------

void TnClientDataSet::ExigirAtivo() const
{
    if (!Active())
        throw Exception(QStringLiteral("O conjunto de dados está fechado."));
}

void TnClientDataSet::Abrir(std::shared_ptr<TnDadosColunares> dados)
{
    if (FDados != dados) {
        if (FDados)
            std::erase(FDados->Cursores, this);
        FDados = std::move(dados);
        if (FDados->Cursores.empty())
            FDados->LogChanges = FLogChanges; // new rows follow this dataset's setting
        FDados->Cursores.push_back(this);
    }
    FBuffer.assign(FCampos.size(), TnCelula{});
    FSlotEdicao = -1;
    FModificado = false;
    FIndice = ColunasDe(FIndexFieldNames);
    RecompilarFiltro();
    RefazerVista(false);
    MudarEstado(dsBrowse);
    Disparar(AfterOpen);
    AvisarDados();
    AvisarRolagem(kSempreRolou);
}

void TnClientDataSet::CreateDataSet()
{
    if (FCampos.empty())
        throw Exception(QStringLiteral("O conjunto de dados não tem campos declarados."));
    Close();
    Abrir(NovosDados());
}


TnGridBands &TnClientDataSet::GridBands()
{
    if (!FBandas)
        FBandas = std::make_unique<TnGridBands>();
    return *FBandas;
}

void TnClientDataSet::EmptyDataSet()
{
    ExigirAtivo();
    if (FEstado != dsBrowse)
        Cancel();
    FDados->Limpar();
    AvisarOutrosCursores();
    RefazerVista(false);
    AvisarDados();
    AvisarRolagem(kSempreRolou);
}

void TnClientDataSet::AssumirLinhas(TnClientDataSet &origem)
{
    if (&origem == this)
        return;
    origem.ExigirAtivo();
    bool iguais = FieldCount() == origem.FieldCount();
    for (int i = 0; iguais && i < FieldCount(); ++i)
        iguais = Fields(i).DataType() == origem.Fields(i).DataType() && Fields(i).FieldKind() == origem.Fields(i).FieldKind();
    if (!iguais)
        throw Exception(QStringLiteral("Os campos dos dois conjuntos de dados não são os mesmos."));
    if (EmEdicao())
        Cancel();
    origem.BuscarTodos();
    std::shared_ptr<TnDadosColunares> dados = origem.FDados;
    origem.Close();
    Abrir(std::move(dados));
}

void TnClientDataSet::Close()
{
    if (!Active())
        return;
    if (FDados)
        std::erase(FDados->Cursores, this);
    FDados.reset();
    FVista.clear();
    FPos = -1;
    FEof = FBof = true;
    FSlotEdicao = -1;
    FModificado = false;
    FRangeAtivo = false;
    FRangeNenhum = false;
    FRangeInicio.clear();
    FRangeFim.clear();
    MudarEstado(dsInactive);
    if (FCamposAutomaticos)
        DescartarCamposAutomaticos();
    AvisarDados();
}

// ---- reading and writing fields ---------------------------------------------------------

qint32 TnClientDataSet::SlotLeitura() const
{
    if (FSlotForcado >= 0)
        return FSlotForcado;
    if (!FDados)
        return -1;
    Sincronizar();
    return FPos >= 0 ? FVista[FPos] : -1;
}

TnCelula TnClientDataSet::LerCelula(int coluna) const
{
    TnCelula c;
    if ((FEstado == dsEdit || FEstado == dsInsert) && FSlotForcado < 0)
        return FBuffer[coluna];
    const qint32 s = SlotLeitura();
    if (s >= 0)
        FDados->Coluna(coluna).Ler(s, c);
    return c;
}

QVariant TnClientDataSet::ValorOriginal(const TnField &campo) const
{
    if (!FDados || (FEstado == dsInsert && FSlotForcado < 0))
        return {};
    const qint32 s = SlotLeitura();
    if (s < 0 || FDados->Estado(s) == elInserida)
        return {};
    TnCelula c;
    if (FDados->TemOriginal(s))
        FDados->ColunaOriginal(campo.Index()).Ler(FDados->LinhaOriginal(s), c);
    else
        FDados->Coluna(campo.Index()).Ler(s, c);
    return campo.ParaVariant(c);
}

void TnClientDataSet::GravarCampo(TnField &campo, TnCelula valor)
{
    if (FSlotForcado >= 0 || (FEstado != dsEdit && FEstado != dsInsert))
        throw Exception(MsgNaoEmEdicao());
    if (campo.ReadOnly())
        throw EnField(campo.FieldName(), QStringLiteral("O campo \"%1\" não pode ser alterado.").arg(campo.DisplayLabel()));
    const int i = campo.Index();
    if (FBuffer[i] == valor)
        return;
    TnCelula anterior = std::exchange(FBuffer[i], std::move(valor));
    if (campo.OnValidate) {
        try {
            campo.OnValidate(campo);
        } catch (...) {
            FBuffer[i] = std::move(anterior);
            throw;
        }
    }
    FModificado = true;
    if (campo.OnChange)
        campo.OnChange(campo);
    Avisar([&](TnObservadorDataSet *o) { o->RegistroAlterado(*this, &campo); });
}


// ---- state and notification -------------------------------------------------------------

void TnClientDataSet::MudarEstado(TDataSetState e)
{
    if (FEstado == e)
        return;
    FEstado = e;
    Avisar([this](TnObservadorDataSet *o) { o->EstadoAlterado(*this); });
}

void TnClientDataSet::AvisarDados()
{
    Avisar([this](TnObservadorDataSet *o) { o->DadosAlterados(*this); });
}

void TnClientDataSet::AvisarRolagem(qint32 slotAnterior)
{
    const qint32 agora = FEstado == dsInsert ? -2 : (FPos >= 0 ? FVista[FPos] : -1);
    if (agora == slotAnterior)
        return;
    Disparar(AfterScroll);
    Avisar([this](TnObservadorDataSet *o) { o->Rolou(*this); });
}

void TnClientDataSet::AvisarOutrosCursores()
{
    if (!FDados)
        return;
    for (TnClientDataSet *c : FDados->Cursores) {
        if (c != this) {
            c->FVistaDesatualizada = true;
            c->AvisarDados();
        }
    }
}

void TnClientDataSet::AvisarOutrosSemRefazer()
{
    if (!FDados)
        return;
    for (TnClientDataSet *c : FDados->Cursores)
        if (c != this)
            c->AvisarDados();
}

void TnClientDataSet::EnableControls()
{
    if (FControlesDesativados > 0 && --FControlesDesativados == 0)
        AvisarDados();
}

void TnClientDataSet::AdicionarObservador(TnObservadorDataSet *o)
{
    if (std::find(FObservadores.begin(), FObservadores.end(), o) == FObservadores.end())
        FObservadores.push_back(o);
}

void TnClientDataSet::RemoverObservador(TnObservadorDataSet *o) { std::erase(FObservadores, o); }

void TnClientDataSet::LerRegistro(int recNo, const std::function<void()> &ler) const
{
    ExigirAtivo();
    Sincronizar();
    if (recNo < 1 || recNo > qsizetype(FVista.size()))
        throw Exception(QStringLiteral("Registro %1 fora do conjunto de dados.").arg(recNo));
    NoSlot(FVista[recNo - 1], ler);
}

// ---- navigation -------------------------------------------------------------------------

void TnClientDataSet::ExigirNavegacao()
{
    ExigirAtivo();
    CheckBrowseMode();
    Sincronizar();
}

void TnClientDataSet::First()
{
    ExigirNavegacao();
    const qint32 anterior = GetBookmark();
    Posicionar(0);
    FBof = true;
    FEof = FVista.empty();
    AvisarRolagem(anterior);
}

void TnClientDataSet::Last()
{
    ExigirNavegacao();
    BuscarTodos();
    const qint32 anterior = GetBookmark();
    Posicionar(qsizetype(FVista.size()) - 1);
    FEof = true;
    FBof = FVista.empty();
    AvisarRolagem(anterior);
}

int TnClientDataSet::MoveBy(int distancia)
{
    ExigirNavegacao();
    while (distancia > 0 && !TodosLidos() && !Assentada(FPos + distancia))
        BuscarPacote();
    if (FVista.empty() || distancia == 0)
        return 0;
    const qint32 anterior = GetBookmark();
    const qsizetype alvo = FPos + distancia;
    const qsizetype pos = std::clamp<qsizetype>(alvo, 0, qsizetype(FVista.size()) - 1);
    const int movido = int(pos - FPos);
    FPos = pos;
    FEof = alvo > pos;
    FBof = alvo < pos;
    AvisarRolagem(anterior);
    return movido;
}

void TnClientDataSet::Next() { MoveBy(1); }

void TnClientDataSet::Prior() { MoveBy(-1); }

int TnClientDataSet::RecNo() const
{
    if (!Active())
        return 0;
    if (FEstado == dsInsert)
        return -1;
    Sincronizar();
    return int(FPos + 1);
}

void TnClientDataSet::SetRecNo(int n)
{
    ExigirNavegacao();
    while (n > qsizetype(FVista.size()) && !TodosLidos())
        BuscarPacote();
    const qint32 anterior = GetBookmark();
    Posicionar(n - 1);
    FEof = FBof = FVista.empty();
    AvisarRolagem(anterior);
}

int TnClientDataSet::RecordCount() const
{
    if (!Active())
        return 0;
    Sincronizar();
    return int(FVista.size());
}

bool TnClientDataSet::IsEmpty() const
{
    if (RecordCount() > 0 || !Active())
        return !Active();
    // Every row read may have been deleted while rows remain: reading on is what tells.
    auto *eu = const_cast<TnClientDataSet *>(this);
    while (eu->FVista.empty() && !eu->TodosLidos() && !eu->FCarga)
        eu->BuscarPacote();
    return RecordCount() == 0;
}

bool TnClientDataSet::Eof() const
{
    Sincronizar();
    return FEof || FVista.empty();
}

bool TnClientDataSet::Bof() const
{
    Sincronizar();
    return FBof || FVista.empty();
}

// ---- editing ----------------------------------------------------------------------------

void TnClientDataSet::CheckBrowseMode()
{
    if (FEstado == dsEdit || FEstado == dsInsert) {
        if (FModificado)
            Post();
        else
            Cancel();
    }
}

void TnClientDataSet::IniciarInclusao(bool noFim)
{
    ExigirAtivo();
    CheckBrowseMode();
    Sincronizar();
    Disparar(BeforeInsert);
    const bool fim = noFim || FPos < 0;
    FSlotAntesDe = fim ? -1 : FVista[FPos];
    FBuffer.assign(FCampos.size(), TnCelula{});
    FSlotEdicao = -1;
    MudarEstado(dsInsert);
    try {
        Disparar(OnNewRecord);
    } catch (...) {
        MudarEstado(dsBrowse);
        throw;
    }
    FModificado = false;
    Disparar(AfterInsert);
    AvisarRolagem(kSempreRolou);
}

void TnClientDataSet::Append() { IniciarInclusao(true); }

void TnClientDataSet::Insert() { IniciarInclusao(false); }

void TnClientDataSet::Edit()
{
    ExigirAtivo();
    if (FEstado == dsEdit || FEstado == dsInsert)
        return;
    Sincronizar();
    if (FVista.empty()) {
        Append();
        return;
    }
    Disparar(BeforeEdit);
    FSlotEdicao = FVista[FPos];
    FBuffer.resize(FCampos.size());
    for (int c = 0; c < FieldCount(); ++c)
        FDados->Coluna(c).Ler(FSlotEdicao, FBuffer[c]);
    FModificado = false;
    MudarEstado(dsEdit);
    Disparar(AfterEdit);
}

void TnClientDataSet::Post()
{
    ExigirAtivo();
    if (FEstado != dsEdit && FEstado != dsInsert)
        return;
    Disparar(BeforePost);
    for (const auto &f : FCampos)
        if (f->Required() && FBuffer[f->Index()].Nulo)
            throw EnField(f->FieldName(), QStringLiteral("O campo \"%1\" deve ser informado.").arg(f->DisplayLabel()));
    Sincronizar();
    const int n = FieldCount();
    if (FEstado == dsInsert) {
        const qint32 antes = FSlotAntesDe >= 0 && FDados->Visivel(FSlotAntesDe) ? FSlotAntesDe : -1;
        const qint32 s = FDados->NovaLinha(FDados->LogChanges ? elInserida : elInalterada, antes);
        for (int c = 0; c < n; ++c)
            FDados->Coluna(c).Escrever(s, FBuffer[c]);
        AnotarSalvaAlemDaFronteira(s);
        AntesDeMudarNosOutros(s);
        ColocarNaVista(s);
        DepoisDeMudarNosOutros(s);
    } else {
        const qint32 s = FSlotEdicao;
        if (!FDados->Visivel(s))
            throw Exception(QStringLiteral("O registro em edição foi excluído."));
        bool mudou = false;
        for (int c = 0; c < n && !mudou; ++c)
            mudou = FDados->Coluna(c).Comparar(s, FBuffer[c]) != 0;
        if (mudou) {
            if (FDados->LogChanges && FDados->Estado(s) == elInalterada) {
                FDados->GuardarOriginal(s);
                FDados->DefinirEstado(s, elModificada);
            }
            const bool anotar = !TodosLidos() && !FDados->ColunasChave.empty();
            const QString chaveAntes = anotar ? FDados->TextoChave(s) : QString();
            // The other cursors take the row out where its old values put it, and back in
            // where the new ones do: no cursor sorts its whole view again.
            AntesDeMudarNosOutros(s);
            for (int c = 0; c < n; ++c)
                FDados->Coluna(c).Escrever(s, FBuffer[c]);
            FDados->AnotarReescrita(s);
            if (anotar && FDados->TextoChave(s) != chaveAntes)
                AnotarSalvaAlemDaFronteira(s); // its new key may lie beyond the rows read
            Reposicionar(s);
            DepoisDeMudarNosOutros(s);
        }
    }
    FSlotEdicao = -1;
    FModificado = false;
    MudarEstado(dsBrowse);
    AvisarDados();
    Disparar(AfterPost);
}

void TnClientDataSet::Cancel()
{
    if (FEstado != dsEdit && FEstado != dsInsert)
        return;
    Disparar(BeforeCancel);
    const bool eraInclusao = FEstado == dsInsert;
    FSlotEdicao = -1;
    FModificado = false;
    MudarEstado(dsBrowse);
    AvisarDados();
    Disparar(AfterCancel);
    if (eraInclusao)
        AvisarRolagem(kSempreRolou);
}

void TnClientDataSet::Delete()
{
    ExigirAtivo();
    if (FEstado == dsInsert) {
        Cancel();
        return;
    }
    Sincronizar();
    if (FVista.empty())
        throw Exception(QStringLiteral("Não há registro para excluir."));
    Disparar(BeforeDelete);
    if (FEstado == dsEdit) {
        FSlotEdicao = -1;
        FModificado = false;
        MudarEstado(dsBrowse);
    }
    const qint32 s = FVista[FPos];
    const bool registrar = FDados->LogChanges && FDados->Estado(s) != elInserida;
    AntesDeMudarNosOutros(s);
    FDados->DefinirEstado(s, registrar ? elExcluida : elDescartada);
    FVista.erase(FPos);
    Posicionar(FPos);
    FEof = FBof = FVista.empty();
    DepoisDeMudarNosOutros(s);
    AvisarDados();
    Disparar(AfterDelete);
    AvisarRolagem(kSempreRolou);
}

TUpdateStatus TnClientDataSet::UpdateStatus() const
{
    const qint32 s = FEstado == dsInsert && FSlotForcado < 0 ? -1 : SlotLeitura();
    if (s < 0)
        return FEstado == dsInsert ? usInserted : usUnmodified;
    switch (FDados->Estado(s)) {
    case elModificada: return usModified;
    case elInserida: return usInserted;
    case elExcluida: return usDeleted;
    default: return usUnmodified;
    }
}

// ---- change log -------------------------------------------------------------------------

bool TnClientDataSet::LogChanges() const { return FDados ? FDados->LogChanges : FLogChanges; }

void TnClientDataSet::SetLogChanges(bool v)
{
    FLogChanges = v;
    if (FDados)
        FDados->LogChanges = v;
}

int TnClientDataSet::ChangeCount() const { return FDados ? FDados->ChangeCount() : 0; }

void TnClientDataSet::CancelUpdates()
{
    ExigirAtivo();
    Cancel();
    FDados->ReverterTudo();
    AvisarOutrosCursores();
    const qint32 anterior = GetBookmark();
    RefazerVista(true);
    AvisarDados();
    AvisarRolagem(anterior);
}

void TnClientDataSet::MergeChangeLog()
{
    ExigirAtivo();
    CheckBrowseMode();
    FDados->ConsolidarTudo();
    // Merging changes which rows are seen nowhere.
    AvisarOutrosSemRefazer();
}


// ---- provider ---------------------------------------------------------------------------

int TnClientDataSet::ApplyUpdates(int maxErrors)
{
    ExigirAtivo();
    if (!FProvider)
        throw Exception(QStringLiteral("O conjunto de dados não tem provedor para gravar as alterações."));
    CheckBrowseMode();
    return FProvider->Aplicar(*this, maxErrors);
}
