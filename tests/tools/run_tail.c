/* `run_tail PROGRAM TAIL`: starts PROGRAM with exactly the command line "PROGRAM" TAIL, waits
   for it and exits with its exit status. Under Wine, a Windows command line is built from
   POSIX arguments by Wine's own quoting, which cannot express every tail a user types (a
   switch value in double quotes, for one); this passes the tail through unchanged. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv)
{
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    DWORD status = 127;
    size_t size;
    char* commandLine;
    if (argc != 3) {
        return 125;
    }
    size = strlen(argv[1]) + strlen(argv[2]) + 4;
    commandLine = (char*)malloc(size);
    if (commandLine == NULL) {
        return 125;
    }
    snprintf(commandLine, size, "\"%s\" %s", argv[1], argv[2]);
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessA(argv[1], commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &process)) {
        return 126;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    free(commandLine);
    return (int)status;
}
