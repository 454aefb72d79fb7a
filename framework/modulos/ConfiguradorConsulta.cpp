#include "ConfiguradorConsulta.h"

#include "Conexao.h"
#include "Interacao.h"
#include "Valores.h"

namespace {

bool Igual(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

const TnDefProcesso kConfigurador{.Caption = "Gerador de Consultas"};

// The operator a new filter of the field starts with: a range for dates, numbers and
// computed fields, a list for codes, containing for texts.
TnOperadorFiltro OperadorInicial(const TnCampoCatalogo &c)
{
    if (!c.Formula.isEmpty())
        return nofEntre;
    if (EhTipoInteiro(c.Tipo))
        return nofLista;
    if (EhTipoNumerico(c.Tipo) || c.Tipo == ftDate || c.Tipo == ftDateTime)
        return nofEntre;
    return nofContem;
}

} // namespace

// ---- the form ---------------------------------------------------------------------------

bool TnFormConfiguradorConsulta::AddTabela(const QString &classe, const QString &grupo, const QString &item,
                                           const QString &caption)
{
    return FCatalogo.AddTabela(classe, grupo, item, caption);
}

void TnFormConfiguradorConsulta::RebuildNavBar()
{
    FNavBar.clear();
    for (const TnTabelaCatalogo &t : FCatalogo.Tabelas()) {
        auto g = std::find_if(FNavBar.begin(), FNavBar.end(), [&](const TnGrupoNavBar &x) { return x.Caption == t.Grupo; });
        if (g == FNavBar.end()) {
            FNavBar.push_back({t.Grupo, {}});
            g = FNavBar.end() - 1;
        }
        g->Itens.push_back({t.Classe, t.Caption, t.Item});
    }
    if (OnNavBarAlterada)
        OnNavBarAlterada();
}

// ---- the designer -----------------------------------------------------------------------

TnDPConfiguradorConsultaPersonalizada::TnDPConfiguradorConsultaPersonalizada() : TnDMPowerParam(kConfigurador)
{
    FCatalogo.OnCriarCamposDM = [this](int tipo, const QString &classe, TnClientDataSet &campos) {
        OnCriarCamposDM(tipo, classe, campos);
    };
    SetClasseConstrutor<TnConstrutorConsultaPersonalizada>();
    // The framework shows the first rows again after every change.
    FForm.OnDefinicaoAlterada = [this] { AtualizarPrevia(); };
}

TnDPConfiguradorConsultaPersonalizada::~TnDPConfiguradorConsultaPersonalizada() = default;

void TnDPConfiguradorConsultaPersonalizada::AntesConfigurar(TnFormModulo *form) { TnDMPowerParam::AntesConfigurar(form); }

void TnDPConfiguradorConsultaPersonalizada::DepoisConfigurar(TnFormModulo *form)
{
    TnDMPowerParam::DepoisConfigurar(form);
}

void TnDPConfiguradorConsultaPersonalizada::OnCriarCamposDM(int, const QString &, TnClientDataSet &) {}

void TnDPConfiguradorConsultaPersonalizada::OnFormatCampoConsulta(TnField &campo,
                                                                  const TnConstrutorConsultaPersonalizada &construtor)
{
    FormatarColunaConsulta(campo, construtor);
}

const TnTabelaCatalogo &TnDPConfiguradorConsultaPersonalizada::TabelaDoAlias(const QString &alias) const
{
    for (const TnTabelaConsulta &t : FDef.Tabelas)
        if (t.Alias == alias) {
            if (const TnTabelaCatalogo *tc = FCatalogo.Tabela(t.Classe))
                return *tc;
            break;
        }
    throw Exception(QStringLiteral("A tabela \"%1\" não está na consulta.").arg(alias));
}

const TnCampoCatalogo &TnDPConfiguradorConsultaPersonalizada::CampoDoAlias(const QString &alias,
                                                                             const QString &campo) const
{
    const TnTabelaCatalogo &t = TabelaDoAlias(alias);
    const TnCampoCatalogo *c = t.Campo(campo);
    if (!c)
        throw Exception(QStringLiteral("O campo \"%1\" não pertence a %2.").arg(campo, t.Caption));
    return *c;
}

TnCampoConsulta *TnDPConfiguradorConsultaPersonalizada::CampoMostrado(const QString &alias, const QString &campo)
{
    for (TnCampoConsulta &c : FDef.Campos)
        if (c.Alias == alias && Igual(c.Campo, campo))
            return &c;
    return nullptr;
}

TnFiltroConsulta *TnDPConfiguradorConsultaPersonalizada::FiltroDo(const QString &alias, const QString &campo)
{
    for (TnFiltroConsulta &f : FDef.Filtros)
        if (f.Alias == alias && Igual(f.Campo, campo))
            return &f;
    return nullptr;
}

TnCampoConsulta *TnDPConfiguradorConsultaPersonalizada::CampoParaAlterar(const QString &alias, const QString &campo,
                                                                         bool mostrar)
{
    TnCampoConsulta *m = CampoMostrado(alias, campo);
    if (!m && mostrar) {
        TnCampoConsulta novo;
        novo.Alias = alias;
        novo.Campo = campo;
        FDef.Campos.push_back(std::move(novo));
        m = &FDef.Campos.back();
    }
    return m;
}

void TnDPConfiguradorConsultaPersonalizada::TirarDaOrdem(const QString &alias, const QString &campo)
{
    std::erase_if(FDef.Ordem, [&](const TnOrdemConsulta &o) { return o.Alias == alias && Igual(o.Campo, campo); });
}

void TnDPConfiguradorConsultaPersonalizada::Alterou()
{
    FAlterada = true;
    if (FForm.OnDefinicaoAlterada)
        FForm.OnDefinicaoAlterada();
    emit Alterado();
}

void TnDPConfiguradorConsultaPersonalizada::AtualizarPrevia()
{
    // A design still incomplete is no error: the preview is simply empty.
    try {
        Executar();
    } catch (const std::exception &) {
        TrocarPrevia(nullptr);
    }
}

QString TnDPConfiguradorConsultaPersonalizada::AdicionarTabela(const QString &classe)
{
    const TnTabelaCatalogo *nova = FCatalogo.Tabela(classe);
    if (!nova)
        throw Exception(QStringLiteral("A tabela \"%1\" não está no catálogo de consultas.").arg(classe));
    const std::vector<TnTabelaConsulta> anteriores = FDef.Tabelas;
    const QString alias = FDef.AdicionarTabela(nova->Classe);
    for (const TnTabelaConsulta &t : anteriores) {
        const auto pares = FCatalogo.JuncaoSugerida(t.Classe, nova->Classe);
        if (pares.empty())
            continue;
        FDef.Juncoes.push_back({t.Alias, alias, pares});
        break;
    }
    Alterou();
    return alias;
}

void TnDPConfiguradorConsultaPersonalizada::RemoverTabela(const QString &alias)
{
    TabelaDoAlias(alias);
    std::erase_if(FDef.Tabelas, [&](const TnTabelaConsulta &t) { return t.Alias == alias; });
    std::erase_if(FDef.Campos, [&](const TnCampoConsulta &c) { return c.Alias == alias; });
    std::erase_if(FDef.Filtros, [&](const TnFiltroConsulta &f) { return f.Alias == alias; });
    std::erase_if(FDef.Ordem, [&](const TnOrdemConsulta &o) { return o.Alias == alias; });
    std::erase_if(FDef.Juncoes,
                  [&](const TnJuncaoConsulta &j) { return j.AliasEsquerda == alias || j.AliasDireita == alias; });
    Alterou();
}

QString TnDPConfiguradorConsultaPersonalizada::DescricaoTabela(const QString &alias) const
{
    return QStringLiteral("%1 - %2").arg(alias, TabelaDoAlias(alias).Caption);
}

std::vector<TnCampoDesenho> TnDPConfiguradorConsultaPersonalizada::Campos(const QString &alias) const
{
    const TnTabelaCatalogo &t = TabelaDoAlias(alias);
    TnClientDataSet ds;
    FCatalogo.CriarCamposDM(t.Classe, ds);
    std::vector<TnCampoDesenho> r;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        const TnCampoCatalogo *c = t.Campo(ds.FieldByName(QStringLiteral("Campo")).AsString());
        if (!c)
            continue; // a row the catalogue did not take: nothing the builder would accept
        TnCampoDesenho d;
        d.Campo = c->Campo;
        d.Descricao = ds.FieldByName(QStringLiteral("Descricao")).AsString();
        d.Numerico = EhTipoNumerico(c->Tipo);
        d.Calculado = !c->Formula.isEmpty();
        d.Operador = OperadorInicial(*c);
        for (const TnCampoConsulta &cc : FDef.Campos)
            if (cc.Alias == alias && Igual(cc.Campo, c->Campo)) {
                d.Mostrar = true;
                d.Total = cc.Total;
                d.Negativar = cc.Negativar;
                d.Caption = cc.Caption;
                break;
            }
        for (const TnFiltroConsulta &f : FDef.Filtros)
            if (f.Alias == alias && Igual(f.Campo, c->Campo)) {
                d.Filtrar = true;
                d.Operador = f.Operador;
                break;
            }
        r.push_back(std::move(d));
    }
    return r;
}

TnCampoDesenho TnDPConfiguradorConsultaPersonalizada::Campo(const QString &alias, const QString &campo) const
{
    for (TnCampoDesenho &d : Campos(alias))
        if (Igual(d.Campo, campo))
            return d;
    CampoDoAlias(alias, campo); // names what is wrong
    throw Exception(QStringLiteral("O campo \"%1\" não está no catálogo.").arg(campo));
}

void TnDPConfiguradorConsultaPersonalizada::SetMostrar(const QString &alias, const QString &campo, bool mostrar)
{
    const TnCampoCatalogo &c = CampoDoAlias(alias, campo);
    if (mostrar == (CampoMostrado(alias, c.Campo) != nullptr))
        return;
    if (mostrar) {
        CampoParaAlterar(alias, c.Campo, true);
    } else {
        std::erase_if(FDef.Campos, [&](const TnCampoConsulta &x) { return x.Alias == alias && Igual(x.Campo, c.Campo); });
        TirarDaOrdem(alias, c.Campo);
    }
    Alterou();
}

void TnDPConfiguradorConsultaPersonalizada::SetFiltro(const QString &alias, const QString &campo, bool filtrar)
{
    const TnCampoCatalogo &c = CampoDoAlias(alias, campo);
    if (filtrar == (FiltroDo(alias, c.Campo) != nullptr))
        return;
    if (filtrar)
        FDef.Filtros.push_back({alias, c.Campo, OperadorInicial(c)});
    else
        std::erase_if(FDef.Filtros, [&](const TnFiltroConsulta &f) { return f.Alias == alias && Igual(f.Campo, c.Campo); });
    Alterou();
}

void TnDPConfiguradorConsultaPersonalizada::SetOperadorFiltro(const QString &alias, const QString &campo,
                                                              TnOperadorFiltro operador)
{
    const TnCampoCatalogo &c = CampoDoAlias(alias, campo);
    if (!c.Formula.isEmpty() && (operador == nofLista || operador == nofContem))
        throw Exception(QStringLiteral("O campo calculado \"%1\" só se filtra por igual ou entre.").arg(c.Descricao));
    if (operador < nofIgual || operador > nofContem)
        throw Exception(QStringLiteral("Operador de filtro inválido."));
    TnFiltroConsulta *f = FiltroDo(alias, c.Campo);
    if (!f) {
        FDef.Filtros.push_back({alias, c.Campo, operador});
    } else {
        if (f->Operador == operador)
            return;
        f->Operador = operador;
    }
    Alterou();
}

void TnDPConfiguradorConsultaPersonalizada::SetTotal(const QString &alias, const QString &campo, TnTotalConsulta total)
{
    const TnCampoCatalogo &c = CampoDoAlias(alias, campo);
    if (total < ntcNenhum || total > ntcMedia)
        throw Exception(QStringLiteral("Total inválido."));
    if ((total == ntcSoma || total == ntcMedia) && !EhTipoNumerico(c.Tipo))
        throw Exception(QStringLiteral("O campo \"%1\" não é numérico para ser totalizado.").arg(c.Descricao));
    TnCampoConsulta *m = CampoParaAlterar(alias, c.Campo, total != ntcNenhum);
    if (!m || m->Total == total)
        return;
    m->Total = total;
    if (total != ntcNenhum)
        TirarDaOrdem(alias, c.Campo);
    Alterou();
}

void TnDPConfiguradorConsultaPersonalizada::SetNegativar(const QString &alias, const QString &campo, bool negativar)
{
    const TnCampoCatalogo &c = CampoDoAlias(alias, campo);
    if (negativar && !EhTipoNumerico(c.Tipo))
        throw Exception(QStringLiteral("O campo \"%1\" não é numérico para ser negativado.").arg(c.Descricao));
    TnCampoConsulta *m = CampoParaAlterar(alias, c.Campo, negativar);
    if (!m || m->Negativar == negativar)
        return;
    m->Negativar = negativar;
    Alterou();
}

void TnDPConfiguradorConsultaPersonalizada::SetCaption(const QString &alias, const QString &campo, const QString &caption)
{
    const TnCampoCatalogo &c = CampoDoAlias(alias, campo);
    // The caption labels the column only; it never reaches the statement.
    QString texto = caption.trimmed();
    if (texto == c.Descricao)
        texto.clear();
    if (texto.size() > 120)
        throw Exception(QStringLiteral("O título do campo \"%1\" tem mais de 120 caracteres.").arg(c.Descricao));
    TnCampoConsulta *m = CampoParaAlterar(alias, c.Campo, !texto.isEmpty());
    if (!m || m->Caption == texto)
        return;
    m->Caption = texto;
    Alterou();
}

std::vector<TnParJuncao> TnDPConfiguradorConsultaPersonalizada::Juncoes() const
{
    std::vector<TnParJuncao> r;
    for (const TnJuncaoConsulta &j : FDef.Juncoes)
        for (const auto &[e, d] : j.Campos)
            r.push_back({j.AliasEsquerda, e, j.AliasDireita, d});
    return r;
}

void TnDPConfiguradorConsultaPersonalizada::AdicionarJuncao(const TnParJuncao &par)
{
    if (par.AliasEsquerda == par.AliasDireita)
        throw Exception(QStringLiteral("Uma junção liga duas tabelas diferentes."));
    const TnCampoCatalogo &e = CampoDoAlias(par.AliasEsquerda, par.CampoEsquerda);
    const TnCampoCatalogo &d = CampoDoAlias(par.AliasDireita, par.CampoDireita);
    if (!e.Formula.isEmpty() || !d.Formula.isEmpty())
        throw Exception(QStringLiteral("Campos calculados não ligam tabelas."));
    const bool compativeis = e.Tipo == d.Tipo || (EhTipoInteiro(e.Tipo) && EhTipoInteiro(d.Tipo)) ||
                             (EhTipoTexto(e.Tipo) && EhTipoTexto(d.Tipo));
    if (!compativeis)
        throw Exception(QStringLiteral("\"%1\" e \"%2\" são de tipos diferentes.").arg(e.Descricao, d.Descricao));
    for (const TnParJuncao &p : Juncoes())
        if (p == TnParJuncao{par.AliasEsquerda, e.Campo, par.AliasDireita, d.Campo})
            return;
    for (TnJuncaoConsulta &j : FDef.Juncoes)
        if (j.AliasEsquerda == par.AliasEsquerda && j.AliasDireita == par.AliasDireita) {
            j.Campos.emplace_back(e.Campo, d.Campo);
            Alterou();
            return;
        }
    FDef.Juncoes.push_back({par.AliasEsquerda, par.AliasDireita, {{e.Campo, d.Campo}}});
    Alterou();
}

void TnDPConfiguradorConsultaPersonalizada::RemoverJuncao(const TnParJuncao &par)
{
    bool removeu = false;
    for (TnJuncaoConsulta &j : FDef.Juncoes)
        if (j.AliasEsquerda == par.AliasEsquerda && j.AliasDireita == par.AliasDireita)
            removeu |= std::erase_if(j.Campos, [&](const auto &p) {
                           return Igual(p.first, par.CampoEsquerda) && Igual(p.second, par.CampoDireita);
                       }) > 0;
    std::erase_if(FDef.Juncoes, [](const TnJuncaoConsulta &j) { return j.Campos.empty(); });
    if (removeu)
        Alterou();
}

void TnDPConfiguradorConsultaPersonalizada::AdicionarOrdem(const QString &alias, const QString &campo)
{
    const TnCampoCatalogo &c = CampoDoAlias(alias, campo);
    TnCampoConsulta *m = CampoMostrado(alias, c.Campo);
    if (m && m->Total != ntcNenhum)
        throw Exception(QStringLiteral("O campo \"%1\" tem total e não ordena as linhas.").arg(c.Descricao));
    for (const TnOrdemConsulta &o : FDef.Ordem)
        if (o.Alias == alias && Igual(o.Campo, c.Campo))
            return;
    CampoParaAlterar(alias, c.Campo, true);
    FDef.Ordem.push_back({alias, c.Campo});
    Alterou();
}

void TnDPConfiguradorConsultaPersonalizada::RemoverOrdem(int indice)
{
    if (indice < 0 || indice >= int(FDef.Ordem.size()))
        return;
    FDef.Ordem.erase(FDef.Ordem.begin() + indice);
    Alterou();
}

int TnDPConfiguradorConsultaPersonalizada::MoverOrdem(int indice, int passo)
{
    const int n = int(FDef.Ordem.size());
    if (indice < 0 || indice >= n)
        return indice;
    const int destino = std::clamp(indice + passo, 0, n - 1);
    if (destino == indice)
        return indice;
    const TnOrdemConsulta o = FDef.Ordem[size_t(indice)];
    FDef.Ordem.erase(FDef.Ordem.begin() + indice);
    FDef.Ordem.insert(FDef.Ordem.begin() + destino, o);
    Alterou();
    return destino;
}

void TnDPConfiguradorConsultaPersonalizada::Novo()
{
    FDef = TnDefinicaoConsulta();
    FCodigo = 0;
    FNome.clear();
    TrocarPrevia(nullptr);
    FAlterada = false;
    emit Alterado();
}

std::unique_ptr<TnConstrutorConsultaPersonalizada>
TnDPConfiguradorConsultaPersonalizada::Construtor(const TnDefinicaoConsulta &def) const
{
    std::unique_ptr<TnConstrutorConsultaPersonalizada> c = FFabrica(def, nullptr);
    if (!c)
        throw Exception(QStringLiteral("O gerador de consultas não tem construtor."));
    c->Montar(FCatalogo);
    return c;
}

QString TnDPConfiguradorConsultaPersonalizada::SQLGerado() const { return Construtor(FDef)->SQL(); }

void TnDPConfiguradorConsultaPersonalizada::Executar()
{
    TrocarPrevia(nullptr);
    const std::unique_ptr<TnConstrutorConsultaPersonalizada> c = Construtor(FDef);
    auto ds = std::make_unique<TnClientDataSet>();
    const TnConstrutorConsultaPersonalizada &construtor = *c;
    DefinirResultadoConsulta(*ds, construtor, [&](TnField &f) { OnFormatCampoConsulta(f, construtor); });
    auto cmd = nDMConexao::Atual().Preparar(c->SQL() + QStringLiteral(" limit %1").arg(kLinhasPrevia));
    for (int i = 0; i < c->Valores().size(); ++i)
        cmd->BindValor(i, c->Valores()[i]);
    ds->CarregarDe(cmd->Abrir());
    if (!ds->IsEmpty())
        ds->First();
    TrocarPrevia(std::move(ds));
    ResultadoAlterado();
    emit Alterado();
}

void TnDPConfiguradorConsultaPersonalizada::TrocarPrevia(std::unique_ptr<TnClientDataSet> ds)
{
    FDonoPrevia.reset();
    FPrevia = std::move(ds);
    if (FPrevia)
        FDonoPrevia = std::make_unique<QObject>();
}

void TnDPConfiguradorConsultaPersonalizada::ActMostrarSQLExecute()
{
    const QString sql = SQLGerado();
    if (FForm.OnMostrarSQL)
        FForm.OnMostrarSQL(sql);
    else
        nShowMessage(sql);
}

int TnDPConfiguradorConsultaPersonalizada::Salvar(const QString &nome)
{
    Construtor(FDef); // a design that cannot run is not saved
    // The query opened was deleted meanwhile (from another window): saved as a new one.
    if (FCodigo > 0) {
        const std::vector<TnConsultaSalva> salvas = ConsultasSalvas();
        if (std::none_of(salvas.begin(), salvas.end(), [this](const TnConsultaSalva &s) { return s.Codigo == FCodigo; }))
            FCodigo = 0;
    }
    FCodigo = SalvarConsultaPersonalizada(nome, FForm.TipoAction(), FDef, FCodigo);
    FNome = nome.trimmed();
    FAlterada = false;
    emit Alterado();
    return FCodigo;
}

void TnDPConfiguradorConsultaPersonalizada::Abrir(int codigo)
{
    const TnConsultaSalva s = LerConsultaPersonalizada(codigo);
    if (s.TipoAcao != FForm.TipoAction())
        throw Exception(QStringLiteral("A consulta \"%1\" não pertence a este gerador de consultas.").arg(s.Nome));
    TnDefinicaoConsulta def;
    try {
        def = TnDefinicaoConsulta::DeJson(s.Definicao);
        Construtor(def);
    } catch (const Exception &e) {
        throw Exception(QStringLiteral("A consulta \"%1\" não pode ser aberta. %2").arg(s.Nome, e.Message()));
    }
    FDef = std::move(def);
    FCodigo = s.Codigo;
    FNome = s.Nome;
    TrocarPrevia(nullptr);
    FAlterada = false;
    if (FForm.OnDefinicaoAlterada)
        FForm.OnDefinicaoAlterada();
    emit Alterado();
}

void TnDPConfiguradorConsultaPersonalizada::Renomear(int codigo, const QString &nome)
{
    RenomearConsultaPersonalizada(codigo, nome);
    if (codigo == FCodigo)
        FNome = nome.trimmed();
    emit Alterado();
}

void TnDPConfiguradorConsultaPersonalizada::Excluir(int codigo)
{
    ExcluirConsultaPersonalizada(codigo);
    if (codigo == FCodigo) {
        FCodigo = 0;
        FNome.clear();
        FAlterada = !FDef.Tabelas.empty();
    }
    emit Alterado();
}

std::vector<TnConsultaSalva> TnDPConfiguradorConsultaPersonalizada::ConsultasSalvas() const
{
    return ListarConsultasPersonalizadas(FForm.TipoAction());
}

void TnDPConfiguradorConsultaPersonalizada::FormCloseQuery(TnFormModulo *form, bool &podeFechar)
{
    TnDMPowerParam::FormCloseQuery(form, podeFechar);
    if (!podeFechar || !FAlterada || FDef.Tabelas.empty())
        return;
    podeFechar = nMessageDlg(QStringLiteral("A consulta tem alterações que não foram salvas. Fechar assim mesmo?"),
                             mtConfirmation, mbYes | mbNo, mbNo) == mbYes;
}
