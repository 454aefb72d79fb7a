#pragma once
// Who registered a row and when, for the status bar of a register's form.
#include "Campo.h"
#include "Formulario.h"

#include <QString>

// Shows in panel 1 of `form`'s status bar who registered the current row and when:
// "Cadastrado por ADMINISTRADOR em 09/12/2026 07:31" (a date field: without the time). The
// user's name is read from USUARIO by `campoUsuario`'s code (the code itself when the table
// has no such user) and kept per code for the connection. A row without user or date shows
// an empty text; without a form nothing is done.
void FormatarNomeDataCadastro(const TnField &campoUsuario, const TnField &campoDataHora, TnFormModulo *form);

// The name of the user `codigo` in USUARIO of the current connection; empty when there is
// no connection or no such user. Kept per code once found.
QString NomeDoUsuario(int codigo);
