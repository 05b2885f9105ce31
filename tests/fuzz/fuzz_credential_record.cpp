// The credential-record reader on any bytes: a record it accepts is the one it would write.
#include "credentials/credential_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace shared;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto stored = ParseCredentialRecord(bytes);
    if (!stored)
        return 0;
    if (stored->userDigest.size() != 16 || stored->passwordDigest.size() != 16)
        std::abort();
    const std::string again = '"' + stored->userDigest + "######" + stored->passwordDigest;
    if (bytes.substr(0, again.size()) != again)
        std::abort();
    return 0;
}
