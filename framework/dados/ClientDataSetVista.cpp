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

bool TnClientDataSet::Passa(qint32 s) const
{
    if (FRangeAtivo && (CompararChave(s, FRangeInicio) < 0 || CompararChave(s, FRangeFim) > 0))
        return false;
    return Aceita(s);
}

void TnClientDataSet::RefazerVista(bool manterRegistro) const
{
    const qint32 atual = manterRegistro && FPos >= 0 && FPos < qsizetype(FVista.size()) ? FVista[FPos] : -1;
    const qsizetype posAnterior = FPos;
    FVistaDesatualizada = false;
    FVista.clear();
    if (FDados) {
        FVista.reserve(FDados->Ordem().size());
        for (qint32 s : FDados->Ordem())
            if (FDados->Visivel(s) && Passa(s))
                FVista.push_back(s);
        if (!FIndice.empty())
            FVista.Ordenar([this](qint32 a, qint32 b) { return Menor(a, b); });
    }
    if (FVista.empty()) {
        FPos = -1;
        FEof = FBof = true;
        return;
    }
    if (atual >= 0) {
        const qsizetype pos = FVista.Procurar(atual);
        if (pos < FVista.size()) {
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

void TnClientDataSet::ColocarNaVista(qint32 s, qsizetype posSemIndice)
{
    if (!Passa(s)) {
        Posicionar(FPos);
        FEof = FBof = FVista.empty();
        return;
    }
    qsizetype pos;
    if (!FIndice.empty())
        pos = FVista.LimiteInferior([this, s](qint32 a) { return Menor(a, s); });
    else
        pos = std::min(posSemIndice, qsizetype(FVista.size()));
    FVista.insert(pos, s);
    FPos = pos;
    FEof = FBof = false;
}

void TnClientDataSet::Reposicionar(qint32 s)
{
    const qsizetype n = qsizetype(FVista.size());
    const qsizetype pos = FPos >= 0 && FPos < n && FVista[FPos] == s
                              ? FPos
                              : FVista.Procurar(s);
    if (pos == n)
        return;
    // Most edits leave the row where it is: no need to move the rows after it.
    const bool emOrdem = FIndice.empty()
                         || ((pos == 0 || Menor(FVista[pos - 1], s)) && (pos + 1 == n || Menor(s, FVista[pos + 1])));
    if (emOrdem && Passa(s)) {
        FPos = pos;
        return;
    }
    FVista.erase(pos);
    FPos = pos;
    ColocarNaVista(s, pos);
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
    for (qsizetype i = 0; i < qsizetype(FVista.size()); ++i)
        if (confere(FVista[i]))
            return irPara(i);
    // Not among the rows read: packet after packet, looking at the new rows only.
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
    const qint32 anterior = GetBookmark();
    RefazerVista(false);
    AvisarDados();
    AvisarRolagem(anterior);
}

void TnClientDataSet::CancelRange()
{
    if (!FRangeAtivo)
        return;
    FRangeAtivo = false;
    FRangeInicio.clear();
    FRangeFim.clear();
    if (Active()) {
        CheckBrowseMode();
        RefazerVista(true);
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
    return FVista.Procurar(qint32(b)) < FVista.size();
}

void TnClientDataSet::GotoBookmark(TnBookmark b)
{
    ExigirNavegacao();
    const qsizetype pos = b < 0 ? FVista.size() : FVista.Procurar(qint32(b));
    if (pos == FVista.size())
        throw Exception(QStringLiteral("Registro não encontrado."));
    const qint32 anterior = GetBookmark();
    FPos = pos;
    FEof = FBof = false;
    AvisarRolagem(anterior);
}
