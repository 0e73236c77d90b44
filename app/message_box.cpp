#include "message_box.h"

#include <memory>

#include "run.h"
#include "version.h"
#include "wide_text.h"

namespace {

bool IsMenuOpen()
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE) != 0;
}

}  // namespace

int ShowMessage(HWND window, const std::string& text, UINT type)
{
    if (IsMenuOpen()) {
        // Ending the menu lets its loop return as soon as this call does; the box follows.
        EndMenu();
        auto* copy = new std::string(text);
        if (!PostMessageA(window, kShowWaitingMessage, type, reinterpret_cast<LPARAM>(copy))) {
            delete copy;
        }
        return 0;
    }
    BeginModal(window);
    // Wide, so that a file's name shows as the user sees it.
    const int answer = MessageBoxW(window, Utf16(text).c_str(), Utf16(QUILLANE_MESSAGE_CAPTION).c_str(), type);
    EndModal(window);
    return answer;
}

void ShowWaitingMessage(HWND window, WPARAM type, LPARAM text)
{
    std::unique_ptr<std::string> owned(reinterpret_cast<std::string*>(text));
    ShowMessage(window, *owned, static_cast<UINT>(type));
}

void BeginModal(HWND window)
{
    if (window && GetCapture() == window) {
        ReleaseCapture();
    }
    PauseRun(window);
}

void EndModal(HWND window)
{
    ResumeRun(window);
}
