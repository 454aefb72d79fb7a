#include "InfoCadastro.h"

#include "Conexao.h"

#include <QHash>

namespace {
// Names found, for one connection: another connection (another database) starts over.
struct CacheUsuarios {
    const nDMConexao *Conexao = nullptr;
    QString Onde;
    QHash<int, QString> Nomes;
};
CacheUsuarios gCache;
} // namespace

QString NomeDoUsuario(int codigo)
{
    nDMConexao *con = nDMConexao::AtualOuNulo();
    if (!con)
        return QString();
    const QString onde = con->Descricao() + u'|' + con->Config().Esquema;
    if (gCache.Conexao != con || gCache.Onde != onde)
        gCache = {con, onde, {}};
    if (const auto it = gCache.Nomes.constFind(codigo); it != gCache.Nomes.constEnd())
        return *it;
    auto cmd = con->Preparar(QStringLiteral("select NOMEUSUARIO from USUARIO where CODIGOUSUARIO = ?"));
    cmd->BindInteiro(0, codigo);
    TnCursor &c = cmd->Abrir();
    if (!c.Proximo() || c.Nulo(0))
        return QString(); // not kept: the user may be registered later
    const QString nome = c.Texto(0).trimmed();
    gCache.Nomes.insert(codigo, nome);
    return nome;
}

void FormatarNomeDataCadastro(const TnField &campoUsuario, const TnField &campoDataHora, TnFormModulo *form)
{
    if (!form)
        return;
    QString texto;
    if (!campoUsuario.IsNull() && !campoDataHora.IsNull()) {
        const int codigo = campoUsuario.AsInteger();
        QString nome = NomeDoUsuario(codigo);
        if (nome.isEmpty())
            nome = QString::number(codigo);
        const QString quando = campoDataHora.DataType() == ftDate
                                   ? campoDataHora.AsDate().toString(QStringLiteral("dd/MM/yyyy"))
                                   : campoDataHora.AsDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        texto = QStringLiteral("Cadastrado por %1 em %2").arg(nome, quando);
    }
    form->SetTextoPainel(1, texto);
}
