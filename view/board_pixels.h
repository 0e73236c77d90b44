// The board's pixels, free of any platform: what a full repaint or one cell drawing leaves on a
// surface. The window code hands these a DIB section; the tests hand them a plain buffer.
#pragma once

#include <cstdint>

// Colours as 0x00RRGGBB, the layout of a 32-bit DIB pixel.
constexpr uint32_t kLiveColour = 0x225588;        // (34, 85, 136)
constexpr uint32_t kDeadColour = 0xFFFFFF;        // the same as the background
constexpr uint32_t kBackgroundColour = 0xFFFFFF;
constexpr uint32_t kGridColour = 0xCCCCCC;        // (204, 204, 204)

constexpr uint8_t RedOf(uint32_t colour) { return static_cast<uint8_t>(colour >> 16); }
constexpr uint8_t GreenOf(uint32_t colour) { return static_cast<uint8_t>(colour >> 8); }
constexpr uint8_t BlueOf(uint32_t colour) { return static_cast<uint8_t>(colour); }

// Rows of 32-bit pixels, top row first, each row exactly width pixels long.
struct PixelSurface {
    uint32_t* pixels;
    int32_t width;
    int32_t height;
};

// Pixels left <= x < right, top <= y < bottom.
struct PixelRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

inline bool IsEmptyRect(PixelRect r) { return r.left >= r.right || r.top >= r.bottom; }

// The interior of the cell's square (the square less its first row and column, where the grid
// lines lie) clipped to a width x height client area. Empty when none of it shows.
PixelRect CellInterior(int32_t x, int32_t y, int32_t width, int32_t height);

void FillPixels(PixelSurface surface, PixelRect r, uint32_t colour);

// Background and grid: lines at i * cellSize for i >= 1 across the whole surface, none at 0.
void PaintGridPixels(PixelSurface surface);
// Background, grid and every live cell.
void PaintBoardPixels(PixelSurface surface);
// One cell's interior, live or dead; the grid around it is left alone.
void DrawCellPixels(PixelSurface surface, int32_t x, int32_t y, bool alive);
