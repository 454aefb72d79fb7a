#include "SuiteProduto.h"

#include "EsquemaTabelas.h"
#include "Esquema.h"
#include "Excecoes.h"
#include "Interacao.h"
#include "Literais.h"
#include "SQLDataSet.h"

#include <QRegularExpression>
#include <algorithm>

QString ConstruirMascaraInv(int casasDecimais)
{
    const int casas = std::clamp(casasDecimais, 0, 10);
    return casas == 0 ? QStringLiteral("#0") : QStringLiteral("#0.") + QString(casas, QLatin1Char('0'));
}

namespace {

const QStringList kTributacaoICMS = {QStringLiteral("00"), QStringLiteral("10"), QStringLiteral("20"),
                                     QStringLiteral("30"), QStringLiteral("40"), QStringLiteral("41"),
                                     QStringLiteral("50"), QStringLiteral("51"), QStringLiteral("60"),
                                     QStringLiteral("70"), QStringLiteral("90")};
const QStringList kSimplesNacional = {QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("103"),
                                      QStringLiteral("201"), QStringLiteral("202"), QStringLiteral("203"),
                                      QStringLiteral("300"), QStringLiteral("400"), QStringLiteral("500"),
                                      QStringLiteral("900")};

QStringList CodigosICMS(int ultimaOrigem)
{
    QStringList r;
    for (int origem = 0; origem <= ultimaOrigem; ++origem)
        for (const QString &t : kTributacaoICMS)
            r.append(QString::number(origem) + t);
    return r + kSimplesNacional;
}

} // namespace

const QStringList &LstCSTValICMS()
{
    static const QStringList lista = CodigosICMS(2);
    return lista;
}

QStringList LstCSTICMS(const QDate &data)
{
    if (data.isValid() && data < QDate(2013, 1, 1))
        return LstCSTValICMS();
    return CodigosICMS(8);
}

QString SelecionarCstImposto(int tipoImposto, const QString &filtro, const QDate &data)
{
    if (tipoImposto != kImpostoICMS)
        return QString();
    QStringList codigos;
    for (const QString &c : LstCSTICMS(data))
        if (filtro.trimmed().isEmpty() || c.startsWith(filtro.trimmed()))
            codigos.append(c);
    const int i = Interacao().SelecionarItem(QStringLiteral("CST do ICMS"), codigos);
    return i >= 0 && i < codigos.size() ? codigos.at(i) : QString();
}

QStringList PegarGruposAnaliticos(int empresa, const QString &grupos)
{
    QStringList r;
    const QString escolhidos = FilterInterval(QStringLiteral("S.CODIGOGRUPOPRODUTO"), grupos);
    if (escolhidos.trimmed().isEmpty())
        return r;
    auto cmd = nDMConexao::Atual().Preparar(
        QStringLiteral("select distinct A.CODIGOGRUPOPRODUTO from GRUPOPRODUTO A join GRUPOPRODUTO S "
                       "on S.CODIGOEMPRESA = A.CODIGOEMPRESA "
                       "and (A.CODIGOGRUPOPRODUTO = S.CODIGOGRUPOPRODUTO or "
                       "substr(A.CLASSIFGRUPOPRODUTO, 1, length(S.CLASSIFGRUPOPRODUTO) + 1) = "
                       "S.CLASSIFGRUPOPRODUTO || '.') "
                       "where A.CODIGOEMPRESA = ? and A.TIPOGRUPOPRODUTO = 2 %1order by 1")
            .arg(escolhidos));
    cmd->BindInteiro(0, empresa);
    TnCursor &c = cmd->Abrir();
    while (c.Proximo())
        r.append(QString::number(c.Inteiro(0)));
    return r;
}

// ---- Product utility ----------------------------------------------------------------------

namespace {

const TnTabelaEsq &TabelaProduto()
{
    static const TnTabelaEsq *t = TabelaDoEsquema(EsquemaInv(), QStringLiteral("PRODUTO"));
    if (!t)
        throw Exception(QStringLiteral("Tabela PRODUTO ausente do esquema."));
    return *t;
}

const TnColunaEsq &ColunaProduto(const QString &nome)
{
    for (const TnColunaEsq &c : TabelaProduto().Colunas)
        if (c.Nome.compare(nome.trimmed(), Qt::CaseInsensitive) == 0)
            return c;
    throw Exception(QStringLiteral("Coluna inexistente em PRODUTO: %1").arg(nome));
}

// The value stored for a record value of that column: blank text is NULL, texts typed into
// number or date columns are converted (a text that is no value raises EConvertError).
QVariant ValorColuna(const TnColunaEsq &c, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    const bool texto = v.typeId() == QMetaType::QString;
    if (texto && v.toString().trimmed().isEmpty())
        return QVariant();
    bool ok = true;
    QVariant r;
    switch (c.Tipo) {
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
        r = texto ? QVariant(v.toString().trimmed().toLongLong(&ok)) : QVariant(v.toLongLong(&ok));
        break;
    case ftFloat:
    case ftBCD:
        r = texto ? QVariant(v.toString().trimmed().toDouble(&ok)) : QVariant(v.toDouble(&ok));
        break;
    case ftDate:
        r = v.toDate();
        ok = r.toDate().isValid();
        break;
    default:
        r = v.toString();
    }
    if (!ok)
        throw EConvertError(QStringLiteral("Valor inválido para %1: %2").arg(c.Nome, v.toString()));
    return r;
}

const QString &ListaColunas()
{
    static const QString lista = TnUtilProduto::Colunas().join(QStringLiteral(", "));
    return lista;
}

} // namespace

const QStringList &TnUtilProduto::Colunas()
{
    static const QStringList colunas = [] {
        QStringList r;
        for (const TnColunaEsq &c : TabelaProduto().Colunas)
            r.append(c.Nome);
        return r;
    }();
    return colunas;
}

void TnUtilProduto::SetCodigoEmpresa(int empresa)
{
    if (empresa != FEmpresa)
        FAtual.clear();
    FEmpresa = empresa;
}

bool TnUtilProduto::Ler(const QString &condicao, const QVariant &valor)
{
    FAtual.clear();
    // A register looks its row's product up on every move: the statement stays prepared.
    auto cmd = nDMConexao::Atual().PrepararGuardado(
        QStringLiteral("select %1 from PRODUTO where CODIGOEMPRESA = ? and %2 order by CODIGOPRODUTO")
            .arg(ListaColunas(), condicao));
    cmd->BindInteiro(0, FEmpresa);
    cmd->BindValor(1, valor);
    TnCursor &c = cmd->Abrir();
    if (!c.Proximo())
        return false;
    for (int i = 0; i < c.Colunas(); ++i)
        FAtual.insert(Colunas().at(i), c.Valor(i));
    return true;
}

bool TnUtilProduto::EncontrarCodigo(qint64 codigo)
{
    return Ler(QStringLiteral("CODIGOPRODUTO = ?"), codigo);
}

bool TnUtilProduto::EncontrarProduto(const QString &texto)
{
    const QString t = texto.trimmed();
    FAtual.clear();
    if (t.isEmpty())
        return false;
    if (Ler(QStringLiteral("UPPER(REFERENPRODUTO) = UPPER(?)"), t))
        return true;
    static const QRegularExpression numero(QStringLiteral("^[0-9]{1,18}$"));
    return numero.match(t).hasMatch() && EncontrarCodigo(t.toLongLong());
}

qint64 TnUtilProduto::InserirProduto(const QVariantMap &registro)
{
    QStringList nomes;
    QVariantList valores;
    qint64 codigo = 0;
    for (auto it = registro.constBegin(); it != registro.constEnd(); ++it) {
        const TnColunaEsq &c = ColunaProduto(it.key());
        if (c.Nome == QLatin1String("CODIGOEMPRESA"))
            continue; // always the utility's company
        const QVariant v = ValorColuna(c, it.value());
        if (c.Nome == QLatin1String("CODIGOPRODUTO")) {
            codigo = v.toLongLong();
            continue;
        }
        nomes.append(c.Nome);
        valores.append(v);
    }
    if (codigo <= 0)
        codigo = nDMSQLDataSet::PegarProximoCodigo(QStringLiteral("PRODUTO"), QStringLiteral("CODIGOPRODUTO"),
                                                   QStringLiteral("CODIGOEMPRESA = %1").arg(FEmpresa), 0, 1);
    nomes.prepend(QStringLiteral("CODIGOPRODUTO"));
    valores.prepend(codigo);
    nomes.prepend(QStringLiteral("CODIGOEMPRESA"));
    valores.prepend(FEmpresa);
    const QString sql = QStringLiteral("insert into PRODUTO (%1) values (%2)")
                            .arg(nomes.join(QStringLiteral(", ")),
                                 QStringList(nomes.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    nDMConexao::Atual().Executar(sql, valores);
    EncontrarCodigo(codigo);
    return codigo;
}

void TnUtilProduto::AlterarProduto(const QVariantMap &registro, const QStringList &colunas)
{
    if (!TemAtual())
        throw Exception(QStringLiteral("Nenhum produto selecionado para alterar."));
    QStringList sets;
    QVariantList valores;
    for (const QString &nome : colunas) {
        const TnColunaEsq &c = ColunaProduto(nome);
        if (c.Nome == QLatin1String("CODIGOEMPRESA") || c.Nome == QLatin1String("CODIGOPRODUTO"))
            throw Exception(QStringLiteral("A chave do produto não pode ser alterada: %1").arg(c.Nome));
        QVariant v;
        for (auto it = registro.constBegin(); it != registro.constEnd(); ++it)
            if (it.key().compare(c.Nome, Qt::CaseInsensitive) == 0)
                v = it.value();
        sets.append(c.Nome + QStringLiteral(" = ?"));
        valores.append(ValorColuna(c, v));
    }
    if (sets.isEmpty())
        return;
    const qint64 codigo = GetCodigoProduto();
    valores << FEmpresa << codigo;
    nDMConexao::Atual().Executar(QStringLiteral("update PRODUTO set %1 where CODIGOEMPRESA = ? and CODIGOPRODUTO = ?")
                                     .arg(sets.join(QStringLiteral(", "))),
                                 valores);
    EncontrarCodigo(codigo);
}

QVariant TnUtilProduto::Valor(const QString &coluna) const
{
    return FAtual.value(coluna.trimmed().toUpper());
}

TnUtilProduto &ControleProduto()
{
    static TnUtilProduto utilitario;
    return utilitario;
}
