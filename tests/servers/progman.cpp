// A Program Manager for the tests: a DDE server on service and topic
// PROGMAN whose groups come from a fixture file and stay as loaded, and which
// writes down every command it is sent.
//   ruvo_progman.exe FIXTURE RECORD
// FIXTURE: "[Group name]" starts a group, "Item name|Command line" adds an
// item to it. RECORD gets each execute string as one line; "RECORD.ready"
// gets "ready" once the server can be reached. It speaks DDE in plain window
// messages: Wine's DDEML server mixes up the replies to a DDEML client after
// the first one.
#include <windows.h>
#include <dde.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "append.h"

namespace {

struct Item { std::string name, command; };
struct Group { std::string name; std::vector<Item> items; };

std::vector<Group> groups;
std::string recordPath;

bool loadFixture(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD got;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = std::min(text.find("\r\n", start), text.size());
        std::string line = text.substr(start, end - start);
        if (line[0] == '[')
            groups.push_back({line.substr(1, line.size() - 2), {}});
        else if (!groups.empty() && !line.empty())
            groups.back().items.push_back({line.substr(0, line.find('|')), line.substr(line.find('|') + 1)});
    }
    return true;
}

// The shell's answers: the group list, or one group in the shape Program
// Manager gives it (a header line, then one line per item).
bool describe(const std::string& name, std::string& text)
{
    if (lstrcmpiA(name.c_str(), "GROUPS") == 0) {
        for (const Group& group : groups)
            text += group.name + "\r\n";
        return true;
    }
    for (const Group& group : groups) {
        if (lstrcmpiA(group.name.c_str(), name.c_str()) != 0)
            continue;
        text = "\"" + group.name + "\",C:\\fake\\grp.grp," + std::to_string(group.items.size()) + ",1\r\n";
        for (const Item& item : group.items)
            text += "\"" + item.name + "\",\"" + item.command + "\",,,0,0,0,0,0\r\n";
        return true;
    }
    return false;
}

bool isProgman(ATOM atom)
{
    char name[64];
    return atom == 0 || (GlobalGetAtomNameA(atom, name, sizeof name) && lstrcmpiA(name, "PROGMAN") == 0);
}

void post(HWND client, HWND self, UINT message, LPARAM lParam)
{
    if (!PostMessageA(client, message, reinterpret_cast<WPARAM>(self), lParam))
        FreeDDElParam(message, lParam);
}

void answerRequest(HWND self, HWND client, LPARAM lParam)
{
    UINT_PTR format, item;
    UnpackDDElParam(WM_DDE_REQUEST, lParam, &format, &item);
    char name[256] = "";
    GlobalGetAtomNameA(static_cast<ATOM>(item), name, sizeof name);
    std::string text;
    if (format != CF_TEXT || !describe(name, text)) {
        post(client, self, WM_DDE_ACK, PackDDElParam(WM_DDE_ACK, 0, item));
        return;
    }
    // The client frees the data (fRelease) and sends no acknowledgement.
    size_t header = offsetof(DDEDATA, Value);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, header + text.size() + 1);
    auto* dde = static_cast<DDEDATA*>(GlobalLock(data));
    dde->fResponse = 1;
    dde->fRelease = 1;
    dde->cfFormat = CF_TEXT;
    CopyMemory(reinterpret_cast<char*>(dde) + header, text.c_str(), text.size() + 1);
    GlobalUnlock(data);
    post(client, self, WM_DDE_DATA, PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(data), item));
}

void execute(HWND self, HWND client, LPARAM lParam)
{
    UINT_PTR unused, commands;
    UnpackDDElParam(WM_DDE_EXECUTE, lParam, &unused, &commands);
    auto memory = reinterpret_cast<HGLOBAL>(commands);
    if (const auto* text = static_cast<const char*>(GlobalLock(memory))) {
        appendLine(recordPath, std::string(text, strnlen(text, GlobalSize(memory))) + "\r\n");
        GlobalUnlock(memory);
    }
    // The same handle comes back: the client frees it on seeing it.
    post(client, self, WM_DDE_ACK, PackDDElParam(WM_DDE_ACK, 0x8000, commands));
}

LRESULT CALLBACK serverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto client = reinterpret_cast<HWND>(wParam);
    switch (message) {
    case WM_DDE_INITIATE:
        // Sent, not posted, and the atoms become the client's.
        if (isProgman(LOWORD(lParam)) && isProgman(HIWORD(lParam)))
            SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window),
                         MAKELPARAM(GlobalAddAtomA("PROGMAN"), GlobalAddAtomA("PROGMAN")));
        return 0;
    case WM_DDE_REQUEST:
        answerRequest(window, client, lParam);
        return 0;
    case WM_DDE_EXECUTE:
        execute(window, client, lParam);
        return 0;
    case WM_DDE_TERMINATE:
        // The server never ends a conversation itself, so every terminate
        // is a client's and is answered.
        PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window), 0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc != 3 || !loadFixture(__argv[1]))
        return 2;
    recordPath = __argv[2];

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = serverProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "RuvoProgmanServer";
    if (!RegisterClassA(&windowClass))
        return 4;
    // Top-level, for that is what a connect broadcast reaches; never shown.
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Ruvo Program Manager", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return 4;
    appendLine(recordPath + ".ready", "ready\r\n");

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
