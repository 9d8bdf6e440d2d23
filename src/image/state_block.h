// A block of the program's state as the history of changes keeps it: a copy
// of its value taken, and a copy put back. Every page lists its blocks in its
// PageEntry, and the modules the pages share list theirs beside their state,
// so that taking back a change brings back every value the change touched.
//
//   constexpr std::array<StateBlock, 2> ContourStates{StateBlockOf<ContourPage>(), StateBlockOf<ShownScanLevel>()};
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

struct StateBlock {
  std::shared_ptr<const void> (*take)() = nullptr;
  void (*put)(const void* copy) = nullptr;
  std::size_t bytes = 0;  // the value's own size (not what it points to)
};

template <auto& Value>
constexpr StateBlock StateBlockOf() {
  using T = std::remove_cvref_t<decltype(Value)>;
  return StateBlock{[]() -> std::shared_ptr<const void> { return std::make_shared<const T>(Value); },
                    [](const void* copy) { Value = *static_cast<const T*>(copy); }, sizeof(T)};
}
