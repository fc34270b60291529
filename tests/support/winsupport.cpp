#include "winsupport.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

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

static std::string fromEnvironment(const char* name)
{
    const char* value = getenv(name);
    return value ? windowsPath(value) : std::string();
}

std::string builtProgram()
{
    return fromEnvironment("RUVO_PROGRAM");
}

std::string artifactsFolder()
{
    std::string folder = fromEnvironment("RUVO_ARTIFACTS");
    return folder.empty() ? "C:\\ruvotest" : folder;
}

std::string windowsDirectory()
{
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, sizeof path);
    return path;
}

std::string systemDirectory()
{
    char path[MAX_PATH];
    GetSystemDirectoryA(path, sizeof path);
    return path;
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
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

Sandbox::Sandbox(const std::string& name) : root("C:\\ruvotest\\" + name)
{
    CreateDirectoryA("C:\\ruvotest", nullptr);
    removeTree(root);
    CreateDirectoryA(root.c_str(), nullptr);
}

Sandbox::~Sandbox()
{
    removeTree(root);
}

std::string Sandbox::path(const std::string& relative) const
{
    return relative.empty() ? root : root + "\\" + relative;
}

void writeWholeFile(const std::string& path, const std::string& content)
{
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

void Sandbox::writeFile(const std::string& relative, const std::string& content) const
{
    std::string full = path(relative);
    // Make the folders on the way.
    for (size_t at = root.size() + 1; (at = full.find('\\', at)) != std::string::npos; ++at)
        CreateDirectoryA(full.substr(0, at).c_str(), nullptr);
    writeWholeFile(full, content);
}

std::string Sandbox::readFile(const std::string& relative) const
{
    return readWholeFile(path(relative));
}

bool Sandbox::exists(const std::string& relative) const
{
    return GetFileAttributesA(path(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Sandbox::installProgram(const std::string& name) const
{
    std::string target = path(name);
    CopyFileA(builtProgram().c_str(), target.c_str(), FALSE);
    return target;
}

SandboxKey::SandboxKey(const std::string& name) : subKey("Software\\RuvoTest\\" + name)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, subKey.c_str());
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
        RegCloseKey(key);
}

SandboxKey::~SandboxKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, subKey.c_str());
}

WindowsVersionForProgram::WindowsVersionForProgram(const std::string& exeName, const char* version)
    : key("Software\\Wine\\AppDefaults\\" + exeName)
{
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       static_cast<DWORD>(strlen(version) + 1));
        RegCloseKey(handle);
    }
}

WindowsVersionForProgram::~WindowsVersionForProgram()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
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
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(exe.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info) != 0;
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
struct WindowSearch {
    DWORD pid;
    const char* className;
    const std::function<bool(HWND)>* accept;
    HWND found;
};

BOOL CALLBACK visitWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid)
        return TRUE;
    if (search->className && className(window) != search->className)
        return TRUE;
    if (*search->accept && !(*search->accept)(window))
        return TRUE;
    search->found = window;
    return FALSE;
}
} // namespace

HWND waitForWindow(DWORD pid, const char* cls, DWORD ms, const std::function<bool(HWND)>& accept)
{
    DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {pid, cls, &accept, nullptr};
        EnumWindows(visitWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (GetTickCount() - start > ms)
            return nullptr;
        Sleep(50);
    }
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

namespace {
struct ChildSearch {
    const char* cls;
    int id;
    HWND found;
};

BOOL CALLBACK visitChild(HWND child, LPARAM context)
{
    auto* search = reinterpret_cast<ChildSearch*>(context);
    if ((!search->cls || lstrcmpiA(className(child).c_str(), search->cls) == 0) &&
        (search->id < 0 || GetDlgCtrlID(child) == search->id)) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND findDescendant(HWND parent, const char* cls, int id)
{
    ChildSearch search = {cls, id, nullptr};
    EnumChildWindows(parent, visitChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {
BOOL CALLBACK collectChild(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}
} // namespace

std::vector<HWND> descendants(HWND parent)
{
    std::vector<HWND> found;
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

INT_PTR CALLBACK plainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

void pressButton(HWND button)
{
    // BM_CLICK sends the parent its WM_COMMAND as a real click would; post
    // it so that a modal loop in the other process is not entered from here.
    PostMessageA(button, BM_CLICK, 0, 0);
}

bool saveScreenshot(HWND window, const std::string& path)
{
    RECT area;
    if (window)
        GetWindowRect(window, &area);
    else
        area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(rowBytes * static_cast<DWORD>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = fopen(path.c_str(), "wb");
    if (!out)
        return false;
    fwrite(&file, sizeof file, 1, out);
    fwrite(&header, sizeof header, 1, out);
    fwrite(pixels.data(), 1, pixels.size(), out);
    fclose(out);
    return true;
}

unsigned long screenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return (static_cast<unsigned long>(GetRValue(colour)) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}
