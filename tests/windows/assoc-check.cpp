// Asks the Windows shell about a file as the Explorer would, for the installer test:
//   assoc-check find FILE          prints the program FindExecutable names for FILE
//   assoc-check open FILE PREFIX   opens FILE through its association and prints the
//                                  title of the first window whose title starts with
//                                  PREFIX (within 60 s), then ends that program
// Exit status 0 when there was an answer.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void print(const std::wstring& text) {
    char utf8[2048];
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", n > 0 ? utf8 : "");
    std::fflush(stdout);
}

struct Search {
    const wchar_t* prefix;
    HWND found = nullptr;
    std::wstring title;
};

BOOL CALLBACK listTitle(HWND window, LPARAM) {
    wchar_t title[512];
    if (IsWindowVisible(window) && GetWindowTextW(window, title, 512) > 0) {
        print(std::wstring(L"  fenêtre : ") + title);
    }
    return TRUE;
}

BOOL CALLBACK visit(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t title[512];
    if (!IsWindowVisible(window) || GetWindowTextW(window, title, 512) <= 0) {
        return TRUE;
    }
    if (std::wcsncmp(title, search->prefix, std::wcslen(search->prefix)) != 0) {
        return TRUE;
    }
    search->found = window;
    search->title = title;
    return FALSE;
}

int find(const wchar_t* file) {
    wchar_t program[MAX_PATH] = L"";
    const auto answer = reinterpret_cast<INT_PTR>(FindExecutableW(file, nullptr, program));
    if (answer <= 32) {
        std::printf("(aucun programme : %d)\n", static_cast<int>(answer));
        return 1;
    }
    print(program);
    return 0;
}

int open(const wchar_t* file, const wchar_t* prefix) {
    if (reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", file, nullptr, nullptr, SW_SHOWNORMAL)) <= 32) {
        std::printf("(ShellExecute a échoué)\n");
        return 1;
    }
    Search search{prefix, nullptr, {}};
    for (int i = 0; i < 600 && search.found == nullptr; ++i) {
        Sleep(100);
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    }
    if (search.found == nullptr) {
        std::printf("(aucune fenêtre)\n");
        EnumWindows(listTitle, 0);
        return 1;
    }
    print(search.title);
    DWORD process = 0;
    GetWindowThreadProcessId(search.found, &process);
    if (HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, process)) {
        TerminateProcess(handle, 0);
        CloseHandle(handle);
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc == 3 && std::wcscmp(argv[1], L"find") == 0) {
        return find(argv[2]);
    }
    if (argc == 4 && std::wcscmp(argv[1], L"open") == 0) {
        return open(argv[2], argv[3]);
    }
    std::printf("usage: assoc-check find FICHIER | open FICHIER PREFIXE\n");
    return 2;
}
