#include "ClientDataSet.h"

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

namespace {
// Type of a result column the engine did not describe, from the first row's value.
TFieldType TipoDoValor(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt: return ftLargeint;
    case QMetaType::Double: return ftFloat;
    case QMetaType::QDate: return ftDate;
    case QMetaType::QDateTime: return ftDateTime;
    case QMetaType::Bool: return ftBoolean;
    default: return ftMemo;
    }
}
} // namespace

// How each field is fed: from which cursor column and into which storage. Calculated
// fields and fields the query lacks stay null.
enum ModoLeitura : quint8 { mNulo, mI16, mI32, mI64, mF64, mB8, mBCD, mData, mDataHora, mTexto };
struct TnClientDataSet::Leitura {
    int Origem = -1;
    ModoLeitura M = mNulo;
    int Escala = 0;
};

void TnClientDataSet::ExigirSemAlteracoes() const
{
    if (Active() && (FEstado != dsBrowse || ChangeCount() > 0))
        throw Exception(QStringLiteral(
            "Há alterações pendentes neste conjunto de dados; aplique-as ou cancele-as antes de recarregá-lo."));
}

void TnClientDataSet::CriarCamposDe(TnCursor &cursor, bool temLinha)
{
    if (!FCampos.empty() && !FCamposAutomaticos)
        return;
    Close();
    DescartarCamposAutomaticos();
    for (int i = 0; i < cursor.Colunas(); ++i) {
        const TnColunaInfo &ci = cursor.Coluna(i);
        TnDefCampo d;
        d.Nome = ci.Nome;
        d.Tipo = ci.Tipo;
        d.Tamanho = ci.Tamanho;
        d.Precisao = ci.Precisao;
        d.Escala = ci.Escala;
        if (d.Tipo == ftUnknown)
            d.Tipo = temLinha && !cursor.Nulo(i) ? TipoDoValor(cursor.Valor(i)) : ftMemo;
        // A numeric without a known precision, or wider than 18 digits, cannot be kept
        // exactly in 64 bits; it is read as a double.
        if (d.Tipo == ftBCD && (d.Precisao <= 0 || d.Precisao > 18 || d.Escala < 0 || d.Escala > d.Precisao))
            d.Tipo = ftFloat;
        if (FindField(d.Nome))
            d.Nome = QStringLiteral("%1_%2").arg(d.Nome).arg(i + 1);
        AdicionarCampo(d);
    }
    FCamposAutomaticos = true;
}

std::vector<TnClientDataSet::Leitura> TnClientDataSet::LeiturasDe(TnCursor &cursor) const
{
    std::vector<Leitura> leituras(FCampos.size());
    for (int i = 0; i < cursor.Colunas(); ++i) {
        TnField *f = FindField(cursor.Coluna(i).Nome);
        if (!f || f->FieldKind() != fkData || leituras[f->Index()].Origem >= 0)
            continue;
        Leitura &l = leituras[f->Index()];
        l.Origem = i;
        l.Escala = f->Scale();
        switch (f->DataType()) {
        case ftSmallint: l.M = mI16; break;
        case ftInteger: l.M = mI32; break;
        case ftLargeint: l.M = mI64; break;
        case ftFloat: l.M = mF64; break;
        case ftBoolean: l.M = mB8; break;
        case ftBCD: l.M = mBCD; break;
        case ftDate: l.M = mData; break;
        case ftDateTime: l.M = mDataHora; break;
        default: l.M = mTexto; break;
        }
    }
    return leituras;
}

std::shared_ptr<TnDadosColunares> TnClientDataSet::NovosDados() const
{
    std::vector<TFieldType> tipos;
    for (const auto &f : FCampos)
        tipos.push_back(f->DataType());
    return std::make_shared<TnDadosColunares>(tipos);
}

qsizetype TnClientDataSet::LerLinhas(TnDadosColunares &dados, TnCursor &cursor, const std::vector<Leitura> &leituras,
                                     bool temLinha, qsizetype maximo) const
{
    const int n = FieldCount();
    qsizetype lidas = 0;
    while (temLinha) {
        for (int c = 0; c < n; ++c) {
            TnColuna &col = dados.Coluna(c);
            const Leitura &l = leituras[c];
            const int i = l.Origem;
            if (l.M == mNulo || cursor.Nulo(i)) {
                col.AcrescentarNulo();
                continue;
            }
            switch (l.M) {
            case mI16: col.AcrescentarI16(static_cast<qint16>(cursor.Inteiro(i))); break;
            case mI32: col.AcrescentarI32(static_cast<qint32>(cursor.Inteiro(i))); break;
            case mI64: col.AcrescentarI64(cursor.Inteiro(i)); break;
            case mF64: col.AcrescentarF64(cursor.Real(i)); break;
            case mB8: col.AcrescentarB8(cursor.Inteiro(i) != 0); break;
            case mBCD: {
                // The double decides unless it is too close to a half or too large; then
                // the exact text does.
                qint64 e = 0;
                const double r = cursor.Real(i);
                if (!nDecimal::DeRealRapido(r, l.Escala, e) && !nDecimal::DeTexto(cursor.Texto(i), l.Escala, e)
                    && !nDecimal::DeReal(r, l.Escala, e))
                    throw EConvertError(QStringLiteral("O valor %1 não cabe no campo \"%2\".")
                                            .arg(cursor.Texto(i), FCampos[c]->DisplayLabel()));
                col.AcrescentarI64(e);
                break;
            }
            case mData: {
                const QDate d = cursor.Data(i);
                d.isValid() ? col.AcrescentarI64(d.toJulianDay()) : col.AcrescentarNulo();
                break;
            }
            case mDataHora: {
                QDate d;
                QTime t;
                // Straight to the stored number: no QDateTime per value.
                cursor.DataHoraPartes(i, d, t) && d.isValid() ? col.AcrescentarI64(nDataHora::ParaNumero(d, t))
                                                              : col.AcrescentarNulo();
                break;
            }
            default: col.AcrescentarTexto(cursor.Texto(i)); break;
            }
        }
        dados.AcrescentarCarregada();
        // The cursor is not moved past the last row taken: a packet leaves the rest.
        if (++lidas == maximo)
            break;
        temLinha = cursor.Proximo();
    }
    return lidas;
}

void TnClientDataSet::CarregarDe(TnCursor &cursor)
{
    ExigirSemAlteracoes();
    const bool temLinha = cursor.Proximo();
    CriarCamposDe(cursor, temLinha);
    const std::vector<Leitura> leituras = LeiturasDe(cursor);
    Recarregar([&](TnDadosColunares &dados) { LerLinhas(dados, cursor, leituras, temLinha, -1); });
}

void TnClientDataSet::Recarregar(const std::function<void(TnDadosColunares &)> &ler)
{
    std::shared_ptr<TnDadosColunares> dados = FDados ? FDados : NovosDados();
    dados->Limpar();
    try {
        ler(*dados);
    } catch (...) {
        // Columns may be of unequal length now: nothing of this load stays.
        dados->Limpar();
        if (Active()) {
            AvisarOutrosCursores();
            RefazerVista(false);
        }
        throw;
    }
    if (Active())
        AvisarOutrosCursores();
    Abrir(std::move(dados));
}

// ---- reading in packets -----------------------------------------------------------------

namespace {
// The storage a source appends to, for the scope's length.
class TnCarga {
public:
    TnCarga(TnDadosColunares *&carga, TnDadosColunares &dados) : FCarga(carga)
    {
        if (FCarga)
            throw Exception(QStringLiteral("A leitura de um pacote já está em andamento."));
        FCarga = &dados;
    }
    ~TnCarga() { FCarga = nullptr; }
    TnCarga(const TnCarga &) = delete;
    TnCarga &operator=(const TnCarga &) = delete;

private:
    TnDadosColunares *&FCarga;
};
} // namespace

void TnClientDataSet::AbrirPaginado(std::shared_ptr<TnFontePacotes> fonte)
{
    if (!fonte)
        throw Exception(QStringLiteral("Nenhuma origem de registros informada."));
    ExigirSemAlteracoes();
    if (FCampos.empty())
        throw Exception(QStringLiteral("O conjunto de dados não tem campos declarados."));
    const std::vector<int> chave = ColunasDe(fonte->Chave());
    Recarregar([&](TnDadosColunares &dados) {
        dados.ColunasChave = chave;
        dados.Fonte = fonte;
        LerDaFonte(dados);
    });
}

void TnClientDataSet::LerDaFonte(TnDadosColunares &dados)
{
    const std::shared_ptr<TnFontePacotes> fonte = dados.Fonte; // alive past the reset below
    TnCarga carga(FCarga, dados);
    if (!fonte->LerPacote(*this, FPacketRecords > 0 ? FPacketRecords : 0)) {
        dados.Fonte.reset();
        dados.SalvasAlemDaFronteira.clear();
    }
}

int TnClientDataSet::AcrescentarPacote(TnCursor &cursor, int maximo)
{
    if (!FCarga)
        throw Exception(QStringLiteral("Pacote de registros fora da leitura do conjunto de dados."));
    TnDadosColunares &dados = *FCarga;
    const qint32 inicio = dados.Linhas();
    const bool temLinha = cursor.Proximo();
    qsizetype lidas = 0;
    try {
        lidas = LerLinhas(dados, cursor, LeiturasDe(cursor), temLinha, maximo > 0 ? maximo : -1);
    } catch (...) {
        dados.Truncar(inicio);
        throw;
    }
    if (lidas == 0)
        return 0;
    const qint32 ultima = dados.Linhas() - 1;
    dados.UltimaDaFonte = ultima;
    FUltimaLida.resize(FCampos.size());
    for (int c = 0; c < FieldCount(); ++c)
        dados.Coluna(c).Ler(ultima, FUltimaLida[c]);
    // A row saved here beyond the rows read comes again in the packet that reaches it: the
    // copy read now goes (only while the saved row is still here with that key).
    auto &salvas = dados.SalvasAlemDaFronteira;
    for (qint32 s = inicio; s <= ultima && !salvas.empty(); ++s) {
        const auto it = salvas.find(dados.TextoChave(s));
        if (it == salvas.end())
            continue;
        const qint32 local = it->second;
        const TnEstadoLinha e = dados.Estado(local);
        const bool guardada = e != elDescartada && e != elInserida && dados.TextoChave(local) == it->first;
        salvas.erase(it);
        if (guardada)
            dados.DefinirEstado(s, elDescartada);
    }
    return int(lidas);
}

int TnClientDataSet::BuscarPacote()
{
    if (TodosLidos())
        return 0;
    const qint32 inicio = FDados->Linhas();
    try {
        LerDaFonte(*FDados);
    } catch (...) {
        IncorporarLidas(inicio); // whatever was appended before the failure is shown
        throw;
    }
    return IncorporarLidas(inicio);
}

void TnClientDataSet::BuscarTodos()
{
    if (TodosLidos())
        return;
    // The rest in one go: one statement instead of one per packet.
    const int pacote = std::exchange(FPacketRecords, 0);
    const auto restaurar = qScopeGuard([this, pacote] { FPacketRecords = pacote; });
    BuscarPacote();
}

int TnClientDataSet::IncorporarLidas(qint32 inicio)
{
    AvisarOutrosCursores();
    std::vector<qint32> novas;
    for (qint32 s = inicio; s < FDados->Linhas(); ++s)
        if (FDados->Visivel(s) && Passa(s))
            novas.push_back(s);
    if (FVistaDesatualizada) {
        AvisarDados(); // the view is rebuilt, with the new rows, when next read
        return int(novas.size());
    }
    if (novas.empty())
        return 0;
    const bool vazia = FPos < 0;
    // In the order of the index the packet usually follows the rows read: it goes at the
    // end. Rows that sort among those read (another collation on the server, a row saved
    // beyond the rows read) are put in their places and the views told to start again.
    bool noFim = true;
    if (!FIndice.empty()) {
        qint32 ultima = FVista.empty() ? -1 : FVista[FVista.size() - 1];
        for (qint32 s : novas) {
            if (ultima >= 0 && Menor(s, ultima)) {
                noFim = false;
                break;
            }
            ultima = s;
        }
    }
    if (noFim) {
        const int primeira = int(FVista.size());
        Avisar([&](TnObservadorDataSet *o) { o->AntesDeAcrescentar(*this, primeira, int(novas.size())); });
        for (qint32 s : novas)
            FVista.push_back(s);
    } else {
        for (qint32 s : novas) {
            const qsizetype pos = FVista.LimiteInferior([this, s](qint32 a) { return Menor(a, s); });
            FVista.insert(pos, s);
            if (FPos >= pos)
                ++FPos;
        }
    }
    if (FPos < 0) {
        FPos = 0;
        FBof = true;
        FEof = false;
    }
    if (noFim)
        Avisar([&](TnObservadorDataSet *o) { o->Acrescentados(*this); });
    else
        AvisarDados();
    if (vazia && FEstado != dsInsert)
        AvisarRolagem(-1); // the first row became current
    return int(novas.size());
}

bool TnClientDataSet::Assentada(qsizetype pos) const
{
    if (pos >= qsizetype(FVista.size()))
        return false;
    // A row saved here that sorts after the last row read has rows of later packets
    // before it: moving onto it would pass over them.
    const qint32 fronteira = FDados->UltimaDaFonte;
    return FIndice.empty() || fronteira < 0 || !Menor(fronteira, FVista[pos]);
}

void TnClientDataSet::AnotarSalvaAlemDaFronteira(qint32 s)
{
    if (TodosLidos() || FDados->ColunasChave.empty())
        return;
    FDados->SalvasAlemDaFronteira[FDados->TextoChave(s)] = s;
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

// ---- state and notification -------------------------------------------------------------

template <class F> void TnClientDataSet::Avisar(F &&f)
{
    if (FControlesDesativados > 0)
        return;
    const auto observadores = FObservadores; // an observer may remove itself
    for (TnObservadorDataSet *o : observadores)
        f(o);
}

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
    FPosInsercao = fim ? qsizetype(FVista.size()) : FPos;
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
        ColocarNaVista(s, FPosInsercao);
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
            for (int c = 0; c < n; ++c)
                FDados->Coluna(c).Escrever(s, FBuffer[c]);
            if (anotar && FDados->TextoChave(s) != chaveAntes)
                AnotarSalvaAlemDaFronteira(s); // its new key may lie beyond the rows read
            Reposicionar(s);
        }
    }
    FSlotEdicao = -1;
    FModificado = false;
    MudarEstado(dsBrowse);
    AvisarOutrosCursores();
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
    FDados->DefinirEstado(s, registrar ? elExcluida : elDescartada);
    FVista.erase(FPos);
    Posicionar(FPos);
    FEof = FBof = FVista.empty();
    AvisarOutrosCursores();
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
    AvisarOutrosCursores();
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

// ---- provider ---------------------------------------------------------------------------

int TnClientDataSet::ApplyUpdates(int maxErrors)
{
    ExigirAtivo();
    if (!FProvider)
        throw Exception(QStringLiteral("O conjunto de dados não tem provedor para gravar as alterações."));
    CheckBrowseMode();
    return FProvider->Aplicar(*this, maxErrors);
}
