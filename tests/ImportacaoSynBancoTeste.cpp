// The SYN import as the program loads it (OrvoCore, by class name): its action, the records
// it writes and refuses, a second import that changes nothing, entries that did not come
// from SYN left alone, a database failure rolled back, the state panels, and a process
// opened from a link importing once.
#include "Acoes.h"
#include "ProcessoInvTeste.h"
#include "ConfigPrograma.h"
#include "FormFalso.h"
#include "MuitosLancamentos.h"
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "SynImportacao.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kClasse = QStringLiteral("TOrvoDPImportacaoSyn");

class ImportacaoSynBanco : public BancoProcessoInv {
protected:
    void SetUp() override
    {
        BancoProcessoInv::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, REFERENPRODUTO, DESCRPRODUTO) values "
                       "(1, 10, 'P10', 'Dez'), (1, 11, 'P11', 'Onze'), (1, 12, null, 'Doze')");
        const QString ini = FDir.filePath("banco.ini");
        QSettings s(ini, QSettings::IniFormat);
        s.setValue("SYN/Pasta", FDir.filePath("syn"));
        s.sync();
        TnConfigPrograma::DefinirArquivo(ini);
        QDir().mkpath(FDir.filePath("syn"));
        DefinirUsuarioConectado(1, "ADMINISTRADOR");
    }
    void TearDown() override
    {
        TnConfigPrograma::DefinirArquivo(QString());
        DefinirUsuarioConectado(0, QString());
        BancoProcessoInv::TearDown();
    }
    // The company's inventory file holds these lines.
    void Arquivo(const QStringList &linhas)
    {
        QFile f(TnSynDPImportacaoBase::Arquivo("LCTOINV", 1));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write((linhas.join('\n') + '\n').toUtf8());
    }
    // A new process shown on the fake form.
    TnSynDPImportacaoBase *Abrir()
    {
        auto *dp = dynamic_cast<TnSynDPImportacaoBase *>(CriarDM(kClasse));
        EXPECT_NE(dp, nullptr);
        FForm.Chamadas.clear();
        dp->ConfigurarForm(&FForm);
        return dp;
    }
    // What the three state panels show last.
    QStringList Paineis() const
    {
        const QStringList todos = FForm.Chamadas.filter(QRegularExpression("^Painel:"));
        return todos.mid(std::max<qsizetype>(0, todos.size() - 3));
    }
    static QStringList Resumo(int importados, int iguais, int recusados)
    {
        return {QString::fromUtf8("5|0|Importação SYN concluída"),
                QStringLiteral("5|1|Registros importados: %1").arg(importados),
                QString::fromUtf8("5|1|Registros sem alteração: %1").arg(iguais),
                QStringLiteral("5|1|Registros recusados: %1").arg(recusados)};
    }
    // The entries, in key order: "branch|date|product|reason|quantity|cost|origin|IDSYN|user".
    QStringList Lancamentos()
    {
        return Tabela("select CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, PRECOUNIT, "
                      "ORIGEMDADO, IDSYN, CODIGOUSUARIO from LCTOINV order by 1, 2, 3, 4");
    }
    QTemporaryDir FDir;
    TnFormFalso FForm;
    TnInteracaoTeste FUsuario;
};

} // namespace

TEST_F(ImportacaoSynBanco, AcaoSoNoModuloTresComDireitos)
{
    TnAction *a = AcaoDoMenu("act" + kClasse);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Caption(), QString::fromUtf8("Importação SYN"));
    EXPECT_TRUE(a->ControlaDireito());
    EXPECT_TRUE(a->ChecarSelecao());
    EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa");

    TnActionList outros;
    outros.GerarPrincAction(TnEventoAcao(), Modulos({0, 1, 2}));
    EXPECT_EQ(outros.Acao("act" + kClasse), nullptr);

    // Building the menu again: the flags are on the action of that build.
    TnActionList outra;
    outra.GerarPrincAction(TnEventoAcao(), Modulos({3}));
    ASSERT_NE(outra.Acao("act" + kClasse), nullptr);
    EXPECT_TRUE(outra.Acao("act" + kClasse)->ControlaDireito());

    // A program working as another module: no action even for module 3's menu.
    DefinirModuloAtual(0);
    TnActionList comoGeral;
    comoGeral.GerarPrincAction(TnEventoAcao(), Modulos({3}));
    DefinirModuloAtual(3);
    EXPECT_EQ(comoGeral.Acao("act" + kClasse), nullptr);
}

TEST_F(ImportacaoSynBanco, ImportaRecusaEListaNaConsulta)
{
    // A typed entry that a record would overwrite.
    con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                   "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                   "values (1, 1, '2024-03-01', 11, 2, 5, 5, '2024-03-01 10:00:00', 1, 2)");
    Arquivo({"# IDSYN;CODIGOESTAB;DATAINVENT;PRODUTO;MOTIVOINVENTARIO;QTDEESTOQUE;PRECOUNIT",
             "101;1;01/03/2024;p10;1;10,5;2.25",
             "",
             "102; 2 ;2024-03-01; 12 ;1;3;4",
             "x;1;01/03/2024;P10;1;1;1",
             "104;9;01/03/2024;P10;1;1;1",
             "105;1;31/02/2024;P10;1;1;1",
             "106;1;01/03/2024;NAOHA;1;1;1",
             "107;1;01/03/2024;P11;7;1;1",
             "108;1;01/03/2024;P11;1;0;1",
             "109;1;01/03/2024;P11;1;1;abc",
             "110;1;01/03/2024;P11",
             "111;1;01/03/2024;P11;2;8;8",
             "1000000000;1;01/03/2024;P11;1;1;1",
             QStringLiteral("112;1;01/03/2024;P11;1;1") + QString(308, u'0') + QStringLiteral(";1"),
             "113;1;01/03/2024;P11;1;1;1000000000000000"});
    TnSynDPImportacaoBase *dp = Abrir();
    EXPECT_TRUE(FForm.Chamadas.contains("Painel:0:Última importação: nenhuma"));
    dp->Rodar();
    EXPECT_EQ(Lancamentos(), QStringList({"1|2024-03-01|10|1|10.5|2.25|3|101|1", "1|2024-03-01|11|2|5|5|2|null|1",
                                          "2|2024-03-01|12|1|3|4|3|102|1"}));
    EXPECT_EQ(Arvore(dp),
              QStringList({QString::fromUtf8("1|0|Registro da linha 5 (IDSYN x) recusado: IDSYN não é um número de 1 a 999999999."),
                           QString::fromUtf8("1|0|Registro da linha 6 (IDSYN 104) recusado: estabelecimento \"9\" não cadastrado na empresa 1."),
                           QString::fromUtf8("1|0|Registro da linha 7 (IDSYN 105) recusado: data \"31/02/2024\" inválida."),
                           QString::fromUtf8("1|0|Registro da linha 8 (IDSYN 106) recusado: produto \"NAOHA\" não cadastrado na empresa 1."),
                           QString::fromUtf8("1|0|Registro da linha 9 (IDSYN 107) recusado: motivo \"7\" não é de 1 a 6."),
                           QString::fromUtf8("1|0|Registro da linha 10 (IDSYN 108) recusado: quantidade \"0\" não é um número maior que zero."),
                           QString::fromUtf8("1|0|Registro da linha 11 (IDSYN 109) recusado: custo unitário \"abc\" não é um número maior que zero."),
                           QString::fromUtf8("1|0|Registro da linha 12 (IDSYN 110) recusado: o registro deve ter 7 campos separados por \";\"."),
                           QString::fromUtf8("1|0|Registro da linha 13 (IDSYN 111) recusado: já existe um lançamento desta chave que não veio do SYN."),
                           QString::fromUtf8("1|0|Registro da linha 14 (IDSYN 1000000000) recusado: IDSYN não é um número de 1 a 999999999."),
                           QString::fromUtf8("1|0|Registro da linha 15 (IDSYN 112) recusado: O valor 1e+308 está fora da faixa do campo \"QTDEESTOQUE\"."),
                           QString::fromUtf8("1|0|Registro da linha 16 (IDSYN 113) recusado: O valor 1000000000000000 está fora da faixa do campo \"PRECOUNIT\".")}) +
                  Resumo(2, 0, 12));
    // The state panels follow the run.
    const QStringList paineis = Paineis();
    ASSERT_EQ(paineis.size(), 3);
    EXPECT_TRUE(paineis[0].startsWith(QString::fromUtf8("Painel:0:Última importação: ") +
                                      QDate::currentDate().toString("dd/MM/yyyy")));
    EXPECT_EQ(paineis.mid(1), QStringList({"Painel:1:Importados: 2", "Painel:2:Recusados: 12"}));

    // The SYN consultation lists what the import wrote, and only that.
    SelecionarData(QDate(2024, 3, 1));
    TnDMClientDataSet *consulta = AbrirDM("TOrvoDCLctoInvSyn");
    ASSERT_NE(consulta, nullptr);
    QStringList ids;
    for (consulta->nClientDataSet().First(); !consulta->nClientDataSet().Eof(); consulta->nClientDataSet().Next())
        ids << consulta->FieldByName("IDSYN").AsString();
    EXPECT_EQ(ids, QStringList({"101"}));
}

TEST_F(ImportacaoSynBanco, SegundaImportacaoNaoMudaNadaEAlteradosMudam)
{
    Arquivo({"201;1;01/03/2024;P10;1;1;1", "202;1;01/03/2024;P11;1;2;2"});
    TnSynDPImportacaoBase *dp = Abrir();
    dp->Rodar();
    ASSERT_EQ(dp->Importados(), 2);
    con().Executar("update LCTOINV set DATAHORALCTOINV = '2020-01-01 00:00:00'");

    dp->Rodar();
    EXPECT_EQ(Arvore(dp), Resumo(0, 2, 0));
    EXPECT_EQ(Linhas("LCTOINV", "DATAHORALCTOINV = '2020-01-01 00:00:00'"), 2); // untouched
    EXPECT_EQ(Lancamentos(), QStringList({"1|2024-03-01|10|1|1|1|3|201|1", "1|2024-03-01|11|1|2|2|3|202|1"}));

    // A changed record changes its entry; the same key under another IDSYN takes it.
    Arquivo({"201;1;01/03/2024;P10;1;1;1", "202;1;01/03/2024;P11;1;2,5;2", "303;1;01/03/2024;P10;1;1;1"});
    dp->Rodar();
    EXPECT_EQ(Arvore(dp), Resumo(2, 1, 0));
    EXPECT_EQ(Lancamentos(), QStringList({"1|2024-03-01|10|1|1|1|3|303|1", "1|2024-03-01|11|1|2.5|2|3|202|1"}));
}

TEST_F(ImportacaoSynBanco, SemArquivoOuSemGruposNadaImportadoEPaineisAtualizados)
{
    TnSynDPImportacaoBase *dp = Abrir();
    dp->Rodar();
    EXPECT_EQ(dp->Importados(), 0);
    const QStringList r = Arvore(dp);
    ASSERT_EQ(r.size(), 5);
    EXPECT_TRUE(r[0].startsWith(QString::fromUtf8("4|0|Nenhum registro a importar: "))) << r[0].toStdString();
    EXPECT_TRUE(r[0].endsWith("LCTOINV_1.txt não existe."));
    EXPECT_TRUE(dp->UltimaImportacao().isValid());
    EXPECT_EQ(Paineis().mid(1), QStringList({"Painel:1:Importados: 0", "Painel:2:Recusados: 0"}));
    EXPECT_FALSE(Paineis()[0].endsWith("nenhuma"));

    // Without a form nothing chose the inventory group: the import has nothing to do.
    Arquivo({"201;1;01/03/2024;P10;1;1;1"});
    auto *semForm = dynamic_cast<TnSynDPImportacaoBase *>(CriarDM(kClasse));
    ASSERT_NE(semForm, nullptr);
    EXPECT_TRUE(semForm->GruposDeDados().isEmpty());
    semForm->Rodar();
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_EQ(Arvore(semForm), Resumo(0, 0, 0));
}

TEST_F(ImportacaoSynBanco, AbertoPorLinkImportaUmaVez)
{
    // A second import in the same opening would find the entry unchanged and report so.
    Arquivo({"201;1;01/03/2024;P10;1;1;1"});
    TnSynDPImportacaoBase *dp = Abrir();
    dp->AbrirLink({});
    EXPECT_EQ(Arvore(dp), Resumo(1, 0, 0));
    EXPECT_EQ(dp->Importados(), 1);
    EXPECT_EQ(Paineis().mid(1), QStringList({"Painel:1:Importados: 1", "Painel:2:Recusados: 0"}));
    EXPECT_EQ(Linhas("LCTOINV"), 1);
    EXPECT_TRUE(FUsuario.Perguntas.isEmpty()); // it asks nothing

    // The re-import: again at once, with a fresh report.
    Arquivo({"201;1;01/03/2024;P10;1;4;1"});
    dp->Reimportar();
    EXPECT_EQ(Arvore(dp), Resumo(1, 0, 0));
    EXPECT_EQ(Lancamentos(), QStringList({"1|2024-03-01|10|1|4|1|3|201|1"}));
    EXPECT_TRUE(FUsuario.Perguntas.isEmpty());
}

TEST_F(ImportacaoSynBanco, FalhaDoBancoDesfazTudo)
{
    InjetarFalha("LCTOINV", "insert", "NEW.QTDEESTOQUE = 999");
    Arquivo({"201;1;01/03/2024;P10;1;1;1", "202;1;01/03/2024;P11;1;999;2"});
    TnSynDPImportacaoBase *dp = Abrir();
    EXPECT_THROW(dp->Rodar(), EDatabaseError);
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_FALSE(con().InTransaction());
    const QStringList r = Arvore(dp);
    ASSERT_EQ(r.size(), 2);
    EXPECT_TRUE(r[0].startsWith("0|0|Erro ao gravar os registros SYN: ")) << r[0].toStdString();
    EXPECT_EQ(r[1], "1|0|Nenhum registro foi importado.");
}

namespace {

// Ten thousand records in batches: on the server a few exchanges per thousand. A record
// the database refuses in the middle leaves nothing imported and the message names it.
TEST_F(ImportacaoSynBanco, EmLotesNoServidor)
{
    constexpr int kRegistros = 10000;
    MuitosProdutos(con(), kRegistros);
    QStringList linhas;
    for (int i = 1; i <= kRegistros; ++i)
        linhas << QStringLiteral("%1;1;01/03/2024;%2;1;%1;2,5").arg(i).arg(100000 + i);
    Arquivo(linhas);
    InjetarFalha("LCTOINV", "insert", "NEW.QTDEESTOQUE = 6543");
    TnSynDPImportacaoBase *dp = Abrir();
    try {
        dp->Rodar();
        ADD_FAILURE() << "a refused record went through";
    } catch (const EDatabaseError &e) {
        if (con().PegarTipoCon() == tcPostgreSQL)
            EXPECT_TRUE(e.Message().contains("6543")) << e.Message().toStdString();
    }
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_FALSE(con().InTransaction());

    RetirarFalha("LCTOINV", "insert");
    con().ZerarIdasEVoltas();
    dp->Rodar();
    if (con().PegarTipoCon() == tcPostgreSQL)
        EXPECT_LE(con().IdasEVoltas().Total(), 2u * kRegistros / 1000) << con().IdasEVoltas().Total();
    EXPECT_EQ(Arvore(dp), Resumo(kRegistros, 0, 0));
    EXPECT_EQ(Linhas("LCTOINV", "IDSYN + 100000 = CODIGOPRODUTO and QTDEESTOQUE = IDSYN"), kRegistros);
}

} // namespace
