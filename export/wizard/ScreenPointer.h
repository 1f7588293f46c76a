#pragma once
// The screen's mouse pointer. It is set, not stacked: whoever shows the
// default pointer ends every hourglass, however many were asked for, the
// way a desktop's single "screen pointer" setting behaves.
namespace lumo::wizard {

void showHourglass();
void showDefaultPointer();
bool hourglassShown();

// The hourglass for the lifetime of the object; the default pointer comes
// back when it ends, also while a failure unwinds (that is, before the
// failure is reported).
class HourglassScope {
public:
    HourglassScope() { showHourglass(); }
    ~HourglassScope() { showDefaultPointer(); }
    HourglassScope(const HourglassScope&) = delete;
    HourglassScope& operator=(const HourglassScope&) = delete;
};

}  // namespace lumo::wizard
