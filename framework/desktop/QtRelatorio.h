#pragma once
// Reports on paper and in PDF: the lines of a TnRelatorio (Relatorio.h) laid out on A4 pages
// (landscape when the columns do not fit across a portrait page), each page with the title,
// the heading, the emission time and the column captions, and "Página n de m" at its foot;
// and the window that shows the pages and prints them or saves them as PDF.
//
// Pages are laid out in points, whatever the device, so a printer, a PDF file and the
// window's page images break the lines at the same places.
#include "Relatorio.h"

#include <QDialog>
#include <QDir>
#include <QImage>

class QLabel;
class QScrollArea;
class QPagedPaintDevice;

// Number of pages of the report, and the size of its paper in points (A4, portrait or
// landscape).
int PaginasRelatorio(const TnRelatorio &r);
QSizeF PapelRelatorio(const TnRelatorio &r);
// Draws every page on the device (a printer, a PDF writer), the first on its current page;
// answers the number of pages. The device's page size and orientation are set here.
int ImprimirRelatorio(const TnRelatorio &r, QPagedPaintDevice &dispositivo);
// Writes the report to a PDF file; answers the number of pages. Exception when the file
// cannot be written.
int SalvarRelatorioPDF(const TnRelatorio &r, const QString &arquivo);
// Page `pagina` (from 1) as an image at `dpi`, as it is printed.
QImage ImagemPaginaRelatorio(const TnRelatorio &r, int pagina, int dpi = 96);
// Where "Salvar PDF" proposes to save: the user's documents folder, else the home folder.
QDir PastaPDF();
// The file name proposed for a report's PDF: its title without the characters a file name
// cannot hold ("Relatório" when it has none), ending in ".pdf".
QString NomeArquivoPDF(const QString &titulo);

// The window of a report: one page at a time, with the actions "Imprimir" (the system's print
// dialog), "Salvar PDF" (a file chosen by the user), the page movements and "Fechar".
class TnFrmRelatorio : public QDialog {
    Q_OBJECT
public:
    explicit TnFrmRelatorio(TnRelatorio relatorio, QWidget *pai = nullptr);
    const TnRelatorio &Relatorio() const { return FRelatorio; }
    int Pagina() const { return FPagina; }
    int Paginas() const { return FPaginas; }
    QString SalvoEm() const; // "PDF salvo em <file>" after a save; empty before
    void IrParaPagina(int pagina); // kept within 1..Paginas()
    // The actions; SalvarPDF without a file asks for one (false when the user gives up) and,
    // once written, says where under the page (SalvoEm).
    void Imprimir();
    bool SalvarPDF(const QString &arquivo = QString());

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void Mostrar();
    int DpiDaJanela() const;
    TnRelatorio FRelatorio;
    int FPaginas = 1;
    int FPagina = 1;
    QLabel *FImagem = nullptr;
    QScrollArea *FRolagem = nullptr;
    int FDpi = 0; // of the page shown; the page is drawn again when the width asks for another
    QLabel *FNumero = nullptr;
    QLabel *FSalvo = nullptr;
};

// Shows the report in its window (modal); a failure to build it is shown as any other.
void MostrarRelatorio(const TnRelatorio &r, QWidget *pai);
