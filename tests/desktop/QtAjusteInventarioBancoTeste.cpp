// The inventory adjustment in its window: the company parameter hidden, the new total shown
// with the company's cost decimals, a run typed as the user types it, and a refused value
// pointing at its control.
#include "BancoOrvo.h"
#include "InteracaoTeste.h"
#include "OrvoDPAjusteInventario_U.h"
#include "QtEditores.h"
#include "QtProcesso.h"
#include "QtTeste.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {
class QtAjusteInventarioBanco : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        ExternalVar("gQTDECASADECIMAL", "2");
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, 1, 'Produto')");
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                       "values (1, 1, '2024-01-01', 1, 1, 4, 2.5, '2024-01-05 10:00:00', 1, 2)");
    }
};
} // namespace

TEST_F(QtAjusteInventarioBanco, FormularioDigitadoERodado)
{
    TnInteracaoTeste usuario;
    auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM("TOrvoDPAjusteInventario"));
    ASSERT_NE(dp, nullptr);
    auto *f = new TnFrmProcesso(dp);
    f->setAttribute(Qt::WA_DeleteOnClose);
    f->show();
    QApplication::processEvents();
    EXPECT_EQ(f->windowTitle(), "Ajustar Inventário");
    EXPECT_FALSE(f->Editor("pCodigoEmpresa")->Widget()->isVisible());
    EXPECT_TRUE(f->Editor("pCodigoGrupoProduto")->Widget()->isVisible());
    EXPECT_EQ(f->Editor("pTipoAjuste")->Texto(), "Custo Unitário");
    EXPECT_EQ(f->Editor("pValorAjuste")->Texto(), "0,00");

    // 0 is refused at the new total.
    teste::Digitar(f->Editor("pCodigoEstab")->Entrada(), "1");
    teste::Digitar(f->Editor("pDataInvent")->Entrada(), "01/01/2024");
    EXPECT_FALSE(f->Executar());
    EXPECT_EQ(usuario.Avisos.value(0), QString::fromUtf8(OrvoSValorAjusteInvalido));
    EXPECT_TRUE(f->Editor("pValorAjuste")->Entrada()->hasFocus() || !QApplication::focusWidget());

    teste::Digitar(f->Editor("pValorAjuste")->Entrada(), "25");
    teste::Capturar(f, "ajuste_inventario");
    usuario.Responder(mbOK, QStringLiteral("R$ 25,00"));
    EXPECT_TRUE(f->Executar());
    EXPECT_DOUBLE_EQ(nDMSQLDataSet::PegarValorCampo("LCTOINV", "PRECOUNIT", "CODIGOPRODUTO = 1", con()).toDouble(),
                     6.25);
    EXPECT_EQ(f->Editor("pValorAjuste")->Texto(), "25,00");
    f->close();
    QApplication::processEvents();
}
