#include "import/EsmReader.h"

namespace {

class EsmReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::Esm; }
    std::string_view Name() const override { return "ESM"; }
    std::string_view Key() const override { return "esm"; }
    bool Recognises(const std::vector<std::string>&) const override { return false; }
    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>&,
                           const FormatReadOptions&) const override {
        FormatReadOutcome outcome;
        outcome.Warning = FileWarning(name, "the ESM reader is not built yet");
        return outcome;
    }
};

} // namespace

const RecordFormat& EsmFormat() {
    static const EsmReader format;
    return format;
}
