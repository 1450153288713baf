// Name records as read from binary files, and colour attributes as read from XML.
#include "core/FixedWString.h"
#include "core/XmlColor.h"

#include <cstdlib>
#include <string_view>

namespace {

template <typename TName>
void CheckRecord(const u8* data, size_t size)
{
    TName name;
    if (!name.ReadRecord(data, size))
        return;
    if (name.GetLength() >= TName::kCapacity || name.GetText()[name.GetLength()] != 0)
        std::abort();
    u8 record[TName::kRecordSize];
    TName back;
    if (!name.WriteRecord(record) || !back.ReadRecord(record, sizeof(record)) || !back.Equals(name))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    CheckRecord<CFixedString>(data, size);
    CheckRecord<CShortString>(data, size);
    CheckRecord<CFixedWString<15>>(data, size);
    CColor color;
    ParseXmlColor(color, std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
