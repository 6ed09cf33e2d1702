// For the end-to-end scenarios: tells the program's window, as the system tells it, that the
// session was locked or unlocked, or the window cloaked or uncloaked ("lock", "unlock",
// "cloak" or "uncloak" on the command line).
#include <string>
#include <windows.h>
#include <wtsapi32.h>

int main(int argc, char* argv[]) {
    const HWND window = FindWindowW(L"KivoFormKivo", nullptr);
    const std::string notice = argc == 2 ? argv[1] : "";
    if (window == nullptr) {
        return 1;
    }
    if (notice == "cloak" || notice == "uncloak") {
        NotifyWinEvent(notice == "cloak" ? 0x8017 : 0x8018, window, OBJID_WINDOW, CHILDID_SELF);
        return 0;
    }
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    const WPARAM change = notice == "lock" ? WTS_SESSION_LOCK : WTS_SESSION_UNLOCK;
    return PostMessageW(window, WM_WTSSESSION_CHANGE, change, session) ? 0 : 1;
}
