#include "app/layoutrules.h"

namespace kivamo {

int toolbarOverflowCount(int toolbarWidth)
{
    // Integer division truncates toward zero, as the rule asks for a toolbar narrower than 20 pixels.
    return kToolbarButtonCount - (toolbarWidth - 20) / kToolbarButtonWidth;
}

std::vector<ToolbarSlot> overflowMenu(const std::vector<ToolbarSlot>& toolbar, int count)
{
    std::vector<ToolbarSlot> menu;
    int taken = 0;
    for (auto slot = toolbar.rbegin(); slot != toolbar.rend() && taken < count; ++slot) {
        menu.insert(menu.begin(), *slot);
        if (!slot->isSeparator())
            ++taken;
    }
    return menu;
}

int splitterHandleTop(int splitterHeight)
{
    return splitterHeight / 2 + 60;
}

QString statusLineForHint(const QString& hint)
{
    QString text = hint;
    text.replace(QLatin1String("\r\n"), QLatin1String("   "));
    return QLatin1Char(' ') + text;
}

}  // namespace kivamo
