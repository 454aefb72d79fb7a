#include "BlocoKRegras.h"

#include "Conexao.h"
#include "DMClientDataSet.h"

TnMesCompetencia::TnMesCompetencia(const TnField &competencia)
{
    const QDate c = competencia.IsNull() ? QDate() : competencia.AsDate();
    if (!c.isValid())
        return;
    Primeiro = QDate(c.year(), c.month(), 1);
    Ultimo = Primeiro.addMonths(1).addDays(-1);
}

QDate DataOuMinima(const TnField &data)
{
    const QDate d = data.IsNull() ? QDate() : data.AsDate();
    return d.isValid() ? d : QDate(1, 1, 1);
}

bool QtdeAcimaDeZero(const TnField &qtde) { return !qtde.IsNull() && qtde.AsFloat() > 0; }

void ValidarUmaCorrecaoK(const TnDMClientDataSet &dm)
{
    if (QtdeAcimaDeZero(dm.FieldByName(QStringLiteral("QTDCORRECAOPOS")))
        && QtdeAcimaDeZero(dm.FieldByName(QStringLiteral("QTDCORRECAONEG"))))
        throw EnField(QStringLiteral("QTDCORRECAOPOS"),
                      QString::fromUtf8("Somente um dos campos pode ser preenchido, quantidade de correção "
                                        "positiva/negativa!"));
}

bool ValorDoMestreK(const TnDMClientDataSet &detalhe, const char *tabelaMestre, const char *ligacao,
                    const char *coluna, qint64 &valor)
{
    if (const TnDMClientDataSet *mestre = detalhe.DmMaster()) {
        const TnField &f = mestre->FieldByName(QString::fromLatin1(coluna));
        if (f.IsNull())
            return false;
        valor = f.AsLargeInt();
        return true;
    }
    const QStringList campos = QString::fromLatin1(ligacao).split(u';', Qt::SkipEmptyParts);
    QStringList condicoes;
    for (const QString &c : campos) {
        if (detalhe.FieldByName(c).IsNull())
            return false;
        condicoes << c + QStringLiteral(" = ?");
    }
    // Names from the register's own declaration; the values are bound. Read on every row
    // validated: the statement stays prepared.
    auto cmd = nDMConexao::Atual().PrepararGuardado(QStringLiteral("select %1 from %2 where %3")
                                                        .arg(QString::fromLatin1(coluna), QString::fromLatin1(tabelaMestre),
                                                             condicoes.join(QStringLiteral(" and "))));
    for (int i = 0; i < campos.size(); ++i) {
        const TnField &f = detalhe.FieldByName(campos[i]);
        if (f.DataType() == ftDate)
            cmd->BindData(i, f.AsDate());
        else
            cmd->BindInteiro(i, f.AsLargeInt());
    }
    TnCursor &c = cmd->Abrir();
    const bool achou = c.Proximo() && !c.Nulo(0);
    if (achou)
        valor = c.Inteiro(0);
    cmd->Fechar();
    return achou;
}
