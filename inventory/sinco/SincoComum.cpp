#include "SincoComum.h"

#include "Arquivo.h"
#include "Conexao.h"
#include "Decimal.h"
#include "Literais.h"
#include "SQLDataSet.h"
#include "Valores.h"

#include <charconv>
#include <cstring>

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
                        const std::function<void(TnCursor &, TnLinhaSINCO &)> &linha)
{
    const std::unique_ptr<TnProgresso> progresso = CriarProgresso(&dp);
    progresso->MostrarSimples(QStringLiteral("Gerando... "));
    progresso->ConfigurarProgressoTotal(total);
    GravarConteudoEmArquivo(dp.Param(QStringLiteral("pArqDestinoSINCOMovimento")).AsString(), QStringLiteral("txt"),
                            [&](TnLinhasArquivo &linhas) {
                                auto cmd = nDMConexao::Atual().Preparar(sql);
                                TnCursor &c = Abrir(*cmd, valores);
                                TnLinhaSINCO l(linhas);
                                // The bar moves every 1,024 lines: not a clock reading per line.
                                qint64 n = 0;
                                while (c.Proximo()) {
                                    linha(c, l);
                                    if ((++n & 1023) == 0)
                                        progresso->SetProgressoTotal(n);
                                }
                                progresso->SetProgressoTotal(n);
                            });
    progresso->SetVisible(false);
    nShowMessage(QString::fromUtf8("Operação concluída!"));
}

namespace {

// `v` (0 <= v < 10^n) as n digits, zero-filled.
void EscreverDigitos(char *p, quint64 v, int n)
{
    for (int i = n - 1; i >= 0; --i) {
        p[i] = char('0' + v % 10);
        v /= 10;
    }
}

bool CabeNoCampo(qint64 escalado, int decimais, int inteiros)
{
    return escalado >= 0 && escalado < nDecimal::Potencia10(inteiros + decimais);
}

} // namespace

bool FormatarValorSINCO(double valor, int decimais, int inteiros, char *digitos)
{
    qint64 escalado = 0;
    if (!nDecimal::DeRealRapido(valor, decimais, escalado) && !nDecimal::DeReal(valor, decimais, escalado))
        return false;
    if (!CabeNoCampo(escalado, decimais, inteiros))
        return false;
    EscreverDigitos(digitos, quint64(escalado), inteiros + decimais);
    return true;
}

void TnLinhaSINCO::Iniciar(qint64 produto, int maximo)
{
    FProduto = produto;
    FInicio = FP = FLinhas.AbrirLinha(maximo);
    FFim = FInicio + maximo;
}

void TnLinhaSINCO::Concluir() { FLinhas.FecharLinha(FP - FInicio); }

void TnLinhaSINCO::Falhar(const QString &motivo) const
{
    throw Exception(QString::fromUtf8("O produto %1 não pode ser gravado no arquivo SINCO: %2. Nenhum arquivo foi gravado.")
                        .arg(FProduto)
                        .arg(motivo));
}

TnLinhaSINCO &TnLinhaSINCO::Data(const QDate &d)
{
    const QDate data = d.isValid() ? d : QDate(1899, 12, 30);
    if (data.toJulianDay() != FDia) {
        int dia = 0, mes = 0, ano = 0;
        data.getDate(&ano, &mes, &dia);
        EscreverDigitos(FData, quint64(dia), 2);
        EscreverDigitos(FData + 2, quint64(mes), 2);
        EscreverDigitos(FData + 4, quint64(ano), 4);
        FDia = data.toJulianDay();
    }
    Q_ASSERT(FFim - FP >= 8);
    std::memcpy(FP, FData, 8);
    FP += 8;
    return *this;
}

void TnLinhaSINCO::TextoConvertido(const QString &texto, int largura, const char *oque, bool cortar)
{
    if (texto.size() > largura && !cortar)
        Falhar(QString::fromUtf8("%1 \"%2\" passa de %3 caractere(s)").arg(QString::fromUtf8(oque), TrechoCitado(texto)).arg(largura));
    const QString campo = texto.left(largura);
    if (const QChar c = TnLinhasArquivo::ForaDoLatin1(campo); !c.isNull())
        Falhar(QString::fromUtf8("%1 tem o caractere \"%2\", que o arquivo (ISO-8859-1) não aceita")
                   .arg(QString::fromUtf8(oque), c));
    // Every character of the field is one byte now.
    for (QChar c : campo)
        *FP++ = char(c.unicode());
    for (qsizetype i = campo.size(); i < largura; ++i)
        *FP++ = ' ';
}

TnLinhaSINCO &TnLinhaSINCO::Texto(QByteArrayView utf8, int largura, const char *oque, bool cortar)
{
    Q_ASSERT(FFim - FP >= largura);
    // UTF-8 of ISO-8859-1 is one byte below 0x80 and two (0xC2 or 0xC3, then the rest) up to
    // 0xFF; anything else, or more characters than fit, goes the way that names it.
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *fim = p + utf8.size();
    char *o = FP;
    int n = 0;
    for (; p < fim && n < largura; ++n) {
        if (*p < 0x80) {
            *o++ = char(*p++);
        } else if ((*p == 0xC2 || *p == 0xC3) && p + 1 < fim && (p[1] & 0xC0) == 0x80) {
            *o++ = char(((p[0] & 0x03) << 6) | (p[1] & 0x3F));
            p += 2;
        } else {
            break;
        }
    }
    if (p == fim || (n == largura && cortar)) {
        FP = o;
        for (; n < largura; ++n)
            *FP++ = ' ';
        return *this;
    }
    TextoConvertido(QString::fromUtf8(utf8), largura, oque, cortar);
    return *this;
}

void TnLinhaSINCO::ForaDoCampo(const char *oque, double valor, int inteiros) const
{
    Falhar(QString::fromUtf8("%1 %2 %3").arg(QString::fromUtf8(oque), FormatFloat(QString(), valor),
                                             valor < 0 ? QString::fromUtf8("é menor que zero")
                                                       : QString::fromUtf8("passa de %1 dígitos inteiros").arg(inteiros)));
}

TnLinhaSINCO &TnLinhaSINCO::Numero(double valor, int decimais, int inteiros, const char *oque)
{
    Q_ASSERT(FFim - FP >= inteiros + decimais);
    if (!FormatarValorSINCO(valor, decimais, inteiros, FP))
        ForaDoCampo(oque, valor, inteiros);
    FP += inteiros + decimais;
    return *this;
}

TnLinhaSINCO &TnLinhaSINCO::Produto(double a, double b, int decimais, int inteiros, const char *oque)
{
    Q_ASSERT(FFim - FP >= inteiros + decimais);
    qint64 escalado = 0;
    if (!nDecimal::Produto(a, b, decimais, escalado))
        ForaDoCampo(oque, a * b, inteiros); // too large for any field: the doubles' product names it
    if (!CabeNoCampo(escalado, decimais, inteiros))
        ForaDoCampo(oque, nDecimal::ParaReal(escalado, decimais), inteiros);
    EscreverDigitos(FP, quint64(escalado), inteiros + decimais);
    FP += inteiros + decimais;
    return *this;
}

TnLinhaSINCO &TnLinhaSINCO::Codigo(bool referencia, QByteArrayView referenciaUtf8)
{
    if (!referencia) {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, FProduto);
        return Texto(QByteArrayView(buf, r.ptr - buf), 20, "o código");
    }
    // Blank: no character but white space (one that is not ASCII decides through a string).
    bool ascii = true, branco = true;
    for (char ch : referenciaUtf8) {
        const auto u = static_cast<unsigned char>(ch);
        if (u >= 0x80) {
            ascii = false;
        } else if (!(u == ' ' || (u >= '\t' && u <= '\r'))) {
            branco = false;
            break;
        }
    }
    if (branco && (ascii || QString::fromUtf8(referenciaUtf8).trimmed().isEmpty()))
        Falhar(QString::fromUtf8("não tem código de referência"));
    return Texto(referenciaUtf8, 20, "a referência");
}
