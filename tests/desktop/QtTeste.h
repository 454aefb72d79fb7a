#pragma once
// Helpers for the widget cases (offscreen platform): answering modal windows and saving
// screenshots under the build folder.
#include <QString>
#include <QWidget>
#include <functional>

class TnPainelCadastro;

namespace teste {
// Runs `acao` on the next modal window that opens (polled from the event loop, given up
// after 5 s). Call it before the code that opens the window.
void QuandoModal(const std::function<void(QWidget *)> &acao);
// The same for the next popup (a context menu).
void QuandoPopup(const std::function<void(QWidget *)> &acao);
// Clicks the button captioned `texto` inside `janela`; false when there is none.
bool Clicar(QWidget *janela, const QString &texto);
// Types `texto` into a line as the user does (key presses), replacing what it held; the
// text is not taken until the focus leaves or a button takes it.
void Digitar(QWidget *linha, const QString &texto);
// Types `texto` into the control `nome` of a register page and leaves it, as the user does
// with Tab.
void Digitar(TnPainelCadastro *painel, const QString &nome, const QString &texto);
// Saves the widget's picture as capturas/<nome>.png under the build folder; answers the path.
QString Capturar(QWidget *w, const QString &nome);
} // namespace teste
