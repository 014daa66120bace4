// inspector: eyes and hands for the end-to-end tests. A small console program that runs in the
// same Wine prefix as the program under test, reads other processes' windows and controls, and
// acts on them the way a user or a UI automation tool would.
//
//   inspector list [--pid N] [--exe NAME] [--title T] [--hwnd H] [--visible] [--top]
//   inspector wait <title> [timeout] [--gone] [--hidden] [--exe NAME]
//                  [--enabled | --disabled] [--foreground] [--items N --control SELECTOR]
//   inspector click <title> <selector> [--mouse | --input [--double]] [--at X,Y] [--exe NAME]
//   inspector type <title> <selector> <text> [--chars] [--exe NAME]
//   inspector select <title> <selector> <item text> [--exe NAME]
//   inspector pick <title> <selector> <item text> [--exe NAME]
//   inspector screen
//   inspector close <title> [--syscommand] [--exe NAME]
//   inspector tray [--wait SECONDS] [--ready]
//   inspector tray-click [left|right|double] [icon index]
//   inspector menu-keys <key>...          (down, up, left, right, enter, escape, or text)
//   inspector procs [--exe NAME]
//   inspector window <title> [seconds]   (a window of another program: opens it, then waits)
//   inspector keys <seconds>              (the keys that reach a keyboard hook of another program)
//   inspector timechange [count]          (broadcasts WM_TIMECHANGE, as a change of the clock does)
//   inspector foreground
//
// A <title> is a top-level window's caption, matched exactly, or "hwnd:0x1234"; "*" takes the
// first visible top-level window (of the process given with --exe). A <selector> picks one control of that
// window: "hwnd:0x1234", "id:1001", "index:N" (N-th control in enumeration order, from 0),
// "class:Edit:2" (second control of class Edit, from 1), "text:Caption", or plain caption text.
// Captions match with or without their '&' mnemonic marks.
//
// click --at X,Y presses at that point of the control (pixels from its top-left corner; negative
// values count from the right or bottom edge) instead of its centre; --double makes a real click
// (--input) a double-click. select sets a list's item
// and sends the notification the list would send; pick does what a user does: a real click on
// the drop-down arrow, then one on the item in the dropped list. wait ends when the window is
// there (or gone) and in the state asked; it and click print the moment ("at", Unix time).
//
// list prints one JSON object per line; the other commands print one line of JSON about what
// they did. Exit code 0 on success; 1 with a message on stderr when a window, control or wait
// was not found; 2 for a usage error.
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const UINT kSendTimeoutMs = 3000;

// ---- text and JSON -------------------------------------------------------------------------

std::string toUtf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), s.data(), n, nullptr, nullptr);
    return s;
}

std::string jsonString(const std::wstring& w) {
    std::string in = toUtf8(w), out = "\"";
    for (unsigned char c : in) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += (char)c;
                }
        }
    }
    return out + "\"";
}

std::string hex(uintptr_t v) {
    char buf[32];
    snprintf(buf, sizeof buf, "\"0x%llx\"", (unsigned long long)v);
    return buf;
}

std::string num(long long v) {
    return std::to_string(v);
}

std::string boolean(bool b) {
    return b ? "true" : "false";
}

std::string rectJson(LONG x, LONG y, LONG w, LONG h) {
    return "{\"x\":" + num(x) + ",\"y\":" + num(y) + ",\"w\":" + num(w) + ",\"h\":" + num(h) + "}";
}

double unixNow() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    ULONGLONG t = ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return (double)(t - 116444736000000000ULL) / 1e7;
}

void out(const std::string& line) {
    fwrite(line.data(), 1, line.size(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

int fail(const std::wstring& message) {
    std::string m = toUtf8(message);
    fprintf(stderr, "inspector: %s\n", m.c_str());
    return 1;
}

std::wstring stripMnemonics(const std::wstring& s) {
    std::wstring r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'&' && i + 1 < s.size()) {
            ++i;  // "&&" stands for one '&'
        }
        r += s[i];
    }
    return r;
}

// ---- reading windows of any process -------------------------------------------------------

// Threads that let a sent message time out: nothing more is sent to their windows, so that a
// busy or hung program costs one time-out, not one per window.
std::set<DWORD> unresponsive;

bool responsive(HWND h) {
    return !unresponsive.count(GetWindowThreadProcessId(h, nullptr));
}

// SendMessageTimeout that gives up on a thread after its first time-out; false when the message
// was not answered.
bool sendTo(HWND h, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
    DWORD thread = GetWindowThreadProcessId(h, nullptr);
    if (unresponsive.count(thread)) return false;
    if (SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, result)) return true;
    DWORD err = GetLastError();
    if (err == ERROR_TIMEOUT || err == 0) unresponsive.insert(thread);
    return false;
}

LRESULT send(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT failed = -1) {
    DWORD_PTR r = 0;
    return sendTo(h, msg, wp, lp, &r) ? (LRESULT)r : failed;
}

// The text the window manager keeps: the current caption of a top-level window, but for
// another process's edit or combo box the text it was created with. Sends no message.
std::wstring storedText(HWND h) {
    wchar_t buf[1024] = {};
    InternalGetWindowText(h, buf, 1024);
    return buf;
}

// The current text of any window, asked with WM_GETTEXT (see storedText); the stored text when
// the window's thread does not answer.
std::wstring windowText(HWND h) {
    DWORD_PTR len = 0, got = 0;
    if (!sendTo(h, WM_GETTEXTLENGTH, 0, 0, &len)) return storedText(h);
    std::wstring buf(len + 1, L'\0');
    if (!sendTo(h, WM_GETTEXT, len + 1, (LPARAM)buf.data(), &got)) return storedText(h);
    buf.resize(got < len + 1 ? got : len);
    return buf;
}

// Captions of top-level windows, for matching: read without sending, so that looking for a
// window never waits on another program.
std::wstring caption(HWND h) {
    return storedText(h);
}

std::wstring className(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

bool isClass(HWND h, const wchar_t* name) {
    return _wcsicmp(className(h).c_str(), name) == 0;
}

const char* buttonKind(LONG style) {
    switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
            return "push";
        case BS_DEFPUSHBUTTON:
            return "defpush";
        case BS_CHECKBOX:
            return "checkbox";
        case BS_AUTOCHECKBOX:
            return "autocheckbox";
        case BS_RADIOBUTTON:
            return "radio";
        case BS_3STATE:
            return "3state";
        case BS_AUTO3STATE:
            return "auto3state";
        case BS_GROUPBOX:
            return "groupbox";
        case BS_AUTORADIOBUTTON:
            return "autoradio";
        case BS_OWNERDRAW:
            return "ownerdraw";
        default:
            return "other";
    }
}

bool isCheckable(LONG style) {
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

// Items of a combo or list box. The wide messages return whole strings across processes; the
// ANSI ones were seen to return only the first character.
std::string itemsJson(HWND h, bool combo) {
    UINT countMsg = combo ? CB_GETCOUNT : LB_GETCOUNT;
    UINT lenMsg = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT textMsg = combo ? CB_GETLBTEXT : LB_GETTEXT;
    UINT selMsg = combo ? CB_GETCURSEL : LB_GETCURSEL;
    LRESULT count = send(h, countMsg, 0, 0);
    std::string s = ",\"selected\":" + num(send(h, selMsg, 0, 0)) + ",\"items\":[";
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT len = send(h, lenMsg, i, 0);
        std::wstring buf(len > 0 ? len + 1 : 1, L'\0');
        if (len > 0) {
            DWORD_PTR got = 0;
            if (!sendTo(h, textMsg, i, (LPARAM)buf.data(), &got) || got == (DWORD_PTR)-1) got = 0;
            buf.resize(got);
        } else {
            buf.clear();
        }
        if (i) s += ",";
        s += jsonString(buf);
    }
    return s + "]";
}

// List-view items live in the other process: the request and the answer travel through memory
// allocated there. Besides the texts: each item's image index (-1 for none) and the screen
// rectangle of its icon.
std::string listViewJson(HWND h) {
    LRESULT count = send(h, LVM_GETITEMCOUNT, 0, 0);
    std::string s = ",\"count\":" + num(count) + ",\"items\":[", images, icons;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    const int kChars = 512;
    void* remote = proc ? VirtualAllocEx(proc, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                         MEM_COMMIT, PAGE_READWRITE)
                        : nullptr;
    for (LRESULT i = 0; remote && i < count; ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = (int)i;
        item.cchTextMax = kChars;
        item.pszText = (LPWSTR)((char*)remote + sizeof(LVITEMW));
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iImage = -1;
        std::wstring text;
        if (WriteProcessMemory(proc, remote, &item, sizeof item, nullptr)) {
            LRESULT n = send(h, LVM_GETITEMTEXTW, i, (LPARAM)remote, 0);
            if (n > 0) {
                std::wstring buf(kChars, L'\0');
                ReadProcessMemory(proc, item.pszText, buf.data(), kChars * sizeof(wchar_t), nullptr);
                buf.resize(wcsnlen(buf.c_str(), kChars));
                text = buf;
            }
            if (WriteProcessMemory(proc, remote, &item, sizeof item, nullptr) &&
                send(h, LVM_GETITEMW, 0, (LPARAM)remote, 0))
                ReadProcessMemory(proc, remote, &item, sizeof item, nullptr);
        }
        RECT r = {LVIR_ICON, 0, 0, 0};
        if (!WriteProcessMemory(proc, remote, &r, sizeof r, nullptr) ||
            !send(h, LVM_GETITEMRECT, i, (LPARAM)remote, 0) ||
            !ReadProcessMemory(proc, remote, &r, sizeof r, nullptr))
            r = RECT{};
        MapWindowPoints(h, nullptr, (POINT*)&r, 2);
        if (i) s += ",", images += ",", icons += ",";
        s += jsonString(text);
        images += num(item.iImage);
        icons += rectJson(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    if (proc) CloseHandle(proc);
    return s + "],\"images\":[" + images + "],\"icons\":[" + icons + "]";
}

std::map<DWORD, std::wstring> processNames() {
    std::map<DWORD, std::wstring> names;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return names;
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe))
        names[pe.th32ProcessID] = pe.szExeFile;
    CloseHandle(snap);
    return names;
}

struct Node {
    HWND hwnd;
    int depth;
    int index;  // among the descendants of its top-level window, in enumeration order; -1 for it
};

std::string describe(const Node& n, const std::map<DWORD, std::wstring>& names) {
    HWND h = n.hwnd;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    LONG style = GetWindowLongW(h, GWL_STYLE), exstyle = GetWindowLongW(h, GWL_EXSTYLE);
    HWND parent = GetAncestor(h, GA_PARENT);
    if (parent == GetDesktopWindow()) parent = nullptr;
    RECT r = {}, c = {};
    GetWindowRect(h, &r);
    GetClientRect(h, &c);
    // position relative to the parent's client area (screen position for a top-level window)
    POINT pos = {r.left, r.top};
    if (parent) ScreenToClient(parent, &pos);
    POINT corigin = {0, 0};
    ClientToScreen(h, &corigin);
    std::wstring cls = className(h);
    auto name = names.find(pid);

    std::string s =
        "{\"hwnd\":" + hex((uintptr_t)h) + ",\"parent\":" + hex((uintptr_t)parent) +
        ",\"owner\":" + hex((uintptr_t)GetWindow(h, GW_OWNER)) +
        ",\"top\":" + hex((uintptr_t)GetAncestor(h, GA_ROOT)) + ",\"depth\":" + num(n.depth) +
        ",\"index\":" + num(n.index) + ",\"pid\":" + num(pid) +
        ",\"exe\":" + jsonString(name == names.end() ? L"" : name->second) + ",\"class\":" + jsonString(cls) +
        ",\"id\":" + num((long long)GetDlgCtrlID(h)) + ",\"text\":" + jsonString(windowText(h)) +
        ",\"rect\":" + rectJson(r.left, r.top, r.right - r.left, r.bottom - r.top) +
        ",\"pos\":" + rectJson(pos.x, pos.y, r.right - r.left, r.bottom - r.top) +
        ",\"client\":" + rectJson(corigin.x, corigin.y, c.right, c.bottom) +
        ",\"visible\":" + boolean(IsWindowVisible(h)) + ",\"shown\":" + boolean(style & WS_VISIBLE) +
        ",\"enabled\":" + boolean(IsWindowEnabled(h)) + ",\"style\":" + hex((ULONG)style) +
        ",\"exstyle\":" + hex((ULONG)exstyle);
    if (_wcsicmp(cls.c_str(), L"Button") == 0) {
        s += ",\"kind\":\"" + std::string(buttonKind(style)) + "\"";
        if (isCheckable(style)) s += ",\"checked\":" + num(send(h, BM_GETCHECK, 0, 0));
    } else if (_wcsicmp(cls.c_str(), L"Edit") == 0) {
        s += ",\"password\":" + boolean(style & ES_PASSWORD) +
             ",\"multiline\":" + boolean(style & ES_MULTILINE) +
             ",\"readonly\":" + boolean(style & ES_READONLY);
    } else if (_wcsicmp(cls.c_str(), L"ComboBox") == 0) {
        s += itemsJson(h, true);
    } else if (_wcsicmp(cls.c_str(), L"ListBox") == 0) {
        s += itemsJson(h, false);
    } else if (_wcsicmp(cls.c_str(), WC_LISTVIEWW) == 0) {
        s += listViewJson(h);
    }
    // false: the window's thread let a message time out, and its texts are the stored ones
    return s + ",\"responsive\":" + boolean(responsive(h)) + "}";
}

// Collects every window an enumeration passes (a plain function: 32-bit callbacks are stdcall).
BOOL CALLBACK collectWindow(HWND h, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> v;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&v));
    return v;
}

std::vector<HWND> descendants(HWND top) {
    std::vector<HWND> v;
    EnumChildWindows(top, collectWindow, reinterpret_cast<LPARAM>(&v));
    return v;
}

int depthBelow(HWND h, HWND top) {
    int d = 0;
    while (h && h != top) {
        h = GetParent(h);
        ++d;
    }
    return d;
}

// ---- options and selection ----------------------------------------------------------------

struct Options {
    std::vector<std::wstring> args;  // positional
    std::map<std::wstring, std::wstring> values;
    std::map<std::wstring, bool> flags;
    bool has(const wchar_t* f) const { return flags.count(f) || values.count(f); }
    std::wstring get(const wchar_t* k, const std::wstring& d = L"") const {
        auto it = values.find(k);
        return it == values.end() ? d : it->second;
    }
};

bool takesValue(const std::wstring& opt) {
    return opt == L"--pid" || opt == L"--exe" || opt == L"--title" || opt == L"--hwnd" || opt == L"--wait" ||
           opt == L"--at" || opt == L"--items" || opt == L"--control";
}

Options parse(int argc, wchar_t** argv) {
    Options o;
    for (int i = 2; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a.size() > 2 && a.rfind(L"--", 0) == 0) {
            if (takesValue(a) && i + 1 < argc)
                o.values[a] = argv[++i];
            else
                o.flags[a] = true;
        } else {
            o.args.push_back(a);
        }
    }
    return o;
}

struct Filter {
    DWORD pid = 0;
    std::wstring exe;
    bool matches(HWND h, const std::map<DWORD, std::wstring>& names) const {
        DWORD p = 0;
        GetWindowThreadProcessId(h, &p);
        if (pid && p != pid) return false;
        if (!exe.empty()) {
            auto it = names.find(p);
            if (it == names.end() || _wcsicmp(it->second.c_str(), exe.c_str()) != 0) return false;
        }
        return true;
    }
};

Filter filterFrom(const Options& o) {
    Filter f;
    if (o.has(L"--pid")) f.pid = wcstoul(o.get(L"--pid").c_str(), nullptr, 0);
    f.exe = o.get(L"--exe");
    return f;
}

// The top-level window with this caption; visible ones first. "*" stands for any caption,
// "hwnd:0x1234" for that window.
HWND findTop(const std::wstring& title, const Filter& f, bool wantVisible = true) {
    if (title.rfind(L"hwnd:", 0) == 0) {
        HWND h = (HWND)(uintptr_t)wcstoull(title.c_str() + 5, nullptr, 0);
        return IsWindow(h) && (!wantVisible || IsWindowVisible(h)) ? h : nullptr;
    }
    auto names = processNames();
    HWND hidden = nullptr;
    for (HWND h : topLevelWindows()) {
        if (!f.matches(h, names)) continue;
        if (title != L"*" && caption(h) != title) continue;
        if (IsWindowVisible(h)) return h;
        if (!hidden) hidden = h;
    }
    return wantVisible ? nullptr : hidden;
}

bool captionMatches(HWND h, const std::wstring& want) {
    std::wstring t = windowText(h);
    return t == want || stripMnemonics(t) == stripMnemonics(want);
}

HWND findControl(HWND top, const std::wstring& sel) {
    auto kids = descendants(top);
    if (sel.rfind(L"hwnd:", 0) == 0) {
        HWND h = (HWND)(uintptr_t)wcstoull(sel.c_str() + 5, nullptr, 0);
        for (HWND k : kids)
            if (k == h) return h;
        return nullptr;
    }
    if (sel.rfind(L"id:", 0) == 0) {
        int id = (int)wcstol(sel.c_str() + 3, nullptr, 0);
        for (HWND k : kids)
            if (GetDlgCtrlID(k) == id) return k;
        return nullptr;
    }
    if (sel.rfind(L"index:", 0) == 0) {
        size_t i = wcstoul(sel.c_str() + 6, nullptr, 10);
        return i < kids.size() ? kids[i] : nullptr;
    }
    if (sel.rfind(L"class:", 0) == 0) {
        std::wstring rest = sel.substr(6), cls = rest;
        int ordinal = 1;
        size_t colon = rest.rfind(L':');
        if (colon != std::wstring::npos) {
            cls = rest.substr(0, colon);
            ordinal = (int)wcstol(rest.c_str() + colon + 1, nullptr, 10);
        }
        for (HWND k : kids)
            if (isClass(k, cls.c_str()) && --ordinal == 0) return k;
        return nullptr;
    }
    std::wstring want = sel.rfind(L"text:", 0) == 0 ? sel.substr(5) : sel;
    HWND hiddenMatch = nullptr;
    for (HWND k : kids) {
        if (!captionMatches(k, want)) continue;
        if (IsWindowVisible(k)) return k;
        if (!hiddenMatch) hiddenMatch = k;
    }
    return hiddenMatch;
}

struct Target {
    HWND top = nullptr, control = nullptr;
};

int resolve(const Options& o, size_t needArgs, Target& t) {
    if (o.args.size() < needArgs) return 2;
    Filter f = filterFrom(o);
    t.top = findTop(o.args[0], f);
    if (!t.top) return fail(L"no visible window titled \"" + o.args[0] + L"\"");
    if (needArgs >= 2) {
        t.control = findControl(t.top, o.args[1]);
        if (!t.control) return fail(L"no control \"" + o.args[1] + L"\" in \"" + o.args[0] + L"\"");
    }
    return 0;
}

std::string actionJson(const char* action, const Target& t) {
    std::string s = "{\"action\":\"" + std::string(action) + "\",\"window\":" + hex((uintptr_t)t.top);
    if (t.control)
        s += ",\"control\":" + hex((uintptr_t)t.control) + ",\"class\":" + jsonString(className(t.control)) +
             ",\"text\":" + jsonString(windowText(t.control));
    return s + "}";
}

// ---- commands ---------------------------------------------------------------------------

int cmdList(const Options& o) {
    Filter f = filterFrom(o);
    std::wstring title = o.get(L"--title");
    bool onlyVisible = o.has(L"--visible"), onlyTop = o.has(L"--top");
    auto names = processNames();
    HWND only = o.has(L"--hwnd") ? (HWND)(uintptr_t)wcstoull(o.get(L"--hwnd").c_str(), nullptr, 0) : nullptr;
    for (HWND top : topLevelWindows()) {
        if (only && top != only) continue;
        if (!f.matches(top, names)) continue;
        if (o.has(L"--title") && caption(top) != title) continue;
        if (onlyVisible && !IsWindowVisible(top)) continue;
        out(describe({top, 0, -1}, names));
        if (onlyTop) continue;
        int i = 0;
        for (HWND k : descendants(top)) {
            Node n{k, depthBelow(k, top), i++};
            if (onlyVisible && !IsWindowVisible(k)) continue;
            out(describe(n, names));
        }
    }
    return 0;
}

// The state a wait asks of the window it found: --enabled, --disabled, --foreground, and with
// --items N --control SELECTOR, a list (list box, combo box or list view) holding N items.
bool inState(HWND h, const Options& o) {
    if (o.has(L"--enabled") && !IsWindowEnabled(h)) return false;
    if (o.has(L"--disabled") && IsWindowEnabled(h)) return false;
    if (o.has(L"--foreground") && GetForegroundWindow() != h) return false;
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

int cmdWait(const Options& o) {
    if (o.args.empty()) return 2;
    double timeout = o.args.size() > 1 ? _wtof(o.args[1].c_str()) : 10.0;
    bool gone = o.has(L"--gone"), anyState = o.has(L"--hidden");
    Filter f = filterFrom(o);
    ULONGLONG deadline = GetTickCount64() + (ULONGLONG)(timeout * 1000);
    for (;;) {
        HWND h = findTop(o.args[0], f, !anyState);
        if (gone ? !h : h && inState(h, o)) {
            std::string s = "{\"action\":\"wait\",\"found\":" + boolean(h != nullptr) +
                            ",\"window\":" + hex((uintptr_t)h) + ",\"at\":" + std::to_string(unixNow()) + "}";
            out(s);
            return 0;
        }
        if (GetTickCount64() >= deadline)
            return fail(L"timed out waiting for \"" + o.args[0] + (gone ? L"\" to go" : L"\""));
        Sleep(20);
    }
}

// A point of a control in its client coordinates: its centre, or the --at offset.
bool clickPoint(const Options& o, HWND h, POINT* p) {
    RECT c;
    GetClientRect(h, &c);
    p->x = c.right / 2;
    p->y = c.bottom / 2;
    if (!o.has(L"--at")) return true;
    std::wstring at = o.get(L"--at");
    size_t comma = at.find(L',');
    if (comma == std::wstring::npos) return false;
    long x = wcstol(at.c_str(), nullptr, 10), y = wcstol(at.c_str() + comma + 1, nullptr, 10);
    p->x = x < 0 ? c.right + x : x;
    p->y = y < 0 ? c.bottom + y : y;
    return true;
}

// Posts a press and release of the left button at a point of the control.
void postMouseClick(HWND h, POINT p) {
    LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageW(h, WM_MOUSEMOVE, 0, at);
    PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(h, WM_LBUTTONUP, 0, at);
}

// A real click (or double-click) through the input queue at that point of the window. Each
// event carries its own screen position: a pointer warp is echoed back by the X server to the
// program that owns the window below, a little later, and would move a click that relied on the
// pointer's position.
void inputClick(HWND h, POINT p, bool twice = false) {
    ClientToScreen(h, &p);
    const int w = GetSystemMetrics(SM_CXSCREEN), ht = GetSystemMetrics(SM_CYSCREEN);
    const LONG x = MulDiv(p.x, 65535, w > 1 ? w - 1 : 1), y = MulDiv(p.y, 65535, ht > 1 ? ht - 1 : 1);
    INPUT in[5] = {};
    const DWORD flags[5] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                            MOUSEEVENTF_LEFTUP};
    const int n = twice ? 5 : 3;
    for (int i = 0; i < n; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dx = x;
        in[i].mi.dy = y;
        in[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags[i];
    }
    SendInput(n, in, sizeof(INPUT));
}

int cmdClick(const Options& o) {
    Target t;
    if (int rc = resolve(o, 2, t)) return rc;
    if (!IsWindowEnabled(t.control)) return fail(L"control \"" + o.args[1] + L"\" is disabled");
    POINT p;
    if (!clickPoint(o, t.control, &p)) return 2;
    std::string before = actionJson("click", t);  // the click may destroy the control
    if (o.has(L"--input")) {
        inputClick(t.control, p, o.has(L"--double"));
    } else if (o.has(L"--mouse") || o.has(L"--at") || !isClass(t.control, L"Button")) {
        postMouseClick(t.control, p);
    } else {
        // Posted, not sent: the click's handler may open a modal box and not return for a while.
        PostMessageW(t.control, BM_CLICK, 0, 0);
    }
    out(before.insert(before.size() - 1, ",\"at\":" + std::to_string(unixNow())));
    return 0;
}

int cmdType(const Options& o) {
    Target t;
    if (int rc = resolve(o, 3, t)) return rc;
    const std::wstring& text = o.args[2];
    HWND edit = t.control;
    if (isClass(edit, L"ComboBox")) {
        // an editable combo box keeps its text in a child edit
        if (HWND inner = FindWindowExW(edit, nullptr, L"Edit", nullptr)) edit = inner;
    }
    if (o.has(L"--chars")) {
        // like a user: select everything, then one WM_CHAR per character
        send(edit, EM_SETSEL, 0, -1);
        send(edit, WM_CHAR, VK_BACK, 0);
        for (wchar_t ch : text) send(edit, WM_CHAR, ch, 1);
    } else {
        if (send(edit, WM_SETTEXT, 0, (LPARAM)text.c_str(), 0) == 0) return fail(L"WM_SETTEXT was refused");
        HWND parent = GetParent(edit);
        int id = GetDlgCtrlID(edit);
        WORD code = isClass(t.control, L"ComboBox") ? CBN_EDITCHANGE : EN_CHANGE;
        if (edit != t.control) {
            parent = GetParent(t.control);
            id = GetDlgCtrlID(t.control);
        }
        if (parent) send(parent, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)t.control, 0);
    }
    out(actionJson("type", t));
    return 0;
}

int cmdSelect(const Options& o) {
    Target t;
    if (int rc = resolve(o, 3, t)) return rc;
    bool combo = isClass(t.control, L"ComboBox");
    if (!combo && !isClass(t.control, L"ListBox")) return fail(L"not a combo or list box");
    LRESULT i = send(t.control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, (WPARAM)-1,
                     (LPARAM)o.args[2].c_str());
    if (i < 0) return fail(L"no item \"" + o.args[2] + L"\"");
    send(t.control, combo ? CB_SETCURSEL : LB_SETCURSEL, i, 0);
    HWND parent = GetParent(t.control);
    WORD code = combo ? CBN_SELCHANGE : LBN_SELCHANGE;
    if (parent)
        PostMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(t.control), code), (LPARAM)t.control);
    out(actionJson("select", t));
    return 0;
}

// Polls cond every 10 ms for up to ms milliseconds.
template <class Cond>
bool waitUntil(Cond cond, DWORD ms) {
    ULONGLONG deadline = GetTickCount64() + ms;
    while (!cond()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(10);
    }
    return true;
}

// The dropped list of a drop-down list: a top-level "ComboLBox" of the same thread, shown.
HWND droppedList(HWND combo) {
    DWORD thread = GetWindowThreadProcessId(combo, nullptr);
    for (HWND h : topLevelWindows())
        if (IsWindowVisible(h) && isClass(h, L"ComboLBox") && GetWindowThreadProcessId(h, nullptr) == thread)
            return h;
    return nullptr;
}

int cmdPick(const Options& o) {
    Target t;
    if (int rc = resolve(o, 3, t)) return rc;
    HWND combo = t.control;
    if (!isClass(combo, L"ComboBox")) return fail(L"not a drop-down list");
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
    LRESULT shown = h > 0 ? lc.bottom / h : 0;
    if (h <= 0 || shown <= 0) return fail(L"the dropped list has no room");
    LRESULT top = send(list, LB_GETTOPINDEX, 0, 0, 0);
    if (i < top || i >= top + shown) {
        send(list, LB_SETTOPINDEX, i, 0);
        top = send(list, LB_GETTOPINDEX, 0, 0, 0);
    }
    inputClick(list, POINT{lc.right / 2, (LONG)((i - top) * h + h / 2)});
    if (!waitUntil([&] { return !send(combo, CB_GETDROPPEDSTATE, 0, 0, 1); }, 3000))
        return fail(L"the list stayed down");
    LRESULT sel = send(combo, CB_GETCURSEL, 0, 0);
    std::string done = actionJson("pick", t);
    done.insert(done.size() - 1, ",\"selected\":" + num(sel));
    out(done);
    return sel == i ? 0
                    : fail(L"the click picked item " + std::to_wstring(sel) + L", not " + std::to_wstring(i));
}

// The screen as programs see it: size in pixels and resolution in dots per inch.
int cmdScreen() {
    using SetAware = BOOL(WINAPI*)();
    if (HMODULE user = GetModuleHandleW(L"user32.dll"))
        if (auto f = reinterpret_cast<SetAware>(
                reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware"))))
            f();
    HDC dc = GetDC(nullptr);
    int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    out("{\"width\":" + num(GetSystemMetrics(SM_CXSCREEN)) + ",\"height\":" +
        num(GetSystemMetrics(SM_CYSCREEN)) + ",\"dpiX\":" + num(dpiX) + ",\"dpiY\":" + num(dpiY) + "}");
    return 0;
}

int cmdClose(const Options& o) {
    Target t;
    if (int rc = resolve(o, 1, t)) return rc;
    std::string before = actionJson("close", t);
    if (o.has(L"--syscommand"))
        PostMessageW(t.top, WM_SYSCOMMAND, SC_CLOSE, 0);  // what the close box sends
    else
        PostMessageW(t.top, WM_CLOSE, 0, 0);
    out(before);
    return 0;
}

// Wine shows notification icons in a small top-level window of its own when there is no tray
// on the X side: "Wine System Tray", with one child window per icon, and shown while it holds
// at least one icon.
HWND trayWindow() {
    for (HWND h : topLevelWindows())
        if (caption(h) == L"Wine System Tray") return h;
    return nullptr;
}

std::vector<HWND> trayIcons(HWND tray) {
    std::vector<HWND> icons;
    if (!tray || !IsWindowVisible(tray)) return icons;
    auto kids = descendants(tray);
    for (HWND k : kids)
        if (IsWindowVisible(k) && isClass(k, L"__winex11_tray_icon")) icons.push_back(k);
    // a tray that draws its icons itself: a shown tray holds at least one
    if (kids.empty()) icons.push_back(tray);
    return icons;
}

std::string trayJson(HWND tray, const std::vector<HWND>& icons) {
    std::string s = "{\"tray\":" + boolean(tray != nullptr) + ",\"icon\":" + boolean(!icons.empty()) +
                    ",\"count\":" + num(icons.size()) + ",\"hwnd\":" + hex((uintptr_t)tray) + ",\"icons\":[";
    for (size_t i = 0; i < icons.size(); ++i) {
        RECT r = {};
        GetWindowRect(icons[i], &r);
        if (i) s += ",";
        s += "{\"hwnd\":" + hex((uintptr_t)icons[i]) +
             ",\"rect\":" + rectJson(r.left, r.top, r.right - r.left, r.bottom - r.top) + "}";
    }
    return s + "],\"at\":" + std::to_string(unixNow()) + "}";
}

int cmdTray(const Options& o) {
    double wait = o.has(L"--wait") ? _wtof(o.get(L"--wait").c_str()) : 0;
    // tells a caller that measures from outside that the watch has begun
    if (o.has(L"--ready")) out("{\"ready\":true,\"at\":" + std::to_string(unixNow()) + "}");
    ULONGLONG deadline = GetTickCount64() + (ULONGLONG)(wait * 1000);
    for (;;) {
        HWND tray = trayWindow();
        auto icons = trayIcons(tray);
        if (!icons.empty()) {
            out(trayJson(tray, icons));
            return 0;
        }
        if (GetTickCount64() >= deadline) {
            out(trayJson(tray, icons));
            return wait > 0 ? fail(L"timed out waiting for a notification icon") : 1;
        }
        Sleep(5);
    }
}

// Presses a mouse button on one icon of Wine's tray window; the tray forwards it to the icon's
// owner as its callback message.
int cmdTrayClick(const Options& o) {
    std::wstring button = o.args.empty() ? L"left" : o.args[0];
    size_t index = o.args.size() > 1 ? (size_t)_wtoi(o.args[1].c_str()) : 0;
    auto icons = trayIcons(trayWindow());
    if (index >= icons.size()) return fail(L"no such notification icon");
    HWND h = icons[index];
    RECT c;
    GetClientRect(h, &c);
    LPARAM at = MAKELPARAM(c.right / 2, c.bottom / 2);
    std::vector<std::pair<UINT, WPARAM>> msgs;
    if (button == L"right")
        msgs = {{WM_RBUTTONDOWN, MK_RBUTTON}, {WM_RBUTTONUP, 0}};
    else if (button == L"left")
        msgs = {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}};
    else if (button == L"double")
        msgs = {{WM_LBUTTONDOWN, MK_LBUTTON},
                {WM_LBUTTONUP, 0},
                {WM_LBUTTONDBLCLK, MK_LBUTTON},
                {WM_LBUTTONUP, 0}};
    else
        return 2;
    PostMessageW(h, WM_MOUSEMOVE, 0, at);
    for (auto& [msg, wp] : msgs) PostMessageW(h, msg, wp, at);
    out("{\"action\":\"tray-click\",\"icon\":" + hex((uintptr_t)h) + "}");
    return 0;
}

// Pop-up menus of other processes can't be read here (the menu handle is the owner's), but
// they take keys: "down", "up", "left", "right", "enter", "escape", or characters to type.
int cmdMenuKeys(const Options& o) {
    HWND menu = nullptr;
    for (HWND h : topLevelWindows())
        if (IsWindowVisible(h) && isClass(h, L"#32768")) menu = h;
    if (!menu) return fail(L"no pop-up menu is open");
    static const std::map<std::wstring, WORD> named = {{L"down", VK_DOWN},    {L"up", VK_UP},
                                                       {L"left", VK_LEFT},    {L"right", VK_RIGHT},
                                                       {L"enter", VK_RETURN}, {L"escape", VK_ESCAPE}};
    for (const auto& key : o.args) {
        auto it = named.find(key);
        if (it != named.end()) {
            PostMessageW(menu, WM_KEYDOWN, it->second, 1);
            PostMessageW(menu, WM_KEYUP, it->second, 0xC0000001);
        } else {
            for (wchar_t ch : key) PostMessageW(menu, WM_CHAR, ch, 1);
        }
    }
    out("{\"action\":\"menu-keys\",\"menu\":" + hex((uintptr_t)menu) + "}");
    return 0;
}

int cmdProcs(const Options& o) {
    std::wstring exe = o.get(L"--exe");
    int found = 0;
    for (auto& [pid, name] : processNames()) {
        if (!exe.empty() && _wcsicmp(name.c_str(), exe.c_str()) != 0) continue;
        out("{\"pid\":" + num(pid) + ",\"exe\":" + jsonString(name) + "}");
        ++found;
    }
    return exe.empty() || found ? 0 : fail(L"no process " + exe);
}

// ---- another program --------------------------------------------------------------------

LRESULT CALLBACK plainWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN) {
        out("{\"event\":\"click\",\"at\":" + std::to_string(unixNow()) + "}");
        return 0;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(h, msg, wp, lp);
}

// A plain top-level window of this process, shown until the time is up or it is closed. Prints
// its handle first; a click on it prints a line.
int cmdWindow(const Options& o) {
    if (o.args.empty()) return 2;
    double seconds = o.args.size() > 1 ? _wtof(o.args[1].c_str()) : 600;
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
    out("{\"action\":\"window\",\"hwnd\":" + hex((uintptr_t)h) + "}");
    SetTimer(h, 1, (UINT)(seconds * 1000), nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == h) DestroyWindow(h);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// Keys seen by a low-level keyboard hook of this process, one line each as they come. Hooks are
// called newest first, and a key that a newer hook swallows never arrives here: installed before
// the program under test locks, this hook sees exactly what the program lets pass.
HHOOK g_spyHook = nullptr;

LRESULT CALLBACK spyKeys(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const KBDLLHOOKSTRUCT* k = (const KBDLLHOOKSTRUCT*)lp;
        out("{\"vk\":" + num(k->vkCode) + ",\"flags\":" + num(k->flags) + ",\"msg\":" + num(wp) +
            ",\"at\":" + std::to_string(unixNow()) + "}");
    }
    return CallNextHookEx(g_spyHook, code, wp, lp);
}

int cmdKeys(const Options& o) {
    double seconds = o.args.empty() ? 10 : _wtof(o.args[0].c_str());
    g_spyHook = SetWindowsHookExW(WH_KEYBOARD_LL, spyKeys, GetModuleHandleW(nullptr), 0);
    if (!g_spyHook) return fail(L"could not install the hook");
    out("{\"ready\":true,\"at\":" + std::to_string(unixNow()) + "}");
    ULONGLONG deadline = GetTickCount64() + (ULONGLONG)(seconds * 1000);
    while (GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    UnhookWindowsHookEx(g_spyHook);
    return 0;
}

int cmdTimeChange(const Options& o) {
    int count = o.args.empty() ? 1 : _wtoi(o.args[0].c_str());
    for (int i = 0; i < count; ++i) PostMessageW(HWND_BROADCAST, WM_TIMECHANGE, 0, 0);
    out("{\"action\":\"timechange\",\"count\":" + num(count) + "}");
    return 0;
}

int cmdForeground() {
    HWND h = GetForegroundWindow();
    out("{\"hwnd\":" + hex((uintptr_t)h) + ",\"text\":" + jsonString(caption(h)) + "}");
    return 0;
}

int usage() {
    fprintf(stderr,
            "usage: inspector list [--pid N] [--exe NAME] [--title T] [--hwnd H] [--visible] [--top]\n"
            "       inspector wait <title> [timeout] [--gone] [--hidden] [--exe NAME]\n"
            "                      [--enabled|--disabled] [--foreground] [--items N --control SELECTOR]\n"
            "       inspector click <title> <selector> [--mouse|--input [--double]] [--at X,Y] [--exe NAME]\n"
            "       inspector type <title> <selector> <text> [--chars] [--exe NAME]\n"
            "       inspector select <title> <selector> <item> [--exe NAME]\n"
            "       inspector pick <title> <selector> <item> [--exe NAME]\n"
            "       inspector screen\n"
            "       inspector close <title> [--syscommand] [--exe NAME]\n"
            "       inspector tray [--wait SECONDS] [--ready]\n"
            "       inspector tray-click [left|right|double] [index]\n"
            "       inspector menu-keys <key>...\n"
            "       inspector procs [--exe NAME]\n"
            "       inspector window <title> [seconds]\n"
            "       inspector keys <seconds>\n"
            "       inspector timechange [count]\n"
            "       inspector foreground\n");
    return 2;
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return usage();
    std::wstring cmd = argv[1];
    Options o = parse(argc, argv);
    int rc;
    if (cmd == L"list")
        rc = cmdList(o);
    else if (cmd == L"wait")
        rc = cmdWait(o);
    else if (cmd == L"click")
        rc = cmdClick(o);
    else if (cmd == L"type")
        rc = cmdType(o);
    else if (cmd == L"select")
        rc = cmdSelect(o);
    else if (cmd == L"pick")
        rc = cmdPick(o);
    else if (cmd == L"screen")
        rc = cmdScreen();
    else if (cmd == L"close")
        rc = cmdClose(o);
    else if (cmd == L"tray")
        rc = cmdTray(o);
    else if (cmd == L"tray-click")
        rc = cmdTrayClick(o);
    else if (cmd == L"menu-keys")
        rc = cmdMenuKeys(o);
    else if (cmd == L"procs")
        rc = cmdProcs(o);
    else if (cmd == L"window")
        rc = cmdWindow(o);
    else if (cmd == L"keys")
        rc = cmdKeys(o);
    else if (cmd == L"timechange")
        rc = cmdTimeChange(o);
    else if (cmd == L"foreground")
        rc = cmdForeground();
    else
        rc = 2;
    return rc == 2 ? usage() : rc;
}
