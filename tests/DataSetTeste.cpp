// Client dataset in memory: loading, navigation, editing with its events, change log.
#include "ClientDataSet.h"
#include "CursorDerivado.h"
#include "CursorFalso.h"

#include <gtest/gtest.h>

namespace {

const TnDefCampo kItens[] = {
    {.Nome = "ID", .Tipo = ftInteger, .Requerido = true, .Flags = pfPadrao | pfInKey},
    {.Nome = "NOME", .Tipo = ftString, .Tamanho = 20, .Requerido = true, .Def = {.DisplayLabel = "Descrição"}},
    {.Nome = "PRECO", .Tipo = ftBCD, .Precisao = 18, .Escala = 2},
};

class DataSet : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds.DefinirCampos(kItens);
        ds.CreateDataSet();
        for (int i = 1; i <= 5; ++i)
            Incluir(i, QStringLiteral("item %1").arg(i), i * 1.5);
        ds.MergeChangeLog();
        ds.First();
    }
    void Incluir(int id, const QString &nome, double preco)
    {
        ds.Append();
        ds.FieldByName("ID").SetAsInteger(id);
        ds.FieldByName("NOME").SetAsString(nome);
        ds.FieldByName("PRECO").SetAsFloat(preco);
        ds.Post();
    }
    int Id() { return ds.FieldByName("ID").AsInteger(); }
    std::vector<int> Ids()
    {
        std::vector<int> r;
        for (ds.First(); !ds.Eof(); ds.Next())
            r.push_back(Id());
        return r;
    }
    TnClientDataSet ds;
};

TEST_F(DataSet, NavegacaoEofBofRecNoMoveBy)
{
    EXPECT_EQ(ds.RecordCount(), 5);
    EXPECT_TRUE(ds.Bof());
    EXPECT_FALSE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 1);
    ds.Prior();
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(Id(), 1);
    EXPECT_EQ(ds.MoveBy(3), 3);
    EXPECT_EQ(Id(), 4);
    EXPECT_FALSE(ds.Bof());
    EXPECT_EQ(ds.MoveBy(10), 1);
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 5);
    ds.SetRecNo(2);
    EXPECT_EQ(Id(), 2);
    ds.Last();
    EXPECT_TRUE(ds.Eof());
    ds.Next();
    EXPECT_EQ(Id(), 5);
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(DataSet, InsertEntraAntesDoAtualDeleteVaiParaOProximo)
{
    ds.SetRecNo(3);
    ds.Insert();
    EXPECT_EQ(ds.RecNo(), -1);
    ds.FieldByName("ID").SetAsInteger(30);
    ds.FieldByName("NOME").SetAsString("novo");
    ds.Post();
    EXPECT_EQ(Id(), 30);
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 30, 3, 4, 5}));

    ds.SetRecNo(3);
    ds.Delete();
    EXPECT_EQ(Id(), 3);
    ds.Last();
    ds.Delete();
    EXPECT_EQ(Id(), 4);
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4}));
    while (!ds.IsEmpty())
        ds.Delete();
    EXPECT_TRUE(ds.Eof() && ds.Bof());
    EXPECT_EQ(ds.RecNo(), 0);
    EXPECT_THROW(ds.Delete(), Exception);
}

TEST_F(DataSet, OrdemDosEventosDeIncluirGravarCancelarExcluir)
{
    std::vector<std::string> log;
    auto registra = [&](const char *nome) { return [&log, nome](TnClientDataSet &) { log.push_back(nome); }; };
    ds.BeforeInsert = registra("BeforeInsert");
    ds.OnNewRecord = [&](TnClientDataSet &d) {
        log.push_back("OnNewRecord");
        d.FieldByName("NOME").SetAsString("padrão");
    };
    ds.AfterInsert = registra("AfterInsert");
    ds.BeforeEdit = registra("BeforeEdit");
    ds.AfterEdit = registra("AfterEdit");
    ds.BeforePost = registra("BeforePost");
    ds.AfterPost = registra("AfterPost");
    ds.BeforeCancel = registra("BeforeCancel");
    ds.AfterCancel = registra("AfterCancel");
    ds.BeforeDelete = registra("BeforeDelete");
    ds.AfterDelete = registra("AfterDelete");
    ds.AfterScroll = registra("AfterScroll");
    ds.FieldByName("ID").OnChange = [&](TnField &) { log.push_back("ID.OnChange"); };

    ds.Append();
    EXPECT_FALSE(ds.Modified()); // defaults of OnNewRecord are not the user's change
    ds.FieldByName("ID").SetAsInteger(9);
    EXPECT_TRUE(ds.Modified());
    ds.Post();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeInsert", "OnNewRecord", "AfterInsert", "AfterScroll",
                                             "ID.OnChange", "BeforePost", "AfterPost"}));
    log.clear();
    ds.Append();
    ds.Cancel();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeInsert", "OnNewRecord", "AfterInsert", "AfterScroll",
                                             "BeforeCancel", "AfterCancel", "AfterScroll"}));
    log.clear();
    ds.Edit();
    ds.Cancel();
    ds.Delete();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeEdit", "AfterEdit", "BeforeCancel", "AfterCancel", "BeforeDelete",
                                             "AfterDelete", "AfterScroll"}));
    log.clear();
    // Moving away from an untouched insert cancels it; from a changed one posts it.
    ds.Append();
    ds.First();
    EXPECT_EQ(ds.RecordCount(), 5);
    ds.Append();
    ds.FieldByName("ID").SetAsInteger(10);
    ds.First();
    EXPECT_EQ(ds.RecordCount(), 6);
    EXPECT_EQ(ds.State(), dsBrowse);
}

TEST_F(DataSet, BeforePostQueLancaMantemEdicao)
{
    ds.BeforePost = [](TnClientDataSet &) { Abort(); };
    ds.Edit();
    ds.FieldByName("NOME").SetAsString("outro");
    EXPECT_THROW(ds.Post(), EAbort);
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_EQ(ds.FieldByName("NOME").AsString(), "outro");
    ds.Cancel();
    EXPECT_EQ(ds.FieldByName("NOME").AsString(), "item 1");
}

TEST_F(DataSet, ObrigatorioNaGravacaoNomeiaOCampo)
{
    ds.Append();
    ds.FieldByName("ID").SetAsInteger(6);
    try {
        ds.Post();
        FAIL() << "gravou sem o campo obrigatório";
    } catch (const EnField &e) {
        EXPECT_EQ(e.Campo(), "NOME");
        EXPECT_TRUE(e.Message().contains("Descrição")) << e.Message().toStdString();
    }
    EXPECT_EQ(ds.State(), dsInsert);
    EXPECT_EQ(ds.RecordCount(), 5);
    ds.FieldByName("NOME").SetAsString("seis");
    ds.Post();
    EXPECT_EQ(ds.RecordCount(), 6);
}

TEST_F(DataSet, RegistroDeAlteracoesOldValueCancelUpdatesMerge)
{
    ds.SetRecNo(2);
    ds.Edit();
    ds.FieldByName("PRECO").SetAsFloat(99);
    ds.Post();
    ds.Edit();
    ds.FieldByName("PRECO").SetAsFloat(100);
    ds.Post();
    EXPECT_EQ(ds.UpdateStatus(), usModified);
    EXPECT_EQ(ds.FieldByName("PRECO").OldValue().toDouble(), 3.0);
    ds.SetRecNo(4);
    ds.Delete();
    Incluir(7, "sete", 7);
    EXPECT_TRUE(ds.FieldByName("ID").OldValue().isNull());
    EXPECT_EQ(ds.ChangeCount(), 3);
    // An edit that changes nothing is not a change.
    ds.First();
    ds.Edit();
    ds.FieldByName("NOME").SetAsString("item 1");
    ds.Post();
    EXPECT_EQ(ds.ChangeCount(), 3);

    ds.CancelUpdates();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5}));
    ASSERT_TRUE(ds.Locate("ID", 2));
    EXPECT_EQ(ds.FieldByName("PRECO").AsFloat(), 3.0);

    ds.Edit();
    ds.FieldByName("PRECO").SetAsFloat(50);
    ds.Post();
    ds.MergeChangeLog();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(ds.UpdateStatus(), usUnmodified);
    EXPECT_EQ(ds.FieldByName("PRECO").OldValue().toDouble(), 50.0);
}

TEST_F(DataSet, SemRegistroDeAlteracoesAsEdicoesViramABase)
{
    ds.SetLogChanges(false);
    ds.Edit();
    ds.FieldByName("NOME").SetAsString("mudado");
    ds.Post();
    ds.Next();
    ds.Delete();
    Incluir(8, "oito", 8);
    EXPECT_EQ(ds.ChangeCount(), 0);
    ds.CancelUpdates();
    EXPECT_EQ(Ids(), (std::vector<int>{1, 3, 4, 5, 8}));
    ds.First();
    EXPECT_EQ(ds.FieldByName("NOME").AsString(), "mudado");
    EXPECT_EQ(ds.UpdateStatus(), usUnmodified);
}

TEST(DataSetSemLog, DesligadoAntesDeAbrir)
{
    TnClientDataSet ds;
    ds.DefinirCampos(kItens);
    ds.SetLogChanges(false);
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName("ID").SetAsInteger(1);
    ds.FieldByName("NOME").SetAsString("um");
    ds.Post();
    EXPECT_FALSE(ds.LogChanges());
    EXPECT_EQ(ds.ChangeCount(), 0);
}

TEST_F(DataSet, EditSemRegistrosIncluiEEmptyDataSetLimpaTudo)
{
    ds.EmptyDataSet();
    EXPECT_TRUE(ds.IsEmpty());
    EXPECT_EQ(ds.ChangeCount(), 0);
    ds.Edit();
    EXPECT_EQ(ds.State(), dsInsert);
    ds.Cancel();
    EXPECT_TRUE(ds.FieldByName("ID").IsNull());
}

TEST(DataSetCarga, CamposDasColunasDoCursor)
{
    TnCursorFalso cursor({{"CODIGO", ftInteger}, {"VALOR", ftBCD, 0, 18, 2}, {"DATA", ftDate}, {"NOME", ftString, 10},
                          {"TOTAL", ftUnknown}, {"QUANDO", ftDateTime}},
                         {{1, "12345678901234.565", QDate(2020, 1, 31), "abc", 2.5, QDateTime(QDate(2020, 1, 1), QTime(10, 0))},
                          {2, QVariant(), QVariant(), QVariant(), 1.0, QVariant()}});
    TnClientDataSet ds;
    ds.CarregarDe(cursor);
    ASSERT_EQ(ds.FieldCount(), 6);
    EXPECT_EQ(ds.Fields(1).DataType(), ftBCD);
    EXPECT_EQ(ds.Fields(1).Scale(), 2);
    EXPECT_EQ(ds.Fields(3).Size(), 10);
    EXPECT_EQ(ds.RecordCount(), 2);
    EXPECT_EQ(ds.FieldByName("VALOR").AsString(), "12345678901234,57");
    EXPECT_EQ(ds.FieldByName("DATA").AsDate(), QDate(2020, 1, 31));
    EXPECT_EQ(ds.FieldByName("QUANDO").AsDateTime(), QDateTime(QDate(2020, 1, 1), QTime(10, 0)));
    ds.Next();
    EXPECT_TRUE(ds.FieldByName("VALOR").IsNull());
    EXPECT_TRUE(ds.FieldByName("NOME").IsNull());
    EXPECT_EQ(ds.ChangeCount(), 0);

    // A second load recreates the fields from the new columns.
    TnCursorFalso outro({{"X", ftSmallint}}, {{7}});
    ds.CarregarDe(outro);
    ASSERT_EQ(ds.FieldCount(), 1);
    EXPECT_EQ(ds.Fields(0).AsInteger(), 7);
}

TEST(DataSetCarga, CamposDeclaradosPorNomeCalculadosEAusentesFicamNulos)
{
    const TnDefCampo campos[] = {
        {.Nome = "nome", .Tipo = ftString, .Tamanho = 10},
        {.Nome = "CODIGO", .Tipo = ftSmallint},
        {.Nome = "EXTRA", .Tipo = ftFloat},
        {.Nome = "CALC", .Tipo = ftFloat, .Kind = fkInternalCalc},
    };
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    TnCursorFalso cursor({{"CODIGO", ftInteger}, {"NOME", ftString}, {"CALC", ftFloat}, {"SOBRA", ftInteger}},
                         {{1, "um", 9.0, 5}, {2, "dois", 9.0, 5}});
    ds.CarregarDe(cursor);
    ASSERT_EQ(ds.FieldCount(), 4);
    EXPECT_EQ(ds.FieldByName("CODIGO").AsInteger(), 1);
    EXPECT_EQ(ds.FieldByName("NOME").AsString(), "um");
    EXPECT_TRUE(ds.FieldByName("EXTRA").IsNull());
    EXPECT_TRUE(ds.FieldByName("CALC").IsNull());
    EXPECT_EQ(ds.FindField("SOBRA"), nullptr);

    // Reloading over pending changes would lose them.
    ds.Edit();
    ds.FieldByName("CALC").SetAsFloat(1);
    ds.Post();
    TnCursorFalso denovo({{"CODIGO", ftInteger}}, {{3}});
    EXPECT_THROW(ds.CarregarDe(denovo), Exception);
    ds.MergeChangeLog();
    ds.CarregarDe(denovo);
    EXPECT_EQ(ds.RecordCount(), 1);
    EXPECT_EQ(ds.FieldByName("CODIGO").AsInteger(), 3);
}

TEST(DataSetCarga, FalhaNaCargaNaoDeixaLinhasPelaMetade)
{
    const TnDefCampo campos[] = {{.Nome = "A", .Tipo = ftInteger}, {.Nome = "V", .Tipo = ftBCD, .Precisao = 18, .Escala = 2}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    TnCursorFalso cursor({{"A", ftInteger}, {"V", ftBCD}}, {{1, "1.5"}, {2, "1e300"}});
    EXPECT_THROW(ds.CarregarDe(cursor), EConvertError);
    EXPECT_EQ(ds.RecordCount(), 0);
}

} // namespace

TEST(DataSetCarga, CursorDerivadoColunasCalculadasFiltroECopiaDeLinha)
{
    TnCursorFalso origem({{"COD", ftLargeint}, {"QTDE", ftFloat}, {"OBS", ftString, 40}, {"DATA", ftDate}},
                         {{1, 2.345, "Avaria", QDate(2024, 3, 1)},
                          {2, 1.0, QVariant(), QDate(2024, 3, 2)},
                          {3, QVariant(), "sem avaria", QDate(2024, 3, 3)}});
    TnCursorDerivado c(origem);
    EXPECT_THROW(c.Coluna("NAOHA"), Exception);
    const int qtde = c.IndiceOrigem("qtde");
    int calculos = 0;
    c.Coluna("cod", "CODIGO").Coluna("DATA").ColunaReal("DOBRO", [&](TnCursor &o, double &v) {
        ++calculos;
        if (o.Nulo(qtde))
            return false;
        v = o.Real(qtde) * 2;
        return true;
    });
    const int obs = c.IndiceOrigem("OBS");
    c.SetFiltro([obs](TnCursor &o) { return !o.Nulo(obs) && o.Texto(obs).contains("avaria", Qt::CaseInsensitive); });
    EXPECT_EQ(c.Colunas(), 3);
    EXPECT_EQ(c.Coluna(0).Nome, "CODIGO");
    EXPECT_EQ(c.Coluna(0).Tipo, ftLargeint);
    EXPECT_EQ(c.Coluna(2).Tipo, ftFloat);

    TnClientDataSet ds;
    ds.DefinirCampos({TnDefCampo{.Nome = "CODIGO", .Tipo = ftLargeint}, TnDefCampo{.Nome = "DOBRO", .Tipo = ftBCD,
                      .Precisao = 18, .Escala = 2}, TnDefCampo{.Nome = "DATA", .Tipo = ftDate}});
    ds.CarregarDe(c);
    ASSERT_EQ(ds.RecordCount(), 2); // row 2 has no observation
    ds.First();
    EXPECT_EQ(ds.FieldByName("CODIGO").AsLargeInt(), 1);
    EXPECT_EQ(ds.FieldByName("DOBRO").AsFloat(), 4.69);
    EXPECT_EQ(ds.FieldByName("DATA").AsDate(), QDate(2024, 3, 1));
    ds.Next();
    EXPECT_EQ(ds.FieldByName("CODIGO").AsLargeInt(), 3);
    EXPECT_TRUE(ds.FieldByName("DOBRO").IsNull());
    EXPECT_EQ(calculos, 2); // once per row taken, whatever the dataset read of it

    // Typed computed and constant columns: a code counted per row taken, a date, a text.
    TnCursorFalso outra({{"COD", ftLargeint}}, {{5}, {6}, {7}});
    TnCursorDerivado tipada(outra);
    qint64 proximo = 100;
    TnCelula dia, texto;
    dia.Nulo = texto.Nulo = false;
    dia.I = QDate(2024, 2, 29).toJulianDay();
    texto.S = "0";
    const int cod = tipada.IndiceOrigem("COD");
    tipada.ColunaCalculada("NOVO", ftLargeint, [&](TnCursor &, TnCelula &v) { v.I = proximo++; return true; })
        .ColunaConstante("DIA", ftDate, dia)
        .ColunaConstante("MARCA", ftString, texto)
        .ColunaConstante("NADA", ftInteger, TnCelula{});
    tipada.SetFiltro([cod](TnCursor &o) { return o.Inteiro(cod) != 6; });
    TnClientDataSet novos;
    novos.DefinirCampos({TnDefCampo{.Nome = "NOVO", .Tipo = ftLargeint}, TnDefCampo{.Nome = "DIA", .Tipo = ftDate},
                         TnDefCampo{.Nome = "MARCA", .Tipo = ftString, .Tamanho = 1},
                         TnDefCampo{.Nome = "NADA", .Tipo = ftInteger}});
    novos.CarregarDe(tipada);
    ASSERT_EQ(novos.RecordCount(), 2);
    novos.Last();
    EXPECT_EQ(novos.FieldByName("NOVO").AsLargeInt(), 101); // only rows taken draw a code
    EXPECT_EQ(novos.FieldByName("DIA").AsDate(), QDate(2024, 2, 29));
    EXPECT_EQ(novos.FieldByName("MARCA").AsString(), "0");
    EXPECT_TRUE(novos.FieldByName("NADA").IsNull());

    // One row of a keyed read written over a row of the dataset: fields the cursor lacks stay.
    TnCursorFalso linha({{"codigo", ftLargeint}, {"DOBRO", ftFloat}, {"OUTRA", ftString}}, {{9, 1.5, "x"}});
    ASSERT_TRUE(linha.Proximo());
    ds.Edit();
    CopiarLinhaDoCursor(linha, ds);
    ds.Post();
    EXPECT_EQ(ds.FieldByName("CODIGO").AsLargeInt(), 9);
    EXPECT_EQ(ds.FieldByName("DOBRO").AsFloat(), 1.5);
    EXPECT_EQ(ds.FieldByName("DATA").AsDate(), QDate(2024, 3, 3));
}

TEST_F(DataSet, AssumirLinhasDeOutroComOsMesmosCampos)
{
    TnClientDataSet novo;
    novo.DefinirCampos(kItens);
    novo.CreateDataSet();
    novo.Append();
    novo.FieldByName("ID").SetAsInteger(9);
    novo.FieldByName("NOME").SetAsString("nove");
    novo.Post();
    ds.SetIndexFieldNames("NOME");
    int avisos = 0;
    ds.AfterOpen = [&](TnClientDataSet &) { ++avisos; };
    ds.AssumirLinhas(novo);
    EXPECT_EQ(Ids(), std::vector<int>{9});
    EXPECT_EQ(ds.IndexFieldNames(), "NOME");
    EXPECT_EQ(avisos, 1);
    EXPECT_FALSE(novo.Active());

    // Other fields: refused, nothing changed.
    TnClientDataSet outro;
    const TnDefCampo campos[] = {{.Nome = "ID", .Tipo = ftInteger}, {.Nome = "NOME", .Tipo = ftString, .Tamanho = 20}};
    outro.DefinirCampos(campos);
    outro.CreateDataSet();
    EXPECT_THROW(ds.AssumirLinhas(outro), Exception);
    EXPECT_TRUE(outro.Active());
    EXPECT_EQ(Ids(), std::vector<int>{9});
}
