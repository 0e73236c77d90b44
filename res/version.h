// The version as users read it: in the window's caption, the boxes' caption and the About box.
#pragma once

#define QUILLANE_VERSION "0.0.1"
#define QUILLANE_WINDOW_CAPTION "The Quillane (" QUILLANE_VERSION ")"
#define QUILLANE_MESSAGE_CAPTION "The Quillane " QUILLANE_VERSION
