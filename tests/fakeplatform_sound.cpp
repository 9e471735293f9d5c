#include "tests/fakeplatform.h"

#include "app/sound.h"

void FakePlatform::playSound(const Sound& sound)
{
    soundsPlayed << sound.name();
}
