#pragma once

#include <string>
#include <sys/types.h>

// A private X server (Xvfb) for drawing where no display is set. start()
// runs Xvfb on a free display number, waits a bounded time for it to report
// that number and points DISPLAY at it; the server ends with this object, or
// with the process should it die first.
class VirtualDisplay {
public:
    VirtualDisplay() = default;
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool start(std::string& error);

private:
    void stop();

    pid_t server = -1;
};
