#include "OrvoDPReceberLancamentosInventario_U.h"

#include "Acoes.h"
#include "ConfigPrograma.h"
#include "Gravador.h"
#include "HTTP.h"
#include "Literais.h"
#include "ImpFabrica.h"
#include "Personalizacao.h"
#include "SQLDataSet.h"
#include "SuiteProduto.h"
#include "Valores.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringMatcher>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace {

const TnDefProcesso kDeclaracao{
    .Caption = QString::fromUtf8("Integração Inventário Pequenas Empresas"),
    .CaptionParametros = QString::fromUtf8("Integração Inventário"),
    .Parametros =
        {
            // The active company (the selection's); checked by the run.
            {.Alias = "pCodigoEmpresa", .Tipo = ntpInteiro, .ChaveDicionario = "CODIGOEMPRESA", .Requerido = true,
             .Visivel = false},
            {.Alias = "pCodigoEstab", .Tipo = ntpLookup, .ClasseLookup = "UlmarDCEstab", .ChaveDicionario = "CODIGOESTAB",
             .Requerido = true},
            {.Alias = "pCompetencia", .Caption = QString::fromUtf8("Competência"), .Tipo = ntpData,
             .ChaveDicionario = "DICDATAMESANO", .Requerido = true},
            {.Alias = "pCodigoGrupoProduto", .Caption = "Conta\\Grupo", .Tipo = ntpLookup,
             .ClasseLookup = "UlmarDCGrupoProduto", .ChaveDicionario = "CODIGOGRUPOPRODUTO", .Requerido = true},
            {.Alias = "pAtualizarCadastroProduto", .Caption = "Atualizar Cadastro Produtos", .Tipo = ntpCombo,
             .ChaveDicionario = "DICSIMNAO", .Padrao = "0", .Requerido = true,
             .ListaValores = {"Sim=1", QString::fromUtf8("Não=0")}},
            {.Alias = "pTipoProcessamento", .Caption = "Tipo de Processamento", .Tipo = ntpCombo, .Padrao = "2",
             .Requerido = true,
             .ListaValores = {QString::fromUtf8("Importar Somente Inventários não Importados=2"),
                              QString::fromUtf8("Excluir e Importar Novamente Iventários Importados=3")},
             .Hint = "Informe o tipo de processamento"},
        },
    .ArvoreMensagens = true,
};

const char kSecao[] = "IntegracaoInventario";
const char kMarcadorTestes[] = "ImpPEInvTestes.txt";
const char kCaminho[] = "/IntegracaoVarnelTributario/ws_IntegracaoVarnelTributario.asmx/GetInventario";
constexpr int kTentativas = 2;

// Sizes of the product columns an item fills.
constexpr int kTamReferencia = 60, kTamDescricao = 120, kTamNCM = 12, kTamUnidade = 10;

QString Config(const char *chave, const QString &padrao = QString())
{
    return TnConfigPrograma::Ler(QLatin1String(kSecao), QLatin1String(chave), padrao);
}

// A parameter's value as a whole number; 0 when it is none.
qint64 Inteiro(const TnpqParamItem &p)
{
    qint64 v = 0;
    return TextoParaInteiro(p.AsString(), v) ? v : 0;
}

// The refusal marker, letter case and blanks around the colon ignored.
const QRegularExpression &MarcaRecusa()
{
    static const QRegularExpression re(QStringLiteral(R"("Sucesso"\s*:\s*"False")"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// Whether a text may hold a refusal at all: a quick look before any closer one. The reply
// of a large inventory runs to megabytes and is looked at twice: a skipping search, not a
// character-by-character comparison.
bool PodeTerRecusa(const QString &texto)
{
    static const QStringMatcher sucesso(u"sucesso", Qt::CaseInsensitive);
    return sucesso.indexIn(texto) >= 0;
}

int Hex(char16_t c)
{
    return c >= u'0' && c <= u'9' ? c - u'0' : c >= u'a' && c <= u'f' ? c - u'a' + 10 : c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
}

// The usual reply, {"d":"..."} and nothing else, read without building a document: the text
// of "d" decoded. False for any other shape, or an escape this reading leaves to the general
// parser (which then reads the reply, or says what is wrong with it).
bool LerSoD(QStringView t, QString &d)
{
    qsizetype i = 0;
    const auto brancos = [&] {
        while (i < t.size() && (t[i] == u' ' || t[i] == u'\t' || t[i] == u'\n' || t[i] == u'\r'))
            ++i;
    };
    const auto ler = [&](QStringView s) {
        brancos();
        if (!t.mid(i).startsWith(s))
            return false;
        i += s.size();
        return true;
    };
    if (!ler(u"{") || !ler(u"\"d\"") || !ler(u":") || !ler(u"\""))
        return false;
    // Decoded straight into a buffer as long as the rest of the reply (the decoded text is
    // never longer): the inner list has an escaped quote around every name and text, and an
    // append per run between them would cost more than the copying itself.
    QString r(t.size() - i, Qt::Uninitialized);
    char16_t *saida = reinterpret_cast<char16_t *>(r.data());
    const char16_t *const texto = t.utf16();
    while (i < t.size()) {
        qsizetype fim = i;
        while (fim < t.size() && texto[fim] != u'"' && texto[fim] != u'\\' && texto[fim] >= 0x20)
            ++fim;
        saida = std::copy(texto + i, texto + fim, saida);
        i = fim;
        if (i >= t.size() || texto[i] < 0x20)
            return false;
        if (texto[i] == u'"') {
            ++i;
            if (!ler(u"}"))
                return false;
            brancos();
            if (i != t.size())
                return false;
            r.truncate(saida - reinterpret_cast<const char16_t *>(r.constData()));
            d = std::move(r);
            return true;
        }
        if (++i >= t.size())
            return false;
        const char16_t e = texto[i++];
        switch (e) {
        case u'"': *saida++ = u'"'; break;
        case u'\\': *saida++ = u'\\'; break;
        case u'/': *saida++ = u'/'; break;
        case u'b': *saida++ = u'\b'; break;
        case u'f': *saida++ = u'\f'; break;
        case u'n': *saida++ = u'\n'; break;
        case u'r': *saida++ = u'\r'; break;
        case u't': *saida++ = u'\t'; break;
        case u'u': {
            char16_t c = 0;
            for (qsizetype k = 0; k < 4; ++k, ++i) {
                const int digito = i < t.size() ? Hex(texto[i]) : -1;
                if (digito < 0)
                    return false;
                c = char16_t(c * 16 + digito);
            }
            if (QChar::isSurrogate(c)) // pairs and strays: the general parser's business
                return false;
            *saida++ = c;
            break;
        }
        default: return false;
        }
    }
    return false;
}

// An object that says "Sucesso": "False" (or false) under any letter case of the name.
bool ObjetoRecusa(const QJsonObject &o)
{
    for (auto it = o.constBegin(); it != o.constEnd(); ++it)
        if (it.key().compare(QLatin1String("Sucesso"), Qt::CaseInsensitive) == 0)
            return (it.value().isBool() && !it.value().toBool()) ||
                   it.value().toString().compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
    return false;
}

// A member of an item as text: a text trimmed, a number in plain decimals, else empty.
QString Texto(const QJsonObject &item, const char *nome)
{
    const QJsonValue v = item.value(QLatin1String(nome));
    if (v.isString())
        return v.toString().trimmed();
    if (v.isDouble())
        return NumeroParaTexto(v.toDouble());
    return QString();
}

// A member of an item as a number: a JSON number or a text such as "10.5" or "10,5".
bool Numero(const QJsonObject &item, const char *nome, double &valor)
{
    const QJsonValue v = item.value(QLatin1String(nome));
    if (v.isDouble()) {
        valor = v.toDouble();
        return std::isfinite(valor);
    }
    return v.isString() && TextoParaNumero(v.toString(), valor);
}

// The item type: a whole number that a small-integer column holds, else 0.
int TipoItem(const QJsonObject &item)
{
    const QJsonValue v = item.value(QLatin1String("TIPO_ITEM"));
    qint64 n = 0;
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (d != std::trunc(d) || std::abs(d) > 32767)
            return 0;
        n = qint64(d);
    } else if (!v.isString() || !TextoParaInteiro(v.toString(), n)) {
        return 0;
    }
    return n >= -32768 && n <= 32767 ? int(n) : 0;
}

QString Quantia(double v) { return FormatFloat(QStringLiteral("#,##0.######"), v); }

} // namespace

TOrvoDPReceberLancamentosInventario::TOrvoDPReceberLancamentosInventario()
    : TnDMPowerParam(kDeclaracao), FGravador(std::make_unique<TGravador>()), FImpFabrica(std::make_unique<TImpFabrica>())
{
}

TOrvoDPReceberLancamentosInventario::~TOrvoDPReceberLancamentosInventario() = default;

void TOrvoDPReceberLancamentosInventario::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                           const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "70 Arquivos\\10 Varnel\\20 Pequenas Empresas", .Caption = "Integração Inventário",
                .Indice = 10}},
              classe, lista, evento, modulos);
}

void TOrvoDPReceberLancamentosInventario::Executar()
{
    TnDMPowerParam::Executar();
    LerParametros();
    PrepararIntegracao();
    ReceberInventario();
    GravarLancamentos();
}

// ---- parameters and preparation

void TOrvoDPReceberLancamentosInventario::LerParametros()
{
    FCodigoEmpresa = int(Inteiro(Param(QStringLiteral("pCodigoEmpresa"))));
    if (FCodigoEmpresa <= 0)
        throw EnParam(QStringLiteral("pCodigoEmpresa"), QStringLiteral("Informe a empresa."));
    FCodigoEstab = int(Inteiro(Param(QStringLiteral("pCodigoEstab"))));
    if (FCodigoEstab <= 0)
        throw EnParam(QStringLiteral("pCodigoEstab"), QStringLiteral("Informe o estabelecimento."));
    const QDate mes = Param(QStringLiteral("pCompetencia")).AsDataFinal();
    if (!mes.isValid())
        throw EnParam(QStringLiteral("pCompetencia"),
                      QString::fromUtf8("Competência inválida. Informe o mês e o ano no formato mm/aaaa."));
    FDataInventario = UltimoDiaDoMes(mes);
    FCodigoGrupoProduto = int(Inteiro(Param(QStringLiteral("pCodigoGrupoProduto"))));
    if (!nDMSQLDataSet::PegarTemRegistro(QStringLiteral("GRUPOPRODUTO"), QStringLiteral("CODIGOGRUPOPRODUTO"),
                                         QStringLiteral("CODIGOEMPRESA = %1 and CODIGOGRUPOPRODUTO = %2")
                                             .arg(FCodigoEmpresa)
                                             .arg(FCodigoGrupoProduto)))
        throw EnParam(QStringLiteral("pCodigoGrupoProduto"),
                      QString::fromUtf8("O grupo de produto \"%1\" não está cadastrado na empresa %2.")
                          .arg(TrechoCitado(Param(QStringLiteral("pCodigoGrupoProduto")).AsString()))
                          .arg(FCodigoEmpresa));
    FAtualizarCadastroProdutos = Param(QStringLiteral("pAtualizarCadastroProduto")).AsString().trimmed() ==
                                 QLatin1String("1");
    qint64 tipo = 3;
    if (!TextoParaInteiro(Param(QStringLiteral("pTipoProcessamento")).AsString(), tipo))
        tipo = 3;
    FTipoProcessamento = int(tipo);
}

void TOrvoDPReceberLancamentosInventario::PrepararIntegracao()
{
    FQtdeProdutosAtualizados = FQtdeProdutosImportados = FQtdeInventariosImportados = 0;
    FMascaraCNM.clear();
    FMascaraLida = false;
    FUltimoNCM = FUltimoNCMFormatado = QString();
    TnUtilProduto &produtos = ControleProduto();
    produtos.LimparDados();
    produtos.SetCodigoEmpresa(FCodigoEmpresa);
    FImpFabrica->Substituir = FTipoProcessamento == 3;
    FImpFabrica->LimparListaLctos();
    FLctosDoProduto.clear();
    FAgora = QDateTime::currentDateTime();
    // The same defaults for every product of the run.
    produtos.SetarValoresPadroesRecord(FRegistroPadrao);
    FRegistroPadrao.Set(QStringLiteral("DATAATUALIZACAO"), FAgora.date());
    // Fixed values of a product created by the integration.
    FRegistroPadrao.Set(QStringLiteral("TIPOCREDITO"), QStringLiteral("0"));
    FRegistroPadrao.Set(QStringLiteral("TIPODEBITO"), QStringLiteral("1"));
    FRegistroPadrao.Set(QStringLiteral("CSTENTRADA"), 50);
    FRegistroPadrao.Set(QStringLiteral("CSTSAIDA"), 1);
    FRegistroPadrao.Set(QStringLiteral("DNF"), QStringLiteral("0"));
    CarregarInventariosImportados();
}

void TOrvoDPReceberLancamentosInventario::CarregarInventariosImportados()
{
    FCurInventario.clear();
    auto cmd = nDMConexao::Atual().Preparar(QStringLiteral(
        "select L.CODIGOPRODUTO from LCTOINV L where L.CODIGOEMPRESA = ? and L.CODIGOESTAB = ? "
        "and L.DATAINVENT = ? and L.MOTIVOINVENTARIO = 1"));
    cmd->BindInteiro(0, FCodigoEmpresa);
    cmd->BindInteiro(1, FCodigoEstab);
    cmd->BindData(2, PrimeiroDiaDoMes(FDataInventario));
    TnCursor &c = cmd->Abrir();
    while (c.Proximo())
        FCurInventario.insert(c.Inteiro(0));
}

// ---- the request

QString TOrvoDPReceberLancamentosInventario::PegarToken() const { return Config("Token"); }

QString TOrvoDPReceberLancamentosInventario::PegarCnpjEstab() const
{
    const QVariant inscricao = nDMSQLDataSet::PegarValorCampo(
        QStringLiteral("ESTAB"), QStringLiteral("INSCRFEDERAL"),
        QStringLiteral(" CODIGOEMPRESA = %1 AND CODIGOESTAB = %2")
            .arg(ValorParaSQL(FCodigoEmpresa, ftSmallint), ValorParaSQL(FCodigoEstab, ftSmallint)));
    const QString cnpj = LimparStrToInscricaoFederal(inscricao.toString());
    if (cnpj.isEmpty())
        throw EnParam(QStringLiteral("pCodigoEstab"),
                      nDMSQLDataSet::PegarTemRegistro(QStringLiteral("ESTAB"), QStringLiteral("CODIGOESTAB"),
                                                      QStringLiteral("CODIGOEMPRESA = %1 AND CODIGOESTAB = %2")
                                                          .arg(FCodigoEmpresa)
                                                          .arg(FCodigoEstab))
                          ? QString::fromUtf8("O estabelecimento %1 da empresa %2 não tem CNPJ cadastrado.")
                                .arg(FCodigoEstab)
                                .arg(FCodigoEmpresa)
                          : QString::fromUtf8("O estabelecimento %1 não está cadastrado na empresa %2.")
                                .arg(FCodigoEstab)
                                .arg(FCodigoEmpresa));
    return cnpj;
}

QString TOrvoDPReceberLancamentosInventario::PegarDataFiltro() const
{
    return FDataInventario.toString(QStringLiteral("MM/dd/yyyy"));
}

QString TOrvoDPReceberLancamentosInventario::MontarFiltroInventario()
{
    return QStringLiteral("{filtroInventario : { Token : \"") + PegarToken() + QStringLiteral("\", Cnpj: \"") +
           PegarCnpjEstab() + QStringLiteral("\", Data: \"") + PegarDataFiltro() + QStringLiteral("\" } }");
}

bool TOrvoDPReceberLancamentosInventario::EhAmbienteTestes() const
{
    return QFile::exists(QDir(TnPreferenciasUsuario::Pasta()).filePath(QLatin1String(kMarcadorTestes)));
}

QString TOrvoDPReceberLancamentosInventario::PegarURLWebService() const
{
    const bool testes = EhAmbienteTestes();
    const QString servidor = Config(testes ? "ServidorTestes" : "Servidor");
    if (servidor.isEmpty())
        throw Exception(QString::fromUtf8("O endereço do web service de inventário%1 não está configurado: informe "
                                          "%2 na seção [%3] de %4.")
                            .arg(testes ? QStringLiteral(" de testes") : QString(),
                                 testes ? QStringLiteral("ServidorTestes") : QStringLiteral("Servidor"),
                                 QLatin1String(kSecao), TnConfigPrograma::Arquivo()));
    const QString porta = Config(testes ? "PortaTestes" : "Porta", testes ? QStringLiteral("8080") : QStringLiteral("8090"));
    return Config("Esquema", QStringLiteral("http")).toLower() + QStringLiteral("://") + servidor + u':' + porta +
           QLatin1String(kCaminho);
}

void TOrvoDPReceberLancamentosInventario::ReceberInventario()
{
    const QString corpo = MontarFiltroInventario();
    ProcessarRetornoInventario(ChamarWebServiceInventario(corpo));
}

QString TOrvoDPReceberLancamentosInventario::ChamarWebServiceInventario(const QString &corpo)
{
    if (corpo.trimmed().isEmpty())
        return QString();
    const auto progresso = CriarProgresso(this); // hidden when it goes
    TnHTTP http(QStringLiteral("application/json"));
    bool ok = false;
    const int segundos = Config("TempoLimite", QStringLiteral("30")).toInt(&ok);
    http.SetTempoLimite(ok && segundos > 0 ? segundos * 1000 : TnHTTP::kTempoLimitePadrao);
    // A service whose certificate comes from an authority of its own (or is self-signed).
    if (const QString arquivo = Config("Certificados"); !arquivo.isEmpty()) {
        const QList<QSslCertificate> certificados = QSslCertificate::fromPath(arquivo);
        if (certificados.isEmpty())
            throw Exception(QString::fromUtf8("Nenhum certificado pôde ser lido de %1 (chave Certificados da seção "
                                              "[%2] de %3).")
                                .arg(arquivo, QLatin1String(kSecao), TnConfigPrograma::Arquivo()));
        http.AdicionarCertificadosConfiaveis(certificados);
    }
    QString resposta;
    for (int tentativa = 1;; ++tentativa) {
        progresso->MostrarSimples(QStringLiteral("Conectando com o web service: Tentativa %1...").arg(tentativa));
        // Looked at anew at each attempt; a missing setting is no connection problem.
        const QString url = PegarURLWebService();
        try {
            resposta = http.Post(url, corpo, QStringLiteral("application/json; charset=utf-8"));
            break;
        } catch (const Exception &e) {
            if (tentativa >= kTentativas)
                throw Exception(QString::fromUtf8(OrvoSWSConexao).arg(e.Message()));
        }
    }
    if (PodeTerRecusa(resposta) && MarcaRecusa().match(resposta).hasMatch())
        throw Exception(QString::fromUtf8(OrvoSWSRecusa).arg(resposta));
    return resposta;
}

// ---- the reply

void TOrvoDPReceberLancamentosInventario::ProcessarRetornoInventario(const QString &resposta)
{
    const auto invalido = [](const QString &motivo) {
        return Exception(QString::fromUtf8("Retorno do web service inválido: %1. Nada foi gravado.").arg(motivo));
    };
    const auto recusa = [&resposta] { return Exception(QString::fromUtf8(OrvoSWSRecusa).arg(resposta)); };
    QJsonParseError erro{};
    QString interno;
    if (!LerSoD(resposta, interno)) {
        const QJsonDocument externo = QJsonDocument::fromJson(resposta.toUtf8(), &erro);
        if (!externo.isObject())
            throw invalido(erro.error != QJsonParseError::NoError
                               ? QString::fromUtf8("não é JSON (%1, posição %2)").arg(erro.errorString()).arg(erro.offset)
                               : QString::fromUtf8("não é um objeto JSON"));
        const QJsonObject objeto = externo.object();
        if (ObjetoRecusa(objeto))
            throw recusa();
        const QJsonValue d = objeto.value(QLatin1String("d"));
        if (!d.isString())
            throw invalido(d.isUndefined() ? QString::fromUtf8("falta o membro \"d\"")
                                           : QString::fromUtf8("o membro \"d\" não é um texto"));
        interno = d.toString();
    }
    const bool podeTerRecusa = PodeTerRecusa(interno);
    if (podeTerRecusa && MarcaRecusa().match(interno).hasMatch())
        throw recusa();
    const QJsonDocument lista = QJsonDocument::fromJson(interno.toUtf8(), &erro);
    if (podeTerRecusa && lista.isObject() && ObjetoRecusa(lista.object()))
        throw recusa();
    if (!lista.isArray())
        throw invalido(erro.error != QJsonParseError::NoError
                           ? QString::fromUtf8("o texto de \"d\" não é JSON (%1, posição %2)")
                                 .arg(erro.errorString())
                                 .arg(erro.offset)
                           : QString::fromUtf8("o texto de \"d\" não é uma lista de itens"));
    const QJsonArray itens = lista.array();
    if (podeTerRecusa)
        for (const QJsonValue &item : itens)
            if (item.isObject() && ObjetoRecusa(item.toObject()))
                throw recusa();

    // The reply is sound: from here on the run writes, all or nothing.
    const auto progresso = CriarProgresso(this);
    progresso->MostrarSimples(QString::fromUtf8("Processando Inventário de Produtos..."));
    progresso->ConfigurarProgressoTotal(itens.size());
    nDMConexao::Atual().StartTransaction(1);
    try {
        ControleProduto().Precarregar(itens.size());
        for (qsizetype i = 0; i < itens.size(); ++i) {
            progresso->IncProgressoTotal();
            ProcessarItem(int(i) + 1, itens.at(i));
        }
    } catch (const std::exception &e) {
        FalharGravacao(e);
    }
}

void TOrvoDPReceberLancamentosInventario::Aviso(const QString &texto) { Mensagens().Adicionar(texto, tmAviso); }

void TOrvoDPReceberLancamentosInventario::ProcessarItem(int posicao, const QJsonValue &valor)
{
    if (!valor.isObject()) {
        Aviso(QString::fromUtf8("Item %1 do retorno ignorado: não é um objeto.").arg(posicao));
        return;
    }
    const QJsonObject item = valor.toObject();
    const QString codigo = Texto(item, "CODIGO");
    if (codigo.isEmpty()) {
        Aviso(QString::fromUtf8("Item %1 do retorno ignorado: sem CODIGO.").arg(posicao));
        return;
    }
    const auto ignorar = [&codigo](const QString &motivo) {
        return QString::fromUtf8("Produto %1 ignorado: %2.").arg(TrechoCitado(codigo), motivo);
    };
    double quantidade = 0, custo = 0;
    for (const auto &[nome, valorLido, descricao] :
         {std::tuple{"QUANTIDADE", &quantidade, "quantidade"}, std::tuple{"CUSTO_UNITARIO", &custo, "custo unitário"}}) {
        if (!Numero(item, nome, *valorLido)) {
            const QJsonValue v = item.value(QLatin1String(nome));
            Aviso(ignorar(v.isUndefined() || v.isNull()
                              ? QString::fromUtf8("%1 ausente").arg(QString::fromUtf8(descricao))
                              : QString::fromUtf8("%1 \"%2\" não é um número")
                                    .arg(QString::fromUtf8(descricao), v.isString() ? TrechoCitado(v.toString()) : QString())));
            return;
        }
        if (*valorLido <= 0) {
            Aviso(ignorar(QString::fromUtf8("%1 %2 não é maior que zero").arg(QString::fromUtf8(descricao),
                                                                            Quantia(*valorLido))));
            return;
        }
    }
    const QString descricao = Texto(item, "DESCRICAO");
    QString unidade = Texto(item, "UNIDADE_MEDIDA");
    if (unidade.isEmpty())
        unidade = QStringLiteral("UN");
    const QString ncm = PegarMascClassifFiscal(Texto(item, "NCM"));
    for (const auto &[texto, tamanho, nome] :
         {std::tuple{&codigo, kTamReferencia, "CODIGO"}, std::tuple{&descricao, kTamDescricao, "DESCRICAO"},
          std::tuple{&std::as_const(unidade), kTamUnidade, "UNIDADE_MEDIDA"}, std::tuple{&ncm, kTamNCM, "NCM"}})
        if (texto->size() > tamanho) {
            Aviso(ignorar(QString::fromUtf8("%1 tem mais de %2 caracteres").arg(QLatin1String(nome)).arg(tamanho)));
            return;
        }
    IncluirAtualizarProduto(codigo, descricao, unidade, TipoItem(item), ncm);
    IncluirLctoInventario(codigo, quantidade, custo);
}

void TOrvoDPReceberLancamentosInventario::IncluirAtualizarProduto(const QString &codigo, const QString &descricao,
                                                                  const QString &unidade, int tipoItem,
                                                                  const QString &ncm)
{
    TnUtilProduto &produtos = ControleProduto();
    static const int kReferencia = TnRegistroProduto::Posicao(QStringLiteral("REFERENPRODUTO")),
                     kGrupo = TnRegistroProduto::Posicao(QStringLiteral("CODIGOGRUPOPRODUTO")),
                     kDescricao = TnRegistroProduto::Posicao(QStringLiteral("DESCRPRODUTO")),
                     kNCM = TnRegistroProduto::Posicao(QStringLiteral("CODIGONCM")),
                     kUnidade = TnRegistroProduto::Posicao(QStringLiteral("UNIDADEMEDIDA")),
                     kTipo = TnRegistroProduto::Posicao(QStringLiteral("INDICADORTIPO"));
    // The record kept for the run: every item sets the same columns over the same defaults,
    // so it is filled in place rather than copied per item.
    TnRegistroProduto &registro = FRegistroPadrao;
    registro.Set(kReferencia, codigo);
    registro.Set(kGrupo, FCodigoGrupoProduto);
    registro.Set(kDescricao, descricao);
    registro.Set(kNCM, ncm);
    registro.Set(kUnidade, unidade);
    registro.Set(kTipo, tipoItem);
    if (!produtos.EncontrarProduto(codigo)) {
        produtos.InserirProduto(registro);
        ++FQtdeProdutosImportados;
    } else if (FAtualizarCadastroProdutos) {
        // Blank and absent are the same (the utility stores a blank as NULL).
        const bool igual = produtos.GetDescrProduto() == descricao && produtos.GetCodigoCN() == ncm &&
                           produtos.GetUnidadeMedida() == unidade && produtos.GetIndicadorTipo() == tipoItem &&
                           !EhNulo(produtos.Valor(QStringLiteral("INDICADORTIPO")));
        if (!igual) {
            produtos.AlterarProduto(registro, {QStringLiteral("DESCRPRODUTO"), QStringLiteral("CODIGONCM"),
                                               QStringLiteral("UNIDADEMEDIDA"), QStringLiteral("INDICADORTIPO")});
            ++FQtdeProdutosAtualizados;
        }
    }
}

QString TOrvoDPReceberLancamentosInventario::PegarMascClassifFiscal(const QString &ncm)
{
    if (!FMascaraLida) {
        const QVariant mascara = nDMSQLDataSet::PegarValorCampo(
            QStringLiteral("CFGEMPRESAULMAR"), QStringLiteral("MASCCLASSIFFISCALPROD"),
            QStringLiteral("CODIGOEMPRESA = %1").arg(ValorParaSQL(FCodigoEmpresa, ftSmallint)));
        FMascaraCNM = PrepararMascara(mascara, 1);
        FMascaraLida = true;
    }
    // Not cut to the column: a classification that does not fit is refused, never shortened.
    if (ncm != FUltimoNCM || FUltimoNCM.isNull()) {
        FUltimoNCMFormatado = FormatarConteudoMascara(ncm, FMascaraCNM, 0);
        FUltimoNCM = ncm;
    }
    return FUltimoNCMFormatado;
}

bool TOrvoDPReceberLancamentosInventario::EhInventarioJaImportado() const
{
    return FCurInventario.contains(ControleProduto().GetCodigoProduto());
}

void TOrvoDPReceberLancamentosInventario::IncluirLctoInventario(const QString &codigo, double quantidade, double custo)
{
    const TnUtilProduto &produto = ControleProduto();
    const QDate primeiroDia = PrimeiroDiaDoMes(FDataInventario);
    if (!FImpFabrica->Substituir && EhInventarioJaImportado()) {
        Aviso(QString::fromUtf8("Inventário do produto ") + QString::number(produto.GetCodigoProduto()) +
              QStringLiteral(" (") + produto.GetDescrProduto() + QStringLiteral(")") + QStringLiteral(" na data de ") +
              primeiroDia.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" importado anteriormente."));
        return;
    }
    TLCTOINV *&doProduto = FLctosDoProduto[produto.GetCodigoProduto()];
    if (doProduto) {
        // The same product twice in one reply: the last item wins.
        TLCTOINVPROPRIEDADE &linha = *doProduto->Propriedades.front();
        Aviso(QString::fromUtf8("Produto %1 repetido no retorno: descartados a quantidade %2 e o custo unitário %3 do "
                                "item anterior; vale o último.")
                  .arg(codigo, Quantia(*doProduto->QTDEESTOQUE), Quantia(*doProduto->PRECOUNIT)));
        doProduto->QTDEESTOQUE = linha.QUANTIDADE = quantidade;
        doProduto->PRECOUNIT = linha.PRECOUNIT = custo;
        return;
    }
    TLCTOINV &lcto = FImpFabrica->NovoLctoInv();
    lcto.CODIGOEMPRESA = FCodigoEmpresa;
    lcto.CODIGOESTAB = FCodigoEstab;
    lcto.DATAINVENT = primeiroDia;
    lcto.CODIGOPRODUTO = produto.GetCodigoProduto();
    lcto.MOTIVOINVENTARIO = 1;
    lcto.QTDEESTOQUE = quantidade;
    lcto.PRECOUNIT = custo;
    lcto.VALORICMS = 0;
    lcto.VALORPIS = 0;
    lcto.VALORCOFINS = 0;
    lcto.OBSLCTOINV = QString();
    lcto.DATAHORALCTOINV = FAgora;
    lcto.CODIGOUSUARIO = CodigoUsuarioConectado();
    lcto.ORIGEMDADO = 3;
    TLCTOINVPROPRIEDADE &linha = TImpFabrica::NovoLctoInvPropriedade(lcto.Propriedades);
    linha.SEQ = int(lcto.Propriedades.size());
    linha.INDICADORPROPRIEDADE = 0;
    linha.QUANTIDADE = quantidade;
    linha.PRECOUNIT = custo;
    doProduto = &lcto;
}

// ---- writing

void TOrvoDPReceberLancamentosInventario::FalharGravacao(const std::exception &e)
{
    const QString mensagem = dynamic_cast<const Exception *>(&e) ? static_cast<const Exception &>(e).Message()
                                                                 : QString::fromUtf8(e.what());
    Mensagens().Adicionar(QString::fromUtf8(OrvoSWSErroGravar).arg(mensagem), tmErro);
    Mensagens().Adicionar(QString::fromUtf8(OrvoSWSCancelados), tmAviso);
    nDMConexao::Atual().RollBack(1);
    FGravador->Liberar();
    ControleProduto().LimparDados();
    throw Exception(QString::fromUtf8(OrvoSWSErroGravar).arg(mensagem));
}

void TOrvoDPReceberLancamentosInventario::GravarLancamentos()
{
    nDMConexao &con = nDMConexao::Atual();
    // The transaction opened when the reply was read: whatever fails from here on, the
    // progress frame included, rolls it back.
    decltype(CriarProgresso(this)) progresso;
    try {
        progresso = CriarProgresso(this);
        progresso->MostrarSimples(QString::fromUtf8("Gravando Produtos/Inventários..."));
        progresso->ConfigurarProgressoTotal(FImpFabrica->Count());
        for (const auto &lcto : FImpFabrica->Lctos()) {
            progresso->IncProgressoTotal();
            FGravador->GravarLancamento(*lcto, FImpFabrica->Substituir, &con);
            ++FQtdeInventariosImportados;
        }
        con.Commit(1);
    } catch (const std::exception &e) {
        FalharGravacao(e);
    }
    progresso.reset();
    FGravador->Liberar();
    ControleProduto().LimparDados();
    MostrarResumoIntegracao();
    for (const char *classe : {"TUlmarDMProduto", "TOrvoDMLctoInv", "TOrvoDMLctoInvPropriedade"})
        AtualizarDM(QString::fromLatin1(classe));
}

void TOrvoDPReceberLancamentosInventario::MostrarResumoIntegracao()
{
    TnItemMensagem *raiz = Mensagens().Adicionar(QString::fromUtf8("Integração Concluída"), tmSucesso);
    Mensagens().Adicionar(QStringLiteral("Quantidade de Produtos Importados: %1").arg(FQtdeProdutosImportados),
                          tmSucesso, raiz);
    Mensagens().Adicionar(QStringLiteral("Quantidade de Produtos Atualizados: %1").arg(FQtdeProdutosAtualizados),
                          tmSucesso, raiz);
    Mensagens().Adicionar(QString::fromUtf8("Quantidade de Inventários Importados: %1").arg(FQtdeInventariosImportados),
                          tmSucesso, raiz);
}

static TnRegistrador<TOrvoDPReceberLancamentosInventario> gRegistro("TOrvoDPReceberLancamentosInventario");
