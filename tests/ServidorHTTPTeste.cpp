#include "ServidorHTTPTeste.h"

#include "CertificadoTeste.h"

#include <QEventLoop>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QThread>
#include <QTimer>
#include <future>

QByteArray TnRequisicaoHTTP::Cabecalho(const QByteArray &nome) const
{
    for (const auto &c : Cabecalhos)
        if (c.first.compare(nome, Qt::CaseInsensitive) == 0)
            return c.second;
    return QByteArray();
}

namespace {

QByteArray TextoStatus(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

// One connection: reads a request, answers it and closes.
class Conexao : public QObject {
public:
    Conexao(QTcpSocket *socket, TnServidorHTTPTeste &servidor) : QObject(socket), FSocket(socket), FServidor(servidor)
    {
        connect(socket, &QTcpSocket::readyRead, this, [this] { Ler(); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    void Ler()
    {
        FBuffer += FSocket->readAll();
        if (FAtendida)
            return;
        const qsizetype fim = FBuffer.indexOf("\r\n\r\n");
        if (fim < 0)
            return;
        TnRequisicaoHTTP req;
        const QList<QByteArray> linhas = FBuffer.left(fim).split('\n');
        const QList<QByteArray> primeira = linhas.value(0).trimmed().split(' ');
        req.Metodo = primeira.value(0);
        req.Caminho = primeira.value(1);
        qsizetype tamanho = 0;
        for (qsizetype i = 1; i < linhas.size(); ++i) {
            const qsizetype doisPontos = linhas[i].indexOf(':');
            if (doisPontos < 0)
                continue;
            const QByteArray nome = linhas[i].left(doisPontos).trimmed();
            const QByteArray valor = linhas[i].mid(doisPontos + 1).trimmed();
            req.Cabecalhos.append({nome, valor});
            if (nome.compare("Content-Length", Qt::CaseInsensitive) == 0)
                tamanho = valor.toLongLong();
        }
        if (FBuffer.size() < fim + 4 + tamanho)
            return; // the body is still coming
        req.Corpo = FBuffer.mid(fim + 4, tamanho);
        FAtendida = true;
        const TnRespostaHTTP r = FServidor.Atender(req);
        if (r.Calar)
            return;
        if (r.Fechar) {
            FSocket->abort();
            FSocket->deleteLater();
            return;
        }
        QByteArray saida = "HTTP/1.1 " + QByteArray::number(r.Status) + ' ' + TextoStatus(r.Status) + "\r\n";
        saida += "Content-Type: " + r.ContentType + "\r\n";
        saida += "Content-Length: " + QByteArray::number(r.Corpo.size()) + "\r\n";
        for (const auto &c : r.Cabecalhos)
            saida += c.first + ": " + c.second + "\r\n";
        saida += "Connection: close\r\n\r\n";
        saida += r.Corpo;
        FSocket->write(saida);
        FSocket->disconnectFromHost();
    }

    QTcpSocket *FSocket;
    TnServidorHTTPTeste &FServidor;
    QByteArray FBuffer;
    bool FAtendida = false;
};

class Servidor : public QTcpServer {
public:
    Servidor(TnServidorHTTPTeste &dono, bool tls) : FDono(dono), FTLS(tls) {}

protected:
    void incomingConnection(qintptr descritor) override
    {
        if (!FTLS) {
            auto *s = new QTcpSocket(this);
            s->setSocketDescriptor(descritor);
            new Conexao(s, FDono);
            return;
        }
        auto *s = new QSslSocket(this);
        if (!s->setSocketDescriptor(descritor)) {
            delete s;
            return;
        }
        s->setLocalCertificate(TnServidorHTTPTeste::Certificado());
        s->setPrivateKey(QSslKey(QByteArray(kChaveTeste), QSsl::Rsa, QSsl::Pem));
        s->setPeerVerifyMode(QSslSocket::VerifyNone);
        // A refused handshake only ends this connection.
        connect(s, &QSslSocket::sslErrors, s, [s] { s->abort(); });
        new Conexao(s, FDono);
        s->startServerEncryption();
    }

private:
    TnServidorHTTPTeste &FDono;
    bool FTLS;
};

} // namespace

TnServidorHTTPTeste::TnServidorHTTPTeste(TModo modo) : FModo(modo)
{
    std::promise<quint16> porta;
    std::future<quint16> pronta = porta.get_future();
    FThread.reset(QThread::create([this, &porta] {
        Servidor servidor(*this, FModo == TLS);
        if (!servidor.listen(QHostAddress::LocalHost, 0)) {
            porta.set_value(0);
            return;
        }
        QEventLoop laco;
        // Known only once the loop runs, so that stopping the thread always finds it running.
        QTimer::singleShot(0, &laco, [&porta, &servidor] { porta.set_value(servidor.serverPort()); });
        laco.exec();
    }));
    FThread->start();
    FPorta = pronta.get();
}

TnServidorHTTPTeste::~TnServidorHTTPTeste()
{
    FThread->quit();
    FThread->wait();
}

QString TnServidorHTTPTeste::Url(const QString &caminho) const
{
    return (FModo == TLS ? QStringLiteral("https://localhost:%1") : QStringLiteral("http://127.0.0.1:%1")).arg(FPorta) +
           caminho;
}

void TnServidorHTTPTeste::Responder(const TnRespostaHTTP &r)
{
    QMutexLocker trava(&FTrava);
    FRoteiro.append(r);
}

void TnServidorHTTPTeste::ResponderSempre(const TnRespostaHTTP &r)
{
    QMutexLocker trava(&FTrava);
    FPadrao = r;
}

void TnServidorHTTPTeste::ResponderCom(std::function<TnRespostaHTTP(const TnRequisicaoHTTP &)> f)
{
    QMutexLocker trava(&FTrava);
    FFuncao = std::move(f);
}

QList<TnRequisicaoHTTP> TnServidorHTTPTeste::Requisicoes() const
{
    QMutexLocker trava(&FTrava);
    return FRequisicoes;
}

TnRespostaHTTP TnServidorHTTPTeste::Atender(const TnRequisicaoHTTP &req)
{
    QMutexLocker trava(&FTrava);
    FRequisicoes.append(req);
    if (FFuncao)
        return FFuncao(req);
    return FRoteiro.isEmpty() ? FPadrao : FRoteiro.takeFirst();
}

QSslCertificate TnServidorHTTPTeste::Certificado()
{
    return QSslCertificate(QByteArray(kCertificadoTeste), QSsl::Pem);
}
