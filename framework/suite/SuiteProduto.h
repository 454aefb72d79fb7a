#pragma once
// The suite package's product functions: the display mask of inventory numbers, the ICMS
// tax-situation codes and their lookup, and the product utility that finds, reads, inserts
// and alters products of one company with keyed statements.
#include "Conexao.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>
#include <vector>

// The end of the display format of an inventory number with `casasDecimais` decimals, to
// follow "#,###,###,###,#": "#0" and, with decimals, "." and that many zeros
// ("#0.00" for 2). Decimals are clamped to 0..10.
QString ConstruirMascaraInv(int casasDecimais = 2);

// The ICMS tax-situation codes in force before 1 January 2013, as three-digit texts: the
// origin (0 national, 1 foreign imported directly, 2 foreign bought in the country)
// followed by the taxation code (00, 10, 20, 30, 40, 41, 50, 51, 60, 70, 90), 33 codes, and
// the 10 codes of the operations of companies under the Simples Nacional (101, 102, 103,
// 201, 202, 203, 300, 400, 500, 900): 43 codes in all.
const QStringList &LstCSTValICMS();

// The ICMS codes in force on `data`: before 2013 LstCSTValICMS; from 2013 on the origins
// 0 to 8 with the same taxation codes, and the Simples Nacional codes. An invalid date (no
// inventory date chosen) gives the codes from 2013 on.
QStringList LstCSTICMS(const QDate &data);

// Tax kinds of SelecionarCstImposto.
constexpr int kImpostoICMS = 13;

// Lets the user pick a tax-situation code of the tax kind in force on `data` from a list
// (through the user-interaction interface). `filtro`, when not empty, keeps the codes
// that start with it. Answers the chosen code, or "" when none was chosen or the kind has
// no list.
QString SelecionarCstImposto(int tipoImposto, const QString &filtro, const QDate &data);

// The analytic groups (TIPOGRUPOPRODUTO 2) of the company's product-group chart under the
// groups that `grupos` lists (codes, ranges: the multi-value syntax of FilterInterval): a
// listed analytic group itself, and every analytic group whose classification continues a
// listed group's classification at a deeper level (levels are separated by "."). Codes in
// ascending order. Empty when there is none: a caller filtering by them must then select
// nothing, never everything. A list that is not valid raises EConvertError.
QStringList PegarGruposAnaliticos(int empresa, const QString &grupos);

// ---- The product-group chart (GRUPOPRODUTO) and its mask (CFGEMPRESAULMAR.MASCGRUPOPRODUTO)
// A classification ("1.01.001") and a chart mask ("9.99.999") are levels separated by ".".
// A level of a mask is a run of digit placeholders: "9", "0" or "#" each stand for one
// digit. A level of a classification is its number, written in digits.

// Longest mask (and classification) the chart keeps.
constexpr int kTamanhoMaximoMascaraPlano = 20;

// True when `mascara` has 1 to 20 characters and every level is one or more placeholders:
// no blank, letter or other sign, no empty level ("9..9", ".9", "9." are not masks).
bool ValidarMascaraPlanoContas(const QString &mascara);

// The parent level's classification, the text without its last level:
// "1.01.001" -> "1.01", "1" -> "", "" -> "".
QString RetirarUltimoNivelClassificacao(const QString &classificacao);

// The classification rewritten under the mask: the number of each level written with the
// digits of the mask's level at the same depth, zero-filled on the left. The classification
// keeps its own number of levels, so an upper-level group keeps its levels ("1.01" under
// "9.999.9999" is "1.001"); an empty classification stays empty.
// `cabe`, when given, tells whether the classification fits the mask. It does not when it
// has more levels than the mask, a level that is not a number ("", "A", " 1"), or a
// number with more significant digits than its mask level. What does not fit is written as
// it is (a level is never cut), so the caller can show it and refuse it.
QString FormatarClassificacao(const QString &mascara, const QString &classificacao, bool *cabe = nullptr);

// The number of a classification level without its leading zeros ("007" -> "7", "000"
// -> "0"), a view into `nivel`; empty when the level is not a number. Two levels hold the
// same number when these texts are equal, whatever the number of digits.
QStringView NumeroNivelClassificacao(QStringView nivel);

// True when the two classifications have as many levels and each level the same number
// ("1.01" and "1.001"); a level that is no number matches none; two empty classifications
// (no levels) match.
bool MesmosNumerosDeNivel(const QString &a, const QString &b);

// A product record: a value for each PRODUTO column, present or absent, kept by the
// column's position in Colunas(). Set by name (any case), or in bulk by positions looked up
// once (Posicao). A map of column names to values converts into it.
class TnRegistroProduto {
public:
    TnRegistroProduto();
    // Exception naming a key that is no column of PRODUTO.
    TnRegistroProduto(const QVariantMap &porNome); // NOLINT: a map is a record
    // The position of a column (any case); Exception when PRODUTO has none.
    static int Posicao(const QString &coluna);
    void Set(int posicao, const QVariant &valor);
    void Set(const QString &coluna, const QVariant &valor) { Set(Posicao(coluna), valor); }
    bool Tem(int posicao) const { return (FPresentes >> posicao) & 1u; }
    // The value of a present column; an invalid QVariant for an absent one.
    const QVariant &Valor(int posicao) const { return FValores.at(posicao); }
    // One bit per present column, by position.
    quint32 Presentes() const { return FPresentes; }

private:
    QVariantList FValores;
    quint32 FPresentes = 0;
};

// The product utility: one company's products, read and written on the current
// connection, inside the caller's transaction when one is open. Inserts and alterations are
// written at once: the utility keeps no pending work.
//
// Bulk use (an import finding thousands of products): Precarregar reads the references
// and codes of all the company's products once, and EncontrarProduto then answers from
// memory: a text that is nobody's costs no statement, a found product one keyed read. The
// products the utility inserts keep that memory in step; products written by others
// meanwhile are not seen, so preload at the start of a run and LimparDados at its end.
// Preloaded, references match in any letter case of the whole alphabet (accented letters
// too); without it, in the database's own case folding.
class TnUtilProduto {
public:
    TnUtilProduto();
    ~TnUtilProduto();
    TnUtilProduto(const TnUtilProduto &) = delete;
    TnUtilProduto &operator=(const TnUtilProduto &) = delete;

    // A change of company forgets the current product and the preloaded products.
    void SetCodigoEmpresa(int empresa);
    int CodigoEmpresa() const { return FEmpresa; }

    // Forgets the current product and the preloaded products.
    void LimparDados();
    // Reads the company's references and codes for bulk finding (see above), with room for
    // `novos` products the caller means to insert.
    void Precarregar(qsizetype novos = 0);
    bool Precarregado() const { return FCache != nullptr; }

    // A new product's record: the company, item type 0 (INDICADORTIPO), DNF and DACON "0",
    // today's date as DATAATUALIZACAO and the connected user as CODIGOUSUARIO; every other
    // column absent. What the record held before is dropped.
    void SetarValoresPadroesRecord(TnRegistroProduto &registro) const;

    // Finds the product whose reference (any case) is `texto` or, when none has, whose code
    // is `texto` read as a whole number: the reference wins over another product's code,
    // and a text that is no number never matches a code. Among products of the same
    // reference, the lowest code. The found product becomes current; false (and no current
    // product) when none is found.
    bool EncontrarProduto(const QString &texto);
    // Makes the product of that code current; false when the company has none.
    bool EncontrarCodigo(qint64 codigo);
    bool TemAtual() const { return FCodigoAtual >= 0; }

    // Inserts a product of the company from the record and makes it current. Without a
    // CODIGOPRODUTO the next free code is given. Blank texts are stored as NULL. Answers the
    // product's code. Columns not of PRODUTO raise Exception before anything is written.
    qint64 InserirProduto(const TnRegistroProduto &registro);
    qint64 InserirProduto(const QVariantMap &registro) { return InserirProduto(TnRegistroProduto(registro)); }
    // Changes the listed columns of the current product to the record's values (blank
    // texts and absent values as NULL); the key columns cannot be listed. Exception without
    // a current product.
    void AlterarProduto(const TnRegistroProduto &registro, const QStringList &colunas);
    void AlterarProduto(const QVariantMap &registro, const QStringList &colunas)
    {
        AlterarProduto(TnRegistroProduto(registro), colunas);
    }

    // The current product (null values when there is none). Found from the preloaded
    // products, its row is read when a column other than its key is first asked for.
    QVariant Valor(const QString &coluna) const;
    qint64 GetCodigoProduto() const { return TemAtual() ? FCodigoAtual : 0; }
    QString GetDescrProduto() const { return Valor(QStringLiteral("DESCRPRODUTO")).toString(); }
    QString GetCodigoCN() const { return Valor(QStringLiteral("CODIGONCM")).toString(); }
    QString GetUnidadeMedida() const { return Valor(QStringLiteral("UNIDADEMEDIDA")).toString(); }
    int GetIndicadorTipo() const { return Valor(QStringLiteral("INDICADORTIPO")).toInt(); }

    // The columns of PRODUTO, in table order.
    static const QStringList &Colunas();

private:
    struct Cache;
    struct Insert {
        quint32 Colunas;
        QString SQL;
    };
    const QString &SQLInsert(quint32 colunas);
    std::vector<Insert> FInserts; // the insert of each set of columns written
    bool Ler(const QString &sql, const QVariant &valor) const;
    void Esquecer() const;
    mutable qint64 FCodigoAtual = -1; // -1: no current product
    mutable QVariantList FAtual;      // by the position of Colunas(); empty: not read yet
    int FEmpresa = 0;
    std::unique_ptr<Cache> FCache;
};

// The shared product utility.
TnUtilProduto &ControleProduto();
