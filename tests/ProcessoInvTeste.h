#pragma once
// Fixture of the cases on the inventory processes as the program loads them (OrvoCore, by
// class name): company 1 with branches 1 and 2, product groups 10 and 20, and helpers that
// write branches, entries and their lines, create and run a process with its parameters
// typed, and read a process's report.
#include "BancoOrvo.h"
#include "PowerParam.h"
#include "Valores.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

class BancoProcessoInv : public BancoOrvoCore {
protected:
    void SetUp() override
    {
        BancoOrvoCore::SetUp();
        if (IsSkipped())
            return;
        con().Executar("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB) values (1, 2, 'Filial')");
        con().Executar("insert into GRUPOPRODUTO (CODIGOEMPRESA, CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO, "
                       "TIPOGRUPOPRODUTO, DESCRGRUPOPRODUTO) values (1, 10, '1', 2, 'Dez'), (1, 20, '2', 2, 'Vinte')");
    }
    // A product of company 1.
    void Produto(qint64 codigo, const QVariant &grupo = QVariant(), const QVariant &ncm = QVariant())
    {
        con().Executar("insert into PRODUTO (CODIGOEMPRESA, CODIGOPRODUTO, CODIGOGRUPOPRODUTO, CODIGONCM, DESCRPRODUTO) "
                       "values (1, ?, ?, ?, ?)",
                       {codigo, grupo, ncm, QStringLiteral("Produto %1").arg(codigo)});
    }
    // An entry of company 1.
    void Lcto(int estab, const QDate &data, qint64 produto, int motivo, double qtde = 4, double preco = 2.5,
              const QVariant &valorIR = QVariant())
    {
        con().Executar("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
                       "QTDEESTOQUE, PRECOUNIT, VALORIR, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO) "
                       "values (1, ?, ?, ?, ?, ?, ?, ?, ?, 1, 2)",
                       {estab, data, produto, motivo, qtde, preco, valorIR, QDateTime(data, QTime(8, 0))});
    }
    // A property line of an entry of company 1.
    void Prop(int estab, const QDate &data, qint64 produto, int motivo, int seq, int indicador,
              const QVariant &conta = QVariant(), double preco = 2.5)
    {
        con().Executar("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, "
                       "MOTIVOINVENTARIO, SEQ, INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, QUANTIDADE, PRECOUNIT) "
                       "values (1, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?)",
                       {estab, data, produto, motivo, seq, indicador, indicador == 0 ? QVariant() : QVariant(7), conta,
                        preco});
    }
    void Sql(const QString &sql, const QVariantList &params = {})
    {
        params.isEmpty() ? con().Executar(sql) : con().Executar(sql, params);
    }
    // A further branch of company 1; empty dates: no limit.
    void Estab(int estab, const QDate &inicio = {}, const QDate &fim = {})
    {
        Sql("insert into ESTAB (CODIGOEMPRESA, CODIGOESTAB, NOMEESTAB, DATAINICIOATIVIDADE, DATAFIMATIVIDADE) "
            "values (1, ?, ?, ?, ?)",
            {estab, QStringLiteral("Filial %1").arg(estab), inicio, fim});
    }
    // An entry of company 1 with values of other columns (VALORICMS, OBSLCTOINV...).
    void LctoCom(int estab, const QDate &data, qint64 produto, int motivo, double qtde, double preco,
                 const QVariantMap &outros)
    {
        Sql("insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
            "PRECOUNIT, VALORIR, VALORICMS, VALORPIS, VALORCOFINS, OBSLCTOINV, DATAHORALCTOINV, CODIGOUSUARIO, "
            "ORIGEMDADO) values (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '2020-01-01 10:00:00', 7, 2)",
            {estab, data, produto, motivo, qtde, preco, outros.value("VALORIR"), outros.value("VALORICMS", 0),
             outros.value("VALORPIS", 0), outros.value("VALORCOFINS", 0), outros.value("OBSLCTOINV")});
    }
    // A property line of company 1 with its quantity, participant and account.
    void Propriedade(int estab, const QDate &data, qint64 produto, int motivo, int seq, double qtde, double preco,
                     const QVariant &participante = {}, const QVariant &conta = {}, int indicador = 0)
    {
        Sql("insert into LCTOINVPROPRIEDADE (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, "
            "SEQ, INDICADORPROPRIEDADE, CODIGOPESSOAPART, CONTACTB, QUANTIDADE, PRECOUNIT, VALORIR) "
            "values (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1.5)",
            {estab, data, produto, motivo, seq, indicador, participante, conta, qtde, preco});
    }
    // A tax-situation line of a property line of company 1.
    void Cst(int estab, const QDate &data, qint64 produto, int motivo, int seq, int cst, double base, double imposto)
    {
        Sql("insert into LCTOINVCST (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, SEQ, CST, "
            "BASECALCULO, VALORIMPOSTO) values (1, ?, ?, ?, ?, ?, ?, ?, ?)",
            {estab, data, produto, motivo, seq, cst, base, imposto});
    }
    // The last date user 1 may write.
    void DataPermitida(const QDate &d)
    {
        Sql("delete from NPERSONALIZACAO where CODIGOUSUARIO = 1");
        Sql("insert into NPERSONALIZACAO (CODIGOUSUARIO, DATAFINALPERMITIDA) values (1, ?)", {d});
    }
    // A new process of `classe`, its parameters typed as the form stores them.
    static TnDMPowerParam *Processo(const QString &classe, const QVariantMap &textos)
    {
        TnDMPowerParam *dp = Processo(classe);
        for (auto it = textos.cbegin(); dp && it != textos.cend(); ++it)
            dp->SetParamText(it.key(), it.value().toString());
        return dp;
    }
    // The message of a run that fails, and in `param` the parameter it refuses (empty for
    // another failure); empty when the run went to the end.
    static QString Falha(TnDMPowerParam *dp, QString *param = nullptr)
    {
        try {
            dp->Rodar();
        } catch (const EnParam &e) {
            if (param)
                *param = e.Param();
            return e.Message();
        } catch (const Exception &e) {
            if (param)
                param->clear();
            return e.Message();
        }
        return QString();
    }
    // A new process of `classe`, as the framework creates it.
    static TnDMPowerParam *Processo(const QString &classe)
    {
        auto *dp = qobject_cast<TnDMPowerParam *>(CriarDM(classe));
        EXPECT_NE(dp, nullptr) << classe.toStdString();
        return dp;
    }
    // The lines of the process's report as "kind|text".
    static QStringList Relatorio(TnDMPowerParam *dp)
    {
        QStringList r;
        for (const auto &item : dp->Mensagens().Itens())
            r << QStringLiteral("%1|%2").arg(int(item->Tipo)).arg(item->Texto);
        return r;
    }
    // A report that is a tree, every line as "kind|level|text" followed by its children.
    static QStringList Arvore(TnDMPowerParam *dp)
    {
        QStringList r;
        std::function<void(const TnItemMensagem &)> visitar = [&](const TnItemMensagem &i) {
            r << QStringLiteral("%1|%2|%3").arg(int(i.Tipo)).arg(i.Nivel()).arg(i.Texto);
            for (const auto &f : i.Filhos)
                visitar(*f);
        };
        for (const auto &i : dp->Mensagens().Itens())
            visitar(*i);
        return r;
    }
    // The rows of `sql` in the statement's order, each as its columns (teste::TextoDaColuna)
    // joined by "|".
    QStringList Tabela(const QString &sql)
    {
        QStringList r;
        auto cmd = con().Preparar(sql);
        TnCursor &c = cmd->Abrir();
        while (c.Proximo()) {
            QStringList colunas;
            for (int i = 0; i < c.Colunas(); ++i)
                colunas << teste::TextoDaColuna(c, i);
            r << colunas.join(u'|');
        }
        return r;
    }
};
