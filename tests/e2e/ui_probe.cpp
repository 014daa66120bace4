// inspector: eyes and hands for the end-to-end tests and the bench scripts. A console program that
// runs in the Wine prefix of the program under test, reads other processes' windows and controls,
// and acts on them as a user would. Commands (see main for the positional arguments):
//
//   list [--exe NAME] [--title T] [--hwnd H] [--visible] [--top]   one JSON object per window
//   wait <title> [timeout] [--gone | --enabled | --disabled | --foreground | --items N --control SEL]
//   click <title> <sel> [--input [--double] [--at X,Y]]   BM_CLICK posted, or a real click
//   type <title> <sel> <text> | select <title> <list box> <item> | pick <title> <drop-down> <item>
//   close <title> [--syscommand] | screen | foreground | procs --exe NAME
//   tray [--wait S] [--ready] | tray-click [right] | menu-keys <down|up|enter|escape>...
//   window <title> [seconds] | keys <seconds> | timechange [count]   (another program's part)
//
// --exe NAME limits windows to that program's. <title>: a visible top-level window's caption or
// "hwnd:0x1234"; <sel>: "hwnd:0x1234", "class:Edit:2" (the second Edit, from 1) or a caption,
// '&' marks ignored. Commands print one JSON line about what they did, with "at" (Unix time)
// where a moment matters. Exit code 0; 1 with a message when something was not found; 2 for a
// usage error.
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- output ---------------------------------------------------------------------------------

std::string toUtf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), s.data(), n, nullptr, nullptr);
    return s;
}

std::string jsonString(const std::wstring& w) {
    std::string s = "\"";
    for (unsigned char c : toUtf8(w)) {
        char buf[8] = {(char)c};
        if (c == '"' || c == '\\') snprintf(buf, sizeof buf, "\\%c", c);
        if (c < 0x20) snprintf(buf, sizeof buf, "\\u%04x", c);
        s += buf;
    }
    return s + "\"";
}

double unixNow() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    ULONGLONG t = ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return (double)(t - 116444736000000000ULL) / 1e7;
}

std::string box(LONG x, LONG y, LONG w, LONG h) {
    char buf[96];
    snprintf(buf, sizeof buf, "{\"x\":%ld,\"y\":%ld,\"w\":%ld,\"h\":%ld}", x, y, w, h);
    return buf;
}

// One JSON object, built field by field.
struct Json {
    std::string s;
    explicit Json(const char* action = nullptr) {
        if (action) raw("action", std::string("\"") + action + "\"");
    }
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
    Json& rect(const char* key, LONG x, LONG y, LONG w, LONG h) { return raw(key, box(x, y, w, h)); }
    Json& now() { return raw("at", std::to_string(unixNow())); }
    std::string text() const { return s + "}"; }
};

void out(const std::string& line) {
    fwrite(line.data(), 1, line.size(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

void out(const Json& j) {
    out(j.text());
}

int fail(const std::wstring& message) {
    fprintf(stderr, "inspector: %s\n", toUtf8(message).c_str());
    return 1;
}

// ---- reading windows of any process -------------------------------------------------------

// Threads that let a sent message time out: nothing more is sent to them, so that a busy or hung
// program costs one time-out, not one per window.
std::set<DWORD> unresponsive;

// The answer to a message sent with a time-out; `failed` when it was not answered.
LRESULT send(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT failed = -1) {
    DWORD thread = GetWindowThreadProcessId(h, nullptr);
    DWORD_PTR r = 0;
    if (unresponsive.count(thread)) return failed;
    if (SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 3000, &r)) return (LRESULT)r;
    if (GetLastError() == ERROR_TIMEOUT || GetLastError() == 0) unresponsive.insert(thread);
    return failed;
}

// The text the window manager keeps, read without a message: a top-level window's caption, but
// for another process's edit or combo box the text it was created with.
std::wstring storedText(HWND h) {
    wchar_t buf[1024] = {};
    InternalGetWindowText(h, buf, 1024);
    return buf;
}

// The current text, asked with WM_GETTEXT; the stored text when the window does not answer.
std::wstring windowText(HWND h) {
    LRESULT len = send(h, WM_GETTEXTLENGTH, 0, 0);
    std::wstring buf(len > 0 ? len + 1 : 1, L'\0');
    LRESULT got = len < 0 ? -1 : send(h, WM_GETTEXT, len + 1, (LPARAM)buf.data());
    if (got < 0) return storedText(h);
    buf.resize(got < len ? got : len);
    return buf;
}

std::wstring className(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

bool isClass(HWND h, const wchar_t* name) {
    return _wcsicmp(className(h).c_str(), name) == 0;
}

std::wstring withoutMarks(std::wstring s) {
    std::erase(s, L'&');
    return s;
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
    const int kChars = 512;
    struct Request {
        LVITEMW item;
        wchar_t text[kChars];
    };
    LRESULT count = send(h, LVM_GETITEMCOUNT, 0, 0);
    std::string texts, images, icons;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    auto* remote =
        proc ? (Request*)VirtualAllocEx(proc, nullptr, sizeof(Request), MEM_COMMIT, PAGE_READWRITE) : nullptr;
    for (LRESULT i = 0; remote && i < count; ++i) {
        Request r = {};
        r.item.mask = LVIF_TEXT | LVIF_IMAGE;
        r.item.iItem = (int)i;
        r.item.pszText = remote->text;
        r.item.cchTextMax = kChars;
        r.item.iImage = -1;
        if (!WriteProcessMemory(proc, remote, &r, sizeof r.item, nullptr) ||
            !send(h, LVM_GETITEMW, 0, (LPARAM)remote, 0) ||
            !ReadProcessMemory(proc, remote, &r, sizeof r, nullptr))
            r.text[0] = 0;
        r.text[kChars - 1] = 0;
        RECT rc = {LVIR_ICON, 0, 0, 0};
        if (!WriteProcessMemory(proc, remote, &rc, sizeof rc, nullptr) ||
            !send(h, LVM_GETITEMRECT, i, (LPARAM)remote, 0) ||
            !ReadProcessMemory(proc, remote, &rc, sizeof rc, nullptr))
            rc = RECT{};
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

// Button styles by BS_TYPEMASK value, as "kind".
const wchar_t* const kButtonKinds[16] = {
    L"push",  L"defpush",   L"checkbox", L"autocheckbox", L"radio", L"3state", L"auto3state", L"groupbox",
    L"other", L"autoradio", L"other",    L"ownerdraw",    L"other", L"other",  L"other",      L"other"};

std::string describe(HWND h, int depth) {
    LONG style = GetWindowLongW(h, GWL_STYLE);
    RECT r = {}, c = {};
    GetWindowRect(h, &r);
    GetClientRect(h, &c);
    // "pos": relative to the parent's client area (the screen for a top-level window)
    POINT pos = {r.left, r.top}, origin = {0, 0};
    HWND parent = GetAncestor(h, GA_PARENT);
    if (parent && parent != GetDesktopWindow()) ScreenToClient(parent, &pos);
    ClientToScreen(h, &origin);
    std::wstring cls = className(h);
    auto is = [&](const wchar_t* name) { return _wcsicmp(cls.c_str(), name) == 0; };
    Json j;
    j.hex("hwnd", (uintptr_t)h).num("depth", depth);
    j.str("class", cls).str("text", windowText(h)).hex("style", (ULONG)style);
    j.rect("rect", r.left, r.top, r.right - r.left, r.bottom - r.top);
    j.rect("pos", pos.x, pos.y, r.right - r.left, r.bottom - r.top)
        .rect("client", origin.x, origin.y, c.right, c.bottom);
    j.flag("visible", IsWindowVisible(h)).flag("enabled", IsWindowEnabled(h));
    if (is(L"Button"))
        j.str("kind", kButtonKinds[style & BS_TYPEMASK]).num("checked", send(h, BM_GETCHECK, 0, 0));
    else if (is(L"Edit"))
        j.flag("password", style & ES_PASSWORD).flag("readonly", style & ES_READONLY);
    else if (is(L"ComboBox") || is(L"ListBox"))
        j.raw("items", itemsJson(h, is(L"ComboBox")));
    else if (is(WC_LISTVIEWW))
        listView(h, j);
    return j.text();
}

// Collects every window an enumeration passes (a plain function: 32-bit callbacks are stdcall).
BOOL CALLBACK collectWindow(HWND h, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
}

// The top-level windows, or with a parent its descendants, in enumeration order.
std::vector<HWND> windows(HWND parent = nullptr) {
    std::vector<HWND> v;
    if (parent)
        EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&v));
    else
        EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&v));
    return v;
}

// Polls cond every `every` ms for up to ms milliseconds (at least once).
template <class Cond>
bool waitUntil(Cond cond, double ms, DWORD every = 10) {
    ULONGLONG deadline = GetTickCount64() + (ULONGLONG)ms;
    while (!cond()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(every);
    }
    return true;
}

// ---- options and selection ----------------------------------------------------------------

struct Options {
    std::vector<std::wstring> args;  // positional
    std::map<std::wstring, std::wstring> values;
    bool has(const wchar_t* k) const { return values.count(k); }
    std::wstring get(const wchar_t* k, const wchar_t* d = L"") const {
        auto it = values.find(k);
        return it == values.end() ? d : it->second;
    }
};

Options parse(int argc, wchar_t** argv) {
    static const std::set<std::wstring> takeValue = {L"--exe", L"--title", L"--hwnd",   L"--wait",
                                                     L"--at",  L"--items", L"--control"};
    Options o;
    for (int i = 2; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a.rfind(L"--", 0) != 0)
            o.args.push_back(a);
        else
            o.values[a] = takeValue.count(a) && i + 1 < argc ? argv[++i] : L"";
    }
    return o;
}

// The window of a "hwnd:0x1234" selector, else null.
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

// The visible top-level window with this caption (of the --exe program), or "hwnd:0x1234".
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
    for (HWND k : windows(top)) {
        if (want || !cls.empty()) {
            if (want ? k == want : isClass(k, cls.c_str()) && --ordinal == 0) return k;
            continue;
        }
        std::wstring t = windowText(k);
        if (t != sel && withoutMarks(t) != withoutMarks(sel)) continue;
        if (IsWindowVisible(k)) return k;
        if (!hidden) hidden = k;
    }
    return hidden;
}

struct Target {
    HWND top = nullptr, control = nullptr;
};

// The window of the first argument and, for `targets` 2, the control of the second.
int resolve(const Options& o, int targets, Target& t) {
    if (!targets) return 0;
    t.top = findTop(o.args[0], o);
    if (!t.top) return fail(L"no visible window titled \"" + o.args[0] + L"\"");
    if (targets == 2 && !(t.control = findControl(t.top, o.args[1])))
        return fail(L"no control \"" + o.args[1] + L"\" in \"" + o.args[0] + L"\"");
    return 0;
}

Json action(const char* name, const Target& t) {
    Json j(name);
    j.hex("window", (uintptr_t)t.top);
    if (t.control) j.hex("control", (uintptr_t)t.control).str("text", windowText(t.control));
    return j;
}

// ---- commands ---------------------------------------------------------------------------

int cmdList(const Options& o, const Target&) {
    auto names = processNames();
    HWND only = handleOf(L"hwnd:" + o.get(L"--hwnd"));
    bool visible = o.has(L"--visible");
    for (HWND top : windows()) {
        if ((only && top != only) || !ofExe(top, o, names) || (visible && !IsWindowVisible(top)) ||
            (o.has(L"--title") && storedText(top) != o.get(L"--title")))
            continue;
        out(describe(top, 0));
        for (HWND k : o.has(L"--top") ? std::vector<HWND>() : windows(top)) {
            int depth = 0;
            for (HWND p = k; p && p != top; p = GetParent(p)) ++depth;
            if (!visible || IsWindowVisible(k)) out(describe(k, depth));
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
    if (!list) return false;
    UINT msg = isClass(list, L"ComboBox")    ? CB_GETCOUNT
               : isClass(list, WC_LISTVIEWW) ? LVM_GETITEMCOUNT
                                             : LB_GETCOUNT;
    // answered once the program is free again, however long its work takes
    DWORD_PTR n = 0;
    return SendMessageTimeoutW(list, msg, 0, 0, SMTO_NORMAL, 60000, &n) &&
           (long long)(LONG_PTR)n == _wtoi64(o.get(L"--items").c_str());
}

int cmdWait(const Options& o, const Target&) {
    double timeout = o.args.size() > 1 ? _wtof(o.args[1].c_str()) : 10;
    bool gone = o.has(L"--gone");
    auto seen = [&] {
        HWND h = findTop(o.args[0], o);
        if (gone ? h != nullptr : !h || !inState(h, o)) return false;
        out(Json("wait").hex("window", (uintptr_t)h).now());
        return true;
    };
    if (waitUntil(seen, timeout * 1000, 20)) return 0;
    return fail(L"timed out waiting for \"" + o.args[0] + (gone ? L"\" to go" : L"\""));
}

// A real click (or double-click) through the input queue at that point of the window. Each event
// carries its own screen position: a pointer warp is echoed back by the X server to the program
// that owns the window below, a little later, and would move a click that relied on it.
void inputClick(HWND h, POINT p, bool twice = false) {
    ClientToScreen(h, &p);
    const int w = GetSystemMetrics(SM_CXSCREEN), ht = GetSystemMetrics(SM_CYSCREEN);
    const DWORD flags[5] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                            MOUSEEVENTF_LEFTUP};
    INPUT in[5] = {};
    for (int i = 0; i < 5; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dx = MulDiv(p.x, 65535, w > 1 ? w - 1 : 1);
        in[i].mi.dy = MulDiv(p.y, 65535, ht > 1 ? ht - 1 : 1);
        in[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags[i];
    }
    SendInput(twice ? 5 : 3, in, sizeof(INPUT));
}

int cmdClick(const Options& o, const Target& t) {
    if (!IsWindowEnabled(t.control)) return fail(L"control \"" + o.args[1] + L"\" is disabled");
    Json done = action("click", t);  // before: the click may destroy the control
    if (o.has(L"--input")) {
        RECT c;
        GetClientRect(t.control, &c);
        POINT p = {c.right / 2, c.bottom / 2};
        if (o.has(L"--at") && swscanf(o.get(L"--at").c_str(), L"%ld,%ld", &p.x, &p.y) != 2) return 2;
        inputClick(t.control, p, o.has(L"--double"));
    } else {
        // Posted, not sent: the click's handler may open a modal box and not return for a while.
        PostMessageW(t.control, BM_CLICK, 0, 0);
    }
    out(done.now());
    return 0;
}

int cmdType(const Options& o, const Target& t) {
    HWND edit = t.control;
    // an editable combo box keeps its text in a child edit
    if (HWND inner = FindWindowExW(edit, nullptr, L"Edit", nullptr)) edit = inner;
    // like a user: select everything, then one WM_CHAR per character
    send(edit, EM_SETSEL, 0, -1);
    send(edit, WM_CHAR, VK_BACK, 0);
    for (wchar_t ch : o.args[2]) send(edit, WM_CHAR, ch, 1);
    out(action("type", t));
    return 0;
}

int cmdSelect(const Options& o, const Target& t) {
    LRESULT i = send(t.control, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)o.args[2].c_str());
    if (i < 0) return fail(L"no item \"" + o.args[2] + L"\"");
    send(t.control, LB_SETCURSEL, i, 0);
    PostMessageW(GetParent(t.control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(t.control), LBN_SELCHANGE),
                 (LPARAM)t.control);
    out(action("select", t));
    return 0;
}

// The dropped list of a drop-down list: a top-level "ComboLBox" of the same thread, shown.
HWND droppedList(HWND combo) {
    DWORD thread = GetWindowThreadProcessId(combo, nullptr);
    for (HWND h : windows())
        if (IsWindowVisible(h) && isClass(h, L"ComboLBox") && GetWindowThreadProcessId(h, nullptr) == thread)
            return h;
    return nullptr;
}

int cmdPick(const Options& o, const Target& t) {
    HWND combo = t.control;
    if (!IsWindowEnabled(combo)) return fail(L"control \"" + o.args[1] + L"\" is disabled");
    LRESULT i = send(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)o.args[2].c_str());
    if (i < 0) return fail(L"no item \"" + o.args[2] + L"\"");
    // The arrow sits at the right end of the closed box (a drop-down list's client area).
    RECT c;
    GetClientRect(combo, &c);
    inputClick(combo, POINT{c.right - GetSystemMetrics(SM_CXVSCROLL) / 2 - 1, c.bottom / 2});
    // Dropped, and the press's release handled: the list then holds the mouse capture. A click
    // that came before the release would reach the box, which takes it for a click elsewhere.
    HWND list = nullptr;
    auto ready = [&] {
        if (!send(combo, CB_GETDROPPEDSTATE, 0, 0, 0) || !(list = droppedList(combo))) return false;
        GUITHREADINFO gti = {};
        gti.cbSize = sizeof gti;
        return GetGUIThreadInfo(GetWindowThreadProcessId(combo, nullptr), &gti) && gti.hwndCapture == list;
    };
    if (!waitUntil(ready, 3000)) return fail(L"the list did not drop down");
    // Scrolled as the wheel would, when the item lies outside the shown part.
    LRESULT h = send(list, LB_GETITEMHEIGHT, 0, 0, 0);
    RECT lc;
    GetClientRect(list, &lc);
    if (h <= 0 || lc.bottom < h) return fail(L"the dropped list has no room");
    LRESULT top = send(list, LB_GETTOPINDEX, 0, 0, 0);
    if (i < top || i >= top + lc.bottom / h) {
        send(list, LB_SETTOPINDEX, i, 0);
        top = send(list, LB_GETTOPINDEX, 0, 0, 0);
    }
    inputClick(list, POINT{lc.right / 2, (LONG)((i - top) * h + h / 2)});
    if (!waitUntil([&] { return !send(combo, CB_GETDROPPEDSTATE, 0, 0, 1); }, 3000))
        return fail(L"the list stayed down");
    LRESULT sel = send(combo, CB_GETCURSEL, 0, 0);
    out(action("pick", t).num("selected", sel));
    return sel == i ? 0
                    : fail(L"the click picked item " + std::to_wstring(sel) + L", not " + std::to_wstring(i));
}

int cmdClose(const Options& o, const Target& t) {
    out(action("close", t));
    bool box = o.has(L"--syscommand");  // what the close box sends
    PostMessageW(t.top, box ? WM_SYSCOMMAND : WM_CLOSE, box ? SC_CLOSE : 0, 0);
    return 0;
}

// The screen as programs see it: size in pixels and resolution in dots per inch.
int cmdScreen(const Options&, const Target&) {
    SetProcessDPIAware();
    HDC dc = GetDC(nullptr);
    out(Json()
            .num("width", GetSystemMetrics(SM_CXSCREEN))
            .num("height", GetSystemMetrics(SM_CYSCREEN))
            .num("dpiX", GetDeviceCaps(dc, LOGPIXELSX))
            .num("dpiY", GetDeviceCaps(dc, LOGPIXELSY)));
    ReleaseDC(nullptr, dc);
    return 0;
}

int cmdForeground(const Options&, const Target&) {
    HWND h = GetForegroundWindow();
    out(Json().hex("hwnd", (uintptr_t)h).str("text", storedText(h)));
    return 0;
}

int cmdProcs(const Options& o, const Target&) {
    int found = 0;
    for (auto& [pid, name] : processNames()) {
        if (_wcsicmp(name.c_str(), o.get(L"--exe").c_str()) != 0) continue;
        out(Json().num("pid", pid).str("exe", name));
        ++found;
    }
    return found ? 0 : fail(L"no process " + o.get(L"--exe"));
}

// Wine shows notification icons in a top-level window of its own when there is no tray on the X
// side: "Wine System Tray", with one child window per icon, shown while it holds an icon.
std::vector<HWND> trayIcons(bool* trayFound = nullptr) {
    std::vector<HWND> icons;
    HWND tray = nullptr;
    for (HWND h : windows())
        if (!tray && storedText(h) == L"Wine System Tray") tray = h;
    if (trayFound) *trayFound = tray != nullptr;
    if (!tray || !IsWindowVisible(tray)) return icons;
    auto kids = windows(tray);
    for (HWND k : kids)
        if (IsWindowVisible(k) && isClass(k, L"__winex11_tray_icon")) icons.push_back(k);
    if (kids.empty()) icons.push_back(tray);  // a tray that draws its icons itself
    return icons;
}

int cmdTray(const Options& o, const Target&) {
    // tells a caller that measures from outside that the watch has begun
    if (o.has(L"--ready")) out(Json().flag("ready", true).now());
    bool seen =
        waitUntil([] { return !trayIcons().empty(); }, _wtof(o.get(L"--wait", L"0").c_str()) * 1000, 5);
    bool tray = false;
    trayIcons(&tray);
    out(Json().flag("tray", tray).flag("icon", seen).now());
    return seen ? 0 : 1;
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
    PostMessageW(icons[0], WM_MOUSEMOVE, 0, at);
    PostMessageW(icons[0], right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
    PostMessageW(icons[0], right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
    out(Json("tray-click").hex("icon", (uintptr_t)icons[0]));
    return 0;
}

// Pop-up menus of other processes can't be read here (the menu handle is the owner's), but they
// take keys.
int cmdMenuKeys(const Options& o, const Target&) {
    static const std::map<std::wstring, WORD> keys = {
        {L"down", VK_DOWN}, {L"up", VK_UP}, {L"enter", VK_RETURN}, {L"escape", VK_ESCAPE}};
    HWND menu = nullptr;
    for (HWND h : windows())
        if (IsWindowVisible(h) && isClass(h, L"#32768")) menu = h;
    if (!menu) return fail(L"no pop-up menu is open");
    for (const auto& key : o.args) {
        if (!keys.count(key)) return 2;
        PostMessageW(menu, WM_KEYDOWN, keys.at(key), 1);
        PostMessageW(menu, WM_KEYUP, keys.at(key), 0xC0000001);
    }
    out(Json("menu-keys").hex("menu", (uintptr_t)menu));
    return 0;
}

// ---- another program --------------------------------------------------------------------

LRESULT CALLBACK plainWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN) out(Json().raw("event", "\"click\"").now());
    if (msg == WM_TIMER) DestroyWindow(h);
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(h, msg, wp, lp);
}

// A plain top-level window of this process, shown until the time is up or it is closed. Prints
// its handle first; a click on it prints a line.
int cmdWindow(const Options& o, const Target&) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = plainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = L"InspectorWindow";
    RegisterClassW(&wc);
    HWND h = CreateWindowExW(0, wc.lpszClassName, o.args[0].c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                             320, 200, nullptr, nullptr, wc.hInstance, nullptr);
    if (!h) return fail(L"could not create the window");
    out(Json("window").hex("hwnd", (uintptr_t)h));
    SetTimer(h, 1, (UINT)((o.args.size() > 1 ? _wtof(o.args[1].c_str()) : 600) * 1000), nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

// Keys seen by a low-level keyboard hook of this process, one line each as they come. Hooks are
// called newest first, and a key that a newer hook swallows never arrives here: installed before
// the program under test locks, this hook sees exactly what the program lets pass.
LRESULT CALLBACK spyKeys(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        auto* k = (const KBDLLHOOKSTRUCT*)lp;
        out(Json().num("vk", k->vkCode).num("flags", k->flags).num("msg", wp).now());
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

int cmdKeys(const Options& o, const Target&) {
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, spyKeys, GetModuleHandleW(nullptr), 0);
    if (!hook) return fail(L"could not install the hook");
    out(Json().flag("ready", true).now());
    SetTimer(nullptr, 0, (UINT)((o.args.empty() ? 10 : _wtof(o.args[0].c_str())) * 1000), nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) DispatchMessageW(&msg);
    UnhookWindowsHookEx(hook);
    return 0;
}

// Broadcasts WM_TIMECHANGE, as a change of the clock does.
int cmdTimeChange(const Options& o, const Target&) {
    int count = o.args.empty() ? 1 : _wtoi(o.args[0].c_str());
    for (int i = 0; i < count; ++i) PostMessageW(HWND_BROADCAST, WM_TIMECHANGE, 0, 0);
    out(Json("timechange").num("count", count));
    return 0;
}

struct Command {
    int (*run)(const Options&, const Target&);
    size_t args;  // positional arguments needed at least
    int targets;  // of which a window (1), or a window and its control (2), must be found first
};

}  // namespace

int main() {
    static const std::map<std::wstring, Command> commands = {{L"list", {cmdList, 0, 0}},
                                                             {L"wait", {cmdWait, 1, 0}},
                                                             {L"click", {cmdClick, 2, 2}},
                                                             {L"type", {cmdType, 3, 2}},
                                                             {L"select", {cmdSelect, 3, 2}},
                                                             {L"pick", {cmdPick, 3, 2}},
                                                             {L"close", {cmdClose, 1, 1}},
                                                             {L"screen", {cmdScreen, 0, 0}},
                                                             {L"foreground", {cmdForeground, 0, 0}},
                                                             {L"procs", {cmdProcs, 0, 0}},
                                                             {L"tray", {cmdTray, 0, 0}},
                                                             {L"tray-click", {cmdTrayClick, 0, 0}},
                                                             {L"menu-keys", {cmdMenuKeys, 0, 0}},
                                                             {L"window", {cmdWindow, 1, 0}},
                                                             {L"keys", {cmdKeys, 0, 0}},
                                                             {L"timechange", {cmdTimeChange, 0, 0}}};
    _setmode(_fileno(stdout), _O_BINARY);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    auto cmd = argv && argc > 1 ? commands.find(argv[1]) : commands.end();
    Options o = cmd == commands.end() ? Options() : parse(argc, argv);
    Target t;
    int rc =
        cmd == commands.end() || o.args.size() < cmd->second.args ? 2 : resolve(o, cmd->second.targets, t);
    if (!rc) rc = cmd->second.run(o, t);
    if (rc == 2) fprintf(stderr, "inspector: usage error; the commands are described in ui_probe.cpp\n");
    return rc;
}
