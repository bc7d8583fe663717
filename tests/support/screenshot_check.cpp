#include "tests/support/screenshot_check.h"

#include <cstdlib>

#include "tests/support/test_support.h"

namespace testing_support {

namespace {

std::string ScreenshotFolder() {
    return std::string(std::getenv("YORUNEL_BUILD")) + "/screenshots/";
}

// A PNG file is complete once it ends with its IEND chunk.
bool PngComplete(const std::string& path) {
    const std::string bytes = ReadFileBytes(path);
    return bytes.size() > 12 && bytes.compare(bytes.size() - 8, 4, "IEND") == 0;
}

// The colour of a pixel of a saved screenshot, read back with the image tool.
COLORREF ScreenshotPixel(const std::string& name, POINT at) {
    const std::string raw = ScreenshotFolder() + name + ".pixel";
    DeleteFileA(WinPath(raw).c_str());
    StartUnixTool("/usr/bin/convert " + ScreenshotFolder() + name + ".png -crop 1x1+" + std::to_string(at.x) + "+" +
                  std::to_string(at.y) + " -depth 8 rgb:" + raw);
    std::string bytes;
    WaitUntil([&] { return (bytes = ReadFileBytes(WinPath(raw))).size() == 3; }, 10000);
    DeleteFileA(WinPath(raw).c_str());
    if (bytes.size() != 3)
        return CLR_INVALID;
    return RGB(static_cast<BYTE>(bytes[0]), static_cast<BYTE>(bytes[1]), static_cast<BYTE>(bytes[2]));
}

}  // namespace

std::vector<POINT> PointsOf(HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    std::vector<POINT> points;
    for (int row = 1; row <= 4; ++row)
        for (int column = 1; column <= 4; ++column)
            points.push_back({area.left + (area.right - area.left) * column / 5,
                              area.top + (area.bottom - area.top) * row / 5});
    return points;
}

bool SaveScreenshotShowing(const std::string& name, const std::vector<POINT>& pixels) {
    if (!std::getenv("YORUNEL_BUILD"))
        return false;
    const std::string png = WinPath(ScreenshotFolder() + name + ".png");
    return WaitUntil(
        [&] {
            DeleteFileA(png.c_str());
            SaveScreenshot(name);
            if (!WaitUntil([&] { return PngComplete(png); }, 10000))
                return false;
            for (POINT pixel : pixels)
                if (ScreenshotPixel(name, pixel) != ScreenPixel(pixel.x, pixel.y))
                    return false;
            return true;
        },
        20000);
}

}  // namespace testing_support
