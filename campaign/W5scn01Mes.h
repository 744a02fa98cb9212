#pragma once
// The scenario's nineteen dialogues: their text, written in a small notation, and the event
// window's token lists compiled from it.

#include "campaign/GameHost.h"

namespace vdmq {

// The dialogue scripts, in the order the events use them.
enum EScn01Mes {
  kMesA0,
  kMesA1,
  kMesA2,
  kMesA3,
  kMesA4,
  kMesA5,
  kMesA6,
  kMesA7a,
  kMesA7b,
  kMesA8a,
  kMesA8b,
  kMesA8c,
  kMesA9,
  kMesA10,
  kMesA11,
  kMesA12,
  kMesA13,
  kMesA14,
  kMesA15,
  kScn01MesCount
};

// The compiled token list of a dialogue (built once): an empty text, then portrait tokens "0"/"1"
// each followed by an event character (-1 clears that side), text lines, "NP" after a page of
// fewer than four lines, and "END_STR". An id outside the enum gives an empty script ("", "END_STR").
const TEventMesScript& Scn01Script(int id);

}  // namespace vdmq
