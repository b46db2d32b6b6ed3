#include "sim_key.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "core/readable_file.h"

namespace keytut {

std::uint32_t SimKeyScript::linesAt(std::int64_t ms) const {
    // The last change at or before `ms`.
    auto it = std::upper_bound(changes.begin(), changes.end(), ms,
                               [](std::int64_t t, const SimKeyChange& c) { return t < c.ms; });
    return it == changes.begin() ? 0 : std::prev(it)->lines;
}

std::optional<std::int64_t> SimKeyScript::nextChangeAfter(std::int64_t ms) const {
    auto it = std::upper_bound(changes.begin(), changes.end(), ms,
                               [](std::int64_t t, const SimKeyChange& c) { return t < c.ms; });
    if (it == changes.end())
        return std::nullopt;
    return it->ms;
}

std::optional<SimKeyScript> parseSimKeyScript(const std::string& text, std::string& error) {
    SimKeyScript script;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::istringstream fields(line);
        std::string time, state, extra;
        if (!(fields >> time))
            continue;  // blank or comment only
        auto fault = [&](const std::string& why) {
            error = "line " + std::to_string(number) + ": " + why;
            return std::nullopt;
        };
        if (!(fields >> state) || (fields >> extra))
            return fault("wants MILLISECONDS STATE");
        std::int64_t ms = 0;
        if (time.size() > 15 ||
            !std::all_of(time.begin(), time.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return fault("'" + time + "' is not a time in milliseconds");
        ms = std::stoll(time);
        std::uint32_t lines = 0;
        if (state == "-")
            lines = 0;
        else if (state == "CTS")
            lines = MS_CTS_ON;
        else if (state == "DSR")
            lines = MS_DSR_ON;
        else if (state == "CTS+DSR")
            lines = MS_CTS_ON | MS_DSR_ON;
        else
            return fault("'" + state + "' is not one of -, CTS, DSR, CTS+DSR");
        if (!script.changes.empty() && ms < script.changes.back().ms)
            return fault("the time goes back");
        script.changes.push_back({ms, lines});
    }
    return script;
}

std::string formatSimKeyScript(const SimKeyScript& script) {
    std::string out;
    for (const auto& c : script.changes) {
        const char* state = c.lines == (MS_CTS_ON | MS_DSR_ON) ? "CTS+DSR"
                            : c.lines == MS_CTS_ON             ? "CTS"
                            : c.lines == MS_DSR_ON             ? "DSR"
                                                               : "-";
        out += std::to_string(c.ms) + " " + state + "\n";
    }
    return out;
}

KeyPortResult openSimulatedKey(const std::string& path, const std::string& portText,
                               std::function<std::int64_t()> elapsedMs) {
    ReadableFile file(path, kMaxKeyScriptBytes);
    std::optional<std::string> text;
    if (file)
        text = file.readAll();
    switch (file.fault()) {
        case FileFault::None:
            break;
        case FileFault::TooLarge:
            return KeyPortError{"Key script " + path + ", too large (over " +
                                std::to_string(kMaxKeyScriptBytes >> 20) + " MB)"};
        case FileFault::Missing: {
            // Something that is there but is no file (a folder, a FIFO, a device) is no key.
            std::error_code error;
            if (std::filesystem::exists(std::filesystem::symlink_status(path, error)))
                return KeyPortError{cantOpenPortMessage(portText)};
            [[fallthrough]];
        }
        case FileFault::Unreadable:
            return KeyPortError{"Can't read the key script " + path};
    }
    std::string error;
    auto script = parseSimKeyScript(*text, error);
    if (!script)
        return KeyPortError{"Key script " + path + ", " + error};
    return std::unique_ptr<KeySource>(
        std::make_unique<SimulatedKey>(std::move(*script), std::move(elapsedMs)));
}

}  // namespace keytut
