// Any bytes in reminder.ini: the reader never crashes, and a text the program wrote comes back.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "reminder/reminder_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto item = tollvane::readFirstItem(bytes);
    if (!item && !bytes.empty()) std::abort();  // only an empty file fails

    // One line of text written the program's way reads back whole.
    if (bytes.find_first_of("\r\n") == std::string::npos && !bytes.empty()) {
        const auto back = tollvane::readFirstItem(tollvane::reminderFileBytes(bytes));
        const std::size_t firstNonBlank = bytes.find_first_not_of(' ');
        // Blanks before the text are inside the quotes, so they are kept too.
        if (firstNonBlank != std::string::npos && (!back || *back != bytes)) std::abort();
    }
    return 0;
}
