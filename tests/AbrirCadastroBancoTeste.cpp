// The open-register action over a grid's row, with the entry register as the program loads
// it: the class found by name in any case, the row's key read as bound values whatever the
// connection's selection, a row gone meanwhile, a class nobody registered and an empty grid.
#include "AbrirCadastro.h"
#include "InteracaoTeste.h"
#include "LctoInvTeste.h"
#include "Variaveis.h"

#include <gtest/gtest.h>

namespace {

const char kChave[] = "CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO";

class AbrirCadastroBanco : public BancoLctoInv {
protected:
    QDate DataInventario() const override { return QDate(2024, 3, 1); }
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, 10, 'Produto 10')");
        TnDMClientDataSet *dm = Abrir();
        for (int motivo : {1, 2}) {
            NovoLcto(dm, 10, motivo);
            ASSERT_EQ(Falha(dm), QString());
        }
        delete dm;
        // The grid: the key of reason 2 under other names than the register's.
        const TnDefCampo campos[] = {{.Nome = "EMP", .Tipo = ftSmallint}, {.Nome = "ESTAB", .Tipo = ftSmallint},
                                     {.Nome = "DATA", .Tipo = ftDate},    {.Nome = "PRODUTO", .Tipo = ftLargeint},
                                     {.Nome = "MOTIVO", .Tipo = ftSmallint}};
        FGrade.DefinirCampos(campos);
        FGrade.CreateDataSet();
        FGrade.Append();
        FGrade.FieldByName("EMP").SetAsInteger(1);
        FGrade.FieldByName("ESTAB").SetAsInteger(1);
        FGrade.FieldByName("DATA").SetAsDateTime(QDateTime(DataInventario(), QTime()));
        FGrade.FieldByName("PRODUTO").SetAsLargeInt(10);
        FGrade.FieldByName("MOTIVO").SetAsInteger(2);
        FGrade.Post();
        FAcao = new TnActAbrirCadastro(&FLista);
        FAcao->SetName(QStringLiteral("nActAbrirLcto"));
        FAcao->ClasseCadastro = QStringLiteral("torvodmlctoinv"); // as a caller may spell it
        FAcao->Mestre = &FGrade;
        FAcao->CamposMestre = QStringLiteral("EMP;ESTAB;DATA;PRODUTO;MOTIVO");
        FAcao->CamposDetalhe = QString::fromLatin1(kChave);
        FUsuario.AoMostrarForm = [this](TnDMFormulario &dm, TnFormFalso &) {
            TnClientDataSet &ds = static_cast<TnDMClientDataSet &>(dm).nClientDataSet();
            FNoCadastro << QStringLiteral("%1 linhas").arg(ds.RecordCount());
            if (!ds.IsEmpty())
                FNoCadastro << QStringLiteral("%1|%2|%3").arg(ds.FieldByName("CODIGOESTAB").AsString(),
                                                             ds.FieldByName("CODIGOPRODUTO").AsString(),
                                                             ds.FieldByName("MOTIVOINVENTARIO").AsString());
            return true;
        };
    }
    TnClientDataSet FGrade;
    TnActionList FLista;
    TnActAbrirCadastro *FAcao = nullptr;
    TnInteracaoTeste FUsuario;
    QStringList FNoCadastro;
};

} // namespace

TEST_F(AbrirCadastroBanco, LinhaExistenteELinhaExcluida)
{
    // Another branch and date in the connection's selection: the register reads the row's.
    Selecao().GetParams("CodigoEstab").SetValue(7);
    Selecao().GetParams("DataInvent").SetValue(QDate(2023, 1, 1));
    ASSERT_TRUE(FAcao->Habilitada());
    EXPECT_TRUE(FAcao->Execute());
    EXPECT_EQ(FUsuario.FormsMostrados, QStringList({"janela|TOrvoDMLctoInv|OrvoDMLctoInv"}));
    EXPECT_EQ(FNoCadastro, QStringList({"1 linhas", "1|10|2"}));
    EXPECT_TRUE(FUsuario.Avisos.isEmpty());
    EXPECT_EQ(Selecao().GetParams("CodigoEstab").AsString(), "7");
    EXPECT_EQ(FindGlobalDataModule("OrvoDMLctoInv"), nullptr);

    // The entry deleted meanwhile: the register opens empty, after a notice.
    con().Executar("delete from LCTOINV where MOTIVOINVENTARIO = 2");
    FNoCadastro.clear();
    FAcao->Modal = true;
    EXPECT_TRUE(FAcao->Execute());
    EXPECT_EQ(FUsuario.FormsMostrados.last(), "modal|TOrvoDMLctoInv|OrvoDMLctoInv");
    EXPECT_EQ(FNoCadastro, QStringList({"0 linhas"}));
    ASSERT_EQ(FUsuario.Avisos.size(), 1);
    EXPECT_TRUE(FUsuario.Avisos[0].contains(QString::fromUtf8("não existe mais"))) << FUsuario.Avisos[0].toStdString();
}

TEST_F(AbrirCadastroBanco, ClasseNaoRegistradaEGradeVazia)
{
    // A class nobody registered: a message, nothing opened; Abrir lets the failure pass.
    FAcao->ClasseCadastro = QStringLiteral("TOrvoDMNinguem");
    EXPECT_TRUE(FAcao->Execute());
    EXPECT_TRUE(FUsuario.FormsMostrados.isEmpty());
    ASSERT_EQ(FUsuario.Avisos.size(), 1);
    EXPECT_TRUE(FUsuario.Avisos[0].contains("TOrvoDMNinguem"));
    EXPECT_THROW(FAcao->Abrir(), Exception);
    // A class that is no register: a message too.
    FAcao->ClasseCadastro = QStringLiteral("TOrvoDPConsultaLctoInv");
    FAcao->Execute();
    EXPECT_EQ(FUsuario.Avisos.size(), 2);

    // An empty grid, or a row being inserted: the action is off and opens nothing.
    FAcao->ClasseCadastro = QStringLiteral("TOrvoDMLctoInv");
    FGrade.Append();
    EXPECT_FALSE(FAcao->Habilitada());
    FGrade.Cancel();
    FGrade.EmptyDataSet();
    EXPECT_FALSE(FAcao->Habilitada());
    FAcao->Execute();
    EXPECT_TRUE(FUsuario.FormsMostrados.isEmpty());
    EXPECT_EQ(FUsuario.Avisos.size(), 2);
}
