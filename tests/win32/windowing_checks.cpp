// Forms and controls realised natively: looks, states, and user input back into the model. Places
// and sizes, clicks, typing, the tray menu and closing are proved by the end-to-end cases.
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

    // A form with its controls added by build, then loaded.
    template <class Build>
    ui::Form& load(Build build) {
        auto f = std::make_unique<ui::Form>(session, "frmCheck");
        f->setCaption("Check");
        f->setClientSize(6000, 4500);
        build(*f);
        return session.load(std::move(f));
    }
    HWND hwnd(ui::Form& f) { return reinterpret_cast<HWND>(f.nativeHandle()); }
    HWND hwnd(ui::Control& c) { return windowing.nativeOf(c); }
};

std::string text(HWND h) {
    char buf[256] = {};
    SendMessageA(h, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

}  // namespace

CHECK_CASE(forms_are_centred_and_controls_take_their_fonts) {
    World w;
    ui::Form& f = w.load([](ui::Form& f) {
        f.add(Kind::CheckBox, "chk", nullptr, "Check", Rect{120, 240, 2000, 375});
        f.add(Kind::Button, "cmd", nullptr, "Start", Rect{3600, 240, 1695, 375})
            .setFont(ui::Font{"Verdana", 8.25, true});
    });
    f.show();
    RECT outer;
    GetWindowRect(w.hwnd(f), &outer);
    CHECK(std::abs(outer.left + outer.right - GetSystemMetrics(SM_CXSCREEN)) <= 2);
    CHECK(std::abs(outer.top + outer.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 2);
    auto font = [&](const char* name) {
        LOGFONTA lf{};
        HWND h = w.hwnd(f.control(name));
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        return lf;
    };
    CHECK_EQ(font("chk").lfHeight, -MulDiv(825, w.system.dpiY(), 7200));
    CHECK_EQ(font("chk").lfWeight, 400L);
    CHECK_EQ(font("cmd").lfWeight, 700L);
    CHECK_EQ(std::string(font("cmd").lfFaceName), std::string("Verdana"));
}

CHECK_CASE(mouse_down_comes_before_the_click_and_a_dialog_in_it_eats_the_click) {
    World w;
    std::vector<std::string> order;
    float x = -1;
    bool openDialog = false;
    ui::Form& f = w.load([&](ui::Form& f) {
        ui::Control& c = f.add(Kind::CheckBox, "chk", nullptr, "Picture", Rect{120, 120, 2000, 375});
        c.onMouseDown = [&, &c = c](const ui::Mouse& m) {
            order.push_back("down");
            x = m.x;
            if (openDialog) {  // as a file dialog would: a message loop, then the box checked
                PostMessageA(nullptr, WM_NULL, 0, 0);
                qvcheck::pumpFor(30);
                c.setValue(1);
            }
        };
        c.onClick = [&] { order.push_back("click"); };
    });
    f.show();
    HWND chk = w.hwnd(f.control("chk"));
    for (bool dialog : {false, true}) {
        f.control("chk").setValue(0);
        order.clear();
        openDialog = dialog;
        SendMessageA(chk, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 5));
        SendMessageA(chk, WM_LBUTTONUP, 0, MAKELPARAM(4, 5));
        CHECK(order ==
              (dialog ? std::vector<std::string>{"down"} : std::vector<std::string>{"down", "click"}));
        CHECK_EQ(f.control("chk").value(), 1);  // checked by the click, or as the handler left it
    }
    CHECK_EQ(x, 4 * 1440.0f / static_cast<float>(w.system.dpiX()));
}

CHECK_CASE(text_set_by_code_raises_no_event_and_lists_show_any_text) {
    World w;
    int changes = 0;
    ui::Form& f = w.load([&](ui::Form& f) {
        f.add(Kind::TextBox, "txt", nullptr, "", Rect{120, 120, 3000, 375}).onChange = [&] { ++changes; };
        f.add(Kind::ComboBox, "cmb", nullptr, "", Rect{120, 600, 855, 315});
        f.add(Kind::ListBox, "lst", nullptr, "", Rect{120, 1200, 3000, 1230});
    });
    f.control("txt").setText("A friend in need");
    CHECK_EQ(changes, 0);
    // A drop-down list shows a text set before its items, and keeps it when they are replaced.
    ui::Control &cmb = f.control("cmb"), &lst = f.control("lst");
    cmb.setText("31");
    for (const char* item : {"1", "2", "3"}) cmb.addItem(item);
    cmb.clear();
    cmb.addItem("5");
    CHECK_EQ(SendMessageA(w.hwnd(cmb), CB_GETCOUNT, 0, 0), LRESULT{1});
    CHECK_EQ(text(w.hwnd(cmb)), std::string("31"));
    cmb.setListIndex(0);
    CHECK_EQ(text(w.hwnd(cmb)), std::string("5"));
    lst.addItem("Chess");
    lst.setListIndex(0);
    lst.setListIndex(-1);
    CHECK_EQ(SendMessageA(w.hwnd(lst), LB_GETCURSEL, 0, 0), LRESULT{LB_ERR});
}

CHECK_CASE(list_view_holds_one_image_per_item) {
    World w;
    ui::Form& f = w.load([](ui::Form& f) {
        f.add(Kind::ListView, "lv", nullptr, "", Rect{50, 50, 5000, 1440});
    });
    ui::Control& lv = f.control("lv");
    lv.addItem("Chess", 0);  // no icon of its own
    lv.addItem("Paint", reinterpret_cast<PictureHandle>(LoadIcon(nullptr, IDI_WARNING)));
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(w.hwnd(lv), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    CHECK_EQ(ImageList_GetImageCount(images), 2);
    lv.clear();
    CHECK_EQ(SendMessageA(w.hwnd(lv), LVM_GETITEMCOUNT, 0, 0), LRESULT{0});
    CHECK_EQ(ImageList_GetImageCount(images), 0);
}

CHECK_CASE(forms_outlive_alt_f4_and_failing_handlers_and_disabled_keep_their_controls_looks) {
    World w;
    int clicks = 0;
    ui::Form& f = w.load([&](ui::Form& f) {
        f.border = ui::BorderStyle::None;  // as the lock screen: no close box
        f.controlBox = false;
        f.add(Kind::Button, "cmd", nullptr, "Fail", Rect{120, 240, 1000, 375}).onClick = [&] {
            ++clicks;
            f.control("no such control");  // throws
        };
    });
    HWND cmd = w.hwnd(f.control("cmd"));
    SendMessageA(cmd, BM_CLICK, 0, 0);
    SendMessageA(cmd, BM_CLICK, 0, 0);  // the failure ended that handler only
    CHECK_EQ(clicks, 2);
    SendMessageA(w.hwnd(f), WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4
    CHECK(f.loaded());
    f.setEnabled(false);  // the window takes no input; its controls are not greyed
    CHECK(!IsWindowEnabled(w.hwnd(f)));
    CHECK(IsWindowEnabled(cmd));
}

CHECK_CASE(tray_icon_messages_arrive_as_mouse_moves_in_twips_and_the_pointer_is_ignored) {
    World w;
    std::vector<float> xs;
    ui::Form& f =
        w.load([&](ui::Form& f) { f.onMouseMove = [&](const ui::Mouse& m) { xs.push_back(m.x); }; });
    HWND h = w.hwnd(f);
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
    CHECK(tray.notify(TrayOp::Modify, TrayRecord{.window = r.window,
                                                 .id = 999,
                                                 .flags = 16,
                                                 .info = "Click on the icon to begin",
                                                 .infoTitle = "Quorvane",
                                                 .infoFlags = 1}));
    CHECK(tray.notify(TrayOp::Delete, r));
    CHECK(!Win32Tray::isCallbackWindow(r.window));
}

CHECK_CASE(tab_order_follows_the_tab_index_and_enter_and_escape_press_their_buttons) {
    World w;
    int enter = 0, cancel = 0;
    ui::Form& f = w.load([&](ui::Form& f) {
        f.add(Kind::Label, "Label1", nullptr, "Name", Rect{120, 120, 1000, 255});
        ui::Control& no = f.add(Kind::Button, "cmdClose", nullptr, "Cancel", Rect{1300, 600, 1000, 375});
        no.isCancel = true;
        no.tabIndex = 2;
        no.onClick = [&] { ++cancel; };
        ui::Control& ok = f.add(Kind::Button, "Command1", nullptr, "Enter", Rect{120, 600, 1000, 375});
        ok.isDefault = true;
        ok.tabIndex = 1;
        ok.onClick = [&] { ++enter; };
        f.add(Kind::TextBox, "txtPass1", nullptr, "", Rect{120, 1200, 3000, 375}).tabIndex = 0;
    });
    f.show();
    HWND form = w.hwnd(f), txt = w.hwnd(f.control("txtPass1")), ok = w.hwnd(f.control("Command1")),
         no = w.hwnd(f.control("cmdClose"));
    CHECK(GetNextDlgTabItem(form, nullptr, FALSE) == txt);
    CHECK(GetNextDlgTabItem(form, txt, FALSE) == ok);
    CHECK(GetNextDlgTabItem(form, ok, FALSE) == no);
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
}

CHECK_CASE(labels_are_transparent_over_the_back_colour_or_the_stretched_picture) {
    World w;
    ui::Form& f = w.load([](ui::Form& f) {
        f.add(Kind::Label, "lbl", nullptr, "Message", Rect{120, 120, 3000, 500});
    });
    f.control("lbl").setColours(ui::rgb(168, 229, 252), ui::rgb(35, 60, 91), true);
    HWND form = w.hwnd(f);
    HDC dc = CreateCompatibleDC(nullptr);
    const LRESULT brush = SendMessageA(form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(w.hwnd(f.control("lbl"))));
    CHECK(reinterpret_cast<HGDIOBJ>(brush) == GetStockObject(NULL_BRUSH));
    CHECK_EQ(GetBkMode(dc), TRANSPARENT);
    CHECK_EQ(GetTextColor(dc), RGB(168, 229, 252));

    RECT client;
    GetClientRect(form, &client);
    HBITMAP canvas = CreateBitmap(client.right, client.bottom, 1, 32, nullptr);
    SelectObject(dc, canvas);
    f.setBackColour(ui::rgb(35, 60, 91));
    SendMessageA(form, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    CHECK_EQ(GetPixel(dc, 5, 5), RGB(35, 60, 91));
    const DWORD red[4] = {0xC80000, 0xC80000, 0xC80000, 0xC80000};  // 2 x 2, BGRX
    HBITMAP pic = CreateBitmap(2, 2, 1, 32, red);
    f.setPicture(reinterpret_cast<PictureHandle>(pic));
    SendMessageA(form, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    CHECK_EQ(GetPixel(dc, client.right - 3, client.bottom - 3), RGB(200, 0, 0));
    f.setPicture(0);
    DeleteObject(pic);
    DeleteDC(dc);
    DeleteObject(canvas);
}
