#pragma once
// A form as the tests play it: records what modules ask of it, and closes the way the
// desktop does (the module's close-query, then FormFechado).
#include "ControleExtra.h"
#include "Formulario.h"
#include "PowerParam.h"

#include <QHash>
#include <QSet>
#include <QRegularExpression>
#include <QStringList>
#include <functional>

class TnFormFalso : public TnFormModulo {
public:
    QStringList Chamadas;
    bool EstaInserindo = false;
    // Runs on Fechar: the close-query and FormFechado of the module the form shows.
    std::function<void()> AoFechar;

    void Fechar() override
    {
        Chamadas << QStringLiteral("Fechar");
        if (AoFechar)
            AoFechar();
    }
    void FocarControle(const QString &nome) override { Chamadas << "Focar:" + nome; }
    void AtualizarControle(const QString &nome) override { Chamadas << "Atualizar:" + nome; }
    bool Inserindo() const override { return EstaInserindo; }
    void ConfigurarActionForm(TnAcaoForm acao, bool ativa) override
    {
        Chamadas << QStringLiteral("Acao:%1:%2").arg(int(acao)).arg(ativa ? 1 : 0);
    }
    void AdicionarAtalhoSecundario(TnAcaoForm acao, const QString &atalho) override
    {
        Chamadas << QStringLiteral("Atalho:%1:%2").arg(int(acao)).arg(atalho);
    }
    void SetTextoPainel(int painel, const QString &texto) override
    {
        Chamadas << QStringLiteral("Painel:%1:%2").arg(painel).arg(texto);
    }
    void SetLarguraPainel(int painel, int largura) override
    {
        Chamadas << QStringLiteral("Largura:%1:%2").arg(painel).arg(largura);
    }
    void DefinirTamanho(int largura, int altura) override
    {
        Chamadas << QStringLiteral("Tamanho:%1:%2").arg(largura).arg(altura);
    }
    QString CriarPageControl(const QString &pai) override
    {
        Chamadas << "PageControl:" + pai;
        return QStringLiteral("pc");
    }
    QString CriarTabSheet(const QString &pageControl, const QString &caption) override
    {
        Chamadas << QStringLiteral("Tab:%1:%2").arg(pageControl, caption);
        return QStringLiteral("tab_") + caption;
    }
    void MostrarDetalhe(TnDMClientDataSet *, const QString &controlePai) override
    {
        Chamadas << "Detalhe:" + controlePai;
    }
    void ResultadoAlterado() override { Chamadas << QStringLiteral("Resultado"); }
    void MostrarControleExtra(TnControleExtra *extra) override
    {
        Chamadas << QStringLiteral("Extra:%1:%2").arg(extra->CampoAnterior(), extra->Nome());
    }

    // The parameter panel as plain texts: what its controls show, by alias (as given).
    QHash<QString, QString> ControlesParametros;
    TnpqPowerParam *PainelParametros = nullptr;
    // The user types into a parameter's control (taken when the module saves the panel).
    void DigitarParametro(const QString &alias, const QString &texto)
    {
        ControlesParametros.insert(alias, texto);
        FDigitados.insert(alias);
    }

    QString CriarPainelParametros(TnpqPowerParam &params, const QString &campoAnterior) override
    {
        Chamadas << "PainelParametros:" + campoAnterior;
        PainelParametros = &params;
        return QStringLiteral("painel_") + campoAnterior;
    }
    void CarregarPainelParametros(const QString &painel) override
    {
        Chamadas << "CarregarParametros:" + painel;
        FDigitados.clear();
        for (int i = 0; PainelParametros && i < PainelParametros->Count(); ++i)
            ControlesParametros.insert(PainelParametros->Items(i).Alias(), PainelParametros->Items(i).Text());
    }
    void SalvarPainelParametros(const QString &painel, bool todos) override
    {
        Chamadas << QStringLiteral("SalvarParametros:%1:%2").arg(painel).arg(todos ? 1 : 0);
        for (int i = 0; PainelParametros && i < PainelParametros->Count(); ++i) {
            TnpqParamItem &p = PainelParametros->Items(i);
            if (todos || FDigitados.contains(p.Alias()))
                p.SetText(ControlesParametros.value(p.Alias()));
        }
        FDigitados.clear();
    }

    // The calls that start with `prefixo`.
    QStringList Com(const QString &prefixo) const { return Chamadas.filter(QRegularExpression("^" + QRegularExpression::escape(prefixo))); }

private:
    QSet<QString> FDigitados;
};
