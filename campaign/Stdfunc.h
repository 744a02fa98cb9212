#pragma once
// Small helpers shared by the world model, the battle and the screens: the clamp of money amounts,
// a general clamp, a maximum, a percent chance and the look-up of a form's numbered controls.

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"

namespace vdmq {

// Highest amount of money any stored funds value, income or investment may hold.
constexpr int kFundMax = 999999;

// Clamps an amount of money to 0..999999. Takes 64 bits so that sums formed before the clamp
// (funds plus an amount, income plus planets) cannot overflow on the way.
int LimitFund(std::int64_t amount);

// low when value < low; else value when value <= high; else high (so low wins when low > high).
int Limit(int value, int low, int high);

// The larger of a and b (a when they are equal).
int GetMax(int a, int b);

// A percent chance: p = Limit(percent, 0, 100), r from the game's random generator; true when
// p > r mod 100. 0 never succeeds, 100 always does.
bool ChkRand(int percent);

namespace stdfunc_detail {

template <class Owner>
concept IndexedComponents = requires(Owner& o, int i) {
  {o.ComponentCount()};
  {o.Components(i)};
};

template <class Owner>
concept RangedComponents = requires(Owner& o) {
  {o.Components().begin()};
  {o.Components().end()};
};

template <class C>
long long TagOf(const C& c) {
  if constexpr (requires { c.Tag(); }) {
    return static_cast<long long>(c.Tag());
  } else {
    return static_cast<long long>(c.Tag);
  }
}

// A raw pointer to the component that p (a raw or smart pointer) designates, or null.
template <class P>
auto RawOf(const P& p) {
  if constexpr (std::is_pointer_v<P>) {
    return p;
  } else {
    return p ? &*p : nullptr;
  }
}

template <class C>
bool Matches(const C* c, std::string_view className, long long tag) {
  return c != nullptr && std::string_view(c->ClassName()) == className && TagOf(*c) == tag;
}

}  // namespace stdfunc_detail

// The first of the owner's components, in the owner's creation order, whose class name equals
// className and whose Tag equals tag. Screens use it to reach numbered controls of a form (the
// five technology buttons "TCHBcSpeedButton" with tags 1..5, for example).
//
// The owner offers its components either as ComponentCount() / Components(i) (a pointer each) or
// as a range Components() of pointers; a component offers ClassName() and Tag (a member or a
// getter). Throws "指定されたコンポーネントがない" when nothing matches (also for a null owner).
template <class Owner>
auto FindComponentByClass(Owner* owner, std::string_view className, long long tag) {
  using namespace stdfunc_detail;
  if constexpr (IndexedComponents<Owner>) {
    if (owner != nullptr) {
      const auto count = owner->ComponentCount();
      for (decltype(owner->ComponentCount()) i = 0; i < count; ++i) {
        auto c = RawOf(owner->Components(i));
        if (Matches(c, className, tag)) return c;
      }
    }
    ThrowGameError(SJS("指定されたコンポーネントがない"));
  } else {
    static_assert(RangedComponents<Owner>, "the owner must offer its components in creation order");
    if (owner != nullptr) {
      for (const auto& p : owner->Components()) {
        auto c = RawOf(p);
        if (Matches(c, className, tag)) return c;
      }
    }
    ThrowGameError(SJS("指定されたコンポーネントがない"));
  }
}

}  // namespace vdmq
