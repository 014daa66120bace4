// Forms and controls realised natively: places, states, and user input back into the model.
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
    ui::Form& load(Build build, int width = 6000, int height = 4500) {
        auto f = std::make_unique<ui::Form>(session, "frmCheck");
        f->setCaption("Check");
        f->setClientSize(width, height);
        build(*f);
        return session.load(std::move(f));
    }
    HWND hwnd(ui::Form& f) { return reinterpret_cast<HWND>(f.nativeHandle()); }
    HWND hwnd(ui::Control& c) { return windowing.nativeOf(c); }
    int px(int twips) { return MulDiv(twips, system.dpiX(), 1440); }
    int py(int twips) { return MulDiv(twips, system.dpiY(), 1440); }
};

RECT placeInClient(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string text(HWND h) {
    char buf[256] = {};
    SendMessageA(h, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

void click(HWND h) {
    SendMessageA(h, BM_CLICK, 0, 0);
}

// Sends a control's notification as the control itself would when the user acts on it.
void notifyParent(HWND control, UINT code) {
    SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

bool quitPosted() {
    MSG m;
    return PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

}  // namespace

CHECK_CASE(forms_and_controls_are_placed_in_pixels_at_the_screen_resolution) {
    World w;
    ui::Form& f = w.load([](ui::Form& f) {
        ui::Control& frame = f.add(Kind::Frame, "Frame1", nullptr, " Modes ", Rect{240, 240, 3000, 2000});
        f.add(Kind::CheckBox, "chk", &frame, "Check", Rect{120, 240, 2000, 375});
        ui::Control& b = f.add(Kind::Button, "cmd", nullptr, "Start", Rect{3600, 240, 1695, 375});
        b.setFont(ui::Font{"Verdana", 8.25, true});
        f.add(Kind::ComboBox, "cmb", nullptr, "", Rect{3600, 960, 855, 315});
    });
    HWND form = w.hwnd(f);
    CHECK(IsWindow(form));
    CHECK(!IsWindowVisible(form));  // hidden until the model shows it
    RECT client;
    GetClientRect(form, &client);
    CHECK_EQ(client.right, w.px(6000));
    CHECK_EQ(client.bottom, w.py(4500));

    // Inside a frame: the frame's place plus the control's own.
    const RECT chk = placeInClient(w.hwnd(f.control("chk")));
    CHECK_EQ(chk.left, w.px(360));
    CHECK_EQ(chk.top, w.py(480));
    CHECK_EQ(chk.right - chk.left, w.px(2000));
    CHECK_EQ(chk.bottom - chk.top, w.py(375));
    f.control("Frame1").setLeft(480);  // the frame takes its contents along
    CHECK_EQ(placeInClient(w.hwnd(f.control("chk"))).left, w.px(600));

    f.show();
    CHECK(IsWindowVisible(form));
    RECT outer;
    GetWindowRect(form, &outer);
    CHECK(std::abs((outer.left + outer.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2) <= 1);
    CHECK(std::abs((outer.top + outer.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2) <= 1);

    auto fontOf = [](HWND h) {
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        return lf;
    };
    const LOGFONTA normal = fontOf(w.hwnd(f.control("chk"))), bold = fontOf(w.hwnd(f.control("cmd")));
    CHECK_EQ(normal.lfHeight, -MulDiv(825, w.system.dpiY(), 7200));
    CHECK_EQ(normal.lfWeight, 400L);
    CHECK_EQ(bold.lfWeight, 700L);
    CHECK_EQ(std::string(bold.lfFaceName), std::string("Verdana"));
}

CHECK_CASE(check_boxes_and_option_buttons_take_their_state_from_the_model) {
    World w;
    int clicks = 0;
    ui::Form& f = w.load([&](ui::Form& f) {
        f.add(Kind::CheckBox, "chk", nullptr, "Check", Rect{120, 120, 2000, 375}).onClick = [&] { ++clicks; };
        f.add(Kind::OptionButton, "opt1", nullptr, "One", Rect{120, 600, 2000, 375});
        f.add(Kind::OptionButton, "opt2", nullptr, "Two", Rect{120, 1000, 2000, 375});
    });
    HWND chk = w.hwnd(f.control("chk"));
    click(chk);
    CHECK_EQ(f.control("chk").value(), 1);
    CHECK_EQ(SendMessageA(chk, BM_GETCHECK, 0, 0), LRESULT{BST_CHECKED});
    click(chk);
    CHECK_EQ(f.control("chk").value(), 0);
    CHECK_EQ(SendMessageA(chk, BM_GETCHECK, 0, 0), LRESULT{BST_UNCHECKED});
    CHECK_EQ(clicks, 2);
    f.control("chk").setValue(2);  // from code: shown, no click
    CHECK_EQ(SendMessageA(chk, BM_GETCHECK, 0, 0), LRESULT{BST_INDETERMINATE});
    CHECK_EQ(clicks, 2);

    click(w.hwnd(f.control("opt1")));
    click(w.hwnd(f.control("opt2")));
    CHECK_EQ(f.control("opt1").value(), 0);
    CHECK_EQ(SendMessageA(w.hwnd(f.control("opt1")), BM_GETCHECK, 0, 0), LRESULT{BST_UNCHECKED});
    CHECK_EQ(SendMessageA(w.hwnd(f.control("opt2")), BM_GETCHECK, 0, 0), LRESULT{BST_CHECKED});
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
    SendMessageA(chk, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 5));
    SendMessageA(chk, WM_LBUTTONUP, 0, MAKELPARAM(4, 5));
    CHECK(order == (std::vector<std::string>{"down", "click"}));
    CHECK_EQ(x, 4 * 1440.0f / static_cast<float>(w.system.dpiX()));
    CHECK_EQ(f.control("chk").value(), 1);

    f.control("chk").setValue(0);
    order.clear();
    openDialog = true;
    SendMessageA(chk, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 5));
    SendMessageA(chk, WM_LBUTTONUP, 0, MAKELPARAM(4, 5));
    CHECK(order == std::vector<std::string>{"down"});
    CHECK_EQ(f.control("chk").value(), 1);  // as the handler left it, not toggled back
}

CHECK_CASE(text_set_by_code_raises_no_event_and_typing_does) {
    World w;
    int changes = 0;
    ui::Form& f = w.load([&](ui::Form& f) {
        ui::Control& t = f.add(Kind::TextBox, "txt", nullptr, "", Rect{120, 120, 3000, 1500});
        t.multiLine = true;
        t.onChange = [&] { ++changes; };
        f.add(Kind::TextBox, "pass", nullptr, "", Rect{120, 2000, 3000, 375}).passwordChar = '*';
    });
    HWND txt = w.hwnd(f.control("txt"));
    f.control("txt").setText("A friend in need\r\n");
    CHECK_EQ(text(txt), std::string("A friend in need\r\n"));
    CHECK_EQ(changes, 0);
    SendMessageA(txt, EM_SETSEL, 0, 0);
    SendMessageA(txt, WM_CHAR, 'x', 0);
    CHECK_EQ(changes, 1);
    CHECK_EQ(f.control("txt").text(), std::string("xA friend in need\r\n"));
    CHECK(GetWindowLongA(w.hwnd(f.control("pass")), GWL_STYLE) & ES_PASSWORD);
}

CHECK_CASE(drop_down_lists_show_any_text_and_report_picks) {
    World w;
    int picks = 0;
    ui::Form& f = w.load([&](ui::Form& f) {
        f.add(Kind::ComboBox, "cmb", nullptr, "", Rect{120, 120, 855, 315}).onClick = [&] { ++picks; };
        f.add(Kind::ListBox, "lst", nullptr, "", Rect{120, 1000, 3000, 1230});
    });
    ui::Control& cmb = f.control("cmb");
    HWND h = w.hwnd(cmb);
    cmb.setText("31");  // before the list has items, and not one of them
    CHECK_EQ(text(h), std::string("31"));
    for (const char* item : {"1", "2", "3"}) cmb.addItem(item);
    CHECK_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), LRESULT{3});
    CHECK_EQ(text(h), std::string("31"));
    cmb.clear();
    cmb.addItem("5");
    cmb.addItem("6");
    CHECK_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), LRESULT{2});
    CHECK_EQ(text(h), std::string("31"));
    cmb.setListIndex(0);
    CHECK_EQ(text(h), std::string("5"));
    SendMessageA(h, CB_SETCURSEL, 1, 0);
    notifyParent(h, CBN_SELCHANGE);
    CHECK_EQ(cmb.listIndex(), 1);
    CHECK_EQ(cmb.text(), std::string("6"));
    CHECK_EQ(picks, 1);

    ui::Control& lst = f.control("lst");
    HWND l = w.hwnd(lst);
    for (const char* item : {"Chess", "Paint", "Chess"}) lst.addItem(item);
    lst.removeItem(0);
    CHECK_EQ(SendMessageA(l, LB_GETCOUNT, 0, 0), LRESULT{2});
    SendMessageA(l, LB_SETCURSEL, 1, 0);
    notifyParent(l, LBN_SELCHANGE);
    CHECK_EQ(lst.listIndex(), 1);
    lst.setListIndex(-1);
    CHECK_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), LRESULT{LB_ERR});
}

CHECK_CASE(list_view_holds_one_image_per_item) {
    World w;
    ui::Form& f = w.load([](ui::Form& f) {
        f.add(Kind::ListView, "ListView1", nullptr, "", Rect{50, 50, 5000, 1440});
    });
    ui::Control& lv = f.control("ListView1");
    HWND h = w.hwnd(lv);
    lv.addItem("Chess", 0);  // no icon of its own
    lv.addItem("Paint", reinterpret_cast<PictureHandle>(LoadIcon(nullptr, IDI_WARNING)));
    CHECK_EQ(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0), LRESULT{2});
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(h, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    CHECK_EQ(ImageList_GetImageCount(images), 2);
    lv.clear();
    CHECK_EQ(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0), LRESULT{0});
    CHECK_EQ(ImageList_GetImageCount(images), 0);
}

CHECK_CASE(frames_pass_on_visibility_and_enabled_state) {
    World w;
    ui::Form& f = w.load([](ui::Form& f) {
        ui::Control& frame = f.add(Kind::Frame, "Frame1", nullptr, "", Rect{240, 240, 3000, 2000});
        f.add(Kind::Button, "cmd", &frame, "Add", Rect{120, 240, 1000, 375});
    });
    f.show();
    HWND cmd = w.hwnd(f.control("cmd"));
    CHECK(IsWindowVisible(cmd));
    f.control("Frame1").setVisible(false);
    CHECK(!IsWindowVisible(cmd));
    f.control("Frame1").setVisible(true);
    CHECK(IsWindowVisible(cmd));
    f.control("Frame1").setEnabled(false);
    CHECK(!IsWindowEnabled(cmd));
    f.control("Frame1").setEnabled(true);
    f.setEnabled(false);  // the window takes no input; its controls keep their looks
    CHECK(!IsWindowEnabled(w.hwnd(f)));
    CHECK(IsWindowEnabled(cmd));
}

CHECK_CASE(close_box_unloads_the_form_and_the_last_one_ends_the_loop) {
    World w;
    struct Recording : ui::Form {
        using ui::Form::Form;
        int* unloads = nullptr;
        void onUnload() override { ++*unloads; }
    };
    int unloads = 0;
    auto rec = std::make_unique<Recording>(w.session, "frmClose");
    rec->unloads = &unloads;
    ui::Form& f = w.session.load(std::move(rec));
    HWND h = w.hwnd(f);
    const uint64_t id = f.id();
    f.show();
    SendMessageA(h, WM_CLOSE, 0, 0);
    CHECK_EQ(unloads, 1);
    CHECK(w.session.find(id) == nullptr);
    CHECK(!IsWindow(h));
    CHECK(quitPosted());

    // The lock screen has no close box: Alt+F4 does not close it.
    ui::Form& big = w.load([](ui::Form& f) {
        f.border = ui::BorderStyle::None;
        f.controlBox = false;
    });
    SendMessageA(w.hwnd(big), WM_SYSCOMMAND, SC_CLOSE, 0);
    CHECK(big.loaded());
}

CHECK_CASE(a_handler_may_unload_its_own_form_or_fail) {
    World w;
    int clicks = 0;
    ui::Form& f = w.load([&](ui::Form& f) {
        f.add(Kind::Button, "cmdClose", nullptr, "Close", Rect{120, 120, 1000, 375}).onClick = [&f, &w] {
            w.session.unload(f);
        };
        f.add(Kind::Button, "cmdFail", nullptr, "Fail", Rect{120, 600, 1000, 375}).onClick = [&] {
            ++clicks;
            f.control("no such control");  // throws
        };
    });
    HWND h = w.hwnd(f), fail = w.hwnd(f.control("cmdFail")), close = w.hwnd(f.control("cmdClose"));
    click(fail);
    click(fail);  // the failure ended that handler only
    CHECK_EQ(clicks, 2);
    click(close);
    CHECK(!IsWindow(h));
    CHECK(w.session.loadedForms().empty());
    quitPosted();
}

CHECK_CASE(tray_callback_arrives_as_a_mouse_move_in_twips) {
    World w;
    std::vector<ui::Mouse> moves;
    ui::Form& f =
        w.load([&](ui::Form& f) { f.onMouseMove = [&](const ui::Mouse& m) { moves.push_back(m); }; });
    HWND h = w.hwnd(f);
    const int tpp = w.system.twipsPerPixelX();
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));  // the pointer, on a window without an icon
    CHECK_EQ(moves.size(), size_t{1});
    CHECK_EQ(moves.back().x, 10.0f * tpp);
    CHECK_EQ(moves.back().y, 20.0f * w.system.twipsPerPixelY());

    Win32Tray tray;
    TrayRecord r;
    r.window = f.nativeHandle();
    r.id = 999;
    r.flags = 7;
    r.callbackMessage = 512;
    r.icon = 1;
    r.tip = "Check";
    CHECK(tray.notify(TrayOp::Add, r));
    SendMessageA(h, kTrayCallbackMessage, 999, 517);  // right button up on the icon
    CHECK_EQ(moves.size(), size_t{2});
    CHECK_EQ(moves.back().x, 517.0f * tpp);
    CHECK_EQ(moves.back().y, 0.0f);
    CHECK_EQ(moves.back().button, 0);
    // The pointer crossing the window at x = 517 must not be taken for that message.
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(517, 3));
    CHECK_EQ(moves.size(), size_t{2});
    tray.notify(TrayOp::Delete, r);
}

CHECK_CASE(enter_and_escape_press_the_default_and_the_cancel_button) {
    World w;
    int enter = 0, cancel = 0;
    ui::Form& f = w.load([&](ui::Form& f) {
        ui::Control& t = f.add(Kind::TextBox, "txtPass1", nullptr, "", Rect{120, 120, 3000, 375});
        t.tabIndex = 0;
        ui::Control& ok = f.add(Kind::Button, "Command1", nullptr, "Enter", Rect{120, 600, 1000, 375});
        ok.isDefault = true;
        ok.tabIndex = 1;
        ok.onClick = [&] { ++enter; };
        ui::Control& no = f.add(Kind::Button, "cmdClose", nullptr, "Cancel", Rect{1300, 600, 1000, 375});
        no.isCancel = true;
        no.tabIndex = 2;
        no.onClick = [&] { ++cancel; };
    });
    f.show();
    HWND form = w.hwnd(f), txt = w.hwnd(f.control("txtPass1"));
    auto key = [&](HWND target, WPARAM vk) {
        MSG m{target, WM_KEYDOWN, vk, 1, GetTickCount(), {}};
        return IsDialogMessageA(form, &m) != FALSE;
    };
    SetFocus(txt);
    CHECK(key(txt, VK_RETURN));
    CHECK_EQ(enter, 1);
    CHECK(key(txt, VK_ESCAPE));
    CHECK_EQ(cancel, 1);
    HWND no = w.hwnd(f.control("cmdClose"));
    SetFocus(no);
    key(no, VK_RETURN);  // Enter on a focused button presses that button
    CHECK_EQ(cancel, 2);
    CHECK_EQ(enter, 1);
}

CHECK_CASE(tab_order_follows_the_tab_index) {
    World w;
    ui::Form& f = w.load([](ui::Form& f) {
        f.add(Kind::Label, "Label1", nullptr, "Name", Rect{120, 120, 1000, 255});
        const int order[] = {2, 0, 1};
        for (int i = 0; i < 3; ++i)
            f.add(Kind::Button, "cmd" + std::to_string(i), nullptr, "B", Rect{120 + 1200 * i, 600, 1000, 375})
                .tabIndex = order[i];
    });
    f.show();
    HWND form = w.hwnd(f);
    HWND first = GetNextDlgTabItem(form, nullptr, FALSE);
    CHECK(first == w.hwnd(f.control("cmd1")));
    HWND second = GetNextDlgTabItem(form, first, FALSE);
    CHECK(second == w.hwnd(f.control("cmd2")));
    CHECK(GetNextDlgTabItem(form, second, FALSE) == w.hwnd(f.control("cmd0")));
    CHECK(!(GetWindowLongA(w.hwnd(f.control("Label1")), GWL_STYLE) & WS_TABSTOP));
}

CHECK_CASE(colours_of_labels_and_the_form_background) {
    World w;
    ui::Form& f = w.load([](ui::Form& f) {
        f.add(Kind::Label, "lblMessage", nullptr, "Message", Rect{120, 120, 3000, 500});
        f.add(Kind::Label, "lblTimeLeft", nullptr, " 0: 0: 0", Rect{120, 800, 3000, 500});
    });
    f.control("lblMessage").setColours(ui::rgb(168, 229, 252), ui::rgb(35, 60, 91), true);
    f.control("lblTimeLeft").setColours(ui::rgb(168, 229, 252), ui::rgb(1, 2, 3), false);
    HWND form = w.hwnd(f);
    HDC dc = CreateCompatibleDC(nullptr);
    auto brush = [&](const char* name) {
        return reinterpret_cast<HGDIOBJ>(SendMessageA(form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(w.hwnd(f.control(name)))));
    };
    CHECK(brush("lblMessage") == GetStockObject(NULL_BRUSH));
    CHECK_EQ(GetBkMode(dc), TRANSPARENT);
    CHECK_EQ(GetTextColor(dc), RGB(168, 229, 252));
    SetBkMode(dc, OPAQUE);
    LOGBRUSH lb{};
    GetObjectA(brush("lblTimeLeft"), sizeof(lb), &lb);
    CHECK_EQ(lb.lbColor, RGB(1, 2, 3));
    CHECK_EQ(GetBkColor(dc), RGB(1, 2, 3));

    // The back colour fills the client area; a picture covers it, stretched.
    f.setBackColour(ui::rgb(35, 60, 91));
    HBITMAP canvas = CreateBitmap(w.px(6000), w.py(4500), 1, 32, nullptr);
    SelectObject(dc, canvas);
    SendMessageA(form, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    CHECK_EQ(GetPixel(dc, 5, 5), RGB(35, 60, 91));
    HDC screen = GetDC(nullptr);
    HBITMAP pic = CreateCompatibleBitmap(screen, 2, 2);
    ReleaseDC(nullptr, screen);
    HDC pdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(pdc, pic);
    RECT all{0, 0, 2, 2};
    HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
    FillRect(pdc, &all, red);
    SelectObject(pdc, old);
    DeleteDC(pdc);
    f.setPicture(reinterpret_cast<PictureHandle>(pic));
    SendMessageA(form, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    CHECK_EQ(GetPixel(dc, w.px(6000) - 3, w.py(4500) - 3), RGB(200, 0, 0));
    f.setPicture(0);
    DeleteObject(pic);
    DeleteObject(red);
    DeleteDC(dc);
    DeleteObject(canvas);
}

CHECK_CASE(popup_menu_offers_the_visible_items_and_clicks_the_chosen_one) {
    World w;
    std::vector<std::string> clicked;
    ui::Form& f = w.load([&](ui::Form& f) {
        ui::MenuItem& main = f.menu().add("mnuMenuMain", "Menu");
        for (const char* name : {"mnuStart", "mnuStop", "mnuHelp"})
            main.add(name, name).onClick = [&clicked, name] { clicked.push_back(name); };
        main.find("mnuStart")->setVisible(false);
    });
    // The menu's own loop reads the keys already queued: the first item shown, then Enter.
    HWND h = w.hwnd(f);
    PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
    f.popupMenu(*f.menu().find("mnuMenuMain"), 0, 0);
    CHECK(clicked == std::vector<std::string>{"mnuStop"});
}
