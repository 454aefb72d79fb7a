#include "Planilha.h"

#include "EsquemaTabelas.h"
#include "Excecoes.h"
#include "Literais.h"
#include "SQLDataSet.h"
#include "TextoProprio.h"
#include "Variaveis.h"

TnResultadoFormula::TnResultadoFormula(QVariantList argumentos, QObject *dono)
    : FArgumentos(std::move(argumentos)), FDono(dono)
{
}

QVariant TnResultadoFormula::ExtractNumericParameter(int indice) const
{
    return indice >= 0 && indice < FArgumentos.size() ? FArgumentos.at(indice) : QVariant();
}

void TnResultadoFormula::AddValue(const QVariant &valor)
{
    FValor = valor;
    FErro = 0;
}

void TnResultadoFormula::SetError(int codigo)
{
    FErro = codigo;
    FValor = QVariant();
}

// ---------------------------------------------------------------------------------------

void TnRepositorioFuncoesFormula::Add(const QString &nome, TnAvaliarFuncaoFormula avaliar,
                                      TnInfoParamFormula infoParam, int tipoResultado, int token, int tipoFuncao)
{
    if (nome.trimmed().isEmpty() || !avaliar)
        throw Exception(QStringLiteral("Função de fórmula sem nome ou sem avaliação."));
    // The name outlives the library that passed it.
    TnFuncaoFormula f{TextoProprio(nome), avaliar, infoParam, tipoResultado, token, tipoFuncao};
    for (TnFuncaoFormula &existente : FFuncoes)
        if (existente.Nome.compare(nome, Qt::CaseInsensitive) == 0) {
            existente = std::move(f);
            return;
        }
    FFuncoes.push_back(std::move(f));
}

void TnRepositorioFuncoesFormula::Remover(const QString &nome)
{
    std::erase_if(FFuncoes, [&](const TnFuncaoFormula &f) { return f.Nome.compare(nome, Qt::CaseInsensitive) == 0; });
}

const TnFuncaoFormula *TnRepositorioFuncoesFormula::Funcao(const QString &nome) const
{
    for (const TnFuncaoFormula &f : FFuncoes)
        if (f.Nome.compare(nome, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

QStringList TnRepositorioFuncoesFormula::Nomes() const
{
    QStringList r;
    for (const TnFuncaoFormula &f : FFuncoes)
        r << f.Nome;
    return r;
}

TnRepositorioFuncoesFormula &RepositorioFuncoesFormula()
{
    static TnRepositorioFuncoesFormula repositorio;
    return repositorio;
}

// ---------------------------------------------------------------------------------------

namespace {

[[noreturn]] void ChamadaInvalida(const QString &chamada)
{
    throw Exception(QStringLiteral("Fórmula inválida: %1").arg(chamada));
}

// Reads one literal argument from position i (blanks skipped) and leaves i after it.
QVariant LerArgumento(const QString &s, qsizetype &i, const QString &chamada)
{
    while (i < s.size() && s[i].isSpace())
        ++i;
    if (i < s.size() && s[i] == u'"') {
        QString texto;
        for (++i;; ++i) {
            if (i >= s.size())
                ChamadaInvalida(chamada);
            if (s[i] == u'"') {
                if (i + 1 < s.size() && s[i + 1] == u'"') {
                    texto += u'"';
                    ++i;
                    continue;
                }
                ++i;
                return texto;
            }
            texto += s[i];
        }
    }
    const qsizetype inicio = i;
    while (i < s.size() && s[i] != u';' && s[i] != u')')
        ++i;
    bool ok = false;
    const double v = s.mid(inicio, i - inicio).trimmed().toDouble(&ok); // locale-free
    if (!ok)
        ChamadaInvalida(chamada);
    return v;
}

} // namespace

TnResultadoFormula AvaliarFormula(const QString &chamada, QObject *dono)
{
    QString s = chamada.trimmed();
    if (s.startsWith(u'='))
        s.remove(0, 1);
    const qsizetype abre = s.indexOf(u'(');
    if (abre <= 0 || !s.endsWith(u')'))
        ChamadaInvalida(chamada);
    const QString nome = s.left(abre).trimmed();
    const TnFuncaoFormula *f = RepositorioFuncoesFormula().Funcao(nome);
    if (!f)
        throw Exception(QStringLiteral("Função desconhecida na fórmula: %1").arg(nome));

    QVariantList argumentos;
    qsizetype i = abre + 1;
    if (s.mid(i, s.size() - 1 - i).trimmed().isEmpty()) {
        i = s.size() - 1;
    } else {
        for (;;) {
            argumentos << LerArgumento(s, i, chamada);
            while (i < s.size() && s[i].isSpace())
                ++i;
            if (i >= s.size())
                ChamadaInvalida(chamada);
            if (s[i] == u')')
                break;
            if (s[i] != u';')
                ChamadaInvalida(chamada);
            ++i;
        }
    }
    if (i != s.size() - 1)
        ChamadaInvalida(chamada);

    int quantidade = 0;
    QList<int> tipos;
    if (f->InfoParam)
        f->InfoParam(quantidade, tipos);
    if (argumentos.size() > quantidade)
        throw Exception(QStringLiteral("A função %1 aceita no máximo %2 argumento(s).").arg(f->Nome).arg(quantidade));
    for (int k = int(argumentos.size()); k < quantidade && k < tipos.size(); ++k)
        if (tipos.at(k) != ParamFormulaValorOpcional)
            throw Exception(QStringLiteral("Faltam argumentos na chamada da função %1.").arg(f->Nome));

    TnResultadoFormula resultado(argumentos, dono);
    f->Avaliar(resultado, f->Token);
    return resultado;
}

// ---------------------------------------------------------------------------------------

void TnDMPlanilha::EmpresaFuncao(TnResultadoFormula &resultado, int)
{
    QString campo = resultado.ExtractNumericParameter(0).toString().trimmed();
    if (campo.isEmpty())
        campo = QStringLiteral("NOMEEMPRESA");
    const TnTabelaEsq *empresa = TabelaDoEsquema(EsquemaInv(), QStringLiteral("EMPRESA"));
    if (!empresa || !empresa->Coluna(campo))
        throw Exception(QStringLiteral("A empresa não tem o dado \"%1\".").arg(campo));
    const QVariant v = nDMSQLDataSet::PegarValorCampo(
        QStringLiteral("EMPRESA"), empresa->Coluna(campo)->Nome,
        FiltroIgual(QStringLiteral("CODIGOEMPRESA"), EmpresaAtiva(), false, ftInteger));
    resultado.AddValue(v.isNull() ? QVariant(QString()) : v);
}

void TnDMPlanilha::PaginaFuncao(TnResultadoFormula &resultado, int)
{
    resultado.AddValue(FPagina > 0 ? FPagina : 1);
}
