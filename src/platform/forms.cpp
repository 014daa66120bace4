#include "platform/forms.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/windowing.h"

namespace qv::ui {

const char* kindName(Kind k) {
    switch (k) {
        case Kind::Frame:
            return "Frame";
        case Kind::Label:
            return "Label";
        case Kind::TextBox:
            return "TextBox";
        case Kind::CheckBox:
            return "CheckBox";
        case Kind::OptionButton:
            return "OptionButton";
        case Kind::ComboBox:
            return "ComboBox";
        case Kind::ListBox:
            return "ListBox";
        case Kind::ListView:
            return "ListView";
        case Kind::Button:
            return "Button";
        case Kind::Icon:
            return "Icon";
    }
    return "?";
}

// ---- Control ----

// A property set to the value it has already reaches no native control: the backend keeps every
// property as it was last told.
namespace {
bool sameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
}  // namespace

Control::Control(Form& form, Kind kind, std::string name, Control* container)
    : form_(form), kind_(kind), name_(std::move(name)), container_(container), font_(form.font) {
    if (kind == Kind::TextBox || kind == Kind::ComboBox || kind == Kind::ListBox || kind == Kind::ListView) {
        fore_ = kSysWindowText;
        back_ = kSysWindow;
    }
}

void Control::changed(Prop p) {
    if (!form_.loaded()) return;
    form_.session().windowing().controlChanged(*this, p);
    // A frame's visibility and enabled state reach the controls inside it.
    if (kind_ == Kind::Frame && (p == Prop::Visible || p == Prop::Enabled)) {
        for (auto& c : form_.controls())
            if (c->container() == this) c->changed(p);
    }
}

void Control::setText(const std::string& t) {
    if (t == text_) return;
    text_ = t;
    changed(Prop::Text);
}

void Control::setVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed(Prop::Visible);
}

void Control::setEnabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    changed(Prop::Enabled);
}

void Control::setValue(int v) {
    if (kind_ == Kind::OptionButton) {
        v = v ? 1 : 0;
        if (v) {
            for (auto& c : form_.controls()) {
                if (c.get() != this && c->kind_ == Kind::OptionButton && c->container_ == container_ &&
                    c->value_) {
                    c->value_ = 0;
                    c->changed(Prop::Value);
                }
            }
        }
    }
    if (v == value_) return;
    value_ = v;
    changed(Prop::Value);
}

void Control::setRect(const Rect& r) {
    if (sameRect(r, rect_)) return;
    rect_ = r;
    changed(Prop::Rect);
}

void Control::setTop(int top) {
    if (top == rect_.top) return;
    rect_.top = top;
    changed(Prop::Rect);
}

void Control::setLeft(int left) {
    if (left == rect_.left) return;
    rect_.left = left;
    changed(Prop::Rect);
}

void Control::addItem(const std::string& item, PictureHandle icon) {
    items_.push_back(item);
    icons_.push_back(icon);
    changed(Prop::Items);
}

void Control::removeItem(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    items_.erase(items_.begin() + index);
    icons_.erase(icons_.begin() + index);
    if (listIndex_ >= static_cast<int>(items_.size())) listIndex_ = -1;
    changed(Prop::Items);
}

void Control::clear() {
    items_.clear();
    icons_.clear();
    listIndex_ = -1;
    changed(Prop::Items);
}

void Control::setItems(const std::vector<std::string>& items, const std::vector<PictureHandle>& icons) {
    items_ = items;
    icons_ = icons;
    icons_.resize(items_.size());
    listIndex_ = -1;
    changed(Prop::Items);
}

PictureHandle Control::itemIcon(int index) const {
    return index >= 0 && index < static_cast<int>(icons_.size()) ? icons_[index] : 0;
}

void Control::setListIndex(int i) {
    if (i < -1 || i >= static_cast<int>(items_.size())) return;
    listIndex_ = i;
    if (kind_ == Kind::ComboBox && i >= 0) setText(items_[i]);
    changed(Prop::ListIndex);
}

void Control::setColours(Colour fore, Colour back, bool transparent) {
    if (fore == fore_ && back == back_ && transparent == transparent_) return;
    fore_ = fore;
    back_ = back;
    transparent_ = transparent;
    changed(Prop::Colours);
}

void Control::setFont(const Font& f) {
    if (f.face == font_.face && f.size == font_.size && f.bold == font_.bold) return;
    font_ = f;
    changed(Prop::Font);
}

void Control::setTooltip(const std::string& t) {
    if (t == tooltip_) return;
    tooltip_ = t;
    changed(Prop::Tooltip);
}

bool Control::effectivelyVisible() const {
    return visible_ && (!container_ || container_->effectivelyVisible());
}

bool Control::effectivelyEnabled() const {
    return enabled_ && form_.enabled() && (!container_ || container_->effectivelyEnabled());
}

void Control::userMouseDown(const Mouse& m) {
    if (onMouseDown) onMouseDown(m);
}

void Control::userClick() {
    if (kind_ == Kind::CheckBox) {
        setValue(value_ == 0 ? 1 : 0);
    } else if (kind_ == Kind::OptionButton) {
        setValue(1);
    }
    if (onClick) onClick();
}

void Control::userDblClick() {
    if (onDblClick) onDblClick();
}

void Control::userEdit(const std::string& t) {
    if (t == text_) return;
    text_ = t;
    if (onChange) onChange();
}

void Control::userSelect(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) return;
    listIndex_ = index;
    if (kind_ == Kind::ComboBox && index >= 0) text_ = items_[index];
    if (onClick) onClick();
}

void Control::setFocus() {
    if (form_.loaded()) form_.session().windowing().focus(this, form_);
}

// ---- Timer ----

Timer::Timer(Form& form, std::string name, int intervalMs, bool enabled)
    : form_(form), name_(std::move(name)), interval_(intervalMs), enabled_(enabled) {}

Timer::~Timer() {
    if (running_) form_.session().timers().stop(running_);
}

void Timer::setEnabled(bool e) {
    enabled_ = e;
    sync();
}

void Timer::sync() {
    const bool want = enabled_ && form_.loaded() && !form_.unloading() && interval_ > 0;
    if (want && !running_) {
        running_ = form_.session().timers().start(interval_, [this] { fire(); });
    } else if (!want && running_) {
        form_.session().timers().stop(running_);
        running_ = 0;
    }
}

void Timer::fire() {
    Session& session = form_.session();  // the handler may unload this timer's form
    {
        Session::Event event(session);
        if (enabled_ && form_.loaded() && onTimer) onTimer();
    }
    session.afterEvent();
}

// ---- MenuItem ----

MenuItem& MenuItem::add(std::string name, std::string caption) {
    children_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption)));
    return *children_.back();
}

MenuItem* MenuItem::find(const std::string& name) {
    if (name_ == name) return this;
    for (auto& c : children_)
        if (MenuItem* m = c->find(name)) return m;
    return nullptr;
}

void MenuItem::userClick() {
    if (enabled_ && onClick) onClick();
}

// ---- Form ----

namespace {
uint64_t nextFormId = 1;
}

Form::Form(Session& session, std::string name)
    : session_(session), name_(std::move(name)), id_(nextFormId++) {}

Form::~Form() = default;

void Form::changed(FormProp p) {
    if (loaded_) session_.windowing().formChanged(*this, p);
}

void Form::setCaption(const std::string& c) {
    if (c == caption_) return;
    caption_ = c;
    changed(FormProp::Caption);
}

void Form::setVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed(FormProp::Visible);
}

void Form::show() {
    if (!loaded_ || unloading_) return;
    visible_ = true;
    changed(FormProp::Visible);
    session_.windowing().focus(nullptr, *this);
}

void Form::setEnabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    changed(FormProp::Enabled);
}

void Form::setRect(const Rect& r) {
    rect_ = r;
    changed(FormProp::Rect);
}

void Form::setClientSize(int width, int height) {
    rect_.width = width;
    rect_.height = height;
    changed(FormProp::Rect);
}

void Form::setBackColour(Colour c) {
    if (c == back_) return;
    back_ = c;
    changed(FormProp::BackColour);
}

void Form::setPicture(PictureHandle p) {
    if (p == picture_) return;
    picture_ = p;
    changed(FormProp::Picture);
}

void Form::setIcon(int resourceId) {
    if (resourceId == icon_) return;
    icon_ = resourceId;
    changed(FormProp::Icon);
}

Control& Form::add(Kind kind, const std::string& name, Control* container, const std::string& text,
                   const Rect& r, const std::string& tooltip) {
    Control& c = add(kind, name, container);
    c.setText(text);
    c.setRect(r);
    c.setTooltip(tooltip);
    return c;
}

Timer& Form::addTimer(const std::string& name, int intervalMs, bool enabled) {
    timers_.push_back(std::make_unique<Timer>(*this, name, intervalMs, enabled));
    return *timers_.back();
}

Control* Form::find(const std::string& name) {
    for (auto& c : controls_)
        if (c->name() == name) return c.get();
    return nullptr;
}

Control& Form::control(const std::string& name) {
    if (Control* c = find(name)) return *c;
    throw NoSuchControl("no control " + name + " on " + name_);
}

Timer* Form::findTimer(const std::string& name) {
    for (auto& t : timers_)
        if (t->name() == name) return t.get();
    return nullptr;
}

void Form::popupMenu(MenuItem& menu, float xTwips, float yTwips) {
    if (loaded_)
        session_.windowing().popupMenu(*this, menu, static_cast<int>(xTwips), static_cast<int>(yTwips));
}

void Form::userClose() {
    if (closeBoxHides) {
        if (onMessage) onMessage(kCloseBox, 0, 0);
        return;
    }
    session_.unload(*this);
}

void Form::userMouseMove(const Mouse& m) {
    if (onMouseMove) onMouseMove(m);
}

void Form::userMessage(uint32_t message, intptr_t wParam, intptr_t lParam) {
    if (onMessage) onMessage(message, wParam, lParam);
}

// ---- Session ----

Session::~Session() {
    // Forms still loaded at the end are dropped without their handlers (the process is going).
    for (auto& f : loaded_) {
        for (auto& t : f->timers_) t.reset();
        windowing_.destroy(*f);
    }
}

Form& Session::load(std::unique_ptr<Form> form) {
    Form& f = *form;
    loaded_.push_back(std::move(form));
    f.loaded_ = true;
    windowing_.realise(f);
    for (auto& t : f.timers_) t->sync();
    f.onLoad();
    return f;
}

void Session::unload(Form& form) {
    if (!form.loaded_ || form.unloading_) return;
    form.unloading_ = true;
    form.onUnload();
    for (auto& t : form.timers_) t->sync();
    windowing_.destroy(form);
    form.loaded_ = false;
    auto it = std::find_if(loaded_.begin(), loaded_.end(), [&](auto& p) { return p.get() == &form; });
    if (it != loaded_.end()) {
        graveyard_.push_back(std::move(*it));
        loaded_.erase(it);
    }
    if (loaded_.empty() && !ended_) {
        ended_ = true;
        windowing_.quit();
    }
}

Form* Session::find(uint64_t id) const {
    for (auto& f : loaded_)
        if (f->id() == id) return f.get();
    return nullptr;
}

Form* Session::findByName(const std::string& name) const {
    for (auto& f : loaded_)
        if (f->name() == name) return f.get();
    return nullptr;
}

std::vector<Form*> Session::loadedForms() const {
    std::vector<Form*> out;
    for (auto& f : loaded_) out.push_back(f.get());
    return out;
}

void Session::afterEvent() {
    // An event that runs inside another one's message loop must not free what the outer event's
    // handler is still running in.
    if (depth_ == 0) graveyard_.clear();
}

}  // namespace qv::ui
