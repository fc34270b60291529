// The tree the uninstall benchmarks remove: files of four bytes in 100
// folders under C:\ruvobench\uninstall\App, the log an installation of it
// would have written, and the floor of deleting it with nothing but
// DeleteFileA and RemoveDirectoryA.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

struct BenchTree {
    int filesPerFolder;
    int folders = 100;
    std::string folder = "C:\\ruvobench\\uninstall";
};

inline std::string appFolder(const BenchTree& tree)
{
    return tree.folder + "\\App";
}

inline std::string folderPath(const BenchTree& tree, int d)
{
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\App\\D%03d", tree.folder.c_str(), d);
    return path;
}

inline std::string fileName(int f)
{
    char name[16];
    snprintf(name, sizeof name, "F%05d.DAT", f);
    return name;
}

inline std::string filePath(const BenchTree& tree, int d, int f)
{
    return folderPath(tree, d) + "\\" + fileName(f);
}

inline void writeWholeFile(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

inline void makeTree(const BenchTree& tree)
{
    // The folders above it too: a fresh prefix has none of them.
    for (size_t end = tree.folder.find('\\', 3); end != std::string::npos; end = tree.folder.find('\\', end + 1))
        CreateDirectoryA(tree.folder.substr(0, end).c_str(), nullptr);
    CreateDirectoryA(tree.folder.c_str(), nullptr);
    CreateDirectoryA(appFolder(tree).c_str(), nullptr);
    for (int d = 0; d < tree.folders; ++d) {
        CreateDirectoryA(folderPath(tree, d).c_str(), nullptr);
        for (int f = 0; f < tree.filesPerFolder; ++f)
            writeWholeFile(filePath(tree, d, f), "data");
    }
}

// Writes INSTALL.LOG into App; its path.
inline std::string writeLog(const BenchTree& tree)
{
    std::string log = "***  Installation\r\nTitle: Bench\r\nMade Dir: " + appFolder(tree) + "\r\n";
    for (int d = 0; d < tree.folders; ++d) {
        log += "Made Dir: " + folderPath(tree, d) + "\r\n";
        for (int f = 0; f < tree.filesPerFolder; ++f)
            log += "File Copy: " + filePath(tree, d, f) + "\r\n";
    }
    std::string path = appFolder(tree) + "\\INSTALL.LOG";
    writeWholeFile(path, log);
    return path;
}

// The floor's loop over folders first..end-1: each file, then its folder.
inline void deleteFolders(const BenchTree& tree, int first, int end)
{
    for (int d = first; d < end; ++d) {
        for (int f = 0; f < tree.filesPerFolder; ++f)
            DeleteFileA(filePath(tree, d, f).c_str());
        RemoveDirectoryA(folderPath(tree, d).c_str());
    }
}

// What is left once the folders are gone: the log and App itself.
inline void deleteAppFolder(const BenchTree& tree)
{
    DeleteFileA((appFolder(tree) + "\\INSTALL.LOG").c_str());
    RemoveDirectoryA(appFolder(tree).c_str());
}

inline void deleteTree(const BenchTree& tree)
{
    deleteFolders(tree, 0, tree.folders);
    deleteAppFolder(tree);
}

inline bool treeRemoved(const BenchTree& tree)
{
    return GetFileAttributesA(appFolder(tree).c_str()) == INVALID_FILE_ATTRIBUTES;
}
