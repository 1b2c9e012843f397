#include "views/RenderViews.h"

// Placeholder until the chart population and page setup land.
void RenderViews(SharedState&, WindowModel&, const Environment&) {}
