#include "Arquivo.h"

#include "Excecoes.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qsizetype kBloco = 64 * 1024;

QString Motivo(const QSaveFile &f)
{
    switch (f.error()) {
    case QFileDevice::PermissionsError: return QStringLiteral("sem permissão para gravar na pasta");
    case QFileDevice::ResourceError: return QStringLiteral("falta espaço no disco");
    case QFileDevice::WriteError: return QStringLiteral("erro ao gravar no disco");
    default: return QStringLiteral("a pasta não permite criar o arquivo");
    }
}

[[noreturn]] void Falhar(const QString &caminho, const QSaveFile &f)
{
    throw Exception(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.")
                        .arg(QDir::toNativeSeparators(caminho), Motivo(f)));
}

} // namespace

TnLinhasArquivo::TnLinhasArquivo(QSaveFile &arquivo) : FArquivo(arquivo) { FBuffer.reserve(kBloco + 1024); }

QChar TnLinhasArquivo::ForaDoLatin1(QStringView texto)
{
    for (QChar c : texto)
        if (c.unicode() > 0xFF)
            return c;
    return QChar();
}

void TnLinhasArquivo::DescartarAberta()
{
    if (FAberta < 0)
        return;
    FBuffer.resize(FAberta);
    FAberta = -1;
}

char *TnLinhasArquivo::AbrirLinha(qsizetype maximo)
{
    DescartarAberta();
    FAberta = FBuffer.size();
    FBuffer.resize(FAberta + maximo + 2);
    return FBuffer.data() + FAberta;
}

void TnLinhasArquivo::FecharLinha(qsizetype n)
{
    Q_ASSERT(FAberta >= 0 && FAberta + n + 2 <= FBuffer.size());
    char *p = FBuffer.data() + FAberta + n;
    p[0] = '\r';
    p[1] = '\n';
    FBuffer.resize(FAberta + n + 2);
    FAberta = -1;
    ++FLinhas;
    if (FBuffer.size() >= kBloco)
        Descarregar();
}

void TnLinhasArquivo::Adicionar(QStringView linha)
{
    DescartarAberta();
    const qsizetype inicio = FBuffer.size();
    FBuffer.resize(inicio + linha.size() + 2);
    char *p = FBuffer.data() + inicio;
    for (QChar c : linha) {
        if (c.unicode() > 0xFF) {
            FBuffer.resize(inicio);
            throw EConvertError(
                QStringLiteral("O caractere \"%1\" não pode ser gravado num arquivo ISO-8859-1.").arg(c));
        }
        *p++ = char(c.unicode());
    }
    *p++ = '\r';
    *p = '\n';
    ++FLinhas;
    if (FBuffer.size() >= kBloco)
        Descarregar();
}

void TnLinhasArquivo::Descarregar()
{
    DescartarAberta();
    if (FBuffer.isEmpty())
        return;
    if (FArquivo.write(FBuffer) != FBuffer.size())
        Falhar(FArquivo.fileName(), FArquivo);
    FBuffer.clear();
}

QString NomeComExtensao(const QString &arquivo, const QString &extensaoPadrao)
{
    const QString nome = arquivo.trimmed();
    if (nome.isEmpty() || !QFileInfo(nome).suffix().isEmpty() || extensaoPadrao.isEmpty())
        return nome;
    return nome + (extensaoPadrao.startsWith(u'.') ? extensaoPadrao : u'.' + extensaoPadrao);
}

QString GravarConteudoEmArquivo(const QString &arquivo, const QString &extensaoPadrao,
                                const std::function<void(TnLinhasArquivo &)> &escrever)
{
    const QString caminho = NomeComExtensao(arquivo, extensaoPadrao);
    if (caminho.isEmpty())
        throw Exception(QStringLiteral("Informe o nome do arquivo a gravar."));
    const QFileInfo info(caminho);
    if (!info.absoluteDir().exists())
        throw Exception(QStringLiteral("A pasta \"%1\" não existe.")
                            .arg(QDir::toNativeSeparators(info.absolutePath())));
    if (info.isDir())
        throw Exception(QStringLiteral("\"%1\" é uma pasta, não um arquivo.").arg(QDir::toNativeSeparators(caminho)));
    // The temporary file is removed when this object goes without commit (any failure).
    QSaveFile f(caminho);
    if (!f.open(QIODevice::WriteOnly))
        Falhar(caminho, f);
    TnLinhasArquivo linhas(f);
    escrever(linhas);
    linhas.Descarregar();
    if (!f.commit())
        Falhar(caminho, f);
    return caminho;
}
