#include "platform/prompts.h"

namespace kivamo {

void reportError(Prompts& prompts, const QString& message)
{
    MessagePrompt prompt;
    prompt.caption = QStringLiteral("Kivamo");
    prompt.text = message;
    prompt.icon = PromptIcon::Error;
    prompt.buttons = PromptButton::Ok;
    prompts.message(prompt);
}

QString qtFilterFromSystemFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            QString p = pattern.trimmed();
            for (const QString& spelling : {p, p.toLower(), p.toUpper()}) {
                if (!patterns.contains(spelling))
                    patterns.append(spelling);
            }
        }
        entries.append(parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace kivamo
