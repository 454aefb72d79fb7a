#include "Gravador.h"

#include "Conexao.h"
#include "ImpFabrica.h"
#include "Provider.h"
#include "ValorNaColuna.h"

#include <QStringList>
#include <optional>

namespace {

// Each value is checked against its column (`col`) before it is bound; a number for a
// numeric column goes as the exact decimal at the column's scale.
void Ligar(TnComando &c, int i, int v, const TnColunaInfo &col, bool)
{
    ExigirNaColuna(col, v);
    c.BindInteiro(i, v);
}
void Ligar(TnComando &c, int i, qint64 v, const TnColunaInfo &col, bool)
{
    ExigirNaColuna(col, v);
    c.BindInteiro(i, v);
}
void Ligar(TnComando &c, int i, double v, const TnColunaInfo &col, bool servidor)
{
    TnCelula celula;
    celula.Nulo = false;
    celula.F = v;
    TFieldType tipo = ftFloat;
    int escala = 0;
    if (!AjustarCelulaNaColuna(col, celula, tipo, escala))
        ErroCelulaForaDaColuna(col, celula, tipo, escala);
    VincularCelula(c, i, celula, tipo, escala, servidor);
}
void Ligar(TnComando &c, int i, const QDate &v, const TnColunaInfo &, bool) { c.BindData(i, v); }
void Ligar(TnComando &c, int i, const QDateTime &v, const TnColunaInfo &, bool) { c.BindDataHora(i, v); }
void Ligar(TnComando &c, int i, const QString &v, const TnColunaInfo &col, bool)
{
    ExigirNaColuna(col, v);
    c.BindTexto(i, v);
}

// A column of a record: its name, whether the member is set, and how it is checked against
// the column as the database declares it and bound.
template <class R> struct TnColuna {
    const char *Nome;
    bool (*Presente)(const R &);
    void (*Ligar)(const R &, TnComando &, int, const TnColunaInfo &, bool);
};

template <class R, auto Membro> constexpr TnColuna<R> Col(const char *nome)
{
    return {nome, [](const R &r) { return (r.*Membro).has_value(); },
            [](const R &r, TnComando &c, int i, const TnColunaInfo &col, bool servidor) {
                Ligar(c, i, *(r.*Membro), col, servidor);
            }};
}

// LCTOINV, in the table's column order; the first five are the key.
const TnColuna<TLCTOINV> kColunasLcto[] = {
    Col<TLCTOINV, &TLCTOINV::CODIGOEMPRESA>("CODIGOEMPRESA"),
    Col<TLCTOINV, &TLCTOINV::CODIGOESTAB>("CODIGOESTAB"),
    Col<TLCTOINV, &TLCTOINV::DATAINVENT>("DATAINVENT"),
    Col<TLCTOINV, &TLCTOINV::CODIGOPRODUTO>("CODIGOPRODUTO"),
    Col<TLCTOINV, &TLCTOINV::MOTIVOINVENTARIO>("MOTIVOINVENTARIO"),
    Col<TLCTOINV, &TLCTOINV::QTDEESTOQUE>("QTDEESTOQUE"),
    Col<TLCTOINV, &TLCTOINV::PRECOUNIT>("PRECOUNIT"),
    Col<TLCTOINV, &TLCTOINV::VALORIR>("VALORIR"),
    Col<TLCTOINV, &TLCTOINV::VALORICMS>("VALORICMS"),
    Col<TLCTOINV, &TLCTOINV::VALORPIS>("VALORPIS"),
    Col<TLCTOINV, &TLCTOINV::VALORCOFINS>("VALORCOFINS"),
    Col<TLCTOINV, &TLCTOINV::OBSLCTOINV>("OBSLCTOINV"),
    Col<TLCTOINV, &TLCTOINV::DATAHORALCTOINV>("DATAHORALCTOINV"),
    Col<TLCTOINV, &TLCTOINV::CODIGOUSUARIO>("CODIGOUSUARIO"),
    Col<TLCTOINV, &TLCTOINV::VALORMEDIOICMS>("VALORMEDIOICMS"),
    Col<TLCTOINV, &TLCTOINV::VALORMEDIOBCICMSST>("VALORMEDIOBCICMSST"),
    Col<TLCTOINV, &TLCTOINV::VALORMEDIOICMSST>("VALORMEDIOICMSST"),
    Col<TLCTOINV, &TLCTOINV::VALORMEDIOFCP>("VALORMEDIOFCP"),
    Col<TLCTOINV, &TLCTOINV::ORIGEMDADO>("ORIGEMDADO"),
    Col<TLCTOINV, &TLCTOINV::IDSYN>("IDSYN"),
};
constexpr int kChave = 5;

// The line's own columns of LCTOINVPROPRIEDADE, after the entry's key.
const TnColuna<TLCTOINVPROPRIEDADE> kColunasPropriedade[] = {
    Col<TLCTOINVPROPRIEDADE, &TLCTOINVPROPRIEDADE::SEQ>("SEQ"),
    Col<TLCTOINVPROPRIEDADE, &TLCTOINVPROPRIEDADE::INDICADORPROPRIEDADE>("INDICADORPROPRIEDADE"),
    Col<TLCTOINVPROPRIEDADE, &TLCTOINVPROPRIEDADE::CODIGOPESSOAPART>("CODIGOPESSOAPART"),
    Col<TLCTOINVPROPRIEDADE, &TLCTOINVPROPRIEDADE::CONTACTB>("CONTACTB"),
    Col<TLCTOINVPROPRIEDADE, &TLCTOINVPROPRIEDADE::QUANTIDADE>("QUANTIDADE"),
    Col<TLCTOINVPROPRIEDADE, &TLCTOINVPROPRIEDADE::PRECOUNIT>("PRECOUNIT"),
    Col<TLCTOINVPROPRIEDADE, &TLCTOINVPROPRIEDADE::VALORIR>("VALORIR"),
};

// The declared columns of `tabela` in the order of `colunas`.
template <class R, size_t N>
std::vector<TnColunaInfo> Declaradas(nDMConexao &con, const char *tabela, const TnColuna<R> (&colunas)[N])
{
    std::vector<TnColunaInfo> r;
    for (const TnColuna<R> &c : colunas)
        r.push_back(con.ColunaDaTabela(QLatin1String(tabela), QLatin1String(c.Nome)));
    return r;
}

template <class R, size_t N> quint32 Mascara(const TnColuna<R> (&colunas)[N], const R &r)
{
    static_assert(N <= 32);
    quint32 m = 0;
    for (size_t i = 0; i < N; ++i)
        if (colunas[i].Presente(r))
            m |= 1u << i;
    return m;
}

// The key columns of LCTOINV, written "A = ? and B = ? ...".
QString CondicaoChave()
{
    QStringList partes;
    for (int i = 0; i < kChave; ++i)
        partes << QString::fromLatin1(kColunasLcto[i].Nome) + QStringLiteral(" = ?");
    return partes.join(QStringLiteral(" and "));
}

// An insert of `nomes` into `tabela`.
QString Insert(const char *tabela, const QStringList &nomes)
{
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(QLatin1String(tabela), nomes.join(QStringLiteral(", ")),
             QStringList(nomes.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
}

// One prepared insert per set of written columns.
struct TnInsert {
    quint32 Mascara;
    std::unique_ptr<TnComando> Cmd;
};

} // namespace

struct TGravador::Comandos {
    nDMConexao *Con = nullptr;
    std::vector<TnColunaInfo> DeclaradasLcto, DeclaradasPropriedade;
    std::vector<TnInsert> Lctos, Propriedades;
    std::unique_ptr<TnComando> Excluir;

    TnComando &Lcto(quint32 mascara)
    {
        for (TnInsert &i : Lctos)
            if (i.Mascara == mascara)
                return *i.Cmd;
        QStringList nomes;
        for (size_t i = 0; i < std::size(kColunasLcto); ++i)
            if (mascara & (1u << i))
                nomes << QString::fromLatin1(kColunasLcto[i].Nome);
        Lctos.push_back({mascara, Con->Preparar(Insert("LCTOINV", nomes))});
        return *Lctos.back().Cmd;
    }

    TnComando &Propriedade(quint32 mascara)
    {
        for (TnInsert &i : Propriedades)
            if (i.Mascara == mascara)
                return *i.Cmd;
        QStringList nomes;
        for (int i = 0; i < kChave; ++i)
            nomes << QString::fromLatin1(kColunasLcto[i].Nome);
        for (size_t i = 0; i < std::size(kColunasPropriedade); ++i)
            if (mascara & (1u << i))
                nomes << QString::fromLatin1(kColunasPropriedade[i].Nome);
        Propriedades.push_back({mascara, Con->Preparar(Insert("LCTOINVPROPRIEDADE", nomes))});
        return *Propriedades.back().Cmd;
    }

    TnComando &Exclusao()
    {
        if (!Excluir)
            Excluir = Con->Preparar(QStringLiteral("delete from LCTOINV where ") + CondicaoChave());
        return *Excluir;
    }
};

TGravador::TGravador() : F(std::make_unique<Comandos>()) {}

TGravador::~TGravador() = default;

void TGravador::Liberar() { F = std::make_unique<Comandos>(); }

void TGravador::GravarLancamento(const TLCTOINV &lcto, bool substituir, nDMConexao *con)
{
    nDMConexao &c = con ? *con : nDMConexao::Atual();
    const quint32 mascara = Mascara(kColunasLcto, lcto);
    for (int i = 0; i < kChave; ++i)
        if (!(mascara & (1u << i)))
            throw Exception(QString::fromUtf8("Lançamento do inventário sem %1: empresa, estabelecimento, data, produto "
                                              "e motivo formam a chave e devem ser informados.")
                                .arg(QLatin1String(kColunasLcto[i].Nome)));
    if (F->Con != &c) {
        Liberar();
        F->Con = &c;
        F->DeclaradasLcto = Declaradas(c, "LCTOINV", kColunasLcto);
        F->DeclaradasPropriedade = Declaradas(c, "LCTOINVPROPRIEDADE", kColunasPropriedade);
    }
    const bool servidor = c.PegarTipoCon() == tcPostgreSQL;
    const std::vector<TnColunaInfo> &lctoDecl = F->DeclaradasLcto, &propDecl = F->DeclaradasPropriedade;
    std::optional<TnTransacao> propria;
    if (!c.InTransaction())
        propria.emplace(1, c);

    if (substituir) {
        TnComando &excluir = F->Exclusao();
        for (int i = 0; i < kChave; ++i)
            kColunasLcto[i].Ligar(lcto, excluir, i, lctoDecl[size_t(i)], servidor);
        excluir.ExecutarEmLote();
    }
    TnComando &insert = F->Lcto(mascara);
    int p = 0;
    for (size_t i = 0; i < std::size(kColunasLcto); ++i)
        if (mascara & (1u << i))
            kColunasLcto[i].Ligar(lcto, insert, p++, lctoDecl[i], servidor);
    insert.ExecutarEmLote();

    for (const auto &linha : lcto.Propriedades) {
        const quint32 m = Mascara(kColunasPropriedade, *linha);
        TnComando &cmd = F->Propriedade(m);
        for (int i = 0; i < kChave; ++i)
            kColunasLcto[i].Ligar(lcto, cmd, i, lctoDecl[size_t(i)], servidor);
        int q = kChave;
        for (size_t i = 0; i < std::size(kColunasPropriedade); ++i)
            if (m & (1u << i))
                kColunasPropriedade[i].Ligar(*linha, cmd, q++, propDecl[i], servidor);
        cmd.ExecutarEmLote();
    }
    if (propria)
        propria->Commit();
}
