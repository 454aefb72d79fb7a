#pragma once
// Module classes for the tests of the registry, the selection and the menu, and a fixture
// that leaves the registry, the variables and the selection as it found them.
#include "Acoes.h"
#include "Modulos.h"
#include "Variaveis.h"

#include <gtest/gtest.h>

// A register: keys company, branch and date; one action for module 3, one for module 0.
class TTesteDMLcto : public TnDataModule {
public:
    static QString PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa; CodigoEstab;DataInvent;"); }
    static int PegarTipoObjeto() { return 1; }
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);
    void Atualizar() override { ++Atualizacoes; }
    void AtualizarRegistro() override { ++AtualizacoesRegistro; }
    void ReconfigurarDM(const QString &parametro, bool recarregar) override;

    int Atualizacoes = 0;
    int AtualizacoesRegistro = 0;
    QStringList Reconfiguracoes; // "param+" or "param-"
};

// A process following only the company, with no action of its own.
class TTesteDPProcesso : public TnDataModule {
public:
    static QString PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }
    void Atualizar() override { ++Atualizacoes; }
    int Atualizacoes = 0;
};

// A class whose creation fails after the instance exists.
class TTesteDMFalha : public TnDataModule {
public:
    void AposCriar() override { throw Exception(QStringLiteral("falhou ao configurar")); }
};

class ModulosFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
