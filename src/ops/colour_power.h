// The FILTER page's pixel work: the tone curve W, the colour power (common or
// per channel), the two colour balances ("peach" strong, "berry" soft) and the
// light core, with the small arithmetic of the page's settings (the clamp, the
// spectrum core, the belt marker, the common power shown in per-channel mode).
//
// Everything here is a pure function of its arguments: the page keeps one
// FilterSettings as its state block and passes the channel levels it computed
// from WorkPlanes. Nothing draws, nothing reads a global.
//
// Samples are read as signed 32-bit values. Results are always clamped to
// 0..255; samples outside 0..255 (which the FILTER page never hands in, since
// it starts from InnerPlanes) still give a defined, clamped result.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "image/planes.h"

// ---- Settings: the page's state block, with start values and kept ranges.

struct ChannelPowers {  // per-channel colour powers, no range of their own
  int red = 100;
  int green = 100;
  int blue = 100;
};

struct FilterSettings {
  int colourPower = 100;         // common colour power, 1..1000
  bool colourPowerOn = false;    // the colour power is applied ("  action")
  int channelPowerMode = 0;      // 0 common power; 1, 2, 3 per-channel powers
  ChannelPowers channelPower;    // used when channelPowerMode != 0
  bool peachOn = false;          // strong colour balance
  bool berryOn = false;          // soft colour balance
  int lightCoreStart = 0;        // f, 0..254
  int lightCoreEnd = 255;        // t, f < t <= 255
  // The light-core selection (applied, calculator on f, on t) is the
  // page's LightCoreSelection (filter_page.h), not kept here.
  bool spectrumCoreOn = false;   // collapse f..t to a one-wide core at their middle
  int diamondStep = 8;           // step of the diamond switches, 2..98
};

// The 4 %, 50 % and 96 % levels of one channel, as the balances use them.
struct FilterLevel {
  int low = 0;     // 4 % level, lo_c
  int middle = 0;  // 50 % level
  int high = 0;    // 96 % level, hi_c
};
using FilterLevels = std::array<FilterLevel, 3>;  // blue, green, red (plane order)

inline constexpr int LowestColourPower = 1;
inline constexpr int HighestColourPower = 1000;
inline constexpr int LowestDiamondStep = 2;
inline constexpr int HighestDiamondStep = 98;

// Clamps f, t, the colour power and the step into the ranges the paint keeps.
// t <= f becomes t = f + 1, so the light core never divides by zero.
void ClampFilterSettings(FilterSettings& settings);
// With the spectrum-core switch on and t - f >= 2: f = (f + t) / 2, t = f + 1.
void CollapseSpectrumCore(FilterSettings& settings);
// x of the light-core belt marker: trunc(m * 52 / 256) + 24, m = (f + t) / 2.
int LightCoreMarkerX(int start, int end);
// The common power shown in per-channel mode: trunc(0.299 R + 0.587 G + 0.114 B).
int CommonPowerOfChannels(const ChannelPowers& powers);

// ---- Tone curve and colour power.

using ToneCurve = std::array<double, 256>;

// W[v] = f(v) / max f, f(v) = sqrt(65025 - (v - 255)^2) - v.
ToneCurve BuildToneCurve();
// One channel's colour power: trunc((c - Y) * 0.01 * power * W[Y]) + Y,
// clamped to 0..255 (W taken as 0 for a gray outside 0..255).
int PoweredSample(int sample, int gray, int power, const ToneCurve& curve);
// Per-plane powers (blue, green, red) the settings ask for.
std::array<int, 3> PlanePowers(const FilterSettings& settings);
// Colour power over every sample of the view, in place, with per-plane powers.
void ApplyColourPowerByPlane(const PlaneView& planes, const std::array<int, 3>& powers);
using ColourPowerRoutine = void (*)(const PlaneView&, const std::array<int, 3>&);
// The same with the settings' common or per-channel powers.
void ApplyColourPower(const PlaneView& planes, const FilterSettings& settings);

// ---- Colour balance.

// Strong balance: each channel's lo..hi mapped to 10..244 (integer arithmetic),
// or shifted down by lo when any channel's range is empty; clamped.
void ApplyPeach(const PlaneView& planes, const FilterLevels& levels);
int PeachSample(int sample, int plane, const FilterLevels& levels);
// Soft balance: one integer gain 255 / (widest range), each channel centred.
void ApplyBerry(const PlaneView& planes, const FilterLevels& levels);
int BerrySample(int sample, int plane, const FilterLevels& levels);

// ---- Light core.

// One sample v through the core f..t: (255 / (t - f)) * (v - f), clamped.
int LightCoreSample(int sample, int start, int end);
// The light core from a bottom-up 24-bit canvas (3 bytes a pixel, rows of
// 3 * stride bytes, blue first) into the view; when every result is 0, every
// sample becomes 1. The canvas must hold at least stride * rows pixels.
void ApplyLightCore(std::span<const std::uint8_t> canvas, const PlaneView& planes, int start, int end);
