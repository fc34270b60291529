// The dialog templates as the program's resources hold them: control ids,
// classes, styles, positions in dialog units, and the template (tab) order.
// The templates are read from the resource itself: a created dialog would
// show the window manager's changes (Wine, like Windows, moves a child's
// WS_BORDER into WS_EX_CLIENTEDGE and drops unused scroll-bar styles).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "winsupport.h"

namespace {

struct Control {
    int id;
    std::string cls;    // "Button", "Static", "ListBox" (from the class atom)
    DWORD style;
    short x, y, cx, cy;
};

struct Template {
    DWORD style;
    short x, y, cx, cy;
    std::string caption;
    short pointSize;
    std::string face;
    std::vector<Control> controls;
};

// Reads a template string: 0xFFFF and an ordinal, or UTF-16 text.
const WORD* readName(const WORD* at, std::string* text, WORD* ordinal)
{
    if (*at == 0xFFFF) {
        if (ordinal)
            *ordinal = at[1];
        return at + 2;
    }
    for (; *at; ++at)
        if (text)
            text->push_back(static_cast<char>(*at));
    return at + 1;
}

Template readTemplate(int resource)
{
    Template t = {};
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(resource), MAKEINTRESOURCEA(5));   // RT_DIALOG
    if (!found)
        return t;
    auto* header = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, found)));
    t.style = header->style;
    t.x = header->x;
    t.y = header->y;
    t.cx = header->cx;
    t.cy = header->cy;
    auto* at = reinterpret_cast<const WORD*>(header + 1);
    at = readName(at, nullptr, nullptr);    // menu
    at = readName(at, nullptr, nullptr);    // class
    at = readName(at, &t.caption, nullptr);
    if (t.style & DS_SETFONT) {
        t.pointSize = static_cast<short>(*at++);
        at = readName(at, &t.face, nullptr);
    }
    for (int i = 0; i < header->cdit; ++i) {
        at = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(at) + 3) & ~static_cast<UINT_PTR>(3));
        auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(at);
        Control c = {static_cast<short>(item->id), "", item->style, item->x, item->y, item->cx, item->cy};
        at = reinterpret_cast<const WORD*>(item + 1);
        WORD atom = 0;
        at = readName(at, &c.cls, &atom);
        if (atom == 0x80) c.cls = "Button";
        if (atom == 0x82) c.cls = "Static";
        if (atom == 0x83) c.cls = "ListBox";
        at = readName(at, nullptr, nullptr);   // text
        WORD extra = *at++;
        at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(at) + extra);
        t.controls.push_back(c);
    }
    return t;
}

const DWORD kDialogStyle = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kText = kChild | SS_LEFT | SS_NOPREFIX | WS_GROUP;

void checkTemplate(int resource, short cx, short cy, const std::vector<Control>& expected)
{
    Template t = readTemplate(resource);
    EXPECT_EQ(t.style, kDialogStyle);
    EXPECT_EQ(t.cx, cx);
    EXPECT_EQ(t.cy, cy);
    EXPECT_EQ(t.caption, "");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.face, "MS Sans Serif");
    ASSERT_EQ(t.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control& want = expected[i];
        const Control& got = t.controls[i];
        SCOPED_TRACE(testing::Message() << "control #" << i << " id " << want.id);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(lstrcmpiA(got.cls.c_str(), want.cls.c_str()), 0) << got.cls;   // class names ignore case
        EXPECT_EQ(got.style, want.style) << std::hex << got.style << " != " << want.style;
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
    }
    // And the platform builds a dialog from it.
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), nullptr,
                                     plainDialogProc, 0);
    EXPECT_NE(dialog, nullptr);
    DestroyWindow(dialog);
}

TEST(Resources, WizardDialog)
{
    const DWORD push = kChild | WS_TABSTOP | BS_PUSHBUTTON;
    const DWORD radio = kChild | BS_AUTORADIOBUTTON;
    checkTemplate(IDD_WIZARD, 267, 205, {
        {1002, "Static", kText, 85, 10, 171, 40},
        {1, "Button", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 143, 184, 50, 14},
        {5, "Button", push, 93, 184, 50, 14},
        {2, "Button", push, 208, 184, 50, 14},
        {3, "Button", push, 95, 154, 58, 14},
        {4, "Button", push, 187, 154, 58, 14},
        {1003, "ListBox",
         kChild | LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
         84, 52, 172, 98},
        {-1, "Static", kChild | SS_BLACKFRAME, 7, 177, 251, 1},
        {1000, "Button", radio, 145, 116, 105, 9},
        {1001, "Button", radio, 145, 128, 106, 9},
        {3830, "Static", kChild | SS_BLACKRECT, 85, 137, 165, 14},
        {1004, "Static", kText, 85, 60, 171, 46},
        {1006, "Static", WS_CHILD | SS_BLACKFRAME, 85, 10, 169, 33},
        {1005, "Static", kText & ~WS_VISIBLE, 85, 45, 169, 33},
        {1007, "Static", kText & ~WS_VISIBLE, 85, 91, 171, 33},
    });
}

TEST(Resources, SharedFileDialog)
{
    const DWORD push = kChild | WS_TABSTOP | BS_PUSHBUTTON;
    checkTemplate(IDD_SHARED, 225, 109, {
        {1002, "Static", kText, 7, 3, 209, 81},
        {1, "Button", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 167, 90, 50, 14},
        {1005, "Button", push, 5, 90, 50, 14},
        {1006, "Button", push, 59, 90, 50, 14},
        {1007, "Button", push, 113, 90, 50, 14},
    });
}

TEST(Resources, IconAndPanelBitmap)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_NE(LoadIconA(self, MAKEINTRESOURCEA(IDI_PROGRAM)), nullptr);
    HBITMAP panel = LoadBitmapA(self, MAKEINTRESOURCEA(IDB_PANEL));
    ASSERT_NE(panel, nullptr);
    BITMAP info;
    GetObjectA(panel, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 122);
    EXPECT_EQ(info.bmHeight, 262);
    DeleteObject(panel);
}

} // namespace
