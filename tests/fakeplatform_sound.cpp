#include "tests/fakeplatform.h"

void FakePlatform::playSound(const Sound&)
{
    soundsPlayed << QString();
}
