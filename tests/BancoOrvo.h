#pragma once
// Fixture for the program's own cases: a converted database (the sample company) with
// company 1 and branch 1 selected. Afterwards the modules, the classes the case registered,
// the loaded libraries, the selection and the variables are as before.
#include "Acoes.h"
#include "BancoTeste.h"
#include "Bibliotecas.h"
#include "ConversaoBanco.h"
#include "DMClientDataSet.h"
#include "Modulos.h"
#include "Variaveis.h"

#include <QStringList>
#include <memory>
#include <utility>

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
        FAcoes.reset();
        DestruirTodosDM();
        for (const QString &nome : FClassesDoCaso)
            nUnRegisterClass(nome);
        TnBibliotecas::DescarregarTodas();
        Selecao().Reset();
        Variaveis().Reiniciar();
        gDataInicialAtivo = QDate();
        BancoTeste::TearDown();
    }
    // Registers a class of the case's own under `nome`; it goes when the case ends.
    template <class T> bool RegistrarClasse(const QString &nome)
    {
        if (!nRegisterClass(InfoDaClasse<T>(nome)))
            return false;
        FClassesDoCaso.append(nome);
        return true;
    }
    // Selects the inventory date the modules follow.
    static void SelecionarData(const QDate &d)
    {
        Selecao().GetParams("DataInvent").SetValue(d);
        Selecao().Refresh();
    }
    // A new register (or consultation) of class `classe`, opened.
    static TnDMClientDataSet *AbrirDM(const QString &classe)
    {
        auto *dm = qobject_cast<TnDMClientDataSet *>(CriarDM(classe));
        EXPECT_NE(dm, nullptr);
        if (dm)
            dm->Abrir();
        return dm;
    }
    // The column and message of the field refusal of `dm`'s Post, or an empty column when
    // it passed (the row stays as the refusal left it).
    static std::pair<QString, QString> Recusa(TnDMClientDataSet *dm)
    {
        try {
            dm->nClientDataSet().Post();
        } catch (const EnField &e) {
            return {e.Campo(), e.Message()};
        }
        return {};
    }
    // The message of any refusal of `dm`'s Post (empty when it passed); the row is cancelled.
    static QString MensagemDaRecusa(TnDMClientDataSet *dm)
    {
        QString msg;
        try {
            dm->nClientDataSet().Post();
        } catch (const Exception &e) {
            msg = e.Message();
        }
        dm->nClientDataSet().Cancel();
        return msg;
    }
    // The inventory menu's actions (module 3) as the registered classes give them: made on
    // first use, kept until the case ends.
    TnActionList &AcoesDoMenu()
    {
        if (!FAcoes) {
            FAcoes = std::make_unique<TnActionList>();
            FAcoes->GerarPrincAction(TnEventoAcao(), Modulos({3}));
        }
        return *FAcoes;
    }
    // The action `nome` of the inventory menu, or null.
    TnAction *AcaoDoMenu(const QString &nome) { return AcoesDoMenu().Acao(nome); }

private:
    QStringList FClassesDoCaso;
    std::unique_ptr<TnActionList> FAcoes;
};

// The program's cases on its inventory library (OrvoCore) as the program loads it; its
// classes are reached by class name.
class BancoOrvoCore : public BancoOrvo {
protected:
    void SetUp() override
    {
        BancoOrvo::SetUp();
        if (!IsSkipped())
            TnBibliotecas::Carregar("OrvoCore");
    }
};
