// Classes of the test library. Texts are literals of this library on purpose: the framework
// must keep its own copies of whatever outlives the library.
#include "Acoes.h"
#include "Modulos.h"
#include "Variaveis.h"

namespace {

class TPluginDMTeste : public TnDataModule {
public:
    static QString PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa;DataInvent"); }
    static int PegarTipoObjeto() { return 1; }
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos)
    {
        if (!modulos.test(3))
            return;
        TnAction *a = lista.Adicionar(classe, evento);
        a->SetCategory(QStringLiteral("02 Movimentos\\00 Consultas"));
        a->SetCaption(QStringLiteral("Teste do Plugin"));
        a->SetMenuIndex(5);
        a->SetShortCut(QStringLiteral("Ctrl+Shift+P"));
    }
    void Atualizar() override { ExternalVar(QStringLiteral("gPluginAtualizado"), QStringLiteral("sim")); }
};

// An action whose execute event is code of this library.
class TPluginDPConsulta : public TnDataModule {
public:
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &,
                                 const TnModulos &modulos)
    {
        if (!modulos.test(3))
            return;
        TnAction *a = lista.Adicionar(classe, [](TnAction *) {
            ExternalVar(QStringLiteral("gPluginExecutado"), QStringLiteral("sim"));
        });
        a->SetCategory(QStringLiteral("30 Consultas"));
        a->SetCaption(QStringLiteral("Consulta do Plugin"));
    }
};

TnRegistrador<TPluginDMTeste> gRegistroDM("TPluginDMTeste");
TnRegistrador<TPluginDPConsulta> gRegistroDP("TPluginDPConsulta");

struct TipoDeAcao {
    TipoDeAcao() { SetActionPowerInfo(12, QStringLiteral("TPluginDPConsulta")); }
} gTipoDeAcao;

} // namespace
