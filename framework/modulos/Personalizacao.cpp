#include "Personalizacao.h"

#include "Conexao.h"
#include "Excecoes.h"
#include "TextoProprio.h"
#include "Valores.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QtDebug>

namespace {
int gUsuario = 0;
QString gNomeUsuario;
QString gPastaPreferencias;

// Characters a section or key of the INI file cannot hold.
const QString &Proibidos()
{
    static const QString proibidos = QStringLiteral("/\\=[]\r\n");
    return proibidos;
}

// A section or key of the INI file: a plain name.
void ChecarNome(const QString &nome, const char *oque)
{
    bool ok = !nome.trimmed().isEmpty();
    for (QChar c : nome)
        ok = ok && !Proibidos().contains(c);
    if (!ok)
        throw Exception(QStringLiteral("%1 inválida nas preferências do usuário: \"%2\".")
                            .arg(QString::fromUtf8(oque), TrechoCitado(nome)));
}

QString CaminhoChave(const QString &secao, const QString &chave)
{
    ChecarNome(secao, "Seção");
    ChecarNome(chave, "Chave");
    return secao.trimmed() + u'/' + chave.trimmed();
}
} // namespace

int CodigoUsuarioConectado() { return gUsuario; }
QString NomeUsuarioConectado() { return gNomeUsuario; }

void DefinirUsuarioConectado(int codigo, const QString &nome)
{
    gUsuario = codigo;
    gNomeUsuario = TextoProprio(nome);
}

// ---- nDMPersonalizacao ----------------------------------------------------------------

QDate nDMPersonalizacao::GetPermiDataFinal()
{
    nDMConexao *con = nDMConexao::AtualOuNulo();
    return con ? GetPermiDataFinal(CodigoUsuarioConectado(), *con) : SemLimite();
}

QDate nDMPersonalizacao::GetPermiDataFinal(int usuario, nDMConexao &con)
{
    // Asked before every row a register saves: prepared once per connection.
    auto cmd = con.PrepararGuardado(QStringLiteral("select DATAFINALPERMITIDA from NPERSONALIZACAO where CODIGOUSUARIO = ?"));
    cmd->BindInteiro(0, usuario);
    TnCursor &c = cmd->Abrir();
    if (!c.Proximo() || c.Nulo(0))
        return SemLimite();
    const QDate d = c.Data(0);
    return d.isValid() ? d : SemLimite();
}

TnConfiguracoesFw nDMPersonalizacao::GetConfiguracoes()
{
    nDMConexao *con = nDMConexao::AtualOuNulo();
    return con ? GetConfiguracoes(*con) : TnConfiguracoesFw();
}

TnConfiguracoesFw nDMPersonalizacao::GetConfiguracoes(nDMConexao &con)
{
    auto cmd = con.Preparar(QStringLiteral("select VALOR from NCONFIGURACAO where CHAVE = ?"));
    cmd->BindTexto(0, QStringLiteral("CONFIGURACOES"));
    TnCursor &c = cmd->Abrir();
    if (!c.Proximo() || c.Nulo(0))
        return {};
    bool ok = false;
    const qulonglong bits = c.Texto(0).trimmed().toULongLong(&ok);
    if (!ok) {
        qWarning().noquote() << "Configurações do framework ilegíveis, tomadas como desligadas:" << c.Texto(0);
        return {};
    }
    return TnConfiguracoesFw(bits);
}

bool IsUseUlmar() { return nDMPersonalizacao::GetConfiguracoes().test(cfgUsaUlmar); }

namespace {
int gModuloAtual = 3;
}

int PegarModuloAtual() { return gModuloAtual; }
void DefinirModuloAtual(int modulo) { gModuloAtual = modulo; }

// ---- TnPreferenciasUsuario ------------------------------------------------------------

QString TnPreferenciasUsuario::Pasta()
{
    return gPastaPreferencias.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                                        : gPastaPreferencias;
}

void TnPreferenciasUsuario::DefinirPasta(const QString &pasta) { gPastaPreferencias = TextoProprio(pasta); }

QString TnPreferenciasUsuario::Arquivo(int usuario)
{
    return QDir(Pasta()).filePath(QStringLiteral("usuario_%1.ini").arg(usuario));
}

QString TnPreferenciasUsuario::Ler(const QString &secao, const QString &chave, const QString &padrao)
{
    const QString caminho = CaminhoChave(secao, chave);
    QSettings s(Arquivo(), QSettings::IniFormat);
    return s.value(caminho, padrao).toString();
}

void TnPreferenciasUsuario::Gravar(const QString &secao, const QString &chave, const QString &valor)
{
    const QString caminho = CaminhoChave(secao, chave);
    const QString arquivo = Arquivo();
    if (!QDir().mkpath(Pasta()))
        throw Exception(QStringLiteral("Não foi possível criar a pasta das preferências do usuário: %1").arg(Pasta()));
    QSettings s(arquivo, QSettings::IniFormat);
    s.setValue(caminho, valor);
    s.sync();
    if (s.status() != QSettings::NoError)
        throw Exception(QStringLiteral("Não foi possível gravar as preferências do usuário em %1.").arg(arquivo));
}

std::unique_ptr<QSettings> CriarINIModuloCfg()
{
    if (!QDir().mkpath(TnPreferenciasUsuario::Pasta()))
        throw Exception(QStringLiteral("Não foi possível criar a pasta das preferências do usuário: %1")
                            .arg(TnPreferenciasUsuario::Pasta()));
    return std::make_unique<QSettings>(TnPreferenciasUsuario::Arquivo(), QSettings::IniFormat);
}

QString PegarSectionUsuario(const QString &nomeForm)
{
    ChecarNome(nomeForm, "Seção");
    QString usuario = NomeUsuarioConectado().trimmed().toUpper();
    if (usuario.isEmpty())
        usuario = QString::number(CodigoUsuarioConectado());
    for (QChar &c : usuario)
        if (Proibidos().contains(c))
            c = u'_';
    return nomeForm.trimmed() + u'_' + usuario;
}
