// Messages that repeat what someone typed quote at most 60 characters of it, then "…":
// a 100,000-character input gives a short message on every path.
#include "ClientDataSet.h"
#include "Filtro.h"
#include "Literais.h"
#include "PowerParam.h"
#include "Valores.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

QString Mensagem(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e.Message();
    }
    ADD_FAILURE() << "deveria falhar";
    return QString();
}

// The message quotes the first 60 characters of the text followed by "…", and not more.
void CitaSessenta(const QString &mensagem, QChar c)
{
    EXPECT_TRUE(mensagem.contains(QString(60, c) + QChar(0x2026))) << mensagem.left(200).toStdString();
    EXPECT_FALSE(mensagem.contains(QString(61, c))) << mensagem.left(200).toStdString();
    EXPECT_LT(mensagem.size(), 300);
}

} // namespace

TEST(Citacao, TextoLongoCortadoEmSessentaCaracteres)
{
    const QString longo = QString(100000, u'9') + u'x', letras = QString(100000, u'a');

    // A number typed by a user, a literal and a multi-value condition.
    CitaSessenta(Mensagem([&] { StrToFloatBR(longo); }), u'9');
    CitaSessenta(Mensagem([&] { ValorParaSQL(letras, ftInteger); }), u'a');
    CitaSessenta(Mensagem([&] { FilterInterval(QStringLiteral("CODIGOESTAB"), longo); }), u'9');

    // A filter expression, whole and its token.
    const auto campo = [](const QString &, TnCampoFiltro &c) {
        c = {0, ftInteger, 0};
        return true;
    };
    CitaSessenta(Mensagem([&] { TnFiltro::Compilar(QStringLiteral("A = '") + letras + u'\'', campo); }), u'a');

    // A field of the client dataset, and a process parameter.
    const TnDefCampo campos[] = {{.Nome = "N", .Tipo = ftInteger}};
    TnClientDataSet ds;
    ds.DefinirCampos(campos);
    ds.CreateDataSet();
    ds.Append();
    CitaSessenta(Mensagem([&] { ds.FieldByName("N").SetAsString(letras); }), u'a');
    TnpqParamItem p(TnDefParam{.Alias = "pN", .Caption = "N", .Tipo = ntpInteiro});
    p.SetText(letras);
    CitaSessenta(Mensagem([&] { p.AsInteger(); }), u'a');
}
