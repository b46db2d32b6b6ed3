#include "serial_key.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace keytut::keys {

namespace fs = std::filesystem;

namespace {

bool processRuns(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The process named by a lock file: the ASCII number on its first line ("      1234", or Qt's
// "1234" followed by the program's name), or the four-byte binary number of old programs.
long lockOwner(const fs::path& lockFile) {
    std::ifstream in(lockFile, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (content.size() == 4 && content.find_first_of("0123456789 ") != 0) {
        std::int32_t binary = 0;
        std::memcpy(&binary, content.data(), 4);
        return binary;
    }
    try {
        return std::stol(content);
    } catch (...) {
        return 0;
    }
}

}  // namespace

bool serialDeviceInUse(const std::string& device, std::string* holder) {
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    if (ec)
        return false;
    for (const char* dir : {"/run/lock", "/var/lock"}) {
        fs::path lock = fs::path(dir) / ("LCK.." + target.filename().string());
        if (fs::exists(lock, ec)) {
            long pid = lockOwner(lock);
            if (processRuns(pid)) {
                if (holder)
                    *holder = "process " + std::to_string(pid) + " (" + lock.string() + ")";
                return true;
            }
        }
    }
    // Open descriptors of every process we may look at.
    for (const auto& proc : fs::directory_iterator("/proc", ec)) {
        const std::string name = proc.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code fdError;
        for (const auto& fd : fs::directory_iterator(proc.path() / "fd", fdError)) {
            std::error_code linkError;
            fs::path link = fs::read_symlink(fd.path(), linkError);
            if (!linkError && link == target) {
                if (holder)
                    *holder = "process " + name;
                return true;
            }
        }
    }
    return false;
}

KeyPortResult SerialKey::open(const std::string& device, const std::string& portText) {
    auto key = openTerminal(device);
    if (!key || !key->readsModemLines())
        return KeyPortError{cantOpenPortMessage(portText)};
    return std::unique_ptr<KeySource>(std::move(key));
}

std::unique_ptr<SerialKey> SerialKey::openTerminal(const std::string& device) {
    struct stat info {};
    // Only a character device can be a serial port; a file on disk or a folder never is.
    if (device.empty() || ::stat(device.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        return nullptr;
    if (serialDeviceInUse(device))
        return nullptr;
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(device));
    // Qt takes the lock file and the exclusive flag itself, and refuses what is not a tty.
    if (!port->open(QIODevice::ReadWrite))
        return nullptr;
    // A port that cannot switch RTS still reads the key; nothing is reported.
    port->setRequestToSend(true);
    return std::unique_ptr<SerialKey>(new SerialKey(std::move(port)));
}

bool SerialKey::readsModemLines() const {
    // TIOCMGET itself, not Qt's pinoutSignals(), which would leave an error on the port.
    int lines = 0;
    return ::ioctl(static_cast<int>(port_->handle()), TIOCMGET, &lines) == 0;
}

SerialKey::SerialKey(std::unique_ptr<QSerialPort> port) : port_(std::move(port)) {
    QObject::connect(port_.get(), &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

SerialKey::~SerialKey() {
    // RTS is left as it is; closing the device lets it go.
    port_->disconnect();
    port_->close();
}

void SerialKey::onError(QSerialPort::SerialPortError error) {
    // An unplugged adapter shows as a resource error (the device hung up) or as a device gone.
    if (error == QSerialPort::ResourceError || error == QSerialPort::DeviceNotFoundError)
        failed_ = true;
}

int SerialKey::modemLinesDescriptor() const {
    return failed_ ? -1 : static_cast<int>(port_->handle());
}

std::uint32_t SerialKey::readKeyLines() {
    if (failed_)
        return last_;
    const auto signals_ = port_->pinoutSignals();
    if (port_->error() != QSerialPort::NoError) {
        // A failed read leaves the word as it was.
        onError(port_->error());
        port_->clearError();
        return last_;
    }
    std::uint32_t word = 0;
    if (signals_ & QSerialPort::ClearToSendSignal)
        word |= MS_CTS_ON;
    if (signals_ & QSerialPort::DataSetReadySignal)
        word |= MS_DSR_ON;
    if (signals_ & QSerialPort::RingIndicatorSignal)
        word |= MS_RING_ON;
    if (signals_ & QSerialPort::DataCarrierDetectSignal)
        word |= MS_RLSD_ON;
    last_ = word;
    return word;
}

}  // namespace keytut::keys
