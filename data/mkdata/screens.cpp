// The folder that screenshots and frame captures are written into.
#include <filesystem>
#include <system_error>

#include "mkdata.h"

static bool MakeScreensFolder(const mkdata::Context &ctx) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(ctx.out) / "vek/resource/art/screens", ec);
    return !ec;
}
static mkdata::Generator gScreens("40-screens-folder", MakeScreensFolder);
