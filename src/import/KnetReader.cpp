#include "import/KnetReader.h"

namespace {

class KnetReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::Knet; }
    std::string_view Name() const override { return "K-NET / KiK-net"; }
    std::string_view Key() const override { return "knet"; }
    bool Recognises(const std::vector<std::string>&) const override { return false; }
    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>&,
                           const FormatReadOptions&) const override {
        FormatReadOutcome outcome;
        outcome.Warning = FileWarning(name, "the K-NET / KiK-net reader is not built yet");
        return outcome;
    }
};

} // namespace

const RecordFormat& KnetFormat() {
    static const KnetReader format;
    return format;
}
