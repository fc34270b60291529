// What the uninstall engine asks of the machine and of the user. The engine
// itself is portable: every file, INI, registry and restart action, every
// other program it hands work to, and every word to the user goes through
// one table of plain function pointers. The program fills it from Win32
// (engine/winhost.cpp for the machine, ui/progress.cpp for the user); the
// native tests fill it from an in-memory machine. The action record and the
// preview wrap the table (engine/record.h) rather than the driver, so every
// action answers with its outcome: 0, or the Windows error code.
#pragma once
#include <cstddef>
#include <string>

#include "common/pathforms.h"

// Attribute bits as the platform reports them.
constexpr unsigned long kNoAttributes = 0xFFFFFFFFul;   // missing or unreachable
constexpr unsigned long kAttributeReadOnly = 0x01;
constexpr unsigned long kAttributeDirectory = 0x10;
constexpr unsigned long kAttributeNormal = 0x80;
constexpr unsigned long kAttributeReparsePoint = 0x400;   // a link: never followed

// Windows error codes the engine tells apart.
constexpr unsigned long kErrorFileNotFound = 2;
constexpr unsigned long kErrorAccessDenied = 5;
constexpr unsigned long kErrorNotImplemented = 120;   // a kind of change not handled yet
constexpr unsigned long kErrorBadFormat = 193;        // not a Win32 image
constexpr unsigned long kErrorMoreData = 234;
constexpr unsigned long kErrorNoMoreItems = 259;

struct FoundEntry {
    char name[260];
    unsigned long attributes;
};

struct EngineHost {
    // --- Files ---
    unsigned long (*attributes)(const char* path);
    unsigned long (*setAttributes)(const char* path, unsigned long attributes);
    unsigned long (*deleteFile)(const char* path);
    // Opens the file as its deletion (`deleting`) or its overwriting would,
    // and closes it again: 0, or the error that change would meet now (a
    // sharing violation while someone holds it). Changes nothing.
    unsigned long (*tryOpen)(const char* path, bool deleting);
    unsigned long (*removeDirectory)(const char* path);
    unsigned long (*copyFile)(const char* from, const char* to);   // overwrites
    // Cuts the file to `length` bytes; opened shared, never created.
    unsigned long (*truncateFile)(const char* path, unsigned long length);
    // Every entry matching `pattern`, hidden and system ones included; "."
    // and ".." are not reported. nullptr when nothing matches.
    void* (*findFirst)(const char* pattern, FoundEntry* entry);
    bool (*findNext)(void* find, FoundEntry* entry);
    void (*findClose)(void* find);
    // The whole file; a file of more than `limit` bytes is not read.
    unsigned long (*readFile)(const char* path, std::string* content, size_t limit);
    // Makes or replaces `path` with exactly `content`; a short write is an error.
    unsigned long (*writeNewFile)(const char* path, const std::string& content);
    // Puts `from` in the place of `to` in one step: at every moment one of
    // the two complete files is there.
    unsigned long (*replaceFile)(const char* from, const char* to);
    // Whether the file is a Win32 image ("MZ", then "PE" where the DOS
    // header points).
    bool (*isWin32Executable)(const char* path);
    // Short or long form of a path, as convertPathForm describes.
    void (*pathForm)(char* path, size_t capacity, PathForm form);
    // The Windows, System and (on 64-bit Windows) SysWOW64 directories, each
    // without a trailing backslash; empty when there is none.
    void (*systemFolders)(char* windows, char* system, char* wow64, size_t capacity);

    // --- Work left for the next start of Windows ---
    // NT family: a delayed move (`to` nullptr: a delayed delete).
    unsigned long (*moveAtRestart)(const char* from, const char* to);
    // Windows 95 family: one line "key=value" in [rename] of WININIT.INI.
    unsigned long (*renameAtRestart)(const char* key, const char* value);

    // --- INI files and the registry (roots are the log's numbers 0..4) ---
    // `value` nullptr deletes the key.
    unsigned long (*writeIniString)(const char* file, const char* section, const char* key, const char* value);
    // Every registry call opens the key with the limited rights the log's
    // changes need and fails on a key it cannot open; none creates a key.
    unsigned long (*setRegistryValue)(int root, const char* key, const char* name, unsigned long type,
                                      const void* data, unsigned long size);
    unsigned long (*deleteRegistryValue)(int root, const char* key, const char* name);
    // At most *size bytes of the value's data; *size becomes its length.
    // Data longer than that answers kErrorMoreData.
    unsigned long (*queryRegistryValue)(int root, const char* key, const char* name, unsigned long* type, void* data,
                                        unsigned long* size);
    // The name of the key's value (`subkey` false) or subkey number `index`:
    // kErrorNoMoreItems past the last, kErrorMoreData for a name longer than
    // `capacity` (the entry is there all the same).
    unsigned long (*registryEntry)(int root, const char* key, bool subkey, unsigned long index, char* name,
                                   size_t capacity);
    unsigned long (*deleteRegistryKey)(int root, const char* key);

    // --- Other software the log names ---
    // Starts a command line and waits for its end, the interface painted
    // meanwhile but taking no input.
    unsigned long (*startAndWait)(const char* commandLine);
    // Starts a command line, shown normally, and does not wait.
    unsigned long (*startProgram)(const char* commandLine);
    // Stops the service and marks it for deletion, then keeps the interface
    // alive until the service's process has ended (3.5 s at most); a
    // service that cannot be opened costs no wait.
    unsigned long (*removeService)(const char* name);
    // Whether the service exists: 0, or the error that opening it gave.
    unsigned long (*queryService)(const char* name);
    // Whether a top-level window of the class exists.
    bool (*windowExists)(const char* className);
    unsigned long (*setCurrentDirectory)(const char* path, char* previous, size_t capacity);
    // Loads a server library and calls its DllRegisterServer or
    // DllUnregisterServer with OLE initialised around it.
    unsigned long (*callServerEntry)(const char* path, bool registerServer);
    // One DDE conversation as a client; requests and commands fail when
    // none is open. An answer is text, up to its first NUL, however long.
    bool (*ddeConnect)(const char* service, const char* topic);
    unsigned long (*ddeRequest)(const char* item, std::string* answer);
    unsigned long (*ddeExecute)(const char* command);
    void (*ddeDisconnect)();

    // --- The user ---
    void (*loadMessage)(int messageId, char* buffer, size_t capacity);
    // The shared-file prompt showing `text` (which names `path`); answers
    // with the id of the button that closed it.
    int (*askSharedFile)(const char* text, const char* path);
    // An Abort / Retry / Ignore box owned by the wizard; answers IDABORT (3),
    // IDRETRY (4) or IDIGNORE (5).
    int (*askAbortRetryIgnore)(int messageId, int captionId);
    void (*startProgress)();   // the wizard turns into the progress display
    // Shows an action; with `fitPath` its path line is first fitted to the
    // action line. nullptr only repaints the bar.
    void (*showProgress)(const char* text, bool fitPath);
    // Keeps the interface alive for `milliseconds`.
    void (*keepAlive)(unsigned milliseconds);
    bool (*cancelRequested)();
    // One line of the action record; nullptr when the run writes none.
    void (*writeRecordLine)(const char* line);
    // The system's text for an error code.
    void (*errorText)(unsigned long code, char* buffer, size_t capacity);
};
