// Custom queries over the module's catalogue, with OrvoCore, Ulmar and OrvoQuery loaded as the
// program loads them: the catalogue read from the registers, the builder's statements, the
// saved definitions, the runner (action type 12) and its menu, and the definitions it refuses.
#include "Acoes.h"
#include "BancoTeste.h"
#include "Bibliotecas.h"
#include "ConsultaPersonalizada.h"
#include "Variaveis.h"

#include <QPointer>

namespace {

const QStringList kBibliotecas = {"OrvoCore", "Ulmar", "OrvoQuery"};
const QString kRunner = QStringLiteral("TOrvoDPConsultaPersonalizada");
const QString kLcto = QStringLiteral("TOrvoDMLctoInv");
const QString kProduto = QStringLiteral("TUlmarDMProduto");

class ConsultaPersonalizadaBanco : public BancoConvertido {
protected:
    void SetUp() override
    {
        BancoConvertido::SetUp();
        if (IsSkipped())
            return;
        for (const QString &b : kBibliotecas)
            TnBibliotecas::Carregar(b);
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial')");
        for (int p = 1; p <= 3; ++p)
            con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, ?, ?)",
                           {p, QStringLiteral("Produto %1").arg(p)});
        // Branch, month, product, quantity, unit cost.
        Lcto(1, QDate(2024, 1, 1), 1, 2, 10.5);
        Lcto(1, QDate(2024, 1, 1), 2, 3, 1.25);
        Lcto(2, QDate(2024, 1, 1), 1, 1, 7);
        Lcto(1, QDate(2024, 2, 1), 3, 4, 2.5);
    }
    void TearDown() override
    {
        DestruirTodosDM();
        for (qsizetype i = kBibliotecas.size() - 1; i >= 0; --i)
            TnBibliotecas::Descarregar(kBibliotecas[i]);
        Selecao().Reset();
        BancoConvertido::TearDown();
    }
    void Lcto(int estab, const QDate &data, int produto, double qtde, double preco)
    {
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                       "values (1, ?, ?, ?, 1, ?, ?, ?, 1, 2)",
                       {estab, data, produto, qtde, preco, QDateTime(data, QTime(8, 0))});
    }

    // Entries joined to their products: branch, product description, total cost summed,
    // entries counted; filtered by month range and branch list.
    static TnDefinicaoConsulta Totalizada()
    {
        TnDefinicaoConsulta d;
        const QString l = d.AdicionarTabela(kLcto), p = d.AdicionarTabela(kProduto);
        d.Juncoes.push_back({l, p, {{"CODIGOEMPRESA", "CODIGOEMPRESA"}, {"CODIGOPRODUTO", "CODIGOPRODUTO"}}});
        d.Campos = {{l, "CODIGOESTAB"}, {l, "DATAINVENT"}, {l, "CUSTOTOTAL", "Custo", false, ntcSoma},
                    {l, "CODIGOPRODUTO", "", false, ntcContagem}};
        d.Filtros = {{l, "DATAINVENT", nofEntre}, {l, "CODIGOESTAB", nofLista}};
        d.Ordem = {{l, "CODIGOESTAB"}, {l, "DATAINVENT"}};
        return d;
    }
    static TnDefinicaoConsulta Detalhe()
    {
        TnDefinicaoConsulta d;
        const QString l = d.AdicionarTabela(kLcto), p = d.AdicionarTabela(kProduto);
        d.Juncoes.push_back({l, p, {{"CODIGOEMPRESA", "CODIGOEMPRESA"}, {"CODIGOPRODUTO", "CODIGOPRODUTO"}}});
        d.Campos = {{l, "CODIGOPRODUTO"}, {p, "DESCRPRODUTO"}, {l, "QTDEESTOQUE", "", true}, {l, "CUSTOTOTAL"},
                    {l, "MOTIVOINVENTARIO"}};
        d.Filtros = {{p, "DESCRPRODUTO", nofContem}};
        d.Ordem = {{l, "CODIGOPRODUTO"}};
        return d;
    }

    // A runner of a saved definition, as the menu opens it (without its action).
    TnDPConsultaPersonalizada *Runner(int codigo)
    {
        auto *r = qobject_cast<TnDPConsultaPersonalizada *>(CriarDMNovo(kRunner));
        EXPECT_TRUE(r);
        if (r)
            r->CarregarConsulta(codigo);
        return r;
    }
    static QStringList Grade(TnClientDataSet &ds)
    {
        QStringList r;
        for (ds.First(); !ds.Eof(); ds.Next()) {
            QStringList l;
            for (int i = 0; i < ds.FieldCount(); ++i)
                if (ds.Fields(i).Visible())
                    l << ds.Fields(i).AsString();
            r << l.join(u'|');
        }
        return r;
    }
};

TEST_F(ConsultaPersonalizadaBanco, CatalogoDosRegistrosComCustoTotalSoNosLancamentos)
{
    std::unique_ptr<TnDPConsultaPersonalizada> r(Runner(SalvarConsultaPersonalizada("Linhas", 12, Detalhe())));
    const TnCatalogoConsulta &cat = r->Catalogo();
    QStringList classes;
    for (const TnTabelaCatalogo &t : cat.Tabelas())
        classes << t.Classe;
    // Of the Bloco K registers only those the library registers take part; the others and
    // the account plan are left out.
    EXPECT_EQ(classes, QStringList({kLcto, "TOrvoDMLctoInvPropriedade", "TOrvoDMLctoInvCST", kProduto,
                                    "TOrvoDMSpedFis0210", "TOrvoDMSpedFisK200", "TOrvoDMSpedFisK220",
                                    "TOrvoDMSpedFisK230", "TOrvoDMSpedFisK235", "TOrvoDMSpedFisK250",
                                    "TOrvoDMSpedFisK255"}));
    EXPECT_EQ(cat.Tabela(kLcto)->Tabela, QStringLiteral("LCTOINV"));
    EXPECT_EQ(cat.Tabela(kLcto)->Caption, QStringLiteral("Lançamentos do Inventário"));
    EXPECT_EQ(cat.Tabela(kLcto)->Campo("QTDEESTOQUE")->Descricao, QStringLiteral("Quantidade"));
    EXPECT_EQ(cat.Tabela(kLcto)->Chave.join(u';'),
              QStringLiteral("CODIGOEMPRESA;CODIGOESTAB;DATAINVENT;CODIGOPRODUTO;MOTIVOINVENTARIO"));

    for (const QString &classe : {kLcto, QStringLiteral("TOrvoDMLctoInvPropriedade")}) {
        TnClientDataSet ds;
        cat.CriarCamposDM(classe, ds);
        int custos = 0;
        for (ds.First(); !ds.Eof(); ds.Next())
            custos += ds.FieldByName("Campo").AsString() == QLatin1String("CUSTOTOTAL");
        EXPECT_EQ(custos, classe == kLcto ? 1 : 0);
        if (classe == kLcto) {
            ds.Last();
            EXPECT_EQ(ds.FieldByName("Campo").AsString(), QStringLiteral("CUSTOTOTAL"));
            EXPECT_EQ(ds.FieldByName("Descricao").AsString(), QStringLiteral("Custo Total"));
            EXPECT_EQ(ds.FieldByName("Formula").AsString(), QStringLiteral("(%0:s.QTDEESTOQUE * %0:s.PRECOUNIT)"));
            EXPECT_EQ(ds.FieldByName("Tipo").AsInteger(), 12);
            EXPECT_TRUE(ds.FieldByName("FieldTipoValor").AsBoolean());
            EXPECT_FALSE(ds.FieldByName("Somar").AsBoolean());
        }
    }
    const auto juncao = cat.JuncaoSugerida(kLcto, kProduto);
    ASSERT_EQ(juncao.size(), 2u);
    EXPECT_EQ(juncao[1], std::make_pair(QStringLiteral("CODIGOPRODUTO"), QStringLiteral("CODIGOPRODUTO")));
}

TEST_F(ConsultaPersonalizadaBanco, ComandosMontadosEValoresVinculados)
{
    std::unique_ptr<TnDPConsultaPersonalizada> r(Runner(SalvarConsultaPersonalizada("Linhas", 12, Detalhe())));
    TnpqPowerParam params;
    params.Adicionar({.Alias = "pFiltro1", .Tipo = ntpData}).SetValue(QDate(2024, 1, 1));
    params.Adicionar({.Alias = "pFiltro1Final", .Tipo = ntpData}).SetValue(QDate(2024, 1, 31));
    params.Adicionar({.Alias = "pFiltro2", .Tipo = ntpTexto}).SetValue("1; 3-4");
    TnConstrutorConsultaPersonalizada t(Totalizada(), &params);
    t.Montar(r->Catalogo(), true);
    // Quantity x unit cost exactly, in cents, on each engine.
    const std::string custo = teste::EmPostgres()
                                  ? "cast(round(cast(T1.QTDEESTOQUE as numeric) * cast(T1.PRECOUNIT as numeric), 2) "
                                    "* 100 as bigint)"
                                  : "orvo_produto(T1.QTDEESTOQUE, T1.PRECOUNIT, 2)";
    EXPECT_EQ(t.SQL().toStdString(),
              "select T1.CODIGOESTAB as CODIGOESTAB, T1.DATAINVENT as DATAINVENT, "
              "cast(sum(" + custo + ") as double precision) as CUSTOTOTAL, "
              "count(T1.CODIGOPRODUTO) as CODIGOPRODUTO from LCTOINV T1 join PRODUTO T2 on "
              "T1.CODIGOEMPRESA = T2.CODIGOEMPRESA and T1.CODIGOPRODUTO = T2.CODIGOPRODUTO "
              "where T1.DATAINVENT >= ? and T1.DATAINVENT <= ? and (T1.CODIGOESTAB = 1 or T1.CODIGOESTAB "
              "between 3 and 4) group by T1.CODIGOESTAB, T1.DATAINVENT order by CODIGOESTAB, DATAINVENT");
    EXPECT_EQ(t.Valores(), QVariantList({QDate(2024, 1, 1), QDate(2024, 1, 31)}));
    EXPECT_FALSE(t.OrdemPaginavel());

    TnpqPowerParam contem;
    contem.Adicionar({.Alias = "pFiltro1"}).SetValue("50%_x");
    TnConstrutorConsultaPersonalizada l(Detalhe(), &contem);
    l.Montar(r->Catalogo(), true);
    EXPECT_EQ(l.SQL().toStdString(),
              "select T1.CODIGOPRODUTO as CODIGOPRODUTO, T2.DESCRPRODUTO as DESCRPRODUTO, "
              "-(T1.QTDEESTOQUE) as QTDEESTOQUE, " + custo + " as CUSTOTOTAL, "
              "T1.MOTIVOINVENTARIO as MOTIVOINVENTARIO, T1.CODIGOEMPRESA as K_T1_CODIGOEMPRESA, "
              "T1.CODIGOESTAB as K_T1_CODIGOESTAB, T1.DATAINVENT as K_T1_DATAINVENT, "
              "T1.CODIGOPRODUTO as K_T1_CODIGOPRODUTO, T1.MOTIVOINVENTARIO as K_T1_MOTIVOINVENTARIO, "
              "T2.CODIGOEMPRESA as K_T2_CODIGOEMPRESA, T2.CODIGOPRODUTO as K_T2_CODIGOPRODUTO "
              "from LCTOINV T1 join PRODUTO T2 on T1.CODIGOEMPRESA = T2.CODIGOEMPRESA and "
              "T1.CODIGOPRODUTO = T2.CODIGOPRODUTO where upper(T2.DESCRPRODUTO) like ? escape '\\' "
              "order by CODIGOPRODUTO, K_T1_CODIGOEMPRESA, K_T1_CODIGOESTAB, K_T1_DATAINVENT, K_T1_CODIGOPRODUTO, "
              "K_T1_MOTIVOINVENTARIO, K_T2_CODIGOEMPRESA, K_T2_CODIGOPRODUTO");
    EXPECT_EQ(l.Valores(), QVariantList({QStringLiteral("%50\\%\\_X%")}));
    EXPECT_TRUE(l.OrdemPaginavel());
}

TEST_F(ConsultaPersonalizadaBanco, MesmasLinhasNosDoisBancosComFormatos)
{
    std::unique_ptr<TnDPConsultaPersonalizada> r(Runner(SalvarConsultaPersonalizada("Custo", 12, Totalizada())));
    EXPECT_EQ(r->Caption(), QStringLiteral("Custo"));
    ASSERT_EQ(r->PowerParam().Count(), 3);
    EXPECT_EQ(r->PowerParam().Items(0).Caption(), QStringLiteral("Data Inventário inicial"));
    EXPECT_EQ(r->PowerParam().Items(1).Alias(), QStringLiteral("pFiltro1Final"));
    EXPECT_TRUE(r->PowerParam().Items(2).MultiSelecao());
    r->Param("pFiltro2").SetText("1; 2");
    r->Rodar();
    TnClientDataSet &ds = r->nClientDataSet();
    EXPECT_EQ(Grade(ds), QStringList({"1|01/01/2024|24,75|2", "1|01/02/2024|10|1", "2|01/01/2024|7|1"}));
    EXPECT_EQ(ds.FieldByName("CUSTOTOTAL").DisplayLabel(), QStringLiteral("Custo"));
    EXPECT_EQ(ds.FieldByName("CUSTOTOTAL").DisplayFormat(), QStringLiteral("#,##0.00"));
    EXPECT_EQ(ds.FieldByName("CODIGOPRODUTO").DisplayFormat(), QString()); // a count: an integer
    r->Param("pFiltro1").SetText("01/02/2024");
    r->Rodar();
    EXPECT_EQ(Grade(ds), QStringList({"1|01/02/2024|10|1"}));

    // Rows read in packets, in the chosen order, with the product's description.
    std::unique_ptr<TnDPConsultaPersonalizada> l(Runner(SalvarConsultaPersonalizada("Linhas", 12, Detalhe())));
    l->nClientDataSet().SetPacketRecords(2);
    l->Param("pFiltro1").SetText("produto");
    l->Rodar();
    TnClientDataSet &li = l->nClientDataSet();
    EXPECT_FALSE(li.TodosLidos());
    EXPECT_EQ(Grade(li), QStringList({"1|Produto 1|-2|21|1", "1|Produto 1|-1|7|1", "2|Produto 2|-3|3,75|1",
                                      "3|Produto 3|-4|10|1"}));
    EXPECT_EQ(li.FieldByName("QTDEESTOQUE").DisplayFormat(), QStringLiteral("#,##0.000000")); // kept
    EXPECT_EQ(li.FieldByName("MOTIVOINVENTARIO").DisplayFormat(), QString());
    // Its report: every row (the packets still to read included), the shown columns only.
    const TnRelatorio rel = l->Relatorio();
    EXPECT_EQ(rel.Titulo, QStringLiteral("Linhas"));
    EXPECT_EQ(rel.Colunas.size(), 5u);
    EXPECT_EQ(rel.Linhas.size(), 4u);
    l->Param("pFiltro1").SetText("2");
    l->Rodar();
    EXPECT_EQ(li.RecordCount(), 1);

    // Quantity x unit cost exact to the cent in rows and totals: 29.7 x 186.05 is 5525.69
    // and 3 x 1.005 is 3.02 (products of doubles would give 5525.68 and 3.01).
    Lcto(2, QDate(2024, 3, 1), 3, 29.7, 186.05);
    Lcto(2, QDate(2024, 3, 1), 2, 3, 1.005);
    r->Param("pFiltro1").SetText("01/03/2024");
    r->Param("pFiltro2").SetText("2");
    r->Rodar();
    EXPECT_EQ(Grade(ds), QStringList({"2|01/03/2024|5528,71|2"}));
    l->Param("pFiltro1").SetText("Produto 3");
    l->Rodar();
    EXPECT_EQ(Grade(li), QStringList({"3|Produto 3|-4|10|1", "3|Produto 3|-29,7|5525,69|1"}));
}

TEST_F(ConsultaPersonalizadaBanco, DefinicoesRecusadas)
{
    const int codigo = SalvarConsultaPersonalizada("Linhas", 12, Detalhe());
    std::unique_ptr<TnDPConsultaPersonalizada> r(Runner(codigo));
    const TnCatalogoConsulta &cat = r->Catalogo();
    auto recusa = [&](TnDefinicaoConsulta d, const char *trecho, const TnpqPowerParam *p = nullptr) {
        try {
            TnConstrutorConsultaPersonalizada(d, p).Montar(cat);
            ADD_FAILURE() << "aceita: " << trecho;
        } catch (const Exception &e) {
            EXPECT_TRUE(e.Message().contains(QString::fromUtf8(trecho))) << e.Message().toStdString();
        }
    };
    TnDefinicaoConsulta d = Detalhe();
    d.Tabelas[1].Classe = "PRODUTO; drop table LCTOINV";
    recusa(d, "tabela desconhecida");
    d = Detalhe();
    d.Tabelas[0].Alias = "T1 join ESTAB E";
    recusa(d, "apelido de tabela inválido");
    d = Detalhe();
    d.Campos[1].Campo = "DESCRPRODUTO) from PRODUTO; --";
    recusa(d, "campo desconhecido");
    d = Detalhe();
    d.Juncoes[0].Campos = {{"CODIGOPRODUTO", "DESCRPRODUTO"}};
    recusa(d, "campos de tipos diferentes");
    d = Detalhe();
    d.Juncoes.clear();
    recusa(d, "não está ligada");
    d = Detalhe();
    d.Ordem = {{"T1", "PRECOUNIT"}};
    recusa(d, "a ordem cita");

    // A computed field whose formula names another table's alias.
    TnCatalogoConsulta outro(12);
    outro.OnCriarCamposDM = [](int, const QString &classe, TnClientDataSet &ds) {
        if (classe != QLatin1String("TOrvoDMLctoInv"))
            return;
        ds.Append();
        ds.FieldByName("Campo").SetAsString("OUTRO");
        ds.FieldByName("FieldTipoValor").SetAsBoolean(true);
        ds.FieldByName("Formula").SetAsString("(%0:s.QTDEESTOQUE * T2.PRECOUNIT)");
        ds.Post();
    };
    outro.AddTabela(kLcto, "", "", "");
    TnDefinicaoConsulta f;
    f.AdicionarTabela(kLcto);
    f.Campos = {{"T1", "OUTRO"}};
    EXPECT_THROW(TnConstrutorConsultaPersonalizada(f, nullptr).Montar(outro), Exception);

    // A filter value that does not convert: refused on its parameter.
    TnpqPowerParam p;
    p.Adicionar({.Alias = "pFiltro1", .Tipo = ntpData}).SetValue("31/02/2024");
    try {
        TnConstrutorConsultaPersonalizada(Totalizada(), &p).Montar(cat);
        ADD_FAILURE() << "data inválida aceita";
    } catch (const EnParam &e) {
        EXPECT_EQ(e.Param(), QStringLiteral("pFiltro1"));
    }
    TnpqPowerParam lista;
    lista.Adicionar({.Alias = "pFiltro2"}).SetValue("1; x");
    EXPECT_THROW(TnConstrutorConsultaPersonalizada(Totalizada(), &lista).Montar(cat), EnParam);

    // A stored definition that does not parse: the runner is not created, the query named.
    con().Executar("update NCONSULTAPERSONALIZADA set DEFINICAO = '{\"tabelas\": [' where CODIGOCONSULTA = ?", {codigo});
    try {
        Runner(codigo);
        ADD_FAILURE() << "definição ilegível aceita";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("A consulta \"Linhas\" não pode ser aberta."))) << e.what();
    }
    // A stored definition tampered with: refused the same way.
    d = Detalhe();
    d.Campos[0].Campo = "CODIGOPRODUTO from LCTOINV; delete from LCTOINV; --";
    con().Executar("update NCONSULTAPERSONALIZADA set DEFINICAO = ? where CODIGOCONSULTA = ?", {d.ParaJson(), codigo});
    EXPECT_THROW(Runner(codigo), Exception);
    EXPECT_EQ(Linhas("LCTOINV"), 4);
}

TEST_F(ConsultaPersonalizadaBanco, SalvarListarRenomearExcluir)
{
    const int a = SalvarConsultaPersonalizada("Custo por filial", 12, Totalizada());
    const int b = SalvarConsultaPersonalizada("Linhas", 12, Detalhe());
    EXPECT_THROW(SalvarConsultaPersonalizada("custo POR filial", 12, Detalhe()), Exception);
    EXPECT_THROW(RenomearConsultaPersonalizada(b, "Custo por filial"), Exception);
    EXPECT_THROW(SalvarConsultaPersonalizada("  ", 12, Detalhe()), Exception);
    RenomearConsultaPersonalizada(b, "Entradas");
    const auto lista = ListarConsultasPersonalizadas(12);
    ASSERT_EQ(lista.size(), 2u);
    EXPECT_EQ(lista[0].Nome, QStringLiteral("Custo por filial"));
    EXPECT_EQ(lista[1].Nome, QStringLiteral("Entradas"));
    EXPECT_EQ(TnDefinicaoConsulta::DeJson(lista[0].Definicao).ParaJson(), Totalizada().ParaJson());
    ExcluirConsultaPersonalizada(a);
    EXPECT_EQ(ListarConsultasPersonalizadas().size(), 1u);
    EXPECT_THROW(LerConsultaPersonalizada(a), Exception);
}

TEST_F(ConsultaPersonalizadaBanco, ProdutoDaSelecaoSoQuandoExiste)
{
    std::unique_ptr<TnDPConsultaPersonalizada> r(Runner(SalvarConsultaPersonalizada("Linhas", 12, Detalhe())));
    // Selection parameters are never removed: an earlier case of the same run may have
    // added this one, and then only the second half can be seen.
    if (!Selecao().Existe("CODIGOPRODUTO")) {
        const int antes = Selecao().Count();
        r->Rodar();
        EXPECT_FALSE(Selecao().Existe("CODIGOPRODUTO"));
        EXPECT_EQ(Selecao().Count(), antes);
    }
    Selecao().GetParams("CODIGOPRODUTO").SetValue(7);
    r->Rodar();
    EXPECT_EQ(Selecao().GetParams("CODIGOPRODUTO").Value().toInt(), 1);
}

TEST_F(ConsultaPersonalizadaBanco, ConsultaSalvaNoMenuRodaEDescarregarLevaOTipo12)
{
    EXPECT_EQ(Registro().ActionPowerInfo(12), kRunner);
    SalvarConsultaPersonalizada("Custo por filial", 12, Totalizada());
    SalvarConsultaPersonalizada("De outro tipo", 13, Totalizada());
    TnActionList lista;
    lista.GerarPrincAction([](TnAction *) {}, Modulos({3}));
    QList<TnAction *> consultas;
    for (TnAction *a : lista.Acoes())
        if (a->NomeClasse() == kRunner)
            consultas << a;
    ASSERT_EQ(consultas.size(), 1);
    QPointer<TnAction> acao = consultas[0];
    EXPECT_EQ(acao->Caption(), QStringLiteral("Custo por filial"));
    EXPECT_EQ(acao->Category(), QStringLiteral("30 Consultas\\20 Consultas Personalizadas"));

    std::unique_ptr<TnDataModule> dm(CriarDM(acao->NomeClasse(), acao));
    auto *r = qobject_cast<TnDPConsultaPersonalizada *>(dm.get());
    ASSERT_TRUE(r);
    r->Rodar();
    EXPECT_EQ(r->nClientDataSet().RecordCount(), 3);
    dm.reset();

    TnBibliotecas::Descarregar("OrvoQuery");
    EXPECT_TRUE(Registro().ActionPowerInfo(12).isEmpty());
    EXPECT_TRUE(acao.isNull());
    TnActionList depois;
    depois.GerarPrincAction([](TnAction *) {}, Modulos({3}));
    for (TnAction *a : depois.Acoes())
        EXPECT_NE(a->Category(), QStringLiteral("30 Consultas\\20 Consultas Personalizadas"));
}

} // namespace
