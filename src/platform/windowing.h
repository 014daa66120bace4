// What a windowing backend does with the model: realise forms natively, mirror changes, and end
// the message loop when the last form is gone. User input travels the other way, through the
// user* methods of ui::Control, ui::Form and ui::MenuItem.
#pragma once
#include <memory>
#include <vector>

#include "platform/forms.h"

namespace qv {
class ITimers;
}

namespace qv::ui {

class IWindowing {
  public:
    virtual ~IWindowing() = default;
    virtual void realise(Form& form) = 0;  // native window and all its controls, hidden
    virtual void destroy(Form& form) = 0;
    virtual void formChanged(Form& form, FormProp prop) = 0;
    virtual void controlChanged(Control& control, Prop prop) = 0;
    virtual void focus(Control* control, Form& form) = 0;  // control == nullptr: the form itself
    virtual void popupMenu(Form& form, MenuItem& menu, int xTwips, int yTwips) = 0;
    virtual void quit() = 0;  // the last window is gone
};

// Owns the loaded forms. Forms are loaded on first use and unloaded in the order the program
// chooses; an unloaded form is kept until the current event has finished (afterEvent), so a
// handler may unload its own form.
class Session {
  public:
    Session(IWindowing& windowing, ITimers& timers) : windowing_(windowing), timers_(timers) {}
    ~Session();
    IWindowing& windowing() { return windowing_; }
    ITimers& timers() { return timers_; }

    Form& load(std::unique_ptr<Form> form);  // realises the form and runs its load handler
    void unload(Form& form);                 // runs the unload handler, then destroys it
    Form* find(uint64_t id) const;
    Form* findByName(const std::string& name) const;
    std::vector<Form*> loadedForms() const;
    bool ended() const { return ended_; }
    // Marks an event in progress. A handler that opens a message box or a menu runs a message
    // loop in which further events arrive; forms are freed only when the outermost one is done.
    class Event {
      public:
        explicit Event(Session& s) : s_(s) { ++s_.depth_; }
        ~Event() { --s_.depth_; }
        Event(const Event&) = delete;
        Event& operator=(const Event&) = delete;

      private:
        Session& s_;
    };
    void afterEvent();  // frees forms unloaded during the events that have finished

  private:
    IWindowing& windowing_;
    ITimers& timers_;
    std::vector<std::unique_ptr<Form>> loaded_, graveyard_;
    bool ended_ = false;
    int depth_ = 0;
};

// A program-wide form that is loaded the first time it is referred to.
template <class T>
class FormSlot {
  public:
    template <class Make>
    FormSlot(Session& s, Make make) : session_(s), make_(std::move(make)) {}
    T& operator()() {
        if (T* f = loaded()) return *f;
        auto form = make_();
        id_ = form->id();
        return static_cast<T&>(session_.load(std::move(form)));
    }
    T* loaded() const { return id_ ? static_cast<T*>(session_.find(id_)) : nullptr; }
    void unload() {
        if (T* f = loaded()) session_.unload(*f);
    }

  private:
    Session& session_;
    std::function<std::unique_ptr<T>()> make_;
    uint64_t id_ = 0;
};

}  // namespace qv::ui
