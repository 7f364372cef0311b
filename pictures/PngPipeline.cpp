#include "pictures/PngPipeline.h"

namespace {

// Enough to keep drawing while one band is compressed and one waits.
constexpr int bandsInFlight = 3;

} // namespace

PngPipeline::~PngPipeline() {
    stop();
}

OutputStatus PngPipeline::open(const std::string& path, const OutputRules& rules, int width,
                               int height, std::string& error) {
    const OutputStatus status = png.open(path, rules, width, height, error);
    if (status != OutputStatus::Ready)
        return status;
    stride = std::size_t(width) * 3;
    bands.resize(bandsInFlight);
    for (Band& band : bands) {
        band.pixels.resize(stride * std::size_t(bandRows));
        free.push_back(&band);
    }
    worker = std::thread(&PngPipeline::compress, this);
    return OutputStatus::Ready;
}

unsigned char* PngPipeline::next() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !free.empty() || failed; });
    if (failed)
        return nullptr;
    current = free.front();
    free.pop_front();
    return current->pixels.data();
}

void PngPipeline::submit(int rows) {
    std::lock_guard<std::mutex> lock(mutex);
    current->rows = rows;
    filled.push_back(current);
    current = nullptr;
    changed.notify_all();
}

void PngPipeline::compress() {
    for (;;) {
        Band* band;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [this] { return !filled.empty() || closing; });
            if (filled.empty())
                return;
            band = filled.front();
            filled.pop_front();
        }
        bool written = true;
        for (int y = 0; y < band->rows && written; ++y)
            written = png.writeRow(band->pixels.data() + std::size_t(y) * stride);
        std::lock_guard<std::mutex> lock(mutex);
        failed = failed || !written;
        free.push_back(band);
        changed.notify_all();
    }
}

void PngPipeline::stop() {
    if (!worker.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        closing = true;
        changed.notify_all();
    }
    worker.join();
}

bool PngPipeline::finish(std::string& error) {
    stop();
    return png.finish(error) && !failed;
}
