#include "BancoTeste.h"
#include "Valores.h"

#ifdef ORVO_TESTE_DESKTOP
#include <QApplication>
#else
#include <QCoreApplication>
#endif
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

namespace {
bool gPg = false;
QTemporaryDir *gDirTemp = nullptr;
}

namespace teste {
bool EmPostgres() { return gPg; }

TnConfigBanco ConfigPostgres()
{
    const auto env = QProcessEnvironment::systemEnvironment();
    TnConfigBanco c;
    c.Tipo = tcPostgreSQL;
    c.Servidor = env.value("ORVO_TESTE_PG_HOST", "localhost");
    c.Porta = env.value("ORVO_TESTE_PG_PORT", "5432").toInt();
    c.Banco = env.value("ORVO_TESTE_PG_DB", "orvo_teste");
    c.Usuario = env.value("ORVO_TESTE_PG_USER", "postgres");
    c.Senha = env.value("ORVO_TESTE_PG_PASSWORD");
    return c;
}

std::unique_ptr<nDMConexao> NovoBanco()
{
    if (!gPg) {
        TnConfigBanco c;
        c.Tipo = tcSQLite;
        c.Arquivo = gDirTemp->filePath(QUuid::createUuid().toString(QUuid::Id128) + ".db");
        return std::make_unique<nDMConexao>(c);
    }
    TnConfigBanco c = ConfigPostgres();
    const QString esquema = "t_" + QUuid::createUuid().toString(QUuid::Id128);
    {
        nDMConexao adm(c);
        adm.Executar("create schema " + esquema);
    }
    c.Esquema = esquema;
    return std::make_unique<nDMConexao>(c);
}

void DescartarBanco(std::unique_ptr<nDMConexao> &c)
{
    if (!c)
        return;
    const TnConfigBanco cfg = c->Config();
    c.reset();
    if (cfg.Tipo == tcPostgreSQL && !cfg.Esquema.isEmpty()) {
        TnConfigBanco semEsquema = cfg;
        semEsquema.Esquema.clear();
        nDMConexao adm(semEsquema);
        adm.Executar("drop schema " + cfg.Esquema + " cascade");
    }
}

QString TextoDaColuna(TnCursor &c, int i)
{
    const TFieldType tipo = c.Coluna(i).Tipo;
    if (c.Nulo(i))
        return QStringLiteral("null");
    if (tipo == ftFloat || tipo == ftBCD)
        return NumeroParaTexto(c.Real(i));
    if (tipo == ftDate)
        return c.Data(i).toString(Qt::ISODate);
    return c.Texto(i);
}
} // namespace teste

void BancoTeste::SetUp()
{
    if (teste::EmPostgres() && qEnvironmentVariableIsEmpty("ORVO_TESTE_PG_HOST"))
        GTEST_SKIP() << "nenhum servidor PostgreSQL foi iniciado para os testes";
    FCon = teste::NovoBanco();
    nDMConexao::DefinirAtual(FCon.get());
}

void BancoTeste::TearDown()
{
    nDMConexao::DefinirAtual(nullptr);
    teste::DescartarBanco(FCon);
}

namespace {
// The trigger (and on PostgreSQL its function) that refuses the rows of one table and event.
QString NomeFalha(const QString &tabela, const QString &evento) { return "falha_" + evento + '_' + tabela; }
} // namespace

void BancoTeste::InjetarFalha(const QString &tabela, const QString &evento, const QString &condicao,
                              const QString &mensagem)
{
    const QString nome = NomeFalha(tabela, evento);
    if (teste::EmPostgres()) {
        // Sent whole (not split as a script: its body holds ";").
        QSqlQuery q(con().BancoQt());
        ASSERT_TRUE(q.exec(QStringLiteral("create function %1() returns trigger language plpgsql as $$ "
                                          "begin if %2 then raise exception '%3'; end if; return NEW; end $$")
                               .arg(nome, condicao, mensagem)))
            << q.lastError().text().toStdString();
        con().Executar(QStringLiteral("create trigger %1 before %2 on %3 for each row execute function %1()")
                           .arg(nome, evento, tabela));
    } else {
        con().Executar(QStringLiteral("create trigger %1 before %2 on %3 for each row when %4 "
                                      "begin select raise(abort, '%5'); end")
                           .arg(nome, evento, tabela, condicao, mensagem));
    }
}

void BancoTeste::RetirarFalha(const QString &tabela, const QString &evento)
{
    const QString nome = NomeFalha(tabela, evento);
    if (teste::EmPostgres()) {
        con().Executar(QStringLiteral("drop trigger %1 on %2").arg(nome, tabela));
        con().Executar(QStringLiteral("drop function %1()").arg(nome));
    } else {
        con().Executar(QStringLiteral("drop trigger %1").arg(nome));
    }
}

int main(int argc, char **argv)
{
#ifdef ORVO_TESTE_DESKTOP
    // Widget tests need a QApplication; the offscreen platform draws without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QTemporaryDir dir;
    gDirTemp = &dir;
    // What the program keeps in the user's configuration and data folders (preference
    // files, settings) goes to the temporary folder, never to the real user's.
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
#ifdef ORVO_TESTE_DESKTOP
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    gPg = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().endsWith("_pg");
    if (gPg) {
        // Only suites on a database run against the server; a case's suite is derived from
        // BancoTeste when it is named *Banco* (see the naming rule in docs/architecture.md).
        ::testing::GTEST_FLAG(filter) = "*Banco*";
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
