#pragma once
// Fixture for the program's own cases: a converted database (the sample company) with
// company 1 and branch 1 selected. Afterwards the modules, the loaded libraries, the
// selection and the variables are as before.
#include "BancoTeste.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "Modulos.h"
#include "Variaveis.h"

class BancoOrvo : public BancoConvertido {
protected:
    void SetUp() override
    {
        BancoConvertido::SetUp();
        if (IsSkipped())
            return;
        Selecao().GetParams("CodigoEmpresa").SetValue(1);
        Selecao().GetParams("CodigoEstab").SetValue(1);
        Selecao().Refresh();
    }
    void TearDown() override
    {
        DestruirTodosDM();
        TnBibliotecas::DescarregarTodas();
        Selecao().Reset();
        Variaveis().Reiniciar();
        gDataInicialAtivo = QDate();
        BancoTeste::TearDown();
    }
};
