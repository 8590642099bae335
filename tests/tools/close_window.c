/* `close_window CLASS PROGRAM`: asks a running program's hidden window to close, as a user or
   the session would: posts WM_CLOSE to every top-level window of class CLASS whose process
   runs the file PROGRAM (a full path, case ignored). Waits up to 20 s for one to appear; exits
   0 once it has posted, 1 when none appeared. */
#include <windows.h>

struct Search {
    const char* className;
    const char* program;
    int posted;
};

static BOOL CALLBACK CloseIfOurs(HWND window, LPARAM parameter)
{
    struct Search* search = (struct Search*)parameter;
    char className[256];
    char image[MAX_PATH];
    DWORD size = sizeof image;
    DWORD processId = 0;
    HANDLE process;
    if (GetClassNameA(window, className, sizeof className) == 0 ||
        lstrcmpA(className, search->className) != 0) {
        return TRUE;
    }
    GetWindowThreadProcessId(window, &processId);
    process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == NULL) {
        return TRUE;
    }
    if (QueryFullProcessImageNameA(process, 0, image, &size) &&
        lstrcmpiA(image, search->program) == 0 && PostMessageA(window, WM_CLOSE, 0, 0)) {
        search->posted = 1;
    }
    CloseHandle(process);
    return TRUE;
}

int main(int argc, char** argv)
{
    struct Search search;
    int look;
    if (argc != 3) {
        return 2;
    }
    search.className = argv[1];
    search.program = argv[2];
    search.posted = 0;
    for (look = 0; look < 400 && !search.posted; ++look) {
        EnumWindows(CloseIfOurs, (LPARAM)&search);
        if (!search.posted) {
            Sleep(50);
        }
    }
    return search.posted ? 0 : 1;
}
