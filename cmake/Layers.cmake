# The layers of the house: which folders the code of each library folder may include. A folder
# that is not listed may include any library folder. No library includes tests/. The build checks
# both the includes (CheckLayers.cmake, a step of every build) and the links between the libraries
# (vdmq_check_layer_links, at the end of the configuration).
set(VDMQ_LAYERS
  "platform/base:platform/base"
  "platform/sys:platform/base,platform/sys"
  "platform/png:platform/base,platform/png"
  "platform/core:platform/base,platform/sys,platform/core"
  "platform/headless:platform/base,platform/sys,platform/png,platform/core,platform/headless"
  "platform/sdl:platform/base,platform/sys,platform/core,platform/sdl"
  "qolib/pack:platform/base,platform/sys,qolib/pack"
  "qolib/graphics:platform/base,platform/sys,platform/core,qolib/pack,qolib/graphics"
  # The window kit stands on the window layer and the graphics library, and knows no game.
  "formkit:platform/base,platform/sys,platform/core,qolib/pack,qolib/graphics,formkit"
  # The setup program shares no code with the game: it stands on the platform layer alone.
  "setup:platform/base,platform/sys,platform/core,platform/sdl,setup"
  # The campaign engine and the battle know no window system, and the campaign never the battle.
  "campaign:platform/base,platform/sys,qolib/pack,campaign"
  "battle:platform/base,platform/sys,qolib/pack,campaign,battle"
  # The game screens stand on everything of the game, headless-capable: never on a back end.
  "screens:platform/base,platform/sys,platform/core,qolib/pack,qolib/graphics,formkit,campaign,battle,screens"
  # The battle window and its view: units beside the battle model that stand on the game screens.
  "battle-window:platform/base,platform/sys,platform/core,qolib/pack,qolib/graphics,formkit,campaign,battle,screens,battle-window")

# Units that lie in the folder of one layer but belong to another: path prefix, layer.
set(VDMQ_LAYER_UNITS
  "battle/Btqvgraph.:battle-window"
  "battle/F_btmain.:battle-window")

# The programs' own main files choose the back end the program runs on and install the libraries
# built on their folder's: besides their folder's layer, each may include the paths listed with it.
set(VDMQ_LAYER_PROGRAMS
  "screens/vdm_q_t.cpp:platform/sdl/"
  "screens/vdm_q_t.cpp:battle/F_btmain.h")

# Sets <out> to the folders <folder> may use, or to "*" when it is not a listed layer.
function(vdmq_layer_allowed folder out)
  foreach(rule ${VDMQ_LAYERS})
    string(REPLACE ":" ";" parts "${rule}")
    list(GET parts 0 name)
    if(name STREQUAL folder)
      list(GET parts 1 allowed)
      string(REPLACE "," ";" allowed "${allowed}")
      set(${out} "${allowed}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} "*" PARENT_SCOPE)
endfunction()

# Sets <out> to the listed layer a project path (relative to the source tree) lies in, or "".
function(vdmq_layer_of path out)
  set(${out} "" PARENT_SCOPE)
  foreach(rule ${VDMQ_LAYER_UNITS})
    string(REPLACE ":" ";" parts "${rule}")
    list(GET parts 0 unit)
    string(FIND "${path}" "${unit}" at)
    if(at EQUAL 0)
      list(GET parts 1 layer)
      set(${out} "${layer}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  foreach(rule ${VDMQ_LAYERS})
    string(REPLACE ":" ";" parts "${rule}")
    list(GET parts 0 name)
    string(FIND "${path}" "${name}/" at)
    if(at EQUAL 0)
      set(${out} "${name}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

# True in <out> when <folder> may include (or link) what lies at <path>.
function(vdmq_layer_permits folder path out)
  vdmq_layer_allowed("${folder}" allowed)
  set(${out} TRUE PARENT_SCOPE)
  if(allowed STREQUAL "*")
    return()
  endif()
  # What lies in a unit of another layer is permitted by that layer's name alone.
  foreach(rule ${VDMQ_LAYER_UNITS})
    string(REPLACE ":" ";" parts "${rule}")
    list(GET parts 0 unit)
    list(GET parts 1 unitLayer)
    string(FIND "${path}" "${unit}" at)
    if(at EQUAL 0)
      list(FIND allowed "${unitLayer}" listed)
      if(listed EQUAL -1)
        set(${out} FALSE PARENT_SCOPE)
      endif()
      return()
    endif()
  endforeach()
  foreach(a ${allowed})
    string(FIND "${path}" "${a}/" at)
    if(at EQUAL 0)
      return()
    endif()
  endforeach()
  set(${out} FALSE PARENT_SCOPE)
endfunction()

# Remembers the folder of a project library (the folder of its first source) for the link check.
function(vdmq_layer_register name)
  set(folder ${CMAKE_CURRENT_SOURCE_DIR})
  if(ARGN)
    list(GET ARGN 0 first)
    get_filename_component(first ${first} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(folder ${first} DIRECTORY)
  endif()
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${folder})
  # A library of units that belong to another layer than their folder's is placed by its first unit.
  if(ARGN)
    file(RELATIVE_PATH firstRel ${PROJECT_SOURCE_DIR} ${first})
    foreach(rule ${VDMQ_LAYER_UNITS})
      string(REPLACE ":" ";" parts "${rule}")
      list(GET parts 0 unit)
      string(FIND "${firstRel}" "${unit}" at)
      if(at EQUAL 0)
        set(folder ${firstRel})
      endif()
    endforeach()
  endif()
  set_property(GLOBAL APPEND PROPERTY VDMQ_LAYER_LIBRARIES ${name})
  set_property(GLOBAL PROPERTY VDMQ_LAYER_FOLDER_${name} ${folder})
endfunction()

# Fails the configuration when a project library links, directly or through others, a library of
# a folder its layer may not use.
function(vdmq_check_layer_links)
  get_property(libraries GLOBAL PROPERTY VDMQ_LAYER_LIBRARIES)
  set(faults "")
  foreach(lib ${libraries})
    get_property(folder GLOBAL PROPERTY VDMQ_LAYER_FOLDER_${lib})
    vdmq_layer_of("${folder}/" layer)
    if(NOT layer)
      continue()
    endif()
    set(seen "")
    set(queue ${lib})
    while(queue)
      list(POP_FRONT queue current)
      get_target_property(type ${current} TYPE)
      set(deps "")
      if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(deps ${current} LINK_LIBRARIES)
      endif()
      get_target_property(more ${current} INTERFACE_LINK_LIBRARIES)
      foreach(dep ${deps} ${more})
        if(TARGET ${dep} AND NOT dep IN_LIST seen AND dep IN_LIST libraries)
          list(APPEND seen ${dep})
          list(APPEND queue ${dep})
          get_property(depFolder GLOBAL PROPERTY VDMQ_LAYER_FOLDER_${dep})
          vdmq_layer_permits("${layer}" "${depFolder}/" ok)
          if(NOT ok)
            string(APPEND faults "  ${lib} (${folder}) reaches ${dep} (${depFolder})\n")
          endif()
        endif()
      endforeach()
    endwhile()
  endforeach()
  if(faults)
    message(FATAL_ERROR "Links that cross the layers of the house (cmake/Layers.cmake):\n${faults}")
  endif()
endfunction()

# A step of every build: the include check over the library folders, rerun when a source changes.
function(vdmq_check_layer_includes)
  set(sources "")
  foreach(root platform qolib campaign battle formkit screens setup tools)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${root}/*.h ${PROJECT_SOURCE_DIR}/${root}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  set(stamp ${CMAKE_BINARY_DIR}/layers.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DVDMQ_ROOT=${PROJECT_SOURCE_DIR} -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
    DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake ${PROJECT_SOURCE_DIR}/cmake/Layers.cmake
    COMMENT "Checking the layers of the house")
  add_custom_target(vdmq_layers ALL DEPENDS ${stamp})
endfunction()
