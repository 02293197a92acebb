/* A small Windows program for the end-to-end scenarios run through Wine.
 * It appends its command line and its working folder, as Windows shows them
 * to it, to the file named by ORBINO_WINE_RECORD (UTF-8, one "argv:" and one
 * "cwd:" line per start), waits ORBINO_WINE_HOLD_MS milliseconds (so that
 * the lesson player's busy status can be seen) and ends with code 0. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static void write_utf8(FILE *f, const char *label, const wchar_t *text) {
    char buf[8192];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, sizeof buf, NULL, NULL);
    if (n <= 0)
        buf[0] = '\0';
    fprintf(f, "%s%s\n", label, buf);
}

int main(void) {
    wchar_t record[MAX_PATH];
    wchar_t cwd[MAX_PATH];
    wchar_t hold[32];
    FILE *f;
    if (!GetEnvironmentVariableW(L"ORBINO_WINE_RECORD", record, MAX_PATH))
        return 2;
    if (!GetCurrentDirectoryW(MAX_PATH, cwd))
        cwd[0] = L'\0';
    f = _wfopen(record, L"ab");
    if (!f)
        return 2;
    write_utf8(f, "argv: ", GetCommandLineW());
    write_utf8(f, "cwd: ", cwd);
    fclose(f);
    if (GetEnvironmentVariableW(L"ORBINO_WINE_HOLD_MS", hold, 32))
        Sleep((DWORD)_wtoi(hold));
    return 0;
}
