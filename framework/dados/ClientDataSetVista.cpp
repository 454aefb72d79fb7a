// TnClientDataSet: the view of the rows, which order, ranges and filters make, and the searches
// and bookmarks over it.
#include "ClientDataSet.h"

#include "Conexao.h"
#include "Decimal.h"
#include "Filtro.h"
#include "Provider.h"

#include <algorithm>

// ---- the view ---------------------------------------------------------------------------

void TnClientDataSet::Sincronizar() const
{
    if (FVistaDesatualizada)
        RefazerVista(true);
}

bool TnClientDataSet::Menor(qint32 a, qint32 b) const
{
    if (FIndice.empty())
        return FDados->Ordem().Posto(a) < FDados->Ordem().Posto(b);
    for (int c : FIndice) {
        const int r = FDados->Coluna(c).Comparar(a, b);
        if (r)
            return r < 0;
    }
    return a < b;
}

int TnClientDataSet::CompararChave(qint32 s, const std::vector<TnCelula> &chave) const
{
    for (size_t k = 0; k < chave.size(); ++k) {
        const int r = FDados->Coluna(FIndice[k]).Comparar(s, chave[k]);
        if (r)
            return r;
    }
    return 0;
}

bool TnClientDataSet::Aceita(qint32 s) const
{
    if (!FFiltrado)
        return true;
    if (FFiltro && !FFiltro->Aceita(*FDados, s))
        return false;
    return !FOnFilterRecord || NoSlot(s, [this] { return FOnFilterRecord(const_cast<TnClientDataSet &>(*this)); });
}

int TnClientDataSet::LadoDoIntervalo(qint32 s) const
{
    if (!FRangeAtivo)
        return 0;
    if (FRangeNenhum)
        return 1;
    if (CompararChave(s, FRangeInicio) < 0)
        return -1;
    return CompararChave(s, FRangeFim) > 0 ? 1 : 0;
}

bool TnClientDataSet::Passa(qint32 s) const { return LadoDoIntervalo(s) == 0 && Aceita(s); }

void TnClientDataSet::AjustarJanela() const
{
    if (!FRangeAtivo) {
        FVista.SemJanela();
        return;
    }
    if (FRangeNenhum) {
        FVista.DefinirJanela(0, 0);
        return;
    }
    // The rows of the range are together in the order of the index: two searches find them.
    const auto [ini, fim] = FVista.IntervaloTotal([this](qint32 a) { return CompararChave(a, FRangeInicio) < 0; },
                                                  [this](qint32 a) { return CompararChave(a, FRangeFim) <= 0; });
    FVista.DefinirJanela(ini, std::max(ini, fim));
}

qsizetype TnClientDataSet::PosicaoTotal(qint32 s) const
{
    if (s < 0)
        return -1;
    // Rows typed in the order of the index go after the last one: one comparison instead
    // of a search.
    const qsizetype n = FVista.Total();
    const qsizetype p = n > 0 && Menor(FVista.Slot(n - 1), s)
                            ? n
                            : FVista.LimiteInferiorTotal([this, s](qint32 a) { return Menor(a, s); });
    return p < FVista.Total() && FVista.Slot(p) == s ? p : -1;
}

qsizetype TnClientDataSet::PosicaoNaJanela(qint32 s) const
{
    const qsizetype p = PosicaoTotal(s) - FVista.InicioJanela();
    return p >= 0 && p < FVista.size() ? p : -1;
}

qsizetype TnClientDataSet::InserirNaVista(qint32 s) const
{
    // Rows typed in the order of the index go after the last one: one comparison instead
    // of a search.
    const qsizetype n = FVista.Total();
    const qsizetype p = n > 0 && Menor(FVista.Slot(n - 1), s)
                            ? n
                            : FVista.LimiteInferiorTotal([this, s](qint32 a) { return Menor(a, s); });
    const int lado = LadoDoIntervalo(s);
    FVista.InserirTotal(p, s, lado);
    return lado == 0 ? p - FVista.InicioJanela() : -1;
}

void TnClientDataSet::RefazerVista(bool manterRegistro) const
{
    const qint32 atual = manterRegistro && FPos >= 0 && FPos < FVista.size() ? FVista[FPos] : -1;
    const qsizetype posAnterior = FPos;
    FVistaDesatualizada = false;
    FVista.clear();
    if (FDados) {
        // Every row the filter lets through, in order; the range is a window over them.
        FDados->ParaCadaNaOrdem([this](qint32 s) {
            if (FDados->Visivel(s) && Aceita(s))
                FVista.push_back(s);
        });
        if (!FIndice.empty())
            FVista.Ordenar([this](qint32 a, qint32 b) { return Menor(a, b); });
        AjustarJanela();
    }
    if (FVista.empty()) {
        FPos = -1;
        FEof = FBof = true;
        return;
    }
    if (atual >= 0) {
        const qsizetype pos = PosicaoNaJanela(atual);
        if (pos >= 0) {
            FPos = pos;
            return;
        }
    }
    if (manterRegistro) {
        FPos = std::clamp<qsizetype>(posAnterior, 0, qsizetype(FVista.size()) - 1);
    } else {
        FPos = 0;
        FBof = true;
        FEof = false;
    }
}

void TnClientDataSet::Posicionar(qsizetype pos)
{
    FPos = FVista.empty() ? -1 : std::clamp<qsizetype>(pos, 0, qsizetype(FVista.size()) - 1);
}

void TnClientDataSet::ColocarNaVista(qint32 s)
{
    const qsizetype pos = Aceita(s) ? InserirNaVista(s) : -1;
    if (pos < 0) {
        // Outside the filter or the range: the cursor stays where it was.
        Posicionar(FPos);
        FEof = FBof = FVista.empty();
        return;
    }
    FPos = pos;
    FEof = FBof = false;
}

void TnClientDataSet::Reposicionar(qint32 s)
{
    const qsizetype ini = FVista.InicioJanela();
    if (FPos < 0 || FPos >= FVista.size() || FVista[FPos] != s) {
        // The edited row is always the current one; anything else is set right by a new view.
        FVistaDesatualizada = true;
        Sincronizar();
        return;
    }
    const qsizetype p = ini + FPos, n = FVista.Total();
    // Most edits leave the row where it is: no need to move the rows after it.
    const bool emOrdem = (p == 0 || Menor(FVista.Slot(p - 1), s)) && (p + 1 == n || Menor(s, FVista.Slot(p + 1)));
    if (emOrdem && Passa(s))
        return;
    FVista.RetirarTotal(p);
    ColocarNaVista(s);
}

void TnClientDataSet::AntesDeMudarNosOutros(qint32 s)
{
    for (TnClientDataSet *c : FDados->Cursores)
        if (c != this && !c->FVistaDesatualizada) {
            c->FAtualAntesDaMudanca = c->FPos >= 0 && c->FPos < c->FVista.size() ? c->FVista[c->FPos] : -1;
            const qsizetype p = c->PosicaoTotal(s);
            if (p >= 0)
                c->FVista.RetirarTotal(p);
        }
}

void TnClientDataSet::DepoisDeMudarNosOutros(qint32 s)
{
    for (TnClientDataSet *c : FDados->Cursores) {
        if (c == this)
            continue;
        if (!c->FVistaDesatualizada) {
            if (FDados->Visivel(s) && c->Aceita(s))
                c->InserirNaVista(s);
            // The other cursor stays on its row (it moves with it); a row gone leaves the
            // cursor on the one that took its place.
            const qsizetype pos = c->PosicaoNaJanela(c->FAtualAntesDaMudanca);
            if (pos >= 0)
                c->FPos = pos;
            else
                c->Posicionar(c->FPos);
            if (c->FVista.empty())
                c->FEof = c->FBof = true;
        }
        c->AvisarDados();
    }
}

std::vector<int> TnClientDataSet::ColunasDe(const QString &campos) const
{
    std::vector<int> r;
    for (const QString &nome : campos.split(u';', Qt::SkipEmptyParts))
        r.push_back(FieldByName(nome.trimmed()).Index());
    return r;
}

std::vector<TnCelula> TnClientDataSet::ConverterChave(const std::vector<int> &colunas, const QVariantList &valores) const
{
    if (valores.size() > qsizetype(colunas.size()))
        throw Exception(QStringLiteral("Foram informados %1 valores para %2 campos.").arg(valores.size()).arg(colunas.size()));
    std::vector<TnCelula> r;
    for (qsizetype k = 0; k < valores.size(); ++k) {
        const TnField &f = *FCampos[colunas[k]];
        // A text searched is compared as given: a longer text simply finds nothing.
        if (EhTipoTexto(f.DataType()) && !EhNulo(valores[k])) {
            TnCelula c;
            c.Nulo = false;
            c.S = valores[k].toString();
            r.push_back(std::move(c));
        } else {
            r.push_back(f.DeVariant(valores[k]));
        }
    }
    return r;
}

// ---- search -----------------------------------------------------------------------------

bool TnClientDataSet::ChaveDoIndice(const std::vector<int> &colunas, const std::vector<TnCelula> &valores,
                                    Qt::CaseSensitivity cs, std::vector<TnCelula> &chave) const
{
    // The fields must be the first ones of the index, in any order; a text compared without
    // regard to case is no key of an index that regards it.
    const size_t n = colunas.size();
    if (n == 0 || n > FIndice.size())
        return false;
    chave.assign(n, TnCelula{});
    for (size_t k = 0; k < n; ++k) {
        const auto it = std::find(FIndice.begin(), FIndice.begin() + qsizetype(n), colunas[k]);
        if (it == FIndice.begin() + qsizetype(n))
            return false;
        if (cs == Qt::CaseInsensitive && FDados->Coluna(colunas[k]).GuardaTexto())
            return false;
        chave[size_t(it - FIndice.begin())] = valores[k];
    }
    for (size_t k = 1; k < n; ++k)
        if (std::find(colunas.begin(), colunas.end(), FIndice[k]) == colunas.end())
            return false;
    return true;
}

namespace {
// Below this many rows in the view a pass over them costs less than a search by values.
constexpr qsizetype kMinimoBuscaPorValores = 4096;
// Values shared by more rows than this are found sooner by a pass (one of the first rows
// likely holds them) than by placing every candidate in the view.
constexpr size_t kMaximoCandidatos = 64;
} // namespace

bool TnClientDataSet::Locate(const QString &campos, const QVariantList &valores, int opcoes)
{
    ExigirNavegacao();
    const std::vector<int> colunas = ColunasDe(campos);
    if (valores.size() != qsizetype(colunas.size()))
        throw Exception(QStringLiteral("Foram informados %1 valores para %2 campos.").arg(valores.size()).arg(colunas.size()));
    const std::vector<TnCelula> chave = ConverterChave(colunas, valores);
    const Qt::CaseSensitivity cs = opcoes & loCaseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const bool parcial = opcoes & loPartialKey;
    auto confere = [&](qint32 s) {
        for (size_t k = 0; k < colunas.size(); ++k) {
            const TnColuna &col = FDados->Coluna(colunas[k]);
            if (col.GuardaTexto() && !chave[k].Nulo && !col.Nulo(s)) {
                const QStringView t = col.Texto(s);
                if (parcial ? !t.startsWith(chave[k].S, cs) : t.compare(chave[k].S, cs) != 0)
                    return false;
            } else if (col.Comparar(s, chave[k]) != 0) {
                return false;
            }
        }
        return true;
    };
    auto irPara = [&](qsizetype i) {
        const qint32 anterior = GetBookmark();
        FPos = i;
        FEof = FBof = false;
        AvisarRolagem(anterior);
        return true;
    };
    // On the first fields of the index, exactly as given: the rows that match are together
    // in the view, the first of them where a search of the key puts it.
    std::vector<TnCelula> chaveIndice;
    if (!parcial && ChaveDoIndice(colunas, chave, cs, chaveIndice)) {
        const qsizetype pos = FVista.LimiteInferior([&](qint32 s) { return CompararChave(s, chaveIndice) < 0; });
        if (pos < FVista.size() && CompararChave(FVista[pos], chaveIndice) == 0)
            return irPara(pos);
    } else if (std::vector<qint32> candidatos;
               !parcial && cs == Qt::CaseSensitive && FVista.size() >= kMinimoBuscaPorValores &&
               FDados->Candidatos(colunas, chave, candidatos) && candidatos.size() <= kMaximoCandidatos) {
        // Many rows and no order to search: the rows that may hold the values, by a hash
        // of them; the first in the view of those that do.
        qsizetype primeira = -1;
        for (qint32 s : candidatos)
            if (FDados->Visivel(s) && confere(s))
                if (const qsizetype pos = PosicaoNaJanela(s); pos >= 0 && (primeira < 0 || pos < primeira))
                    primeira = pos;
        if (primeira >= 0)
            return irPara(primeira);
    } else {
        for (qsizetype i = 0; i < qsizetype(FVista.size()); ++i)
            if (confere(FVista[i]))
                return irPara(i);
    }
    if (opcoes & loSomenteLidas)
        return false;
    // Not among the rows read: the source looks the row up by its key when it can, with a
    // cost that does not grow with the rows; else packet after packet, looking at the new
    // rows only.
    if (!parcial && cs == Qt::CaseSensitive && !TodosLidos()) {
        const qint32 inicio = FDados->Linhas();
        const int r = LerLinhaDaFonte(colunas, chave);
        if (r == 0)
            return false;
        if (r > 0) {
            const qsizetype pos = PosicaoNaJanela(inicio);
            return pos >= 0 && confere(inicio) ? irPara(pos) : false;
        }
    }
    while (!TodosLidos()) {
        const qint32 inicio = FDados->Linhas();
        BuscarPacote();
        bool achou = false;
        for (qint32 s = inicio; s < FDados->Linhas() && !achou; ++s)
            achou = FDados->Visivel(s) && Passa(s) && confere(s);
        if (achou)
            for (qsizetype i = 0; i < qsizetype(FVista.size()); ++i)
                if (confere(FVista[i]))
                    return irPara(i);
    }
    return false;
}

qsizetype TnClientDataSet::BuscarChave(const QVariantList &valores, std::vector<TnCelula> &chave)
{
    ExigirNavegacao();
    if (FIndice.empty())
        throw Exception(QStringLiteral("Nenhum índice definido (IndexFieldNames) para a busca."));
    chave = ConverterChave(FIndice, valores);
    return FVista.LimiteInferior([this, &chave](qint32 s) { return CompararChave(s, chave) < 0; });
}

bool TnClientDataSet::FindKey(const QVariantList &valores)
{
    std::vector<TnCelula> chave;
    qsizetype pos = BuscarChave(valores, chave);
    auto achou = [&] { return pos < qsizetype(FVista.size()) && CompararChave(FVista[pos], chave) == 0; };
    // Not among the rows read: packet after packet until it is.
    while (!achou() && !TodosLidos()) {
        BuscarPacote();
        pos = FVista.LimiteInferior([this, &chave](qint32 s) { return CompararChave(s, chave) < 0; });
    }
    if (!achou())
        return false;
    const qint32 anterior = GetBookmark();
    FPos = pos;
    FEof = FBof = false;
    AvisarRolagem(anterior);
    return true;
}

void TnClientDataSet::FindNearest(const QVariantList &valores)
{
    ExigirNavegacao();
    BuscarTodos();
    std::vector<TnCelula> chave;
    const qsizetype pos = BuscarChave(valores, chave);
    const qint32 anterior = GetBookmark();
    Posicionar(pos);
    FEof = pos == qsizetype(FVista.size());
    FBof = FVista.empty();
    AvisarRolagem(anterior);
}

// ---- order, ranges, filters -------------------------------------------------------------

void TnClientDataSet::SetIndexFieldNames(const QString &campos)
{
    if (Active()) {
        CheckBrowseMode();
        BuscarTodos();
    }
    std::vector<int> indice = FCampos.empty() ? std::vector<int>{} : ColunasDe(campos);
    FIndexFieldNames = campos;
    FIndice = std::move(indice);
    FRangeAtivo = false;
    FRangeNenhum = false;
    FRangeInicio.clear();
    FRangeFim.clear();
    if (Active()) {
        RefazerVista(true);
        AvisarDados();
    }
}

void TnClientDataSet::SetRange(const QVariantList &inicio, const QVariantList &fim)
{
    ExigirNavegacao();
    if (FIndice.empty())
        throw Exception(QStringLiteral("Nenhum índice definido (IndexFieldNames) para o intervalo."));
    BuscarTodos();
    FRangeInicio = ConverterChave(FIndice, inicio);
    FRangeFim = ConverterChave(FIndice, fim);
    FRangeAtivo = true;
    FRangeNenhum = false;
    MostrarJanela();
}

void TnClientDataSet::SetRangeVazio()
{
    ExigirNavegacao();
    if (FIndice.empty())
        throw Exception(QStringLiteral("Nenhum índice definido (IndexFieldNames) para o intervalo."));
    BuscarTodos();
    FRangeInicio.clear();
    FRangeFim.clear();
    FRangeAtivo = FRangeNenhum = true;
    MostrarJanela();
}

void TnClientDataSet::MostrarJanela()
{
    const qint32 anterior = GetBookmark();
    AjustarJanela();
    Posicionar(0);
    FBof = true;
    FEof = FVista.empty();
    AvisarDados();
    AvisarRolagem(anterior);
}

void TnClientDataSet::CancelRange()
{
    if (!FRangeAtivo)
        return;
    if (Active())
        CheckBrowseMode();
    const qint32 atual = FPos >= 0 && FPos < FVista.size() ? FVista[FPos] : -1;
    FRangeAtivo = false;
    FRangeNenhum = false;
    FRangeInicio.clear();
    FRangeFim.clear();
    if (Active()) {
        // Every row is in the view already: the window opens to all of them.
        Sincronizar();
        AjustarJanela();
        const qsizetype pos = PosicaoNaJanela(atual);
        Posicionar(pos >= 0 ? pos : FPos);
        AvisarDados();
    }
}

void TnClientDataSet::RecompilarFiltro()
{
    FFiltro.reset();
    if (FFiltroTexto.trimmed().isEmpty())
        return;
    FFiltro = TnFiltro::Compilar(FFiltroTexto, [this](const QString &nome, TnCampoFiltro &cf) {
        const TnField *f = FindField(nome);
        if (!f)
            return false;
        cf.Coluna = f->Index();
        cf.Tipo = f->DataType();
        cf.Escala = f->Scale();
        return true;
    });
}

void TnClientDataSet::SetFilter(const QString &filtro)
{
    const QString anterior = std::exchange(FFiltroTexto, filtro);
    if (!FCampos.empty()) {
        try {
            RecompilarFiltro();
        } catch (...) {
            FFiltroTexto = anterior;
            RecompilarFiltro();
            throw;
        }
    }
    if (FFiltrado)
        RefiltrarDoInicio();
}

void TnClientDataSet::RefiltrarDoInicio()
{
    if (!Active())
        return;
    CheckBrowseMode();
    if (FFiltrado)
        BuscarTodos();
    const qint32 antes = GetBookmark();
    RefazerVista(false);
    AvisarDados();
    AvisarRolagem(antes);
}

void TnClientDataSet::SetFiltered(bool v)
{
    if (v == FFiltrado)
        return;
    if (Active())
        CheckBrowseMode();
    FFiltrado = v;
    RefiltrarDoInicio();
}

void TnClientDataSet::SetOnFilterRecord(std::function<bool(TnClientDataSet &)> f)
{
    FOnFilterRecord = std::move(f);
    if (FFiltrado)
        RefiltrarDoInicio();
}

void TnClientDataSet::CloneCursor(TnClientDataSet &origem, bool manterConfig)
{
    origem.ExigirAtivo();
    if (&origem == this)
        return;
    origem.BuscarTodos();
    Close();
    FCampos.clear();
    FMapas.clear();
    for (const auto &f : origem.FCampos)
        AdicionarCampo(DefinicaoDoCampo(*f));
    FCamposAutomaticos = true; // copies of the source's fields: they go when the clone closes
    if (manterConfig) {
        FIndexFieldNames = origem.FIndexFieldNames;
        FFiltroTexto = origem.FFiltroTexto;
        FFiltrado = origem.FFiltrado;
        FOnFilterRecord = origem.FOnFilterRecord;
        FRangeAtivo = origem.FRangeAtivo;
        FRangeNenhum = origem.FRangeNenhum;
        FRangeInicio = origem.FRangeInicio;
        FRangeFim = origem.FRangeFim;
    } else {
        FIndexFieldNames.clear();
        FFiltroTexto.clear();
        FFiltrado = false;
        FOnFilterRecord = nullptr;
    }
    Abrir(origem.FDados);
}

// ---- bookmarks --------------------------------------------------------------------------

TnBookmark TnClientDataSet::GetBookmark() const
{
    if (!FDados || FEstado == dsInsert)
        return -1;
    Sincronizar();
    return FPos >= 0 ? FVista[FPos] : -1;
}

bool TnClientDataSet::BookmarkValid(TnBookmark b) const
{
    if (!FDados || b < 0 || b >= FDados->Linhas() || !FDados->Visivel(qint32(b)))
        return false;
    Sincronizar();
    return PosicaoNaJanela(qint32(b)) >= 0;
}

void TnClientDataSet::GotoBookmark(TnBookmark b)
{
    ExigirNavegacao();
    const bool valido = b >= 0 && b < FDados->Linhas() && FDados->Visivel(qint32(b));
    const qsizetype pos = valido ? PosicaoNaJanela(qint32(b)) : -1;
    if (pos < 0)
        throw Exception(QStringLiteral("Registro não encontrado."));
    const qint32 anterior = GetBookmark();
    FPos = pos;
    FEof = FBof = false;
    AvisarRolagem(anterior);
}
