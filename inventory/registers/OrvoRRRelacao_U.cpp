// The entry register's list of entries (report "OrvoRRRelacao"): the entries of the
// register's selection (company, branch, inventory date) with the product, the reason, the
// quantity, the unit cost and the total cost, and the grand total.
#include "Conexao.h"
#include "DMClientDataSet.h"
#include "LctoInvPropriedadeComum.h"
#include "Relatorio.h"
#include "SuiteInv.h"
#include "Valores.h"
#include "Variaveis.h"

#include <QScopeGuard>

namespace {

const TnDefRelatorio kDeclaracao{
    .Titulo = "Relação dos Lançamentos do Inventário",
    .Colunas = {{.Campo = "CODIGOPRODUTO", .Largura = 10},
                {.Campo = "DESCRPRODUTO", .Largura = 38},
                {.Campo = "MOTIVOINVENTARIO", .Caption = "Motivo", .Largura = 22},
                {.Campo = "QTDEESTOQUE", .Largura = 14},
                {.Campo = "PRECOUNIT", .Largura = 14},
                {.Campo = "VALORTOTAL", .Largura = 16, .Total = ntrSoma}},
};

const TnDefCampo kCampos[] = {
    {.Nome = "CODIGOPRODUTO", .Tipo = ftLargeint, .Def = {.Chave = "CODIGOPRODUTO"}},
    {.Nome = "DESCRPRODUTO", .Tipo = ftString, .Tamanho = 120, .Def = {.DisplayLabel = "Descrição"}},
    {.Nome = "MOTIVOINVENTARIO", .Tipo = ftSmallint,
     .Def = {.Chave = "MOTIVOINVENTARIO", .ListaValores = ListaMotivoInventario()}},
    {.Nome = "QTDEESTOQUE", .Tipo = ftFloat, .Def = {.DisplayLabel = "Quantidade"}},
    {.Nome = "PRECOUNIT", .Tipo = ftFloat, .Def = {.DisplayLabel = "Custo Unitário"}},
    {.Nome = "VALORTOTAL", .Tipo = ftBCD, .Precisao = 18, .Escala = 2,
     .Def = {.DisplayLabel = "Custo Total", .DisplayFormat = "#,##0.00"}}};

// The selection keys that filter the entries, in the register's order.
const char *const kChaves[][2] = {{"CodigoEmpresa", "L.CODIGOEMPRESA"},
                                  {"CodigoEstab", "L.CODIGOESTAB"},
                                  {"DataInvent", "L.DATAINVENT"}};

} // namespace

class TOrvoRRRelacao : public TnDMRelatorio {
public:
    TOrvoRRRelacao() : TnDMRelatorio(kDeclaracao) {}

    void Preparar(TnDMClientDataSet &) override
    {
        // Only the keys that hold a value filter, as in the register itself.
        QString sql = QStringLiteral(
            "select L.CODIGOPRODUTO, P.DESCRPRODUTO, L.MOTIVOINVENTARIO, L.QTDEESTOQUE, "
            "L.PRECOUNIT from LCTOINV L left join PRODUTO P on P.CODIGOEMPRESA = L.CODIGOEMPRESA "
            "and P.CODIGOPRODUTO = L.CODIGOPRODUTO where 1 = 1");
        QVariantList valores;
        for (const auto &[chave, coluna] : kChaves) {
            const TnParamSelecao &p = Selecao().GetParams(QString::fromLatin1(chave));
            if (p.IsNull())
                continue;
            sql += QStringLiteral(" and %1 = ?").arg(QLatin1String(coluna));
            valores << (coluna[2] == 'D' ? QVariant(p.AsDate()) : QVariant(p.AsInteger()));
        }
        sql += QStringLiteral(" order by L.CODIGOEMPRESA, L.CODIGOESTAB, L.DATAINVENT, L.CODIGOPRODUTO, L.MOTIVOINVENTARIO");

        const int empresa = int(Selecao().GetParams(QStringLiteral("CodigoEmpresa")).AsInteger());
        const TnConfiguracaoInv cfg = LerConfiguracaoInv(empresa);
        TnClientDataSet &ds = Dados();
        ds.Close();
        if (ds.FieldCount() == 0) {
            ds.SetLogChanges(false);
            ds.DefinirCampos(kCampos);
        }
        ds.FieldByName(QStringLiteral("QTDEESTOQUE")).SetDisplayFormat(FormatoCasas(cfg.QtdeCasaDecimalQtd));
        ds.FieldByName(QStringLiteral("PRECOUNIT")).SetDisplayFormat(FormatoCasas(cfg.QtdeCasaDecimal));
        ds.CreateDataSet();

        auto cmd = nDMConexao::Atual().Preparar(sql);
        for (int i = 0; i < valores.size(); ++i)
            cmd->BindValor(i, valores.at(i));
        TnCursor &c = cmd->Abrir();
        TnField *campos[6];
        for (int i = 0; i < 6; ++i)
            campos[i] = &ds.Fields(i);
        ds.DisableControls();
        const auto reativar = qScopeGuard([&ds] { ds.EnableControls(); }); // also when a row fails
        while (c.Proximo()) {
            ds.Append();
            campos[0]->SetAsLargeInt(c.Inteiro(0));
            if (!c.Nulo(1))
                campos[1]->SetAsString(c.Texto(1));
            campos[2]->SetAsInteger(int(c.Inteiro(2)));
            const double qtde = c.Real(3), preco = c.Real(4);
            campos[3]->SetAsFloat(qtde);
            campos[4]->SetAsFloat(preco);
            // The entry's total cost as the register shows it: the exact product, rounded to cents.
            campos[5]->SetAsFloat(MultiplicarValor(qtde, preco, 2));
            ds.Post();
        }
    }
};

static TnRegistrador<TOrvoRRRelacao> gRegistro("TOrvoRRRelacao");
