// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small imitation of /sys, /dev and the port directory in a temporary
// directory, shaped like the kernel's tree for the kinds of serial device the
// port listing meets.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "link/port_enumeration.h"
#include "support/temp_dir.h"

namespace tk358::test {

namespace fs = std::filesystem;

struct UsbNames {
    std::string product;
    std::string manufacturer;
    std::string serial;
    std::string vendorId = "0403";
    std::string productId = "6001";
};

class FakeSystem {
public:
    FakeSystem() {
        roots_.sysRoot = (root_ / "sys").string();
        roots_.devRoot = (root_ / "dev").string();
        roots_.byIdDirectory = (root_ / "dev/serial/by-id").string();
        roots_.portDirectory = (root_ / "ports").string();
    }
    const PortEnumerationRoots& Roots() const { return roots_; }
    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

    // A UART of the 8250 driver; `uartType` 0 is a placeholder without one.
    // Newer kernels put a serial-base controller and port between the
    // hardware and its tty.
    void AddPlatformUart(const std::string& name, int uartType, const std::string& device,
                         const std::string& driver, bool serialBase = false) {
        fs::path dev = Sys("devices") / device;
        Driver(dev, driver);
        if (serialBase) {
            const std::string base = dev.filename().string() + ":0";
            dev = dev / base;
            Driver(dev, "ctrl", "serial-base");
            dev = dev / (base + "." + name.substr(4));
            Driver(dev, "port", "serial-base");
        }
        const fs::path tty = Tty(name, dev / "tty" / name, dev);
        Write(tty / "type", std::to_string(uartType) + "\n");
    }

    // A USB serial adapter: device / interface / port / tty.
    void AddUsbSerial(const std::string& name, const std::string& usbPath, const UsbNames& names,
                      const std::string& driver) {
        const fs::path usb = UsbDevice(usbPath, names);
        const fs::path port = usb / (usb.filename().string() + ":1.0") / name;
        Driver(port, driver);
        Tty(name, port / "tty" / name, port);
    }

    // A USB modem of the ACM class: the tty hangs off the interface.
    void AddAcm(const std::string& name, const std::string& usbPath, const UsbNames& names) {
        const fs::path usb = UsbDevice(usbPath, names);
        const fs::path interface = usb / (usb.filename().string() + ":1.0");
        Driver(interface, "cdc_acm");
        Tty(name, interface / "tty" / name, interface);
    }

    // A tty with no hardware behind it (console, virtual terminals).
    void AddVirtualTty(const std::string& name) {
        const fs::path tty = Sys("devices/virtual/tty") / name;
        fs::create_directories(tty);
        Link(Sys("class/tty") / name, tty);
        Node(name);
    }

    void Node(const std::string& name) { Write(root_ / "dev" / name, ""); }
    void RemoveNode(const std::string& name) { fs::remove(root_ / "dev" / name); }

    void StableName(const std::string& linkName, const std::string& relativeTarget) {
        Link(root_ / "dev/serial/by-id" / linkName, relativeTarget);
    }

    void PortEntry(const std::string& entryName, const fs::path& target) {
        Link(root_ / "ports" / entryName, target);
    }

    void File(const std::string& relative) { Write(root_ / relative, ""); }

private:
    fs::path Sys(const std::string& relative) const { return root_ / "sys" / relative; }

    static void Write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    static void Link(const fs::path& link, const fs::path& target) {
        fs::create_directories(link.parent_path());
        fs::create_symlink(target, link);
    }

    void Driver(const fs::path& device, const std::string& driver,
                const std::string& bus = "platform") {
        const fs::path driverDir = Sys("bus") / bus / "drivers" / driver;
        fs::create_directories(driverDir);
        fs::create_directories(device);
        if (!fs::is_symlink(device / "driver")) {
            Link(device / "driver", driverDir);
            Link(device / "subsystem", Sys("bus") / bus);
        }
    }

    fs::path Tty(const std::string& name, const fs::path& ttyDir, const fs::path& device) {
        fs::create_directories(ttyDir);
        Link(ttyDir / "device", device);
        Link(Sys("class/tty") / name, ttyDir);
        Node(name);
        return ttyDir;
    }

    fs::path UsbDevice(const std::string& usbPath, const UsbNames& names) {
        const fs::path usb = Sys("devices/pci0000:00/0000:00:14.0") / usbPath;
        Write(usb / "idVendor", names.vendorId + "\n");
        Write(usb / "idProduct", names.productId + "\n");
        const std::pair<const char*, const std::string*> attributes[] = {
            {"product", &names.product},
            {"manufacturer", &names.manufacturer},
            {"serial", &names.serial},
        };
        for (const auto& [file, value] : attributes) {
            if (!value->empty()) {
                Write(usb / file, *value + "\n");
            }
        }
        return usb;
    }

    TempDir temp_{"tk358-ports"};
    fs::path root_ = temp_.Path();
    PortEnumerationRoots roots_;
};

}  // namespace tk358::test
