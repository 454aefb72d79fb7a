#include "ModulosTeste.h"

void TTesteDMLcto::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                    const TnModulos &modulos)
{
    if (modulos.test(3)) {
        TnAction *a = lista.Adicionar(classe, evento);
        a->SetCategory(QStringLiteral("20 Movimentos"));
        a->SetCaption(QStringLiteral("Lançamentos do Inventário"));
        a->SetMenuIndex(10);
        a->SetShortCut(QStringLiteral("Ctrl+Shift+L"));
        a->SetImageIndex(100);
    }
    if (modulos.test(0)) {
        TnAction *a = lista.Adicionar(classe, evento);
        a->SetCategory(QStringLiteral("10 Configurações\\00 Consultas"));
        a->SetCaption(QStringLiteral("Inventário"));
        a->SetMenuIndex(40);
        a->SetChecarSelecao(false);
    }
}

void TTesteDMLcto::ReconfigurarDM(const QString &parametro, bool recarregar)
{
    Reconfiguracoes.append(parametro + (recarregar ? '+' : '-'));
    TnDataModule::ReconfigurarDM(parametro, recarregar);
}

void ModulosFixture::SetUp()
{
    ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteDMLcto>(QStringLiteral("TTesteDMLcto"))));
    ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteDPProcesso>(QStringLiteral("TTesteDPProcesso"))));
    ASSERT_TRUE(nRegisterClass(InfoDaClasse<TTesteDMFalha>(QStringLiteral("TTesteDMFalha"))));
}

void ModulosFixture::TearDown()
{
    for (const char *c : {"TTesteDMLcto", "TTesteDPProcesso", "TTesteDMFalha"})
        nUnRegisterClass(QString::fromLatin1(c));
    DestruirTodosDM();
    Selecao().Reset();
    Variaveis().Reiniciar();
}
