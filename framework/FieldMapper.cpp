#include "FieldMapper.h"

#include "ClientDataSet.h"
#include "Conexao.h"

TnField &TnFieldMapper::Campo(TnClientDataSet &ds, const QString &nome)
{
    TnField *f = ds.FindField(nome);
    if (!f)
        throw Exception(QStringLiteral("O campo \"%1\" do mapa não existe no conjunto de dados.").arg(nome));
    return *f;
}

void TnFieldMapper::Vincular(TnComando &comando, const QString &nome, TnParam &p)
{
    const int i = comando.IndiceParametro(nome);
    if (i < 0)
        throw Exception(QStringLiteral("O parâmetro \"%1\" do mapa não existe no comando.").arg(nome));
    p.FComando = &comando;
    p.FIndice = i;
    p.FNome = nome;
}

TnComando &TnParam::Comando() const
{
    if (!FComando)
        throw Exception(QStringLiteral("O parâmetro do mapa não foi vinculado a um comando."));
    return *FComando;
}

void TnParam::Clear() { Comando().BindNulo(FIndice); }
void TnParam::SetValue(const QVariant &v) { Comando().BindValor(FIndice, v); }
void TnParam::SetAsInteger(qint64 v) { Comando().BindInteiro(FIndice, v); }
void TnParam::SetAsFloat(double v) { Comando().BindReal(FIndice, v); }
void TnParam::SetAsString(const QString &v) { Comando().BindTexto(FIndice, v); }
void TnParam::SetAsDate(const QDate &v) { Comando().BindData(FIndice, v); }
void TnParam::SetAsDateTime(const QDateTime &v) { Comando().BindDataHora(FIndice, v); }
