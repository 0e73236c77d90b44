// The population graph: a tool window of the main window plotting the live cells of every board the
// timeline holds, to scrub through with the mouse and the arrow keys.
#pragma once

#include <windows.h>

#include <string>

// Opens the graph beside the owner, or closes it when open.
void TogglePopulationWindow(HWND owner);
// The graph's window, null while it is closed.
HWND PopulationWindow();
// The timeline changed (a generation, an edit, a move back or forward): the graph is drawn anew at
// its next paint.
void ShowTimelineChanged();
// What the status line says: "generation N, K cells" for the board under the pointer, or for the
// board shown while the pointer is elsewhere.
std::string PopulationStatusText();
