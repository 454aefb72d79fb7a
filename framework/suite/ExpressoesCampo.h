#pragma once
// Functions that field rules written as expressions may call (the engine of the web mode):
// a name, matched without regard to case, and a function of one argument answering a value.
// A library registers its functions while it loads and removes them when it unloads, so
// the registry never calls into code that is gone.
#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>

using TnFuncaoExpressao = std::function<QVariant(const QVariant &argumento)>;

class TnFieldExpressionFunctions {
public:
    // Registers (or replaces) the function of that name.
    void RegisterFunction(const QString &nome, TnFuncaoExpressao funcao);
    void UnregisterFunction(const QString &nome); // unknown names are ignored
    bool Existe(const QString &nome) const;
    // Calls the function; an unknown name raises Exception.
    QVariant Chamar(const QString &nome, const QVariant &argumento = QVariant()) const;

private:
    QHash<QString, TnFuncaoExpressao> FFuncoes; // by upper-case name
};

TnFieldExpressionFunctions &FieldExpressionFunctions();
