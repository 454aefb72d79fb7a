#include "DadosColunares.h"

#include <QDateTime>
#include <QStringDecoder>
#include <algorithm>

namespace nDataHora {
namespace {
constexpr qint64 kMsDia = 86400000;
}

qint64 ParaNumero(const QDateTime &dt)
{
    return ParaNumero(dt.date(), dt.time());
}

qint64 ParaNumero(const QDate &d, const QTime &t)
{
    return d.toJulianDay() * kMsDia + (t.isValid() ? t.msecsSinceStartOfDay() : 0);
}

QDateTime DeNumero(qint64 v, Qt::TimeSpec spec)
{
    qint64 dia = v / kMsDia, ms = v % kMsDia;
    if (ms < 0) {
        ms += kMsDia;
        --dia;
    }
    const QDate d = QDate::fromJulianDay(dia);
    const QTime t = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
    QDateTime r(d, t, spec);
    // A local time a change to summer time skips does not exist as a local date-time: the
    // same fields are kept, in UTC, rather than lost.
    if (!r.isValid() && spec == Qt::LocalTime)
        r = QDateTime(d, t, Qt::UTC);
    return r;
}
} // namespace nDataHora

namespace {
template <class T> int Ordem3(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }
} // namespace

TnColuna::TnColuna(TFieldType tipo) : FTipo(tipo)
{
    switch (tipo) {
    case ftSmallint: FArmazenamento = arI16; break;
    case ftInteger: FArmazenamento = arI32; break;
    case ftLargeint:
    case ftBCD:
    case ftDate:
    case ftDateTime: FArmazenamento = arI64; break;
    case ftFloat: FArmazenamento = arF64; break;
    case ftBoolean: FArmazenamento = arB8; break;
    default: FArmazenamento = arTexto; break;
    }
}

void TnColuna::Limpar()
{
    // Swapping with empty vectors gives the memory back, not only the size.
    FI16 = {};
    FI32 = {};
    FI64 = {};
    FF64 = {};
    FB8 = {};
    FTexto = {};
    FInicio = {};
    FTamanho = {};
    FNulos = {};
    FLinhas = 0;
}

void TnColuna::Truncar(qsizetype n)
{
    if (n >= FLinhas)
        return;
    switch (FArmazenamento) {
    case arI16: FI16.resize(n); break;
    case arI32: FI32.resize(n); break;
    case arI64: FI64.resize(n); break;
    case arF64: FF64.resize(n); break;
    case arB8: FB8.resize(n); break;
    case arTexto:
        FInicio.resize(n);
        FTamanho.resize(n);
        break;
    }
    const qsizetype palavras = (n + 63) >> 6;
    if (qsizetype(FNulos.size()) > palavras)
        FNulos.resize(palavras);
    if ((n & 63) && qsizetype(FNulos.size()) == palavras)
        FNulos.back() &= (quint64(1) << (n & 63)) - 1;
    FLinhas = n;
}

void TnColuna::MarcarNulo(qsizetype l, bool nulo)
{
    const qsizetype w = l >> 6;
    if (w >= static_cast<qsizetype>(FNulos.size())) {
        if (!nulo)
            return;
        FNulos.resize(std::max<qsizetype>(w + 1, (FLinhas + 63) >> 6), 0);
    }
    if (nulo)
        FNulos[w] |= quint64(1) << (l & 63);
    else
        FNulos[w] &= ~(quint64(1) << (l & 63));
}

void TnColuna::AcrescentarNulo()
{
    switch (FArmazenamento) {
    case arI16: FI16.push_back(0); break;
    case arI32: FI32.push_back(0); break;
    case arI64: FI64.push_back(0); break;
    case arF64: FF64.push_back(0); break;
    case arB8: FB8.push_back(0); break;
    case arTexto:
        FInicio.push_back(0);
        FTamanho.push_back(0);
        break;
    }
    MarcarNulo(FLinhas++, true);
}

void TnColuna::AcrescentarVazio()
{
    if (FArmazenamento == arTexto) {
        FInicio.push_back(static_cast<qint64>(FTexto.size()));
        FTamanho.push_back(0);
        ++FLinhas;
    } else {
        AcrescentarInteiro(0);
    }
}

void TnColuna::AcrescentarInteiro(qint64 v)
{
    switch (FArmazenamento) {
    case arI16: FI16.push_back(static_cast<qint16>(v)); break;
    case arI32: FI32.push_back(static_cast<qint32>(v)); break;
    case arI64: FI64.push_back(v); break;
    case arF64: FF64.push_back(static_cast<double>(v)); break;
    case arB8: FB8.push_back(v != 0); break;
    case arTexto: AcrescentarTexto(QString::number(v)); return;
    }
    ++FLinhas;
}

void TnColuna::AcrescentarReal(double v)
{
    if (FArmazenamento == arF64) {
        FF64.push_back(v);
        ++FLinhas;
    } else {
        AcrescentarInteiro(static_cast<qint64>(v));
    }
}

void TnColuna::AcrescentarTexto(QStringView v)
{
    Q_ASSERT(FArmazenamento == arTexto);
    FInicio.push_back(static_cast<qint64>(FTexto.size()));
    FTamanho.push_back(static_cast<qint32>(v.size()));
    FTexto.insert(FTexto.end(), v.utf16(), v.utf16() + v.size());
    ++FLinhas;
}

void TnColuna::AcrescentarUtf8(QByteArrayView v)
{
    Q_ASSERT(FArmazenamento == arTexto);
    // A UTF-8 text never takes more UTF-16 units than it has bytes. Each value is decoded
    // on its own and keeps a leading byte order mark, as a conversion to a string would.
    const size_t inicio = FTexto.size();
    FTexto.resize(inicio + size_t(v.size()));
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QChar *const base = reinterpret_cast<QChar *>(FTexto.data() + inicio);
    const qsizetype n = dec.appendToBuffer(base, v) - base;
    FTexto.resize(inicio + size_t(n));
    FInicio.push_back(static_cast<qint64>(inicio));
    FTamanho.push_back(static_cast<qint32>(n));
    ++FLinhas;
}

void TnColuna::AcrescentarDe(const TnColuna &outra, qsizetype linha)
{
    if (outra.Nulo(linha))
        AcrescentarNulo();
    else if (FArmazenamento == arTexto)
        AcrescentarTexto(outra.Texto(linha));
    else if (FArmazenamento == arF64)
        AcrescentarReal(outra.Real(linha));
    else
        AcrescentarInteiro(outra.Inteiro(linha));
}

qint64 TnColuna::Inteiro(qsizetype l) const
{
    switch (FArmazenamento) {
    case arI16: return FI16[l];
    case arI32: return FI32[l];
    case arI64: return FI64[l];
    case arF64: return static_cast<qint64>(FF64[l]);
    case arB8: return FB8[l];
    case arTexto: return 0;
    }
    return 0;
}

double TnColuna::Real(qsizetype l) const
{
    return FArmazenamento == arF64 ? FF64[l] : static_cast<double>(Inteiro(l));
}

void TnColuna::Ler(qsizetype l, TnCelula &c) const
{
    c.Nulo = Nulo(l);
    c.I = 0;
    c.F = 0;
    // A cell read again and again (a provider binding row after row) keeps its own text's
    // storage: a text is copied into it, not allocated per value.
    const bool propria = c.S.isDetached();
    if (!c.Nulo && FArmazenamento == arTexto) {
        const QStringView t = Texto(l);
        if (propria && c.S.capacity() >= t.size()) {
            c.S.resize(t.size());
            std::copy(t.begin(), t.end(), c.S.data());
        } else {
            c.S = t.toString();
        }
        return;
    }
    if (propria)
        c.S.truncate(0);
    else
        c.S.clear();
    if (c.Nulo)
        return;
    if (FArmazenamento == arF64)
        c.F = FF64[l];
    else
        c.I = Inteiro(l);
}

void TnColuna::GravarTexto(qsizetype l, QStringView v)
{
    // A text that fits where the old one was reuses its place; a longer one goes to the end.
    if (v.size() > FTamanho[l]) {
        FInicio[l] = static_cast<qint64>(FTexto.size());
        FTexto.insert(FTexto.end(), v.utf16(), v.utf16() + v.size());
    } else {
        std::copy(v.utf16(), v.utf16() + v.size(), FTexto.begin() + FInicio[l]);
    }
    FTamanho[l] = static_cast<qint32>(v.size());
}

void TnColuna::Escrever(qsizetype l, const TnCelula &c)
{
    MarcarNulo(l, c.Nulo);
    switch (FArmazenamento) {
    case arI16: FI16[l] = c.Nulo ? 0 : static_cast<qint16>(c.I); break;
    case arI32: FI32[l] = c.Nulo ? 0 : static_cast<qint32>(c.I); break;
    case arI64: FI64[l] = c.Nulo ? 0 : c.I; break;
    case arF64: FF64[l] = c.Nulo ? 0 : c.F; break;
    case arB8: FB8[l] = c.Nulo ? 0 : c.I != 0; break;
    case arTexto: GravarTexto(l, c.Nulo ? QStringView() : QStringView(c.S)); break;
    }
}

void TnColuna::CopiarDe(const TnColuna &outra, qsizetype origem, qsizetype destino)
{
    const bool nulo = outra.Nulo(origem);
    MarcarNulo(destino, nulo);
    switch (FArmazenamento) {
    case arI16: FI16[destino] = outra.FI16[origem]; break;
    case arI32: FI32[destino] = outra.FI32[origem]; break;
    case arI64: FI64[destino] = outra.FI64[origem]; break;
    case arF64: FF64[destino] = outra.FF64[origem]; break;
    case arB8: FB8[destino] = outra.FB8[origem]; break;
    case arTexto: GravarTexto(destino, nulo ? QStringView() : outra.Texto(origem)); break;
    }
}

int TnColuna::Comparar(qsizetype a, qsizetype b) const
{
    const bool na = Nulo(a), nb = Nulo(b);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    switch (FArmazenamento) {
    case arI16: return Ordem3(FI16[a], FI16[b]);
    case arI32: return Ordem3(FI32[a], FI32[b]);
    case arI64: return Ordem3(FI64[a], FI64[b]);
    case arF64: return Ordem3(FF64[a], FF64[b]);
    case arB8: return Ordem3(FB8[a], FB8[b]);
    case arTexto: return Texto(a).compare(Texto(b));
    }
    return 0;
}

int TnColuna::Comparar(qsizetype a, const TnCelula &c) const
{
    const bool na = Nulo(a);
    if (na || c.Nulo)
        return na == c.Nulo ? 0 : (na ? -1 : 1);
    switch (FArmazenamento) {
    case arF64: return Ordem3(FF64[a], c.F);
    case arTexto: return Texto(a).compare(QStringView(c.S));
    default: return Ordem3(Inteiro(a), c.I);
    }
}

namespace {
quint64 Misturar(quint64 x)
{
    // splitmix64's finaliser: nearby integers (codes, days) spread over the whole range.
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}
constexpr quint64 kHashNulo = 0x6e756c6cULL;
} // namespace

quint64 TnColuna::Hash(qsizetype l) const
{
    if (Nulo(l))
        return kHashNulo;
    return FArmazenamento == arTexto ? Misturar(qHash(Texto(l))) : Misturar(quint64(Inteiro(l)));
}

quint64 TnColuna::Hash(const TnCelula &c) const
{
    if (c.Nulo)
        return kHashNulo;
    return FArmazenamento == arTexto ? Misturar(qHash(QStringView(c.S))) : Misturar(quint64(c.I));
}

bool TnColuna::Igual(qsizetype a, const TnColuna &outra, qsizetype b) const
{
    const bool na = Nulo(a), nb = outra.Nulo(b);
    if (na || nb)
        return na == nb;
    switch (FArmazenamento) {
    case arF64: return FF64[a] == outra.FF64[b];
    case arTexto: return Texto(a) == outra.Texto(b);
    default: return Inteiro(a) == outra.Inteiro(b);
    }
}

// ---------------------------------------------------------------------------------------

TnDadosColunares::TnDadosColunares(const std::vector<TFieldType> &tipos)
{
    FColunas.reserve(tipos.size());
    FOriginais.reserve(tipos.size());
    for (TFieldType t : tipos) {
        FColunas.emplace_back(t);
        FOriginais.emplace_back(t);
    }
}

qint32 TnDadosColunares::NovaLinha(TnEstadoLinha estado, qint32 antesDe)
{
    // Zeros, not nulls: the caller writes every value next, and a column without nulls
    // keeps no null bits at all.
    for (TnColuna &c : FColunas)
        c.AcrescentarVazio();
    const qint32 s = Linhas();
    FEstados.push_back(elInalterada);
    DefinirEstado(s, estado);
    if (antesDe < 0 || Estado(antesDe) == elDescartada)
        FOrdem.Acrescentar(s);
    else
        FOrdem.InserirAntes(s, antesDe);
    return s;
}

namespace {
bool NoLog(quint8 x) { return x == elModificada || x == elInserida || x == elExcluida; }
} // namespace

void TnDadosColunares::Truncar(qint32 linhas)
{
    FBusca.reset();
    for (TnColuna &c : FColunas)
        c.Truncar(linhas);
    if (linhas < Linhas())
        FEstados.resize(linhas);
    FOrdem.Truncar(linhas);
}

void TnDadosColunares::DefinirEstado(qint32 s, TnEstadoLinha e)
{
    const bool antes = NoLog(FEstados[s]), depois = NoLog(e);
    FAlteracoes += int(depois) - int(antes);
    if (depois && !antes)
        FPendentes.push_back(s);
    if (e == elDescartada && FEstados[s] != elDescartada)
        FOrdem.Retirar(s);
    FEstados[s] = e;
}

std::vector<qint32> TnDadosColunares::SlotsPendentes()
{
    std::erase_if(FPendentes, [this](qint32 s) { return !NoLog(FEstados[s]); });
    std::sort(FPendentes.begin(), FPendentes.end());
    FPendentes.erase(std::unique(FPendentes.begin(), FPendentes.end()), FPendentes.end());
    return FPendentes;
}

QString TnDadosColunares::TextoChave(qint32 s) const
{
    QString r;
    for (int c : ColunasChave) {
        const TnColuna &col = FColunas[c];
        if (col.Nulo(s)) {
            r += u'\x1';
        } else if (col.GuardaTexto()) {
            const QStringView t = col.Texto(s);
            r += QString::number(t.size());
            r += u':';
            r += t;
        } else if (col.GuardaReal()) {
            r += QString::number(col.Real(s), 'g', 17);
        } else {
            r += QString::number(col.Inteiro(s));
        }
        r += u'\x2';
    }
    return r;
}

void TnDadosColunares::GuardarOriginal(qint32 s)
{
    if (TemOriginal(s))
        return;
    if (FOriginal.size() < FEstados.size())
        FOriginal.resize(FEstados.size(), -1);
    FOriginal[s] = static_cast<qint32>(FOriginais.empty() ? 0 : FOriginais[0].Linhas());
    for (int c = 0; c < Colunas(); ++c)
        FOriginais[c].AcrescentarDe(FColunas[c], s);
}

void TnDadosColunares::LiberarOriginal(qint32 s)
{
    // The copy stays in FOriginais until the whole log is merged or undone.
    if (TemOriginal(s))
        FOriginal[s] = -1;
}

void TnDadosColunares::Reverter(qint32 s)
{
    switch (Estado(s)) {
    case elInserida: DefinirEstado(s, elDescartada); break;
    case elModificada:
    case elExcluida:
        if (TemOriginal(s)) {
            for (int c = 0; c < Colunas(); ++c)
                FColunas[c].CopiarDe(FOriginais[c], FOriginal[s], s);
            LiberarOriginal(s);
            AnotarReescrita(s);
        }
        DefinirEstado(s, elInalterada);
        break;
    default: break;
    }
}

void TnDadosColunares::Consolidar(qint32 s)
{
    switch (Estado(s)) {
    case elInserida:
    case elModificada:
        LiberarOriginal(s);
        DefinirEstado(s, elInalterada);
        break;
    case elExcluida:
        LiberarOriginal(s);
        DefinirEstado(s, elDescartada);
        break;
    default: break;
    }
}

void TnDadosColunares::ReverterTudo()
{
    for (qint32 s : SlotsPendentes())
        Reverter(s);
    EsvaziarLog();
}

void TnDadosColunares::ConsolidarTudo()
{
    for (qint32 s : SlotsPendentes())
        Consolidar(s);
    EsvaziarLog();
}

void TnDadosColunares::EsvaziarLog()
{
    FPendentes.clear();
    FOriginal = {};
    for (TnColuna &c : FOriginais)
        c.Limpar();
}

void TnDadosColunares::Limpar()
{
    for (TnColuna &c : FColunas)
        c.Limpar();
    for (TnColuna &c : FOriginais)
        c.Limpar();
    FOriginal = {};
    FEstados = {};
    FOrdem.Limpar();
    FAlteracoes = 0;
    FPendentes = {};
    Fonte.reset();
    SalvasAlemDaFronteira.clear();
    UltimaDaFonte = -1;
    FBusca.reset();
}

bool TnDadosColunares::Candidatos(const std::vector<int> &colunas, const std::vector<TnCelula> &chave,
                                  std::vector<qint32> &saida)
{
    std::vector<size_t> hasheadas;
    for (size_t k = 0; k < colunas.size(); ++k)
        if (!FColunas[size_t(colunas[k])].GuardaReal())
            hasheadas.push_back(k);
    if (hasheadas.empty())
        return false;
    const auto hashDaLinha = [&](qint32 s) {
        quint64 h = 0;
        for (size_t k : hasheadas)
            h = (h ^ FColunas[size_t(colunas[k])].Hash(s)) * 0x100000001b3ULL;
        return h;
    };
    // Built again when it is of other columns, or when what it would take in is large
    // beside what it holds (a load of many rows, many edits).
    const qint32 n = Linhas();
    if (FBusca && FBusca->Colunas == colunas) {
        const size_t aTomar = size_t(n - FBusca->Vistos) + FBusca->Reescritas.size() + FBusca->Novos.size();
        if (aTomar > FBusca->Ordenados.size() / 4 + 1024)
            FBusca.reset();
    } else {
        FBusca.reset();
    }
    if (!FBusca) {
        FBusca = std::make_unique<TnBuscaPorValores>();
        FBusca->Colunas = colunas;
        FBusca->Ordenados.resize(size_t(n));
        for (qint32 s = 0; s < n; ++s)
            FBusca->Ordenados[size_t(s)] = {hashDaLinha(s), s};
        std::sort(FBusca->Ordenados.begin(), FBusca->Ordenados.end());
        FBusca->Vistos = n;
    }
    TnBuscaPorValores &b = *FBusca;
    for (qint32 s = b.Vistos; s < n; ++s)
        b.Novos.emplace(hashDaLinha(s), s);
    b.Vistos = n;
    for (qint32 s : b.Reescritas)
        b.Novos.emplace(hashDaLinha(s), s);
    b.Reescritas.clear();

    quint64 h = 0;
    for (size_t k : hasheadas)
        h = (h ^ FColunas[size_t(colunas[k])].Hash(chave[k])) * 0x100000001b3ULL;
    saida.clear();
    const auto faixa = std::equal_range(b.Ordenados.begin(), b.Ordenados.end(), std::pair<quint64, qint32>{h, 0},
                                        [](const auto &x, const auto &y) { return x.first < y.first; });
    for (auto it = faixa.first; it != faixa.second; ++it)
        saida.push_back(it->second);
    const auto novos = b.Novos.equal_range(h);
    for (auto it = novos.first; it != novos.second; ++it)
        saida.push_back(it->second);
    return true;
}

// ---------------------------------------------------------------------------------------

namespace {
// Ranks start this far apart, and never go past the ceiling: room for halving a gap 32
// times before ranks must be spread again, and for billions of slots.
constexpr qint64 kEspaco = qint64(1) << 32;
constexpr qint64 kTeto = qint64(1) << 62;
} // namespace

void TnOrdemNatural::Ligar(qint32 s, qint32 ant, qint32 prox)
{
    FAnt[size_t(s)] = ant;
    FProx[size_t(s)] = prox;
    (ant >= 0 ? FProx[size_t(ant)] : FCabeca) = s;
    (prox >= 0 ? FAnt[size_t(prox)] : FCauda) = s;
}

void TnOrdemNatural::Acrescentar(qint32 s)
{
    FLinhas = s + 1;
    if (FPostos.empty())
        return;
    FPostos.push_back(0);
    FAnt.push_back(-1);
    FProx.push_back(-1);
    const qint32 cauda = FCauda;
    Ligar(s, cauda, -1);
    const qint64 ultimo = cauda >= 0 ? FPostos[size_t(cauda)] : 0;
    if (ultimo < kTeto - kEspaco)
        FPostos[size_t(s)] = ultimo + kEspaco;
    else
        Espalhar(s);
}

void TnOrdemNatural::InserirAntes(qint32 s, qint32 antesDe)
{
    if (FPostos.empty()) {
        // From now on the order is a list: the slots so far, in their order.
        FPostos.resize(size_t(FLinhas));
        FAnt.resize(size_t(FLinhas));
        FProx.resize(size_t(FLinhas));
        for (qint32 k = 0; k < FLinhas; ++k) {
            FPostos[size_t(k)] = (k + 1) * kEspaco;
            FAnt[size_t(k)] = k - 1;
            FProx[size_t(k)] = k + 1 < FLinhas ? k + 1 : -1;
        }
        FCabeca = FLinhas > 0 ? 0 : -1;
        FCauda = FLinhas - 1;
        for (qint32 k : FRetiradas)
            Retirar(k);
        FRetiradas.clear();
    }
    FLinhas = s + 1;
    FPostos.push_back(0);
    FAnt.push_back(-1);
    FProx.push_back(-1);
    const qint32 ant = FAnt[size_t(antesDe)];
    Ligar(s, ant, antesDe);
    const qint64 lo = ant >= 0 ? FPostos[size_t(ant)] : 0, hi = FPostos[size_t(antesDe)];
    if (hi - lo >= 2)
        FPostos[size_t(s)] = lo + (hi - lo) / 2;
    else
        Espalhar(s);
}

void TnOrdemNatural::Espalhar(qint32 s)
{
    // Widens a window around `s` until its rows fit with room to spare between the ranks
    // just outside it, then spreads them evenly.
    for (qint64 meia = 32;; meia *= 2) {
        qint32 l = s, r = s;
        qint64 n = 1;
        for (qint64 k = 0; k < meia && FAnt[size_t(l)] >= 0; ++k, ++n)
            l = FAnt[size_t(l)];
        for (qint64 k = 0; k < meia && FProx[size_t(r)] >= 0; ++k, ++n)
            r = FProx[size_t(r)];
        const qint32 antes = FAnt[size_t(l)], depois = FProx[size_t(r)];
        const qint64 lo = antes >= 0 ? FPostos[size_t(antes)] : 0;
        const qint64 hi = depois >= 0 ? FPostos[size_t(depois)] : kTeto;
        if ((hi - lo) / (n + 1) >= 1024 || (antes < 0 && depois < 0)) {
            const qint64 passo = (hi - lo) / (n + 1);
            qint64 p = lo;
            for (qint32 k = l;; k = FProx[size_t(k)]) {
                p += passo;
                FPostos[size_t(k)] = p;
                if (k == r)
                    break;
            }
            return;
        }
    }
}

void TnOrdemNatural::Retirar(qint32 s)
{
    if (FPostos.empty()) {
        // Slots that leave before the order is a list are left out when it becomes one.
        FRetiradas.push_back(s);
        return;
    }
    if (s >= qint32(FPostos.size()) || (FAnt[size_t(s)] < 0 && FCabeca != s))
        return; // not in the list
    const qint32 ant = FAnt[size_t(s)], prox = FProx[size_t(s)];
    (ant >= 0 ? FProx[size_t(ant)] : FCabeca) = prox;
    (prox >= 0 ? FAnt[size_t(prox)] : FCauda) = ant;
    FAnt[size_t(s)] = FProx[size_t(s)] = -1;
}

void TnOrdemNatural::Truncar(qint32 n)
{
    if (n >= FLinhas)
        return;
    std::erase_if(FRetiradas, [n](qint32 s) { return s >= n; });
    if (!FPostos.empty()) {
        for (qint32 s = n; s < FLinhas; ++s)
            Retirar(s);
        FPostos.resize(size_t(n));
        FAnt.resize(size_t(n));
        FProx.resize(size_t(n));
    }
    FLinhas = n;
}

void TnOrdemNatural::Limpar()
{
    FPostos = {};
    FAnt = {};
    FProx = {};
    FRetiradas = {};
    FCabeca = FCauda = -1;
    FLinhas = 0;
}
