#include "nOPlanilha_U.h"

#include "Excecoes.h"
#include "Valores.h"

#include <QDateTime>
#include <cfenv>
#include <cmath>

namespace {

// The names, as the library's string table holds them.
const char *const OrvoSGerEmp = "gerEMP";
const char *const OrvoSGerPag = "gerPAG";
const char *const OrvoSFormatarDataHora = "FORMATARDATAHORA";
const char *const OrvoSFmtNum = "FMTNUM";
const char *const OrvoSRept = "REPT";

// A text no longer than this is what a cell can hold; REPT refuses more rather than
// exhausting the memory on a huge count.
constexpr qint64 kMaximoTexto = 32767;

// Days of the date type: 0 is 30/12/1899, the fraction the time of day; the range of the
// type is 01/01/0001 to 31/12/9999.
constexpr double kMenorData = -693593.0;
constexpr double kMaiorData = 2958466.0;

QString ComoTexto(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::Double) {
        QString t = NumeroParaTexto(v.toDouble());
        t.replace(u'.', u',');
        return t;
    }
    return v.toString();
}

// A number, or a text that reads as one; anything else raises EConvertError.
double ComoReal(const QVariant &v)
{
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::QString)
        return StrToFloatBR(v.toString());
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw EConvertError(QStringLiteral("\"%1\" não é um número válido.").arg(v.toString()));
    return d;
}

QDateTime DataHoraDoReal(double v)
{
    if (!(v >= kMenorData && v < kMaiorData))
        throw EConvertError(QStringLiteral("%1 não é uma data válida.").arg(NumeroParaTexto(v)));
    const double dias = std::trunc(v);
    qint64 ms = std::llround(std::fabs(v - dias) * 86400000.0);
    qint64 d = qint64(dias);
    if (ms >= 86400000) { // the fraction rounded up to the next day
        ms -= 86400000;
        d += dias < 0 ? -1 : 1;
    }
    return QDateTime(QDate(1899, 12, 30).addDays(d), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

// "9" is a digit of the mask written as "#", except inside quoted literal text.
QString MascaraComNoves(const QString &mascara)
{
    QString r = mascara;
    QChar aspas;
    for (QChar &c : r) {
        if (!aspas.isNull()) {
            if (c == aspas)
                aspas = QChar();
        } else if (c == u'\'' || c == u'"') {
            aspas = c;
        } else if (c == u'9') {
            c = u'#';
        }
    }
    return r;
}

// Rounds halves to the even neighbour.
double ArredondarPar(double v)
{
    const int modo = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(modo);
    return r;
}

} // namespace

QVariant ExtrairParametro(const TnResultadoFormula &resultado, int indice)
{
    return resultado.ExtractNumericParameter(indice);
}

TnDMPlanilha *PegarDM(const TnResultadoFormula &resultado)
{
    QObject *dono = resultado.Dono();
    if (!dono)
        return nullptr;
    try {
        auto *dm = qobject_cast<TnDMPlanilha *>(dono);
        if (!dm)
            throw Exception(QStringLiteral("Conversão inválida de %1 para TnDMPlanilha.")
                                .arg(QString::fromLatin1(dono->metaObject()->className())));
        return dm;
    } catch (Exception &e) {
        e.SetMessage(e.Message() + QStringLiteral(" PegarDM"));
        throw;
    }
}

void GerEmpFuncao(TnResultadoFormula &resultado, int token)
{
    try {
        if (TnDMPlanilha *dm = PegarDM(resultado))
            dm->EmpresaFuncao(resultado, token);
        else
            resultado.AddValue(QStringLiteral("Emp(") + ComoTexto(ExtrairParametro(resultado, 0)) + u')');
    } catch (...) {
        resultado.SetError(ErroFormulaValor);
    }
}

void GerPagFuncao(TnResultadoFormula &resultado, int token)
{
    try {
        if (TnDMPlanilha *dm = PegarDM(resultado))
            dm->PaginaFuncao(resultado, token);
        else
            resultado.AddValue(QStringLiteral("Pag()"));
    } catch (...) {
        resultado.SetError(ErroFormulaValor);
    }
}

void FormatarDataHoraFuncao(TnResultadoFormula &resultado, int)
{
    try {
        QString formato = resultado.GetParamsCount() >= 2 ? ComoTexto(ExtrairParametro(resultado, 1)) : QString();
        if (formato.isEmpty())
            formato = QStringLiteral("dd/mm/yyyy hh:nn:ss");
        const QDateTime v = DataHoraDoReal(ComoReal(ExtrairParametro(resultado, 0)));
        resultado.AddValue(FormatDateTime(formato, v));
    } catch (...) {
        resultado.SetError(ErroFormulaValor);
    }
}

void FmtNumFuncao(TnResultadoFormula &resultado, int)
{
    try {
        const QString mascara =
            resultado.GetParamsCount() >= 2 ? ComoTexto(ExtrairParametro(resultado, 1)) : QString();
        const double v = ComoReal(ExtrairParametro(resultado, 0));
        resultado.AddValue(FormatFloat(MascaraComNoves(mascara), v));
    } catch (...) {
        resultado.SetError(ErroFormulaValor);
    }
}

void ReptFuncao(TnResultadoFormula &resultado, int)
{
    try {
        const double vezes =
            resultado.GetParamsCount() >= 2 ? ArredondarPar(ComoReal(ExtrairParametro(resultado, 1))) : 0;
        const QString texto = ComoTexto(ExtrairParametro(resultado, 0));
        if (vezes <= 0 || texto.isEmpty()) {
            resultado.AddValue(QString());
            return;
        }
        if (vezes * double(texto.size()) > double(kMaximoTexto))
            throw Exception(QStringLiteral("Texto repetido longo demais."));
        resultado.AddValue(texto.repeated(qsizetype(vezes)));
    } catch (...) {
        resultado.SetError(ErroFormulaValor);
    }
}

void InfoParamDoisOpcionais(int &quantidade, QList<int> &tipos)
{
    quantidade = 2;
    tipos = {ParamFormulaValorOpcional, ParamFormulaValorOpcional};
}

void InfoParamSemParametros(int &quantidade, QList<int> &tipos)
{
    quantidade = 0;
    tipos.clear();
}

void RegistrarFuncoesPlanilha()
{
    TnRepositorioFuncoesFormula &r = RepositorioFuncoesFormula();
    const auto nome = [](const char *s) { return QString::fromLatin1(s); };
    r.Add(nome(OrvoSGerEmp), &GerEmpFuncao, &InfoParamDoisOpcionais, 0, 2054, 0);
    r.Add(nome(OrvoSGerPag), &GerPagFuncao, &InfoParamSemParametros, 0, 2059, 0);
    r.Add(nome(OrvoSFormatarDataHora), &FormatarDataHoraFuncao, &InfoParamDoisOpcionais, 0, 2060, 0);
    r.Add(nome(OrvoSFmtNum), &FmtNumFuncao, &InfoParamDoisOpcionais, 0, 2075, 0);
    r.Add(nome(OrvoSRept), &ReptFuncao, &InfoParamDoisOpcionais, 0, 2061, 0);
}

void RemoverFuncoesPlanilha()
{
    TnRepositorioFuncoesFormula &r = RepositorioFuncoesFormula();
    for (const char *n : {OrvoSGerEmp, OrvoSGerPag, OrvoSFormatarDataHora, OrvoSFmtNum, OrvoSRept})
        r.Remover(QString::fromLatin1(n));
}

namespace {

// The functions are in the repository exactly while the library is loaded: a formula
// calculated after it unloads finds no function rather than code that is gone.
struct TnFuncoesPlanilhaCarregadas {
    TnFuncoesPlanilhaCarregadas()
    {
        try {
            RegistrarFuncoesPlanilha();
        } catch (...) { // nothing may escape a library's start-up
        }
    }
    ~TnFuncoesPlanilhaCarregadas() { RemoverFuncoesPlanilha(); }
};

const TnFuncoesPlanilhaCarregadas gFuncoesPlanilha;

} // namespace
