#include "Provider.h"

#include "Conexao.h"
#include "Decimal.h"
#include "Literais.h"
#include "ValorNaColuna.h"

namespace {

enum Resultado : quint8 { rePendente, reGravado, reIgnorado, rePulado, reCancelado };

struct Pendente {
    qint32 Slot;
    TUpdateKind Tipo;
    Resultado Estado;
};

// Table and column names go into statement text: only plain identifiers are accepted.
void ExigirIdentificador(const QString &nome, bool permiteEsquema)
{
    const qsizetype ponto = permiteEsquema ? nome.indexOf(u'.') : -1;
    const bool ok = ponto < 0 ? EhIdentificador(nome)
                              : EhIdentificador(QStringView(nome).left(ponto)) && EhIdentificador(QStringView(nome).mid(ponto + 1));
    if (!ok)
        throw Exception(QStringLiteral("\"%1\" não é um nome válido de tabela ou coluna para gravar.").arg(nome));
}

// Transaction numbers of the provider; the first one not open is taken, so that a caller's
// transaction of the same number is never reused.
int NumeroLivre(nDMConexao &con, int inicio)
{
    while (con.InTransaction(inicio))
        ++inicio;
    return inicio;
}

} // namespace

void VincularCelula(TnComando &cmd, int i, const TnCelula &c, TFieldType tipo, int escala, bool servidor)
{
    if (c.Nulo) {
        cmd.BindNulo(i);
        return;
    }
    switch (tipo) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftBoolean: cmd.BindInteiro(i, c.I); break;
    case ftFloat: cmd.BindReal(i, c.F); break;
    case ftBCD:
        // The server gets the exact decimal text; the embedded engine keeps numerics as
        // integers or doubles anyway.
        if (servidor)
            cmd.BindTexto(i, nDecimal::ParaTexto(c.I, escala));
        else if (c.I % nDecimal::Potencia10(escala) == 0)
            cmd.BindInteiro(i, c.I / nDecimal::Potencia10(escala));
        else
            cmd.BindReal(i, nDecimal::ParaReal(c.I, escala));
        break;
    case ftDate: cmd.BindData(i, QDate::fromJulianDay(c.I)); break;
    case ftDateTime:
        // The statement takes the wall-clock fields; a UTC value is much cheaper to build
        // than a local one and has the same fields.
        cmd.BindDataHora(i, nDataHora::DeNumero(c.I, Qt::UTC));
        break;
    default: cmd.BindTexto(i, c.S); break;
    }
}

struct TnDataSetProvider::Aplicacao {
    TnDataSetProvider &P;
    TnClientDataSet &Ds;
    TnDadosColunares &D;
    nDMConexao &Con;
    bool Pg;
    bool Protegido = false;     // each statement in a savepoint (after a failure on the server)
    std::vector<int> Escritas;  // columns written by INSERT and UPDATE
    std::vector<int> Condicao;  // columns that identify a row
    std::string Forma;          // shape of the statement of the current row (reused)
    std::vector<int> Usadas;    // columns written for the current row (reused)
    std::vector<const TnColuna *> ColCond; // where the condition's values are (reused)
    TnCelula Celula;                       // value being bound (reused)
    std::vector<TnColunaInfo> Declaradas;  // by field: the table's column it writes

    // A written value is checked against its column first: both engines refuse the same.
    void Vincular(TnComando &cmd, int i, const TnColuna &col, qsizetype l, int c, bool escrito = false)
    {
        col.Ler(l, Celula);
        const TnField &f = Ds.Fields(c);
        TFieldType tipo = col.Tipo();
        int escala = f.Scale();
        if (escrito && !AjustarCelulaNaColuna(Declaradas[size_t(c)], Celula, tipo, escala))
            ErroCelulaForaDaColuna(Declaradas[size_t(c)], Celula, tipo, escala, f.DisplayLabel());
        VincularCelula(cmd, i, Celula, tipo, escala, Pg);
    }

    QString Nome(int c) const { return Ds.Fields(c).FieldName(); }

    QString MontarSQL(TUpdateKind tipo, const std::vector<int> &usadas, const TnColuna *const *colCond, qsizetype linhaCond) const
    {
        QString sql;
        QStringList partes;
        if (tipo == ukInsert) {
            QStringList marcas;
            for (int c : usadas) {
                partes << Nome(c);
                marcas << QStringLiteral("?");
            }
            if (partes.isEmpty())
                return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(P.FTabela);
            return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(P.FTabela, partes.join(u','), marcas.join(u','));
        }
        if (tipo == ukModify) {
            for (int c : usadas)
                partes << Nome(c) + QStringLiteral(" = ?");
            sql = QStringLiteral("UPDATE %1 SET %2").arg(P.FTabela, partes.join(QStringLiteral(", ")));
        } else {
            sql = QStringLiteral("DELETE FROM %1").arg(P.FTabela);
        }
        QStringList cond;
        for (size_t k = 0; k < Condicao.size(); ++k)
            cond << Nome(Condicao[k]) + (colCond[k]->Nulo(linhaCond) ? QStringLiteral(" IS NULL") : QStringLiteral(" = ?"));
        return sql + QStringLiteral(" WHERE ") + cond.join(QStringLiteral(" AND "));
    }

    // The statement of one row, bound; null when there is nothing to write.
    TnComando *Montar(qint32 s, TUpdateKind tipo)
    {
        const bool temOriginal = D.TemOriginal(s);
        const qsizetype lc = temOriginal ? D.LinhaOriginal(s) : s;
        // The condition uses the values the row had when it was read.
        for (size_t k = 0; k < Condicao.size(); ++k)
            ColCond[k] = temOriginal ? &D.ColunaOriginal(Condicao[k]) : &D.Coluna(Condicao[k]);
        const TnColuna *const *cc = ColCond.data();

        Forma.clear();
        Usadas.clear();
        Forma += tipo == ukInsert ? 'I' : (tipo == ukModify ? 'U' : 'D');
        for (int c : Escritas) {
            if (tipo == ukDelete)
                break;
            const TnColuna &col = D.Coluna(c);
            const bool usa = tipo == ukInsert ? !col.Nulo(s) : !temOriginal || !col.Igual(s, D.ColunaOriginal(c), lc);
            Forma += usa ? '1' : '0';
            if (usa)
                Usadas.push_back(c);
        }
        if (tipo == ukModify && Usadas.empty())
            return nullptr; // changed and changed back: nothing to write
        if (tipo != ukInsert) {
            Forma += '|';
            for (size_t k = 0; k < Condicao.size(); ++k)
                Forma += cc[k]->Nulo(lc) ? 'n' : 'v';
        }

        auto it = P.FComandos.find(Forma);
        if (it == P.FComandos.end())
            it = P.FComandos.emplace(Forma, Con.Preparar(MontarSQL(tipo, Usadas, cc, lc))).first;
        TnComando &cmd = *it->second;
        int i = 0;
        for (int c : Usadas)
            Vincular(cmd, i++, D.Coluna(c), s, c, true);
        if (tipo != ukInsert)
            for (size_t k = 0; k < Condicao.size(); ++k)
                if (!cc[k]->Nulo(lc))
                    Vincular(cmd, i++, *cc[k], lc, Condicao[k]);
        return &cmd;
    }

    // An update or delete must meet exactly the row it was read from.
    void Conferir(TUpdateKind tipo, int linhas, const TnComando &cmd) const
    {
        if (tipo != ukInsert && linhas == 0)
            throw EDatabaseError(QStringLiteral("Registro não encontrado ou alterado por outro usuário."), QString(),
                                 QString(), QString(), cmd.SQL());
        if (tipo != ukInsert && linhas > 1)
            throw EDatabaseError(
                QStringLiteral("Os campos chave identificam mais de um registro da tabela %1.").arg(P.FTabela), QString(),
                QString(), QString(), cmd.SQL());
    }

    // Writes one row; throws when the database refuses it or no row matches.
    void Executar(qint32 s, TUpdateKind tipo)
    {
        if (TnComando *cmd = Montar(s, tipo))
            Conferir(tipo, Protegido ? Con.ExecutarProtegido(*cmd) : cmd->Executar(), *cmd);
    }
};

TnDataSetProvider::TnDataSetProvider() = default;

TnDataSetProvider::TnDataSetProvider(const QString &tabela, TUpdateMode modo) : FTabela(tabela), FModo(modo) {}

TnDataSetProvider::~TnDataSetProvider() { EsquecerComandos(); }

void TnDataSetProvider::EsquecerComandos()
{
    FComandos.clear();
    if (FConexaoDosComandos)
        FConexaoDosComandos->RemoverDependente(this);
    FConexaoDosComandos = nullptr;
    FIdConexaoDosComandos = 0;
}

void TnDataSetProvider::ConexaoFechando(nDMConexao &)
{
    FComandos.clear();
    FConexaoDosComandos = nullptr;
    FIdConexaoDosComandos = 0;
}

void TnDataSetProvider::SetTableName(const QString &t)
{
    FTabela = t;
    EsquecerComandos();
}

void TnDataSetProvider::SetConexao(nDMConexao *c)
{
    FConexao = c;
    EsquecerComandos();
}

void TnDataSetProvider::SetUpdateMode(TUpdateMode m)
{
    FModo = m;
    EsquecerComandos();
}

void TnDataSetProvider::SetKeyFields(const QString &k)
{
    FChaves = k;
    EsquecerComandos();
}

int TnDataSetProvider::Aplicar(TnClientDataSet &ds, int maxErrors)
{
    TnDadosColunares &dados = *ds.FDados;
    if (dados.ChangeCount() == 0)
        return 0;
    nDMConexao &con = FConexao ? *FConexao : nDMConexao::Atual();
    if (&con != FConexaoDosComandos || con.Identidade() != FIdConexaoDosComandos) {
        EsquecerComandos();
        FConexaoDosComandos = &con;
        FIdConexaoDosComandos = con.Identidade();
        con.AdicionarDependente(this);
    }
    ExigirIdentificador(FTabela, true);

    Aplicacao a{*this, ds, dados, con, con.PegarTipoCon() == tcPostgreSQL, false, {}, {}, {}, {}, {}, {}, {}};
    std::vector<int> chave = ds.ColunasDe(FChaves);
    for (int c = 0; c < ds.FieldCount(); ++c) {
        const TnField &f = ds.Fields(c);
        if (f.FieldKind() != fkData)
            continue;
        if (f.InUpdate())
            a.Escritas.push_back(c);
        if (FChaves.isEmpty() && f.InKey())
            chave.push_back(c);
        if (FModo == upWhereAll && f.InWhere())
            a.Condicao.push_back(c);
    }
    if (FModo == upWhereKeyOnly)
        a.Condicao = chave;
    if (a.Condicao.empty())
        throw Exception(QStringLiteral("Nenhum campo chave definido para gravar na tabela %1.").arg(FTabela));
    for (int c : a.Escritas)
        ExigirIdentificador(ds.Fields(c).FieldName(), false);
    for (int c : a.Condicao)
        ExigirIdentificador(ds.Fields(c).FieldName(), false);
    a.ColCond.resize(a.Condicao.size());
    a.Declaradas.resize(size_t(ds.FieldCount()));
    for (int c : a.Escritas)
        a.Declaradas[size_t(c)] = con.ColunaDaTabela(FTabela, ds.Fields(c).FieldName());

    // Deletes first, then updates, then inserts, each in the order the rows were made.
    // The slots of the change log, not every row, are looked at.
    const std::vector<qint32> noLog = dados.SlotsPendentes();
    std::vector<Pendente> pendentes;
    pendentes.reserve(noLog.size());
    for (TUpdateKind tipo : {ukDelete, ukModify, ukInsert}) {
        const TnEstadoLinha estado = tipo == ukDelete ? elExcluida : (tipo == ukModify ? elModificada : elInserida);
        for (qint32 s : noLog)
            if (dados.Estado(s) == estado)
                pendentes.push_back({s, tipo, rePendente});
    }

    // A failure loses the transaction on both engines, so after one the attempt is rolled
    // back and the rows are written again, each statement in a savepoint. Rows already
    // decided are not written again.
    const int idTransacao = NumeroLivre(con, 7300);
    int erros = 0;
    // What a failing row's handlers decide; answers whether the attempt must start again.
    const auto falhou = [&](Pendente &p, Exception &e) {
        if (dynamic_cast<EAbort *>(&e))
            throw;
        // The handlers see the failing row through the dataset's fields.
        TResolverResponse resposta = rrSkip;
        TReconcileAction acao = raSkip;
        ds.NoSlot(p.Slot, [&] {
            if (OnUpdateError)
                OnUpdateError(e, p.Tipo, resposta);
            if (resposta == rrSkip && ds.OnReconcileError)
                ds.OnReconcileError(ds, e, p.Tipo, acao);
        });
        if (resposta == rrAbort || acao == raAbort)
            Abort();
        // The engine rolled the whole transaction back itself: nothing may be written on, and
        // nothing of the attempt stays.
        if (con.TransacaoPerdida())
            throw;
        if (resposta == rrIgnore) {
            p.Estado = reIgnorado;
        } else {
            ++erros;
            if (maxErrors >= 0 && erros > maxErrors)
                throw;
            p.Estado = acao == raCancel ? reCancelado : rePulado;
        }
        return !a.Protegido;
    };
    // One new row in a transaction of its own (a register's save of a new row): on the server
    // its commit goes behind it, in the same exchange. An insert writes its row or fails, and
    // a row the database refuses leaves nothing committed. (An update or a delete waits for
    // its count: a key that names several rows must change none.)
    const bool confirmarJunto = a.Pg && pendentes.size() == 1 && pendentes.front().Tipo == ukInsert && !con.InTransaction();
    for (;;) {
        TnTransacao transacao(idTransacao, con);
        bool repetir = false;
        bool confirmada = false;
        if (a.Pg && !a.Protegido) {
            // On the server the rows go in batches, one pipeline each: no round trip per row.
            constexpr size_t kLote = 2000;
            for (size_t ini = 0; ini < pendentes.size() && !repetir; ini += kLote) {
                const size_t fim = std::min(pendentes.size(), ini + kLote);
                std::unique_ptr<TnLote> lote = con.NovoLote();
                std::vector<std::pair<Pendente *, TnComando *>> enviados;
                for (size_t k = ini; k < fim && !repetir; ++k) {
                    Pendente &p = pendentes[k];
                    TnComando *cmd = nullptr;
                    try {
                        cmd = a.Montar(p.Slot, p.Tipo);
                    } catch (Exception &e) {
                        // A value that does not fit its column: refused before it is sent,
                        // as on the embedded engine.
                        repetir = falhou(p, e);
                        continue;
                    }
                    if (cmd) {
                        lote->Adicionar(*cmd);
                        enviados.push_back({&p, cmd});
                    } else {
                        p.Estado = reGravado;
                    }
                }
                if (repetir)
                    break;
                int indice = -1;
                std::vector<int> linhas;
                try {
                    if (confirmarJunto && !a.Protegido) {
                        linhas = transacao.ConcluirEConfirmar(*lote, indice);
                        confirmada = true;
                    } else {
                        linhas = lote->Concluir(indice);
                    }
                } catch (Exception &e) {
                    if (indice < 0)
                        throw;
                    falhou(*enviados[size_t(indice)].first, e);
                    repetir = true;
                    break;
                }
                for (size_t k = 0; k < enviados.size(); ++k) {
                    auto [p, cmd] = enviados[k];
                    try {
                        a.Conferir(p->Tipo, linhas[k], *cmd);
                        p->Estado = reGravado;
                    } catch (Exception &e) {
                        falhou(*p, e); // no row met: the transaction itself goes on
                    }
                }
            }
        } else {
            for (Pendente &p : pendentes) {
                if (p.Estado != rePendente && p.Estado != reGravado)
                    continue;
                try {
                    a.Executar(p.Slot, p.Tipo);
                    p.Estado = reGravado;
                } catch (Exception &e) {
                    if (falhou(p, e)) {
                        repetir = true;
                        break;
                    }
                }
            }
        }
        if (repetir) {
            a.Protegido = true;
            continue; // the guard rolls this attempt back
        }
        if (!confirmada)
            transacao.Commit();
        break;
    }

    // Written and ignored rows leave the change log, cancelled ones are undone, skipped
    // ones stay.
    bool revertidas = false;
    for (const Pendente &p : pendentes) {
        if (p.Estado == reGravado || p.Estado == reIgnorado)
            dados.Consolidar(p.Slot);
        else if (p.Estado == reCancelado) {
            dados.Reverter(p.Slot);
            revertidas = true;
        }
    }
    if (revertidas)
        ds.AvisarOutrosCursores();
    else
        ds.AvisarOutrosSemRefazer();
    const qint32 anterior = ds.GetBookmark();
    // Taking rows out of the change log changes neither which rows are seen nor their order;
    // only undone rows may move, so the view is rebuilt (and sorted) only then.
    if (revertidas)
        ds.RefazerVista(true);
    ds.AvisarDados();
    ds.AvisarRolagem(anterior);
    return erros;
}
