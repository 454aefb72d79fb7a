// TnClientDataSet: reading rows from a cursor, whole or in packets of a source, into the
// column storage.
#include "ClientDataSet.h"

#include "Conexao.h"
#include "CursorDerivado.h"
#include "Decimal.h"
#include "Filtro.h"
#include "Provider.h"
#include "Valores.h"

#include <algorithm>

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
enum ModoLeitura : quint8 { mNulo, mI16, mI32, mI64, mF64, mB8, mBCD, mData, mDataHora, mTexto, mTextoUtf8 };
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
        default: l.M = cursor.TextosEmUtf8() ? mTextoUtf8 : mTexto; break;
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
                qint64 e = 0;
                if (!cursor.Decimal(i, l.Escala, e))
                    throw EConvertError(QStringLiteral("O valor %1 não cabe no campo \"%2\".")
                                            .arg(TrechoCitado(cursor.Texto(i)), FCampos[c]->DisplayLabel()));
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
            case mTextoUtf8: col.AcrescentarUtf8(cursor.TextoUtf8(i)); break;
            default: col.AcrescentarTexto(cursor.TextoDireto(i)); break;
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

TnCursor &TnClientDataSet::Derivado(TnCursor &cursor, std::unique_ptr<TnCursorDerivado> &derivado) const
{
    if (!FDerivacao)
        return cursor;
    derivado = std::make_unique<TnCursorDerivado>(cursor);
    FDerivacao(*derivado);
    return *derivado;
}

void TnClientDataSet::CarregarDe(TnCursor &origem)
{
    std::unique_ptr<TnCursorDerivado> derivado;
    TnCursor &cursor = Derivado(origem, derivado);
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

void TnClientDataSet::AbrirVazio()
{
    ExigirSemAlteracoes();
    if (!CamposDeclarados())
        throw Exception(QStringLiteral("O conjunto de dados não tem campos declarados."));
    Recarregar([](TnDadosColunares &) {});
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

int TnClientDataSet::AcrescentarPacote(TnCursor &origem, int maximo)
{
    if (!FCarga)
        throw Exception(QStringLiteral("Pacote de registros fora da leitura do conjunto de dados."));
    std::unique_ptr<TnCursorDerivado> derivado;
    TnCursor &cursor = Derivado(origem, derivado);
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

int TnClientDataSet::AcrescentarAvulsa(TnCursor &origem)
{
    if (!FCarga)
        throw Exception(QStringLiteral("Pacote de registros fora da leitura do conjunto de dados."));
    std::unique_ptr<TnCursorDerivado> derivado;
    TnCursor &cursor = Derivado(origem, derivado);
    TnDadosColunares &dados = *FCarga;
    const qint32 s = dados.Linhas();
    if (!cursor.Proximo())
        return 0;
    try {
        LerLinhas(dados, cursor, LeiturasDe(cursor), true, 1);
    } catch (...) {
        dados.Truncar(s);
        throw;
    }
    // Kept like a row saved here beyond the rows read: the packet that brings it again
    // leaves that copy out. A row of that key saved here already is the one that counts.
    const QString chave = dados.TextoChave(s);
    if (dados.SalvasAlemDaFronteira.count(chave)) {
        dados.DefinirEstado(s, elDescartada);
        return 0;
    }
    dados.SalvasAlemDaFronteira[chave] = s;
    return 1;
}

int TnClientDataSet::LerLinhaDaFonte(const std::vector<int> &campos, const std::vector<TnCelula> &valores)
{
    if (TodosLidos() || FDados->ColunasChave.empty())
        return -1;
    const std::shared_ptr<TnFontePacotes> fonte = FDados->Fonte;
    const qint32 inicio = FDados->Linhas();
    int r;
    {
        TnCarga carga(FCarga, *FDados);
        r = fonte->LerLinha(*this, campos, valores);
    }
    if (FDados->Linhas() > inicio)
        IncorporarLidas(inicio);
    return r;
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
