#include "shell/unsetassign.h"

#include "platform/inifile.h"

#include <algorithm>

namespace kivamo {

namespace {

constexpr int kLargestIconNumber = 254;

void showOnTop(Prompts& prompts, const QString& caption, const QString& text, PromptIcon icon)
{
    MessagePrompt prompt;
    prompt.caption = caption;
    prompt.text = text;
    prompt.icon = icon;
    prompt.buttons = PromptButton::Ok;
    prompt.stayOnTop = true;
    prompts.message(prompt);
}

}  // namespace

QString chooseHandlerProgram(Prompts& prompts)
{
    // Programs here carry no ".exe"; any file may be chosen and "应用关联设置" checks that it exists.
    FilePrompt prompt;
    prompt.filter = QStringLiteral("可执行程序|*");
    return prompts.openFiles(prompt).value(0);
}

bool iconNumberKeyAccepted(QChar key)
{
    return key == u'\b' || (key >= u'0' && key <= u'9');
}

QString boundedIconNumber(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("0");
    // Only digits can be typed; a pasted text that is not a number is left for the next change.
    bool isNumber = false;
    const qulonglong value = text.toULongLong(&isNumber);
    const bool tooLong = text.size() > 3 && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    if ((isNumber && value > kLargestIconNumber) || tooLong)
        return QString::number(kLargestIconNumber);
    return text;
}

Result<void> keepAssociationsButStopTaking(const QString& iniPath)
{
    IniFile ini = IniFile::load(iniPath);
    ini.writeBool(QStringLiteral("common"), QStringLiteral("command"), false);
    return ini.save(iniPath);
}

bool applyUnassign(const AssociationEnvironment& environment, Prompts& prompts, const QString& iniPath,
                   const QString& programPath)
{
    const QFileInfo program(programPath);
    if (programPath.isEmpty() || !program.isFile()) {
        showOnTop(prompts, QStringLiteral("文件不存在"), QStringLiteral("您所指定的程序不存在，请更正后再试。"),
                  PromptIcon::Error);
        return false;
    }
    if (Result<void> saved = keepAssociationsButStopTaking(iniPath); !saved) {
        reportError(prompts, saved.error().message);
        return false;
    }
    if (Result<void> done = registerMovieAssociation(environment, programPath, false); !done) {
        reportError(prompts, done.error().message);
        return false;
    }
    showOnTop(prompts, QStringLiteral("文件关联卸载成功"),
              QStringLiteral("SWF文件关联卸载成功，当前关联程序") + u'\r' + programPath, PromptIcon::Information);
    return true;
}

}  // namespace kivamo
