#include "Interacao.h"

#include "Excecoes.h"
#include "Formulario.h"
#include "TextoProprio.h"

#include <QtDebug>

namespace {
[[noreturn]] void NinguemResponde(const QString &pergunta)
{
    throw Exception(QStringLiteral("Não há como perguntar ao usuário: %1").arg(pergunta));
}

// Used while no interface is installed: notices go to the log, nobody answers questions.
class TnSemInteracao : public TnInteracao {
public:
    TMsgDlgBtn MessageDlg(const QString &texto, TMsgDlgType, TMsgDlgButtons, TMsgDlgBtn) override
    {
        NinguemResponde(texto);
    }
    void ShowMessage(const QString &texto) override { qInfo().noquote() << texto; }
    void ProgressoAlterado(const TnProgresso &) override {}
    void ProgressoDestruido(const TnProgresso &) override {}
    void MensagemAdicionada(const TnListaMensagem &, const TnItemMensagem &item) override
    {
        qInfo().noquote() << item.Tipo << item.Texto;
    }
    void MensagensLimpas(const TnListaMensagem &) override {}
    void ListaDestruida(const TnListaMensagem &) override {}
};

TnSemInteracao gSemInteracao;
TnInteracao *gInteracao = nullptr;
bool gEhHttpExe = false;
} // namespace

void DefinirInteracao(TnInteracao *i) { gInteracao = i; }
int TnInteracao::MessageDlgBotoes(const QString &texto, TMsgDlgType, const QStringList &, int, int)
{
    NinguemResponde(texto);
}
int TnInteracao::SelecionarItem(const QString &, const QStringList &) { return -1; }
bool TnInteracao::SelecionarItens(const QString &, const QStringList &, QList<int> &) { return false; }
bool TnInteracao::MostrarForm(TnDMFormulario *dm, bool, const std::function<void(TnFormModulo &)> &)
{
    delete dm;
    return false;
}

TnInteracao &Interacao() { return gInteracao ? *gInteracao : gSemInteracao; }

TMsgDlgBtn nMessageDlg(const QString &texto, TMsgDlgType tipo, TMsgDlgButtons botoes, TMsgDlgBtn padrao)
{
    if (!botoes)
        botoes = mbOK;
    if (!botoes.testFlag(padrao) || qPopulationCount(uint(padrao)) != 1)
        padrao = TMsgDlgBtn(uint(botoes) & (~uint(botoes) + 1)); // the lowest flag offered
    const TMsgDlgBtn r = Interacao().MessageDlg(texto, tipo, botoes, padrao);
    if (!botoes.testFlag(r) || qPopulationCount(uint(r)) != 1)
        throw Exception(QStringLiteral("Resposta fora dos botões oferecidos para a pergunta: %1").arg(texto));
    return r;
}

int nMessageDlg(const QString &texto, TMsgDlgType tipo, const QStringList &botoes, int cancelar, int padrao)
{
    if (botoes.isEmpty() || cancelar < -1 || cancelar >= botoes.size() || padrao < 0 || padrao >= botoes.size())
        throw Exception(QStringLiteral("Pergunta sem botões válidos: %1").arg(texto));
    const int r = Interacao().MessageDlgBotoes(texto, tipo, botoes, cancelar, padrao);
    if (r < 0 || r >= botoes.size())
        throw Exception(QStringLiteral("Resposta fora dos botões oferecidos para a pergunta: %1").arg(texto));
    return r;
}

void nShowMessage(const QString &texto) { Interacao().ShowMessage(texto); }

bool nShowFormModal(TnDMFormulario *dm, const std::function<void(TnFormModulo &)> &preparar)
{
    return dm && Interacao().MostrarForm(dm, true, preparar);
}

bool nShowForm(TnDMFormulario *dm, const std::function<void(TnFormModulo &)> &preparar)
{
    return dm && Interacao().MostrarForm(dm, false, preparar);
}

bool EhHttpExe() { return gEhHttpExe; }
void SetEhHttpExe(bool sim) { gEhHttpExe = sim; }

// ---- TnProgresso ----------------------------------------------------------------------

TnProgresso::TnProgresso(QObject *dono) : FDono(dono) {}

TnProgresso::~TnProgresso() { Interacao().ProgressoDestruido(*this); }

std::unique_ptr<TnProgresso> CriarProgresso(QObject *dono) { return std::make_unique<TnProgresso>(dono); }

void TnProgresso::Publicar()
{
    FPendente = false;
    FUltima.start();
    Interacao().ProgressoAlterado(*this);
}

void TnProgresso::PublicarPosicao(bool noMaximo)
{
    FPendente = true;
    if (noMaximo || !FUltima.isValid() || FUltima.elapsed() >= FIntervalo)
        Publicar();
}

void TnProgresso::MostrarSimples(const QString &texto)
{
    FEstado.Visivel = true;
    FEstado.Multiplo = false;
    FEstado.Texto = TextoProprio(texto);
    Publicar();
}

void TnProgresso::MostrarMultiplo(const QString &textoTotal, const QString &textoParcial)
{
    FEstado.Visivel = true;
    FEstado.Multiplo = true;
    FEstado.TextoTotal = TextoProprio(textoTotal);
    FEstado.TextoParcial = TextoProprio(textoParcial);
    Publicar();
}

void TnProgresso::ConfigurarProgressoTotal(qint64 maximo)
{
    FEstado.MaximoTotal = qMax<qint64>(0, maximo);
    FEstado.PosicaoTotal = 0;
    Publicar();
}

void TnProgresso::ConfigurarProgressoParcial(qint64 maximo)
{
    FEstado.MaximoParcial = qMax<qint64>(0, maximo);
    FEstado.PosicaoParcial = 0;
    Publicar();
}

void TnProgresso::SetProgressoTotal(qint64 posicao)
{
    const qint64 p = qBound<qint64>(0, posicao, FEstado.MaximoTotal);
    if (p == FEstado.PosicaoTotal)
        return;
    FEstado.PosicaoTotal = p;
    PublicarPosicao(p == FEstado.MaximoTotal);
}

void TnProgresso::IncProgressoTotal(qint64 passo)
{
    SetProgressoTotal(FEstado.PosicaoTotal + passo);
}

void TnProgresso::IncProgressoParcial(qint64 passo)
{
    const qint64 p = qBound<qint64>(0, FEstado.PosicaoParcial + passo, FEstado.MaximoParcial);
    if (p == FEstado.PosicaoParcial)
        return;
    FEstado.PosicaoParcial = p;
    PublicarPosicao(p == FEstado.MaximoParcial);
}

void TnProgresso::MudarTexto(QString &campo, const QString &texto)
{
    if (texto == campo)
        return;
    campo = TextoProprio(texto);
    Publicar();
}

void TnProgresso::SetTexto(const QString &texto) { MudarTexto(FEstado.Texto, texto); }
void TnProgresso::SetTextoTotal(const QString &texto) { MudarTexto(FEstado.TextoTotal, texto); }
void TnProgresso::SetTextoParcial(const QString &texto) { MudarTexto(FEstado.TextoParcial, texto); }

void TnProgresso::SetEhCircularParcial(bool circular)
{
    if (circular == FEstado.CircularParcial)
        return;
    FEstado.CircularParcial = circular;
    Publicar();
}

void TnProgresso::SetVisible(bool visivel)
{
    if (visivel == FEstado.Visivel)
        return;
    FEstado.Visivel = visivel;
    Publicar();
}

// ---- TnListaMensagem ------------------------------------------------------------------

int TnItemMensagem::Nivel() const
{
    int n = 0;
    for (const TnItemMensagem *p = Pai; p; p = p->Pai)
        ++n;
    return n;
}

TnListaMensagem::TnListaMensagem(bool arvore) : FArvore(arvore) {}

TnListaMensagem::~TnListaMensagem() { Interacao().ListaDestruida(*this); }

bool TnListaMensagem::Contem(const TnItemMensagem *item) const
{
    const TnItemMensagem *topo = item;
    while (topo->Pai)
        topo = topo->Pai;
    for (const auto &i : FItens)
        if (i.get() == topo)
            return true;
    return false;
}

TnItemMensagem *TnListaMensagem::Adicionar(const QString &texto, TnTipoMensagem tipo, TnItemMensagem *pai)
{
    if (pai && (!FArvore || !Contem(pai)))
        throw Exception(QStringLiteral("Mensagem com um item pai que não é desta árvore"));
    auto item = std::make_unique<TnItemMensagem>();
    item->Tipo = tipo;
    item->Texto = TextoProprio(texto);
    item->Pai = pai;
    TnItemMensagem *r = item.get();
    (pai ? pai->Filhos : FItens).push_back(std::move(item));
    Interacao().MensagemAdicionada(*this, *r);
    return r;
}

void TnListaMensagem::Limpar()
{
    FItens.clear();
    Interacao().MensagensLimpas(*this);
}

int TnListaMensagem::Count() const
{
    int n = 0;
    const std::function<void(const std::vector<std::unique_ptr<TnItemMensagem>> &)> contar =
        [&](const auto &itens) {
            for (const auto &i : itens) {
                ++n;
                contar(i->Filhos);
            }
        };
    contar(FItens);
    return n;
}
