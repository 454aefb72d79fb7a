#include "Conexao.h"

#include "DataIso.h"

#include "Motor.h"
#include "Decimal.h"
#include "TextoSQL.h"
#include "ValorNaColuna.h"
#include "Valores.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <atomic>
#include <limits>
#include <optional>

namespace {

nDMConexao *gAtual = nullptr;
std::atomic<quint64> gSeqConexao{0};

} // namespace

// ---------------------------------------------------------------- TnCursor / TnComando

bool TnCursor::DataHoraPartes(int i, QDate &d, QTime &t)
{
    const QDateTime dt = DataHora(i);
    d = dt.date();
    t = dt.time();
    return dt.isValid();
}

bool TnCursor::Decimal(int i, int escala, qint64 &escalado)
{
    // The double decides unless it is too close to a half or too large; then the exact text
    // does.
    const double r = Real(i);
    return nDecimal::DeRealRapido(r, escala, escalado) || nDecimal::DeTexto(Texto(i), escala, escalado)
           || nDecimal::DeReal(r, escala, escalado);
}

QStringView TnCursor::TextoDireto(int i)
{
    FTextoDireto = Texto(i);
    return FTextoDireto;
}

QByteArrayView TnCursor::TextoUtf8(int i)
{
    if (Nulo(i))
        return {};
    FTextoUtf8 = TextoDireto(i).toUtf8();
    return FTextoUtf8;
}

namespace {
// The embedded engine has no round trips to save: each execution runs as it is added.
class LoteImediato final : public TnLote {
public:
    void Adicionar(TnComando &cmd) override
    {
        if (FErro)
            return;
        try {
            FLinhas.push_back(cmd.Executar());
        } catch (...) {
            FErro = std::current_exception();
        }
    }
    std::vector<int> Concluir(int &falhou) override
    {
        if (FErro) {
            falhou = int(FLinhas.size());
            std::rethrow_exception(std::exchange(FErro, nullptr));
        }
        falhou = -1;
        return std::exchange(FLinhas, {});
    }

private:
    std::vector<int> FLinhas;
    std::exception_ptr FErro;
};
} // namespace

std::unique_ptr<TnLote> TnMotor::NovoLote() { return std::make_unique<LoteImediato>(); }

std::unique_ptr<TnLote> nDMConexao::NovoLote() { return FMotor->NovoLote(); }

QVariant TnCursor::Valor(int i)
{
    if (Nulo(i))
        return {};
    switch (Coluna(i).Tipo) {
    case ftSmallint:
    case ftInteger: return QVariant(int(Inteiro(i)));
    case ftLargeint: return QVariant(Inteiro(i));
    case ftFloat: return QVariant(Real(i));
    case ftBCD: return QVariant(Texto(i).toDouble());
    case ftDate: return QVariant(Data(i));
    case ftDateTime: return QVariant(DataHora(i));
    case ftBoolean: return QVariant(Inteiro(i) != 0);
    default: return QVariant(Texto(i));
    }
}

void TnComando::BindValor(int i, const QVariant &v)
{
    if (EhNulo(v)) {
        BindNulo(i);
        return;
    }
    switch (v.metaType().id()) {
    case QMetaType::Bool: BindInteiro(i, v.toBool() ? 1 : 0); break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::Long: BindInteiro(i, v.toLongLong()); break;
    case QMetaType::ULongLong:
    case QMetaType::ULong: {
        if (v.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            throw EConvertError(QStringLiteral("O valor %1 é grande demais para o banco de dados.").arg(v.toULongLong()));
        BindInteiro(i, v.toLongLong());
        break;
    }
    case QMetaType::Double:
    case QMetaType::Float: BindReal(i, v.toDouble()); break;
    case QMetaType::QDate: BindData(i, v.toDate()); break;
    case QMetaType::QDateTime: BindDataHora(i, v.toDateTime()); break;
    default: BindTexto(i, v.toString()); break;
    }
}

void TnComando::ExigirTextoGravavel(const QString &v)
{
    const qsizetype k = CaractereInvalido(v);
    if (k >= 0)
        throw EConvertError(QStringLiteral("O texto \"%1\" contém %2, que não pode ser gravado.")
                                .arg(TrechoCitado(v), v[k].unicode() == 0 ? QStringLiteral("o caractere nulo (código 0)")
                                                                     : QStringLiteral("metade de um par UTF-16")));
}

void TnComando::ExigirRealGravavel(double v)
{
    if (!std::isfinite(v))
        throw EConvertError(QStringLiteral("O valor %1 não é um número finito e não pode ser gravado.")
                                .arg(NumeroParaMensagem(v)));
}

int TnComando::TextoIsoParaVincular(char *buf, const QDate &d, const QTime *t)
{
    if (!d.isValid())
        return -1;
    // Both engines write four-digit years.
    if (d.year() < 1 || d.year() > 9999)
        throw EConvertError(QStringLiteral("\"%1\" não é uma data válida.").arg(d.toString(Qt::ISODate)));
    return EscreverDataIso(buf, d, t);
}

int TnComando::IndiceParametro(const QString &nome) const
{
    for (int i = 0; i < FNomes.size(); ++i)
        if (FNomes[i].compare(nome, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TnComando::BindValor(const QString &nome, const QVariant &v)
{
    bool achou = false;
    for (int i = 0; i < FNomes.size(); ++i)
        if (FNomes[i].compare(nome, Qt::CaseInsensitive) == 0) {
            BindValor(i, v);
            achou = true;
        }
    if (!achou)
        throw Exception(QStringLiteral("Parâmetro \"%1\" não existe no comando.").arg(nome));
}

// ---------------------------------------------------------------- settings

QString TnConfigBanco::ArquivoPadrao()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath("banco.ini");
}

QString TnConfigBanco::BancoEmbutidoPadrao()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("inv.db");
}

TnConfigBanco TnConfigBanco::Ler(const QString &arquivoIni)
{
    TnConfigBanco c;
    c.Arquivo = BancoEmbutidoPadrao();
    if (arquivoIni.isEmpty() || !QFileInfo::exists(arquivoIni))
        return c;
    QSettings s(arquivoIni, QSettings::IniFormat);
    s.beginGroup("Banco");
    const QString tipo = s.value("Tipo", "SQLite").toString().trimmed();
    if (tipo.compare("PostgreSQL", Qt::CaseInsensitive) == 0) {
        c.Tipo = tcPostgreSQL;
        c.Servidor = s.value("Servidor", c.Servidor).toString();
        c.Porta = s.value("Porta", c.Porta).toInt();
        c.Banco = s.value("Banco").toString();
        c.Usuario = s.value("Usuario").toString();
        c.Senha = s.value("Senha").toString();
        c.Esquema = s.value("Esquema").toString();
    } else if (tipo.compare("SQLite", Qt::CaseInsensitive) == 0) {
        const QString arq = s.value("Arquivo").toString();
        if (!arq.isEmpty())
            c.Arquivo = arq;
    } else {
        throw Exception(QStringLiteral("Tipo de banco \"%1\" desconhecido em %2: use SQLite ou PostgreSQL.")
                            .arg(tipo, arquivoIni));
    }
    return c;
}

// The embedded database holds the company's books and only the operating system guards it:
// a folder this program creates for it is its user's alone (0700), and so is a new file
// (0600; SQLite gives its journal files the same permissions). Existing ones are left as
// their owner set them.
static void CriarArquivoPrivado(const QString &arquivo)
{
    const QString pasta = QFileInfo(arquivo).absolutePath();
    if (!QFileInfo::exists(pasta) && QDir().mkpath(pasta))
        QFile::setPermissions(pasta, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (QFileInfo::exists(arquivo))
        return;
    QFile f(arquivo);
    if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// ---------------------------------------------------------------- connection

nDMConexao &nDMConexao::Atual()
{
    if (!gAtual)
        throw Exception(QStringLiteral("Não há conexão com o banco de dados."));
    return *gAtual;
}
nDMConexao *nDMConexao::AtualOuNulo() { return gAtual; }
void nDMConexao::DefinirAtual(nDMConexao *c) { gAtual = c; }

nDMConexao::nDMConexao(const TnConfigBanco &cfg) : FCfg(cfg)
{
    FIdentidade = quint64(++gSeqConexao);
    FNomeConexao = QStringLiteral("orvo_%1").arg(FIdentidade);
    if (cfg.Tipo == tcSQLite) {
        if (cfg.Arquivo.isEmpty())
            throw Exception(QStringLiteral("Nenhum arquivo de banco de dados foi informado."));
        CriarArquivoPrivado(cfg.Arquivo);
        PrepararBibliotecaSQLite();
        FDb = QSqlDatabase::addDatabase("QSQLITE", FNomeConexao);
        FDb.setDatabaseName(cfg.Arquivo);
        FDb.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000");
    } else {
        FDb = QSqlDatabase::addDatabase("QPSQL", FNomeConexao);
        FDb.setHostName(cfg.Servidor);
        FDb.setPort(cfg.Porta);
        FDb.setDatabaseName(cfg.Banco);
        FDb.setUserName(cfg.Usuario);
        FDb.setPassword(cfg.Senha);
    }
    if (!FDb.isValid() || !FDb.open()) {
        const QString erro = FDb.lastError().text();
        FDb = QSqlDatabase();
        QSqlDatabase::removeDatabase(FNomeConexao);
        const QString msg = cfg.Tipo == tcSQLite
            ? DescricaoErroSQLite(CodigoSQLiteNaoAbriu().toInt(), Descricao())
            : QStringLiteral("Não foi possível conectar ao banco de dados %1. Verifique se o servidor está no ar e se "
                             "o banco, o usuário e a senha estão certos.").arg(Descricao());
        throw EDatabaseError(msg, QStringLiteral("08000"), CodigoSQLiteNaoAbriu(), erro, QString());
    }
    FDb.setNumericalPrecisionPolicy(QSql::HighPrecision);
    FMotor = cfg.Tipo == tcSQLite ? CriarMotorSQLite(*this) : CriarMotorPostgres(*this);
    FMotor->Configurar();
}

nDMConexao::~nDMConexao()
{
    if (gAtual == this)
        gAtual = nullptr;
    // Whatever keeps statements of this connection lets them go first.
    for (TnDependenteConexao *d : std::vector<TnDependenteConexao *>(FDependentes))
        d->ConexaoFechando(*this);
    FDependentes.clear();
    FGuardados.clear(); // statements go before the database closes
    FMotor.reset();
    if (FDb.isValid()) {
        if (!FPilha.empty()) {
            // Whatever was left open is undone: nothing half-written survives.
            QSqlQuery(FDb).exec("ROLLBACK");
        }
        FDb.close();
    }
    FDb = QSqlDatabase();
    QSqlDatabase::removeDatabase(FNomeConexao);
}

QString nDMConexao::Descricao() const
{
    if (FCfg.Tipo == tcSQLite)
        return QDir::toNativeSeparators(QFileInfo(FCfg.Arquivo).absoluteFilePath());
    return QStringLiteral("PostgreSQL %1:%2/%3").arg(FCfg.Servidor).arg(FCfg.Porta).arg(FCfg.Banco);
}

std::unique_ptr<TnComando> nDMConexao::Preparar(const QString &sql)
{
    if (!FFalhaDesfazer.isEmpty())
        ExigirTransacaoViva();
    QStringList nomes;
    int total = 0;
    ExigirTextoValido(sql);
    const QString convertido = ConverterParametros(sql, FCfg.Tipo, nomes, total);
    // A schema change prepared like any statement: the columns read before may be no more.
    qsizetype inicio = 0;
    if (const QString palavra = PrimeiraPalavra(convertido, inicio, FCfg.Tipo);
        !EhComandoDeDados(palavra) && !EhControleDeTransacao(palavra) && PodeMudarColunas(convertido))
        FColunas.clear();
    std::unique_ptr<TnComando> cmd = FMotor->Preparar(convertido, nomes, total);
    // A lost transaction reads no catalog; the statement fails when it runs anyway.
    if (total > 0 && !TransacaoAbortada() && !TransacaoPerdida())
        cmd->FDestinos = DestinosDosParametros(convertido, total);
    return cmd;
}

std::vector<TnColunaInfo> nDMConexao::DestinosDosParametros(const QString &sql, int total)
{
    static const QRegularExpression reInsert(
        QStringLiteral("^\\s*insert\\s+into\\s+([A-Za-z_][A-Za-z0-9_]*(?:\\.[A-Za-z_][A-Za-z0-9_]*)?)\\s*"
                       "\\(([^()]*)\\)\\s*values\\s*\\((.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression reUpdate(
        QStringLiteral("^\\s*update\\s+([A-Za-z_][A-Za-z0-9_]*(?:\\.[A-Za-z_][A-Za-z0-9_]*)?)\\s+set\\s+(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression reAtribuicao(QStringLiteral("^([A-Za-z_][A-Za-z0-9_]*)\\s*=\\s*\\?$"));
    std::vector<TnColunaInfo> destinos;
    QString tabela, lista;
    QStringList colunas;
    bool insert = false;
    if (const auto m = reInsert.match(sql); m.hasMatch()) {
        insert = true;
        tabela = m.captured(1);
        colunas = m.captured(2).split(u',');
        lista = m.captured(3);
    } else if (const auto u = reUpdate.match(sql); u.hasMatch()) {
        tabela = u.captured(1);
        lista = u.captured(2);
    } else {
        return destinos;
    }
    // The items of the list, split at the commas outside quotes and parentheses; an UPDATE's
    // ends at its WHERE. Each "?" counts, so that a parameter keeps its position.
    const auto parteDeNome = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    int parametro = 0, profundidade = 0;
    qsizetype inicio = 0;
    std::vector<std::pair<QString, int>> itens; // item, position of its first "?"
    int primeiro = -1;
    const auto fechar = [&](qsizetype fim) {
        itens.push_back({lista.mid(inicio, fim - inicio).trimmed(), primeiro});
        primeiro = -1;
    };
    qsizetype i = 0;
    for (; i < lista.size(); ++i) {
        const QChar c = lista[i];
        if (const qsizetype fim = FimDeTrechoLiteral(lista, i, FCfg.Tipo); fim >= 0) {
            i = fim;
        } else if (c == u'?') {
            if (primeiro < 0)
                primeiro = parametro;
            ++parametro;
        } else if (c == u'(') {
            ++profundidade;
        } else if (c == u')') {
            if (--profundidade < 0) {
                if (!insert)
                    return destinos; // something this reading does not follow
                break; // the end of the (first) row of values; what follows writes no new column
            }
        } else if (c == u',' && profundidade == 0) {
            fechar(i);
            inicio = i + 1;
        } else if (!insert && profundidade == 0 && (c == u'w' || c == u'W') && (i == 0 || !parteDeNome(lista[i - 1]))
                   && QStringView(lista).mid(i, 5).compare(QLatin1String("where"), Qt::CaseInsensitive) == 0
                   && (i + 5 >= lista.size() || !parteDeNome(lista[i + 5]))) {
            break;
        }
    }
    fechar(i);
    if (insert && itens.size() != size_t(colunas.size()))
        return destinos;
    destinos.resize(size_t(total));
    bool algum = false;
    for (size_t k = 0; k < itens.size(); ++k) {
        const auto &[item, posicao] = itens[k];
        QString coluna;
        if (insert && item == QLatin1String("?"))
            coluna = colunas[qsizetype(k)].trimmed();
        else if (!insert)
            if (const auto a = reAtribuicao.match(item); a.hasMatch())
                coluna = a.captured(1);
        if (coluna.isEmpty() || posicao < 0 || posicao >= total)
            continue;
        destinos[size_t(posicao)] = ColunaDaTabela(tabela, coluna);
        algum = algum || destinos[size_t(posicao)].Tipo != ftUnknown;
    }
    if (!algum)
        destinos.clear();
    return destinos;
}

void TnComando::ConferirInteiro(int i, qint64 v) const
{
    if (size_t(i) < FDestinos.size())
        ExigirNaColuna(FDestinos[size_t(i)], v);
}

void TnComando::ConferirReal(int i, double v) const
{
    if (size_t(i) < FDestinos.size())
        ExigirNaColuna(FDestinos[size_t(i)], v);
}

void TnComando::ConferirTexto(int i, const QString &v) const
{
    if (size_t(i) < FDestinos.size())
        ExigirNaColuna(FDestinos[size_t(i)], v);
}

nDMConexao::TnComandoGuardado nDMConexao::PrepararGuardado(const QString &sql)
{
    // A few texts only are run this way: a small pool, searched from the end (the ones let
    // go last), is enough; when full, the one let go longest ago goes.
    constexpr size_t kMaximo = 32;
    std::unique_ptr<TnComando> cmd;
    const auto it = std::find_if(FGuardados.rbegin(), FGuardados.rend(),
                                 [&sql](const std::unique_ptr<TnComando> &c) { return c->FTexto == sql; });
    if (it != FGuardados.rend()) {
        cmd = std::move(*it);
        FGuardados.erase(std::next(it).base());
    } else {
        cmd = Preparar(sql);
        cmd->FTexto = sql;
    }
    return TnComandoGuardado(cmd.release(), [this](TnComando *c) {
        std::unique_ptr<TnComando> devolvido(c);
        try {
            devolvido->Fechar();
        } catch (...) {
            return; // a command that cannot be closed is not kept
        }
        if (FGuardados.size() >= kMaximo)
            FGuardados.erase(FGuardados.begin());
        FGuardados.push_back(std::move(devolvido));
    });
}

void nDMConexao::ExigirTextoValido(const QString &sql) const
{
    const qsizetype i = CaractereInvalido(sql);
    if (i >= 0)
        throw EDatabaseError(QStringLiteral("O comando contém um caractere que o banco de dados não aceita (posição %1: %2); "
                                            "nada foi executado.")
                                 .arg(i + 1)
                                 .arg(sql[i].unicode() == 0 ? QStringLiteral("o caractere nulo")
                                                            : QStringLiteral("metade de um par UTF-16")),
                             QString(), QString(), QString(), sql.left(200));
}

int nDMConexao::Executar(const QString &sql)
{
    if (!FFalhaDesfazer.isEmpty())
        ExigirTransacaoViva();
    ExigirTextoValido(sql);
    qsizetype inicio = 0;
    if (!EhControleDeTransacao(PrimeiraPalavra(sql, inicio, FCfg.Tipo)))
        ++FTextos;
    return FMotor->ExecutarTexto(sql);
}

int nDMConexao::ExecutarComandos(const QStringList &comandos, int *falhou)
{
    for (const QString &c : comandos)
        ExigirTextoValido(c);
    ++FTextos;
    int indice = -1;
    try {
        // Several statements outside a transaction: all or nothing.
        std::optional<TnTransacao> propria;
        if (comandos.size() > 1 && !InTransaction())
            propria.emplace(-1003, *this);
        const int n = FMotor->ExecutarComandos(comandos, indice);
        if (propria)
            propria->Commit();
        return n;
    } catch (...) {
        if (falhou)
            *falhou = indice;
        throw;
    }
}

void TnMotor::EsquecerGuardados(bool colunas)
{
    // A kept statement could describe tables as they were (the server refuses a prepared
    // statement whose columns changed); so could the columns read from the catalog.
    FCon.FGuardados.clear();
    if (colunas)
        FCon.FColunas.clear();
}

const std::vector<TnColunaInfo> &nDMConexao::ColunasDaTabela(const QString &tabela)
{
    const QString chave = tabela.trimmed().toUpper();
    if (const auto it = FColunas.find(chave); it != FColunas.end())
        return it->second;
    const qsizetype ponto = chave.indexOf(u'.');
    const QString esquema = ponto < 0 ? QString() : chave.left(ponto), nome = chave.mid(ponto + 1);
    std::vector<TnColunaInfo> colunas;
    if (FCfg.Tipo == tcSQLite) {
        auto cmd = Preparar(esquema.isEmpty() ? QStringLiteral("select name, type from pragma_table_info(?)")
                                              : QStringLiteral("select name, type from pragma_table_info(?, ?)"));
        cmd->BindTexto(0, nome);
        if (!esquema.isEmpty())
            cmd->BindTexto(1, esquema.toLower());
        TnCursor &c = cmd->Abrir();
        while (c.Proximo())
            colunas.push_back(InfoDeTipoDeclarado(c.Texto(0).toUpper(), c.Nulo(1) ? nullptr : c.Texto(1).toUtf8().constData()));
    } else {
        // On the server every read is a round trip: the first one brings the columns of every
        // table the search path shows, so the writers of a run ask the catalog once.
        if (esquema.isEmpty() && FColunas.empty()) {
            auto todas = Preparar(QStringLiteral(
                "select upper(cast(c.relname as text)), cast(a.attname as text), format_type(a.atttypid, a.atttypmod) "
                "from pg_class c join pg_attribute a on a.attrelid = c.oid "
                "where c.relkind in ('r', 'p', 'v') and pg_table_is_visible(c.oid) and a.attnum > 0 "
                "and not a.attisdropped order by c.oid, a.attnum"));
            TnCursor &c = todas->Abrir();
            while (c.Proximo())
                FColunas[c.Texto(0)].push_back(
                    InfoDeTipoDeclarado(c.Texto(1).toUpper(), c.Texto(2).toLatin1().constData()));
            todas->Fechar();
            if (const auto it = FColunas.find(chave); it != FColunas.end())
                return it->second;
        }
        // The table as the server resolves its name (search path, schema, case folding);
        // format_type writes the declared type as the DDL did ("numeric(18,2)").
        auto cmd = Preparar(QStringLiteral(
            "select cast(a.attname as text), format_type(a.atttypid, a.atttypmod) from pg_attribute a "
            "where a.attrelid = to_regclass(?) and a.attnum > 0 and not a.attisdropped order by a.attnum"));
        cmd->BindTexto(0, tabela.trimmed());
        TnCursor &c = cmd->Abrir();
        while (c.Proximo())
            colunas.push_back(InfoDeTipoDeclarado(c.Texto(0).toUpper(), c.Texto(1).toLatin1().constData()));
    }
    return FColunas.emplace(chave, std::move(colunas)).first->second;
}

TnColunaInfo nDMConexao::ColunaDaTabela(const QString &tabela, const QString &coluna)
{
    for (const TnColunaInfo &c : ColunasDaTabela(tabela))
        if (c.Nome.compare(coluna, Qt::CaseInsensitive) == 0)
            return c;
    TnColunaInfo nenhuma;
    nenhuma.Nome = coluna.toUpper();
    return nenhuma;
}

int nDMConexao::Executar(const QString &sql, const QVariantList &params)
{
    auto cmd = Preparar(sql);
    if (params.size() != cmd->Parametros())
        throw Exception(QStringLiteral("O comando espera %1 parâmetros e recebeu %2.")
                            .arg(cmd->Parametros()).arg(params.size()));
    for (int i = 0; i < params.size(); ++i)
        cmd->BindValor(i, params[i]);
    return cmd->Executar();
}

int nDMConexao::ExecutarProtegido(TnComando &cmd)
{
    if (FPilha.empty())
        return cmd.Executar();
    Executar("SAVEPOINT sp_protegido");
    try {
        const int n = cmd.Executar();
        Executar("RELEASE SAVEPOINT sp_protegido");
        return n;
    } catch (...) {
        if (FPerdida)
            throw; // nothing left to roll back to
        Executar("ROLLBACK TO SAVEPOINT sp_protegido; RELEASE SAVEPOINT sp_protegido");
        FAbortada = false; // the savepoint undid the failure: the transaction goes on
        throw;
    }
}

void nDMConexao::ExigirTransacaoViva()
{
    if (!FFalhaDesfazer.isEmpty()) {
        const QString m = std::exchange(FFalhaDesfazer, QString());
        throw EDatabaseError(m, QString(), QString(), QString(), QString());
    }
    if (TransacaoAbortada())
        throw EDatabaseError(QStringLiteral("A transação %1 foi desfeita por um erro anterior: nada foi gravado; "
                                            "desfaça-a antes de continuar.")
                                 .arg(FPilha.front().id),
                             QString(), QString(), QString(), QString());
}

void nDMConexao::FalhaAoDesfazer(const QString &mensagem)
{
    FFalhaDesfazer = mensagem;
    qWarning("%s", qPrintable(mensagem));
}

void nDMConexao::AdicionarDependente(TnDependenteConexao *d)
{
    if (std::find(FDependentes.begin(), FDependentes.end(), d) == FDependentes.end())
        FDependentes.push_back(d);
}

void nDMConexao::RemoverDependente(TnDependenteConexao *d) { std::erase(FDependentes, d); }

QDateTime nDMConexao::PegarDataServidor(bool comHora)
{
    const QDateTime agora = FMotor->DataServidor();
    return comHora ? agora : QDateTime(agora.date(), QTime(0, 0));
}

// ---------------------------------------------------------------- transactions

bool nDMConexao::InTransaction(int id) const
{
    return std::any_of(FPilha.begin(), FPilha.end(), [id](const Nivel &n) { return n.id == id; });
}

void nDMConexao::Iniciar(int id, bool ro)
{
    if (!FPilha.empty() && FPilha.back().id == id && FPilha.back().ro == ro) {
        ++FPilha.back().profundidade;
        return;
    }
    if (FPilha.empty()) {
        if (!FMotor->AdiarInicio())
            Executar(FMotor->InicioTransacao(ro));
    } else {
        Executar(QStringLiteral("SAVEPOINT sp_%1").arg(FPilha.size()));
    }
    FPilha.push_back({id, ro, 1});
}

void nDMConexao::Terminar(int id, bool ro)
{
    const char *tipo = ro ? "de leitura " : "";
    if (FPilha.empty() || !InTransaction(id))
        throw Exception(QStringLiteral("A transação %1%2 não está aberta: nada foi gravado.").arg(tipo).arg(id));
    Nivel &topo = FPilha.back();
    if (topo.id != id || topo.ro != ro)
        throw Exception(QStringLiteral("A transação %1%2 não pode ser confirmada antes da transação %3, aberta dentro dela.")
                            .arg(tipo).arg(id).arg(topo.id));
    if (--topo.profundidade > 0)
        return;
    if (FAbortada) {
        // A failed statement lost the transaction (the server took it as its end, SQLite
        // kept a part of it or rolled it back itself): a COMMIT now would quietly roll back,
        // or keep half of it. Say so instead of reporting success.
        FPilha.clear();
        FAbortada = false;
        FPerdida = false;
        FMotor->Descartar();
        try {
            Executar("ROLLBACK");
        } catch (...) {
            // The report below is what counts; a connection that cannot roll back is lost.
        }
        throw Exception(QStringLiteral("A transação %1 foi desfeita por um erro anterior: nada foi gravado.").arg(id));
    }
    if (FPilha.size() == 1) {
        if (!FMotor->EsquecerInicioAdiado()) // nothing was sent: nothing to commit
            Executar("COMMIT");
    } else
        Executar(QStringLiteral("RELEASE SAVEPOINT sp_%1").arg(FPilha.size() - 1));
    FPilha.pop_back();
}

std::vector<int> nDMConexao::ConcluirEConfirmar(TnLote &lote, int id, int &falhou)
{
    std::vector<int> linhas;
    if (FPilha.size() == 1 && FPilha.back().id == id && !FPilha.back().ro && FPilha.back().profundidade == 1
        && !FAbortada && FMotor->ConcluirEConfirmar(lote, falhou, linhas)) {
        FPilha.pop_back();
        return linhas;
    }
    linhas = lote.Concluir(falhou);
    Terminar(id, false);
    return linhas;
}

void nDMConexao::StartTransaction(int id, bool, bool) { Iniciar(id, false); }
void nDMConexao::Commit(int id) { Terminar(id, false); }
void nDMConexao::StartTransactionRO(int id) { Iniciar(id, true); }
void nDMConexao::CommitRO(int id) { Terminar(id, true); }

void nDMConexao::RollBack(int id)
{
    auto it = std::find_if(FPilha.begin(), FPilha.end(), [id](const Nivel &n) { return n.id == id; });
    if (it == FPilha.end())
        return;
    const size_t nivel = size_t(it - FPilha.begin());
    FPilha.resize(nivel);
    FMotor->Descartar(); // writes held for a batch of the levels undone are not sent
    if (FPerdida) {
        // The engine rolled everything back already: the outer levels stay lost until the
        // outermost one ends; there is nothing to roll back to.
        if (nivel == 0) {
            FPerdida = FAbortada = false;
            try {
                Executar("ROLLBACK");
            } catch (const EDatabaseError &) {
                // no transaction was active any more
            }
        }
        return;
    }
    FAbortada = false;
    if (nivel == 0) {
        if (!FMotor->EsquecerInicioAdiado())
            Executar("ROLLBACK");
    } else
        Executar(QStringLiteral("ROLLBACK TO SAVEPOINT sp_%1; RELEASE SAVEPOINT sp_%1").arg(nivel));
}

TnTransacao::TnTransacao(int id, nDMConexao &c, bool ro) : FCon(c), FId(id), FRo(ro)
{
    ro ? FCon.StartTransactionRO(id) : FCon.StartTransaction(id);
}

TnTransacao::~TnTransacao()
{
    if (!FAberta)
        return;
    try {
        FCon.RollBack(FId);
    } catch (const std::exception &e) {
        // A destructor must not throw: the failure is logged and the connection keeps it for
        // the next statement to report.
        const auto *ex = dynamic_cast<const Exception *>(&e);
        FCon.FalhaAoDesfazer(QStringLiteral("A transação %1 não pôde ser desfeita: %2")
                                 .arg(FId)
                                 .arg(ex ? ex->Message() : QString::fromLocal8Bit(e.what())));
    }
}

std::vector<int> TnTransacao::ConcluirEConfirmar(TnLote &lote, int &falhou)
{
    std::vector<int> linhas = FCon.ConcluirEConfirmar(lote, FId, falhou);
    FAberta = false;
    return linhas;
}

void TnTransacao::Commit()
{
    FRo ? FCon.CommitRO(FId) : FCon.Commit(FId);
    FAberta = false;
}

// ---------------------------------------------------------------- errors

namespace {
QString DescricaoErro(int tipo)
{
    switch (tipo) {
    case ebChavePrimaria: return QStringLiteral("Já existe um registro com esta chave.");
    case ebChaveEstrangeira:
        return QStringLiteral("O registro se refere a outro que não existe, ou ainda é usado por outros registros.");
    case ebNaoNulo: return QStringLiteral("Um campo obrigatório ficou sem valor.");
    case ebUnico: return QStringLiteral("Já existe um registro com estes valores, que não podem se repetir.");
    case ebChecagem: return QStringLiteral("Um valor não atende às regras da tabela.");
    case ebBloqueio: return QStringLiteral("O banco de dados está ocupado por outro usuário; tente novamente.");
    case ebConexao: return QStringLiteral("A conexão com o banco de dados foi perdida.");
    case ebSintaxe: return QStringLiteral("O comando enviado ao banco de dados é inválido.");
    default: return QStringLiteral("O banco de dados recusou a operação.");
    }
}
} // namespace

void nDMConexao::Falha(const QString &textoMotor, const QString &codigo, const QString &sql) const
{
    const bool pg = FCfg.Tipo == tcPostgreSQL;
    if (!FPilha.empty())
        FAbortada = true;
    const int tipo = pg ? ClassificarErroPostgres(codigo, textoMotor) : ClassificarErroSQLite(codigo.toInt());
    // The user reads Portuguese only: the engine's own words stay in the error (TextoMotor)
    // for whoever examines it.
    QString msg = pg ? QString() : DescricaoErroSQLite(codigo.toInt(), Descricao(), textoMotor);
    if (pg && codigo == QLatin1String("P0001")) {
        // A function's or trigger's own refusal (RAISE EXCEPTION), written for the user: its
        // first line, without the server's severity word.
        QString proprio = textoMotor.section(u'\n', 0, 0).trimmed();
        if (proprio.startsWith(QLatin1String("ERROR:")))
            proprio = proprio.mid(6).trimmed();
        if (!proprio.isEmpty())
            msg = QStringLiteral("O banco de dados recusou a operação: %1").arg(proprio);
    }
    if (msg.isEmpty())
        msg = DescricaoErro(tipo);
    if (FPerdida && !FPilha.empty())
        msg = QStringLiteral("A transação %1 foi desfeita pelo banco de dados: nada foi gravado. ").arg(FPilha.front().id)
              + msg;
    throw EDatabaseError(msg, pg ? codigo : QString(), pg ? QString() : codigo, textoMotor, sql);
}

int ErroBanco(const std::exception &e)
{
    const auto *db = dynamic_cast<const EDatabaseError *>(&e);
    if (!db)
        return ebOutro;
    if (!db->Estado().isEmpty())
        return ClassificarErroPostgres(db->Estado(), db->TextoMotor());
    return ClassificarErroSQLite(db->CodigoNativo().toInt());
}
