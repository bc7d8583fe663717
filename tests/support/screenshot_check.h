// Screenshots that show what Wine has drawn: Wine hands its drawing over to
// the X display some time after it is done, and the screenshot tool sees
// only what has been handed over.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A grid of points inside a window, in screen coordinates.
std::vector<POINT> PointsOf(HWND window);
// Saves screenshots (SaveScreenshot) until one shows every given screen
// pixel as Wine drew it; false when none did in time.
bool SaveScreenshotShowing(const std::string& name, const std::vector<POINT>& pixels);

}  // namespace testing_support
