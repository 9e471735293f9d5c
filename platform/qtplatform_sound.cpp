#include "platform/qtplatform.h"

void QtPlatform::playSound(const Sound&) {}
