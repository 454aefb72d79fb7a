// The generic register page, register grid and consultation grid on a real database: a
// record's round trip through the controls, failures that focus their field, a detail
// register on a tab that follows its master, and the search of a lookup.
#include "BancoTeste.h"
#include "ConversaoBanco.h"
#include "InteracaoTeste.h"
#include "QtCadastro.h"
#include "QtEditores.h"
#include "QtGrade.h"
#include "QtTeste.h"
#include "SQLDataSet.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTabWidget>
#include <QTableView>

namespace {
const QStringList kPeriodos = {"Nenhum=0", "Mensal=1", "Trimestral=2", "Anual=3"};

const TnDefCadastro kCfg{
    .SQL = "select CODIGOEMPRESA, QTDECASADECIMAL, QTDECASADECIMALQTD, LANCAICMSRECUP, DETALHARPISCOFINSITEM, "
           "PERIODOINVENTARIO from CFGEMPRESAINV",
    .Tabela = "CFGEMPRESAINV",
    .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true, .Flags = pfPadrao | pfInKey,
                .Def = {.DisplayLabel = "Empresa", .CamposLink = "CODIGOEMPRESA", .ClasseLookup = "TTesteDCEmpresa"}},
               {.Nome = "QTDECASADECIMAL", .Tipo = ftSmallint,
                .Def = {.DisplayLabel = "Decimais do custo", .ValorPadrao = 2, .Maximo = 6,
                        .MensagemErro = "Informe até 6 decimais."}},
               {.Nome = "QTDECASADECIMALQTD", .Tipo = ftSmallint,
                .Def = {.DisplayLabel = "Decimais da quantidade", .Habilitado = false, .ValorPadrao = 4}},
               {.Nome = "LANCAICMSRECUP", .Tipo = ftString, .Tamanho = 1,
                .Def = {.DisplayLabel = "ICMS recuperável", .Pagina = "Impostos", .TipoControle = ntcCheckBox,
                        .ValorPadrao = "0"}},
               {.Nome = "DETALHARPISCOFINSITEM", .Tipo = ftString, .Tamanho = 1,
                .Def = {.DisplayLabel = "Detalhar PIS/COFINS", .Pagina = "Impostos", .ListaValores = {"Sim=1", "Não=0"},
                        .ValorPadrao = "0"}},
               {.Nome = "PERIODOINVENTARIO", .Tipo = ftSmallint,
                .Def = {.DisplayLabel = "Periodicidade", .Pagina = "Inventário", .ListaValores = kPeriodos,
                        .TipoControle = ntcCombo, .ValorPadrao = 0}}},
    .Chave = "CODIGOEMPRESA",
    .Ordem = "CODIGOEMPRESA",
    .Caption = "Configuração do Inventário"};

class TTesteDMCfg : public TnDMClientDataSet {
public:
    TTesteDMCfg() : TnDMClientDataSet(kCfg) {}
    void ValidarDado() override
    {
        TnDMClientDataSet::ValidarDado();
        if (FalharQuantidade)
            throw EnField("QTDECASADECIMALQTD", "Decimais da quantidade inválidos.");
    }
    bool FalharQuantidade = false;
};

const TnDefCampo kEmpresaCampos[] = {
    {.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true, .Flags = pfPadrao | pfInKey,
     .Def = {.DisplayLabel = "Empresa"}},
    {.Nome = "NOMEEMPRESA", .Tipo = ftString, .Tamanho = 100, .Def = {.DisplayLabel = "Nome"}}};

const TnDefCadastro kEmpresa{.SQL = "select CODIGOEMPRESA, NOMEEMPRESA from EMPRESA",
                             .Tabela = "EMPRESA",
                             .Campos = {kEmpresaCampos[0], kEmpresaCampos[1]},
                             .Chave = "CODIGOEMPRESA",
                             .Ordem = "CODIGOEMPRESA",
                             .Caption = "Empresas"};
const TnDefCadastro kConsultaEmpresa{.SQL = "select CODIGOEMPRESA, NOMEEMPRESA from EMPRESA",
                                     .Campos = {kEmpresaCampos[0], kEmpresaCampos[1]},
                                     .Chave = "CODIGOEMPRESA",
                                     .Ordem = "CODIGOEMPRESA",
                                     .CaptionOrdem = "Código",
                                     .Indices = {{.Caption = "Nome", .Campos = "NOMEEMPRESA, CODIGOEMPRESA"}},
                                     .Caption = "Consulta de Empresas",
                                     .TipoForm = ntfConGrid};
const TnDefCadastro kEstab{
    .SQL = "select CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB from ESTAB",
    .Tabela = "ESTAB",
    .Campos = {{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint, .Requerido = true, .Flags = pfPadrao | pfInKey},
               {.Nome = "CODIGOESTAB", .Tipo = ftSmallint, .Requerido = true, .Flags = pfPadrao | pfInKey},
               {.Nome = "NOMEESTAB", .Tipo = ftString, .Tamanho = 100}},
    .Chave = "CODIGOEMPRESA;CODIGOESTAB",
    .Ordem = "CODIGOEMPRESA;CODIGOESTAB",
    .Caption = "Estabelecimentos",
    .TipoForm = ntfCadGrid,
    .InsercaoAutomatica = false};

// A company register showing its branches on a tab of its page control.
class TTesteDMEmpresa : public TnDMClientDataSet {
public:
    TTesteDMEmpresa() : TnDMClientDataSet(kEmpresa) {}
    void DepoisConfigurar(TnFormModulo *form) override
    {
        TnDMClientDataSet::DepoisConfigurar(form);
        CriarDetalheEmPage("TTesteDMEstab", "Estabelecimentos", "CODIGOEMPRESA");
    }
};
class TTesteDCEmpresa : public TnDMClientDataSet {
public:
    TTesteDCEmpresa() : TnDMClientDataSet(kConsultaEmpresa) {}
    static int PegarTipoObjeto() { return 2; }
};
class TTesteDMEstab : public TnDMClientDataSet {
public:
    TTesteDMEstab() : TnDMClientDataSet(kEstab) {}
};

class CadastroQtBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (IsSkipped())
            return;
        ConverterBanco(con()); // the sample company 1 with its branch and settings
        nRegisterClass(InfoDaClasse<TTesteDMCfg>("TTesteDMCfg"));
        nRegisterClass(InfoDaClasse<TTesteDMEmpresa>("TTesteDMEmpresa"));
        nRegisterClass(InfoDaClasse<TTesteDCEmpresa>("TTesteDCEmpresa"));
        nRegisterClass(InfoDaClasse<TTesteDMEstab>("TTesteDMEstab"));
    }
    void TearDown() override
    {
        if (FForm)
            delete FForm.data();
        for (const char *c : {"TTesteDMCfg", "TTesteDMEmpresa", "TTesteDCEmpresa", "TTesteDMEstab"})
            nUnRegisterClass(c);
        DestruirTodosDM();
        BancoTeste::TearDown();
    }
    TnFrmCadastro *Abrir(const QString &classe)
    {
        FForm = qobject_cast<TnFrmCadastro *>(CriarFormModulo(CriarDM(classe), nullptr));
        FForm->show();
        QApplication::processEvents();
        return FForm;
    }
    static void Digitar(TnEditor *e, const QString &texto)
    {
        e->SetTexto(texto);
        emit e->Editado();
    }
    QVariant Valor(const QString &coluna, int empresa)
    {
        return nDMSQLDataSet::PegarValorCampo("CFGEMPRESAINV", coluna, QStringLiteral("CODIGOEMPRESA = %1").arg(empresa));
    }
    QPointer<TnFrmCadastro> FForm;
    TnInteracaoTeste FUsuario;
};

QStringList Abas(const QTabWidget *t)
{
    QStringList r;
    for (int i = 0; i < t->count(); ++i)
        r.append(t->tabText(i));
    return r;
}
} // namespace

TEST_F(CadastroQtBanco, RegistroIdaEVoltaPelaPaginaDeCadastro)
{
    TnFrmCadastro *f = Abrir("TTesteDMCfg");
    TnPainelCadastro *p = f->Painel();
    EXPECT_EQ(f->windowTitle(), "Configuração do Inventário");
    EXPECT_EQ(Abas(p->Paginas()), QStringList({"Principal", "Impostos", "Inventário"}));
    EXPECT_EQ(p->Editor("CODIGOEMPRESA")->Texto(), "1");
    EXPECT_FALSE(p->Editor("CODIGOEMPRESA")->Habilitado()); // the key of a stored row
    EXPECT_FALSE(p->Editor("QTDECASADECIMALQTD")->Habilitado());
    EXPECT_EQ(p->Editor("PERIODOINVENTARIO")->Tipo(), teLista);
    EXPECT_EQ(qobject_cast<QComboBox *>(p->Editor("PERIODOINVENTARIO")->Entrada())->count(), 4);
    EXPECT_EQ(p->Editor("PERIODOINVENTARIO")->Texto(), "Nenhum");
    EXPECT_EQ(p->Editor("LANCAICMSRECUP")->Tipo(), teMarcacao);
    EXPECT_FALSE(p->Botao(brGravar)->isEnabled());

    p->Botao(brIncluir)->trigger();
    EXPECT_TRUE(f->Inserindo());
    EXPECT_TRUE(p->Editor("CODIGOEMPRESA")->Habilitado());
    EXPECT_EQ(p->Editor("QTDECASADECIMAL")->Texto(), "2"); // the declared default
    teste::Digitar(p->Editor("CODIGOEMPRESA")->Entrada(), "7"); // typed, still in the control
    Digitar(p->Editor("PERIODOINVENTARIO"), "Trimestral");
    Digitar(p->Editor("LANCAICMSRECUP"), "1");
    teste::Digitar(p->Editor("QTDECASADECIMAL")->Entrada(), "3");
    p->Botao(brGravar)->trigger();
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    EXPECT_EQ(Valor("PERIODOINVENTARIO", 7).toInt(), 2);
    EXPECT_EQ(Valor("QTDECASADECIMAL", 7).toInt(), 3);
    EXPECT_EQ(Valor("LANCAICMSRECUP", 7).toString(), "1");
    teste::Capturar(f, "cadastro_pagina");

    p->Botao(brPrimeiro)->trigger();
    EXPECT_EQ(p->Editor("CODIGOEMPRESA")->Texto(), "1");
    EXPECT_EQ(p->Editor("LANCAICMSRECUP")->Texto(), "0");

    // Typing puts the row in edit; a refused value: its message, the focus on its control,
    // the row still in edit.
    teste::Digitar(p->Editor("QTDECASADECIMAL")->Entrada(), "9");
    EXPECT_TRUE(p->Botao(brGravar)->isEnabled());
    p->Botao(brGravar)->trigger();
    EXPECT_EQ(FUsuario.Avisos.size(), 1);
    EXPECT_EQ(f->focusWidget(), p->Editor("QTDECASADECIMAL")->Entrada());
    EXPECT_TRUE(p->Botao(brCancelar)->isEnabled());
    p->Botao(brCancelar)->trigger();
    EXPECT_EQ(p->Editor("QTDECASADECIMAL")->Texto(), "2");
    EXPECT_EQ(Valor("QTDECASADECIMAL", 1).toInt(), 2);

    // A refused field whose control is disabled is focused all the same; what is typed there
    // is not taken.
    auto *dm = static_cast<TTesteDMCfg *>(f->Modulo());
    dm->FalharQuantidade = true;
    p->Botao(brAlterar)->trigger();
    p->Botao(brGravar)->trigger();
    EXPECT_EQ(FUsuario.Avisos.value(1), "Decimais da quantidade inválidos.");
    TnEditor *qtd = p->Editor("QTDECASADECIMALQTD");
    EXPECT_EQ(f->focusWidget(), qtd->Entrada());
    EXPECT_TRUE(qtd->Widget()->isEnabled());
    Digitar(qtd, "1");
    EXPECT_EQ(dm->FieldByName("QTDECASADECIMALQTD").AsInteger(), 4);
    dm->FalharQuantidade = false;
    p->Botao(brCancelar)->trigger();

    FUsuario.Responder(mbYes, "exclusão");
    p->Botao(brUltimo)->trigger();
    p->Botao(brExcluir)->trigger();
    EXPECT_FALSE(Valor("CODIGOEMPRESA", 7).isValid());

    f->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(FindGlobalDataModule("TesteDMCfg"), nullptr); // freed with its window
}

TEST_F(CadastroQtBanco, DetalheEmAbaSegueOMestre)
{
    con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Beta')");
    con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (2, 1, 'Beta Matriz'), (2, 2, 'Beta Filial')");
    TnFrmCadastro *f = Abrir("TTesteDMEmpresa");
    ASSERT_EQ(f->PaineisDetalhe().size(), 1);
    TnPainelCadastro *d = f->PaineisDetalhe().first();
    EXPECT_EQ(Abas(f->Painel()->Paginas()), QStringList({"Principal", "Estabelecimentos"}));
    ASSERT_NE(d->Grade(), nullptr);
    EXPECT_EQ(d->Grade()->model()->rowCount(), 1);

    f->Painel()->Botao(brProximo)->trigger();
    EXPECT_EQ(d->Grade()->model()->rowCount(), 2);
    EXPECT_EQ(d->Grade()->model()->index(1, 2).data().toString(), "Beta Filial");

    // A new branch through the grid: the company comes from the master.
    d->Botao(brIncluir)->trigger();
    QAbstractItemModel *m = d->Grade()->model();
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->index(2, 0).data().toString(), "2");
    EXPECT_TRUE(m->setData(m->index(2, 1), "5"));
    EXPECT_TRUE(m->setData(m->index(2, 2), "Beta Depósito"));
    d->Botao(brGravar)->trigger();
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("ESTAB", "NOMEESTAB", "CODIGOEMPRESA = 2 and CODIGOESTAB = 5").toString(),
              "Beta Depósito");

    // The focus of a failure reaches a detail's field too.
    f->FocarControle("NOMEESTAB");
    EXPECT_EQ(f->Painel()->Paginas()->currentIndex(), 1);
    EXPECT_EQ(f->focusWidget(), d->Grade());
    teste::Capturar(f, "cadastro_detalhe");
}

// A grid row saved or cancelled while a cell is still being typed in: "Gravar" takes the
// cell's text as leaving the cell would, "Cancelar" drops it with the row.
TEST_F(CadastroQtBanco, CelulaEmEdicaoNaGradeAoGravarOuCancelar)
{
    con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Beta')");
    TnFrmCadastro *f = Abrir("TTesteDMEmpresa");
    f->Painel()->Botao(brUltimo)->trigger();
    TnPainelCadastro *d = f->PaineisDetalhe().first();
    f->Painel()->Paginas()->setCurrentIndex(1);
    QApplication::processEvents();
    TnGradeDataSet *g = d->Grade();
    QAbstractItemModel *m = g->model();
    const auto digitarNaCelula = [&](int coluna, const QString &texto) {
        const QModelIndex i = m->index(m->rowCount() - 1, coluna);
        g->setCurrentIndex(i);
        g->edit(i);
        QApplication::processEvents();
        ASSERT_TRUE(g->Editando());
        teste::Digitar(QApplication::focusWidget(), texto);
    };

    d->Botao(brIncluir)->trigger();
    EXPECT_TRUE(m->setData(m->index(m->rowCount() - 1, 1), "7"));
    digitarNaCelula(2, "Beta Loja");
    d->Botao(brGravar)->trigger();
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    EXPECT_FALSE(g->Editando());
    EXPECT_EQ(nDMSQLDataSet::PegarValorCampo("ESTAB", "NOMEESTAB", "CODIGOEMPRESA = 2 and CODIGOESTAB = 7").toString(),
              "Beta Loja");

    d->Botao(brIncluir)->trigger();
    EXPECT_TRUE(m->setData(m->index(m->rowCount() - 1, 1), "8"));
    digitarNaCelula(2, "Beta Quiosque");
    d->Botao(brCancelar)->trigger();
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    EXPECT_FALSE(g->Editando());
    EXPECT_EQ(m->rowCount(), 1);
    EXPECT_TRUE(nDMSQLDataSet::PegarValorCampo("ESTAB", "NOMEESTAB", "CODIGOEMPRESA = 2 and CODIGOESTAB = 8").isNull());
}

TEST_F(CadastroQtBanco, ConsultaSomenteLeituraEPesquisaDoLookup)
{
    con().Executar("insert into EMPRESA (CODIGOEMPRESA, NOMEEMPRESA) values (2, 'Beta')");
    {
        TnFrmCadastro *c = Abrir("TTesteDCEmpresa");
        TnPainelCadastro *p = c->Painel();
        ASSERT_NE(p->Grade(), nullptr);
        EXPECT_EQ(p->Grade()->model()->rowCount(), 2);
        EXPECT_FALSE(p->Grade()->model()->flags(p->Grade()->model()->index(0, 1)) & Qt::ItemIsEditable);
        EXPECT_FALSE(p->Botao(brIncluir)->isVisible());
        EXPECT_TRUE(p->Botao(brProximo)->isEnabled());
        // The orders the consultation declares; "Beta" comes before "Empresa Exemplo".
        auto *ordens = c->findChild<QComboBox *>("cbOrdem");
        ASSERT_NE(ordens, nullptr);
        EXPECT_EQ(ordens->itemText(0), "Código");
        ordens->setCurrentIndex(1);
        emit ordens->activated(1);
        EXPECT_EQ(p->Grade()->model()->index(0, 1).data().toString(), "Beta");
        c->close();
    }

    TnFrmCadastro *f = Abrir("TTesteDMCfg");
    TnPainelCadastro *p = f->Painel();
    p->Botao(brIncluir)->trigger();
    teste::QuandoModal([](QWidget *w) {
        auto *dlg = qobject_cast<TnDlgPesquisa *>(w);
        ASSERT_NE(dlg, nullptr);
        dlg->Grade()->setCurrentIndex(dlg->Grade()->model()->index(1, 0));
        teste::Clicar(w, "Ok");
    });
    emit p->Editor("CODIGOEMPRESA")->Pesquisar();
    EXPECT_EQ(p->Editor("CODIGOEMPRESA")->Texto(), "2");
    EXPECT_EQ(f->Modulo() ? static_cast<TnDMClientDataSet *>(f->Modulo())->FieldByName("CODIGOEMPRESA").AsInteger() : 0, 2);
}
