// The line codec, round trip: values written into a record are stored as a line and read back from
// it. Every value the dataset accepts must read back as it is stored (cut to its field's width,
// without blanks at its ends); a value it cannot store must be refused when it is written.
//
// Input: one byte choosing the delimiter, then the values of the fields separated by 0xFF bytes.

#include "FuzzTarget.h"
#include "SanitizerDefaults.h"
#include "SdfData.h"

#include <string_view>
#include <vector>

namespace {
const std::vector<std::string> kSchema{"Title=12", "Disc=40", "F=1", "Path=200"};

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
        s.remove_suffix(1);
    return s;
}

TSdfDataSet &dataSet(char delimiter)
{
    static std::unique_ptr<TSdfDataSet> ds[3];
    const char delimiters[3] = {',', ';', '|'};
    int i = 0;
    while (delimiters[i] != delimiter)
        ++i;
    if (!ds[i]) {
        const QString name =
            fuzz::folder() + QStringLiteral("db") + QString::number(i) + QStringLiteral(".txt");
        fuzz::writeFile(name, "x\r\n", 3);
        ds[i] = std::make_unique<TSdfDataSet>();
        ds[i]->setObjectName(QStringLiteral("DataSet"));
        ds[i]->setSchema(kSchema);
        ds[i]->setDelimiter(delimiter);
        ds[i]->setFileName(name);
        ds[i]->Open();
    }
    return *ds[i];
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const char delimiter = ",;|"[data[0] % 3];
    std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
    std::vector<std::string> values;
    for (std::size_t i = 0; i < kSchema.size(); ++i) {
        const std::size_t end = rest.find('\xFF');
        values.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }

    TSdfDataSet &ds = dataSet(delimiter);
    ds.First();
    ds.Edit();
    std::vector<std::string> expected(kSchema.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        TField &field = *ds.Fields(int(i));
        try {
            field.setAsString(values[i]);
            const std::string_view cut = std::string_view(values[i]).substr(0, std::size_t(field.Size()));
            expected[i] = std::string(trimBlanks(cut.substr(0, cut.find('\0'))));
        } catch (const EDatabaseError &) {
            field.setAsString(std::string());
        }
    }
    ds.Post();

    auto buffer = ds.NewRowBuffer();
    FUZZ_CHECK(ds.ReadRecordAt(0, buffer.get()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string back = ds.FieldValueIn(buffer.get(), *ds.Fields(int(i)));
        if (back != expected[i]) {
            std::fprintf(stderr, "field %zu: wrote [%s], stored as [%s], read back [%s]\n", i,
                         values[i].c_str(), std::string(ds.Line(0)).c_str(), back.c_str());
            FUZZ_CHECK(back == expected[i]);
        }
    }
    ds.DiscardChanges();
    return 0;
}
