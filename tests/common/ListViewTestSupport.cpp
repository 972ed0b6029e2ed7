#include "tests/common/ListViewTestSupport.h"

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <sstream>

TTestListView::TTestListView(bool multiSelect) {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    FParent.Attach(CreateWindowExA(0, "STATIC", "Trelvane test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr));
    EXPECT_TRUE(FParent) << "could not create the parent window";
    const DWORD style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS |
                        (multiSelect ? 0 : LVS_SINGLESEL);
    FListView = CreateWindowExA(0, WC_LISTVIEWA, "", style, 0, 0, 600, 400, FParent.Get(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(FListView, nullptr) << "could not create the list view";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 200;
    column.pszText = const_cast<char*>("Name");
    SendMessageA(FListView, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

int TTestListView::Count() const {
    return static_cast<int>(SendMessageA(FListView, LVM_GETITEMCOUNT, 0, 0));
}

void SetListViewItemState(HWND listView, int index, int state, int mask) {
    LVITEMA item = {};
    item.stateMask = static_cast<UINT>(mask);
    item.state = static_cast<UINT>(state);
    SendMessageA(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void TTestListView::SetStates(const std::vector<int>& states) const {
    SendMessageA(FListView, LVM_SETITEMCOUNT, states.size(), 0);
    for (size_t i = 0; i < states.size(); ++i)
        SetListViewItemState(FListView, static_cast<int>(i), states[i], 0xF);
}

std::vector<int> TTestListView::States() const {
    std::vector<int> states(static_cast<size_t>(Count()));
    for (size_t i = 0; i < states.size(); ++i)
        states[i] = static_cast<int>(SendMessageA(FListView, LVM_GETITEMSTATE, i, 0xF)) & 0x3;
    return states;
}

int TTestListView::FocusIndex() const {
    return static_cast<int>(SendMessageA(FListView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

int TTestListView::SelectedCount() const {
    return static_cast<int>(SendMessageA(FListView, LVM_GETSELECTEDCOUNT, 0, 0));
}

int TTestListView::SelectionMark() const {
    return static_cast<int>(SendMessageA(FListView, LVM_GETSELECTIONMARK, 0, 0));
}

int TTestListView::TopIndex() const {
    return static_cast<int>(SendMessageA(FListView, LVM_GETTOPINDEX, 0, 0));
}

bool TTestListView::MultiSelect() const {
    return (GetWindowLongPtrA(FListView, GWL_STYLE) & LVS_SINGLESEL) == 0;
}

void TTestListView::SetMultiSelect(bool value) const {
    const LONG_PTR style = GetWindowLongPtrA(FListView, GWL_STYLE);
    SetWindowLongPtrA(FListView, GWL_STYLE, value ? (style & ~LVS_SINGLESEL) : (style | LVS_SINGLESEL));
}

std::string TTestListView::Describe() const {
    std::ostringstream text;
    text << "count " << Count() << ", focus " << FocusIndex() << ", selected " << SelectedCount() << ", mark "
         << SelectionMark() << ", top " << TopIndex() << ", multi " << MultiSelect() << ", states";
    for (const int state : States())
        text << ' ' << state;
    return text.str();
}

std::string ListRows(HWND listView, int column, UINT marks) {
    std::vector<std::string> names(static_cast<size_t>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0)));
    for (size_t row = 0; row < names.size(); ++row)
        names[row] = ListText(listView, static_cast<int>(row), column);
    return ListRows(listView, names, marks);
}

std::string ListRows(HWND listView, const std::vector<std::string>& names, UINT marks) {
    std::string rows;
    const auto count = static_cast<size_t>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
    for (size_t row = 0; row < count; ++row) {
        const auto state = static_cast<UINT>(SendMessageA(listView, LVM_GETITEMSTATE, row, marks));
        rows += (row ? " " : "") + (row < names.size() ? names[row] : "?") +
                ((state & LVIS_SELECTED) ? "*" : "") + ((state & LVIS_FOCUSED) ? "!" : "");
    }
    return rows;
}

std::string ListText(HWND listView, int row, int column, int room) {
    // In UTF-16, as the control shows it.
    std::wstring text(static_cast<size_t>(room), L'\0');
    text.replace(0, 9, L"untouched");
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = room;
    SendMessageW(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    text.resize(std::wcslen(text.c_str()));
    return NarrowOf(text);
}
