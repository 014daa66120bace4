#include "platform/sim/tray.h"

namespace qv::sim {

bool SimTray::notify(TrayOp op, const TrayRecord& r) {
    calls.push_back({op, r});
    switch (op) {
        case TrayOp::Add:
            if (icons.count(r.id)) return false;
            icons[r.id] = r;
            return true;
        case TrayOp::Modify: {
            auto it = icons.find(r.id);
            if (it == icons.end()) return false;
            if (r.flags & 2) it->second.icon = r.icon;
            if (r.flags & 4) it->second.tip = r.tip;
            if (r.flags & 16) balloons.push_back(r);
            return true;
        }
        case TrayOp::Delete:
            return icons.erase(r.id) != 0;
    }
    return false;
}

}  // namespace qv::sim
