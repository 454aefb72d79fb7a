#pragma once
// The suite's synchronisation import (SYN): a process base that brings records of the SYN
// system into the module's tables, each keeping its SYN identifier. A module binds it to its
// data groups and its menu by deriving from TnSynDPImportacaoBase.
//
// Where the records come from: one text file per data group and company in the SYN folder,
// the key Pasta of the section [SYN] of the program's settings file (TnConfigPrograma;
// default: the folder "syn" beside the user's preferences), named "<GROUP>_<company>.txt"
// ("LCTOINV_1.txt"). UTF-8, one record per line, fields separated by ";"; blank lines and
// lines starting with "#" are skipped.
//
// The inventory data group, LCTOINV: IDSYN;CODIGOESTAB;DATAINVENT;PRODUTO;MOTIVOINVENTARIO;
// QTDEESTOQUE;PRECOUNIT
//   - IDSYN: the record's identifier in the SYN system, a whole number from 1 to 999999999;
//   - DATAINVENT: dd/mm/yyyy or yyyy-mm-dd;
//   - PRODUTO: the product's reference or code in the company (TnUtilProduto);
//   - MOTIVOINVENTARIO: 1 to 6; QTDEESTOQUE and PRECOUNIT above zero, "10,5" or "10.5".
// Each record becomes the entry of its key (company, branch, date, product, reason): a new
// entry is inserted (origin 3, "Importado", stamped with the connected user and the time),
// an entry the SYN import wrote before takes the record's quantity, cost and IDSYN, and is
// left untouched when they are the same (a second import of the same records changes
// nothing). A record is refused, with a line naming it and why, when a field does not read,
// its branch or product is unknown to the company, or its key belongs to an entry that did
// not come from SYN (typed or written by another process): those are never overwritten.
// The records that can be imported are written in one transaction, all or nothing; a
// failure of the database rolls the whole import back and is raised.
//
// What the form shows (status panels 0 to 2): the last import's time, the records imported
// (inserted or changed) and the records refused.
#include "Acoes.h"
#include "PowerParam.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>

class TnUtilProduto;

class TnSynDPImportacaoBase : public TnDMPowerParam {
public:
    // The data group of the inventory entries.
    static constexpr char kGrupoInventario[] = "LCTOINV";
    // How a record of that group is written, bound in order: company, branch, date,
    // product, reason, quantity, cost, time stamp, user, IDSYN. The entry of the record's key
    // is inserted, or changed when the SYN import wrote it before and a value differs; an
    // entry that did not come from SYN is left alone (no row changed).
    static constexpr char kUpsertInventario[] =
        "insert into LCTOINV (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO, QTDEESTOQUE, "
        "PRECOUNIT, DATAHORALCTOINV, CODIGOUSUARIO, ORIGEMDADO, IDSYN) values (?, ?, ?, ?, ?, ?, ?, ?, ?, 3, ?) "
        "on conflict (CODIGOEMPRESA, CODIGOESTAB, DATAINVENT, CODIGOPRODUTO, MOTIVOINVENTARIO) do update set "
        "QTDEESTOQUE = excluded.QTDEESTOQUE, PRECOUNIT = excluded.PRECOUNIT, IDSYN = excluded.IDSYN, "
        "DATAHORALCTOINV = excluded.DATAHORALCTOINV, CODIGOUSUARIO = excluded.CODIGOUSUARIO "
        "where LCTOINV.IDSYN is not null and (LCTOINV.QTDEESTOQUE <> excluded.QTDEESTOQUE "
        "or LCTOINV.PRECOUNIT <> excluded.PRECOUNIT or LCTOINV.IDSYN <> excluded.IDSYN)";

    TnSynDPImportacaoBase();

    // Creates the class's action ("Importação SYN") when the set holds the module the
    // program works as (PegarModuloAtual) and answers it; nullptr when none was created.
    static TnAction *GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                      const TnModulos &modulos);
    static QString PegarVerificaSelecao() { return QStringLiteral("CodigoEmpresa"); }

    // Imports the chosen data groups (nothing when none is chosen).
    void Executar() override;
    // Imports the chosen data groups again, at once, with a fresh report.
    void Reimportar();
    // Chooses the inventory data group.
    void ConfigurarGruposDeDadosInventario();
    const QStringList &GruposDeDados() const { return FGrupos; }
    // Sizes the form's status panels that show the import's state.
    void ConfigurarWidgets();
    // Shows the import's state on the form (when there is one).
    void AtualizarWidgets();
    // Creation hook: the base starts with nothing imported.
    virtual void DataModuleCreate();
    void AposCriar() override;

    // List each refused record in the report (otherwise only their count).
    void SetListarRecusados(bool listar) { FListarRecusados = listar; }
    bool ListarRecusados() const { return FListarRecusados; }

    // The state of the last import.
    const QDateTime &UltimaImportacao() const { return FUltima; }
    int Importados() const { return FImportados; }
    int SemAlteracao() const { return FSemAlteracao; }
    int Recusados() const { return FRecusados; }
    // The texts of the status panels 0, 1 and 2.
    QStringList TextosWidgets() const;

    // The folder of the SYN files and the file of a group of a company.
    static QString Pasta();
    static QString Arquivo(const QString &grupo, int empresa);

private:
    void Importar();
    void ImportarInventario(int empresa);
    void Gravar(const QString &texto, int empresa, const QSet<qint64> &estabs, TnUtilProduto &produtos);
    void Recusar(int linha, const QString &idSyn, const QString &motivo);

    QStringList FGrupos;
    bool FListarRecusados = false;
    QDateTime FUltima;
    int FImportados = 0, FSemAlteracao = 0, FRecusados = 0;
};
