// The software around the application, as real as Wine lets it be: the
// InterBase server's window and the question it brings, and doubles the
// project builds for Program Manager, a service and the programs the log
// starts.
#include <gtest/gtest.h>

#include "winsupport.h"

using namespace std::string_literals;

namespace {

const DWORD kWait = 20000;
const char kEngine[] = "HKLM\\Software\\Borland\\Database Engine";

LRESULT CALLBACK plainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// While the InterBase server's window exists, the last use of the engine
// asks; Retry asks again, Abort ends the run before any file, Ignore goes on.
TEST(Software, TheInterBaseServerHoldsTheEnginesLastUse)
{
    WNDCLASSA serverClass = {};
    serverClass.lpfnWndProc = plainWindowProc;
    serverClass.hInstance = GetModuleHandleA(nullptr);
    serverClass.lpszClassName = "IB_Server";
    RegisterClassA(&serverClass);
    struct Case {
        std::vector<int> answers;
        std::string after;
    } cases[] = {
        {{IDRETRY, IDABORT}, "App\\a.txt|" + std::string(kEngine) + ":UseCount=sz:1\0"s},
        {{IDIGNORE}, "-App\\a.txt|-" + std::string(kEngine)},
    };
    for (const Case& c : cases) {
        Sandbox box("software_ib");
        HWND server = CreateWindowA("IB_Server", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        layOut(box.root, "App\\a.txt|" + std::string(kEngine) + ":UseCount=sz:1\0"s);
        box.writeFile("App\\INSTALL.LOG", "***  x\r\nTitle: T\r\nSubSystem: BDE\r\nFile Copy: " + box.path("App\\a.txt") +
                                              "\r\n");
        Process program;
        ASSERT_TRUE(program.start(box.installProgram("Bin\\UNINSTAL.EXE"), "/A " + shortPath(box.path("App\\INSTALL.LOG"))));
        HWND previous = nullptr;
        for (int answer : c.answers) {
            HWND question = waitForWindow(program.info.dwProcessId, "#32770", kWait, [&](HWND w) {
                return w != previous && IsWindowVisible(w) && GetDlgItem(w, IDABORT) && GetDlgItem(w, IDIGNORE);
            });
            ASSERT_NE(question, nullptr);
            EXPECT_EQ(windowText(question), "Uninstall");
            EXPECT_NE(windowText(findDescendant(question, "Static", 0xFFFF)).find("interbase server"), std::string::npos);
            pressButton(GetDlgItem(question, answer));
            for (int i = 0; i < 100 && IsWindow(question); ++i)
                Sleep(20);
            previous = question;
        }
        EXPECT_EQ(program.wait(kWait), 0u);
        expectLaidOut(box.root, c.after);
        DestroyWindow(server);
    }
}

} // namespace
