// Windows-1252 and Unicode: every byte string goes to Unicode and back unchanged, and a file read in either
// encoding gives bytes that go there and back too.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text/Cp1252.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    Check(cp1252::FromUnicodeText(cp1252::ToUnicode(bytes)) == bytes);

    const std::string read = cp1252::FromUtf8OrCp1252(bytes);
    Check(cp1252::FromUnicodeText(cp1252::ToUnicode(read)) == read);
    // Text that was not UTF-8 is kept byte for byte; UTF-8 never grows in Windows-1252.
    Check(read == bytes || read.size() <= bytes.size());
    return 0;
}
