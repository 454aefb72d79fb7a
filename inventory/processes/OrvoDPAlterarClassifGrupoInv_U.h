#pragma once
// Change of the mask of the active company's product-group chart: every group's
// classification is rewritten under the new mask and the mask is stored, all in
// transaction 1 or nothing.
//
// A rewrite may only change how many digits a level is written with ("1.01" under
// "9.999.9999" becomes "1.001"): a classification with more levels than the new mask, a
// level that is no number or a number that does not fit its level's digits stops the run
// before anything is written. A company without groups still gets the new mask.
#include "PowerParam.h"

inline constexpr char OrvoSAlterarClassifEmpNaoConfigurada[] =
    "A empresa não tem a máscara do plano de contas de produtos configurada: informe-a em \"Cadastros\", "
    "\"Configuração do Registro Geral\".";
inline constexpr char OrvoSAlterarClassifMascMaior[] = "A nova máscara não pode ter mais de 20 caracteres.";
inline constexpr char OrvoSAlterarClassifMascIgualAnterior[] = "A nova máscara é igual à máscara atual.";
inline constexpr char OrvoSAlterarClassifMascFormatoInvalido[] =
    "Máscara inválida: informe níveis de dígitos (9, 0 ou #) separados por ponto, como 9.99.999.";
inline constexpr char OrvoSAlterarClassifMascAtencao[] =
    "Atenção: a classificação de todos os grupos de produtos da empresa será reescrita na nova máscara. "
    "Recomenda-se fazer uma cópia de segurança do banco de dados antes de continuar.";
inline constexpr char OrvoSAlterarClassifMascConfirmacao[] =
    "Confirma a alteração da estrutura do plano de contas para a máscara %1?";
inline constexpr char OrvoSAlterarClassifMascExecutar[] = "Alterando a estrutura do plano de contas...";
inline constexpr char OrvoSAlterarClassifMascErroFormato[] =
    "A classificação \"%1\" não pode ser reescrita na nova máscara sem mudar seus níveis (resultado: \"%2\").";
inline constexpr char OrvoSAlterarClassifMascQuebraEstrutura[] =
    "Não foi possível gravar a nova classificação dos grupos de produtos.";
inline constexpr char OrvoSAlterarClassifMascResultado[] = "%1 grupo(s) de produtos reclassificado(s).";
inline constexpr char OrvoSAlterarClassifMascErroFinal[] = "A estrutura do plano de contas não foi alterada.";
inline constexpr char OrvoSAlterarClassifMascNaoGravada[] =
    "A máscara da empresa não foi encontrada para ser gravada.";

class TOrvoDPAlterarClassifGrupoInv : public TnDMPowerParam {
public:
    TOrvoDPAlterarClassifGrupoInv();

    static QString PegarVerificaSelecao();
    static void GerarPrincAction(const TnClasseInfo &classe, TnActionList &lista, const TnEventoAcao &evento,
                                 const TnModulos &modulos);

    void Executar() override;

    // The run's report: the count of groups rewritten and the time taken.
    TnListaMensagem &FMensagem() { return Mensagens(); }

private:
    struct Grupo {
        qint32 Codigo;
        QString Classif;
    };
    std::vector<Grupo> LerGrupos(int empresa) const;
    // The new classification of each group, in the order of `grupos`; raises the format
    // error on the first group that cannot keep its levels.
    QStringList Reclassificar(const std::vector<Grupo> &grupos, const QString &mascara, TnProgresso &progresso) const;
    void Gravar(int empresa, const std::vector<Grupo> &grupos, const QStringList &novas, const QString &mascara);
};
