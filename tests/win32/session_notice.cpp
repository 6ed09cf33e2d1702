// For the end-to-end scenarios: tells the program's window that the session was locked or
// unlocked ("lock" or "unlock" on the command line), as the system tells it.
#include <cstring>
#include <windows.h>
#include <wtsapi32.h>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        return 2;
    }
    const HWND window = FindWindowW(L"KivoFormKivo", nullptr);
    const WPARAM change = std::strcmp(argv[1], "lock") == 0 ? WTS_SESSION_LOCK : WTS_SESSION_UNLOCK;
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return window != nullptr && PostMessageW(window, WM_WTSSESSION_CHANGE, change, session) ? 0 : 1;
}
