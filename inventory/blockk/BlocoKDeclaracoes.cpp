#include "BlocoKDeclaracoes.h"

#include "Excecoes.h"

#include <QHash>

namespace {

// Menu categories.
const char *const kCadSped = "10 Cadastros\\60 SPED";
const char *const kCad35 = "01 Cadastros\\35 -SPED";
const char *const kCad45 = "01 Cadastros\\45 -SPED";
const char *const kCons45 = "01 Cadastros\\45 -SPED\\Consultas";
const char *const kCons35 = "01 Cadastros\\35 -SPED\\Consultas";

// Selection keys.
const char *const kSelEstab = "CODIGOEMPRESA;CODIGOESTAB";
const char *const kSelCompetencia = "CODIGOEMPRESA;CODIGOESTAB;DataLctoFis_MENORIGUAL;DataLctoFis_MAIORIGUAL";
const char *const kSelProducao = "CODIGOEMPRESA;CODIGOESTAB;DATAPRODUCAO_MENORIGUAL;DATAPRODUCAO_MAIORIGUAL";
const char *const kSelData = "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS";

// Master actions of the detail registers that link to one.
const char *const kMestreK290 = "actTOrvoDMSpedFisK290";
const char *const kMestreK300 = "actTOrvoDMSPEDFISK300";

// What a record's register and consultation share.
struct Registro {
    const char *Nome;
    const char *Tabela;
    const char *Chave;
    const char *Caption;
};

struct Acao {
    const char *Categoria;
    const char *Caption;
    int Indice;
    bool Direito = false;
    const char *Mestre = "";
};

// The form's menu metadata: module "Orvo", image 0; an entry of its own only where
// `criarMenu`.
TnDefMenu Menu(const char *categoria, const char *caption, int indice, bool criarMenu, bool web = false,
               bool separador = false)
{
    return {.Caption = QString::fromUtf8(caption),
            .Categoria = QString::fromUtf8(categoria),
            .Indice = indice,
            .Modulo = QStringLiteral("Orvo"),
            .Imagem = 0,
            .Separador = separador,
            .Web = web,
            .SemEntrada = !criarMenu};
}

TnDefAcao DefAcao(const Acao &a)
{
    return {.Modulo = 3,
            .Categoria = a.Categoria,
            .Caption = a.Caption,
            .Indice = a.Indice,
            .ControlaDireito = a.Direito,
            .AcaoMestre = a.Mestre};
}

TnDeclaracaoBlocoK Cadastro(const char *classe, const Registro &r, const char *selecao, const char *cadCons,
                            TnTipoForm tipo, const Acao &a, TnDefMenu menu, bool chaveAlteravel = false,
                            bool insercaoAutomatica = true)
{
    return {.Classe = classe,
            .TipoObjeto = 1,
            .Registro = r.Nome,
            .Tabela = r.Tabela,
            .Chave = r.Chave,
            .Selecao = selecao,
            .Caption = r.Caption,
            .CadCons = cadCons,
            .TipoForm = tipo,
            .ChaveAlteravel = chaveAlteravel,
            .InsercaoAutomatica = insercaoAutomatica,
            .Acao = DefAcao(a),
            .Menu = std::move(menu)};
}

// A consultation's metadata repeats its action, without an entry of its own.
TnDeclaracaoBlocoK Consulta(const char *classe, const Registro &r, const char *selecao, const char *cadCons,
                            const Acao &a, bool chaveAlteravel = false, const char *caption = nullptr)
{
    return {.Classe = classe,
            .TipoObjeto = 2,
            .Registro = r.Nome,
            .Tabela = r.Tabela,
            .Chave = r.Chave,
            .Selecao = selecao,
            .Caption = caption ? caption : r.Caption,
            .CadCons = cadCons,
            .TipoForm = ntfConGrid,
            .ChaveAlteravel = chaveAlteravel,
            .Acao = DefAcao(a),
            .Menu = Menu(a.Categoria, a.Caption, a.Indice, false)};
}

std::vector<TnDeclaracaoBlocoK> Montar()
{
    const Registro r0210{"0210", "SPEDFIS0210", "CODIGOEMPRESA;CODIGOESTAB;CODIGOPRODUTO;CODIGOINSUMO",
                         "Consumo Específico Padronizado"};
    const Registro rK200{"K200", "SPEDFISK200",
                         "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTO;INDICADORESTOQUE;SEQ",
                         "Estoque Escriturado"};
    const Registro rK210{"K210", "SPEDFISK210", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210",
                         "Desmontagem de Mercadorias"};
    const Registro rK215{"K215", "SPEDFISK215", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK210;CODIGOPRODUTO",
                         "Desmontagem de Mercadorias - Itens de Destino"};
    const Registro rK220{"K220", "SPEDFISK220",
                         "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOPRODUTOORI;CODIGOPRODUTODEST",
                         "Outras Movimentações Internas Entre Mercadorias"};
    const Registro rK230{"K230", "SPEDFISK230",
                         "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOORDEMPRODUCAO;CODIGOPRODUTO", "Itens Produzidos"};
    const Registro rK235{"K235", "SPEDFISK235",
                         "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;CODIGOORDEMPRODUCAO;CODIGOPRODUTO;DATASAIDA;"
                         "CODIGOINSUMO",
                         "Insumos Consumidos"};
    const Registro rK250{"K250", "SPEDFISK250", "CODIGOEMPRESA;CODIGOESTAB;DATAPRODUCAO;CODIGOPRODUTO",
                         "Industrialização Efetuada por Terceiros"};
    const Registro rK255{"K255", "SPEDFISK255",
                         "CODIGOEMPRESA;CODIGOESTAB;DATAPRODUCAO;CODIGOPRODUTO;DATACONSUMO;CODIGOINSUMO",
                         "Industrialização Efetuada por Terceiros - Insumos Consumidos"};
    const Registro rK260{"K260", "SPEDFISK260", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK260",
                         "Reprocessamento/Reparo de Produto/Insumo"};
    const Registro rK265{"K265", "SPEDFISK265", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK260;CODIGOPRODUTO",
                         "Reprocessamento/Reparo - Mercadorias Consumidas e/ou Retornadas"};
    const Registro rK270{"K270", "SPEDFISK270", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK270",
                         "Correção de Apontamento"};
    const Registro rK275{"K275", "SPEDFISK275", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK270;CODIGOPRODUTO",
                         "Correção de Apontamento e Retorno de Insumos"};
    const Registro rK280{"K280", "SPEDFISK280", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK280",
                         "Correção de Apontamento - Estoque Escriturado"};
    const Registro rK290{"K290", "SPEDFISK290", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK290",
                         "Produção Conjunta Ordem de Produção"};
    const Registro rK291{"K291", "SPEDFISK291", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK290;CODIGOPRODUTO",
                         "Produção Conjunta Itens Produzidos"};
    const Registro rK292{"K292", "SPEDFISK292", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;SEQK290;CODIGOPRODUTO",
                         "K292 - Produção Conjunta Industrialização Efetuada por Terceiros Insumos Consumidos"};
    const Registro rK300{"K300", "SPEDFISK300", "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;DATARECONHECPROD",
                         "K300 (Produção Conjunta Industrialização Efetuada por Terceiros)"};
    const Registro rK301{"K301", "SPEDFISK301",
                         "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;DATARECONHECPROD;CODIGOPRODUTO",
                         "K301 - Produção Conjunta Industrialização Efetuada Por Terceiros Itens Produzidos"};
    const Registro rK302{"K302", "SPEDFISK302",
                         "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;DATARECONHECPROD;CODIGOPRODUTO",
                         "K302 - Produção Conjunta Industrialização Efetuada Por Terceiros Insumos Consumidos"};

    const Acao a0210{kCadSped, "0210 (Consumo Específico Padronizado)", 10};
    const Acao aK200{kCadSped, "K200 (Estoque Escriturado)", 20};
    const Acao aK210{kCadSped, "K210 (Desmontagem de Mercadorias)", 30};
    const Acao aK220{kCadSped, "K220 (Outras Movimentações Internas Entre Mercadorias)", 40};
    const Acao aK230{kCadSped, "K230 (Itens Produzidos)", 50};
    const Acao aK250{kCadSped, "K250 (Industrialização Efetuada por Terceiros)", 60};
    const Acao aK260{kCadSped, "K260 (Reprocessamento/Reparo de Produto/Insumo)", 70};
    const Acao aK270{kCadSped, "K270 (Correção de Apontamento)", 80};
    const Acao aK280{kCadSped, "K280 (Correção de Apontamento - Estoque Escriturado)", 90};
    const Acao aK290{kCadSped, "K290 (Produção Conjunta Ordem de Produção)", 100};
    const Acao aK300{kCadSped, "K300 (Produção Conjunta Industrialização Efetuada por Terceiros)", 110};
    const Acao aK215{kCad35, "K215 (Desmontagem de Mercadorias)", 205};
    const Acao aK235{kCad35, "K235 (Insumos Consumidos)", 230};
    const Acao aK255{kCad35, "K255 (Industrialização Efetuada por Terceiros - Insumos Consumidos)", 230};
    const Acao aK265{kCad35, "K265 (Reprocessamento/Reparo - Mercadorias Consumidas e/ou Retornadas)", 240};
    const Acao aK275{kCad35, "K275 (Correção de Apontamento e Retorno de Insumos)", 250};
    const Acao aK291{kCad35, "K291 (Produção Conjunta Itens Produzidos)", 265, true, kMestreK290};
    const Acao aK292{kCad35, "K292 (Produção Conjunta Industrialização Efetuada por Terceiros Insumos Consumidos)",
                     265, true, kMestreK290};
    const Acao aK301{kCad45, "K301 - Produção Conjunta Industrialização Efetuada Por Terceiros Itens Produzidos",
                     301, true, kMestreK300};
    const Acao aK302{kCad45, "K302 - Produção Conjunta Industrialização Efetuada Por Terceiros Insumos Consumidos",
                     0, true, kMestreK300};

    const Acao c0210{kCons45, "Consumo Específico Padronizado", 195};
    const Acao cK200{kCons45, "Estoque Escriturado", 200};
    const Acao cK210{kCons45, "Desmontagem de Mercadorias", 205};
    const Acao cK220{kCons45, "Outras Movimentações Internas Entre Mercadorias", 210};
    const Acao cK230{kCons45, "Itens Produzidos", 220};
    const Acao cK250{kCons45, "Industrialização Efetuada por Terceiros", 230};
    const Acao cK260{kCons45, "Reprocessamento/Reparo de Produto/Insumo", 240};
    const Acao cK270{kCons45, "Correção de Apontamento", 250};
    const Acao cK280{kCons45, "Correção de Apontamento - Estoque Escriturado", 260};
    const Acao cK290{kCons45, "Produção Conjunta Ordem de Produção", 265};
    const Acao cK291{kCons45, "K291 (Produção Conjunta Itens Produzidos)", 265};
    const Acao cK292{kCons45, "K292 (Produção Conjunta Industrialização Efetuada por Terceiros Insumos Consumidos)",
                     265};
    const Acao cK300{kCons45, "K300 (Produção Conjunta Industrialização Efetuada por Terceiros)", 0};
    const Acao cK301{kCons45, "K301 - Produção Conjunta Industrialização Efetuada Por Terceiros Itens Produzidos", 0};
    const Acao cK302{kCons45, "K302 - Produção Conjunta Industrialização Efetuada Por Terceiros Insumos Consumidos",
                     0};
    const Acao cK215{kCons35, "Desmontagem de Mercadorias - Itens de Destino", 205};
    const Acao cK235{kCons35, "Insumos Consumidos", 230};
    const Acao cK255{kCons35, "Industrialização Efetuada por Terceiros - Insumos Consumidos", 230};
    const Acao cK265{kCons35, "Reprocessamento/Reparo - Mercadorias Consumidas e/ou Retornadas", 240};
    const Acao cK275{kCons35, "Correção de Apontamento e Retorno de Insumos", 250};

    // The metadata of the master registers sits under "45 -SPED" (an entry of its own for
    // 0210 to K280), that of K301 and K302 too; the other details under "35 -SPED".
    const auto mestre = [](const Acao &a, int indice, bool criarMenu, bool web = false, bool separador = false) {
        return Menu(kCad45, a.Caption, indice, criarMenu, web, separador);
    };
    const auto detalhe = [](const Acao &a) { return Menu(a.Categoria, a.Caption, a.Indice, false); };

    return {
        Cadastro("TOrvoDMSpedFis0210", r0210, kSelEstab, "OrvoDCSPEDFIS0210", ntfCadPage, a0210,
                 mestre(a0210, 195, true)),
        Cadastro("TOrvoDMSpedFisK200", rK200, kSelCompetencia, "OrvoDCSPEDFISK200", ntfCadPage, aK200,
                 mestre(aK200, 200, true, true, true)),
        Cadastro("TOrvoDMSpedFisK210", rK210, kSelCompetencia, "OrvoDCSpedFisK210", ntfCadPage, aK210,
                 mestre(aK210, 205, true)),
        Cadastro("TOrvoDMSpedFisK215", rK215, kSelCompetencia, "OrvoDCSpedFisK215", ntfCadGrid, aK215, detalhe(aK215)),
        Cadastro("TOrvoDMSpedFisK220", rK220, kSelCompetencia, "OrvoDCSPEDFISK220", ntfCadPage, aK220,
                 mestre(aK220, 210, true)),
        Cadastro("TOrvoDMSpedFisK230", rK230, kSelCompetencia, "OrvoDCSPEDFISK230", ntfCadPage, aK230,
                 mestre(aK230, 220, true)),
        Cadastro("TOrvoDMSpedFisK235", rK235, kSelCompetencia, "OrvoDCSPEDFISK235", ntfCadGrid, aK235, detalhe(aK235)),
        Cadastro("TOrvoDMSpedFisK250", rK250, kSelProducao, "OrvoDCSPEDFISK250", ntfCadPage, aK250,
                 mestre(aK250, 230, true), false, false),
        Cadastro("TOrvoDMSpedFisK255", rK255, kSelProducao, "OrvoDCSPEDFISK255", ntfCadGrid, aK255, detalhe(aK255)),
        Cadastro("TOrvoDMSpedFisK260", rK260, kSelCompetencia, "OrvoDCSpedFisK260", ntfCadPage, aK260,
                 mestre(aK260, 240, true)),
        Cadastro("TOrvoDMSpedFisK265", rK265, kSelCompetencia, "OrvoDCSpedFisK265", ntfCadGrid, aK265, detalhe(aK265)),
        Cadastro("TOrvoDMSpedFisK270", rK270, kSelCompetencia, "OrvoDCSpedFisK270", ntfCadPage, aK270,
                 mestre(aK270, 250, true)),
        Cadastro("TOrvoDMSpedFisK275", rK275, kSelCompetencia, "OrvoDCSpedFisK275", ntfCadGrid, aK275, detalhe(aK275)),
        Cadastro("TOrvoDMSpedFisK280", rK280, kSelCompetencia, "OrvoDCSpedFisK280", ntfCadPage, aK280,
                 mestre(aK280, 260, true, true)),
        Cadastro("TOrvoDMSpedFisK290", rK290, kSelEstab, "OrvoDCSpedFisK290", ntfCadPage, aK290,
                 mestre(aK290, 265, false, true)),
        Cadastro("TOrvoDMSpedFisK291", rK291, kSelEstab, "OrvoDCSpedFisK291", ntfCadGrid, aK291, detalhe(aK291)),
        Cadastro("TOrvoDMSpedFisK292", rK292, kSelEstab, "OrvoDCSpedFisK292", ntfCadGrid, aK292, detalhe(aK292)),
        Cadastro("TOrvoDMSPEDFISK300", rK300, kSelCompetencia, "OrvoDCSPEDFISK300", ntfCadPage, aK300,
                 mestre(aK300, 300, false), true),
        Cadastro("TOrvoDMSPEDFISK301", rK301, kSelCompetencia, "OrvoDCSPEDFISK301", ntfCadGrid, aK301,
                 mestre(aK301, 301, false), true),
        Cadastro("TOrvoDMSPEDFISK302", rK302, kSelCompetencia, "OrvoDCSPEDFISK302", ntfCadGrid, aK302,
                 mestre(aK302, 0, false), true),

        Consulta("TOrvoDCSPEDFIS0210", r0210, kSelEstab, "OrvoDMSPEDFIS0210", c0210),
        Consulta("TOrvoDCSPEDFISK200", rK200, kSelCompetencia, "OrvoDMSPEDFISK200", cK200),
        Consulta("TOrvoDCSpedFisK210", rK210, kSelCompetencia, "OrvoDMSpedFisK210", cK210),
        Consulta("TOrvoDCSpedFisK215", rK215, kSelData, "OrvoDMSpedFisK215", cK215),
        Consulta("TOrvoDCSPEDFISK220", rK220, kSelCompetencia, "OrvoDMSPEDFISK220", cK220),
        Consulta("TOrvoDCSPEDFISK230", rK230, kSelCompetencia, "OrvoDMSPEDFISK230", cK230),
        Consulta("TOrvoDCSPEDFISK235", rK235, kSelCompetencia, "OrvoDMSPEDFISK235", cK235),
        Consulta("TOrvoDCSPEDFISK250", rK250, kSelProducao, "OrvoDMSPEDFISK250", cK250),
        Consulta("TOrvoDCSPEDFISK255", rK255, kSelProducao, "OrvoDMSPEDFISK255", cK255),
        Consulta("TOrvoDCSpedFisK260", rK260, kSelCompetencia, "OrvoDMSpedFisK260", cK260),
        Consulta("TOrvoDCSpedFisK265", rK265, kSelCompetencia, "OrvoDMSpedFisK265", cK265),
        Consulta("TOrvoDCSpedFisK270", rK270, kSelData, "OrvoDMSpedFisK270", cK270),
        Consulta("TOrvoDCSpedFisK275", rK275, kSelCompetencia, "OrvoDMSpedFisK275", cK275),
        Consulta("TOrvoDCSpedFisK280", rK280, kSelCompetencia, "OrvoDMSpedFisK280", cK280),
        Consulta("TOrvoDCSpedFisK290", rK290, kSelEstab, "OrvoDMSpedFisK290", cK290),
        Consulta("TOrvoDCSpedFisK291", rK291, kSelEstab, "OrvoDMSpedFisK291", cK291),
        Consulta("TOrvoDCSpedFisK292", rK292, kSelEstab, "OrvoDMSpedFisK292", cK292, true),
        Consulta("TOrvoDCSPEDFISK300", rK300, kSelCompetencia, "OrvoDMSPEDFISK300", cK300, true),
        Consulta("TOrvoDCSPEDFISK301", rK301, "CODIGOEMPRESA;CODIGOESTAB;DATALCTOFIS;DATARECONHECPROD",
                 "OrvoDmSPEDFISK301", cK301, true,
                 "K301 - Produção Conjunta Industrialização Efetuada Por Teceiros Itens Produzidos"),
        Consulta("TOrvoDCSPEDFISK302", rK302, kSelCompetencia, "OrvoDMSPEDFISK302", cK302, true),
    };
}

} // namespace

const std::vector<TnDeclaracaoBlocoK> &DeclaracoesBlocoK()
{
    static const std::vector<TnDeclaracaoBlocoK> kTabela = Montar();
    return kTabela;
}

const TnDeclaracaoBlocoK &DeclaracaoBlocoK(const QString &classe)
{
    static const QHash<QString, const TnDeclaracaoBlocoK *> kPorClasse = [] {
        QHash<QString, const TnDeclaracaoBlocoK *> h;
        for (const TnDeclaracaoBlocoK &d : DeclaracoesBlocoK())
            h.insert(QString::fromLatin1(d.Classe).toUpper(), &d);
        return h;
    }();
    const TnDeclaracaoBlocoK *d = kPorClasse.value(classe.trimmed().toUpper());
    if (!d)
        throw Exception(QStringLiteral("A classe %1 não é um registro do Bloco K.").arg(classe));
    return *d;
}

QString SQLBlocoK(const char *tabela, const std::vector<TnDefCampo> &campos, const char *chave, bool ordemMaiuscula)
{
    QStringList colunas;
    for (const TnDefCampo &c : campos)
        if (c.Kind == fkData)
            colunas << QStringLiteral("t_t.") + c.Nome;
    const QString prefixo = ordemMaiuscula ? QStringLiteral("T_T.") : QStringLiteral("t_t.");
    QStringList ordem;
    for (const QString &c : QString::fromLatin1(chave).split(u';', Qt::SkipEmptyParts))
        ordem << prefixo + c;
    return QStringLiteral("Select ") + colunas.join(u',') + QStringLiteral(" from ") + QString::fromLatin1(tabela)
           + QStringLiteral(" t_t ORDER BY ") + ordem.join(u',');
}

TnDefCadastro CadastroBlocoK(const TnDeclaracaoBlocoK &d, std::vector<TnDefCampo> campos)
{
    // K290 to K302 write their order in upper case.
    const QString registro = QString::fromLatin1(d.Registro);
    const bool maiuscula = registro.startsWith(u'K') && registro.mid(1).toInt() >= 290;
    TnDefCadastro c;
    c.SQL = SQLBlocoK(d.Tabela, campos, d.Chave, maiuscula);
    c.Tabela = QString::fromLatin1(d.Tabela);
    c.Campos = std::move(campos);
    c.Chave = QString::fromLatin1(d.Chave);
    c.Ordem = c.Chave;
    c.Caption = QString::fromUtf8(d.Caption);
    c.TipoForm = d.TipoForm;
    c.CadCons = QString::fromLatin1(d.CadCons);
    c.Menus = {d.Menu};
    c.ChaveAlteravel = d.ChaveAlteravel;
    c.InsercaoAutomatica = d.InsercaoAutomatica;
    c.LogChanges = d.TipoObjeto == 1;
    return c;
}

void GerarAcaoBlocoK(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                     const TnModulos &modulos)
{
    GerarAcao({DeclaracaoBlocoK(classe.Nome).Acao}, classe, lista, evento, modulos);
}
