#include <windows.h>
#include <mmreg.h>
#include <dsound.h>

#include <cstring>

#include "base/wav.h"
#include "platform/sound.h"

namespace {

// What stays loaded until the end of the process.
struct SoundState {
  bool tried = false;
  HMODULE library = nullptr;
  IDirectSound* device = nullptr;
  IDirectSoundBuffer* sound = nullptr;
} state;

}  // namespace

bool startSoundOutput(void* window) {
  if (state.tried) return state.device != nullptr;
  state.tried = true;
  state.library = LoadLibraryA("DSOUND.DLL");
  if (!state.library) return false;
  using CreateFunction = HRESULT(WINAPI*)(LPCGUID, IDirectSound**, IUnknown*);
  auto create = reinterpret_cast<CreateFunction>(
      reinterpret_cast<void*>(GetProcAddress(state.library, "DirectSoundCreate")));
  IDirectSound* device = nullptr;
  if (!create || FAILED(create(nullptr, &device, nullptr)) || !device) {
    releaseSoundOutput();
    return false;
  }
  HWND owner = window ? static_cast<HWND>(window) : GetDesktopWindow();
  if (FAILED(device->SetCooperativeLevel(owner, DSSCL_NORMAL))) {
    device->Release();
    releaseSoundOutput();
    return false;
  }
  state.device = device;
  return true;
}

bool loadSound(std::span<const std::uint8_t> wavImage) {
  if (!state.device || state.sound) return state.sound != nullptr;
  WavSamples found;
  if (!findWavSamples(wavImage, found) || found.formatTag != WAVE_FORMAT_PCM ||
      found.samples.empty()) {
    return false;
  }
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = found.format.channels;
  format.nSamplesPerSec = found.format.framesPerSecond;
  format.wBitsPerSample = found.format.bitsPerSample;
  format.nBlockAlign = found.format.bytesPerFrame();
  format.nAvgBytesPerSec = found.format.bytesPerSecond();
  DSBUFFERDESC description{};
  description.dwSize = sizeof description;
  // Heard whether or not the program's window is the active one.
  description.dwFlags = DSBCAPS_GLOBALFOCUS;
  description.dwBufferBytes = static_cast<DWORD>(found.samples.size());
  description.lpwfxFormat = &format;
  IDirectSoundBuffer* sound = nullptr;
  if (FAILED(state.device->CreateSoundBuffer(&description, &sound, nullptr)) || !sound) {
    return false;
  }
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstBytes = 0, secondBytes = 0;
  if (FAILED(sound->Lock(0, description.dwBufferBytes, &first, &firstBytes, &second, &secondBytes,
                         0))) {
    sound->Release();
    return false;
  }
  std::memcpy(first, found.samples.data(), firstBytes);
  if (second) std::memcpy(second, found.samples.data() + firstBytes, secondBytes);
  sound->Unlock(first, firstBytes, second, secondBytes);
  state.sound = sound;
  return true;
}

void playSound() {
  if (!state.sound) return;
  state.sound->SetCurrentPosition(0);
  state.sound->Play(0, 0, 0);
}

void releaseSoundOutput() {
  if (state.sound) state.sound->Release();
  if (state.device) state.device->Release();
  if (state.library) FreeLibrary(state.library);
  state.sound = nullptr;
  state.device = nullptr;
  state.library = nullptr;
}

std::span<const std::uint8_t> programResource(const char* name) {
  HRSRC found = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!found) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(nullptr, found)};
}
