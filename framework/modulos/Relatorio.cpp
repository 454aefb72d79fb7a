#include "Relatorio.h"

#include "Decimal.h"
#include "Dicionario.h"
#include "DMClientDataSet.h"
#include "SQLDataSet.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QDateTime>
#include <algorithm>

namespace {

// Decimals a column's values are summed at: a numeric(p,s) at its scale, a whole number at
// none, any other number at the decimals its mask shows (at least those the settings offer).
int EscalaSoma(const TnField &f, const QString &mascara)
{
    if (f.DataType() == ftBCD)
        return f.Scale();
    if (EhTipoInteiro(f.DataType()))
        return 0;
    const QString secao = mascara.section(u';', 0, 0);
    const qsizetype ponto = secao.indexOf(u'.');
    int casas = 0;
    for (qsizetype i = ponto + 1; ponto >= 0 && i < secao.size() && (secao[i] == u'0' || secao[i] == u'#'); ++i)
        ++casas;
    return std::max(casas, 6);
}

// A column's sum, exact: an integer scaled by 10^Escala, which grows to the decimals of a
// value that has more (the rows of a field with decimals per row).
struct Soma {
    qint64 Valor = 0;
    int Escala = 0;
};

struct Coluna {
    const TnColunaRelatorio *Def;
    TnField *Campo;
    TnField *CampoTotal; // ntrCampo
    int Escala;
    Soma Grupo = {0, Escala}, Geral = {0, Escala};
    bool TemGrupo = false, TemGeral = false;
};

bool EhValor(const TnField &f) { return f.DataType() == ftFloat || f.DataType() == ftBCD; }

QString MascaraDe(const Coluna &c, const QString &formatoNumeros)
{
    if (!formatoNumeros.isEmpty() && EhValor(*c.Campo))
        return formatoNumeros;
    return c.Def->Formato.isEmpty() ? c.Campo->DisplayFormat() : c.Def->Formato;
}

QString TextoCelula(const Coluna &c, const QString &formatoNumeros)
{
    const TnField &f = *c.Campo;
    if (f.IsNull())
        return QString();
    const QString mascara = MascaraDe(c, formatoNumeros);
    if (!mascara.isEmpty() && !f.Def().TemListaValores()) {
        if (f.DataType() == ftBCD)
            return FormatFloat(mascara, f.Celula().I, f.EscalaDaLinha());
        if (EhTipoNumerico(f.DataType()))
            return FormatFloat(mascara, f.AsFloat());
        if (f.DataType() == ftDate || f.DataType() == ftDateTime)
            return FormatDateTime(mascara, f.AsDateTime());
    }
    return f.DisplayText();
}

[[noreturn]] void TotalForaDoLimite(const TnField &f)
{
    throw Exception(QStringLiteral("O total da coluna \"%1\" ultrapassa o limite de 18 dígitos.").arg(f.DisplayLabel()));
}

// The current row's value of f: a numeric as stored, at its row's decimals; another number
// at the column's.
Soma Escalado(const TnField &f, int escala)
{
    if (f.IsNull())
        return {0, escala};
    if (f.DataType() == ftBCD)
        return {f.Celula().I, f.EscalaDaLinha()};
    qint64 e = 0;
    if (!nDecimal::DeReal(f.AsFloat(), escala, e))
        TotalForaDoLimite(f);
    return {e, escala};
}

void Acumular(Soma &total, Soma parcela, const TnField &f)
{
    const int escala = std::max(total.Escala, parcela.Escala);
    if (!nDecimal::Reescalar(total.Valor, total.Escala, escala, total.Valor) ||
        !nDecimal::Reescalar(parcela.Valor, parcela.Escala, escala, parcela.Valor) ||
        __builtin_add_overflow(total.Valor, parcela.Valor, &total.Valor))
        TotalForaDoLimite(f);
    total.Escala = escala;
}

QString TextoTotal(const Coluna &c, const Soma &total, const QString &formatoNumeros)
{
    return FormatFloat(MascaraDe(c, formatoNumeros), total.Valor, total.Escala);
}

// The line closing a group or the report.
TnLinhaRelatorio LinhaTotal(std::vector<Coluna> &colunas, bool geral, const QString &caption,
                            const QString &formatoNumeros, bool totalGeral)
{
    TnLinhaRelatorio l;
    l.Tipo = geral ? ntlTotalGeral : ntlTotal;
    l.Texto = caption;
    l.Negrito = true;
    for (Coluna &c : colunas) {
        const bool tem = geral ? c.TemGeral : c.TemGrupo;
        l.Celulas << (tem ? TextoTotal(c, geral ? c.Geral : c.Grupo, formatoNumeros) : QString());
        if (!geral) {
            // Groups' totals are added up only for a report that shows their sum.
            if (c.Def->Total == ntrCampo && c.TemGrupo && totalGeral) {
                Acumular(c.Geral, c.Grupo, *c.Campo);
                c.TemGeral = true;
            }
            c.Grupo = {0, c.Escala};
            c.TemGrupo = false;
        }
    }
    return l;
}

// The widest a column grows to fit its texts, in characters.
constexpr int kLarguraMaxima = 40;

void AlargarAte(TnColunaMontada &c, const QString &texto)
{
    c.Largura = std::max(c.Largura, std::min(kLarguraMaxima, int(texto.size()) + 1));
}

QString NomeDe(const QString &tabela, const QString &campo, const QString &condicao)
{
    return nDMSQLDataSet::PegarValorCampo(tabela, campo, condicao).toString();
}

} // namespace

TnRelatorio MontarRelatorio(const TnDefRelatorio *def, TnClientDataSet &dados, const QString &titulo,
                            const QStringList &cabecalho)
{
    TnDefRelatorio automatico;
    if (!def) {
        for (int i = 0; i < dados.FieldCount(); ++i)
            if (dados.Fields(i).Visible())
                automatico.Colunas.push_back({.Campo = dados.Fields(i).FieldName(),
                                              .Largura = std::clamp(dados.Fields(i).Size(), 8, 40)});
        automatico.TotalGeral = false;
        def = &automatico;
    }
    if (!dados.TodosLidos())
        dados.BuscarTodos();

    TnRelatorio r;
    r.Titulo = def->Titulo.isEmpty() ? titulo : def->Titulo;
    r.Cabecalho = cabecalho;
    r.Emissao = QStringLiteral("Emitido em ") + QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    std::vector<Coluna> colunas;
    for (const TnColunaRelatorio &c : def->Colunas) {
        TnField &f = dados.FieldByName(c.Campo);
        TnField *total = c.Total == ntrCampo ? &dados.FieldByName(c.CampoTotal) : nullptr;
        colunas.push_back({&c, &f, total, EscalaSoma(total ? *total : f, c.Formato.isEmpty() ? f.DisplayFormat() : c.Formato)});
        r.Colunas.push_back({c.Caption.isEmpty() ? f.DisplayLabel() : c.Caption, std::max(1, c.Largura),
                             EhTipoNumerico(f.DataType()) && !f.Def().TemListaValores()});
    }
    // Without a layout, each column is as wide as its caption and its widest text, up to a
    // limit: its caption is never cut.
    const bool sobMedida = def == &automatico;
    if (sobMedida)
        for (TnColunaMontada &c : r.Colunas)
            c.Largura = std::min(kLarguraMaxima, int(c.Caption.size()) + 2); // captions are bold
    std::vector<TnField *> quebra;
    for (const QString &nome : def->Quebra.split(u';', Qt::SkipEmptyParts))
        quebra.push_back(&dados.FieldByName(nome.trimmed()));
    const bool temTotais = std::any_of(colunas.begin(), colunas.end(), [](const Coluna &c) { return c.Def->Total != ntrNenhum; });

    QString chaveAnterior;
    QString formatoGrupo; // the numbers' mask of the group's last row
    const int linhas = dados.RecordCount();
    for (int n = 1; n <= linhas; ++n) {
        dados.LerRegistro(n, [&] {
            if (!quebra.empty()) {
                QStringList partes;
                for (const TnField *f : quebra)
                    partes << f->AsString();
                const QString chave = partes.join(QChar(0x1f));
                if (n == 1 || chave != chaveAnterior) {
                    if (n > 1 && temTotais)
                        r.Linhas.push_back(LinhaTotal(colunas, false, def->CaptionTotal, formatoGrupo, def->TotalGeral));
                    TnLinhaRelatorio abre;
                    abre.Tipo = ntlQuebra;
                    abre.Negrito = true;
                    if (def->TituloQuebra) {
                        abre.Texto = def->TituloQuebra(dados);
                    } else {
                        QStringList textos;
                        for (const TnField *f : quebra)
                            textos << f->DisplayLabel() + QStringLiteral(": ") + f->DisplayText();
                        abre.Texto = textos.join(QStringLiteral(" - "));
                    }
                    r.Linhas.push_back(abre);
                    chaveAnterior = chave;
                }
            }
            const TnEstiloLinhaRelatorio estilo = def->Estilo ? def->Estilo(dados) : TnEstiloLinhaRelatorio{};
            formatoGrupo = estilo.FormatoNumeros;
            TnLinhaRelatorio l;
            l.Recuo = estilo.Recuo;
            l.Negrito = estilo.Negrito;
            for (Coluna &c : colunas) {
                l.Celulas << TextoCelula(c, estilo.FormatoNumeros);
                if (sobMedida)
                    AlargarAte(r.Colunas[l.Celulas.size() - 1], l.Celulas.back());
                if (c.Def->Total == ntrSoma) {
                    const Soma e = Escalado(*c.Campo, c.Escala);
                    Acumular(c.Grupo, e, *c.Campo);
                    if (def->TotalGeral)
                        Acumular(c.Geral, e, *c.Campo);
                    c.TemGrupo = c.TemGeral = true;
                } else if (c.Def->Total == ntrCampo) {
                    c.Grupo = Escalado(*c.CampoTotal, c.Escala);
                    c.TemGrupo = true;
                }
            }
            r.Linhas.push_back(l);
        });
    }
    if (linhas > 0 && temTotais) {
        // A total taken from a field stands for its rows as a group, grouped or not.
        if (!quebra.empty() || std::any_of(colunas.begin(), colunas.end(), [](const Coluna &c) { return c.Def->Total == ntrCampo; }))
            r.Linhas.push_back(LinhaTotal(colunas, false, def->CaptionTotal, formatoGrupo, def->TotalGeral));
        if (def->TotalGeral)
            r.Linhas.push_back(LinhaTotal(colunas, true, def->CaptionTotalGeral, QString(), true));
    }
    return r;
}

QStringList CabecalhoSelecao(const QStringList &chaves)
{
    QStringList r;
    TnSelecao &s = Selecao();
    const int empresa = s.Existe(QStringLiteral("CodigoEmpresa")) ? int(s.GetParams(QStringLiteral("CodigoEmpresa")).AsInteger()) : 0;
    if (empresa != 0) {
        const QString condicao = QStringLiteral("CODIGOEMPRESA = %1").arg(empresa);
        r << QStringLiteral("Empresa: %1 - %2").arg(empresa).arg(NomeDe(QStringLiteral("EMPRESA"), QStringLiteral("NOMEEMPRESA"), condicao));
        const int estab = s.Existe(QStringLiteral("CodigoEstab")) ? int(s.GetParams(QStringLiteral("CodigoEstab")).AsInteger()) : 0;
        if (estab != 0)
            r << QStringLiteral("Estabelecimento: %1 - %2")
                     .arg(estab)
                     .arg(NomeDe(QStringLiteral("ESTAB"), QStringLiteral("NOMEESTAB"),
                                 condicao + QStringLiteral(" and CODIGOESTAB = %1").arg(estab)));
    }
    for (const QString &chave : chaves) {
        if (chave.compare(QLatin1String("CodigoEmpresa"), Qt::CaseInsensitive) == 0 ||
            chave.compare(QLatin1String("CodigoEstab"), Qt::CaseInsensitive) == 0 || !s.Existe(chave))
            continue;
        const TnParamSelecao &p = s.GetParams(chave);
        if (p.IsNull())
            continue;
        const QString caption = CaptionDoDicionario(chave);
        r << (caption.isEmpty() ? chave : caption) + QStringLiteral(": ") + p.AsString();
    }
    return r;
}

// ---- report modules of the registers ------------------------------------------------------

TnDMRelatorio::TnDMRelatorio(const TnDefRelatorio &declaracao) : FDecl(declaracao) {}

namespace {

std::unique_ptr<TnDataModule, void (*)(TnDataModule *)> CriarRelatorio(const QString &nome)
{
    return {CriarDMNovo(QStringLiteral("T") + nome.trimmed()), &DestruirDM};
}

} // namespace

TnRelatorio GerarRelatorioCadastro(const QString &nome, TnDMClientDataSet &cadastro)
{
    if (!Registro().Classe(QStringLiteral("T") + nome.trimmed()))
        throw Exception(QStringLiteral("O relatório %1 não está disponível.").arg(nome));
    const auto dm = CriarRelatorio(nome);
    auto *rr = qobject_cast<TnDMRelatorio *>(dm.get());
    if (!rr)
        throw Exception(QStringLiteral("A classe %1 não é um relatório.").arg(dm->ClassName()));
    rr->Preparar(cadastro);
    return MontarRelatorio(&rr->Declaracao(), rr->Dados(), rr->Declaracao().Titulo,
                           CabecalhoSelecao(cadastro.ChavesSelecao()));
}

QString TituloRelatorio(const QString &nome)
{
    if (!Registro().Classe(QStringLiteral("T") + nome.trimmed()))
        return QString();
    const auto dm = CriarRelatorio(nome);
    const auto *rr = qobject_cast<const TnDMRelatorio *>(dm.get());
    return rr ? rr->Declaracao().Titulo : QString();
}
