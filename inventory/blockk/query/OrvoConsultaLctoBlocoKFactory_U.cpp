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
    case 210: return TOrvoConsultaRotinaBlocoK210::New();
    case 220: return TOrvoConsultaRotinaBlocoK220::New();
    case 230: return TOrvoConsultaRotinaBlocoK230::New();
    case 250: return TOrvoConsultaRotinaBlocoK250::New();
    case 260: return TOrvoConsultaRotinaBlocoK260::New();
    case 270: return TOrvoConsultaRotinaBlocoK270::New();
    case 280: return TOrvoConsultaRotinaBlocoK280::New();
    case 290: return TOrvoConsultaRotinaBlocoK290::New();
    case 300: return TOrvoConsultaRotinaBlocoK300::New();
    default: return nullptr;
    }
}

std::unique_ptr<IRelacionarRotinaBlocoKFactory> ConsultaLctoBlocoKFactory() { return TOrvoConsultaLctoBlocoKFactory::New(); }
