#pragma once
// The lookup result columns of a dataset's code fields (Definicao::ResultadoLookup): the
// columns of the lookup register (ClasseLookup) on the row whose key the code names,
// shown read-only beside the code by the register page and the grid.
//
// Each field reads them with one prepared keyed statement over the lookup register's own
// statement ("select R1, R2 from (...) where K1 = ? and K2 = ?", the link fields'
// values bound), once per distinct code: what it read is kept (a small cache per field)
// until Limpar, which the register calls whenever it reads its rows again. A code that
// is empty or not a whole number, or that the register lacks, shows empty texts without
// asking the database nor raising. A lookup class that is not a register, or that lacks a
// result column, shows nothing.
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <unordered_map>

class TnClientDataSet;
class TnField;

class TnResultadosLookup {
public:
    explicit TnResultadosLookup(TnClientDataSet &ds);
    ~TnResultadosLookup();
    // Answers the fields' result hooks (TnField::OnResultadosLookup and captions).
    void Ligar();
    // Forgets the rows read (and the statements, should a declaration have changed).
    void Limpar();
    // Statements run so far (each a read of one code).
    qint64 Leituras() const { return FLeituras; }

    QStringList Captions(const TnField &f);
    QStringList Textos(const TnField &f);

private:
    struct Leitor;
    Leitor &LeitorDe(const TnField &f);

    TnClientDataSet &FDataSet;
    std::unordered_map<const TnField *, std::unique_ptr<Leitor>> FLeitores;
    qint64 FLeituras = 0;
};
