#include "app/bounded_step.h"

bool increaseBounded(float& component, double step)
{
    if (component >= 1.0f) return false;
    const double sum = component + step;
    component = sum > 1.0 ? 1.0f : static_cast<float>(sum);
    return true;
}

bool decreaseBounded(float& component, double step)
{
    if (component <= 0.0f) return false;
    const double difference = component - step;
    component = difference < 0.0 ? 0.0f : static_cast<float>(difference);
    return true;
}
