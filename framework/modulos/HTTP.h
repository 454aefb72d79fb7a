#pragma once
// The framework's HTTP client: POST of a text body to a web service, answering the reply
// text. Headless (Qt Network, no widgets); plain http and https.
//
//     TnHTTP http(QStringLiteral("application/json"));
//     http.SetTempoLimite(30000);
//     const QString resposta = http.Post(url, corpo, QStringLiteral("application/json; charset=utf-8"));
//
// - The body goes out as its UTF-8 bytes, unchanged; the reply's bytes are decoded as UTF-8,
//   a sequence that is not UTF-8 becoming the replacement character (never a failure).
// - The call blocks its caller until the reply ends, a failure, or the time limit: while it
//   waits, the thread's pending events other than user input run (timers, repaints, the
//   progress frame), so the window stays alive but takes no clicks.
// - Time limit: the attempt fails when the server stays silent (no byte sent or received)
//   for that long, from the connection on. A server that keeps sending is never cut off.
// - Failures raise Exception with a Portuguese description of what happened followed by the
//   transport's own message in parentheses: connection refused, host not found, time
//   limit, TLS handshake, a reply with an HTTP status of 400 or more, and so on.
// - A redirect (status 3xx) is never followed: the attempt fails with a message naming the
//   address the server wanted to send it to, so the body reaches no other host.
// - A URL without the http or https scheme, or without a host, raises Exception before any
//   connection is tried.
// - TLS: the toolkit's default protocol set and the system's trusted certificates, plus
//   any certificate added with AdicionarCertificadosConfiaveis (a private authority, a
//   self-signed server). A certificate that is not trusted, or that does not name the
//   host, fails the handshake.
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <memory>

class QNetworkAccessManager;

class TnHTTP {
public:
    static constexpr int kTempoLimitePadrao = 30000; // milliseconds

    // `contentType`: the content type of a Post that gives none.
    explicit TnHTTP(const QString &contentType = QStringLiteral("application/json"));
    ~TnHTTP();
    TnHTTP(const TnHTTP &) = delete;
    TnHTTP &operator=(const TnHTTP &) = delete;

    // Silence, in milliseconds, after which an attempt fails. Values below 1 are refused.
    void SetTempoLimite(int ms);
    int TempoLimite() const { return FTempoLimite; }

    // Certificates trusted besides the system's, for https.
    void AdicionarCertificadosConfiaveis(const QList<QSslCertificate> &certificados);

    // Posts `corpo` to `url` with the content type given (empty: the client's) and answers
    // the reply text.
    QString Post(const QString &url, const QString &corpo, const QString &contentType = QString());

private:
    QString FContentType;
    int FTempoLimite = kTempoLimitePadrao;
    QList<QSslCertificate> FConfiaveis;
    std::unique_ptr<QNetworkAccessManager> FRede;
};
