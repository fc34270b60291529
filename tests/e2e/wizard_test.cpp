// The wizard as a person uses it: a driver finds the dialog of the running
// UNINSTAL.EXE, reads its caption and controls, toggles list lines, presses
// buttons and answers the cancel question, then the effects are checked.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "winsupport.h"

using namespace std::string_literals;

namespace {

const DWORD kWait = 20000;

enum { Next = 1, Cancel = 2, SelectAll = 3, Back = 5, ItemList = 1003, First = 1000, Second = 1001, TopText = 1002 };

struct Wizard {
    Process program;
    HWND dialog = nullptr;

    HWND control(int id) const { return GetDlgItem(dialog, id); }
    std::string caption() const { return windowText(dialog); }
    std::string text(int id) const { return windowText(control(id)); }
    bool visible(int id) const { return IsWindowVisible(control(id)) != 0; }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != 0; }
    bool checked(int id) const { return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // A click, waited for: the dialog has handled it when this returns.
    void press(int id) const
    {
        DWORD_PTR result;
        SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control(id)),
                            SMTO_NORMAL, kWait, &result);
    }
    // A click whose handler opens a box: not waited for.
    void pressLater(int id) const { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void choose(int radio) const
    {
        DWORD_PTR result;
        SendMessageTimeoutA(control(radio), BM_CLICK, 0, 0, SMTO_NORMAL, kWait, &result);
    }
    int lineCount() const { return static_cast<int>(SendMessageA(control(ItemList), LB_GETCOUNT, 0, 0)); }
    std::string line(int i) const
    {
        // Across processes Wine hands LB_GETTEXT's text over in UTF-16 even
        // to an ANSI caller: ask for it as such.
        wchar_t wide[1024] = L"";
        SendMessageW(control(ItemList), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        char text[1024] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        return text;
    }
    bool selected(int i) const { return SendMessageA(control(ItemList), LB_GETSEL, static_cast<WPARAM>(i), 0) > 0; }
    void select(int i, bool on) const { SendMessageA(control(ItemList), LB_SETSEL, on, i); }

    // Answers the cancel question with Yes (IDYES) or No (IDNO); returns its text.
    std::string answerCancel(int button)
    {
        HWND box = waitForBox(program.info.dwProcessId, kWait, [](HWND w) { return GetDlgItem(w, IDYES) != nullptr; },
                              dialog);
        if (!box)
            return "(no box)";
        std::string said = windowText(box) + ": ";
        for (HWND child : descendants(box))
            if (className(child) == "Static")
                said += windowText(child);
        pressButton(GetDlgItem(box, button));
        Sleep(200);
        return said;
    }
};

struct WizardTest : ::testing::Test {
    Sandbox box{"wizard test"};   // a blank in every path
    std::string app = box.path("App");

    std::string startLog() { return "***  Installation\r\nTitle: Wizard Test Installation\r\n"; }
    // Writes the log, starts the program on it with `switches` and waits for
    // the wizard. Without switches the log lies beside the program, which
    // takes it without asking.
    void start(Wizard& wizard, const std::string& body, const std::string& switches = "")
    {
        if (switches.empty()) {
            box.writeFile("Bin\\INSTALL.LOG", startLog() + body);
            ASSERT_TRUE(wizard.program.start(box.installProgram("Bin\\UNINSTAL.EXE"), ""));
        } else {
            ASSERT_TRUE(box.startOnLog(wizard.program, switches, startLog() + body));
        }
        wizard.dialog = waitForBox(wizard.program.info.dwProcessId, kWait,
                                   [](HWND w) { return GetDlgItem(w, ItemList) != nullptr; });
        ASSERT_NE(wizard.dialog, nullptr) << "no wizard; the program's exit code, 259 while it runs: "
                                          << wizard.program.wait(0);
    }
    void SetUp() override { layOut(app, "a.txt=a|b.txt=b"); }
    std::string files() { return "File Copy: " + app + "\\a.txt\r\nFile Copy: " + app + "\\b.txt\r\n"; }
    // Takes 1.5 s; programs of the same command line are one item.
    std::string slowProgram(const char* tag = "")
    {
        layOut(app, "rec.exe<" + builtFile("RUVO_RECORDER"));
        return "Execute Program: " + app + "\\rec.exe /sleep=1500 " + tag + "\r\n";
    }
};

// The title takes the first "%s" of a translator's text; every other "%"
// is shown as written, "%%" as "%". Cancel answered No changes nothing; a
// page left keeps its choices; a Custom run takes what the lists select and
// no rollback.
TEST_F(WizardTest, ThePagesKeepTheirChoices)
{
    box.writeFile("Bin\\UNINSTAL.INI", "[Language]\r\nMsg7=%s %s %n %x 100%%\r\nMsg13=%n%s%s\r\n");
    box.writeFile("Backup\\a.txt", "old");
    Wizard wizard;
    start(wizard, files() + "*** two\r\nFile Copy: " + app + "\\a.txt\r\nBackup Copy: " + box.path("Backup\\a.txt") + "\r\n");
    EXPECT_EQ(wizard.caption(), "Select Uninstall Method");
    // The log's title captions the main window.
    EXPECT_EQ(windowText(waitForWindow(wizard.program.info.dwProcessId, "RUVSUninstall", kWait)),
              "Uninstall Wizard Test");
    EXPECT_EQ(wizard.text(TopText), "Wizard Test %s %n %x 100%");
    EXPECT_TRUE(wizard.checked(First));
    EXPECT_FALSE(wizard.enabled(Back));
    EXPECT_FALSE(wizard.visible(ItemList));
    wizard.press(Next);
    EXPECT_EQ(wizard.caption(), "Perform Rollback");
    EXPECT_FALSE(wizard.checked(First));
    EXPECT_TRUE(wizard.checked(Second));
    wizard.choose(First);
    wizard.press(Next);
    EXPECT_EQ(wizard.caption(), "Perform Uninstall");
    EXPECT_EQ(wizard.text(TopText), "%nWizard Test%s");
    EXPECT_EQ(wizard.text(Next), "&Finish");
    EXPECT_TRUE(wizard.enabled(Back));
    EXPECT_FALSE(wizard.visible(First));
    wizard.pressLater(Cancel);
    EXPECT_EQ(wizard.answerCancel(IDNO), "Uninstall: Are you sure you want to cancel the uninstall?");
    EXPECT_EQ(wizard.caption(), "Perform Uninstall");
    wizard.press(Back);
    EXPECT_EQ(wizard.caption(), "Perform Rollback");
    EXPECT_TRUE(wizard.checked(First));
    wizard.press(Back);
    EXPECT_EQ(wizard.caption(), "Select Uninstall Method");

    wizard.choose(Second);
    wizard.press(Next);
    EXPECT_EQ(wizard.caption(), "Select Private Files to Remove");
    ASSERT_EQ(wizard.lineCount(), 2);
    EXPECT_FALSE(wizard.selected(0));
    wizard.press(SelectAll);
    EXPECT_TRUE(wizard.selected(0) && wizard.selected(1));
    wizard.press(Back);
    wizard.press(Next);
    EXPECT_TRUE(wizard.selected(0) && wizard.selected(1));
    wizard.select(0, false);
    wizard.press(Back);
    wizard.press(Next);
    EXPECT_FALSE(wizard.selected(0));
    EXPECT_TRUE(wizard.selected(1));
    wizard.press(Next);
    EXPECT_EQ(wizard.caption(), "Select Directories to Remove");
    EXPECT_EQ(wizard.line(0), box.path("Bin"));   // the log's folder, without its backslash
    wizard.press(Next);
    EXPECT_EQ(wizard.caption(), "Perform Uninstall");
    wizard.press(Next);
    EXPECT_EQ(wizard.program.wait(kWait), 0u);
    EXPECT_EQ(box.readFile("App\\a.txt"), "a");
    EXPECT_FALSE(box.exists("App\\b.txt"));
    EXPECT_TRUE(box.exists("Bin\\INSTALL.LOG"));
}

// An automatic run needs no click. While a program of the run holds it,
// the wizard shows it and still answers the window system. Cancel comes
// during the first of a rollback's two programs (1.5 s each), and is taken
// when it has ended.
TEST_F(WizardTest, AnAutomaticRunStaysAliveWhileAProgramRunsAndCancelStopsIt)
{
    Wizard wizard;
    std::string second = "***  two\r\n" + slowProgram("one") + slowProgram("two") + "File Copy: " + app + "\\b.txt\r\n";
    start(wizard, "File Copy: " + app + "\\a.txt\r\n" + second, "/A /R");
    EXPECT_FALSE(wizard.visible(Next));
    EXPECT_FALSE(wizard.visible(Back));
    // Another process's window text is read without a message, which a
    // blocked wizard would not answer.
    wchar_t shown[1024] = L"";
    for (int i = 0; i < 100 && !wcsstr(shown, L"rec.exe"); ++i, Sleep(20))
        GetWindowTextW(wizard.control(1007), shown, 1024);
    EXPECT_NE(wcsstr(shown, L"rec.exe"), nullptr);
    // The wizard turned into the progress display as the run began.
    char progress[256] = "";
    GetWindowTextA(wizard.control(1005), progress, sizeof progress);
    EXPECT_EQ(std::string(progress), "Performing uninstall of the Wizard Test...\n\nPress the Cancel button to "
                                     "cancel the uninstall process and exit this program.");
    EXPECT_TRUE(wizard.visible(1005));
    EXPECT_FALSE(wizard.visible(TopText));
    DWORD_PTR result;
    EXPECT_NE(SendMessageTimeoutA(wizard.dialog, WM_NULL, 0, 0, SMTO_NORMAL, 500, &result), 0u);
    wizard.pressLater(Cancel);
    wizard.answerCancel(IDYES);
    // Gone at once, while the second program still holds the run: not
    // merely hidden until the run winds down.
    EXPECT_FALSE(IsWindow(wizard.dialog));
    EXPECT_EQ(wizard.program.wait(0), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(wizard.program.wait(kWait), 0u);
}

// The shared-file prompt, answered through its dialog by button and by
// key, in a run that /U starts on its last page, where nothing happens
// before Finish. Files are released last to first: 5.dll (in a folder deep
// enough that its path is shortened to fit), then 4.dll, ... Every count
// reaches zero.
TEST_F(WizardTest, TheSharedFilePromptAnswersForTheRun)
{
    const std::string kCount = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs:";
    const int Yes = 1005, No = 1006, YesToAll = 1007, Enter = -VK_RETURN, Escape = -VK_ESCAPE;
    struct Case {
        std::vector<int> answers;
        const char* after;   // 1.dll to 5.dll: '+' stays, '-' gone
    } cases[] = {
        {{Yes, Escape, YesToAll}, "---+-"},
        {{No, Enter}, "+++++"},   // Enter: No to All, the default button
    };
    for (const Case& c : cases) {
        std::string files, log, after;
        for (int i = 1; i <= 5; ++i) {
            std::string name = i == 5 ? "App\\" + std::string(150, 'd') + "\\5.dll" : "App\\" + std::to_string(i) + ".dll";
            files += name + "|" + kCount + box.path(name) + "=dword:\1\0\0\0|"s;
            log += "File Copy: " + box.path(name) + "\r\n";
            after += (c.after[i - 1] == '+' ? "" : "-") + name + "|-" + kCount + box.path(name) + "|";
        }
        files.pop_back();
        after.pop_back();
        layOut(box.root, files);
        Wizard wizard;
        start(wizard, log, "/U");
        EXPECT_EQ(wizard.caption(), "Perform Uninstall");
        EXPECT_FALSE(wizard.enabled(Back));
        Sleep(500);
        EXPECT_EQ(FindWindowA("#32770", "Remove Shared Component"), nullptr) << "nothing happens before Finish";
        wizard.pressLater(Next);
        HWND prompt = nullptr;
        for (int answer : c.answers) {
            HWND first = prompt;
            prompt = waitForBox(wizard.program.info.dwProcessId, kWait,
                                [](HWND w) { return windowText(w) == "Remove Shared Component"; }, prompt);
            ASSERT_NE(prompt, nullptr);
            std::string text = windowText(GetDlgItem(prompt, 1002));
            EXPECT_EQ(text.substr(text.size() - 38), "Do you want to remove the shared file?");
            if (!first) {   // the first prompt names the deep file, shortened
                EXPECT_NE(text.find("\\...\\"), std::string::npos) << text;
                EXPECT_NE(text.find("\\5.dll"), std::string::npos) << text;
                std::string labels;
                for (int id : {Yes, No, YesToAll, IDOK})
                    labels += windowText(GetDlgItem(prompt, id)) + "|";
                EXPECT_EQ(labels, "&Yes|&No|Yes &to All|No to &All|");
            }
            if (answer > 0)
                pressButton(GetDlgItem(prompt, answer));
            else
                PostMessageA(prompt, WM_KEYDOWN, static_cast<WPARAM>(-answer), 0);
            for (int i = 0; i < 100 && IsWindow(prompt); ++i)
                Sleep(20);
        }
        EXPECT_EQ(wizard.program.wait(kWait), 0u) << "no prompt after the run's answer";
        expectLaidOut(box.root, after);
        removeLaidOut(box.root, files);
    }
}

} // namespace
