#include "Menu.h"

#include <gtest/gtest.h>

namespace {
const QStringList kPrincipais = {"Á&reas de Trabalho", "&Cadastros", "&Movimentos", "C&onsultas",
                                 "&Utilitários", "Co&nfigurações", "R&elatórios", "Ar&quivos"};

void Acao(TnActionList &l, const QString &nome, const QString &categoria, const QString &caption, int indice)
{
    TnAction *a = l.Adicionar(nome);
    a->SetCategory(categoria);
    a->SetCaption(caption);
    a->SetMenuIndex(indice);
}

QStringList Captions(const TnItemMenu &m)
{
    QStringList r;
    for (const auto &i : m.Itens)
        r.append(i->Caption);
    return r;
}
} // namespace

TEST(MenuPrincipal, SegmentoComESemPrefixoNumerico)
{
    struct Caso { const char *texto; int prefixo; const char *nome; };
    const Caso casos[] = {
        {"02 Movimentos", 2, "Movimentos"},   {"20 Movimentos", 20, "Movimentos"},
        {" 45 -SPED ", 45, "-SPED"},           {"00 Consultas", 0, "Consultas"},
        {"Utilitários", -1, "Utilitários"},    {"2024", -1, "2024"},
        {"3D Cadastros", -1, "3D Cadastros"},  {"1234567890 Grande", -1, "1234567890 Grande"},
        {"", -1, ""},
    };
    for (const Caso &c : casos) {
        const TnSegmentoCategoria s = DividirSegmento(QString::fromUtf8(c.texto));
        EXPECT_EQ(s.Prefixo, c.prefixo) << c.texto;
        EXPECT_EQ(s.Nome, QString::fromUtf8(c.nome)) << c.texto;
    }
    EXPECT_EQ(ChaveNomeMenu(QStringLiteral(" Co&nfigurações ")), ChaveNomeMenu(QStringLiteral("CONFIGURAÇÕES")));
    EXPECT_EQ(ChaveNomeMenu(QStringLiteral("P&&D")), QStringLiteral("p&d"));
}

// The inventory entry register's action says "20 Movimentos" while its form metadata says
// "02 Movimentos": both land under the form's "&Movimentos", as do the settings' "10" and
// "50 Configurações".
TEST(MenuPrincipal, PrefixosDiferentesDoMesmoNomeSeJuntam)
{
    TnActionList l;
    Acao(l, "actLcto", "20 Movimentos", "Lançamentos do Inventário", 10);
    Acao(l, "actAjuste", "02 Movimentos", "Ajustar Inventário", 40);
    Acao(l, "actDuplicar", "20 Movimentos", "Duplicar Lançamentos do Inventário", 20);
    Acao(l, "actConsLcto", "02 Movimentos\\00 Consultas", "Lançamentos do Inventário", 1);
    Acao(l, "actCfg", "10 Configurações", "Configuração da Empresa", 1);
    Acao(l, "actPeriodo", "50 Configurações", "Selecionar Período Inventário", 100);
    Acao(l, "actK210", "01 Cadastros\\45 -SPED", "K210", 200);
    Acao(l, "actK215", "01 Cadastros\\35 -SPED", "K215", 2);
    Acao(l, "actSaldo", "Utilitários", "Saldo anterior e movimentação", 0);
    Acao(l, "actSemMenu", "", "Sem menu", 1);

    TnMenuModelo m(kPrincipais);
    m.Montar(l);
    ASSERT_EQ(m.Itens().size(), 8u); // only the form's items: every category matched one
    EXPECT_EQ(Captions(*m.Itens()[2]),
              QStringList({"Consultas", "Lançamentos do Inventário", "Duplicar Lançamentos do Inventário",
                           "Ajustar Inventário"}));
    EXPECT_EQ(m.Item("Movimentos\\Consultas\\Lançamentos do Inventário")->Acao->Name(), QStringLiteral("actConsLcto"));
    EXPECT_EQ(Captions(*m.Item("configurações")),
              QStringList({"Configuração da Empresa", "Selecionar Período Inventário"}));
    // One "-SPED" submenu, at the smallest prefix of the two.
    const TnItemMenu *sped = m.Item("Cadastros\\-SPED");
    ASSERT_NE(sped, nullptr);
    EXPECT_EQ(sped->Posicao, 35);
    EXPECT_EQ(Captions(*sped), QStringList({"K215", "K210"}));
    EXPECT_EQ(Captions(*m.Item("Utilitários")), QStringList({"Saldo anterior e movimentação"}));
    EXPECT_EQ(m.Item("Sem menu"), nullptr);
    EXPECT_TRUE(m.Itens()[0]->Itens.empty());
}

TEST(MenuPrincipal, OrdemPorPosicaoSubmenusAntesDeAcoesDepoisCaption)
{
    TnActionList l;
    Acao(l, "a50", "30 Consultas", "Total Inventário por Período", 50);
    Acao(l, "a30", "30 Consultas", "Lançamentos do Inventário", 30);
    Acao(l, "aPers", "30 Consultas\\20 Consultas Personalizadas", "Gerador de Consultas", -1);
    Acao(l, "aSemPref", "30 Consultas\\Diversos", "Sem prefixo", 1);
    Acao(l, "a20b", "30 Consultas", "Beta", 20);
    Acao(l, "a20a", "30 Consultas", "alfa", 20);
    Acao(l, "aDuplo1", "30 Consultas", "Igual", 60);
    Acao(l, "aDuplo2", "30 Consultas", "Igual", 60);
    // Categories no form item has: new top-level items after the form's, by the same rule.
    Acao(l, "aX", "95 Extras", "X", 1);
    Acao(l, "aY", "90 Outros\\10 Sub", "Y", 1);
    Acao(l, "aZ", "Sem Número", "Z", 1);

    TnMenuModelo m(kPrincipais);
    m.Montar(l);
    EXPECT_EQ(Captions(*m.Item("Consultas")),
              QStringList({"Consultas Personalizadas", "alfa", "Beta", "Lançamentos do Inventário",
                           "Total Inventário por Período", "Igual", "Igual", "Diversos"}));
    const TnItemMenu *c = m.Item("Consultas");
    EXPECT_EQ(c->Itens[5]->Acao->Name(), QStringLiteral("aDuplo1")); // stable
    EXPECT_EQ(c->Itens[7]->Posicao, INT_MAX);
    ASSERT_EQ(m.Itens().size(), 11u);
    EXPECT_EQ(m.Itens()[8]->Caption, QStringLiteral("Outros"));
    EXPECT_EQ(m.Itens()[9]->Caption, QStringLiteral("Extras"));
    EXPECT_EQ(m.Itens()[10]->Caption, QStringLiteral("Sem Número"));
    EXPECT_EQ(m.Itens()[0]->Caption, QStringLiteral("Á&reas de Trabalho")); // the form's caption as it is
}

TEST(MenuPrincipal, EntradasNaoSeguramAcoesApagadas)
{
    TnActionList l;
    Acao(l, "actA", "02 Movimentos", "A", 1);
    TnMenuModelo m(kPrincipais);
    m.Montar(l);
    const TnItemMenu *a = m.Item("Movimentos\\A");
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->EhSubmenu());
    l.Limpar();
    EXPECT_TRUE(a->Acao.isNull());
    EXPECT_FALSE(a->EhSubmenu());
    m.Montar(l);
    EXPECT_EQ(m.Item("Movimentos\\A"), nullptr);
}
