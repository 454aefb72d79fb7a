// Clearing of entries and products and the copy of products between companies, as the
// program loads them (OrvoCore, by class name): what each deletes or writes on both engines,
// the lists of SYN identifiers, the message lines, refused input and the all-or-nothing
// writing when the database refuses a row.
#include "FormFalso.h"
#include "InteracaoTeste.h"
#include "LctoInvTeste.h"
#include "OrvoDPLimparLctoInv_U.h"
#include "OrvoDPLimparProdutoInv_U.h"
#include "PowerParam.h"

#include <QMetaObject>
#include <gtest/gtest.h>

namespace {

class LimpezaBanco : public BancoLctoInv {
protected:
    void SetUp() override
    {
        BancoLctoInv::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Outra')");
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial 2')");
        // Chart of company 1: 1 (synthetic) > 11, 12 (analytic); 2 (synthetic, no analytic
        // group under it); 3 (analytic). Company 2: 20 (analytic), 21 (analytic).
        for (const auto &[empresa, grupo, classif, tipo] :
             std::vector<std::tuple<int, int, const char *, int>>{{1, 1, "1", 1}, {1, 11, "1.1", 2}, {1, 12, "1.2", 2},
                                                                  {1, 2, "2", 1}, {1, 3, "3", 2}, {2, 20, "1", 2},
                                                                  {2, 21, "2", 2}})
            con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                           "TIPOGRUPOPRODUTO) values (?, ?, ?, ?)",
                           {empresa, grupo, QString::fromLatin1(classif), tipo});
    }
    QDate DataInventario() const override { return QDate(2024, 3, 1); }

    void Produto(int empresa, qint64 codigo, int grupo, const QString &descricao = QString(),
                 const QString &referencia = QString(), int usuario = 1)
    {
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO, DESCRPRODUTO, "
                       "REFERENPRODUTO, UNIDADEMEDIDA, CODIGOUSUARIO, CSTENTRADA) values (?, ?, ?, ?, ?, 'UN', ?, 51)",
                       {empresa, codigo, grupo,
                        descricao.isEmpty() ? QStringLiteral("Produto %1").arg(codigo) : descricao,
                        referencia.isEmpty() ? QVariant() : QVariant(referencia), usuario});
    }
    // An entry with one property line and one tax-situation line.
    void Lcto(int estab, const char *data, qint64 produto, int usuario = 1, const QVariant &idSyn = {})
    {
        const QVariantList chave{estab, QString::fromLatin1(data), produto};
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO, IDSYN) "
                       "values (1, ?, ?, ?, 1, 2, 3, '2024-04-01 08:00:00', ?, 2, ?)",
                       chave + QVariantList{usuario, idSyn});
        con().Executar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) values (1, ?, ?, ?, 1, 1, 0, "
                       "2, 3)",
                       chave);
        con().Executar("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, SEQ, CST, BASECALCULO, VALORIMPOSTO) values (1, ?, ?, ?, 1, 1, 0, 6, 1)",
                       chave);
    }
    // The entries left, as "branch|date|product".
    QStringList Lctos()
    {
        QStringList r;
        auto cmd = con().Preparar("select CODIGOESTAB, DATAINVENT, CODIGOPRODUTO from LCTOINV order by 1, 2, 3");
        TnCursor &c = cmd->Abrir();
        while (c.Proximo())
            r << QStringLiteral("%1|%2|%3").arg(c.Inteiro(0)).arg(c.Data(1).toString("dd/MM/yyyy")).arg(c.Inteiro(2));
        return r;
    }
    QStringList Produtos(int empresa)
    {
        QStringList r;
        auto cmd = con().Preparar("select CODIGOPRODUTO from PRODUTO where CODIGOEMPRESA = ? order by 1");
        cmd->BindInteiro(0, empresa);
        TnCursor &c = cmd->Abrir();
        while (c.Proximo())
            r << QString::number(c.Inteiro(0));
        return r;
    }
    TnDMPowerParam *Processo(const char *classe)
    {
        auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(QString::fromLatin1(classe)));
        EXPECT_NE(dp, nullptr);
        if (dp)
            dp->ConfigurarForm(&FForm);
        return dp;
    }
    // Runs after the user answers `resposta`; the parameters as typed.
    void Rodar(TnDMPowerParam *dp, const QHash<QString, QString> &params, TMsgDlgBtn resposta = mbYes)
    {
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            dp->Param(it.key()).SetText(it.value());
        FUsuario.Responder(resposta);
        dp->Rodar();
    }
    // The refusal's "parameter|message"; empty when the run went through.
    QString Recusa(TnDMPowerParam *dp, const QHash<QString, QString> &params, bool pergunta = true)
    {
        try {
            for (auto it = params.cbegin(); it != params.cend(); ++it)
                dp->Param(it.key()).SetText(it.value());
            if (pergunta)
                FUsuario.Responder(mbYes);
            dp->Rodar();
        } catch (const EnParam &e) {
            return e.Param() + "|" + e.Message();
        }
        return QString();
    }
    // The lines of the report as "kind|text", the elapsed time as "kind|Tempo decorrido".
    static QStringList Linhas(TnDMPowerParam *dp)
    {
        QStringList r;
        for (const auto &i : dp->Mensagens().Itens())
            r << QStringLiteral("%1|%2").arg(int(i->Tipo)).arg(i->Texto.startsWith("Tempo decorrido: ")
                                                                      ? QStringLiteral("Tempo decorrido")
                                                                      : i->Texto);
        return r;
    }
    TnFormFalso FForm;
    TnInteracaoTeste FUsuario;
};

// The clearing of entries with the usual data: products 10 (group 11), 20 (group 12), 30
// (group 3), 40 (group 11, user 2); entries across two branches and three months.
class LimparLctoBanco : public LimpezaBanco {
protected:
    void SetUp() override
    {
        LimpezaBanco::SetUp();
        if (IsSkipped())
            return;
        Produto(1, 10, 11);
        Produto(1, 20, 12);
        Produto(1, 30, 3);
        Produto(1, 40, 11, QString(), QString(), 2);
        Lcto(1, "2024-01-01", 10);
        Lcto(1, "2024-02-01", 10);
        Lcto(1, "2024-02-01", 20, 2, 7);
        Lcto(2, "2024-02-01", 30, 1, 8);
        Lcto(1, "2024-03-01", 40, 2);
        FDp = Processo("TOrvoDPLimparLctoInv");
    }
    const QHash<QString, QString> kTudo{{"pCodigoEstab", "1-2"}, {"pDataInventIni", "01/2024"}, {"pDataInventFim", "03/2024"}};
    TnDMPowerParam *FDp = nullptr;
};

QString CriarIn(QObject *dp, const QString &valores)
{
    QString r;
    EXPECT_TRUE(QMetaObject::invokeMethod(dp, "CriarIn", Qt::DirectConnection, Q_RETURN_ARG(QString, r),
                                          Q_ARG(QString, "L.IDSYN"), Q_ARG(QString, valores), Q_ARG(int, 100)));
    return r;
}

} // namespace

TEST_F(LimparLctoBanco, ListasDeIdentificadoresSyn)
{
    QStringList ids;
    for (int i = 1; i <= 250; ++i)
        ids << QString::number(i);
    QString texto;
    for (int i = 0; i < ids.size(); ++i)
        texto += ids[i] + (i % 2 ? "," : ";");
    const QString tres = CriarIn(FDp, texto);
    EXPECT_TRUE(tres.startsWith("((L.IDSYN in (1, 2, ")) << tres.toStdString();
    EXPECT_EQ(tres.count(" in ("), 3);
    EXPECT_EQ(tres.count(") or ("), 2);
    EXPECT_TRUE(tres.contains(", 100)) or (L.IDSYN in (101, "));
    EXPECT_TRUE(tres.contains(", 200)) or (L.IDSYN in (201, "));
    EXPECT_TRUE(tres.endsWith(", 250)))"));
    EXPECT_EQ(CriarIn(FDp, ids.mid(0, 100).join(';')).count(" in ("), 1);
    EXPECT_EQ(CriarIn(FDp, ids.mid(0, 100).join(';') + ";"), CriarIn(FDp, ids.mid(0, 100).join(';')));
    EXPECT_EQ(CriarIn(FDp, "1;;2;"), "((L.IDSYN in (1, 2)))"); // blanks dropped before the lists are cut
    EXPECT_EQ(CriarIn(FDp, " ; , "), "");

    QList<QStringList> fatias;
    EXPECT_TRUE(QMetaObject::invokeMethod(FDp, "Split", Qt::DirectConnection, Q_RETURN_ARG(QList<QStringList>, fatias),
                                          Q_ARG(QStringList, ids.mid(0, 5)), Q_ARG(int, 2)));
    EXPECT_EQ(fatias, QList<QStringList>({{"1", "2"}, {"3", "4"}, {"5"}}));
    EXPECT_TRUE(QMetaObject::invokeMethod(FDp, "Split", Qt::DirectConnection, Q_RETURN_ARG(QList<QStringList>, fatias),
                                          Q_ARG(QStringList, QStringList()), Q_ARG(int, 2)));
    EXPECT_TRUE(fatias.isEmpty());
    QString junto;
    EXPECT_TRUE(QMetaObject::invokeMethod(FDp, "Join", Qt::DirectConnection, Q_RETURN_ARG(QString, junto),
                                          Q_ARG(QString, ";"), Q_ARG(QStringList, QStringList({"1", "2", "3"}))));
    EXPECT_EQ(junto, "1;2;3");
}

TEST_F(LimparLctoBanco, AcaoConfirmacaoEPeriodo)
{
    TnAction *a = AcaoDoMenu("actTOrvoDPLimparLctoInv");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Category(), "20 Movimentos");
    EXPECT_EQ(a->Caption(), QString::fromUtf8("Limpar Lançamentos do Inventário"));
    EXPECT_EQ(a->MenuIndex(), 30);
    EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa");
    EXPECT_FALSE(FDp->Param("pCodigoEmpresa").Visivel());
    EXPECT_EQ(FDp->Param("pLimpaCadProdutoInv").AsString(), "0");

    // Only "Sim" goes on.
    Rodar(FDp, kTudo, mbNo);
    EXPECT_EQ(Lctos().size(), 5);
    EXPECT_TRUE(Linhas(FDp).isEmpty());
    EXPECT_TRUE(FUsuario.Perguntas.last().contains(QString::fromUtf8(OrvoSDesejaExcluirLcto)));
    // The question names every filter in effect, and Enter answers "Não".
    EXPECT_TRUE(FUsuario.Perguntas.last().contains(
        QString::fromUtf8("Filtros informados:\r\nEstabelecimento: 1-2\r\nPeríodo Inicial a Limpar: 01/2024\r\n"
                          "Período Final a Limpar: 03/2024\r\nLimpar Cadastro de Produtos: Não")))
        << FUsuario.Perguntas.last().toStdString();
    EXPECT_EQ(FUsuario.Padroes.last(), int(mbNo));

    // One month, its first to its last day; the entries' lines go with them.
    Rodar(FDp, {{"pCodigoEstab", "1; 2"}, {"pDataInventIni", "02/2024"}, {"pDataInventFim", "02/2024"}});
    EXPECT_EQ(Lctos(), QStringList({"1|01/01/2024|10", "1|01/03/2024|40"}));
    EXPECT_EQ(BancoTeste::Linhas("LCTOINVPROPRIEDADE"), 2);
    EXPECT_EQ(BancoTeste::Linhas("LCTOINVCST"), 2);
    EXPECT_EQ(Linhas(FDp), QStringList({QString::fromUtf8("5|Lançamentos do inventário excluídos: 3."),
                                        "1|Tempo decorrido", QString::fromUtf8("4|Operação concluída!")}));
    EXPECT_EQ(Produtos(1).size(), 4); // products stay unless asked

    // Refused before anything is deleted.
    EXPECT_EQ(Recusa(FDp, {{"pDataInventIni", "13/2024"}}),
              "pDataInventIni|" + QString::fromUtf8(OrvoSLimpaDataInventIniInvalido));
    EXPECT_EQ(Recusa(FDp, {{"pDataInventIni", "01/2024"}, {"pDataInventFim", "x"}}),
              "pDataInventFim|" + QString::fromUtf8(OrvoSLimpaDataInventFimInvalido));
    EXPECT_EQ(Recusa(FDp, {{"pDataInventIni", "04/2024"}, {"pDataInventFim", "03/2024"}}),
              "pDataInventIni|" + QString::fromUtf8(OrvoSLimpaDataInventInvalido));
    for (const auto &[alias, texto] : std::vector<std::pair<QString, QString>>{
             {"pCodigoEstab", "1;a"}, {"pCodigoUsuario", "1' or '1"}, {"pCodigoProduto", "10;1=1"},
             {"pCodigoGrupoProduto", "x1"}, {"pIdSyn", "7;--"}}) {
        QHash<QString, QString> params = kTudo;
        params.insert(alias, texto);
        const QString r = Recusa(FDp, params);
        EXPECT_TRUE(r.startsWith(alias + "|")) << r.toStdString();
        EXPECT_TRUE(r.contains(texto.split(QRegularExpression("[;]")).last())) << r.toStdString();
        FDp->Param(alias).Clear();
        FDp->Param("pCodigoEstab").SetText("1-2");
    }
    EXPECT_EQ(Lctos().size(), 2);
    ExternalVar("gCodigoEmpresaAtiva", "");
    EXPECT_EQ(Recusa(FDp, kTudo), "pDataInventIni|" + QString::fromUtf8(OrvoSEmpresaFilialNaoSelecionado));
}

TEST_F(LimparLctoBanco, ViaSynGruposEUsuarios)
{
    // On behalf of the SYN integration: no period, even empty; the identifiers decide.
    FDp->Param("ehViaSYN").SetValue("1");
    Rodar(FDp, {{"pCodigoEstab", "1-2"}, {"pDataInventIni", ""}, {"pDataInventFim", ""}, {"pIdSyn", "8;;7,"}});
    EXPECT_EQ(Lctos(), QStringList({"1|01/01/2024|10", "1|01/02/2024|10", "1|01/03/2024|40"}));
    FDp->Param("ehViaSYN").SetValue("0");
    FDp->Param("pIdSyn").Clear();

    // A group restricts the entries through their products (its analytic groups).
    Rodar(FDp, {{"pDataInventIni", "01/2024"}, {"pDataInventFim", "03/2024"}, {"pCodigoGrupoProduto", "1"},
                {"pCodigoUsuario", "2"}});
    EXPECT_EQ(Lctos(), QStringList({"1|01/01/2024|10", "1|01/02/2024|10"}));
    // A group with no analytic group under it deletes nothing and says so.
    Rodar(FDp, {{"pCodigoGrupoProduto", "2"}, {"pCodigoUsuario", ""}});
    EXPECT_EQ(Lctos().size(), 2);
    EXPECT_EQ(Linhas(FDp), QStringList({"1|" + QString::fromUtf8(OrvoSGruposSemAnaliticos)}));
}

TEST_F(LimparLctoBanco, ProdutosExcluidosComOsLancamentos)
{
    Lcto(1, "2023-12-01", 20); // product 20 is still used outside the period
    // Products of the deleted entries go, within the user filter: 40 is user 2's. 10 is
    // shared by two deleted entries; 20 stays and is listed; the group filter does not
    // restrict the products.
    Rodar(FDp, {{"pCodigoEstab", "1-2"}, {"pDataInventIni", "01/2024"}, {"pDataInventFim", "03/2024"},
                {"pLimpaCadProdutoInv", "Sim"}, {"pCodigoUsuario", "1-2"}});
    EXPECT_EQ(Lctos(), QStringList({"1|01/12/2023|20"}));
    EXPECT_EQ(Produtos(1), QStringList({"20"}));
    EXPECT_EQ(Linhas(FDp).first(), "1|" + QString::fromUtf8(OrvoSErroExcluindoProdutoInv).arg(20).arg("Produto 20"));
    EXPECT_EQ(Linhas(FDp).at(1), QString::fromUtf8("5|Lançamentos do inventário excluídos: 5."));
}

TEST_F(LimparLctoBanco, ProdutoForaDoFiltroDoUsuarioFicaEFalhaDesfazTudo)
{
    // User 2's entries of products 20 (user 1's product: kept) and 40 (user 2's: deleted).
    Rodar(FDp, {{"pCodigoEstab", "1"}, {"pDataInventIni", "02/2024"}, {"pDataInventFim", "03/2024"},
                {"pLimpaCadProdutoInv", "1"}, {"pCodigoUsuario", "2"}});
    EXPECT_EQ(Produtos(1), QStringList({"10", "20", "30"}));
    EXPECT_EQ(Lctos(), QStringList({"1|01/01/2024|10", "1|01/02/2024|10", "2|01/02/2024|30"}));

    // Another table still holds product 10: the product deletion fails after the entries
    // went, and everything comes back.
    con().Executar("create table REFPRODUTO (CODIGOEMPRESA smallint not null, CODIGOPRODUTO bigint not null, "
                   "foreign key (CODIGOEMPRESA, CODIGOPRODUTO) references PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO))");
    con().Executar("insert into REFPRODUTO values (1, 10)");
    EXPECT_THROW(Rodar(FDp, {{"pCodigoEstab", "1-2"}, {"pDataInventIni", "01/2024"}, {"pDataInventFim", "03/2024"},
                             {"pCodigoUsuario", ""}}),
                 Exception);
    EXPECT_EQ(Lctos().size(), 3);
    EXPECT_EQ(BancoTeste::Linhas("LCTOINVCST"), 3);
    EXPECT_EQ(Produtos(1).size(), 3);
    const QStringList linhas = Linhas(FDp);
    ASSERT_EQ(linhas.size(), 1);
    EXPECT_TRUE(linhas.first().startsWith("0|" + QString::fromUtf8(OrvoSLimpezaDesfeita).arg(QString())));
    // Nothing is left open: a next run goes through.
    con().Executar("delete from REFPRODUTO");
    Rodar(FDp, {});
    EXPECT_TRUE(Lctos().isEmpty());
    EXPECT_EQ(Produtos(1), QStringList({"20"})); // no entry of it was deleted now
}

namespace {
class ProdutosBanco : public LimpezaBanco {
protected:
    void SetUp() override
    {
        LimpezaBanco::SetUp();
        if (IsSkipped())
            return;
        Produto(1, 10, 11, "Parafuso", "P-10");
        Produto(1, 11, 11, QString(120, u'L'), "P-11");
        Produto(1, 12, 12, "Porca", "P-12", 2);
        Produto(1, 13, 3, "Arruela", "P-13");
    }
};
} // namespace

TEST_F(ProdutosBanco, LimparProdutosPorGrupoEUsuario)
{
    TnDMPowerParam *dp = Processo("TOrvoDPLimparProdutoInv");
    ASSERT_NE(dp, nullptr);
    TnAction *a = AcaoDoMenu("actTOrvoDPLimparProdutoInv");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(QStringList({a->Category(), a->Caption(), QString::number(a->MenuIndex()), a->VerificaSelecao()}),
              QStringList({QString::fromUtf8("40 Utilitários"), "Limpar Produtos", "130", "CodigoEmpresa"}));
    EXPECT_FALSE(dp->Param("pCodigoEmpresa").Visivel());

    Rodar(dp, {{"pCodigoGrupoProduto", "1"}, {"pCodigoUsuario", "1"}});
    EXPECT_EQ(Produtos(1), QStringList({"12", "13"}));
    EXPECT_EQ(Linhas(dp), QStringList({QString::fromUtf8("4|Produtos excluídos: 2."), "1|Tempo decorrido",
                                       QString::fromUtf8("4|Operação concluída!")}));
    Rodar(dp, {{"pCodigoGrupoProduto", "2"}, {"pCodigoUsuario", ""}});
    EXPECT_EQ(Linhas(dp), QStringList({"1|" + QString::fromUtf8(OrvoSGruposSemAnaliticosProduto)}));
    EXPECT_EQ(Produtos(1).size(), 2);

    // A product still used by an entry: nothing is deleted and the failure says so.
    Lcto(1, "2024-03-01", 13);
    try {
        Rodar(dp, {{"pCodigoGrupoProduto", ""}});
        ADD_FAILURE() << "a exclusão deveria falhar";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(QString::fromUtf8(OrvoSErroLimpezaArtigos) + "\r\n"));
    }
    EXPECT_EQ(Produtos(1), QStringList({"12", "13"}));
    EXPECT_TRUE(Linhas(dp).isEmpty());
    // Without filters, after the confirmation, every product of the company.
    con().Executar("delete from LCTOINV");
    Produto(2, 10, 20);
    Rodar(dp, {});
    EXPECT_TRUE(Produtos(1).isEmpty());
    EXPECT_EQ(Produtos(2), QStringList({"10"}));
}

TEST_F(ProdutosBanco, DuplicarProdutos)
{
    TnDMPowerParam *dp = Processo("TOrvoDPDuplicarProdutoInv");
    ASSERT_NE(dp, nullptr);
    const auto params = [](const char *modo, const char *grupoOri = "11", const char *grupoDest = "20") {
        return QHash<QString, QString>{{"pCodigoEmpresaOri", "1"}, {"pCodigoGrupoProdutoOri", grupoOri},
                                       {"pCampoRef", modo}, {"pCodigoEmpresaDest", "2"},
                                       {"pCodigoGrupoProdutoDest", grupoDest}};
    };
    // Groups that are no analytic group of their company, or no number.
    for (const char *grupo : {"1", "99", "abc"}) {
        EXPECT_EQ(Recusa(dp, params("0", grupo), false),
                  QString::fromUtf8("pCodigoGrupoProdutoOri|Código de Conta\\Grupo inexistente ou do tipo não analítico "
                                    "na empresa de origem. Processo cancelado."));
        EXPECT_EQ(Recusa(dp, params("0", "11", grupo), false),
                  QString::fromUtf8("pCodigoGrupoProdutoDest|Código de Conta\\Grupo inexistente ou do tipo não "
                                    "analítico na empresa de destino. Processo cancelado."));
    }
    EXPECT_TRUE(Recusa(dp, params("0", "12", "20")).isEmpty()); // group 12 holds product 12
    EXPECT_EQ(Produtos(2), QStringList({"12"}));

    // By code: the kept codes; a second run copies nothing.
    Rodar(dp, params("Código"));
    EXPECT_EQ(Produtos(2), QStringList({"10", "11", "12"}));
    EXPECT_EQ(Linhas(dp).first(), "4|Inseridos 2 produtos na empresa de destino de 2 produtos da empresa de origem!");
    EXPECT_TRUE(Linhas(dp).last().startsWith(QString::fromUtf8("5|Operação concluída! Tempo decorrido: ")));
    EXPECT_EQ(BancoTeste::Linhas("PRODUTO", QStringLiteral("CODIGOEMPRESA = 2 and DESCRPRODUTO = '%1'")
                                                .arg(QString(120, u'L'))),
              1); // a long description whole
    EXPECT_EQ(BancoTeste::Linhas("PRODUTO", "CODIGOEMPRESA = 2 and CODIGOGRUPOPRODUTO = 20 and DNF = '0' and "
                                            "DACON = '0' and CSTENTRADA = 51 and UNIDADEMEDIDA = 'UN'"),
              3);
    Rodar(dp, params("0"));
    EXPECT_EQ(Linhas(dp).first(), "4|Inseridos 0 produtos na empresa de destino de 2 produtos da empresa de origem!");

    // By reference and by description into another group: new codes after the company's
    // greatest, in the order of the source rows; again, nothing.
    Rodar(dp, params("1", "11", "21"));
    EXPECT_EQ(Produtos(2), QStringList({"10", "11", "12", "13", "14"}));
    EXPECT_EQ(BancoTeste::Linhas("PRODUTO", "CODIGOEMPRESA = 2 and CODIGOPRODUTO = 13 and REFERENPRODUTO = 'P-10'"), 1);
    Rodar(dp, params("1", "11", "21"));
    Rodar(dp, params("2", "11", "21"));
    EXPECT_EQ(Linhas(dp).first(), "4|Inseridos 0 produtos na empresa de destino de 2 produtos da empresa de origem!");
    EXPECT_EQ(Produtos(2).size(), 5);

    // Kept codes another group of the company holds (13 and 14, copied by reference): the
    // whole copy goes back, naming the first.
    Produto(1, 14, 3, "Outro", "P-14");
    try {
        Rodar(dp, params("0", "3", "20"));
        ADD_FAILURE() << "a cópia deveria falhar";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(QString::fromUtf8("Copia cancelada! Não foi possível copiar os produtos no "
                                                             "banco de dados (Tabela: PRODUTO).\r\n")));
        EXPECT_TRUE(e.Message().contains("CodigoProduto = 13")) << e.Message().toStdString();
    }
    EXPECT_EQ(Produtos(2).size(), 5);
    EXPECT_EQ(BancoTeste::Linhas("PRODUTO", "CODIGOEMPRESA = 2 and CODIGOPRODUTO = 13 and CODIGOGRUPOPRODUTO = 20"), 0);
    // A group without products stops before anything is written.
    con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                   "TIPOGRUPOPRODUTO) values (1, 4, '4', 2)");
    EXPECT_EQ(Recusa(dp, params("0", "4")),
              "pCodigoGrupoProdutoOri|Nenhum produto encontrado na empresa de origem. Processo cancelado.");
    // Refused at the question: nothing.
    Rodar(dp, params("2", "3", "21"), mbNo);
    EXPECT_EQ(Produtos(2).size(), 5);
}

// Ten thousand products copied: on the server a few exchanges in all. A product refused in
// the middle leaves the target company as it was and the message names it.
TEST_F(ProdutosBanco, DuplicarMuitosProdutosTudoOuNada)
{
    TnDMPowerParam *dp = Processo("TOrvoDPDuplicarProdutoInv");
    ASSERT_NE(dp, nullptr);
    constexpr int kProdutos = 10000;
    con().Executar(QStringLiteral("with recursive N(I) as (select 1 union all select I + 1 from N where I < %1) "
                                  "insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO, DESCRPRODUTO, "
                                  "REFERENPRODUTO, UNIDADEMEDIDA, CODIGOUSUARIO) select 1, 1000 + I, 11, 'Item ' || I, "
                                  "'R-' || I, 'UN', 1 from N")
                       .arg(kProdutos));
    const QHash<QString, QString> params{{"pCodigoEmpresaOri", "1"}, {"pCodigoGrupoProdutoOri", "11"},
                                         {"pCampoRef", "1"}, {"pCodigoEmpresaDest", "2"},
                                         {"pCodigoGrupoProdutoDest", "20"}};
    Produto(2, 50, 20, "Existente", "R-7");
    InjetarFalha("PRODUTO", "insert", "NEW.CODIGOEMPRESA = 2 and NEW.REFERENPRODUTO = 'R-5000'", "falha simulada");
    try {
        Rodar(dp, params);
        ADD_FAILURE() << "a cópia deveria falhar";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().contains("falha simulada")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains("CodigoProduto = 5051")) << e.Message().toStdString();
    }
    EXPECT_EQ(Produtos(2), QStringList({"50"}));
    EXPECT_FALSE(con().InTransaction());

    RetirarFalha("PRODUTO", "insert");
    con().ZerarIdasEVoltas();
    Rodar(dp, params);
    if (con().PegarTipoCon() == tcPostgreSQL) {
        EXPECT_LE(con().IdasEVoltas().Total(), 2u * kProdutos / 1000) << con().IdasEVoltas().Total();
    }
    // Every product but the one the target group has by reference, numbered after code 50
    // in the order of the source codes, on both engines.
    EXPECT_EQ(Linhas(dp).first(), QStringLiteral("4|Inseridos %1 produtos na empresa de destino de %2 produtos da "
                                                 "empresa de origem!")
                                      .arg(kProdutos + 1)
                                      .arg(kProdutos + 2));
    EXPECT_EQ(BancoTeste::Linhas("PRODUTO", "CODIGOEMPRESA = 2 and CODIGOPRODUTO = 51 and REFERENPRODUTO = 'P-10'"), 1);
    EXPECT_EQ(BancoTeste::Linhas("PRODUTO", "CODIGOEMPRESA = 2 and CODIGOPRODUTO = 5051 and REFERENPRODUTO = 'R-5000'"),
              1);
    EXPECT_EQ(BancoTeste::Linhas("PRODUTO", "CODIGOEMPRESA = 2 and REFERENPRODUTO = 'R-7'"), 1);
}
