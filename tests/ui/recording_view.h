// A view that records the changes it is told of, for tests of the model.
#pragma once

#include <utility>
#include <vector>

#include "ui/widget.h"

namespace zsetup::ui {

class RecordingView : public View {
public:
    using Change = std::pair<const Widget*, Property>;
    void Changed(Widget& widget, Property what) override { changes.emplace_back(&widget, what); }
    void Repaint(Widget& widget) override { repainted.push_back(&widget); }

    std::vector<Change> changes;
    std::vector<const Widget*> repainted;
};

}  // namespace zsetup::ui
