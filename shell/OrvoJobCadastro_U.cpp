#include "OrvoJobCadastro_U.h"

#include "ConversaoBanco.h"
#include "EsquemaTabelas.h"
#include "SuiteInv.h"

void TOrvoJobCadastro::DepoisConverter(nDMConexao &con, int, int)
{
    TnInserirOuAtualizarJobCadastroPadrao::Executar(con, QString::fromLatin1(ModuloInv), JobsPadraoInv());
}

void RegistrarDepoisConverter() { FDepoisConverter = &TOrvoJobCadastro::DepoisConverter; }

namespace {
// The unit's start; its end leaves the event as it is.
const bool gDepoisConverterRegistrado = (RegistrarDepoisConverter(), true);
} // namespace
