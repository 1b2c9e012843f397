#pragma once

#include "views/WindowModel.h"

// A window as the program starts it, copied from one built once: the copies share its texts, so a fuzz
// input does not pay for building them again.
WindowModel FreshWindow();
