#include "SuiteProduto.h"

#include "EsquemaTabelas.h"
#include "Esquema.h"
#include "Excecoes.h"
#include "Interacao.h"
#include "Literais.h"
#include "Personalizacao.h"
#include "SQLDataSet.h"
#include "Valores.h"

#include <QHash>
#include <algorithm>

QString ConstruirMascaraInv(int casasDecimais)
{
    const int casas = std::clamp(casasDecimais, 0, 10);
    return casas == 0 ? QStringLiteral("#0") : QStringLiteral("#0.") + QString(casas, QLatin1Char('0'));
}

namespace {

const QStringList kTributacaoICMS = {QStringLiteral("00"), QStringLiteral("10"), QStringLiteral("20"),
                                     QStringLiteral("30"), QStringLiteral("40"), QStringLiteral("41"),
                                     QStringLiteral("50"), QStringLiteral("51"), QStringLiteral("60"),
                                     QStringLiteral("70"), QStringLiteral("90")};
const QStringList kSimplesNacional = {QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("103"),
                                      QStringLiteral("201"), QStringLiteral("202"), QStringLiteral("203"),
                                      QStringLiteral("300"), QStringLiteral("400"), QStringLiteral("500"),
                                      QStringLiteral("900")};

QStringList CodigosICMS(int ultimaOrigem)
{
    QStringList r;
    for (int origem = 0; origem <= ultimaOrigem; ++origem)
        for (const QString &t : kTributacaoICMS)
            r.append(QString::number(origem) + t);
    return r + kSimplesNacional;
}

} // namespace

const QStringList &LstCSTValICMS()
{
    static const QStringList lista = CodigosICMS(2);
    return lista;
}

QStringList LstCSTICMS(const QDate &data)
{
    if (data.isValid() && data < QDate(2013, 1, 1))
        return LstCSTValICMS();
    return CodigosICMS(8);
}

QString SelecionarCstImposto(int tipoImposto, const QString &filtro, const QDate &data)
{
    if (tipoImposto != kImpostoICMS)
        return QString();
    QStringList codigos;
    for (const QString &c : LstCSTICMS(data))
        if (filtro.trimmed().isEmpty() || c.startsWith(filtro.trimmed()))
            codigos.append(c);
    const int i = Interacao().SelecionarItem(QStringLiteral("CST do ICMS"), codigos);
    return i >= 0 && i < codigos.size() ? codigos.at(i) : QString();
}

QStringList PegarGruposAnaliticos(int empresa, const QString &grupos)
{
    QStringList r;
    const QString escolhidos = FilterInterval(QStringLiteral("S.CODIGOGRUPOPRODUTO"), grupos);
    if (escolhidos.trimmed().isEmpty())
        return r;
    auto cmd = nDMConexao::Atual().Preparar(
        QStringLiteral("select distinct A.CODIGOGRUPOPRODUTO from GRUPOPRODUTO A join GRUPOPRODUTO S "
                       "on S.CODIGOEMPRESA = A.CODIGOEMPRESA "
                       "and (A.CODIGOGRUPOPRODUTO = S.CODIGOGRUPOPRODUTO or "
                       "substr(A.CLASSIFGRUPOPRODUTO, 1, length(S.CLASSIFGRUPOPRODUTO) + 1) = "
                       "S.CLASSIFGRUPOPRODUTO || '.') "
                       "where A.CODIGOEMPRESA = ? and A.TIPOGRUPOPRODUTO = 2 %1order by 1")
            .arg(escolhidos));
    cmd->BindInteiro(0, empresa);
    TnCursor &c = cmd->Abrir();
    while (c.Proximo())
        r.append(QString::number(c.Inteiro(0)));
    return r;
}

// ---- Product-group chart ------------------------------------------------------------------

namespace {

bool EhMarcadorDigito(QChar c) { return c == u'9' || c == u'0' || c == u'#'; }

} // namespace

bool ValidarMascaraPlanoContas(const QString &mascara)
{
    if (mascara.isEmpty() || mascara.size() > kTamanhoMaximoMascaraPlano)
        return false;
    for (QStringView nivel : QStringView(mascara).split(u'.')) {
        if (nivel.isEmpty())
            return false;
        for (QChar c : nivel)
            if (!EhMarcadorDigito(c))
                return false;
    }
    return true;
}

QString RetirarUltimoNivelClassificacao(const QString &classificacao)
{
    const qsizetype ponto = classificacao.lastIndexOf(u'.');
    return ponto < 0 ? QString() : classificacao.left(ponto);
}

QStringView NumeroNivelClassificacao(QStringView nivel)
{
    if (nivel.isEmpty())
        return {};
    for (QChar c : nivel)
        if (c < u'0' || c > u'9')
            return {};
    qsizetype i = 0;
    while (i + 1 < nivel.size() && nivel[i] == u'0')
        ++i;
    return nivel.mid(i);
}

namespace {

// The level that starts at `inicio` (up to the next "." or the end); `inicio` moves past it
// and its ".". False when no level is left.
bool ProximoNivel(QStringView texto, qsizetype &inicio, QStringView &nivel)
{
    if (inicio > texto.size())
        return false;
    qsizetype fim = texto.indexOf(u'.', inicio);
    if (fim < 0)
        fim = texto.size();
    nivel = texto.mid(inicio, fim - inicio);
    inicio = fim + 1;
    return true;
}

} // namespace

QString FormatarClassificacao(const QString &mascara, const QString &classificacao, bool *cabe)
{
    bool coube = true;
    QString r;
    if (!classificacao.isEmpty()) {
        r.reserve(std::max(mascara.size(), classificacao.size()));
        qsizetype posMascara = 0, posNivel = 0;
        QStringView digitos, nivel;
        bool primeiro = true;
        while (ProximoNivel(classificacao, posNivel, nivel)) {
            if (!primeiro)
                r += u'.';
            primeiro = false;
            const qsizetype largura = ProximoNivel(mascara, posMascara, digitos) ? digitos.size() : 0;
            if (largura == 0)
                coube = false; // more levels than the mask
            const QStringView numero = NumeroNivelClassificacao(nivel);
            if (numero.isEmpty() || numero.size() > largura) {
                coube = false;
                r += nivel;
            } else {
                r += QString(largura - numero.size(), u'0');
                r += numero;
            }
        }
    }
    if (cabe)
        *cabe = coube;
    return r;
}

bool MesmosNumerosDeNivel(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty()) // an empty classification has no levels
        return a.isEmpty() && b.isEmpty();
    qsizetype pa = 0, pb = 0;
    QStringView na, nb;
    for (;;) {
        const bool temA = ProximoNivel(a, pa, na), temB = ProximoNivel(b, pb, nb);
        if (temA != temB)
            return false;
        if (!temA)
            return true;
        const QStringView numero = NumeroNivelClassificacao(na);
        if (numero.isEmpty() || numero != NumeroNivelClassificacao(nb))
            return false;
    }
}

// ---- Product utility ----------------------------------------------------------------------

namespace {

const TnTabelaEsq &TabelaProduto()
{
    static const TnTabelaEsq *t = TabelaDoEsquema(EsquemaInv(), QStringLiteral("PRODUTO"));
    if (!t)
        throw Exception(QStringLiteral("Tabela PRODUTO ausente do esquema."));
    return *t;
}

// Position of a PRODUTO column by its name in upper case.
const QHash<QString, int> &PosicoesProduto()
{
    static const QHash<QString, int> posicoes = [] {
        QHash<QString, int> r;
        for (int i = 0; i < int(TabelaProduto().Colunas.size()); ++i)
            r.insert(TabelaProduto().Colunas[size_t(i)].Nome, i);
        return r;
    }();
    return posicoes;
}

// Position of the column of that name (any case); -1 when PRODUTO has none.
int PosicaoProduto(const QString &nome)
{
    const QHash<QString, int> &p = PosicoesProduto();
    auto it = p.constFind(nome);
    if (it == p.constEnd())
        it = p.constFind(nome.trimmed().toUpper());
    return it == p.constEnd() ? -1 : *it;
}

const TnColunaEsq &ColunaProduto(int posicao) { return TabelaProduto().Colunas[size_t(posicao)]; }

constexpr int kEmpresa = 0, kCodigo = 1; // positions of the key in PRODUTO

// The value stored for a record value of that column: blank text is NULL, texts typed into
// number or date columns are converted (a text that is no value raises EConvertError).
QVariant ValorColuna(const TnColunaEsq &c, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    // A text is looked at through a view: an import passes a dozen per product.
    const bool texto = v.typeId() == QMetaType::QString;
    const QStringView aparado = texto ? QStringView(*static_cast<const QString *>(v.constData())).trimmed()
                                      : QStringView();
    if (texto && aparado.isEmpty())
        return QVariant();
    bool ok = true;
    QVariant r;
    switch (c.Tipo) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
        r = texto ? QVariant(aparado.toLongLong(&ok)) : QVariant(v.toLongLong(&ok));
        break;
    case ftFloat:
    case ftBCD:
        r = texto ? QVariant(aparado.toDouble(&ok)) : QVariant(v.toDouble(&ok));
        break;
    case ftDate:
        r = v.toDate();
        ok = r.toDate().isValid();
        break;
    default:
        if (texto)
            return v; // already the text stored
        r = v.toString();
    }
    if (!ok)
        throw EConvertError(QStringLiteral("Valor inválido para %1: %2").arg(c.Nome, TrechoCitado(v.toString())));
    return r;
}

// The product's row of the company under `condicao` (one "?" after the company's).
QString SelectProduto(const QString &condicao)
{
    return QStringLiteral("select %1 from PRODUTO where CODIGOEMPRESA = ? and %2 order by CODIGOPRODUTO")
        .arg(TnUtilProduto::Colunas().join(QStringLiteral(", ")), condicao);
}

const QString &SelectPorCodigo()
{
    static const QString sql = SelectProduto(QStringLiteral("CODIGOPRODUTO = ?"));
    return sql;
}

// A product code typed as text: one to eighteen digits 0-9 and nothing else.
bool EhNumero(QStringView t)
{
    return !t.isEmpty() && t.size() <= 18 && std::all_of(t.begin(), t.end(), [](QChar c) {
               return c >= u'0' && c <= u'9';
           });
}

} // namespace

TnRegistroProduto::TnRegistroProduto() : FValores(TnUtilProduto::Colunas().size()) {}

TnRegistroProduto::TnRegistroProduto(const QVariantMap &porNome) : TnRegistroProduto()
{
    for (auto it = porNome.constBegin(); it != porNome.constEnd(); ++it)
        Set(it.key(), it.value());
}

int TnRegistroProduto::Posicao(const QString &coluna)
{
    const int i = PosicaoProduto(coluna);
    if (i < 0)
        throw Exception(QStringLiteral("Coluna inexistente em PRODUTO: %1").arg(coluna));
    return i;
}

void TnRegistroProduto::Set(int posicao, const QVariant &valor)
{
    FValores[posicao] = valor;
    FPresentes |= 1u << posicao;
}

namespace {

// A reference in upper case, as the lookups compare them. Plain ASCII (nearly every
// reference) is turned on the stack; anything else goes through Qt's case mapping.
class TnReferenciaMaiuscula {
public:
    TnReferenciaMaiuscula(const TnReferenciaMaiuscula &) = delete;
    TnReferenciaMaiuscula &operator=(const TnReferenciaMaiuscula &) = delete;
    explicit TnReferenciaMaiuscula(QStringView t)
    {
        if (t.size() <= kLocal && std::all_of(t.begin(), t.end(), [](QChar c) { return c.unicode() < 0x80; })) {
            for (qsizetype i = 0; i < t.size(); ++i) {
                const char16_t c = t[i].unicode();
                FLocal[i] = c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
            }
            FTexto = QStringView(FLocal, t.size());
        } else {
            FLongo = t.toString().toUpper();
            FTexto = FLongo;
        }
    }
    QStringView Texto() const { return FTexto; }

private:
    static constexpr qsizetype kLocal = 128;
    char16_t FLocal[kLocal];
    QString FLongo;
    QStringView FTexto;
};

// An open-addressing table (linear probing, kept at most half full) over entries held in
// flat arrays: a preload of a hundred thousand products and the lookups of an import of as
// many touch one slot and one text each, and the whole goes in a few frees.
class TnTabelaAberta {
public:
    // The slot of `hash` where `igual` holds, or the empty slot where it would go.
    template <class Igual> size_t Procurar(size_t hash, Igual igual) const
    {
        const size_t mascara = FSlots.size() - 1;
        for (size_t i = hash & mascara;; i = (i + 1) & mascara)
            if (FSlots[i] == kVazio || (FHashes[FSlots[i]] == hash && igual(FSlots[i])))
                return i;
    }
    qint32 Entrada(size_t slot) const { return FSlots[slot]; }
    // Puts the next entry (numbered from 0, in the order they come) with `hash` in the empty
    // `slot` found for it; the table grows when it passes half full.
    void Ocupar(size_t slot, size_t hash)
    {
        FSlots[slot] = qint32(FHashes.size());
        FHashes.push_back(hash);
        if (FHashes.size() * 2 > FSlots.size())
            Reservar(FHashes.size());
    }
    void Reservar(size_t entradas)
    {
        size_t n = 16;
        while (n < entradas * 2 + 2)
            n *= 2;
        if (n <= FSlots.size())
            return;
        FSlots.assign(n, kVazio);
        for (size_t e = 0; e < FHashes.size(); ++e) {
            size_t i = FHashes[e] & (n - 1);
            while (FSlots[i] != kVazio)
                i = (i + 1) & (n - 1);
            FSlots[i] = qint32(e);
        }
        FHashes.reserve(entradas);
    }

private:
    static constexpr qint32 kVazio = -1;
    std::vector<qint32> FSlots = std::vector<qint32>(16, kVazio);
    std::vector<size_t> FHashes;
};

} // namespace

// The preloaded products: the lowest code of each reference in upper case, every code, and
// the next free code.
struct TnUtilProduto::Cache {
    // References: their upper-case texts one after another in one buffer.
    TnTabelaAberta Tabela;
    QString Textos;
    std::vector<qsizetype> Inicios{0}; // entry e's text: Textos[Inicios[e], Inicios[e + 1])
    std::vector<qint64> CodigoDaReferencia;
    // Codes: an open-addressing set of its own.
    TnTabelaAberta TabelaCodigos;
    std::vector<qint64> Codigos;
    qint64 Proximo = 1;

    static size_t Hash(QStringView t) { return qHash(t, 0); }
    static size_t Hash(qint64 c)
    {
        const size_t x = size_t(c) * 0x9E3779B97F4A7C15ull;
        return x ^ (x >> 29);
    }

    QStringView TextoDe(qint32 e) const
    {
        const qsizetype ini = Inicios[size_t(e)];
        return QStringView(Textos).mid(ini, Inicios[size_t(e) + 1] - ini);
    }
    void Reservar(qsizetype n)
    {
        Tabela.Reservar(size_t(n));
        TabelaCodigos.Reservar(size_t(n));
        Inicios.reserve(size_t(n) + 1);
        CodigoDaReferencia.reserve(size_t(n));
        Codigos.reserve(size_t(n));
    }
    // The code of an upper-case reference; -1 when there is none.
    qint64 Referencia(QStringView maiuscula) const
    {
        const qint32 e = Tabela.Entrada(Tabela.Procurar(Hash(maiuscula), [&](qint32 x) { return TextoDe(x) == maiuscula; }));
        return e < 0 ? -1 : CodigoDaReferencia[size_t(e)];
    }
    bool TemCodigo(qint64 codigo) const
    {
        return TabelaCodigos.Entrada(TabelaCodigos.Procurar(Hash(codigo), [&](qint32 x) {
                   return Codigos[size_t(x)] == codigo;
               })) >= 0;
    }

    // `referencia` null: the product has none.
    void Adicionar(qint64 codigo, const QString &referencia)
    {
        const auto igualCodigo = [&](qint32 x) { return Codigos[size_t(x)] == codigo; };
        const size_t hc = Hash(codigo);
        if (const size_t slot = TabelaCodigos.Procurar(hc, igualCodigo); TabelaCodigos.Entrada(slot) < 0) {
            Codigos.push_back(codigo);
            TabelaCodigos.Ocupar(slot, hc);
        }
        Proximo = std::max(Proximo, codigo + 1);
        if (referencia.isNull())
            return;
        const TnReferenciaMaiuscula chave(referencia);
        const QStringView t = chave.Texto();
        const size_t h = Hash(t);
        const auto igual = [&](qint32 x) { return TextoDe(x) == t; };
        const size_t slot = Tabela.Procurar(h, igual);
        if (const qint32 e = Tabela.Entrada(slot); e >= 0) {
            CodigoDaReferencia[size_t(e)] = std::min(CodigoDaReferencia[size_t(e)], codigo);
            return;
        }
        Textos.append(t);
        Inicios.push_back(Textos.size());
        CodigoDaReferencia.push_back(codigo);
        Tabela.Ocupar(slot, h);
    }
};

TnUtilProduto::TnUtilProduto() = default;
TnUtilProduto::~TnUtilProduto() = default;

const QStringList &TnUtilProduto::Colunas()
{
    static const QStringList colunas = [] {
        QStringList r;
        for (const TnColunaEsq &c : TabelaProduto().Colunas)
            r.append(c.Nome);
        return r;
    }();
    return colunas;
}

void TnUtilProduto::SetCodigoEmpresa(int empresa)
{
    if (empresa != FEmpresa)
        LimparDados();
    FEmpresa = empresa;
}

void TnUtilProduto::LimparDados()
{
    Esquecer();
    FCache.reset();
}

void TnUtilProduto::Esquecer() const
{
    FAtual.clear();
    FCodigoAtual = -1;
}

void TnUtilProduto::Precarregar(qsizetype novos)
{
    auto cache = std::make_unique<Cache>();
    // Room for them all at once: no rehash while a hundred thousand come in.
    const qint64 existentes = nDMSQLDataSet::PegarQtdRegistro(QStringLiteral("PRODUTO"),
                                                              QStringLiteral("CODIGOEMPRESA = %1").arg(FEmpresa));
    cache->Reservar(existentes + novos);
    auto cmd = nDMConexao::Atual().Preparar(QStringLiteral(
        "select CODIGOPRODUTO, REFERENPRODUTO from PRODUTO where CODIGOEMPRESA = ? order by CODIGOPRODUTO"));
    cmd->BindInteiro(0, FEmpresa);
    TnCursor &c = cmd->Abrir();
    while (c.Proximo())
        cache->Adicionar(c.Inteiro(0), c.Nulo(1) ? QString() : c.Texto(1));
    FCache = std::move(cache);
}

void TnUtilProduto::SetarValoresPadroesRecord(TnRegistroProduto &registro) const
{
    registro = TnRegistroProduto();
    registro.Set(kEmpresa, FEmpresa);
    registro.Set(QStringLiteral("INDICADORTIPO"), 0);
    registro.Set(QStringLiteral("DNF"), QStringLiteral("0"));
    registro.Set(QStringLiteral("DACON"), QStringLiteral("0"));
    registro.Set(QStringLiteral("DATAATUALIZACAO"), QDate::currentDate());
    registro.Set(QStringLiteral("CODIGOUSUARIO"), CodigoUsuarioConectado());
}

bool TnUtilProduto::Ler(const QString &sql, const QVariant &valor) const
{
    Esquecer();
    // A register looks its row's product up on every move, an import on every item: the
    // statement stays prepared.
    auto cmd = nDMConexao::Atual().PrepararGuardado(sql);
    cmd->BindInteiro(0, FEmpresa);
    cmd->BindValor(1, valor);
    TnCursor &c = cmd->Abrir();
    if (!c.Proximo())
        return false;
    FAtual.reserve(c.Colunas());
    for (int i = 0; i < c.Colunas(); ++i)
        FAtual.append(c.Valor(i));
    FCodigoAtual = FAtual.at(kCodigo).toLongLong();
    return true;
}

bool TnUtilProduto::EncontrarCodigo(qint64 codigo)
{
    if (!FCache)
        return Ler(SelectPorCodigo(), codigo);
    Esquecer();
    if (!FCache->TemCodigo(codigo))
        return false;
    FCodigoAtual = codigo; // its row is read when asked for
    return true;
}

bool TnUtilProduto::EncontrarProduto(const QString &texto)
{
    const QString t = texto.trimmed();
    Esquecer();
    if (t.isEmpty())
        return false;
    if (FCache) {
        if (const qint64 codigo = FCache->Referencia(TnReferenciaMaiuscula(t).Texto()); codigo >= 0) {
            FCodigoAtual = codigo;
            return true;
        }
    } else if (static const QString sql = SelectProduto(QStringLiteral("UPPER(REFERENPRODUTO) = UPPER(?)"));
               Ler(sql, t)) {
        return true;
    }
    return EhNumero(t) && EncontrarCodigo(t.toLongLong());
}

const QString &TnUtilProduto::SQLInsert(quint32 colunas)
{
    for (const Insert &i : FInserts)
        if (i.Colunas == colunas)
            return i.SQL;
    QStringList nomes;
    for (int i = 0; i < int(Colunas().size()); ++i)
        if ((colunas >> i) & 1u)
            nomes << Colunas().at(i);
    FInserts.push_back({colunas, QStringLiteral("insert into PRODUTO (%1) values (%2)")
                                     .arg(nomes.join(QStringLiteral(", ")),
                                          QStringList(nomes.size(), QStringLiteral("?")).join(QStringLiteral(", ")))});
    return FInserts.back().SQL;
}

qint64 TnUtilProduto::InserirProduto(const TnRegistroProduto &registro)
{
    // Values by column position; the statement names the columns the record holds.
    const int n = int(Colunas().size());
    QVariantList valores(n);
    for (int i = 0; i < n; ++i)
        if (i != kEmpresa && registro.Tem(i)) // the company is always the utility's
            valores[i] = ValorColuna(ColunaProduto(i), registro.Valor(i));
    qint64 codigo = valores[kCodigo].toLongLong();
    if (codigo <= 0)
        codigo = FCache ? FCache->Proximo
                        : nDMSQLDataSet::PegarProximoCodigo(QStringLiteral("PRODUTO"), QStringLiteral("CODIGOPRODUTO"),
                                                            QStringLiteral("CODIGOEMPRESA = %1").arg(FEmpresa), 0, 1);
    valores[kEmpresa] = FEmpresa;
    valores[kCodigo] = codigo;
    const quint32 colunas = registro.Presentes() | (1u << kEmpresa) | (1u << kCodigo);
    // Records of one shape come one after another (an import): the statement stays prepared.
    auto cmd = nDMConexao::Atual().PrepararGuardado(SQLInsert(colunas));
    int p = 0;
    for (int i = 0; i < n; ++i)
        if ((colunas >> i) & 1u)
            cmd->BindValor(p++, valores[i]);
    // In bulk (an import, its codes known here) the row may go with the others of the
    // transaction, on the server by COPY.
    if (FCache)
        cmd->ExecutarEmLote();
    else
        cmd->Executar();
    if (FCache) {
        static const int referencia = TnRegistroProduto::Posicao(QStringLiteral("REFERENPRODUTO"));
        FCache->Adicionar(codigo, EhNulo(valores[referencia]) ? QString() : valores[referencia].toString());
    }
    FAtual = valores; // as written: no need to read it back
    FCodigoAtual = codigo;
    return codigo;
}

void TnUtilProduto::AlterarProduto(const TnRegistroProduto &registro, const QStringList &colunas)
{
    if (!TemAtual())
        throw Exception(QStringLiteral("Nenhum produto selecionado para alterar."));
    QStringList sets;
    QVariantList valores;
    QList<int> posicoes;
    for (const QString &nome : colunas) {
        const int i = TnRegistroProduto::Posicao(nome);
        const TnColunaEsq &c = ColunaProduto(i);
        if (i == kEmpresa || i == kCodigo)
            throw Exception(QStringLiteral("A chave do produto não pode ser alterada: %1").arg(c.Nome));
        sets.append(c.Nome + QStringLiteral(" = ?"));
        valores.append(ValorColuna(c, registro.Valor(i)));
        posicoes.append(i);
    }
    if (sets.isEmpty())
        return;
    const qint64 codigo = GetCodigoProduto();
    if (FAtual.isEmpty() && !Ler(SelectPorCodigo(), codigo))
        throw Exception(QString::fromUtf8("O produto %1 não existe mais.").arg(codigo));
    const QVariantList novos = valores;
    valores << FEmpresa << codigo;
    auto cmd = nDMConexao::Atual().PrepararGuardado(
        QStringLiteral("update PRODUTO set %1 where CODIGOEMPRESA = ? and CODIGOPRODUTO = ?")
            .arg(sets.join(QStringLiteral(", "))));
    for (int i = 0; i < valores.size(); ++i)
        cmd->BindValor(i, valores[i]);
    cmd->Executar();
    for (int k = 0; k < posicoes.size(); ++k)
        FAtual[posicoes[k]] = novos[k];
    // Another product may share the old reference: the memory of references cannot follow.
    static const int referencia = TnRegistroProduto::Posicao(QStringLiteral("REFERENPRODUTO"));
    if (posicoes.contains(referencia))
        FCache.reset();
}

QVariant TnUtilProduto::Valor(const QString &coluna) const
{
    const int i = PosicaoProduto(coluna);
    if (i < 0 || !TemAtual())
        return QVariant();
    if (i == kEmpresa)
        return FEmpresa;
    if (i == kCodigo)
        return FCodigoAtual;
    if (FAtual.isEmpty() && !Ler(SelectPorCodigo(), FCodigoAtual))
        return QVariant(); // deleted meanwhile
    return FAtual.value(i);
}

TnUtilProduto &ControleProduto()
{
    static TnUtilProduto utilitario;
    return utilitario;
}
