// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_enumeration.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "link/tty_sysfs.h"
#include "unit/link/fake_sysfs.h"

namespace tk358 {
namespace {

using test::FakeSystem;
using test::UsbNames;

TEST(PortEnumerationTest, ListingLines) {
    const struct {
        FoundPorts ports;
        const char* text;
    } cases[] = {
        {{}, ""},
        {{{1, ""}, {3, "Communications Port (COM3)"}}, "COM1\nCOM3:Communications Port\n"},
        {{{5, "Modem (COMx)"}}, "COM5:Modem (COMx)\n"},
        {{{5, "Modem (COM)"}}, "COM5:Modem (COM)\n"},
        {{{5, "Modem (COM5) zapasowy"}}, "COM5:Modem (COM5) zapasowy\n"},
        {{{5, "Modem (COM5 )"}}, "COM5:Modem (COM5 )\n"},
        {{{5, "Modem(COM5)"}}, "COM5:Modem(COM5)\n"},
        {{{7, "A (COM1) B (COM7)"}}, "COM7:A (COM1) B\n"},
        {{{9, "Jeden\nDwa\tTrzy\r"}}, "COM9:Jeden Dwa Trzy \n"},
        {{{200, "b"}, {12, "a"}, {2, ""}, {255, "c"}}, "COM2\nCOM12:a\nCOM200:b\nCOM255:c\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortListingText(c.ports), c.text);
    }
}

TEST(PortEnumerationTest, HardwareTextOfUsbDevices) {
    const struct {
        UsbNames names;
        bool withSerial;
        const char* text;
    } cases[] = {
        {{"FT232R USB UART", "FTDI", "A1B2C3"}, false, "FTDI FT232R USB UART"},
        {{"FT232R USB UART", "FTDI", "A1B2C3"}, true, "FTDI FT232R USB UART, nr seryjny A1B2C3"},
        {{"FT232R USB UART", "FTDI", ""}, true, "FTDI FT232R USB UART"},
        {{"Silicon Labs CP2102", "Silicon Labs", ""}, false, "Silicon Labs CP2102"},
        {{"USB2.0-Serial", "", ""}, false, "USB2.0-Serial"},
        {{"", "QinHeng Electronics", ""}, false, "QinHeng Electronics"},
        {{"", "", "", "1a86", "7523"}, false, "Urządzenie USB 1a86:7523"},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        system.AddUsbSerial("ttyUSB0", "usb1/1-2", c.names, "ftdi_sio");
        EXPECT_EQ(TtyHardwareText(system.Roots().sysRoot, "ttyUSB0", c.withSerial), c.text);
    }
}

// Everything a PC may show at once: real and placeholder UARTs, adapters with
// and without a stable name, a modem, and port directory entries.
TEST(PortEnumerationTest, ListsThePresentPortsOfAFakeSystem) {
    FakeSystem system;
    system.AddPlatformUart("ttyS0", 4, "pnp0/00:05", "serial", true);
    system.AddPlatformUart("ttyS1", 0, "platform/serial8250", "serial8250");
    system.AddPlatformUart("ttyS2", 4, "platform/serial8250", "serial8250");
    system.AddPlatformUart("ttyS3", 4, "platform/serial8250", "serial8250");
    system.AddPlatformUart("ttyS4", 4, "platform/serial8250", "serial8250");
    system.RemoveNode("ttyS4");
    system.AddUsbSerial("ttyUSB0", "usb1/1-2", {"FT232R USB UART", "FTDI", "A1B2C3"}, "ftdi_sio");
    system.StableName("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "../../ttyUSB0");
    system.AddUsbSerial("ttyUSB1", "usb1/1-3",
                        {"USB-Serial Controller", "Prolific Technology Inc.", ""}, "pl2303");
    system.AddAcm("ttyACM0", "usb1/1-4", {"Arduino Uno", "Arduino (www.arduino.cc)", "8573"});
    system.AddAcm("ttyACM1", "usb1/1-5", {"Pico", "Raspberry Pi", "E660"});
    system.AddUsbSerial("ttyUSB40", "usb1/1-6", {"Outside the table", "", ""}, "ftdi_sio");
    system.AddVirtualTty("tty0");
    system.AddVirtualTty("console");

    system.File("pts/5");
    system.PortEntry("COM200", system.Path("pts/5"));
    system.PortEntry("COM66", system.Path("dev/ttyUSB0"));  // wins over ttyACM1
    system.PortEntry("COM3", system.Path("pts/gone"));      // dangling: hides ttyS2
    system.PortEntry("COM05", system.Path("pts/5"));
    system.PortEntry("COM0", system.Path("pts/5"));
    system.PortEntry("COM7", system.Path("pts"));  // a directory is no port
    system.File("ports/README");

    int count = -1;
    std::string text = "old";
    ASSERT_TRUE(EnumerateComPorts(system.Roots(), count, text));
    const std::string byId = system.Roots().byIdDirectory;
    EXPECT_EQ(text,
              "COM1:Port szeregowy, sterownik serial, /dev/ttyS0\n"
              "COM4:Port szeregowy, sterownik serial8250, /dev/ttyS3\n"
              "COM33:FTDI FT232R USB UART, /dev/ttyUSB0, " +
                  byId + "/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0\n" +
                  "COM34:Prolific Technology Inc. USB-Serial Controller, /dev/ttyUSB1\n"
                  "COM65:Arduino (www.arduino.cc) Arduino Uno, nr seryjny 8573, "
                  "/dev/ttyACM0\n"
                  "COM66:→ " +
                  system.Path("dev/ttyUSB0") + ", FTDI FT232R USB UART, /dev/ttyUSB0\n" +
                  "COM200:→ " + system.Path("pts/5") + "\n");
    EXPECT_EQ(count, 7);
}

TEST(PortEnumerationTest, NoPortsGiveAnEmptyText) {
    FakeSystem system;
    system.AddVirtualTty("tty1");
    system.AddPlatformUart("ttyS0", 0, "platform/serial8250", "serial8250");
    int count = -1;
    std::string text = "old";
    ASSERT_TRUE(EnumerateComPorts(system.Roots(), count, text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(count, 0);

    PortEnumerationRoots missing;
    missing.sysRoot = system.Path("nowhere");
    missing.devRoot = system.Path("nowhere");
    missing.byIdDirectory = system.Path("nowhere");
    missing.portDirectory = system.Path("nowhere");
    ASSERT_TRUE(EnumerateComPorts(missing, count, text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(count, 0);
}

TEST(PortEnumerationTest, PseudoTerminalInThePortDirectory) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string terminal = ::ptsname(master);
    FakeSystem system;
    system.PortEntry("COM201", terminal);
    PortEnumerationRoots roots;  // the real /sys and /dev
    roots.portDirectory = system.Roots().portDirectory;

    int count = 0;
    std::string text;
    ASSERT_TRUE(EnumerateComPorts(roots, count, text));
    EXPECT_NE(text.find("COM201:→ " + terminal + "\n"), std::string::npos) << text;
    ::close(master);
}

}  // namespace
}  // namespace tk358
