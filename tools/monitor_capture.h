// For the measurement tool: records when a tone starts in the default PipeWire sink's monitor,
// through a native capture stream, on the steady clock. What the playing stream reports of its
// own playback times is its claim; this is where the tone is seen to arrive.
#pragma once

#include <memory>
#include <string>
#include <vector>

class MonitorCapture {
  public:
    // Null when no PipeWire server answers or the capture does not start.
    static std::unique_ptr<MonitorCapture> open();
    virtual ~MonitorCapture() = default;

    // For each key-down (steady seconds), the milliseconds until the first tone start the
    // monitor saw after it and within `within` seconds; key-downs without one are left out.
    virtual std::vector<double> delaysAfter(const std::vector<double>& keyDowns,
                                            double within) const = 0;
    // The silences between two tone runs (a pause of 1 ms or more ends a run), in milliseconds.
    virtual std::vector<double> silences() const = 0;
    // How much was captured, in a few words.
    virtual std::string state() const = 0;
};
