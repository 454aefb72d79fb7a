#include "HTTP.h"

#include "Excecoes.h"
#include "Valores.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

namespace {

// What happened, for the user; the transport's own message follows it in parentheses.
QString Descricao(QNetworkReply::NetworkError erro, int status, const QUrl &url)
{
    const QString servidor = url.port() > 0 ? QStringLiteral("%1:%2").arg(url.host()).arg(url.port()) : url.host();
    if (status >= 400)
        return QStringLiteral("O servidor %1 respondeu com o código HTTP %2").arg(servidor).arg(status);
    switch (erro) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("Conexão recusada por %1").arg(servidor);
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("O servidor %1 encerrou a conexão antes de responder").arg(servidor);
    case QNetworkReply::HostNotFoundError:
        return QString::fromUtf8("Servidor %1 não encontrado").arg(servidor);
    case QNetworkReply::SslHandshakeFailedError:
        return QString::fromUtf8("Falha na conexão segura (TLS) com %1").arg(servidor);
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return QString::fromUtf8("A rede não está disponível");
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return QString::fromUtf8("Falha no servidor proxy ao acessar %1").arg(servidor);
    default:
        return QString::fromUtf8("Falha na comunicação com %1").arg(servidor);
    }
}

} // namespace

TnHTTP::TnHTTP(const QString &contentType) : FContentType(contentType) {}

TnHTTP::~TnHTTP() = default;

void TnHTTP::SetTempoLimite(int ms)
{
    if (ms < 1)
        throw Exception(QStringLiteral("Tempo limite inválido: %1 ms.").arg(ms));
    FTempoLimite = ms;
}

void TnHTTP::AdicionarCertificadosConfiaveis(const QList<QSslCertificate> &certificados)
{
    FConfiaveis += certificados;
}

QString TnHTTP::Post(const QString &url, const QString &corpo, const QString &contentType)
{
    const QUrl endereco(url.trimmed(), QUrl::StrictMode);
    const QString esquema = endereco.scheme().toLower();
    if (!endereco.isValid() || (esquema != QLatin1String("http") && esquema != QLatin1String("https")) ||
        endereco.host().isEmpty())
        throw Exception(QString::fromUtf8("Endereço inválido: \"%1\". Informe o endereço completo, com http:// ou "
                                          "https:// e o servidor.")
                            .arg(TrechoCitado(url)));
    if (!FRede)
        FRede = std::make_unique<QNetworkAccessManager>();

    QNetworkRequest pedido(endereco);
    // A redirect is answered to the caller, never followed: what the request carries (a
    // service's token in its body) goes only to the address the installation configured.
    pedido.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    pedido.setHeader(QNetworkRequest::ContentTypeHeader, contentType.isEmpty() ? FContentType : contentType);
    if (esquema == QLatin1String("https")) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        if (!FConfiaveis.isEmpty())
            tls.addCaCertificates(FConfiaveis);
        pedido.setSslConfiguration(tls);
    }

    QNetworkReply *resposta = FRede->post(pedido, corpo.toUtf8());
    const std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> dono(resposta,
                                                                          [](QNetworkReply *r) { r->deleteLater(); });
    QEventLoop espera;
    QTimer silencio;
    silencio.setSingleShot(true);
    silencio.setInterval(FTempoLimite);
    bool esgotado = false;
    const auto ativo = [&silencio] { silencio.start(); };
    QObject::connect(resposta, &QNetworkReply::finished, &espera, &QEventLoop::quit);
    QObject::connect(resposta, &QNetworkReply::uploadProgress, &espera, ativo);
    QObject::connect(resposta, &QNetworkReply::downloadProgress, &espera, ativo);
    QObject::connect(resposta, &QNetworkReply::metaDataChanged, &espera, ativo);
    QObject::connect(&silencio, &QTimer::timeout, &espera, [&esgotado, resposta] {
        esgotado = true;
        resposta->abort();
    });
    silencio.start();
    if (!resposta->isFinished())
        espera.exec(QEventLoop::ExcludeUserInputEvents);
    silencio.stop();

    if (esgotado)
        throw Exception(QString::fromUtf8("O servidor %1 não respondeu em %2 s (%3)")
                            .arg(endereco.host(), FormatFloat(QStringLiteral("0.###"), FTempoLimite / 1000.0),
                                 resposta->errorString()));
    const int status = resposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) {
        const QUrl destino = resposta->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        const QString para = destino.isEmpty() ? QString::fromUtf8("um endereço não informado")
                                                : endereco.resolved(destino).toString();
        throw Exception(QString::fromUtf8("O servidor %1 respondeu com o código HTTP %2 e quis enviar a chamada para "
                                          "%3. O redirecionamento não foi seguido: a chamada só vai ao endereço "
                                          "configurado (%4).")
                            .arg(endereco.port() > 0 ? QStringLiteral("%1:%2").arg(endereco.host()).arg(endereco.port())
                                                     : endereco.host())
                            .arg(status)
                            .arg(para, endereco.toString()));
    }
    if (resposta->error() != QNetworkReply::NoError || status >= 400)
        throw Exception(Descricao(resposta->error(), status, endereco) + QStringLiteral(" (") +
                        resposta->errorString() + QStringLiteral(")"));
    QString texto = QString::fromUtf8(resposta->readAll());
    if (texto.startsWith(QChar(0xFEFF))) // a byte-order mark is no part of the text
        texto.remove(0, 1);
    return texto;
}
