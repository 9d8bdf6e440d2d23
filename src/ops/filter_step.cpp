#include "ops/filter_step.h"

ColourPowerRoutine FilterPowerRoutine = ApplyColourPowerByPlane;

FilterLevels BalanceLevelsOf(const std::array<ChannelLevel, 3>& levels) {
  FilterLevels balance{};
  for (std::size_t k = 0; k < balance.size(); ++k) balance[k] = {levels[k].low, levels[k].middle, levels[k].high};
  return balance;
}

const FieldTable<FilterStep>& FilterStep::Fields() {
  using S = FilterStep;
  static const FieldTable<S> fields = {
      FlagField<S>("light_core", [](S& s) -> bool& { return s.lightCore; }),
      IntegerField<S>("light_core_from", [](S& s) -> int& { return s.settings.lightCoreStart; }, 0, 254),
      IntegerField<S>("light_core_to", [](S& s) -> int& { return s.settings.lightCoreEnd; }, 1, 255),
      FlagField<S>("colour_power_on", [](S& s) -> bool& { return s.settings.colourPowerOn; }),
      IntegerField<S>("colour_power", [](S& s) -> int& { return s.settings.colourPower; }, LowestColourPower,
                      HighestColourPower),
      IntegerField<S>("channel_power_mode", [](S& s) -> int& { return s.settings.channelPowerMode; }, 0, 3),
      {"channel_powers",
       [](const RecipeValue& v, S& s) -> MaybeProblem {
         std::vector<int> powers;
         if (MaybeProblem problem = ReadNumbers(v, "channel_powers", 3, 0, HighestColourPower, powers)) return problem;
         s.settings.channelPower = ChannelPowers{powers[0], powers[1], powers[2]};
         return std::nullopt;
       },
       [](const S& s) {
         const ChannelPowers& p = s.settings.channelPower;
         return NumbersValue({p.red, p.green, p.blue});
       }},
      FlagField<S>("peach", [](S& s) -> bool& { return s.settings.peachOn; }),
      FlagField<S>("berry", [](S& s) -> bool& { return s.settings.berryOn; }),
  };
  return fields;
}

std::array<ChannelLevel, 3> ApplyFilterStep(const FilterStep& step, const PlaneView& planes, int width, int height) {
  const std::vector<Stage> stages = step.Stages();
  const StageFrame frame{width, height, CanvasArea{0, 0, width, height}, Edges::AsCanvas, 1};
  const std::size_t core = step.lightCore ? 1 : 0;  // the light core comes first
  RunStages(std::span(stages).first(core), planes, frame);
  std::array<ChannelLevel, 3> levels = ChannelLevelsOf(planes, width, height);
  if (const std::optional<WholeValues> last = RunStages(std::span(stages).subspan(core), planes, frame)) {
    levels = last->levels;
  }
  return levels;
}

MaybeProblem FilterStep::Check() const {
  if (settings.lightCoreEnd <= settings.lightCoreStart) return FieldProblem{0, "light_core_to", "must be above light_core_from"};
  return std::nullopt;
}

std::vector<Stage> FilterStep::Stages() const {
  std::vector<Stage> stages;
  const FilterSettings& f = settings;
  if (lightCore) {
    std::array<std::uint32_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
      table[static_cast<std::size_t>(v)] = static_cast<std::uint32_t>(LightCoreSample(v, f.lightCoreStart, f.lightCoreEnd));
    }
    // The light core reads the low byte of each sample, as the page's reads
    // the canvas; when it lights no sample of the whole picture, every
    // sample becomes 1.
    Stage core = PixelStage(
        [table](const PlaneView& rows, int width, int count, const WholeValues& values) {
          for (std::size_t k = 0; k < 3; ++k) {
            std::uint32_t* samples = rows.plane[k];
            for (std::size_t i = 0, n = static_cast<std::size_t>(count) * static_cast<std::size_t>(width); i < n; ++i) {
              samples[i] = values.anyLit ? table[samples[i] & 0xFFu] : 1u;
            }
          }
        },
        WholeNeed::AnyLit);
    for (std::size_t v = 0; v < 256; ++v) core.lit[v] = table[v] != 0;
    stages.push_back(std::move(core));
  }
  if (f.colourPowerOn) {
    stages.push_back(PixelStage([powers = PlanePowers(f)](const PlaneView& rows, int, int, const WholeValues&) {
      FilterPowerRoutine(rows, powers);
    }));
  }
  if (f.peachOn) {
    stages.push_back(PixelStage(
        [](const PlaneView& rows, int, int, const WholeValues& values) { ApplyPeach(rows, BalanceLevelsOf(values.levels)); },
        WholeNeed::Levels));
  }
  if (f.berryOn) {
    stages.push_back(PixelStage(
        [](const PlaneView& rows, int, int, const WholeValues& values) { ApplyBerry(rows, BalanceLevelsOf(values.levels)); },
        WholeNeed::Levels));
  }
  return stages;
}
