// TnDMClientDataSet: reading the rows of the selection keys, or of the master's current row,
// in packets, and reading them again when the selection or the master moves.
#include "DMClientDataSet.h"

#include "Conexao.h"
#include "Literais.h"
#include "Paginacao.h"
#include "SelecaoChaves.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QScopeGuard>

namespace {

// Field names go into the reading statement's text: only plain identifiers.
const QString &Identificador(const QString &nome)
{
    if (!EhIdentificador(nome))
        throw Exception(QStringLiteral("\"%1\" não é um nome de campo válido para a leitura.").arg(nome));
    return nome;
}

} // namespace

// ---- reading --------------------------------------------------------------------------

QVariant TnDMClientDataSet::ValorSelecao(const QString &chave, const TnField &campo, bool &temValor) const
{
    temValor = false;
    // The value pinned for this instance, else the connection's selection; a key nobody
    // chose yet is not added to the selection by reading it.
    const TnParamSelecao *selecao = ParamSelecao(chave);
    if (!selecao || selecao->IsNull())
        return {};
    const TnParamSelecao &p = *selecao;
    auto falha = [&](const char *tipo) {
        return Exception(QStringLiteral("O valor \"%1\" da seleção %2 não é %3.")
                             .arg(TrechoCitado(p.AsString()), p.Name(), QString::fromUtf8(tipo)));
    };
    QVariant v;
    switch (campo.DataType()) {
    case ftDate:
    case ftDateTime: {
        const QDate d = p.AsDate();
        if (!d.isValid())
            throw falha("uma data");
        v = campo.DataType() == ftDate ? QVariant(d) : QVariant(QDateTime(d, QTime(0, 0)));
        break;
    }
    case ftSmallint:
    case ftInteger:
    case ftLargeint: {
        qint64 i = 0;
        if (!TextoParaInteiro(p.AsString(), i))
            throw falha("um número inteiro");
        v = QVariant(qlonglong(i));
        break;
    }
    case ftFloat:
    case ftBCD: {
        double d = 0;
        if (!TextoParaNumero(p.AsString(), d))
            throw falha("um número");
        v = d;
        break;
    }
    default:
        v = p.AsString();
    }
    temValor = true;
    return v;
}

bool TnDMClientDataSet::MestrePosicionado() const
{
    if (!FMestre)
        return false;
    const TnClientDataSet &m = FMestre->FDataSet;
    return m.Active() && m.State() != dsInsert && !m.IsEmpty();
}

const QVariantList *TnDMClientDataSet::LinkDoMestre() const
{
    if (!MestrePosicionado())
        return nullptr;
    const TnClientDataSet &m = FMestre->FDataSet;
    const size_t n = size_t(FListaLink.size());
    bool mudou = !FValoresLinkValidos || FCelulasMestre.size() != n;
    FCelulasMestre.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const TnField &f = CampoLigado(m, FListaLink[qsizetype(i)], FIndiceLinkMestre[i]);
        TnCelula c = f.Celula();
        // A numeric's value also depends on its scale, which a row may take from another
        // field: such a value is made again every time.
        if (f.DataType() == ftBCD || !(c == FCelulasMestre[i])) {
            FCelulasMestre[i] = std::move(c);
            mudou = true;
        }
    }
    if (mudou) {
        FValoresLinkValidos = false;
        FValoresLink.clear();
        FValoresLink.reserve(qsizetype(n));
        for (size_t i = 0; i < n; ++i)
            FValoresLink << CampoLigado(m, FListaLink[qsizetype(i)], FIndiceLinkMestre[i]).AsVariant();
        FValoresLinkValidos = true;
    }
    return &FValoresLink;
}

QVariantList TnDMClientDataSet::ValoresDoMestre(bool &posicionado) const
{
    const QVariantList *valores = LinkDoMestre();
    posicionado = valores != nullptr;
    return valores ? *valores : QVariantList();
}

QString TnDMClientDataSet::TextoComando(QVariantList &parametros) const
{
    return MontarComando(FDecl.SQL, parametros, nullptr);
}

// The statement `sql` with the master's and the selection's conditions; `fixos` gets the
// fields those fix to one value.
QString TnDMClientDataSet::MontarComando(const QString &sql0, QVariantList &parametros, QStringList *fixos) const
{
    parametros.clear();
    QStringList condicoes;
    QStringList vinculados;
    if (!FCamposLink.isEmpty()) {
        bool posicionado = false;
        const QVariantList valores = ValoresDoMestre(posicionado);
        const QStringList &campos = FListaLink;
        if (!posicionado)
            condicoes << QStringLiteral("1 = 0");
        else
            for (int i = 0; i < campos.size(); ++i) {
                const QString &nome = Identificador(FDataSet.FieldByName(campos[i]).FieldName());
                vinculados << nome.toUpper();
                if (EhNulo(valores[i])) {
                    condicoes << QStringLiteral("t_q.%1 is null").arg(nome);
                } else {
                    condicoes << QStringLiteral("t_q.%1 = ?").arg(nome);
                    parametros << valores[i];
                    if (fixos)
                        *fixos << nome;
                }
            }
    }
    // A key names its field ("X = ?"), or a bound of a range of it ("X >= ?" for
    // X_MENORIGUAL, "X <= ?" for X_MAIORIGUAL); a range that starts after it ends is refused.
    QHash<QString, std::pair<QVariant, QVariant>> faixas;
    for (const QString &chave : ChavesSelecao()) {
        QString campoFaixa;
        const TnLimiteFaixa limite = LimiteFaixa(chave, &campoFaixa);
        const QString nome = CampoDaSelecao(limite == lfNenhum ? chave : campoFaixa);
        if (nome.isEmpty() || vinculados.contains(nome.toUpper()))
            continue;
        const TnField &f = FDataSet.FieldByName(nome);
        bool temValor = false;
        const QVariant v = ValorSelecao(chave, f, temValor);
        if (!temValor)
            continue;
        const char *operador = limite == lfInicio ? ">=" : (limite == lfFim ? "<=" : "=");
        condicoes << QStringLiteral("t_q.%1 %2 ?").arg(Identificador(f.FieldName()), QLatin1String(operador));
        parametros << v;
        if (limite != lfNenhum) {
            auto &faixa = faixas[f.FieldName()];
            (limite == lfInicio ? faixa.first : faixa.second) = v;
            ExigirFaixaValida(campoFaixa, faixa.first, faixa.second);
        } else if (fixos)
            *fixos << f.FieldName();
    }
    QString sql = sql0.trimmed();
    while (sql.endsWith(u';'))
        sql = sql.chopped(1).trimmed();
    if (condicoes.isEmpty())
        return sql;
    return QStringLiteral("select * from (%1) t_q where %2").arg(sql, condicoes.join(QStringLiteral(" and ")));
}

void TnDMClientDataSet::AntesDeLer() {}

void TnDMClientDataSet::LerDados()
{
    if (FDecl.SQL.trimmed().isEmpty())
        throw Exception(QStringLiteral("O módulo %1 não declara o comando de leitura.").arg(ClassName()));
    QVariantList params;
    const QString sql = TextoComando(params);
    FResultados->Limpar();
    if (Aberto() && FDataSet.ChangeCount() > 0 && FDataSet.Provider())
        FDataSet.ApplyUpdates(0);
    AntesDeLer();
    FValoresLinkValidos = false; // the master's fields may have been made again
    bool posicionado = true;
    if (!FCamposLink.isEmpty())
        FValoresMestre = ValoresDoMestre(posicionado);
    const QString chave = NomesDaLista(ChavePrimaria()).join(u';');
    if (chave != FProvider.KeyFields())
        FProvider.SetKeyFields(chave);
    // A master without a current row (empty, or inserting one), or on a row it has just
    // inserted, has no detail rows: nothing to ask the database once the fields are known.
    if ((!posicionado || (FMestre && FMestre->FLinhaNovaGravada)) && FDataSet.CamposDeclarados()) {
        FDataSet.AbrirVazio();
        return;
    }
    // Packets in the order of the statement followed by the key, when that order is a
    // plain list of never-null output columns; columns the conditions fix are left out of
    // it (they add nothing, and leaving them lets the key's index serve the range).
    if (FOrdemSeparada < 0)
        FOrdemSeparada = SepararOrdem(FDecl.SQL, FOrdem) ? 1 : 0;
    const TnOrdemComando &partes = FOrdem;
    if (!chave.isEmpty() && FOrdemSeparada == 1) {
        QStringList fixos, ordem;
        QVariantList paramsPacote;
        const QString base = MontarComando(partes.Base, paramsPacote, &fixos);
        bool valida = true;
        for (const QString &c : partes.Ordem + NomesDaLista(chave)) {
            const TnField *f = FDataSet.FindField(c);
            if (!f || f->FieldKind() != fkData || !f->Required() || !partes.Saidas.contains(c.toUpper())) {
                valida = false;
                break;
            }
            if (!fixos.contains(f->FieldName(), Qt::CaseInsensitive) && !ordem.contains(f->FieldName(), Qt::CaseInsensitive))
                ordem << Identificador(f->FieldName());
        }
        if (valida && !ordem.isEmpty()) {
            FDataSet.AbrirPaginado(
                std::make_shared<TnFonteChaveada>(nDMConexao::Atual(), base, paramsPacote, ordem, chave));
            return;
        }
    }
    auto cmd = nDMConexao::Atual().Preparar(sql);
    for (int i = 0; i < params.size(); ++i)
        cmd->BindValor(i, params[i]);
    FDataSet.CarregarDe(cmd->Abrir());
}

void TnDMClientDataSet::Abrir()
{
    if (Aberto()) {
        Reabrir();
        return;
    }
    LerDados();
    Configurar();
}

void TnDMClientDataSet::Fechar()
{
    FDataSet.Cancel();
    FDataSet.Close();
    for (const QPointer<TnDMClientDataSet> &d : std::as_const(FDetalhes))
        if (d)
            d->Fechar();
}

void TnDMClientDataSet::Reabrir()
{
    if (!Aberto()) {
        Abrir();
        return;
    }
    FDataSet.CheckBrowseMode();
    const QString chave = NomesDaLista(ChavePrimaria()).join(u';');
    QVariantList valores;
    if (!chave.isEmpty() && !FDataSet.IsEmpty())
        for (const QString &c : NomesDaLista(chave))
            valores << FDataSet.FieldByName(c).AsVariant();
    FRelerPendente = false;
    // Reading puts the dataset on its first row and the search moves it again: the hook,
    // the fields' settings and the details follow the row it ends on only, once each.
    bool rolou = false;
    {
        const bool relendo = std::exchange(FRelendo, true);
        const bool antes = std::exchange(FRolouRelendo, false);
        const auto repor = qScopeGuard([&] {
            rolou = FRolouRelendo;
            FRelendo = relendo;
            FRolouRelendo = antes || (relendo && rolou);
        });
        LerDados();
        if (!valores.isEmpty() && !FDataSet.IsEmpty())
            FDataSet.Locate(chave, valores);
    }
    if (rolou && !FRelendo)
        nClientDataSetAfterScroll(FDataSet);
    Configurar();
    SincronizarDetalhes(true); // also when the current row kept its key
}

void TnDMClientDataSet::SeguirMestre(bool forcar)
{
    if (FCamposLink.isEmpty())
        return;
    bool posicionado = false;
    const QVariantList valores = ValoresDoMestre(posicionado);
    if (!forcar && Aberto() && valores == FValoresMestre)
        return;
    if (Aberto())
        FDataSet.CheckBrowseMode();
    LerDados();
    Configurar();
}

void TnDMClientDataSet::SincronizarDetalhes(bool forcar)
{
    FDetalhes.removeAll(QPointer<TnDMClientDataSet>());
    // A copy: a detail's hooks may create or free details.
    const QList<QPointer<TnDMClientDataSet>> detalhes = FDetalhes;
    for (const QPointer<TnDMClientDataSet> &d : detalhes)
        if (d)
            d->SeguirMestre(forcar);
}

void TnDMClientDataSet::Atualizar()
{
    if (!Aberto())
        return;
    if (!FCamposLink.isEmpty())
        SeguirMestre(true);
    else
        Reabrir();
}

void TnDMClientDataSet::AtualizarRegistro() { Atualizar(); }

void TnDMClientDataSet::ReconfigurarDM(const QString &, bool)
{
    // The rows shown must be those of the selection, whatever the caller's flag; a detail
    // follows its master, which follows the selection itself.
    if (!Aberto() || !FCamposLink.isEmpty())
        return;
    if (FDataSet.EmEdicao()) {
        FRelerPendente = true;
        return;
    }
    Reabrir();
}
