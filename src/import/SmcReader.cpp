#include "import/SmcReader.h"

namespace {

class SmcReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::Smc; }
    std::string_view Name() const override { return "SMC"; }
    std::string_view Key() const override { return "smc"; }
    bool Recognises(const std::vector<std::string>&) const override { return false; }
    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>&,
                           const FormatReadOptions&) const override {
        FormatReadOutcome outcome;
        outcome.Warning = FileWarning(name, "the SMC reader is not built yet");
        return outcome;
    }
};

} // namespace

const RecordFormat& SmcFormat() {
    static const SmcReader format;
    return format;
}
