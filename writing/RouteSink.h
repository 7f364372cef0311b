#pragma once

// The written route as it streams out: one point at a time, in order.

// A point of the route in output units. `drawn`: on a pen-down run (pen data
// on the paper, or a 3-D letter drawn flat); `travel`: the move that arrives
// here is part of a lift.
struct RoutePoint {
    double x;
    double y;
    double z;
    bool drawn;
    bool travel;
};

// Where the route goes: a writer or a tally.
class RouteSink {
public:
    virtual ~RouteSink() = default;
    virtual void point(const RoutePoint& p) = 0;
};

// Hands every point to two sinks, so one pass feeds a writer and a tally.
class RouteTee : public RouteSink {
public:
    RouteTee(RouteSink& first, RouteSink& second) : first(first), second(second) {}
    void point(const RoutePoint& p) override {
        first.point(p);
        second.point(p);
    }

private:
    RouteSink& first;
    RouteSink& second;
};
