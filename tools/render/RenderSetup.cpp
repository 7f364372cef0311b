#include "tools/render/RenderSetup.h"

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

void clearScaleFactors() {
    for (const char* name :
         {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
          "QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_DEVICE_PIXEL_RATIO",
          "QT_USE_PHYSICAL_DPI"})
        unsetenv(name);
}

bool checkDisplay(std::string& error) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    if ((platform && *platform && std::strncmp(platform, "xcb", 3) != 0) || !display || !*display)
        return true;
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool opened = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (!opened)
        error = std::string("can't open the display '") + display +
                "' (unset DISPLAY to let render start its own virtual display)";
    return opened;
}
