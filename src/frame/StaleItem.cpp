#include "frame/StaleItem.h"

#include "frame/Umessages.h"

void SayItemGone(const QString& gone, const QString& caption) {
    const QString blank = QStringLiteral("        ");
    ShowMessageBox(blank + gone + QStringLiteral("\n") + blank +
                       QStringLiteral("Rien n'a été fait ; la liste montre maintenant ce qui est enregistré."),
                   caption, 48, nullptr, false);
}
