#include "OrvoDPArqModeloSINCOMovimento_U.h"

#include "Acoes.h"
#include "SincoComum.h"
#include "Variaveis.h"

namespace {

const TnDefProcesso kDeclaracao{
    .Caption = "Modelo SINCO - Movimento",
    .CaptionParametros = "Modelo SINCO - Movimento",
    .Parametros = {ParamDataSINCO("pDataMovIni", "Período Inicial", true),
                   ParamDataSINCO("pDataMovFim", "Período Final", true),
                   ParamCodigoSINCO("pTipoProduto", "Usar para o Código do Produto"), ParamArquivoSINCO()},
};

// The entries of the period, in the file's order. Products without a group get no type.
const char kMovimento[] =
    "select L.DATAINVENT, G.TIPOGRUPOPRODUTOSINCO, L.CODIGOPRODUTO, P.UNIDADEMEDIDA, L.QTDEESTOQUE, L.PRECOUNIT,"
    " P.REFERENPRODUTO"
    " from LCTOINV L"
    " join PRODUTO P on P.CODIGOEMPRESA = L.CODIGOEMPRESA and P.CODIGOPRODUTO = L.CODIGOPRODUTO"
    " left join GRUPOPRODUTO G on G.CODIGOEMPRESA = P.CODIGOEMPRESA and G.CODIGOGRUPOPRODUTO = P.CODIGOGRUPOPRODUTO"
    " where L.CODIGOEMPRESA = ? and L.CODIGOESTAB = ? and L.DATAINVENT between ? and ? and L.MOTIVOINVENTARIO = 1"
    " order by L.DATAINVENT, L.CODIGOPRODUTO";
const char kQuantos[] = "select count(*) from LCTOINV L where L.CODIGOEMPRESA = ? and L.CODIGOESTAB = ?"
                        " and L.DATAINVENT between ? and ? and L.MOTIVOINVENTARIO = 1";

} // namespace

TOrvoDPArqModeloSINCOMovimento::TOrvoDPArqModeloSINCOMovimento() : TnDMPowerParam(kDeclaracao) {}

QString TOrvoDPArqModeloSINCOMovimento::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa;CodigoEstab"); }

void TOrvoDPArqModeloSINCOMovimento::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                      const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "60 Relatórios\\70 -SINCO - Sistema de Coleta Dados",
                .Caption = "IN86 e Posteriores - Movimento", .Indice = 20}},
              classe, lista, evento, modulos);
}

void TOrvoDPArqModeloSINCOMovimento::Executar()
{
    TnDMPowerParam::Executar();
    const int empresa = EmpresaAtiva();
    const int estab = ExternalVar(QString::fromLatin1(VarFw::gCodigoEstabAtiva)).trimmed().toInt();
    const bool referencia = UsaReferenciaSINCO(empresa, Param(QStringLiteral("pTipoProduto")));
    QDate inicio, fim;
    LerPeriodoSINCO(*this, inicio, fim);
    const QVariantList valores{empresa, estab, inicio, fim};

    const qint64 total = ContarSINCO(QString::fromLatin1(kQuantos), valores);
    if (total == 0)
        throw EnParam(QStringLiteral("pDataMovIni"), QString::fromUtf8(OrvoSEmpresaSemInformacaoParaArq));
    GravarArquivoSINCO(*this, QString::fromLatin1(kMovimento), valores, total,
                       [referencia](TnCursor &c, TnLinhaSINCO &linha) {
                           const double qtde = c.Real(4);
                           linha.Iniciar(c.Inteiro(2), 66);
                           linha.Data(c.Data(0))
                               .Texto(c.TextoUtf8(1), 1, "o tipo SINCO do grupo")
                               .Codigo(referencia, c.TextoUtf8(6))
                               .Texto(c.TextoUtf8(3), 3, "a unidade", true)
                               .Numero(qtde, 3, 14, "a quantidade")
                               .Produto(c.Real(5), qtde, 2, 15, "o valor")
                               .Concluir();
                       });
}

static TnRegistrador<TOrvoDPArqModeloSINCOMovimento> gRegistro("TOrvoDPArqModeloSINCOMovimento");
