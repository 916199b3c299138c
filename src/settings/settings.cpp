#include "settings/settings.h"

bool useCamera = false;
bool drawLight = false;
std::int32_t menuKey = 120;
