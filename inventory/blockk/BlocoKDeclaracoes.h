#pragma once
// The declarations the forty Bloco K modules (record 0210 and K200 to K302, a register and a
// consultation each) share, as one table: class, kind, table, key, selection keys, caption,
// paired module, form kind, whether the key may change, the menu action and the menu
// metadata. Each record's unit adds its columns and its rules; the classes are thin.
//
// The data set of every module is one statement: "Select " and the columns written
// t_t.COLUMN joined by commas, " from " the table " t_t ORDER BY " and the key columns
// written the same way (K290 to K302 write T_T. in the order).
#include "Acoes.h"
#include "DMClientDataSet.h"

#include <QString>
#include <vector>

struct TnDeclaracaoBlocoK {
    const char *Classe = "";      // "TOrvoDMSpedFis0210"
    int TipoObjeto = 1;           // 1 register, 2 consultation
    const char *Registro = "";    // "0210", "K200": the record
    const char *Tabela = "";
    const char *Chave = "";       // ';'-joined key (ChavePrimaria)
    const char *Selecao = "";     // ';'-joined selection keys (PegarVerificaSelecao)
    const char *Caption = "";     // the form's caption (UTF-8)
    const char *CadCons = "";     // the paired module, as the form names it
    TnTipoForm TipoForm = ntfCadPage;
    bool ChaveAlteravel = false;  // the key may change on an existing row
    bool InsercaoAutomatica = true;
    TnDefAcao Acao{};             // the menu action (module 3)
    TnDefMenu Menu{};             // the form's menu metadata (DefAdic.Menus)
};

// The forty modules, registers first, in record order.
const std::vector<TnDeclaracaoBlocoK> &DeclaracoesBlocoK();
// The row of `classe` (any case); Exception when the table has none.
const TnDeclaracaoBlocoK &DeclaracaoBlocoK(const QString &classe);

// The statement of the rows of a table: the data columns of `campos` in order, sorted by
// `chave` (see the top of this file).
QString SQLBlocoK(const char *tabela, const std::vector<TnDefCampo> &campos, const char *chave, bool ordemMaiuscula);

// The module's declaration from its row and its columns.
TnDefCadastro CadastroBlocoK(const TnDeclaracaoBlocoK &d, std::vector<TnDefCampo> campos);

// The menu action of the row of `classe.Nome`, when `modulos` holds module 3.
void GerarAcaoBlocoK(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                     const TnModulos &modulos);

// A Bloco K module class of `Base` (TnDMClientDataSet or the register base) whose class
// methods answer from the table's row of `Classe`: its selection keys, its kind and its
// menu action. The class adds only its columns and rules.
template <class Base, const char *Classe>
class TnModuloBlocoK : public Base {
public:
    explicit TnModuloBlocoK(const TnDefCadastro &declaracao) : Base(declaracao) {}
    static const TnDeclaracaoBlocoK &Linha() { return DeclaracaoBlocoK(QString::fromLatin1(Classe)); }
    static QString PegarVerificaSelecao() { return QString::fromLatin1(Linha().Selecao); }
    static int PegarTipoObjeto() { return Linha().TipoObjeto; }
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos)
    {
        GerarAcaoBlocoK(classe, lista, evento, modulos);
    }
    // The module's declaration from its row and `campos`, made once per class.
    static const TnDefCadastro &DeclaracaoDaClasse(std::vector<TnDefCampo> (*campos)())
    {
        static const TnDefCadastro kDeclaracao = CadastroBlocoK(Linha(), campos());
        return kDeclaracao;
    }
};
