// The input is a sequence of operations on the data archive, as the program
// and other copies of it make them: opening, appending, rewriting, reading,
// seeking anywhere, closing, and bytes of a partial record added at the end by
// someone else. After each step the file holds exactly the records a simple
// model of it holds, and a read gives the record the model holds.
#include "FuzzSupport.h"

#include "core/archive/DataRecord.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace {

DataRecord RecordFrom(std::uint8_t seed) {
    DataRecord record;
    for (int f = 0; f < DataRecord::kFieldCount; ++f)
        record.SetText(DataRecord::Field(f), QStringLiteral("%1-%2").arg(seed).arg(f));
    return record;
}

QByteArray Bytes(const DataRecord& record) { return QByteArray(reinterpret_cast<const char*>(&record), sizeof record); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFolder folder;
    folder.Put(DataRecord::kFileName, {});
    std::vector<QByteArray> model;  // the whole records
    std::optional<DataRecordFile> file;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const std::uint8_t operation = data[i] % 7;
        const std::uint8_t argument = data[i + 1];
        if (operation != 0 && !file) continue;
        const long long count = static_cast<long long>(model.size());
        switch (operation) {
        case 0:
            file.emplace(folder.Path());
            break;
        case 1:
            file->Append(RecordFrom(argument));
            model.push_back(Bytes(RecordFrom(argument)));
            FUZZ_CHECK(file->Position() == count + 1);
            break;
        case 2:
            file->Seek(argument % (count + 3));
            if (file->Position() <= count) {
                const long long at = file->Position();
                file->Write(RecordFrom(argument));
                if (at == count) model.push_back({});
                model[std::size_t(at)] = Bytes(RecordFrom(argument));
            } else {
                try {
                    file->Write(RecordFrom(argument));
                    FUZZ_CHECK(!"a write past the end");
                } catch (const FileError&) {
                }
            }
            break;
        case 3: {
            file->Seek(argument % (count + 2));
            DataRecord record;
            const long long at = file->Position();
            try {
                file->Read(record);
                FUZZ_CHECK(at < count && Bytes(record) == model[std::size_t(at)]);
            } catch (const FileError&) {
                FUZZ_CHECK(at >= count);
            }
            break;
        }
        case 4:
            file->Seek((static_cast<long long>(argument & 0x7f) << 56) | argument);
            break;
        case 5:
            file->Close();
            file.reset();
            break;
        case 6: {
            // Part of a record after the last whole one: not a record.
            QFile raw(folder.File(DataRecord::kFileName));
            FUZZ_CHECK(raw.open(QIODevice::ReadWrite));
            FUZZ_CHECK(raw.resize(count * qint64(sizeof(DataRecord)) + argument % sizeof(DataRecord)));
            break;
        }
        }
        if (file) FUZZ_CHECK(file->RecordCount() == static_cast<long long>(model.size()));
    }
    if (file) file->Close();
    const QByteArray bytes = [&] {
        QFile raw(folder.File(DataRecord::kFileName));
        return raw.open(QIODevice::ReadOnly) ? raw.readAll() : QByteArray();
    }();
    FUZZ_CHECK(bytes.size() / qsizetype(sizeof(DataRecord)) == qsizetype(model.size()));
    for (std::size_t r = 0; r < model.size(); ++r)
        FUZZ_CHECK(bytes.mid(qsizetype(r * sizeof(DataRecord)), sizeof(DataRecord)) == model[r]);
    return 0;
}
