#include "OrvoDPGerarSaldoInv_U.h"

#include "Acoes.h"
#include "Conexao.h"
#include "Decimal.h"
#include "LctoInvPropriedadeComum.h"
#include "Literais.h"
#include "SQLDataSet.h"
#include "SuiteProduto.h"
#include "Valores.h"

#include <QHash>
#include <algorithm>

namespace {

const TnDefProcesso kDeclaracao{
    .Caption = "Saldo anterior e movimentação",
    .CaptionParametros = "Saldo anterior e movimentação",
    .Parametros =
        {{.Alias = "pCodigoEmpresa", .Caption = "Empresa", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEmpresa",
          .ChaveDicionario = "CodigoEmpresa", .MultiSelecao = true},
         {.Alias = "pCodigoEstab", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab", .ChaveDicionario = "CodigoEstab",
          .MultiSelecao = true},
         {.Alias = "pDataInicial", .Caption = "Data Inicial", .Tipo = ntpData, .ChaveDicionario = "DicData"},
         {.Alias = "pClassifConta", .Caption = "Classificação", .TamanhoMaximo = kTamanhoMaximoMascaraPlano},
         {.Alias = "pMotivoInventario", .Tipo = ntpCombo, .ChaveDicionario = "MOTIVOINVENTARIO",
          .ListaValores = ListaMotivoInventario()},
         {.Alias = "ATotalGrupos", .Padrao = "0", .Visivel = false}},
};

constexpr int kSintetico = 1;
// Cost decimals the settings register offers at most; a stored value beyond them is taken
// as this, so that values keep their 18 digits.
constexpr int kMaximoCasasDecimais = 6;

const TnDefCampo kCamposResultado[] = {
    {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Def = {.Chave = "CODIGOEMPRESA"}},
    {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Def = {.Chave = "CODIGOESTAB"}},
    {.Nome = "CODIGOGRUPOPRODUTO", .Tipo = ftInteger, .Def = {.DisplayLabel = "Grupo"}},
    {.Nome = "CLASSIFGRUPOPRODUTO", .Tipo = ftString, .Tamanho = 20, .Def = {.DisplayLabel = "Classificação"}},
    {.Nome = "TIPOGRUPOPRODUTO", .Tipo = ftSmallint,
     .Def = {.DisplayLabel = "Tipo", .ListaValores = {"Sintético=1", "Analítico=2"}}},
    {.Nome = "DESCRGRUPOPRODUTO", .Tipo = ftString, .Tamanho = 60, .Def = {.DisplayLabel = "Descrição"}},
    // Companies may keep different decimals: each row's values are at its company's.
    {.Nome = "VALORLCTO", .Tipo = ftBCD, .Precisao = 18, .Escala = 2, .CampoEscala = "CASASDECIMAIS",
     .Def = {.DisplayLabel = "Valor"}},
    {.Nome = "TOTALESTAB", .Tipo = ftBCD, .Precisao = 18, .Escala = 2, .CampoEscala = "CASASDECIMAIS",
     .Def = {.DisplayLabel = "Total Estabelecimento"}},
    {.Nome = "CASASDECIMAIS", .Tipo = ftSmallint, .Def = {.Visivel = false}},
};

constexpr int kPrecisaoValor = 18;

} // namespace

// A company and branch to value, with the company's cost decimals.
struct TOrvoDPGerarSaldoInv::Estab {
    int Empresa;
    int Codigo;
    int Casas;
};

namespace {

[[noreturn]] void ForaDoLimite(const TOrvoDPGerarSaldoInv::Estab &estab, qint32 grupo)
{
    throw Exception(QString::fromUtf8(OrvoSValorForaDoLimite).arg(grupo).arg(estab.Empresa).arg(estab.Codigo));
}

// Sums at a company's decimals, as whole numbers of its smallest unit: exact, whatever the
// order of the entries. A sum beyond numeric(18, the company's decimals) is refused.
void Somar(qint64 &total, qint64 parcela, const TOrvoDPGerarSaldoInv::Estab &estab, qint32 grupo)
{
    if (__builtin_add_overflow(total, parcela, &total) || !nDecimal::CabeNaPrecisao(total, kPrecisaoValor, estab.Casas))
        ForaDoLimite(estab, grupo);
}

// The synthetic totals of one branch (TnTotalizaoPlano): one element per synthetic group of
// the chart set, in chart order; a classification is found through a hash (its first
// element).
struct TnTotalizaoPlano {
    QString Classif;
    qint64 Saldo = 0;
    qint32 Codigo = 0; // the synthetic group's code, named when its total does not fit
};

class TnTotaisPlano {
public:
    // AdicionarTotalClassif: a new element {classification, 0}.
    void AdicionarTotalClassif(const QString &classif, qint32 codigo)
    {
        if (!FIndice.contains(classif))
            FIndice.insert(classif, int(FTotais.size()));
        FTotais.push_back({classif, 0, codigo});
    }
    // The first element of exactly that classification (letter case included); -1 when none.
    int PegarIndiceClassif(const QString &classif) const { return FIndice.value(classif, -1); }
    void Zerar()
    {
        for (TnTotalizaoPlano &t : FTotais)
            t.Saldo = 0;
    }
    qint64 Saldo(int i) const { return FTotais[size_t(i)].Saldo; }
    // The elements a group's value goes to: its own synthetic total, when it has one, and
    // every level above it up to `alvo` (excluded), each of which must be a synthetic group
    // of the set; appended to `elementos`. False when one is not: a broken structure.
    bool NiveisSuperiores(const QString &classif, const QString &alvo, std::vector<int> &elementos) const
    {
        QString nivel = classif;
        bool primeiro = true;
        while (nivel != alvo) {
            const int i = PegarIndiceClassif(nivel);
            // A level chain that ends at the top without meeting the target (a group outside
            // the prefix's branch, an empty classification) is a broken structure too.
            if ((i < 0 && !primeiro) || nivel.isEmpty())
                return false;
            if (i >= 0)
                elementos.push_back(i);
            nivel = RetirarUltimoNivelClassificacao(nivel);
            primeiro = false;
        }
        return true;
    }
    // Adds `valor` to the elements [de, ate) of NiveisSuperiores.
    void TotalizarNiveisSuperiores(const int *de, const int *ate, qint64 valor, const TOrvoDPGerarSaldoInv::Estab &estab)
    {
        for (; de != ate; ++de)
            Somar(FTotais[size_t(*de)].Saldo, valor, estab, FTotais[size_t(*de)].Codigo);
    }

private:
    std::vector<TnTotalizaoPlano> FTotais;
    QHash<QString, int> FIndice;
};

} // namespace

// The chart set of one company, in chart order.
struct TOrvoDPGerarSaldoInv::Plano {
    struct Grupo {
        qint32 Codigo;
        QString Classif;
        int Tipo; // 0 when the column is empty
        QString Descr;
        int Sintetico = -1;  // a synthetic group's total: the first of its classification
        int Niveis = 0;      // its elements of NiveisSuperiores start in Niveis here
        int FimNiveis = -1;  // and end here; -1: the structure above it is broken
    };
    std::vector<Grupo> Grupos;
    QHash<qint32, int> PorCodigo; // group code -> position in Grupos
    mutable TnTotaisPlano Sinteticos;
    std::vector<int> Niveis; // the levels each group's value goes to, looked up once
};

// TnTotalGrupo: a group's total in one branch.
struct TnTotalGrupo {
    qint64 TotalGrupo = 0;
    bool Lancado = false; // the group has entries in the branch
};

TOrvoDPGerarSaldoInv::TOrvoDPGerarSaldoInv()
    : TnDMPowerParam(kDeclaracao), FResultado(std::make_unique<TnClientDataSet>())
{
    FDefRelatorio = {
        .Titulo = kDeclaracao.Caption,
        .Colunas = {{.Campo = "CLASSIFGRUPOPRODUTO", .Largura = 22},
                    {.Campo = "DESCRGRUPOPRODUTO", .Largura = 46},
                    {.Campo = "TIPOGRUPOPRODUTO", .Largura = 10},
                    {.Campo = "VALORLCTO", .Largura = 20, .Total = ntrCampo, .CampoTotal = "TOTALESTAB"}},
        .Quebra = "CODIGOEMPRESA;CODIGOESTAB",
        .TituloQuebra =
            [](const TnClientDataSet &ds) {
                const TnField &empresa = ds.FieldByName(QStringLiteral("CODIGOEMPRESA"));
                const TnField &estab = ds.FieldByName(QStringLiteral("CODIGOESTAB"));
                const QString condicao = QStringLiteral("CODIGOEMPRESA = ") + ValorParaSQL(empresa.AsInteger(), ftSmallint);
                return QStringLiteral("Empresa %1 - %2 / Estabelecimento %3 - %4")
                    .arg(empresa.AsInteger())
                    .arg(nDMSQLDataSet::PegarValorCampo(QStringLiteral("EMPRESA"), QStringLiteral("NOMEEMPRESA"), condicao)
                             .toString())
                    .arg(estab.AsInteger())
                    .arg(nDMSQLDataSet::PegarValorCampo(QStringLiteral("ESTAB"), QStringLiteral("NOMEESTAB"),
                                                        condicao + QStringLiteral(" and CODIGOESTAB = ") +
                                                            ValorParaSQL(estab.AsInteger(), ftSmallint))
                             .toString());
            },
        .CaptionTotal = QStringLiteral("Total do Estabelecimento"),
        // Companies may keep different decimals: their branches' totals are not added up.
        .TotalGeral = false,
        .Estilo =
            [this](const TnClientDataSet &ds) {
                const QString classif = ds.FieldByName(QStringLiteral("CLASSIFGRUPOPRODUTO")).AsString();
                const qsizetype base = FNivelClassif.isEmpty() ? 0 : FNivelClassif.count(u'.');
                const int casas = ds.FieldByName(QStringLiteral("CASASDECIMAIS")).AsInteger();
                return TnEstiloLinhaRelatorio{
                    .Recuo = int(std::max<qsizetype>(0, classif.count(u'.') - base)),
                    .Negrito = ds.FieldByName(QStringLiteral("TIPOGRUPOPRODUTO")).AsInteger() == kSintetico,
                    .FormatoNumeros = FormatoCasas(casas)};
            },
    };
}
TOrvoDPGerarSaldoInv::~TOrvoDPGerarSaldoInv() = default;

void TOrvoDPGerarSaldoInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                            const TnModulos &modulos)
{
    // Opens without asking for any selection: the companies and branches are parameters.
    GerarAcao({{.Categoria = "Utilitários", .Caption = "Saldo anterior e movimentação", .ChecarSelecao = false,
                .ControlaDireito = false}},
              classe, lista, evento, modulos);
}

namespace {

// The companies and branches of the parameters, in company and branch order. A token that
// is no code is refused at its parameter.
QString CondicaoParametro(const TnpqParamItem &p, const QString &coluna)
{
    return NoParametro(p.Alias(), [&] { return FilterInterval(coluna, p.AsString().trimmed()); });
}

int LerCasas(TnCursor &c, int coluna)
{
    if (c.Nulo(coluna))
        return 2;
    qint64 casas = 0;
    if (!TextoParaInteiro(c.Texto(coluna), casas))
        return 2;
    return int(std::clamp<qint64>(casas, 0, kMaximoCasasDecimais));
}

} // namespace

void TOrvoDPGerarSaldoInv::Executar()
{
    const TnpqParamItem &pData = Param(QStringLiteral("pDataInicial"));
    const QDate data = pData.AsDataInicial();
    if (!data.isValid())
        throw EnParam(pData.Alias(), QString::fromUtf8(OrvoSDataInicialInvalida));
    FNivelClassif = Param(QStringLiteral("pClassifConta")).AsString().trimmed();
    FMotivoInventario = int(Param(QStringLiteral("pMotivoInventario")).AsInteger());

    nDMConexao &con = nDMConexao::Atual();
    std::vector<Estab> estabs;
    {
        auto cmd = con.Preparar(
            QStringLiteral(" select EM.CODIGOEMPRESA ,ES.CODIGOESTAB ,CF.QTDECASADECIMAL from EMPRESA EM "
                           "inner join ESTAB ES on EM.CODIGOEMPRESA = ES.CODIGOEMPRESA "
                           "left outer join CFGEMPRESAINV CF on EM.CODIGOEMPRESA = CF.CODIGOEMPRESA where 1 = 1 ") +
            CondicaoParametro(Param(QStringLiteral("pCodigoEmpresa")), QStringLiteral("EM.CODIGOEMPRESA")) +
            CondicaoParametro(Param(QStringLiteral("pCodigoEstab")), QStringLiteral("ES.CODIGOESTAB")) +
            QStringLiteral("order by EM.CODIGOEMPRESA ,ES.CODIGOESTAB"));
        TnCursor &c = cmd->Abrir();
        while (c.Proximo())
            estabs.push_back({int(c.Inteiro(0)), int(c.Inteiro(1)), LerCasas(c, 2)});
    }

    // A new result for every run, each row's values at its company's decimals.
    FResultado = std::make_unique<TnClientDataSet>();
    FResultado->SetLogChanges(false);
    FResultado->DefinirCampos(kCamposResultado);
    FResultado->CreateDataSet();

    auto grupos = con.Preparar(QStringLiteral(
        "select CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, TIPOGRUPOPRODUTO, DESCRGRUPOPRODUTO "
        "from GRUPOPRODUTO where CODIGOEMPRESA = ?"));
    auto lancamentos = con.Preparar(
        QStringLiteral("select P.CODIGOGRUPOPRODUTO, L.QTDEESTOQUE, L.PRECOUNIT from LCTOINV L "
                       "inner join PRODUTO P on L.CODIGOEMPRESA = P.CODIGOEMPRESA "
                       "and L.CODIGOPRODUTO = P.CODIGOPRODUTO "
                       "where L.CODIGOEMPRESA = ? and L.CODIGOESTAB = ? and L.DATAINVENT = ?") +
        (FMotivoInventario != 0 ? QStringLiteral(" and L.MOTIVOINVENTARIO = ?") : QString()));

    const QString alvo = RetirarUltimoNivelClassificacao(FNivelClassif);
    Plano plano;
    int empresaDoPlano = -1;
    int valorados = 0; // branches with entries
    for (const Estab &estab : estabs) {
        if (estab.Empresa != empresaDoPlano) {
            // The chart is read once per company and put in chart order here, so that every
            // engine gives the same order (text compared as stored, not by a collation).
            plano = Plano();
            grupos->BindInteiro(0, estab.Empresa);
            TnCursor &c = grupos->Abrir();
            while (c.Proximo()) {
                const QString classif = c.Nulo(1) ? QString() : c.Texto(1);
                if (classif.startsWith(FNivelClassif))
                    plano.Grupos.push_back({qint32(c.Inteiro(0)), classif, int(c.Inteiro(2)),
                                            c.Nulo(3) ? QString() : c.Texto(3)});
            }
            grupos->Fechar();
            std::sort(plano.Grupos.begin(), plano.Grupos.end(), [](const Plano::Grupo &a, const Plano::Grupo &b) {
                if (const int r = QString::compare(a.Classif, b.Classif); r != 0)
                    return r < 0;
                if (a.Tipo != b.Tipo)
                    return a.Tipo < b.Tipo;
                if (const int r = QString::compare(a.Descr, b.Descr); r != 0)
                    return r < 0;
                return a.Codigo < b.Codigo;
            });
            plano.PorCodigo.reserve(qsizetype(plano.Grupos.size()));
            for (size_t i = 0; i < plano.Grupos.size(); ++i) {
                plano.PorCodigo.insert(plano.Grupos[i].Codigo, int(i));
                if (plano.Grupos[i].Tipo == kSintetico)
                    plano.Sinteticos.AdicionarTotalClassif(plano.Grupos[i].Classif, plano.Grupos[i].Codigo);
            }
            // Each group's levels, looked up once for all the company's branches.
            for (Plano::Grupo &g : plano.Grupos) {
                if (g.Tipo == kSintetico)
                    g.Sintetico = plano.Sinteticos.PegarIndiceClassif(g.Classif);
                g.Niveis = int(plano.Niveis.size());
                if (plano.Sinteticos.NiveisSuperiores(g.Classif, alvo, plano.Niveis))
                    g.FimNiveis = int(plano.Niveis.size());
                else
                    plano.Niveis.resize(size_t(g.Niveis));
            }
            empresaDoPlano = estab.Empresa;
        }
        if (Totalizar(plano, estab, *lancamentos, data))
            ++valorados;
    }
    // What the run left for its report.
    Mensagens().Adicionar(valorados == 0 ? QString::fromUtf8(OrvoSSaldoSemLancamentos)
                                         : QString::fromUtf8(OrvoSSaldoResultado)
                                               .arg(FResultado->RecordCount())
                                               .arg(valorados),
                          tmInformacao);
}

bool TOrvoDPGerarSaldoInv::Totalizar(const Plano &plano, const Estab &estab, TnComando &lancamentos,
                                     const QDate &data)
{
    lancamentos.BindInteiro(0, estab.Empresa);
    lancamentos.BindInteiro(1, estab.Codigo);
    lancamentos.BindData(2, data);
    if (FMotivoInventario != 0)
        lancamentos.BindInteiro(3, FMotivoInventario);

    // Group totals: each entry's quantity times unit cost rounded to the company's decimals.
    std::vector<TnTotalGrupo> totais(plano.Grupos.size());
    bool temLancamentos = false;
    {
        TnCursor &c = lancamentos.Abrir();
        qint32 ultimoCodigo = 0;
        int ultimo = -2; // position of ultimoCodigo in the chart set; -2: none looked up yet
        while (c.Proximo()) {
            temLancamentos = true;
            // A product without a group counts nowhere.
            if (c.Nulo(0))
                continue;
            const qint32 codigo = qint32(c.Inteiro(0));
            if (ultimo == -2 || codigo != ultimoCodigo) {
                ultimoCodigo = codigo;
                ultimo = plano.PorCodigo.value(codigo, -1);
            }
            if (ultimo < 0)
                continue;
            qint64 escalado = 0;
            if (!nDecimal::Produto(c.Real(2), c.Real(1), estab.Casas, escalado))
                ForaDoLimite(estab, codigo);
            TnTotalGrupo &t = totais[size_t(ultimo)];
            t.Lancado = true;
            Somar(t.TotalGrupo, escalado, estab, codigo);
        }
        lancamentos.Fechar();
    }
    if (!temLancamentos)
        return false; // the branch yields no rows

    // Roll-up: every group with entries adds its total to the branch and up its levels.
    plano.Sinteticos.Zerar();
    qint64 totalEstab = 0;
    for (size_t i = 0; i < totais.size(); ++i) {
        if (!totais[i].Lancado)
            continue;
        const Plano::Grupo &g = plano.Grupos[i];
        if (g.FimNiveis < 0)
            throw Exception(QString::fromUtf8(OrvoSEstruturaPlanoContas));
        plano.Sinteticos.TotalizarNiveisSuperiores(plano.Niveis.data() + g.Niveis, plano.Niveis.data() + g.FimNiveis,
                                                   totais[i].TotalGrupo, estab);
        Somar(totalEstab, totais[i].TotalGrupo, estab, g.Codigo);
    }

    // One row per group of the set, in chart order.
    TnClientDataSet &r = *FResultado;
    TnField *campos[9];
    for (int i = 0; i < 9; ++i)
        campos[i] = &r.Fields(i);
    r.DisableControls();
    // Every value was checked against its field above; a row refused all the same leaves
    // no half-written row behind.
    const auto reativar = qScopeGuard([&r] {
        if (r.State() == dsInsert)
            r.Cancel();
        r.EnableControls();
    });
    for (size_t i = 0; i < plano.Grupos.size(); ++i) {
        const Plano::Grupo &g = plano.Grupos[i];
        const qint64 valor = g.Sintetico >= 0 ? plano.Sinteticos.Saldo(g.Sintetico) : totais[i].TotalGrupo;
        r.Append();
        campos[0]->SetAsInteger(estab.Empresa);
        campos[1]->SetAsInteger(estab.Codigo);
        campos[2]->SetAsInteger(g.Codigo);
        campos[3]->SetAsString(g.Classif);
        if (g.Tipo != 0)
            campos[4]->SetAsInteger(g.Tipo);
        campos[5]->SetAsString(g.Descr);
        campos[8]->SetAsInteger(estab.Casas); // before the values, which take their decimals from it
        campos[6]->SetAsEscalado(valor, estab.Casas);
        campos[7]->SetAsEscalado(totalEstab, estab.Casas);
        r.Post();
    }
    return true;
}

static TnRegistrador<TOrvoDPGerarSaldoInv> gRegistro("TOrvoDPGerarSaldoInv");
