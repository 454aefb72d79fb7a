// The SINCO files as the program loads their processes: the movement and product files
// compared byte for byte with files typed from the layout, every value that does not fit its
// field refused with the product named and no file written, the period and destination
// checks, the parameters' rule and the lookup of inventory dates.
#include "Acoes.h"
#include "InteracaoTeste.h"
#include "ProcessoInvTeste.h"
#include "SincoComum.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kMovimento = QStringLiteral("TOrvoDPArqModeloSINCOMovimento");
const QString kProdutos = QStringLiteral("TOrvoDPArqModeloSINCOArtigo");

QByteArray Ler(const QString &caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(sem arquivo)");
}

class SincoBanco : public BancoProcessoInv {
protected:
    // Products 7 (no group, no unit, no update date), 45 (group 20 without SINCO type, unit
    // FARD, a description longer than 45), 123 (group 10, type "1"), 900 and 901; entries of
    // reason 1 in January and February 2024 on branch 1, and entries the movement leaves out
    // (reason 2, branch 2, March).
    void SetUp() override
    {
        BancoProcessoInv::SetUp();
        if (IsSkipped())
            return;
        con().Executar("update GRUPOPRODUTO set TIPOGRUPOPRODUTOSINCO = '1' where CODIGOGRUPOPRODUTO = 10");
        const struct {
            qint64 codigo;
            QVariant grupo, referencia, unidade, descricao, atualizacao;
        } produtos[] = {
            {7, {}, "A7", {}, "PARAFUSO", {}},
            {45, 20, "CAFE-500G", "FARD", "CAFE TORRADO E MOIDO EMBALAGEM ALTO VACUO 500G EXTRA", QDate(2023, 12, 31)},
            {123, 10, "123", "UN", QString::fromUtf8("AÇÚCAR CRISTAL"), QDate(2024, 1, 5)},
            {900, 10, "SM-900", "UN", "SEM MOVIMENTO", QDate(2024, 2, 10)},
            {901, 10, "OF-901", "UN", "OUTRA FILIAL", QDate(2024, 2, 10)},
        };
        for (const auto &p : produtos)
            con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO, REFERENPRODUTO, "
                           "UNIDADEMEDIDA, DESCRPRODUTO, DATAATUALIZACAO) values (1, ?, ?, ?, ?, ?, ?)",
                           {p.codigo, p.grupo, p.referencia, p.unidade, p.descricao, p.atualizacao});
        const QDate janeiro(2024, 1, 1), fevereiro(2024, 2, 1);
        Lcto(1, janeiro, 123, 1, 12.5, 3.2);
        Lcto(1, janeiro, 45, 1, 1000.125, 0.5);
        Lcto(1, janeiro, 7, 1, 2, 1.25);
        Lcto(1, fevereiro, 123, 1, 7, 3.3);
        Lcto(1, janeiro, 900, 2, 1, 1);  // another reason: a moved product, no movement line
        Lcto(2, janeiro, 901, 1, 1, 1);  // another branch
        Lcto(1, QDate(2024, 3, 1), 123, 1, 1, 1); // after the period
        Referencia(true);
    }
    void Referencia(bool usa)
    {
        con().Executar(QStringLiteral("update CFGEMPRESAULMAR set USAREFERENCIAPROD = '%1' where CODIGOEMPRESA = 1")
                           .arg(usa ? 1 : 0));
    }
    // Runs `classe` with the parameters as typed, writing to `arquivo` in the case's folder;
    // answers the path asked for.
    QString Gerar(const QString &classe, const QVariantMap &valores, const QString &arquivo = "sinco.txt")
    {
        TnDMPowerParam *dp = Processo(classe);
        const QString destino = FPasta.filePath(arquivo);
        dp->SetParamText("pArqDestinoSINCOMovimento", destino);
        for (auto it = valores.cbegin(); it != valores.cend(); ++it)
            dp->SetParamText(it.key(), it.value().toString());
        try {
            dp->Rodar();
        } catch (...) {
            DestruirDM(dp);
            throw;
        }
        DestruirDM(dp);
        return destino;
    }
    static QByteArray Esperado(const char *nome) { return Ler(QStringLiteral(ORVO_TESTE_ESPERADOS "/") + nome); }

    const QVariantMap kPeriodo{{"pDataMovIni", "01/01/2024"}, {"pDataMovFim", "29/02/2024"}};
    TnInteracaoTeste FUsuario;
    QTemporaryDir FPasta;
};

QVariantMap Com(QVariantMap m, const QVariantMap &mais)
{
    m.insert(mais);
    return m;
}

} // namespace

TEST_F(SincoBanco, ArquivosIguaisAosDoLeiaute)
{
    EXPECT_EQ(Ler(Gerar(kMovimento, Com(kPeriodo, {{"pTipoProduto", QString::fromUtf8("Referência")}}))),
              Esperado("movimento_referencia.txt"));
    EXPECT_EQ(FUsuario.Avisos, QStringList({QString::fromUtf8("Operação concluída!")}));
    EXPECT_EQ(Ler(Gerar(kProdutos, {{"pTipoCodProduto", "Produto"}})), Esperado("produtos_todos.txt"));
    // Moved: entries of any reason in branch 1 and January.
    EXPECT_EQ(Ler(Gerar(kProdutos, {{"pTipoArqModeloSINCOArtigo", "Somente Produtos Movimentados"},
                                    {"pDataMovIni", "01/01/2024"}, {"pDataMovFim", "31/01/2024"},
                                    {"pTipoCodProduto", "2"}})),
              Esperado("produtos_movimentados_referencia.txt"));
}

TEST_F(SincoBanco, CasosDasBordas)
{
    // Equal dates; a company without reference codes writes the code although the reference
    // was chosen; a name without extension gets ".txt".
    Referencia(false);
    const QString caminho = Gerar(kMovimento, {{"pDataMovIni", "01/02/2024"}, {"pDataMovFim", "01/02/2024"},
                                               {"pTipoProduto", "2"}},
                                  "fevereiro");
    EXPECT_TRUE(caminho.endsWith("fevereiro"));
    EXPECT_EQ(Ler(caminho + ".txt"), QByteArray("01022024" "1" "123") + QByteArray(17, ' ') + "UN " + "00000000000007000"
                                         + "00000000000002310" + "\r\n");
    // All products: the period is not asked for nor read.
    TnDMPowerParam *dp = Processo(kProdutos);
    EXPECT_FALSE(dp->Param("pDataMovIni").Habilitado());
    EXPECT_FALSE(dp->Param("pDataMovFim").Requerido());
    dp->SetParamText("pTipoArqModeloSINCOArtigo", "Somente Produtos Movimentados");
    EXPECT_TRUE(dp->Param("pDataMovIni").Habilitado());
    EXPECT_TRUE(dp->Param("pDataMovFim").Requerido());
    EXPECT_EQ(dp->Param("pArqDestinoSINCOMovimento").Alias(), "pArqDestinoSINCOMovimento");
}

TEST_F(SincoBanco, ValoresExatosEReferenciaAcentuadaNaLargura)
{
    // Values are the exact product of quantity and cost rounded half away from zero: the
    // doubles' products 5525.684999… and 3.0149999… would give 5525.68 and 3.01. A quantity
    // half a thousandth away rounds up too. A reference of 20 characters with accents (22
    // bytes in the database) fills its field exactly.
    con().Executar(QString::fromUtf8("update PRODUTO set REFERENPRODUTO = 'AÇÚCAR-CRISTAL-00001' where CODIGOPRODUTO = 123"));
    const QDate abril(2024, 4, 1);
    Lcto(1, abril, 123, 1, 29.7, 186.05);
    Lcto(1, abril, 45, 1, 3, 1.005);
    Lcto(1, abril, 7, 1, 2.0005, 2);
    const QByteArray arquivo =
        Ler(Gerar(kMovimento, {{"pDataMovIni", "01/04/2024"}, {"pDataMovFim", "30/04/2024"}, {"pTipoProduto", "2"}}));
    EXPECT_EQ(arquivo, QByteArray("01042024" " " "A7                  " "   " "00000000000002001" "00000000000000400" "\r\n"
                                  "01042024" " " "CAFE-500G           " "FAR" "00000000000003000" "00000000000000302" "\r\n"
                                  "01042024" "1" "A\xC7\xDA" "CAR-CRISTAL-00001" "UN " "00000000000029700"
                                  "00000000000552569" "\r\n"));
}

TEST_F(SincoBanco, ValorQueNaoCabeNomeiaOProdutoENaoGravaArquivo)
{
    const QVariantMap mov = Com(kPeriodo, {{"pTipoProduto", "2"}});
    const auto produto = [](qint64 p) { return QStringLiteral("O produto %1 não pode ser gravado no arquivo SINCO").arg(p); };
    // A file already at the destination stays as it was.
    QFile antigo(FPasta.filePath("falha.txt"));
    ASSERT_TRUE(antigo.open(QIODevice::WriteOnly));
    antigo.write("anterior");
    antigo.close();
    const auto falha = [&](const QVariantMap &valores) {
        QString mensagem;
        try {
            Gerar(kMovimento, valores, "falha.txt");
            ADD_FAILURE() << "gerou o arquivo";
        } catch (const Exception &e) {
            mensagem = e.Message();
        }
        EXPECT_EQ(Ler(FPasta.filePath("falha.txt")), QByteArray("anterior"));
        EXPECT_EQ(QDir(FPasta.path()).entryList(QDir::Files), QStringList({"falha.txt"}));
        return mensagem;
    };

    con().Executar("update LCTOINV set QTDEESTOQUE = -1.5 where CODIGOPRODUTO = 45");
    EXPECT_TRUE(falha(mov).startsWith(produto(45) + ": a quantidade -1,5 é menor que zero")) << falha(mov).toStdString();
    con().Executar("update LCTOINV set QTDEESTOQUE = 100000000000000 where CODIGOPRODUTO = 45");
    EXPECT_TRUE(falha(mov).contains("passa de 14 dígitos inteiros")) << falha(mov).toStdString();
    con().Executar("update LCTOINV set QTDEESTOQUE = 1 where CODIGOPRODUTO = 45");

    con().Executar("update PRODUTO set REFERENPRODUTO = '123456789012345678901' where CODIGOPRODUTO = 7");
    EXPECT_TRUE(falha(mov).startsWith(produto(7) + ": a referência \"123456789012345678901\" passa de 20"));
    con().Executar("update PRODUTO set REFERENPRODUTO = null where CODIGOPRODUTO = 7");
    EXPECT_TRUE(falha(mov).startsWith(produto(7) + ": não tem código de referência"));
    con().Executar("update PRODUTO set REFERENPRODUTO = 'A7' where CODIGOPRODUTO = 7");

    con().Executar("update GRUPOPRODUTO set TIPOGRUPOPRODUTOSINCO = '12' where CODIGOGRUPOPRODUTO = 10");
    EXPECT_TRUE(falha(mov).startsWith(produto(123) + ": o tipo SINCO do grupo \"12\" passa de 1"));
    con().Executar("update GRUPOPRODUTO set TIPOGRUPOPRODUTOSINCO = '1' where CODIGOGRUPOPRODUTO = 10");

    con().Executar(QString::fromUtf8("update PRODUTO set DESCRPRODUTO = 'CAFÉ 10 €' where CODIGOPRODUTO = 45"));
    QString mensagem;
    try {
        Gerar(kProdutos, {}, "falha.txt");
    } catch (const Exception &e) {
        mensagem = e.Message();
    }
    EXPECT_TRUE(mensagem.startsWith(produto(45) + QString::fromUtf8(": a descrição tem o caractere \"€\"")))
        << mensagem.toStdString();
    EXPECT_EQ(Ler(FPasta.filePath("falha.txt")), QByteArray("anterior"));
}

TEST_F(SincoBanco, PeriodoEDestinoRecusados)
{
    const QString datas = QString::fromUtf8(OrvoSDatasInvalidasObrigatorias);
    const auto recusa = [&](const QString &classe, const QVariantMap &valores, const QString &param) {
        try {
            Gerar(classe, valores, "recusa.txt");
            ADD_FAILURE() << "gerou o arquivo";
        } catch (const EnParam &e) {
            EXPECT_EQ(e.Param(), param);
            EXPECT_FALSE(QFile::exists(FPasta.filePath("recusa.txt")));
            return e.Message();
        }
        return QString();
    };
    EXPECT_EQ(recusa(kMovimento, {{"pDataMovIni", ""}, {"pDataMovFim", "01/01/2024"}}, "pDataMovIni"),
              QString::fromUtf8("O parâmetro \"Período Inicial\" deve ser informado."));
    EXPECT_EQ(recusa(kMovimento, {{"pDataMovIni", "31/02/2024"}, {"pDataMovFim", "01/03/2024"}}, "pDataMovIni"), datas);
    EXPECT_EQ(recusa(kMovimento, {{"pDataMovIni", "02/01/2024"}, {"pDataMovFim", "01/01/2024"}}, "pDataMovIni"),
              QString::fromUtf8(OrvoSProblemaIntervaloEntreDatas));
    EXPECT_EQ(recusa(kProdutos, {{"pTipoArqModeloSINCOArtigo", "2"}, {"pDataMovIni", "abc"}, {"pDataMovFim", "1"}},
                     "pDataMovIni"),
              datas);
    // Nothing in the period, or a branch without entries: no file.
    EXPECT_EQ(recusa(kMovimento, {{"pDataMovIni", "01/01/2023"}, {"pDataMovFim", "31/12/2023"}}, "pDataMovIni"),
              QString::fromUtf8(OrvoSEmpresaSemInformacaoParaArq));
    Selecao().GetParams("CodigoEstab").SetValue(3);
    Selecao().Refresh();
    EXPECT_EQ(recusa(kProdutos, Com(kPeriodo, {{"pTipoArqModeloSINCOArtigo", "2"}}), "pTipoArqModeloSINCOArtigo"),
              QString::fromUtf8(OrvoSEmpresaSemInformacaoParaArq));

    // A folder that does not exist: the system's message, nothing written.
    TnDMPowerParam *dp = Processo(kMovimento);
    dp->SetParamText("pDataMovIni", "01/01/2024");
    dp->SetParamText("pDataMovFim", "31/01/2024");
    Selecao().GetParams("CodigoEstab").SetValue(1);
    Selecao().Refresh();
    const QString pasta = FPasta.filePath("nao_existe");
    dp->SetParamText("pArqDestinoSINCOMovimento", pasta + "/mov.txt");
    try {
        dp->Rodar();
        ADD_FAILURE() << "gravou numa pasta que não existe";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("A pasta \"%1\" não existe.").arg(QDir::toNativeSeparators(pasta)));
    }
    EXPECT_FALSE(QFile::exists(pasta));
}

TEST_F(SincoBanco, AcoesEConsultaDasDatas)
{
    TnActionList &acoes = AcoesDoMenu();
    for (const auto &[classe, caption, indice] :
         {std::tuple{kMovimento, "IN86 e Posteriores - Movimento", 20},
          std::tuple{kProdutos, "IN86 e Posteriores - Cadastro Produto", 10}}) {
        const TnAction *a = acoes.Acao("act" + classe);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->Category(), "60 Relatórios\\70 -SINCO - Sistema de Coleta Dados");
        EXPECT_EQ(a->Caption(), QString::fromUtf8(caption));
        EXPECT_EQ(a->MenuIndex(), indice);
        EXPECT_EQ(a->VerificaSelecao(), "CodigoEmpresa;CodigoEstab");
    }
    // The dates of the selected company and branch, once each.
    TnDMClientDataSet *datas = AbrirDM("OrvoDCLctoInvPeriodo");
    ASSERT_NE(datas, nullptr);
    QStringList lidas;
    TnClientDataSet &ds = datas->nClientDataSet();
    for (ds.First(); !ds.Eof(); ds.Next())
        lidas << ds.FieldByName("DATAINVENT").AsString();
    EXPECT_EQ(lidas, QStringList({"01/01/2024", "01/02/2024", "01/03/2024"}));
}
