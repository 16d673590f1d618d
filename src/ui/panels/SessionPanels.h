#pragma once
// The panel grid's source: the session's panels, each computed when the grid
// shows it.

#include "session/PlanSession.h"
#include "ui/panels/PanelGrid.h"

namespace vidloom::ui {

class SessionPanels : public PanelSource {
public:
    explicit SessionPanels(const PlanSession& session) : session_(session) {}
    int32_t panelCount() const override { return session_.panelCount(); }
    PanelState panelAt(int32_t index) const override { return session_.panel(index); }
    int32_t indexOf(SegmentId segment) const override { return session_.indexOf(segment); }

private:
    const PlanSession& session_;
};

} // namespace vidloom::ui
