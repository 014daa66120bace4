// The lock screen's background picture, chosen from the console, and the password change.
#include "console/frm_main.h"
#include "engine/password.h"
#include "lock/frm_big.h"
#include "platform/platform.h"

namespace qv {

namespace {
constexpr const char* kPictureFilter = "Pictures |*.jpg;*.bmp;*.gif";
}

// Shows the picture dialog. Cancelling it turns the option off; a file that is no picture
// changes nothing. Returns the loaded picture, or 0 when the handler is to stop.
PictureHandle FrmMain::choosePicture(int width, int height) {
    Platform& p = host_.platform();
    const OpenFileResult r = p.dialogs.openFile(nativeHandle(), kPictureFilter);
    if (r.cancelled) {
        chkBackPicture->setValue(0);
        lblBackPicture->setText("None");
        return 0;
    }
    backPicturePath = r.path;
    return p.pictures.load(backPicturePath, width, height);
}

void FrmMain::setLockScreenPicture(PictureHandle picture) {
    FrmBig& big = host_.frmBig();
    const PictureHandle old = big.picture();
    big.setPicture(picture);
    if (old && old != picture) host_.platform().pictures.release(old);
    chkBackPicture->setValue(1);
    lblBackPicture->setText(backPicturePath);
}

void FrmMain::backPictureMouseDown() {
    if (chkBackPicture->value() == 1) return;  // the click that follows just clears the box
    const PictureHandle picture = choosePicture(0, 0);
    if (!picture) return;
    setLockScreenPicture(picture);
    host_.previewLockScreen();
}

void FrmMain::editPictureClick() {
    ISystemInfo& sys = host_.platform().system;
    const PictureHandle picture = choosePicture(sys.screenWidthTwips() / sys.twipsPerPixelX(),
                                                sys.screenHeightTwips() / sys.twipsPerPixelY());
    if (picture) setLockScreenPicture(picture);
}

void FrmMain::changePasswordClick() {
    FrmPassword& dialog = host_.frmPassword();
    dialog.show();
    dialog.clearEntries();
}

}  // namespace qv
