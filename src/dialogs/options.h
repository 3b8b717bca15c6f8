// The logic of the options dialog 选项设置: the state of its controls, how main.ini fills them, the
// rules that tie the controls together, and what "确定" writes and applies.
#pragma once

#include "core/result.h"

#include <QColor>
#include <QString>

#include <functional>
#include <optional>

namespace kivamo {

class Associations;
class IniFile;
class Prompts;

// A check box or radio button: its tick and whether the user may change it.
struct OptionBox {
    bool checked = false;
    bool enabled = true;
};

// The dialog's controls as the dialog is designed, before main.ini is read.
struct OptionsControls {
    // 常规设置
    OptionBox getnew{true, false};  // always disabled: it only shows whether a version check is on
    OptionBox newswversion{true, true};
    OptionBox newflversion{true, true};
    OptionBox history{true, true};
    OptionBox command{false, true};
    OptionBox pupflashmenu{false, true};
    OptionBox banquan{true, true};
    // 播放设置
    OptionBox autoplay{true, true};
    OptionBox listtop{true, true};
    OptionBox latest{false, true};
    OptionBox pingbao{true, true};
    OptionBox ontop{false, true};
    int step = 20;
    OptionBox autocontinue{false, true};
    OptionBox dclick{false, true};
    OptionBox showall{true, true};
    OptionBox noscale{false, true};
    OptionBox newlist{true, true};
    OptionBox behind{false, true};
    // 截图设置: the folder controls share the enabled state of the format buttons.
    OptionBox custom{false, true};
    OptionBox def{true, true};
    QString path;
    OptionBox bmp{true, true};
    OptionBox gif{false, true};
    OptionBox jpg{false, true};
    // FSCOMMAND设置
    OptionBox fscommand{false, true};
    OptionBox exec{false, false};
};

// The slider's range.
constexpr int kMinimumStep = 10;
constexpr int kMaximumStep = 100;

// What 路径状态 shows for a snapshot folder.
struct FolderState {
    QString text;
    QColor colour;
};
using OpticalProbe = std::function<bool(const QString&)>;
// "有效" in green for an existing folder, "无效(光驱路径)" in red for one on optical or read-only
// media, "无效(路径不存在)" in red when no folder exists at the trimmed text.
FolderState folderState(const QString& text, const OpticalProbe& isOptical);

// The slider position followed by " 帧".
QString stepText(int step);

// The snapshot format of the selected radio button; empty when none is selected.
QString imageTypeOf(const OptionsControls& controls);

// What "确定" needs from the rest of the program.
struct OptionsServices {
    QString programDirectory;
    QString programPath;
    Prompts* prompts = nullptr;
    Associations* associations = nullptr;  // none: the association is not registered
    std::function<void(bool)> applyOnTop;   // puts the main window into or out of on-top mode
    std::function<void()> reloadSettings;   // reloads the startup settings from main.ini
};

class OptionsDialog {
public:
    OptionsControls& controls() { return m_controls; }
    const OptionsControls& controls() const { return m_controls; }

    // Fills the controls from main.ini in the dialog's order, running the click rules as each value
    // changes a control. movieOwned: whether movie files already open with this program (nothing
    // when that cannot be told); onTop: the main window's current on-top mode.
    void load(const IniFile& ini, const QString& programDirectory, std::optional<bool> movieOwned, bool onTop);

    // The rules of the click handlers, acting on the controls as they now stand.
    void getnewClicked();
    void newswversionClicked();
    void autoplayClicked();
    void fscommandClicked();
    void defClicked();
    // Sets the slider position (kept within 10..100).
    void setStep(int step);

    bool pictureControlsEnabled() const { return m_controls.def.checked; }

    // Writes every key of the dialog into ini, in the dialog's order.
    void write(IniFile& ini) const;

    // "确定": writes main.ini, registers the movie association when 保持与SWF文件关联 is ticked,
    // applies on-top mode and reloads the startup settings. When main.ini cannot be written the
    // error is shown, nothing else happens and false is returned (the dialog then stays open).
    bool confirm(const OptionsServices& services) const;

private:
    using Rule = void (OptionsDialog::*)();
    // A check box changed by the program runs its rule when its tick changes.
    void setCheck(OptionBox& box, bool value, Rule rule = nullptr);
    // A radio button selected by the program clears its partners and runs its rule.
    void setRadio(OptionBox& box, bool value, std::initializer_list<OptionBox*> partners, Rule rule = nullptr);

    OptionsControls m_controls;
};

}  // namespace kivamo
