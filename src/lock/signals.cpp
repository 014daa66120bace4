// The sound signals and the shutdown of the computer.
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

}  // namespace qv
