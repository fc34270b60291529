// The software around the application, as real as Wine lets it be: doubles
// the project builds for Program Manager and a service.
#include <gtest/gtest.h>

#include "winsupport.h"

using namespace std::string_literals;

namespace {

const DWORD kWait = 20000;
const std::string kHeader = "***  x\r\nTitle: T\r\n";

// Icons go from the project's Program Manager double, which writes down
// every command: by command line in any group, or by group and name; an
// emptied group goes, STARTUP never. Without it, Wine's own shell answers
// no group, and the run goes on.
TEST(Software, ProgramManagerLosesTheIconsAndEmptiedGroups)
{
    Sandbox box("software_progman");
    box.writeFile("groups.txt", "[Apps]\r\nDemo|C:\\APP\\DEMO.EXE\r\nHelp|WINHELP X\r\n[Tools]\r\nDemo copy|c:\\app\\demo.exe\r\n"
                                "[StartUp]\r\nDemo|C:\\APP\\DEMO.EXE\r\n[Solo]\r\nReadme|NOTEPAD R.TXT\r\n[Other]\r\nKeep|X\r\n");
    const std::string record = box.path("record.txt");
    const std::string icons = "Icon Group: Apps\r\nIcon Name: Demo\r\nIcon Cmd: C:\\APP\\DEMO.EXE\r\n"
                              "Icon Group: Solo\r\nIcon Name: Readme\r\nIcon Cmd: OTHER\r\n";
    Process progman;
    ASSERT_TRUE(progman.start(builtFile("RUVO_PROGMAN"), "\"" + box.path("groups.txt") + "\" \"" + record + "\""));
    for (int i = 0; i < 250 && !present(record + ".ready"); ++i)
        Sleep(20);
    EXPECT_EQ(box.uninstall("/S", kHeader + icons), 0u);
    EXPECT_EQ(readWholeFile(record), "[ShowGroup(Apps,2)]\r\n[ShowGroup(Apps,1)]\r\n[DeleteItem(Demo)]\r\n"
                                     "[ShowGroup(Tools,2)]\r\n[ShowGroup(Tools,1)]\r\n[DeleteItem(Demo copy)]\r\n"
                                     "[DeleteGroup(Tools)]\r\n[ShowGroup(StartUp,2)]\r\n[ShowGroup(StartUp,1)]\r\n"
                                     "[DeleteItem(Demo)]\r\n[ShowGroup(Solo,2)]\r\n[ShowGroup(Solo,1)]\r\n"
                                     "[DeleteItem(Readme)]\r\n[DeleteGroup(Solo)]\r\n");
    PostMessageA(FindWindowA("RuvoProgmanServer", nullptr), WM_CLOSE, 0, 0);
    EXPECT_EQ(progman.wait(kWait), 0u);
    EXPECT_EQ(box.uninstall("/S", kHeader + icons), 0u);
}

// A running service is stopped and deleted, and its program is gone before
// the file step, which deletes it at once rather than at a restart. A
// service that does not exist is passed over.
TEST(Software, ServicesAreStoppedAndDeleted)
{
    Sandbox box("software_service");
    forgetRestartWork();
    layOut(box.root, "Svc\\ruvo_service.exe<" + builtFile("RUVO_SERVICE"));
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    auto forget = [&] {
        if (SC_HANDLE left = OpenServiceA(manager, "RuvoTestService", SERVICE_ALL_ACCESS)) {
            DeleteService(left);
            CloseServiceHandle(left);
            return true;
        }
        return false;
    };
    forget();   // what a failed run left
    SC_HANDLE service = CreateServiceA(manager, "RuvoTestService", "Ruvo test service", SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                       box.path("Svc\\ruvo_service.exe").c_str(), nullptr, nullptr, nullptr, nullptr,
                                       nullptr);
    ASSERT_NE(service, nullptr);
    ASSERT_TRUE(StartServiceA(service, 0, nullptr));
    SERVICE_STATUS status = {};
    for (int i = 0; i < 100 && QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_RUNNING; ++i)
        Sleep(50);
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    CloseServiceHandle(service);
    EXPECT_EQ(box.uninstall("/S", kHeader + "Create Service: RuvoMissingService\r\nCreate Service: RuvoTestService\r\n"
                                            "File Copy: " + box.path("Svc\\ruvo_service.exe") + "\r\n"),
              0u);
    EXPECT_FALSE(forget()) << "the service is still there";
    CloseServiceHandle(manager);
    expectLaidOut(box.root, "-Svc\\ruvo_service.exe|-" + std::string(kSessionManager) + ":PendingFileRenameOperations");
}

} // namespace
