#pragma once

#include "support/FakeEngine.h"

#include <QPointF>
#include <vector>

// The engine double with the pointer events on the picture recorded, in the picture's pixels.
class PointerRecordingEngine : public FakeEngine {
public:
    std::vector<QPointF> moves;
    std::vector<QPointF> clicks;

    void pointerMoved(double x, double y) override { moves.emplace_back(x, y); }
    void pointerClicked(double x, double y) override { clicks.emplace_back(x, y); }
};
