// The inventory web-service reception as the program loads it (OrvoCore, by class name),
// against the local test server: the request it sends, its two attempts and the test
// endpoint, refusals and malformed replies (nothing written), the products and entries an
// answer writes, the two processing types, product updates, skipped items, and a write
// failure rolled back and reported.
#include "Acoes.h"
#include "ProcessoInvTeste.h"
#include "ConfigPrograma.h"
#include "InteracaoTeste.h"
#include "Personalizacao.h"
#include "PowerParam.h"
#include "ServidorHTTPTeste.h"
#include "Valores.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kClasse = QStringLiteral("TOrvoDPReceberLancamentosInventario");
const char kCaminho[] = "/IntegracaoVarnelTributario/ws_IntegracaoVarnelTributario.asmx/GetInventario";
const QString kToken = QStringLiteral("Tk-0123456789abcdefghijklmnopqrstuvwxyz.ABCDEFGHIJKLMNOPQRSTUVWXYZ_!@#$%&*()+-=xx");

// The reply the service gives: {"d": "<the items as a JSON text>"}.
QByteArray Resposta(const QJsonArray &itens)
{
    return QJsonDocument(QJsonObject{{"d", QString::fromUtf8(QJsonDocument(itens).toJson(QJsonDocument::Compact))}})
        .toJson(QJsonDocument::Compact);
}

QJsonObject Item(const QString &codigo, const QJsonValue &qtde, const QJsonValue &custo)
{
    return QJsonObject{{"CODIGO", codigo}, {"DESCRICAO", "Produto " + codigo}, {"UNIDADE_MEDIDA", "KG"},
                       {"TIPO_ITEM", "0"}, {"NCM", "12345678"}, {"QUANTIDADE", qtde}, {"CUSTO_UNITARIO", custo}};
}

class ReceberInventarioBanco : public BancoProcessoInv {
protected:
    void SetUp() override
    {
        BancoProcessoInv::SetUp(); // branch 2 has no tax number
        if (IsSkipped())
            return;
        con().Executar("update ESTAB set INSCRFEDERAL = '12.345.678/0001-90' where CODIGOEMPRESA = 1 and CODIGOESTAB = 1");
        con().Executar("update CFGEMPRESAULMAR set MASCCLASSIFFISCALPROD = '9999.99.99' where CODIGOEMPRESA = 1");
        TnPreferenciasUsuario::DefinirPasta(FDir.filePath("prefs"));
        QDir().mkpath(FDir.filePath("prefs"));
        Configurar(FServidor.Porta(), FTestes.Porta());
    }
    void TearDown() override
    {
        TnConfigPrograma::DefinirArquivo(QString());
        TnPreferenciasUsuario::DefinirPasta(QString());
        BancoProcessoInv::TearDown();
    }
    // The program's settings naming both local servers.
    void Configurar(quint16 porta, quint16 portaTestes)
    {
        const QString arquivo = FDir.filePath("banco.ini");
        QSettings s(arquivo, QSettings::IniFormat);
        s.setValue("IntegracaoInventario/Servidor", "127.0.0.1");
        s.setValue("IntegracaoInventario/Porta", porta);
        s.setValue("IntegracaoInventario/ServidorTestes", "127.0.0.1");
        s.setValue("IntegracaoInventario/PortaTestes", portaTestes);
        s.setValue("IntegracaoInventario/Token", kToken);
        s.setValue("IntegracaoInventario/TempoLimite", 5);
        s.sync();
        TnConfigPrograma::DefinirArquivo(arquivo);
    }
    QString Marcador() const { return FDir.filePath("prefs/ImpPEInvTestes.txt"); }
    // A new process with the case's parameters: company 1, branch 1, March 2024, group 10.
    TnDMPowerParam *Processo(const QString &competencia = QStringLiteral("03/2024"), const char *atualizar = "0",
                             const char *tipo = "2")
    {
        TnDMPowerParam *dp = BancoProcessoInv::Processo(kClasse);
        dp->Param("pCodigoEmpresa").SetValue(1);
        dp->Param("pCodigoEstab").SetValue(1);
        dp->Param("pCompetencia").SetText(competencia);
        dp->Param("pCodigoGrupoProduto").SetText("10");
        dp->Param("pAtualizarCadastroProduto").SetText(QString::fromLatin1(atualizar));
        dp->Param("pTipoProcessamento").SetText(QString::fromLatin1(tipo));
        return dp;
    }
    // Runs the process; the failure's message, or empty when it ended well.
    static QString Rodar(TnDMPowerParam *dp)
    {
        try {
            dp->Rodar();
        } catch (const Exception &e) {
            return e.Message();
        }
        return QString();
    }
    static QStringList Resumo(int produtos, int atualizados, int inventarios)
    {
        return {QString::fromUtf8("5|0|Integração Concluída"),
                QStringLiteral("5|1|Quantidade de Produtos Importados: %1").arg(produtos),
                QStringLiteral("5|1|Quantidade de Produtos Atualizados: %1").arg(atualizados),
                QString::fromUtf8("5|1|Quantidade de Inventários Importados: %1").arg(inventarios)};
    }
    // Columns of the rows of a table, in the order given.
    using BancoProcessoInv::Tabela;
    QStringList Tabela(const QString &colunas, const QString &tabela, const QString &ordem)
    {
        return Tabela(QStringLiteral("select %1 from %2 order by %3").arg(colunas, tabela, ordem));
    }
    QTemporaryDir FDir;
    TnServidorHTTPTeste FServidor, FTestes;
    TnInteracaoTeste FUsuario;
};

} // namespace

TEST_F(ReceberInventarioBanco, AcaoEParametros)
{
    TnAction *a = AcaoDoMenu("act" + kClasse);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Category(), "70 Arquivos\\10 Varnel\\20 Pequenas Empresas");
    EXPECT_EQ(a->Caption(), QString::fromUtf8("Integração Inventário"));
    EXPECT_EQ(a->MenuIndex(), 10);
    TnActionList geral;
    geral.GerarPrincAction(TnEventoAcao(), Modulos({0}));
    EXPECT_EQ(geral.Acao(a->Name()), nullptr);

    TnDMPowerParam *dp = qobject_cast<TnDMPowerParam *>(CriarDM(kClasse));
    ASSERT_NE(dp, nullptr);
    EXPECT_EQ(dp->Caption(), QString::fromUtf8("Integração Inventário Pequenas Empresas"));
    // The company comes from the selection and is not shown; the branch, not among the
    // process's selection keys, is typed.
    EXPECT_EQ(dp->Param("pCodigoEmpresa").AsString(), "1");
    EXPECT_FALSE(dp->Param("pCodigoEmpresa").Visivel());
    EXPECT_TRUE(dp->Param("pCodigoEstab").IsNull());
    EXPECT_EQ(dp->Param("pCodigoEstab").ClasseLookup(), "UlmarDCEstab");
    EXPECT_TRUE(dp->Mensagens().EhArvore());
    EXPECT_EQ(dp->Param("pAtualizarCadastroProduto").Value().toString(), "0");
    EXPECT_EQ(dp->Param("pTipoProcessamento").Value().toString(), "2");
    EXPECT_EQ(dp->Param("pCodigoGrupoProduto").Caption(), "Conta\\Grupo");
    EXPECT_TRUE(dp->Param("pCompetencia").EhMesAno());
    dp->Param("pTipoProcessamento").SetText(QString::fromUtf8("Excluir e Importar Novamente Iventários Importados"));
    EXPECT_EQ(dp->Param("pTipoProcessamento").Value().toString(), "3");
}

TEST_F(ReceberInventarioBanco, PedidoExatoEItensGravados)
{
    QJsonArray itens;
    // Accents kept; no unit: "UN"; item type not a number: 0; the NCM under the company's mask.
    itens << QJsonObject{{"CODIGO", "A-100"},
                         {"DESCRICAO", QString::fromUtf8("  Açúcar cristal não refinado  ")},
                         {"TIPO_ITEM", "x"},
                         {"NCM", "17019900"},
                         {"QUANTIDADE", 10.5},
                         {"CUSTO_UNITARIO", "3,25"}};
    itens << QJsonObject{{"CODIGO", 200}, {"DESCRICAO", "Farinha"}, {"UNIDADE_MEDIDA", "KG"}, {"TIPO_ITEM", 4},
                         {"NCM", "1101.00.10"}, {"QUANTIDADE", "7.25"}, {"CUSTO_UNITARIO", 2}};
    FServidor.Responder({.Corpo = Resposta(itens)});
    DefinirUsuarioConectado(1, "ADMINISTRADOR");
    TnDMPowerParam *dp = Processo();
    EXPECT_EQ(Rodar(dp), QString());
    DefinirUsuarioConectado(0, QString());

    const QList<TnRequisicaoHTTP> reqs = FServidor.Requisicoes();
    ASSERT_EQ(reqs.size(), 1);
    EXPECT_EQ(reqs[0].Metodo, "POST");
    EXPECT_EQ(reqs[0].Caminho, kCaminho);
    EXPECT_EQ(reqs[0].Cabecalho("Content-Type"), "application/json; charset=utf-8");
    EXPECT_EQ(reqs[0].Corpo, ("{filtroInventario : { Token : \"" + kToken +
                              "\", Cnpj: \"12345678000190\", Data: \"03/31/2024\" } }")
                                 .toUtf8());
    EXPECT_TRUE(FTestes.Requisicoes().isEmpty());

    EXPECT_EQ(Tabela("REFERENPRODUTO, CODIGOGRUPOPRODUTO, DESCRPRODUTO, CODIGONCM, UNIDADEMEDIDA, INDICADORTIPO, "
                      "TIPOCREDITO, TIPODEBITO, CSTENTRADA, CSTSAIDA, DNF",
                      "PRODUTO", "CODIGOPRODUTO"),
              QStringList({QString::fromUtf8("A-100|10|Açúcar cristal não refinado|1701.99.00|UN|0|0|1|50|1|0"),
                           "200|10|Farinha|1101.00.10|KG|4|0|1|50|1|0"}));
    EXPECT_EQ(Tabela("L.CODIGOEMPRESA, L.CODIGOESTAB, L.DATAINVENT, P.REFERENPRODUTO, L.MOTIVOINVENTARIO, "
                      "L.QTDEESTOQUE, L.PRECOUNIT, L.VALORICMS, L.VALORPIS, L.VALORCOFINS, L.CODIGOUSUARIO, "
                      "L.ORIGEMDADO, L.IDSYN",
                      "LCTOINV L join PRODUTO P on P.CODIGOEMPRESA = L.CODIGOEMPRESA and "
                      "P.CODIGOPRODUTO = L.CODIGOPRODUTO",
                      "L.CODIGOPRODUTO"),
              QStringList({"1|1|2024-03-01|A-100|1|10.5|3.25|0|0|0|1|3|null",
                           "1|1|2024-03-01|200|1|7.25|2|0|0|0|1|3|null"}));
    EXPECT_EQ(Tabela("DATAINVENT, MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT",
                      "LCTOINVPROPRIEDADE", "CODIGOPRODUTO"),
              QStringList({"2024-03-01|1|1|0|10.5|3.25", "2024-03-01|1|1|0|7.25|2"}));
    EXPECT_EQ(Arvore(dp), Resumo(2, 0, 2));
}

TEST_F(ReceberInventarioBanco, EscapesDoTextoDeD)
{
    // The same items under every escape the outer text may use, in the usual shape and in
    // others (blanks, another member, an escaped surrogate pair): all read alike.
    const QString inner = QString::fromUtf8(R"([{"CODIGO":"E1","DESCRICAO":"Caf\u00e9 \"forte\" 1\/2\tkg \ud83d\ude00","QUANTIDADE":1,"CUSTO_UNITARIO":2}])");
    QString escapado;
    for (const QChar c : inner)
        escapado += c == u'"' ? QStringLiteral("\\\"") : c == u'\\' ? QStringLiteral("\\\\") : QString(c);
    const QString formas[] = {
        "{\"d\":\"" + escapado + "\"}",
        " {\n \"d\" : \"" + escapado + "\" } \r\n",
        "{\"d\":\"" + escapado + "\",\"Versao\":\"1\"}",
        "{\"d\":\"" + QString(escapado).replace(QStringLiteral("E1"), QStringLiteral("\\u0045\\u0031")) + "\"}",
        "{\"d\":\"" + QString(escapado).replace(QStringLiteral("\\\\ud83d\\\\ude00"), QStringLiteral("\\ud83d\\ude00")) +
            "\"}",
    };
    int mes = 1;
    for (const QString &forma : formas) {
        FServidor.Responder({.Corpo = forma.toUtf8()});
        EXPECT_EQ(Rodar(Processo(QStringLiteral("%1/2024").arg(mes++, 2, 10, QChar(u'0')))), QString()) << forma.toStdString();
    }
    EXPECT_EQ(Tabela("REFERENPRODUTO, DESCRPRODUTO", "PRODUTO", "CODIGOPRODUTO"),
              QStringList({QString::fromUtf8("E1|Café \"forte\" 1/2\tkg 😀")}));
    EXPECT_EQ(Linhas("LCTOINV"), 5);
}

TEST_F(ReceberInventarioBanco, FevereiroBissextoERespostaVaziaConfirmada)
{
    FServidor.Responder({.Corpo = Resposta({})});
    TnDMPowerParam *dp = Processo("02/2024");
    EXPECT_EQ(Rodar(dp), QString());
    ASSERT_EQ(FServidor.Requisicoes().size(), 1);
    EXPECT_TRUE(FServidor.Requisicoes()[0].Corpo.endsWith("Data: \"02/29/2024\" } }"));
    EXPECT_EQ(Arvore(dp), Resumo(0, 0, 0));
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(Linhas("LCTOINV"), 0);
}

TEST_F(ReceberInventarioBanco, DuasTentativasEOEnderecoDeTestes)
{
    // The first attempt fails, the second works.
    FServidor.Responder({.Status = 500});
    FServidor.Responder({.Corpo = Resposta({Item("1", 1, 1)})});
    EXPECT_EQ(Rodar(Processo()), QString());
    EXPECT_EQ(FServidor.Requisicoes().size(), 2);
    EXPECT_EQ(Linhas("LCTOINV"), 1);

    // Both fail: the connection message, nothing written.
    FServidor.ResponderSempre({.Status = 503});
    const QString m = Rodar(Processo("04/2024"));
    EXPECT_TRUE(m.startsWith(QString::fromUtf8("Problemas de conexão com o web service: O servidor 127.0.0.1:%1 "
                                               "respondeu com o código HTTP 503 (")
                                 .arg(FServidor.Porta())))
        << m.toStdString();
    EXPECT_TRUE(m.endsWith(". Tente novamente mais tarde!")) << m.toStdString();
    EXPECT_EQ(FServidor.Requisicoes().size(), 4);
    EXPECT_EQ(Linhas("LCTOINV"), 1);

    // The marker file appears while the first attempt runs: the second goes to the test host.
    FServidor.ResponderCom([this](const TnRequisicaoHTTP &) {
        QFile f(Marcador());
        f.open(QIODevice::WriteOnly);
        return TnRespostaHTTP{.Status = 500};
    });
    FTestes.ResponderSempre({.Corpo = Resposta({Item("2", 1, 1)})});
    EXPECT_EQ(Rodar(Processo("05/2024")), QString());
    EXPECT_EQ(FServidor.Requisicoes().size(), 5);
    ASSERT_EQ(FTestes.Requisicoes().size(), 1);
    EXPECT_EQ(FTestes.Requisicoes()[0].Caminho, kCaminho);
    EXPECT_EQ(Linhas("LCTOINV", "DATAINVENT = '2024-05-01'"), 1);

    // Without the test host configured, the marker gives a clear error before any call.
    QSettings(TnConfigPrograma::Arquivo(), QSettings::IniFormat).remove("IntegracaoInventario/ServidorTestes");
    const QString semHost = Rodar(Processo("06/2024"));
    EXPECT_TRUE(semHost.contains("ServidorTestes")) << semHost.toStdString();
    QFile::remove(Marcador());
    EXPECT_EQ(FTestes.Requisicoes().size(), 1);
}

TEST_F(ReceberInventarioBanco, HttpsOndeConfigurado)
{
    TnServidorHTTPTeste seguro(TnServidorHTTPTeste::TLS);
    seguro.ResponderSempre({.Corpo = Resposta({Item("S1", 1, 1)})});
    QSettings s(TnConfigPrograma::Arquivo(), QSettings::IniFormat);
    s.setValue("IntegracaoInventario/Esquema", "https");
    s.setValue("IntegracaoInventario/Servidor", "localhost");
    s.setValue("IntegracaoInventario/Porta", seguro.Porta());
    s.sync();
    // Without trusting the server's certificate: refused, nothing written.
    const QString m = Rodar(Processo());
    EXPECT_TRUE(m.contains("TLS")) << m.toStdString();
    EXPECT_EQ(Linhas("PRODUTO"), 0);

    QFile pem(FDir.filePath("confiaveis.pem"));
    ASSERT_TRUE(pem.open(QIODevice::WriteOnly));
    pem.write(TnServidorHTTPTeste::Certificado().toPem());
    pem.close();
    s.setValue("IntegracaoInventario/Certificados", pem.fileName());
    s.sync();
    EXPECT_EQ(Rodar(Processo()), QString());
    ASSERT_EQ(seguro.Requisicoes().size(), 1);
    EXPECT_EQ(seguro.Requisicoes()[0].Caminho, kCaminho);
    EXPECT_EQ(Linhas("LCTOINV"), 1);
    EXPECT_TRUE(FServidor.Requisicoes().isEmpty());

    s.setValue("IntegracaoInventario/Certificados", FDir.filePath("nao_existe.pem"));
    s.sync();
    EXPECT_TRUE(Rodar(Processo("04/2024")).startsWith(QString::fromUtf8("Nenhum certificado pôde ser lido")));
}

TEST_F(ReceberInventarioBanco, RecusaEmQualquerCaixaNaoGravaNada)
{
    const QByteArray recusas[] = {
        R"({"Sucesso":"False","Mensagem":"Token inválido"})",
        R"({"sucesso":"false"})",
        R"({"SUCESSO" : "FALSE", "d": "[]"})",
        R"({"Sucesso": false, "d": "[]"})",
        R"({"d":"{\"Sucesso\":\"False\",\"Mensagem\":\"CNPJ sem cadastro\"}"})",
        R"({"d":"{\"sucesso\" : \"false\"}"})",
        R"({"d":"[{\"CODIGO\":\"1\",\"QUANTIDADE\":1,\"CUSTO_UNITARIO\":1},{\"Sucesso\":\"False\"}]"})",
    };
    for (const QByteArray &r : recusas) {
        FServidor.Responder({.Corpo = r});
        const QString m = Rodar(Processo());
        EXPECT_EQ(m, QString::fromUtf8("Problemas com a solicitação efetuada ao Web Service: \r\n") + QString::fromUtf8(r))
            << r.constData();
    }
    EXPECT_EQ(FServidor.Requisicoes().size(), int(std::size(recusas))); // a refusal is not tried again
    EXPECT_EQ(Linhas("PRODUTO"), 0);
    EXPECT_EQ(Linhas("LCTOINV"), 0);
}

TEST_F(ReceberInventarioBanco, RespostaMalFormadaNaoGravaNada)
{
    const std::pair<QByteArray, const char *> casos[] = {
        {"<html>erro</html>", "não é JSON"},
        {"[]", "não é um objeto JSON"},
        {R"({"x":"[]"})", "falta o membro \"d\""},
        {R"({"d":12})", "o membro \"d\" não é um texto"},
        {R"({"d":"[{\"CODIGO\":"})", "o texto de \"d\" não é JSON"},
        {R"({"d":"{\"CODIGO\":\"1\"}"})", "o texto de \"d\" não é uma lista de itens"},
        {R"({"d":"12"})", "o texto de \"d\" não "},
        {"", "não é JSON"},
    };
    for (const auto &[corpo, motivo] : casos) {
        FServidor.Responder({.Corpo = corpo});
        const QString m = Rodar(Processo());
        EXPECT_TRUE(m.startsWith(QString::fromUtf8("Retorno do web service inválido: ") + QString::fromUtf8(motivo)))
            << corpo.constData() << " -> " << m.toStdString();
        EXPECT_TRUE(m.endsWith("Nada foi gravado.")) << m.toStdString();
    }
    EXPECT_EQ(Linhas("PRODUTO"), 0);
    EXPECT_FALSE(con().InTransaction());
}

TEST_F(ReceberInventarioBanco, ParametrosRecusadosAntesDeChamar)
{
    const auto recusa = [this](const char *alias, const std::function<void(TnDMPowerParam *)> &mudar,
                               const QString &mensagem) {
        TnDMPowerParam *dp = Processo();
        mudar(dp);
        try {
            dp->Rodar();
            ADD_FAILURE() << alias;
        } catch (const EnParam &e) {
            EXPECT_EQ(e.Param(), QLatin1String(alias));
            EXPECT_EQ(e.Message(), mensagem);
        }
    };
    recusa("pCodigoEmpresa", [](TnDMPowerParam *dp) { dp->Param("pCodigoEmpresa").SetValue(0); },
           "Informe a empresa.");
    recusa("pCodigoEstab", [](TnDMPowerParam *dp) { dp->Param("pCodigoEstab").SetText("abc"); },
           "Informe o estabelecimento.");
    recusa("pCodigoEstab", [](TnDMPowerParam *dp) { dp->Param("pCodigoEstab").SetValue(2); },
           QString::fromUtf8("O estabelecimento 2 da empresa 1 não tem CNPJ cadastrado."));
    recusa("pCodigoEstab", [](TnDMPowerParam *dp) { dp->Param("pCodigoEstab").SetValue(9); },
           QString::fromUtf8("O estabelecimento 9 não está cadastrado na empresa 1."));
    recusa("pCodigoGrupoProduto", [](TnDMPowerParam *dp) { dp->Param("pCodigoGrupoProduto").SetText("6"); },
           QString::fromUtf8("O grupo de produto \"6\" não está cadastrado na empresa 1."));
    recusa("pCompetencia", [](TnDMPowerParam *dp) { dp->Param("pCompetencia").SetText("13/2024"); },
           QString::fromUtf8("Competência inválida. Informe o mês e o ano no formato mm/aaaa."));
    EXPECT_TRUE(FServidor.Requisicoes().isEmpty());
}

TEST_F(ReceberInventarioBanco, TipoDoisNaoRepeteETipoTresSubstitui)
{
    const QByteArray primeira = Resposta({Item("A", 10, 2), Item("B", 20, 3)});
    FServidor.ResponderSempre({.Corpo = primeira});
    TnDMPowerParam *dp = Processo();
    EXPECT_EQ(Rodar(dp), QString());
    EXPECT_EQ(Arvore(dp), Resumo(2, 0, 2));
    const QStringList codigos = Tabela("CODIGOPRODUTO", "PRODUTO", "CODIGOPRODUTO");
    ASSERT_EQ(codigos.size(), 2);

    // Type 2 again: nothing written, one warning per item.
    dp = Processo();
    EXPECT_EQ(Rodar(dp), QString());
    EXPECT_EQ(Arvore(dp), QStringList({QString::fromUtf8("1|0|Inventário do produto %1 (Produto A) na data de "
                                                            "01/03/2024 importado anteriormente.")
                                              .arg(codigos[0]),
                                          QString::fromUtf8("1|0|Inventário do produto %1 (Produto B) na data de "
                                                            "01/03/2024 importado anteriormente.")
                                              .arg(codigos[1])}) +
                                 Resumo(0, 0, 0));

    // Type 3: replaced, the old entries' lines with them.
    con().Executar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                   "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                   "select CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, 1, 2, 0, 1, 1 from LCTOINV");
    FServidor.ResponderSempre({.Corpo = Resposta({Item("A", 11, 2.5), Item("B", 21, 3.5)})});
    dp = Processo("03/2024", "0", "3");
    EXPECT_EQ(Rodar(dp), QString());
    EXPECT_EQ(Arvore(dp), Resumo(0, 0, 2));
    EXPECT_EQ(Tabela("QTDEESTOQUE, PRECOUNIT", "LCTOINV", "CODIGOPRODUTO"), QStringList({"11|2.5", "21|3.5"}));
    EXPECT_EQ(Tabela("SEQ, QUANTIDADE", "LCTOINVPROPRIEDADE", "CODIGOPRODUTO"), QStringList({"1|11", "1|21"}));
    // Another month is another inventory.
    EXPECT_EQ(Rodar(Processo("04/2024")), QString());
    EXPECT_EQ(Linhas("LCTOINV"), 4);
}

TEST_F(ReceberInventarioBanco, AtualizarProdutosSoComUmEDiferencaReal)
{
    FServidor.ResponderSempre({.Corpo = Resposta({Item("A", 1, 1), Item("B", 1, 1)})});
    EXPECT_EQ(Rodar(Processo("01/2024")), QString());
    con().Executar("update PRODUTO set DESCRPRODUTO = 'Mudada', CODIGOGRUPOPRODUTO = 20 where REFERENPRODUTO = 'B'");

    TnDMPowerParam *dp = Processo("02/2024", "0");
    EXPECT_EQ(Rodar(dp), QString());
    EXPECT_EQ(Arvore(dp), Resumo(0, 0, 2));
    EXPECT_EQ(Tabela("DESCRPRODUTO", "PRODUTO", "REFERENPRODUTO"), QStringList({"Produto A", "Mudada"}));

    dp = Processo("03/2024", "1");
    EXPECT_EQ(Rodar(dp), QString());
    EXPECT_EQ(Arvore(dp), Resumo(0, 1, 2)); // A equal: not counted
    // The group of an existing product is never changed.
    EXPECT_EQ(Tabela("DESCRPRODUTO, CODIGOGRUPOPRODUTO", "PRODUTO", "REFERENPRODUTO"),
              QStringList({"Produto A|10", "Produto B|20"}));
}

TEST_F(ReceberInventarioBanco, ItensQueNaoSePodemGravarSaoAvisados)
{
    QJsonArray itens;
    itens << Item("OK", "10,5", "2.50");
    itens << QJsonObject{{"DESCRICAO", "sem código"}, {"QUANTIDADE", 1}, {"CUSTO_UNITARIO", 1}};
    itens << QJsonObject{{"CODIGO", "SQ"}, {"CUSTO_UNITARIO", 1}};
    itens << Item("QX", "abc", 1);
    itens << Item("Q0", 0, 1);
    itens << Item("CN", 1, -2);
    itens << QJsonObject{{"CODIGO", "LONGO"}, {"UNIDADE_MEDIDA", "UNIDADES-MUITAS"}, {"QUANTIDADE", 1},
                         {"CUSTO_UNITARIO", 1}};
    itens << QJsonValue(42);
    itens << Item("OK", 12, 3); // the same product again: the last one wins
    FServidor.Responder({.Corpo = Resposta(itens)});
    TnDMPowerParam *dp = Processo();
    EXPECT_EQ(Rodar(dp), QString());
    EXPECT_EQ(Arvore(dp),
              QStringList({QString::fromUtf8("1|0|Item 2 do retorno ignorado: sem CODIGO."),
                           QString::fromUtf8("1|0|Produto SQ ignorado: quantidade ausente."),
                           QString::fromUtf8("1|0|Produto QX ignorado: quantidade \"abc\" não é um número."),
                           QString::fromUtf8("1|0|Produto Q0 ignorado: quantidade 0 não é maior que zero."),
                           QString::fromUtf8("1|0|Produto CN ignorado: custo unitário -2 não é maior que zero."),
                           QString::fromUtf8("1|0|Produto LONGO ignorado: UNIDADE_MEDIDA tem mais de 10 caracteres."),
                           QString::fromUtf8("1|0|Item 8 do retorno ignorado: não é um objeto."),
                           QString::fromUtf8("1|0|Produto OK repetido no retorno: descartados a quantidade 10,5 e o "
                                             "custo unitário 2,5 do item anterior; vale o último.")}) +
                  Resumo(1, 0, 1));
    EXPECT_EQ(Tabela("REFERENPRODUTO", "PRODUTO", "CODIGOPRODUTO"), QStringList({"OK"}));
    EXPECT_EQ(Tabela("QTDEESTOQUE, PRECOUNIT", "LCTOINV", "CODIGOPRODUTO"), QStringList({"12|3"}));
    EXPECT_EQ(Tabela("QUANTIDADE, PRECOUNIT", "LCTOINVPROPRIEDADE", "CODIGOPRODUTO"), QStringList({"12|3"}));
}

TEST_F(ReceberInventarioBanco, FalhaAoGravarDesfazTudoEFalha)
{
    // The database refuses the third entry.
    InjetarFalha("LCTOINV", "insert", "NEW.QTDEESTOQUE = 999");
    FServidor.Responder({.Corpo = Resposta({Item("A", 1, 1), Item("B", 2, 2), Item("C", 999, 3)})});
    TnDMPowerParam *dp = Processo();
    const QString m = Rodar(dp);
    EXPECT_TRUE(m.startsWith("Erro ao tentar gravar os registros: ")) << m.toStdString();
    if (teste::EmPostgres()) // written in a batch: the row is named by its values
        EXPECT_TRUE(m.contains(", 999, ")) << m.toStdString();
    const QStringList r = Arvore(dp);
    ASSERT_EQ(r.size(), 2);
    EXPECT_TRUE(r[0].startsWith("0|0|Erro ao tentar gravar os registros: ")) << r[0].toStdString();
    EXPECT_EQ(r[1], "1|0|Todos os registros foram cancelados!");
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(Linhas("PRODUTO"), 0);
    EXPECT_EQ(Linhas("LCTOINV"), 0);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 0);

    // The next run, once the cause is gone, writes everything.
    RetirarFalha("LCTOINV", "insert");
    FServidor.Responder({.Corpo = Resposta({Item("A", 1, 1), Item("B", 2, 2), Item("C", 999, 3)})});
    dp = Processo();
    EXPECT_EQ(Rodar(dp), QString());
    EXPECT_EQ(Arvore(dp), Resumo(3, 0, 3));
}

// A quantity or unit cost no double precision column takes (1e308) is refused by the entry
// writer on both engines alike, naming column and value: the run fails and writes nothing.
TEST_F(ReceberInventarioBanco, ValorForaDaFaixaDaColunaNaoGravaNada)
{
    for (const auto &[campo, coluna] : {std::pair{"QUANTIDADE", "QTDEESTOQUE"}, std::pair{"CUSTO_UNITARIO", "PRECOUNIT"}}) {
        QJsonObject grande = Item("G", 2, 3);
        grande[QLatin1String(campo)] = 1e308;
        FServidor.Responder({.Corpo = Resposta({Item("A", 1, 1), grande})});
        const QString m = Rodar(Processo());
        EXPECT_EQ(m, QString::fromUtf8("Erro ao tentar gravar os registros: O valor 1e+308 está fora da faixa do campo "
                                       "\"%1\".")
                         .arg(QLatin1String(coluna)));
        EXPECT_EQ(Linhas("PRODUTO"), 0);
        EXPECT_EQ(Linhas("LCTOINV"), 0);
        EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), 0);
    }
    // Just below the bound the value is written as it came.
    FServidor.Responder({.Corpo = Resposta({Item("A", 999999999999999.0, 0.01)})});
    EXPECT_EQ(Rodar(Processo()), QString());
    EXPECT_EQ(Tabela("QTDEESTOQUE, PRECOUNIT", "LCTOINV", "CODIGOPRODUTO"), QStringList({"999999999999999|0.01"}));
}

TEST_F(ReceberInventarioBanco, CemMilItens)
{
    // The whole volume on the embedded engine; the server engine gets a slice of it (its
    // speed is the bench's business).
    const int n = teste::EmPostgres() ? 10000 : 100000;
    QJsonArray itens;
    for (int i = 1; i <= n; ++i)
        itens << Item(QStringLiteral("P%1").arg(i), i % 50 + 1, 1.25);
    FServidor.Responder({.Corpo = Resposta(itens)});
    TnDMPowerParam *dp = Processo();
    con().ZerarIdasEVoltas();
    EXPECT_EQ(Rodar(dp), QString());
    // A product, an entry and a property line per item, in bulk on the server.
    if (teste::EmPostgres())
        EXPECT_LE(con().IdasEVoltas().Total(), 2u * 3 * n / 1000) << con().IdasEVoltas().Total();
    EXPECT_EQ(Arvore(dp), Resumo(n, 0, n));
    EXPECT_EQ(Linhas("PRODUTO"), n);
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE"), n);
    EXPECT_LT(FUsuario.AtualizacoesProgresso, n / 10); // the progress frame is throttled
}
