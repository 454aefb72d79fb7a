#include "OrvoDPArqModeloSINCOArtigo_U.h"

#include "Acoes.h"
#include "SincoComum.h"
#include "Variaveis.h"

namespace {

const char kTipoArq[] = "pTipoArqModeloSINCOArtigo";

const TnDefProcesso kDeclaracao{
    .Caption = "Modelo SINCO - Cadastro Produto",
    .CaptionParametros = "Modelo SINCO - Cadastro Produto",
    .Parametros = {{.Alias = kTipoArq, .Caption = "Tipo Geração", .Tipo = ntpCombo, .Padrao = "1", .Requerido = true,
                    .ListaValores = {"Todos os Produtos=1", "Somente Produtos Movimentados=2"}},
                   ParamDataSINCO("pDataMovIni", "Período Inicial", false),
                   ParamDataSINCO("pDataMovFim", "Período Final", false),
                   ParamCodigoSINCO("pTipoCodProduto", "Usar para Código Mercadoria"), ParamArquivoSINCO()},
};

const char kColunas[] = "select P.CODIGOPRODUTO, P.REFERENPRODUTO, P.DATAATUALIZACAO, P.DESCRPRODUTO from PRODUTO P"
                        " where P.CODIGOEMPRESA = ?";
// Products with an entry of any reason in the branch and period.
const char kMovimentados[] = " and exists (select 1 from LCTOINV L where L.CODIGOEMPRESA = P.CODIGOEMPRESA"
                             " and L.CODIGOPRODUTO = P.CODIGOPRODUTO and L.CODIGOESTAB = ?"
                             " and L.DATAINVENT between ? and ?)";

} // namespace

TOrvoDPArqModeloSINCOArtigo::TOrvoDPArqModeloSINCOArtigo() : TnDMPowerParam(kDeclaracao) {}

QString TOrvoDPArqModeloSINCOArtigo::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa;CodigoEstab"); }

void TOrvoDPArqModeloSINCOArtigo::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                   const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "60 Relatórios\\70 -SINCO - Sistema de Coleta Dados",
                .Caption = "IN86 e Posteriores - Cadastro Produto", .Indice = 10}},
              classe, lista, evento, modulos);
}

void TOrvoDPArqModeloSINCOArtigo::npqPowerParamParamChange(TnpqParamItem &param)
{
    TnDMPowerParam::npqPowerParamParamChange(param);
    if (param.Alias().compare(QLatin1String(kTipoArq), Qt::CaseInsensitive) != 0)
        return;
    const bool periodo = param.AsString().trimmed() != QLatin1String("1");
    for (const char *alias : {"pDataMovIni", "pDataMovFim"}) {
        EdEnabledField(QString::fromLatin1(alias), periodo);
        EdRequiredField(QString::fromLatin1(alias), periodo);
    }
}

void TOrvoDPArqModeloSINCOArtigo::Executar()
{
    TnDMPowerParam::Executar();
    const int empresa = EmpresaAtiva();
    const bool referencia = UsaReferenciaSINCO(empresa, Param(QStringLiteral("pTipoCodProduto")));
    QString filtro;
    QVariantList valores{empresa};
    if (Param(QString::fromLatin1(kTipoArq)).AsString().trimmed() != QLatin1String("1")) {
        QDate inicio, fim;
        LerPeriodoSINCO(*this, inicio, fim);
        filtro = QString::fromLatin1(kMovimentados);
        valores << ExternalVar(QString::fromLatin1(VarFw::gCodigoEstabAtiva)).trimmed().toInt() << inicio << fim;
    }
    const qint64 total = ContarSINCO(QStringLiteral("select count(*) from PRODUTO P where P.CODIGOEMPRESA = ?") + filtro,
                                     valores);
    if (total == 0)
        throw EnParam(QString::fromLatin1(kTipoArq), QString::fromUtf8(OrvoSEmpresaSemInformacaoParaArq));
    GravarArquivoSINCO(*this, QString::fromLatin1(kColunas) + filtro + QStringLiteral(" order by P.CODIGOPRODUTO"),
                       valores, total, [referencia](TnCursor &c, TnLinhaSINCO &linha) {
                           linha.Iniciar(c.Inteiro(0), 73);
                           linha.Data(c.Nulo(2) ? QDate() : c.Data(2))
                               .Codigo(referencia, c.TextoUtf8(1))
                               .Texto(c.TextoUtf8(3), 45, "a descrição", true)
                               .Concluir();
                       });
}

static TnRegistrador<TOrvoDPArqModeloSINCOArtigo> gRegistro("TOrvoDPArqModeloSINCOArtigo");
