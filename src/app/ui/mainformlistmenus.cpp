// The list panel's menus (PM_ListFile, PM_ListEdit, PM_List) and the list view's pop-up menu
// PM_ListView, their enabling on opening, and the commands that act on the movie files: copy,
// delete from disk, remove dead entries, change path, show in the file manager, the title editor
// and the browser-cache search.
#include "app/ui/tmainform.h"
#include "core/playlist.h"
#include "info/browsercache.h"
#include "info/copymovies.h"
#include "info/fileoperations.h"
#include "info/titleeditor.h"
#include "info/ui/tfchangepath.h"
#include "info/ui/tfcopyto.h"
#include "info/ui/tfmcaption.h"
#include "playlist/listcommands.h"
#include "playlist/ui/tfsearchrec.h"

#include <QStandardPaths>

#include <chrono>
#include <vector>

namespace {

// When an item is enabled; evaluated each time its menu opens.
enum class Enable { Always, Selected, SelectedNotCurrent, NotEmpty };
enum class Kind { Entry, Separator, Sub, End };

struct ListMenuRow {
    Kind kind;
    const char* name;
    const char* caption;
    const char* hint;
    const char* shortcut;
    Enable enable;
};

constexpr const char* kEnableRule = "kivamoEnable";

const std::vector<ListMenuRow> kListFileMenu = {
    {Kind::Entry, "MNI_AddFile1", "添加文件", "", "", Enable::Always},
    {Kind::Entry, "MNI_InsertURL", "添加网络Flash", "", "", Enable::Always},
    {Kind::Entry, "MNI_seldir", "添加目录", "", "", Enable::Always},
};

const std::vector<ListMenuRow> kListMenu = {
    {Kind::Entry, "MNI_ListFileClear1", "新建列表", "", "", Enable::Always},
    {Kind::Entry, "MNI_OpenListFile1", "载入列表", "", "", Enable::Always},
    {Kind::Entry, "MNI_SaveListFile1", "保存列表", "", "", Enable::Always},
    {Kind::Separator, "MNIN3", "", "", "", Enable::Always},
    {Kind::Entry, "MNI_srcIE", "搜索IE缓存", "", "", Enable::Always},
};

const std::vector<ListMenuRow> kListViewMenu = {
    {Kind::Entry, "MNI_play", "播放所选文件", "", "", Enable::Selected},
    {Kind::Separator, "MNI_N28", "", "", "", Enable::Always},
    {Kind::Entry, "MNI_N20", "添加文件", "", "", Enable::Always},
    {Kind::Entry, "MNI_ninserturl", "添加网络Flash", "", "", Enable::Always},
    {Kind::Entry, "MNI_N27", "添加目录", "", "", Enable::Always},
    {Kind::Separator, "MNI_N36", "", "", "", Enable::Always},
    {Kind::Entry, "MNI_N34", "新建列表", "", "", Enable::Always},
    {Kind::Entry, "MNI_N35", "载入列表", "", "", Enable::Always},
    {Kind::Entry, "MNI_N37", "保存列表", "", "", Enable::Always},
    {Kind::Separator, "MNI_FdetailC", "", "", "", Enable::Always},
    {Kind::Entry, "MNI_SelAll", "全选", "", "", Enable::NotEmpty},
    {Kind::Sub, "MNI_del", "删除", "", "", Enable::Always},
    {Kind::Entry, "MNI_DelSel", "删除所选", "删除所选项", "Del", Enable::Selected},
    {Kind::Entry, "MNI_fdel", "物理删除所选", "从磁盘删除所选文件，网络路径除外", "", Enable::Selected},
    {Kind::Entry, "MNI_ddel", "删除所有失效项目", "删除所有失效项目，网络路径除外", "", Enable::Always},
    {Kind::End, "", "", "", "", Enable::Always},
    {Kind::Entry, "MNI_rcopyto", "复制到...", "", "", Enable::Selected},
    {Kind::Entry, "MNI_openInEXP", "在浏览器中打开", "", "", Enable::Selected},
    {Kind::Separator, "MNI_N5", "", "", "", Enable::Always},
    {Kind::Entry, "MNI_mCaption", "更改标题...", "", "", Enable::SelectedNotCurrent},
    {Kind::Entry, "MNI_changepath", "更改文件路径...", "", "", Enable::SelectedNotCurrent},
    {Kind::Entry, "MNI_fdetail", "影片详细信息...", "", "Ctrl+D", Enable::Selected},
};

const std::vector<ListMenuRow> kListEditMenu = {
    {Kind::Entry, "MNI_selall1", "全选", "", "", Enable::NotEmpty},
    {Kind::Entry, "MNI_copyto", "复制到...", "", "", Enable::Selected},
    {Kind::Sub, "MNI_77", "删除", "", "", Enable::Always},
    {Kind::Entry, "MNI_sdel", "删除所选", "删除所选项", "Del", Enable::Selected},
    {Kind::Entry, "MNI_sfdel", "物理删除所选", "从磁盘删除所选文件，网络路径除外", "", Enable::Selected},
    {Kind::Entry, "MNI_snDel", "删除所有失效项目", "删除所有失效项目，网络路径除外", "", Enable::Always},
    {Kind::End, "", "", "", "", Enable::Always},
    {Kind::Entry, "MNI_sopenInexp", "在浏览器中打开", "", "", Enable::Selected},
    {Kind::Separator, "MNI_N3", "", "", "", Enable::Always},
    {Kind::Entry, "MNI_smCaption", "更改标题...", "", "", Enable::SelectedNotCurrent},
    {Kind::Entry, "MNI_schangepath", "更改文件路径...", "", "", Enable::Selected},
    {Kind::Entry, "MNI_sfdetail", "影片详细信息...", "", "Ctrl+D", Enable::Selected},
};

// The shortcut is shown beside the caption only: the list view's key handler runs Del and Ctrl+D,
// so each runs once.
void fillListMenu(QMenu* top, const std::vector<ListMenuRow>& rows)
{
    QMenu* menu = top;
    for (const ListMenuRow& row : rows) {
        const QString name = QString::fromLatin1(row.name);
        const QString caption = QString::fromUtf8(row.caption);
        if (row.kind == Kind::Separator) {
            menu->addSeparator()->setObjectName(name);
        } else if (row.kind == Kind::Sub) {
            menu = top->addMenu(caption);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            menu->setAccessibleName(caption);
        } else if (row.kind == Kind::End) {
            menu = top;
        } else {
            const QString shortcut = QString::fromLatin1(row.shortcut);
            QAction* item = menu->addAction(shortcut.isEmpty() ? caption : QString(caption + u'\t' + shortcut));
            item->setObjectName(name);
            const QString hint = QString::fromUtf8(row.hint);
            item->setStatusTip(hint);
            item->setToolTip(hint.isEmpty() ? caption : hint);
            item->setWhatsThis(hint);  // read by screen readers as the hint
            item->setProperty(kEnableRule, int(row.enable));
        }
    }
}

bool enabledBy(Enable rule, const kivamo::ListMenuState& state)
{
    switch (rule) {
    case Enable::Always: return true;
    case Enable::Selected: return state.selected;
    case Enable::SelectedNotCurrent: return state.selected && state.notCurrent;
    case Enable::NotEmpty: return state.notEmpty;
    }
    return true;
}

qint64 steadyMilliseconds()
{
    return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now().time_since_epoch()).count());
}

}  // namespace

void Tmainform::connectListMenus()
{
    PM_ListView = new QMenu(this);
    PM_ListView->setObjectName(QStringLiteral("PM_ListView"));
    const std::pair<QMenu*, const std::vector<ListMenuRow>*> menus[] = {
        {findChild<QMenu*>(QStringLiteral("PM_ListFile")), &kListFileMenu},
        {findChild<QMenu*>(QStringLiteral("PM_List")), &kListMenu},
        {findChild<QMenu*>(QStringLiteral("PM_ListEdit")), &kListEditMenu},
        {PM_ListView, &kListViewMenu},
    };
    for (const auto& [menu, rows] : menus) {
        fillListMenu(menu, *rows);
        connect(menu, &QMenu::aboutToShow, this, [this, menu = menu] { PM_ListViewPopup(menu); });
    }
    lv_listview1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lv_listview1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PM_ListView->popup(lv_listview1->viewport()->mapToGlobal(at)); });
    new TFcopyto(this);  // the copy log is kept for the whole run

    using Handler = void (Tmainform::*)();
    const std::pair<const char*, Handler> handlers[] = {
        {"MNI_InsertURL", &Tmainform::MNI_mInsertURLClick}, {"MNI_ninserturl", &Tmainform::MNI_mInsertURLClick},
        {"MNI_seldir", &Tmainform::MNI_d2Click}, {"MNI_N27", &Tmainform::MNI_d2Click},
        {"MNI_srcIE", &Tmainform::MNI_srcIEClick},
        {"MNI_play", &Tmainform::MNI_playClick},
        {"MNI_SelAll", &Tmainform::MNI_SelAllClick}, {"MNI_selall1", &Tmainform::MNI_SelAllClick},
        {"MNI_DelSel", &Tmainform::MNI_DelSelClick}, {"MNI_sdel", &Tmainform::MNI_DelSelClick},
        {"MNI_fdel", &Tmainform::MNI_fdelClick}, {"MNI_sfdel", &Tmainform::MNI_fdelClick},
        {"MNI_ddel", &Tmainform::MNI_ddelClick}, {"MNI_snDel", &Tmainform::MNI_ddelClick},
        {"MNI_rcopyto", &Tmainform::MNI_rcopytoClick}, {"MNI_copyto", &Tmainform::MNI_rcopytoClick},
        {"MNI_rrcopyto", &Tmainform::MNI_rrcopytoClick},
        {"MNI_openInEXP", &Tmainform::MNI_openInEXPClick}, {"MNI_sopenInexp", &Tmainform::MNI_openInEXPClick},
        {"MNI_mCaption", &Tmainform::MNI_mCaptionClick}, {"MNI_smCaption", &Tmainform::MNI_mCaptionClick},
        {"MNI_changepath", &Tmainform::MNI_changepathClick}, {"MNI_schangepath", &Tmainform::MNI_changepathClick},
        {"MNI_fdetail", &Tmainform::TB_detailClick}, {"MNI_sfdetail", &Tmainform::TB_detailClick},
    };
    for (const auto& [name, handler] : handlers) {
        if (QAction* item = menuAction(QString::fromLatin1(name)))
            connect(item, &QAction::triggered, this, handler);
    }
    const std::pair<const char*, kivamo::Command> commands[] = {
        {"MNI_AddFile1", kivamo::Command::AddFiles}, {"MNI_N20", kivamo::Command::AddFiles},
        {"MNI_ListFileClear1", kivamo::Command::NewList}, {"MNI_N34", kivamo::Command::NewList},
        {"MNI_OpenListFile1", kivamo::Command::OpenList}, {"MNI_N35", kivamo::Command::OpenList},
        {"MNI_SaveListFile1", kivamo::Command::SaveList}, {"MNI_N37", kivamo::Command::SaveList},
    };
    for (const auto& [name, command] : commands)
        bindMenuCommand(name, command);
}

void Tmainform::PM_ListViewPopup(QMenu* menu)
{
    if (!m_services.listContext)
        return;
    const kivamo::ListMenuState state = kivamo::listMenuState(m_services.listContext());
    for (QAction* item : menu->findChildren<QAction*>()) {
        const QVariant rule = item->property(kEnableRule);
        if (rule.isValid())
            item->setEnabled(enabledBy(Enable(rule.toInt()), state));
    }
}

void Tmainform::MNI_playClick()
{
    if (!m_services.listContext)
        return;
    kivamo::ListContext context = m_services.listContext();
    kivamo::playSelected(context);
}

void Tmainform::MNI_SelAllClick()
{
    lv_listview1->selectAll();
}

void Tmainform::MNI_DelSelClick()
{
    if (!m_services.listContext)
        return;
    kivamo::ListContext context = m_services.listContext();
    kivamo::deleteSelected(context);
}

void Tmainform::MNI_fdelClick()
{
    if (!m_services.listContext)
        return;
    kivamo::ListContext context = m_services.listContext();
    kivamo::deleteSelectedFromDisk(context);
}

void Tmainform::MNI_ddelClick()
{
    if (!m_services.listContext)
        return;
    kivamo::ListContext context = m_services.listContext();
    kivamo::removeDeadEntries(context);
}

void Tmainform::MNI_rcopytoClick()
{
    if (!m_services.listContext)
        return;
    HaveExistChooser chooser(this);
    kivamo::MovieCopier copier(*findChild<TFcopyto*>(), chooser);
    kivamo::copySelected(m_services.listContext().list, *m_services.prompts, copier,
                         QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

void Tmainform::MNI_rrcopytoClick()
{
    const kivamo::PlayerFlags flags = m_services.commands->playerFlags();
    if (!flags.movieLoaded)
        return;
    HaveExistChooser chooser(this);
    kivamo::MovieCopier copier(*findChild<TFcopyto*>(), chooser);
    kivamo::copyCurrent(flags.currentMoviePath, *m_services.prompts, copier,
                        QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

void Tmainform::MNI_openInEXPClick()
{
    if (m_services.listContext && m_services.fileManager)
        kivamo::showSelectedInFileManager(m_services.listContext().list, *m_services.fileManager);
}

// The loaded movie's title and path stay as they are: both dialogs refuse it.
void Tmainform::MNI_mCaptionClick()
{
    if (!m_services.listContext)
        return;
    kivamo::PlayList& list = m_services.listContext().list;
    const std::optional<int> target = kivamo::titleEditorTarget(list, m_services.operations->currentIndex());
    if (!target)
        return;
    auto* dialog = new TFmCaption(list, *m_services.prompts, *target, this);
    dialog->show();
}

void Tmainform::MNI_changepathClick()
{
    if (!m_services.listContext)
        return;
    kivamo::PlayList& list = m_services.listContext().list;
    const int current = m_services.operations->currentIndex();
    const std::optional<int> target = kivamo::changePathTarget(list, current);
    if (!target)
        return;
    auto* dialog = new TFchangepath(list, *m_services.prompts, *target, current, [](const QString&) {}, this);
    dialog->show();
}

void Tmainform::MNI_srcIEClick()
{
    if (!m_services.listContext)
        return;
    kivamo::ListContext context = m_services.listContext();
    kivamo::CacheWalker walker(context, *m_searchrec, steadyMilliseconds);
    m_searchrec->setCancel([&walker] { walker.cancel(); });
    kivamo::searchBrowserCache(context, walker, kivamo::findBrowserCacheFolder(m_services.cacheHome));
    m_searchrec->setCancel({});
}
