#include "SincoComum.h"

#include "Arquivo.h"
#include "Conexao.h"
#include "Decimal.h"
#include "Literais.h"
#include "SQLDataSet.h"
#include "Valores.h"

TnDefParam ParamDataSINCO(const char *alias, const char *caption, bool requerido)
{
    // The inventory dates of the selected company and branch are offered for a pick.
    return {.Alias = alias, .Caption = caption, .Tipo = ntpData, .ClasseLookup = "OrvoDCLctoInvPeriodo",
            .ChaveDicionario = "DATAINVENT", .Requerido = requerido};
}

TnDefParam ParamCodigoSINCO(const char *alias, const char *caption)
{
    return {.Alias = alias, .Caption = caption, .Tipo = ntpCombo, .Padrao = "1", .Requerido = true,
            .ListaValores = {"Produto=1", "Referência=2"}};
}

TnDefParam ParamArquivoSINCO()
{
    return {.Alias = "pArqDestinoSINCOMovimento", .Caption = "Arquivo Destino", .ChaveDicionario = "DICARQUIVOSALVAR",
            .Requerido = true};
}

void LerPeriodoSINCO(const TnDMPowerParam &dp, QDate &inicio, QDate &fim)
{
    const QString alias = QStringLiteral("pDataMovIni");
    inicio = dp.Param(alias).AsDate();
    fim = dp.Param(QStringLiteral("pDataMovFim")).AsDate();
    if (!inicio.isValid() || !fim.isValid())
        throw EnParam(alias, QString::fromUtf8(OrvoSDatasInvalidasObrigatorias));
    if (inicio > fim)
        throw EnParam(alias, QString::fromUtf8(OrvoSProblemaIntervaloEntreDatas));
}

bool UsaReferenciaSINCO(int empresa, const TnpqParamItem &tipoCodigo)
{
    if (tipoCodigo.AsString().trimmed() != QLatin1String("2"))
        return false;
    const QVariant usa = nDMSQLDataSet::PegarValorCampo(QStringLiteral("CFGEMPRESAULMAR"),
                                                        QStringLiteral("USAREFERENCIAPROD"),
                                                        QStringLiteral("CODIGOEMPRESA = ") + ValorParaSQL(empresa, ftSmallint));
    return usa.toString().trimmed() == QLatin1String("1");
}

namespace {
TnCursor &Abrir(TnComando &cmd, const QVariantList &valores)
{
    for (int i = 0; i < valores.size(); ++i)
        cmd.BindValor(i, valores[i]);
    return cmd.Abrir();
}
} // namespace

qint64 ContarSINCO(const QString &sql, const QVariantList &valores)
{
    auto cmd = nDMConexao::Atual().Preparar(sql);
    TnCursor &c = Abrir(*cmd, valores);
    return c.Proximo() ? c.Inteiro(0) : 0;
}

void GravarArquivoSINCO(TnDMPowerParam &dp, const QString &sql, const QVariantList &valores, qint64 total,
                        const std::function<QString(TnCursor &)> &linha)
{
    const std::unique_ptr<TnProgresso> progresso = CriarProgresso(&dp);
    progresso->MostrarSimples(QStringLiteral("Gerando... "));
    progresso->ConfigurarProgressoTotal(total);
    GravarConteudoEmArquivo(dp.Param(QStringLiteral("pArqDestinoSINCOMovimento")).AsString(), QStringLiteral("txt"),
                            [&](TnLinhasArquivo &linhas) {
                                auto cmd = nDMConexao::Atual().Preparar(sql);
                                TnCursor &c = Abrir(*cmd, valores);
                                while (c.Proximo()) {
                                    linhas.Adicionar(linha(c));
                                    progresso->IncProgressoTotal();
                                }
                            });
    progresso->SetVisible(false);
    nShowMessage(QString::fromUtf8("Operação concluída!"));
}

bool FormatarValorSINCO(double valor, int decimais, int inteiros, QString &digitos)
{
    qint64 escalado = 0;
    if (!nDecimal::DeRealRapido(valor, decimais, escalado) && !nDecimal::DeReal(valor, decimais, escalado))
        return false;
    if (escalado < 0 || escalado >= nDecimal::Potencia10(inteiros + decimais))
        return false;
    digitos = QString::number(escalado).rightJustified(inteiros + decimais, u'0');
    return true;
}

TnLinhaSINCO::TnLinhaSINCO(qint64 produto, int tamanho) : FProduto(produto) { FLinha.reserve(tamanho); }

void TnLinhaSINCO::Falhar(const QString &motivo) const
{
    throw Exception(QString::fromUtf8("O produto %1 não pode ser gravado no arquivo SINCO: %2. Nenhum arquivo foi gravado.")
                        .arg(FProduto)
                        .arg(motivo));
}

TnLinhaSINCO &TnLinhaSINCO::Data(const QDate &d)
{
    const QDate data = d.isValid() ? d : QDate(1899, 12, 30);
    const int partes[] = {data.day(), data.month()};
    for (int p : partes) {
        FLinha += QChar(u'0' + p / 10);
        FLinha += QChar(u'0' + p % 10);
    }
    FLinha += QString::number(data.year()).rightJustified(4, u'0');
    return *this;
}

TnLinhaSINCO &TnLinhaSINCO::Texto(const QString &texto, int largura, const char *oque, bool cortar)
{
    if (texto.size() > largura && !cortar)
        Falhar(QString::fromUtf8("%1 \"%2\" passa de %3 caractere(s)").arg(QString::fromUtf8(oque), TrechoCitado(texto)).arg(largura));
    const QString campo = texto.left(largura);
    if (const QChar c = TnLinhasArquivo::ForaDoLatin1(campo); !c.isNull())
        Falhar(QString::fromUtf8("%1 tem o caractere \"%2\", que o arquivo (ISO-8859-1) não aceita")
                   .arg(QString::fromUtf8(oque), c));
    FLinha += PreencherDireita(campo, largura);
    return *this;
}

TnLinhaSINCO &TnLinhaSINCO::Numero(double valor, int decimais, int inteiros, const char *oque)
{
    if (!FormatarValorSINCO(valor, decimais, inteiros, FDigitos))
        Falhar(QString::fromUtf8("%1 %2 %3").arg(QString::fromUtf8(oque), FormatFloat(QString(), valor),
                                                 valor < 0 ? QString::fromUtf8("é menor que zero")
                                                           : QString::fromUtf8("passa de %1 dígitos inteiros").arg(inteiros)));
    FLinha += FDigitos;
    return *this;
}

TnLinhaSINCO &TnLinhaSINCO::Codigo(bool referencia, const QString &referenciaProduto)
{
    if (!referencia)
        return Texto(QString::number(FProduto), 20, "o código");
    if (referenciaProduto.trimmed().isEmpty())
        Falhar(QString::fromUtf8("não tem código de referência"));
    return Texto(referenciaProduto, 20, "a referência");
}
