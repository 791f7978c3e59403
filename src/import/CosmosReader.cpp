#include "import/CosmosReader.h"

namespace {

class CosmosReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::Cosmos; }
    std::string_view Name() const override { return "COSMOS"; }
    std::string_view Key() const override { return "cosmos"; }
    bool Recognises(const std::vector<std::string>&) const override { return false; }
    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>&,
                           const FormatReadOptions&) const override {
        FormatReadOutcome outcome;
        outcome.Warning = FileWarning(name, "the COSMOS reader is not built yet");
        return outcome;
    }
};

} // namespace

const RecordFormat& CosmosFormat() {
    static const CosmosReader format;
    return format;
}
