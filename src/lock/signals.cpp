// The sound signals, the shutdown of the computer, and ending the programs started from the
// lock screen.
#include "engine/app.h"

namespace qv {

namespace {

void ring(ISound& sound, const std::string& folder) {
    sound.mciSend("close voice1");
    const std::string path = sound.shortPath(folder + "\\sound.wav");
    sound.mciSend("open " + path + " type waveaudio alias voice1");
    sound.mciSend("play voice1");
}

}  // namespace

void App::ringBegin() {
    ring(platform_.sound, platform_.system.programFolder());
}

void App::ringEnd() {
    ring(platform_.sound, platform_.system.programFolder());
}

void App::shutDownComputer() {
    platform_.shutdown.run("shutdown.exe -s -f");
}

void App::terminateLaunched() {
    const size_t n = launchedPids.size();
    for (size_t i = 0; i < n; ++i) platform_.processes.terminate(launchedPids[i]);
}

}  // namespace qv
