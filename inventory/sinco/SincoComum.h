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
#include "Arquivo.h"
#include "Conexao.h"
#include "PowerParam.h"

#include <QDate>
#include <QString>
#include <QVariantList>
#include <functional>
#include <limits>

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

class TnLinhaSINCO;

// Writes the file of pArqDestinoSINCOMovimento (".txt" when its name has none): one line per
// row of `sql` with `valores` bound, written by `linha` (TnLinhaSINCO::Iniciar, the fields,
// Concluir), with the progress "Gerando... " over `total` rows; then the notice "Operação
// concluída!". A failure leaves no file.
void GravarArquivoSINCO(TnDMPowerParam &dp, const QString &sql, const QVariantList &valores, qint64 total,
                        const std::function<void(TnCursor &, TnLinhaSINCO &)> &linha);

// One line of a SINCO file at a time, written in ISO-8859-1 straight into the file's buffer;
// the errors name the line's product. Texts arrive as the database's UTF-8 bytes and are
// converted as they are copied; the rare text that needs more (a character ISO-8859-1 cannot
// hold, a value too long) takes the checks with the message that names it. The last date
// written is kept formatted: rows of one date format it once.
class TnLinhaSINCO {
public:
    explicit TnLinhaSINCO(TnLinhasArquivo &linhas) : FLinhas(linhas) {}
    // Starts the line of product `produto`, at most `maximo` bytes long.
    void Iniciar(qint64 produto, int maximo);
    // ddmmyyyy; a missing date is day zero of the date type, 30/12/1899.
    TnLinhaSINCO &Data(const QDate &d);
    // `utf8` left-aligned in `largura` characters, blanks on the right. Longer: cut when
    // `cortar`, else an error; `oque` names the field in the errors.
    TnLinhaSINCO &Texto(QByteArrayView utf8, int largura, const char *oque, bool cortar = false);
    // The SINCO form of `valor` (FormatarValorSINCO), or an error naming the field and value.
    TnLinhaSINCO &Numero(double valor, int decimais, int inteiros, const char *oque);
    // The same for the exact product a × b (nDecimal::Produto), never the product of the two
    // doubles: 29.7 × 186.05 at 2 decimals is 5525.69.
    TnLinhaSINCO &Produto(double a, double b, int decimais, int inteiros, const char *oque);
    // The product's code: CODIGOPRODUTO, or its reference when `referencia` (an error when it
    // has none); 20 characters.
    TnLinhaSINCO &Codigo(bool referencia, QByteArrayView referenciaUtf8);
    // Ends the line with CR LF.
    void Concluir();

private:
    [[noreturn]] void Falhar(const QString &motivo) const;
    void TextoConvertido(const QString &texto, int largura, const char *oque, bool cortar);
    [[noreturn]] void ForaDoCampo(const char *oque, double valor, int inteiros) const;
    TnLinhasArquivo &FLinhas;
    char *FInicio = nullptr;
    char *FP = nullptr;
    char *FFim = nullptr;
    qint64 FProduto = 0;
    qint64 FDia = std::numeric_limits<qint64>::min();
    char FData[8] = {};
};

// The SINCO form of a number: rounded as RoundValor to `decimais`, written as `inteiros` +
// `decimais` digits, zero-filled, without a decimal mark (12.5 with 14 and 3 gives
// "00000000000012500") into `digitos`. False, writing nothing, when it is negative or needs
// more integer digits.
bool FormatarValorSINCO(double valor, int decimais, int inteiros, char *digitos);
