// Field maps and parameter maps bound by member name.
#include "ClientDataSet.h"
#include "Conexao.h"

#include <gtest/gtest.h>

namespace {

const TnDefCampo kCampos[] = {
    {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint},
    {.Nome = "QTDEESTOQUE", .Tipo = ftFloat},
    {.Nome = "DATAINVENT", .Tipo = ftDate},
};

struct TMapLctoInv {
    TnField *CODIGOPRODUTO = nullptr;
    TnField *QTDEESTOQUE = nullptr;
    ORVO_MAPA(CODIGOPRODUTO, QTDEESTOQUE)
};

struct TMapFaltando {
    TnField *QTDEESTOQUE = nullptr;
    TnField *PRECOUNIT = nullptr;
    ORVO_MAPA(QTDEESTOQUE, PRECOUNIT)
};

struct TMapParams {
    TnParam pCodigo;
    TnParam pData;
    ORVO_MAPA(pCodigo, pData)
};

// A statement that only records what is bound to it.
class ComandoGravado : public TnComando {
public:
    explicit ComandoGravado(QStringList nomes) { FNomes = std::move(nomes); }
    int Parametros() const override { return int(FNomes.size()); }
    void BindNulo(int i) override { valores[i] = QVariant(); }
    void BindInteiro(int i, qint64 v) override { valores[i] = v; }
    void BindReal(int i, double v) override { valores[i] = v; }
    void BindTexto(int i, const QString &v) override { valores[i] = v; }
    void BindData(int i, const QDate &v) override { valores[i] = v; }
    void BindDataHora(int i, const QDateTime &v) override { valores[i] = v; }
    int Executar() override { return 0; }
    TnCursor &Abrir() override { throw Exception("sem cursor"); }
    std::map<int, QVariant> valores;
};

TEST(Mapas, CamposPorNomeUmMapaPorClasse)
{
    TnClientDataSet ds;
    ds.DefinirCampos(kCampos);
    ds.CreateDataSet();
    auto &m = ds.Mapa<TMapLctoInv>();
    EXPECT_EQ(m.CODIGOPRODUTO, &ds.FieldByName("CODIGOPRODUTO"));
    EXPECT_EQ(&ds.Mapa<TMapLctoInv>(), &m); // the same bound instance each time
    ds.Append();
    m.QTDEESTOQUE->SetAsFloat(2.5);
    ds.Post();
    EXPECT_EQ(ds.FieldByName("QTDEESTOQUE").AsFloat(), 2.5);

    try {
        ds.Mapa<TMapFaltando>();
        FAIL() << "mapeou um campo que não existe";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().contains("PRECOUNIT")) << e.Message().toStdString();
    }
    TMapFaltando solto;
    EXPECT_THROW(TnFieldMapper::MapearFields(ds, solto), Exception);
}

TEST(Mapas, ParametrosPorNome)
{
    ComandoGravado cmd({"pData", "pCodigo", "pData"});
    TMapParams p;
    TnFieldMapper::MapearParams(cmd, p);
    EXPECT_EQ(p.pCodigo.Indice(), 1);
    p.pCodigo.SetAsInteger(42);
    p.pData.SetAsDate(QDate(2020, 1, 1));
    EXPECT_EQ(cmd.valores[1].toLongLong(), 42);
    EXPECT_EQ(cmd.valores[0].toDate(), QDate(2020, 1, 1));
    EXPECT_EQ(cmd.valores[2].toDate(), QDate(2020, 1, 1)); // every place of the name

    ComandoGravado semData({"pCodigo"});
    TMapParams q;
    try {
        TnFieldMapper::MapearParams(semData, q);
        FAIL() << "mapeou um parâmetro que não existe";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.Message().contains("pData")) << e.Message().toStdString();
    }
    EXPECT_THROW(TMapParams().pCodigo.SetAsInteger(1), Exception);
}

} // namespace
