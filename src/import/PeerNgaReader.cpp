#include "import/PeerNgaReader.h"

namespace {

class PeerNgaReader final : public RecordFormat {
public:
    RecordFormatId Id() const override { return RecordFormatId::PeerNga; }
    std::string_view Name() const override { return "PEER NGA"; }
    std::string_view Key() const override { return "peer"; }
    bool Recognises(const std::vector<std::string>&) const override { return false; }
    FormatReadOutcome Read(const std::string& name, const std::vector<std::string>&,
                           const FormatReadOptions&) const override {
        FormatReadOutcome outcome;
        outcome.Warning = FileWarning(name, "the PEER NGA reader is not built yet");
        return outcome;
    }
};

} // namespace

const RecordFormat& PeerNgaFormat() {
    static const PeerNgaReader format;
    return format;
}
