/*
 * A window's picture as the screen shows it, saved as a 24-bit BMP file: the
 * documentation's pictures of the payment options dialog, and the host
 * program's picture of the dialog as its user answered it.
 */
#pragma once

#include "common/win/Platform.h"

#include <string>

namespace paylode::referencehost {

// Copies the window's rectangle from the screen once it is drawn (a picture
// of one colour only is taken again, for up to a second) and writes it to
// `path` (ANSI). False when the file cannot be written.
bool SaveWindowPicture(HWND window, const std::string& path);

// The same for an area of the screen (a dialog and the message box over it,
// say); `window` is drawn again while the picture is of one colour.
bool SaveScreenPicture(const RECT& area, HWND window, const std::string& path);

}  // namespace paylode::referencehost
