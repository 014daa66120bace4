// A notification area that keeps the icons it was given and the balloons it showed.
#pragma once
#include <map>
#include <vector>

#include "platform/tray.h"

namespace qv::sim {

class SimTray : public ITray {
  public:
    bool notify(TrayOp op, const TrayRecord& record) override;
    void setForeground(uintptr_t window) override { foreground = window; }

    // Test control.
    struct Call {
        TrayOp op;
        TrayRecord record;
    };
    std::vector<Call> calls;
    std::map<uint32_t, TrayRecord> icons;  // by identifier
    std::vector<TrayRecord> balloons;
    uintptr_t foreground = 0;
    bool hasIcon(uint32_t id) const { return icons.count(id) != 0; }
};

}  // namespace qv::sim
