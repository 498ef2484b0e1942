# Fails when a game folder includes a folder above it (see the README's
# layout section). Run as: cmake -DROOT=<source dir> -P CheckGameIncludes.cmake
#
# Each folder may include itself and the folders listed for it. Of sys/, the
# game uses only the services the engine does not wrap: files and the clock
# everywhere; the shader compiler in the effects device alone, which compiles
# the runtime's generated programs itself, and the large-page advice for the
# effects unit pool's memory; the window (error box, cursor) and
# the sanitizer settings in the composition root alone.
# Table rows are typed structs, so no game code reads file bytes by hand.
set(below_core "engine/;sys/file.h;sys/thread.h;game/core/")
set(allowed_core "${below_core}")
set(allowed_flow "${below_core};game/flow/")
set(allowed_vfx "${below_core};sys/shader.h;sys/memory.h;effects/;game/vfx/")
set(play "game/stage/;game/player/;game/enemy/")
set(allowed_stage "${below_core};game/flow/;${play}")
set(allowed_player "${allowed_stage}")
set(allowed_enemy "${allowed_stage}")
set(allowed_scene "${below_core};game/flow/;game/vfx/;${play};game/scene/")
set(allowed_app "${allowed_scene};sys/window.h;sys/sanitizer.h;game/app/")

set(failures "")
foreach(folder core flow vfx stage player enemy scene app)
  file(GLOB_RECURSE files ${ROOT}/game/${folder}/*.h ${ROOT}/game/${folder}/*.cpp)
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "^#include \"")
    foreach(line ${lines})
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
      set(ok FALSE)
      foreach(prefix ${allowed_${folder}})
        string(FIND "${header}" "${prefix}" at)
        if(at EQUAL 0)
          set(ok TRUE)
        endif()
      endforeach()
      if(NOT ok)
        file(RELATIVE_PATH rel ${ROOT} ${file})
        string(APPEND failures "  ${rel} includes ${header}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Game includes against the layout:\n${failures}")
endif()
