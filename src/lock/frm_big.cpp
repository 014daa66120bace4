#include "lock/frm_big.h"

#include "platform/platform.h"

namespace qv {

using ui::Kind;

namespace {
constexpr ui::Colour kDarkBlue = ui::rgb(35, 60, 91);
constexpr ui::Colour kPaleBlue = ui::rgb(168, 229, 252);
}  // namespace

FrmBig::FrmBig(LockScreenHost& host)
    : ui::Form(host.session(), "frmBig"),
      timer2(addTimer("Timer2", 500, false)),
      timer1(addTimer("Timer1", 1000, false)),
      listView1(add(Kind::ListView, "ListView1", nullptr, "", {0, 0, 4000, 1440})),
      lblTimeLeft(add(Kind::Label, "lblTimeLeft", nullptr, "", {0, 0, 9000, 2895})),
      lblMessage(add(Kind::Label, "lblMessage", nullptr, "Message", {0, 0, 10000, 1575})),
      label1(add(Kind::Label, "Label1", nullptr, "Exit", {0, 0, 1005, 375}, "Click to exit")),
      host_(host) {
    setCaption("Form1");
    border = ui::BorderStyle::None;
    controlBox = false;
    centred = false;
    fullScreen = true;  // above other windows only while it is locked (the window lock does that)
    showInTaskbar = false;
    setBackColour(kDarkBlue);
    listView1.setColours(kPaleBlue, kDarkBlue, false);
    listView1.setFont({"Verdana", 8.25, true});
    lblTimeLeft.setColours(kPaleBlue, kDarkBlue, true);
    lblTimeLeft.setFont({"Verdana", 72, false});
    lblMessage.setColours(kPaleBlue, kDarkBlue, true);
    lblMessage.setFont({"Verdana", 20.25, false});
    label1.setColours(kPaleBlue, kDarkBlue, true);
    label1.setFont({"Verdana", 9.75, true});
    label1.onClick = [this] { host_.lockScreenExitClick(); };
    timer1.onTimer = [this] { host_.clockTick(); };
    listView1.onMouseDown = [this](const ui::Mouse& m) {
        lastMouseX = m.x;
        lastMouseY = m.y;
        lastMouseItem = m.item;
    };
    listView1.onDblClick = [this] { host_.launchAllowedProgram(); };
    timer2.onTimer = [this] { host_.watcherTick(); };
    // Monitors added, removed or changed: the screen is covered again.
    onMessage = [this](uint32_t message, intptr_t, intptr_t) {
        if (message != kDisplayChange) return;
        layout();
        placeExit();
    };
}

// The lock screen covers every monitor; what it says stands on the primary one, which lies at
// (0, 0) of the desktop, so inside the window at the desktop's offset.
void FrmBig::layout() {
    const ISystemInfo& sys = host_.platform().system;
    const ScreenArea all = sys.virtualScreenTwips();
    const int x0 = -all.left, y0 = -all.top;
    const float w = static_cast<float>(sys.screenWidthTwips());
    const float h = static_cast<float>(sys.screenHeightTwips());
    label1.setRect({x0 + static_cast<int>(w - 1000), y0 + static_cast<int>(h / 8 + 500), label1.rect().width,
                    label1.rect().height});
    listView1.setRect({x0 + 50, y0 + 50, static_cast<int>(w - 50), static_cast<int>(h / 8)});
    lblMessage.setRect({x0 + static_cast<int>((w - 10000) / 2),
                        y0 + static_cast<int>(listView1.rect().height + 2000), lblMessage.rect().width,
                        lblMessage.rect().height});
    lblTimeLeft.setRect({x0 + static_cast<int>((w - 9000) / 2), y0 + static_cast<int>(2.0 / 3.0 * h),
                         lblTimeLeft.rect().width, lblTimeLeft.rect().height});
    setRect({all.left, all.top, all.width, all.height});
}

void FrmBig::placeExit() {
    const ISystemInfo& sys = host_.platform().system;
    const float h = static_cast<float>(sys.screenHeightTwips());
    label1.setTop(-sys.virtualScreenTwips().top +
                  (listView1.visible() ? static_cast<int>(h / 8 + 500) : 500));
}

void FrmBig::onUnload() {
    host_.lockToWindow(0, 0);
    host_.unhookKeyboard();
}

}  // namespace qv
