#pragma once

#include "pictures/PngWriter.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A PngWriter fed in bands of rows that it compresses on a thread of its own,
// so that the next bands can be drawn meanwhile. The caller fills the band
// that next() hands out and passes it on with submit(); a few bands are in
// flight at a time.
class PngPipeline {
public:
    // Bands of `bandRows` rows of `width` RGB pixels.
    explicit PngPipeline(int bandRows) : bandRows(bandRows) {}
    ~PngPipeline();
    PngPipeline(const PngPipeline&) = delete;
    PngPipeline& operator=(const PngPipeline&) = delete;

    OutputStatus open(const std::string& path, const OutputRules& rules, int width, int height,
                      std::string& error);
    // A band to fill, rows width * 3 bytes apart; null once writing has failed.
    unsigned char* next();
    // Writes the first `rows` rows of the band next() gave.
    void submit(int rows);
    // After the last band: waits for the rows to be written, completes the file
    // and moves it into place.
    bool finish(std::string& error);

private:
    void compress();
    void stop();

    struct Band {
        std::vector<unsigned char> pixels;
        int rows = 0;
    };

    PngWriter png;
    int bandRows;
    std::size_t stride = 0;
    std::vector<Band> bands;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Band*> free, filled;
    Band* current = nullptr;
    bool closing = false;
    bool failed = false;
    std::thread worker;
};
