// Program entry: everything until the application ends happens inside ExecutarProjeto.
#include "OrvoSMenu_U.h"
#include "OrvoSSplash_U.h"
#include "QtProjeto.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    // Names the folders of the settings file, the embedded database and the user preferences.
    QCoreApplication::setOrganizationName(QStringLiteral("Varnel"));
    QCoreApplication::setApplicationName(QStringLiteral("INV"));
    return ExecutarProjeto(argc, argv, QStringLiteral("INV - Varnel"), ClasseForm<TOrvoSSplash>(),
                           ClasseForm<TOrvoSMenu>(), &OrvoSMenu, nullptr);
}
