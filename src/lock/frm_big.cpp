#include "lock/frm_big.h"

#include "engine/app.h"

namespace qv {

using ui::Kind;

namespace {
constexpr ui::Colour kDarkBlue = ui::rgb(35, 60, 91);
constexpr ui::Colour kPaleBlue = ui::rgb(168, 229, 252);
}  // namespace

FrmBig::FrmBig(App& app) : ui::Form(app.session(), "frmBig"), app_(app) {
    setCaption("Form1");
    border = ui::BorderStyle::None;
    controlBox = false;
    centred = false;
    fullScreen = true;  // above other windows only while it is locked (the window lock does that)
    showInTaskbar = false;
    setBackColour(kDarkBlue);
    addTimer("Timer2", 500, false);
    addTimer("Timer1", 1000, false);
    auto& list = add(Kind::ListView, "ListView1", nullptr, "", {0, 0, 4000, 1440});
    list.setColours(kPaleBlue, kDarkBlue, false);
    list.setFont({"Verdana", 8.25, true});
    auto& left = add(Kind::Label, "lblTimeLeft", nullptr, "", {0, 0, 9000, 2895});
    left.setColours(kPaleBlue, kDarkBlue, true);
    left.setFont({"Verdana", 72, false});
    auto& msg = add(Kind::Label, "lblMessage", nullptr, "Message", {0, 0, 10000, 1575});
    msg.setColours(kPaleBlue, kDarkBlue, true);
    msg.setFont({"Verdana", 20.25, false});
    auto& exit = add(Kind::Label, "Label1", nullptr, "Exit", {0, 0, 1005, 375}, "Click to exit");
    exit.setColours(kPaleBlue, kDarkBlue, true);
    exit.setFont({"Verdana", 9.75, true});
    exit.onClick = [this] { app_.lockScreenExitClick(); };
    timer1().onTimer = [this] { app_.clockTick(); };
    list.onMouseDown = [this](const ui::Mouse& m) {
        lastMouseX = m.x;
        lastMouseY = m.y;
        lastMouseItem = m.item;
    };
    list.onDblClick = [this] { app_.launchAllowedProgram(); };
    timer2().onTimer = [this] { app_.watcherTick(); };
}

void FrmBig::layout() {
    const float w = static_cast<float>(app_.platform().system.screenWidthTwips());
    const float h = static_cast<float>(app_.platform().system.screenHeightTwips());
    ui::Control& exit = control("Label1");
    ui::Control& list = control("ListView1");
    ui::Control& msg = control("lblMessage");
    ui::Control& left = control("lblTimeLeft");
    exit.setRect(
        {static_cast<int>(w - 1000), static_cast<int>(h / 8 + 500), exit.rect().width, exit.rect().height});
    list.setRect({50, 50, static_cast<int>(w - 50), static_cast<int>(h / 8)});
    msg.setRect({static_cast<int>((w - 10000) / 2), static_cast<int>(list.rect().height + 2000),
                 msg.rect().width, msg.rect().height});
    left.setRect({static_cast<int>((w - 9000) / 2), static_cast<int>(2.0 / 3.0 * h), left.rect().width,
                  left.rect().height});
    setRect({0, 0, static_cast<int>(w), static_cast<int>(h)});
}

void FrmBig::placeExit() {
    const float h = static_cast<float>(app_.platform().system.screenHeightTwips());
    control("Label1").setTop(control("ListView1").visible() ? static_cast<int>(h / 8 + 500) : 500);
}

void FrmBig::onUnload() {
    app_.lockToWindow(0, 0);
    app_.unhookKeyboard();
}

}  // namespace qv
