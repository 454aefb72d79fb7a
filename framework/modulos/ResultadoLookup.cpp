#include "ResultadoLookup.h"

#include "ClientDataSet.h"
#include "Conexao.h"
#include "DMClientDataSet.h"
#include "Literais.h"
#include "Paginacao.h"
#include "TextoProprio.h"
#include "Valores.h"

#include <cmath>

struct TnResultadosLookup::Leitor {
    QString Declarado;   // ResultadoLookup, ClasseLookup and CamposLink it was made for
    bool Valido = false; // the lookup class is a register with these columns
    QString SQL;
    QStringList Captions;
    int Colunas = 0;
    QStringList Link;    // fields of the row whose values are bound, in the key's order
    QHash<QString, QStringList> Lidos; // by the bound values
};

namespace {

QString Declarado(const TnField &f)
{
    const Definicao &d = f.Def();
    return d.ResultadoLookup.trimmed() + u'|' + d.ClasseLookup.trimmed() + u'|' + d.CamposLink.trimmed();
}

} // namespace

TnResultadosLookup::TnResultadosLookup(TnClientDataSet &ds) : FDataSet(ds) {}

TnResultadosLookup::~TnResultadosLookup() = default;

void TnResultadosLookup::Ligar()
{
    for (int i = 0; i < FDataSet.FieldCount(); ++i) {
        TnField &f = FDataSet.Fields(i);
        f.OnCaptionsResultadoLookup = [this](const TnField &c) { return Captions(c); };
        f.OnResultadosLookup = [this](const TnField &c) { return Textos(c); };
    }
}

void TnResultadosLookup::Limpar()
{
    for (auto &[campo, l] : FLeitores)
        l->Lidos.clear();
}

TnResultadosLookup::Leitor &TnResultadosLookup::LeitorDe(const TnField &f)
{
    std::unique_ptr<Leitor> &l = FLeitores[&f];
    const QString declarado = Declarado(f);
    if (l && l->Declarado == declarado)
        return *l;
    l = std::make_unique<Leitor>();
    l->Declarado = declarado;
    const QStringList colunas = NomesDaLista(f.Def().ResultadoLookup);
    const QString classe = f.Def().ClasseLookup.trimmed();
    if (colunas.isEmpty() || classe.isEmpty())
        return *l;
    l->Colunas = int(colunas.size());
    for (const QString &c : colunas)
        l->Captions << c;
    // The lookup register's declaration: its module is made only to read it, and freed.
    std::unique_ptr<TnDataModule> dm;
    try {
        dm.reset(CriarDMNovo(classe));
    } catch (const std::exception &) {
        return *l; // no such class (its library is not loaded): nothing to show
    }
    const auto *cadastro = qobject_cast<TnDMClientDataSet *>(dm.get());
    if (!cadastro)
        return *l;
    const QStringList chave = NomesDaLista(cadastro->ChavePrimaria());
    l->Link = NomesDaLista(f.Def().CamposLink);
    if (l->Link.isEmpty())
        l->Link << f.FieldName();
    if (l->Link.size() > chave.size())
        return *l;
    QStringList selecao, condicoes;
    for (int i = 0; i < colunas.size(); ++i) {
        const TnField *r = cadastro->nClientDataSet().FindField(colunas[i]);
        if (!r || !EhIdentificador(colunas[i]))
            return *l;
        l->Captions[i] = TextoProprio(r->DisplayLabel()); // kept beyond the lookup's library
        selecao << QStringLiteral("t_l.") + r->FieldName();
    }
    for (int i = 0; i < l->Link.size(); ++i) {
        if (!FDataSet.FindField(l->Link[i]) || !EhIdentificador(chave[i]))
            return *l;
        condicoes << QStringLiteral("t_l.%1 = ?").arg(chave[i]);
    }
    TnOrdemComando partes;
    const QString base = SepararOrdem(cadastro->Declaracao().SQL, partes) ? partes.Base
                                                                          : cadastro->Declaracao().SQL.trimmed();
    l->SQL = QStringLiteral("select %1 from (%2) t_l where %3")
                 .arg(selecao.join(QStringLiteral(", ")), base, condicoes.join(QStringLiteral(" and ")));
    l->Valido = true;
    return *l;
}

QStringList TnResultadosLookup::Captions(const TnField &f)
{
    if (f.Def().ResultadoLookup.trimmed().isEmpty())
        return {};
    return LeitorDe(f).Captions;
}

QStringList TnResultadosLookup::Textos(const TnField &f)
{
    if (f.Def().ResultadoLookup.trimmed().isEmpty())
        return {};
    Leitor &l = LeitorDe(f);
    QStringList vazio;
    for (int i = 0; i < l.Colunas; ++i)
        vazio << QString();
    if (!l.Valido)
        return vazio;
    // The code and the other link values, each a whole number: anything else names no row.
    qint64 valores[8];
    if (l.Link.size() > 8)
        return vazio;
    QString chave;
    for (int i = 0; i < l.Link.size(); ++i) {
        const TnField &c = FDataSet.FieldByName(l.Link[i]);
        if (c.IsNull())
            return vazio;
        switch (c.DataType()) {
        case ftSmallint:
        case ftInteger:
        case ftLargeint:
            valores[i] = c.AsLargeInt();
            break;
        case ftFloat:
        case ftBCD: {
            const double d = c.AsFloat();
            if (d != std::trunc(d) || std::fabs(d) > 9e15)
                return vazio;
            valores[i] = qint64(d);
            break;
        }
        default:
            if (!TextoParaInteiro(c.AsString(), valores[i]))
                return vazio;
        }
        chave += QString::number(valores[i]) + u';';
    }
    if (const auto it = l.Lidos.constFind(chave); it != l.Lidos.constEnd())
        return *it;
    nDMConexao *con = nDMConexao::AtualOuNulo();
    if (!con)
        return vazio;
    QStringList textos = vazio;
    try {
        auto cmd = con->PrepararGuardado(l.SQL);
        for (int i = 0; i < l.Link.size(); ++i)
            cmd->BindValor(i, QVariant(qlonglong(valores[i])));
        ++FLeituras;
        TnCursor &cur = cmd->Abrir();
        if (cur.Proximo())
            for (int i = 0; i < l.Colunas; ++i) {
                if (cur.Nulo(i))
                    continue;
                const TFieldType tipo = cur.Coluna(i).Tipo;
                textos[i] = tipo == ftDate || tipo == ftDateTime ? cur.Data(i).toString(QStringLiteral("dd/MM/yyyy"))
                                                                 : cur.Texto(i).trimmed();
            }
        cmd->Fechar();
    } catch (const std::exception &) {
        // Texts shown beside a code while drawing: a read that fails (a lost connection,
        // a transaction the engine refuses now) shows them empty and is tried again later.
        return vazio;
    }
    // A small cache: a grid scrolled over many codes does not keep them all.
    if (l.Lidos.size() >= 4096)
        l.Lidos.clear();
    l.Lidos.insert(chave, textos);
    return textos;
}
