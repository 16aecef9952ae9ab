// Sound output through DirectSound, loaded from DSOUND.DLL at run time so
// that the program starts on systems without it. Windows build only
// (sound_win.cpp). Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Starts the sound output for the window; false when no sound device or
// sound service is available. Started once; later calls say how it went.
bool startSoundOutput(void* window);

// Loads a sound from a whole WAV image in memory (16-bit PCM); false when
// the output is not started or the image is not a sound it can play. The
// sound stays loaded until releaseSoundOutput.
bool loadSound(std::span<const std::uint8_t> wavImage);

// Plays the loaded sound once from its start, at its own volume, audible
// whichever window is active; returns at once while it plays.
void playSound();

// Releases the sound and the device (every end of the process).
void releaseSoundOutput();

// A resource of the running executable (RCDATA) by name; empty when absent.
std::span<const std::uint8_t> programResource(const char* name);
