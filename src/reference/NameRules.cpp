#include "reference/NameRules.h"

#include "data/AccentFold.h"

EditorName CheckEditorName(const QString& typed) {
    EditorName result;
    for (const QChar c : typed)
        if (c.category() == QChar::Other_Control) {
            result.refusal = QStringLiteral("        Le nom contient un caractère de contrôle (tabulation,\n"
                                            "        saut de ligne ou caractère nul) : retirez-le.");
            return result;
        }
    result.name = typed.trimmed();
    return result;
}

bool SameEditorName(const QString& a, const QString& b) {
    return FoldAccents(a.trimmed(), false) == FoldAccents(b.trimmed(), false);
}
