// The HTTP client against the local test server: what goes out (POST, path, content type,
// body byte for byte), what comes back (UTF-8, also when it is not), and every way an
// attempt fails: silence, refusal, a closed connection, an error status, TLS trust, a URL
// that names no server.
#include "Excecoes.h"
#include "HTTP.h"
#include "ServidorHTTPTeste.h"

#include <QTcpServer>
#include <gtest/gtest.h>

namespace {

// The message of the failure `f` raises; fails the case when it raises none.
template <class F> QString Falha(F f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e.Message();
    }
    ADD_FAILURE() << "nenhuma falha";
    return QString();
}

} // namespace

TEST(HTTP, PostEnviaOCorpoIntactoEDecodificaAResposta)
{
    TnServidorHTTPTeste servidor;
    const QByteArray respostaUtf8 = R"({"d":"Inventário de São Paulo: 1,5 m³ — ok"})";
    servidor.Responder({.Corpo = respostaUtf8});
    TnHTTP http;
    // Not strict JSON, accents, quotes, a backslash, a line break and blanks at both ends.
    const QString corpo = QString::fromUtf8(" {filtro : { Token : \"a\\b\", Nome: \"Ação € ü\"\r\n} } ");
    const QString resposta = http.Post(servidor.Url("/Servico/ws.asmx/GetInventario"), corpo,
                                       QStringLiteral("application/json; charset=utf-8"));
    EXPECT_EQ(resposta, QString::fromUtf8(respostaUtf8));

    const QList<TnRequisicaoHTTP> reqs = servidor.Requisicoes();
    ASSERT_EQ(reqs.size(), 1);
    EXPECT_EQ(reqs[0].Metodo, "POST");
    EXPECT_EQ(reqs[0].Caminho, "/Servico/ws.asmx/GetInventario");
    EXPECT_EQ(reqs[0].Cabecalho("content-type"), "application/json; charset=utf-8");
    EXPECT_EQ(reqs[0].Corpo, corpo.toUtf8());

    // Without a content type of the call, the client's own.
    TnHTTP texto(QStringLiteral("text/plain"));
    texto.Post(servidor.Url("/x"), QStringLiteral("a"));
    EXPECT_EQ(servidor.Requisicoes().value(1).Cabecalho("Content-Type"), "text/plain");
}

TEST(HTTP, RespostaQueNaoEUtf8VemComCaracteresDeSubstituicao)
{
    TnServidorHTTPTeste servidor;
    servidor.Responder({.Corpo = QByteArray("ab\xff\xfe" "cd\xc3", 7)});
    servidor.Responder({.Corpo = QByteArray("\xef\xbb\xbf{}")}); // a byte-order mark first
    servidor.Responder({.Corpo = QByteArray()});
    TnHTTP http;
    const QString r = http.Post(servidor.Url("/"), QString());
    EXPECT_TRUE(r.startsWith("ab"));
    EXPECT_TRUE(r.contains("cd"));
    EXPECT_TRUE(r.contains(QChar(QChar::ReplacementCharacter)));
    EXPECT_EQ(http.Post(servidor.Url("/"), QString()), "{}");
    EXPECT_EQ(http.Post(servidor.Url("/"), QString()), QString());
}

TEST(HTTP, ServidorCaladoEsgotaOTempoLimite)
{
    TnServidorHTTPTeste servidor;
    servidor.ResponderSempre({.Calar = true});
    TnHTTP http;
    EXPECT_EQ(http.TempoLimite(), 30000);
    http.SetTempoLimite(300);
    const QString m = Falha([&] { http.Post(servidor.Url("/lento"), QStringLiteral("{}")); });
    EXPECT_TRUE(m.startsWith(QString::fromUtf8("O servidor 127.0.0.1 não respondeu em 0,3 s"))) << m.toStdString();
    EXPECT_EQ(servidor.Requisicoes().size(), 1);
    EXPECT_THROW(http.SetTempoLimite(0), Exception);

    // The same client works again after a time-out.
    servidor.ResponderSempre({.Corpo = "ok"});
    EXPECT_EQ(http.Post(servidor.Url("/"), QString()), "ok");
}

TEST(HTTP, ConexaoRecusadaFechadaOuComErroDoServidor)
{
    quint16 livre = 0;
    {
        QTcpServer s;
        ASSERT_TRUE(s.listen(QHostAddress::LocalHost, 0));
        livre = s.serverPort();
    }
    TnHTTP http;
    http.SetTempoLimite(5000);
    QString m = Falha([&] { http.Post(QStringLiteral("http://127.0.0.1:%1/x").arg(livre), QStringLiteral("{}")); });
    EXPECT_TRUE(m.startsWith(QString::fromUtf8("Conexão recusada por 127.0.0.1:%1 (").arg(livre))) << m.toStdString();

    // A connection closed before the answer (the transport may try it again by itself).
    TnServidorHTTPTeste servidor;
    servidor.ResponderSempre({.Fechar = true});
    m = Falha([&] { http.Post(servidor.Url("/x"), QStringLiteral("{}")); });
    EXPECT_TRUE(m.startsWith(QString::fromUtf8("O servidor 127.0.0.1:%1 encerrou a conexão antes de responder (")
                                 .arg(servidor.Porta())))
        << m.toStdString();
    EXPECT_FALSE(servidor.Requisicoes().isEmpty());

    servidor.ResponderSempre({.Status = 500, .Corpo = "erro interno"});
    m = Falha([&] { http.Post(servidor.Url("/x"), QStringLiteral("{}")); });
    EXPECT_TRUE(m.startsWith(QString::fromUtf8("O servidor 127.0.0.1:%1 respondeu com o código HTTP 500 (")
                                 .arg(servidor.Porta())))
        << m.toStdString();
}

TEST(HTTP, EnderecoSemEsquemaOuServidorFalhaAntesDeQualquerChamada)
{
    TnServidorHTTPTeste servidor;
    const QString porta = QString::number(servidor.Porta());
    TnHTTP http;
    for (const QString &url : {QString(), QStringLiteral("   "), "127.0.0.1:" + porta + "/x", "localhost:" + porta + "/x",
                               "ftp://127.0.0.1:" + porta + "/x", QStringLiteral("http:///x"),
                               QStringLiteral("http://"), "//127.0.0.1:" + porta + "/x"}) {
        const QString m = Falha([&] { http.Post(url, QStringLiteral("{}")); });
        EXPECT_TRUE(m.startsWith(QString::fromUtf8("Endereço inválido"))) << url.toStdString();
    }
    EXPECT_TRUE(servidor.Requisicoes().isEmpty());
}

TEST(HTTP, TLSComCertificadoConfiavelERecusaSemEle)
{
    TnServidorHTTPTeste servidor(TnServidorHTTPTeste::TLS);
    servidor.ResponderSempre({.Corpo = "{\"d\":\"seguro ç\"}"});
    ASSERT_FALSE(TnServidorHTTPTeste::Certificado().isNull());

    TnHTTP desconfiado;
    desconfiado.SetTempoLimite(5000);
    const QString m = Falha([&] { desconfiado.Post(servidor.Url("/s"), QStringLiteral("{}")); });
    EXPECT_TRUE(m.startsWith(QString::fromUtf8("Falha na conexão segura (TLS) com localhost:%1 (").arg(servidor.Porta())))
        << m.toStdString();
    EXPECT_TRUE(servidor.Requisicoes().isEmpty()); // nothing went out over the refused channel

    TnHTTP http;
    http.SetTempoLimite(5000);
    http.AdicionarCertificadosConfiaveis({TnServidorHTTPTeste::Certificado()});
    EXPECT_EQ(http.Post(servidor.Url("/s"), QString::fromUtf8("{\"a\":\"é\"}")), QString::fromUtf8("{\"d\":\"seguro ç\"}"));
    ASSERT_EQ(servidor.Requisicoes().size(), 1);
    EXPECT_EQ(servidor.Requisicoes()[0].Corpo, QString::fromUtf8("{\"a\":\"é\"}").toUtf8());
}

TEST(HTTP, RedirecionamentoNaoESeguidoENomeiaODestino)
{
    TnServidorHTTPTeste outro;
    TnServidorHTTPTeste servidor;
    const QByteArray destino = outro.Url("/roubar").toUtf8();
    servidor.Responder({.Status = 302, .Cabecalhos = {{"Location", destino}}});
    servidor.Responder({.Status = 307, .Cabecalhos = {{"Location", "/outro/caminho"}}});
    TnHTTP http;
    http.SetTempoLimite(5000);
    const QString corpo = QStringLiteral("{\"Token\":\"segredo\"}");
    QString m = Falha([&] { http.Post(servidor.Url("/ws"), corpo); });
    EXPECT_TRUE(m.contains(QString::fromUtf8(destino))) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("código HTTP 302"))) << m.toStdString();
    EXPECT_TRUE(outro.Requisicoes().isEmpty());

    // A relative target is named in full, on the same server, and not tried either.
    m = Falha([&] { http.Post(servidor.Url("/ws"), corpo); });
    EXPECT_TRUE(m.contains(servidor.Url("/outro/caminho"))) << m.toStdString();
    EXPECT_EQ(servidor.Requisicoes().size(), 2);
}
