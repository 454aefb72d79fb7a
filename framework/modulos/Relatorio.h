#pragma once
// Reports: the rows of a dataset shown as pages to print or save as PDF.
//
// A module declares the layout as data (TnDefRelatorio: title, columns with their captions,
// formats and widths, totals, groups) and MontarRelatorio turns the dataset's rows into the
// report's lines, without widgets: every text is formatted here, every total summed here,
// exactly at the column's decimals. The desktop draws those lines on pages (QtRelatorio.h).
//
// Two kinds of module offer reports:
// - a process leaves its result for the report (TnDMPowerParam::DadosRelatorio, with its
//   layout in DefRelatorio; without one, the dataset's visible fields);
// - a register lists report modules by name in its declaration (TnDefCadastro::Relatorios,
//   "OrvoRRRelacao"): each is a class registered as "T" + that name, derived from
//   TnDMRelatorio, which reads its rows for the register (GerarRelatorioCadastro).
#include "ClientDataSet.h"
#include "Modulos.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class TnDMClientDataSet;

// What closes a column at the end of each group and of the report.
enum TnTotalRelatorio {
    ntrNenhum, // nothing
    ntrSoma,   // the sum of the column's values
    ntrCampo   // the value of CampoTotal on the group's rows (a total the module computed);
               // the report's total is the sum of the groups'
};

struct TnColunaRelatorio {
    QString Campo{};          // field of the dataset
    QString Caption{};        // empty: the field's DisplayLabel
    // Mask of a number (FormatFloat) or of a date (FormatDateTime); empty: the field's
    // DisplayText (its own display format, value list or text).
    QString Formato{};
    int Largura = 10;         // share of the line, in characters of the body font
    TnTotalRelatorio Total = ntrNenhum;
    QString CampoTotal{};     // the field of ntrCampo
};

// How one row is set.
struct TnEstiloLinhaRelatorio {
    int Recuo = 0;            // indent of the first column, in levels
    bool Negrito = false;
    QString FormatoNumeros{}; // mask of the row's numbers (and of its group's totals)
                              // instead of the columns' masks; empty: theirs
};

struct TnDefRelatorio {
    QString Titulo{};
    std::vector<TnColunaRelatorio> Colunas{};
    // ';'-joined fields that group the rows (the dataset comes in that order): a line
    // opens each group and its totals close it.
    QString Quebra{};
    // The line opening a group; empty: "Caption: text" of each grouping field, joined by
    // " - ".
    std::function<QString(const TnClientDataSet &)> TituloQuebra{};
    QString CaptionTotal = QStringLiteral("Total");             // of each group
    QString CaptionTotalGeral = QStringLiteral("Total Geral");  // of the report
    bool TotalGeral = true;   // the report closes with the sum of every row (or group)
    std::function<TnEstiloLinhaRelatorio(const TnClientDataSet &)> Estilo{};
};

// The report as lines, ready to be drawn.
struct TnColunaMontada {
    QString Caption{};
    int Largura = 10;
    bool Direita = false; // numbers align to the right
};

enum TnTipoLinhaRelatorio { ntlDados, ntlQuebra, ntlTotal, ntlTotalGeral };

struct TnLinhaRelatorio {
    TnTipoLinhaRelatorio Tipo = ntlDados;
    QStringList Celulas{}; // one text per column (totals: empty where nothing is summed)
    QString Texto{};       // a group's opening line; a total's caption
    int Recuo = 0;
    bool Negrito = false;
};

struct TnRelatorio {
    QString Titulo{};
    QStringList Cabecalho{}; // "Empresa: 1 - Empresa Exemplo", "Data Inicial: 31/01/2024"...
    QString Emissao{};       // "Emitido em 05/11/2024 09:30"
    std::vector<TnColunaMontada> Colunas{};
    std::vector<TnLinhaRelatorio> Linhas{};
};

// The lines of the report of `dados`'s rows (every row; rows still to be read in packets
// are read first; the dataset's position does not move). A column naming no field of the
// dataset is an error (Exception), as a total beyond 18 digits. `def` null: one column per
// visible field, with its caption and display format.
TnRelatorio MontarRelatorio(const TnDefRelatorio *def, TnClientDataSet &dados, const QString &titulo,
                            const QStringList &cabecalho);

// The heading lines of the current selection: "Empresa: code - name" and
// "Estabelecimento: code - name" when chosen, then the selection's other keys among
// `chaves` (as a module's ChavesSelecao) that hold a value ("Data Inventário: 31/01/2024").
QStringList CabecalhoSelecao(const QStringList &chaves = {});

// A report of a register's list: reads its rows for the register and lays them out.
class TnDMRelatorio : public TnDataModule {
    Q_OBJECT
public:
    // The declaration must outlive the module (a static table beside the class).
    explicit TnDMRelatorio(const TnDefRelatorio &declaracao);
    const TnDefRelatorio &Declaracao() const { return FDecl; }
    TnClientDataSet &Dados() { return FDados; }
    // Reads the rows of the report for `cadastro` (its selection) into Dados().
    virtual void Preparar(TnDMClientDataSet &cadastro) = 0;

private:
    const TnDefRelatorio &FDecl;
    TnClientDataSet FDados;
};

// The report `nome` of a register's list ("OrvoRRRelacao": the class "TOrvoRRRelacao") for
// the register: the module is created, prepares its rows and is freed; the heading is the
// register's selection. Exception when the class is not registered or is no report.
TnRelatorio GerarRelatorioCadastro(const QString &nome, TnDMClientDataSet &cadastro);
// The title of the report `nome` (its declaration's); empty when it is not registered.
QString TituloRelatorio(const QString &nome);
