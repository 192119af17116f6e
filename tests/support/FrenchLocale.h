#pragma once
// Puts the French locale in force for the life of the guard and the previous default back
// afterwards ("12,50", "47,37").
#include <QLocale>

class FrenchLocaleGuard {
public:
    FrenchLocaleGuard() : saved_(QLocale()) { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    ~FrenchLocaleGuard() { QLocale::setDefault(saved_); }
    FrenchLocaleGuard(const FrenchLocaleGuard&) = delete;
    FrenchLocaleGuard& operator=(const FrenchLocaleGuard&) = delete;

private:
    QLocale saved_;
};
