// What the server engine saves in round trips must not change what is read or written: a
// statement prepared with its first execution reads the same values then as afterwards, and
// refuses a bad text at that execution; a transaction opens with the next statement sent and,
// when nothing was sent, ends without one; a batch sent with its commit behind it commits all
// or nothing, and inside an outer transaction commits nothing before it.
#include "BancoTeste.h"
#include "Decimal.h"

#include <gtest/gtest.h>

namespace {

class TrocasComServidorBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (IsSkipped())
            return;
        con().Executar("create table V (ID integer not null, GRANDE bigint, VALOR numeric(18,2), REAL_ double precision, "
                       "DATA date, MOMENTO timestamp, NOME varchar(40), SN char(1), constraint PK_V primary key (ID))");
        con().Executar("insert into V (ID, GRANDE, VALOR, REAL_, DATA, MOMENTO, NOME, SN) values "
                       "(1, 9007199254740993, -1234567.89, 0.125, '2024-02-29', '2024-02-29 23:59:58', 'Ação', '1'), "
                       "(2, null, null, null, null, null, null, null)");
    }
    bool Servidor() { return con().PegarTipoCon() == tcPostgreSQL; }
    // Every column of the rows of V, as text, read through the cursor's typed accessors.
    static QStringList Ler(TnComando &cmd)
    {
        QStringList linhas;
        TnCursor &c = cmd.Abrir();
        while (c.Proximo()) {
            QStringList v;
            qint64 escalado = 0;
            v << QString::number(c.Inteiro(0)) << (c.Nulo(1) ? "-" : QString::number(c.Inteiro(1)))
              << (c.Nulo(2) ? "-" : (c.Decimal(2, 2, escalado) ? nDecimal::ParaTexto(escalado, 2) : "?"))
              << (c.Nulo(3) ? "-" : QString::number(c.Real(3))) << (c.Nulo(4) ? "-" : c.Data(4).toString(Qt::ISODate))
              << (c.Nulo(5) ? "-" : c.DataHora(5).toString(Qt::ISODate)) << (c.Nulo(6) ? "-" : c.Texto(6))
              << (c.Nulo(7) ? "-" : c.Texto(7).trimmed());
            linhas << v.join(u'|');
        }
        return linhas;
    }
    qint64 Linhas(const QString &condicao = QString()) { return BancoTeste::Linhas("V", condicao); }
};

} // namespace

TEST_F(TrocasComServidorBanco, PrimeiraExecucaoLeOsMesmosValores)
{
    auto cmd = con().Preparar("select ID, GRANDE, VALOR, REAL_, DATA, MOMENTO, NOME, SN from V where ID >= ? order by ID");
    cmd->BindInteiro(0, 1);
    con().ZerarIdasEVoltas();
    const QStringList primeira = Ler(*cmd);
    if (Servidor())
        EXPECT_EQ(con().IdasEVoltas().Total(), 1u); // prepared, described and run together
    const QStringList segunda = Ler(*cmd);
    EXPECT_EQ(primeira, segunda);
    EXPECT_EQ(primeira, QStringList({"1|9007199254740993|-1234567.89|0.125|2024-02-29|2024-02-29T23:59:58|Ação|1",
                                     "2|-|-|-|-|-|-|-"}));
    // A write prepared with its first execution counts its rows.
    auto upd = con().Preparar("update V set NOME = ? where ID = ?");
    upd->BindTexto(0, QStringLiteral("Outro"));
    upd->BindInteiro(1, 2);
    EXPECT_EQ(upd->Executar(), 1);
    EXPECT_EQ(Linhas("NOME = 'Outro'"), 1);
}

TEST_F(TrocasComServidorBanco, TextoRecusadoNaPrimeiraExecucao)
{
    // The server hears of the text at its first execution; the embedded engine when it is
    // prepared.
    const QString sql = QStringLiteral("select NADA from TABELA_QUE_NAO_EXISTE where ID = ?");
    const auto falhar = [&] {
        if (!Servidor()) {
            con().Preparar(sql);
            return;
        }
        auto cmd = con().Preparar(sql);
        cmd->BindInteiro(0, 1);
        cmd->Abrir().Proximo();
    };
    EXPECT_THROW(falhar(), EDatabaseError);
    // The connection goes on, and a transaction that met the failure is lost as a whole.
    auto ok = con().Preparar("select count(*) from V");
    TnCursor &c = ok->Abrir();
    ASSERT_TRUE(c.Proximo());
    EXPECT_EQ(c.Inteiro(0), 2);
    ok->Fechar();
    {
        TnTransacao t(1, con());
        con().Executar("delete from V where ID = 2");
        EXPECT_THROW(falhar(), EDatabaseError);
        EXPECT_TRUE(con().TransacaoAbortada());
    }
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(Linhas(), 2);
}

TEST_F(TrocasComServidorBanco, TransacaoAbreComOProximoComando)
{
    auto ins = con().Preparar("insert into V (ID) values (?)");
    ins->BindInteiro(0, 10);
    ins->Executar(); // prepared now
    con().ZerarIdasEVoltas();
    {
        TnTransacao t(1, con());
        t.Commit();
    }
    {
        TnTransacao t(2, con()); // rolled back unused
    }
    if (Servidor())
        EXPECT_EQ(con().IdasEVoltas().Total(), 0u);
    con().ZerarIdasEVoltas();
    {
        TnTransacao t(3, con());
        ins->BindInteiro(0, 11);
        ins->Executar();
        EXPECT_TRUE(con().InTransaction());
    } // rolled back
    if (Servidor())
        EXPECT_EQ(con().IdasEVoltas().Total(), 2u); // BEGIN with the insert, the rollback
    EXPECT_EQ(Linhas("ID = 11"), 0);
    {
        TnTransacao t(4, con());
        ins->BindInteiro(0, 12);
        ins->Executar();
        t.Commit();
    }
    EXPECT_EQ(Linhas("ID = 12"), 1);
}

TEST_F(TrocasComServidorBanco, LoteComConfirmacaoTudoOuNada)
{
    auto ins = con().Preparar("insert into V (ID, NOME) values (?, ?)");
    const auto lote = [&](std::initializer_list<int> ids) {
        std::unique_ptr<TnLote> l = con().NovoLote();
        for (int id : ids) {
            ins->BindInteiro(0, id);
            ins->BindTexto(1, QStringLiteral("n%1").arg(id));
            l->Adicionar(*ins);
        }
        return l;
    };
    con().ZerarIdasEVoltas();
    {
        TnTransacao t(1, con());
        auto l = lote({20, 21});
        int falhou = -1;
        EXPECT_EQ(t.ConcluirEConfirmar(*l, falhou), std::vector<int>({1, 1}));
        EXPECT_FALSE(con().InTransaction());
    }
    if (Servidor())
        EXPECT_EQ(con().IdasEVoltas().Total(), 1u); // BEGIN, prepare, inserts and COMMIT together
    EXPECT_EQ(Linhas("ID in (20, 21)"), 2);

    // A refused row: nothing of the batch is committed, and the transaction waits for its
    // rollback.
    {
        TnTransacao t(2, con());
        auto l = lote({22, 1, 23});
        int falhou = -1;
        EXPECT_THROW(t.ConcluirEConfirmar(*l, falhou), EDatabaseError);
        EXPECT_EQ(falhou, 1);
        EXPECT_TRUE(con().InTransaction());
    }
    EXPECT_FALSE(con().InTransaction());
    EXPECT_EQ(Linhas("ID in (22, 23)"), 0);

    // Inside an outer transaction only its own level ends: the outer one decides.
    {
        TnTransacao fora(3, con());
        {
            TnTransacao t(4, con());
            auto l = lote({24});
            int falhou = -1;
            t.ConcluirEConfirmar(*l, falhou);
        }
        EXPECT_TRUE(con().InTransaction());
    } // rolled back
    EXPECT_EQ(Linhas("ID = 24"), 0);
}
