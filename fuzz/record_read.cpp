// The input is an archive file, of either kind: every reader's pattern runs on
// it (count, read every record, decode every field), and a read at or beyond
// the end, however far, fails cleanly.
#include "FuzzSupport.h"

#include "core/archive/DataRecord.h"
#include "core/sheets/SheetRecord.h"

#include <climits>
#include <cstdint>

namespace {

template <class Record>
void ReadEverything(const QString& folder) {
    RecordFile<Record> file;
    file.OpenForReading(folder);
    const long long count = file.RecordCount();
    Record record;
    while (!file.AtEnd()) {
        file.Read(record);
        for (const ShortText250& field : record.field) FUZZ_CHECK(DecodeShortText(field).size() <= 250);
    }
    FUZZ_CHECK(file.Position() == count);
    for (long long index : {count, count + 1, LLONG_MAX / 2, LLONG_MAX}) {
        file.Seek(index);
        try {
            file.Read(record);
            FUZZ_CHECK(!"a read past the end");
        } catch (const FileError&) {
        }
    }
    file.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFolder folder;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    folder.Put(DataRecord::kFileName, bytes);
    folder.Put(SheetRecord::kFileName, bytes);
    ReadEverything<DataRecord>(folder.Path());
    ReadEverything<SheetRecord>(folder.Path());
    return 0;
}
