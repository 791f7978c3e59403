#include "import/GeoNetReader.h"

namespace {

class GeoNetReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::GeoNet; }
    std::string_view Name() const override { return "GeoNet"; }
    std::string_view Key() const override { return "geonet"; }
    bool Recognises(const std::vector<std::string>&) const override { return false; }
    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>&,
                           const FormatReadOptions&) const override {
        FormatReadOutcome outcome;
        outcome.Warning = FileWarning(name, "the GeoNet reader is not built yet");
        return outcome;
    }
};

} // namespace

const RecordFormat& GeoNetFormat() {
    static const GeoNetReader format;
    return format;
}
