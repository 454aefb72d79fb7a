#include "OrvoConsultaLctoBlocoKFactory_U.h"

#include "OrvoConsultaRotinasBlocoK_U.h"

std::unique_ptr<IRelacionarRotinaBlocoKFactory> TOrvoConsultaLctoBlocoKFactory::New()
{
    return std::make_unique<TOrvoConsultaLctoBlocoKFactory>();
}

std::unique_ptr<IRelacionarRotinaBlocoK> TOrvoConsultaLctoBlocoKFactory::PegarRotina(quint16 registro) const
{
    switch (registro) {
    case 200: return TOrvoConsultaRotinaBlocoK200::New();
    case 220: return TOrvoConsultaRotinaBlocoK220::New();
    case 280: return TOrvoConsultaRotinaBlocoK280::New();
    default: return nullptr;
    }
}

std::unique_ptr<IRelacionarRotinaBlocoKFactory> ConsultaLctoBlocoKFactory() { return TOrvoConsultaLctoBlocoKFactory::New(); }
