#include "SynImportacao.h"

#include "ConfigPrograma.h"
#include "Conexao.h"
#include "Personalizacao.h"
#include "SuiteProduto.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <array>

namespace {

const TnDefProcesso kDeclaracao{
    .Caption = QString::fromUtf8("Importação SYN"),
    .CaptionParametros = QString::fromUtf8("Importação SYN"),
    // The active company (the selection's).
    .Parametros = {{.Alias = "pCodigoEmpresa", .Tipo = ntpInteiro, .ChaveDicionario = "CODIGOEMPRESA",
                    .Visivel = false}},
    .ArvoreMensagens = true,
};

const char kSecao[] = "SYN";
constexpr int kCampos = 7; // IDSYN;CODIGOESTAB;DATAINVENT;PRODUTO;MOTIVOINVENTARIO;QTDEESTOQUE;PRECOUNIT
constexpr qint64 kMaiorIdSyn = 999999999;

const char kIdSynDaChave[] = "select IDSYN from LCTOINV where CODIGOEMPRESA = ? and CODIGOESTAB = ? and "
                             "DATAINVENT = ? and CODIGOPRODUTO = ? and MOTIVOINVENTARIO = ?";

// A whole number of digits only (no sign: every field read so is positive) within bounds.
bool Inteiro(QStringView t, qint64 minimo, qint64 maximo, qint64 &v)
{
    if (t.isEmpty() || t.size() > 18)
        return false;
    v = 0;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v >= minimo && v <= maximo;
}

} // namespace

TnSynDPImportacaoBase::TnSynDPImportacaoBase() : TnDMPowerParam(kDeclaracao) {}

TnAction *TnSynDPImportacaoBase::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                  const TnEventoAcao &evento, const TnModulos &modulos)
{
    const int modulo = PegarModuloAtual();
    if (modulo < 0 || modulo >= int(modulos.size()) || !modulos.test(size_t(modulo)))
        return nullptr;
    TnAction *a = lista.Adicionar(classe, evento);
    a->SetCategory(QStringLiteral("70 Arquivos\\10 Varnel\\30 Integração SYN"));
    a->SetCaption(QString::fromUtf8("Importação SYN"));
    a->SetMenuIndex(10);
    return a;
}

void TnSynDPImportacaoBase::AposCriar()
{
    TnDMPowerParam::AposCriar();
    DataModuleCreate();
}

void TnSynDPImportacaoBase::DataModuleCreate()
{
    FGrupos.clear();
    FUltima = QDateTime();
    FImportados = FSemAlteracao = FRecusados = 0;
}

void TnSynDPImportacaoBase::ConfigurarGruposDeDadosInventario()
{
    if (!FGrupos.contains(QLatin1String(kGrupoInventario)))
        FGrupos.append(QString::fromLatin1(kGrupoInventario));
}

void TnSynDPImportacaoBase::ConfigurarWidgets()
{
    if (!Form())
        return;
    Form()->SetLarguraPainel(0, 280);
    Form()->SetLarguraPainel(1, 150);
    Form()->SetLarguraPainel(2, 150);
    AtualizarWidgets();
}

QStringList TnSynDPImportacaoBase::TextosWidgets() const
{
    return {QString::fromUtf8("Última importação: ") +
                (FUltima.isValid() ? FUltima.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QStringLiteral("nenhuma")),
            QStringLiteral("Importados: %1").arg(FImportados), QStringLiteral("Recusados: %1").arg(FRecusados)};
}

void TnSynDPImportacaoBase::AtualizarWidgets()
{
    if (!Form())
        return;
    const QStringList textos = TextosWidgets();
    for (int i = 0; i < textos.size(); ++i)
        Form()->SetTextoPainel(i, textos[i]);
}

QString TnSynDPImportacaoBase::Pasta()
{
    return TnConfigPrograma::Ler(QLatin1String(kSecao), QStringLiteral("Pasta"),
                                 QDir(TnPreferenciasUsuario::Pasta()).filePath(QStringLiteral("syn")));
}

QString TnSynDPImportacaoBase::Arquivo(const QString &grupo, int empresa)
{
    return QDir(Pasta()).filePath(QStringLiteral("%1_%2.txt").arg(grupo).arg(empresa));
}

void TnSynDPImportacaoBase::Executar()
{
    TnDMPowerParam::Executar();
    Importar();
}

void TnSynDPImportacaoBase::Reimportar()
{
    Mensagens().Limpar();
    Importar();
    AtualizarWidgets();
}

void TnSynDPImportacaoBase::Importar()
{
    qint64 empresa = 0;
    if (!TextoParaInteiro(Param(QStringLiteral("pCodigoEmpresa")).AsString(), empresa) || empresa <= 0)
        empresa = EmpresaAtiva();
    if (empresa <= 0)
        throw Exception(QString::fromUtf8("Nenhuma empresa está selecionada para a importação SYN."));
    FImportados = FSemAlteracao = FRecusados = 0;
    for (const QString &grupo : std::as_const(FGrupos))
        if (grupo == QLatin1String(kGrupoInventario))
            ImportarInventario(int(empresa));
    FUltima = QDateTime::currentDateTime();
    TnItemMensagem *raiz = Mensagens().Adicionar(QString::fromUtf8("Importação SYN concluída"), tmSucesso);
    Mensagens().Adicionar(QStringLiteral("Registros importados: %1").arg(FImportados), tmSucesso, raiz);
    Mensagens().Adicionar(QString::fromUtf8("Registros sem alteração: %1").arg(FSemAlteracao), tmSucesso, raiz);
    Mensagens().Adicionar(QStringLiteral("Registros recusados: %1").arg(FRecusados), tmSucesso, raiz);
}

void TnSynDPImportacaoBase::Recusar(int linha, const QString &idSyn, const QString &motivo)
{
    ++FRecusados;
    if (FListarRecusados)
        Mensagens().Adicionar(QString::fromUtf8("Registro da linha %1 (IDSYN %2) recusado: %3.")
                                  .arg(linha)
                                  .arg(idSyn.isEmpty() ? QStringLiteral("?") : TrechoCitado(idSyn), motivo),
                              tmAviso);
}

void TnSynDPImportacaoBase::ImportarInventario(int empresa)
{
    QFile arquivo(Arquivo(QString::fromLatin1(kGrupoInventario), empresa));
    if (!arquivo.exists()) {
        Mensagens().Adicionar(QString::fromUtf8("Nenhum registro a importar: %1 não existe.").arg(arquivo.fileName()),
                              tmInformacao);
        return;
    }
    if (!arquivo.open(QIODevice::ReadOnly))
        throw Exception(QString::fromUtf8("Não foi possível ler %1: %2").arg(arquivo.fileName(), arquivo.errorString()));
    const QString texto = QString::fromUtf8(arquivo.readAll());
    arquivo.close();

    nDMConexao &con = nDMConexao::Atual();
    // The company's branches, and its products preloaded for finding them in bulk.
    QSet<qint64> estabs;
    {
        auto cmd = con.Preparar(QStringLiteral("select CODIGOESTAB from ESTAB where CODIGOEMPRESA = ?"));
        cmd->BindInteiro(0, empresa);
        TnCursor &c = cmd->Abrir();
        while (c.Proximo())
            estabs.insert(c.Inteiro(0));
    }
    TnUtilProduto produtos;
    produtos.SetCodigoEmpresa(empresa);
    produtos.Precarregar();
    try {
        Gravar(texto, empresa, estabs, produtos);
    } catch (const Exception &e) {
        Mensagens().Adicionar(QString::fromUtf8("Erro ao gravar os registros SYN: %1").arg(e.Message()), tmErro);
        Mensagens().Adicionar(QString::fromUtf8("Nenhum registro foi importado."), tmAviso);
        throw;
    }
}

void TnSynDPImportacaoBase::Gravar(const QString &texto, int empresa, const QSet<qint64> &estabs,
                                   TnUtilProduto &produtos)
{
    nDMConexao &con = nDMConexao::Atual();
    const auto progresso = CriarProgresso(this);
    progresso->MostrarSimples(QString::fromUtf8("Importando os lançamentos do inventário do SYN..."));
    progresso->ConfigurarProgressoTotal(texto.size());
    const QDateTime agora = QDateTime::currentDateTime();
    const int usuario = CodigoUsuarioConectado();

    TnTransacao transacao(1, con);
    auto upsert = con.Preparar(QString::fromLatin1(kUpsertInventario));
    auto idDaChave = con.Preparar(QString::fromLatin1(kIdSynDaChave));
    // The upserts go in batches (on the server without a round trip per record); a record
    // that changed nothing is looked at once its batch is answered. Refusals are reported
    // in the order of the lines: a batch is answered before a refusal is.
    struct Pendente {
        int Linha;
        QStringView IdSyn;
        qint64 Estab, Produto, Motivo;
        QDate Data;
    };
    std::vector<Pendente> pendentes;
    const std::unique_ptr<TnLote> lote = con.NovoLote();
    const auto concluir = [&] {
        if (pendentes.empty())
            return;
        int falhou = -1;
        const std::vector<int> alteradas = lote->Concluir(falhou);
        for (size_t k = 0; k < pendentes.size(); ++k) {
            if (alteradas[k] > 0) {
                ++FImportados;
                continue;
            }
            // Nothing changed: the same values, or an entry that did not come from SYN.
            const Pendente &p = pendentes[k];
            idDaChave->BindInteiro(0, empresa);
            idDaChave->BindInteiro(1, p.Estab);
            idDaChave->BindData(2, p.Data);
            idDaChave->BindInteiro(3, p.Produto);
            idDaChave->BindInteiro(4, p.Motivo);
            TnCursor &c = idDaChave->Abrir();
            const bool doSyn = c.Proximo() && !c.Nulo(0);
            idDaChave->Fechar();
            if (doSyn)
                ++FSemAlteracao;
            else
                Recusar(p.Linha, p.IdSyn.toString(),
                        QString::fromUtf8("já existe um lançamento desta chave que não veio do SYN"));
        }
        pendentes.clear();
    };
    const auto recusar = [&](int linha, const QString &idSyn, const QString &motivo) {
        concluir();
        Recusar(linha, idSyn, motivo);
    };
    qsizetype inicio = 0;
    for (int linha = 1; inicio < texto.size(); ++linha) {
        qsizetype fim = texto.indexOf(u'\n', inicio);
        if (fim < 0)
            fim = texto.size();
        const QStringView registro = QStringView(texto).mid(inicio, fim - inicio).trimmed();
        inicio = fim + 1;
        if (linha % 1024 == 0)
            progresso->SetProgressoTotal(inicio);
        if (registro.isEmpty() || registro.startsWith(u'#'))
            continue;
        // The fields, without copies: a record is read a hundred thousand times over.
        std::array<QStringView, kCampos> campos;
        int n = 0;
        for (qsizetype p = 0; n <= kCampos;) {
            const qsizetype q = registro.indexOf(u';', p);
            if (n < kCampos)
                campos[size_t(n)] = registro.mid(p, (q < 0 ? registro.size() : q) - p).trimmed();
            ++n;
            if (q < 0)
                break;
            p = q + 1;
        }
        const auto idTexto = [&campos] { return campos[0].toString(); };
        const auto texto = [](QStringView v) { return QString::fromRawData(v.data(), v.size()); };
        if (n != kCampos) {
            recusar(linha, idTexto(), QStringLiteral("o registro deve ter %1 campos separados por \";\"").arg(kCampos));
            continue;
        }
        qint64 idSyn = 0, estab = 0, motivo = 0;
        QDate data;
        double qtde = 0, preco = 0;
        if (!Inteiro(campos[0], 1, kMaiorIdSyn, idSyn)) {
            recusar(linha, idTexto(), QString::fromUtf8("IDSYN não é um número de 1 a %1").arg(kMaiorIdSyn));
            continue;
        }
        if (!Inteiro(campos[1], 1, 32767, estab) || !estabs.contains(estab)) {
            recusar(linha, idTexto(),
                    QString::fromUtf8("estabelecimento \"%1\" não cadastrado na empresa %2")
                        .arg(TrechoCitado(campos[1]))
                        .arg(empresa));
            continue;
        }
        if (!TextoParaData(campos[2], data)) {
            recusar(linha, idTexto(), QString::fromUtf8("data \"%1\" inválida").arg(TrechoCitado(campos[2])));
            continue;
        }
        if (!produtos.EncontrarProduto(texto(campos[3]))) {
            recusar(linha, idTexto(),
                    QString::fromUtf8("produto \"%1\" não cadastrado na empresa %2").arg(TrechoCitado(campos[3])).arg(empresa));
            continue;
        }
        if (!Inteiro(campos[4], 1, 6, motivo)) {
            recusar(linha, idTexto(), QString::fromUtf8("motivo \"%1\" não é de 1 a 6").arg(TrechoCitado(campos[4])));
            continue;
        }
        if (!TextoParaNumero(texto(campos[5]), qtde) || qtde <= 0) {
            recusar(linha, idTexto(),
                    QString::fromUtf8("quantidade \"%1\" não é um número maior que zero").arg(TrechoCitado(campos[5])));
            continue;
        }
        if (!TextoParaNumero(texto(campos[6]), preco) || preco <= 0) {
            recusar(linha, idTexto(),
                    QString::fromUtf8("custo unitário \"%1\" não é um número maior que zero").arg(TrechoCitado(campos[6])));
            continue;
        }
        const qint64 produto = produtos.GetCodigoProduto();
        try {
            upsert->BindInteiro(0, empresa);
            upsert->BindInteiro(1, estab);
            upsert->BindData(2, data);
            upsert->BindInteiro(3, produto);
            upsert->BindInteiro(4, motivo);
            upsert->BindReal(5, qtde);
            upsert->BindReal(6, preco);
            upsert->BindDataHora(7, agora);
            upsert->BindInteiro(8, usuario);
            upsert->BindInteiro(9, idSyn);
        } catch (const EnField &e) {
            // A value its column does not take (the statement checks each one): the record
            // is refused, as one that does not read.
            QString razao = e.Message();
            if (razao.endsWith(u'.'))
                razao.chop(1);
            recusar(linha, idTexto(), razao);
            continue;
        }
        lote->Adicionar(*upsert);
        pendentes.push_back({linha, campos[0], estab, produto, motivo, data});
        if (pendentes.size() >= 5000)
            concluir();
    }
    concluir();
    upsert.reset();
    idDaChave.reset();
    transacao.Commit();
}
