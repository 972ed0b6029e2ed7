#include "framework/Fw_comctrls.h"

#include "framework/Fw_scope.h"

#include <algorithm>
#include <cstring>

namespace {

// Copies as much of the text as fits in a buffer of `size` bytes with its
// terminating zero, never half of a double-byte character.
void CopyText(const std::string& text, char* buffer, int size) {
    if (!buffer || size <= 0)
        return;
    size_t length = 0;
    while (length < text.size()) {
        const size_t next = length + CharSize(text, length);
        if (next > static_cast<size_t>(size - 1))
            break;
        length = next;
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// The window text of a control into a string.
std::string TextOf(HWND window, UINT getLength, UINT getText, WPARAM index) {
    const LRESULT length = LOWORD(SendMessageA(window, getLength, index, 0));
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(window, getText, index, reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data());
}

} // namespace

// TToolBar

// A button that follows its action.
class TToolBar::TToolButton : public TActionLink {
public:
    TToolButton(TToolBar& toolBar, TAction* action) : FToolBar(toolBar) { SetAction(action); }

protected:
    void ActionChanged() override {
        const HWND window = FToolBar.Handle();
        const WPARAM id = static_cast<WPARAM>(Action()->CommandId());
        // Before the button exists, its insertion carries all this.
        if (SendMessageA(window, TB_COMMANDTOINDEX, id, 0) < 0)
            return;
        SendMessageA(window, TB_ENABLEBUTTON, id, MAKELPARAM(Action()->Enabled() ? TRUE : FALSE, 0));
        SendMessageA(window, TB_CHECKBUTTON, id, MAKELPARAM(Action()->Checked() ? TRUE : FALSE, 0));
        SendMessageA(window, TB_CHANGEBITMAP, id, MAKELPARAM(Action()->ImageIndex(), 0));
    }

private:
    TToolBar& FToolBar;
};

TToolBar::TToolBar(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, TOOLBARCLASSNAMEA,
               TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0) {
    SendMessageA(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
}

TToolBar::~TToolBar() = default;

void TToolBar::SetImages(TImageList* images) {
    FImages = images;
    ApplyImages();
}

void TToolBar::ApplyImages() {
    int imageSize = MulDiv(16, Host().PixelsPerInch(), TImageList::DesignPixelsPerInch);
    if (FImages) {
        FImages->SetPixelsPerInch(Host().PixelsPerInch());
        imageSize = FImages->Size();
    }
    SendMessageA(Handle(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
    // A flat button is its image with a margin of 4 pixels at the sides and 3
    // above and below (at 96 pixels per inch): 24 by 22 for 16-pixel images.
    const int margin = MulDiv(4, Host().PixelsPerInch(), TImageList::DesignPixelsPerInch);
    const int marginY = MulDiv(3, Host().PixelsPerInch(), TImageList::DesignPixelsPerInch);
    SendMessageA(Handle(), TB_SETBUTTONSIZE, 0, MAKELPARAM(imageSize + 2 * margin, imageSize + 2 * marginY));
    SendMessageA(Handle(), TB_AUTOSIZE, 0, 0);
}

void TToolBar::SetButtons(TActionList& actions, const char* const* names, size_t count) {
    while (SendMessageA(Handle(), TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessageA(Handle(), TB_DELETEBUTTON, 0, 0);
    FButtons.clear();
    for (size_t i = 0; i < count; ++i) {
        const bool separator = !names[i] || std::strcmp(names[i], "-") == 0;
        TAction* action = separator ? nullptr : &actions.Action(names[i]);
        TBBUTTON button{};
        button.iBitmap = action ? action->ImageIndex() : 0;
        button.idCommand = action ? action->CommandId() : 0;
        button.fsState = static_cast<BYTE>((action && action->Enabled() ? TBSTATE_ENABLED : 0) |
                                           (action && action->Checked() ? TBSTATE_CHECKED : 0));
        button.fsStyle = static_cast<BYTE>(separator ? BTNS_SEP : BTNS_BUTTON);
        button.iString = -1;
        if (!SendMessageA(Handle(), TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)))
            throw EInvalidOperation("The program could not add a button to the toolbar.");
        FButtons.push_back(separator ? nullptr : std::make_unique<TToolButton>(*this, action));
    }
    SendMessageA(Handle(), TB_AUTOSIZE, 0, 0);
    Host().RealignControls();
}

int TToolBar::ButtonCount() const {
    return static_cast<int>(FButtons.size());
}

TAction* TToolBar::ButtonAction(int index) const {
    if (index < 0 || index >= ButtonCount())
        throw EListError(Format("List index out of bounds (%d).", index));
    const auto& button = FButtons[static_cast<size_t>(index)];
    return button ? button->Action() : nullptr;
}

void TToolBar::HandleNotify(TMessage& Message) {
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (header->code != TBN_GETINFOTIPA)
        return;
    auto& tip = *reinterpret_cast<NMTBGETINFOTIPA*>(header);
    for (const auto& button : FButtons)
        if (button && button->Action() && button->Action()->CommandId() == tip.iItem)
            CopyText(button->Action()->Hint(), tip.pszText, tip.cchTextMax);
}

void TToolBar::ApplyScale() {
    TControl::ApplyScale();
    ApplyImages();
}

int TToolBar::PreferredHeight() const {
    // The toolbar works out the height its buttons need.
    SendMessageA(Handle(), TB_AUTOSIZE, 0, 0);
    RECT bounds;
    GetWindowRect(Handle(), &bounds);
    return bounds.bottom - bounds.top;
}

// TStatusBar

TStatusBar::TStatusBar(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, STATUSCLASSNAMEA, SBARS_SIZEGRIP | CCS_NOPARENTALIGN, 0) {
    SendMessageA(Handle(), SB_SIMPLE, TRUE, 0);
    SetSimpleText(def.Caption ? def.Caption : "");
}

std::string TStatusBar::SimpleText() const {
    // In simple mode every part reads the simple text; Wine answers only
    // part 0, not SB_SIMPLEID.
    return TextOf(Handle(), SB_GETTEXTLENGTHA, SB_GETTEXTA, 0);
}

void TStatusBar::SetSimpleText(const std::string& text) {
    SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}

int TStatusBar::PreferredHeight() const {
    // The status bar takes the height of its font when told of a new size.
    SendMessageA(Handle(), WM_SIZE, 0, 0);
    RECT bounds;
    GetWindowRect(Handle(), &bounds);
    return bounds.bottom - bounds.top;
}

// TListView

const std::string* TListItemData::Text(int subItem) const {
    if (subItem == 0)
        return FCaption ? &*FCaption : nullptr;
    if (subItem < 0 || static_cast<size_t>(subItem) > FSubItems.size())
        return nullptr;
    return &FSubItems[static_cast<size_t>(subItem) - 1];
}

TListView::TListView(TControlHost& host, const TControlDef& def, const RECT& designBounds)
    : TControl(host, def, designBounds, WC_LISTVIEWA,
               WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_OWNERDATA | LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS |
                   ((def.Options & coMultiSelect) ? 0 : LVS_SINGLESEL) |
                   ((def.Options & coEditLabels) ? LVS_EDITLABELS : 0),
               WS_EX_CLIENTEDGE),
      FColumnPixelsPerInch(host.PixelsPerInch()) {
    const DWORD extended = LVS_EX_DOUBLEBUFFER | ((def.Options & coRowSelect) ? LVS_EX_FULLROWSELECT : 0);
    SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    // A virtual list asks for the state images too.
    SendMessageA(Handle(), LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
}

TListView::~TListView() = default;

void TListView::AddColumn(const std::string& caption, int designWidth) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(caption.c_str());
    column.cx = MulDiv(designWidth, FColumnPixelsPerInch, DesignPixelsPerInch);
    column.iSubItem = ColumnCount();
    if (SendMessageA(Handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(column.iSubItem),
                     reinterpret_cast<LPARAM>(&column)) < 0)
        throw EInvalidOperation("The program could not add a column to the list.");
}

void TListView::DeleteColumn(int column) {
    if (!SendMessageA(Handle(), LVM_DELETECOLUMN, static_cast<WPARAM>(column), 0))
        throw EInvalidOperation("The program could not remove a column from the list.");
}

int TListView::ColumnCount() const {
    HWND header = reinterpret_cast<HWND>(SendMessageA(Handle(), LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string TListView::ColumnCaption(int column) const {
    char buffer[260] = "";
    LVCOLUMNA info{};
    info.mask = LVCF_TEXT;
    info.pszText = buffer;
    info.cchTextMax = sizeof(buffer);
    SendMessageA(Handle(), LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
    return buffer;
}

int TListView::ColumnWidth(int column) const {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

void TListView::SetColumnWidth(int column, int width) {
    SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

int TListView::ClientWidth() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return client.right - client.left;
}

int TListView::ItemCount() const {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

void TListView::SetItemCount(int count) {
    SendMessageA(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
}

int TListView::SelectedCount() const {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETSELECTEDCOUNT, 0, 0));
}

int TListView::FocusedIndex() const {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void TListView::ClearSelection() {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

void TListView::Select(int index) {
    ClearSelection();
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    EnsureVisible(index);
}

void TListView::EnsureVisible(int index) {
    SendMessageA(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void TListView::UpdateItems(int first, int last) {
    SendMessageA(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(first), last);
}

void TListView::UpdateVisibleItems() {
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TListView::SetSmallImages(TImageList* images) {
    FSmallImages = images;
    ApplyImages();
}

void TListView::SetStateImages(TImageList* images) {
    FStateImages = images;
    ApplyImages();
}

void TListView::ApplyImages() {
    for (auto [images, kind] : {std::pair{FSmallImages, LVSIL_SMALL}, std::pair{FStateImages, LVSIL_STATE}}) {
        if (images)
            images->SetPixelsPerInch(Host().PixelsPerInch());
        SendMessageA(Handle(), LVM_SETIMAGELIST, static_cast<WPARAM>(kind),
                     reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
    }
}

void TListView::EditLabel(int index) {
    SetFocus(Handle());
    SendMessageA(Handle(), LVM_EDITLABELA, static_cast<WPARAM>(index), 0);
}

HWND TListView::EditHandle() const {
    return reinterpret_cast<HWND>(SendMessageA(Handle(), LVM_GETEDITCONTROL, 0, 0));
}

bool TListView::IsEditing() const {
    HWND edit = EditHandle();
    return edit && IsWindowVisible(edit);
}

void TListView::GiveText(const std::string& text, LVITEMA& item) {
    // The control draws a row and fills its edit box from a room of 260
    // characters, which it lends here as 260 bytes: a text of more bytes
    // than that but fewer characters (a name of 200 Greek letters under
    // UTF-8) is handed over by its address, which the control converts into
    // its own room. The text must outlive two more requests. Any other text
    // is copied, cut where it does not fit.
    std::wstring wide;
    if (static_cast<int>(text.size()) >= item.cchTextMax && TryAnsiToWide(text, wide) &&
        static_cast<int>(wide.size()) < item.cchTextMax) {
        std::string& kept = FDisplayTexts[FNextDisplayText];
        FNextDisplayText = (FNextDisplayText + 1) % kDisplayTextsKept;
        kept = text;
        item.pszText = kept.data();
        return;
    }
    CopyText(text, item.pszText, item.cchTextMax);
}

void TListView::FillDisplayInfo(NMLVDISPINFOA& info) {
    LVITEMA& item = info.item;
    if (!OnData)
        return;
    TListItemData data(item.iItem);
    OnData(*this, data);
    if (item.mask & LVIF_TEXT)
        if (const std::string* text = data.Text(item.iSubItem))
            GiveText(*text, item);
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0 && data.ImageIndex())
        item.iImage = *data.ImageIndex();
    if ((item.mask & LVIF_STATE) && data.StateIndex()) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                     INDEXTOSTATEIMAGEMASK(static_cast<UINT>(std::max(*data.StateIndex() + 1, 0)));
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

void TListView::HandleNotify(TMessage& Message) {
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (header->code) {
    case LVN_GETDISPINFOA:
        FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOA*>(header));
        break;
    case LVN_ODFINDITEMA:
        // No search by typing: the rows are not the control's.
        Message.Result = -1;
        break;
    case LVN_ITEMCHANGED: {
        const auto& change = *reinterpret_cast<NMLISTVIEW*>(header);
        if ((change.uChanged & LVIF_STATE) && OnChange)
            OnChange(*this, change.iItem, change.iItem);
        break;
    }
    case LVN_ODSTATECHANGED: {
        const auto& change = *reinterpret_cast<NMLVODSTATECHANGE*>(header);
        if (OnChange)
            OnChange(*this, change.iFrom, change.iTo);
        break;
    }
    case NM_CLICK:
    case LVN_KEYDOWN:
        HandleToggle(*header);
        break;
    case LVN_COLUMNCLICK:
        if (OnColumnClick)
            OnColumnClick(*this, reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        break;
    case LVN_BEGINLABELEDITA: {
        bool allow = true;
        if (OnEditing)
            OnEditing(*this, reinterpret_cast<NMLVDISPINFOA*>(header)->item.iItem, allow);
        Message.Result = allow ? FALSE : TRUE;
        FLabelEdit = allow ? EditHandle() : nullptr;
        break;
    }
    case LVN_ENDLABELEDITA:
        // The list keeps no text of its own; the row shows what OnData gives.
        Message.Result = FALSE;
        HandleEndLabelEdit(reinterpret_cast<NMLVDISPINFOA*>(header)->item);
        break;
    default:
        break;
    }
}

void TListView::HandleEndLabelEdit(const LVITEMA& item) {
    // The row shows its own text again, whatever becomes of the edit.
    auto update = ScopeExit([this, &item] { UpdateItems(item.iItem, item.iItem); });
    // The box's text is read in UTF-16 where the box holds it so (text
    // pasted into it): a character that the code page lacks is then
    // refused, not renamed to the look-alike in pszText.
    HWND edit = EditHandle();
    if (!edit && FLabelEdit && IsWindow(FLabelEdit))
        edit = FLabelEdit;
    FLabelEdit = nullptr;
    // No text: the edit was cancelled.
    if (item.pszText && OnEdited) {
        const std::string text = edit ? ControlText(edit) : std::string(item.pszText);
        OnEdited(*this, item.iItem, text);
    }
}

void TListView::HandleToggle(const NMHDR& header) {
    if (!OnToggle)
        return;
    if (header.code == LVN_KEYDOWN) {
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_SPACE && FocusedIndex() >= 0)
            OnToggle(*this, FocusedIndex());
        return;
    }
    LVHITTESTINFO hit{};
    hit.pt = reinterpret_cast<const NMITEMACTIVATE&>(header).ptAction;
    const int index =
        static_cast<int>(SendMessageA(Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (index >= 0 && (hit.flags & LVHT_ONITEMSTATEICON))
        OnToggle(*this, index);
}

bool TListView::ContextMenu(POINT screenPoint) {
    if (!FPopupMenu)
        return false;
    if (screenPoint.x == -1 && screenPoint.y == -1) {
        // From the keyboard: below the focused row, else at the top left.
        POINT point{0, 0};
        RECT row{};
        row.left = LVIR_LABEL;
        const int focused = FocusedIndex();
        if (focused >= 0 &&
            SendMessageA(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&row)))
            point = POINT{row.left, row.bottom};
        ClientToScreen(Handle(), &point);
        screenPoint = point;
    }
    FPopupMenu->Popup(Host().Handle(), screenPoint);
    return true;
}

void TListView::ApplyScale() {
    TControl::ApplyScale();
    const int pixelsPerInch = Host().PixelsPerInch();
    if (pixelsPerInch != FColumnPixelsPerInch) {
        for (int column = 0; column < ColumnCount(); ++column)
            SetColumnWidth(column, MulDiv(ColumnWidth(column), pixelsPerInch, FColumnPixelsPerInch));
        FColumnPixelsPerInch = pixelsPerInch;
    }
    ApplyImages();
}
