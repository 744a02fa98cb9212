# Run with -DVDMQ_SOURCE=<source tree> -DWORK=<scratch folder> -P: for each case, builds a tree that
# holds one file with one include, runs the include check of the build on it, and fails when the
# check does not answer as the case expects. A refused include must be named in the check's report
# as "<file>: <header>"; a permitted one must leave the check's stamp.

# file | the include line written into it | the header the line names | pass or fail
set(cases
  # The platform layer knows no game library: neither the archive nor the graphics library.
  "platform/core/Bridge.cpp|#include \"qolib/pack/Quorvel.h\"|qolib/pack/Quorvel.h|fail"
  "platform/core/Bridge.h|  #  include \"qolib/pack/Qopack.h\"  // indented|qolib/pack/Qopack.h|fail"
  "platform/core/Canvas.cpp|#include \"qolib/graphics/QoTDib.h\"|qolib/graphics/QoTDib.h|fail"
  "platform/base/Sjis.cpp|#include \"qolib/pack/Quorvel.h\"|qolib/pack/Quorvel.h|fail"
  "platform/sys/Files.cpp|#include \"qolib/pack/Quorvel.h\"|qolib/pack/Quorvel.h|fail"
  "platform/headless/Backend.cpp|#include \"qolib/pack/Quorvel.h\"|qolib/pack/Quorvel.h|fail"
  "platform/sdl/SdlBackend.cpp|#include \"qolib/pack/Quorvel.h\"|qolib/pack/Quorvel.h|fail"
  "platform/core/Form.cpp|#include \"screens/Main.h\"|screens/Main.h|fail"
  "platform/core/Form.cpp|#include \"platform/sys/Files.h\"|platform/sys/Files.h|pass"
  "platform/core/Form.cpp|#include \"Canvas.h\"|Canvas.h|pass"
  # The bridge between the two stands in the game screens, which know both.
  "screens/QoPlatformBridge.cpp|#include \"qolib/pack/Quorvel.h\"|qolib/pack/Quorvel.h|pass"
  "screens/QoPlatformBridge.cpp|#include \"platform/core/Application.h\"|platform/core/Application.h|pass"
  # The archive library stands below the window layer.
  "qolib/pack/Quorvel.cpp|#include \"platform/core/Application.h\"|platform/core/Application.h|fail"
  # Campaign and battle know no window system; the campaign never the battle.
  "campaign/Gmain.cpp|#include \"platform/core/Form.h\"|platform/core/Form.h|fail"
  "campaign/Gmain.cpp|#include \"battle/Btmain.h\"|battle/Btmain.h|fail"
  "battle/Btmain.cpp|#include \"campaign/File_manager.h\"|campaign/File_manager.h|pass"
  "battle/Btmain.cpp|#include \"screens/Main.h\"|screens/Main.h|fail"
  # Units of the battle window lie in battle/ but stand on the screens; the screens not on them.
  "battle/F_btmain.cpp|#include \"screens/ScreenParts.h\"|screens/ScreenParts.h|pass"
  "screens/Main.cpp|#include \"battle/F_btmain.h\"|battle/F_btmain.h|fail"
  # Only the program's main file chooses the back end and installs the battle window.
  "screens/vdm_q_t.cpp|#include \"platform/sdl/SdlBackend.h\"|platform/sdl/SdlBackend.h|pass"
  "screens/vdm_q_t.cpp|#include \"battle/F_btmain.h\"|battle/F_btmain.h|pass"
  "screens/Main.cpp|#include \"platform/sdl/SdlBackend.h\"|platform/sdl/SdlBackend.h|fail"
  # No library includes the tests; only the developer tools use the test kit.
  "screens/Main.cpp|#include \"tests/support/World.h\"|tests/support/World.h|fail"
  "screens/Main.cpp|#include \"support/World.h\"|support/World.h|fail"
  "tools/Generator.cpp|#include \"support/World.h\"|support/World.h|pass")

set(failures "")
set(index 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 file)
  list(GET parts 1 line)
  list(GET parts 2 header)
  list(GET parts 3 expect)
  math(EXPR index "${index} + 1")
  set(tree ${WORK}/case${index})
  file(REMOVE_RECURSE ${tree})
  file(WRITE ${tree}/${file} "// A unit of the test tree.\n${line}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DVDMQ_ROOT=${tree} -DSTAMP=${tree}/layers.stamp
                          -P ${VDMQ_SOURCE}/cmake/CheckLayers.cmake
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(FIND "${out}${err}" "  ${file}: ${header}\n" named)
  if(expect STREQUAL "pass")
    if(NOT result EQUAL 0 OR NOT EXISTS ${tree}/layers.stamp)
      string(APPEND failures "  ${file} including ${header} was refused:\n${out}${err}\n")
    endif()
  elseif(result EQUAL 0 OR EXISTS ${tree}/layers.stamp)
    string(APPEND failures "  ${file} including ${header} was let through\n")
  elseif(named EQUAL -1)
    string(APPEND failures "  ${file} including ${header} was refused without naming it:\n${out}${err}\n")
  endif()
endforeach()

list(LENGTH cases count)
if(failures)
  message(FATAL_ERROR "The layer check answered wrongly:\n${failures}")
endif()
message(STATUS "The layer check answered all ${count} cases as expected")
