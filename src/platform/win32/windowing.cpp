#include "platform/win32/windowing.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/guardlink.h"
#include "platform/win32/dispatch.h"
#include "platform/win32/guard.h"
#include "platform/win32/tray.h"
#include "platform/win32/windowlock.h"

namespace qv::win32 {

using ui::Kind;

namespace {

const char kFormClass[] = "QuorvaneForm";
// Posted to a form realised hidden: its controls are made once the message loop is idle.
constexpr UINT kBuildMessage = WM_APP + 1;
const char kOwnerClass[] = "QuorvaneOwner";
constexpr UINT kRestorePinned = WM_APP + 2;  // a pinned form was minimized: bring it back

// The hidden owner of the forms kept out of the task bar is never shown. Anything on the desktop
// can post it a close request, which would destroy it and every form it owns, or a minimize, which
// would show it and hide what it owns (the lock screen): neither is taken.
LRESULT CALLBACK ownerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE || msg == WM_SYSCOMMAND) return 0;
    if (msg == WM_WINDOWPOSCHANGING)
        reinterpret_cast<WINDOWPOS*>(lp)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void formStyles(const ui::Form& f, DWORD* style, DWORD* ex) {
    *ex = 0;
    if (f.fullScreen || f.border == ui::BorderStyle::None) {
        *style = WS_POPUP;
    } else {
        *style = WS_OVERLAPPED | WS_CAPTION;
        if (f.controlBox) *style |= WS_SYSMENU;
        if (f.minButton) *style |= WS_MINIMIZEBOX;
        if (f.maxButton) *style |= WS_MAXIMIZEBOX;
        if (f.border == ui::BorderStyle::Sizable) *style |= WS_THICKFRAME;
    }
    if (f.topMost) *ex |= WS_EX_TOPMOST;
    if (f.showInTaskbar) *ex |= WS_EX_APPWINDOW;
}

bool hasCloseBox(const ui::Form& f) {
    return f.controlBox && !f.fullScreen && f.border != ui::BorderStyle::None;
}

std::string windowText(HWND h) {
    const int n = GetWindowTextLengthA(h);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    s.resize(static_cast<size_t>(GetWindowTextA(h, s.data(), n + 1)));
    return s;
}

void buildMenu(HMENU into, ui::MenuItem& parent, std::vector<ui::MenuItem*>& items) {
    for (auto& child : parent.children()) {
        ui::MenuItem& m = *child;
        if (!m.visible()) continue;
        if (m.separator()) {
            AppendMenuA(into, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT flags = MF_STRING | (m.enabled() ? 0 : MF_GRAYED);
        if (!m.children().empty()) {
            HMENU sub = CreatePopupMenu();
            buildMenu(sub, m, items);
            AppendMenuA(into, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), m.caption().c_str());
        } else {
            items.push_back(&m);
            AppendMenuA(into, flags, items.size(), m.caption().c_str());  // ids from 1
        }
    }
}

}  // namespace

NativeControl* FormWindow::find(HWND h) const {
    auto it = byHwnd.find(h);
    return it == byHwnd.end() ? nullptr : it->second;
}

LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* fw = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        fw->hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(fw));
    }
    auto* fw = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (fw && !fw->destroying) return fw->windowing->handle(*fw, msg, wp, lp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

Win32Windowing::Win32Windowing(const Win32System& system) : system_(system), gdi_(system.dpiY()) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = formProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClass;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = ownerProc;
    wc.lpszClassName = kOwnerClass;
    RegisterClassExA(&wc);
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
}

Win32Windowing::~Win32Windowing() {
    // The forms may already be gone: their windows are torn down without a word to the model.
    for (auto& [form, fw] : forms_) {
        fw->destroying = true;
        DestroyWindow(fw->hwnd);
    }
    forms_.clear();
    if (owner_) DestroyWindow(owner_);
}

FormWindow* Win32Windowing::windowOf(const ui::Form& f) const {
    auto it = forms_.find(&f);
    return it == forms_.end() ? nullptr : it->second.get();
}

NativeControl* Win32Windowing::nativeControl(const ui::Control& c) const {
    FormWindow* fw = windowOf(c.form());
    if (!fw) return nullptr;
    auto it = fw->byModel.find(&c);
    return it == fw->byModel.end() ? nullptr : it->second;
}

HWND Win32Windowing::nativeOf(const ui::Control& c) {
    if (FormWindow* fw = windowOf(c.form())) build(*fw);
    NativeControl* nc = nativeControl(c);
    return nc ? nc->hwnd : nullptr;
}

HWND Win32Windowing::formRootOf(HWND hwnd) const {
    if (!hwnd) return nullptr;
    HWND root = GetAncestor(hwnd, GA_ROOT);
    for (auto& [form, fw] : forms_)
        if (fw->hwnd == root && !fw->destroying) return root;
    return nullptr;
}

HWND Win32Windowing::ownerWindow() {
    // Owned windows stay out of the task bar; the owner itself is never shown.
    if (!owner_)
        owner_ = CreateWindowExA(0, kOwnerClass, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    return owner_;
}

void Win32Windowing::realise(ui::Form& form) {
    if (windowOf(form)) return;
    if (trace_) trace_->stamp("realise " + form.name());
    auto owned = std::make_unique<FormWindow>();
    FormWindow& fw = *owned;
    fw.windowing = this;
    fw.form = &form;
    DWORD style, ex;
    formStyles(form, &style, &ex);
    HINSTANCE inst = GetModuleHandleA(nullptr);
    CreateWindowExA(ex, kFormClass, form.caption().c_str(), style, 0, 0, 0, 0,
                    form.showInTaskbar ? nullptr : ownerWindow(), nullptr, inst, &fw);
    if (!fw.hwnd) return;
    forms_[&form] = std::move(owned);
    // The form's own window exists from its load on: callers take its handle (an owner, the
    // icon's window, the window lock's target). A hidden form's controls are made when it is
    // first shown, or once start-up is over and the message loop has nothing else to do.
    form.setNativeHandle(reinterpret_cast<uintptr_t>(fw.hwnd));
    placeForm(fw);
    setIcon(fw);
    if (!form.enabled()) EnableWindow(fw.hwnd, FALSE);
    if (form.visible())
        formChanged(form, ui::FormProp::Visible);
    else
        PostMessageA(fw.hwnd, kBuildMessage, 0, 0);
    if (trace_) trace_->stamp("realised " + form.name());
}

void Win32Windowing::build(FormWindow& fw) {
    if (fw.built) return;
    fw.built = true;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    fw.tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, fw.hwnd, nullptr, inst, nullptr);
    if (fw.tooltip) SendMessageA(fw.tooltip, TTM_SETMAXTIPWIDTH, 0, px(6000));  // long tips wrap
    createControls(fw);
    if (fw.pendingFocus) {
        if (NativeControl* nc = nativeControl(*fw.pendingFocus)) fw.lastFocus = nc->hwnd;
        fw.pendingFocus = nullptr;
    }
    if (trace_) trace_->stamp("built " + fw.form->name());
}

void Win32Windowing::destroy(ui::Form& form) {
    auto it = forms_.find(&form);
    if (it == forms_.end()) return;
    FormWindow& fw = *it->second;
    fw.destroying = true;    // what the teardown sends is not the user's doing
    DestroyWindow(fw.hwnd);  // its controls and its tooltip (owned) go with it
    forms_.erase(it);
    form.setNativeHandle(0);
}

// The model's size is the client area; the outer position is centred when the form is first
// shown, or taken from the model when the form is placed. A full-screen form covers every monitor
// (the virtual screen; the core lays its controls out on the primary one).
namespace {

// What a full-screen form covers: every monitor (the virtual screen), or the primary one where the
// system tells nothing of others.
RECT coveredRect() {
    const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (vw > 0 && vh > 0) {
        const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        return {x, y, x + vw, y + vh};
    }
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

void Win32Windowing::placeForm(FormWindow& fw) {
    const ui::Form& f = *fw.form;
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const HWND z = f.topMost ? HWND_TOPMOST : nullptr;
    const UINT zflag = f.topMost ? 0 : SWP_NOZORDER;
    if (f.fullScreen) {
        const RECT all = coveredRect();
        SetWindowPos(fw.hwnd, z, all.left, all.top, all.right - all.left, all.bottom - all.top,
                     SWP_NOACTIVATE | zflag);
        return;
    }
    DWORD style = static_cast<DWORD>(GetWindowLongA(fw.hwnd, GWL_STYLE));
    DWORD ex = static_cast<DWORD>(GetWindowLongA(fw.hwnd, GWL_EXSTYLE));
    RECT r{0, 0, px(f.rect().width), py(f.rect().height)};
    AdjustWindowRectEx(&r, style, FALSE, ex);
    const int w = r.right - r.left, h = r.bottom - r.top;
    int x, y;
    if (f.centred && !fw.shown) {
        x = std::max(0, (sw - w) / 2);
        y = std::max(0, (sh - h) / 2);
    } else if (f.centred) {  // moved by nobody but the user since: keep the place
        RECT now;
        GetWindowRect(fw.hwnd, &now);
        x = now.left;
        y = now.top;
    } else {
        x = px(f.rect().left);
        y = py(f.rect().top);
    }
    SetWindowPos(fw.hwnd, z, x, y, w, h, SWP_NOACTIVATE | zflag);
}

void Win32Windowing::setIcon(FormWindow& fw) {
    HICON icon = nullptr;
    if (fw.form->icon() > 0)
        icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(fw.form->icon()),
                                             IMAGE_ICON, 16, 16, LR_SHARED));
    SendMessageA(fw.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageA(fw.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void Win32Windowing::formChanged(ui::Form& form, ui::FormProp prop) {
    FormWindow* fw = windowOf(form);
    if (!fw) return;
    switch (prop) {
        case ui::FormProp::Caption:
            SetWindowTextA(fw->hwnd, form.caption().c_str());
            break;
        case ui::FormProp::Visible:
            if (form.visible()) {
                build(*fw);
                if (!fw->shown) placeForm(*fw);  // centred at the size it has now
                fw->shown = true;
                ShowWindow(fw->hwnd, SW_SHOW);
                if (form.topMost)
                    SetWindowPos(fw->hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            } else {
                ShowWindow(fw->hwnd, SW_HIDE);
            }
            break;
        case ui::FormProp::Enabled:
            if (lock_ && lock_->holds(fw->hwnd)) {
                if (form.enabled()) break;  // enabled when the lock lets go
                lock_->formDisabled(fw->hwnd);
            }
            EnableWindow(fw->hwnd, form.enabled());
            break;
        case ui::FormProp::Rect:
            placeForm(*fw);
            break;
        case ui::FormProp::Picture:
            fw->picture.drop();
            [[fallthrough]];
        case ui::FormProp::BackColour:
            RedrawWindow(fw->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            break;
        case ui::FormProp::Icon:
            setIcon(*fw);
            break;
    }
}

void Win32Windowing::controlChanged(ui::Control& control, ui::Prop prop) {
    NativeControl* nc = nativeControl(control);
    if (nc) syncControl(*nc->owner, *nc, prop);
}

void Win32Windowing::focus(ui::Control* control, ui::Form& form) {
    FormWindow* fw = windowOf(form);
    if (!fw) return;
    if (!control) {
        if (IsWindowVisible(fw->hwnd)) {
            SetForegroundWindow(fw->hwnd);
            SetActiveWindow(fw->hwnd);
        }
        return;
    }
    if (!fw->built) {
        fw->pendingFocus = control;
        return;
    }
    NativeControl* nc = nativeControl(*control);
    if (!nc) return;
    // A control of a hidden form gets the focus when the form is next activated.
    if (IsWindowVisible(fw->hwnd) && IsWindowVisible(nc->hwnd) && IsWindowEnabled(nc->hwnd))
        SetFocus(nc->hwnd);
    else
        fw->lastFocus = nc->hwnd;
}

void Win32Windowing::popupMenu(ui::Form& form, ui::MenuItem& menu, int xTwips, int yTwips) {
    FormWindow* fw = windowOf(form);
    if (!fw) return;
    std::vector<ui::MenuItem*> items;
    HMENU m = CreatePopupMenu();
    buildMenu(m, menu, items);
    // A hidden form (the tray's menu carrier) has no place on the screen: the menu opens at the
    // pointer then.
    POINT pt{px(xTwips), py(yTwips)};
    if (IsWindowVisible(fw->hwnd))
        ClientToScreen(fw->hwnd, &pt);
    else
        GetCursorPos(&pt);
    HWND hwnd = fw->hwnd;
    ui::Session& session = form.session();
    const uint64_t id = form.id();
    SetForegroundWindow(hwnd);  // else the menu does not close when the user clicks elsewhere
    int cmd;
    {
        ui::Session::Event event(session);
        cmd = TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, pt.x, pt.y, 0, hwnd, nullptr);
    }
    PostMessageA(hwnd, WM_NULL, 0, 0);
    DestroyMenu(m);
    // The form (and its menu) may have been unloaded while the menu was open.
    if (cmd <= 0 || static_cast<size_t>(cmd) > items.size() || !session.find(id)) return;
    // Called from inside an event: the caller's event frees what this one unloads.
    ui::Session::Event event(session);
    try {
        items[cmd - 1]->userClick();
    } catch (...) {
    }
}

void Win32Windowing::quit() {
    PostQuitMessage(0);
}

HDC PictureDc::holding(HBITMAP picture) {
    if (bitmap != picture) drop();
    if (!dc) {
        dc = CreateCompatibleDC(nullptr);
        if (!dc) return nullptr;
        previous = SelectObject(dc, picture);
        bitmap = picture;
    }
    return dc;
}

void PictureDc::drop() {
    if (!dc) return;
    SelectObject(dc, previous);
    DeleteDC(dc);
    dc = nullptr;
    bitmap = nullptr;
}

void Win32Windowing::paintBackground(FormWindow& fw, HDC dc) {
    RECT rc;
    GetClientRect(fw.hwnd, &rc);
    HBITMAP picture = reinterpret_cast<HBITMAP>(fw.form->picture());
    BITMAP bm;
    if (picture && GetObjectType(picture) == OBJ_BITMAP && GetObjectA(picture, sizeof(bm), &bm)) {
        // Stretched from the top-left corner over the whole client area.
        HDC mem = fw.picture.holding(picture);
        SetStretchBltMode(dc, HALFTONE);
        POINT origin;  // the form's top-left, also when painting under a control
        GetViewportOrgEx(dc, &origin);
        SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
        if (mem) {
            StretchBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
            return;
        }
    }
    FillRect(dc, &rc, gdi_.brush(fw.form->backColour()));
}

LRESULT Win32Windowing::controlColour(FormWindow& fw, HDC dc, HWND child) {
    NativeControl* nc = fw.find(child);
    if (!nc) nc = fw.find(GetParent(child));  // the edit part of a drop-down list
    if (!nc) return 0;
    const ui::Control& c = *nc->model;
    SetTextColor(dc, GdiCache::colour(c.foreColour()));
    if (c.transparent()) {
        // The form's ground under the control, painted into the control's own drawing: the
        // control then draws itself whole, and a new text needs no repaint of the form.
        // Kept to the control's rectangle: a label's drawing may be clipped as its parent's is.
        RECT rc;
        GetClientRect(child, &rc);
        POINT at{0, 0};
        MapWindowPoints(child, fw.hwnd, &at, 1);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
        OffsetViewportOrgEx(dc, -at.x, -at.y, nullptr);
        paintBackground(fw, dc);
        RestoreDC(dc, saved);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    SetBkColor(dc, GdiCache::colour(c.backColour()));
    return reinterpret_cast<LRESULT>(gdi_.brush(c.backColour()));
}

// Enter and Escape, as IsDialogMessage reports them: the default or the cancel button is pressed.
void Win32Windowing::pressButton(FormWindow& fw, bool cancel) {
    for (auto& nc : fw.controls) {
        ui::Control* c = nc->model;
        if (c->kind() == Kind::Button && (cancel ? c->isCancel : c->isDefault) && IsWindowVisible(nc->hwnd) &&
            IsWindowEnabled(nc->hwnd)) {
            dispatch(*fw.form, [c] { c->userClick(); });
            return;
        }
    }
}

void Win32Windowing::command(FormWindow& fw, WPARAM wp, LPARAM lp) {
    const UINT code = HIWORD(wp), id = LOWORD(wp);
    HWND h = reinterpret_cast<HWND>(lp);
    NativeControl* nc = h ? fw.find(h) : nullptr;
    if (!nc || static_cast<int>(id) != nc->id) {  // IDOK or IDCANCEL from the dialog keys
        if (id == IDCANCEL) pressButton(fw, true);
        return;
    }
    if (syncing_) return;
    ui::Control* c = nc->model;
    ui::Form& form = *fw.form;
    switch (c->kind()) {
        case Kind::Button:
        case Kind::CheckBox:
        case Kind::OptionButton:
            if (code == BN_CLICKED) dispatch(form, [c] { c->userClick(); });
            break;
        case Kind::Label:
            if (code == STN_CLICKED) dispatch(form, [c] { c->userClick(); });
            if (code == STN_DBLCLK) dispatch(form, [c] { c->userDblClick(); });
            break;
        case Kind::TextBox:
            if (code == EN_CHANGE) {
                const std::string text = windowText(h);
                dispatch(form, [c, &text] { c->userEdit(text); });
            }
            break;
        case Kind::ComboBox:
            if (code == CBN_SELCHANGE) {
                const int i = static_cast<int>(SendMessageA(h, CB_GETCURSEL, 0, 0));
                dispatch(form, [c, i] { c->userSelect(i); });
            } else if (code == CBN_EDITCHANGE) {
                const std::string text = windowText(h);
                dispatch(form, [c, &text] { c->userEdit(text); });
            }
            break;
        case Kind::ListBox:
            if (code == LBN_SELCHANGE) {
                const int i = static_cast<int>(SendMessageA(h, LB_GETCURSEL, 0, 0));
                dispatch(form, [c, i] { c->userSelect(i); });
            } else if (code == LBN_DBLCLK) {
                dispatch(form, [c] { c->userDblClick(); });
            }
            break;
        default:
            break;
    }
}

void Win32Windowing::notify(FormWindow& fw, NMHDR* nh) {
    NativeControl* nc = fw.find(nh->hwndFrom);
    if (!nc || syncing_ || nc->model->kind() != Kind::ListView) return;
    ui::Control* c = nc->model;
    if (nh->code == NM_DBLCLK) {
        dispatch(*fw.form, [c] { c->userDblClick(); });
    } else if (nh->code == LVN_ITEMCHANGED) {
        const auto* lv = reinterpret_cast<const NMLISTVIEW*>(nh);
        if ((lv->uChanged & LVIF_STATE) && (lv->uNewState & LVIS_SELECTED) &&
            !(lv->uOldState & LVIS_SELECTED)) {
            const int i = lv->iItem;
            dispatch(*fw.form, [c, i] { c->userSelect(i); });
        }
    }
}

LRESULT Win32Windowing::handle(FormWindow& fw, UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = fw.hwnd;
    // A second start of the program, made to resume a plan, asks by a broadcast registered message.
    static const UINT resumeNow = RegisterWindowMessageA(kResumeNowName);
    if (msg == resumeNow && resumeNow) {
        if (fw.live()) {
            ui::Form* f = fw.form;
            dispatch(*f, [f] { f->userMessage(kResumeNowMessage, 0, 0); });
        }
        return 0;
    }
    // Nothing below touches fw after a dispatch: the event may have destroyed it.
    if (msg == taskbarCreated_ && msg != 0) {  // the shell restarted: the program's icons are gone
        if (fw.live()) {
            ui::Form* f = fw.form;
            dispatch(*f, [f] { f->userMessage(kTaskbarCreated, 0, 0); });
        }
        return 0;
    }
    switch (msg) {
        case WM_ERASEBKGND:
            paintBackground(fw, reinterpret_cast<HDC>(wp));
            return 1;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            if (LRESULT brush = controlColour(fw, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)))
                return brush;
            break;
        case WM_COMMAND:
            if (fw.live()) command(fw, wp, lp);
            return 0;
        case WM_NOTIFY:
            if (fw.live()) notify(fw, reinterpret_cast<NMHDR*>(lp));
            return 0;
        case WM_MOUSEMOVE: {
            // On the window of a tray icon the mouse-move event belongs to the icon (below); the
            // pointer's own moves there would be read as icon messages.
            if (!fw.live() || Win32Tray::isCallbackWindow(reinterpret_cast<uintptr_t>(hwnd))) return 0;
            ui::Mouse m;
            m.button = 0;
            m.x = static_cast<float>(GET_X_LPARAM(lp) * system_.twipsPerPixelX());
            m.y = static_cast<float>(GET_Y_LPARAM(lp) * system_.twipsPerPixelY());
            ui::Form* f = fw.form;
            dispatch(*f, [f, &m] { f->userMouseMove(m); });
            return 0;
        }
        case kTrayCallbackMessage: {
            // The icon's mouse message stands where a move's horizontal position would be, in
            // twips like any mouse position.
            if (!fw.live()) return 0;
            ui::Mouse m;
            m.button = 0;
            m.x = static_cast<float>(static_cast<int>(LOWORD(lp)) * system_.twipsPerPixelX());
            m.y = 0;
            ui::Form* f = fw.form;
            dispatch(*f, [f, &m] { f->userMouseMove(m); });
            return 0;
        }
        case kBuildMessage:
            if (fw.live()) build(fw);
            return 0;
        case WM_DISPLAYCHANGE:
            if (fw.live() && fw.form->fullScreen) placeForm(fw);
            [[fallthrough]];
        case WM_TIMECHANGE:
        case WM_SETTINGCHANGE:  // its lParam (a string) is not passed on
        case WM_POWERBROADCAST:
        case WM_QUERYENDSESSION:
            if (fw.live()) {
                ui::Form* f = fw.form;
                const LPARAM l = msg == WM_TIMECHANGE ? lp : 0;
                dispatch(*f, [f, msg, wp, l] { f->userMessage(msg, static_cast<intptr_t>(wp), l); });
            }
            // A wake-up is acknowledged, and the session may end.
            return msg == WM_POWERBROADCAST || msg == WM_QUERYENDSESSION ? TRUE : 0;
        case WM_CLOSE:
            // Only what the close box could do. Anything running on the desktop may post a close
            // request (taskkill without /F does, to every window of the program): a hidden form, one
            // without a close box or one held down by the lock stays.
            if (fw.live() && hasCloseBox(*fw.form) && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
                ui::Form* f = fw.form;
                dispatch(*f, [f] { f->userClose(); });  // the model decides: unload, or hide
            }
            return 0;
        case WM_SYSCOMMAND: {
            // No window menu on a hidden form: a minimize, maximize or restore would show it.
            if (!IsWindowVisible(hwnd)) return 0;
            const WPARAM command = wp & 0xFFF0;
            // Alt+F4 on a window without a close box (the lock screen) closes nothing.
            if (command == SC_CLOSE && !hasCloseBox(*fw.form)) return 0;
            if (fw.form->pinned() && (command == SC_MINIMIZE || command == SC_MAXIMIZE ||
                                      command == SC_RESTORE || command == SC_MOVE || command == SC_SIZE))
                return 0;
            break;
        }
        case WM_WINDOWPOSCHANGING:
            // A pinned full-screen form keeps covering every screen whoever moves or sizes it; a
            // minimize goes through and is undone below.
            if (fw.form->pinned() && fw.form->fullScreen && !IsIconic(hwnd)) {
                auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
                const RECT all = coveredRect();
                if (!(pos->flags & SWP_NOMOVE)) {
                    pos->x = all.left;
                    pos->y = all.top;
                }
                if (!(pos->flags & SWP_NOSIZE)) {
                    pos->cx = all.right - all.left;
                    pos->cy = all.bottom - all.top;
                }
            }
            break;
        case WM_SIZE:
            if (wp == SIZE_MINIMIZED && fw.form->pinned()) PostMessageA(hwnd, kRestorePinned, 0, 0);
            break;
        case kRestorePinned:
            if (fw.form->pinned() && IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND f = GetFocus();
                if (f && IsChild(hwnd, f)) fw.lastFocus = f;
                return 0;
            }
            [[fallthrough]];
        case WM_SETFOCUS: {
            if (HIWORD(wp) && msg == WM_ACTIVATE) return 0;  // minimised
            HWND target = fw.lastFocus;
            if (!target || !IsWindow(target) || !IsChild(hwnd, target) || !IsWindowVisible(target) ||
                !IsWindowEnabled(target))
                target = GetNextDlgTabItem(hwnd, nullptr, FALSE);
            if (target)
                SetFocus(target);
            else if (msg == WM_ACTIVATE)
                SetFocus(hwnd);  // a form without controls takes the keys itself
            return 0;
        }
        case DM_GETDEFID: {
            // Enter presses the focused push button, else the default button.
            NativeControl* focused = fw.find(GetFocus());
            if (focused && focused->model->kind() == Kind::Button)
                return MAKELRESULT(focused->id, DC_HASDEFID);
            for (auto& nc : fw.controls)
                if (nc->model->kind() == Kind::Button && nc->model->isDefault && IsWindowVisible(nc->hwnd))
                    return MAKELRESULT(nc->id, DC_HASDEFID);
            return 0;
        }
        case WM_NEXTDLGCTL: {
            HWND next =
                LOWORD(lp) ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(hwnd, GetFocus(), wp != 0);
            if (next) SetFocus(next);
            return 0;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace qv::win32
