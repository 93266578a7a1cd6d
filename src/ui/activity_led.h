#pragma once

namespace pravenor::ui {

// One link-activity indicator, stepped by the 250 ms LED tick. Any traffic lights it for one
// tick and darkens it at the next, so steady traffic blinks it every tick; activity that
// arrives while it is lit is absorbed by that darkening.
class ActivityLed
{
public:
    // One tick; clears the activity flag when it darkens. True when the indicator is lit.
    bool tick(bool& activity)
    {
        if (!activity)
            return m_on;
        if (m_on) {
            m_on = false;
            activity = false;
        } else {
            m_on = true;
        }
        return m_on;
    }

    bool on() const { return m_on; }

private:
    bool m_on = false;
};

} // namespace pravenor::ui
