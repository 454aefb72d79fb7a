// Values read back from both engines as they were written: numbers exactly at their scale
// (below one, negative, rounded half away from zero), integers at their limits, dates and
// timestamps on both sides of 2000-01-01 and far from it, texts empty, long and multibyte;
// a cursor left half-read while other statements run goes on where it stopped.
#include "BancoTeste.h"
#include "Decimal.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

class LeituraBanco : public BancoTeste {
protected:
    void SetUp() override
    {
        BancoTeste::SetUp();
        if (IsSkipped())
            return;
        con().Executar("create table V (ID integer not null, N4 numeric(18,4), P smallint, I integer, G bigint, "
                       "R double precision, D date, M timestamp, T varchar(4000), constraint PK_V primary key (ID))");
    }
    // Inserts row `id` with the number `n4` (text; empty: null) and nothing else.
    void Numero(int id, const QString &n4)
    {
        auto cmd = con().Preparar("insert into V (ID, N4) values (?, ?)");
        cmd->BindInteiro(0, id);
        n4.isEmpty() ? cmd->BindNulo(1) : cmd->BindTexto(1, n4);
        cmd->Executar();
    }
};

TEST_F(LeituraBanco, NumerosExatosNaEscalaDaColunaEArredondadosLongeDoZero)
{
    struct Caso {
        const char *texto;
        qint64 escala4, escala2, escala0;
    };
    // Digits below one in their first and second groups of four, a group of zeros between
    // digits, and halves at each scale asked.
    const Caso casos[] = {
        {"0.0005", 5, 0, 0},
        {"-0.0005", -5, 0, 0},
        {"0.0050", 50, 1, 0},
        {"-0.0050", -50, -1, 0},
        {"1.2350", 12350, 124, 1},
        {"-1.2349", -12349, -123, -1},
        {"10000.0001", 100000001, 1000000, 10000},
        {"99999999.9999", 999999999999, 10000000000, 100000000},
        {"-2.5", -25000, -250, -3},
        {"123456789.5", 1234567895000, 12345678950, 123456790},
        {"0", 0, 0, 0},
    };
    int id = 0;
    for (const Caso &c : casos)
        Numero(id++, QString::fromLatin1(c.texto));
    Numero(id, QString());
    auto cmd = con().Preparar("select ID, N4 from V order by ID");
    TnCursor &cur = cmd->Abrir();
    for (const Caso &c : casos) {
        ASSERT_TRUE(cur.Proximo());
        const int k = int(cur.Inteiro(0));
        ASSERT_EQ(QString::fromLatin1(casos[k].texto), QString::fromLatin1(c.texto));
        qint64 v = 0;
        ASSERT_TRUE(cur.Decimal(1, 4, v)) << c.texto;
        EXPECT_EQ(v, c.escala4) << c.texto;
        ASSERT_TRUE(cur.Decimal(1, 2, v)) << c.texto;
        EXPECT_EQ(v, c.escala2) << c.texto;
        ASSERT_TRUE(cur.Decimal(1, 0, v)) << c.texto;
        EXPECT_EQ(v, c.escala0) << c.texto;
        EXPECT_DOUBLE_EQ(cur.Real(1), QByteArray(c.texto).toDouble()) << c.texto;
        // The text is the number, whatever zeros the engine writes after its last digit.
        qint64 doTexto = 0;
        ASSERT_TRUE(nDecimal::DeTexto(cur.Texto(1), 4, doTexto)) << cur.Texto(1).toStdString();
        EXPECT_EQ(doTexto, c.escala4) << c.texto;
        EXPECT_EQ(cur.Valor(1).toDouble(), QByteArray(c.texto).toDouble()) << c.texto;
    }
    ASSERT_TRUE(cur.Proximo());
    EXPECT_TRUE(cur.Nulo(1));
    EXPECT_FALSE(cur.Valor(1).isValid());
    EXPECT_FALSE(cur.Proximo());
}

TEST_F(LeituraBanco, NumerosAlemDaEscalaOuDos64BitsNaoSaoInventados)
{
    Numero(1, QStringLiteral("99999999999999.9999"));
    Numero(2, QStringLiteral("-99999999999999.9999"));
    auto cmd = con().Preparar("select N4 from V order by ID");
    TnCursor &cur = cmd->Abrir();
    for (const qint64 sinal : {1, -1}) {
        ASSERT_TRUE(cur.Proximo());
        qint64 v = 0;
        // At scale 4 the value has 18 digits: it fits; at scale 6 it does not.
        if (cur.Decimal(0, 4, v)) {
            // The embedded engine may keep it as a double: its nearest value, not another.
            EXPECT_NEAR(double(v), sinal * 999999999999999999.0, 1e3);
        }
        EXPECT_FALSE(cur.Decimal(0, 6, v)) << v;
    }
}

TEST_F(LeituraBanco, InteirosNosSeusLimites)
{
    const qint64 grandes[] = {std::numeric_limits<qint64>::min(), -1, 0, std::numeric_limits<qint64>::max(),
                              (qint64(1) << 53) + 1};
    auto ins = con().Preparar("insert into V (ID, P, I, G) values (?, ?, ?, ?)");
    for (int k = 0; k < 5; ++k) {
        ins->BindInteiro(0, k);
        ins->BindInteiro(1, k % 2 ? -32768 : 32767);
        ins->BindInteiro(2, k % 2 ? std::numeric_limits<qint32>::min() : std::numeric_limits<qint32>::max());
        ins->BindInteiro(3, grandes[k]);
        ins->Executar();
    }
    auto cmd = con().Preparar("select ID, P, I, G from V order by ID");
    TnCursor &cur = cmd->Abrir();
    for (int k = 0; k < 5; ++k) {
        ASSERT_TRUE(cur.Proximo());
        EXPECT_EQ(cur.Inteiro(1), k % 2 ? -32768 : 32767);
        EXPECT_EQ(cur.Inteiro(2), k % 2 ? std::numeric_limits<qint32>::min() : std::numeric_limits<qint32>::max());
        EXPECT_EQ(cur.Inteiro(3), grandes[k]);
        EXPECT_EQ(cur.Texto(3), QString::number(grandes[k]));
        EXPECT_EQ(cur.Valor(3).toLongLong(), grandes[k]);
        qint64 v = 0;
        ASSERT_TRUE(cur.Decimal(1, 2, v));
        EXPECT_EQ(v, (k % 2 ? -32768 : 32767) * 100);
        // Scaled, the largest do not fit 64 bits: no wrapped value.
        if (k == 0 || k == 3) {
            EXPECT_FALSE(cur.Decimal(3, 2, v)) << v;
        }
    }
}

TEST_F(LeituraBanco, DatasEMomentosDosDoisLadosDoAnoDoisMil)
{
    struct Caso {
        QDate data;
        QTime hora;
    };
    // Before 2000-01-01 the server counts negative days and microseconds: a moment with
    // milliseconds before it must not fall a day or a second off.
    const Caso casos[] = {
        {QDate(1999, 12, 31), QTime(23, 59, 59, 999)},
        {QDate(2000, 1, 1), QTime(0, 0)},
        {QDate(1999, 12, 31), QTime(0, 0, 0, 1)},
        {QDate(1900, 2, 28), QTime(12, 30, 15, 250)},
        {QDate(1, 1, 1), QTime(0, 0)},
        {QDate(9999, 12, 31), QTime(23, 59, 59, 999)},
        {QDate(2024, 2, 29), QTime(6, 7, 8, 9)},
        {QDate(1969, 12, 31), QTime(23, 59, 59, 500)},
    };
    auto ins = con().Preparar("insert into V (ID, D, M) values (?, ?, ?)");
    int id = 0;
    for (const Caso &c : casos) {
        ins->BindInteiro(0, id++);
        ins->BindData(1, c.data);
        ins->BindDataHora(2, QDateTime(c.data, c.hora));
        ins->Executar();
    }
    auto cmd = con().Preparar("select D, M from V order by ID");
    TnCursor &cur = cmd->Abrir();
    for (const Caso &c : casos) {
        ASSERT_TRUE(cur.Proximo());
        EXPECT_EQ(cur.Data(0), c.data);
        EXPECT_EQ(cur.Data(1), c.data) << "o dia de um momento";
        QDate d;
        QTime h;
        ASSERT_TRUE(cur.DataHoraPartes(1, d, h));
        EXPECT_EQ(d, c.data);
        EXPECT_EQ(h, c.hora) << c.data.toString(Qt::ISODate).toStdString();
        ASSERT_TRUE(cur.DataHoraPartes(0, d, h));
        EXPECT_EQ(d, c.data);
        EXPECT_EQ(h, QTime(0, 0));
        EXPECT_EQ(cur.Texto(0), c.data.toString(Qt::ISODate));
        EXPECT_TRUE(cur.Texto(1).startsWith(c.data.toString(Qt::ISODate) + u' ' + c.hora.toString(u"HH:mm:ss")))
            << cur.Texto(1).toStdString();
    }
    EXPECT_FALSE(cur.Proximo());
}

TEST_F(LeituraBanco, TextosVaziosLongosEAcentuadosPeloMesmoCursor)
{
    // Longer and shorter texts in turn through the views a bulk reader keeps (UTF-16 and
    // UTF-8), and an empty text apart from a null.
    QString longo;
    for (int k = 0; longo.size() < 3990; ++k)
        longo += QStringLiteral("ação€%1 ").arg(k);
    longo.truncate(3990);
    const QString textos[] = {longo, QStringLiteral("é"), QString(), QStringLiteral(""), QStringLiteral("日本語のテキスト"),
                              longo.left(1000), QStringLiteral("a")};
    auto ins = con().Preparar("insert into V (ID, T) values (?, ?)");
    int id = 0;
    for (const QString &t : textos) {
        ins->BindInteiro(0, id++);
        t.isNull() ? ins->BindNulo(1) : ins->BindTexto(1, t);
        ins->Executar();
    }
    auto cmd = con().Preparar("select T from V order by ID");
    TnCursor &cur = cmd->Abrir();
    for (const QString &t : textos) {
        ASSERT_TRUE(cur.Proximo());
        EXPECT_EQ(cur.Nulo(0), t.isNull());
        EXPECT_EQ(cur.TextoUtf8(0), t.toUtf8()); // a null is empty
        if (t.isNull())
            continue;
        EXPECT_EQ(cur.TextoDireto(0).toString(), t);
        EXPECT_EQ(cur.Texto(0), t);
        EXPECT_EQ(cur.Valor(0).toString(), t);
    }
}

TEST_F(LeituraBanco, ParametroReusadoPorDatasTextosENulosGuardaOUltimoValor)
{
    // One statement run again and again, each parameter bound in turn with the same date,
    // a null, a text and another date: every row keeps what was bound for it.
    const QDate d1(2024, 3, 1), d2(1999, 12, 31);
    const QDateTime m1(QDate(2024, 4, 2), QTime(9, 30, 0, 123));
    struct Linha {
        QVariant d, m;
        QString t;
    };
    const Linha linhas[] = {
        {d1, m1, "curto"},
        {d1, m1, QString(300, u'x')},
        {QVariant(), QVariant(), "b"},
        {d1, m1, QString()},
        {QStringLiteral("2024-05-05"), QDateTime(d2, QTime(23, 59, 59)), "c"},
        {d1, m1, "d"},
        {d2, QDateTime(d1, QTime(0, 0)), "e"},
    };
    auto ins = con().Preparar("insert into V (ID, D, M, T) values (?, ?, ?, ?)");
    int id = 0;
    for (const Linha &l : linhas) {
        ins->BindInteiro(0, id++);
        if (l.d.typeId() == QMetaType::QString)
            ins->BindTexto(1, l.d.toString());
        else
            l.d.isValid() ? ins->BindData(1, l.d.toDate()) : ins->BindNulo(1);
        l.m.isValid() ? ins->BindDataHora(2, l.m.toDateTime()) : ins->BindNulo(2);
        l.t.isNull() ? ins->BindNulo(3) : ins->BindTexto(3, l.t);
        ins->Executar();
    }
    auto cmd = con().Preparar("select D, M, T from V order by ID");
    TnCursor &cur = cmd->Abrir();
    for (const Linha &l : linhas) {
        ASSERT_TRUE(cur.Proximo());
        const QDate d = l.d.typeId() == QMetaType::QString ? QDate(2024, 5, 5) : l.d.toDate();
        EXPECT_EQ(cur.Nulo(0), !d.isValid());
        EXPECT_EQ(cur.Data(0), d);
        EXPECT_EQ(cur.DataHora(1), l.m.toDateTime());
        EXPECT_EQ(cur.Nulo(2), l.t.isNull());
        EXPECT_EQ(cur.Texto(2), l.t);
    }
}

TEST_F(LeituraBanco, CursorPelaMetadeContinuaDepoisDeOutrosComandos)
{
    constexpr int kLinhas = 3000;
    {
        TnTransacao t(1, con());
        auto ins = con().Preparar("insert into V (ID, N4, T) values (?, ?, ?)");
        for (int k = 0; k < kLinhas; ++k) {
            ins->BindInteiro(0, k);
            ins->BindTexto(1, nDecimal::ParaTexto(k * 7, 4));
            ins->BindTexto(2, QStringLiteral("linha %1").arg(k));
            ins->ExecutarEmLote();
        }
        t.Commit();
    }
    con().Executar("create table OUTRA (ID integer not null, constraint PK_OUTRA primary key (ID))");
    auto leitor = con().Preparar("select ID, N4, T from V order by ID");
    auto contar = con().Preparar("select count(*) from V where ID < ?");
    auto gravar = con().Preparar("insert into OUTRA (ID) values (?)");
    TnCursor &cur = leitor->Abrir();
    int k = 0;
    while (cur.Proximo()) {
        ASSERT_EQ(cur.Inteiro(0), k);
        qint64 v = 0;
        ASSERT_TRUE(cur.Decimal(1, 4, v));
        ASSERT_EQ(v, k * 7);
        ASSERT_EQ(cur.Texto(2), QStringLiteral("linha %1").arg(k));
        // Other statements, each with rows of its own or writing, now and then while the
        // first is half-read.
        if (k % 700 == 10) {
            contar->BindInteiro(0, k);
            TnCursor &c2 = contar->Abrir();
            ASSERT_TRUE(c2.Proximo());
            EXPECT_EQ(c2.Inteiro(0), k);
            gravar->BindInteiro(0, k);
            EXPECT_EQ(gravar->Executar(), 1);
        }
        ++k;
    }
    EXPECT_EQ(k, kLinhas);
    EXPECT_EQ(Linhas("OUTRA"), 5);
    // The cursor read to its end opens again on the same command.
    TnCursor &de_novo = leitor->Abrir();
    ASSERT_TRUE(de_novo.Proximo());
    EXPECT_EQ(de_novo.Inteiro(0), 0);
}

TEST_F(LeituraBanco, FalhaLidaAdianteVemDepoisDasLinhasQueChegaram)
{
    if (!teste::EmPostgres())
        GTEST_SKIP() << "o SQLite divide por zero sem erro";
    for (int k = 1; k <= 200; ++k)
        Numero(k, QString::number(k));
    // Rows come one by one: the division fails at the 150th, after the first were read.
    auto leitor = con().Preparar("select ID, 1 / (150 - ID) from V");
    auto outro = con().Preparar("select count(*) from V");
    TnCursor &cur = leitor->Abrir();
    ASSERT_TRUE(cur.Proximo());
    // Another statement reads the rest ahead, the failure with them.
    TnCursor &c2 = outro->Abrir();
    ASSERT_TRUE(c2.Proximo());
    EXPECT_EQ(c2.Inteiro(0), 200);
    int lidas = 1;
    EXPECT_THROW(
        {
            while (cur.Proximo())
                ++lidas;
        },
        EDatabaseError);
    EXPECT_EQ(lidas, 149);
}

} // namespace
