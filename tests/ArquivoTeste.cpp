// Text files written whole or not at all, and the padding of fixed-width fields.
#include "Arquivo.h"
#include "Excecoes.h"
#include "Valores.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

namespace {
QByteArray Ler(const QString &caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(sem arquivo)");
}
} // namespace

TEST(Arquivo, LinhasEmLatin1ComCRLFOuNada)
{
    QTemporaryDir pasta;
    const QString destino = pasta.filePath("saida");
    // No extension: the default one is added; every line, the last included, ends with CR LF.
    EXPECT_EQ(GravarConteudoEmArquivo(destino, "txt",
                                      [](TnLinhasArquivo &l) {
                                          l.Adicionar(QString::fromUtf8("AÇÚCAR"));
                                          l.Adicionar(u"");
                                      }),
              destino + ".txt");
    EXPECT_EQ(Ler(destino + ".txt"), QByteArray("A\xC7\xDA" "CAR\r\n\r\n"));
    EXPECT_EQ(NomeComExtensao("a.csv", ".txt"), "a.csv");
    EXPECT_EQ(NomeComExtensao(" b ", ".txt"), "b.txt");

    // A failure on the way (a character ISO-8859-1 has not, or the producer's own error)
    // leaves the file that was there, and no temporary file.
    for (int caso = 0; caso < 2; ++caso) {
        EXPECT_THROW(GravarConteudoEmArquivo(destino + ".txt", "txt",
                                             [caso](TnLinhasArquivo &l) {
                                                 for (int i = 0; i < 100000; ++i) // past the first block
                                                     l.Adicionar(u"linha boa");
                                                 if (caso == 0)
                                                     l.Adicionar(QString::fromUtf8("10 €"));
                                                 throw Exception("parou");
                                             }),
                     Exception);
        EXPECT_EQ(Ler(destino + ".txt"), QByteArray("A\xC7\xDA" "CAR\r\n\r\n"));
        EXPECT_EQ(QDir(pasta.path()).entryList(QDir::Files), QStringList({"saida.txt"}));
    }
    try {
        GravarConteudoEmArquivo(destino + ".txt", "", [](TnLinhasArquivo &l) { l.Adicionar(QString::fromUtf8("€")); });
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8("O caractere \"€\" não pode ser gravado num arquivo ISO-8859-1."));
    }

    // Where nothing can be written.
    EXPECT_THROW(GravarConteudoEmArquivo(" ", "txt", [](TnLinhasArquivo &) {}), Exception);
    EXPECT_THROW(GravarConteudoEmArquivo(pasta.path(), "", [](TnLinhasArquivo &) {}), Exception);
    QDir(pasta.path()).mkdir("somente_leitura");
    QFile::setPermissions(pasta.filePath("somente_leitura"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFile(pasta.filePath("somente_leitura/x")).open(QIODevice::WriteOnly)) { // not as root
        try {
            GravarConteudoEmArquivo(pasta.filePath("somente_leitura/x.txt"), "", [](TnLinhasArquivo &) {});
            ADD_FAILURE() << "gravou numa pasta somente de leitura";
        } catch (const Exception &e) {
            EXPECT_TRUE(e.Message().startsWith("Não foi possível gravar o arquivo")) << e.Message().toStdString();
        }
    }
}

TEST(Arquivo, LinhaEscritaNoLugarSoEntraQuandoFechada)
{
    // A writer that fails between opening and closing its line leaves nothing of it.
    QTemporaryDir pasta;
    const QString destino = pasta.filePath("lugar.txt");
    GravarConteudoEmArquivo(destino, "", [](TnLinhasArquivo &l) {
        std::memcpy(l.AbrirLinha(8), "AB......", 8);
        l.FecharLinha(2);
        std::memcpy(l.AbrirLinha(3), "XYZ", 3);
        l.Adicionar(u"C");
        std::memcpy(l.AbrirLinha(3), "DEF", 3);
        l.FecharLinha(3);
        l.AbrirLinha(5)[0] = 'Z';
    });
    EXPECT_EQ(Ler(destino), QByteArray("AB\r\nC\r\nDEF\r\n"));
}

TEST(Arquivo, PreencherDireitaNaoCorta)
{
    EXPECT_EQ(PreencherDireita("UN", 3), "UN ");
    EXPECT_EQ(PreencherDireita("", 3, u'0'), "000");
    EXPECT_EQ(PreencherDireita("CAIXA", 3), "CAIXA");
}
