#pragma once
// A local HTTP server for the cases that talk to a web service: it listens on the loopback
// interface, plain or TLS (the self-signed certificate of CertificadoTeste.h), in a thread
// of its own, records every request and answers from a script set by the case.
//
//     TnServidorHTTPTeste servidor;                       // or (TnServidorHTTPTeste::TLS)
//     servidor.Responder({.Corpo = R"({"d":"[]"})"});      // the next request's answer
//     servidor.ResponderSempre({.Status = 500});           // once the script is used up
//     http.Post(servidor.Url("/caminho"), ...);
//     servidor.Requisicoes()                               // what reached it, in order
//
// Every answer closes its connection ("Connection: close").
#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QSslCertificate>
#include <QString>
#include <functional>
#include <memory>

class QThread;

struct TnRequisicaoHTTP {
    QByteArray Metodo;   // "POST"
    QByteArray Caminho;  // "/servico/metodo", with its query when there is one
    QList<QPair<QByteArray, QByteArray>> Cabecalhos;
    QByteArray Corpo;
    // The header's value (name in any case); empty when absent.
    QByteArray Cabecalho(const QByteArray &nome) const;
};

struct TnRespostaHTTP {
    int Status = 200;
    QByteArray ContentType = "application/json; charset=utf-8";
    QByteArray Corpo{};
    QList<QPair<QByteArray, QByteArray>> Cabecalhos{}; // further headers ("Location", ...)
    bool Calar = false;  // answers nothing and keeps the connection open
    bool Fechar = false; // closes the connection without answering
};

class TnServidorHTTPTeste {
public:
    enum TModo { Simples, TLS };
    explicit TnServidorHTTPTeste(TModo modo = Simples);
    ~TnServidorHTTPTeste();
    TnServidorHTTPTeste(const TnServidorHTTPTeste &) = delete;
    TnServidorHTTPTeste &operator=(const TnServidorHTTPTeste &) = delete;

    quint16 Porta() const { return FPorta; }
    // "http://127.0.0.1:<port>" + caminho, or "https://localhost:<port>" + caminho.
    QString Url(const QString &caminho) const;

    // Queues the answer to the next request that has none yet.
    void Responder(const TnRespostaHTTP &r);
    // The answer once the queue is empty (by default: 200 with an empty body).
    void ResponderSempre(const TnRespostaHTTP &r);
    // The answer is computed from the request (instead of the queue and the default).
    void ResponderCom(std::function<TnRespostaHTTP(const TnRequisicaoHTTP &)> f);

    QList<TnRequisicaoHTTP> Requisicoes() const;

    // The certificate a client must trust to talk to the TLS server.
    static QSslCertificate Certificado();

    // Called from the server's thread.
    TnRespostaHTTP Atender(const TnRequisicaoHTTP &req);

private:
    TModo FModo;
    quint16 FPorta = 0;
    std::unique_ptr<QThread> FThread;
    mutable QMutex FTrava;
    QList<TnRequisicaoHTTP> FRequisicoes;
    QList<TnRespostaHTTP> FRoteiro;
    TnRespostaHTTP FPadrao;
    std::function<TnRespostaHTTP(const TnRequisicaoHTTP &)> FFuncao;
};
