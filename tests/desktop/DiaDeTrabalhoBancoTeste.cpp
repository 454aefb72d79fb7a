// A first day's work on the desktop (offscreen), from a new database to the next start: a
// company and its branch registered and chosen, the company's settings, a product group,
// the period, an entry with a new product split into a property line and a tax-situation
// line in one window, the entry found in the consultation and opened from it, and the same
// company, branch and period offered again after a restart. Screenshots of each step go to
// build/capturas/dia_*.png.
#include "BancoTeste.h"
#include "Bibliotecas.h"
#include "DMClientDataSet.h"
#include "InteracaoTeste.h"
#include "OrvoSMenu_U.h"
#include "Personalizacao.h"
#include "QtCadastro.h"
#include "QtEditores.h"
#include "QtGrade.h"
#include "QtInteracao.h"
#include "QtProcesso.h"
#include "QtProjeto.h"
#include "QtSelecao.h"
#include "SelecaoChaves.h"
#include "QtTeste.h"

#include <QScopeGuard>
#include "SQLDataSet.h"
#include "Variaveis.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPointer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>

namespace {

class DiaDeTrabalhoBanco : public BancoConvertido {
protected:
    void SetUp() override
    {
        BancoConvertido::SetUp();
        if (IsSkipped())
            return;
        TnPreferenciasUsuario::DefinirPasta(FPreferencias.path());
        Selecao().Reset();
        CarregarBibliotecas(BibliotecasProjeto());
    }
    void TearDown() override
    {
        // Guarded: a window may take others with it.
        QList<QPointer<QWidget>> janelas;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<TnFrmModulo *>(w))
                janelas << w;
        for (const QPointer<QWidget> &w : janelas)
            delete w.data();
        FJanela.reset();
        DestruirTodosDM();
        TnBibliotecas::DescarregarTodas();
        Selecao().Reset();
        Variaveis().Reiniciar();
        gDataInicialAtivo = QDate();
        DefinirUsuarioConectado(0, QString());
        TnPreferenciasUsuario::DefinirPasta(QString());
        BancoTeste::TearDown();
    }

    // The program's start: the login, the last session's choices, the company, the window.
    void Iniciar()
    {
        TnFrmLogin login;
        ASSERT_TRUE(login.Executar());
        RestaurarSelecaoDoUsuario();
        ASSERT_TRUE(SelecionarEmpresa(nullptr));
        FJanela = std::make_unique<TOrvoSMenu>();
        FJanela->Inicializar();
        FJanela->showMaximized();
        QApplication::processEvents();
    }
    // The program's end: every window closed, then the main window.
    void Encerrar()
    {
        QList<QPointer<TnFrmModulo>> janelas;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<TnFrmModulo *>(w); f && f->isVisible())
                janelas << f;
        for (const QPointer<TnFrmModulo> &f : janelas)
            if (f)
                f->close();
        QApplication::processEvents();
        FJanela->close();
        FJanela.reset();
        DestruirTodosDM();
        Selecao().Reset();
        Variaveis().Reiniciar();
        gDataInicialAtivo = QDate();
        DefinirUsuarioConectado(0, QString());
    }
    QAction *Menu(const QString &caminho)
    {
        QAction *a = FJanela->AcaoDoMenu(caminho);
        EXPECT_NE(a, nullptr) << caminho.toStdString();
        return a;
    }
    // The company register, opened from the menu, on a new company typed in (not saved).
    TnFrmCadastro *NovaEmpresa(const QString &codigo, const QString &nome)
    {
        Menu("Cadastros\\Empresas")->trigger();
        TnFrmCadastro *empresas = Janela("TUlmarDMEmpresa");
        if (!empresas)
            return nullptr;
        empresas->Painel()->Botao(brIncluir)->trigger();
        teste::Digitar(empresas->Painel(), "CODIGOEMPRESA", codigo);
        teste::Digitar(empresas->Painel(), "NOMEEMPRESA", nome);
        return empresas;
    }
    // The register window a menu entry opened.
    static TnFrmCadastro *Janela(const QString &classe)
    {
        QApplication::processEvents();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<TnFrmCadastro *>(w); f && f->isVisible() && f->Modulo()
                                                             && f->Modulo()->ClassName() == classe)
                return f;
        return nullptr;
    }
    static TnPainelCadastro *Detalhe(TnFrmCadastro *f, const QString &classe)
    {
        for (TnPainelCadastro *p : f->PaineisDetalhe())
            if (p->Modulo() && p->Modulo()->ClassName() == classe)
                return p;
        return nullptr;
    }
    // Picks a text of a list control.
    static void Escolher(TnPainelCadastro *p, const QString &nome, const QString &texto)
    {
        TnEditor *e = p->Editor(nome);
        ASSERT_NE(e, nullptr) << nome.toStdString();
        e->SetTexto(texto);
        emit e->Editado();
    }
    // Types into a cell of a register grid.
    static void Celula(TnPainelCadastro *p, const QString &campo, const QString &texto)
    {
        TnModeloDataSet *m = p->Grade()->Modelo();
        const int coluna = m->Coluna(m->DataSet()->FindField(campo));
        ASSERT_GE(coluna, 0) << campo.toStdString();
        EXPECT_TRUE(m->setData(m->index(m->LinhaAtual(), coluna), texto)) << campo.toStdString();
    }
    // The next control Tab reaches from `w`.
    static QWidget *ProximoNoTab(QWidget *w)
    {
        for (QWidget *p = w->nextInFocusChain(); p && p != w; p = p->nextInFocusChain())
            if ((p->focusPolicy() & Qt::TabFocus) && p->isEnabled() && p->isVisibleTo(w->window()))
                return p;
        return nullptr;
    }
    // Chooses in the company and branch dialog (F7).
    void Trocar(const QVariant &empresa, const QVariant &estab, const QString &captura)
    {
        teste::QuandoModal([=](QWidget *w) {
            auto *dlg = qobject_cast<TnDlgSelecao *>(w);
            ASSERT_NE(dlg, nullptr);
            dlg->SetValor("CodigoEmpresa", empresa);
            if (estab.isValid())
                dlg->SetValor("CodigoEstab", estab);
            teste::Capturar(w, captura);
            EXPECT_TRUE(teste::Clicar(w, "Ok"));
        });
        Menu("Arquivos\\Trocar Empresa e Estabelecimento")->trigger();
    }

    QTemporaryDir FPreferencias;
    std::unique_ptr<TOrvoSMenu> FJanela;
    TnInteracaoTeste FUsuario;
};

} // namespace

TEST_F(DiaDeTrabalhoBanco, DoBancoNovoAoReinicio)
{
    Iniciar();
    ASSERT_TRUE(FJanela);
    EXPECT_EQ(CodigoUsuarioConectado(), 1); // ADMINISTRADOR, as entries will be stamped
    // Menus: the registers of the general registry under Cadastros, the framework's own
    // items under Arquivos, empty menus shown disabled.
    EXPECT_NE(FJanela->AcaoDoMenu("Cadastros\\Empresas"), nullptr);
    EXPECT_NE(FJanela->AcaoDoMenu("Cadastros\\Estabelecimentos"), nullptr);
    EXPECT_NE(FJanela->AcaoDoMenu("Arquivos\\Sair"), nullptr);
    for (QAction *topo : FJanela->menuBar()->actions())
        EXPECT_EQ(topo->isEnabled(), !topo->menu()->isEmpty()) << topo->text().toStdString();
    EXPECT_FALSE(FJanela->AcaoDoMenu(QString::fromUtf8("Áreas de Trabalho"))->isEnabled());
    // Every toolbar button looks different.
    QList<QImage> icones;
    for (QAction *b : FJanela->BarraFerramentas()->actions())
        if (!b->isSeparator()) {
            const QImage img = b->icon().pixmap(16, 16).toImage();
            EXPECT_FALSE(icones.contains(img)) << b->text().toStdString();
            icones << img;
        }
    teste::Capturar(FJanela.get(), "dia_01_inicio");

    // A new company.
    TnFrmCadastro *empresas = NovaEmpresa("2", QString::fromUtf8("Comércio Modelo Ltda"));
    ASSERT_NE(empresas, nullptr);
    teste::Capturar(empresas, "dia_02_empresa");
    FUsuario.ResponderBotao(QString::fromUtf8("Agora não"), "Deseja cadastrar um estabelecimento");
    empresas->Painel()->Botao(brGravar)->trigger();
    EXPECT_EQ(Linhas("EMPRESA", "CODIGOEMPRESA = 2"), 1);
    EXPECT_FALSE(empresas->AcaoForm(nafFechar)->isVisible() && empresas->Painel()->BarraBotoes()->width()
                                                                     > empresas->width());
    empresas->close();

    // Chosen at once, before it has a branch; then its first branch, and both chosen.
    Trocar(2, QVariant(), "dia_03_trocar_empresa");
    EXPECT_EQ(ExternalVar("gCodigoEmpresaAtiva"), "2");
    EXPECT_EQ(ExternalVar("gCodigoEstabAtiva"), "");
    Menu("Cadastros\\Estabelecimentos")->trigger();
    TnFrmCadastro *estabs = Janela("TUlmarDMEstab");
    ASSERT_NE(estabs, nullptr);
    EXPECT_TRUE(estabs->Inserindo()); // no branch yet: a new one at once
    // The selected company, which a new branch may change.
    EXPECT_TRUE(estabs->Painel()->Editor("CODIGOEMPRESA")->Habilitado());
    EXPECT_EQ(estabs->Painel()->Editor("CODIGOEMPRESA")->Texto(), "2");
    teste::Digitar(estabs->Painel(), "CODIGOESTAB", "1");
    teste::Digitar(estabs->Painel(), "NOMEESTAB", "Matriz");
    teste::Capturar(estabs, "dia_04_estabelecimento");
    estabs->Painel()->Botao(brGravar)->trigger();
    EXPECT_EQ(Linhas("ESTAB", "CODIGOEMPRESA = 2 and CODIGOESTAB = 1"), 1);
    estabs->close();
    Trocar(2, 1, "dia_05_trocar_estabelecimento");
    EXPECT_EQ(FJanela->TextoPainel(1), "Empresa: 2 / Estab.: 1");

    // The company's settings: 4 quantity decimals, ICMS detailed.
    teste::QuandoModal([this](QWidget *w) {
        auto *f = qobject_cast<TnFrmCadastro *>(w);
        ASSERT_NE(f, nullptr);
        f->Painel()->Botao(brIncluir)->trigger();
        Escolher(f->Painel(), "QTDECASADECIMALQTD", "4");
        Escolher(f->Painel(), "LANCAICMSRECUP", "Sim");
        Escolher(f->Painel(), "PERIODOINVENTARIO", "Mensal");
        teste::Capturar(f, "dia_06_configuracao");
        f->Painel()->Botao(brGravar)->trigger();
        EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
        f->AcaoForm(nafFechar)->trigger();
    });
    // The register's entry (the consultation has one of the same caption): Shift+Ctrl+F12.
    QAction *configuracao = nullptr;
    for (QAction *a : Menu(QString::fromUtf8("Configurações"))->menu()->actions())
        if (a->shortcut() == QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F12))
            configuracao = a;
    ASSERT_NE(configuracao, nullptr);
    configuracao->trigger();
    EXPECT_EQ(Linhas("CFGEMPRESAINV", "CODIGOEMPRESA = 2 and QTDECASADECIMALQTD = 4 and LANCAICMSRECUP = '1'"), 1);
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();

    // A product group of the new company.
    Menu("Cadastros\\Plano de Contas de Produtos")->trigger();
    TnFrmCadastro *grupos = Janela("TUlmarDMGrupoProduto");
    ASSERT_NE(grupos, nullptr);
    teste::Digitar(grupos->Painel(), "CODIGOGRUPOPRODUTO", "1");
    teste::Digitar(grupos->Painel(), "DESCRGRUPOPRODUTO", "Mercadorias");
    grupos->Painel()->Botao(brGravar)->trigger();
    EXPECT_EQ(Linhas("GRUPOPRODUTO", "CODIGOEMPRESA = 2 and CODIGOGRUPOPRODUTO = 1"), 1);
    grupos->close();

    // The entries ask for the period first: 12/2024, stored as its first day.
    teste::QuandoModal([](QWidget *w) {
        auto *f = qobject_cast<TnFrmProcesso *>(w);
        ASSERT_NE(f, nullptr);
        EXPECT_TRUE(f->Editor("pDataPeriodo")->Texto().isEmpty()); // none chosen before
        teste::Digitar(f->Editor("pDataPeriodo")->Entrada(), "12/2024");
        teste::Capturar(f, "dia_07_periodo");
        // Enter runs the form.
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(f->Editor("pDataPeriodo")->Entrada(), &enter);
    });
    Menu(QString::fromUtf8("Movimentos\\Lançamentos do Inventário"))->trigger();
    EXPECT_EQ(ExternalVar("gDataInvent"), "01/12/2024");
    EXPECT_EQ(FJanela->TextoPainel(3), QString::fromUtf8("Inventário: 12/2024 - Mensal"));

    TnFrmCadastro *lcto = Janela("TOrvoDMLctoInv");
    ASSERT_NE(lcto, nullptr);
    lcto->activateWindow();
    TnPainelCadastro *p = lcto->Painel();
    EXPECT_TRUE(lcto->Inserindo());
    EXPECT_FALSE(p->Editor("CODIGOEMPRESA")->Habilitado()); // nobody types a company in
    EXPECT_EQ(p->Editor("DATAINVENT")->Texto(), "01/12/2024");
    // Tab: the product panel comes right after the product code, the reason after the panel.
    EXPECT_EQ(ProximoNoTab(p->Editor("pUnidadeMedida")->Entrada()), p->Editor("MOTIVOINVENTARIO")->Entrada());
    // An empty product code proposes the next free code and opens the panel.
    teste::Digitar(p, "CODIGOPRODUTO", "");
    EXPECT_EQ(p->Editor("CODIGOPRODUTO")->Texto(), "1");
    EXPECT_TRUE(p->Editor("pDescrProduto")->Habilitado());
    EXPECT_EQ(QApplication::focusWidget(), p->Editor("pReferenProduto")->Entrada()); // on into the panel
    teste::Digitar(p, "pReferenProduto", "PAR-1");
    teste::Digitar(p, "pCodigoGrupoProduto", "1");
    teste::Digitar(p, "pDescrProduto", "Parafuso sextavado");
    teste::Digitar(p, "pUnidadeMedida", "UN");
    Escolher(p, "MOTIVOINVENTARIO", QString::fromUtf8("No final no período"));
    // Enter moves on to the next field.
    p->Editor("QTDEESTOQUE")->Focar();
    teste::Digitar(p->Editor("QTDEESTOQUE")->Entrada(), "10,1234");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(p->Editor("QTDEESTOQUE")->Entrada(), &enter);
    EXPECT_EQ(QApplication::focusWidget(), p->Editor("PRECOUNIT")->Entrada());
    teste::Digitar(p, "PRECOUNIT", "2,50");
    EXPECT_TRUE(p->Editor("VALORICMS")->Habilitado()); // the company details ICMS
    teste::Digitar(p, "VALORICMS", "3,03");
    EXPECT_EQ(p->Editor("QTDEESTOQUE")->Texto(), "10,1234"); // 4 quantity decimals
    p->Paginas()->setCurrentIndex(0);
    teste::Capturar(lcto, "dia_08_lancamento");
    p->Botao(brGravar)->trigger();
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    EXPECT_EQ(Linhas("LCTOINV", "CODIGOEMPRESA = 2 and CODIGOESTAB = 1 and DATAINVENT = '2024-12-01' and "
                                "CODIGOPRODUTO = 1 and CODIGOUSUARIO = 1 and VALORICMS = 3.03"), 1);
    EXPECT_EQ(Linhas("PRODUTO", "CODIGOEMPRESA = 2 and CODIGOPRODUTO = 1 and CODIGOGRUPOPRODUTO = 1"), 1);

    // The entry split into a property line and its tax-situation line, in the same window.
    TnPainelCadastro *prop = Detalhe(lcto, "TOrvoDMLctoInvPropriedade");
    TnPainelCadastro *cst = Detalhe(lcto, "TOrvoDMLctoInvCST");
    ASSERT_NE(prop, nullptr);
    ASSERT_NE(cst, nullptr);
    prop->Botao(brIncluir)->trigger();
    teste::Digitar(prop, "QUANTIDADE", "10,1234");
    teste::Digitar(prop, "PRECOUNIT", "2,50");
    prop->Botao(brGravar)->trigger();
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    cst->Botao(brIncluir)->trigger();
    Celula(cst, "CST", "60");
    Celula(cst, "BASECALCULO", "25,31");
    Celula(cst, "VALORIMPOSTO", "3,03");
    cst->Botao(brGravar)->trigger();
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    EXPECT_EQ(Linhas("LCTOINVPROPRIEDADE", "CODIGOEMPRESA = 2 and CODIGOPRODUTO = 1 and SEQ = 1"), 1);
    EXPECT_EQ(Linhas("LCTOINVCST", "CODIGOEMPRESA = 2 and CODIGOPRODUTO = 1 and SEQ = 1 and CST = 60"), 1);
    TornarVisivel(prop);
    teste::Capturar(lcto, "dia_09_propriedade_cst");
    lcto->close();

    // Found in the consultation, and opened from it (Enter or double-click on the row).
    Menu(QString::fromUtf8("Movimentos\\Consultas\\Lançamentos do Inventário"))->trigger();
    TnFrmCadastro *consulta = Janela("TOrvoDCLctoInv");
    ASSERT_NE(consulta, nullptr);
    TnGradeDataSet *grade = consulta->Painel()->Grade();
    ASSERT_EQ(grade->Modelo()->rowCount(), 1);
    teste::Capturar(consulta, "dia_10_consulta");
    emit grade->activated(grade->Modelo()->index(0, 0));
    TnFrmCadastro *aberto = Janela("TOrvoDMLctoInv");
    ASSERT_NE(aberto, nullptr);
    EXPECT_EQ(aberto->Painel()->Editor("CODIGOPRODUTO")->Texto(), "1");
    EXPECT_EQ(aberto->Painel()->Editor("pDescrProduto")->Texto(), "Parafuso sextavado");
    teste::Capturar(aberto, "dia_11_aberto_da_consulta");

    // The next start offers the same company, branch and period.
    Encerrar();
    Iniciar();
    EXPECT_EQ(ExternalVar("gCodigoEmpresaAtiva"), "2");
    EXPECT_EQ(ExternalVar("gCodigoEstabAtiva"), "1");
    EXPECT_EQ(ExternalVar("gDataInvent"), "01/12/2024");
    EXPECT_EQ(FJanela->TextoPainel(3), QString::fromUtf8("Inventário: 12/2024 - Mensal"));
    teste::Capturar(FJanela.get(), "dia_12_reinicio");
}

// The tax-situation register opened on its own, not under an entry: the key columns its
// master would give (product, reason, sequence) are shown and typed.
TEST_F(DiaDeTrabalhoBanco, CadastroAvulsoMostraAChaveQuePede)
{
    con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, DESCRPRODUTO) values (1, 5, 'Porca')");
    con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                   "QTDEESTOQUE, PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                   "values (1, 1, '2024-12-01', 5, 1, 2, 3, '2024-12-02 08:00:00', 1, 2)");
    con().Executar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                   "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, QUANTIDADE, PRECOUNIT) "
                   "values (1, 1, '2024-12-01', 5, 1, 1, 0, 2, 3)");
    Iniciar();
    AplicarSelecao({{"CodigoEmpresa", 1}, {"CodigoEstab", 1}, {"DataInvent", QDate(2024, 12, 1)}});
    Menu(QString::fromUtf8("Movimentos\\Lançamentos do Inventário - CST"))->trigger();
    TnFrmCadastro *cst = Janela("TOrvoDMLctoInvCST");
    ASSERT_NE(cst, nullptr);
    TnPainelCadastro *p = cst->Painel();
    ASSERT_TRUE(cst->Inserindo());
    TnModeloDataSet *m = p->Grade()->Modelo();
    for (const char *campo : {"CODIGOPRODUTO", "MOTIVOINVENTARIO", "SEQ"}) {
        const int coluna = m->Coluna(m->DataSet()->FindField(campo));
        ASSERT_GE(coluna, 0) << campo;
        EXPECT_TRUE(m->flags(m->index(m->LinhaAtual(), coluna)) & Qt::ItemIsEditable) << campo;
    }
    EXPECT_LT(m->Coluna(m->DataSet()->FindField("DATAINVENT")), 0); // the selection's
    Celula(p, "CODIGOPRODUTO", "5");
    Celula(p, "MOTIVOINVENTARIO", "1");
    Celula(p, "SEQ", "1");
    Celula(p, "CST", "010");
    EXPECT_EQ(m->data(m->index(m->LinhaAtual(), m->Coluna(m->DataSet()->FindField("CST")))).toString(), "010");
    Celula(p, "BASECALCULO", "6,00");
    Celula(p, "VALORIMPOSTO", "1,08");
    teste::Capturar(cst, "dia_13_cst_avulso");
    p->Botao(brGravar)->trigger();
    EXPECT_TRUE(FUsuario.Avisos.isEmpty()) << FUsuario.Avisos.join('|').toStdString();
    EXPECT_EQ(Linhas("LCTOINVCST", "CODIGOPRODUTO = 5 and SEQ = 1 and CST = 10"), 1);
    // Its columns stay shown once the row is stored, and are no longer typed.
    const int produto = m->Coluna(m->DataSet()->FindField("CODIGOPRODUTO"));
    ASSERT_GE(produto, 0);
    EXPECT_FALSE(m->flags(m->index(m->LinhaAtual(), produto)) & Qt::ItemIsEditable);
}

// A new company offers its first branch: the branch register opens on that company. A branch
// of another company than the selected one is registered by choosing its company.
TEST_F(DiaDeTrabalhoBanco, EmpresaNovaOfereceEstabelecimentoEOEstabelecimentoEscolheAEmpresa)
{
    Iniciar();
    TnInteracaoQt qt;
    DefinirInteracao(&qt);
    const auto devolver = qScopeGuard([this] { DefinirInteracao(&FUsuario); });
    TnFrmCadastro *empresas = NovaEmpresa("3", QString::fromUtf8("Indústria Nova S.A."));
    ASSERT_NE(empresas, nullptr);
    QString pergunta;
    teste::QuandoModal([&pergunta](QWidget *w) {
        pergunta = teste::Capturar(w, "empresa_oferece_estabelecimento");
        EXPECT_TRUE(teste::Clicar(w, "Cadastrar estabelecimento"));
    });
    empresas->Painel()->Botao(brGravar)->trigger();
    EXPECT_FALSE(pergunta.isEmpty());
    TnFrmCadastro *estabs = Janela("TUlmarDMEstab");
    ASSERT_NE(estabs, nullptr);
    EXPECT_TRUE(estabs->Inserindo());
    EXPECT_EQ(estabs->Painel()->Editor("CODIGOEMPRESA")->Texto(), "3");
    teste::Digitar(estabs->Painel(), "CODIGOESTAB", "1");
    teste::Digitar(estabs->Painel(), "NOMEESTAB", "Fábrica");
    teste::Capturar(estabs, "estabelecimento_da_empresa_nova");
    estabs->Painel()->Botao(brGravar)->trigger();
    EXPECT_EQ(Linhas("ESTAB", "CODIGOEMPRESA = 3 and CODIGOESTAB = 1"), 1);
    EXPECT_EQ(ExternalVar("gCodigoEmpresaAtiva"), "1"); // the selection stays as it was
    estabs->close();
    empresas->close();

    // From the menu, on the selected company 1: a new branch of company 3, chosen there.
    Menu("Cadastros\\Estabelecimentos")->trigger();
    estabs = Janela("TUlmarDMEstab");
    ASSERT_NE(estabs, nullptr);
    estabs->Painel()->Botao(brIncluir)->trigger();
    EXPECT_EQ(estabs->Painel()->Editor("CODIGOEMPRESA")->Texto(), "1");
    ASSERT_TRUE(estabs->Painel()->Editor("CODIGOEMPRESA")->Habilitado());
    teste::Digitar(estabs->Painel(), "CODIGOEMPRESA", "3");
    teste::Digitar(estabs->Painel(), "CODIGOESTAB", "2");
    teste::Digitar(estabs->Painel(), "NOMEESTAB", "Filial Sul");
    teste::Capturar(estabs, "estabelecimento_de_outra_empresa");
    estabs->Painel()->Botao(brGravar)->trigger();
    EXPECT_EQ(Linhas("ESTAB", "CODIGOEMPRESA = 3 and CODIGOESTAB = 2 and NOMEESTAB = 'Filial Sul'"), 1);
    EXPECT_EQ(Linhas("ESTAB", "CODIGOEMPRESA = 1 and CODIGOESTAB = 2"), 0);
    estabs->close();

    // The SINCO fields: a group's type, typed; a product's day of change, stamped.
    Menu("Cadastros\\Plano de Contas de Produtos")->trigger();
    TnFrmCadastro *grupos = Janela("TUlmarDMGrupoProduto");
    ASSERT_NE(grupos, nullptr);
    teste::Digitar(grupos->Painel(), "CODIGOGRUPOPRODUTO", "7");
    teste::Digitar(grupos->Painel(), "DESCRGRUPOPRODUTO", "Embalagens");
    teste::Digitar(grupos->Painel(), "TIPOGRUPOPRODUTOSINCO", "12"); // one character only
    teste::Capturar(grupos, "grupo_tipo_sinco");
    grupos->Painel()->Botao(brGravar)->trigger();
    EXPECT_EQ(Linhas("GRUPOPRODUTO", "CODIGOGRUPOPRODUTO = 7 and TIPOGRUPOPRODUTOSINCO = '1'"), 1);
    grupos->close();
    Menu("Cadastros\\Produtos")->trigger();
    TnFrmCadastro *produtos = Janela("TUlmarDMProduto");
    ASSERT_NE(produtos, nullptr);
    EXPECT_FALSE(produtos->Painel()->Editor("DATAATUALIZACAO")->Habilitado());
    teste::Digitar(produtos->Painel(), "CODIGOPRODUTO", "70");
    teste::Digitar(produtos->Painel(), "CODIGOGRUPOPRODUTO", "7");
    teste::Digitar(produtos->Painel(), "DESCRPRODUTO", "Caixa de papelão");
    teste::Digitar(produtos->Painel(), "UNIDADEMEDIDA", "UN");
    produtos->Painel()->Botao(brGravar)->trigger();
    EXPECT_EQ(produtos->Painel()->Editor("DATAATUALIZACAO")->Texto(), QDate::currentDate().toString("dd/MM/yyyy"));
    teste::Capturar(produtos, "produto_data_atualizacao");
    EXPECT_EQ(Linhas("PRODUTO", QStringLiteral("CODIGOPRODUTO = 70 and DATAATUALIZACAO = '%1'")
                                    .arg(QDate::currentDate().toString(Qt::ISODate))),
              1);
}

// The entry consultation comes back as the user left it: maximised, and with the size and
// place it returns to from there.
TEST_F(DiaDeTrabalhoBanco, ConsultaVoltaMaximizadaENoMesmoLugar)
{
    Iniciar();
    AplicarSelecao({{"CodigoEmpresa", 1}, {"CodigoEstab", 1}, {"DataInvent", QDate(2024, 12, 1)}});
    const auto abrir = [this] {
        Menu(QString::fromUtf8("Consultas\\Lançamentos do Inventário"))->trigger();
        QApplication::processEvents();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<TnFrmProcesso *>(w); f && f->isVisible() && f->Modulo()
                                                             && f->Modulo()->ClassName() == "TOrvoDPConsultaLctoInv")
                return f;
        return static_cast<TnFrmProcesso *>(nullptr);
    };
    TnFrmProcesso *f = abrir();
    ASSERT_NE(f, nullptr);
    f->resize(700, 480);
    f->move(40, 30);
    QApplication::processEvents();
    const QSize tamanho = f->size();
    const QPoint lugar = f->pos();
    f->showMaximized();
    QApplication::processEvents();
    f->close();
    QApplication::processEvents();

    f = abrir();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isMaximized());
    teste::Capturar(f, "consulta_maximizada");
    f->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(f->size(), tamanho);
    EXPECT_EQ(f->pos(), lugar);
    f->close();
}
