#include "Bibliotecas.h"

#include "Excecoes.h"
#include "Modulos.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <memory>
#include <vector>

namespace {
struct Carga {
    QString Nome;
    std::unique_ptr<QLibrary> Lib;
};
std::vector<Carga> &Cargas()
{
    static std::vector<Carga> c;
    return c;
}

int Indice(const QString &nome)
{
    const auto &c = Cargas();
    for (size_t i = 0; i < c.size(); ++i)
        if (c[i].Nome.compare(nome, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

// Only a bare file name, so no library is ever taken from outside the program's folder.
void ChecarNome(const QString &nome)
{
    if (nome.isEmpty() || nome.contains('/') || nome.contains('\\') || nome.contains(QStringLiteral(".."))
        || nome.contains(QChar(0)))
        throw Exception(QStringLiteral("Nome de biblioteca inválido: \"%1\"").arg(nome));
}
} // namespace

QString TnBibliotecas::PastaPrograma()
{
    return QCoreApplication::applicationDirPath();
}

void TnBibliotecas::Carregar(const QString &nome)
{
    const QString n = nome.trimmed();
    ChecarNome(n);
    if (Indice(n) >= 0)
        return;
    auto lib = std::make_unique<QLibrary>(QDir(PastaPrograma()).filePath(n));
    // The library's units register their classes while it loads; they are noted as its own.
    Registro().IniciarCargaBiblioteca(n);
    const bool ok = lib->load();
    Registro().TerminarCargaBiblioteca();
    if (!ok) {
        // Whatever registered itself before the failure goes too.
        Registro().RemoverDaBiblioteca(n);
        throw Exception(QStringLiteral("Não foi possível carregar a biblioteca %1: %2").arg(n, lib->errorString()));
    }
    Cargas().push_back({n, std::move(lib)});
}

void TnBibliotecas::Descarregar(const QString &nome)
{
    const int i = Indice(nome.trimmed());
    if (i < 0)
        return;
    Carga c = std::move(Cargas()[size_t(i)]);
    Cargas().erase(Cargas().begin() + i);
    // Its classes first (modules destroyed, actions deleted), then the code.
    Registro().RemoverDaBiblioteca(c.Nome);
    c.Lib->unload();
}

void TnBibliotecas::DescarregarTodas()
{
    while (!Cargas().empty())
        Descarregar(Cargas().back().Nome);
}

bool TnBibliotecas::Carregada(const QString &nome)
{
    return Indice(nome.trimmed()) >= 0;
}

QStringList TnBibliotecas::Carregadas()
{
    QStringList r;
    for (const Carga &c : Cargas())
        r.append(c.Nome);
    return r;
}
