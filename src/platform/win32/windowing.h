// The window model realised with Win32: one top-level window per form, one child window per
// control. Model positions in twips are converted at the screen's real resolution.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/gdi.h"
#include "platform/win32/startup_trace.h"
#include "platform/win32/system.h"
#include "platform/windowing.h"

namespace qv::win32 {

struct FormWindow;
class Win32Windowing;
class Win32WindowLock;

struct NativeControl {
    FormWindow* owner = nullptr;
    ui::Control* model = nullptr;
    HWND hwnd = nullptr;
    int id = 0;
    std::vector<std::string> items;  // what the native list holds now
    WNDPROC nativeProc = nullptr;    // the control's own procedure, called after ours
};

// The form's picture selected into a memory DC once, for all its paints (under Wine creating a DC
// asks the server). Dropped before the picture changes: the program may then delete the old one.
struct PictureDc {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    PictureDc() = default;
    PictureDc(const PictureDc&) = delete;
    PictureDc& operator=(const PictureDc&) = delete;
    ~PictureDc() { drop(); }
    HDC holding(HBITMAP picture);  // a DC with picture selected
    void drop();
};

struct FormWindow {
    Win32Windowing* windowing = nullptr;
    ui::Form* form = nullptr;
    HWND hwnd = nullptr;
    HWND tooltip = nullptr;
    HWND lastFocus = nullptr;  // given back when the window is activated again
    bool destroying = false;
    bool shown = false;  // has been visible once (centring happens before that)
    // The controls' native windows are made when the form is first shown or one is asked for:
    // until then the model alone holds their state, and it is applied in full when they are made.
    bool built = false;
    const ui::Control* pendingFocus = nullptr;  // focused before the controls were made
    std::vector<std::unique_ptr<NativeControl>> controls;
    std::map<HWND, NativeControl*> byHwnd;
    std::map<const ui::Control*, NativeControl*> byModel;
    PictureDc picture;

    NativeControl* find(HWND h) const;
    // Events reach the model only while the form is loaded and not being torn down.
    bool live() const { return !destroying && form->loaded() && !form->unloading(); }
};

class Win32Windowing : public ui::IWindowing {
  public:
    explicit Win32Windowing(const Win32System& system);
    ~Win32Windowing() override;
    Win32Windowing(const Win32Windowing&) = delete;
    Win32Windowing& operator=(const Win32Windowing&) = delete;

    void realise(ui::Form& form) override;
    void destroy(ui::Form& form) override;
    void formChanged(ui::Form& form, ui::FormProp prop) override;
    void controlChanged(ui::Control& control, ui::Prop prop) override;
    void focus(ui::Control* control, ui::Form& form) override;
    void popupMenu(ui::Form& form, ui::MenuItem& menu, int xTwips, int yTwips) override;
    void quit() override;
    // A form that the window lock holds down stays disabled whatever the program asks, until the
    // lock lets it go.
    void attachLock(Win32WindowLock& lock) { lock_ = &lock; }
    void traceTo(StartupTrace* trace) { trace_ = trace; }

    // The form window that hwnd is or belongs to, for IsDialogMessage; nullptr for other windows.
    HWND formRootOf(HWND hwnd) const;
    // A control's window; its form's controls are made first if they are not yet.
    HWND nativeOf(const ui::Control& c);

    int px(int twips) const { return MulDiv(twips, system_.dpiX(), 1440); }
    int py(int twips) const { return MulDiv(twips, system_.dpiY(), 1440); }

  private:
    friend LRESULT CALLBACK formProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK controlProc(HWND, UINT, WPARAM, LPARAM);

    FormWindow* windowOf(const ui::Form& f) const;
    NativeControl* nativeControl(const ui::Control& c) const;
    LRESULT handle(FormWindow& fw, UINT msg, WPARAM wp, LPARAM lp);
    void placeForm(FormWindow& fw);
    void build(FormWindow& fw);
    void setIcon(FormWindow& fw);
    void paintBackground(FormWindow& fw, HDC dc);
    void command(FormWindow& fw, WPARAM wp, LPARAM lp);
    void notify(FormWindow& fw, NMHDR* nh);
    LRESULT controlColour(FormWindow& fw, HDC dc, HWND child);
    void pressButton(FormWindow& fw, bool cancel);
    HWND ownerWindow();

    // Controls (controls.cpp).
    void createControls(FormWindow& fw);
    void orderTabs(FormWindow& fw);
    void syncControl(FormWindow& fw, NativeControl& nc, ui::Prop prop);
    void placeControl(FormWindow& fw, NativeControl& nc);
    void syncItems(NativeControl& nc);
    void syncListIndex(NativeControl& nc);
    void syncTooltip(FormWindow& fw, NativeControl& nc);
    void repaintUnder(NativeControl& nc);
    bool mouseDown(NativeControl& nc, UINT msg, WPARAM wp, LPARAM lp);

    const Win32System& system_;
    Win32WindowLock* lock_ = nullptr;
    StartupTrace* trace_ = nullptr;
    GdiCache gdi_;
    std::map<const ui::Form*, std::unique_ptr<FormWindow>> forms_;
    HWND owner_ = nullptr;     // hidden owner that keeps forms out of the task bar
    UINT taskbarCreated_ = 0;  // the shell's "TaskbarCreated", registered at start
    int syncing_ = 0;          // > 0 while the backend itself changes native controls
};

}  // namespace qv::win32
