// Program entry. For now it opens the database named by the settings file (the embedded
// file by default), brings its schema up to date and says where it is.
#include "Conexao.h"
#include "ConversaoBanco.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Varnel");
    QCoreApplication::setApplicationName("INV");
    QTextStream out(stdout);
    try {
        nDMConexao con(TnConfigBanco::Ler(TnConfigBanco::ArquivoPadrao()));
        nDMConexao::DefinirAtual(&con);
        const int versao = ConverterBanco(con);
        out << "Banco de dados: " << con.Descricao() << " (versão " << versao << ")" << Qt::endl;
        nDMConexao::DefinirAtual(nullptr);
    } catch (const Exception &e) {
        QTextStream(stderr) << e.Message() << Qt::endl;
        return 1;
    }
    return 0;
}
