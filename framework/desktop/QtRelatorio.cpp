#include "QtRelatorio.h"

#include "QtForms.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QDir>
#include <QGuiApplication>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace {

// Everything below is in points (1/72 inch).
constexpr double kMargem = 36;
constexpr double kCorpo = 8;            // body font
constexpr double kTitulo = 12;          // title font
constexpr double kLarguraCaractere = 4.6; // a body character, on average: the columns' shares
constexpr double kRecuo = 10;           // one level of indent
constexpr double kEspaco = 4;           // between columns
const QSizeF kA4(595.276, 841.89);

QFont Fonte(double tamanho, bool negrito = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    // Pixel sizes on a painter scaled to points: the same size on every device.
    f.setPixelSize(int(tamanho));
    f.setBold(negrito);
    // No ligatures: the PDF's text must read back as it was written ("fi", not one glyph).
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

struct Diagrama {
    bool Paisagem = false;
    QSizeF Papel;
    QRectF Area;
    std::vector<double> X, Largura; // columns
    double Linha = kCorpo * 1.45;
    double Cabecalho = 0, Rodape = kCorpo * 2.5;
    std::vector<std::pair<int, int>> Paginas; // lines [first, last) of each page
};

double AlturaLinha(const Diagrama &d, const TnLinhaRelatorio &l)
{
    switch (l.Tipo) {
    case ntlQuebra: return d.Linha * 1.7;
    case ntlTotal:
    case ntlTotalGeral: return d.Linha * 1.4;
    default: return d.Linha;
    }
}

Diagrama Diagramar(const TnRelatorio &r)
{
    Diagrama d;
    const int caracteres = std::accumulate(r.Colunas.begin(), r.Colunas.end(), 0,
                                           [](int s, const TnColunaMontada &c) { return s + c.Largura; });
    d.Paisagem = caracteres * kLarguraCaractere > kA4.width() - 2 * kMargem;
    d.Papel = d.Paisagem ? kA4.transposed() : kA4;
    d.Area = QRectF(QPointF(kMargem, kMargem), d.Papel - QSizeF(2 * kMargem, 2 * kMargem));
    double x = d.Area.left();
    for (const TnColunaMontada &c : r.Colunas) {
        const double l = d.Area.width() * c.Largura / std::max(1, caracteres);
        d.X.push_back(x);
        d.Largura.push_back(l);
        x += l;
    }
    d.Cabecalho = kTitulo * 1.8 + (r.Cabecalho.size() + 1) * d.Linha + d.Linha * 1.6;
    const double corpo = d.Area.height() - d.Cabecalho - d.Rodape;
    int inicio = 0;
    double y = 0;
    const int n = int(r.Linhas.size());
    for (int i = 0; i < n; ++i) {
        const double h = AlturaLinha(d, r.Linhas[size_t(i)]);
        // A group's opening line never ends a page: it goes with its first row.
        const bool sozinha = r.Linhas[size_t(i)].Tipo == ntlQuebra && i + 1 < n &&
                             y + h + AlturaLinha(d, r.Linhas[size_t(i + 1)]) > corpo;
        if (i > inicio && (y + h > corpo || sozinha)) {
            d.Paginas.push_back({inicio, i});
            inicio = i;
            y = 0;
        }
        y += h;
    }
    d.Paginas.push_back({inicio, n});
    return d;
}

void Texto(QPainter &p, const QRectF &caixa, const QString &texto, Qt::Alignment alinhamento)
{
    const QString cabe = QFontMetricsF(p.font()).elidedText(texto, Qt::ElideRight, caixa.width());
    p.drawText(caixa, int(alinhamento | Qt::AlignVCenter) | Qt::TextSingleLine, cabe);
}

QRectF Celula(const Diagrama &d, size_t coluna, double y, double altura, double recuo = 0)
{
    return QRectF(d.X[coluna] + recuo, y, std::max(0.0, d.Largura[coluna] - kEspaco - recuo), altura);
}

// Draws page `pagina` (from 0) on a painter whose unit is the point and whose origin is the
// paper's corner.
void DesenharPagina(QPainter &p, const TnRelatorio &r, const Diagrama &d, int pagina)
{
    p.save();
    p.setPen(Qt::black);
    const QRectF &a = d.Area;
    double y = a.top();
    p.setFont(Fonte(kTitulo, true));
    Texto(p, QRectF(a.left(), y, a.width(), kTitulo * 1.5), r.Titulo, Qt::AlignHCenter);
    y += kTitulo * 1.8;
    p.setFont(Fonte(kCorpo));
    for (const QString &linha : r.Cabecalho) {
        Texto(p, QRectF(a.left(), y, a.width(), d.Linha), linha, Qt::AlignLeft);
        y += d.Linha;
    }
    y += d.Linha;
    p.setFont(Fonte(kCorpo, true));
    for (size_t i = 0; i < r.Colunas.size(); ++i)
        Texto(p, Celula(d, i, y, d.Linha), r.Colunas[i].Caption, r.Colunas[i].Direita ? Qt::AlignRight : Qt::AlignLeft);
    y += d.Linha * 1.2;
    p.setPen(QPen(Qt::black, 0.8));
    p.drawLine(QPointF(a.left(), y), QPointF(a.right(), y));
    y = a.top() + d.Cabecalho;

    const auto [inicio, fim] = d.Paginas.at(size_t(pagina));
    for (int i = inicio; i < fim; ++i) {
        const TnLinhaRelatorio &l = r.Linhas[size_t(i)];
        const double h = AlturaLinha(d, l);
        p.setFont(Fonte(kCorpo, l.Negrito));
        p.setPen(Qt::black);
        if (l.Tipo == ntlQuebra) {
            Texto(p, QRectF(a.left(), y + h - d.Linha, a.width(), d.Linha), l.Texto, Qt::AlignLeft);
        } else if (l.Tipo == ntlDados) {
            for (size_t c = 0; c < r.Colunas.size() && c < size_t(l.Celulas.size()); ++c)
                Texto(p, Celula(d, c, y, h, c == 0 ? l.Recuo * kRecuo : 0), l.Celulas.at(qsizetype(c)),
                      r.Colunas[c].Direita ? Qt::AlignRight : Qt::AlignLeft);
        } else {
            // A total: its caption over the columns before the first one it closes.
            size_t primeira = 0;
            while (primeira < size_t(l.Celulas.size()) && l.Celulas.at(qsizetype(primeira)).isEmpty())
                ++primeira;
            const double corpo = y + h - d.Linha;
            const double fimTexto = primeira < d.X.size() ? d.X[primeira] : a.right();
            Texto(p, QRectF(a.left(), corpo, std::max(0.0, fimTexto - a.left() - kEspaco), d.Linha), l.Texto, Qt::AlignLeft);
            for (size_t c = primeira; c < r.Colunas.size() && c < size_t(l.Celulas.size()); ++c) {
                if (l.Celulas.at(qsizetype(c)).isEmpty())
                    continue;
                p.setPen(QPen(Qt::black, 0.5));
                p.drawLine(QPointF(d.X[c], corpo), QPointF(d.X[c] + d.Largura[c] - kEspaco, corpo));
                p.setPen(Qt::black);
                Texto(p, Celula(d, c, corpo, d.Linha), l.Celulas.at(qsizetype(c)), Qt::AlignRight);
            }
        }
        y += h;
    }
    if (r.Linhas.empty()) {
        p.setFont(Fonte(kCorpo));
        Texto(p, QRectF(a.left(), y, a.width(), d.Linha), QStringLiteral("Nenhum registro."), Qt::AlignLeft);
    }

    const double rodape = a.bottom() - d.Linha;
    p.setPen(QPen(Qt::black, 0.5));
    p.drawLine(QPointF(a.left(), rodape - d.Linha * 0.3), QPointF(a.right(), rodape - d.Linha * 0.3));
    p.setPen(Qt::black);
    p.setFont(Fonte(kCorpo - 1));
    Texto(p, QRectF(a.left(), rodape, a.width() / 2, d.Linha), r.Emissao, Qt::AlignLeft);
    Texto(p, QRectF(a.center().x(), rodape, a.width() / 2, d.Linha),
          QStringLiteral("Página %1 de %2").arg(pagina + 1).arg(d.Paginas.size()), Qt::AlignRight);
    p.restore();
}

} // namespace

int PaginasRelatorio(const TnRelatorio &r) { return int(Diagramar(r).Paginas.size()); }
QSizeF PapelRelatorio(const TnRelatorio &r) { return Diagramar(r).Papel; }

int ImprimirRelatorio(const TnRelatorio &r, QPagedPaintDevice &dispositivo)
{
    const Diagrama d = Diagramar(r);
    // Margins are drawn by the report itself: the painter's origin is the paper's corner.
    dispositivo.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                          d.Paisagem ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
    if (auto *impressora = dynamic_cast<QPrinter *>(&dispositivo))
        impressora->setFullPage(true);
    QPainter p;
    if (!p.begin(&dispositivo))
        throw Exception(QStringLiteral("Não foi possível iniciar a impressão do relatório."));
    const double escala = dispositivo.logicalDpiX() / 72.0;
    p.scale(escala, escala);
    for (size_t i = 0; i < d.Paginas.size(); ++i) {
        if (i > 0 && !dispositivo.newPage())
            throw Exception(QStringLiteral("Não foi possível iniciar a página %1 do relatório.").arg(i + 1));
        DesenharPagina(p, r, d, int(i));
    }
    p.end();
    return int(d.Paginas.size());
}

int SalvarRelatorioPDF(const TnRelatorio &r, const QString &arquivo)
{
    QPdfWriter pdf(arquivo);
    pdf.setResolution(300);
    pdf.setTitle(r.Titulo);
    pdf.setCreator(QStringLiteral("INV - Varnel"));
    return ImprimirRelatorio(r, pdf);
}

QImage ImagemPaginaRelatorio(const TnRelatorio &r, int pagina, int dpi)
{
    const Diagrama d = Diagramar(r);
    const int i = std::clamp(pagina, 1, int(d.Paginas.size())) - 1;
    const double escala = dpi / 72.0;
    QImage img((d.Papel * escala).toSize(), QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(escala, escala);
    DesenharPagina(p, r, d, i);
    return img;
}

QDir PastaPDF()
{
    const QString documentos = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documentos.isEmpty() && QDir(documentos).exists())
        return QDir(documentos);
    return QDir::home();
}

QString NomeArquivoPDF(const QString &titulo)
{
    QString nome = titulo.trimmed();
    static const QString proibidos = QStringLiteral("/\\:*?\"<>|");
    for (QChar &c : nome)
        if (proibidos.contains(c) || c.unicode() < 32)
            c = u'-';
    if (nome.isEmpty())
        nome = QStringLiteral("Relatório");
    return nome + QStringLiteral(".pdf");
}

// ---- the window ---------------------------------------------------------------------------

TnFrmRelatorio::TnFrmRelatorio(TnRelatorio relatorio, QWidget *pai)
    : QDialog(pai), FRelatorio(std::move(relatorio)), FPaginas(PaginasRelatorio(FRelatorio))
{
    setWindowTitle(FRelatorio.Titulo.isEmpty() ? QStringLiteral("Relatório") : FRelatorio.Titulo);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    auto *l = new QVBoxLayout(this);
    auto *barra = new QHBoxLayout;
    const auto botao = [this, barra](const QString &texto, const QString &nome, auto &&acao) {
        auto *b = new QPushButton(texto, this);
        b->setObjectName(nome);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, acao);
        barra->addWidget(b);
        return b;
    };
    botao(QStringLiteral("Imprimir"), QStringLiteral("btnImprimir"), [this] { Imprimir(); });
    botao(QStringLiteral("Salvar PDF"), QStringLiteral("btnSalvarPDF"), [this] { SalvarPDF(); });
    barra->addSpacing(16);
    botao(QStringLiteral("< Anterior"), QStringLiteral("btnAnterior"), [this] { IrParaPagina(FPagina - 1); });
    FNumero = new QLabel(this);
    barra->addWidget(FNumero);
    botao(QStringLiteral("Próxima >"), QStringLiteral("btnProxima"), [this] { IrParaPagina(FPagina + 1); });
    barra->addStretch(1);
    botao(QStringLiteral("Fechar"), QStringLiteral("btnFechar"), [this] { reject(); });
    l->addLayout(barra);
    FRolagem = new QScrollArea(this);
    FRolagem->setAlignment(Qt::AlignHCenter);
    FRolagem->setBackgroundRole(QPalette::Dark);
    FImagem = new QLabel(FRolagem);
    FRolagem->setWidget(FImagem);
    l->addWidget(FRolagem, 1);
    // Where the last "Salvar PDF" wrote the file.
    FSalvo = new QLabel(this);
    FSalvo->setObjectName(QStringLiteral("lblSalvo"));
    FSalvo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FSalvo->hide();
    l->addWidget(FSalvo);
    // A page's width where the screen allows it, never taller or wider than the screen.
    QSize tamanho(900, 760);
    if (QScreen *tela = pai ? pai->screen() : QGuiApplication::primaryScreen())
        tamanho = tamanho.boundedTo(tela->availableGeometry().size() * 9 / 10);
    resize(tamanho);
    Mostrar();
}

QString TnFrmRelatorio::SalvoEm() const { return FSalvo->isHidden() ? QString() : FSalvo->text(); }

void TnFrmRelatorio::IrParaPagina(int pagina)
{
    FPagina = std::clamp(pagina, 1, FPaginas);
    Mostrar();
}

int TnFrmRelatorio::DpiDaJanela() const
{
    // The page's width fits the window, up to the screen's 96 dots per inch.
    const double polegadas = PapelRelatorio(FRelatorio).width() / 72.0;
    // The window's width less its margins, frame and vertical scroll bar.
    const int largura = width() - 40 - FRolagem->verticalScrollBar()->sizeHint().width();
    return std::clamp(int(largura / polegadas), 40, 96);
}

void TnFrmRelatorio::Mostrar()
{
    FDpi = DpiDaJanela();
    FImagem->setPixmap(QPixmap::fromImage(ImagemPaginaRelatorio(FRelatorio, FPagina, FDpi)));
    FImagem->adjustSize();
    FNumero->setText(QStringLiteral("Página %1 de %2").arg(FPagina).arg(FPaginas));
}

void TnFrmRelatorio::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    if (DpiDaJanela() != FDpi)
        Mostrar();
}

void TnFrmRelatorio::Imprimir()
{
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setDocName(FRelatorio.Titulo);
    QPrintDialog dialogo(&impressora, this);
    dialogo.setWindowTitle(QStringLiteral("Imprimir"));
    if (dialogo.exec() != QDialog::Accepted)
        return;
    try {
        ImprimirRelatorio(FRelatorio, impressora);
    } catch (const std::exception &e) {
        MostrarFalha(nullptr, e);
    }
}

bool TnFrmRelatorio::SalvarPDF(const QString &arquivo)
{
    QString destino = arquivo;
    if (destino.isEmpty())
        destino = QFileDialog::getSaveFileName(this, QStringLiteral("Salvar PDF"), PastaPDF().filePath(NomeArquivoPDF(FRelatorio.Titulo)),
                                               QStringLiteral("Documentos PDF (*.pdf)"));
    if (destino.isEmpty())
        return false;
    try {
        SalvarRelatorioPDF(FRelatorio, destino);
    } catch (const std::exception &e) {
        MostrarFalha(nullptr, e);
        return false;
    }
    FSalvo->setText(QStringLiteral("PDF salvo em %1").arg(QDir::toNativeSeparators(QFileInfo(destino).absoluteFilePath())));
    FSalvo->show();
    return true;
}

void MostrarRelatorio(const TnRelatorio &r, QWidget *pai)
{
    TnFrmRelatorio janela(r, pai);
    janela.exec();
}
