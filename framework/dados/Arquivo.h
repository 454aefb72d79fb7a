#pragma once
// Text files the system writes (layout files for other systems): whole or not at all.
//
// The lines go, as they are produced, to a temporary file in the destination's folder; only
// when the last one is written does the temporary file take the destination's name,
// replacing a file of that name. A failure on the way (a line that cannot be encoded, an
// error of whoever produces the lines, a full disk) leaves the destination as it was and no
// temporary file behind. Memory does not grow with the file.
//
//     GravarConteudoEmArquivo(destino, "txt", [&](TnLinhasArquivo &linhas) {
//         for (...)
//             linhas.Adicionar(linha);
//     });
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <functional>

class QSaveFile;

// The lines of a file being written by GravarConteudoEmArquivo.
class TnLinhasArquivo {
public:
    TnLinhasArquivo(const TnLinhasArquivo &) = delete;
    TnLinhasArquivo &operator=(const TnLinhasArquivo &) = delete;

    // Adds `linha` in ISO-8859-1, one byte per character, followed by CR LF. A character
    // outside ISO-8859-1 is an EConvertError naming it; nothing of that line is added.
    void Adicionar(QStringView linha);
    // A line written in place, for writers that produce ISO-8859-1 bytes themselves: room
    // for `maximo` bytes at the end of the file's buffer; Fechar(n) keeps the first n of them
    // and adds CR LF. A line left unclosed (its writer failed) is dropped by the next
    // AbrirLinha, Adicionar or the end of the file.
    char *AbrirLinha(qsizetype maximo);
    void FecharLinha(qsizetype n);
    qint64 Linhas() const { return FLinhas; }

    // A character ISO-8859-1 cannot hold, or a null QChar when `texto` has none.
    static QChar ForaDoLatin1(QStringView texto);

private:
    friend QString GravarConteudoEmArquivo(const QString &, const QString &,
                                           const std::function<void(TnLinhasArquivo &)> &);
    explicit TnLinhasArquivo(QSaveFile &arquivo);
    void Descarregar();
    void DescartarAberta();

    QSaveFile &FArquivo;
    QByteArray FBuffer;
    qsizetype FAberta = -1; // where the line written in place starts, -1 without one
    qint64 FLinhas = 0;
};

// `arquivo` with `extensaoPadrao` ("txt" or ".txt") added when its name has no extension.
QString NomeComExtensao(const QString &arquivo, const QString &extensaoPadrao);

// Writes the lines `escrever` adds to `arquivo` (NomeComExtensao) and answers the path
// written. Raises Exception, in Portuguese, when the name is blank, the folder does not
// exist or cannot be written, or writing fails; what `escrever` raises passes on. After any
// failure the destination is as it was.
QString GravarConteudoEmArquivo(const QString &arquivo, const QString &extensaoPadrao,
                                const std::function<void(TnLinhasArquivo &)> &escrever);
