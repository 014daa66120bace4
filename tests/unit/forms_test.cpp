// The window model: loading and unloading, input events, timers.
#include <gtest/gtest.h>

#include "platform/sim/platform.h"
#include "platform/windowing.h"

namespace qv::test {

namespace {

struct Probe : ui::Form {
    Probe(ui::Session& s, std::string name, std::vector<std::string>& log)
        : ui::Form(s, std::move(name)), log(log) {}
    void onLoad() override { log.push_back("load " + name()); }
    void onUnload() override {
        log.push_back("unload " + name());
        if (onUnloadDo) onUnloadDo();
    }
    ~Probe() override { log.push_back("freed " + name()); }
    std::vector<std::string>& log;
    std::function<void()> onUnloadDo;
};

struct Model : ::testing::Test {
    sim::SimWorld world;
    std::vector<std::string> log;  // outlives the session, which frees the forms
    ui::Session session{world.windowing, world.clock};
    Probe& make(const std::string& name) {
        return static_cast<Probe&>(session.load(std::make_unique<Probe>(session, name, log)));
    }
};

}  // namespace

TEST_F(Model, FormsLoadOnceAndTheLastUnloadEndsTheProgram) {
    ui::FormSlot<Probe> slot(session, [&] { return std::make_unique<Probe>(session, "A", log); });
    Probe& a = slot();
    EXPECT_EQ(&slot(), &a);
    Probe& b = make("B");
    EXPECT_NE(a.nativeHandle(), 0u);
    a.onUnloadDo = [&] {  // an unload handler that unloads another window, and itself again
        session.unload(b);
        session.unload(a);
    };
    session.unload(a);
    EXPECT_EQ(slot.loaded(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"load A", "load B", "unload A", "unload B"}));
    EXPECT_TRUE(session.ended() && world.windowing.quitRequested());
    session.afterEvent();
    EXPECT_TRUE(slot().loaded()) << "referring to it again loads a new one";
}

TEST_F(Model, AComboKeepsATypedTextAndATimerStopsWithItsWindow) {
    Probe& f = make("F");
    auto& combo = f.add(ui::Kind::ComboBox, "combo");
    combo.addItem("5");
    combo.addItem("10");
    combo.setText("77");
    EXPECT_EQ(combo.text(), "77") << "a text that is not an item is kept";
    combo.userSelect(1);
    combo.userSelect(7);  // out of range: ignored
    EXPECT_EQ(combo.text() + " " + std::to_string(combo.listIndex()), "10 1");

    int ticks = 0;
    auto& t = f.addTimer("T", 1000, false);
    t.setEnabled(true);
    t.onTimer = [&] {
        ++ticks;
        session.unload(f);  // a tick that unloads its own window
    };
    world.clock.advance(1000);
    session.afterEvent();
    world.clock.advance(5000);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(world.clock.activeTimers(), 0u);
}

TEST_F(Model, ATickInsideAnEventDoesNotFreeFormsTheEventStillUses) {
    Probe& host = make("Host");
    Probe& other = make("Other");
    int ticks = 0;
    ui::Timer& t = host.addTimer("T", 100, false);
    t.onTimer = [&] { ++ticks; };
    t.setEnabled(true);
    {
        ui::Session::Event outer(session);  // e.g. a click whose handler opened a message box
        session.unload(other);
        world.clock.advance(500);  // ticks arrive in the box's message loop
        EXPECT_EQ(ticks, 5);
        EXPECT_EQ(log.back(), "unload Other") << "still alive while the outer event runs";
    }
    session.afterEvent();
    EXPECT_EQ(log.back(), "freed Other");
    EXPECT_EQ(session.findByName("Other"), nullptr);
    EXPECT_TRUE(host.loaded());
}

TEST_F(Model, APropertySetToTheValueItHasReachesNoNativeWindow) {
    Probe& f = make("F");
    auto& label = f.add(ui::Kind::Label, "label", nullptr, "0:05", {10, 20, 300, 40}, "tip");
    label.setColours(ui::rgb(1, 2, 3), ui::rgb(4, 5, 6), true);
    label.setFont({"Verdana", 72, false});
    f.setCaption("Form1");
    f.setBackColour(ui::rgb(4, 5, 6));
    f.setPicture(7);
    f.setIcon(3);
    const int before = world.windowing.changes();
    label.setText("0:05");
    label.setRect({10, 20, 300, 40});
    label.setTop(20);
    label.setLeft(10);
    label.setColours(ui::rgb(1, 2, 3), ui::rgb(4, 5, 6), true);
    label.setFont({"Verdana", 72, false});
    label.setTooltip("tip");
    label.setVisible(true);
    label.setEnabled(true);
    f.setCaption("Form1");
    f.setBackColour(ui::rgb(4, 5, 6));
    f.setPicture(7);
    f.setIcon(3);
    EXPECT_EQ(world.windowing.changes(), before);
    label.setTop(21);
    label.setColours(ui::rgb(1, 2, 3), ui::rgb(4, 5, 6), false);
    label.setFont({"Verdana", 72, true});
    f.setPicture(0);
    EXPECT_EQ(world.windowing.changes(), before + 4) << "a real change still reaches it";
}

}  // namespace qv::test
