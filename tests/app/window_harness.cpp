#include "window_harness.h"

#include <commdlg.h>
#include <shellapi.h>

#include <filesystem>

#include "wide_text.h"

PlatformLog platform;

namespace {

decltype(&SetTimer) realSetTimer;
decltype(&KillTimer) realKillTimer;
decltype(&WriteFile) realWriteFile;

// The window's platform calls go through this executable's import address table: pointing an entry
// at a recorder shows them without a seam in the program. Returns the original. T is the import's own
// type: on i686 a recorder of another calling convention would leave the caller's stack unbalanced.
template <typename T>
T RedirectImport(const char* dll, const char* function, T recorder)
{
    auto original = reinterpret_cast<ULONG_PTR>(GetProcAddress(LoadLibraryA(dll), function));
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
    auto* slot = reinterpret_cast<ULONG_PTR*>(base + table.VirtualAddress);
    for (auto* end = slot + table.Size / sizeof *slot; slot < end; ++slot) {
        DWORD protection;
        if (*slot == original && VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) {
            *slot = reinterpret_cast<ULONG_PTR>(recorder);
            return reinterpret_cast<T>(original);
        }
    }
    ADD_FAILURE() << function << " is not imported";
    return nullptr;
}

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC proc)
{
    platform.timer = window && id == kStepTimerId ? period : platform.timer;
    platform.batchTimer = platform.batchTimer || (window && id == kBatchTimerId);
    return realSetTimer(window, id, period, proc);
}

BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id)
{
    platform.timer = window && id == kStepTimerId ? 0 : platform.timer;
    platform.batchTimer = platform.batchTimer && !(window && id == kBatchTimerId);
    return realKillTimer(window, id);
}

// A box or a dialog is up: its loop would deliver whatever the run has waiting (a few batches here).
void NoteModal()
{
    platform.captureAtBox = GetCapture();
    const int64_t before = generation;
    MSG batch;
    for (int i = 0; i < 3 && PeekMessageA(&batch, mainWindow, kRunBatchMessage, kRunBatchMessage, PM_REMOVE); ++i) {
        DispatchMessageA(&batch);
    }
    platform.ranBehindBox = platform.ranBehindBox || platform.timer || platform.batchTimer || generation != before;
}

BOOL WINAPI ReadClock(LARGE_INTEGER* t)
{
    t->QuadPart = platform.clockMs >= 0 ? platform.clockMs : static_cast<LONGLONG>(GetTickCount64());
    platform.clockMs += platform.clockMs >= 0 ? platform.clockStepMs : 0;
    return TRUE;
}

BOOL WINAPI ClockFrequency(LARGE_INTEGER* f)
{
    f->QuadPart = 1000;
    return TRUE;
}

BOOL WINAPI RecordBeep(UINT) { return ++platform.beeps; }

int WINAPI RecordMessageBox(HWND, LPCWSTR text, LPCWSTR caption, UINT)
{
    NoteModal();
    platform.shown.push_back(Utf8(caption) + "|" + Utf8(text));
    return platform.answer;
}

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT)
{
    platform.shown.push_back(std::string(verb) + "|" + file);
    return reinterpret_cast<HINSTANCE>(33);
}

// Either file dialog, answered at once as the user would.
BOOL WINAPI ChooseFile(OPENFILENAMEW* dialog)
{
    NoteModal();
    platform.offeredPath = Utf8(dialog->lpstrFile);
    platform.offeredFolder = dialog->lpstrInitialDir ? Utf8(dialog->lpstrInitialDir) : "";
    lstrcpynW(dialog->lpstrFile, Utf16(platform.chosenPath).c_str(), static_cast<int>(dialog->nMaxFile));
    dialog->nFilterIndex = platform.chosenFilter;
    return !platform.chosenPath.empty();
}

BOOL WINAPI RecordWriteFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    SetLastError(ERROR_DISK_FULL);  // read only when the write fails
    return !platform.writesFail && realWriteFile(file, bytes, size, written, overlapped);
}

}  // namespace

void OpenMainWindow(bool keepSettings)
{
    // Never the user's settings, and none left from an earlier test.
    const std::filesystem::path settings = std::filesystem::temp_directory_path() / std::filesystem::u8path("Quillane settings ü");
    SetEnvironmentVariableW(L"QUILLANE_SETTINGS", settings.wstring().c_str());
    if (!keepSettings) {
        std::filesystem::remove_all(settings);
    }
    // Once, before the first window: under Wine without a window manager, every hide of a managed
    // window waits two seconds for a withdrawal that never comes.
    [[maybe_unused]] static const bool recorded = [] {
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\app_tests.exe\\X11 Driver", "Managed", REG_SZ, "N", 2);
        realSetTimer = RedirectImport<decltype(&SetTimer)>("user32", "SetTimer", RecordSetTimer);
        realKillTimer = RedirectImport<decltype(&KillTimer)>("user32", "KillTimer", RecordKillTimer);
        RedirectImport<decltype(&MessageBeep)>("user32", "MessageBeep", RecordBeep);
        RedirectImport<decltype(&QueryPerformanceCounter)>("kernel32", "QueryPerformanceCounter", ReadClock);
        RedirectImport<decltype(&QueryPerformanceFrequency)>("kernel32", "QueryPerformanceFrequency", ClockFrequency);
        RedirectImport<decltype(&MessageBoxW)>("user32", "MessageBoxW", RecordMessageBox);
        RedirectImport<decltype(&ShellExecuteA)>("shell32", "ShellExecuteA", RecordShellExecute);
        RedirectImport<decltype(&GetOpenFileNameW)>("comdlg32", "GetOpenFileNameW", ChooseFile);
        RedirectImport<decltype(&GetSaveFileNameW)>("comdlg32", "GetSaveFileNameW", ChooseFile);
        realWriteFile = RedirectImport<decltype(&WriteFile)>("kernel32", "WriteFile", RecordWriteFile);
        return true;
    }();
    platform = PlatformLog();
    mainWindow = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    EXPECT_NE(mainWindow, nullptr);
    ShowWindow(mainWindow, SW_SHOW);
    // Active, as under the user's hand: under Wine the pattern tests' saves and clipboard need it.
    SetForegroundWindow(mainWindow);
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
        DispatchMessageA(&message);
    }
}

void CloseMainWindow()
{
    DestroyWindow(mainWindow);
    ReleaseCellStorage();
    for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
    }
    mainWindow = nullptr;
}

INT_PTR PressKey(WORD key, std::initializer_list<WORD> held)
{
    // The thread's key state, which follows the queue; the keyboard itself holds nothing meanwhile.
    BYTE keys[256] = {};
    for (WORD k : held) {
        keys[k] = 0x80;
    }
    SetKeyboardState(keys);
    const INT_PTR result = Deliver(WM_KEYDOWN, key, 1);
    BYTE none[256] = {};
    SetKeyboardState(none);
    return result;
}
