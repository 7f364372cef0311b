#pragma once

// What a render route gives back to the command, which alone prints and exits.

#include "alphabet/OutputFile.h"

#include <functional>
#include <string>
#include <utility>

struct RenderResult {
    int status = 0;      // the exit status: 0 written, 1 failed, 2 refused (usage, input, output)
    std::string message; // why, where the status is not 0

    static RenderResult failure(std::string why) { return {1, std::move(why)}; }
    static RenderResult refusal(std::string why) { return {2, std::move(why)}; }
    // A refusal or a failure as an output's opening reports it.
    static RenderResult of(OutputStatus status, std::string why) {
        return status == OutputStatus::Refused ? refusal(std::move(why)) : failure(std::move(why));
    }
    bool ok() const { return status == 0; }
};

// Takes each line the command reports on the way, such as a page written.
using RenderNotice = std::function<void(const std::string&)>;
