// The gallery's pages: each draws one family of components onto a bitmap.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "graphics/bitmap.h"

namespace gallery {

struct TPage {
  std::string Name;   // file name stem, e.g. "marks"
  std::string Title;  // shown at the top of the page
  int Width;
  int Height;
  // Draws the page for the PNG file (and for the window when Live is empty).
  std::function<void(zef::TBitmap&)> Draw;
  // Optional: in the window, creates the page's live controls on Area (a control of
  // Width x Height below the title); the controls then paint and take input themselves.
  std::function<void(zef::TWinControl& Area)> Live = nullptr;
};

// Every page, in the order shown.
std::vector<TPage>& Pages();

// Registers a page at start-up: static const bool X = gallery::AddPage({...});
bool AddPage(TPage Page);

// Shows the pages in a window, starting with the named one; returns the exit code, or
// kNoWindow when no window can be opened.
constexpr int kNoWindow = -1;
int RunWindow(const std::string& StartPage);

// Paints the page background and title; returns the top of the free area.
int DrawPageFrame(zef::TBitmap& Bmp, const std::string& Title);

} // namespace gallery
