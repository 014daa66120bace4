#include "console/frm_main.h"

#include "console/systray.h"
#include "engine/app.h"
#include "engine/pass_enter.h"
#include "platform/resources.h"
#include "settings/convert.h"
#include "settings/reg_settings.h"
#include "settings/schema.h"

namespace qv {

using ui::Kind;

namespace {

// One row of the console's layout: positions in twips, relative to the frame named in `in`.
struct Row {
    const char* name;
    Kind kind;
    const char* in;
    const char* caption;
    const char* tooltip;
    int left, top, width, height;
};

const Row kLayout[] = {
    {"Frame6", Kind::Frame, "", " Modes ", "", 240, 240, 4815, 5535},
    {"optEveryday", Kind::OptionButton, "Frame6", "Changing mode", "Changing mode", 120, 240, 1935, 375},
    {"Label12", Kind::Label, "Frame6", "Game time (in minutes)", "", 600, 750, 2295, 255},
    {"cmbGameTime", Kind::ComboBox, "Frame6", "", "", 3000, 720, 855, 315},
    {"Label13", Kind::Label, "Frame6", "Break time (in minutes)", "", 600, 1080, 2295, 255},
    {"cmbBreakTime", Kind::ComboBox, "Frame6", "", "", 3000, 1080, 855, 315},
    {"optOneTime", Kind::OptionButton, "Frame6", "One time mode", "One time mode", 120, 1440, 2415, 375},
    {"Label14", Kind::Label, "Frame6", "Start at", "", 600, 1845, 735, 255},
    {"Label10", Kind::Label, "Frame6", "(hour minute)", "", 1440, 1845, 1215, 255},
    {"cmbStartTimeH", Kind::ComboBox, "Frame6", "", "", 2760, 1800, 855, 315},
    {"cmbStartTimeM", Kind::ComboBox, "Frame6", "", "", 3840, 1800, 855, 315},
    {"Label9", Kind::Label, "Frame6", "(month day)", "", 1440, 2205, 1095, 255},
    {"cmbStartDateM", Kind::ComboBox, "Frame6", "", "", 2760, 2160, 855, 315},
    {"cmbStartDateD", Kind::ComboBox, "Frame6", "", "", 3840, 2160, 855, 315},
    {"Label1", Kind::Label, "Frame6", "Total time (in minutes)", "Game time duration ", 600, 2640, 2175, 255},
    {"cmbTotalTime", Kind::ComboBox, "Frame6", "", "", 2760, 2640, 855, 315},
    {"optBedTime", Kind::OptionButton, "Frame6", "Bed time mode", "Bed time mode", 120, 2880, 2295, 375},
    {"Label15", Kind::Label, "Frame6", "Start time the computer can be on", "", 600, 3240, 3375, 255},
    {"Label16", Kind::Label, "Frame6", "(hour minute)", "", 1200, 3480, 1215, 255},
    {"cmbStartH", Kind::ComboBox, "Frame6", "", "", 2520, 3480, 855, 315},
    {"cmbStartM", Kind::ComboBox, "Frame6", "", "", 3480, 3480, 855, 315},
    {"Label2", Kind::Label, "Frame6", "Latest time the computer can be on", "", 600, 3840, 3375, 255},
    {"Label6", Kind::Label, "Frame6", "(hour minute)", "", 1200, 4200, 1215, 255},
    {"cmbBedH", Kind::ComboBox, "Frame6", "", "", 2520, 4200, 855, 315},
    {"cmbBedM", Kind::ComboBox, "Frame6", "", "", 3480, 4200, 855, 315},
    {"chkShutDown", Kind::CheckBox, "Frame6", "Shut down the computer when the game time is over",
     "Shut down the computer when is break time. Only for One time and Bed time modes", 120, 4800, 3735, 495},
    {"Frame2", Kind::Frame, "", " Allowed Games and Programs ", "", 240, 5880, 4815, 1935},
    {"lstAllowed", Kind::ListBox, "Frame2", "", "", 240, 480, 3015, 1230},
    {"cmdAdd", Kind::Button, "Frame2", "Add new", "Add new game or program to the list", 3480, 480, 1095,
     350},
    {"Command3", Kind::Button, "Frame2", "Edit", "Edit the selected game or program", 3480, 960, 1095, 350},
    {"cmdDelete", Kind::Button, "Frame2", "Delete", "Delete the selected game or program", 3480, 1440, 1095,
     350},
    {"Frame4", Kind::Frame, "", " Allowance ", "", 240, 7920, 4815, 1095},
    {"optOnlyListed", Kind::OptionButton, "Frame4", "Allow only listed games and programs", "", 240, 240,
     3615, 375},
    {"optEverything", Kind::OptionButton, "Frame4", "Allow everthing", "", 240, 600, 2775, 375},
    {"Frame8", Kind::Frame, "", " Commands ", "", 5160, 240, 4455, 2175},
    {"Command1", Kind::Button, "Frame8", "Start", "Start the console", 240, 480, 1695, 375},
    {"Command8", Kind::Button, "Frame8", "Help", "Launch help", 2400, 480, 1695, 375},
    {"Command2", Kind::Button, "Frame8", "Close", "Close the console", 240, 960, 1695, 375},
    {"Command4", Kind::Button, "Frame8", "Minimize", "Minimize the console", 2400, 960, 1695, 375},
    {"chkLaunch", Kind::CheckBox, "Frame8", "Launch on Windows Startup",
     "Launch Quorvane when Windows starts", 240, 1800, 3735, 255},
    {"Frame3", Kind::Frame, "", " Password ", "", 5160, 2520, 4455, 975},
    {"Command6", Kind::Button, "Frame3", "Change password", "Click to change the password", 2400, 360, 1695,
     375},
    {"Frame7", Kind::Frame, "", " Sounds ", "", 5160, 3600, 4455, 1455},
    {"chkRingStart", Kind::CheckBox, "Frame7", "Signal when game time begins", "Signal when game time begins",
     120, 480, 3735, 255},
    {"chkRingEnd", Kind::CheckBox, "Frame7", "Signal when game time is about to end",
     "Signal when game time is about to end", 120, 720, 3735, 375},
    {"Frame5", Kind::Frame, "", " Locked screen ", "", 5160, 5160, 4455, 3855},
    {"chkShowTime", Kind::CheckBox, "Frame5", "Show time left on the locked screen",
     "Show the time left on the locked screen", 240, 360, 3615, 255},
    {"chkBackPicture", Kind::CheckBox, "Frame5", "Background picture",
     "Check to see a background picture on the locked screen", 240, 840, 2535, 255},
    {"Command7", Kind::Button, "Frame5", "Edit", "Edit the background picture", 3000, 840, 1095, 375},
    {"lblBackPicture", Kind::Label, "Frame5", "None", "", 480, 1080, 3135, 255},
    {"Label3", Kind::Label, "Frame5", "Message", "", 240, 1440, 975, 255},
    {"txtMessage", Kind::TextBox, "Frame5", "", "Message that will appear on the locked screen", 240, 1680,
     3855, 1935},
    {"lblPassword", Kind::Label, "", "Label2", "", 4800, 20000, 1935, 495},
};

const char* const kTabOrder[] = {
    "lstAllowed",    "cmdAdd",        "cmdDelete",     "Command3",       "Command1",     "Command2",
    "Command4",      "Command8",      "chkLaunch",     "optBedTime",     "optEveryday",  "optOneTime",
    "optEverything", "optOnlyListed", "Command6",      "chkBackPicture", "Command7",     "chkShowTime",
    "txtMessage",    "chkRingEnd",    "chkRingStart",  "cmbGameTime",    "cmbBedM",      "cmbBedH",
    "cmbStartDateD", "cmbStartDateM", "cmbStartTimeM", "cmbStartTimeH",  "cmbTotalTime", "cmbBreakTime",
    "cmbStartH",     "cmbStartM",     "chkShutDown",
};

}  // namespace

FrmMain::FrmMain(App& app) : ui::Form(app.session(), "frmMain"), app_(app) {
    build();
    wire();
}

void FrmMain::build() {
    setCaption("Quorvane 1.0");
    setClientSize(9855, 9225);
    setIcon(res::kIconMain);
    for (const Row& r : kLayout) {
        ui::Control* in = *r.in ? find(r.in) : nullptr;
        ui::Control& ctl = add(r.kind, r.name, in, r.caption, {r.left, r.top, r.width, r.height}, r.tooltip);
        if (r.kind == Kind::OptionButton && std::string(r.in) == "Frame6")
            ctl.setFont({"Verdana", 8.25, true});
    }
    c("Command1").setFont({"Verdana", 8.25, true});
    int tab = 0;
    for (const char* name : kTabOrder) c(name).tabIndex = tab++;
    c("chkShowTime").setValue(1);
    c("txtMessage").multiLine = true;
    c("txtMessage").setText("A friend in need is a friend indeed\r\n");
    addTimer("Timer1", 100, true);
    addTimer("Timer2", 1000, false);
}

void FrmMain::wire() {
    c("Command1").onClick = [this] { app_.startCommand(); };
    c("Command2").onClick = [this] { app_.closeCommand(); };
    c("Command4").onClick = [this] { minimizeClick(); };
    c("Command8").onClick = [this] { helpClick(); };
    c("optEveryday").onClick = [this] { enableChangingMode(); };
    c("optOneTime").onClick = [this] { enableOneTimeMode(); };
    c("optBedTime").onClick = [this] { enableBedTimeMode(); };
    c("cmbStartDateM").onClick = [this] { startMonthClick(); };
    c("chkLaunch").onMouseDown = [this](const ui::Mouse&) { launchMouseDown(); };
    c("chkBackPicture").onMouseDown = [this](const ui::Mouse&) { backPictureMouseDown(); };
    c("Command7").onClick = [this] { editPictureClick(); };
    c("Command6").onClick = [this] { changePasswordClick(); };
    c("cmdAdd").onClick = [this] { app_.addNewClick(); };
    c("Command3").onClick = [this] { app_.editClick(); };
    c("cmdDelete").onClick = [this] { app_.deleteClick(); };
    onMouseMove = [this](const ui::Mouse& m) { trayMessage(m); };
    timer1().onTimer = [this] { iconRefreshTick(); };
    timer2().onTimer = [this] { app_.resumeTick(); };
}

void FrmMain::onLoad() {
    app_.consoleLoad();
}

void FrmMain::onUnload() {
    app_.consoleUnload();
}

void FrmMain::fillPickers() {
    static const int kPlayMinutes[] = {0,  1,   5,   10,  15,  20,  30,  40,  50,  60,  70,  80,
                                       90, 100, 120, 140, 160, 180, 210, 240, 270, 300, 350, 400};
    static const int kTotalMinutes[] = {0, 1, 10, 20, 30, 45, 60, 90, 120, 150, 180, 210, 240, 300, 360, 420};
    c("cmbGameTime").clear();
    for (int v : kPlayMinutes) c("cmbGameTime").addItem(std::to_string(v));
    c("cmbBreakTime").clear();
    for (int v : kPlayMinutes) c("cmbBreakTime").addItem(std::to_string(v));
    c("cmbTotalTime").clear();
    for (int v : kTotalMinutes) c("cmbTotalTime").addItem(std::to_string(v));
    for (int m = 1; m <= 12; ++m) c("cmbStartDateM").addItem(std::to_string(m));
    for (int h = 1; h <= 24; ++h) {
        c("cmbStartTimeH").addItem(std::to_string(h));
        c("cmbStartH").addItem(std::to_string(h));
        c("cmbBedH").addItem(std::to_string(h));
    }
    for (int m = 0; m <= 59; ++m) {
        c("cmbStartTimeM").addItem(std::to_string(m));
        c("cmbBedM").addItem(std::to_string(m));
        c("cmbStartM").addItem(std::to_string(m));
    }
}

void FrmMain::fillDayList(int16_t month) {
    ui::Control& day = c("cmbStartDateD");
    day.clear();
    for (int d = 1; d <= 28; ++d) day.addItem(std::to_string(d));
    int extra = 0;
    switch (month) {
        case 1:
        case 3:
        case 5:
        case 7:
        case 8:
        case 10:
        case 12:
            extra = 3;
            break;
        case 4:
        case 6:
        case 9:
        case 11:
            extra = 2;
            break;
        case 2:
            extra = app_.platform().clock.now().year % 4 == 0 ? 1 : 0;
            break;
        default:
            break;
    }
    for (int d = 29; d < 29 + extra; ++d) day.addItem(std::to_string(d));
    day.setText(app_.settings().GetSetting(sect::kControls, "StartDay", "1"));
}

void FrmMain::startMonthClick() {
    fillDayList(leadingInt16(c("cmbStartDateM").text()));
    c("cmbStartDateD").setText("1");
}

void FrmMain::setModeLists(bool changing, bool oneTime, bool bedTime) {
    c("cmbGameTime").setEnabled(changing);
    c("cmbBreakTime").setEnabled(changing);
    c("cmbStartDateD").setEnabled(oneTime);
    c("cmbStartDateM").setEnabled(oneTime);
    c("cmbStartTimeH").setEnabled(oneTime);
    c("cmbStartTimeM").setEnabled(oneTime);
    c("cmbTotalTime").setEnabled(oneTime);
    c("cmbStartH").setEnabled(bedTime);
    c("cmbStartM").setEnabled(bedTime);
    c("cmbBedH").setEnabled(bedTime);
    c("cmbBedM").setEnabled(bedTime);
}

void FrmMain::enableChangingMode() {
    setModeLists(true, false, false);
}
void FrmMain::enableOneTimeMode() {
    setModeLists(false, true, false);
}
void FrmMain::enableBedTimeMode() {
    setModeLists(false, false, true);
}

void FrmMain::applySelectedMode() {
    if (c("optOneTime").value()) {
        enableOneTimeMode();
    } else if (c("optEveryday").value()) {
        enableChangingMode();
    } else {
        enableBedTimeMode();
    }
}

void FrmMain::minimizeClick() {
    app_.setConsoleState(state::kIdle);
    hide();
}

void FrmMain::helpClick() {
    app_.showHelp(nativeHandle(), 1);
}

void FrmMain::launchMouseDown() {
    // Runs before the click changes the box, so it acts on the state the click is about to leave.
    if (c("chkLaunch").value() == 1) {
        app_.settings().deleteStartUp();
    } else {
        app_.settings().makeStartUp();
    }
}

// The icon's mouse messages. The balloon says "Click on the icon to begin", so a left click opens
// the menu as well as the right one.
void FrmMain::trayMessage(const ui::Mouse& m) {
    SysTray& tray = app_.sysTray();
    if (!tray.bRunningInTray || menuOpen_) return;  // the rest of a double click finds it open
    const int message = static_cast<int>(m.x / app_.platform().system.twipsPerPixelX());
    if (message == kRightButtonUp || message == kLeftButtonUp) {
        app_.platform().tray.setForeground(nativeHandle());
        FrmMenuSystray& menu = app_.frmMenuSystray();
        menuOpen_ = true;
        menu.popupMenu(menu.item("mnuMenuMain"), m.x, m.y);
        menuOpen_ = false;
    }
}

// Re-sends the icon to the notification area for about three seconds after start-up, borrowing
// the password request's icon (the same picture); that loads the request window, hidden.
void FrmMain::iconRefreshTick() {
    SysTray& tray = app_.sysTray();
    if (tray.iconRefreshCount < 1) {
        setIcon(app_.frmPassEnter().icon());
        timer1().setEnabled(false);
        return;
    }
    if (tray.iconRefreshCount % 2 == 0) setIcon(app_.frmPassEnter().icon());
    tray.RestoreIcon(*this);
    --tray.iconRefreshCount;
}

}  // namespace qv
