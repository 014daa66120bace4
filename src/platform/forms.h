// The retained model of windows and controls. The program's code reads and writes only this
// model; a windowing backend realises it natively and reports user input back as events.
// Positions are in twips. Setting a property from code never raises the control's events;
// the user* methods are the backend's way in and do raise them.
#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/pictures.h"

namespace qv {
class ITimers;
}

namespace qv::ui {

// A control asked for by a name that its form does not have: a fault in a table of names.
class NoSuchControl : public std::exception {
  public:
    explicit NoSuchControl(std::string what) : what_(std::move(what)) {}
    const char* what() const noexcept override { return what_.c_str(); }

  private:
    std::string what_;
};

using Colour = uint32_t;  // 0x00BBGGRR, or 0x80000000 | system colour index
constexpr Colour rgb(int r, int g, int b) {
    return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}
constexpr Colour kSysButtonText = 0x80000012;
constexpr Colour kSysButtonFace = 0x8000000F;
constexpr Colour kSysWindow = 0x80000005;
constexpr Colour kSysWindowText = 0x80000008;

struct Font {
    std::string face = "Verdana";
    double size = 8.25;  // points
    bool bold = false;
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct Mouse {
    int button = 1;  // 1 left, 2 right, 4 middle
    int shift = 0;
    float x = 0, y = 0;  // twips, relative to the control
    int item = -1;       // a list's item under the pointer, -1 for none
};

// Icon: the picture of the icon resource given by the control's value, drawn at the control's size.
enum class Kind { Frame, Label, TextBox, CheckBox, OptionButton, ComboBox, ListBox, ListView, Button, Icon };
const char* kindName(Kind k);

enum class Prop { Text, Visible, Enabled, Value, Rect, Items, ListIndex, Colours, Font, Tooltip };
enum class FormProp { Caption, Visible, Enabled, Rect, BackColour, Picture, Icon };
enum class BorderStyle { None, FixedSingle, Sizable };

class Form;
class Session;

class Control {
  public:
    Control(Form& form, Kind kind, std::string name, Control* container);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    Kind kind() const { return kind_; }
    Form& form() const { return form_; }
    Control* container() const { return container_; }

    // Caption of labels, buttons, frames and boxes; text of text boxes and drop-down lists.
    const std::string& text() const { return text_; }
    void setText(const std::string& t);
    bool visible() const { return visible_; }
    void setVisible(bool v);
    bool enabled() const { return enabled_; }
    void setEnabled(bool e);
    // Check box: 0 unchecked, 1 checked, 2 grayed. Option button: 1 selected, 0 not; selecting
    // one clears the other option buttons of the same container.
    int value() const { return value_; }
    void setValue(int v);
    const Rect& rect() const { return rect_; }
    void setRect(const Rect& r);
    void setTop(int top);
    void setLeft(int left);

    const std::vector<std::string>& items() const { return items_; }
    void addItem(const std::string& item, PictureHandle icon = 0);
    void removeItem(int index);
    void clear();
    // All items at once (a list rebuilt), one change for the backend; no item selected.
    void setItems(const std::vector<std::string>& items, const std::vector<PictureHandle>& icons = {});
    PictureHandle itemIcon(int index) const;
    int listIndex() const { return listIndex_; }  // -1: none selected
    void setListIndex(int i);                     // a drop-down list also takes the item's text

    Colour foreColour() const { return fore_; }
    Colour backColour() const { return back_; }
    bool transparent() const { return transparent_; }
    void setColours(Colour fore, Colour back, bool transparent);
    const Font& font() const { return font_; }
    void setFont(const Font& f);
    const std::string& tooltip() const { return tooltip_; }
    void setTooltip(const std::string& t);

    // Styles fixed when the form is built.
    int tabIndex = -1;  // keyboard order; -1: not a tab stop
    bool multiLine = false;
    char passwordChar = 0;
    bool readOnly = false;
    bool isDefault = false;  // the button Enter presses
    bool isCancel = false;

    bool effectivelyVisible() const;
    bool effectivelyEnabled() const;

    std::function<void()> onClick, onDblClick, onChange;
    std::function<void(const Mouse&)> onMouseDown;

    // Input from the backend.
    void userMouseDown(const Mouse& m);
    void userClick();  // a check box toggles, an option button is selected
    void userDblClick();
    void userEdit(const std::string& t);  // typed text; not echoed back to the native control
    void userSelect(int index);           // a list item picked

    void setFocus();

  private:
    void changed(Prop p);
    Form& form_;
    Kind kind_;
    std::string name_;
    Control* container_;
    std::string text_, tooltip_;
    bool visible_ = true, enabled_ = true, transparent_ = false;
    int value_ = 0, listIndex_ = -1;
    Rect rect_;
    std::vector<std::string> items_;
    std::vector<PictureHandle> icons_;
    Colour fore_ = kSysButtonText, back_ = kSysButtonFace;
    Font font_;
};

class Timer {
  public:
    Timer(Form& form, std::string name, int intervalMs, bool enabled);
    ~Timer();
    const std::string& name() const { return name_; }
    int interval() const { return interval_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool e);
    std::function<void()> onTimer;
    void sync();  // starts or stops the platform timer to match enabled and the form's state

  private:
    void fire();
    Form& form_;
    std::string name_;
    int interval_;
    bool enabled_;
    uint32_t running_ = 0;
};

class MenuItem {
  public:
    MenuItem(std::string name, std::string caption) : name_(std::move(name)), caption_(std::move(caption)) {}
    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    bool visible() const { return visible_; }
    void setVisible(bool v) { visible_ = v; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool e) { enabled_ = e; }
    bool separator() const { return caption_ == "-"; }
    MenuItem& add(std::string name, std::string caption);
    const std::vector<std::unique_ptr<MenuItem>>& children() const { return children_; }
    MenuItem* find(const std::string& name);
    std::function<void()> onClick;
    void userClick();

  private:
    std::string name_, caption_;
    bool visible_ = true, enabled_ = true;
    std::vector<std::unique_ptr<MenuItem>> children_;
};

class Form {
  public:
    Form(Session& session, std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }
    Session& session() const { return session_; }
    uint64_t id() const { return id_; }
    bool loaded() const { return loaded_; }
    bool unloading() const { return unloading_; }

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& c);
    bool visible() const { return visible_; }
    void setVisible(bool v);
    void show();  // visible and brought to the front, without blocking
    void hide() { setVisible(false); }
    bool enabled() const { return enabled_; }
    void setEnabled(bool e);
    // Outer position is chosen by the backend (centred unless placed); the size is the client area.
    const Rect& rect() const { return rect_; }
    void setRect(const Rect& r);
    void setClientSize(int width, int height);
    Colour backColour() const { return back_; }
    void setBackColour(Colour c);
    PictureHandle picture() const { return picture_; }
    void setPicture(PictureHandle p);  // painted from the top-left across the whole client area
    int icon() const { return icon_; }
    void setIcon(int resourceId);

    // Window styles fixed when the form is built.
    BorderStyle border = BorderStyle::FixedSingle;
    bool maxButton = false, minButton = false, controlBox = true;
    bool centred = true;  // centred on the screen when first shown
    bool topMost = false;
    bool showInTaskbar = true;
    bool fullScreen = false;  // covers the whole screen, taskbar included
    Font font;

    template <class T = Control>
    T& add(Kind kind, const std::string& name, Control* container = nullptr);
    Control& add(Kind kind, const std::string& name, Control* container, const std::string& text,
                 const Rect& r, const std::string& tooltip = {});
    Timer& addTimer(const std::string& name, int intervalMs, bool enabled);
    MenuItem& menu() { return menu_; }  // root: its children are the menu bar

    Control* find(const std::string& name);
    Control& control(const std::string& name);  // throws NoSuchControl for an unknown name
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    const std::vector<std::unique_ptr<Timer>>& timers() const { return timers_; }
    Timer* findTimer(const std::string& name);

    // True while the form must stay where the program put it, at its size: the window system's
    // minimize, move and size requests (from the user or from anyone on the desktop) are refused.
    virtual bool pinned() const { return false; }

    uintptr_t nativeHandle() const { return native_; }
    void setNativeHandle(uintptr_t h) { native_ = h; }

    void popupMenu(MenuItem& menu, float xTwips, float yTwips);

    // Input from the backend.
    // The close box: unloads the form, or, for one that only hides, passes kCloseBox to onMessage.
    void userClose();
    bool closeBoxHides = false;
    static constexpr uint32_t kCloseBox = 0x8000 + 0x3E7;  // WM_APP + 999, never a window's message
    void userMouseMove(const Mouse& m);
    // A window message the backend passes on after the window has processed it (only those the
    // program listens for, such as the time-change broadcast).
    void userMessage(uint32_t message, intptr_t wParam, intptr_t lParam);
    std::function<void(const Mouse&)> onMouseMove;
    std::function<void(uint32_t message, intptr_t wParam, intptr_t lParam)> onMessage;

  protected:
    virtual void onLoad() {}
    virtual void onUnload() {}

  private:
    friend class Session;
    void changed(FormProp p);
    Session& session_;
    std::string name_;
    uint64_t id_;
    bool loaded_ = false, unloading_ = false;
    std::string caption_;
    bool visible_ = false, enabled_ = true;
    Rect rect_;
    Colour back_ = kSysButtonFace;
    PictureHandle picture_ = 0;
    int icon_ = 0;
    uintptr_t native_ = 0;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<std::unique_ptr<Timer>> timers_;
    MenuItem menu_{"", ""};
};

template <class T>
T& Form::add(Kind kind, const std::string& name, Control* container) {
    controls_.push_back(std::make_unique<T>(*this, kind, name, container));
    return static_cast<T&>(*controls_.back());
}

}  // namespace qv::ui
