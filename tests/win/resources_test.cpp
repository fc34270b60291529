// The program's own resources: both dialogs build on the platform, and the
// pictures are there in their sizes. (Control positions are not restated
// here: the pictures of every page in docs/screenshots show them.)
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "winsupport.h"

namespace {

TEST(Resources, DialogsIconAndPanelBitmap)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    for (int dialogId : {IDD_WIZARD, IDD_SHARED}) {
        HWND dialog = CreateDialogParamA(self, MAKEINTRESOURCEA(dialogId), nullptr,
                                         plainDialogProc, 0);
        EXPECT_NE(dialog, nullptr) << dialogId;
        EXPECT_NE(GetDlgItem(dialog, 1002), nullptr) << dialogId;
        DestroyWindow(dialog);
    }
    EXPECT_NE(LoadIconA(self, MAKEINTRESOURCEA(IDI_PROGRAM)), nullptr);
    for (int frame = 107; frame <= 130; ++frame)
        EXPECT_NE(LoadIconA(self, MAKEINTRESOURCEA(frame)), nullptr) << frame;
    HBITMAP panel = LoadBitmapA(self, MAKEINTRESOURCEA(IDB_PANEL));
    ASSERT_NE(panel, nullptr);
    BITMAP info;
    GetObjectA(panel, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 122);
    EXPECT_EQ(info.bmHeight, 262);
    DeleteObject(panel);
}

} // namespace
