#pragma once
// Field maps and parameter maps: plain structs whose members are bound by name to the
// fields of a dataset (members `TnField *`) or to the named parameters of a statement
// (members `TnParam`). A map lists its members once with ORVO_MAPA:
//
//   struct TMapLctoInv {
//       TnField *CODIGOPRODUTO = nullptr;
//       TnField *QTDEESTOQUE = nullptr;
//       ORVO_MAPA(CODIGOPRODUTO, QTDEESTOQUE)
//   };
//   auto &m = dataset.Mapa<TMapLctoInv>();   // or TnFieldMapper::MapearFields(dataset, mapa)
//   m.QTDEESTOQUE->SetAsFloat(2);
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <vector>

class TnClientDataSet;
class TnComando;
class TnField;

#define ORVO_PARENTESES ()
#define ORVO_EXPANDIR(...) ORVO_EXPANDIR4(ORVO_EXPANDIR4(ORVO_EXPANDIR4(ORVO_EXPANDIR4(__VA_ARGS__))))
#define ORVO_EXPANDIR4(...) ORVO_EXPANDIR3(ORVO_EXPANDIR3(ORVO_EXPANDIR3(ORVO_EXPANDIR3(__VA_ARGS__))))
#define ORVO_EXPANDIR3(...) ORVO_EXPANDIR2(ORVO_EXPANDIR2(ORVO_EXPANDIR2(ORVO_EXPANDIR2(__VA_ARGS__))))
#define ORVO_EXPANDIR2(...) ORVO_EXPANDIR1(ORVO_EXPANDIR1(ORVO_EXPANDIR1(ORVO_EXPANDIR1(__VA_ARGS__))))
#define ORVO_EXPANDIR1(...) __VA_ARGS__
#define ORVO_PARA_CADA(macro, ...) __VA_OPT__(ORVO_EXPANDIR(ORVO_PARA_CADA_AUX(macro, __VA_ARGS__)))
#define ORVO_PARA_CADA_AUX(macro, a, ...) macro(a) __VA_OPT__(ORVO_PARA_CADA_DENOVO ORVO_PARENTESES(macro, __VA_ARGS__))
#define ORVO_PARA_CADA_DENOVO() ORVO_PARA_CADA_AUX
#define ORVO_MAPA_ITEM(m) f_(QStringLiteral(#m), m);

// Lists the members of a map by name, in a member function template that the mapper calls.
#define ORVO_MAPA(...)                                                                        \
    template <class F_> void ParaCadaMembro(F_ &&f_) { ORVO_PARA_CADA(ORVO_MAPA_ITEM, __VA_ARGS__) }

// A named parameter of a prepared statement, bound by MapearParams. A value set goes to
// every place where the name stands in the statement.
class TnParam {
public:
    const QString &Nome() const { return FNome; }
    int Indice() const { return FIndices.empty() ? -1 : FIndices.front(); } // first place
    void Clear();
    void SetValue(const QVariant &v);
    void SetAsInteger(qint64 v);
    void SetAsFloat(double v);
    void SetAsString(const QString &v);
    void SetAsDate(const QDate &v);
    void SetAsDateTime(const QDateTime &v);

private:
    friend class TnFieldMapper;
    template <class F> void ParaCadaPosicao(F &&f) const;
    TnComando *FComando = nullptr;
    std::vector<int> FIndices;
    QString FNome;
};

class TnFieldMapper {
public:
    // Points every member at the dataset's field of the same name; a missing field is an
    // error naming it.
    template <class M> static void MapearFields(TnClientDataSet &ds, M &mapa)
    {
        mapa.ParaCadaMembro([&ds](const QString &nome, TnField *&membro) { membro = &Campo(ds, nome); });
    }
    // Binds every member to the statement's parameter of the same name (":NAME" in its
    // text); a missing parameter is an error naming it.
    template <class M> static void MapearParams(TnComando &comando, M &mapa)
    {
        mapa.ParaCadaMembro([&comando](const QString &nome, TnParam &membro) { Vincular(comando, nome, membro); });
    }

private:
    static TnField &Campo(TnClientDataSet &ds, const QString &nome);
    static void Vincular(TnComando &comando, const QString &nome, TnParam &p);
};
