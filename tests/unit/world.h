// A fresh simulated machine with the program on it, and short ways to look at and drive it.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/app.h"
#include "platform/sim/platform.h"
#include "settings/reg_settings.h"
#include "settings/schema.h"

namespace qv::test {

constexpr const char* kControls = "HKCU\\Software\\Hollowmere\\Tarnwell\\Controls";
constexpr const char* kListKey = "HKCU\\Software\\Hollowmere\\Tarnwell\\ListOfGames";
constexpr const char* kPathKey = "HKCU\\Software\\Hollowmere\\Tarnwell\\PathOfGames";
constexpr const char* kRunKey = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kExe = "C:\\Program Files\\Quorvane\\Quorvane 1.0.exe";

inline std::string joined(const ui::Control& list) {
    std::string s;
    for (auto& item : list.items()) s += item + ";";
    return s;
}

inline const DateTime kSixPm{2026, 12, 6, 18, 0, 0};

struct World {
    explicit World(const DateTime& start = kSixPm) : sim(start) {}

    sim::SimWorld sim;
    std::unique_ptr<App> app;

    // A new process; the machine (registry, tray) stays between processes.
    App& startProgram(bool resumeAtOnce = false) {
        app = std::make_unique<App>(sim.platform());
        app->resumeAtOnce = resumeAtOnce;
        sim.clock.afterTick = [this] { app->session().afterEvent(); };
        app->start();
        return *app;
    }
    bool ended() const { return app && app->session().ended(); }

    std::string stored(const std::string& name, const std::string& def = "<missing>") const {
        return sim.registry.readString(kControls, name, def);
    }
    void store(const std::string& name, const std::string& value) {
        sim.registry.writeString(kControls, name, value);
    }

    ui::Form* form(const std::string& name) const { return app->session().findByName(name); }
    bool shown(const std::string& name) const { return form(name) && form(name)->visible(); }
    // What the user sees: the windows shown, the tray icon; the state and the stored Mode.
    std::string look() {
        std::string s;
        for (ui::Form* f : app->session().loadedForms())
            if (f->visible()) s += f->name() + " ";
        return s + (sim.tray.hasIcon(999) ? "tray " : "") + "state " + std::to_string(app->consoleState) +
               " Mode " + stored("Mode");
    }
    ui::Control& ctl(const std::string& formName, const std::string& control) {
        return form(formName)->control(control);
    }
    FrmMain& console() { return app->frmMain(); }
    ui::Control& main(const std::string& control) { return console().control(control); }

    // One user event, as the backend delivers it: forms it unloads are freed once it is done.
    template <class F>
    void event(F&& f) {
        {
            ui::Session::Event e(app->session());
            f();
        }
        app->session().afterEvent();
    }
    void click(const std::string& formName, const std::string& control) {
        event([&] { ctl(formName, control).userClick(); });
    }
    // Mouse down, then the click unless the handler opened a modal dialog (it takes the release).
    void press(const std::string& formName, const std::string& control, int button = 1) {
        ui::Control& c = ctl(formName, control);
        const size_t before = sim.dialogs.shown.size() + sim.dialogs.fileFilters.size();
        event([&] { c.userMouseDown(ui::Mouse{button, 0, 10, 10}); });
        if (sim.dialogs.shown.size() + sim.dialogs.fileFilters.size() == before && button == 1)
            event([&] { c.userClick(); });
    }
    // Picks a console drop-down item by its text; a text that is no item is typed into the box.
    void pick(const std::string& control, const std::string& item) {
        ui::Control& c = main(control);
        const auto& items = c.items();
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i] == item) return event([&] { c.userSelect(static_cast<int>(i)); });
        event([&] { c.userEdit(item); });
    }
    void type(const std::string& formName, const std::string& control, const std::string& text) {
        event([&] { ctl(formName, control).userEdit(text); });
    }
    void advance(int64_t ms) { sim.clock.advance(ms); }
    void close() { click("frmMain", "Command2"); }

    void restartWith(const std::vector<std::pair<std::string, std::string>>& values) {
        close();
        for (auto& [name, value] : values) store(name, value);
        startProgram();
    }
    void completeFirstRun(const std::string& password = "secret") {
        startProgram();
        type("frmPassword", "txtPass1", password);
        type("frmPassword", "txtPass2", password);
        click("frmPassword", "Command1");
    }
};

}  // namespace qv::test
