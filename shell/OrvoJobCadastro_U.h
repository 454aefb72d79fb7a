#pragma once
// After every database conversion the module's standard jobs are inserted or brought up to
// date (NJOBCADASTRO). The hook is set when the program's units start.
#include "Conexao.h"

class TOrvoJobCadastro {
public:
    // The framework's after-conversion event: the standard jobs, written on the connection
    // that was converted.
    static void DepoisConverter(nDMConexao &con, int versaoAnterior, int versaoNova);
};

// Sets the after-conversion event (FDepoisConverter) to TOrvoJobCadastro::DepoisConverter.
void RegistrarDepoisConverter();
