#pragma once
// "Integração Inventário": fetches from the tax-integration web service the stock of one
// branch at the end of a month, creates or updates the products it names and writes, for
// the first day of that month, one inventory entry per item (reason 1, origin 3 "Importado")
// with one property line (own stock).
//
// The protocol: HTTP POST (TnHTTP) of a filter text with unquoted member names
//     {filtroInventario : { Token : "<token>", Cnpj: "<branch's CNPJ digits>", Data: "mm/dd/yyyy" } }
// (the month's last day) to <scheme>://<host>:<port>/IntegracaoVarnelTributario/
// ws_IntegracaoVarnelTributario.asmx/GetInventario. The reply is a JSON object whose member
// "d" is a text holding a JSON array of items (CODIGO, DESCRICAO, UNIDADE_MEDIDA, TIPO_ITEM,
// NCM, QUANTIDADE, CUSTO_UNITARIO). A reply carrying "Sucesso":"False" (any letter case,
// in the reply, in the text of "d" or in an item) is a refusal.
//
// Where the service is: the program's settings file (TnConfigPrograma), section
// [IntegracaoInventario]: Esquema (http or https, default http), Servidor and Porta (default
// 8090), ServidorTestes and PortaTestes (default 8080), Token, TempoLimite (seconds, default
// 30), Certificados (a PEM file of certificates trusted besides the system's, for https). The test endpoint is used while the file "ImpPEInvTestes.txt" exists in the user's
// preference folder (TnPreferenciasUsuario::Pasta), looked for at every attempt.
//
// Two attempts, one after the other. Nothing is written before the reply has been read
// whole and found well formed. Products and entries are then written in transaction 1, all
// or nothing; a write failure is reported in the message tree, rolled back and raised.
//
// Items are skipped, each with a warning line in the message tree, when they cannot be
// written as they are: no CODIGO; a quantity or unit cost that is missing, not a number or
// not above zero; a text longer than its product column; in processing type 2, a product
// that already has an imported entry for the month. An item whose product code came
// earlier in the same reply replaces the earlier one (a warning names what was dropped).
#include "PowerParam.h"
#include "SuiteProduto.h"

#include <QDate>
#include <QHash>
#include <QJsonArray>
#include <QSet>
#include <QString>
#include <QVariant>
#include <memory>

class TGravador;
class TImpFabrica;
struct TLCTOINV;
struct TLCTOINVPROPRIEDADE;

// Messages of the process.
inline constexpr char OrvoSWSConexao[] = "Problemas de conexão com o web service: %1. Tente novamente mais tarde!";
inline constexpr char OrvoSWSRecusa[] = "Problemas com a solicitação efetuada ao Web Service: \r\n%1";
inline constexpr char OrvoSWSErroGravar[] = "Erro ao tentar gravar os registros: %1";
inline constexpr char OrvoSWSCancelados[] = "Todos os registros foram cancelados!";

class TOrvoDPReceberLancamentosInventario : public TnDMPowerParam {
public:
    TOrvoDPReceberLancamentosInventario();
    ~TOrvoDPReceberLancamentosInventario() override;

    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;

    // The endpoint's address as the current settings and marker file make it.
    QString PegarURLWebService() const;
    bool EhAmbienteTestes() const;
    // The request body of the run's parameters.
    QString MontarFiltroInventario();

private:
    void LerParametros();
    void PrepararIntegracao();
    void CarregarInventariosImportados();
    void ReceberInventario();
    QString PegarToken() const;
    QString PegarCnpjEstab() const;
    QString PegarDataFiltro() const;
    QString ChamarWebServiceInventario(const QString &corpo);
    void ProcessarRetornoInventario(const QString &resposta);
    void ProcessarItem(int posicao, const QJsonValue &item);
    void IncluirAtualizarProduto(const QString &codigo, const QString &descricao, const QString &unidade,
                                 int tipoItem, const QString &ncm);
    QString PegarMascClassifFiscal(const QString &ncm);
    void IncluirLctoInventario(const QString &codigo, double quantidade, double custo);
    bool EhInventarioJaImportado() const;
    void GravarLancamentos();
    void MostrarResumoIntegracao();
    [[noreturn]] void FalharGravacao(const std::exception &e);
    void Aviso(const QString &texto);

    int FCodigoEstab = 0;
    int FCodigoEmpresa = 0;
    QDate FDataInventario; // the month's last day
    bool FAtualizarCadastroProdutos = false;
    int FCodigoGrupoProduto = 0;
    int FTipoProcessamento = 2;
    QString FMascaraCNM;
    bool FMascaraLida = false;
    // The last classification formatted and its result: the items of a reply share few.
    QString FUltimoNCM, FUltimoNCMFormatado;
    int FQtdeProdutosAtualizados = 0;
    int FQtdeProdutosImportados = 0;
    int FQtdeInventariosImportados = 0;
    std::unique_ptr<TGravador> FGravador;
    std::unique_ptr<TImpFabrica> FImpFabrica;
    // Products with an imported entry (reason 1) of the company, branch and month.
    QSet<qint64> FCurInventario;
    // The entry built for each product code in this run.
    QHash<qint64, TLCTOINV *> FLctosDoProduto;
    QDateTime FAgora;
    // A new product's values: those that do not depend on the item, and the current item's.
    TnRegistroProduto FRegistroPadrao;
};
