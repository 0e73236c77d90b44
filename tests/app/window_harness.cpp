#include "window_harness.h"

#include <shellapi.h>

#include <cstring>
#include <ostream>

PlatformLog platform;
bool (*keepMessageBoxOpen)() = nullptr;

namespace {

HWND openWindow = nullptr;
decltype(&SetTimer) realSetTimer;
decltype(&KillTimer) realKillTimer;
decltype(&MessageBoxA) realMessageBoxA;
std::string openBoxCaption;

// The window's platform calls go through this executable's import table: pointing an entry at
// a recorder shows them without a seam in the program itself. Returns the original.
template <typename T>
T RedirectImport(const char* dll, const char* function, T replacement)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name; ++d) {
        if (_stricmp(reinterpret_cast<char*>(base + d->Name), dll) != 0) {
            continue;
        }
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) ||
                std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name, function)) {
                continue;
            }
            DWORD protection;
            VirtualProtect(&slot->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            T original = reinterpret_cast<T>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof(void*), protection, &protection);
            return original;
        }
    }
    ADD_FAILURE() << function << " is not imported from " << dll;
    return nullptr;
}

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC callback)
{
    if (window == openWindow && id == kStepTimerId && !callback) {
        platform.timerRunning = true;
        platform.timerPeriod = period;
        ++platform.timerCalls;
    }
    return realSetTimer(window, id, period, callback);
}

BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id)
{
    if (window == openWindow && id == kStepTimerId) {
        platform.timerRunning = false;
        ++platform.timerCalls;
    }
    return realKillTimer(window, id);
}

BOOL WINAPI RecordMessageBeep(UINT)
{
    ++platform.beeps;
    return TRUE;
}

// Runs inside the box's own modal loop.
void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowA("#32770", openBoxCaption.c_str());
    if (box && box != openWindow && !(keepMessageBoxOpen && keepMessageBoxOpen())) {
        KillTimer(nullptr, timer);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
}

// The real box, so that its modal loop runs as it would for the user. A box raised while
// another waits is only counted: stacking them up would hang the test instead of failing it.
int WINAPI RecordMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    platform.boxOwners.push_back(owner);
    platform.boxes.push_back(std::string(caption) + "|" + text + "|" + std::to_string(type));
    if (!openBoxCaption.empty()) {
        return IDOK;
    }
    openBoxCaption = caption;
    realSetTimer(nullptr, 0, 20, CloseMessageBox);
    int result = realMessageBoxA(owner, text, caption, type);
    openBoxCaption.clear();
    return result;
}

// Nothing is handed to a browser.
HINSTANCE WINAPI RecordShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show)
{
    auto text = [](LPCSTR s) { return std::string(s ? s : "null"); };
    platform.shellCalls.push_back((owner ? "window|" : "null|") + text(verb) + "|" + text(file) + "|" +
                                  text(parameters) + "|" + text(directory) + "|" + std::to_string(show));
    return reinterpret_cast<HINSTANCE>(33);
}

void SendKeys(std::initializer_list<WORD> keys, DWORD flags)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    auto settled = [&] {
        for (WORD key : keys) {
            if (((GetAsyncKeyState(key) & 0x8000) != 0) == ((flags & KEYEVENTF_KEYUP) != 0)) {
                return false;
            }
        }
        return true;
    };
    for (int i = 0; i < 500 && !settled(); ++i) {
        Sleep(2);
    }
    ASSERT_TRUE(settled()) << "the held keys did not reach the key state";
}

// Under Wine on a display without a window manager, every hide of a managed window waits two
// seconds for a withdrawal that never comes. This executable's windows go unmanaged instead;
// the setting is read when the first window is made, and Windows ignores it.
class UnmanagedWindowsUnderWine : public ::testing::Environment {
    void SetUp() override
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\app_tests.exe\\X11 Driver", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
            RegCloseKey(key);
        }
        realSetTimer = RedirectImport("user32.dll", "SetTimer", &RecordSetTimer);
        realKillTimer = RedirectImport("user32.dll", "KillTimer", &RecordKillTimer);
        realMessageBoxA = RedirectImport("user32.dll", "MessageBoxA", &RecordMessageBoxA);
        RedirectImport("user32.dll", "MessageBeep", &RecordMessageBeep);
        RedirectImport("shell32.dll", "ShellExecuteA", &RecordShellExecuteA);
    }
};
const auto* environment = ::testing::AddGlobalTestEnvironment(new UnmanagedWindowsUnderWine);

}  // namespace

void MainWindowTest::SetUp()
{
    platform = PlatformLog();
    keepMessageBoxOpen = nullptr;
    // The size and speed have static initial values that no window resets.
    viewport.cellSize = kInitialCellSize;
    stepIntervalMs = 50;
    window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    ASSERT_NE(window, nullptr);
    openWindow = mainWindow = window;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);
    PumpPending();
}

void MainWindowTest::TearDown()
{
    // The table goes as the close would take it; the close itself has its own tests.
    DestroyWindow(window);
    ReleaseCellStorage();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    openWindow = mainWindow = nullptr;
}

INT_PTR Deliver(UINT message, WPARAM wParam, LPARAM lParam)
{
    return MainDialogProc(openWindow, message, wParam, lParam);
}

INT_PTR Click(int px, int py, UINT message)
{
    return Deliver(message, MK_LBUTTON, MAKELPARAM(px, py));
}

INT_PTR PressKey(WORD key, std::initializer_list<WORD> held)
{
    SendKeys(held, 0);
    INT_PTR result = Deliver(WM_KEYDOWN, key, 1);
    SendKeys(held, KEYEVENTF_KEYUP);
    // The modifiers' own key messages have no action; keep them out of later loops.
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    return result;
}

INT_PTR Command(int commandId)
{
    return Deliver(WM_COMMAND, static_cast<WPARAM>(commandId), 0);
}

INT_PTR Tick(WPARAM timerId)
{
    return Deliver(WM_TIMER, timerId, 0);
}

void PlaceCells(const std::vector<Cell>& cells)
{
    for (Cell cell : cells) {
        ASSERT_TRUE(AddCell(cell.x, cell.y));
    }
    RequestRepaint(openWindow);
}

std::vector<Cell> LiveCells()
{
    std::vector<Cell> cells;
    for (int32_t i = 0; i < count; ++i) {
        cells.push_back(CellAt(i));
    }
    return cells;
}

void FillTableToTheBrim()
{
    for (int32_t i = 0; i < 3333; ++i) {
        int32_t x = 1 + i % 100 * 4;
        int32_t y = 1 + i / 100 * 4;
        AddCell(x, y);
        AddCell(x + 1, y);
        AddCell(x, y + 1);
    }
    RequestRepaint(openWindow);
}

bool PumpUntil(bool (*condition)())
{
    for (DWORD start = GetTickCount(); !condition(); PumpPending()) {
        if (GetTickCount() - start > 5000) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void PumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

COLORREF Pixel(int x, int y)
{
    HDC dc = GetDC(openWindow);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(openWindow, dc);
    return colour;
}

COLORREF CellColour(int32_t x, int32_t y)
{
    PixelPoint corner = CellToScreen(x, y);
    return Pixel(static_cast<int>(corner.x + viewport.cellSize / 2), static_cast<int>(corner.y + viewport.cellSize / 2));
}

void PrintTo(Cell cell, std::ostream* out)
{
    *out << "(" << cell.x << ", " << cell.y << ")";
}
