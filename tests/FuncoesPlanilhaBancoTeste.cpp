// The spreadsheet formula functions of OrvoQuery, loaded as the program loads them and
// called through the formula engine's repository: the texts they answer, error code 3 for
// whatever they cannot answer, the hosting data module's company and page, and their
// removal when the library unloads.
#include "BancoTeste.h"
#include "Bibliotecas.h"
#include "Planilha.h"
#include "Variaveis.h"

namespace {

const QString kBiblioteca = QStringLiteral("OrvoQuery");
const QStringList kFuncoes = {"gerEMP", "gerPAG", "FORMATARDATAHORA", "FMTNUM", "REPT"};

class FuncoesPlanilhaBanco : public BancoConvertido {
protected:
    void SetUp() override
    {
        BancoConvertido::SetUp();
        if (!IsSkipped())
            TnBibliotecas::Carregar(kBiblioteca);
    }
    void TearDown() override
    {
        TnBibliotecas::Descarregar(kBiblioteca);
        Variaveis().Reiniciar();
        BancoConvertido::TearDown();
    }
    static QVariant Valor(const QString &chamada, QObject *dono = nullptr)
    {
        const TnResultadoFormula r = AvaliarFormula(chamada, dono);
        EXPECT_EQ(r.Erro(), 0) << chamada.toStdString();
        return r.Valor();
    }
    static int Erro(const QString &chamada, QObject *dono = nullptr) { return AvaliarFormula(chamada, dono).Erro(); }
};

TEST_F(FuncoesPlanilhaBanco, RegistradasNaOrdemComTokensEParametros)
{
    const QStringList nomes = RepositorioFuncoesFormula().Nomes();
    ASSERT_GE(nomes.size(), 5);
    EXPECT_EQ(nomes.mid(nomes.indexOf(QStringLiteral("gerEMP")), 5), kFuncoes);
    const int tokens[] = {2054, 2059, 2060, 2075, 2061};
    for (int i = 0; i < 5; ++i) {
        const TnFuncaoFormula *f = RepositorioFuncoesFormula().Funcao(kFuncoes[i]);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->Token, tokens[i]);
        EXPECT_EQ(f->TipoResultado, 0);
        EXPECT_EQ(f->TipoFuncao, 0);
        int n = -1;
        QList<int> tipos;
        f->InfoParam(n, tipos);
        EXPECT_EQ(n, i == 1 ? 0 : 2);
        EXPECT_EQ(tipos, i == 1 ? QList<int>() : QList<int>({3, 3}));
    }
    EXPECT_THROW(AvaliarFormula(QStringLiteral("gerPAG(1)")), Exception);
}

TEST_F(FuncoesPlanilhaBanco, ReptArredondaAoParERecusaTextoEnorme)
{
    EXPECT_EQ(Valor(QStringLiteral("REPT(\"ab\")")), QString());
    EXPECT_EQ(Valor(QStringLiteral("REPT(\"ab\"; 2.5)")), QStringLiteral("abab"));
    EXPECT_EQ(Valor(QStringLiteral("REPT(\"ab\"; 3.5)")), QStringLiteral("abababab"));
    EXPECT_EQ(Valor(QStringLiteral("REPT(\"ab\"; -2)")), QString());
    EXPECT_EQ(Valor(QStringLiteral("REPT(7; \"3\")")), QStringLiteral("777"));
    EXPECT_EQ(Valor(QStringLiteral("REPT(\"x\"; 32767)")).toString().size(), 32767);
    EXPECT_EQ(Erro(QStringLiteral("REPT(\"x\"; 32768)")), 3);
    EXPECT_EQ(Erro(QStringLiteral("REPT(\"ab\"; 1e9)")), 3);
    EXPECT_EQ(Erro(QStringLiteral("REPT(\"ab\"; \"muitas\")")), 3);
}

TEST_F(FuncoesPlanilhaBanco, FmtNumNovesComoSustenidosForaDoTextoLiteral)
{
    EXPECT_EQ(Valor(QStringLiteral("FMTNUM(1234.5; \"9,990.00\")")),
              Valor(QStringLiteral("FMTNUM(1234.5; \"#,##0.00\")")));
    EXPECT_EQ(Valor(QStringLiteral("FMTNUM(1234.5; \"9,990.00\")")), QStringLiteral("1.234,50"));
    EXPECT_EQ(Valor(QStringLiteral("FMTNUM(123; \"'Lote 9' 999\")")), QStringLiteral("Lote 9 123"));
    EXPECT_EQ(Valor(QStringLiteral("FMTNUM(\"12,5\"; \"0.00\")")), QStringLiteral("12,50"));
    EXPECT_EQ(Erro(QStringLiteral("FMTNUM(\"abc\"; \"999\")")), 3);
}

TEST_F(FuncoesPlanilhaBanco, FormatarDataHora)
{
    // 45292.75 is 01/01/2024 18:00.
    EXPECT_EQ(Valor(QStringLiteral("FORMATARDATAHORA(45292.75)")), QStringLiteral("01/01/2024 18:00:00"));
    EXPECT_EQ(Valor(QStringLiteral("FORMATARDATAHORA(45292.75; \"dd/mm/yy hh:nn\")")),
              QStringLiteral("01/01/24 18:00"));
    EXPECT_EQ(Erro(QStringLiteral("FORMATARDATAHORA(\"ontem\")")), 3);
    EXPECT_EQ(Erro(QStringLiteral("FORMATARDATAHORA(1e12)")), 3);
}

TEST_F(FuncoesPlanilhaBanco, EmpresaEPaginaComESemModuloHospedeiro)
{
    EXPECT_EQ(Valor(QStringLiteral("gerEMP(\"NOMEEMPRESA\")")), QStringLiteral("Emp(NOMEEMPRESA)"));
    EXPECT_EQ(Valor(QStringLiteral("gerEMP()")), QStringLiteral("Emp()"));
    EXPECT_EQ(Valor(QStringLiteral("gerPAG()")), QStringLiteral("Pag()"));

    ExternalVar(QString::fromLatin1(VarFw::gCodigoEmpresaAtiva), QStringLiteral("1"));
    TnDMPlanilha dm;
    EXPECT_EQ(Valor(QStringLiteral("gerEMP()"), &dm), QStringLiteral("Empresa Exemplo"));
    EXPECT_EQ(Valor(QStringLiteral("gerEMP(\"codigoempresa\")"), &dm).toInt(), 1);
    EXPECT_EQ(Erro(QStringLiteral("gerEMP(\"NOMEEMPRESA from EMPRESA;--\")"), &dm), 3);
    EXPECT_EQ(Valor(QStringLiteral("gerPAG()"), &dm).toInt(), 1);
    dm.SetPagina(4);
    EXPECT_EQ(Valor(QStringLiteral("gerPAG()"), &dm).toInt(), 4);

    // A spreadsheet owned by something that is no spreadsheet data module.
    QObject outro;
    EXPECT_EQ(Erro(QStringLiteral("gerEMP()"), &outro), 3);
    EXPECT_EQ(Erro(QStringLiteral("gerPAG()"), &outro), 3);
}

TEST_F(FuncoesPlanilhaBanco, DescarregarRetiraAsFuncoes)
{
    TnBibliotecas::Descarregar(kBiblioteca);
    for (const QString &f : kFuncoes)
        EXPECT_FALSE(RepositorioFuncoesFormula().Funcao(f)) << f.toStdString();
    EXPECT_THROW(AvaliarFormula(QStringLiteral("REPT(\"a\"; 2)")), Exception);
    TnBibliotecas::Carregar(kBiblioteca);
    EXPECT_EQ(Valor(QStringLiteral("rept(\"a\"; 2)")), QStringLiteral("aa"));
}

} // namespace
