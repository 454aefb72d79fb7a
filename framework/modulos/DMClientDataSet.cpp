#include "DMClientDataSet.h"

#include "Conexao.h"
#include "EsquemaTabelas.h"
#include "Interacao.h"
#include "Literais.h"
#include "Paginacao.h"
#include "SQLDataSet.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QScopeGuard>
#include <exception>

namespace {

// Writes a value the framework sets itself (defaults, keys, a refused row put back), also
// into a field the user may not change.
void Escrever(TnField &f, const QVariant &v)
{
    const bool somenteLeitura = f.ReadOnly();
    f.SetReadOnly(false);
    try {
        f.SetAsVariant(v);
    } catch (...) {
        f.SetReadOnly(somenteLeitura);
        throw;
    }
    f.SetReadOnly(somenteLeitura);
}

// Rows a module reads at a time (the rest as the user moves or scrolls on).
constexpr int kRegistrosPorPacote = 500;

} // namespace

TnDMClientDataSet::TnDMClientDataSet(const TnDefCadastro &declaracao)
    : FDecl(declaracao), FProvider(declaracao.Tabela, upWhereKeyOnly),
      FResultados(std::make_unique<TnResultadosLookup>(FDataSet)), FCaption(declaracao.Caption),
      FTipoForm(declaracao.TipoForm), FAplicarAoGravar(declaracao.AplicarAoGravar)
{
    FDataSet.DefinirCampos(FDecl.Campos.data(), int(FDecl.Campos.size()));
    for (int i = 0; i < FDataSet.FieldCount(); ++i) {
        TnField &f = FDataSet.Fields(i);
        // One place for the form to read: the definition says what the field says.
        f.SetRequired(f.Required() || f.Def().Requerido);
        f.Def().Requerido = f.Required();
        f.SetVisible(f.Visible() && f.Def().Visivel);
        f.Def().Visivel = f.Visible();
    }
    FDataSet.SetLogChanges(FDecl.LogChanges);
    FDataSet.SetPacketRecords(kRegistrosPorPacote);
    FDataSet.SetIndexFieldNames(NomesDaLista(FDecl.Ordem).join(u';'));
    if (!FDecl.Tabela.isEmpty())
        FDataSet.SetProvider(&FProvider);
    Ligar();
    FResultados->Ligar();
}

TnDMClientDataSet::~TnDMClientDataSet()
{
    // Details first: they may still look at their master while they go.
    for (const QPointer<TnDMClientDataSet> &d : std::as_const(FDetalhes))
        delete d.data();
    FDataSet.SetProvider(nullptr);
}

// ---- wiring ---------------------------------------------------------------------------

void TnDMClientDataSet::Ligar()
{
    TnClientDataSet &ds = FDataSet;
    // A hook that is the whole event; no hook runs while a refused row is put back.
    const auto gancho = [this](void (TnDMClientDataSet::*h)(TnClientDataSet &)) -> TnEventoDataSet {
        return [this, h](TnClientDataSet &d) {
            if (!FRestaurando)
                (this->*h)(d);
        };
    };
    ds.AfterOpen = gancho(&TnDMClientDataSet::nClientDataSetAfterOpen);
    ds.BeforeInsert = [this](TnClientDataSet &d) {
        if (FRestaurando)
            return;
        ChecarAlteracao(QStringLiteral("incluir"));
        ChecarMestre();
        nClientDataSetBeforeInsert(d);
        FAnterior.clear();
        FCopiados.clear();
        if (!d.IsEmpty())
            for (int i = 0; i < d.FieldCount(); ++i)
                if (d.Fields(i).Def().CopiarAnterior)
                    FAnterior.emplace_back(i, d.Fields(i).AsVariant());
    };
    ds.OnNewRecord = [this](TnClientDataSet &d) {
        if (FRestaurando)
            return;
        PreencherNovo();
        nClientDataSetNewRecord(d);
    };
    ds.AfterInsert = gancho(&TnDMClientDataSet::nClientDataSetAfterInsert);
    ds.BeforeEdit = [this](TnClientDataSet &d) {
        if (FRestaurando)
            return;
        ChecarAlteracao(QStringLiteral("alterar"));
        nClientDataSetBeforeEdit(d);
    };
    ds.AfterEdit = gancho(&TnDMClientDataSet::nClientDataSetAfterEdit);
    ds.BeforePost = [this](TnClientDataSet &) {
        if (!FRestaurando)
            AntesDeGravar();
    };
    ds.AfterPost = [this](TnClientDataSet &d) {
        if (FRestaurando)
            return;
        const TDataSetState estado = std::exchange(FEstadoGravando, dsBrowse);
        const bool aplicou = FAplicarAoGravar && d.Provider();
        if (aplicou)
            Aplicar(estado);
        nClientDataSetAfterPost(d);
        DepoisDeMudarLinha(aplicou && estado == dsInsert);
    };
    ds.BeforeCancel = gancho(&TnDMClientDataSet::nClientDataSetBeforeCancel);
    ds.AfterCancel = [this](TnClientDataSet &d) {
        if (FRestaurando)
            return;
        nClientDataSetAfterCancel(d);
        DepoisDeMudarLinha();
    };
    ds.BeforeDelete = [this](TnClientDataSet &d) {
        if (FRestaurando)
            return;
        ChecarAlteracao(QStringLiteral("excluir"));
        nClientDataSetBeforeDelete(d);
        // Where to come back if the database refuses the delete.
        FChaveExcluindo.clear();
        for (const QString &c : NomesDaLista(ChavePrimaria()))
            if (const TnField *f = d.FindField(c))
                FChaveExcluindo << f->AsVariant();
        FMarcaExcluindo = d.GetBookmark();
    };
    ds.AfterDelete = [this](TnClientDataSet &d) {
        if (FRestaurando)
            return;
        if (FAplicarAoGravar && d.Provider())
            Aplicar(dsBrowse);
        nClientDataSetAfterDelete(d);
        DepoisDeMudarLinha();
    };
    ds.AfterScroll = [this](TnClientDataSet &d) {
        if (FRestaurando)
            return;
        if (FRelendo) {
            FRolouRelendo = true;
            return;
        }
        nClientDataSetAfterScroll(d);
        ConfigurarCampo(&d);
        SincronizarDetalhes();
    };
    for (int i = 0; i < ds.FieldCount(); ++i)
        ds.Fields(i).OnChange = [this](TnField &f) {
            if (FRestaurando)
                return;
            if (FDataSet.State() == dsInsert && !FPropondoSequencia)
                ProporSequencias(&f);
            nClientDataSetCampoChange(f);
        };
    ds.OnReconcileError = [this](TnClientDataSet &d, Exception &e, TUpdateKind tipo, TReconcileAction &acao) {
        nClientDataSetReconcileError(d, e, tipo, acao);
    };
    FProvider.OnUpdateError = [this](Exception &e, TUpdateKind tipo, TResolverResponse &resposta) {
        nDataSetProviderUpdateError(e, tipo, resposta);
    };
}

// ---- declaration ----------------------------------------------------------------------

bool TnDMClientDataSet::EhCampoChave(const QString &campo) const
{
    return NomesDaLista(ChavePrimaria()).contains(campo.trimmed(), Qt::CaseInsensitive);
}

// ---- new rows and saving --------------------------------------------------------------

void TnDMClientDataSet::PreencherNovo()
{
    for (int i = 0; i < FDataSet.FieldCount(); ++i) {
        TnField &f = FDataSet.Fields(i);
        if (!EhNulo(f.Def().ValorPadrao))
            Escrever(f, f.Def().ValorPadrao);
    }
    // The selection's fields and values are found once per change of the selection: rows
    // typed one after another under the same selection take the same values.
    if (FGeracaoDoNovo != GeracaoSelecao()) {
        FGeracaoDoNovo.reset();
        FSelecaoDoNovo.clear();
        const quint64 geracao = GeracaoSelecao();
        for (const QString &chave : ChavesSelecao()) {
            const QString nome = CampoDaSelecao(chave);
            if (nome.isEmpty())
                continue;
            const TnField &f = FDataSet.FieldByName(nome);
            bool temValor = false;
            QVariant v = ValorSelecao(chave, f, temValor);
            if (temValor)
                FSelecaoDoNovo.push_back({f.FieldName(), f.Index(), std::move(v)});
        }
        FGeracaoDoNovo = geracao;
    }
    // By position: a field's hook may make the list again while a value is written.
    for (size_t k = 0; k < FSelecaoDoNovo.size(); ++k)
        Escrever(CampoLigado(FDataSet, FSelecaoDoNovo[k].Campo, FSelecaoDoNovo[k].Indice), FSelecaoDoNovo[k].Valor);
    if (const QVariantList *valores = LinkDoMestre())
        for (int i = 0; i < FListaLink.size(); ++i)
            Escrever(CampoLigado(FDataSet, FListaLink[i], FIndiceLink[i]), valores->at(i));
    SincroCopiarDados(FDataSet);
    FSequenciasPropostas.clear();
    ProporSequencias(nullptr);
}

void TnDMClientDataSet::ProporSequencias(const TnField *mudou)
{
    if (FDecl.Tabela.isEmpty())
        return;
    for (int i = 0; i < FDataSet.FieldCount(); ++i) {
        TnField &seq = FDataSet.Fields(i);
        if (seq.Def().SequenciaPor.isEmpty())
            continue; // most fields: nothing to parse on every value a row takes
        const QStringList escopo = NomesDaLista(seq.Def().SequenciaPor);
        if (escopo.isEmpty() || &seq == mudou || (mudou && !escopo.contains(mudou->FieldName(), Qt::CaseInsensitive)))
            continue;
        // Only a number still empty or still the one proposed: never what the user typed.
        const auto proposta = FSequenciasPropostas.find(i);
        if (!seq.IsNull() && (proposta == FSequenciasPropostas.end() || seq.AsVariant() != proposta->second))
            continue;
        QList<const TnField *> campos;
        for (const QString &c : escopo) {
            const TnField *f = FDataSet.FindField(c);
            if (!f || f->IsNull()) {
                campos.clear();
                break;
            }
            campos << f;
        }
        if (campos.isEmpty())
            continue;
        const qint64 proximo = nDMSQLDataSet::ProximaSequencia(FDecl.Tabela, seq.FieldName(), campos);
        const bool antes = std::exchange(FPropondoSequencia, true);
        const auto repor = qScopeGuard([&] { FPropondoSequencia = antes; });
        Escrever(seq, QVariant(qlonglong(proximo)));
        FSequenciasPropostas[i] = seq.AsVariant();
    }
}

bool TnDMClientDataSet::EhCampoDaSelecao(const QString &campo) const
{
    for (const QString &chave : ChavesSelecao()) {
        const QString nome = CampoDaSelecao(chave);
        if (nome.isEmpty() || nome.compare(campo.trimmed(), Qt::CaseInsensitive) != 0)
            continue;
        bool temValor = false;
        ValorSelecao(chave, FDataSet.FieldByName(nome), temValor);
        return temValor;
    }
    return false;
}

bool TnDMClientDataSet::EhChaveDigitada(const QString &campo) const
{
    return EhCampoChave(campo) && !FListaLink.contains(campo.trimmed(), Qt::CaseInsensitive)
           && !EhCampoDaSelecao(campo);
}

void TnDMClientDataSet::AntesDeGravar()
{
    TnClientDataSet &ds = FDataSet;
    // The selection chose these: a company, branch or date typed in their place on the
    // register's form would write a new row the register does not even show. (A row read
    // before the selection changed keeps its own; its key cannot change. A process that
    // writes through a register without a form names the rows it writes.)
    for (const QString &chave : ds.State() == dsInsert && Form() ? ChavesSelecao() : QStringList()) {
        const QString nome = CampoDaSelecao(chave);
        if (nome.isEmpty())
            continue;
        const TnField &f = ds.FieldByName(nome);
        bool temValor = false;
        const QVariant v = ValorSelecao(chave, f, temValor);
        if (temValor && QVariant::compare(f.AsVariant(), v) != QPartialOrdering::Equivalent)
            throw EnField(f.FieldName(), QStringLiteral("O campo \"%1\" vem da seleção (%2) e não pode ser mudado.")
                                             .arg(f.DisplayLabel(), TrechoCitado(Selecao().GetParams(chave).AsString())));
    }
    if (ds.State() == dsEdit && !ChaveAlteravel())
        for (const QString &c : NomesDaLista(ChavePrimaria())) {
            const TnField &f = ds.FieldByName(c);
            if (f.AsVariant() != f.OldValue())
                throw EnField(f.FieldName(), QStringLiteral("O campo \"%1\" faz parte da chave e não pode ser alterado.")
                                                 .arg(f.DisplayLabel()));
        }
    if (!FCamposLink.isEmpty()) {
        const QVariantList *valores = LinkDoMestre();
        if (!valores)
            throw Exception(QStringLiteral("O registro principal deste detalhe não está gravado."));
        const TnClientDataSet &m = FMestre->FDataSet;
        for (int i = 0; i < FListaLink.size(); ++i) {
            const TnField &f = CampoLigado(ds, FListaLink[i], FIndiceLink[i]);
            // Fields of the same kind hold the same value in the same cell; others compare
            // as values.
            const TnField &fm = CampoLigado(m, FListaLink[i], FIndiceLinkMestre[i]);
            const bool igual = f.DataType() == fm.DataType() && f.DataType() != ftBCD
                                   ? f.Celula() == FCelulasMestre[size_t(i)]
                                   : f.AsVariant() == valores->at(i);
            if (!igual)
                throw EnField(f.FieldName(), QStringLiteral("O campo \"%1\" deve ser igual ao do registro principal.")
                                                 .arg(f.DisplayLabel()));
        }
    }
    ConfigurarAutoValor(&ds);
    ValidarDado();
    nClientDataSetBeforePost(ds);
    FEstadoGravando = ds.State();
}

void TnDMClientDataSet::ExplicarRecusa(EDatabaseError &e, TDataSetState estadoAntes)
{
    const auto rotulo = [](const TnField &f) { return QStringLiteral("%1 %2").arg(f.DisplayLabel(), TrechoCitado(f.DisplayText())); };
    switch (ErroBanco(e)) {
    case ebChavePrimaria: {
        QStringList partes;
        for (const QString &c : NomesDaLista(ChavePrimaria()))
            if (const TnField *f = FDataSet.FindField(c))
                partes << rotulo(*f);
        if (partes.isEmpty())
            return;
        const QString ultima = partes.takeLast();
        e.SetMessage(QStringLiteral("Já existe um registro com esta chave: %1.")
                         .arg(partes.isEmpty() ? ultima : partes.join(QStringLiteral(", ")) + QStringLiteral(" e ") + ultima));
        return;
    }
    case ebChaveEstrangeira: {
        if (estadoAntes == dsBrowse) {
            e.SetMessage(QStringLiteral("Este registro não pode ser excluído: ainda é usado por outros registros."));
            return;
        }
        const TnTabelaEsq *t = TabelaDoEsquema(EsquemaInv(), FDecl.Tabela);
        nDMConexao *con = nDMConexao::AtualOuNulo();
        if (!t || !con)
            return;
        const TnChaveEstrangeiraEsq *ref = ReferenciaRecusada(
            *con, *t,
            [this](const QString &coluna) {
                const TnField *f = FDataSet.FindField(coluna);
                return f ? f->AsVariant() : QVariant();
            },
            e.TextoMotor());
        // The field the user sees for it: the reference's last column (a branch rather than
        // its company).
        const QStringList colunas = ref ? NomesDaLista(ref->Colunas) : QStringList();
        for (auto c = colunas.crbegin(); c != colunas.crend(); ++c)
            if (const TnField *f = FDataSet.FindField(*c)) {
                e.SetMessage(QStringLiteral("O campo \"%1\" tem um valor que não está cadastrado: %2.")
                                 .arg(f->DisplayLabel(), TrechoCitado(f->DisplayText())));
                return;
            }
        return;
    }
    default:
        return;
    }
}

void TnDMClientDataSet::Aplicar(TDataSetState estadoAntes)
{
    FManterMensagem = false;
    try {
        FDataSet.ApplyUpdates(0);
        return;
    } catch (...) {
        const std::exception_ptr erro = std::current_exception();
        // What the database refused, said with the register's captions and values.
        try {
            std::rethrow_exception(erro);
        } catch (EDatabaseError &e) {
            try {
                if (!FManterMensagem)
                    ExplicarRecusa(e, estadoAntes);
            } catch (...) {
                // Finding the words failed; the database's own refusal stands.
            }
        } catch (...) {
        }
        // The database refused the change: the dataset goes back to what the database
        // holds, and a new or changed row goes back into edit as the user typed it.
        QVariantList valores;
        if (estadoAntes != dsBrowse)
            for (int i = 0; i < FDataSet.FieldCount(); ++i)
                valores << FDataSet.Fields(i).AsVariant();
        FRestaurando = true;
        try {
            FDataSet.CancelUpdates();
            if (estadoAntes == dsInsert)
                FDataSet.Append();
            else if (estadoAntes == dsEdit)
                FDataSet.Edit();
            for (int i = 0; i < valores.size(); ++i)
                if (FDataSet.Fields(i).FieldKind() == fkData)
                    Escrever(FDataSet.Fields(i), valores[i]);
        } catch (...) {
            // The values could not all be put back; the refusal is what the user must see.
        }
        FRestaurando = false;
        if (estadoAntes == dsBrowse)
            VoltarAoExcluido();
        std::rethrow_exception(erro);
    }
}

void TnDMClientDataSet::VoltarAoExcluido()
{
    // The delete left the cursor on the next row; the row that stays is the one to show,
    // as the database holds it now (another user may have changed it meanwhile).
    try {
        const QString chave = NomesDaLista(ChavePrimaria()).join(u';');
        const bool porChave = !chave.isEmpty() && FChaveExcluindo.size() == NomesDaLista(chave).size();
        if (!porChave) {
            if (FDataSet.BookmarkValid(FMarcaExcluindo))
                FDataSet.GotoBookmark(FMarcaExcluindo);
            return;
        }
        FDataSet.Locate(chave, FChaveExcluindo);
        if (FCamposLink.isEmpty()) {
            Reabrir(); // finds the current row again by its key
        } else {
            SeguirMestre(true);
            FDataSet.Locate(chave, FChaveExcluindo);
        }
    } catch (...) {
        // Not finding the row again must not hide the refusal, which is what the user sees.
    }
}

void TnDMClientDataSet::AplicarAlteracoes()
{
    FDataSet.CheckBrowseMode();
    if (FDataSet.Active() && FDataSet.ChangeCount() > 0 && FDataSet.Provider())
        FDataSet.ApplyUpdates(0);
}

void TnDMClientDataSet::DepoisDeMudarLinha(bool linhaNova)
{
    ConfigurarCampo(&FDataSet);
    {
        const bool antes = std::exchange(FLinhaNovaGravada, linhaNova);
        const auto repor = qScopeGuard([&] { FLinhaNovaGravada = antes; });
        SincronizarDetalhes();
    }
    if (FRelerPendente && !FDataSet.EmEdicao())
        Reabrir();
}

void TnDMClientDataSet::ChecarAlteracao(const QString &operacao) const
{
    if (SomenteLeitura())
        throw Exception(QStringLiteral("A consulta \"%1\" não permite %2 registros.").arg(FCaption, operacao));
}

// The field `nome` of `ds`, looked up by name only when the index found last no longer
// holds it (the fields of a data set can be made again).
TnField &TnDMClientDataSet::CampoLigado(const TnClientDataSet &ds, const QString &nome, int &indice)
{
    if (indice >= 0 && indice < ds.FieldCount()) {
        // The name as declared first: the comparison without regard to case costs far more.
        const QString &achado = ds.Fields(indice).FieldName();
        if (achado == nome || achado.compare(nome, Qt::CaseInsensitive) == 0)
            return ds.Fields(indice);
    }
    TnField &f = ds.FieldByName(nome);
    indice = f.Index();
    return f;
}

void TnDMClientDataSet::ChecarMestre() const
{
    if (FCamposLink.isEmpty())
        return;
    if (!FMestre)
        throw Exception(QStringLiteral("O cadastro principal deste detalhe foi fechado."));
    if (!MestrePosicionado())
        throw Exception(QStringLiteral("Grave o registro principal antes de incluir os detalhes."));
}

// ---- the form -------------------------------------------------------------------------

void TnDMClientDataSet::FormConfigurado()
{
    if (Aberto())
        Configurar();
    else
        TnDMFormulario::FormConfigurado();
}

bool TnDMClientDataSet::GetFormInsercao() const
{
    return FForm ? FForm->Inserindo() : FDataSet.State() == dsInsert;
}

void TnDMClientDataSet::FormCloseQuery(TnFormModulo *form, bool &podeFechar)
{
    for (const QPointer<TnDMClientDataSet> &d : std::as_const(FDetalhes)) {
        if (d)
            d->FormCloseQuery(form, podeFechar);
        if (!podeFechar)
            return;
    }
    if (!Aberto())
        return;
    const bool editando = FDataSet.EmEdicao() && FDataSet.Modified();
    const bool pendente = FDataSet.ChangeCount() > 0 && FDataSet.Provider();
    if (!editando && !pendente) {
        FDataSet.Cancel();
        return;
    }
    const TMsgDlgBtn r = nMessageDlg(QStringLiteral("Deseja gravar as alterações de \"%1\"?").arg(FCaption),
                                     mtConfirmation, mbYes | mbNo | mbCancel);
    if (r == mbYes) {
        AplicarAlteracoes();
    } else if (r == mbNo) {
        FDataSet.Cancel();
        if (FDataSet.ChangeCount() > 0)
            FDataSet.CancelUpdates();
    } else {
        podeFechar = false;
    }
}

void TnDMClientDataSet::EsquecerForm()
{
    if (FForm)
        Notification(FForm);
    TnDMFormulario::EsquecerForm();
    // The extra controls belong to the form's page; the module makes them again with its
    // next form.
    const QList<QPointer<TnControleExtra>> extras = std::exchange(FExtras, {});
    for (const QPointer<TnControleExtra> &e : extras)
        delete e.data();
    // The details' views were inside the form that closed.
    for (TnDMClientDataSet *d : Detalhes())
        d->EsquecerForm();
}

void TnDMClientDataSet::SairDoCampo(const QString &campo) { nClientDataSetCampoExit(FDataSet.FieldByName(campo)); }

void TnDMClientDataSet::HabilitarCampo(const QString &campo, bool habilitado)
{
    TnField &f = FDataSet.FieldByName(campo);
    f.Def().Habilitado = habilitado;
    AtualizarControle(f.FieldName());
}

void TnDMClientDataSet::RequererCampo(const QString &campo, bool requerido)
{
    TnField &f = FDataSet.FieldByName(campo);
    f.SetRequired(requerido);
    f.Def().Requerido = requerido;
    AtualizarControle(f.FieldName());
}

void TnDMClientDataSet::MostrarCampo(const QString &campo, bool visivel)
{
    TnField &f = FDataSet.FieldByName(campo);
    f.SetVisible(visivel);
    f.Def().Visivel = visivel;
    AtualizarControle(f.FieldName());
}

void TnDMClientDataSet::Configurar()
{
    ConfigurarTabela(&FDataSet);
    ConfigurarAutoRequerido(&FDataSet);
    ConfigurarAutoFormato(&FDataSet);
    ConfigurarCampo(&FDataSet);
    AtualizarControle(QString());
}

// ---- extra controls and the register's configuration ---------------------------------

TnControleExtra *TnDMClientDataSet::CriarControlsFraFields(const QString &campoAnterior, const QString &nome,
                                                           const QString &caption, TFieldType tipo, int largura)
{
    const QString n = nome.trimmed();
    if (n.isEmpty())
        throw Exception(QStringLiteral("Controle extra sem nome no cadastro %1.").arg(ClassName()));
    if (FDataSet.FindField(n) || ControleExtra(n))
        throw Exception(QStringLiteral("O nome \"%1\" já é de um controle do cadastro %2.").arg(n, ClassName()));
    if (!FDataSet.FindField(campoAnterior.trimmed()) && !ControleExtra(campoAnterior))
        throw Exception(QStringLiteral("O controle extra \"%1\" segue \"%2\", que não é um campo do cadastro %3.")
                            .arg(n, campoAnterior, ClassName()));
    auto *extra = new TnControleExtra(this, campoAnterior, n, caption, tipo, largura);
    FExtras.append(extra);
    if (FForm)
        FForm->MostrarControleExtra(extra);
    return extra;
}

QList<TnControleExtra *> TnDMClientDataSet::ControlesExtras() const
{
    QList<TnControleExtra *> r;
    for (const QPointer<TnControleExtra> &e : FExtras)
        if (e)
            r << e.data();
    return r;
}

TnControleExtra *TnDMClientDataSet::ControleExtra(const QString &nome) const
{
    for (const QPointer<TnControleExtra> &e : FExtras)
        if (e && e->Nome().compare(nome.trimmed(), Qt::CaseInsensitive) == 0)
            return e.data();
    return nullptr;
}

void TnDMClientDataSet::SairDoControleExtra(const QString &nome)
{
    TnControleExtra *e = ControleExtra(nome);
    if (!e)
        throw Exception(QStringLiteral("O cadastro %1 não tem o controle \"%2\".").arg(ClassName(), nome));
    // A copy: the handler may replace itself, or close the form and with it the control.
    if (const std::function<void()> h = e->OnExit)
        h();
}

void TnDMClientDataSet::ExecutarCfgCadastro()
{
    if (const std::function<void()> h = OnCfgCadastro)
        h();
}

bool TnDMClientDataSet::PesquisarCampo(const QString &) { return false; }
void TnDMClientDataSet::Notification(TnFormModulo *) {}

// ---- detail registers -----------------------------------------------------------------

TnDMClientDataSet *TnDMClientDataSet::CriarDetalhe(TnDMClientDataSet *detalhe, const QString &camposLink,
                                                   const QString &controlePai)
{
    if (!detalhe || detalhe == this)
        throw Exception(QStringLiteral("Detalhe inválido para o cadastro %1.").arg(ClassName()));
    const QStringList campos = NomesDaLista(camposLink);
    if (campos.isEmpty())
        throw Exception(QStringLiteral("O detalhe %1 precisa de campos de ligação.").arg(detalhe->ClassName()));
    for (const QString &c : campos) {
        FDataSet.FieldByName(c);
        detalhe->FDataSet.FieldByName(c);
    }
    detalhe->FMestre = this;
    detalhe->FCamposLink = campos.join(u';');
    detalhe->FListaLink = campos;
    detalhe->FIndiceLinkMestre.assign(campos.size(), -1);
    detalhe->FIndiceLink.assign(campos.size(), -1);
    detalhe->FValoresLinkValidos = false;
    detalhe->setParent(this);
    FDetalhes.removeAll(QPointer<TnDMClientDataSet>());
    FDetalhes.append(detalhe);
    if (Aberto())
        detalhe->SeguirMestre(true);
    if (FForm)
        FForm->MostrarDetalhe(detalhe, controlePai);
    return detalhe;
}

TnDMClientDataSet *TnDMClientDataSet::CriarDetalhe(const QString &classe, const QString &camposLink,
                                                   const QString &instancia, const QString &controlePai)
{
    TnDataModule *dm = instancia.trimmed().isEmpty() ? CriarDMNovo(classe) : CriarDM(classe, nullptr, instancia);
    auto *detalhe = qobject_cast<TnDMClientDataSet *>(dm);
    if (!detalhe) {
        delete dm;
        throw Exception(QStringLiteral("A classe %1 não é um cadastro e não pode ser detalhe.").arg(classe));
    }
    try {
        return CriarDetalhe(detalhe, camposLink, controlePai);
    } catch (...) {
        delete detalhe;
        throw;
    }
}

QString TnDMClientDataSet::CriarPageControl(const QString &pai)
{
    return FForm ? FForm->CriarPageControl(pai) : pai;
}

QString TnDMClientDataSet::CriarTabSheet(const QString &caption, const QString &pageControl)
{
    return FForm ? FForm->CriarTabSheet(pageControl, caption) : caption;
}

TnDMClientDataSet *TnDMClientDataSet::CriarDetalheEmPage(const QString &classe, const QString &caption,
                                                         const QString &camposLink, const QString &instancia)
{
    return CriarDetalhe(classe, camposLink, instancia, CriarTabSheet(caption));
}

QList<TnDMClientDataSet *> TnDMClientDataSet::Detalhes() const
{
    QList<TnDMClientDataSet *> r;
    for (const QPointer<TnDMClientDataSet> &d : FDetalhes)
        if (d)
            r << d.data();
    return r;
}

// ---- hooks ----------------------------------------------------------------------------

void TnDMClientDataSet::ConfigurarTabela(TnClientDataSet *) {}
void TnDMClientDataSet::ConfigurarCampo(TnClientDataSet *) {}
void TnDMClientDataSet::ConfigurarAutoValor(TnClientDataSet *) {}
void TnDMClientDataSet::ConfigurarAutoRequerido(TnClientDataSet *) {}
void TnDMClientDataSet::ConfigurarAutoFormato(TnClientDataSet *) {}

QString TnDMClientDataSet::ChavePrimaria() const { return FDecl.Chave; }

void TnDMClientDataSet::ValidarDado()
{
    for (int i = 0; i < FDataSet.FieldCount(); ++i) {
        const TnField &f = FDataSet.Fields(i);
        const Definicao &d = f.Def();
        if (f.IsNull())
            continue;
        bool valido = true;
        if (d.SomenteDaLista && d.TemListaValores())
            valido = !d.TextoDoValor(f.AsString()).isEmpty();
        if (valido && EhTipoNumerico(f.DataType())) {
            const double v = f.AsFloat();
            if (!EhNulo(d.Minimo) && v < d.Minimo.toDouble())
                valido = false;
            if (!EhNulo(d.Maximo) && v > d.Maximo.toDouble())
                valido = false;
        }
        if (!valido)
            throw EnField(f.FieldName(), d.MensagemErro.isEmpty()
                                             ? QStringLiteral("Valor inválido para o campo \"%1\".").arg(f.DisplayLabel())
                                             : d.MensagemErro);
    }
}

void TnDMClientDataSet::SincroCopiarDados(TnClientDataSet &ds)
{
    for (const auto &[indice, valor] : FAnterior)
        if (indice < ds.FieldCount()) {
            Escrever(ds.Fields(indice), valor);
            if (&ds == &FDataSet && !EhNulo(valor))
                FCopiados << ds.Fields(indice).FieldName();
        }
}

QStringList TnDMClientDataSet::CamposCopiados() const
{
    return FDataSet.State() == dsInsert ? FCopiados : QStringList();
}

QString TnDMClientDataSet::CampoDaSelecao(const QString &chave) const
{
    const TnField *f = FDataSet.FindField(chave.trimmed());
    return f && f->FieldKind() == fkData ? f->FieldName() : QString();
}

void TnDMClientDataSet::nClientDataSetAfterOpen(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetBeforeInsert(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetNewRecord(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetAfterInsert(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetBeforeEdit(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetAfterEdit(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetBeforePost(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetAfterPost(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetBeforeCancel(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetAfterCancel(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetBeforeDelete(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetAfterDelete(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetAfterScroll(TnClientDataSet &) {}
void TnDMClientDataSet::nClientDataSetCampoChange(TnField &) {}
void TnDMClientDataSet::nClientDataSetCampoExit(TnField &) {}
void TnDMClientDataSet::nDataSetProviderUpdateError(Exception &, TUpdateKind, TResolverResponse &) {}
void TnDMClientDataSet::nClientDataSetReconcileError(TnClientDataSet &, Exception &, TUpdateKind, TReconcileAction &) {}
