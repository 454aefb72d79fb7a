#include "OrvoDPPeriodoInventario_U.h"

#include "Acoes.h"
#include "SuiteInv.h"
#include "Variaveis.h"

namespace {

const TnDefProcesso kDeclaracao{
    .Caption = "Selecionar Período Inventário",
    .CaptionParametros = "Períodos Inventário",
    .Parametros = {{.Alias = "pDataPeriodo", .Caption = "Período", .Tipo = ntpData,
                    .ChaveDicionario = "DICDATAMESANO", .Requerido = true}},
};

const char kParamPeriodo[] = "pDataPeriodo";

} // namespace

TOrvoDPPeriodoInventario::TOrvoDPPeriodoInventario() : TnDMPowerParam(kDeclaracao) {}

QString TOrvoDPPeriodoInventario::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa;CodigoEstab"); }

void TOrvoDPPeriodoInventario::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "50 Configurações", .Caption = "Selecionar Período Inventário", .Indice = 100,
                .Atalho = "F8", .Imagem = 91}},
              classe, lista, evento, modulos);
}

void TOrvoDPPeriodoInventario::DepoisConfigurar(TnFormModulo *form)
{
    TnDMPowerParam::DepoisConfigurar(form);
    if (!form)
        return;
    form->AdicionarAtalhoSecundario(nafFechar, QStringLiteral("Esc"));
    form->DefinirTamanho(400, 100);
}

void TOrvoDPPeriodoInventario::Executar()
{
    TnDMPowerParam::Executar();
    const int empresa = EmpresaAtiva();
    if (empresa == 0)
        throw Exception(QString::fromUtf8(OrvoSEmpresaNaoSelecionada));
    const TnpqParamItem &periodo = Param(QString::fromLatin1(kParamPeriodo));
    const QDate data = periodo.AsDate(); // a month and year: its first day
    if (!data.isValid())
        throw EnParam(periodo.Alias(), QString::fromUtf8(OrvoSCompetInventInvalida));
    // Checked before anything changes, so a refused month leaves the framework's state alone.
    QString mensagem;
    if (!ValidarPeriodoSelecionado(empresa, data, mensagem))
        throw EnParam(periodo.Alias(), mensagem);

    gDataInicialAtivo = data;
    Selecao().GetParams(QStringLiteral("DataInvent")).SetValue(data);
    Selecao().Refresh();
    ::ReconfigurarDM(QStringLiteral("DataInvent"), false); // the open modules, not this one
    FecharForm();
}

static TnRegistrador<TOrvoDPPeriodoInventario> gRegistro("TOrvoDPPeriodoInventario");
