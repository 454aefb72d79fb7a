#pragma once
// What the SINCO file writers share: their messages and parameters, the reading of the
// period, the choice between product and reference codes, and the building of a
// fixed-width line.
//
// A line has fixed widths whatever the data: a value that does not fit its field (a
// negative number, too many digits, a code longer than its field, a character ISO-8859-1
// cannot hold, a reference-code product without reference) is an error naming the product,
// and no file is written; nothing is cut silently except where the layout says so (unit and
// description).
#include "Conexao.h"
#include "PowerParam.h"

#include <QDate>
#include <QString>
#include <QVariantList>
#include <functional>

inline constexpr char OrvoSDatasInvalidasObrigatorias[] =
    "Informe as datas inicial e final do período (dd/mm/aaaa).";
inline constexpr char OrvoSProblemaIntervaloEntreDatas[] = "A data inicial do período é posterior à data final.";
inline constexpr char OrvoSEmpresaSemInformacaoParaArq[] =
    "A empresa não tem informações para gerar o arquivo no período escolhido. Nenhum arquivo foi gravado.";

// The parameters both processes declare alike.
TnDefParam ParamDataSINCO(const char *alias, const char *caption, bool requerido);
TnDefParam ParamCodigoSINCO(const char *alias, const char *caption);
TnDefParam ParamArquivoSINCO();

// The period of pDataMovIni and pDataMovFim: EnParam on pDataMovIni with
// OrvoSDatasInvalidasObrigatorias when either is not a date, with
// OrvoSProblemaIntervaloEntreDatas when the start is after the end.
void LerPeriodoSINCO(const TnDMPowerParam &dp, QDate &inicio, QDate &fim);

// The company's products are written by their reference (REFERENPRODUTO): the code
// parameter asks for it ("2") and the company identifies products by reference
// (CFGEMPRESAULMAR.USAREFERENCIAPROD "1"; no setting: no).
bool UsaReferenciaSINCO(int empresa, const TnpqParamItem &tipoCodigo);

// The count of the first column of `sql` with `valores` bound.
qint64 ContarSINCO(const QString &sql, const QVariantList &valores);

// Writes the file of pArqDestinoSINCOMovimento (".txt" when its name has none): one line per
// row of `sql` with `valores` bound, built by `linha`, with the progress "Gerando... " over
// `total` rows; then the notice "Operação concluída!". A failure leaves no file.
void GravarArquivoSINCO(TnDMPowerParam &dp, const QString &sql, const QVariantList &valores, qint64 total,
                        const std::function<QString(TnCursor &)> &linha);

// The SINCO form of a number: rounded as RoundValor to `decimais`, written as `inteiros` +
// `decimais` digits, zero-filled, without a decimal mark (12.5 with 14 and 3 gives
// "00000000000012500"). False when it is negative or needs more integer digits.
bool FormatarValorSINCO(double valor, int decimais, int inteiros, QString &digitos);

// One line of a SINCO file, for product `produto` (named by the errors).
class TnLinhaSINCO {
public:
    explicit TnLinhaSINCO(qint64 produto, int tamanho);
    // ddmmyyyy; a missing date is day zero of the date type, 30/12/1899.
    TnLinhaSINCO &Data(const QDate &d);
    // `texto` left-aligned in `largura` characters, blanks on the right. Longer: cut when
    // `cortar`, else an error; `oque` names the field in the errors.
    TnLinhaSINCO &Texto(const QString &texto, int largura, const char *oque, bool cortar = false);
    // FormatarValorSINCO, or an error naming the field and the value.
    TnLinhaSINCO &Numero(double valor, int decimais, int inteiros, const char *oque);
    // The product's code: CODIGOPRODUTO, or its reference when `referencia` (an error when it
    // has none); 20 characters.
    TnLinhaSINCO &Codigo(bool referencia, const QString &referenciaProduto);
    const QString &Linha() const { return FLinha; }

private:
    [[noreturn]] void Falhar(const QString &motivo) const;
    qint64 FProduto;
    QString FLinha;
    QString FDigitos;
};
