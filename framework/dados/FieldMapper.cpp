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
    std::vector<int> posicoes;
    const QStringList &nomes = comando.NomesParametros();
    for (int i = 0; i < nomes.size(); ++i)
        if (nomes[i].compare(nome, Qt::CaseInsensitive) == 0)
            posicoes.push_back(i);
    if (posicoes.empty())
        throw Exception(QStringLiteral("O parâmetro \"%1\" do mapa não existe no comando.").arg(nome));
    p.FComando = &comando;
    p.FIndices = std::move(posicoes);
    p.FNome = nome;
}

template <class F> void TnParam::ParaCadaPosicao(F &&f) const
{
    if (!FComando)
        throw Exception(QStringLiteral("O parâmetro do mapa não foi vinculado a um comando."));
    for (int i : FIndices)
        f(*FComando, i);
}

void TnParam::Clear() { ParaCadaPosicao([](TnComando &c, int i) { c.BindNulo(i); }); }
void TnParam::SetValue(const QVariant &v) { ParaCadaPosicao([&](TnComando &c, int i) { c.BindValor(i, v); }); }
void TnParam::SetAsInteger(qint64 v) { ParaCadaPosicao([&](TnComando &c, int i) { c.BindInteiro(i, v); }); }
void TnParam::SetAsFloat(double v) { ParaCadaPosicao([&](TnComando &c, int i) { c.BindReal(i, v); }); }
void TnParam::SetAsString(const QString &v) { ParaCadaPosicao([&](TnComando &c, int i) { c.BindTexto(i, v); }); }
void TnParam::SetAsDate(const QDate &v) { ParaCadaPosicao([&](TnComando &c, int i) { c.BindData(i, v); }); }
void TnParam::SetAsDateTime(const QDateTime &v) { ParaCadaPosicao([&](TnComando &c, int i) { c.BindDataHora(i, v); }); }
