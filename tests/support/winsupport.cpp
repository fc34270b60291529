#include "winsupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <tlhelp32.h>

// A Wine process whose display driver did not load is refused every
// window: say so once, before the tests that would each time out on it
// (Wine's "winediag" errors, which scripts/test.sh lets through, say why).
struct DisplayCheck : ::testing::Environment {
    void SetUp() override
    {
        HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(window, nullptr) << "this Wine process cannot make a window: every test with one will fail";
        DestroyWindow(window);
    }
};
static const auto* const displayCheck = ::testing::AddGlobalTestEnvironment(new DisplayCheck);

std::string windowsPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string result = "Z:" + path;
    for (char& c : result)
        if (c == '/')
            c = '\\';
    return result;
}

std::string builtFile(const char* variable)
{
    const char* value = getenv(variable);
    return value ? windowsPath(value) : std::string();
}

std::string windowsDirectory()
{
    char path[MAX_PATH];
    return std::string(path, GetWindowsDirectoryA(path, sizeof path));
}

std::string systemDirectory()
{
    char path[MAX_PATH];
    return std::string(path, GetSystemDirectoryA(path, sizeof path));
}

std::string shortPath(const std::string& path)
{
    char result[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), result, sizeof result);
    return result;
}

bool present(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    for (bool found = find != INVALID_HANDLE_VALUE; found; found = FindNextFileA(find, &entry)) {
        std::string child = path + "\\" + entry.cFileName;
        if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0)
            continue;
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? removeTree(child) : void(DeleteFileA(child.c_str()));
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

Sandbox::Sandbox(const std::string& name) : root("C:\\ruvotest\\" + name)
{
    CreateDirectoryA("C:\\ruvotest", nullptr);
    removeTree(root);
    CreateDirectoryA(root.c_str(), nullptr);
}

static void makeFolders(const std::string& path)
{
    for (size_t at = 3; (at = path.find('\\', at)) != std::string::npos; ++at)
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

void writeWholeFile(const std::string& path, const std::string& content)
{
    makeFolders(path.substr(0, path.rfind('\\')));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }
}

std::string readWholeFile(const std::string& path)
{
    std::string content;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return content;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        content.append(chunk, got);
    CloseHandle(file);
    return content;
}

namespace {
HKEY rootOf(const std::string& key, std::string* below)
{
    for (auto [name, root] : {std::pair<const char*, HKEY>{"HKLM\\", HKEY_LOCAL_MACHINE}, {"HKCR\\", HKEY_CLASSES_ROOT},
                              {"HKCU\\", HKEY_CURRENT_USER}})
        if (key.compare(0, 5, name) == 0) {
            *below = key.substr(5);
            return root;
        }
    *below = key;
    return HKEY_CURRENT_USER;
}
} // namespace

static void setValue(const std::string& key, const char* name, DWORD type, const std::string& data)
{
    std::string below;
    HKEY root = rootOf(key, &below), handle;
    if (RegCreateKeyExA(root, below.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(handle, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    RegCloseKey(handle);
}

bool readValue(const std::string& key, const char* name, DWORD* type, std::string* data)
{
    std::string below;
    HKEY root = rootOf(key, &below);
    char buffer[4096];
    DWORD size = sizeof buffer;
    if (RegGetValueA(root, below.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, type, buffer, &size) != ERROR_SUCCESS)
        return false;
    data->assign(buffer, size);
    return true;
}

static void deleteValue(const std::string& key, const char* name)
{
    std::string below;
    HKEY root = rootOf(key, &below), handle;
    if (RegOpenKeyExA(root, below.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(handle, name);
    RegCloseKey(handle);
}

static void expectValue(const std::string& key, const char* name, DWORD type, const std::string& data)
{
    DWORD found = REG_NONE;
    std::string got, below;
    HKEY handle;
    if (!name) {
        bool present = RegOpenKeyExA(rootOf(key, &below), below.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
        if (present)
            RegCloseKey(handle);
        EXPECT_EQ(present, type != REG_NONE) << key;
    } else if (!readValue(key, name, &found, &got)) {
        EXPECT_EQ(type, static_cast<DWORD>(REG_NONE)) << key << ", no value " << name;
    } else {
        EXPECT_EQ(std::to_string(found) + ":" + got, std::to_string(type) + ":" + data) << key << ", value " << name;
    }
}

namespace {
struct Entry {
    std::string path, content;   // a copy's content is its source's
    bool gone, folder;
    DWORD attributes;
    std::string valueName;   // and a value's type in `attributes`, its data in `content`
    bool value;
};

std::vector<Entry> entries(const std::string& base, const std::string& lines)
{
    const std::pair<std::string, DWORD> kMarks[] = {{" (read-only)", FILE_ATTRIBUTE_READONLY},
                                                    {" (hidden)", FILE_ATTRIBUTE_HIDDEN}};
    const std::pair<std::string, DWORD> kTypes[] = {{"sz", REG_SZ}, {"multi", REG_MULTI_SZ}, {"dword", REG_DWORD}};
    std::vector<Entry> list;
    for (size_t at = 0, end = 0; !lines.empty() && end < lines.size(); at = end + 1) {
        end = std::min(lines.find('|', at), lines.size());
        std::string item = lines.substr(at, end - at);
        Entry entry = {"", "x", item[0] == '-', false, 0, "", false};
        item.erase(0, entry.gone ? 1 : 0);
        size_t equals = item.find('=');
        if (equals != std::string::npos) {
            entry.content = item.substr(equals + 1);
            item.resize(equals);
        }
        entry.value = item.compare(0, 2, "HK") == 0;   // HKCU, HKLM or HKCR
        if (entry.value) {
            size_t colon = item.find(':');
            entry.valueName = colon == std::string::npos ? "" : item.substr(colon + 1);
            entry.path = item.substr(0, colon);
            std::string type = entry.content.substr(0, entry.content.find(':'));
            entry.content.erase(0, type.size() + 1);
            for (const auto& [name, code] : kTypes)
                entry.attributes = name == type ? code : entry.attributes;
            entry.folder = colon == std::string::npos;   // the key itself
            list.push_back(entry);
            continue;
        }
        size_t from = item.find('<');
        if (from != std::string::npos) {
            entry.content = readWholeFile(item.substr(from + 1));
            item.resize(from);
        }
        for (const auto& [mark, attribute] : kMarks)
            if (item.size() > mark.size() && item.compare(item.size() - mark.size(), mark.size(), mark) == 0) {
                item.resize(item.size() - mark.size());
                entry.attributes = attribute;
            }
        entry.folder = item.back() == '\\';
        entry.path = item[0] == '\\' || item[1] == ':' ? item : base + "\\" + item;
        list.push_back(entry);
    }
    return list;
}
} // namespace

void layOut(const std::string& base, const std::string& lines)
{
    for (const Entry& entry : entries(base, lines)) {
        if (entry.value) {
            setValue(entry.path, entry.valueName.c_str(), entry.attributes, entry.content);
            continue;
        }
        if (entry.folder)
            makeFolders(entry.path);
        else
            writeWholeFile(entry.path, entry.content);
        SetFileAttributesA(entry.path.c_str(), entry.attributes ? entry.attributes : FILE_ATTRIBUTE_NORMAL);
    }
}

void expectLaidOut(const std::string& base, const std::string& lines)
{
    for (const Entry& entry : entries(base, lines)) {
        if (entry.value) {
            expectValue(entry.path, entry.folder ? nullptr : entry.valueName.c_str(),
                        entry.gone ? REG_NONE : entry.attributes, entry.content);
            continue;
        }
        EXPECT_EQ(present(entry.path), !entry.gone) << entry.path;
        if (!entry.gone && !entry.folder) {
            EXPECT_EQ(readWholeFile(entry.path), entry.content) << entry.path;
        }
    }
}

void removeLaidOut(const std::string& base, const std::string& lines)
{
    for (const Entry& entry : entries(base, lines)) {
        if (entry.value) {
            deleteValue(entry.path, entry.valueName.c_str());
            continue;
        }
        SetFileAttributesA(entry.path.c_str(), FILE_ATTRIBUTE_NORMAL);
        entry.folder ? RemoveDirectoryA(entry.path.c_str()) : DeleteFileA(entry.path.c_str());
    }
}

std::string Sandbox::installProgram(const std::string& name) const
{
    writeWholeFile(path(name), readWholeFile(builtFile("RUVO_PROGRAM")));
    return path(name);
}

bool Sandbox::startOnLog(Process& run, const std::string& switches, const std::string& log) const
{
    writeFile("App\\INSTALL.LOG", log);
    return run.start(installProgram("Bin\\UNINSTAL.EXE"), switches + " " + shortPath(path("App\\INSTALL.LOG")));
}

DWORD Sandbox::uninstall(const std::string& switches, const std::string& log) const
{
    Process run;
    return startOnLog(run, switches, log) ? run.wait(60000) : ~0ul;
}

const char kSessionManager[] = "HKLM\\System\\CurrentControlSet\\Control\\Session Manager";

bool renamesPending()
{
    DWORD type;
    std::string data;
    return readValue(kSessionManager, "PendingFileRenameOperations", &type, &data);
}

void forgetRestartWork()
{
    deleteValue(kSessionManager, "PendingFileRenameOperations");
    removeLaidOut(windowsDirectory(), "WININIT.INI|wininit.bak");
}

bool restartWine()
{
    // The System folder's wineboot has this program's bitness.
    Process boot;
    return boot.start(systemDirectory() + "\\wineboot.exe", "-r") && boot.wait(60000) == 0;
}

namespace {
// The Unix path under which Wine keeps `path`.
std::string unixPath(const std::string& path)
{
    typedef char*(CDECL * UnixFileName)(LPCWSTR);
    auto convert = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    if (!convert || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return "";
    char* name = convert(wide);
    if (!name)
        return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Wine starts a Unix program but cannot wait for it: poll for its effect.
bool runUnix(const std::string& program, const std::string& arguments, const std::function<bool()>& done)
{
    Process unix;
    if (!unix.start(windowsPath(program), arguments))
        return false;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20))
        if (done())
            return true;
    return false;
}

// A drive letter "R:" is the link of that name among the prefix's devices.
std::string unixLinkPath(const std::string& link)
{
    size_t cut = link.rfind('\\');
    if (link.size() == 2 && link[1] == ':') {
        std::string devices = unixPath("C:\\");   // .../dosdevices/c:/
        devices.resize(devices.find_last_of('/', devices.size() - 2) + 1);
        return devices + static_cast<char>(tolower(link[0])) + ":";
    }
    return cut == std::string::npos ? "" : unixPath(link.substr(0, cut)) + "/" + link.substr(cut + 1);
}

std::string shownAs(const std::string& link)
{
    return link.size() == 2 ? link + "\\" : link;
}
} // namespace

std::string linkFolder(const std::string& link, const std::string& target)
{
    std::string name = link;
    if (link == "*") {
        name.clear();
        for (char letter = 'R'; letter < 'Z' && name.empty(); ++letter)
            if (GetDriveTypeA((std::string(1, letter) + ":\\").c_str()) == DRIVE_NO_ROOT_DIR)
                name = std::string(1, letter) + ":";
    }
    std::string from = unixLinkPath(name), to = unixPath(target);
    if (name.empty() || from.empty() || to.empty() ||
        !runUnix("/bin/ln", "-sfn \"" + to + "\" \"" + from + "\"", [&] { return present(shownAs(name)); }))
        return "";
    return name;
}

bool unlinkFolder(const std::string& link)
{
    return runUnix("/bin/rm", "-f \"" + unixLinkPath(link) + "\"", [&] { return !present(shownAs(link)); });
}

WindowsVersionForProgram::WindowsVersionForProgram(const std::string& exeName, const char* version)
    : key(version ? "Software\\Wine\\AppDefaults\\" + exeName : "")
{
    if (version)
        setValue(key, "Version", REG_SZ, std::string(version) + '\0');
}

WindowsVersionForProgram::~WindowsVersionForProgram()
{
    if (!key.empty())
        RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

HeldFile::HeldFile(const std::string& path)
{
    if (!path.empty())
        handle = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

void HeldFile::release()
{
    if (handle && handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = nullptr;
}

Process::~Process()
{
    if (info.hProcess) {
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info.hProcess, 99);
            WaitForSingleObject(info.hProcess, 5000);
        }
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
}

bool Process::start(const std::string& exe, const std::string& arguments)
{
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::vector<char> writable(commandLine.c_str(), commandLine.c_str() + commandLine.size() + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(exe.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info) != 0;
}

bool processRunning(const char* exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, exeName) == 0;
    CloseHandle(snapshot);
    return found;
}

DWORD Process::wait(DWORD ms)
{
    if (WaitForSingleObject(info.hProcess, ms) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

namespace {
BOOL CALLBACK collectWindow(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}
} // namespace

HWND waitForWindow(DWORD pid, const char* cls, DWORD ms, const std::function<bool(HWND)>& accept)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start <= ms; Sleep(50)) {
        std::vector<HWND> windows;
        EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
        for (HWND window : windows) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == pid && (!cls || className(window) == cls) && (!accept || accept(window)))
                return window;
        }
    }
    return nullptr;
}

HWND waitForBox(DWORD pid, DWORD ms, const std::function<bool(HWND)>& accept, HWND other)
{
    return waitForWindow(pid, "#32770", ms, [&](HWND w) { return w != other && IsWindowVisible(w) && accept(w); });
}

std::string windowText(HWND window)
{
    char text[4096] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string className(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<HWND> descendants(HWND parent)
{
    std::vector<HWND> found;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND findDescendant(HWND parent, const char* cls, int id)
{
    for (HWND child : descendants(parent))
        if ((!cls || lstrcmpiA(className(child).c_str(), cls) == 0) && (id < 0 || GetDlgCtrlID(child) == id))
            return child;
    return nullptr;
}

void pressButton(HWND button)
{
    // BM_CLICK sends the parent its WM_COMMAND as a real click would; post
    // it so that a modal loop in the other process is not entered from here.
    PostMessageA(button, BM_CLICK, 0, 0);
}
