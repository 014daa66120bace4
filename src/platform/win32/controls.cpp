// The controls of a form window: created from the model, kept in step with it, and their mouse
// presses reported back before the control itself acts on them.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/resources.h"
#include "platform/win32/dispatch.h"
#include "platform/win32/windowing.h"

namespace qv::win32 {

using ui::Kind;

namespace {

struct Style {
    const char* cls;
    DWORD style;
    DWORD ex;
};

Style styleFor(const ui::Control& c) {
    switch (c.kind()) {
        case Kind::Frame:
            return {"BUTTON", BS_GROUPBOX, 0};
        case Kind::Label:
            return {"STATIC", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0};
        case Kind::TextBox: {
            DWORD s = ES_LEFT;
            s |= c.multiLine ? ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL : ES_AUTOHSCROLL;
            if (c.multiLine && c.readOnly) s |= WS_VSCROLL;  // a longer text can still be read
            if (c.passwordChar) s |= ES_PASSWORD;
            if (c.readOnly) s |= ES_READONLY;
            return {"EDIT", s, WS_EX_CLIENTEDGE};
        }
        // Neither kind checks itself: the model decides and sends the value back.
        case Kind::CheckBox:
            return {"BUTTON", BS_3STATE | BS_MULTILINE, 0};
        case Kind::OptionButton:
            return {"BUTTON", BS_RADIOBUTTON | BS_MULTILINE, 0};
        // Editable, so that any text can be shown, also one that is not among the items.
        case Kind::ComboBox:
            return {"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0};
        case Kind::ListBox:
            return {"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, WS_EX_CLIENTEDGE};
        case Kind::ListView:
            return {WC_LISTVIEWA, LVS_ICON | LVS_SINGLESEL | LVS_AUTOARRANGE | LVS_SHOWSELALWAYS,
                    WS_EX_CLIENTEDGE};
        case Kind::Button:
            return {"BUTTON", static_cast<DWORD>(c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
        case Kind::Icon:
            return {"STATIC", SS_ICON | SS_REALSIZECONTROL, 0};
    }
    return {"STATIC", 0, 0};
}

bool takesFocus(Kind k) {
    return k != Kind::Frame && k != Kind::Label && k != Kind::Icon;
}

// Controls inside frames are placed relative to the frame's top-left corner.
POINT absoluteTwips(const ui::Control& c) {
    POINT p{c.rect().left, c.rect().top};
    for (const ui::Control* f = c.container(); f; f = f->container()) {
        p.x += f->rect().left;
        p.y += f->rect().top;
    }
    return p;
}

bool inside(const ui::Control& c, const ui::Control& frame) {
    for (const ui::Control* f = c.container(); f; f = f->container())
        if (f == &frame) return true;
    return false;
}

// Enabled as the control and its frames say. A disabled form keeps its controls' looks: the
// window itself takes no input then.
bool nativeEnabled(const ui::Control& c) {
    for (const ui::Control* p = &c; p; p = p->container())
        if (!p->enabled()) return false;
    return true;
}

struct Syncing {
    explicit Syncing(int& n) : n_(n) { ++n_; }
    ~Syncing() { --n_; }
    int& n_;
};

// Messages taken from this thread's queue by any message loop; a change across a handler shows
// that it ran one (a dialog, a menu, a message box). The hook is there only while a mouse-down
// handler runs: under Wine a hook costs three calls to the server for every message retrieved.
unsigned g_retrieved = 0;
HHOOK g_getMessageHook = nullptr;
int g_counting = 0;  // mouse-down handlers running, nested ones included

LRESULT CALLBACK countRetrieved(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE) ++g_retrieved;
    return CallNextHookEx(g_getMessageHook, code, wp, lp);
}

struct CountingRetrievals {
    CountingRetrievals() {
        if (g_counting++ == 0 && !g_getMessageHook)
            g_getMessageHook =
                SetWindowsHookExA(WH_GETMESSAGE, countRetrieved, nullptr, GetCurrentThreadId());
    }
    ~CountingRetrievals() {
        if (--g_counting == 0 && g_getMessageHook) {
            UnhookWindowsHookEx(g_getMessageHook);
            g_getMessageHook = nullptr;
        }
    }
    CountingRetrievals(const CountingRetrievals&) = delete;
    CountingRetrievals& operator=(const CountingRetrievals&) = delete;
};

// An entry whose file has no icon (a batch file, a program that is gone) shows the program's own.
HICON defaultItemIcon() {
    static HICON icon =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(res::kIconMain), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    return icon ? icon : LoadIcon(nullptr, IDI_APPLICATION);
}

}  // namespace

// The controls' own window procedures are chained by hand rather than through comctl32's
// subclassing, which under Wine asks the server for a window property on every message.
LRESULT CALLBACK controlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* nc = reinterpret_cast<NativeControl*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (!nc) return DefWindowProcA(h, msg, wp, lp);
    const WNDPROC next = nc->nativeProc;  // nc may be gone after a handler
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (nc->owner && nc->owner->live() && nc->model->kind() != Kind::ComboBox &&
                !nc->owner->windowing->mouseDown(*nc, msg, wp, lp))
                return 0;
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrA(h, GWLP_USERDATA, 0);
            break;
    }
    return CallWindowProcA(next, h, msg, wp, lp);
}

// Reports a press as MouseDown. It reaches the control afterwards (and may become its click) only
// if the control still exists and the handler ran no message loop: a handler that opened a dialog
// has seen the button released already, and the control must not act on a press long over.
bool Win32Windowing::mouseDown(NativeControl& nc, UINT msg, WPARAM wp, LPARAM lp) {
    ui::Mouse m;
    m.button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4;
    m.shift = (wp & MK_SHIFT ? 1 : 0) | (wp & MK_CONTROL ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
    m.x = GET_X_LPARAM(lp) * 1440.0f / static_cast<float>(system_.dpiX());
    m.y = GET_Y_LPARAM(lp) * 1440.0f / static_cast<float>(system_.dpiY());
    HWND h = nc.hwnd;
    const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (nc.model->kind() == Kind::ListView) {
        LVHITTESTINFO hit{};
        hit.pt = at;
        const int i = static_cast<int>(SendMessageA(h, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (i >= 0 && (hit.flags & LVHT_ONITEM)) m.item = i;
    } else if (nc.model->kind() == Kind::ListBox) {
        const LRESULT r = SendMessageA(h, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
        if (HIWORD(r) == 0) m.item = LOWORD(r);
    }
    ui::Control* c = nc.model;
    CountingRetrievals counting;
    const unsigned before = g_retrieved;
    dispatch(c->form(), [c, &m] { c->userMouseDown(m); });
    return IsWindow(h) && g_retrieved == before;
}

void Win32Windowing::createControls(FormWindow& fw) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    int index = 0;
    for (auto& up : fw.form->controls()) {
        ui::Control& c = *up;
        auto nc = std::make_unique<NativeControl>();
        nc->owner = &fw;
        nc->model = &c;
        nc->id = 1000 + index++;  // clear of IDOK and IDCANCEL, which IsDialogMessage sends
        const Style s = styleFor(c);
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | s.style;
        if (c.tabIndex >= 0 && takesFocus(c.kind())) style |= WS_TABSTOP | WS_GROUP;
        nc->hwnd = CreateWindowExA(s.ex, s.cls, "", style, 0, 0, 0, 0, fw.hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(nc->id)), inst, nullptr);
        if (!nc->hwnd) continue;
        SetWindowLongPtrA(nc->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(nc.get()));
        nc->nativeProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(nc->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc)));
        fw.byHwnd[nc->hwnd] = nc.get();
        fw.byModel[&c] = nc.get();
        if (c.kind() == Kind::ListView) {
            HIMAGELIST il = ImageList_Create(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                             ILC_COLOR32 | ILC_MASK, 4, 4);
            SendMessageA(nc->hwnd, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(il));
        }
        NativeControl& n = *nc;
        fw.controls.push_back(std::move(nc));
        for (ui::Prop p :
             {ui::Prop::Rect, ui::Prop::Font, ui::Prop::Colours, ui::Prop::Items, ui::Prop::Text,
              ui::Prop::ListIndex, ui::Prop::Value, ui::Prop::Tooltip, ui::Prop::Enabled, ui::Prop::Visible})
            syncControl(fw, n, p);
    }
    orderTabs(fw);
}

// Tab order is z-order among siblings: the tab stops by their index first, then the other
// controls, and the frames last so that they lie beneath what they contain.
void Win32Windowing::orderTabs(FormWindow& fw) {
    std::vector<NativeControl*> order;
    for (auto& nc : fw.controls)
        if (GetWindowLongA(nc->hwnd, GWL_STYLE) & WS_TABSTOP) order.push_back(nc.get());
    std::stable_sort(order.begin(), order.end(), [](NativeControl* a, NativeControl* b) {
        return a->model->tabIndex < b->model->tabIndex;
    });
    for (int pass = 0; pass < 2; ++pass)
        for (auto& nc : fw.controls) {
            const bool frame = nc->model->kind() == Kind::Frame;
            if (!(GetWindowLongA(nc->hwnd, GWL_STYLE) & WS_TABSTOP) && frame == (pass == 1))
                order.push_back(nc.get());
        }
    HWND after = HWND_TOP;
    for (NativeControl* nc : order) {
        SetWindowPos(nc->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = nc->hwnd;
    }
}

void Win32Windowing::placeControl(FormWindow& fw, NativeControl& nc) {
    const ui::Control& c = *nc.model;
    const POINT p = absoluteTwips(c);
    int h = py(c.rect().height);
    // A drop-down list's window height includes its dropped list; the model gives the closed one.
    if (c.kind() == Kind::ComboBox) h += MulDiv(200, system_.dpiY(), 96);
    SetWindowPos(nc.hwnd, nullptr, px(p.x), py(p.y), px(c.rect().width), h, SWP_NOZORDER | SWP_NOACTIVATE);
    // A transparent control moved over ground that the form still has to paint (where a control
    // was just hidden) is drawn again after the form's background, or the form paints over it.
    if (c.transparent()) repaintUnder(nc);
    if (c.kind() == Kind::Frame)
        for (auto& other : fw.controls)
            if (inside(*other->model, c)) placeControl(fw, *other);
}

void Win32Windowing::syncControl(FormWindow& fw, NativeControl& nc, ui::Prop prop) {
    Syncing guard(syncing_);  // none of these changes is the user's: no events from them
    ui::Control& c = *nc.model;
    HWND h = nc.hwnd;
    switch (prop) {
        case ui::Prop::Text:
            // A list's text is its selected item; the native list shows that by itself. An icon
            // shows its picture.
            if (c.kind() == Kind::ListBox || c.kind() == Kind::ListView || c.kind() == Kind::Icon) break;
            SetWindowTextA(h, c.text().c_str());  // a label repaints itself, its ground included
            break;
        case ui::Prop::Visible:
            ShowWindow(h, c.effectivelyVisible() ? SW_SHOWNA : SW_HIDE);
            break;
        case ui::Prop::Enabled:
            EnableWindow(h, nativeEnabled(c));
            break;
        case ui::Prop::Value:
            if (c.kind() == Kind::CheckBox)
                SendMessageA(h, BM_SETCHECK,
                             c.value() == 1   ? BST_CHECKED
                             : c.value() == 2 ? BST_INDETERMINATE
                                              : BST_UNCHECKED,
                             0);
            else if (c.kind() == Kind::OptionButton)
                SendMessageA(h, BM_SETCHECK, c.value() ? BST_CHECKED : BST_UNCHECKED, 0);
            else if (c.kind() == Kind::Icon && c.value() > 0)
                SendMessageA(h, STM_SETICON,
                             reinterpret_cast<WPARAM>(
                                 LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.value()),
                                            IMAGE_ICON, px(c.rect().width), py(c.rect().height), LR_SHARED)),
                             0);
            break;
        case ui::Prop::Rect:
            placeControl(fw, nc);
            break;
        case ui::Prop::Items:
            syncItems(nc);
            break;
        case ui::Prop::ListIndex:
            syncListIndex(nc);
            break;
        case ui::Prop::Colours:
            if (c.kind() == Kind::ListView) {
                const COLORREF back = GdiCache::colour(c.backColour());
                SendMessageA(h, LVM_SETBKCOLOR, 0, back);
                SendMessageA(h, LVM_SETTEXTBKCOLOR, 0, c.transparent() ? CLR_NONE : back);
                SendMessageA(h, LVM_SETTEXTCOLOR, 0, GdiCache::colour(c.foreColour()));
            }
            InvalidateRect(h, nullptr, TRUE);
            if (c.transparent()) repaintUnder(nc);
            break;
        case ui::Prop::Font:
            SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(gdi_.font(c.font())), TRUE);
            break;
        case ui::Prop::Tooltip:
            syncTooltip(fw, nc);
            break;
    }
}

void Win32Windowing::syncItems(NativeControl& nc) {
    const ui::Control& c = *nc.model;
    const auto& items = c.items();
    HWND h = nc.hwnd;
    const Kind k = c.kind();
    // Items added at the end (the common case: a list filled one by one) are appended; any other
    // change rebuilds the native list.
    const bool append =
        items.size() >= nc.items.size() && std::equal(nc.items.begin(), nc.items.end(), items.begin());
    HIMAGELIST il = k == Kind::ListView
                        ? reinterpret_cast<HIMAGELIST>(SendMessageA(h, LVM_GETIMAGELIST, LVSIL_NORMAL, 0))
                        : nullptr;
    if (!append) {
        if (k == Kind::ComboBox) SendMessageA(h, CB_RESETCONTENT, 0, 0);
        if (k == Kind::ListBox) SendMessageA(h, LB_RESETCONTENT, 0, 0);
        if (k == Kind::ListView) {
            SendMessageA(h, LVM_DELETEALLITEMS, 0, 0);
            if (il) ImageList_RemoveAll(il);
        }
        nc.items.clear();
    }
    // Many items at once (a list rebuilt) are drawn once, when all are in. A control that is
    // itself hidden is left alone: turning redrawing back on would show it.
    const bool many = items.size() > nc.items.size() + 1;
    const bool quiet = many && (GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE);
    if (quiet) SendMessageA(h, WM_SETREDRAW, FALSE, 0);
    std::map<HICON, int> images;  // entries of one file share their image
    for (size_t i = nc.items.size(); i < items.size(); ++i) {
        const char* text = items[i].c_str();
        if (k == Kind::ComboBox) SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (k == Kind::ListBox) SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (k == Kind::ListView) {
            // Items of one icon share its image; an item without an icon of its own shows the
            // program's.
            int image = -1;
            if (il) {
                const HICON own = reinterpret_cast<HICON>(c.itemIcon(static_cast<int>(i)));
                auto known = images.find(own);
                if (known == images.end()) {
                    HICON icon = own;
                    ICONINFO info;
                    if (icon && GetIconInfo(icon, &info)) {
                        if (info.hbmColor) DeleteObject(info.hbmColor);
                        if (info.hbmMask) DeleteObject(info.hbmMask);
                    } else {
                        icon = defaultItemIcon();
                    }
                    known = images.emplace(own, ImageList_AddIcon(il, icon)).first;
                }
                image = known->second;
            }
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = static_cast<int>(i);
            item.pszText = const_cast<char*>(text);
            item.iImage = image;
            SendMessageA(h, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    if (quiet) {
        SendMessageA(h, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(h, nullptr, TRUE);
    }
    nc.items = items;
    if (!append) syncListIndex(nc);  // a rebuilt list lost its selection (and a combo its text)
}

void Win32Windowing::syncListIndex(NativeControl& nc) {
    const ui::Control& c = *nc.model;
    HWND h = nc.hwnd;
    switch (c.kind()) {
        case Kind::ComboBox:
            SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(c.listIndex()), 0);
            SetWindowTextA(h, c.text().c_str());  // the model's text wins, item or not
            break;
        case Kind::ListBox:
            SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(c.listIndex()), 0);
            break;
        case Kind::ListView: {
            LVITEMA state{};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(h, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
            if (c.listIndex() >= 0) {
                state.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageA(h, LVM_SETITEMSTATE, static_cast<WPARAM>(c.listIndex()),
                             reinterpret_cast<LPARAM>(&state));
            }
            break;
        }
        default:
            break;
    }
}

void Win32Windowing::syncTooltip(FormWindow& fw, NativeControl& nc) {
    if (!fw.tooltip) return;
    std::vector<HWND> targets{nc.hwnd};
    // The edit part of a drop-down list gets the mouse over it, not the list.
    if (nc.model->kind() == Kind::ComboBox)
        if (HWND edit = GetWindow(nc.hwnd, GW_CHILD)) targets.push_back(edit);
    for (HWND target : targets) {
        TOOLINFOA ti{};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = fw.hwnd;
        ti.uId = reinterpret_cast<UINT_PTR>(target);
        SendMessageA(fw.tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        if (nc.model->tooltip().empty()) continue;
        ti.lpszText = const_cast<char*>(nc.model->tooltip().c_str());  // copied by the tooltip
        SendMessageA(fw.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

// A transparent control draws no background of its own: what lay under its old text has to be
// painted again by the form.
void Win32Windowing::repaintUnder(NativeControl& nc) {
    HWND parent = GetParent(nc.hwnd);
    RECT rc;
    if (!parent || !GetWindowRect(nc.hwnd, &rc)) return;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    RedrawWindow(parent, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace qv::win32
