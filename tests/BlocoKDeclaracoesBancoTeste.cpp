// The declaration table of the forty Bloco K modules, row by row: what every row keeps
// (its pair, its key, its selection, which keys may change, its menu action and master
// link), and, for the classes the library registers, the module as the program creates it
// against its row.
#include "Acoes.h"
#include "BancoOrvo.h"
#include "BlocoKDeclaracoes.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

QString L1(const char *s) { return QString::fromUtf8(s); }

TEST(BlocoKDeclaracoes, QuarentaModulosEmPares)
{
    const auto &t = DeclaracoesBlocoK();
    ASSERT_EQ(t.size(), 40u);
    QSet<QString> classes;
    int registros = 0;
    for (const TnDeclaracaoBlocoK &d : t) {
        classes.insert(L1(d.Classe).toUpper());
        registros += d.TipoObjeto == 1;
    }
    EXPECT_EQ(classes.size(), 40);
    EXPECT_EQ(registros, 20);
    // Keys may change only in the K300 family and the K292 consultation.
    QStringList alteraveis;
    for (const TnDeclaracaoBlocoK &d : t)
        if (d.ChaveAlteravel)
            alteraveis << L1(d.Classe);
    EXPECT_EQ(alteraveis, QStringList({"TOrvoDMSPEDFISK300", "TOrvoDMSPEDFISK301", "TOrvoDMSPEDFISK302",
                                       "TOrvoDCSpedFisK292", "TOrvoDCSPEDFISK300", "TOrvoDCSPEDFISK301",
                                       "TOrvoDCSPEDFISK302"}));
    EXPECT_THROW(DeclaracaoBlocoK("TOrvoDMSpedFisK999"), Exception);
    EXPECT_EQ(L1(DeclaracaoBlocoK("torvodmspedfisk200").Classe), "TOrvoDMSpedFisK200");
}

TEST(BlocoKDeclaracoes, ComandoDaTabelaOrdenadoPelaChave)
{
    const std::vector<TnDefCampo> campos{{.Nome = "CODIGOEMPRESA", .Tipo = ftSmallint},
                                         {.Nome = "CODIGOESTAB", .Tipo = ftSmallint},
                                         {.Nome = "CALCULADO", .Tipo = ftString, .Kind = fkInternalCalc},
                                         {.Nome = "SEQK290", .Tipo = ftSmallint}};
    EXPECT_EQ(SQLBlocoK("SPEDFISK290", campos, "CODIGOEMPRESA;CODIGOESTAB;SEQK290", true),
              "Select t_t.CODIGOEMPRESA,t_t.CODIGOESTAB,t_t.SEQK290 from SPEDFISK290 t_t ORDER BY "
              "T_T.CODIGOEMPRESA,T_T.CODIGOESTAB,T_T.SEQK290");
    const TnDefCadastro c = CadastroBlocoK(DeclaracaoBlocoK("TOrvoDCSpedFisK290"), campos);
    EXPECT_TRUE(c.SQL.endsWith("ORDER BY T_T.CODIGOEMPRESA,T_T.CODIGOESTAB,T_T.DATALCTOFIS,T_T.SEQK290"));
    EXPECT_EQ(c.TipoForm, ntfConGrid);
    EXPECT_FALSE(c.LogChanges);
    const TnDefCadastro r = CadastroBlocoK(DeclaracaoBlocoK("TOrvoDMSpedFis0210"), campos);
    EXPECT_TRUE(r.SQL.contains(" from SPEDFIS0210 t_t ORDER BY t_t.CODIGOEMPRESA,")) << r.SQL.toStdString();
    EXPECT_EQ(r.Caption, QString::fromUtf8("Consumo Específico Padronizado"));
}

class BlocoKDeclaracaoBanco : public BancoOrvoCore, public ::testing::WithParamInterface<size_t> {
protected:
    const TnDeclaracaoBlocoK &Linha() const { return DeclaracoesBlocoK().at(GetParam()); }
};

TEST_P(BlocoKDeclaracaoBanco, LinhaEModuloRegistrado)
{
    if (IsSkipped())
        return;
    const TnDeclaracaoBlocoK &d = Linha();
    const QString classe = L1(d.Classe);
    SCOPED_TRACE(classe.toStdString());

    // The pair: the same table and key, each naming the other.
    EXPECT_TRUE(classe.startsWith(d.TipoObjeto == 1 ? "TOrvoDM" : "TOrvoDC"));
    const TnDeclaracaoBlocoK &par = DeclaracaoBlocoK(QStringLiteral("T") + L1(d.CadCons));
    EXPECT_NE(par.TipoObjeto, d.TipoObjeto);
    EXPECT_EQ(QString::fromLatin1(par.CadCons).compare(classe.mid(1), Qt::CaseInsensitive), 0);
    EXPECT_STREQ(par.Tabela, d.Tabela);
    EXPECT_STREQ(par.Chave, d.Chave);
    EXPECT_EQ(QString::fromLatin1(d.Tabela), QStringLiteral("SPEDFIS") + QString::fromLatin1(d.Registro));
    EXPECT_TRUE(QString::fromLatin1(d.Chave).startsWith("CODIGOEMPRESA;CODIGOESTAB;"));
    EXPECT_TRUE(QString::fromLatin1(d.Selecao).startsWith("CODIGOEMPRESA;CODIGOESTAB"));
    EXPECT_EQ(d.TipoForm == ntfConGrid, d.TipoObjeto == 2);
    // Only the K291, K292, K301 and K302 registers control rights, and they link to a master.
    const QString reg = QString::fromLatin1(d.Registro);
    const bool detalheComMestre = d.TipoObjeto == 1 && QStringList({"K291", "K292", "K301", "K302"}).contains(reg);
    EXPECT_EQ(d.Acao.ControlaDireito, detalheComMestre);
    // Their master is the action of the K290 or K300 register, its name exactly.
    const char *mestre = !detalheComMestre ? ""
                         : reg.startsWith("K29")
                             ? DeclaracaoBlocoK("TOrvoDMSpedFisK290").Classe
                             : DeclaracaoBlocoK("TOrvoDMSPEDFISK300").Classe;
    EXPECT_EQ(L1(d.Acao.AcaoMestre), *mestre ? QStringLiteral("act") + L1(mestre) : QString());
    EXPECT_EQ(d.Acao.Modulo, 3);
    EXPECT_EQ(d.Menu.Modulo, "Orvo");

    // The module as the library registers it, against its row.
    const TnClasseInfo *info = Registro().Classe(classe);
    if (!info)
        return; // not built yet
    EXPECT_EQ(info->PegarVerificaSelecao(), QString::fromLatin1(d.Selecao));
    EXPECT_EQ(info->PegarTipoObjeto(), d.TipoObjeto);
    auto *dm = qobject_cast<TnDMClientDataSet *>(CriarDM(classe));
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->ChavePrimaria(), QString::fromLatin1(d.Chave));
    EXPECT_EQ(dm->Caption(), L1(d.Caption));
    EXPECT_EQ(dm->CadCons(), QString::fromLatin1(d.CadCons));
    EXPECT_EQ(dm->TipoForm(), d.TipoForm);
    EXPECT_EQ(dm->ChaveAlteravel(), d.ChaveAlteravel);
    EXPECT_EQ(dm->Declaracao().Tabela, QString::fromLatin1(d.Tabela));

    TnAction *a = AcaoDoMenu(QStringLiteral("act") + classe);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Name(), QStringLiteral("act") + classe); // case kept
    EXPECT_EQ(a->Category(), L1(d.Acao.Categoria));
    EXPECT_EQ(a->Caption(), L1(d.Acao.Caption));
    EXPECT_EQ(a->MenuIndex(), d.Acao.Indice);
    EXPECT_EQ(a->ControlaDireito(), d.Acao.ControlaDireito);
    EXPECT_EQ(a->VerificaSelecao(), QString::fromLatin1(d.Selecao));
    EXPECT_EQ(a->ShortCut(), QString());
    EXPECT_EQ(a->ImageIndex(), -1);
    const quint32 hash = reg == "K291" || reg == "K292" ? TnActionList::GetHashComp("actTOrvoDMSpedFisK290")
                           : reg == "K301" || reg == "K302" ? TnActionList::GetHashComp("actTOrvoDMSPEDFISK300")
                                                            : 0;
    EXPECT_EQ(a->HashMestre(), d.TipoObjeto == 1 ? hash : 0u);

    // No action for a menu without module 3.
    TnActionList outra;
    info->GerarPrincAction(*info, outra, TnEventoAcao(), Modulos({0}));
    EXPECT_EQ(outra.Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Quarenta, BlocoKDeclaracaoBanco, ::testing::Range<size_t>(0, 40),
                         [](const ::testing::TestParamInfo<size_t> &i) {
                             return std::string(DeclaracoesBlocoK().at(i.param).Classe);
                         });

} // namespace
