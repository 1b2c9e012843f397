#include "fuzz/FreshWindow.h"

WindowModel FreshWindow() {
  static const WindowModel fresh;
  return fresh;
}
