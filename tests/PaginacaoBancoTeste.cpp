// Keyset packets on both engines: every row read once and in the database's order with a
// date and texts with quotes in the key, a register module read in packets (reopening on
// the same row, a row saved beyond the rows read not repeated, an order that cannot page
// read at once), and the entry register's packets served by the primary key's index.
#include "BancoTeste.h"
#include "DMClientDataSet.h"
#include "LctoInvTeste.h"
#include "Paginacao.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

const std::vector<TnDefCampo> kCampos = {
    {.Nome = "EMP", .Tipo = ftSmallint, .Requerido = true},
    {.Nome = "DATA", .Tipo = ftDate, .Requerido = true},
    {.Nome = "NOME", .Tipo = ftString, .Tamanho = 40, .Requerido = true},
    {.Nome = "SEQ", .Tipo = ftInteger, .Requerido = true},
    {.Nome = "VALOR", .Tipo = ftBCD, .Precisao = 15, .Escala = 2},
};

const TnDefCadastro kCadastro{
    .SQL = "select t.EMP, t.DATA, t.NOME, t.SEQ, t.VALOR from PAG_T t order by t.DATA",
    .Tabela = "PAG_T",
    .Campos = kCampos,
    .Chave = "EMP;DATA;NOME;SEQ",
    .Ordem = "DATA;EMP;NOME;SEQ",
};
const TnDefCadastro kDecrescente{
    .SQL = "select t.EMP, t.DATA, t.NOME, t.SEQ, t.VALOR from PAG_T t order by t.DATA desc",
    .Tabela = "PAG_T",
    .Campos = kCampos,
    .Chave = "EMP;DATA;NOME;SEQ",
};

const QStringList kNomes = {"O'Brien", "D'Ávila", "Ávila", "a''b", "Zé", "abc", "ABC", "x"};
const QDate kInicio(2024, 1, 1);

class PaginacaoBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (IsSkipped())
            return;
        con().Executar("create table PAG_T (EMP smallint not null, DATA date not null, NOME varchar(40) not null, "
                       "SEQ integer not null, VALOR numeric(15,2), primary key (EMP, DATA, NOME, SEQ))");
        TnTransacao t(1, con());
        auto ins = con().Preparar("insert into PAG_T (EMP, DATA, NOME, SEQ, VALOR) values (?, ?, ?, ?, ?)");
        for (int i = 0; i < kLinhas; ++i) {
            ins->BindInteiro(0, i % 5 == 4 ? 2 : 1);
            ins->BindData(1, kInicio.addDays(i % 7));
            ins->BindTexto(2, kNomes[i % kNomes.size()]);
            ins->BindInteiro(3, i / 50);
            ins->BindTexto(4, QStringLiteral("%1.25").arg(i));
            ins->Executar();
        }
        t.Commit();
    }
    // The keys of every row of `ds` from the current one on, walking with Next.
    static QStringList Chaves(TnClientDataSet &ds)
    {
        QStringList r;
        for (; !ds.Eof(); ds.Next())
            r << QStringLiteral("%1|%2|%3|%4")
                     .arg(ds.FieldByName("EMP").AsString(), ds.FieldByName("DATA").AsDate().toString(Qt::ISODate),
                          ds.FieldByName("NOME").AsString(), ds.FieldByName("SEQ").AsString());
        return r;
    }
    QStringList ChavesDoBanco(const char *condicao, const char *ordem)
    {
        TnClientDataSet ds;
        ds.DefinirCampos(kCampos.data(), int(kCampos.size()));
        ds.CarregarDe(con().Preparar(QStringLiteral("select EMP, DATA, NOME, SEQ, VALOR from PAG_T where %1 order by %2")
                                         .arg(QString::fromLatin1(condicao), QString::fromLatin1(ordem)))
                          ->Abrir());
        return Chaves(ds);
    }
    // The rows of EMP 1 in packets of 70, by a keyed source.
    void AbrirEmpresa1(TnClientDataSet &ds)
    {
        ds.DefinirCampos(kCampos.data(), int(kCampos.size()));
        ds.SetPacketRecords(70);
        ds.AbrirPaginado(std::make_shared<TnFonteChaveada>(con(), "select EMP, DATA, NOME, SEQ, VALOR from PAG_T where EMP = ?",
                                                           QVariantList{1}, QStringList{"DATA", "NOME", "SEQ"},
                                                           "EMP;DATA;NOME;SEQ"));
    }
    static constexpr int kLinhas = 1500;
};

TEST_F(PaginacaoBanco, FonteChaveadaLeCadaLinhaUmaVezNaOrdemDoBanco)
{
    TnClientDataSet ds;
    AbrirEmpresa1(ds);
    EXPECT_EQ(ds.RecordCount(), 70);
    const QStringList lidas = Chaves(ds);
    EXPECT_TRUE(lidas == ChavesDoBanco("EMP = 1", "DATA, NOME, SEQ"));
    EXPECT_EQ(lidas.size(), kLinhas * 4 / 5);
    EXPECT_TRUE(ds.TodosLidos());
    // Texts with quotes went through the comparison as values.
    ASSERT_TRUE(ds.Locate("DATA;NOME;SEQ", QVariantList{kInicio.addDays(1451 % 7), "a''b", 29}));
    EXPECT_DOUBLE_EQ(ds.FieldByName("VALOR").AsFloat(), 1451.25);
}

TEST_F(PaginacaoBanco, AbrirVazioLargaAOrigemDosPacotes)
{
    TnClientDataSet ds;
    AbrirEmpresa1(ds);
    ASSERT_FALSE(ds.TodosLidos());
    // Empty as a read that found nothing: no packet of the source left to read.
    ds.AbrirVazio();
    EXPECT_TRUE(ds.Active());
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_TRUE(ds.TodosLidos());
    ds.Last();
    EXPECT_EQ(ds.RecordCount(), 0);
    EXPECT_FALSE(ds.Locate("EMP", 1));
    // It needs the fields declared: it cannot tell which a read would give.
    TnClientDataSet semCampos;
    EXPECT_THROW(semCampos.AbrirVazio(), Exception);
}

TEST_F(PaginacaoBanco, ModuloLeEmPacotesReabreNaLinhaESalvaSemRepetir)
{
    TnDMClientDataSet dm(kCadastro);
    dm.Abrir();
    TnClientDataSet &ds = dm.nClientDataSet();
    ASSERT_NE(dynamic_cast<TnFonteChaveada *>(ds.Fonte()), nullptr);
    EXPECT_EQ(ds.RecordCount(), 500);

    ds.SetRecNo(777);
    const QString nome = ds.FieldByName("NOME").AsString();
    const int seq = ds.FieldByName("SEQ").AsInteger();
    const QDate data = ds.FieldByName("DATA").AsDate();
    dm.Reabrir();
    EXPECT_EQ(ds.FieldByName("NOME").AsString(), nome);
    EXPECT_EQ(ds.FieldByName("SEQ").AsInteger(), seq);
    EXPECT_EQ(ds.FieldByName("DATA").AsDate(), data);
    // The row was looked up by its key, without the packets before it; they come later and
    // take their places before it.
    EXPECT_EQ(ds.RecordCount(), 501);
    ds.SetRecNo(1000);
    ASSERT_TRUE(ds.Locate("DATA;NOME;SEQ", QVariantList{data, nome, seq}));
    EXPECT_EQ(ds.RecNo(), 777);
    EXPECT_LT(ds.RecordCount(), kLinhas);

    // A row saved far beyond the rows read (it is written at once) comes once only.
    ds.Append();
    ds.FieldByName("EMP").SetAsInteger(1);
    ds.FieldByName("DATA").SetAsDate(kInicio.addDays(6));
    ds.FieldByName("NOME").SetAsString(QStringLiteral("Zz'top"));
    ds.FieldByName("SEQ").SetAsInteger(1);
    ds.Post();
    EXPECT_EQ(ds.ChangeCount(), 0);
    ds.First();
    const QStringList todas = Chaves(ds);
    EXPECT_EQ(todas.size(), kLinhas + 1);
    EXPECT_EQ(todas.filter(QStringLiteral("Zz'top")).size(), 1);
    EXPECT_TRUE(todas == ChavesDoBanco("1 = 1", "DATA, EMP, NOME, SEQ"));

    // An order the packets cannot follow: everything at once, as before.
    TnDMClientDataSet decrescente(kDecrescente);
    decrescente.Abrir();
    EXPECT_TRUE(decrescente.nClientDataSet().TodosLidos());
    EXPECT_EQ(decrescente.nClientDataSet().RecordCount(), kLinhas + 1);
}

// The packets of the entry register and of its consultation over one branch-date.
class PaginacaoLctoBanco : public BancoLctoInv {
protected:
    QDate DataInventario() const override { return QDate(2024, 3, 31); }
    // The plan of the statement of the packets after the first, with the module's values.
    QString Plano(TnDMClientDataSet *dm)
    {
        auto *fonte = dynamic_cast<TnFonteChaveada *>(dm->nClientDataSet().Fonte());
        EXPECT_NE(fonte, nullptr);
        if (!fonte)
            return {};
        QVariantList valores;
        dm->TextoComando(valores);
        valores << 100 << 1; // CODIGOPRODUTO, MOTIVOINVENTARIO of the last row read
        QString sql = fonte->TextoPacote(true, 500);
        QString plano;
        if (con().PegarTipoCon() == tcSQLite) {
            auto cmd = con().Preparar(QStringLiteral("explain query plan ") + sql);
            for (int i = 0; i < valores.size(); ++i)
                cmd->BindValor(i, valores[i]);
            for (TnCursor &c = cmd->Abrir(); c.Proximo();)
                plano += c.Texto(3) + u'\n';
            return plano;
        }
        // The server cannot plan a statement with open parameters: it is prepared and its
        // execution with the values explained (with sequential scans off, since the table
        // is tiny: the question is whether the index can serve the range and the order).
        QStringList args;
        for (int i = 0; i < valores.size(); ++i) {
            sql.replace(sql.indexOf(u'?'), 1, QStringLiteral("$%1").arg(i + 1));
            args << (valores[i].typeId() == QMetaType::QDate ? valores[i].toDate().toString(Qt::ISODate)
                                                               : valores[i].toString());
        }
        QSqlQuery q(con().BancoQt());
        EXPECT_TRUE(q.exec(QStringLiteral("set enable_seqscan = off")));
        EXPECT_TRUE(q.exec(QStringLiteral("prepare pag_plano as ") + sql));
        EXPECT_TRUE(q.exec(QStringLiteral("explain execute pag_plano('%1')").arg(args.join(QStringLiteral("', '")))));
        while (q.next())
            plano += q.value(0).toString() + u'\n';
        q.exec(QStringLiteral("deallocate pag_plano"));
        q.exec(QStringLiteral("reset enable_seqscan"));
        return plano;
    }
};

TEST_F(PaginacaoLctoBanco, PacotesPeloIndiceDaChave)
{
    const QDate data = DataInventario();
    con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, 100, 'Produto')");
    for (int motivo : {1, 5})
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, VALORICMS, VALORPIS, VALORCOFINS, DATAHORALCTOINV, CODIGOUSUARIO, "
                       "ORIGEMDADO) values (1, 1, ?, 100, ?, 1, 1, 0, 0, 0, ?, 1, 2)",
                       {data, motivo, QDateTime(data, QTime(9, 0))});
    for (const char *classe : {"TOrvoDMLctoInv", "TOrvoDCLctoInv"}) {
        auto *dm = qobject_cast<TnDMClientDataSet *>(CriarDM(QString::fromLatin1(classe)));
        ASSERT_NE(dm, nullptr);
        dm->nClientDataSet().SetPacketRecords(1);
        dm->Abrir();
        EXPECT_EQ(dm->nClientDataSet().RecordCount(), 1) << classe;
        const QString plano = Plano(dm).toUpper();
        SCOPED_TRACE(plano.toStdString());
        if (con().PegarTipoCon() == tcSQLite) {
            EXPECT_TRUE(plano.contains(QStringLiteral("USING INDEX")) || plano.contains(QStringLiteral("USING PRIMARY KEY")));
            EXPECT_TRUE(plano.contains(QStringLiteral("(CODIGOPRODUTO,MOTIVOINVENTARIO)>(?,?)")));
            EXPECT_FALSE(plano.contains(QStringLiteral("TEMP B-TREE")));
        } else {
            EXPECT_TRUE(plano.contains(QStringLiteral("INDEX SCAN USING LCTOINV_PKEY")) ||
                        plano.contains(QStringLiteral("INDEX SCAN USING PK_LCTOINV")));
            EXPECT_TRUE(plano.contains(QStringLiteral("AND (ROW(CODIGOPRODUTO, MOTIVOINVENTARIO) > ROW(")));
            EXPECT_FALSE(plano.contains(QStringLiteral("SORT")));
        }
        dm->nClientDataSet().Last();
        EXPECT_EQ(dm->nClientDataSet().RecordCount(), 2) << classe;
        DestruirDM(dm);
    }
}

} // namespace
