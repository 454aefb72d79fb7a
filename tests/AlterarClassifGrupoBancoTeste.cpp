// The mask change of the product-group chart as the program loads it (OrvoCore, by class
// name): its checks before anything is asked, the user's two answers, the rewrite of every
// group and the mask in one transaction, and what stays when any write fails.
#include "Acoes.h"
#include "PlanoGruposTeste.h"
#include "InteracaoTeste.h"
#include "Menu.h"
#include "OrvoDPAlterarClassifGrupoInv_U.h"

#include <gtest/gtest.h>
#include <utility>

namespace {
const QString kClasse = QStringLiteral("TOrvoDPAlterarClassifGrupoInv");

QString Recurso(const char *r) { return QString::fromUtf8(r); }

class AlterarClassifGrupoBanco : public BancoPlanoGrupos {
protected:
    void SetUp() override
    {
        BancoPlanoGrupos::SetUp();
        if (IsSkipped())
            return;
        con().Executar("update CFGEMPRESAULMAR set MASCGRUPOPRODUTO = '9.99.999' where CODIGOEMPRESA = 1");
        Grupo(1, 10, "1", 1);
        Grupo(1, 11, "1.01", 1);
        Grupo(1, 12, "1.01.001", 2);
        Grupo(1, 13, "1.01.120", 2);
        Grupo(1, 20, "2", 2);
    }
    TnDMPowerParam *Processo()
    {
        auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(kClasse));
        EXPECT_NE(dp, nullptr);
        return dp;
    }
    // Runs the process with the mask; answers the failure's message (empty when none).
    QString Rodar(const QString &mascara)
    {
        TnDMPowerParam *dp = Processo();
        dp->Param("pNewMascara").SetText(mascara);
        try {
            dp->Rodar();
        } catch (const EAbort &) {
            return "cancelado";
        } catch (const Exception &e) {
            return e.Message();
        }
        return QString();
    }
    // Every group's classification in code order, and the mask.
    QStringList Plano()
    {
        QStringList r;
        auto cmd = con().Preparar("select CLASSIFGRUPOPRODUTO from GRUPOPRODUTO where CODIGOEMPRESA = 1 "
                                  "order by CODIGOGRUPOPRODUTO");
        TnCursor &c = cmd->Abrir();
        while (c.Proximo())
            r << c.Texto(0);
        return r << Mascara();
    }
    QString Mascara()
    {
        return nDMSQLDataSet::PegarValorCampo("CFGEMPRESAULMAR", "MASCGRUPOPRODUTO", "CODIGOEMPRESA = 1", con())
            .toString();
    }
    TnInteracaoTeste FUsuario;
};
} // namespace

TEST_F(AlterarClassifGrupoBanco, AcaoDoMenu)
{
    TnActionList &acoes = AcoesDoMenu();
    TnAction *a = acoes.Acao("act" + kClasse);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->MenuIndex(), 60);
    EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa");
    TnMenuModelo menu({"&Cadastros", "&Movimentos", "&Utilitários"});
    menu.Montar(acoes);
    EXPECT_NE(menu.Item("Utilitários\\Alterar Estrutura do Plano de Contas Inventário"), nullptr);
    EXPECT_EQ(Processo()->Param("pNewMascara").Caption(), "Nova Máscara");
}

TEST_F(AlterarClassifGrupoBanco, RecusasAntesDePerguntarNaOrdemDaVerificacao)
{
    const QStringList antes = Plano();
    // A 21-character mask is too long whatever its form, and is named before it is compared.
    EXPECT_EQ(Rodar(QString(21, u'9')), Recurso(OrvoSAlterarClassifMascMaior));
    EXPECT_EQ(Rodar("9.99.999.999.9999.9x9"), Recurso(OrvoSAlterarClassifMascMaior));
    // Equal ignoring letter case and blanks around it: refused as equal, not as invalid.
    con().Executar("update CFGEMPRESAULMAR set MASCGRUPOPRODUTO = 'x.99' where CODIGOEMPRESA = 1");
    EXPECT_EQ(Rodar(" X.99 "), Recurso(OrvoSAlterarClassifMascIgualAnterior));
    con().Executar("update CFGEMPRESAULMAR set MASCGRUPOPRODUTO = '9.99.999' where CODIGOEMPRESA = 1");
    EXPECT_EQ(Rodar("9.99.999"), Recurso(OrvoSAlterarClassifMascIgualAnterior));
    for (const char *m : {"9. 99", "9.A9", "9..99", ".9.99", "9.99.", "9,99"})
        EXPECT_EQ(Rodar(QString::fromLatin1(m)), Recurso(OrvoSAlterarClassifMascFormatoInvalido)) << m;
    // 20 characters pass the checks (and reach the questions).
    FUsuario.Responder(mbOK);
    FUsuario.Responder(mbNo);
    EXPECT_EQ(Rodar("9.999.9999.99999.999"), "cancelado");
    // No mask kept for the company.
    con().Executar("update CFGEMPRESAULMAR set MASCGRUPOPRODUTO = null where CODIGOEMPRESA = 1");
    EXPECT_EQ(Rodar("9.999"), Recurso(OrvoSAlterarClassifEmpNaoConfigurada));
    con().Executar("delete from CFGEMPRESAULMAR");
    EXPECT_EQ(Rodar("9.999"), Recurso(OrvoSAlterarClassifEmpNaoConfigurada));
    EXPECT_EQ(FUsuario.Perguntas.size(), 2);
    ASSERT_EQ(antes.size(), 6);
    EXPECT_EQ(Plano().mid(0, 5), antes.mid(0, 5));
}

TEST_F(AlterarClassifGrupoBanco, ConfirmadaReescreveTodosOsGruposEGravaAMascara)
{
    // A group without a classification has no level to rewrite: it stays as it is.
    con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, TIPOGRUPOPRODUTO) values (1, 30, 2)");
    FUsuario.Responder(mbOK, "Atenção");
    FUsuario.Responder(mbYes, "9.999.9999");
    TnDMPowerParam *dp = Processo();
    dp->Param("pNewMascara").SetText(" 9.999.9999 ");
    dp->Rodar();
    // Upper-level groups keep their levels.
    EXPECT_EQ(Plano(), QStringList({"1", "1.001", "1.001.0001", "1.001.0120", "2", "", "9.999.9999"}));
    ASSERT_EQ(FUsuario.Mensagens.size(), 3);
    EXPECT_EQ(FUsuario.Mensagens.mid(0, 2), QStringList({"limpa", "4|0|" + Recurso(OrvoSAlterarClassifMascResultado).arg(6)}));
    EXPECT_TRUE(FUsuario.Mensagens.last().startsWith("1|0|Tempo decorrido: 00:00:0"));
    EXPECT_EQ(FUsuario.Avisos, QStringList({"Operação concluída!"}));
    EXPECT_EQ(FUsuario.ProgressosDestruidos, 1);
    EXPECT_FALSE(con().InTransaction());

    // And back: fewer digits, the same numbers.
    FUsuario.Responder(mbOK);
    FUsuario.Responder(mbYes);
    dp->Param("pNewMascara").SetText("9.99.999");
    dp->Rodar();
    EXPECT_EQ(Plano(), QStringList({"1", "1.01", "1.01.001", "1.01.120", "2", "", "9.99.999"}));
}

TEST_F(AlterarClassifGrupoBanco, GrupoQueNaoCabeNaNovaMascaraNaoMudaNada)
{
    const QStringList antes = Plano();
    // One level less than a group has; a number wider than its level.
    for (const auto &[mascara, grupo] : {std::pair{"9.99", "1.01.001"}, std::pair{"9.99.99", "1.01.120"}}) {
        FUsuario.Responder(mbOK);
        FUsuario.Responder(mbYes);
        const QString erro = Rodar(QString::fromLatin1(mascara));
        EXPECT_TRUE(erro.startsWith(Recurso(OrvoSAlterarClassifMascErroFinal) + "\r\n")) << erro.toStdString();
        EXPECT_TRUE(erro.contains(QString("\"%1\"").arg(grupo))) << erro.toStdString();
        EXPECT_EQ(Plano(), antes) << mascara;
    }
    // A level that is no number cannot keep its number under any mask.
    con().Executar("update GRUPOPRODUTO set CLASSIFGRUPOPRODUTO = '2.A' where CODIGOGRUPOPRODUTO = 20");
    FUsuario.Responder(mbOK);
    FUsuario.Responder(mbYes);
    EXPECT_TRUE(Rodar("9.999.9999").contains(Recurso(OrvoSAlterarClassifMascErroFormato).arg("2.A", "2.A")));
    EXPECT_EQ(Mascara(), "9.99.999");
    EXPECT_TRUE(FUsuario.Avisos.isEmpty());
    EXPECT_FALSE(con().InTransaction());
}

TEST_F(AlterarClassifGrupoBanco, ConfirmacaoRecusadaNaoMudaNada)
{
    const QStringList antes = Plano();
    FUsuario.Responder(mbOK);
    FUsuario.Responder(mbNo);
    EXPECT_EQ(Rodar("9.999.9999"), "cancelado");
    EXPECT_EQ(Plano(), antes);
    EXPECT_EQ(FUsuario.RespostasPendentes(), 0);
    EXPECT_EQ(FUsuario.Mensagens, QStringList({"limpa"})); // only the run's start
    EXPECT_TRUE(FUsuario.Avisos.isEmpty());
}

// A failure at the mask undoes the groups written before it; a failure at a group carries
// the database's words.
TEST_F(AlterarClassifGrupoBanco, FalhaAoGravarNaoDeixaNada)
{
    const QStringList antes = Plano();
    const QString final = Recurso(OrvoSAlterarClassifMascErroFinal) + "\r\n";
    for (const auto &[tabela, inicio] :
         {std::pair{"CFGEMPRESAULMAR", final}, std::pair{"GRUPOPRODUTO", final + Recurso(OrvoSAlterarClassifMascQuebraEstrutura) + "\r\n"}}) {
        InjetarFalha(tabela, "update", "1 = 1", "falha simulada");
        FUsuario.Responder(mbOK);
        FUsuario.Responder(mbYes);
        const QString erro = Rodar("9.999.9999");
        EXPECT_TRUE(erro.startsWith(inicio)) << erro.toStdString();
        EXPECT_TRUE(erro.contains("falha simulada")) << erro.toStdString();
        EXPECT_EQ(Plano(), antes) << tabela;
        EXPECT_FALSE(con().InTransaction());
        RetirarFalha(tabela, "update");
    }
    EXPECT_TRUE(FUsuario.Avisos.isEmpty());
}

TEST_F(AlterarClassifGrupoBanco, EmpresaSemGruposRecebeAMascaraNova)
{
    con().Executar("delete from GRUPOPRODUTO");
    FUsuario.Responder(mbOK);
    FUsuario.Responder(mbYes);
    EXPECT_EQ(Rodar("9.999"), QString());
    EXPECT_EQ(Mascara(), "9.999");
    ASSERT_EQ(FUsuario.Mensagens.size(), 3);
    EXPECT_EQ(FUsuario.Mensagens.at(1), "4|0|" + Recurso(OrvoSAlterarClassifMascResultado).arg(0));
    EXPECT_EQ(FUsuario.Avisos, QStringList({"Operação concluída!"}));
}

// Ten thousand groups rewritten under the new mask in batches: on the server a few
// exchanges per thousand groups. A group refused in the middle leaves the chart and the
// mask as they were and the message names it.
TEST_F(AlterarClassifGrupoBanco, EmLotesNoServidor)
{
    constexpr int kGrupos = 10000;
    con().Executar(QStringLiteral("with recursive N(I) as (select 1 union all select I + 1 from N where I < %1) "
                                  "insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                                  "TIPOGRUPOPRODUTO) select 1, 1000 + I, '3.01.' || substr(cast(1000 + I as varchar(8)), 2, 3) "
                                  "|| '.' || substr(cast(100 + I / 1000 as varchar(8)), 2, 2), 2 from N where I < 10000")
                       .arg(kGrupos));
    con().Executar("update CFGEMPRESAULMAR set MASCGRUPOPRODUTO = '9.99.999.99' where CODIGOEMPRESA = 1");
    const QStringList antes = Plano();
    InjetarFalha("GRUPOPRODUTO", "update", "NEW.CODIGOGRUPOPRODUTO = 7543", "falha simulada");
    FUsuario.Responder(mbOK);
    FUsuario.Responder(mbYes);
    const QString erro = Rodar("9.999.9999.999");
    EXPECT_TRUE(erro.contains("falha simulada")) << erro.toStdString();
    if (con().PegarTipoCon() == tcPostgreSQL)
        EXPECT_TRUE(erro.contains("7543")) << erro.toStdString();
    EXPECT_EQ(Plano(), antes);
    EXPECT_FALSE(con().InTransaction());

    RetirarFalha("GRUPOPRODUTO", "update");
    FUsuario.Responder(mbOK);
    FUsuario.Responder(mbYes);
    con().ZerarIdasEVoltas();
    EXPECT_EQ(Rodar("9.999.9999.999"), QString());
    if (con().PegarTipoCon() == tcPostgreSQL)
        EXPECT_LE(con().IdasEVoltas().Total(), 2u * kGrupos / 1000) << con().IdasEVoltas().Total();
    EXPECT_EQ(Linhas("GRUPOPRODUTO", "CLASSIFGRUPOPRODUTO like '3.001.0%.0%'"), kGrupos - 1);
    EXPECT_EQ(Mascara(), "9.999.9999.999");
}
