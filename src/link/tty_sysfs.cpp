// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/tty_sysfs.h"

#include <filesystem>
#include <fstream>
#include <set>

namespace tk358 {

namespace fs = std::filesystem;

namespace {

// Sysfs attributes are one short line; nothing longer is worth showing.
constexpr std::size_t kMaxAttributeLength = 256;
// From the tty's device up to the USB device: port, interface, device.
constexpr int kMaxLevelsToUsbDevice = 4;
// From the tty's device up past the serial-base port and controller.
constexpr int kMaxSerialBaseLevels = 3;

// The attribute's first line without surrounding blanks; empty when missing.
std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {};
    }
    std::string text(kMaxAttributeLength, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    text = text.substr(0, text.find('\n'));
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

fs::path TtyDirectory(const std::string& sysRoot, const std::string& name) {
    return fs::path(sysRoot) / "class" / "tty" / name;
}

// The USB device directory (the one with idVendor) at or above `device`.
fs::path UsbDeviceAbove(const fs::path& device) {
    fs::path dir = device;
    for (int level = 0;
         level <= kMaxLevelsToUsbDevice && dir.has_relative_path() && dir.filename() != "devices";
         ++level) {
        std::error_code error;
        if (fs::exists(dir / "idVendor", error)) {
            return dir;
        }
        dir = dir.parent_path();
    }
    return {};
}

// The driver of the hardware: the serial-base port and controller devices
// that newer kernels put between a UART and its tty carry only the generic
// drivers "port" and "ctrl", so they are passed over.
std::string HardwareDriver(const fs::path& device) {
    fs::path dir = device;
    for (int level = 0; level < kMaxSerialBaseLevels && dir.has_relative_path(); ++level) {
        std::error_code error;
        if (fs::read_symlink(dir / "subsystem", error).filename() != "serial-base") {
            const fs::path driver = fs::read_symlink(dir / "driver", error);
            return error ? std::string() : driver.filename().string();
        }
        dir = dir.parent_path();
    }
    return {};
}

std::string UsbText(const fs::path& usb, bool withSerial) {
    const std::string product = ReadAttribute(usb / "product");
    const std::string maker = ReadAttribute(usb / "manufacturer");
    std::string text;
    if (product.empty() && maker.empty()) {
        text = "Urządzenie USB " + ReadAttribute(usb / "idVendor") + ":" +
               ReadAttribute(usb / "idProduct");
    } else if (maker.empty() || product.find(maker) != std::string::npos) {
        text = product;
    } else if (product.empty()) {
        text = maker;
    } else {
        text = maker + " " + product;
    }
    const std::string serial = withSerial ? ReadAttribute(usb / "serial") : std::string();
    if (!serial.empty()) {
        text += ", nr seryjny " + serial;
    }
    return text;
}

}  // namespace

bool IsRealSerialPort(const std::string& sysRoot, const std::string& name) {
    const fs::path tty = TtyDirectory(sysRoot, name);
    std::error_code error;
    if (!fs::exists(tty / "device", error)) {
        return false;
    }
    return ReadAttribute(tty / "type") != "0";
}

std::string TtyHardwareText(const std::string& sysRoot, const std::string& name, bool withSerial) {
    std::error_code error;
    const fs::path device = fs::canonical(TtyDirectory(sysRoot, name) / "device", error);
    if (error) {
        return {};
    }
    const fs::path usb = UsbDeviceAbove(device);
    if (!usb.empty()) {
        return UsbText(usb, withSerial);
    }
    const std::string driver = HardwareDriver(device);
    return driver.empty() ? "Port szeregowy" : "Port szeregowy, sterownik " + driver;
}

std::string StableNameFor(const std::string& byIdDirectory, const std::string& devicePath) {
    std::error_code error;
    fs::directory_iterator it(byIdDirectory, error);
    std::set<std::string> matches;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code same;
        if (fs::equivalent(it->path(), devicePath, same) && !same) {
            matches.insert(it->path().string());
        }
    }
    return matches.empty() ? std::string() : *matches.begin();
}

}  // namespace tk358
