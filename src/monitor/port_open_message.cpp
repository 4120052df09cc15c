#include "monitor/port_open_message.h"

#include <cerrno>

#include "monitor/text_format.h"

namespace tk358 {

namespace {

const char* Advice(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "Brak uprawnień do portu: dodaj swoje konto do grupy dialout (w niektórych "
                   "dystrybucjach uucp) i zaloguj się ponownie.";
        case EBUSY:
        case EWOULDBLOCK:  // the port's lock is held
            return "Port jest używany przez inny program; zamknij ten program i spróbuj "
                   "ponownie.";
        default:
            return nullptr;
    }
}

}  // namespace

std::string PortOpenFailureMessage(int portNumber, int error) {
    std::string text = "Nie można otworzyć portu COM" + FormatInt(portNumber);
    if (const char* advice = Advice(error)) {
        text += '\n';
        text += advice;
    }
    return text;
}

}  // namespace tk358
