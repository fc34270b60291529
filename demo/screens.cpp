// Takes the pictures of docs/screenshots: installs a sample that logs every
// kind of change, opens the wizard on it, and saves each page, the cancel
// question and the progress display in the middle of a run.
//
//   screens.exe <UNINSTAL.EXE> <picture folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "screenshot.h"
#include "winsupport.h"

namespace {

const char kRoot[] = "C:\\Ruvo Screens";
std::string shots;
int pictureNumber;

void write(const std::string& path, const std::string& text)
{
    for (size_t at = 3; (at = path.find('\\', at)) != std::string::npos; ++at)
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    writeWholeFile(path, text);
}

std::string makeInstallation()
{
    removeTree(kRoot);
    std::string app = std::string(kRoot) + "\\Sample App";
    for (const char* f : {"SAMPLE.EXE", "SAMPLE.HLP", "README.TXT", "Data\\STAGE1.DAT", "Data\\STAGE2.DAT"})
        write(app + "\\" + f, "x");
    write(app + "\\SAMPLE.INI", "[Options]\r\nColour=Blue\r\n");
    write(std::string(kRoot) + "\\Backup\\README.TXT", "old");
    std::string log = "***  Installation Started\r\nTitle: Ruvo Sample Application Installation\r\n";
    for (int i = 1; i <= 6; ++i)
        log += "Create Service: RuvoSampleService" + std::to_string(i) + "\r\n";
    log += "SubSystem: BDE 32\r\n"
           "Execute Program: " + app + "\\SAMPLE.EXE /cleanup\r\nExecute Name: Sample clean-up\r\n"
           "Made Dir: " + app + "\r\nMade Dir: " + app + "\\Data\r\n"
           "File Copy: " + app + "\\SAMPLE.EXE | 1.0\r\n"
           "File Copy: " + app + "\\SAMPLE.HLP\r\n"
           "File Copy: " + app + "\\Data\\STAGE1.DAT\r\n"
           "File Copy: " + app + "\\Data\\STAGE2.DAT\r\n"
           "File Overwrite: " + app + "\\README.TXT\r\nBackup Copy: " + kRoot + "\\Backup\\README.TXT\r\n"
           "INI New: x\r\nINI File: " + app + "\\SAMPLE.INI\r\nINI Sect: Options\r\nINI Item: Colour\r\nINI Val: Blue\r\n"
           "INI File: C:\\windows\\win.ini\r\nINI Sect: Extensions\r\nINI Item: smp\r\nINI Val: sample.exe ^.smp\r\n"
           "RegDB Key: Software\\Ruvo Solutions\\Sample\r\nRegDB Val: 1.0\r\nRegDB Name: Version\r\nRegDB Root: 1\r\n"
           "RegDB Key: Software\\Classes\\.smp\r\nRegDB Val: Sample.Document\r\nRegDB Root: 1\r\nRegDB Old: txtfile\r\n"
           "RegDB Tree: Software\\Ruvo Solutions\\Sample\\Settings\r\nRegDB Root: 1\r\n"
           "Icon Group: Ruvo Sample\r\nIcon Name: Ruvo Sample\r\nIcon Cmd: " + app + "\\SAMPLE.EXE\r\n"
           "Icon Group: Ruvo Sample\r\nIcon Name: Read Me\r\nIcon Cmd: NOTEPAD.EXE " + app + "\\README.TXT\r\n";
    write(app + "\\INSTALL.LOG", log);
    write(std::string(kRoot) + "\\Bin\\UNINSTAL.INI", "[Settings]\r\nNo Background=0\r\n");
    return app + "\\INSTALL.LOG";
}

std::string fileName(const std::string& caption)
{
    std::string name;
    for (char c : caption) {
        if (isalnum(static_cast<unsigned char>(c)))
            name += static_cast<char>(tolower(static_cast<unsigned char>(c)));
        else if (!name.empty() && name.back() != '-')
            name += '-';
    }
    char number[8];
    snprintf(number, sizeof number, "%02d-", ++pictureNumber);
    return number + name;
}

void picture(HWND window, const std::string& name)
{
    Sleep(400);   // let it paint
    std::string path = shots + "\\" + name + ".bmp";
    saveScreenshot(window, path);
    printf("  %s.png\n", name.c_str());
}

void press(HWND dialog, int id)
{
    DWORD_PTR result;
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)),
                        SMTO_NORMAL, 10000, &result);
}

void choose(HWND dialog, int radio)
{
    DWORD_PTR result;
    SendMessageTimeoutA(GetDlgItem(dialog, radio), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: screens <UNINSTAL.EXE> <picture folder>\n");
        return 2;
    }
    shots = windowsPath(argv[2]);
    CreateDirectoryA(shots.c_str(), nullptr);
    std::string log = makeInstallation();
    std::string program = std::string(kRoot) + "\\Bin\\UNINSTAL.EXE";
    CopyFileA(windowsPath(argv[1]).c_str(), program.c_str(), FALSE);

    Process uninstaller;
    if (!uninstaller.start(program, shortPath(log)))
        return 1;
    HWND dialog = waitForWindow(uninstaller.info.dwProcessId, "#32770", 20000,
                                [](HWND w) { return IsWindowVisible(w) && GetDlgItem(w, 1003) != nullptr; });
    if (!dialog)
        return 1;
    printf("Pictures in %s:\n", argv[2]);
    picture(nullptr, fileName("wizard on the background"));
    picture(dialog, fileName(windowText(dialog)));

    // Every page of the Custom method.
    choose(dialog, 1001);
    for (int page = 0; page < 12; ++page) {
        press(dialog, 1);
        std::string caption = windowText(dialog);
        if (GetDlgItem(dialog, 1003) && IsWindowVisible(GetDlgItem(dialog, 1003)))
            SendMessageA(GetDlgItem(dialog, 1003), LB_SETSEL, TRUE, 0);   // a line chosen, as a user would
        picture(dialog, fileName(caption));
        if (caption == "Perform Uninstall")
            break;
    }
    for (int page = 0; page < 12 && windowText(dialog) != "Select Uninstall Method"; ++page)
        press(dialog, 5);

    // The Automatic method: the rollback page, then the perform page.
    choose(dialog, 1000);
    press(dialog, 1);
    picture(dialog, fileName(windowText(dialog)));
    choose(dialog, 1001);   // no rollback: a plain uninstall
    press(dialog, 1);

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 0);
    HWND box = waitForWindow(uninstaller.info.dwProcessId, "#32770", 10000,
                             [dialog](HWND w) { return w != dialog && IsWindowVisible(w); });
    picture(nullptr, fileName("cancel question"));
    if (box)
        pressButton(GetDlgItem(box, IDNO));
    Sleep(300);

    press(dialog, 1);   // Finish
    Sleep(5500);        // two of the six services' pauses: the bar shows its first blocks
    picture(dialog, fileName("progress"));
    uninstaller.wait(60000);
    removeTree(kRoot);
    return 0;
}
