#include "tests/fakeplatform.h"

#include "platform/sound.h"

void FakePlatform::playSound(const Sound& sound)
{
    soundsPlayed << sound.name();
}
