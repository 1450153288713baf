// Reads arbitrary bytes as an input recording: every input must be accepted or refused without a
// crash, a read outside the data or an allocation beyond what the data can hold, and an accepted
// recording must write back to a file that reads the same.
#include "core/InputRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<lv::core::CInputRecord> records;
    const auto status = lv::core::ParseInputRecording(data, size, records);
    if (status != lv::core::EInputRecordingStatus::Ok) {
        if (!records.empty())
            std::abort();
        return 0;
    }
    if (8 + 16 * records.size() > size)
        std::abort();
    const std::string image = lv::core::WriteInputRecording(records);
    std::vector<lv::core::CInputRecord> again;
    if (lv::core::ParseInputRecording(reinterpret_cast<const uint8_t*>(image.data()), image.size(), again) !=
            lv::core::EInputRecordingStatus::Ok ||
        again != records)
        std::abort();
    return 0;
}
