#pragma once
// The factory of the Bloco K query routines, by record number.
#include "OrvoConsultaLctoBlocoKInterfaces_U.h"

class TOrvoConsultaLctoBlocoKFactory : public IRelacionarRotinaBlocoKFactory {
public:
    static std::unique_ptr<IRelacionarRotinaBlocoKFactory> New();
    std::unique_ptr<IRelacionarRotinaBlocoK> PegarRotina(quint16 registro) const override;
};

std::unique_ptr<IRelacionarRotinaBlocoKFactory> ConsultaLctoBlocoKFactory();
