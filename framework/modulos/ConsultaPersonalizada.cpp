#include "ConsultaPersonalizada.h"

#include "Acoes.h"
#include "Conexao.h"
#include "DMClientDataSet.h"
#include "EsquemaTabelas.h"
#include "Excecoes.h"
#include "Literais.h"
#include "Paginacao.h"
#include "Personalizacao.h"
#include "TextoProprio.h"
#include "CursorDerivado.h"
#include "Valores.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

bool Igual(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The field catalogue dataset's fields, in the framework's order.
const TnDefCampo kCamposCatalogo[] = {
    {.Nome = "Tipo", .Tipo = ftInteger},         {.Nome = "Tabela", .Tipo = ftString, .Tamanho = 80},
    {.Nome = "Campo", .Tipo = ftString, .Tamanho = 80}, {.Nome = "Descricao", .Tipo = ftString, .Tamanho = 120},
    {.Nome = "FieldTipoValor", .Tipo = ftBoolean}, {.Nome = "NomeConsulta", .Tipo = ftString, .Tamanho = 80},
    {.Nome = "Filtro", .Tipo = ftBoolean},        {.Nome = "Dado", .Tipo = ftBoolean},
    {.Nome = "NegativarValor", .Tipo = ftBoolean}, {.Nome = "Somar", .Tipo = ftBoolean},
    {.Nome = "Contar", .Tipo = ftBoolean},        {.Nome = "Minimo", .Tipo = ftBoolean},
    {.Nome = "Maximo", .Tipo = ftBoolean},        {.Nome = "Media", .Tipo = ftBoolean},
    {.Nome = "Join", .Tipo = ftBoolean},          {.Nome = "Formula", .Tipo = ftString, .Tamanho = 500},
};

// Builds the catalogue table of a register's declaration: the fields that are columns of
// its table in the schema, in the declaration's order.
bool LerDeclaracao(const QString &classe, TnTabelaCatalogo &t)
{
    if (!Registro().Classe(classe))
        return false;
    std::unique_ptr<TnDataModule> dm(CriarDMNovo(classe));
    auto *cad = qobject_cast<TnDMClientDataSet *>(dm.get());
    if (!cad || cad->Declaracao().Tabela.isEmpty())
        return false;
    const TnDefCadastro &d = cad->Declaracao();
    const TnTabelaEsq *esq = TabelaDoEsquema(EsquemaInv(), d.Tabela);
    if (!esq)
        return false;
    t.Classe = TextoProprio(Registro().Classe(classe)->Nome);
    t.Tabela = esq->Nome;
    if (t.Caption.isEmpty())
        t.Caption = TextoProprio(cad->Caption().isEmpty() ? d.Caption : cad->Caption());
    t.Chave = NomesDaLista(esq->ChavePrimaria);
    for (const TnDefCampo &c : d.Campos) {
        const TnColunaEsq *col = c.Kind == fkData ? esq->Coluna(c.Nome) : nullptr;
        if (!col)
            continue;
        const TnField *f = cad->nClientDataSet().FindField(c.Nome);
        TnCampoCatalogo cc;
        cc.Campo = col->Nome;
        cc.Descricao = TextoProprio(f ? f->DisplayLabel() : c.Def.DisplayLabel);
        cc.Tipo = col->Tipo;
        cc.NaoNulo = col->NaoNulo;
        cc.Precisao = col->Precisao;
        cc.Escala = col->Escala;
        cc.Formato = TextoProprio(c.Def.DisplayFormat);
        cc.ClasseLookup = TextoProprio(c.Def.ClasseLookup);
        t.Campos.push_back(std::move(cc));
    }
    return !t.Campos.empty();
}

} // namespace

const TnCampoCatalogo *TnTabelaCatalogo::Campo(const QString &nome) const
{
    for (const TnCampoCatalogo &c : Campos)
        if (Igual(c.Campo, nome))
            return &c;
    return nullptr;
}

bool TnCatalogoConsulta::AddTabela(const QString &classe, const QString &grupo, const QString &item,
                                   const QString &caption)
{
    TnTabelaCatalogo t;
    t.Grupo = TextoProprio(grupo);
    t.Item = TextoProprio(item);
    t.Caption = TextoProprio(caption);
    if (Tabela(classe) || !LerDeclaracao(classe, t))
        return false;
    FTabelas.push_back(std::move(t));
    // The module's computed fields come back through the field catalogue dataset.
    if (OnCriarCamposDM) {
        TnClientDataSet ds;
        CriarCamposDM(FTabelas.back().Classe, ds);
        TnTabelaCatalogo &tab = FTabelas.back();
        for (ds.First(); !ds.Eof(); ds.Next()) {
            const QString formula = ds.FieldByName(QStringLiteral("Formula")).AsString();
            const QString campo = ds.FieldByName(QStringLiteral("Campo")).AsString();
            if (formula.isEmpty() || tab.Campo(campo))
                continue;
            TnCampoCatalogo cc;
            cc.Campo = TextoProprio(campo);
            cc.Descricao = TextoProprio(ds.FieldByName(QStringLiteral("Descricao")).AsString());
            cc.Tipo = ds.FieldByName(QStringLiteral("FieldTipoValor")).AsBoolean() ? ftFloat : ftString;
            cc.Formula = TextoProprio(formula);
            tab.Campos.push_back(std::move(cc));
        }
    }
    return true;
}

const TnTabelaCatalogo *TnCatalogoConsulta::Tabela(const QString &classe) const
{
    for (const TnTabelaCatalogo &t : FTabelas)
        if (Igual(t.Classe, classe))
            return &t;
    return nullptr;
}

void TnCatalogoConsulta::CriarCamposDM(const QString &classe, TnClientDataSet &ds) const
{
    const TnTabelaCatalogo *t = Tabela(classe);
    if (!t)
        throw Exception(QStringLiteral("Tabela fora do catálogo de consultas: %1").arg(classe));
    if (ds.FieldCount() == 0)
        ds.DefinirCampos(kCamposCatalogo);
    if (!ds.Active())
        ds.CreateDataSet();
    auto valor = [&](const char *campo, const QVariant &v) { ds.FieldByName(QString::fromLatin1(campo)).SetAsVariant(v); };
    for (const TnCampoCatalogo &c : t->Campos) {
        if (!c.Formula.isEmpty())
            continue;
        const bool numero = EhTipoNumerico(c.Tipo);
        ds.Append();
        valor("Tipo", FTipo);
        valor("Tabela", t->Classe);
        valor("Campo", c.Campo);
        valor("Descricao", c.Descricao);
        valor("FieldTipoValor", numero && !EhTipoInteiro(c.Tipo));
        valor("NomeConsulta", c.ClasseLookup);
        valor("Filtro", true);
        valor("Dado", true);
        valor("NegativarValor", numero);
        valor("Somar", numero);
        valor("Contar", true);
        valor("Minimo", true);
        valor("Maximo", true);
        valor("Media", numero);
        valor("Join", true);
        valor("Formula", QString());
        ds.Post();
    }
    if (OnCriarCamposDM)
        OnCriarCamposDM(FTipo, t->Classe, ds);
}

std::vector<std::pair<QString, QString>> TnCatalogoConsulta::JuncaoSugerida(const QString &classeA,
                                                                            const QString &classeB) const
{
    std::vector<std::pair<QString, QString>> r;
    const TnTabelaCatalogo *a = Tabela(classeA);
    const TnTabelaCatalogo *b = Tabela(classeB);
    if (!a || !b)
        return r;
    for (const auto &[x, y] : {std::pair{a, b}, std::pair{b, a}}) {
        const TnTabelaEsq *esq = TabelaDoEsquema(EsquemaInv(), x->Tabela);
        for (const TnChaveEstrangeiraEsq &fk : esq ? esq->Estrangeiras : std::vector<TnChaveEstrangeiraEsq>{}) {
            if (!Igual(fk.TabelaRef, y->Tabela))
                continue;
            const QStringList de = NomesDaLista(fk.Colunas), para = NomesDaLista(fk.ColunasRef);
            for (qsizetype i = 0; i < de.size() && i < para.size(); ++i)
                r.emplace_back(x == a ? de[i] : para[i], x == a ? para[i] : de[i]);
            return r;
        }
    }
    // No reference: the key fields of one table that the other has, with the same type.
    for (const auto &[x, y] : {std::pair{b, a}, std::pair{a, b}}) {
        for (const QString &k : x->Chave) {
            const TnCampoCatalogo *cx = x->Campo(k), *cy = y->Campo(k);
            if (cx && cy && cx->Tipo == cy->Tipo)
                r.emplace_back(k, k);
        }
        if (!r.empty())
            return r;
    }
    return r;
}

// ---------------------------------------------------------------------------------------
// Definition

namespace {

const char *const kTotais[] = {"", "soma", "contagem", "minimo", "maximo", "media"};
const char *const kOperadores[] = {"igual", "entre", "lista", "contem"};

[[noreturn]] void DefinicaoInvalida(const QString &motivo)
{
    throw Exception(QStringLiteral("Definição de consulta inválida: %1").arg(motivo));
}

QString Texto(const QJsonObject &o, const char *chave)
{
    const QJsonValue v = o.value(QLatin1String(chave));
    if (!v.isUndefined() && !v.isString())
        DefinicaoInvalida(QStringLiteral("\"%1\" deve ser um texto").arg(QLatin1String(chave)));
    return v.toString();
}

QJsonArray Lista(const QJsonObject &o, const char *chave)
{
    const QJsonValue v = o.value(QLatin1String(chave));
    if (!v.isUndefined() && !v.isArray())
        DefinicaoInvalida(QStringLiteral("\"%1\" deve ser uma lista").arg(QLatin1String(chave)));
    return v.toArray();
}

QJsonObject Objeto(const QJsonValue &v)
{
    if (!v.isObject())
        DefinicaoInvalida(QStringLiteral("item que não é um objeto"));
    return v.toObject();
}

template <std::size_t N> int Indice(const char *const (&nomes)[N], const QString &s, const char *oque)
{
    for (std::size_t i = 0; i < N; ++i)
        if (s == QLatin1String(nomes[i]))
            return int(i);
    DefinicaoInvalida(QStringLiteral("%1 desconhecido: \"%2\"").arg(QLatin1String(oque), s));
}

} // namespace

QString TnDefinicaoConsulta::AdicionarTabela(const QString &classe)
{
    int n = 1;
    for (;; ++n) {
        const QString alias = QStringLiteral("T%1").arg(n);
        if (std::none_of(Tabelas.begin(), Tabelas.end(), [&](const TnTabelaConsulta &t) { return t.Alias == alias; }))
            break;
    }
    Tabelas.push_back({QStringLiteral("T%1").arg(n), classe});
    return Tabelas.back().Alias;
}

QString TnDefinicaoConsulta::ParaJson() const
{
    QJsonObject o;
    QJsonArray tabelas, juncoes, campos, filtros, ordem;
    for (const TnTabelaConsulta &t : Tabelas)
        tabelas.append(QJsonObject{{"alias", t.Alias}, {"classe", t.Classe}});
    for (const TnJuncaoConsulta &j : Juncoes) {
        QJsonArray pares;
        for (const auto &[e, d] : j.Campos)
            pares.append(QJsonArray{e, d});
        juncoes.append(QJsonObject{{"esquerda", j.AliasEsquerda}, {"direita", j.AliasDireita}, {"campos", pares}});
    }
    for (const TnCampoConsulta &c : Campos)
        campos.append(QJsonObject{{"tabela", c.Alias},
                                  {"campo", c.Campo},
                                  {"caption", c.Caption},
                                  {"negativar", c.Negativar},
                                  {"total", QLatin1String(kTotais[c.Total])}});
    for (const TnFiltroConsulta &f : Filtros)
        filtros.append(QJsonObject{
            {"tabela", f.Alias}, {"campo", f.Campo}, {"operador", QLatin1String(kOperadores[f.Operador])}});
    for (const TnOrdemConsulta &c : Ordem)
        ordem.append(QJsonObject{{"tabela", c.Alias}, {"campo", c.Campo}});
    o.insert("tabelas", tabelas);
    o.insert("juncoes", juncoes);
    o.insert("campos", campos);
    o.insert("filtros", filtros);
    o.insert("ordem", ordem);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

TnDefinicaoConsulta TnDefinicaoConsulta::DeJson(const QString &json)
{
    QJsonParseError erro;
    const QJsonDocument doc = QJsonDocument::fromJson(json.toUtf8(), &erro);
    if (erro.error != QJsonParseError::NoError)
        DefinicaoInvalida(QStringLiteral("o texto não é JSON válido (%1)").arg(erro.errorString()));
    if (!doc.isObject())
        DefinicaoInvalida(QStringLiteral("o texto não é um objeto"));
    const QJsonObject o = doc.object();
    TnDefinicaoConsulta d;
    for (const QJsonValue &v : Lista(o, "tabelas")) {
        const QJsonObject t = Objeto(v);
        d.Tabelas.push_back({Texto(t, "alias"), Texto(t, "classe")});
    }
    for (const QJsonValue &v : Lista(o, "juncoes")) {
        const QJsonObject j = Objeto(v);
        TnJuncaoConsulta jc{Texto(j, "esquerda"), Texto(j, "direita"), {}};
        for (const QJsonValue &p : Lista(j, "campos")) {
            const QJsonArray par = p.toArray();
            if (!p.isArray() || par.size() != 2 || !par[0].isString() || !par[1].isString())
                DefinicaoInvalida(QStringLiteral("par de campos da junção"));
            jc.Campos.emplace_back(par[0].toString(), par[1].toString());
        }
        d.Juncoes.push_back(std::move(jc));
    }
    for (const QJsonValue &v : Lista(o, "campos")) {
        const QJsonObject c = Objeto(v);
        if (!c.value("negativar").isUndefined() && !c.value("negativar").isBool())
            DefinicaoInvalida(QStringLiteral("\"negativar\" deve ser verdadeiro ou falso"));
        d.Campos.push_back({Texto(c, "tabela"), Texto(c, "campo"), Texto(c, "caption"), c.value("negativar").toBool(),
                            TnTotalConsulta(Indice(kTotais, Texto(c, "total"), "total"))});
    }
    for (const QJsonValue &v : Lista(o, "filtros")) {
        const QJsonObject f = Objeto(v);
        d.Filtros.push_back({Texto(f, "tabela"), Texto(f, "campo"),
                             TnOperadorFiltro(Indice(kOperadores, Texto(f, "operador"), "operador"))});
    }
    for (const QJsonValue &v : Lista(o, "ordem")) {
        const QJsonObject c = Objeto(v);
        d.Ordem.push_back({Texto(c, "tabela"), Texto(c, "campo")});
    }
    return d;
}

QString AliasParametroFiltro(int indiceFiltro, bool final)
{
    return QStringLiteral("pFiltro%1%2").arg(indiceFiltro + 1).arg(final ? QStringLiteral("Final") : QString());
}

// ---------------------------------------------------------------------------------------
// Storage

namespace {

const char *const kColunasSalvas = "CODIGOCONSULTA, NOMECONSULTA, TIPOACAO, DEFINICAO, CODIGOUSUARIO, MOMENTO";

TnConsultaSalva LerSalva(TnCursor &c)
{
    TnConsultaSalva s;
    s.Codigo = int(c.Inteiro(0));
    s.Nome = c.Texto(1);
    s.TipoAcao = int(c.Inteiro(2));
    s.Definicao = c.Texto(3);
    s.Usuario = c.Nulo(4) ? 0 : int(c.Inteiro(4));
    s.Momento = c.Nulo(5) ? QDateTime() : c.DataHora(5);
    return s;
}

QString NomeValido(const QString &nome)
{
    const QString n = nome.trimmed();
    if (n.isEmpty())
        throw Exception(QStringLiteral("Informe o nome da consulta."));
    if (n.size() > 100)
        throw Exception(QStringLiteral("O nome da consulta tem mais de 100 caracteres."));
    return n;
}

void ExigirNomeLivre(nDMConexao &con, const QString &nome, int tipoAcao, int codigo)
{
    auto cmd = con.Preparar(QStringLiteral("select CODIGOCONSULTA from NCONSULTAPERSONALIZADA "
                                           "where TIPOACAO = ? and upper(NOMECONSULTA) = upper(?) and CODIGOCONSULTA <> ?"));
    cmd->BindInteiro(0, tipoAcao);
    cmd->BindTexto(1, nome);
    cmd->BindInteiro(2, codigo);
    if (cmd->Abrir().Proximo())
        throw Exception(QStringLiteral("Já existe uma consulta com o nome \"%1\".").arg(nome));
}

} // namespace

int SalvarConsultaPersonalizada(const QString &nome, int tipoAcao, const TnDefinicaoConsulta &def, int codigo)
{
    const QString n = NomeValido(nome);
    nDMConexao &con = nDMConexao::Atual();
    TnTransacao tr(1, con);
    ExigirNomeLivre(con, n, tipoAcao, codigo);
    const QDateTime agora = QDateTime::currentDateTime();
    if (codigo > 0) {
        auto cmd = con.Preparar(QStringLiteral("update NCONSULTAPERSONALIZADA set NOMECONSULTA = ?, TIPOACAO = ?, "
                                               "DEFINICAO = ?, CODIGOUSUARIO = ?, MOMENTO = ? where CODIGOCONSULTA = ?"));
        cmd->BindTexto(0, n);
        cmd->BindInteiro(1, tipoAcao);
        cmd->BindTexto(2, def.ParaJson());
        cmd->BindInteiro(3, CodigoUsuarioConectado());
        cmd->BindDataHora(4, agora);
        cmd->BindInteiro(5, codigo);
        if (cmd->Executar() != 1)
            throw Exception(QStringLiteral("A consulta %1 não existe mais.").arg(codigo));
    } else {
        auto prox = con.Preparar(QStringLiteral("select coalesce(max(CODIGOCONSULTA), 0) + 1 from NCONSULTAPERSONALIZADA"));
        TnCursor &c = prox->Abrir();
        c.Proximo();
        codigo = int(c.Inteiro(0));
        prox->Fechar();
        auto cmd = con.Preparar(QStringLiteral("insert into NCONSULTAPERSONALIZADA (%1) values (?, ?, ?, ?, ?, ?)")
                                    .arg(QLatin1String(kColunasSalvas)));
        cmd->BindInteiro(0, codigo);
        cmd->BindTexto(1, n);
        cmd->BindInteiro(2, tipoAcao);
        cmd->BindTexto(3, def.ParaJson());
        cmd->BindInteiro(4, CodigoUsuarioConectado());
        cmd->BindDataHora(5, agora);
        cmd->Executar();
    }
    tr.Commit();
    emit AvisoConsultasPersonalizadas().Alteradas();
    return codigo;
}

TnAvisoConsultasPersonalizadas &AvisoConsultasPersonalizadas()
{
    static TnAvisoConsultasPersonalizadas aviso;
    return aviso;
}

std::vector<TnConsultaSalva> ListarConsultasPersonalizadas(int tipoAcao)
{
    auto cmd = nDMConexao::Atual().Preparar(
        QStringLiteral("select %1 from NCONSULTAPERSONALIZADA where (? < 0 or TIPOACAO = ?) "
                       "order by NOMECONSULTA, CODIGOCONSULTA")
            .arg(QLatin1String(kColunasSalvas)));
    cmd->BindInteiro(0, tipoAcao);
    cmd->BindInteiro(1, tipoAcao);
    std::vector<TnConsultaSalva> r;
    for (TnCursor &c = cmd->Abrir(); c.Proximo();)
        r.push_back(LerSalva(c));
    return r;
}

TnConsultaSalva LerConsultaPersonalizada(int codigo)
{
    auto cmd = nDMConexao::Atual().Preparar(
        QStringLiteral("select %1 from NCONSULTAPERSONALIZADA where CODIGOCONSULTA = ?").arg(QLatin1String(kColunasSalvas)));
    cmd->BindInteiro(0, codigo);
    TnCursor &c = cmd->Abrir();
    if (!c.Proximo())
        throw Exception(QStringLiteral("A consulta personalizada %1 não existe.").arg(codigo));
    return LerSalva(c);
}

void RenomearConsultaPersonalizada(int codigo, const QString &nome)
{
    const QString n = NomeValido(nome);
    nDMConexao &con = nDMConexao::Atual();
    TnTransacao tr(1, con);
    const TnConsultaSalva s = LerConsultaPersonalizada(codigo);
    ExigirNomeLivre(con, n, s.TipoAcao, codigo);
    con.Executar(QStringLiteral("update NCONSULTAPERSONALIZADA set NOMECONSULTA = ? where CODIGOCONSULTA = ?"),
                 {n, codigo});
    tr.Commit();
    emit AvisoConsultasPersonalizadas().Alteradas();
}

void ExcluirConsultaPersonalizada(int codigo)
{
    nDMConexao::Atual().Executar(QStringLiteral("delete from NCONSULTAPERSONALIZADA where CODIGOCONSULTA = ?"),
                                 {codigo});
    emit AvisoConsultasPersonalizadas().Alteradas();
}

// ---------------------------------------------------------------------------------------
// Builder

TnConstrutorConsultaPersonalizada::TnConstrutorConsultaPersonalizada(const TnDefinicaoConsulta &def,
                                                                     const TnpqPowerParam *params)
    : FDef(def), FParams(params)
{
}

namespace {

[[noreturn]] void Recusar(const QString &motivo)
{
    throw Exception(QStringLiteral("A consulta não pode ser montada: %1").arg(motivo));
}

// A computed field's formula over alias `alias`: "%0:s.COLUMN" references to columns of
// its own table, numbers, blanks, parentheses and + - * / only.
QString FormulaDoAlias(const TnTabelaCatalogo &t, const TnCampoCatalogo &c, const QString &alias)
{
    static const QRegularExpression ref(QStringLiteral(R"(%0:s\.([A-Za-z_][A-Za-z0-9_]*))"));
    static const QRegularExpression resto(QStringLiteral(R"(^[0-9.\s()+\-*/]*$)"));
    QString fora = c.Formula;
    fora.replace(ref, QString());
    if (!resto.match(fora).hasMatch())
        Recusar(QStringLiteral("a fórmula do campo \"%1\" cita algo além das colunas da sua tabela").arg(c.Descricao));
    for (auto it = ref.globalMatch(c.Formula); it.hasNext();) {
        const QString col = it.next().captured(1);
        const TnCampoCatalogo *cc = t.Campo(col);
        if (!cc || !cc->Formula.isEmpty())
            Recusar(QStringLiteral("a fórmula do campo \"%1\" cita a coluna desconhecida %2").arg(c.Descricao, col));
    }
    QString f = c.Formula;
    return f.replace(QStringLiteral("%0:s"), alias);
}

// A computed field that is the product of two numeric columns of its table ("(%0:s.A *
// %0:s.B)", quantity x unit cost) is computed exactly (nDecimal::Produto): the statement
// yields it in cents, as an integer, on both engines, and the runner divides by 100 on the
// way into the grid. Empty when the formula is not such a product.
QString ProdutoExato(const TnTabelaCatalogo &t, const TnCampoCatalogo &c, const QString &alias)
{
    static const QRegularExpression produto(
        QStringLiteral(R"(^\(\s*%0:s\.([A-Za-z_][A-Za-z0-9_]*)\s*\*\s*%0:s\.([A-Za-z_][A-Za-z0-9_]*)\s*\)$)"));
    const QRegularExpressionMatch m = produto.match(c.Formula);
    if (!m.hasMatch())
        return {};
    const TnCampoCatalogo *a = t.Campo(m.captured(1)), *b = t.Campo(m.captured(2));
    if (!a || !b || !a->Formula.isEmpty() || !b->Formula.isEmpty() || !EhTipoNumerico(a->Tipo)
        || !EhTipoNumerico(b->Tipo))
        return {};
    const QString fa = alias + u'.' + a->Campo, fb = alias + u'.' + b->Campo;
    const nDMConexao *con = nDMConexao::AtualOuNulo();
    if (con && con->PegarTipoCon() == tcPostgreSQL)
        return QStringLiteral("cast(round(cast(%1 as numeric) * cast(%2 as numeric), 2) * 100 as bigint)").arg(fa, fb);
    return QStringLiteral("orvo_produto(%1, %2, 2)").arg(fa, fb);
}

TTipoValorFiltro TipoFiltro(TFieldType t) { return EhTipoNumerico(t) ? tvfNumerico : tvfTexto; }

// A filter value of the field's type, or EnParam on the parameter.
QVariant ValorFiltro(const TnpqParamItem &p, TFieldType tipo)
{
    if (EhTipoInteiro(tipo))
        return p.AsInteger();
    if (EhTipoNumerico(tipo))
        return p.AsFloat();
    if (tipo == ftDate || tipo == ftDateTime) {
        const QDate d = p.AsDate();
        if (!d.isValid())
            throw EnParam(p.Alias(), QStringLiteral("\"%1\" não é uma data válida em \"%2\".").arg(p.Text(), p.Caption()));
        return d;
    }
    return p.AsString();
}

} // namespace

void TnConstrutorConsultaPersonalizada::Montar(const TnCatalogoConsulta &catalogo, bool chaves)
{
    FSQL.clear();
    FBase.clear();
    FValores.clear();
    FColunas.clear();
    FOrdem.clear();
    FAgrupada = false;
    FPaginavel = false;

    static const QRegularExpression aliasValido(QStringLiteral("^T[1-9][0-9]{0,2}$"));
    QHash<QString, const TnTabelaCatalogo *> tabelas; // by alias
    QStringList ordemAlias;
    if (FDef.Tabelas.empty())
        Recusar(QStringLiteral("nenhuma tabela escolhida"));
    for (const TnTabelaConsulta &t : FDef.Tabelas) {
        if (!aliasValido.match(t.Alias).hasMatch() || tabelas.contains(t.Alias))
            Recusar(QStringLiteral("apelido de tabela inválido: \"%1\"").arg(t.Alias));
        const TnTabelaCatalogo *tc = catalogo.Tabela(t.Classe);
        if (!tc)
            Recusar(QStringLiteral("tabela desconhecida: \"%1\"").arg(t.Classe));
        tabelas.insert(t.Alias, tc);
        ordemAlias << t.Alias;
    }
    auto campo = [&](const QString &alias, const QString &nome) -> std::pair<const TnTabelaCatalogo *, const TnCampoCatalogo *> {
        const TnTabelaCatalogo *t = tabelas.value(alias);
        if (!t)
            Recusar(QStringLiteral("apelido de tabela desconhecido: \"%1\"").arg(alias));
        const TnCampoCatalogo *c = t->Campo(nome);
        if (!c)
            Recusar(QStringLiteral("campo desconhecido: \"%1\" em %2").arg(nome, t->Caption));
        return {t, c};
    };
    // The field's expression; `centavos` tells an exact product given in cents.
    auto expressao = [&](const QString &alias, const QString &nome, bool *centavos = nullptr) {
        const auto [t, c] = campo(alias, nome);
        if (centavos)
            *centavos = false;
        if (c->Formula.isEmpty())
            return alias + u'.' + c->Campo;
        const QString formula = FormulaDoAlias(*t, *c, alias); // checked even when not used
        const QString produto = ProdutoExato(*t, *c, alias);
        if (produto.isEmpty())
            return formula;
        if (centavos)
            *centavos = true;
        return produto;
    };

    // From and joins: each table after the first joins one before it.
    QString de = QStringLiteral(" from %1 %2").arg(tabelas.value(ordemAlias[0])->Tabela, ordemAlias[0]);
    for (qsizetype i = 1; i < ordemAlias.size(); ++i) {
        const QString &alias = ordemAlias[i];
        QStringList condicoes;
        for (const TnJuncaoConsulta &j : FDef.Juncoes) {
            const qsizetype e = ordemAlias.indexOf(j.AliasEsquerda), d = ordemAlias.indexOf(j.AliasDireita);
            if (e < 0 || d < 0 || e == d)
                Recusar(QStringLiteral("junção entre apelidos inválidos: \"%1\" e \"%2\"").arg(j.AliasEsquerda, j.AliasDireita));
            if (std::max(e, d) != i)
                continue;
            if (j.Campos.empty())
                Recusar(QStringLiteral("junção sem campos"));
            for (const auto &[ce, cd] : j.Campos) {
                const auto [te, fe] = campo(j.AliasEsquerda, ce);
                const auto [td, fd] = campo(j.AliasDireita, cd);
                if (!fe->Formula.isEmpty() || !fd->Formula.isEmpty())
                    Recusar(QStringLiteral("junção por campo calculado"));
                const bool compativeis = fe->Tipo == fd->Tipo || (EhTipoInteiro(fe->Tipo) && EhTipoInteiro(fd->Tipo)) ||
                                         (EhTipoTexto(fe->Tipo) && EhTipoTexto(fd->Tipo));
                if (!compativeis)
                    Recusar(QStringLiteral("a junção liga \"%1\" a \"%2\", campos de tipos diferentes")
                                .arg(fe->Descricao, fd->Descricao));
                condicoes << QStringLiteral("%1.%2 = %3.%4").arg(j.AliasEsquerda, fe->Campo, j.AliasDireita, fd->Campo);
            }
        }
        if (condicoes.isEmpty())
            Recusar(QStringLiteral("a tabela %1 não está ligada às anteriores").arg(tabelas.value(alias)->Caption));
        de += QStringLiteral(" join %1 %2 on %3").arg(tabelas.value(alias)->Tabela, alias, condicoes.join(QStringLiteral(" and ")));
    }

    // Shown fields.
    if (FDef.Campos.empty())
        Recusar(QStringLiteral("nenhum campo escolhido"));
    for (const TnCampoConsulta &c : FDef.Campos)
        if (c.Total != ntcNenhum)
            FAgrupada = true;
    QStringList selecao, grupo;
    QHash<QString, QString> saidaDoCampo; // "T1.CAMPO" -> output name
    QHash<QString, int> usados;
    for (const TnCampoConsulta &c : FDef.Campos) {
        const auto [t, cc] = campo(c.Alias, c.Campo);
        const bool numero = EhTipoNumerico(cc->Tipo);
        if (c.Negativar && !numero)
            Recusar(QStringLiteral("o campo \"%1\" não é numérico para ser negativado").arg(cc->Descricao));
        if ((c.Total == ntcSoma || c.Total == ntcMedia) && !numero)
            Recusar(QStringLiteral("o campo \"%1\" não é numérico para ser totalizado").arg(cc->Descricao));
        bool centavos = false;
        QString e = expressao(c.Alias, c.Campo, &centavos);
        if (c.Negativar)
            e = QStringLiteral("-(%1)").arg(e);
        const QString baseNome = cc->Campo.toUpper();
        const int n = usados[baseNome]++;
        Coluna col;
        col.Nome = n == 0 ? baseNome : QStringLiteral("%1_%2").arg(baseNome).arg(n + 1);
        col.Caption = c.Caption.isEmpty() ? cc->Descricao : c.Caption;
        col.Formato = cc->Formato;
        col.Total = c.Total != ntcNenhum;
        switch (c.Total) {
        case ntcNenhum:
            col.Tipo = cc->Tipo;
            col.Precisao = cc->Precisao;
            col.Escala = cc->Escala;
            col.NaoNulo = cc->NaoNulo;
            if (FAgrupada)
                grupo << e;
            break;
        case ntcSoma:
            e = QStringLiteral("sum(%1)").arg(e);
            col.Tipo = cc->Tipo == ftBCD ? ftBCD : ftFloat;
            col.Precisao = 18;
            col.Escala = cc->Escala;
            break;
        case ntcContagem:
            // A count is a whole number: not in the counted field's format.
            e = QStringLiteral("count(%1)").arg(e);
            col.Tipo = ftLargeint;
            col.NaoNulo = true;
            col.Formato.clear();
            break;
        case ntcMinimo:
        case ntcMaximo:
            e = QStringLiteral("%1(%2)").arg(c.Total == ntcMinimo ? u"min" : u"max", e);
            col.Tipo = cc->Tipo;
            col.Precisao = cc->Precisao;
            col.Escala = cc->Escala;
            break;
        case ntcMedia: e = QStringLiteral("avg(%1)").arg(e); col.Tipo = ftFloat; break;
        }
        // Sums and averages of whole numbers and doubles read as doubles on both engines.
        if ((c.Total == ntcSoma && col.Tipo == ftFloat) || c.Total == ntcMedia)
            e = QStringLiteral("cast(%1 as double precision)").arg(e);
        col.Centavos = centavos && c.Total != ntcContagem;
        selecao << QStringLiteral("%1 as %2").arg(e, col.Nome);
        if (!col.Total)
            saidaDoCampo.insert(c.Alias + u'.' + cc->Campo.toUpper(), col.Nome);
        FColunas.push_back(std::move(col));
    }

    // Filters: parameters without a value are left out.
    QString onde;
    for (int i = 0; i < int(FDef.Filtros.size()); ++i) {
        const TnFiltroConsulta &f = FDef.Filtros[size_t(i)];
        const auto [t, cc] = campo(f.Alias, f.Campo);
        bool centavos = false;
        const QString e = expressao(f.Alias, f.Campo, &centavos);
        if (!cc->Formula.isEmpty() && (f.Operador == nofLista || f.Operador == nofContem))
            Recusar(QStringLiteral("o campo calculado \"%1\" só se filtra por igual ou entre").arg(cc->Descricao));
        // An exact product compares in cents.
        const auto valor = [&](const TnpqParamItem &item) {
            const QVariant v = ValorFiltro(item, cc->Tipo);
            return centavos ? QVariant(qint64(std::llround(RoundValor(v.toDouble(), 2) * 100))) : v;
        };
        const TnpqParamItem *p = FParams ? FParams->FindParam(AliasParametroFiltro(i)) : nullptr;
        if (!p)
            continue;
        switch (f.Operador) {
        case nofIgual:
            if (!p->IsNull()) {
                onde += QStringLiteral(" and %1 = ?").arg(e);
                FValores << valor(*p);
            }
            break;
        case nofEntre: {
            const TnpqParamItem *fim = FParams->FindParam(AliasParametroFiltro(i, true));
            if (!p->IsNull()) {
                onde += QStringLiteral(" and %1 >= ?").arg(e);
                FValores << valor(*p);
            }
            if (fim && !fim->IsNull()) {
                onde += QStringLiteral(" and %1 <= ?").arg(e);
                FValores << valor(*fim);
            }
            break;
        }
        case nofLista:
            if (!p->IsNull())
                onde += u' ' + NoParametro(p->Alias(), [&] {
                             return FilterInterval(e, p->AsString(), TipoFiltro(cc->Tipo)).trimmed();
                         });
            break;
        case nofContem:
            if (!p->IsNull()) {
                QString texto = p->AsString();
                texto.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("\\%")).replace(u'_', QStringLiteral("\\_"));
                onde += QStringLiteral(" and upper(%1) like ? escape '\\'").arg(EhTipoTexto(cc->Tipo) ? e : QStringLiteral("cast(%1 as varchar(100))").arg(e));
                FValores << QStringLiteral("%") + texto.toUpper() + QStringLiteral("%");
            }
            break;
        }
    }

    // Key columns, hidden, for reading in packets.
    QStringList chaveOrdem;
    if (chaves && !FAgrupada) {
        for (const QString &alias : ordemAlias)
            for (const QString &k : tabelas.value(alias)->Chave) {
                Coluna col;
                col.Nome = QStringLiteral("K_%1_%2").arg(alias, k);
                col.Oculta = true;
                col.NaoNulo = true;
                col.Tipo = tabelas.value(alias)->Campo(k) ? tabelas.value(alias)->Campo(k)->Tipo : ftUnknown;
                selecao << QStringLiteral("%1.%2 as %3").arg(alias, k, col.Nome);
                chaveOrdem << col.Nome;
                FColunas.push_back(std::move(col));
            }
    }

    // Order: shown fields only (with totals, the order must be among the groups).
    bool paginavel = !FAgrupada && chaves;
    for (const TnOrdemConsulta &o : FDef.Ordem) {
        const auto [t, cc] = campo(o.Alias, o.Campo);
        const QString saida = saidaDoCampo.value(o.Alias + u'.' + cc->Campo.toUpper());
        if (saida.isEmpty())
            Recusar(QStringLiteral("a ordem cita \"%1\", que não é um campo mostrado sem total").arg(cc->Descricao));
        if (!FOrdem.contains(saida)) {
            FOrdem << saida;
            if (!cc->NaoNulo || !cc->Formula.isEmpty())
                paginavel = false;
        }
    }
    for (const QString &k : chaveOrdem)
        FOrdem << k;
    FPaginavel = paginavel && !chaveOrdem.isEmpty();

    FBase = QStringLiteral("select ") + selecao.join(QStringLiteral(", ")) + de;
    if (!onde.isEmpty())
        FBase += QStringLiteral(" where ") + onde.mid(5);
    if (FAgrupada && !grupo.isEmpty())
        FBase += QStringLiteral(" group by ") + grupo.join(QStringLiteral(", "));
    FSQL = FBase;
    if (!FOrdem.isEmpty())
        FSQL += QStringLiteral(" order by ") + FOrdem.join(QStringLiteral(", "));
}

// ---------------------------------------------------------------------------------------
// Runner

namespace {

const TnDefProcesso kRunner{.Caption = "Consulta Personalizada", .CaptionParametros = "Filtros"};

struct TnMenuConsultas {
    int Tipo;
    int Modulo;
    QString Categoria;
};
std::vector<TnMenuConsultas> &MenusConsultas()
{
    static std::vector<TnMenuConsultas> menus;
    return menus;
}

} // namespace

TnDPConsultaPersonalizada::TnDPConsultaPersonalizada() : TnDMPowerParamGrid(kRunner)
{
    SetDBGridOrdenar(true);
    SetPesquisa(true);
}

void TnDPConsultaPersonalizada::ConfigurarCatalogo(TnCatalogoConsulta &) {}

void TnDPConsultaPersonalizada::AposCriar()
{
    if (Acao() && Acao()->Tag() > 0)
        CarregarConsulta(Acao()->Tag());
    TnDMPowerParamGrid::AposCriar();
}

void TnDPConsultaPersonalizada::CarregarConsulta(int codigo)
{
    const TnConsultaSalva s = LerConsultaPersonalizada(codigo);
    FCatalogo = TnCatalogoConsulta(s.TipoAcao);
    ConfigurarCatalogo(FCatalogo);
    try {
        FDef = TnDefinicaoConsulta::DeJson(s.Definicao);
        // Checked once now, so that a definition that cannot run is refused before the form.
        TnConstrutorConsultaPersonalizada(FDef, nullptr).Montar(FCatalogo);
    } catch (const Exception &e) {
        throw Exception(QStringLiteral("A consulta \"%1\" não pode ser aberta. %2").arg(s.Nome, e.Message()));
    }
    FNome = s.Nome;
    FTipoAcao = s.TipoAcao;
    SetCaption(s.Nome);
    MontarParametros();
}

void TnDPConsultaPersonalizada::MontarParametros()
{
    for (int i = 0; i < int(FDef.Filtros.size()); ++i) {
        const TnFiltroConsulta &f = FDef.Filtros[size_t(i)];
        const TnTabelaCatalogo *t = nullptr;
        for (const TnTabelaConsulta &tc : FDef.Tabelas)
            if (tc.Alias == f.Alias)
                t = FCatalogo.Tabela(tc.Classe);
        const TnCampoCatalogo *c = t ? t->Campo(f.Campo) : nullptr;
        if (!c)
            continue;
        TnDefParam p;
        p.Alias = AliasParametroFiltro(i);
        p.Caption = c->Descricao;
        p.Tipo = EhTipoInteiro(c->Tipo) ? ntpInteiro
                 : EhTipoNumerico(c->Tipo) ? ntpNumero
                 : (c->Tipo == ftDate || c->Tipo == ftDateTime) ? ntpData
                                                                : ntpTexto;
        if (!c->ClasseLookup.isEmpty() && f.Operador != nofContem) {
            p.Tipo = ntpLookup;
            p.ClasseLookup = c->ClasseLookup;
        }
        if (f.Operador == nofLista) {
            p.MultiSelecao = true;
            if (p.Tipo != ntpLookup)
                p.Tipo = ntpTexto;
        }
        if (f.Operador == nofContem)
            p.Tipo = ntpTexto;
        if (f.Operador == nofEntre) {
            const QString caption = p.Caption;
            p.Caption = caption + QStringLiteral(" inicial");
            PowerParam().Adicionar(p);
            p.Alias = AliasParametroFiltro(i, true);
            p.Caption = caption + QStringLiteral(" final");
        }
        PowerParam().Adicionar(p);
    }
}

void TnDPConsultaPersonalizada::CriarFiltros() {}

void TnDPConsultaPersonalizada::CreateContructor()
{
    FConstrutor = std::make_unique<TnConstrutorConsultaPersonalizada>(FDef, &PowerParam());
}

void TnDPConsultaPersonalizada::OnFormatCampoConsulta(TnField &campo)
{
    if (FConstrutor)
        FormatarColunaConsulta(campo, *FConstrutor);
}

void FormatarColunaConsulta(TnField &campo, const TnConstrutorConsultaPersonalizada &construtor)
{
    for (const TnConstrutorConsultaPersonalizada::Coluna &c : construtor.Colunas())
        if (Igual(c.Nome, campo.FieldName())) {
            campo.SetDisplayLabel(c.Caption);
            if (!c.Formato.isEmpty())
                campo.SetDisplayFormat(c.Formato);
            campo.SetVisible(!c.Oculta);
        }
}

void DefinirResultadoConsulta(TnClientDataSet &ds, const TnConstrutorConsultaPersonalizada &construtor,
                              const std::function<void(TnField &)> &formatar)
{
    if (ds.FieldCount() == 0)
        for (const TnConstrutorConsultaPersonalizada::Coluna &c : construtor.Colunas()) {
            TnDefCampo d;
            d.Nome = c.Nome;
            d.Tipo = c.Tipo == ftUnknown ? ftString : c.Tipo;
            if (d.Tipo == ftString)
                d.Tamanho = 0;
            if (d.Tipo == ftBCD) {
                d.Precisao = c.Precisao;
                d.Escala = c.Escala;
            }
            d.Requerido = c.NaoNulo;
            TnField &f = ds.AdicionarCampo(d);
            if (formatar)
                formatar(f);
        }
    // Exact products come in cents: divided by 100 on their way into the dataset.
    const std::vector<TnConstrutorConsultaPersonalizada::Coluna> colunas = construtor.Colunas();
    const bool centavos = std::any_of(colunas.begin(), colunas.end(), [](const auto &c) { return c.Centavos; });
    if (!centavos)
        ds.SetDerivacao({});
    else
        ds.SetDerivacao([colunas](TnCursorDerivado &c) {
            for (const TnConstrutorConsultaPersonalizada::Coluna &col : colunas) {
                if (!col.Centavos) {
                    c.Coluna(col.Nome);
                    continue;
                }
                const int i = c.IndiceOrigem(col.Nome);
                c.ColunaReal(col.Nome, [i](TnCursor &o, double &v) {
                    if (o.Nulo(i))
                        return false;
                    v = o.Real(i) / 100.0;
                    return true;
                });
            }
        });
}

void TnDPConsultaPersonalizada::Executar()
{
    if (FDef.Tabelas.empty())
        throw Exception(QStringLiteral("Nenhuma consulta personalizada foi carregada."));
    CriarFiltros();
    CreateContructor();
    if (!FConstrutor)
        throw Exception(QStringLiteral("A consulta não tem construtor."));
    FConstrutor->Montar(FCatalogo, true);

    TnClientDataSet &ds = nClientDataSet();
    ds.Close();
    // The fields come from the builder's columns, so that they exist before the first packet;
    // a runner keeps its definition, so they are declared once.
    DefinirResultadoConsulta(ds, *FConstrutor, [this](TnField &f) { OnFormatCampoConsulta(f); });
    if (FConstrutor->OrdemPaginavel()) {
        ds.AbrirPaginado(std::make_shared<TnFonteChaveada>(nDMConexao::Atual(), FConstrutor->SQLBase(),
                                                           FConstrutor->Valores(), FConstrutor->Ordem(),
                                                           FConstrutor->Ordem().join(u';')));
    } else {
        auto cmd = nDMConexao::Atual().Preparar(FConstrutor->SQL());
        for (int i = 0; i < FConstrutor->Valores().size(); ++i)
            cmd->BindValor(i, FConstrutor->Valores()[i]);
        ds.CarregarDe(cmd->Abrir());
    }
    if (!ds.IsEmpty())
        ds.First();
    ResultadoAlterado();
}

// ---------------------------------------------------------------------------------------
// Menu

void DefinirMenuConsultasPersonalizadas(int tipoAcao, int modulo, const QString &categoria)
{
    RemoverMenuConsultasPersonalizadas(tipoAcao);
    MenusConsultas().push_back({tipoAcao, modulo, TextoProprio(categoria)});
}

void RemoverMenuConsultasPersonalizadas(int tipoAcao)
{
    std::erase_if(MenusConsultas(), [&](const TnMenuConsultas &m) { return m.Tipo == tipoAcao; });
}

void GerarAcoesConsultasPersonalizadas(TnActionList &lista, const TnEventoAcao &evento, const TnModulos &modulos)
{
    if (MenusConsultas().empty() || !nDMConexao::AtualOuNulo())
        return;
    for (const TnMenuConsultas &m : MenusConsultas()) {
        const TnClasseInfo *classe = Registro().Classe(Registro().ActionPowerInfo(m.Tipo));
        if (!classe || m.Modulo < 0 || m.Modulo >= int(modulos.size()) || !modulos.test(size_t(m.Modulo)))
            continue;
        std::vector<TnConsultaSalva> salvas;
        try {
            salvas = ListarConsultasPersonalizadas(m.Tipo);
        } catch (const Exception &e) { // a database without the table: no saved queries
            qWarning("Consultas personalizadas não listadas: %s", e.what());
            continue;
        }
        for (const TnConsultaSalva &s : salvas) {
            TnAction *a = lista.Adicionar(*classe, evento);
            a->SetName(QStringLiteral("actConsultaPersonalizada%1").arg(s.Codigo));
            a->SetCategory(m.Categoria);
            a->SetCaption(s.Nome);
            a->SetMenuIndex(-1);
            a->SetTag(s.Codigo);
        }
    }
}
