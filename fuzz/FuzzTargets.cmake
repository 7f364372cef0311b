# The fuzz targets and what each links. Used by fuzz/CMakeLists.txt (libFuzzer
# builds) and by tests/CMakeLists.txt, which replays the seed corpus and the
# saved failing inputs of every target as a regular test.
set(alphabet_fuzz_targets loader glyph_text trackball hershey svg)
set(alphabet_fuzz_libs_loader alphabet geometry)
set(alphabet_fuzz_libs_glyph_text importtext geometry)
set(alphabet_fuzz_libs_trackball trackball)
set(alphabet_fuzz_libs_hershey pen)
set(alphabet_fuzz_libs_svg pensvg)

# An executable `name` of fuzz target `target` and any further sources given.
function(alphabet_fuzz_executable name target)
  set(dir ${CMAKE_SOURCE_DIR}/fuzz)
  add_executable(${name} ${dir}/fuzz_${target}.cpp ${dir}/FuzzCheck.h ${ARGN})
  target_include_directories(${name} PRIVATE ${dir})
  target_link_libraries(${name} PRIVATE ${alphabet_fuzz_libs_${target}} project_warnings)
endfunction()

# Regular tests: each target run over its seed corpus and saved failing inputs.
function(alphabet_fuzz_replay_tests)
  foreach(target IN LISTS alphabet_fuzz_targets)
    alphabet_fuzz_executable(replay_${target} ${target} ${CMAKE_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    set(inputs ${CMAKE_SOURCE_DIR}/fuzz/corpus/${target})
    if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/fuzz/regressions/${target})
      list(APPEND inputs ${CMAKE_SOURCE_DIR}/fuzz/regressions/${target})
    endif()
    add_test(NAME fuzz_replay_${target} COMMAND replay_${target} ${inputs})
  endforeach()
endfunction()
