#include "OrvoDPAlterarClassifGrupoInv_U.h"

#include "Acoes.h"
#include "Conexao.h"
#include "Literais.h"
#include "SQLDataSet.h"
#include "SuiteProduto.h"
#include "Tempo.h"
#include "Variaveis.h"

namespace {

const TnDefProcesso kDeclaracao{
    .Caption = "Alterar Estrutura do Plano de Contas Inventário",
    .CaptionParametros = "Alterar Estrutura do Plano de Contas Inventário",
    .Parametros = {{.Alias = "pNewMascara", .Caption = "Nova Máscara", .Requerido = true,
                    .Hint = "Níveis de dígitos (9) separados por ponto, como 9.99.999"}},
};

QString Texto(const char *recurso) { return QString::fromUtf8(recurso); }

QString CondicaoEmpresa(int empresa)
{
    return QStringLiteral("CODIGOEMPRESA = ") + ValorParaSQL(empresa, ftSmallint);
}

} // namespace

TOrvoDPAlterarClassifGrupoInv::TOrvoDPAlterarClassifGrupoInv() : TnDMPowerParam(kDeclaracao) {}

QString TOrvoDPAlterarClassifGrupoInv::PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

void TOrvoDPAlterarClassifGrupoInv::GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista,
                                                     const TnEventoAcao &evento, const TnModulos &modulos)
{
    GerarAcao({{.Categoria = "40 Utilitários", .Caption = "Alterar Estrutura do Plano de Contas Inventário",
                .Indice = 60}},
              classe, lista, evento, modulos);
}

std::vector<TOrvoDPAlterarClassifGrupoInv::Grupo> TOrvoDPAlterarClassifGrupoInv::LerGrupos(int empresa) const
{
    std::vector<Grupo> grupos;
    auto cmd = nDMConexao::Atual().Preparar(
        QStringLiteral("select CODIGOGRUPOPRODUTO, CLASSIFGRUPOPRODUTO from GRUPOPRODUTO where CODIGOEMPRESA = ?"));
    cmd->BindInteiro(0, empresa);
    TnCursor &c = cmd->Abrir();
    while (c.Proximo())
        grupos.push_back({qint32(c.Inteiro(0)), c.Nulo(1) ? QString() : c.Texto(1)});
    return grupos;
}

QStringList TOrvoDPAlterarClassifGrupoInv::Reclassificar(const std::vector<Grupo> &grupos, const QString &mascara,
                                                         TnProgresso &progresso) const
{
    QStringList novas;
    novas.reserve(qsizetype(grupos.size()));
    for (const Grupo &g : grupos) {
        bool cabe = true;
        const QString nova = FormatarClassificacao(mascara, g.Classif, &cabe);
        if (!cabe || !MesmosNumerosDeNivel(g.Classif, nova))
            throw Exception(Texto(OrvoSAlterarClassifMascErroFormato).arg(g.Classif, nova));
        novas.append(nova);
        progresso.IncProgressoTotal();
    }
    return novas;
}

void TOrvoDPAlterarClassifGrupoInv::Gravar(int empresa, const std::vector<Grupo> &grupos, const QStringList &novas,
                                           const QString &mascara)
{
    nDMConexao &con = nDMConexao::Atual();
    try {
        auto cmd = con.Preparar(QStringLiteral("update GRUPOPRODUTO set CLASSIFGRUPOPRODUTO = ? "
                                               "where CODIGOEMPRESA = ? and CODIGOGRUPOPRODUTO = ?"));
        // Sent together (on the server without a round trip per group), answered here.
        const std::unique_ptr<TnLote> lote = con.NovoLote();
        for (size_t i = 0; i < grupos.size(); ++i) {
            // A classification written as the mask asks already is left alone.
            if (novas.at(qsizetype(i)) == grupos[i].Classif)
                continue;
            cmd->BindTexto(0, novas.at(qsizetype(i)));
            cmd->BindInteiro(1, empresa);
            cmd->BindInteiro(2, grupos[i].Codigo);
            lote->Adicionar(*cmd);
        }
        int falhou = -1;
        lote->Concluir(falhou);
    } catch (const Exception &e) {
        throw Exception(Texto(OrvoSAlterarClassifMascQuebraEstrutura) + QStringLiteral("\r\n") + e.Message());
    }
    // The groups and the mask go together: a mask that is not written undoes the groups.
    if (nDMSQLDataSet::UpDateValorCampo(QStringLiteral("CFGEMPRESAULMAR"), QStringLiteral("MASCGRUPOPRODUTO"),
                                        mascara, CondicaoEmpresa(empresa), con) != 1)
        throw Exception(Texto(OrvoSAlterarClassifMascNaoGravada));
}

void TOrvoDPAlterarClassifGrupoInv::Executar()
{
    TnDMPowerParam::Executar();
    const QString mascara = Param(QStringLiteral("pNewMascara")).AsString().trimmed();
    const int empresa = EmpresaAtiva();

    const QVariant atual = nDMSQLDataSet::PegarValorCampo(QStringLiteral("CFGEMPRESAULMAR"),
                                                          QStringLiteral("MASCGRUPOPRODUTO"), CondicaoEmpresa(empresa));
    if (EhNulo(atual))
        throw Exception(Texto(OrvoSAlterarClassifEmpNaoConfigurada));
    if (mascara.size() > kTamanhoMaximoMascaraPlano)
        throw Exception(Texto(OrvoSAlterarClassifMascMaior));
    if (mascara.compare(atual.toString().trimmed(), Qt::CaseInsensitive) == 0)
        throw Exception(Texto(OrvoSAlterarClassifMascIgualAnterior));
    if (!ValidarMascaraPlanoContas(mascara))
        throw Exception(Texto(OrvoSAlterarClassifMascFormatoInvalido));

    const std::vector<Grupo> grupos = LerGrupos(empresa);
    nMessageDlg(Texto(OrvoSAlterarClassifMascAtencao), mtInformation, mbOK);
    // Every group of the company is rewritten: the question names the mask, and only a
    // deliberate "Sim" goes on.
    if (nMessageDlg(Texto(OrvoSAlterarClassifMascConfirmacao).arg(mascara), mtConfirmation, mbYes | mbNo, mbNo)
        != mbYes)
        Abort();

    const TnTempo inicio = TempoInicio();
    const std::unique_ptr<TnProgresso> progresso = CriarProgresso(this);
    progresso->MostrarSimples(Texto(OrvoSAlterarClassifMascExecutar));
    progresso->ConfigurarProgressoTotal(qint64(grupos.size()));
    try {
        TnTransacao t(1);
        const QStringList novas = Reclassificar(grupos, mascara, *progresso);
        Gravar(empresa, grupos, novas, mascara);
        t.Commit();
    } catch (const EAbort &) {
        throw;
    } catch (const std::exception &e) {
        const auto *ex = dynamic_cast<const Exception *>(&e);
        throw Exception(Texto(OrvoSAlterarClassifMascErroFinal) + QStringLiteral("\r\n") +
                        (ex ? ex->Message() : QString::fromLocal8Bit(e.what())));
    }
    FMensagem().Adicionar(Texto(OrvoSAlterarClassifMascResultado).arg(grupos.size()), tmInformacao);
    FMensagem().Adicionar(QStringLiteral("Tempo decorrido: ") + TempoFinal(inicio), tmAviso);
    nShowMessage(QStringLiteral("Operação concluída!"));
}

static TnRegistrador<TOrvoDPAlterarClassifGrupoInv> gRegistro("TOrvoDPAlterarClassifGrupoInv");
