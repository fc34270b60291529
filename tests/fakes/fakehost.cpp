#include "fakehost.h"

#include <cctype>
#include <cstring>

#include "common/text.h"
#include "log/itemlists.h"
#include "log/loaderhost.h"
#include "startup/runstate.h"

FakeMachine fake;

void resetFakeMachine()
{
    release(&runState.arena);
    runState = RunState{};
    fake = FakeMachine{};
    allocateRunBuffers();
    runState.platform = 1;
    runState.windows4OrLater = 1;
}

static std::string upper(const char* text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return result;
}

bool fileMissing(const char* path)
{
    return !fake.everyFileExists && fake.files.count(upper(path)) == 0;
}

bool patternMatchesNothing(const char* pattern)
{
    return fileMissing(pattern);   // the tests list a pattern as a file that is there
}

// The fake disk has no 8.3 names: both forms are the path itself.
void convertPathForm(char*, size_t, PathForm) {}

void* openLogFile(const char*)
{
    fake.readAt = 0;
    return fake.logOpens ? &fake : nullptr;
}

int readLogFile(void*, char* buffer, int size)
{
    size_t left = fake.log.size() - fake.readAt;
    size_t n = static_cast<size_t>(size);
    if (fake.readChunk > 0 && n > static_cast<size_t>(fake.readChunk))
        n = static_cast<size_t>(fake.readChunk);
    if (n > left)
        n = left;
    memcpy(buffer, fake.log.data() + fake.readAt, n);
    fake.readAt += n;
    return static_cast<int>(n);
}

void closeLogFile(void*) {}

// The OEM code page as far as the tests use it: 0x84 is a-umlaut, ANSI 0xE4.
void oemToAnsi(char* text)
{
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) == 0x84)
            *text = static_cast<char>(0xE4);
}

bool driveIsRemovable(char letter)
{
    return letter == 'A' ? fake.floppyA : fake.floppyB;
}

void windowsDirectories(char* windows, char* system, size_t capacity)
{
    copyText(windows, capacity, fake.windowsDir.c_str());
    copyText(system, capacity, fake.systemDir.c_str());
}

bool sharedDllCounted(const char* path)
{
    return fake.sharedDlls.count(upper(path)) != 0;
}

bool administratorAccessDenied()
{
    return fake.adminDenied;
}

bool readStartMenuFolder(bool common, char* value, size_t capacity)
{
    const std::string& folder = common ? fake.commonStartMenu : fake.startMenu;
    if (folder.empty())
        return false;
    copyText(value, capacity, folder.c_str());
    return true;
}

void showLoadError(int messageId, int)
{
    fake.boxes.push_back(messageId);
}

void showTitleInCaption(const char* title)
{
    fake.caption = std::string("Uninstall ") + title;
}
