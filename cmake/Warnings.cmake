# A pedantic warning list applied privately to our own targets (never to
# third-party headers, which come in as system includes). CI turns them into
# errors with -DRECORDER_WERROR=ON.
set(RECORDER_WARNINGS
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align
  -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough
  -Wmissing-declarations)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND RECORDER_WARNINGS -Wduplicated-cond -Wlogical-op)
endif()
if(RECORDER_WERROR)
  list(APPEND RECORDER_WARNINGS -Werror)
endif()

# recorder_target(<name>): our warnings on a target of this code base.
function(recorder_target name)
  target_compile_options(${name} PRIVATE ${RECORDER_WARNINGS})
endfunction()
