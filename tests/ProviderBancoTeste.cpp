// Writing a client dataset's change log through the provider, and queries into datasets.
#include "BancoTeste.h"
#include "ExecutarSQL.h"
#include "Provider.h"
#include "SQLDataSet.h"

#include <gtest/gtest.h>

namespace {

const TnDefCampo kItem[] = {
    {.Nome = "ID", .Tipo = ftInteger, .Requerido = true, .Flags = pfPadrao | pfInKey},
    {.Nome = "COD", .Tipo = ftString, .Tamanho = 10, .Requerido = true},
    {.Nome = "NOME", .Tipo = ftString, .Tamanho = 40},
    {.Nome = "PRECO", .Tipo = ftBCD, .Precisao = 18, .Escala = 2},
    {.Nome = "DATA", .Tipo = ftDate},
    {.Nome = "MOMENTO", .Tipo = ftDateTime},
    {.Nome = "QTDE", .Tipo = ftFloat},
    {.Nome = "TOTAL", .Tipo = ftFloat, .Kind = fkInternalCalc},
};

class ProviderBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (IsSkipped())
            return;
        con().Executar("create table ITEM (ID integer not null, COD varchar(10) not null, NOME varchar(40), "
                       "PRECO numeric(18,2), DATA date, MOMENTO timestamp, QTDE double precision, "
                       "constraint PK_ITEM primary key (ID), constraint UNQ_ITEM unique (COD))");
        con().Executar("insert into ITEM (ID, COD, NOME, PRECO, DATA, MOMENTO, QTDE) values "
                       "(1, 'A', 'um', 10.50, '2020-01-31', '2020-01-31 08:30:00', 1.5), "
                       "(2, 'B', 'dois', 0.01, null, null, null), "
                       "(3, 'C', null, 12345678901234.56, '2019-12-31', null, 3)");
        ds.DefinirCampos(kItem);
        Reabrir();
        ds.SetProvider(&prov);
    }
    void Reabrir()
    {
        ds.Close();
        auto cmd = con().Preparar("select ID, COD, NOME, PRECO, DATA, MOMENTO, QTDE from ITEM order by ID");
        ds.CarregarDe(cmd->Abrir());
    }
    TnField &F(const char *n) { return ds.FieldByName(n); }
    QVariant Valor(const QString &campo, int id)
    {
        return nDMSQLDataSet::PegarValorCampo("ITEM", campo, "ID = " + QString::number(id));
    }
    void Incluir(int id, const QString &cod)
    {
        ds.Append();
        F("ID").SetAsInteger(id);
        F("COD").SetAsString(cod);
        ds.Post();
    }
    void MudarPreco(int id, double preco)
    {
        ASSERT_TRUE(ds.Locate("ID", id));
        ds.Edit();
        F("PRECO").SetAsFloat(preco);
        ds.Post();
    }

    TnClientDataSet ds;
    TnDataSetProvider prov{"ITEM"};
};

TEST_F(ProviderBanco, GravaExclusoesAlteracoesEInclusoes)
{
    MudarPreco(1, 20.255);
    ASSERT_TRUE(ds.Locate("ID", 2));
    ds.Delete();
    ds.Append();
    F("ID").SetAsInteger(4);
    F("COD").SetAsString("D");
    F("NOME").SetAsString("O'Brien; drop table ITEM");
    F("PRECO").SetText("9.999.999.999.999,99");
    F("DATA").SetAsDate(QDate(2021, 2, 28));
    F("MOMENTO").SetAsDateTime(QDateTime(QDate(2021, 2, 28), QTime(23, 59, 58, 250)));
    F("QTDE").SetAsFloat(0.1);
    F("TOTAL").SetAsFloat(5); // kept in the dataset only
    ds.Post();
    EXPECT_EQ(ds.ChangeCount(), 3);

    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(ds.RecordCount(), 3);
    EXPECT_EQ(Linhas("ITEM"), 3);
    EXPECT_TRUE(Valor("COD", 2).isNull());

    ds.Close();
    ds.SetIndexFieldNames("ID");
    Reabrir();
    ASSERT_TRUE(ds.FindKey({1}));
    EXPECT_EQ(F("PRECO").AsString(), "20,26");
    EXPECT_EQ(F("NOME").AsString(), "um");
    ASSERT_TRUE(ds.FindKey({3}));
    EXPECT_EQ(F("PRECO").AsString(), "12345678901234,56");
    ASSERT_TRUE(ds.FindKey({4}));
    EXPECT_EQ(F("NOME").AsString(), "O'Brien; drop table ITEM");
    EXPECT_EQ(F("PRECO").AsString(), "9999999999999,99");
    EXPECT_EQ(F("DATA").AsDate(), QDate(2021, 2, 28));
    EXPECT_EQ(F("MOMENTO").AsDateTime(), QDateTime(QDate(2021, 2, 28), QTime(23, 59, 58, 250)));
    EXPECT_EQ(F("QTDE").AsFloat(), 0.1);
    EXPECT_TRUE(F("TOTAL").IsNull());
}

TEST_F(ProviderBanco, AlteracaoGravaSoColunasMudadasEUsaChaveOriginal)
{
    // Another user changed the name meanwhile: a write of the price alone keeps it.
    con().Executar("update ITEM set NOME = 'de outro' where ID = 1");
    MudarPreco(1, 11);
    ASSERT_TRUE(ds.Locate("ID", 2));
    ds.Edit();
    F("ID").SetAsInteger(20);
    F("NOME").SetAsString("vinte");
    ds.Post();
    // Changed and changed back: nothing to write.
    MudarPreco(3, 1);
    MudarPreco(3, 12345678901234.56);
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_EQ(Valor("NOME", 1).toString(), "de outro");
    EXPECT_EQ(Valor("PRECO", 1).toDouble(), 11.0);
    EXPECT_TRUE(Valor("ID", 2).isNull());
    EXPECT_EQ(Valor("COD", 20).toString(), "B");
    EXPECT_EQ(Valor("NOME", 20).toString(), "vinte");
    EXPECT_EQ(Linhas("ITEM"), 3);
}

TEST_F(ProviderBanco, RegistroSumidoEErroEDesfazTudo)
{
    con().Executar("delete from ITEM where ID = 2");
    Incluir(5, "E");
    MudarPreco(2, 7);
    try {
        ds.ApplyUpdates(0);
        FAIL() << "gravou uma alteração de registro que não existe";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(e.Message(), "Registro não encontrado ou alterado por outro usuário.");
    }
    EXPECT_TRUE(Valor("ID", 5).isNull()); // the insert went back with the failure
    EXPECT_EQ(ds.ChangeCount(), 2);
    EXPECT_FALSE(con().InTransaction());
}

TEST_F(ProviderBanco, ViolacaoDeUnicoComZeroErrosDesfazTudo)
{
    MudarPreco(1, 99);
    ASSERT_TRUE(ds.Locate("ID", 3));
    ds.Delete();
    Incluir(6, "A"); // COD A exists
    Incluir(7, "G");
    int erroAvisado = -1;
    prov.OnUpdateError = [&](Exception &e, TUpdateKind tipo, TResolverResponse &) {
        erroAvisado = ErroBanco(e);
        EXPECT_EQ(tipo, ukInsert);
        EXPECT_EQ(F("COD").AsString(), "A"); // the dataset shows the failing row
    };
    EXPECT_THROW(ds.ApplyUpdates(0), EDatabaseError);
    EXPECT_EQ(erroAvisado, ebUnico);
    EXPECT_EQ(Valor("PRECO", 1).toDouble(), 10.5);
    EXPECT_FALSE(Valor("ID", 3).isNull());
    EXPECT_TRUE(Valor("ID", 7).isNull());
    EXPECT_EQ(ds.ChangeCount(), 4);
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_FALSE(con().InTransaction());

    // With the bad row fixed the same log goes through.
    ASSERT_TRUE(ds.Locate("ID", 6));
    ds.Edit();
    F("COD").SetAsString("F");
    ds.Post();
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_EQ(Linhas("ITEM"), 4);
}

TEST_F(ProviderBanco, ReconciliacaoPularCancelarAbortar)
{
    QStringList vistos;
    TReconcileAction acao = raSkip;
    ds.OnReconcileError = [&](TnClientDataSet &d, Exception &e, TUpdateKind tipo, TReconcileAction &a) {
        EXPECT_FALSE(e.Message().isEmpty());
        EXPECT_EQ(tipo, ukInsert);
        EXPECT_EQ(d.UpdateStatus(), usInserted);
        vistos << d.FieldByName("COD").AsString();
        a = acao;
    };
    // Skip: the row stays in the log and counts; the others are written.
    Incluir(10, "A");
    Incluir(11, "K");
    MudarPreco(2, 2);
    EXPECT_EQ(ds.ApplyUpdates(-1), 1);
    EXPECT_EQ(vistos, QStringList{"A"});
    EXPECT_EQ(ds.ChangeCount(), 1);
    EXPECT_EQ(Valor("COD", 11).toString(), "K");
    EXPECT_EQ(Valor("PRECO", 2).toDouble(), 2.0);
    ASSERT_TRUE(ds.Locate("ID", 10));
    EXPECT_EQ(ds.UpdateStatus(), usInserted);

    // Cancel: the row's changes are undone; with one error allowed the rest is written.
    acao = raCancel;
    MudarPreco(1, 1);
    EXPECT_EQ(ds.ApplyUpdates(1), 1);
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_FALSE(ds.Locate("ID", 10));
    EXPECT_EQ(Valor("PRECO", 1).toDouble(), 1.0);

    // Abort: nothing is written and the log stays.
    acao = raAbort;
    Incluir(12, "L");
    Incluir(13, "B");
    EXPECT_THROW(ds.ApplyUpdates(-1), EAbort);
    EXPECT_TRUE(Valor("ID", 12).isNull());
    EXPECT_EQ(ds.ChangeCount(), 2);

    // Cancel beyond the errors allowed: everything rolls back and the log is as it was.
    acao = raCancel;
    EXPECT_THROW(ds.ApplyUpdates(0), EDatabaseError);
    EXPECT_TRUE(Valor("ID", 12).isNull());
    EXPECT_EQ(ds.ChangeCount(), 2);
    EXPECT_FALSE(con().InTransaction());
}

TEST_F(ProviderBanco, IgnorarDoProviderTiraDoLogSemGravar)
{
    prov.OnUpdateError = [](Exception &e, TUpdateKind, TResolverResponse &r) {
        if (ErroBanco(e) == ebUnico)
            r = rrIgnore;
    };
    Incluir(14, "A");
    Incluir(15, "O");
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_TRUE(Valor("ID", 14).isNull());
    EXPECT_EQ(Valor("COD", 15).toString(), "O");
}

TEST_F(ProviderBanco, DentroDeTransacaoExternaDesfeitaNaoFicaNada)
{
    con().StartTransaction(7300); // the number the provider would take first
    con().Executar("insert into ITEM (ID, COD) values (50, 'X')");
    MudarPreco(1, 3);
    Incluir(51, "Y");
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_TRUE(con().InTransaction(7300));
    EXPECT_EQ(Valor("COD", 51).toString(), "Y");
    con().RollBack(7300);
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(Linhas("ITEM"), 3);
    EXPECT_EQ(Valor("PRECO", 1).toDouble(), 10.5);

    // A failure inside the caller's transaction undoes only the apply.
    con().StartTransaction(1);
    con().Executar("insert into ITEM (ID, COD) values (60, 'Z')");
    ds.CancelUpdates();
    Incluir(61, "A");
    EXPECT_THROW(ds.ApplyUpdates(0), EDatabaseError);
    EXPECT_TRUE(con().InTransaction(1));
    con().Commit(1);
    EXPECT_EQ(Valor("COD", 60).toString(), "Z");
    EXPECT_TRUE(Valor("ID", 61).isNull());
}

TEST_F(ProviderBanco, CompararTodasAsColunasEChavePorLista)
{
    prov.SetUpdateMode(upWhereAll);
    MudarPreco(3, 5); // NOME null and MOMENTO null in the condition
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_EQ(Valor("PRECO", 3).toDouble(), 5.0);
    con().Executar("update ITEM set NOME = 'de outro' where ID = 1");
    MudarPreco(1, 6);
    EXPECT_THROW(ds.ApplyUpdates(0), EDatabaseError);
    ds.CancelUpdates();

    // Key from a list instead of the fields' flags; a key that is not unique is refused.
    prov.SetUpdateMode(upWhereKeyOnly);
    F("ID").SetProviderFlags(pfPadrao);
    MudarPreco(2, 8);
    EXPECT_THROW(ds.ApplyUpdates(0), Exception);
    prov.SetKeyFields("COD");
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_EQ(Valor("PRECO", 2).toDouble(), 8.0);

    // A key that names several rows changes none of them.
    con().Executar("create table DUP (K integer, V integer)");
    con().Executar("insert into DUP (K, V) values (1, 1), (1, 2)");
    TnClientDataSet dup;
    const TnDefCampo campos[] = {{.Nome = "K", .Tipo = ftInteger, .Flags = pfPadrao | pfInKey}, {.Nome = "V", .Tipo = ftInteger}};
    dup.DefinirCampos(campos);
    dup.CarregarDe(con().Preparar("select K, V from DUP")->Abrir());
    TnDataSetProvider provDup("DUP");
    dup.SetProvider(&provDup);
    dup.Edit();
    dup.FieldByName("V").SetAsInteger(3);
    dup.Post();
    EXPECT_THROW(dup.ApplyUpdates(0), EDatabaseError);
    EXPECT_EQ(nDMSQLDataSet::PegarQtdRegistro("DUP", "V = 3"), 0);
}

TEST_F(ProviderBanco, ExecutarSQLComParametros)
{
    auto r = ExecutarSQL("select ID, COD, PRECO, DATA from ITEM where ID >= ? and COD <> ? order by ID", {2, "Z"});
    ASSERT_TRUE(r->Active());
    EXPECT_EQ(r->RecordCount(), 2);
    EXPECT_EQ(r->FieldByName("PRECO").DataType(), ftBCD);
    EXPECT_EQ(r->FieldByName("COD").AsString(), "B");
    r->Last();
    EXPECT_EQ(r->FieldByName("PRECO").AsString(), "12345678901234,56");
    EXPECT_EQ(r->FieldByName("DATA").AsDate(), QDate(2019, 12, 31));
    DestruirSQL(r);
    EXPECT_EQ(r, nullptr);

    auto n = ExecutarSQL("select count(*) as QTD, max(DATA) as ULTIMA from ITEM where COD = :COD or COD = :OUTRO",
                         QVariantMap{{"COD", "A"}, {":OUTRO", "C"}});
    EXPECT_EQ(n->FieldByName("QTD").AsInteger(), 2);
    EXPECT_THROW(ExecutarSQL("select * from ITEM where COD = :COD or ID = :ID", QVariantMap{{"COD", "A"}}), Exception);
    EXPECT_THROW(ExecutarSQL("select * from ITEM where COD = :COD", QVariantMap{{"COD", "A"}, {"X", 1}}), Exception);
    EXPECT_THROW(ExecutarSQL("select * from ITEM where ID = ?"), Exception);
}

} // namespace

TEST_F(ProviderBanco, GravarCDSInsereTodasAsLinhasOuNenhuma)
{
    TnClientDataSet novos;
    novos.DefinirCampos(kItem);
    novos.CreateDataSet();
    const auto linha = [&](int id, const char *cod, const QVariant &preco) {
        novos.Append();
        novos.FieldByName("ID").SetAsInteger(id);
        novos.FieldByName("COD").SetAsString(cod);
        novos.FieldByName("PRECO").SetValue(preco);
        novos.FieldByName("DATA").SetAsDate(QDate(2024, 2, 29));
        novos.FieldByName("TOTAL").SetAsFloat(99); // kept in the dataset only
        novos.Post();
    };
    linha(10, "X", 12345678901234.56);
    linha(11, "Y", QVariant());
    novos.First();
    // Alone: a transaction of its own.
    EXPECT_EQ(GravarCDS(novos, "ITEM", "ID;"), 2);
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(novos.RecNo(), 1); // the cursor did not move
    auto lidos = ExecutarSQL("select ID, PRECO, DATA from ITEM where ID >= 10 order by ID", QVariantList{}, con());
    EXPECT_EQ(lidos->FieldByName("PRECO").AsString(), "12345678901234,56");
    EXPECT_EQ(lidos->FieldByName("DATA").AsDate(), QDate(2024, 2, 29));
    lidos->Next();
    EXPECT_TRUE(lidos->FieldByName("PRECO").IsNull());

    // A row the database refuses: nothing of this writing stays, the row is named, the
    // error keeps its kind, and the caller's transaction can still be rolled back or go on.
    novos.EmptyDataSet();
    linha(20, "Z", 1);
    linha(1, "W", 2);
    con().StartTransaction(1);
    try {
        GravarCDS(novos, "ITEM", "ID;COD", con());
        ADD_FAILURE() << "a chave repetida deveria ser recusada";
    } catch (const EDatabaseError &e) {
        EXPECT_EQ(ErroBanco(e), ebChavePrimaria);
        EXPECT_TRUE(e.Message().contains("ID = 1, COD = W")) << e.Message().toStdString();
    }
    EXPECT_EQ(Linhas("ITEM", "ID = 20"), 0);
    con().Executar("insert into ITEM (ID, COD) values (30, 'K')");
    con().Commit(1);
    EXPECT_EQ(Linhas("ITEM"), 6);
    EXPECT_THROW(GravarCDS(novos, "ITEM; drop table ITEM", "ID"), Exception);
    novos.EmptyDataSet();
    EXPECT_EQ(GravarCDS(novos, "ITEM", "ID"), 0);
}

namespace {

// Ten thousand rows through the provider's apply and through the dataset writer: on the
// server a few exchanges per thousand rows. A row refused in the middle leaves nothing
// written and is named (the provider shows it to its handler, the writer by its key).
TEST_F(ProviderBanco, EmLotesNoServidor)
{
    constexpr int kLinhas = 10000;
    const bool servidor = con().PegarTipoCon() == tcPostgreSQL;
    for (int id = 100; id < 100 + kLinhas; ++id)
        Incluir(id, id == 6543 ? QStringLiteral("A") : QStringLiteral("N%1").arg(id)); // COD A exists
    QString recusada;
    prov.OnUpdateError = [&](Exception &, TUpdateKind, TResolverResponse &) { recusada = F("ID").AsString(); };
    EXPECT_THROW(ds.ApplyUpdates(0), EDatabaseError);
    EXPECT_EQ(recusada, "6543");
    EXPECT_EQ(Linhas("ITEM"), 3);
    EXPECT_FALSE(con().InTransaction());

    ASSERT_TRUE(ds.Locate("ID", 6543));
    ds.Edit();
    F("COD").SetAsString("N6543");
    ds.Post();
    con().ZerarIdasEVoltas();
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    if (servidor)
        EXPECT_LE(con().IdasEVoltas().Total(), 2u * kLinhas / 1000) << con().IdasEVoltas().Total();
    EXPECT_EQ(Linhas("ITEM"), 3 + kLinhas);

    TnClientDataSet novos;
    novos.DefinirCampos(kItem);
    novos.CreateDataSet();
    for (int id = 20000; id < 20000 + kLinhas; ++id) {
        novos.Append();
        novos.FieldByName("ID").SetAsInteger(id);
        novos.FieldByName("COD").SetAsString(id == 26543 ? QStringLiteral("B") : QStringLiteral("M%1").arg(id));
        novos.FieldByName("PRECO").SetAsFloat(1.25);
        novos.Post();
    }
    try {
        GravarCDS(novos, "ITEM", "ID", con());
        ADD_FAILURE() << "a repeated code went through";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.Message().contains("ID = 26543")) << e.Message().toStdString();
    }
    EXPECT_EQ(Linhas("ITEM"), 3 + kLinhas);
    ASSERT_TRUE(novos.Locate("ID", 26543));
    novos.Edit();
    novos.FieldByName("COD").SetAsString("M26543");
    novos.Post();
    con().ZerarIdasEVoltas();
    EXPECT_EQ(GravarCDS(novos, "ITEM", "ID", con()), kLinhas);
    if (servidor)
        EXPECT_LE(con().IdasEVoltas().Total(), 2u * kLinhas / 1000) << con().IdasEVoltas().Total();
    EXPECT_EQ(Linhas("ITEM", "PRECO = 1.25"), kLinhas);
}

} // namespace
