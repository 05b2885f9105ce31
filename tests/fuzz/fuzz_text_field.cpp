// The text-field reader on any bytes: it never fails badly, and what it reads back from its
// own written form is the text written.
#include "backup/core/text_field.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace ombrix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto field = FirstTextField(bytes); field && field->size() > bytes.size())
        std::abort(); // a field is a piece of its bytes
    // A text without quotes survives its own record.
    if (bytes.find('"') == std::string_view::npos &&
        FirstTextField(TextFieldRecord(bytes)) != bytes)
        std::abort();
    return 0;
}
