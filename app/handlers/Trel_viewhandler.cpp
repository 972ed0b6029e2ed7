#include "app/handlers/Trel_viewhandler.h"

#include "app/handlers/Trel_fileinforeader.h"
#include "app/names/Trel_fileinfo.h"
#include "app/names/Trel_listedit.h"
#include "framework/Fw_scope.h"
#include "support/Vek_window.h"

#include <algorithm>
#include <string>

namespace {

const char* const kShowToolbarKey = "ShowToolbar";
const char* const kShowStatusBarKey = "ShowStatusBar";
const char* const kRememberPlacementKey = "RememberPlacement";
const char* const kFormSection = "Form";
const char* const kBoundsSection = "Bounds";
const char* const kLeftKey = "Left";
const char* const kTopKey = "Top";
const char* const kRightKey = "Right";
const char* const kBottomKey = "Bottom";
const char* const kStateKey = "State";
const char* const kListViewSection = "ListView";
const char* const kColumnSection = "Column";
const char* const kWidthKey = "Width";
const char* const kVisibleKey = "Visible";
// The info columns' sections follow those of the list's five own columns.
constexpr int kFirstInfoSection = 5;

// How much of a window's caption must lie on a work area for the user to
// take it with the mouse: this wide (or the whole window, if narrower), and
// half the height of the caption with the frame above it.
constexpr long long kMinGripWidth = 40;
// A column narrower than this is hard to see and its divider hard to grab.
constexpr int kMinColumnWidth = 24;

// Sorts by sort keys, which order exactly as the item's comparisons
// (CompareByNewName...) do, with one key per row instead of a locale call per
// comparison. key(const TRenameItem&) gives an item's key.
template <class F>
void SortModel(TListViewModel& model, F key) {
    model.SortByKey([key](TListViewModel* m, int row) {
        return key(*static_cast<const TRenameItem*>(m->Items(row)->GetData()));
    });
}

// A rectangle (in 64 bits: stored values may be anything) and the size of
// the largest part of it that lies on the work area of one monitor.
struct TOverlap {
    long long Left, Top, Right, Bottom;
    long long Width = 0;
    long long Height = 0;
};

BOOL CALLBACK AddMonitorOverlap(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& overlap = *reinterpret_cast<TOverlap*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(monitor, &info))
        return TRUE;
    const long long width = std::min<long long>(overlap.Right, info.rcWork.right) -
                            std::max<long long>(overlap.Left, info.rcWork.left);
    const long long height = std::min<long long>(overlap.Bottom, info.rcWork.bottom) -
                             std::max<long long>(overlap.Top, info.rcWork.top);
    if (width > 0 && height > 0 && width * height > overlap.Width * overlap.Height) {
        overlap.Width = width;
        overlap.Height = height;
    }
    return TRUE;
}

} // namespace

bool IsReachablePlacement(const RECT& normalBounds) {
    const long long width = static_cast<long long>(normalBounds.right) - normalBounds.left;
    const long long height = static_cast<long long>(normalBounds.bottom) - normalBounds.top;
    if (width <= 0 || height <= 0)
        return false;
    // Workspace coordinates count from the corner of the primary monitor's
    // work area.
    MONITORINFO primary{};
    primary.cbSize = sizeof(primary);
    if (!GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary))
        return false;
    const long long left =
        static_cast<long long>(normalBounds.left) + primary.rcWork.left - primary.rcMonitor.left;
    const long long top =
        static_cast<long long>(normalBounds.top) + primary.rcWork.top - primary.rcMonitor.top;
    const long long caption =
        std::min<long long>(height, GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME));
    TOverlap overlap{left, top, left + width, top + caption};
    EnumDisplayMonitors(nullptr, nullptr, AddMonitorOverlap, reinterpret_cast<LPARAM>(&overlap));
    return overlap.Width >= std::min(kMinGripWidth, width) && overlap.Height * 2 >= caption;
}

UINT StartShowCommand(int stored, UINT current) {
    switch (stored) {
    case SW_SHOWMAXIMIZED:
        return SW_SHOWMAXIMIZED;
    case SW_SHOWNORMAL:
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        return SW_SHOWNORMAL;
    default:
        return current;
    }
}

int VisibleColumnWidth(int width) {
    const int screens = std::max(GetSystemMetrics(SM_CXVIRTUALSCREEN), kMinColumnWidth);
    return std::clamp(width, kMinColumnWidth, screens);
}

// ---------------------------------------------------------------- TViewHandler

TViewHandler::TViewHandler(TListViewModel& model, TObjectList& itemList, TInvoker& invoker)
    : THandler(model, itemList, invoker) {}

void TViewHandler::SetControls(TForm& form, TToolBar& toolBar, TStatusBar& statusBar, TListView& listView) {
    FFirstBounds = TTopLevelWindow(form.Handle()).GetNormalBounds();
    FForm = &form;
    FToolBar = &toolBar;
    FStatusBar = &statusBar;
    FListView = &listView;
}

TForm& TViewHandler::Form() const {
    if (!FForm)
        throw EHandlerError("The program has not given the view handler its window.");
    return *FForm;
}

TToolBar& TViewHandler::ToolBar() const {
    Form();
    return *FToolBar;
}

TStatusBar& TViewHandler::StatusBar() const {
    Form();
    return *FStatusBar;
}

TListView& TViewHandler::ListView() const {
    Form();
    return *FListView;
}

bool TViewHandler::GetToolbarVisible() const {
    return ToolBar().IsVisible();
}

void TViewHandler::SetToolbarVisible(bool value) {
    ToolBar().SetVisible(value);
}

bool TViewHandler::GetStatusBarVisible() const {
    return StatusBar().IsVisible();
}

void TViewHandler::SetStatusBarVisible(bool value) {
    StatusBar().SetVisible(value);
}

void TViewHandler::ResetColumnWidths() {
    TListView& list = ListView();
    const int columns = FixedColumnCount();
    if (columns == 0)
        return;
    const int share = list.ClientWidth() / (columns + 1);
    for (int column = 0; column < columns; ++column)
        list.SetColumnWidth(column, column == 0 ? 2 * share : share);
    for (int& width : FInfoWidth)
        width = share;
    PutInInfoColumns();
}

int TViewHandler::FixedColumnCount() const {
    return ListView().ColumnCount() - static_cast<int>(FInfoInList.size());
}

void TViewHandler::RememberInfoWidths() {
    const int fixed = FixedColumnCount();
    for (size_t k = 0; k < FInfoInList.size(); ++k)
        FInfoWidth[static_cast<int>(FInfoInList[k])] = ListView().ColumnWidth(fixed + static_cast<int>(k));
}

void TViewHandler::PutInInfoColumns() {
    TListView& list = ListView();
    // All are taken out and the shown ones put back in their order, so that
    // every column's sub-item is its position.
    for (; !FInfoInList.empty(); FInfoInList.pop_back())
        list.DeleteColumn(list.ColumnCount() - 1);
    for (int i = 0; i < kInfoColumnCount; ++i) {
        if (!FInfoShown[i])
            continue;
        const auto column = static_cast<TInfoColumn>(i);
        list.AddColumn(InfoColumnCaption(column), 0);
        FInfoInList.push_back(column);
        list.SetColumnWidth(list.ColumnCount() - 1, FInfoWidth[i]);
    }
}

void TViewHandler::SetInfoColumnShown(TInfoColumn column, bool shown) {
    FInfoShown[static_cast<int>(column)] = shown;
    RememberInfoWidths();
    PutInInfoColumns();
    ReadShownFileInfo();
}

std::optional<TInfoColumn> TViewHandler::InfoColumnAt(int position) const {
    const int index = position - FixedColumnCount();
    if (index < 0 || index >= static_cast<int>(FInfoInList.size()))
        return std::nullopt;
    return FInfoInList[static_cast<size_t>(index)];
}

void TViewHandler::ReadShownFileInfo() {
    if (!FInfoInList.empty())
        ReadFileInfo(IsInfoColumnShown(TInfoColumn::DateTaken));
}

void TViewHandler::Refresh() {
    ForgetFileInfo(Model());
    // The reading shows what it read.
    ReadShownFileInfo();
}

bool TViewHandler::ReadFileInfo(bool taken) {
    const std::vector<TFileInfoRequest> requests = FileInfoRequests(Model(), taken);
    if (requests.empty())
        return true;
    // What was read is shown, however the reading ended.
    auto redraw = ScopeExit([this] { ListView().UpdateVisibleItems(); });
    return ReadAndStoreFileInfo(requests);
}

template <class F>
void TViewHandler::Rearrange(F&& change) {
    Model().ReadFromView(true);
    change(Model());
    Model().WriteToView(true);
}

void TViewHandler::SortByNewName() {
    Rearrange([](TListViewModel& model) { SortModel(model, SortKeyByNewName); });
}

void TViewHandler::SortByOldName() {
    Rearrange([](TListViewModel& model) { SortModel(model, SortKeyByOldName); });
}

void TViewHandler::SortByDirectory() {
    Rearrange([](TListViewModel& model) { SortModel(model, SortKeyByDirectory); });
}

void TViewHandler::SortByType() {
    Rearrange([](TListViewModel& model) { SortModel(model, SortKeyByType); });
}

void TViewHandler::SortByResult() {
    Rearrange([](TListViewModel& model) { SortModel(model, SortKeyByResult); });
}

void TViewHandler::SortByInfo(TInfoColumn column) {
    if (!ReadFileInfo(NeedsDateTaken(column)))
        Abort();
    Rearrange([column](TListViewModel& model) {
        SortModel(model, [column](const TRenameItem& item) { return SortKeyByInfo(item, column); });
    });
}

void TViewHandler::Invert() {
    Rearrange([](TListViewModel& model) { model.Reverse(); });
}

void TViewHandler::MoveUp() {
    Rearrange([](TListViewModel& model) { model.MoveSelected(-1); });
    if (Model().FocusIndex() >= 0)
        ListView().EnsureVisible(Model().FocusIndex());
}

void TViewHandler::MoveDown() {
    Rearrange([](TListViewModel& model) { model.MoveSelected(1); });
    if (Model().FocusIndex() >= 0)
        ListView().EnsureVisible(Model().FocusIndex());
}

// ---------------------------------------------------------------- settings

void TViewHandler::LoadSettings(TMemIniFile& iniFile, TIniSection& section) {
    SetToolbarVisible(iniFile.ReadBool(section.GetSectionName(), kShowToolbarKey, GetToolbarVisible()));
    SetStatusBarVisible(iniFile.ReadBool(section.GetSectionName(), kShowStatusBarKey, GetStatusBarVisible()));
    RememberPlacement = iniFile.ReadBool(section.GetSectionName(), kRememberPlacementKey, RememberPlacement);
    LoadInfoColumns(iniFile, section);
    if (!RememberPlacement)
        return;
    LoadPlacement(iniFile, section);
    LoadColumnWidths(iniFile, section);
}

void TViewHandler::LoadPlacement(TMemIniFile& iniFile, TIniSection& section) {
    TTopLevelWindow window(Form().Handle());
    const TSubSection form(section, kFormSection);
    {
        const TSubSection bounds(section, kBoundsSection);
        const std::string name = section.GetSectionName();
        RECT stored = window.GetNormalBounds();
        stored.bottom = iniFile.ReadInteger(name, kBottomKey, stored.bottom);
        stored.right = iniFile.ReadInteger(name, kRightKey, stored.right);
        stored.top = iniFile.ReadInteger(name, kTopKey, stored.top);
        stored.left = iniFile.ReadInteger(name, kLeftKey, stored.left);
        // A window placed off every screen now (a monitor removed, a damaged
        // file) would be lost to the user: it goes where it first was.
        window.SetNormalBounds(IsReachablePlacement(stored) ? stored : FFirstBounds);
    }
    const UINT current = window.GetShowCommand();
    window.SetShowCommand(StartShowCommand(
        iniFile.ReadInteger(section.GetSectionName(), kStateKey, static_cast<int>(current)), current));
}

void TViewHandler::LoadColumnWidths(TMemIniFile& iniFile, TIniSection& section) {
    TListView& list = ListView();
    const TSubSection listView(section, kListViewSection);
    const TSubSection columns(section, kColumnSection);
    for (int column = 0; column < FixedColumnCount(); ++column) {
        const TSubSection position(section, IntToStr(column));
        const int current = list.ColumnWidth(column);
        const int width = iniFile.ReadInteger(section.GetSectionName(), kWidthKey, current);
        if (width != current)
            list.SetColumnWidth(column, VisibleColumnWidth(width));
    }
}

void TViewHandler::LoadInfoColumns(TMemIniFile& iniFile, TIniSection& section) {
    RememberInfoWidths();
    const TSubSection listView(section, kListViewSection);
    const TSubSection columns(section, kColumnSection);
    for (int i = 0; i < kInfoColumnCount; ++i) {
        const TSubSection position(section, IntToStr(kFirstInfoSection + i));
        const std::string name = section.GetSectionName();
        FInfoShown[i] = iniFile.ReadBool(name, kVisibleKey, FInfoShown[i]);
        const int width = iniFile.ReadInteger(name, kWidthKey, FInfoWidth[i]);
        if (RememberPlacement && width != FInfoWidth[i])
            FInfoWidth[i] = VisibleColumnWidth(width);
    }
    PutInInfoColumns();
}

void TViewHandler::SaveSettings(TMemIniFile& iniFile, TIniSection& section) {
    iniFile.WriteBool(section.GetSectionName(), kShowToolbarKey, GetToolbarVisible());
    iniFile.WriteBool(section.GetSectionName(), kShowStatusBarKey, GetStatusBarVisible());
    iniFile.WriteBool(section.GetSectionName(), kRememberPlacementKey, RememberPlacement);
    TTopLevelWindow window(Form().Handle());
    {
        const TSubSection form(section, kFormSection);
        {
            const TSubSection bounds(section, kBoundsSection);
            const std::string name = section.GetSectionName();
            const RECT normal = window.GetNormalBounds();
            iniFile.WriteInteger(name, kLeftKey, normal.left);
            iniFile.WriteInteger(name, kTopKey, normal.top);
            iniFile.WriteInteger(name, kRightKey, normal.right);
            iniFile.WriteInteger(name, kBottomKey, normal.bottom);
        }
        iniFile.WriteInteger(section.GetSectionName(), kStateKey, static_cast<int>(window.GetShowCommand()));
    }
    SaveColumns(iniFile, section);
}

void TViewHandler::SaveColumns(TMemIniFile& iniFile, TIniSection& section) {
    TListView& list = ListView();
    RememberInfoWidths();
    const TSubSection listView(section, kListViewSection);
    const TSubSection columns(section, kColumnSection);
    for (int column = 0; column < FixedColumnCount(); ++column) {
        const TSubSection position(section, IntToStr(column));
        iniFile.WriteInteger(section.GetSectionName(), kWidthKey, list.ColumnWidth(column));
    }
    for (int i = 0; i < kInfoColumnCount; ++i) {
        const TSubSection position(section, IntToStr(kFirstInfoSection + i));
        iniFile.WriteBool(section.GetSectionName(), kVisibleKey, FInfoShown[i]);
        iniFile.WriteInteger(section.GetSectionName(), kWidthKey, FInfoWidth[i]);
    }
}
