// The custom-query designer with OrvoCore, Ulmar and OrvoQuery loaded as the program loads
// them: its menu action, the catalogue it offers and its computed field, a query designed,
// saved and run by the runner of action type 12, what the designer refuses, and the
// preview that the module refreshes only on demand.
#include "BancoConsultaPersonalizada.h"
#include "ConfiguradorConsulta.h"

namespace {

const QString kDesigner = QStringLiteral("TOrvoDPConfiguradorConsultaPersonalizada");
const QString kLcto = QStringLiteral("TOrvoDMLctoInv");
const QString kProduto = QStringLiteral("TUlmarDMProduto");

struct TnEntradaEsperada {
    const char *Classe, *Grupo, *Item, *Caption;
};
const TnEntradaEsperada kEsperadas[] = {
    {"TOrvoDMLctoInv", "Lancamentos", "Lançamento", "Lançamentos do Inventário"},
    {"TOrvoDMLctoInvPropriedade", "Lancamentos", "Lançamento", "Lançamentos do Inventário - Propriedade"},
    {"TOrvoDMLctoInvCST", "Lancamentos", "Lançamento", "Lançamentos do Inventário - CST"},
    {"TUlmarDMProduto", "Cadastros", "Cadastro", ""},
    {"TOrvoDMSpedFis0210", "Cadastros", "Cadastro", "0210 (Consumo Específico Padronizado)"},
    {"TOrvoDMSpedFisK200", "Cadastros", "Cadastro", "K200 (Estoque Escriturado)"},
    {"TOrvoDMSpedFisK220", "Cadastros", "Cadastro", "K220 (Outras Movimentações Internas Entre Mercadorias)"},
    {"TOrvoDMSpedFisK230", "Cadastros", "Cadastro", "K230 (Itens Produzidos)"},
    {"TOrvoDMSpedFisK235", "Cadastros", "Cadastro", "K235 (Insumos Consumidos)"},
    {"TOrvoDMSpedFisK250", "Cadastros", "Cadastro", "K250 (Industrialização Efetuada por Terceiros)"},
    {"TOrvoDMSpedFisK255", "Cadastros", "Cadastro", "K255 (Industrialização Efetuada por Terceiros - Insumos Consumidos)"},
    {"TTavroDCPlanoEspec", "Cadastros", "Cadastro", ""},
};

class ConfiguradorConsultaBanco : public BancoConsultaPersonalizada {
protected:
    void SetUp() override
    {
        BancoConsultaPersonalizada::SetUp();
        if (IsSkipped())
            return;
        InserirProdutos("Produto", 2);
        // 29.7 x 186.05 is 5525.69 and 3 x 1.005 is 3.02 exactly (as doubles: 5525.68, 3.01).
        Lcto(1, 1, 29.7, 186.05);
        Lcto(1, 2, 3, 1.005);
        Lcto(2, 1, 2, 10.5);
    }
    void Lcto(int estab, int produto, double qtde, double preco)
    {
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                       "values (1, ?, '2024-03-01', ?, 1, ?, ?, '2024-03-01 08:00:00', 1, 2)",
                       {estab, produto, qtde, preco});
    }
    // A designer as its window opens it (configured with its form; none here).
    std::unique_ptr<TnDPConfiguradorConsultaPersonalizada> Designer()
    {
        std::unique_ptr<TnDPConfiguradorConsultaPersonalizada> d(
            qobject_cast<TnDPConfiguradorConsultaPersonalizada *>(CriarDMNovo(kDesigner)));
        EXPECT_TRUE(d);
        if (d)
            d->ConfigurarForm(nullptr);
        return d;
    }
};

} // namespace

TEST_F(ConfiguradorConsultaBanco, AcaoCatalogoEProdutoDaSelecao)
{
    TnActionList acoes;
    acoes.GerarPrincAction([](TnAction *) {}, Modulos({0, 1}));
    EXPECT_EQ(acoes.Acao("act" + kDesigner), nullptr);
    acoes.GerarPrincAction([](TnAction *) {}, Modulos({3}));
    TnAction *a = acoes.Acao("act" + kDesigner);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Category(), QStringLiteral("30 Consultas\\20 Consultas Personalizadas"));
    EXPECT_EQ(a->Caption(), QStringLiteral("Gerador de Consultas"));
    EXPECT_EQ(a->MenuIndex(), -1);
    EXPECT_EQ(a->NomeClasse(), kDesigner);

    // The selection's product is preset only when the selection has it; none is added.
    const bool tinhaProduto = Selecao().Existe("CODIGOPRODUTO");
    auto d = Designer();
    ASSERT_TRUE(d);
    EXPECT_EQ(Selecao().Existe("CODIGOPRODUTO"), tinhaProduto);
    Selecao().GetParams("CODIGOPRODUTO").SetValue(7);
    Designer();
    EXPECT_EQ(Selecao().GetParams("CODIGOPRODUTO").Value().toInt(), 1);

    // The catalogue in its order: the classes registered, the others (the account plan
    // among them) left out without an error.
    EXPECT_EQ(d->FormConfigurador().TipoAction(), 12);
    EXPECT_EQ(d->Catalogo().TipoAcao(), 12);
    QStringList esperadas, obtidas;
    for (const TnEntradaEsperada &e : kEsperadas)
        if (Registro().Classe(QString::fromLatin1(e.Classe)))
            esperadas << QString::fromLatin1(e.Classe);
    for (const TnTabelaCatalogo &t : d->Catalogo().Tabelas())
        obtidas << t.Classe;
    EXPECT_EQ(obtidas, esperadas);
    EXPECT_GE(obtidas.size(), 9);
    EXPECT_FALSE(obtidas.contains("TTavroDCPlanoEspec"));
    for (const TnEntradaEsperada &e : kEsperadas) {
        const TnTabelaCatalogo *t = d->Catalogo().Tabela(QString::fromLatin1(e.Classe));
        if (!t)
            continue;
        EXPECT_EQ(t->Grupo, QString::fromUtf8(e.Grupo)) << e.Classe;
        EXPECT_EQ(t->Item, QString::fromUtf8(e.Item)) << e.Classe;
        if (*e.Caption)
            EXPECT_EQ(t->Caption, QString::fromUtf8(e.Caption)) << e.Classe;
        else
            EXPECT_FALSE(t->Caption.isEmpty()) << e.Classe; // the register's own
    }
    // The navigation bar: the groups in the order first met, their items in catalogue order.
    const std::vector<TnGrupoNavBar> &nav = d->FormConfigurador().NavBar();
    ASSERT_EQ(nav.size(), 2u);
    EXPECT_EQ(nav[0].Caption, QStringLiteral("Lancamentos"));
    ASSERT_EQ(nav[0].Itens.size(), 3u);
    EXPECT_EQ(nav[0].Itens[2].Caption, QStringLiteral("Lançamentos do Inventário - CST"));
    EXPECT_EQ(nav[1].Caption, QStringLiteral("Cadastros"));
    EXPECT_EQ(nav[1].Itens.size(), size_t(obtidas.size() - 3));
    EXPECT_EQ(nav[1].Itens[0].Classe, kProduto);
    EXPECT_EQ(nav[1].Itens[0].Palavra, QStringLiteral("Cadastro"));

    // "Custo Total" only for the entries, after the framework's rows.
    for (const QString &classe : {kLcto, QStringLiteral("TOrvoDMLctoInvPropriedade"), kProduto}) {
        TnClientDataSet ds;
        d->Catalogo().CriarCamposDM(classe, ds);
        int custos = 0, linhas = 0;
        for (ds.First(); !ds.Eof(); ds.Next(), ++linhas)
            custos += ds.FieldByName("Campo").AsString() == QLatin1String("CUSTOTOTAL");
        EXPECT_EQ(custos, classe == kLcto ? 1 : 0) << classe.toStdString();
        if (classe != kLcto)
            continue;
        EXPECT_GT(linhas, 10);
        ds.Last();
        EXPECT_EQ(ds.FieldByName("Campo").AsString(), QStringLiteral("CUSTOTOTAL"));
        EXPECT_EQ(ds.FieldByName("Descricao").AsString(), QStringLiteral("Custo Total"));
        EXPECT_EQ(ds.FieldByName("Tipo").AsInteger(), 12);
        EXPECT_EQ(ds.FieldByName("Tabela").AsString(), kLcto);
        EXPECT_TRUE(ds.FieldByName("FieldTipoValor").AsBoolean());
        EXPECT_EQ(ds.FieldByName("Formula").AsString(), QStringLiteral("(%0:s.QTDEESTOQUE * %0:s.PRECOUNIT)"));
        for (const char *f : {"Filtro", "Dado", "NegativarValor", "Somar", "Contar", "Minimo", "Maximo", "Media", "Join"})
            EXPECT_FALSE(ds.FieldByName(QString::fromLatin1(f)).AsBoolean()) << f;
    }
    const QString l = d->AdicionarTabela(kLcto), p = d->AdicionarTabela("TOrvoDMLctoInvPropriedade");
    const std::vector<TnCampoDesenho> campos = d->Campos(l);
    ASSERT_FALSE(campos.empty());
    EXPECT_EQ(campos.back().Campo, QStringLiteral("CUSTOTOTAL"));
    EXPECT_TRUE(campos.back().Calculado);
    EXPECT_TRUE(campos.back().Numerico);
    for (const TnCampoDesenho &c : d->Campos(p))
        EXPECT_NE(c.Campo, QStringLiteral("CUSTOTOTAL"));
}

TEST_F(ConfiguradorConsultaBanco, ConsultaDesenhadaSalvaERodadaPeloExecutor)
{
    auto d = Designer();
    ASSERT_TRUE(d);
    const QString l = d->AdicionarTabela(kLcto);
    const QString p = d->AdicionarTabela(kProduto);
    EXPECT_EQ(l, QStringLiteral("T1"));
    EXPECT_EQ(p, QStringLiteral("T2"));
    // The join the catalogue suggests.
    const std::vector<TnParJuncao> juncoes = d->Juncoes();
    ASSERT_EQ(juncoes.size(), 2u);
    EXPECT_EQ(juncoes[1], (TnParJuncao{l, "CODIGOPRODUTO", p, "CODIGOPRODUTO"}));

    d->SetMostrar(l, "CODIGOESTAB", true);
    d->SetMostrar(p, "DESCRPRODUTO", true);
    d->SetTotal(l, "CUSTOTOTAL", ntcSoma);
    d->SetTotal(l, "QTDEESTOQUE", ntcContagem);
    d->SetCaption(l, "CUSTOTOTAL", "Custo'; drop table LCTOINV; --");
    d->SetFiltro(l, "CODIGOESTAB", true);
    d->SetFiltro(l, "DATAINVENT", true);
    EXPECT_EQ(d->Campo(l, "CODIGOESTAB").Operador, nofLista);
    EXPECT_EQ(d->Campo(l, "DATAINVENT").Operador, nofEntre);
    d->SetOperadorFiltro(l, "CODIGOESTAB", nofIgual);
    d->AdicionarOrdem(l, "CODIGOESTAB");
    d->AdicionarOrdem(p, "DESCRPRODUTO");
    EXPECT_EQ(d->MoverOrdem(1, -5), 0);
    EXPECT_EQ(d->Definicao().Ordem[0].Campo, QStringLiteral("DESCRPRODUTO"));
    EXPECT_TRUE(d->Alterada());

    // What the user may not do is refused, and nothing of it reaches the statement.
    const auto recusa = [](const std::function<void()> &f) {
        EXPECT_THROW(f(), Exception);
    };
    recusa([&] { d->AdicionarTabela("TTavroDCPlanoEspec"); });
    recusa([&] { d->SetMostrar(l, "CODIGOPRODUTO from LCTOINV; delete from LCTOINV; --", true); });
    recusa([&] { d->SetMostrar("T9", "CODIGOESTAB", true); });
    recusa([&] { d->SetTotal(p, "DESCRPRODUTO", ntcSoma); });
    recusa([&] { d->SetNegativar(p, "DESCRPRODUTO", true); });
    recusa([&] { d->SetOperadorFiltro(l, "CUSTOTOTAL", nofContem); });
    recusa([&] { d->AdicionarOrdem(l, "CUSTOTOTAL"); }); // a total orders nothing
    recusa([&] { d->AdicionarJuncao({l, "DATAINVENT", p, "DESCRPRODUTO"}); });
    const QString sql = d->SQLGerado();
    EXPECT_FALSE(sql.contains("drop", Qt::CaseInsensitive)) << sql.toStdString();
    EXPECT_TRUE(sql.contains("sum(")) << sql.toStdString();

    // The module's preview waits for the user (IgnorarEvento); then its first rows are exact.
    EXPECT_EQ(d->Previa(), nullptr);
    d->Rodar();
    ASSERT_NE(d->Previa(), nullptr);
    EXPECT_EQ(GradeVisivel(*d->Previa()), QStringList({"1|Produto 1|5.525,69|1", "2|Produto 1|21,00|1", "1|Produto 2|3,02|1"}));
    EXPECT_EQ(d->Previa()->FieldByName("CUSTOTOTAL").DisplayLabel(), QStringLiteral("Custo'; drop table LCTOINV; --"));

    // Saved, renamed, opened again as it was.
    const int codigo = d->Salvar("Custo por produto");
    EXPECT_FALSE(d->Alterada());
    EXPECT_THROW(Designer()->Salvar("custo POR produto"), Exception); // the name is taken
    d->Renomear(codigo, "Custo por filial e produto");
    EXPECT_EQ(d->NomeConsulta(), QStringLiteral("Custo por filial e produto"));
    auto outro = Designer();
    ASSERT_EQ(outro->ConsultasSalvas().size(), 1u);
    outro->Abrir(codigo);
    EXPECT_EQ(outro->Definicao().ParaJson(), d->Definicao().ParaJson());
    EXPECT_EQ(outro->NomeConsulta(), QStringLiteral("Custo por filial e produto"));
    EXPECT_FALSE(outro->Alterada());

    // The runner bound to action type 12 runs it with its filters bound.
    std::unique_ptr<TnDPConsultaPersonalizada> r(
        qobject_cast<TnDPConsultaPersonalizada *>(CriarDMNovo(Registro().ActionPowerInfo(12))));
    ASSERT_TRUE(r);
    r->CarregarConsulta(codigo);
    ASSERT_EQ(r->PowerParam().Count(), 3);
    r->Param("pFiltro1").SetText("1");
    r->Param("pFiltro2").SetText("01/03/2024");
    r->Param("pFiltro2Final").SetText("31/03/2024");
    r->Rodar();
    EXPECT_EQ(GradeVisivel(r->nClientDataSet()), QStringList({"1|Produto 1|5.525,69|1", "1|Produto 2|3,02|1"}));
    EXPECT_EQ(r->nClientDataSet().FieldByName("CUSTOTOTAL").DisplayLabel(),
              QStringLiteral("Custo'; drop table LCTOINV; --"));
    EXPECT_EQ(Linhas("LCTOINV"), 3);

    // Deleted: the design stays, as a new query.
    d->Excluir(codigo);
    EXPECT_EQ(d->Codigo(), 0);
    EXPECT_TRUE(d->ConsultasSalvas().empty());
    EXPECT_FALSE(d->Definicao().Tabelas.empty());
    EXPECT_THROW(outro->Abrir(codigo), Exception);
    // The other window still holds it: its save makes a new query instead of failing.
    EXPECT_GT(outro->Salvar("Custo por filial e produto"), 0);
    ASSERT_EQ(outro->ConsultasSalvas().size(), 1u);
    EXPECT_EQ(outro->ConsultasSalvas()[0].Nome, QStringLiteral("Custo por filial e produto"));

    // Taking a table out takes its fields, filters, order and joins.
    d->RemoverTabela(p);
    EXPECT_TRUE(d->Juncoes().empty());
    for (const TnCampoConsulta &c : d->Definicao().Campos)
        EXPECT_EQ(c.Alias, l);
    EXPECT_EQ(d->Definicao().Ordem.size(), 1u);
}

TEST_F(ConfiguradorConsultaBanco, BaseAtualizaAPreviaACadaAlteracao)
{
    // The framework's own handler of OnDefinicaoAlterada shows the first rows after every
    // change; an incomplete design leaves the preview empty without an error.
    TnDPConfiguradorConsultaPersonalizada base;
    base.FormConfigurador().SetTipoAction(12);
    ASSERT_TRUE(base.FormConfigurador().AddTabela(kLcto, "Lancamentos", "Lançamento", ""));
    EXPECT_FALSE(base.FormConfigurador().AddTabela("TTavroDCPlanoEspec", "Cadastros", "Cadastro", ""));
    const QString l = base.AdicionarTabela(kLcto);
    EXPECT_EQ(base.Previa(), nullptr); // no field yet
    base.SetMostrar(l, "QTDEESTOQUE", true);
    ASSERT_NE(base.Previa(), nullptr);
    EXPECT_EQ(base.Previa()->RecordCount(), 3);
    // Without the module's computed field the catalogue has none.
    EXPECT_THROW(base.SetMostrar(l, "CUSTOTOTAL", true), Exception);
}
