// The main window's layout rules that need no widgets: the toolbar overflow, the list handle's
// place and the status line's hint text.
#pragma once

#include <QString>

#include <vector>

namespace kivamo {

constexpr int kToolbarButtonCount = 13;
constexpr int kToolbarButtonWidth = 49;

// How many toolbar buttons no longer fit: 13 − (toolbar width − 20) div 49; zero or less: none.
int toolbarOverflowCount(int toolbarWidth);

// The toolbar's controls from left to right: a button's index into the button list, or a group separator.
struct ToolbarSlot {
    int button = -1;  // -1: a group separator
    bool isSeparator() const { return button < 0; }
};

// The overflow menu top to bottom: the last `count` buttons in left-to-right order, with a separator
// line wherever a group separator lies among them.
std::vector<ToolbarSlot> overflowMenu(const std::vector<ToolbarSlot>& toolbar, int count);

// The list handle's top on the splitter: half the splitter's height (truncated) plus 60.
int splitterHandleTop(int splitterHeight);

// The status line for a hint: a leading blank, and every CR LF shown as three blanks.
QString statusLineForHint(const QString& hint);

}  // namespace kivamo
