#pragma once
// The entry writer: stores an entry built by the import factory (ImpFabrica.h) with its
// property lines.
//
// - Only the members that are set are written; every other column takes its default (or
//   NULL). The statements are prepared once per set of written columns and reused, so a
//   run of a hundred thousand entries of the same shape prepares two statements.
// - Insert (substituir false): an entry whose key exists is refused by the database
//   (EDatabaseError, ErroBanco 1).
// - Replace (substituir true): the entry with that key, when there is one, is deleted first,
//   and its property and tax-situation lines with it (the schema's cascade), so no line of
//   the old entry remains under the new one.
// - The five key members of the entry must be set (Exception otherwise, before anything is
//   written); the key of each line is its entry's.
// - Inside an open transaction the entry and its lines join it (the caller commits or rolls
//   back the whole run); outside one, each entry is written in a transaction of its own.
//
// The prepared statements belong to the connection they were made on: Liberar them before
// that connection goes (a writer used with another connection frees the old ones itself).
#include <memory>

struct TLCTOINV;
class nDMConexao;

class TGravador {
public:
    TGravador();
    ~TGravador();
    TGravador(const TGravador &) = delete;
    TGravador &operator=(const TGravador &) = delete;

    // Writes `lcto` and its property lines on `con` (null: the current connection).
    void GravarLancamento(const TLCTOINV &lcto, bool substituir, nDMConexao *con = nullptr);
    // Frees the prepared statements.
    void Liberar();

private:
    struct Comandos;
    std::unique_ptr<Comandos> F;
};
