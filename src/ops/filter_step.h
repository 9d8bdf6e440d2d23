// FILTER's work as a step: the light core, the colour power and the two
// colour balances, each a stage in the order the page's paint runs them:
//   light core  each sample through the core f..t (all 1 when none is lit:
//               it needs to know whether any sample of the whole picture is)
//   power       the common or per-channel colour power
//   peach       the strong balance, from the channel levels of the picture
//               as the power left it
//   berry       the soft balance, from the levels as peach left them
//
//   setting             member                         takes
//   light_core          lightCore                      true, false
//   light_core_from     settings.lightCoreStart        0..254
//   light_core_to       settings.lightCoreEnd          1..255, above light_core_from
//   colour_power_on     settings.colourPowerOn         true, false
//   colour_power        settings.colourPower           1..1000
//   channel_power_mode  settings.channelPowerMode      0..3
//   channel_powers      settings.channelPower          [red, green, blue], 0..1000
//   peach, berry        settings.peachOn, berryOn      true, false
#pragma once

#include <vector>

#include "ops/colour_power.h"
#include "ops/fields.h"
#include "ops/stage.h"

struct FilterStep {
  static constexpr const char* Kind = "filter";
  FilterSettings settings;    // as the page holds them after its clamps
  bool lightCore = false;     // the light core applied ("f".."t" selected)

  static const FieldTable<FilterStep>& Fields();
  MaybeProblem Check() const;
  std::vector<Stage> Stages() const;
};

// The step over width x height of the planes, in place, as FILTER's paint
// runs it (ops/picture_steps.h runs it the same way): the channel levels
// found last, those the last balance took, or without a balance those of
// the picture as the light core left it.
std::array<ChannelLevel, 3> ApplyFilterStep(const FilterStep& step, const PlaneView& planes, int width, int height);

// The channel levels as the balances take them.
FilterLevels BalanceLevelsOf(const std::array<ChannelLevel, 3>& levels);

// The colour power routine the power stage runs: the fast form; a benchmark
// may set the literal one to time the page's paint with it.
extern ColourPowerRoutine FilterPowerRoutine;
