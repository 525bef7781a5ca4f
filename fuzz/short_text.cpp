// The input is a stored field, and also a piece of screen text: decoding never
// leaves the field and gives trimmed text, what was read is stored again as
// the same text, and encoding any text keeps to 250 bytes.
#include "FuzzSupport.h"

#include "core/folder/TextRules.h"
#include "core/archive/ShortText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ShortText250 field;
    std::memcpy(field.bytes.data(), data, std::min(size, field.bytes.size()));
    const QString text = DecodeShortText(field);
    FUZZ_CHECK(text.size() <= ShortText250::kMaxLength);
    FUZZ_CHECK(TrimText(text) == text);
    FUZZ_CHECK(DecodeShortText(EncodeShortText(text)) == text);

    const ShortText250 encoded = EncodeShortText(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    FUZZ_CHECK(encoded.bytes[0] <= ShortText250::kMaxLength);
    FUZZ_CHECK(DecodeShortText(encoded).size() <= ShortText250::kMaxLength);
    return 0;
}
