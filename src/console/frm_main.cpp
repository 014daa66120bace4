#include "console/frm_main.h"

#include "console/plan_preview.h"
#include "console/systray.h"
#include "engine/console_state.h"
#include "engine/pass_enter.h"
#include "platform/platform.h"
#include "platform/resources.h"
#include "settings/convert.h"
#include "settings/reg_settings.h"
#include "settings/schema.h"
#include "week/game_day.h"
#include "week/week_plan.h"

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
    ConsoleControl member;  // the form's member bound to the control, if its code reaches it
};

const Row kLayout[] = {
    {"Frame6", Kind::Frame, "", " Modes ", "", 240, 240, 4815, 5535, nullptr},
    {"optEveryday", Kind::OptionButton, "Frame6", "Changing mode", "Changing mode", 120, 240, 1935, 375,
     &FrmMain::optEveryday},
    {"Label12", Kind::Label, "Frame6", "Game time (in minutes)", "", 600, 750, 2295, 255, nullptr},
    {"cmbGameTime", Kind::ComboBox, "Frame6", "", "", 3000, 720, 855, 315, &FrmMain::cmbGameTime},
    {"Label13", Kind::Label, "Frame6", "Break time (in minutes)", "", 600, 1080, 2295, 255, nullptr},
    {"cmbBreakTime", Kind::ComboBox, "Frame6", "", "", 3000, 1080, 855, 315, &FrmMain::cmbBreakTime},
    {"optOneTime", Kind::OptionButton, "Frame6", "One time mode", "One time mode", 120, 1440, 2415, 375,
     &FrmMain::optOneTime},
    {"Label14", Kind::Label, "Frame6", "Start at", "", 600, 1845, 735, 255, nullptr},
    {"Label10", Kind::Label, "Frame6", "(hour minute)", "", 1440, 1845, 1215, 255, nullptr},
    {"cmbStartTimeH", Kind::ComboBox, "Frame6", "", "", 2760, 1800, 855, 315, &FrmMain::cmbStartTimeH},
    {"cmbStartTimeM", Kind::ComboBox, "Frame6", "", "", 3840, 1800, 855, 315, &FrmMain::cmbStartTimeM},
    {"Label9", Kind::Label, "Frame6", "(month day)", "", 1440, 2205, 1095, 255, nullptr},
    {"cmbStartDateM", Kind::ComboBox, "Frame6", "", "", 2760, 2160, 855, 315, &FrmMain::cmbStartDateM},
    {"cmbStartDateD", Kind::ComboBox, "Frame6", "", "", 3840, 2160, 855, 315, &FrmMain::cmbStartDateD},
    {"Label1", Kind::Label, "Frame6", "Total time (in minutes)", "Game time duration ", 600, 2640, 2175, 255,
     nullptr},
    {"cmbTotalTime", Kind::ComboBox, "Frame6", "", "", 2760, 2640, 855, 315, &FrmMain::cmbTotalTime},
    {"optBedTime", Kind::OptionButton, "Frame6", "Bed time mode", "Bed time mode", 120, 2880, 2295, 375,
     &FrmMain::optBedTime},
    {"cmdWeek", Kind::Button, "Frame6", "Week...", "Game time a day and windows for each weekday", 3480, 2910,
     1095, 315, &FrmMain::cmdWeek},
    {"Label15", Kind::Label, "Frame6", "Start time the computer can be on", "", 600, 3240, 3375, 255,
     nullptr},
    {"Label16", Kind::Label, "Frame6", "(hour minute)", "", 1200, 3480, 1215, 255, nullptr},
    {"cmbStartH", Kind::ComboBox, "Frame6", "", "", 2520, 3480, 855, 315, &FrmMain::cmbStartH},
    {"cmbStartM", Kind::ComboBox, "Frame6", "", "", 3480, 3480, 855, 315, &FrmMain::cmbStartM},
    {"Label2", Kind::Label, "Frame6", "Latest time the computer can be on", "", 600, 3840, 3375, 255,
     nullptr},
    {"Label6", Kind::Label, "Frame6", "(hour minute)", "", 1200, 4200, 1215, 255, nullptr},
    {"cmbBedH", Kind::ComboBox, "Frame6", "", "", 2520, 4200, 855, 315, &FrmMain::cmbBedH},
    {"cmbBedM", Kind::ComboBox, "Frame6", "", "", 3480, 4200, 855, 315, &FrmMain::cmbBedM},
    {"chkShutDown", Kind::CheckBox, "Frame6", "Shut down the computer when the game time is over",
     "Shut down the computer when is break time. Only for One time and Bed time modes", 120, 4800, 3735, 495,
     &FrmMain::chkShutDown},
    {"Frame2", Kind::Frame, "", " Allowed Games and Programs ", "", 240, 5880, 4815, 1935, nullptr},
    {"lstAllowed", Kind::ListBox, "Frame2", "", "", 240, 480, 3015, 1230, &FrmMain::lstAllowed},
    {"cmdAdd", Kind::Button, "Frame2", "Add new", "Add new game or program to the list", 3480, 480, 1095, 350,
     &FrmMain::cmdAdd},
    {"Command3", Kind::Button, "Frame2", "Edit", "Edit the selected game or program", 3480, 960, 1095, 350,
     &FrmMain::command3},
    {"cmdDelete", Kind::Button, "Frame2", "Delete", "Delete the selected game or program", 3480, 1440, 1095,
     350, &FrmMain::cmdDelete},
    {"Frame4", Kind::Frame, "", " Allowance ", "", 240, 7920, 4815, 1095, nullptr},
    {"optOnlyListed", Kind::OptionButton, "Frame4", "Allow only listed games and programs", "", 240, 240,
     3615, 375, &FrmMain::optOnlyListed},
    {"optEverything", Kind::OptionButton, "Frame4", "Allow everthing", "", 240, 600, 2775, 375,
     &FrmMain::optEverything},
    {"Frame8", Kind::Frame, "", " Commands ", "", 5160, 240, 4455, 2175, nullptr},
    {"Command1", Kind::Button, "Frame8", "Start", "Start the console", 240, 480, 1695, 375,
     &FrmMain::command1},
    {"Command8", Kind::Button, "Frame8", "Help", "Launch help", 2400, 480, 1695, 375, &FrmMain::command8},
    {"Command2", Kind::Button, "Frame8", "Close", "Close the console", 240, 960, 1695, 375,
     &FrmMain::command2},
    {"Command4", Kind::Button, "Frame8", "Minimize", "Minimize the console", 2400, 960, 1695, 375,
     &FrmMain::command4},
    {"chkLaunch", Kind::CheckBox, "Frame8", "Launch on Windows Startup",
     "Launch Quorvane when Windows starts", 240, 1800, 3735, 255, &FrmMain::chkLaunch},
    {"Frame3", Kind::Frame, "", " Password ", "", 5160, 2520, 4455, 975, nullptr},
    {"Command6", Kind::Button, "Frame3", "Change password", "Click to change the password", 2400, 360, 1695,
     375, &FrmMain::command6},
    {"cmdHistory", Kind::Button, "Frame3", "History", "What happened while plans ran", 240, 360, 1695, 375,
     &FrmMain::cmdHistory},
    {"Frame7", Kind::Frame, "", " Sounds ", "", 5160, 3600, 4455, 1455, nullptr},
    {"chkRingStart", Kind::CheckBox, "Frame7", "Signal when game time begins", "Signal when game time begins",
     120, 480, 3735, 255, &FrmMain::chkRingStart},
    {"chkRingEnd", Kind::CheckBox, "Frame7", "Signal when game time is about to end",
     "Signal when game time is about to end", 120, 720, 3735, 375, &FrmMain::chkRingEnd},
    {"Frame5", Kind::Frame, "", " Locked screen ", "", 5160, 5160, 4455, 3855, nullptr},
    {"chkShowTime", Kind::CheckBox, "Frame5", "Show time left on the locked screen",
     "Show the time left on the locked screen", 240, 360, 3615, 255, &FrmMain::chkShowTime},
    {"chkBackPicture", Kind::CheckBox, "Frame5", "Background picture",
     "Check to see a background picture on the locked screen", 240, 840, 2535, 255, &FrmMain::chkBackPicture},
    {"Command7", Kind::Button, "Frame5", "Edit", "Edit the background picture", 3000, 840, 1095, 375,
     &FrmMain::command7},
    {"lblBackPicture", Kind::Label, "Frame5", "None", "", 480, 1080, 3135, 255, &FrmMain::lblBackPicture},
    {"Label3", Kind::Label, "Frame5", "Message", "", 240, 1440, 975, 255, nullptr},
    {"txtMessage", Kind::TextBox, "Frame5", "", "Message that will appear on the locked screen", 240, 1680,
     3855, 1935, &FrmMain::txtMessage},
    {"lblPassword", Kind::Label, "", "Label2", "", 4800, 20000, 1935, 495, &FrmMain::lblPassword},
    // Below the frames, leaving the bottom right corner free.
    {"txtPlanPreview", Kind::TextBox, "", "", "What the plan will do if Start is pressed now", 240, 9105,
     7560, 645, &FrmMain::txtPlanPreview},
};

// The controls whose changes change the plan: the preview follows each of them.
const ConsoleControl kPlanControls[] = {
    &FrmMain::optEveryday,   &FrmMain::cmbGameTime,   &FrmMain::cmbBreakTime,  &FrmMain::optOneTime,
    &FrmMain::cmbStartTimeH, &FrmMain::cmbStartTimeM, &FrmMain::cmbStartDateM, &FrmMain::cmbStartDateD,
    &FrmMain::cmbTotalTime,  &FrmMain::optBedTime,    &FrmMain::cmbStartH,     &FrmMain::cmbStartM,
    &FrmMain::cmbBedH,       &FrmMain::cmbBedM,       &FrmMain::chkShutDown,   &FrmMain::optOnlyListed,
    &FrmMain::optEverything,
};

const ConsoleControl kTabOrder[] = {
    &FrmMain::lstAllowed,    &FrmMain::cmdAdd,        &FrmMain::cmdDelete,     &FrmMain::command3,
    &FrmMain::command1,      &FrmMain::command2,      &FrmMain::command4,      &FrmMain::command8,
    &FrmMain::chkLaunch,     &FrmMain::optBedTime,    &FrmMain::optEveryday,   &FrmMain::optOneTime,
    &FrmMain::optEverything, &FrmMain::optOnlyListed, &FrmMain::command6,      &FrmMain::chkBackPicture,
    &FrmMain::command7,      &FrmMain::chkShowTime,   &FrmMain::txtMessage,    &FrmMain::chkRingEnd,
    &FrmMain::chkRingStart,  &FrmMain::cmbGameTime,   &FrmMain::cmbBedM,       &FrmMain::cmbBedH,
    &FrmMain::cmbStartDateD, &FrmMain::cmbStartDateM, &FrmMain::cmbStartTimeM, &FrmMain::cmbStartTimeH,
    &FrmMain::cmbTotalTime,  &FrmMain::cmbBreakTime,  &FrmMain::cmbStartH,     &FrmMain::cmbStartM,
    &FrmMain::chkShutDown,   &FrmMain::cmdWeek,       &FrmMain::cmdHistory,
};

}  // namespace

FrmMain::FrmMain(ConsoleHost& host)
    : ui::Form(host.session(), "frmMain"),
      timer1(addTimer("Timer1", 100, true)),
      timer2(addTimer("Timer2", 1000, false)),
      host_(host) {
    build();
    wire();
}

void FrmMain::build() {
    setCaption("Quorvane 1.0");
    setClientSize(9855, 9825);
    setIcon(res::kIconMain);
    for (const Row& r : kLayout) {
        // A frame is listed before the controls it holds.
        ui::Control* in = *r.in ? &control(r.in) : nullptr;
        ui::Control& ctl = add(r.kind, r.name, in, r.caption, {r.left, r.top, r.width, r.height}, r.tooltip);
        if (r.member) this->*r.member = &ctl;
        if (r.kind == Kind::OptionButton && std::string(r.in) == "Frame6")
            ctl.setFont({"Verdana", 8.25, true});
    }
    command1->setFont({"Verdana", 8.25, true});
    int tab = 0;
    for (ConsoleControl member : kTabOrder) (this->*member)->tabIndex = tab++;
    chkShowTime->setValue(1);
    txtMessage->multiLine = true;
    txtMessage->setText("A friend in need is a friend indeed\r\n");
    txtPlanPreview->multiLine = true;
    txtPlanPreview->readOnly = true;
}

void FrmMain::wire() {
    command1->onClick = [this] { host_.startCommand(); };
    command2->onClick = [this] { host_.closeCommand(); };
    command4->onClick = [this] { minimizeClick(); };
    command8->onClick = [this] { helpClick(); };
    optEveryday->onClick = [this] {
        enableChangingMode();
        refreshPreview();
    };
    optOneTime->onClick = [this] {
        enableOneTimeMode();
        refreshPreview();
    };
    optBedTime->onClick = [this] {
        enableBedTimeMode();
        refreshPreview();
    };
    cmbStartDateM->onClick = [this] {
        startMonthClick();
        refreshPreview();
    };
    chkLaunch->onMouseDown = [this](const ui::Mouse&) { launchMouseDown(); };
    chkBackPicture->onMouseDown = [this](const ui::Mouse&) { backPictureMouseDown(); };
    command7->onClick = [this] { editPictureClick(); };
    command6->onClick = [this] { changePasswordClick(); };
    cmdHistory->onClick = [this] { host_.showHistory(); };
    cmdAdd->onClick = [this] { host_.addNewClick(); };
    command3->onClick = [this] { host_.editClick(); };
    cmdDelete->onClick = [this] { host_.deleteClick(); };
    cmdWeek->onClick = [this] { host_.weekClick(); };
    onMouseMove = [this](const ui::Mouse& m) { trayMessage(m); };
    // The icon belongs to this window: unloading it from the close box would leave the program
    // running with no way back to it. The close box is Minimize; only Close ends the program.
    closeBoxHides = true;
    onMessage = [this](uint32_t message, intptr_t, intptr_t) {
        if (message == kTaskbarCreated) host_.sysTray().shellRestarted(*this);
        if (message == kCloseBox) minimizeClick();
    };
    const auto refresh = [this] { refreshPreview(); };
    for (ConsoleControl member : kPlanControls) {
        ui::Control& c = *(this->*member);
        if (!c.onClick) c.onClick = refresh;  // the options and the month refresh in their handlers
        if (c.kind() == Kind::ComboBox) c.onChange = refresh;  // a typed value
    }
    timer1.onTimer = [this] { iconRefreshTick(); };
    timer2.onTimer = [this] { host_.resumeTick(); };
}

void FrmMain::onLoad() {
    host_.consoleLoad();
}

void FrmMain::onUnload() {
    host_.consoleUnload();
}

// The Run value may have been written or removed since the console was last shown (by the setup,
// by an administrator, by another account's Quorvane).
void FrmMain::show() {
    showStartUpRegistration();
    refreshPreview();  // time has passed since the plan was last put into words
    ui::Form::show();
}

void FrmMain::showStartUpRegistration() {
    chkLaunch->setValue(host_.settings().startUpRegistered() ? 1 : 0);
}

void FrmMain::fillPickers() {
    static const int kPlayMinutes[] = {0,  1,   5,   10,  15,  20,  30,  40,  50,  60,  70,  80,
                                       90, 100, 120, 140, 160, 180, 210, 240, 270, 300, 350, 400};
    static const int kTotalMinutes[] = {0, 1, 10, 20, 30, 45, 60, 90, 120, 150, 180, 210, 240, 300, 360, 420};
    cmbGameTime->clear();
    for (int v : kPlayMinutes) cmbGameTime->addItem(std::to_string(v));
    cmbBreakTime->clear();
    for (int v : kPlayMinutes) cmbBreakTime->addItem(std::to_string(v));
    cmbTotalTime->clear();
    for (int v : kTotalMinutes) cmbTotalTime->addItem(std::to_string(v));
    for (int m = 1; m <= 12; ++m) cmbStartDateM->addItem(std::to_string(m));
    for (int h = 1; h <= 24; ++h) {
        cmbStartTimeH->addItem(std::to_string(h));
        cmbStartH->addItem(std::to_string(h));
        cmbBedH->addItem(std::to_string(h));
    }
    for (int m = 0; m <= 59; ++m) {
        cmbStartTimeM->addItem(std::to_string(m));
        cmbBedM->addItem(std::to_string(m));
        cmbStartM->addItem(std::to_string(m));
    }
}

void FrmMain::fillDayList(int16_t month) {
    ui::Control& day = *cmbStartDateD;
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
            extra = host_.platform().clock.now().year % 4 == 0 ? 1 : 0;
            break;
        default:
            break;
    }
    for (int d = 29; d < 29 + extra; ++d) day.addItem(std::to_string(d));
    day.setText(host_.settings().GetSetting(sect::kControls, "StartDay", "1"));
}

void FrmMain::startMonthClick() {
    fillDayList(leadingInt16(cmbStartDateM->text()));
    cmbStartDateD->setText("1");
}

void FrmMain::setModeLists(bool changing, bool oneTime, bool bedTime) {
    cmbGameTime->setEnabled(changing);
    cmbBreakTime->setEnabled(changing);
    cmbStartDateD->setEnabled(oneTime);
    cmbStartDateM->setEnabled(oneTime);
    cmbStartTimeH->setEnabled(oneTime);
    cmbStartTimeM->setEnabled(oneTime);
    cmbTotalTime->setEnabled(oneTime);
    cmbStartH->setEnabled(bedTime);
    cmbStartM->setEnabled(bedTime);
    cmbBedH->setEnabled(bedTime);
    cmbBedM->setEnabled(bedTime);
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
    if (optOneTime->value()) {
        enableOneTimeMode();
    } else if (optEveryday->value()) {
        enableChangingMode();
    } else {
        enableBedTimeMode();
    }
}

PlanChoice FrmMain::planChoice() const {
    PlanChoice c;
    if (optEveryday->value()) {
        c.mode = PlanMode::Changing;
    } else if (optOneTime->value()) {
        c.mode = PlanMode::OneTime;
    } else if (optBedTime->value()) {
        c.mode = PlanMode::BedTime;
    }
    c.gameSeconds = leadingMinutesAsSeconds(cmbGameTime->text());
    c.breakSeconds = leadingMinutesAsSeconds(cmbBreakTime->text());
    c.startMonth = leadingInt16(cmbStartDateM->text());
    c.startDay = leadingInt16(cmbStartDateD->text());
    c.startHour = leadingInt16(cmbStartTimeH->text());
    c.startMinute = leadingInt16(cmbStartTimeM->text());
    c.totalMinutes = leadingInt16(cmbTotalTime->text());
    c.bedStartH = leadingInt16(cmbStartH->text());
    c.bedStartM = leadingInt16(cmbStartM->text());
    c.bedH = leadingInt16(cmbBedH->text());
    c.bedM = leadingInt16(cmbBedM->text());
    c.onlyListed = optOnlyListed->value() != 0;
    c.everything = optEverything->value() != 0;
    c.listEmpty = lstAllowed->items().empty();
    c.shutDown = chkShutDown->value() != 0;
    return c;
}

void FrmMain::refreshPreview() {
    const PlanChoice choice = planChoice();
    PlanPreview preview(choice, host_.platform().clock.now());
    if (!host_.weekPlan().empty()) preview.addSentence(host_.weekPlan().describe());
    const int32_t left = choice.mode == PlanMode::Changing && host_.weekPlan().hasLimits()
                             ? host_.gameSecondsLeftToday()
                             : GameDay::kNoLimit;
    if (left == GameDay::kNoLimit) {
    } else if (left <= 0) {
        preview.addSentence("Today's game time is used up: Start locks until midnight.");
    } else {
        const int minutes = static_cast<int>((int64_t{left} + 59) / 60);
        preview.addSentence("Left today: " + std::to_string(minutes) +
                            (minutes == 1 ? " minute" : " minutes") + " of game time.");
    }
    txtPlanPreview->setText(preview.text());
}

void FrmMain::minimizeClick() {
    host_.setConsoleState(state::kIdle);
    hide();
}

void FrmMain::helpClick() {
    host_.showHelp(nativeHandle(), 1);
}

void FrmMain::launchMouseDown() {
    // Runs before the click changes the box, so it acts on the state the click is about to leave.
    // When Windows refuses (a standard account may not write the machine's Run key), the parent is
    // told how to get it done; the message takes the button's release, so the box stays as it was.
    const bool removing = chkLaunch->value() == 1;
    if (removing ? host_.settings().deleteStartUp() : host_.settings().makeStartUp()) return;
    host_.platform().dialogs.messageBox(
        nativeHandle(),
        std::string(removing ? "Quorvane could not remove its start with Windows"
                             : "Quorvane could not register itself to start with Windows") +
            ": that needs an administrator's rights. Run Quorvane's setup as an administrator and choose "
            "\"Start Quorvane when anyone logs on\" there, or change this box from an administrator's "
            "account.",
        res::kProductName, 0);
}

// The icon's mouse messages. The balloon says "Click on the icon to begin", so a left click opens
// the menu as well as the right one.
void FrmMain::trayMessage(const ui::Mouse& m) {
    SysTray& tray = host_.sysTray();
    if (!tray.bRunningInTray || menuOpen_) return;  // the rest of a double click finds it open
    const int message = static_cast<int>(m.x / host_.platform().system.twipsPerPixelX());
    if (message == kRightButtonUp || message == kLeftButtonUp) {
        host_.platform().tray.setForeground(nativeHandle());
        FrmMenuSystray& menu = host_.frmMenuSystray();
        menuOpen_ = true;
        menu.popupMenu(menu.mnuMenuMain, m.x, m.y);
        menuOpen_ = false;
    }
}

// Re-sends the icon to the notification area for about three seconds after start-up, borrowing
// the password request's icon (the same picture); that loads the request window, hidden.
void FrmMain::iconRefreshTick() {
    SysTray& tray = host_.sysTray();
    if (tray.iconRefreshCount < 1) {
        setIcon(host_.frmPassEnter().icon());
        timer1.setEnabled(false);
        return;
    }
    if (tray.iconRefreshCount % 2 == 0) setIcon(host_.frmPassEnter().icon());
    tray.RestoreIcon(*this);
    --tray.iconRefreshCount;
}

}  // namespace qv
