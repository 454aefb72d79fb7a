// Header bands of a dataset's grid: nesting, binding to fields, rebuilding.
#include "Bandas.h"
#include "ClientDataSet.h"

#include <gtest/gtest.h>

namespace {

// The bands as "name:caption[field]" depth first, children in parentheses.
QString Arvore(const TnGridBands &b)
{
    QStringList r;
    for (int i = 0; i < b.Count(); ++i) {
        const TnGridBandsItem &item = b.Items(i);
        QString t = item.Nome() + ':' + item.Caption();
        if (!item.Campo().isEmpty())
            t += '[' + item.Campo() + ']';
        if (item.Filhas().Count() > 0)
            t += '(' + Arvore(item.Filhas()) + ')';
        r << t;
    }
    return r.join(',');
}

// The chain of a query's header over its fields, as a run writes it.
void Construir(TnGridBands &b, const QString &periodo)
{
    b.Clear();
    TnGridBandsItem &empresa = b.Add("Empresa", "1 - Empresa Exemplo");
    TnGridBandsItem &periodoBanda = empresa.GetChildBands().Add("Periodo", periodo);
    TnGridBandsItem &rotina = periodoBanda.GetChildBands().Add("Rotina", "Consulta");
    for (auto [campo, rotulo] : {std::pair{"ORIGEMROTINA", "Rotina Origem"}, {"DATALCTOFIS", "Competência"},
                                 {"ORIGEM", "Rotina Origem"}})
        rotina.GetChildBands().Add(QString::fromUtf8(rotulo)).SetField(campo);
    b.AtualizarBandasGrid();
}

} // namespace

TEST(Bandas, ReconstruidasSemDuplicarECamposDeMesmoRotulo)
{
    TnClientDataSet ds;
    EXPECT_FALSE(ds.TemGridBands());
    TnGridBands &b = ds.GridBands();
    EXPECT_TRUE(ds.TemGridBands());
    int avisos = 0;
    b.AoAtualizar = [&] { ++avisos; };
    Construir(b, QString::fromUtf8("Período: 01/03/2024 à 31/03/2024"));
    Construir(b, QString::fromUtf8("Período: 01/04/2024 à 30/04/2024"));
    EXPECT_EQ(b.Versao(), 2);
    EXPECT_EQ(avisos, 2);
    // Two fields labelled alike are two bands, each known by its field.
    EXPECT_EQ(Arvore(b).toStdString(), QString::fromUtf8("Empresa:1 - Empresa Exemplo(Periodo:Período: 01/04/2024 à 30/04/2024("
                                           "Rotina:Consulta(ORIGEMROTINA:Rotina Origem[ORIGEMROTINA],"
                                           "DATALCTOFIS:Competência[DATALCTOFIS],ORIGEM:Rotina Origem[ORIGEM])))").toStdString());
    EXPECT_EQ(b.Total(), 6);
    ASSERT_NE(b.Find("origem"), nullptr);
    EXPECT_EQ(b.Find("origem")->Campo(), "ORIGEM");
    EXPECT_EQ(b.Find("Rotina Origem"), nullptr);

    // A field bound again among the same bands replaces its former band.
    TnGridBands &campos = b.Find("Rotina")->GetChildBands();
    campos.Add("Origem do registro").SetField("origem");
    EXPECT_EQ(campos.Count(), 3);
    EXPECT_EQ(campos.Items(2).Caption(), "Origem do registro");
    EXPECT_EQ(campos.Items(1).Campo(), "DATALCTOFIS");
    // A band with no caption given shows its name; Clear empties the whole tree.
    EXPECT_EQ(b.Add("Vazia").Caption(), "Vazia");
    b.Clear();
    EXPECT_EQ(b.Total(), 0);
    EXPECT_EQ(b.Find("ORIGEM"), nullptr);
}

TEST(Bandas, CopiaDeOutrasMantemOAvisoDaGrade)
{
    TnClientDataSet origem, destino;
    Construir(origem.GridBands(), QString::fromUtf8("Período: 01/03/2024 à 31/03/2024"));
    int avisos = 0;
    destino.GridBands().AoAtualizar = [&] { ++avisos; };
    destino.GridBands().Add("Empresa");
    destino.GridBands().CopiarDe(origem.GridBands());
    EXPECT_EQ(Arvore(destino.GridBands()), Arvore(origem.GridBands()));
    EXPECT_EQ(destino.GridBands().Find("ORIGEM")->Campo(), "ORIGEM");
    EXPECT_EQ(avisos, 0);
    destino.GridBands().AtualizarBandasGrid();
    EXPECT_EQ(avisos, 1);
    // The copy is its own: the source rebuilt changes nothing in it.
    origem.GridBands().Clear();
    EXPECT_EQ(destino.GridBands().Total(), 6);
}
