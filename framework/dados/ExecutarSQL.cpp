#include "ExecutarSQL.h"

#include "Decimal.h"
#include "Literais.h"
#include "Provider.h"
#include "ValorNaColuna.h"

#include <QSet>

namespace {
std::unique_ptr<TnClientDataSet> Carregar(TnComando &cmd)
{
    auto ds = std::make_unique<TnClientDataSet>();
    ds->CarregarDe(cmd.Abrir());
    return ds;
}
} // namespace

std::unique_ptr<TnClientDataSet> ExecutarSQL(const QString &sql, const QVariantList &params, nDMConexao &c)
{
    auto cmd = c.Preparar(sql);
    if (params.size() != cmd->Parametros())
        throw Exception(QStringLiteral("O comando espera %1 parâmetros e recebeu %2.").arg(cmd->Parametros()).arg(params.size()));
    for (int i = 0; i < params.size(); ++i)
        cmd->BindValor(i, params[i]);
    return Carregar(*cmd);
}

std::unique_ptr<TnClientDataSet> ExecutarSQL(const QString &sql, const QVariantMap &params, nDMConexao &c)
{
    auto cmd = c.Preparar(sql);
    QSet<QString> informados;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString nome = it.key().startsWith(u':') ? it.key().mid(1) : it.key();
        cmd->BindValor(nome, it.value());
        informados.insert(nome.toUpper());
    }
    const QStringList &nomes = cmd->NomesParametros();
    if (nomes.size() != cmd->Parametros())
        throw Exception(QStringLiteral("O comando mistura parâmetros com nome e posicionais: %1").arg(sql));
    for (const QString &n : nomes)
        if (!informados.contains(n.toUpper()))
            throw Exception(QStringLiteral("O parâmetro \"%1\" do comando não foi informado.").arg(n));
    return Carregar(*cmd);
}

void DestruirSQL(std::unique_ptr<TnClientDataSet> &ds) { ds.reset(); }


int GravarCDS(TnClientDataSet &ds, const QString &tabela, const QString &camposChave, nDMConexao &c)
{
    if (!EhIdentificador(tabela))
        throw Exception(QStringLiteral("\"%1\" não é um nome de tabela válido.").arg(tabela));
    if (!ds.Active())
        throw Exception(QStringLiteral("O conjunto de dados a gravar em %1 está fechado.").arg(tabela));
    std::vector<const TnField *> campos;
    QStringList colunas, marcas;
    for (int i = 0; i < ds.FieldCount(); ++i) {
        const TnField &f = ds.Fields(i);
        if (f.FieldKind() != fkData)
            continue;
        if (!EhIdentificador(f.FieldName()))
            throw Exception(QStringLiteral("\"%1\" não é um nome de coluna válido.").arg(f.FieldName()));
        campos.push_back(&f);
        colunas << f.FieldName();
        marcas << QStringLiteral("?");
    }
    std::vector<const TnField *> chave;
    for (const QString &nome : camposChave.split(u';', Qt::SkipEmptyParts))
        if (!nome.trimmed().isEmpty())
            chave.push_back(&ds.FieldByName(nome.trimmed()));
    ds.BuscarTodos();
    const int linhas = ds.RecordCount();
    if (campos.empty() || linhas == 0)
        return 0;

    const bool servidor = c.PegarTipoCon() == tcPostgreSQL;
    std::vector<TnColunaInfo> declaradas;
    for (const TnField *f : campos)
        declaradas.push_back(c.ColunaDaTabela(tabela, f->FieldName()));
    int id = 1;
    while (c.InTransaction(id))
        ++id;
    const auto cmd = c.Preparar(QStringLiteral("insert into %1 (%2) values (%3)")
                                    .arg(tabela, colunas.join(QStringLiteral(", ")), marcas.join(QStringLiteral(", "))));
    const auto falha = [&](const EDatabaseError &e, const QString &registro) {
        return EDatabaseError(registro.isEmpty()
                                  ? QStringLiteral("Não foi possível gravar em %1: %2").arg(tabela, e.Message())
                                  : QStringLiteral("Não foi possível gravar em %1 o registro %2: %3")
                                        .arg(tabela, registro, e.Message()),
                              e.Estado(), e.CodigoNativo(), e.TextoMotor(), e.SQL());
    };
    // Every row, inside the caller's transaction (nested) or in one of its own, so that the
    // writing is one unit; the statement goes after it, so a refused row is rolled back
    // first. Sent in bulk (`lote`), or one by one, a refused row named by its key.
    const auto escrever = [&](bool lote, bool confirmar) {
        TnTransacao t(id, c);
        for (int r = 1; r <= linhas; ++r)
            ds.LerRegistro(r, [&] {
                for (int i = 0; i < int(campos.size()); ++i) {
                    const TnField &f = *campos[size_t(i)];
                    TnCelula celula = f.Celula();
                    TFieldType tipo = f.DataType();
                    int escala = f.Scale();
                    if (!AjustarCelulaNaColuna(declaradas[size_t(i)], celula, tipo, escala))
                        ErroCelulaForaDaColuna(declaradas[size_t(i)], celula, tipo, escala, f.DisplayLabel());
                    VincularCelula(*cmd, i, celula, tipo, escala, servidor);
                }
                if (lote) {
                    cmd->ExecutarEmLote();
                    return;
                }
                try {
                    cmd->Executar();
                } catch (const EDatabaseError &e) {
                    QStringList valores;
                    for (const TnField *f : chave)
                        valores << f->FieldName() + QStringLiteral(" = ") + f->AsString();
                    throw falha(e, valores.join(QStringLiteral(", ")));
                }
            });
        if (confirmar)
            t.Commit(); // what the server still holds of a bulk writing goes now
    };
    try {
        // The embedded engine runs each row at once anyway.
        escrever(servidor, true);
    } catch (const EDatabaseError &e) {
        if (!servidor)
            throw;
        // Rows sent together are named by their place in the batch only: once more one by
        // one to name the row by its key, and nothing of it stays.
        escrever(false, false);
        throw falha(e, QString());
    }
    return linhas;
}

QString ValorParaSQL(const TnField &campo, const QString &operador, bool comNome)
{
    static const QStringList operadores = {"=", "<>", "!=", "<", "<=", ">", ">="};
    const QString op = operador.trimmed();
    if (!operadores.contains(op))
        throw Exception(QStringLiteral("Operador \"%1\" inválido para o campo \"%2\".").arg(operador, campo.FieldName()));
    if (comNome && !EhIdentificador(campo.FieldName()))
        throw Exception(QStringLiteral("\"%1\" não é um nome de coluna válido.").arg(campo.FieldName()));

    QString literal;
    const bool nulo = campo.IsNull();
    if (!nulo && campo.DataType() == ftBCD) {
        // Every digit of the numeric, not the nearest double.
        qint64 escalado = 0;
        nDecimal::DeTexto(campo.AsString().replace(u',', u'.'), campo.Scale(), escalado);
        literal = nDecimal::ParaTexto(escalado, campo.Scale());
    } else {
        literal = ValorParaSQL(campo.AsVariant(), campo.DataType());
    }
    if (!comNome)
        return literal;
    if (nulo && (op == QLatin1String("=") || op == QLatin1String("<>") || op == QLatin1String("!=")))
        return campo.FieldName() + (op == QLatin1String("=") ? QStringLiteral(" is null") : QStringLiteral(" is not null"));
    return campo.FieldName() + u' ' + op + u' ' + literal;
}
