#include "Paginacao.h"

#include "Conexao.h"
#include "Provider.h"

namespace {

// A token of the statement at its nesting depth: words (keywords and plain names), quoted
// names, literals and single characters. Comments are skipped.
struct Token {
    enum Tipo { tPalavra, tAspas, tLiteral, tSinal } T;
    QString Texto; // words in upper case
    int Profundidade;
    qsizetype Inicio;
};

bool ComecaPalavra(QChar c) { return c.isLetter() || c == u'_'; }
bool ContinuaPalavra(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// False on an unterminated literal, quoted name or comment, or unbalanced parentheses.
bool Tokenizar(const QString &sql, std::vector<Token> &r)
{
    int prof = 0;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype fim = sql.indexOf(QStringLiteral("*/"), i + 2);
            if (fim < 0)
                return false;
            i = fim + 2;
        } else if (c == u'\'' || c == u'"') {
            // '' inside a literal (and "" inside a name) is the character itself.
            qsizetype j = i + 1;
            for (;; ++j) {
                if (j >= n)
                    return false;
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c)
                        ++j;
                    else
                        break;
                }
            }
            r.push_back({c == u'\'' ? Token::tLiteral : Token::tAspas, sql.mid(i, j + 1 - i), prof, i});
            i = j + 1;
        } else if (ComecaPalavra(c)) {
            qsizetype j = i + 1;
            while (j < n && ContinuaPalavra(sql[j]))
                ++j;
            r.push_back({Token::tPalavra, sql.mid(i, j - i).toUpper(), prof, i});
            i = j;
        } else if (c.isDigit()) {
            qsizetype j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'.'))
                ++j;
            r.push_back({Token::tLiteral, sql.mid(i, j - i), prof, i});
            i = j;
        } else {
            if (c == u')' && --prof < 0)
                return false;
            r.push_back({Token::tSinal, QString(c), prof, i});
            if (c == u'(')
                ++prof;
            ++i;
        }
    }
    return prof == 0;
}

bool EhPalavra(const Token &t, const char *p) { return t.T == Token::tPalavra && t.Texto == QLatin1String(p); }
bool EhSinal(const Token &t, char c) { return t.T == Token::tSinal && t.Texto == QChar::fromLatin1(c); }

// Splits tokens [ini, fim) at the commas of depth `prof`.
std::vector<std::pair<size_t, size_t>> PartesPorVirgula(const std::vector<Token> &t, size_t ini, size_t fim, int prof)
{
    std::vector<std::pair<size_t, size_t>> r;
    size_t inicio = ini;
    for (size_t i = ini; i < fim; ++i)
        if (t[i].Profundidade == prof && EhSinal(t[i], ',')) {
            r.emplace_back(inicio, i);
            inicio = i + 1;
        }
    r.emplace_back(inicio, fim);
    return r;
}

// A plain column reference: NAME or ALIAS.NAME (words only). `nome` gets NAME, `origem`
// the reference as written (upper case).
bool Referencia(const std::vector<Token> &t, size_t ini, size_t fim, QString &nome, QString &origem)
{
    if (fim == ini + 1 && t[ini].T == Token::tPalavra) {
        nome = origem = t[ini].Texto;
        return true;
    }
    if (fim == ini + 3 && t[ini].T == Token::tPalavra && EhSinal(t[ini + 1], '.') && t[ini + 2].T == Token::tPalavra) {
        nome = t[ini + 2].Texto;
        origem = t[ini].Texto + u'.' + nome;
        return true;
    }
    return false;
}

} // namespace

bool SepararOrdem(const QString &sql, TnOrdemComando &r)
{
    r = {};
    QString texto = sql.trimmed();
    while (texto.endsWith(u';'))
        texto = texto.chopped(1).trimmed();
    std::vector<Token> t;
    if (!Tokenizar(texto, t) || t.empty() || !EhPalavra(t[0], "SELECT"))
        return false;
    size_t from = 0, orderBy = 0;
    for (size_t i = 1; i < t.size(); ++i) {
        if (t[i].Profundidade != 0)
            continue;
        for (const char *p : {"UNION", "INTERSECT", "EXCEPT", "LIMIT", "OFFSET", "FETCH", "FOR", "WINDOW"})
            if (EhPalavra(t[i], p))
                return false;
        if (!from && EhPalavra(t[i], "FROM"))
            from = i;
        if (EhPalavra(t[i], "ORDER") && i + 1 < t.size() && EhPalavra(t[i + 1], "BY"))
            orderBy = i;
    }
    if (!from)
        return false;

    // The select list: the name and the source of each output column.
    size_t inicioLista = 1;
    if (EhPalavra(t[1], "DISTINCT") || EhPalavra(t[1], "ALL"))
        inicioLista = 2;
    struct Saida {
        QString Nome, Origem;
    };
    std::vector<Saida> saidas;
    for (auto [ini, fim] : PartesPorVirgula(t, inicioLista, from, 0)) {
        if (ini == fim)
            return false;
        for (size_t i = ini; i < fim; ++i)
            if (t[i].T == Token::tAspas)
                return false;
        // * and ALIAS.* give columns whose names the text does not tell
        if (EhSinal(t[fim - 1], '*') && (fim - ini == 1 || EhSinal(t[fim - 2], '.')))
            return false;
        Saida s;
        if (!Referencia(t, ini, fim, s.Nome, s.Origem)) {
            // expression [AS] NAME; an expression without a name gives no usable column
            const Token &ultimo = t[fim - 1];
            if (ultimo.T == Token::tPalavra && fim - ini >= 2 && !EhSinal(t[fim - 2], '.')) {
                s.Nome = ultimo.Texto;
                const size_t fimExpr = EhPalavra(t[fim - 2], "AS") ? fim - 2 : fim - 1;
                QString unused;
                if (!Referencia(t, ini, fimExpr, unused, s.Origem))
                    s.Origem.clear();
            }
        }
        saidas.push_back(s);
    }
    for (size_t i = 0; i < saidas.size(); ++i) {
        if (saidas[i].Nome.isEmpty())
            continue;
        for (size_t j = 0; j < i; ++j)
            if (saidas[j].Nome == saidas[i].Nome)
                return false;
        r.Saidas << saidas[i].Nome;
    }

    if (!orderBy) {
        r.Base = texto;
        return true;
    }
    for (auto [ini, fim] : PartesPorVirgula(t, orderBy + 2, t.size(), 0)) {
        if (fim > ini && EhPalavra(t[fim - 1], "ASC"))
            --fim;
        QString nome, origem;
        if (!Referencia(t, ini, fim, nome, origem))
            return false;
        // ALIAS.NAME is the output column selected as it is; a plain NAME is an output
        // column's name.
        QString saida;
        for (const Saida &s : saidas)
            if ((origem.contains(u'.') && s.Origem == origem) || (!origem.contains(u'.') && s.Nome == nome)) {
                if (!saida.isEmpty())
                    return false;
                saida = s.Nome;
            }
        if (saida.isEmpty())
            return false;
        if (!r.Ordem.contains(saida))
            r.Ordem << saida;
    }
    r.Base = texto.left(t[orderBy].Inicio).trimmed();
    return true;
}

// ---------------------------------------------------------------------------------------

TnFonteChaveada::TnFonteChaveada(nDMConexao &con, QString sql, QVariantList parametros, QStringList ordem,
                                 QString chave)
    : FCon(&con), FIdentidade(con.Identidade()), FSQL(std::move(sql)), FParametros(std::move(parametros)), FOrdem(std::move(ordem)),
      FChave(std::move(chave))
{
    if (FOrdem.isEmpty())
        throw Exception(QStringLiteral("A leitura em pacotes precisa de uma ordem de colunas."));
}

QString TnFonteChaveada::CondicaoContinuacao() const
{
    QStringList colunas, marcas;
    for (const QString &c : FOrdem) {
        colunas << QStringLiteral("q_p.") + c;
        marcas << QStringLiteral("?");
    }
    return colunas.size() == 1 ? QStringLiteral("%1 > ?").arg(colunas.front())
                               : QStringLiteral("(%1) > (%2)").arg(colunas.join(QStringLiteral(", ")),
                                                                   marcas.join(QStringLiteral(", ")));
}

QString TnFonteChaveada::TextoPacote(bool continuacao, int maximo) const
{
    QStringList colunas;
    for (const QString &c : FOrdem)
        colunas << QStringLiteral("q_p.") + c;
    QString sql = QStringLiteral("select * from (%1) q_p").arg(FSQL);
    if (continuacao)
        sql += QStringLiteral(" where ") + CondicaoContinuacao();
    sql += QStringLiteral(" order by ") + colunas.join(QStringLiteral(", "));
    if (maximo > 0)
        sql += QStringLiteral(" limit %1").arg(maximo);
    return sql;
}

QString TnFonteChaveada::TextoLinha(bool continuacao) const
{
    QStringList iguais;
    for (const QString &c : FOrdem)
        iguais << QStringLiteral("q_p.%1 = ?").arg(c);
    QString sql = QStringLiteral("select * from (%1) q_p where %2").arg(FSQL, iguais.join(QStringLiteral(" and ")));
    if (continuacao)
        sql += QStringLiteral(" and ") + CondicaoContinuacao();
    return sql;
}

void TnFonteChaveada::ExigirConexao(TnClientDataSet &ds)
{
    // Each packet is read on the connection the first one was: a module left open while
    // the program moved to another database does not page through the new one.
    if (nDMConexao::AtualOuNulo() != FCon || FCon->Identidade() != FIdentidade)
        throw Exception(QStringLiteral("A conexão mudou desde a abertura; reabra o conjunto de dados."));
    if (!FFalha.isEmpty())
        throw Exception(FFalha);
    if (FCampos.empty())
        for (const QString &c : FOrdem)
            FCampos.push_back(ds.FieldByName(c).Index());
}

void TnFonteChaveada::VincularFronteira(TnComando &cmd, int &i, const TnClientDataSet &ds) const
{
    const bool pg = FCon->PegarTipoCon() == tcPostgreSQL;
    for (size_t k = 0; k < FCampos.size(); ++k) {
        const TnField &f = ds.Fields(FCampos[k]);
        VincularCelula(cmd, i++, FFronteira[k], f.DataType(), f.Scale(), pg);
    }
}

int TnFonteChaveada::LerLinha(TnClientDataSet &ds, const std::vector<int> &campos, const std::vector<TnCelula> &valores)
{
    ExigirConexao(ds);
    std::vector<const TnCelula *> chave;
    for (int c : FCampos) {
        const auto it = std::find(campos.begin(), campos.end(), c);
        if (it == campos.end())
            return -1;
        const TnCelula &v = valores[size_t(it - campos.begin())];
        if (v.Nulo)
            return 0; // the order columns are never null
        chave.push_back(&v);
    }
    // Run on every save a consultation copies: the statement stays prepared.
    auto cmd = FCon->PrepararGuardado(TextoLinha(FContinua));
    int i = 0;
    for (; i < FParametros.size(); ++i)
        cmd->BindValor(i, FParametros[i]);
    const bool pg = FCon->PegarTipoCon() == tcPostgreSQL;
    for (size_t k = 0; k < FCampos.size(); ++k) {
        const TnField &f = ds.Fields(FCampos[k]);
        VincularCelula(*cmd, i++, *chave[k], f.DataType(), f.Scale(), pg);
    }
    if (FContinua)
        VincularFronteira(*cmd, i, ds);
    return ds.AcrescentarAvulsa(cmd->Abrir());
}

bool TnFonteChaveada::LerPacote(TnClientDataSet &ds, int maximo)
{
    ExigirConexao(ds);
    // A detail reads its first packet again on every move of its master: the statement
    // stays prepared.
    auto cmd = FCon->PrepararGuardado(TextoPacote(FContinua, maximo));
    int i = 0;
    for (; i < FParametros.size(); ++i)
        cmd->BindValor(i, FParametros[i]);
    if (FContinua)
        VincularFronteira(*cmd, i, ds);
    const int lidas = ds.AcrescentarPacote(cmd->Abrir(), maximo);
    cmd.reset(); // the statement ends here, also when fewer rows came than asked
    if (lidas == 0)
        return false;
    FFronteira.resize(FCampos.size());
    for (size_t k = 0; k < FCampos.size(); ++k) {
        FFronteira[k] = ds.UltimaLida(FCampos[k]);
        // A null has no place in the row comparison: rows after it would be lost.
        if (FFronteira[k].Nulo) {
            FFalha = QStringLiteral("O campo \"%1\" da ordem de leitura está vazio num registro; "
                                    "a leitura em pacotes não pode continuar.")
                         .arg(ds.Fields(FCampos[k]).FieldName());
            throw Exception(FFalha);
        }
    }
    FContinua = true;
    return maximo > 0 && lidas >= maximo;
}
