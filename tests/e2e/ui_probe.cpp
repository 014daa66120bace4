// inspector: eyes and hands for the end-to-end tests and the bench scripts, run in the Wine prefix
// of the program under test. Commands:
//
//   list [--exe NAME] [--title T] [--hwnd H] [--visible] [--top]   one JSON object per window
//   wait <title> [timeout] [--gone | --enabled | --disabled | --foreground | --items N --control SEL]
//   click <title> <sel> [--input [--double] [--at X,Y]]   BM_CLICK posted, or a real click
//   type <title> <sel> <text> | select <title> <list box> <item> | pick <title> <drop-down> <item>
//   close <title> [--syscommand] | screen | foreground | procs --exe NAME
//   tray [--wait S] [--ready] | tray-click [right] | menu-keys <down|up|enter|escape>...
//   window <title> [seconds] | keys <seconds> | timechange [count] | resume   (another program's part)
//   post <message|name> [wparam] [lparam] [--exe NAME | --hwnd H] [--count N]   posted to every
//     top-level window of a program (hidden ones too), to one window, or else broadcast; a name is
//     a registered message | move <hwnd> x y w h | tray-delete <hwnd> <id>
//   end <title>   ends the window's process as Task Manager's End task does (TerminateProcess)
//   pipe <text> [--size N] [--clients N] [--hold S]   writes to the guard's pipe from N clients
//                 at once (text, or N bytes of 'x'), or with --hold connects and writes nothing
//   savehive <HKCU subkey> <file>   saves the key as a hive file (another account's NTUSER.DAT)
//
// --exe NAME limits windows to that program's. <title>: a visible top-level window's caption or
// "hwnd:0x1234"; <sel>: "hwnd:0x1234", "class:Edit:2" (the second Edit, from 1) or a caption,
// '&' marks ignored. Data and moments ("at", Unix time) are printed as JSON lines. Exit code 0;
// 1 when something was not found; 2 for a usage error.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::string jsonString(const std::wstring& w) {
    std::string u(WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr), 0);
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), u.data(), (int)u.size(), nullptr, nullptr);
    std::string s = "\"";
    for (unsigned char c : u) {
        char buf[8] = {(char)c};
        if (c == '"' || c == '\\') snprintf(buf, sizeof buf, "\\%c", c);
        if (c < 0x20) snprintf(buf, sizeof buf, "\\u%04x", c);
        s += buf;
    }
    return s + "\"";
}

std::string box(LONG x, LONG y, LONG w, LONG h) {
    char buf[96];
    snprintf(buf, sizeof buf, "{\"x\":%ld,\"y\":%ld,\"w\":%ld,\"h\":%ld}", x, y, w, h);
    return buf;
}

struct Json {
    std::string s;
    Json& raw(const char* key, const std::string& v) {
        s += (s.empty() ? "{\"" : ",\"") + std::string(key) + "\":" + v;
        return *this;
    }
    Json& str(const char* key, const std::wstring& v) { return raw(key, jsonString(v)); }
    Json& num(const char* key, long long v) { return raw(key, std::to_string(v)); }
    Json& flag(const char* key, bool v) { return raw(key, v ? "true" : "false"); }
    Json& hex(const char* key, uintptr_t v) {
        char buf[32];
        snprintf(buf, sizeof buf, "\"0x%llx\"", (unsigned long long)v);
        return raw(key, buf);
    }
    Json& now() {
        FILETIME ft;
        GetSystemTimePreciseAsFileTime(&ft);
        ULONGLONG t = ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
        return raw("at", std::to_string((double)(t - 116444736000000000ULL) / 1e7));
    }
    int print(int rc = 0) const {
        printf("%s}\n", s.c_str());
        fflush(stdout);
        return rc;
    }
};

int fail(const std::wstring& message) {
    fprintf(stderr, "inspector: %ls\n", message.c_str());
    return 1;
}

// Threads that let a sent message time out get nothing more: a hung program costs one time-out.
std::set<DWORD> unresponsive;

LRESULT send(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT failed = -1) {
    DWORD thread = GetWindowThreadProcessId(h, nullptr);
    DWORD_PTR r = 0;
    if (unresponsive.count(thread)) return failed;
    if (SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 3000, &r)) return (LRESULT)r;
    if (GetLastError() == ERROR_TIMEOUT || GetLastError() == 0) unresponsive.insert(thread);
    return failed;
}

// The text kept without a message: a caption, but for another process's edit its creation text.
std::wstring storedText(HWND h) {
    wchar_t buf[1024] = {};
    InternalGetWindowText(h, buf, 1024);
    return buf;
}

std::wstring windowText(HWND h) {
    LRESULT len = send(h, WM_GETTEXTLENGTH, 0, 0);
    std::wstring buf(len > 0 ? len + 1 : 1, L'\0');
    LRESULT got = len < 0 ? -1 : send(h, WM_GETTEXT, len + 1, (LPARAM)buf.data());
    if (got < 0) return storedText(h);
    buf.resize(got < len ? got : len);
    return buf;
}

bool isClass(HWND h, const wchar_t* name) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return _wcsicmp(buf, name) == 0;
}

// Items of a combo or list box. The wide messages return whole strings across processes; the
// ANSI ones were seen to return only the first character.
std::string itemsJson(HWND h, bool combo) {
    LRESULT count = send(h, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    std::string s = "[";
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT len = send(h, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
        std::wstring buf(len > 0 ? len + 1 : 1, L'\0');
        LRESULT got = len > 0 ? send(h, combo ? CB_GETLBTEXT : LB_GETTEXT, i, (LPARAM)buf.data()) : 0;
        buf.resize(got > 0 && got <= len ? got : 0);
        s += (i ? "," : "") + jsonString(buf);
    }
    return s + "]";
}

// A list view's items live in the other process: requests and answers travel through memory
// allocated there. Adds their texts, image indexes (-1 for none) and icons' screen rectangles.
void listView(HWND h, Json& j) {
    struct Request {
        LVITEMW item;
        wchar_t text[512];
    };
    LRESULT count = send(h, LVM_GETITEMCOUNT, 0, 0);
    std::string texts, images, icons;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    auto* remote =
        proc ? (Request*)VirtualAllocEx(proc, nullptr, sizeof(Request), MEM_COMMIT, PAGE_READWRITE) : nullptr;
    auto ask = [&](void* v, size_t size, UINT msg, WPARAM wp, size_t back) {
        return WriteProcessMemory(proc, remote, v, size, nullptr) && send(h, msg, wp, (LPARAM)remote, 0) &&
               ReadProcessMemory(proc, remote, v, back, nullptr);
    };
    for (LRESULT i = 0; remote && i < count; ++i) {
        Request r = {};
        r.item.mask = LVIF_TEXT | LVIF_IMAGE, r.item.iItem = (int)i, r.item.iImage = -1;
        r.item.pszText = remote->text, r.item.cchTextMax = 512;
        if (!ask(&r, sizeof r.item, LVM_GETITEMW, 0, sizeof r)) r.text[0] = 0;
        r.text[511] = 0;
        RECT rc = {LVIR_ICON, 0, 0, 0};
        if (!ask(&rc, sizeof rc, LVM_GETITEMRECT, i, sizeof rc)) rc = RECT{};
        MapWindowPoints(h, nullptr, (POINT*)&rc, 2);
        const char* comma = i ? "," : "";
        texts += comma + jsonString(r.text);
        images += comma + std::to_string(r.item.iImage);
        icons += comma + box(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    }
    if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    if (proc) CloseHandle(proc);
    j.num("count", count).raw("items", "[" + texts + "]").raw("images", "[" + images + "]");
    j.raw("icons", "[" + icons + "]");
}

std::map<DWORD, std::wstring> processNames() {
    std::map<DWORD, std::wstring> names;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe))
        names[pe.th32ProcessID] = pe.szExeFile;
    if (snap != INVALID_HANDLE_VALUE) CloseHandle(snap);
    return names;
}

const wchar_t* const kButtonKinds[16] = {
    L"push",  L"defpush",   L"checkbox", L"autocheckbox", L"radio", L"3state", L"auto3state", L"groupbox",
    L"other", L"autoradio", L"other",    L"ownerdraw",    L"other", L"other",  L"other",      L"other"};

// A window's record; "pos" is relative to the parent's client area (the screen for a top level).
Json describe(HWND h, int depth) {
    LONG style = GetWindowLongW(h, GWL_STYLE);
    RECT r = {}, c = {};
    GetWindowRect(h, &r);
    GetClientRect(h, &c);
    POINT pos = {r.left, r.top}, origin = {0, 0};
    HWND parent = GetAncestor(h, GA_PARENT);
    if (parent && parent != GetDesktopWindow()) ScreenToClient(parent, &pos);
    ClientToScreen(h, &origin);
    wchar_t cls[256] = {};
    GetClassNameW(h, cls, 256);
    Json j;
    j.hex("hwnd", (uintptr_t)h).num("depth", depth).str("class", cls).str("text", windowText(h));
    j.hex("style", (ULONG)style).raw("rect", box(r.left, r.top, r.right - r.left, r.bottom - r.top));
    j.raw("pos", box(pos.x, pos.y, r.right - r.left, r.bottom - r.top))
        .raw("client", box(origin.x, origin.y, c.right, c.bottom));
    j.flag("visible", IsWindowVisible(h)).flag("enabled", IsWindowEnabled(h));
    if (isClass(h, L"Button"))
        j.str("kind", kButtonKinds[style & BS_TYPEMASK]).num("checked", send(h, BM_GETCHECK, 0, 0));
    else if (isClass(h, L"Edit"))
        j.flag("password", style & ES_PASSWORD).flag("readonly", style & ES_READONLY);
    else if (isClass(h, L"ComboBox") || isClass(h, L"ListBox"))
        j.raw("items", itemsJson(h, isClass(h, L"ComboBox")));
    else if (isClass(h, WC_LISTVIEWW))
        listView(h, j);
    return j;
}

// Collects every window an enumeration passes (a plain function: 32-bit callbacks are stdcall).
BOOL CALLBACK collectWindow(HWND h, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
}

std::vector<HWND> windows(HWND parent = nullptr) {
    std::vector<HWND> v;
    parent ? EnumChildWindows(parent, collectWindow, (LPARAM)&v) : EnumWindows(collectWindow, (LPARAM)&v);
    return v;
}

HWND shownOfClass(const wchar_t* cls, DWORD thread = 0) {
    for (HWND h : windows())
        if (IsWindowVisible(h) && isClass(h, cls) &&
            (!thread || GetWindowThreadProcessId(h, nullptr) == thread))
            return h;
    return nullptr;
}

template <class Cond>
bool waitUntil(Cond cond, double ms, DWORD every = 10) {
    ULONGLONG deadline = GetTickCount64() + (ULONGLONG)ms;
    while (!cond()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(every);
    }
    return true;
}

struct Options {
    std::vector<std::wstring> args;  // positional
    std::map<std::wstring, std::wstring> values;
    bool has(const wchar_t* k) const { return values.count(k); }
    std::wstring get(const wchar_t* k, const wchar_t* d = L"") const { return has(k) ? values.at(k) : d; }
    double arg(size_t i, double d) const { return args.size() > i ? _wtof(args[i].c_str()) : d; }
};

HWND handleOf(const std::wstring& s) {
    return s.rfind(L"hwnd:", 0) == 0 ? (HWND)(uintptr_t)wcstoull(s.c_str() + 5, nullptr, 0) : nullptr;
}

bool ofExe(HWND h, const Options& o, const std::map<DWORD, std::wstring>& names) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    auto it = names.find(pid);
    return !o.has(L"--exe") ||
           (it != names.end() && _wcsicmp(it->second.c_str(), o.get(L"--exe").c_str()) == 0);
}

HWND findTop(const std::wstring& title, const Options& o) {
    if (HWND h = handleOf(title)) return IsWindow(h) && IsWindowVisible(h) ? h : nullptr;
    auto names = processNames();
    for (HWND h : windows())
        if (IsWindowVisible(h) && ofExe(h, o, names) && storedText(h) == title) return h;
    return nullptr;
}

// A control of top by selector; a visible one first when captions match.
HWND findControl(HWND top, const std::wstring& sel) {
    HWND want = handleOf(sel), hidden = nullptr;
    std::wstring cls = sel.rfind(L"class:", 0) == 0 ? sel.substr(6) : L"";
    int ordinal = 1;
    if (size_t colon = cls.find(L':'); colon != std::wstring::npos) {
        ordinal = _wtoi(cls.c_str() + colon + 1);
        cls.resize(colon);
    }
    auto plain = [](std::wstring s) { return std::erase(s, L'&'), s; };
    for (HWND k : windows(top)) {
        if (want || !cls.empty()) {
            if (want ? k == want : isClass(k, cls.c_str()) && --ordinal == 0) return k;
        } else if (plain(windowText(k)) == plain(sel)) {
            if (IsWindowVisible(k)) return k;
            if (!hidden) hidden = k;
        }
    }
    return hidden;
}

struct Target {
    HWND top = nullptr, control = nullptr;
};

int resolve(const Options& o, int targets, Target& t) {
    if (targets && !(t.top = findTop(o.args[0], o)))
        return fail(L"no visible window titled \"" + o.args[0] + L"\"");
    if (targets == 2 && !(t.control = findControl(t.top, o.args[1])))
        return fail(L"no control \"" + o.args[1] + L"\" in \"" + o.args[0] + L"\"");
    return 0;
}

int cmdList(const Options& o, const Target&) {
    auto names = processNames();
    HWND only = handleOf(L"hwnd:" + o.get(L"--hwnd"));
    bool visible = o.has(L"--visible");
    for (HWND top : windows()) {
        if ((only && top != only) || !ofExe(top, o, names) || (visible && !IsWindowVisible(top)) ||
            (o.has(L"--title") && storedText(top) != o.get(L"--title")))
            continue;
        describe(top, 0).print();
        for (HWND k : o.has(L"--top") ? std::vector<HWND>() : windows(top)) {
            int depth = 0;
            for (HWND p = k; p && p != top; p = GetParent(p)) ++depth;
            if (!visible || IsWindowVisible(k)) describe(k, depth).print();
        }
    }
    return 0;
}

// The state a wait asks of the window: --enabled, --disabled, --foreground, and with
// --items N --control SELECTOR, a list (list box, combo box or list view) holding N items.
bool inState(HWND h, const Options& o) {
    if ((o.has(L"--enabled") && !IsWindowEnabled(h)) || (o.has(L"--disabled") && IsWindowEnabled(h)) ||
        (o.has(L"--foreground") && GetForegroundWindow() != h))
        return false;
    if (!o.has(L"--items")) return true;
    HWND list = findControl(h, o.get(L"--control"));
    UINT msg = !list                         ? 0
               : isClass(list, L"ComboBox")  ? CB_GETCOUNT
               : isClass(list, WC_LISTVIEWW) ? LVM_GETITEMCOUNT
                                             : LB_GETCOUNT;
    // answered once the program is free again, however long its work takes
    DWORD_PTR n = 0;
    return msg && SendMessageTimeoutW(list, msg, 0, 0, SMTO_NORMAL, 60000, &n) &&
           (long long)(LONG_PTR)n == _wtoi64(o.get(L"--items").c_str());
}

int cmdWait(const Options& o, const Target&) {
    bool gone = o.has(L"--gone");
    auto seen = [&] {
        HWND h = findTop(o.args[0], o);
        return (gone ? !h : h && inState(h, o)) && !Json().hex("window", (uintptr_t)h).now().print();
    };
    if (waitUntil(seen, o.arg(1, 10) * 1000, 20)) return 0;
    return fail(L"timed out waiting for \"" + o.args[0] + (gone ? L"\" to go" : L"\""));
}

// A real click (or double-click) through the input queue at that point of the window. Each event
// carries its own screen position: a pointer warp is echoed back by the X server to the program
// that owns the window below, a little later, and would move a click that relied on it.
void inputClick(HWND h, POINT p, bool twice = false) {
    ClientToScreen(h, &p);
    const int w = GetSystemMetrics(SM_CXSCREEN), ht = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[5] = {};
    for (int i = 0; i < 5; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dx = MulDiv(p.x, 65535, w > 1 ? w - 1 : 1);
        in[i].mi.dy = MulDiv(p.y, 65535, ht > 1 ? ht - 1 : 1);
        in[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE |
                           (i ? (i % 2 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP) : 0);
    }
    SendInput(twice ? 5 : 3, in, sizeof(INPUT));
}

int cmdClick(const Options& o, const Target& t) {
    if (!IsWindowEnabled(t.control)) return fail(L"control \"" + o.args[1] + L"\" is disabled");
    RECT c;
    GetClientRect(t.control, &c);
    POINT p = {c.right / 2, c.bottom / 2};
    if (o.has(L"--at") && swscanf(o.get(L"--at").c_str(), L"%ld,%ld", &p.x, &p.y) != 2) return 2;
    if (o.has(L"--input"))
        inputClick(t.control, p, o.has(L"--double"));
    else  // posted, not sent: the click's handler may open a modal box and not return for a while
        PostMessageW(t.control, BM_CLICK, 0, 0);
    return Json().hex("control", (uintptr_t)t.control).now().print();
}

int cmdType(const Options& o, const Target& t) {
    HWND edit = t.control;
    // an editable combo box keeps its text in a child edit
    if (HWND inner = FindWindowExW(edit, nullptr, L"Edit", nullptr)) edit = inner;
    // like a user: select everything, then one WM_CHAR per character
    send(edit, EM_SETSEL, 0, -1);
    send(edit, WM_CHAR, VK_BACK, 0);
    for (wchar_t ch : o.args[2]) send(edit, WM_CHAR, ch, 1);
    return 0;
}

int cmdSelect(const Options& o, const Target& t) {
    LRESULT i = send(t.control, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)o.args[2].c_str());
    if (i < 0) return fail(L"no item \"" + o.args[2] + L"\"");
    send(t.control, LB_SETCURSEL, i, 0);
    PostMessageW(GetParent(t.control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(t.control), LBN_SELCHANGE),
                 (LPARAM)t.control);
    return 0;
}

int cmdPick(const Options& o, const Target& t) {
    HWND combo = t.control, list = nullptr;
    DWORD thread = GetWindowThreadProcessId(combo, nullptr);
    if (!IsWindowEnabled(combo)) return fail(L"control \"" + o.args[1] + L"\" is disabled");
    LRESULT i = send(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)o.args[2].c_str());
    if (i < 0) return fail(L"no item \"" + o.args[2] + L"\"");
    RECT c;
    GetClientRect(combo, &c);
    inputClick(combo, POINT{c.right - GetSystemMetrics(SM_CXVSCROLL) / 2 - 1, c.bottom / 2});
    // Dropped, and the press's release handled: the list then holds the mouse capture. A click
    // that came before the release would reach the box, which takes it for a click elsewhere.
    auto ready = [&] {
        GUITHREADINFO gti = {};
        gti.cbSize = sizeof gti;
        return send(combo, CB_GETDROPPEDSTATE, 0, 0, 0) && (list = shownOfClass(L"ComboLBox", thread)) &&
               GetGUIThreadInfo(thread, &gti) && gti.hwndCapture == list;
    };
    if (!waitUntil(ready, 3000)) return fail(L"the list did not drop down");
    // scrolled as the wheel would, when the item lies outside the shown part
    LRESULT h = send(list, LB_GETITEMHEIGHT, 0, 0, 0);
    RECT lc;
    GetClientRect(list, &lc);
    if (h <= 0 || lc.bottom < h) return fail(L"the dropped list has no room");
    LRESULT top = send(list, LB_GETTOPINDEX, 0, 0, 0);
    if (i < top || i >= top + lc.bottom / h)
        send(list, LB_SETTOPINDEX, i, 0), top = send(list, LB_GETTOPINDEX, 0, 0, 0);
    inputClick(list, POINT{lc.right / 2, (LONG)((i - top) * h + h / 2)});
    if (!waitUntil([&] { return !send(combo, CB_GETDROPPEDSTATE, 0, 0, 1); }, 3000))
        return fail(L"the list stayed down");
    LRESULT sel = send(combo, CB_GETCURSEL, 0, 0);
    Json().num("selected", sel).print();
    return sel == i ? 0
                    : fail(L"the click picked item " + std::to_wstring(sel) + L", not " + std::to_wstring(i));
}

int cmdClose(const Options& o, const Target& t) {
    bool box = o.has(L"--syscommand");  // what the close box sends
    PostMessageW(t.top, box ? WM_SYSCOMMAND : WM_CLOSE, box ? SC_CLOSE : 0, 0);
    return 0;
}

int cmdScreen(const Options&, const Target&) {
    SetProcessDPIAware();
    HDC dc = GetDC(nullptr);
    Json j;
    j.num("width", GetSystemMetrics(SM_CXSCREEN)).num("height", GetSystemMetrics(SM_CYSCREEN));
    j.num("dpiX", GetDeviceCaps(dc, LOGPIXELSX)).num("dpiY", GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(nullptr, dc);
    return j.print();
}

int cmdForeground(const Options&, const Target&) {
    HWND h = GetForegroundWindow();
    return Json().hex("hwnd", (uintptr_t)h).str("text", storedText(h)).print();
}

int cmdProcs(const Options& o, const Target&) {
    int found = 0;
    for (auto& [pid, name] : processNames())
        if (_wcsicmp(name.c_str(), o.get(L"--exe").c_str()) == 0) found += !Json().num("pid", pid).print();
    return found ? 0 : fail(L"no process " + o.get(L"--exe"));
}

// Wine shows notification icons in a top-level window of its own when there is no tray on the X
// side: "Wine System Tray", with one child window per icon, shown while it holds an icon.
std::vector<HWND> trayIcons() {
    std::vector<HWND> icons;
    HWND tray = FindWindowW(nullptr, L"Wine System Tray");
    auto kids = tray && IsWindowVisible(tray) ? windows(tray) : std::vector<HWND>();
    for (HWND k : kids)
        if (IsWindowVisible(k) && isClass(k, L"__winex11_tray_icon")) icons.push_back(k);
    if (tray && IsWindowVisible(tray) && kids.empty()) icons.push_back(tray);  // a tray drawing its icons
    return icons;
}

int cmdTray(const Options& o, const Target&) {
    // tells a caller that measures from outside that the watch has begun
    if (o.has(L"--ready")) Json().flag("ready", true).now().print();
    bool seen =
        waitUntil([] { return !trayIcons().empty(); }, _wtof(o.get(L"--wait", L"0").c_str()) * 1000, 5);
    bool tray = FindWindowW(nullptr, L"Wine System Tray");
    return Json().flag("tray", tray).flag("icon", seen).now().print(seen ? 0 : 1);
}

// Presses a mouse button on the first icon of Wine's tray window; the tray forwards it to the
// icon's owner as its callback message.
int cmdTrayClick(const Options& o, const Target&) {
    bool right = !o.args.empty() && o.args[0] == L"right";
    auto icons = trayIcons();
    if (icons.empty()) return fail(L"no notification icon");
    RECT c;
    GetClientRect(icons[0], &c);
    LPARAM at = MAKELPARAM(c.right / 2, c.bottom / 2);
    UINT down = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;  // and down + 1 is its button's up
    PostMessageW(icons[0], WM_MOUSEMOVE, 0, at);
    PostMessageW(icons[0], down, right ? MK_RBUTTON : MK_LBUTTON, at);
    PostMessageW(icons[0], down + 1, 0, at);
    return 0;
}

// Another process's pop-up menu can't be read here (the menu handle is the owner's), but it takes keys.
int cmdMenuKeys(const Options& o, const Target&) {
    static const std::map<std::wstring, WORD> keys = {
        {L"down", VK_DOWN}, {L"up", VK_UP}, {L"enter", VK_RETURN}, {L"escape", VK_ESCAPE}};
    HWND menu = shownOfClass(L"#32768");
    if (!menu) return fail(L"no pop-up menu is open");
    for (const auto& key : o.args) {
        if (!keys.count(key)) return 2;
        PostMessageW(menu, WM_KEYDOWN, keys.at(key), 1);
        PostMessageW(menu, WM_KEYUP, keys.at(key), 0xC0000001);
    }
    return 0;
}

// Dispatches messages until a thread timer of that many seconds fires or the thread is told to quit.
void runFor(double seconds) {
    SetTimer(nullptr, 0, (UINT)(seconds * 1000), nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && (msg.message != WM_TIMER || msg.hwnd))
        DispatchMessageW(&msg);
}

LRESULT CALLBACK plainWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN) Json().raw("event", "\"click\"").now().print();
    if (msg == WM_ENABLE && !wp) Json().raw("event", "\"disabled\"").now().print();
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(h, msg, wp, lp);
}

// A plain top-level window of this process, shown until the time is up or it is closed. Prints
// its handle and the moment it was up first; a click on it, or its being disabled, prints a line.
int cmdWindow(const Options& o, const Target&) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = plainWindowProc, wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1), wc.lpszClassName = L"InspectorWindow";
    RegisterClassW(&wc);
    HWND h = CreateWindowExW(0, wc.lpszClassName, o.args[0].c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                             320, 200, nullptr, nullptr, wc.hInstance, nullptr);
    if (!h) return fail(L"could not create the window");
    Json().hex("hwnd", (uintptr_t)h).now().print();
    runFor(o.arg(1, 600));
    return 0;
}

// Keys seen by a low-level keyboard hook of this process, one line each as they come. Hooks are
// called newest first, and a key that a newer hook swallows never arrives here: installed before
// the program under test locks, this hook sees exactly what the program lets pass.
LRESULT CALLBACK spyKeys(int code, WPARAM wp, LPARAM lp) {
    auto* k = (const KBDLLHOOKSTRUCT*)lp;
    if (code == HC_ACTION) Json().num("vk", k->vkCode).num("flags", k->flags).num("msg", wp).now().print();
    return CallNextHookEx(nullptr, code, wp, lp);
}

int cmdKeys(const Options& o, const Target&) {
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, spyKeys, GetModuleHandleW(nullptr), 0);
    if (!hook) return fail(L"could not install the hook");
    Json().flag("ready", true).now().print();
    runFor(o.arg(0, 10));
    UnhookWindowsHookEx(hook);
    return 0;
}

int cmdTimeChange(const Options& o, const Target&) {
    for (int i = (int)o.arg(0, 1); i > 0; --i) PostMessageW(HWND_BROADCAST, WM_TIMECHANGE, 0, 0);
    return 0;
}

// What anyone on the desktop may do to the program's windows.
int cmdPost(const Options& o, const Target&) {
    const std::wstring& m = o.args[0];
    UINT msg = iswdigit(m[0]) ? (UINT)wcstoul(m.c_str(), nullptr, 0) : RegisterWindowMessageW(m.c_str());
    WPARAM wp = o.args.size() > 1 ? (WPARAM)wcstoull(o.args[1].c_str(), nullptr, 0) : 0;
    LPARAM lp = o.args.size() > 2 ? (LPARAM)wcstoll(o.args[2].c_str(), nullptr, 0) : 0;
    std::vector<HWND> to;
    auto names = processNames();
    if (o.has(L"--hwnd"))
        to.push_back(handleOf(L"hwnd:" + o.get(L"--hwnd")));
    else if (o.has(L"--exe"))
        for (HWND h : windows())
            if (ofExe(h, o, names)) to.push_back(h);
    if (to.empty() && !o.has(L"--exe")) to.push_back(HWND_BROADCAST);
    int count = _wtoi(o.get(L"--count", L"1").c_str()), posted = 0;
    for (int i = 0; i < count; ++i)
        for (HWND h : to) posted += PostMessageW(h, msg, wp, lp) != FALSE;
    return Json().num("windows", (long long)to.size()).num("posted", posted).print(posted ? 0 : 1);
}

int cmdMove(const Options& o, const Target&) {
    HWND h = handleOf(L"hwnd:" + o.args[0]);
    BOOL ok = SetWindowPos(h, nullptr, (int)o.arg(1, 0), (int)o.arg(2, 0), (int)o.arg(3, 0), (int)o.arg(4, 0),
                           SWP_NOZORDER | SWP_NOACTIVATE);
    return ok ? 0 : fail(L"SetWindowPos failed");
}

int cmdTrayDelete(const Options& o, const Target&) {
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = handleOf(L"hwnd:" + o.args[0]);
    nid.uID = (UINT)o.arg(1, 0);
    return Shell_NotifyIconW(NIM_DELETE, &nid) ? 0 : fail(L"no such icon");
}

int cmdEnd(const Options&, const Target& t) {
    DWORD pid = 0;
    GetWindowThreadProcessId(t.top, &pid);
    HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (!p || !TerminateProcess(p, 1)) return fail(L"could not end the process");
    CloseHandle(p);
    return Json().num("pid", pid).now().print();
}

struct PipeClient {
    std::string data;
    DWORD holdMs;
    bool sent = false;
};

DWORD WINAPI pipeClient(void* arg) {
    auto* c = (PipeClient*)arg;
    HANDLE pipe = CreateFileW(L"\\\\.\\pipe\\Quorvane Guard", FILE_WRITE_DATA | SYNCHRONIZE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return 0;
    DWORD n = 0;
    if (c->holdMs)
        Sleep(c->holdMs);
    else
        c->sent = WriteFile(pipe, c->data.data(), (DWORD)c->data.size(), &n, nullptr);
    CloseHandle(pipe);
    return 0;
}

int cmdPipe(const Options& o, const Target&) {
    const std::wstring& text = o.args[0];
    std::string data(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr), 0);
    WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), data.data(), (int)data.size(), nullptr,
                        nullptr);
    if (o.has(L"--size")) data.assign(_wtoi(o.get(L"--size").c_str()), 'x');
    std::vector<PipeClient> clients(std::max(1, _wtoi(o.get(L"--clients", L"1").c_str())),
                                    PipeClient{data, (DWORD)(_wtof(o.get(L"--hold", L"0").c_str()) * 1000)});
    std::vector<HANDLE> threads;
    for (PipeClient& c : clients) threads.push_back(CreateThread(nullptr, 0, pipeClient, &c, 0, nullptr));
    for (HANDLE t : threads) WaitForSingleObject(t, 30000), CloseHandle(t);
    int sent = 0;
    for (const PipeClient& c : clients) sent += c.sent;
    return Json().num("sent", sent).now().print();
}

// What Windows tells every window when the machine wakes up.
int cmdResume(const Options&, const Target&) {
    PostMessageW(HWND_BROADCAST, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    return 0;
}

bool enablePrivilege(const wchar_t* name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES p = {};
    p.PrivilegeCount = 1;
    p.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const bool ok = LookupPrivilegeValueW(nullptr, name, &p.Privileges[0].Luid) &&
                    AdjustTokenPrivileges(token, FALSE, &p, 0, nullptr, nullptr);
    CloseHandle(token);
    return ok;
}

int cmdSaveHive(const Options& o, const Target&) {
    enablePrivilege(L"SeBackupPrivilege");
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, o.args[0].c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return fail(L"no such key");
    DeleteFileW(o.args[1].c_str());
    const LONG rc = RegSaveKeyW(key, o.args[1].c_str(), nullptr);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? 0 : fail(L"could not save the key");
}

}  // namespace

int main() {
    // name, command, positional arguments needed, and what to find first: 1 a window, 2 also its control
    static const struct {
        const wchar_t* name;
        int (*run)(const Options&, const Target&);
        size_t args;
        int targets;
    } commands[] = {// clang-format off
        {L"list", cmdList, 0, 0}, {L"wait", cmdWait, 1, 0}, {L"click", cmdClick, 2, 2},
        {L"type", cmdType, 3, 2}, {L"select", cmdSelect, 3, 2}, {L"pick", cmdPick, 3, 2},
        {L"close", cmdClose, 1, 1}, {L"screen", cmdScreen, 0, 0}, {L"foreground", cmdForeground, 0, 0},
        {L"procs", cmdProcs, 0, 0}, {L"tray", cmdTray, 0, 0}, {L"tray-click", cmdTrayClick, 0, 0},
        {L"menu-keys", cmdMenuKeys, 0, 0}, {L"window", cmdWindow, 1, 0}, {L"keys", cmdKeys, 0, 0},
        {L"timechange", cmdTimeChange, 0, 0}, {L"post", cmdPost, 1, 0}, {L"move", cmdMove, 5, 0},
        {L"tray-delete", cmdTrayDelete, 2, 0}, {L"end", cmdEnd, 1, 1}, {L"pipe", cmdPipe, 1, 0},
        {L"resume", cmdResume, 0, 0}, {L"savehive", cmdSaveHive, 2, 0}};
    // clang-format on
    static const std::set<std::wstring> takeValue = {L"--exe",  L"--title",   L"--hwnd",    L"--wait",
                                                     L"--at",   L"--items",   L"--control", L"--count",
                                                     L"--size", L"--clients", L"--hold"};
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    Options o;
    for (int i = 2; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a.rfind(L"--", 0) != 0)
            o.args.push_back(a);
        else
            o.values[a] = takeValue.count(a) && i + 1 < argc ? argv[++i] : L"";
    }
    for (const auto& c : commands) {
        if (argc < 2 || wcscmp(argv[1], c.name) != 0 || o.args.size() < c.args) continue;
        Target t;
        int rc = resolve(o, c.targets, t);
        return rc ? rc : c.run(o, t);
    }
    fprintf(stderr, "inspector: usage error; the commands are described in ui_probe.cpp\n");
    return 2;
}
