// Forms and controls realised natively: states and user input back into the model. Places, clicks,
// typing, mouse-down before the click, the tray menu, Alt+F4 and list view icons are proved end to end.
#include "check.h"
// after windows.h
#include <commctrl.h>

#include "platform/win32/clock.h"
#include "platform/win32/system.h"
#include "platform/win32/tray.h"
#include "platform/win32/windowing.h"

using namespace qv;
using namespace qv::win32;
using ui::Kind;
using ui::Rect;

namespace {

struct World {
    Win32System system;
    Win32Timers timers;
    Win32Windowing windowing{system};
    ui::Session session{windowing, timers};

    template <class Build>
    ui::Form& load(Build build) {
        auto f = std::make_unique<ui::Form>(session, "frmCheck");
        f->setClientSize(6000, 4500);
        build(*f);
        return session.load(std::move(f));
    }
    HWND hwnd(ui::Control& c) { return windowing.nativeOf(c); }
};

std::string text(HWND h) {
    char buf[256] = {};
    SendMessageA(h, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

}  // namespace

CHECK_CASE(a_dialog_opened_on_mouse_down_takes_the_click) {
    World w;  // as the picture box does: a file dialog's message loop, then the box checked
    int clicks = 0;
    ui::Form& f = w.load([&](ui::Form& f) {
        ui::Control& c = f.add(Kind::CheckBox, "chk", nullptr, "Picture", Rect{120, 120, 2000, 375});
        c.onMouseDown = [&c](const ui::Mouse&) {
            PostMessageA(nullptr, WM_NULL, 0, 0);
            qvcheck::pumpFor(30);
            c.setValue(1);
        };
        c.onClick = [&] { ++clicks; };
    });
    f.show();
    HWND chk = w.hwnd(f.control("chk"));
    SendMessageA(chk, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 5));
    SendMessageA(chk, WM_LBUTTONUP, 0, MAKELPARAM(4, 5));
    CHECK_EQ(clicks, 0);
    CHECK_EQ(f.control("chk").value(), 1);  // as the handler left it
}

CHECK_CASE(tab_order_enter_escape_failing_handlers_and_lists_refilled) {
    World w;
    int enter = 0, cancel = 0;
    ui::Form& f = w.load([&](ui::Form& f) {
        f.add(Kind::Label, "Label1", nullptr, "Name", Rect{120, 120, 1000, 255});
        ui::Control& no = f.add(Kind::Button, "cmdClose", nullptr, "Cancel", Rect{1300, 600, 1000, 375});
        no.isCancel = true;
        no.tabIndex = 2;
        no.onClick = [&] {
            ++cancel;
            f.control("no such control");  // throws: that handler ends, not the program
        };
        ui::Control& ok = f.add(Kind::Button, "Command1", nullptr, "Enter", Rect{120, 600, 1000, 375});
        ok.isDefault = true;
        ok.tabIndex = 1;
        ok.onClick = [&] { ++enter; };
        f.add(Kind::TextBox, "txtPass1", nullptr, "", Rect{120, 1200, 3000, 375}).tabIndex = 0;
        f.add(Kind::ComboBox, "cmb", nullptr, "", Rect{3600, 120, 855, 315});
        f.add(Kind::ListView, "lv", nullptr, "", Rect{50, 2500, 5000, 1440});
    });
    // A hidden form has its own window at once; its controls are made, with what the model
    // holds by then, when the message loop is idle (or the form is shown).
    HWND form = reinterpret_cast<HWND>(f.nativeHandle());
    CHECK(form && !GetWindow(form, GW_CHILD));
    f.control("txtPass1").setText("typed while hidden");
    qvcheck::pumpFor(30);
    CHECK(GetWindow(form, GW_CHILD) && !IsWindowVisible(form));
    CHECK_EQ(text(w.hwnd(f.control("txtPass1"))), std::string("typed while hidden"));
    f.show();
    HWND txt = w.hwnd(f.control("txtPass1")), ok = w.hwnd(f.control("Command1")),
         no = w.hwnd(f.control("cmdClose"));
    const HWND order[] = {nullptr, txt, ok, no};
    for (int i : {0, 1, 2}) CHECK(GetNextDlgTabItem(form, order[i], FALSE) == order[i + 1]);
    CHECK(!(GetWindowLongA(w.hwnd(f.control("Label1")), GWL_STYLE) & WS_TABSTOP));
    auto key = [&](HWND target, WPARAM vk) {
        SetFocus(target);
        MSG m{target, WM_KEYDOWN, vk, 1, GetTickCount(), {}};
        return IsDialogMessageA(form, &m) != FALSE;
    };
    CHECK(key(txt, VK_RETURN));
    CHECK(key(txt, VK_ESCAPE));
    key(no, VK_RETURN);  // Enter on a focused button presses that button
    CHECK_EQ(enter, 1);
    CHECK_EQ(cancel, 2);

    // A drop-down list shows a text set before its items, and keeps it when they are replaced.
    ui::Control &cmb = f.control("cmb"), &lv = f.control("lv");
    cmb.setText("31");
    for (const char* item : {"1", "2", "3"}) cmb.addItem(item);
    cmb.clear();
    cmb.addItem("5");
    CHECK_EQ(SendMessageA(w.hwnd(cmb), CB_GETCOUNT, 0, 0), LRESULT{1});
    CHECK_EQ(text(w.hwnd(cmb)), std::string("31"));
    cmb.setListIndex(0);
    CHECK_EQ(text(w.hwnd(cmb)), std::string("5"));
    // Clearing the list view clears its images too, so refilling it does not pile them up.
    lv.addItem("Chess", 0);
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(w.hwnd(lv), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    lv.clear();
    CHECK_EQ(ImageList_GetImageCount(images), 0);
    // Items of one icon (here none: the program's) share one image.
    lv.setItems({"Chess", "Paint", "Chess"});
    CHECK_EQ(ImageList_GetImageCount(images), 1);
    CHECK_EQ(SendMessageA(w.hwnd(lv), LVM_GETITEMCOUNT, 0, 0), LRESULT{3});
}

CHECK_CASE(tray_icon_messages_arrive_as_mouse_moves_in_twips_and_the_pointer_is_ignored) {
    World w;
    std::vector<float> xs;
    ui::Form& f =
        w.load([&](ui::Form& f) { f.onMouseMove = [&](const ui::Mouse& m) { xs.push_back(m.x); }; });
    HWND h = reinterpret_cast<HWND>(f.nativeHandle());
    const float tpp = static_cast<float>(w.system.twipsPerPixelX());
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));  // the pointer, on a window without an icon
    Win32Tray tray;
    // A tip longer than the field is cut, not overrun.
    TrayRecord r{.window = f.nativeHandle(),
                 .id = 999,
                 .flags = 7,
                 .callbackMessage = 512,
                 .icon = 1,
                 .tip = std::string(300, 'x')};
    CHECK(tray.notify(TrayOp::Add, r));
    CHECK(Win32Tray::isCallbackWindow(r.window));
    SendMessageA(h, kTrayCallbackMessage, 999, 517);       // right button up on the icon
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(517, 3));  // the pointer crossing: not an icon message
    CHECK(xs == (std::vector<float>{10 * tpp, 517 * tpp}));
    CHECK(tray.notify(TrayOp::Delete, r));
    CHECK(!Win32Tray::isCallbackWindow(r.window));
}
