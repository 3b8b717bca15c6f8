#include "player/playercommands.h"

#include <map>

namespace kivamo {

namespace {

using Controls = std::vector<CommandControl>;

CommandControl button(const char* name, const char* hint)
{
    return {QString::fromLatin1(name), {}, QString::fromUtf8(hint), {}, false};
}

CommandControl item(const char* name, const char* caption, const char* shortcut = "", bool shownOnly = false)
{
    return {QString::fromLatin1(name), QString::fromUtf8(caption), {}, QString::fromLatin1(shortcut), shownOnly};
}

CommandControl captioned(const char* name, const char* caption, const char* hint)
{
    return {QString::fromLatin1(name), QString::fromUtf8(caption), QString::fromUtf8(hint), {}, false};
}

std::map<PlayerCommand, Controls> transportTable()
{
    using C = PlayerCommand;
    return {
        {C::Play, {button("B_bplay", "播放影片"), button("TB_play", "播放影片"), item("MNI_mplay", "播放(&P)", "Ctrl+P", true),
                   item("MNI_rplay", "播放(&P)", "Ctrl+P", true)}},
        {C::Pause, {button("B_Bpause", "暂停播放"), item("MNI_mpause", "暂停(&S)", "Ctrl+O", true),
                    item("MNI_Pause", "暂停", "Ctrl+O", true)}},
        {C::Stop, {button("B_Bstop", "停止"), button("TB_2", "停止"), item("MNI_Mstop", "停止"), item("MNI_rstop", "停止(&S)")}},
        {C::Rewind, {button("B_Brewind", "重播"), button("TB_6", "重播"), item("MNI_mrewind", "重播(&R)", "Ctrl+R", true),
                     item("MNI_rrewind", "重播(&R)", "Ctrl+R", true)}},
        {C::PreviousFrame, {button("B_BprevZ", "上一帧"), button("TB_5", "上一帧"), item("MNI_mprezhen", "前一帧"),
                            item("MNI_rprezhen", "前一帧")}},
        {C::NextFrame, {button("B_BnextZ", "下一帧"), button("TB_9", "下一帧"), item("MNI_mnextzhen", "后一帧"),
                        item("MNI_rnextzhen", "后一帧")}},
        {C::FastBack, {button("B_Bfprev", "快退(ctrl + ←)"), button("TB_4", "快退"), item("MNI_mfback", "快退"),
                       item("MNI_fprev", "快退")}},
        {C::FastForward, {button("B_Bfnext", "快进(ctrl + →)"), button("TB_10", "快进"), item("MNI_mfnext", "快进"),
                          item("MNI_fnext", "快进")}},
        {C::PreviousEntry, {button("B_Bprev", "上一个"), button("TB_3", "上一个"), item("MNI_mpre", "上一个(&E)", "Ctrl+E"),
                            item("MNI_rpre", "上一个(&E)", "Ctrl+E")}},
        {C::NextEntry, {button("B_Bnext", "下一个"), button("TB_11", "下一个"), item("MNI_mnext", "下一个(&N)", "Ctrl+N"),
                        item("MNI_rnext", "下一个(&N)", "Ctrl+N")}},
        {C::Loop, {item("MNI_rloop", "循环播放")}},
    };
}

std::map<PlayerCommand, Controls> viewTable()
{
    using C = PlayerCommand;
    return {
        {C::ZoomIn, {captioned("TB_zoomout", "放大", "放大影片"), item("MNI_mzoomout", "放大"), item("MNI_rzoomout", "放大")}},
        {C::ZoomOut, {captioned("TB_zoomin", "缩小", "缩小影片"), item("MNI_mzoomin", "缩小"), item("MNI_rzoomin", "缩小")}},
        {C::NativeSize, {item("MNI_INIsize", "原始大小"), captioned("MNI_minisize", "原始大小", "原始尺寸播放"),
                         item("MNI_rinisize", "原始大小（100%）")}},
        {C::ShowAll, {item("MNI_showall", "显示全部"), captioned("MNI_mshowall", "显示全部", "拉伸屏幕播放"),
                      item("MNI_rshowall", "显示全部（拉伸）")}},
        {C::QualityLow, {item("pmquality_l", "低"), item("MNI_msl", "低"), item("MNI_sl", "低")}},
        {C::QualityHigh, {item("pmquality_h", "高"), item("MNI_msh", "高"), item("MNI_sh", "高")}},
        {C::QualitySpeed, {item("pmquality_s", "速度优先"), item("MNI_mss", "速度优先"), item("MNI_ss", "速度优先")}},
        {C::QualityBest, {item("pmquality_q", "质量优先"), item("MNI_msq", "质量优先"), item("MNI_sq", "质量优先")}},
        {C::Background, {captioned("TB_bgcolor", "背景", "设置背景")}},
        {C::FullScreen, {captioned("TB_allscreen", "全屏", "全屏播放"), item("MNI_allscreen", "全屏播放", "Ctrl+F"),
                         item("MNI_ALL", "全屏播放", "Ctrl+F")}},
        {C::GotoFrame, {button("pnl_CtrlPanel", "双击跳到指定帧"), item("TB_8", "跳到指定帧"), item("MNI_mgoto", "跳到指定帧..."),
                        item("MNI_goto", "跳到指定帧...")}},
    };
}

std::map<PlayerCommand, Controls> buildTable()
{
    std::map<PlayerCommand, Controls> table = transportTable();
    table.merge(viewTable());
    return table;
}

}  // namespace

const std::vector<CommandControl>& commandControls(PlayerCommand command)
{
    // Built once on first use and never changed afterwards: a constant table, not shared state.
    static const std::map<PlayerCommand, Controls> table = buildTable();
    return table.at(command);
}

int commandQuality(PlayerCommand command)
{
    switch (command) {
    case PlayerCommand::QualityLow: return 0;
    case PlayerCommand::QualityHigh: return 1;
    case PlayerCommand::QualitySpeed: return 2;
    case PlayerCommand::QualityBest: return 3;
    default: return -1;
    }
}

}  // namespace kivamo
