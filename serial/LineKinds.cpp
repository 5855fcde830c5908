#include "serial/LineKinds.h"

namespace {

// An open that ended before it was handed out.
class EndedOpen final : public LineOpener {
public:
    explicit EndedOpen(LineOpening opening) : m_opening(std::move(opening)) {}
    bool Wait(int) override { return true; }
    LineOpening Take() override { return std::move(m_opening); }

private:
    LineOpening m_opening;
};

std::unique_ptr<LineOpener> OpenDevice(const std::string& path, const LineContext& context)
{
    LineOpening opening;
    opening.line = DeviceLine::Open(path, context.driver, context.apply, opening.detail);
    return std::make_unique<EndedOpen>(std::move(opening));
}

} // namespace

std::unique_ptr<LineOpener> StartLineOpen(const std::string& place, const LineContext& context)
{
    return OpenDevice(place, context);
}
