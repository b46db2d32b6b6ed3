// The Morse key on a serial port, through Qt SerialPort: RTS held on while it is open, CTS and
// DSR read as the modem-status word.
#pragma once

#include <QSerialPort>
#include <memory>
#include <string>

#include "keying/key_source.h"

namespace keytut::keys {

class SerialKey : public KeySource {
  public:
    // Opens `device` for the port setting `portText`; a device that is absent, not a serial
    // port, or held by another program or screen gives "Can't open port " + portText. A serial
    // port is a terminal whose modem lines can be read: a pseudo-terminal, the console or any
    // other terminal without them could never show a key.
    static KeyPortResult open(const std::string& device, const std::string& portText);

    // The part of open() before the modem lines are looked at: any terminal device that is not
    // held elsewhere, opened exclusively with RTS on; nothing when it cannot be had. (A
    // pseudo-terminal then stands in for a serial port, to try the holding and the hanging up.)
    static std::unique_ptr<SerialKey> openTerminal(const std::string& device);

    // Whether the device reports its modem lines (CTS, DSR) at all.
    bool readsModemLines() const;

    ~SerialKey() override;

    std::uint32_t readKeyLines() override;
    bool failed() const override { return failed_; }
    int modemLinesDescriptor() const override;

  private:
    explicit SerialKey(std::unique_ptr<QSerialPort> port);
    void onError(QSerialPort::SerialPortError error);

    std::unique_ptr<QSerialPort> port_;
    std::uint32_t last_ = 0;
    bool failed_ = false;
};

// Whether another process (or this one) has `device` open, or a lock file in the system's lock
// folder (LCK..ttyS0, as serial programs on Linux write it) names a process that still runs.
// The kernel's exclusive-open flag does not stop a program running as root; this does, for
// every program the caller may inspect.
bool serialDeviceInUse(const std::string& device, std::string* holder = nullptr);

}  // namespace keytut::keys
